// Which physical key was pressed and what it plays: the keys by their position (X11/evdev scan
// code) with the Windows virtual-key and DirectInput codes the keyboard logic works in, the 48
// note keys and the nine numeric-pad digits.
#pragma once

#include <cstdint>

// The virtual-key codes the keyboard logic acts on.
namespace Vk
{
inline constexpr int Back = 0x08;
inline constexpr int Return = 0x0D;
inline constexpr int Cancel = 0x03; // Ctrl+Break
inline constexpr int Pause = 0x13;
inline constexpr int Escape = 0x1B;
inline constexpr int Prior = 0x21; // Page Up
inline constexpr int Next = 0x22;  // Page Down
inline constexpr int End = 0x23;
inline constexpr int Home = 0x24;
inline constexpr int Insert = 0x2D;
inline constexpr int Delete = 0x2E;
inline constexpr int NumPadFirst = 0x60; // numeric pad 0 ...
inline constexpr int NumPadLast = 0x6F;  // ... to its divide key
} // namespace Vk

// Key codes of the window toolkit (Qt::Key values), for the keys that arrive without a scan
// code (the offscreen platform): the key code then says which key it was.
namespace QtKey
{
inline constexpr int Escape = 0x01000000;
inline constexpr int Tab = 0x01000001;
inline constexpr int Backspace = 0x01000003;
inline constexpr int Return = 0x01000004;
inline constexpr int Enter = 0x01000005;
inline constexpr int Insert = 0x01000006;
inline constexpr int Delete = 0x01000007;
inline constexpr int Pause = 0x01000008;
inline constexpr int Print = 0x01000009;
inline constexpr int Clear = 0x0100000b;
inline constexpr int Home = 0x01000010;
inline constexpr int End = 0x01000011;
inline constexpr int Left = 0x01000012;
inline constexpr int Up = 0x01000013;
inline constexpr int Right = 0x01000014;
inline constexpr int Down = 0x01000015;
inline constexpr int PageUp = 0x01000016;
inline constexpr int PageDown = 0x01000017;
inline constexpr int Shift = 0x01000020;
inline constexpr int Control = 0x01000021;
inline constexpr int Meta = 0x01000022;
inline constexpr int Alt = 0x01000023;
inline constexpr int CapsLock = 0x01000024;
inline constexpr int NumLock = 0x01000025;
inline constexpr int ScrollLock = 0x01000026;
inline constexpr int F1 = 0x01000030;
inline constexpr int SuperL = 0x01000053;
inline constexpr int SuperR = 0x01000054;
inline constexpr int Menu = 0x01000055;
inline constexpr int AltGr = 0x01001103;
inline constexpr int Cancel = 0x01020001;
} // namespace QtKey

struct SPhysicalKey
{
    int nSlot;          // the key's picture (layout slot)
    uint16_t nScanCode; // X11 key code: the evdev code + 8
    uint8_t nVk;        // Windows virtual-key code
    uint8_t nDik;       // DirectInput key code (index into CNoteKeyboard::KeyState())
    int nQtKey;         // what the toolkit calls it on a US layout
    int nQtKeyAlt;      // on a Russian layout (the capital Cyrillic letter) or, on the numeric
                        // pad, with NumLock off; 0 for none
    bool bKeypad;       // the toolkit marks it as a numeric-pad key
};

// All 104 keys of the picture, one per used slot.
const SPhysicalKey* PhysicalKeys();
int PhysicalKeyCount();
// By scan code when there is one; otherwise by the toolkit's key code and keypad mark. Null for
// a key the picture does not have.
const SPhysicalKey* FindPhysicalKey(uint32_t nScanCode, int nQtKey, bool bKeypad);
const SPhysicalKey* PhysicalKeyOfSlot(int nSlot);
// The virtual key a physical key gives (0 for none): Pause with Ctrl is Break, the Cancel key.
int KeyVk(const SPhysicalKey* pKey, bool bCtrl);

inline constexpr int kNoteKeys = 48;
// Note index 0 to 47 of a virtual key, -1 for every other key.
int NoteIndexOfKey(int nVk);
// The virtual key and the picture slot of a note index.
int NoteKeyVk(int nIndex);
int NoteKeySlot(int nIndex);
// Numeric-pad digits 7 8 9 4 5 6 1 2 3 stand for 1 to 9; -1 for every other key.
int NumPadKeyToNumber(int nVk);
int NumPadSlot(int nNumber);
