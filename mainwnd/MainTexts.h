// The main window's own texts: caption, menus, columns.
#pragma once

namespace Txt
{
inline constexpr const char* kCaption = "Tonegrove 1.0";
inline constexpr const char* kMenuFile = "Файл";
inline constexpr const char* kMenuEdit = "Правка";
inline constexpr const char* kMenuMusic = "Музыка";
inline constexpr const char* kMenuHelp = "Помощь";
inline constexpr const char* kNew = "Новый";
inline constexpr const char* kOpen = "Открыть";
inline constexpr const char* kOpenFolder = "Открыть из папки";
inline constexpr const char* kSave = "Сохранить";
inline constexpr const char* kSaveAs = "Сохранить как...";
inline constexpr const char* kSaveAll = "Сохранить все";
inline constexpr const char* kClose = "Закрыть";
inline constexpr const char* kSettings = "Настройки";
inline constexpr const char* kExit = "Выход";
inline constexpr const char* kCut = "Вырезать";
inline constexpr const char* kCopy = "Копировать";
inline constexpr const char* kPaste = "Вставить";
inline constexpr const char* kDelete = "Удалить";
inline constexpr const char* kRemoveGaps = "Убрать пустоты";
inline constexpr const char* kSelectionMark = "Отметка выделения";
// Playback names the selection mark item so.
inline constexpr const char* kMark = "Отметка";
// The selection mark item between the mark of the start and the mark of the end.
inline constexpr const char* kSelectionMarkEnd = "Конец отметки выделения";
// The project as a Standard MIDI File.
inline constexpr const char* kExportMidi = "Экспорт в MIDI...";
inline constexpr const char* kExportMidiTitle = "Экспорт в MIDI";
inline constexpr const char* kMidiFilter = "MIDI Audio(*.mid)";
inline constexpr const char* kExportFailedCaption = "Tonegrove: Ошибка";
// %1 the file, %2 why.
inline constexpr const char* kExportFailed = "Не удалось записать файл %1: %2";
inline constexpr const char* kSelectAll = "Выделить все";
inline constexpr const char* kPlay = "Играть";
inline constexpr const char* kPlayback = "Воспроизведение";
inline constexpr const char* kStop = "Стоп";
inline constexpr const char* kPause = "Пауза";
inline constexpr const char* kPanic = "Выключить все ноты";
// The key the panic is on, as the menu shows it.
inline constexpr const char* kPanicKey = "Pause";
inline constexpr const char* kHelp = "Вызов сравки";
inline constexpr const char* kAbout = "О программе...";
inline constexpr const char* kUndoTip = "Отменить";
inline constexpr const char* kRedoTip = "Повторить";
inline constexpr const char* kColumnName = "Имя файла";
inline constexpr const char* kColumnTime = "Размер времени воспроизведения";
inline constexpr const char* kHelpFile = "tonegrove.html";

// Files that Open, Open folder or the command line could not open, or opened with a fault: one
// message names each of them and says why.
inline constexpr const char* kOpenProblemsCaption = "Tonegrove: Ошибка";
inline constexpr const char* kOpenProblemsText = "Некоторые файлы не открыты или открыты с ошибками:";
inline constexpr const char* kCannotRead = "файл не открыт, его невозможно прочитать: ";
// Then the reason: a folder, a pipe or a device is not opened at all.
inline constexpr const char* kNotOpened = "файл не открыт: ";
// The built-in synthesizer could not load the SoundFont chosen: %1 the file, %2 why, %3 the
// SoundFont that plays instead (kSoundFontNone: %3 could not be loaded either, %4 why).
inline constexpr const char* kSoundFontCaption = "Tonegrove";
inline constexpr const char* kSoundFontFallback = "Не удалось загрузить SoundFont %1: %2. Используется %3.";
inline constexpr const char* kSoundFontNone =
    "Не удалось загрузить SoundFont %1: %2. Не удалось загрузить и %3: "
    "%4. Встроенный синтезатор не может играть.";
// The MIDI output chosen in the settings is no longer in the system; %1 is its name.
inline constexpr const char* kOutputLostCaption = "Tonegrove";
inline constexpr const char* kOutputLost =
    "MIDI-устройство «%1» не найдено. Используется встроенный синтезатор.";
// Asked before a save writes over a file the project did not come from; %1 is the path.
inline constexpr const char* kReplaceQuestion = "Файл %1 уже существует.\nЗаменить его?";
// The question at start when the last run was ended from outside with unsaved projects.
inline constexpr const char* kRecoveryQuestion =
    "Работа программы была прервана. Несохранённые проекты записаны в копии:";
inline constexpr const char* kRecoveryOpen = "Открыть их?";
} // namespace Txt
