#include "keyboard/KeyLayout.h"

#include <cmath>
#include <map>

namespace
{
constexpr bool B = false; // both views
constexpr bool X = true;  // extended view only

// slot, picture, view, left of, gap, top of, gap, right margin, bottom margin
const std::vector<SKeyRule> kRules = {
    {1, "Esc", B, 0, 0, 0, 0, 25, 25},
    {2, "F1", B, 1, 72, 0, 0, 25, 25},
    {3, "F2", B, 2, 15, 0, 0, 25, 25},
    {4, "F3", B, 3, 15, 0, 0, 25, 25},
    {5, "F4", B, 4, 15, 0, 0, 25, 25},
    {6, "F5", B, 5, 35, 0, 0, 25, 25},
    {7, "F6", B, 6, 15, 0, 0, 25, 25},
    {8, "F7", B, 7, 15, 0, 0, 25, 25},
    {9, "F8", B, 8, 15, 0, 0, 25, 25},
    {10, "F9", B, 9, 35, 0, 0, 25, 25},
    {11, "F10", B, 10, 15, 0, 0, 25, 25},
    {12, "F11", B, 11, 15, 0, 0, 25, 25},
    {13, "F12", B, 12, 15, 0, 0, 25, 25},
    {14, "PrintScreen", X, 13, 35, 0, 0, 25, 25},
    {15, "ScrollLock", X, 14, 15, 0, 0, 25, 25},
    {16, "PausePreak", X, 15, 15, 0, 0, 25, 25},
    {17, "Apostrof", B, 0, 0, kTopRow, 15, 25, 25},
    {18, "1", B, 17, 15, kTopRow, 15, 25, 25},
    {19, "2", B, 18, 15, kTopRow, 15, 25, 25},
    {20, "3", B, 19, 15, kTopRow, 15, 25, 25},
    {21, "4", B, 20, 15, kTopRow, 15, 25, 25},
    {22, "5", B, 21, 15, kTopRow, 15, 25, 25},
    {23, "6", B, 22, 15, kTopRow, 15, 25, 25},
    {24, "7", B, 23, 15, kTopRow, 15, 25, 25},
    {25, "8", B, 24, 15, kTopRow, 15, 25, 25},
    {26, "9", B, 25, 15, kTopRow, 15, 25, 25},
    {27, "0", B, 26, 15, kTopRow, 15, 25, 25},
    {28, "minus", B, 27, 15, kTopRow, 15, 25, 25},
    {29, "equal", B, 28, 15, kTopRow, 15, 25, 25},
    {31, "Backspace", B, 29, 15, kTopRow, 15, 55, 25},
    {32, "Tab", B, 0, 0, 31, 15, 45, 25},
    {33, "Q", B, 32, 38, 31, 15, 25, 25},
    {34, "W", B, 33, 15, 31, 15, 25, 25},
    {35, "E", B, 34, 15, 31, 15, 25, 25},
    {36, "R", B, 35, 15, 31, 15, 25, 25},
    {37, "T", B, 36, 15, 31, 15, 25, 25},
    {38, "Y", B, 37, 15, 31, 15, 25, 25},
    {39, "U", B, 38, 15, 31, 15, 25, 25},
    {40, "I", B, 39, 15, 31, 15, 25, 25},
    {41, "O", B, 40, 15, 31, 15, 25, 25},
    {42, "P", B, 41, 15, 31, 15, 25, 25},
    {43, "LSBracket", B, 42, 15, 31, 15, 25, 25},
    {44, "RSBracket", B, 43, 15, 31, 15, 25, 25},
    {45, "LSlash", B, 44, 15, 31, 15, 35, 25},
    {46, "CapsLock", B, 0, 0, 45, 15, 55, 25},
    {47, "A", B, 46, 25, 45, 15, 25, 25},
    {48, "S", B, 47, 15, 45, 15, 25, 25},
    {49, "D", B, 48, 15, 45, 15, 25, 25},
    {50, "F", B, 49, 15, 45, 15, 25, 25},
    {51, "G", B, 50, 15, 45, 15, 25, 25},
    {52, "H", B, 51, 15, 45, 15, 25, 25},
    {53, "J", B, 52, 15, 45, 15, 25, 25},
    {54, "K", B, 53, 15, 45, 15, 25, 25},
    {55, "L", B, 54, 15, 45, 15, 25, 25},
    {56, "Semicolon", B, 55, 15, 45, 15, 25, 25},
    {57, "Apostrof2", B, 56, 15, 45, 15, 25, 25},
    {58, "Enter", B, 57, 15, 45, 15, 105, 25},
    {59, "LShift", B, 0, 0, 58, 15, 70, 25},
    {60, "Z", B, 59, 40, 58, 15, 25, 25},
    {61, "X", B, 60, 15, 58, 15, 25, 25},
    {62, "C", B, 61, 15, 58, 15, 25, 25},
    {63, "V", B, 62, 15, 58, 15, 25, 25},
    {64, "B", B, 63, 15, 58, 15, 25, 25},
    {65, "N", B, 64, 15, 58, 15, 25, 25},
    {66, "M", B, 65, 15, 58, 15, 25, 25},
    {67, "Comma", B, 66, 15, 58, 15, 25, 25},
    {68, "Point", B, 67, 15, 58, 15, 25, 25},
    {69, "RSlash", B, 68, 15, 58, 15, 25, 25},
    {70, "RShift", B, 69, 15, 58, 15, 80, 25},
    {71, "LCtrl", B, 0, 0, 70, 15, 55, 25},
    {72, "LWin", B, 71, 23, 70, 15, 45, 25},
    {73, "LAlt", B, 72, 13, 70, 15, 45, 25},
    {74, "Space", B, 73, 13, 70, 15, 205, 25},
    {75, "RAlt", B, 74, 78, 70, 15, 45, 25},
    {76, "RWin", B, 75, 13, 70, 15, 45, 25},
    {77, "Context", B, 76, 13, 70, 15, 45, 25},
    {78, "RCtrl", B, 77, 13, 70, 15, 55, 25},
    {79, "Insert", X, 13, 35, 14, 15, 25, 25},
    {80, "Home", X, 79, 15, 14, 15, 25, 25},
    {81, "PageUp", X, 80, 15, 14, 15, 25, 25},
    {82, "Delete", X, 13, 35, 81, 15, 25, 25},
    {83, "End", X, 82, 15, 81, 15, 25, 25},
    {84, "PageDown", X, 83, 15, 81, 15, 25, 25},
    {85, "ArrowLeft", X, 78, 55, 70, 15, 25, 25},
    {88, "ArrowDown", X, 85, 15, 70, 15, 25, 25},
    {87, "ArrowRight", X, 88, 15, 70, 15, 25, 25},
    {86, "ArrowUp", X, 85, 15, kAboveArrows, 15, 25, 25},
    {89, "NumLock", X, 81, 35, 14, 15, 25, 25},
    {90, "Num_Divide", X, 89, 15, 14, 15, 25, 25},
    {91, "Num_Multiply", X, 90, 15, 14, 15, 25, 25},
    {92, "Num_Minus", X, 91, 15, 14, 15, 25, 25},
    {93, "Num_7", X, 81, 35, 92, 15, 25, 25},
    {94, "Num_8", X, 93, 15, 92, 15, 25, 25},
    {95, "Num_9", X, 94, 15, 92, 15, 25, 25},
    {96, "Num_4", X, 81, 35, 95, 15, 25, 25},
    {97, "Num_5", X, 96, 15, 95, 15, 25, 25},
    {98, "Num_6", X, 97, 15, 95, 15, 25, 25},
    {99, "Num_1", X, 81, 35, 98, 15, 25, 25},
    {100, "Num_2", X, 99, 15, 98, 15, 25, 25},
    {101, "Num_3", X, 100, 15, 98, 15, 25, 25},
    {102, "Num_0", X, 81, 35, 101, 15, 65, 25},
    {103, "Num_Point", X, 102, 25, 101, 15, 25, 25},
    {104, "Num_Plus", X, 91, 15, 92, 10, 25, 65},
    {105, "Num_Enter", X, 91, 15, 104, 25, 25, 60},
};

constexpr int kRCtrl = 78;
constexpr int kNumEnter = 105;
constexpr int kF12 = 13;
constexpr int kPausePreak = 16;
constexpr int kArrowLeft = 85;
constexpr int kPageUp = 81;
} // namespace

