// Where the pictured keyboard's keys go: the layout table (each key placed after keys already
// placed, from the sizes of the pictures found at run time) and the arithmetic that turns it
// into key rectangles and the keyboard's extent.
#pragma once

#include <functional>
#include <string>
#include <vector>

// The live keyboard keeps its keys in 108 positions; 1 to 29 and 31 to 105 are used.
inline constexpr int kKeySlots = 108;
inline constexpr int kStandardKeyCount = 74;
inline constexpr int kExtendedKeyCount = 104;
// Every picture is drawn at this fraction of its size.
inline constexpr float kKeyScale = 0.7f;

// Reference to "the last key of the top row": PausePreak in the extended view, F12 otherwise.
inline constexpr int kTopRow = -1;
// ArrowUp's top edge: one navigation-row pitch above the arrow row.
inline constexpr int kAboveArrows = -2;

// One row of the layout table. nLeftOf 0 puts the key at the left edge, otherwise its left edge
// is the picture right of slot nLeftOf plus nLeftGap; nTopOf 0 puts it at the top, otherwise its
// top edge is the picture bottom of slot nTopOf (or of the top row) plus nTopGap.
struct SKeyRule
{
    int nSlot;
    const char* pszPicture;
    bool bExtended;
    int nLeftOf;
    int nLeftGap;
    int nTopOf;
    int nTopGap;
    int nMarginX;
    int nMarginY;
};

// The table in placement order, 104 rows.
const std::vector<SKeyRule>& KeyRules();
// The rule of a slot, null for the four slots that never get a key.
const SKeyRule* KeyRule(int nSlot);

struct SPictureSize
{
    int nWidth = 0;
    int nHeight = 0;
};

// One placed key: its window rectangle (right and bottom exclusive, as Windows counts them) and
// where the shrunk picture ends.
struct SPlacedKey
{
    int nSlot = 0;
    std::string strPicture;
    int nLeft = 0;
    int nTop = 0;
    int nRight = 0;
    int nBottom = 0;
    int nPictureRight = 0;
    int nPictureBottom = 0;
};

struct SKeyboardLayout
{
    std::vector<SPlacedKey> arrKeys; // in placement order
    int nWidth = 0;                  // the extent: window right and bottom of RCtrl, or of Num_Enter when
    int nHeight = 0;                 // the extended view is shown
    const SPlacedKey* Find(int nSlot) const;
};

// The picture's size as the key will load it; 0 x 0 for a picture that cannot be loaded.
using FPictureSize = std::function<SPictureSize(const std::string& strPicture)>;

SKeyboardLayout BuildLayout(bool bExtView, const FPictureSize& fPictureSize);

// Picture right or bottom of a key: edge + size x 0.7, summed in single precision, rounded up in
// double precision and truncated back to whole pixels, as the pictures were always measured.
int PictureEdge(int nEdge, int nSize);

// The picture files of a key inside the pictures folder: "Key_<name>_off.png" and
// "Key_<name>_on.png". The = key names its off picture for both, so it never lights.
std::string KeyPictureFile(const std::string& strFolder, const std::string& strPicture, bool bOn);
// The folder that holds the pictures: <data folder>/Settings/Images.
std::string KeyPictureFolder(const std::string& strDataFolder);
