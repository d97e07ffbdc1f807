// The live play window's own texts: its caption, the three status lines, its one message, and
// the status line of the MIDI input.
#pragma once

namespace Txt
{
inline constexpr const char* kPlaysCaption = "Играть ноты";
inline constexpr const char* kMidiChannel = "MIDI канал: ";
inline constexpr const char* kDxChannel = "DirectX канал: ";
inline constexpr const char* kMusicType = "Тип музыки: ";
inline constexpr const char* kMusicMidi = "MIDI";
inline constexpr const char* kMusicDirectX = "DirectX";
// The caption of the box that says the MIDI output cannot be opened (its text is the project
// player's, Msg::kMidiOpenFailed).
inline constexpr const char* kPlaysErrorCaption = "Ошибка!";
// The MIDI input's status line; the first three are followed by the input's name.
inline constexpr const char* kMidiInOpen = "Вход MIDI: ";
inline constexpr const char* kMidiInMissing = "Вход MIDI не подключён: ";
inline constexpr const char* kMidiInGone = "Вход MIDI отключён: ";
inline constexpr const char* kMidiInNotesOnly = "Вход MIDI: в проект 0.0 записываются только ноты";
} // namespace Txt
