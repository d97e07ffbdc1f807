// The pictured keyboard's placement arithmetic, without a window.
#include "keyboard/KeyLayout.h"

#include <gtest/gtest.h>

#include <set>

namespace
{
SPictureSize Square60(const std::string&)
{
    return {60, 60};
}

struct SRect
{
    int nLeft, nTop, nRight, nBottom;
    bool operator==(const SRect&) const = default;
};

SRect RectOf(const SKeyboardLayout& layout, int nSlot)
{
    const SPlacedKey* p = layout.Find(nSlot);
    return p ? SRect{p->nLeft, p->nTop, p->nRight, p->nBottom} : SRect{-1, -1, -1, -1};
}

std::ostream& operator<<(std::ostream& os, const SRect& r)
{
    return os << "(" << r.nLeft << "," << r.nTop << ")-(" << r.nRight << "," << r.nBottom << ")";
}

TEST(KeyLayout, SixtyPixelPicturesPlaceEveryRowAsWorkedOut)
{
    // 60 x 60 pictures show 42 x 42: every rectangle below follows by hand from the gaps and
    // margins of the table.
    const SKeyboardLayout ext = BuildLayout(true, Square60);
    const std::pair<int, SRect> cases[] = {
        {1, {0, 0, 67, 67}},           // Esc
        {2, {114, 0, 181, 67}},        // F1: 42 + 72
        {6, {362, 0, 429, 67}},        // F5 after the wider gap
        {16, {972, 0, 1039, 67}},      // PausePreak, the top row's last key
        {17, {0, 57, 67, 124}},        // the digit row starts 15 below the top row
        {31, {741, 57, 838, 124}},     // Backspace, wide margin
        {33, {80, 114, 147, 181}},     // Q after Tab's 38
        {45, {764, 114, 841, 181}},    // \ .
        {47, {67, 171, 134, 238}},     // A after CapsLock's 25
        {58, {694, 171, 841, 238}},    // Enter
        {60, {82, 228, 149, 295}},     // Z after LShift's 40
        {74, {175, 285, 422, 352}},    // Space
        {78, {460, 285, 557, 352}},    // RCtrl
        {79, {858, 57, 925, 124}},     // Insert under PrintScreen
        {82, {858, 114, 925, 181}},    // Delete under Insert
        {85, {557, 285, 624, 352}},    // ArrowLeft after RCtrl
        {86, {614, 228, 681, 295}},    // ArrowUp: one navigation pitch above ArrowDown
        {88, {614, 285, 681, 352}},    // ArrowDown
        {87, {671, 285, 738, 352}},    // ArrowRight
        {89, {1049, 57, 1116, 124}},   // NumLock after PageUp's 35
        {102, {1049, 285, 1156, 352}}, // Num_0
        {103, {1116, 285, 1183, 352}}, // Num_Point after Num_0's 25
        {104, {1220, 109, 1287, 216}}, // Num_Plus, 10 below Num_Minus
        {105, {1220, 176, 1287, 278}}, // Num_Enter, 25 below Num_Plus
    };
    for (const auto& [nSlot, rect] : cases)
        EXPECT_EQ(rect, RectOf(ext, nSlot)) << "slot " << nSlot;
    EXPECT_EQ(104u, ext.arrKeys.size());
    EXPECT_EQ(1287, ext.nWidth) << "Num_Enter's right edge";
    EXPECT_EQ(278, ext.nHeight) << "Num_Enter's bottom edge";

    const SKeyboardLayout standard = BuildLayout(false, Square60);
    EXPECT_EQ(74u, standard.arrKeys.size());
    EXPECT_EQ(SRect({460, 285, 557, 352}), RectOf(standard, 78));
    EXPECT_EQ(557, standard.nWidth) << "RCtrl's right edge";
    EXPECT_EQ(352, standard.nHeight);
    for (int nSlot : {14, 15, 16, 79, 84, 85, 86, 89, 105})
        EXPECT_EQ(nullptr, standard.Find(nSlot)) << nSlot;
}

TEST(KeyLayout, PicturesFoundAtRunTimeMoveTheKeysAfterThem)
{
    // A taller Backspace pushes the whole Q row down; a missing Esc picture leaves a 25 x 25
    // window and F1 starts 72 to the right of its left edge.
    auto fSize = [](const std::string& strPicture) -> SPictureSize
    {
        if (strPicture == "Esc")
            return {};
        if (strPicture == "Backspace")
            return {100, 80};
        return {45, 45};
    };
    const SKeyboardLayout layout = BuildLayout(false, fSize);
    EXPECT_EQ(SRect({0, 0, 25, 25}), RectOf(layout, 1));
    EXPECT_EQ(72, layout.Find(2)->nLeft);
    const SPlacedKey& one = *layout.Find(18);
    EXPECT_EQ(47, one.nTop) << "45 x 0.7 = 31.5 rounds up to 32";
    const SPlacedKey& backspace = *layout.Find(31);
    EXPECT_EQ(backspace.nTop + 56, backspace.nPictureBottom);
    EXPECT_EQ(backspace.nPictureBottom + 15, layout.Find(33)->nTop);
    EXPECT_EQ(backspace.nPictureRight + 55, backspace.nRight);

    // The digit row hangs below the top row's last key: PausePreak when it is shown, else F12.
    auto fTallPause = [](const std::string& strPicture) -> SPictureSize {
        return strPicture == "PausePreak" ? SPictureSize{45, 80} : SPictureSize{45, 45};
    };
    EXPECT_EQ(56 + 15, BuildLayout(true, fTallPause).Find(17)->nTop);
    EXPECT_EQ(32 + 15, BuildLayout(false, fTallPause).Find(17)->nTop);
}

TEST(KeyLayout, TableHasEverySlotOnceAndLeavesFourEmpty)
{
    std::set<int> slots;
    std::set<std::string> pictures;
    for (const SKeyRule& rule : KeyRules())
    {
        EXPECT_TRUE(slots.insert(rule.nSlot).second) << rule.nSlot;
        EXPECT_TRUE(pictures.insert(rule.pszPicture).second) << rule.pszPicture;
    }
    EXPECT_EQ(104u, slots.size());
    for (int nSlot : {0, 30, 106, 107})
        EXPECT_EQ(nullptr, KeyRule(nSlot));
}

TEST(KeyLayout, PictureEdgesRoundUp)
{
    EXPECT_EQ(42, PictureEdge(0, 60));
    EXPECT_EQ(32, PictureEdge(0, 45));
    EXPECT_EQ(33, PictureEdge(1, 45));
    EXPECT_EQ(100, PictureEdge(100, 0));
}

TEST(KeyLayout, PictureFilesAndTheEqualsKey)
{
    EXPECT_EQ("/p/Key_Esc_off.png", KeyPictureFile("/p", "Esc", false));
    EXPECT_EQ("/p/Key_Esc_on.png", KeyPictureFile("/p", "Esc", true));
    EXPECT_EQ("/p/Key_equal_off.png", KeyPictureFile("/p", "equal", true)) << "= looks the same held";
}
} // namespace
