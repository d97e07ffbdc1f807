// The Options dialog's own texts: caption, buttons, page captions, control texts and list
// items, and the SoundFont field's texts and message, each in one place.
#pragma once

#include "platform/Translatable.h"

namespace OptTxt
{
inline constexpr const char* kCaption = TG_TR_NOOP("Tonegrove", "Настройки");
inline constexpr const char* kOk = TG_TR_NOOP("Tonegrove", "ОК");
inline constexpr const char* kCancel = TG_TR_NOOP("Tonegrove", "Отмена");

// Page "Общие"
inline constexpr const char* kGeneralPage = TG_TR_NOOP("Tonegrove", "Общие");
inline constexpr const char* kKeyboardGroup = TG_TR_NOOP("Tonegrove", "Настройки клавиатуры");
inline constexpr const char* kExtView = TG_TR_NOOP("Tonegrove", "Вид расширенной клавиатуры");
inline constexpr const char* kMusicTypes[] = {TG_TR_NOOP("Tonegrove", "Режим клавиатуры MIDI"),
                                              TG_TR_NOOP("Tonegrove", "Режим клавиатуры DirectX")};
inline constexpr const char* kProjectGroup = TG_TR_NOOP("Tonegrove", "Тип создаваемого проекта");
inline constexpr const char* kProjectTypes[] = {"Tonegrove Project 0.0", "Tonegrove Project 0.1"};
inline constexpr const char* kPlayGroup = TG_TR_NOOP("Tonegrove", "Настройки воспроизведения");
inline constexpr const char* kAllPlay = TG_TR_NOOP("Tonegrove", "Воспроизводить весь список");
inline constexpr const char* kPlayNoEnd =
    TG_TR_NOOP("Tonegrove", "Воспроизводить список воспроизведения много раз");

// Page "MIDI"
inline constexpr const char* kMidiPage = "MIDI";
inline constexpr const char* kDeviceGroup = TG_TR_NOOP("Tonegrove", "MIDI устройство");
inline constexpr const char* kOtherMidiGroup = TG_TR_NOOP("Tonegrove", "Другие настройки MIDI");
inline constexpr const char* kBaseNote = TG_TR_NOOP("Tonegrove", "Базовая нота:");
inline constexpr const char* kSynthGroup = TG_TR_NOOP("Tonegrove", "Встроенный синтезатор");
inline constexpr const char* kSoundFont = TG_TR_NOOP("Tonegrove", "Файл SoundFont:");
inline constexpr const char* kSoundFontEmpty = TG_TR_NOOP("Tonegrove", "системный General MIDI");
inline constexpr const char* kBrowse = TG_TR_NOOP("Tonegrove", "Обзор...");
inline constexpr const char* kSoundFontTitle = TG_TR_NOOP("Tonegrove", "Выбор файла SoundFont");
inline constexpr const char* kSoundFontFilter = TG_TR_NOOP("Tonegrove", "SoundFont (*.sf2);;Все файлы (*)");
inline constexpr const char* kSoundFontBad =
    TG_TR_NOOP("Tonegrove", "Этот файл не может быть загружен как SoundFont:");
inline constexpr const char* kSoundFontKept =
    TG_TR_NOOP("Tonegrove", "Встроенный синтезатор оставит прежний SoundFont.");
inline constexpr const char* kSoundFontCaption = TG_TR_NOOP("Tonegrove", "Tonegrove: Ошибка SoundFont");

// Page "DirectX Music (Осцилятор)"
inline constexpr const char* kOscillatorPage = TG_TR_NOOP("Tonegrove", "DirectX Music (Осцилятор)");
inline constexpr const char* kOscGroup = "DirectX Music";
inline constexpr const char* kFrequency = TG_TR_NOOP("Tonegrove", "Частота");
inline constexpr const char* kVolume = TG_TR_NOOP("Tonegrove", "Громкость");
inline constexpr const char* kResonance = TG_TR_NOOP("Tonegrove", "Резонанс");
inline constexpr const char* kSynthMode = TG_TR_NOOP("Tonegrove", "Индекс синтезатора");
inline constexpr const char* kSynthModes[] = {"A", "B"};
inline constexpr const char* kOscilatorMode = TG_TR_NOOP("Tonegrove", "Тип осцилятора");
inline constexpr const char* kOscilatorModes[] = {"Sin", "Square"};
inline constexpr const char* kMidiInGroup = TG_TR_NOOP("Tonegrove", "Вход MIDI");
inline constexpr const char* kMidiInNone = TG_TR_NOOP("Tonegrove", "Нет");
// After the name of a chosen input that is not plugged in now.
inline constexpr const char* kMidiInAbsent = TG_TR_NOOP("Tonegrove", " (не подключён)");
} // namespace OptTxt
