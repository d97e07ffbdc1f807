// The live play window's own texts: its caption, the three status lines, its one message, and
// the status line of the MIDI input.
#pragma once

#include "platform/Translatable.h"

namespace Txt
{
inline constexpr const char* kPlaysCaption = TG_TR_NOOP("Tonegrove", "Играть ноты");
inline constexpr const char* kMidiChannel = TG_TR_NOOP("Tonegrove", "MIDI канал: ");
inline constexpr const char* kDxChannel = TG_TR_NOOP("Tonegrove", "DirectX канал: ");
inline constexpr const char* kMusicType = TG_TR_NOOP("Tonegrove", "Тип музыки: ");
inline constexpr const char* kMusicMidi = "MIDI";
inline constexpr const char* kMusicDirectX = "DirectX";
// The caption of the box that says the MIDI output cannot be opened (its text is the project
// player's, Msg::kMidiOpenFailed).
inline constexpr const char* kPlaysErrorCaption = TG_TR_NOOP("Tonegrove", "Ошибка!");
// The MIDI input's status line; the first three are followed by the input's name.
inline constexpr const char* kMidiInOpen = TG_TR_NOOP("Tonegrove", "Вход MIDI: ");
inline constexpr const char* kMidiInMissing = TG_TR_NOOP("Tonegrove", "Вход MIDI не подключён: ");
inline constexpr const char* kMidiInGone = TG_TR_NOOP("Tonegrove", "Вход MIDI отключён: ");
inline constexpr const char* kMidiInNotesOnly =
    TG_TR_NOOP("Tonegrove", "Вход MIDI: в проект 0.0 записываются только ноты");
} // namespace Txt
