// Physical keys to virtual-key and DirectInput codes, and the keys that play notes.
#include "keyboard/KeyLayout.h"
#include "keyboard/KeyMap.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace
{
struct SNoteCase
{
    int nIndex;
    uint32_t nScanCode; // X11 key code as xev reports it
    int nVk;
    int nDik;
    const char* pszPicture;
};

// The 48 note keys in note order: the Q row, the A row, the Z row, the digit row, \ and
// Backspace.
const SNoteCase kNoteCases[] = {
    {0, 24, 'Q', 0x10, "Q"},           {1, 25, 'W', 0x11, "W"},           {2, 26, 'E', 0x12, "E"},
    {3, 27, 'R', 0x13, "R"},           {4, 28, 'T', 0x14, "T"},           {5, 29, 'Y', 0x15, "Y"},
    {6, 30, 'U', 0x16, "U"},           {7, 31, 'I', 0x17, "I"},           {8, 32, 'O', 0x18, "O"},
    {9, 33, 'P', 0x19, "P"},           {10, 34, 0xDB, 0x1A, "LSBracket"}, {11, 35, 0xDD, 0x1B, "RSBracket"},
    {12, 38, 'A', 0x1E, "A"},          {13, 39, 'S', 0x1F, "S"},          {14, 40, 'D', 0x20, "D"},
    {15, 41, 'F', 0x21, "F"},          {16, 42, 'G', 0x22, "G"},          {17, 43, 'H', 0x23, "H"},
    {18, 44, 'J', 0x24, "J"},          {19, 45, 'K', 0x25, "K"},          {20, 46, 'L', 0x26, "L"},
    {21, 47, 0xBA, 0x27, "Semicolon"}, {22, 48, 0xDE, 0x28, "Apostrof2"}, {23, 52, 'Z', 0x2C, "Z"},
    {24, 53, 'X', 0x2D, "X"},          {25, 54, 'C', 0x2E, "C"},          {26, 55, 'V', 0x2F, "V"},
    {27, 56, 'B', 0x30, "B"},          {28, 57, 'N', 0x31, "N"},          {29, 58, 'M', 0x32, "M"},
    {30, 59, 0xBC, 0x33, "Comma"},     {31, 60, 0xBE, 0x34, "Point"},     {32, 61, 0xBF, 0x35, "RSlash"},
    {33, 49, 0xC0, 0x29, "Apostrof"},  {34, 10, '1', 0x02, "1"},          {35, 11, '2', 0x03, "2"},
    {36, 12, '3', 0x04, "3"},          {37, 13, '4', 0x05, "4"},          {38, 14, '5', 0x06, "5"},
    {39, 15, '6', 0x07, "6"},          {40, 16, '7', 0x08, "7"},          {41, 17, '8', 0x09, "8"},
    {42, 18, '9', 0x0A, "9"},          {43, 19, '0', 0x0B, "0"},          {44, 20, 0xBD, 0x0C, "minus"},
    {45, 21, 0xBB, 0x0D, "equal"},     {46, 51, 0xDC, 0x2B, "LSlash"},    {47, 22, 0x08, 0x0E, "Backspace"},
};

TEST(KeyMap, EveryNoteKeyFromItsPositionToItsNoteAndPicture)
{
    for (const SNoteCase& c : kNoteCases)
    {
        SCOPED_TRACE(c.pszPicture);
        const SPhysicalKey* pKey = FindPhysicalKey(c.nScanCode, 0, false);
        ASSERT_NE(nullptr, pKey);
        EXPECT_EQ(c.nVk, pKey->nVk);
        EXPECT_EQ(c.nDik, pKey->nDik);
        EXPECT_EQ(c.nIndex, NoteIndexOfKey(c.nVk));
        EXPECT_EQ(c.nVk, NoteKeyVk(c.nIndex));
        ASSERT_NE(nullptr, KeyRule(NoteKeySlot(c.nIndex)));
        EXPECT_STREQ(c.pszPicture, KeyRule(NoteKeySlot(c.nIndex))->pszPicture);
        EXPECT_EQ(pKey->nSlot, NoteKeySlot(c.nIndex)) << "the key lights its own picture";
    }
}

TEST(KeyMap, ControlKeysAndKeysThatPlayNothing)
{
    // scan code, virtual key: the control keys, then keys outside the note table.
    const std::pair<uint32_t, int> cases[] = {
        {118, 0x2D}, {119, 0x2E}, {112, 0x21}, {117, 0x22}, {110, 0x24}, {115, 0x23}, {36, 0x0D},  {9, 0x1B},
        {104, 0x0D}, // the pad's Enter accepts as well
        {67, 0x70},  {65, 0x20},  {23, 0x09},  {50, 0x10},  {62, 0x10},  {37, 0x11},  {113, 0x25}, {66, 0x14},
    };
    for (auto [nScanCode, nVk] : cases)
    {
        const SPhysicalKey* pKey = FindPhysicalKey(nScanCode, 0, false);
        ASSERT_NE(nullptr, pKey) << nScanCode;
        EXPECT_EQ(nVk, pKey->nVk) << nScanCode;
        EXPECT_EQ(-1, NoteIndexOfKey(nVk)) << nScanCode;
    }
    EXPECT_EQ(nullptr, FindPhysicalKey(300, 'Q', false)) << "a scan code we do not know is no key at all";
}

TEST(KeyMap, NumericPadDigitsStandForOneToNine)
{
    // scan code, virtual key, number, picture
    const std::tuple<uint32_t, int, int, const char*> cases[] = {
        {79, 0x67, 1, "Num_7"},      {80, 0x68, 2, "Num_8"},         {81, 0x69, 3, "Num_9"},
        {83, 0x64, 4, "Num_4"},      {84, 0x65, 5, "Num_5"},         {85, 0x66, 6, "Num_6"},
        {87, 0x61, 7, "Num_1"},      {88, 0x62, 8, "Num_2"},         {89, 0x63, 9, "Num_3"},
        {90, 0x60, -1, "Num_0"},     {91, 0x6E, -1, "Num_Point"},    {86, 0x6B, -1, "Num_Plus"},
        {82, 0x6D, -1, "Num_Minus"}, {63, 0x6A, -1, "Num_Multiply"}, {106, 0x6F, -1, "Num_Divide"},
    };
    for (auto [nScanCode, nVk, nNumber, pszPicture] : cases)
    {
        const SPhysicalKey* pKey = FindPhysicalKey(nScanCode, 0, false);
        ASSERT_NE(nullptr, pKey) << pszPicture;
        EXPECT_EQ(nVk, pKey->nVk) << pszPicture;
        EXPECT_STREQ(pszPicture, KeyRule(pKey->nSlot)->pszPicture);
        EXPECT_EQ(nNumber, NumPadKeyToNumber(nVk)) << pszPicture;
        if (nNumber > 0)
            EXPECT_EQ(pKey->nSlot, NumPadSlot(nNumber)) << pszPicture;
    }
    EXPECT_EQ(-1, NumPadKeyToNumber('7'));
}

TEST(KeyMap, WithoutScanCodeTheKeyCodeSaysWhichKey)
{
    // key code, keypad mark, virtual key expected (0: no key)
    const std::tuple<int, bool, int> cases[] = {
        {'Q', false, 'Q'},
        {0x0419, false, 'Q'},  // Й: the same key on a Russian layout
        {0x042F, false, 'Z'},  // Я
        {0x0401, false, 0xC0}, // Ё
        {0x042E, false, 0xBE}, // Ю
        {'7', false, '7'},
        {'7', true, 0x67},          // the pad's 7
        {QtKey::Home, true, 0x67},  // the pad's 7 with NumLock off still plays
        {QtKey::Home, false, 0x24}, // the real Home switches the mode
        {QtKey::Enter, true, 0x0D},
        {QtKey::Shift, false, 0x10},
        {QtKey::Escape, false, 0x1B},
        {0x0416, true, 0},  // Ж is no pad key
        {0x20AC, false, 0}, // €: no key of ours
        {0, false, 0},
    };
    for (auto [nQtKey, bKeypad, nVk] : cases)
    {
        const SPhysicalKey* pKey = FindPhysicalKey(0, nQtKey, bKeypad);
        EXPECT_EQ(nVk, pKey ? pKey->nVk : 0) << std::hex << nQtKey << " keypad " << bKeypad;
    }
}

TEST(KeyMap, EveryPictureHasOneKeyOfItsOwn)
{
    std::set<int> slots;
    std::set<uint16_t> scanCodes;
    std::set<uint8_t> diks;
    for (int i = 0; i < PhysicalKeyCount(); ++i)
    {
        const SPhysicalKey& key = PhysicalKeys()[i];
        EXPECT_NE(nullptr, KeyRule(key.nSlot)) << key.nSlot;
        EXPECT_TRUE(slots.insert(key.nSlot).second) << key.nSlot;
        EXPECT_TRUE(scanCodes.insert(key.nScanCode).second) << key.nSlot;
        EXPECT_TRUE(diks.insert(key.nDik).second) << key.nSlot;
    }
    EXPECT_EQ(104u, slots.size());
}
} // namespace