const std::vector<SKeyRule>& KeyRules()
{
    return kRules;
}

const SKeyRule* KeyRule(int nSlot)
{
    for (const SKeyRule& rule : kRules)
        if (rule.nSlot == nSlot)
            return &rule;
    return nullptr;
}

const SPlacedKey* SKeyboardLayout::Find(int nSlot) const
{
    for (const SPlacedKey& key : arrKeys)
        if (key.nSlot == nSlot)
            return &key;
    return nullptr;
}

int PictureEdge(int nEdge, int nSize)
{
    const float fSum = static_cast<float>(nEdge) + static_cast<float>(nSize) * kKeyScale;
    return static_cast<int>(static_cast<float>(std::ceil(static_cast<double>(fSum))));
}

SKeyboardLayout BuildLayout(bool bExtView, const FPictureSize& fPictureSize)
{
    SKeyboardLayout layout;
    std::map<int, const SPlacedKey*> placed;
    auto Key = [&](int nSlot) -> const SPlacedKey& { return *placed.at(nSlot); };
    const int nTopRowSlot = bExtView ? kPausePreak : kF12;

    layout.arrKeys.reserve(kRules.size());
    for (const SKeyRule& rule : kRules)
    {
        if (rule.bExtended && !bExtView)
            continue;
        SPlacedKey key;
        key.nSlot = rule.nSlot;
        key.strPicture = rule.pszPicture;
        key.nLeft = rule.nLeftOf == 0 ? 0 : Key(rule.nLeftOf).nPictureRight + rule.nLeftGap;
        if (rule.nTopOf == 0)
            key.nTop = 0;
        else if (rule.nTopOf == kTopRow)
            key.nTop = Key(nTopRowSlot).nPictureBottom + rule.nTopGap;
        else if (rule.nTopOf == kAboveArrows)
        {
            const SPlacedKey& pageUp = Key(kPageUp);
            key.nTop = Key(kArrowLeft).nTop - (pageUp.nPictureBottom - pageUp.nTop) - rule.nTopGap;
        }
        else
            key.nTop = Key(rule.nTopOf).nPictureBottom + rule.nTopGap;

        const SPictureSize size = fPictureSize ? fPictureSize(key.strPicture) : SPictureSize{};
        key.nPictureRight = PictureEdge(key.nLeft, size.nWidth);
        key.nPictureBottom = PictureEdge(key.nTop, size.nHeight);
        key.nRight = key.nPictureRight + rule.nMarginX;
        key.nBottom = key.nPictureBottom + rule.nMarginY;
        layout.arrKeys.push_back(std::move(key));
        placed[rule.nSlot] = &layout.arrKeys.back();
    }
    const SPlacedKey& last = Key(bExtView ? kNumEnter : kRCtrl);
    layout.nWidth = last.nRight;
    layout.nHeight = last.nBottom;
    return layout;
}

std::string KeyPictureFile(const std::string& strFolder, const std::string& strPicture, bool bOn)
{
    const bool bOffAlways = strPicture == "equal";
    return strFolder + "/Key_" + strPicture + (bOn && !bOffAlways ? "_on.png" : "_off.png");
}

std::string KeyPictureFolder(const std::string& strDataFolder)
{
    return strDataFolder + "/Settings/Images";
}
