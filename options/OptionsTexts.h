// The Options dialog's own texts: caption, buttons, page captions, control texts and list
// items, and the SoundFont field's texts and message, each in one place.
#pragma once

namespace OptTxt
{
inline constexpr const char* kCaption = "Настройки";
inline constexpr const char* kOk = "ОК";
inline constexpr const char* kCancel = "Отмена";

// Page "Общие"
inline constexpr const char* kGeneralPage = "Общие";
inline constexpr const char* kKeyboardGroup = "Настройки клавиатуры";
inline constexpr const char* kExtView = "Вид расширенной клавиатуры";
inline constexpr const char* kMusicTypes[] = {"Режим клавиатуры MIDI", "Режим клавиатуры DirectX"};
inline constexpr const char* kProjectGroup = "Тип создаваемого проекта";
inline constexpr const char* kProjectTypes[] = {"Tonegrove Project 0.0", "Tonegrove Project 0.1"};
inline constexpr const char* kPlayGroup = "Настройки воспроизведения";
inline constexpr const char* kAllPlay = "Воспроизводить весь список";
inline constexpr const char* kPlayNoEnd = "Воспроизводить список воспроизведения много раз";

// Page "MIDI"
inline constexpr const char* kMidiPage = "MIDI";
inline constexpr const char* kDeviceGroup = "MIDI устройство";
inline constexpr const char* kOtherMidiGroup = "Другие настройки MIDI";
inline constexpr const char* kBaseNote = "Базовая нота:";
inline constexpr const char* kSynthGroup = "Встроенный синтезатор";
inline constexpr const char* kSoundFont = "Файл SoundFont:";
inline constexpr const char* kSoundFontEmpty = "системный General MIDI";
inline constexpr const char* kBrowse = "Обзор...";
inline constexpr const char* kSoundFontTitle = "Выбор файла SoundFont";
inline constexpr const char* kSoundFontFilter = "SoundFont (*.sf2);;Все файлы (*)";
inline constexpr const char* kSoundFontBad = "Этот файл не может быть загружен как SoundFont:";
inline constexpr const char* kSoundFontKept = "Встроенный синтезатор оставит прежний SoundFont.";
inline constexpr const char* kSoundFontCaption = "Tonegrove: Ошибка SoundFont";
inline constexpr const char* kMidiInGroup = "Вход MIDI";
inline constexpr const char* kMidiInNone = "Нет";
// After the name of a chosen input that is not plugged in now.
inline constexpr const char* kMidiInAbsent = " (не подключён)";

// Page "DirectX Music (Осцилятор)"
inline constexpr const char* kOscillatorPage = "DirectX Music (Осцилятор)";
inline constexpr const char* kOscGroup = "DirectX Music";
inline constexpr const char* kFrequency = "Частота";
inline constexpr const char* kVolume = "Громкость";
inline constexpr const char* kResonance = "Резонанс";
inline constexpr const char* kSynthMode = "Индекс синтезатора";
inline constexpr const char* kSynthModes[] = {"A", "B"};
inline constexpr const char* kOscilatorMode = "Тип осцилятора";
inline constexpr const char* kOscilatorModes[] = {"Sin", "Square"};
} // namespace OptTxt
