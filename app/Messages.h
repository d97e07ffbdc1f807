// The program's own message texts and captions that the engine shows, each in one place.
#pragma once

#include "platform/Translatable.h"

namespace Msg
{
// Settings store
inline constexpr const char* kRegisterErrorCaption = "Register error";
// Then the folder (when there is one), a line break, the reason and kSettingsInMemory.
inline constexpr const char* kSettingsNotSaved = TG_TR_NOOP("Tonegrove", "Не удалось сохранить настройки");
inline constexpr const char* kSettingsNotSavedFolder = TG_TR_NOOP("Tonegrove", " в папке ");
inline constexpr const char* kSettingsNotRead = TG_TR_NOOP("Tonegrove", "Не удалось прочитать настройки");
inline constexpr const char* kSettingsNotReadFolder = TG_TR_NOOP("Tonegrove", " из папки ");
inline constexpr const char* kSettingsInMemory =
    TG_TR_NOOP("Tonegrove", "Программа продолжит работу с настройками в памяти.");

// File reading: the reason given for anything but a regular file
inline constexpr const char* kNotRegularFile =
    TG_TR_NOOP("Tonegrove", "Это не обычный файл (папка, именованный канал или устройство)");

// Project checks
inline constexpr const char* kDamagedLength =
    TG_TR_NOOP("Tonegrove", "TGP - файл поврежден, и поэтому проверка его длины невозможна!");
inline constexpr const char* kDamagedHeaderCaption = TG_TR_NOOP("Tonegrove", "Tonegrove: Ошибка");
inline constexpr const char* kFutureVersion = TG_TR_NOOP(
    "Tonegrove",
    "Этот файл возможно создан в будущих версиях Tonegrove, и поэтому не может быть воспроизведен!");
inline constexpr const char* kFutureVersionCaption = TG_TR_NOOP("Tonegrove", "Ошибка!");
inline constexpr const char* kDamagedRecordCaption = TG_TR_NOOP("Tonegrove", "Ошибка");
} // namespace Msg

// File dialogs and the playlist's file commands
namespace Msg
{
inline constexpr const char* kOpenTitle = TG_TR_NOOP("Tonegrove", "Открыть");
// Qt's filter form of the four filters: all formats, projects, MIDI, WAVE.
// .midi and .kar are MIDI files too.
inline constexpr const char* kOpenFilters =
    TG_TR_NOOP("Tonegrove", "Все форматы (*.mid *.midi *.kar *.tgp *.wav);;"
                            "Tonegrove Projects Files(*.tgp);;"
                            "MIDI Audio(*.mid *.midi *.kar);;"
                            "WAVE Audio(*.wav)");
inline constexpr const char* kProjectFilter = "Tonegrove Projects Files(*.tgp)";
inline constexpr const char* kOpenFolderTitle = TG_TR_NOOP("Tonegrove", "Открыть папку");
inline constexpr const char* kSaveTitle = TG_TR_NOOP("Tonegrove", "Сохранить файл");
inline constexpr const char* kSaveAsTitle = TG_TR_NOOP("Tonegrove", "Сохранить как");
inline constexpr const char* kNotSaved = TG_TR_NOOP("Tonegrove", "Файл не сохранен!");
inline constexpr const char* kNotSavedCaption = TG_TR_NOOP("Tonegrove", "Ошибка!");
inline constexpr const char* kSaveAllCaption = TG_TR_NOOP("Tonegrove", "Ошибка записи");
inline constexpr const char* kSaveAllText =
    TG_TR_NOOP("Tonegrove", "ОШИБКА!!!\r\nНе могли сохраниться слеюующие файлы:\r\n\r\n");
inline constexpr const char* kUnsavedQuestion =
    TG_TR_NOOP("Tonegrove", "Некоторые проекты изменены и не сохранены. Сохранить их перед выходом?");
inline constexpr const char* kUnsavedCaption = "Tonegrove";
inline constexpr const char* kHelpMissing = TG_TR_NOOP("Tonegrove", "Файл справки не найден:");
// The page is there, but the desktop has no program that shows it.
inline constexpr const char* kHelpNoViewer =
    TG_TR_NOOP("Tonegrove", "Файл справки не открылся: в системе нет программы для просмотра страниц HTML.");
} // namespace Msg

// Media player
namespace Msg
{
inline constexpr const char* kMediaOpenError =
    TG_TR_NOOP("Tonegrove", "Возникла ошибка при открытии, детали ошибки:");
inline constexpr const char* kMediaOpenErrorCaption = TG_TR_NOOP("Tonegrove", "При открытии возникла ошибка");
inline constexpr const char* kMediaPlayError =
    TG_TR_NOOP("Tonegrove", "Возникла ошибка при возпроизведении, детали ошибки:");
inline constexpr const char* kMediaPlayErrorCaption =
    TG_TR_NOOP("Tonegrove", "При воспроизведении возникла ошибка");
} // namespace Msg

// Project player
namespace Msg
{
inline constexpr const char* kMidiOpenFailed =
    TG_TR_NOOP("Tonegrove", "Не могу открыть поток MIDI-устройств!");
inline constexpr const char* kMidiErrorCaption = TG_TR_NOOP("Tonegrove", "Tonegrove: Ошибка MIDI");
inline constexpr const char* kDamagedPlayback =
    TG_TR_NOOP("Tonegrove", "TGP - файл поврежден, и поэтому его воспроизведение невозможно!");
inline constexpr const char* kPlaybackErrorCaption = TG_TR_NOOP("Tonegrove", "Ошибка воспроизведения!");
} // namespace Msg

// Clip editing
namespace Msg
{
inline constexpr const char* kDamagedEditing =
    TG_TR_NOOP("Tonegrove", "TGP - файл поврежден, и поэтому его редактирование невозможно!");
// Copy of a version 0.1 project whose record is damaged (kDamagedLength with this caption).
inline constexpr const char* kCopyDamagedCaption = TG_TR_NOOP("Tonegrove", "Внимание!");
inline constexpr const char* kBalanceQuestion = TG_TR_NOOP(
    "Tonegrove", "В выделенном участке открытые и закрытые ноты не соответствуют друг другу. Убрать лишнее?");
inline constexpr const char* kCopyQuestionCaption = TG_TR_NOOP("Tonegrove", "Вопрос о копировании");
inline constexpr const char* kEditQuestionCaption = TG_TR_NOOP("Tonegrove", "Вопрос о редактировании");
// A clip of the other format version pasted: followed by how many records were left out.
inline constexpr const char* kClipLeftOut =
    TG_TR_NOOP("Tonegrove",
               "Часть записей фрагмента нельзя записать в версии формата этого проекта, и они не вставлены. "
               "Пропущено записей: ");
inline constexpr const char* kClipLeftOutCaption = kUnsavedCaption; // the program's name
} // namespace Msg
