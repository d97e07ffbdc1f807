// The live play window's own texts: its caption, the three status lines and its one message.
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
} // namespace Txt
