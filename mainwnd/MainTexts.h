// The main window's own texts: caption, menus, columns.
#pragma once

#include "platform/Translatable.h"

namespace Txt
{
inline constexpr const char* kCaption = "Tonegrove 1.0";
inline constexpr const char* kMenuFile = TG_TR_NOOP("Tonegrove", "Файл");
inline constexpr const char* kMenuEdit = TG_TR_NOOP("Tonegrove", "Правка");
inline constexpr const char* kMenuMusic = TG_TR_NOOP("Tonegrove", "Музыка");
inline constexpr const char* kMenuHelp = TG_TR_NOOP("Tonegrove", "Помощь");
inline constexpr const char* kNew = TG_TR_NOOP("Tonegrove", "Новый");
inline constexpr const char* kOpen = TG_TR_NOOP("Tonegrove", "Открыть");
inline constexpr const char* kOpenFolder = TG_TR_NOOP("Tonegrove", "Открыть из папки");
inline constexpr const char* kSave = TG_TR_NOOP("Tonegrove", "Сохранить");
inline constexpr const char* kSaveAs = TG_TR_NOOP("Tonegrove", "Сохранить как...");
inline constexpr const char* kSaveAll = TG_TR_NOOP("Tonegrove", "Сохранить все");
inline constexpr const char* kClose = TG_TR_NOOP("Tonegrove", "Закрыть");
inline constexpr const char* kSettings = TG_TR_NOOP("Tonegrove", "Настройки");
inline constexpr const char* kExit = TG_TR_NOOP("Tonegrove", "Выход");
inline constexpr const char* kCut = TG_TR_NOOP("Tonegrove", "Вырезать");
inline constexpr const char* kCopy = TG_TR_NOOP("Tonegrove", "Копировать");
inline constexpr const char* kPaste = TG_TR_NOOP("Tonegrove", "Вставить");
inline constexpr const char* kDelete = TG_TR_NOOP("Tonegrove", "Удалить");
inline constexpr const char* kRemoveGaps = TG_TR_NOOP("Tonegrove", "Убрать пустоты");
inline constexpr const char* kSelectionMark = TG_TR_NOOP("Tonegrove", "Отметка выделения");
// Playback names the selection mark item so.
inline constexpr const char* kMark = TG_TR_NOOP("Tonegrove", "Отметка");
// The selection mark item between the mark of the start and the mark of the end.
inline constexpr const char* kSelectionMarkEnd = TG_TR_NOOP("Tonegrove", "Конец отметки выделения");
// The project as a Standard MIDI File.
inline constexpr const char* kExportMidi = TG_TR_NOOP("Tonegrove", "Экспорт в MIDI...");
inline constexpr const char* kExportMidiTitle = TG_TR_NOOP("Tonegrove", "Экспорт в MIDI");
inline constexpr const char* kMidiFilter = "MIDI Audio(*.mid)";
inline constexpr const char* kExportFailedCaption = TG_TR_NOOP("Tonegrove", "Tonegrove: Ошибка");
// %1 the file, %2 why.
inline constexpr const char* kExportFailed = TG_TR_NOOP("Tonegrove", "Не удалось записать файл %1: %2");
inline constexpr const char* kSelectAll = TG_TR_NOOP("Tonegrove", "Выделить все");
inline constexpr const char* kPlay = TG_TR_NOOP("Tonegrove", "Играть");
inline constexpr const char* kPlayback = TG_TR_NOOP("Tonegrove", "Воспроизведение");
inline constexpr const char* kStop = TG_TR_NOOP("Tonegrove", "Стоп");
inline constexpr const char* kPause = TG_TR_NOOP("Tonegrove", "Пауза");
inline constexpr const char* kHelp = TG_TR_NOOP("Tonegrove", "Вызов сравки");
inline constexpr const char* kAbout = TG_TR_NOOP("Tonegrove", "О программе...");
inline constexpr const char* kUndoTip = TG_TR_NOOP("Tonegrove", "Отменить");
inline constexpr const char* kRedoTip = TG_TR_NOOP("Tonegrove", "Повторить");
inline constexpr const char* kColumnName = TG_TR_NOOP("Tonegrove", "Имя файла");
inline constexpr const char* kColumnTime = TG_TR_NOOP("Tonegrove", "Размер времени воспроизведения");
inline constexpr const char* kHelpFile = TG_TR_NOOP("Tonegrove", "tonegrove.html");

// Files that Open, Open folder or the command line could not open, or opened with a fault: one
// message names each of them and says why.
inline constexpr const char* kOpenProblemsCaption = TG_TR_NOOP("Tonegrove", "Tonegrove: Ошибка");
inline constexpr const char* kOpenProblemsText =
    TG_TR_NOOP("Tonegrove", "Некоторые файлы не открыты или открыты с ошибками:");
inline constexpr const char* kCannotRead =
    TG_TR_NOOP("Tonegrove", "файл не открыт, его невозможно прочитать: ");
// Then the reason: a folder, a pipe or a device is not opened at all.
inline constexpr const char* kNotOpened = TG_TR_NOOP("Tonegrove", "файл не открыт: ");
// The built-in synthesizer could not load the SoundFont chosen: %1 the file, %2 why, %3 the
// SoundFont that plays instead (kSoundFontNone: %3 could not be loaded either, %4 why).
inline constexpr const char* kSoundFontCaption = "Tonegrove";
inline constexpr const char* kSoundFontFallback =
    TG_TR_NOOP("Tonegrove", "Не удалось загрузить SoundFont %1: %2. Используется %3.");
inline constexpr const char* kSoundFontNone =
    TG_TR_NOOP("Tonegrove", "Не удалось загрузить SoundFont %1: %2. Не удалось загрузить и %3: "
                            "%4. Встроенный синтезатор не может играть.");
// Asked before a save writes over a file the project did not come from; %1 is the path.
inline constexpr const char* kReplaceQuestion =
    TG_TR_NOOP("Tonegrove", "Файл %1 уже существует.\nЗаменить его?");
// The question at start when the last run was ended from outside with unsaved projects.
inline constexpr const char* kRecoveryQuestion =
    TG_TR_NOOP("Tonegrove", "Работа программы была прервана. Несохранённые проекты записаны в копии:");
inline constexpr const char* kRecoveryOpen = TG_TR_NOOP("Tonegrove", "Открыть их?");
inline constexpr const char* kPanic = TG_TR_NOOP("Tonegrove", "Выключить все ноты");
// The key the panic is on, as the menu shows it.
inline constexpr const char* kPanicKey = "Pause";
// The MIDI output chosen in the settings is no longer in the system; %1 is its name.
inline constexpr const char* kOutputLostCaption = "Tonegrove";
inline constexpr const char* kOutputLost =
    TG_TR_NOOP("Tonegrove", "MIDI-устройство «%1» не найдено. Используется встроенный синтезатор.");
} // namespace Txt
