#include "keyboard/KeyMap.h"

#include <array>
#include <iterator>

namespace
{
// X11 key codes are the Linux evdev codes plus 8; the DirectInput codes of the main block are
// the PC scan codes, which equal the evdev codes there.
constexpr uint16_t Ev(int nEvdev)
{
    return static_cast<uint16_t>(nEvdev + 8);
}

// Capital Cyrillic letters of the Russian layout (their code points are the toolkit's key codes).
enum : int
{
    kYo = 0x0401,
    kA = 0x0410,
    kBe = 0x0411,
    kVe = 0x0412,
    kGe = 0x0413,
    kDe = 0x0414,
    kIe = 0x0415,
    kZhe = 0x0416,
    kZe = 0x0417,
    kI = 0x0418,
    kShortI = 0x0419,
    kKa = 0x041A,
    kEl = 0x041B,
    kEm = 0x041C,
    kEn = 0x041D,
    kO = 0x041E,
    kPe = 0x041F,
    kEr = 0x0420,
    kEs = 0x0421,
    kTe = 0x0422,
    kU = 0x0423,
    kEf = 0x0424,
    kHa = 0x0425,
    kTse = 0x0426,
    kChe = 0x0427,
    kSha = 0x0428,
    kShcha = 0x0429,
    kHard = 0x042A,
    kYeru = 0x042B,
    kSoft = 0x042C,
    kE = 0x042D,
    kYu = 0x042E,
    kYa = 0x042F,
};

constexpr int F(int n)
{
    return QtKey::F1 + n - 1;
}

// slot, scan code, virtual key, DirectInput code, key code, Russian or NumLock-off key code, keypad
const SPhysicalKey kKeys[] = {
    {1, Ev(1), 0x1B, 0x01, QtKey::Escape, 0, false},
    {2, Ev(59), 0x70, 0x3B, F(1), 0, false},
    {3, Ev(60), 0x71, 0x3C, F(2), 0, false},
    {4, Ev(61), 0x72, 0x3D, F(3), 0, false},
    {5, Ev(62), 0x73, 0x3E, F(4), 0, false},
    {6, Ev(63), 0x74, 0x3F, F(5), 0, false},
    {7, Ev(64), 0x75, 0x40, F(6), 0, false},
    {8, Ev(65), 0x76, 0x41, F(7), 0, false},
    {9, Ev(66), 0x77, 0x42, F(8), 0, false},
    {10, Ev(67), 0x78, 0x43, F(9), 0, false},
    {11, Ev(68), 0x79, 0x44, F(10), 0, false},
    {12, Ev(87), 0x7A, 0x57, F(11), 0, false},
    {13, Ev(88), 0x7B, 0x58, F(12), 0, false},
    {14, Ev(99), 0x2C, 0xB7, QtKey::Print, 0, false},
    {15, Ev(70), 0x91, 0x46, QtKey::ScrollLock, 0, false},
    {16, Ev(119), 0x13, 0xC5, QtKey::Pause, 0, false},
    {17, Ev(41), 0xC0, 0x29, '`', kYo, false},
    {18, Ev(2), '1', 0x02, '1', 0, false},
    {19, Ev(3), '2', 0x03, '2', 0, false},
    {20, Ev(4), '3', 0x04, '3', 0, false},
    {21, Ev(5), '4', 0x05, '4', 0, false},
    {22, Ev(6), '5', 0x06, '5', 0, false},
    {23, Ev(7), '6', 0x07, '6', 0, false},
    {24, Ev(8), '7', 0x08, '7', 0, false},
    {25, Ev(9), '8', 0x09, '8', 0, false},
    {26, Ev(10), '9', 0x0A, '9', 0, false},
    {27, Ev(11), '0', 0x0B, '0', 0, false},
    {28, Ev(12), 0xBD, 0x0C, '-', 0, false},
    {29, Ev(13), 0xBB, 0x0D, '=', 0, false},
    {31, Ev(14), 0x08, 0x0E, QtKey::Backspace, 0, false},
    {32, Ev(15), 0x09, 0x0F, QtKey::Tab, 0, false},
    {33, Ev(16), 'Q', 0x10, 'Q', kShortI, false},
    {34, Ev(17), 'W', 0x11, 'W', kTse, false},
    {35, Ev(18), 'E', 0x12, 'E', kU, false},
    {36, Ev(19), 'R', 0x13, 'R', kKa, false},
    {37, Ev(20), 'T', 0x14, 'T', kIe, false},
    {38, Ev(21), 'Y', 0x15, 'Y', kEn, false},
    {39, Ev(22), 'U', 0x16, 'U', kGe, false},
    {40, Ev(23), 'I', 0x17, 'I', kSha, false},
    {41, Ev(24), 'O', 0x18, 'O', kShcha, false},
    {42, Ev(25), 'P', 0x19, 'P', kZe, false},
    {43, Ev(26), 0xDB, 0x1A, '[', kHa, false},
    {44, Ev(27), 0xDD, 0x1B, ']', kHard, false},
    {45, Ev(43), 0xDC, 0x2B, '\\', 0, false},
    {46, Ev(58), 0x14, 0x3A, QtKey::CapsLock, 0, false},
    {47, Ev(30), 'A', 0x1E, 'A', kEf, false},
    {48, Ev(31), 'S', 0x1F, 'S', kYeru, false},
    {49, Ev(32), 'D', 0x20, 'D', kVe, false},
    {50, Ev(33), 'F', 0x21, 'F', kA, false},
    {51, Ev(34), 'G', 0x22, 'G', kPe, false},
    {52, Ev(35), 'H', 0x23, 'H', kEr, false},
    {53, Ev(36), 'J', 0x24, 'J', kO, false},
    {54, Ev(37), 'K', 0x25, 'K', kEl, false},
    {55, Ev(38), 'L', 0x26, 'L', kDe, false},
    {56, Ev(39), 0xBA, 0x27, ';', kZhe, false},
    {57, Ev(40), 0xDE, 0x28, '\'', kE, false},
    {58, Ev(28), 0x0D, 0x1C, QtKey::Return, 0, false},
    {59, Ev(42), 0x10, 0x2A, QtKey::Shift, 0, false},
    {60, Ev(44), 'Z', 0x2C, 'Z', kYa, false},
    {61, Ev(45), 'X', 0x2D, 'X', kChe, false},
    {62, Ev(46), 'C', 0x2E, 'C', kEs, false},
    {63, Ev(47), 'V', 0x2F, 'V', kEm, false},
    {64, Ev(48), 'B', 0x30, 'B', kI, false},
    {65, Ev(49), 'N', 0x31, 'N', kTe, false},
    {66, Ev(50), 'M', 0x32, 'M', kSoft, false},
    {67, Ev(51), 0xBC, 0x33, ',', kBe, false},
    {68, Ev(52), 0xBE, 0x34, '.', kYu, false},
    {69, Ev(53), 0xBF, 0x35, '/', 0, false},
    {70, Ev(54), 0x10, 0x36, 0, 0, false}, // a second Shift: without a scan code it is the left one
    {71, Ev(29), 0x11, 0x1D, QtKey::Control, 0, false},
    {72, Ev(125), 0x5B, 0xDB, QtKey::SuperL, QtKey::Meta, false},
    {73, Ev(56), 0x12, 0x38, QtKey::Alt, 0, false},
    {74, Ev(57), 0x20, 0x39, ' ', 0, false},
    {75, Ev(100), 0x12, 0xB8, QtKey::AltGr, 0, false},
    {76, Ev(126), 0x5C, 0xDC, QtKey::SuperR, 0, false},
    {77, Ev(127), 0x5D, 0xDD, QtKey::Menu, 0, false},
    {78, Ev(97), 0x11, 0x9D, 0, 0, false}, // a second Control, as with Shift
    {79, Ev(110), 0x2D, 0xD2, QtKey::Insert, 0, false},
    {80, Ev(102), 0x24, 0xC7, QtKey::Home, 0, false},
    {81, Ev(104), 0x21, 0xC9, QtKey::PageUp, 0, false},
    {82, Ev(111), 0x2E, 0xD3, QtKey::Delete, 0, false},
    {83, Ev(107), 0x23, 0xCF, QtKey::End, 0, false},
    {84, Ev(109), 0x22, 0xD1, QtKey::PageDown, 0, false},
    {85, Ev(105), 0x25, 0xCB, QtKey::Left, 0, false},
    {86, Ev(103), 0x26, 0xC8, QtKey::Up, 0, false},
    {87, Ev(106), 0x27, 0xCD, QtKey::Right, 0, false},
    {88, Ev(108), 0x28, 0xD0, QtKey::Down, 0, false},
    {89, Ev(69), 0x90, 0x45, QtKey::NumLock, 0, false},
    // The numeric pad counts as NumLock on whatever its light says: its digits are notes, and
    // with NumLock off its 7 and 1 would otherwise turn into Home and End and switch the mode.
    {90, Ev(98), 0x6F, 0xB5, '/', 0, true},
    {91, Ev(55), 0x6A, 0x37, '*', 0, true},
    {92, Ev(74), 0x6D, 0x4A, '-', 0, true},
    {93, Ev(71), 0x67, 0x47, '7', QtKey::Home, true},
    {94, Ev(72), 0x68, 0x48, '8', QtKey::Up, true},
    {95, Ev(73), 0x69, 0x49, '9', QtKey::PageUp, true},
    {96, Ev(75), 0x64, 0x4B, '4', QtKey::Left, true},
    {97, Ev(76), 0x65, 0x4C, '5', QtKey::Clear, true},
    {98, Ev(77), 0x66, 0x4D, '6', QtKey::Right, true},
    {99, Ev(79), 0x61, 0x4F, '1', QtKey::End, true},
    {100, Ev(80), 0x62, 0x50, '2', QtKey::Down, true},
    {101, Ev(81), 0x63, 0x51, '3', QtKey::PageDown, true},
    {102, Ev(82), 0x60, 0x52, '0', QtKey::Insert, true},
    {103, Ev(83), 0x6E, 0x53, '.', QtKey::Delete, true},
    {104, Ev(78), 0x6B, 0x4E, '+', 0, true},
    {105, Ev(96), 0x0D, 0x9C, QtKey::Enter, 0, true},
};

// Note index -> virtual key and slot: the Q row, the A row, the Z row, the digit row, then \ and
// Backspace.
struct SNoteKey
{
    int nVk;
    int nSlot;
};
constexpr std::array<SNoteKey, kNoteKeys> kNotes = {{
    {'Q', 33},  {'W', 34},  {'E', 35},  {'R', 36},  {'T', 37},  {'Y', 38},  {'U', 39},  {'I', 40},
    {'O', 41},  {'P', 42},  {0xDB, 43}, {0xDD, 44}, {'A', 47},  {'S', 48},  {'D', 49},  {'F', 50},
    {'G', 51},  {'H', 52},  {'J', 53},  {'K', 54},  {'L', 55},  {0xBA, 56}, {0xDE, 57}, {'Z', 60},
    {'X', 61},  {'C', 62},  {'V', 63},  {'B', 64},  {'N', 65},  {'M', 66},  {0xBC, 67}, {0xBE, 68},
    {0xBF, 69}, {0xC0, 17}, {'1', 18},  {'2', 19},  {'3', 20},  {'4', 21},  {'5', 22},  {'6', 23},
    {'7', 24},  {'8', 25},  {'9', 26},  {'0', 27},  {0xBD, 28}, {0xBB, 29}, {0xDC, 45}, {0x08, 31},
}};

// Number 1 to 9 -> virtual key and slot: the pad's rows from the top, as a phone dials.
constexpr std::array<SNoteKey, 9> kPad = {{
    {0x67, 93},
    {0x68, 94},
    {0x69, 95},
    {0x64, 96},
    {0x65, 97},
    {0x66, 98},
    {0x61, 99},
    {0x62, 100},
    {0x63, 101},
}};
} // namespace

