// The program's own message texts and captions that the engine shows, each in one place.
#pragma once

namespace Msg
{
// Settings store
inline constexpr const char* kRegisterErrorCaption = "Register error";
// Then the folder (when there is one), a line break, the reason and kSettingsInMemory.
inline constexpr const char* kSettingsNotSaved = "Не удалось сохранить настройки";
inline constexpr const char* kSettingsNotSavedFolder = " в папке ";
inline constexpr const char* kSettingsNotRead = "Не удалось прочитать настройки";
inline constexpr const char* kSettingsNotReadFolder = " из папки ";
inline constexpr const char* kSettingsInMemory = "Программа продолжит работу с настройками в памяти.";

// File reading: the reason given for anything but a regular file
inline constexpr const char* kNotRegularFile =
    "Это не обычный файл (папка, именованный канал или устройство)";

// Project checks
inline constexpr const char* kDamagedLength =
    "TGP - файл поврежден, и поэтому проверка его длины невозможна!";
inline constexpr const char* kDamagedHeaderCaption = "Tonegrove: Ошибка";
inline constexpr const char* kFutureVersion =
    "Этот файл возможно создан в будущих версиях Tonegrove, и поэтому не может быть воспроизведен!";
inline constexpr const char* kFutureVersionCaption = "Ошибка!";
inline constexpr const char* kDamagedRecordCaption = "Ошибка";
} // namespace Msg

// File dialogs and the playlist's file commands
namespace Msg
{
inline constexpr const char* kOpenTitle = "Открыть";
// Qt's filter form of the four filters: all formats, projects, MIDI, WAVE.
// .midi and .kar are MIDI files too.
inline constexpr const char* kOpenFilters = "Все форматы (*.mid *.midi *.kar *.tgp *.wav);;"
                                            "Tonegrove Projects Files(*.tgp);;"
                                            "MIDI Audio(*.mid *.midi *.kar);;"
                                            "WAVE Audio(*.wav)";
inline constexpr const char* kProjectFilter = "Tonegrove Projects Files(*.tgp)";
inline constexpr const char* kOpenFolderTitle = "Открыть папку";
inline constexpr const char* kSaveTitle = "Сохранить файл";
inline constexpr const char* kSaveAsTitle = "Сохранить как";
inline constexpr const char* kNotSaved = "Файл не сохранен!";
inline constexpr const char* kNotSavedCaption = "Ошибка!";
inline constexpr const char* kSaveAllCaption = "Ошибка записи";
inline constexpr const char* kSaveAllText = "ОШИБКА!!!\r\nНе могли сохраниться слеюующие файлы:\r\n\r\n";
inline constexpr const char* kUnsavedQuestion =
    "Некоторые проекты изменены и не сохранены. Сохранить их перед выходом?";
inline constexpr const char* kUnsavedCaption = "Tonegrove";
inline constexpr const char* kHelpMissing = "Файл справки не найден:";
} // namespace Msg

// Media player
namespace Msg
{
inline constexpr const char* kMediaOpenError = "Возникла ошибка при открытии, детали ошибки:";
inline constexpr const char* kMediaOpenErrorCaption = "При открытии возникла ошибка";
inline constexpr const char* kMediaPlayError = "Возникла ошибка при возпроизведении, детали ошибки:";
inline constexpr const char* kMediaPlayErrorCaption = "При воспроизведении возникла ошибка";
} // namespace Msg

// Project player
namespace Msg
{
inline constexpr const char* kMidiOpenFailed = "Не могу открыть поток MIDI-устройств!";
inline constexpr const char* kMidiErrorCaption = "Tonegrove: Ошибка MIDI";
inline constexpr const char* kDamagedPlayback =
    "TGP - файл поврежден, и поэтому его воспроизведение невозможно!";
inline constexpr const char* kPlaybackErrorCaption = "Ошибка воспроизведения!";
} // namespace Msg

// Clip editing
namespace Msg
{
inline constexpr const char* kDamagedEditing =
    "TGP - файл поврежден, и поэтому его редактирование невозможно!";
// Copy of a version 0.1 project whose record is damaged (kDamagedLength with this caption).
inline constexpr const char* kCopyDamagedCaption = "Внимание!";
inline constexpr const char* kBalanceQuestion =
    "В выделенном участке открытые и закрытые ноты не соответствуют друг другу. Убрать лишнее?";
inline constexpr const char* kCopyQuestionCaption = "Вопрос о копировании";
inline constexpr const char* kEditQuestionCaption = "Вопрос о редактировании";
// A clip of the other format version pasted: followed by how many records were left out.
inline constexpr const char* kClipLeftOut =
    "Часть записей фрагмента нельзя записать в версии формата этого проекта, и они не вставлены. "
    "Пропущено записей: ";
inline constexpr const char* kClipLeftOutCaption = kUnsavedCaption; // the program's name
} // namespace Msg