const SPhysicalKey* PhysicalKeys()
{
    return kKeys;
}
int PhysicalKeyCount()
{
    return static_cast<int>(std::size(kKeys));
}

const SPhysicalKey* FindPhysicalKey(uint32_t nScanCode, int nQtKey, bool bKeypad)
{
    if (nScanCode != 0)
    {
        for (const SPhysicalKey& key : kKeys)
            if (key.nScanCode == nScanCode)
                return &key;
        return nullptr;
    }
    if (nQtKey == 0)
        return nullptr;
    for (const SPhysicalKey& key : kKeys)
        if (key.bKeypad == bKeypad && (key.nQtKey == nQtKey || key.nQtKeyAlt == nQtKey))
            return &key;
    return nullptr;
}

const SPhysicalKey* PhysicalKeyOfSlot(int nSlot)
{
    for (const SPhysicalKey& key : kKeys)
        if (key.nSlot == nSlot)
            return &key;
    return nullptr;
}

int KeyVk(const SPhysicalKey* pKey, bool bCtrl)
{
    if (!pKey)
        return 0;
    return pKey->nVk == Vk::Pause && bCtrl ? Vk::Cancel : pKey->nVk;
}

int NoteIndexOfKey(int nVk)
{
    for (size_t i = 0; i < kNotes.size(); ++i)
        if (kNotes[i].nVk == nVk)
            return static_cast<int>(i);
    return -1;
}

int NoteKeyVk(int nIndex)
{
    return nIndex >= 0 && nIndex < kNoteKeys ? kNotes[static_cast<size_t>(nIndex)].nVk : 0;
}

int NoteKeySlot(int nIndex)
{
    return nIndex >= 0 && nIndex < kNoteKeys ? kNotes[static_cast<size_t>(nIndex)].nSlot : 0;
}

int NumPadKeyToNumber(int nVk)
{
    for (size_t i = 0; i < kPad.size(); ++i)
        if (kPad[i].nVk == nVk)
            return static_cast<int>(i) + 1;
    return -1;
}

int NumPadSlot(int nNumber)
{
    return nNumber >= 1 && nNumber <= 9 ? kPad[static_cast<size_t>(nNumber - 1)].nSlot : 0;
}
