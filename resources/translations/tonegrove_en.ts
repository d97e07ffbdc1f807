<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ru_RU">
<context>
    <name>Tonegrove</name>
    <message>
        <source>Не удалось сохранить настройки</source>
        <translation>Could not save the settings</translation>
    </message>
    <message>
        <source> в папке </source>
        <translation> in the folder </translation>
    </message>
    <message>
        <source>Не удалось прочитать настройки</source>
        <translation>Could not read the settings</translation>
    </message>
    <message>
        <source> из папки </source>
        <translation> from the folder </translation>
    </message>
    <message>
        <source>Программа продолжит работу с настройками в памяти.</source>
        <translation>The program will go on with the settings in memory.</translation>
    </message>
    <message>
        <source>Это не обычный файл (папка, именованный канал или устройство)</source>
        <translation>This is not a regular file (a folder, a named pipe or a device)</translation>
    </message>
    <message>
        <source>TGP - файл поврежден, и поэтому проверка его длины невозможна!</source>
        <translation>The TGP file is damaged, so its length cannot be checked!</translation>
    </message>
    <message>
        <source>Tonegrove: Ошибка</source>
        <translation>Tonegrove: Error</translation>
    </message>
    <message>
        <source>Этот файл возможно создан в будущих версиях Tonegrove, и поэтому не может быть воспроизведен!</source>
        <translation>This file may have been made by a later version of Tonegrove, so it cannot be played!</translation>
    </message>
    <message>
        <source>Ошибка!</source>
        <translation>Error!</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Открыть</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Все форматы (*.mid *.midi *.kar *.tgp *.wav);;Tonegrove Projects Files(*.tgp);;MIDI Audio(*.mid *.midi *.kar);;WAVE Audio(*.wav)</source>
        <translation>All formats (*.mid *.midi *.kar *.tgp *.wav);;Tonegrove Projects Files(*.tgp);;MIDI Audio(*.mid *.midi *.kar);;WAVE Audio(*.wav)</translation>
    </message>
    <message>
        <source>Открыть папку</source>
        <translation>Open Folder</translation>
    </message>
    <message>
        <source>Сохранить файл</source>
        <translation>Save File</translation>
    </message>
    <message>
        <source>Сохранить как</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>Файл не сохранен!</source>
        <translation>The file was not saved!</translation>
    </message>
    <message>
        <source>Ошибка записи</source>
        <translation>Write error</translation>
    </message>
    <message>
        <source>ОШИБКА!!!<byte value="xd"/>
Не могли сохраниться слеюующие файлы:<byte value="xd"/>
<byte value="xd"/>
</source>
        <translation>ERROR!!!<byte value="xd"/>
The following files could not be saved:<byte value="xd"/>
<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>Некоторые проекты изменены и не сохранены. Сохранить их перед выходом?</source>
        <translation>Some projects have been changed and not saved. Save them before exiting?</translation>
    </message>
    <message>
        <source>Файл справки не найден:</source>
        <translation>Help file not found:</translation>
    </message>
    <message>
        <source>Возникла ошибка при открытии, детали ошибки:</source>
        <translation>An error occurred while opening. Error details:</translation>
    </message>
    <message>
        <source>При открытии возникла ошибка</source>
        <translation>An error occurred while opening</translation>
    </message>
    <message>
        <source>Возникла ошибка при возпроизведении, детали ошибки:</source>
        <translation>An error occurred during playback. Error details:</translation>
    </message>
    <message>
        <source>При воспроизведении возникла ошибка</source>
        <translation>An error occurred during playback</translation>
    </message>
    <message>
        <source>Не могу открыть поток MIDI-устройств!</source>
        <translation>Cannot open the MIDI device stream!</translation>
    </message>
    <message>
        <source>Tonegrove: Ошибка MIDI</source>
        <translation>Tonegrove: MIDI Error</translation>
    </message>
    <message>
        <source>TGP - файл поврежден, и поэтому его воспроизведение невозможно!</source>
        <translation>The TGP file is damaged, so it cannot be played!</translation>
    </message>
    <message>
        <source>Ошибка воспроизведения!</source>
        <translation>Playback error!</translation>
    </message>
    <message>
        <source>TGP - файл поврежден, и поэтому его редактирование невозможно!</source>
        <translation>The TGP file is damaged, so it cannot be edited!</translation>
    </message>
    <message>
        <source>Внимание!</source>
        <translation>Warning!</translation>
    </message>
    <message>
        <source>В выделенном участке открытые и закрытые ноты не соответствуют друг другу. Убрать лишнее?</source>
        <translation>In the selected part, the notes switched on and the notes switched off do not match. Remove the extra ones?</translation>
    </message>
    <message>
        <source>Вопрос о копировании</source>
        <translation>Copy question</translation>
    </message>
    <message>
        <source>Вопрос о редактировании</source>
        <translation>Edit question</translation>
    </message>
    <message>
        <source>Часть записей фрагмента нельзя записать в версии формата этого проекта, и они не вставлены. Пропущено записей: </source>
        <translation>Some records of the clip cannot be written in this project&apos;s format version and were not pasted. Records left out: </translation>
    </message>
    <message>
        <source>О Tonegrove</source>
        <translation>About Tonegrove</translation>
    </message>
    <message>
        <source>Новая версия: Tonegrove Version 1.0</source>
        <translation>New version: Tonegrove Version 1.0</translation>
    </message>
    <message>
        <source>Обновить</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>Обновлено:</source>
        <translation>Updated:</translation>
    </message>
    <message>
        <source>Новая версия</source>
        <translation>New version</translation>
    </message>
    <message>
        <source>ОК</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Играть ноты</source>
        <translation>Play notes</translation>
    </message>
    <message>
        <source>MIDI канал: </source>
        <translation>MIDI channel: </translation>
    </message>
    <message>
        <source>DirectX канал: </source>
        <translation>DirectX channel: </translation>
    </message>
    <message>
        <source>Тип музыки: </source>
        <translation>Music type: </translation>
    </message>
    <message>
        <source>Файл</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Правка</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Музыка</source>
        <translation>Music</translation>
    </message>
    <message>
        <source>Помощь</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Новый</source>
        <translation>New</translation>
    </message>
    <message>
        <source>Открыть из папки</source>
        <translation>Open from Folder</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Сохранить как...</source>
        <translation>Save As...</translation>
    </message>
    <message>
        <source>Сохранить все</source>
        <translation>Save All</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Настройки</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Вырезать</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>Копировать</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Вставить</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>Удалить</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Убрать пустоты</source>
        <translation>Remove Gaps</translation>
    </message>
    <message>
        <source>Отметка выделения</source>
        <translation>Selection Mark</translation>
    </message>
    <message>
        <source>Отметка</source>
        <translation>Mark</translation>
    </message>
    <message>
        <source>Конец отметки выделения</source>
        <translation>Selection End Mark</translation>
    </message>
    <message>
        <source>Экспорт в MIDI...</source>
        <translation>Export to MIDI...</translation>
    </message>
    <message>
        <source>Экспорт в MIDI</source>
        <translation>Export to MIDI</translation>
    </message>
    <message>
        <source>Не удалось записать файл %1: %2</source>
        <translation>Could not write the file %1: %2</translation>
    </message>
    <message>
        <source>Выделить все</source>
        <translation>Select All</translation>
    </message>
    <message>
        <source>Играть</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>Воспроизведение</source>
        <translation>Playback</translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Пауза</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Вызов сравки</source>
        <translation>View Help</translation>
    </message>
    <message>
        <source>О программе...</source>
        <translation>About...</translation>
    </message>
    <message>
        <source>Отменить</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Повторить</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>Имя файла</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>Размер времени воспроизведения</source>
        <translation>Playing time</translation>
    </message>
    <message>
        <source>tonegrove.html</source>
        <translation>tonegrove.en.html</translation>
    </message>
    <message>
        <source>Некоторые файлы не открыты или открыты с ошибками:</source>
        <translation>Some files were not opened or were opened with errors:</translation>
    </message>
    <message>
        <source>файл не открыт, его невозможно прочитать: </source>
        <translation>file not opened, it cannot be read: </translation>
    </message>
    <message>
        <source>файл не открыт: </source>
        <translation>file not opened: </translation>
    </message>
    <message>
        <source>Не удалось загрузить SoundFont %1: %2. Используется %3.</source>
        <translation>Could not load the SoundFont %1: %2. Using %3 instead.</translation>
    </message>
    <message>
        <source>Не удалось загрузить SoundFont %1: %2. Не удалось загрузить и %3: %4. Встроенный синтезатор не может играть.</source>
        <translation>Could not load the SoundFont %1: %2. Could not load %3 either: %4. The built-in synthesizer cannot play.</translation>
    </message>
    <message>
        <source>Файл %1 уже существует.
Заменить его?</source>
        <translation>The file %1 already exists.
Do you want to replace it?</translation>
    </message>
    <message>
        <source>Работа программы была прервана. Несохранённые проекты записаны в копии:</source>
        <translation>The program was interrupted. Unsaved projects were written to copies:</translation>
    </message>
    <message>
        <source>Открыть их?</source>
        <translation>Open them?</translation>
    </message>
    <message>
        <source>Да</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Нет</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Общие</source>
        <translation>General</translation>
    </message>
    <message>
        <source>Настройки клавиатуры</source>
        <translation>Keyboard settings</translation>
    </message>
    <message>
        <source>Вид расширенной клавиатуры</source>
        <translation>Extended keyboard view</translation>
    </message>
    <message>
        <source>Режим клавиатуры MIDI</source>
        <translation>MIDI keyboard mode</translation>
    </message>
    <message>
        <source>Режим клавиатуры DirectX</source>
        <translation>DirectX keyboard mode</translation>
    </message>
    <message>
        <source>Тип создаваемого проекта</source>
        <translation>Type of new projects</translation>
    </message>
    <message>
        <source>Настройки воспроизведения</source>
        <translation>Playback settings</translation>
    </message>
    <message>
        <source>Воспроизводить весь список</source>
        <translation>Play the whole list</translation>
    </message>
    <message>
        <source>Воспроизводить список воспроизведения много раз</source>
        <translation>Play the playlist over and over</translation>
    </message>
    <message>
        <source>MIDI устройство</source>
        <translation>MIDI device</translation>
    </message>
    <message>
        <source>Другие настройки MIDI</source>
        <translation>Other MIDI settings</translation>
    </message>
    <message>
        <source>Базовая нота:</source>
        <translation>Base note:</translation>
    </message>
    <message>
        <source>Встроенный синтезатор</source>
        <translation>Built-in synthesizer</translation>
    </message>
    <message>
        <source>Файл SoundFont:</source>
        <translation>SoundFont file:</translation>
    </message>
    <message>
        <source>системный General MIDI</source>
        <translation>system General MIDI</translation>
    </message>
    <message>
        <source>Обзор...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>Выбор файла SoundFont</source>
        <translation>Choose a SoundFont File</translation>
    </message>
    <message>
        <source>SoundFont (*.sf2);;Все файлы (*)</source>
        <translation>SoundFont (*.sf2);;All files (*)</translation>
    </message>
    <message>
        <source>Этот файл не может быть загружен как SoundFont:</source>
        <translation>This file cannot be loaded as a SoundFont:</translation>
    </message>
    <message>
        <source>Встроенный синтезатор оставит прежний SoundFont.</source>
        <translation>The built-in synthesizer keeps its previous SoundFont.</translation>
    </message>
    <message>
        <source>Tonegrove: Ошибка SoundFont</source>
        <translation>Tonegrove: SoundFont Error</translation>
    </message>
    <message>
        <source>DirectX Music (Осцилятор)</source>
        <translation>DirectX Music (Oscillator)</translation>
    </message>
    <message>
        <source>Частота</source>
        <translation>Frequency</translation>
    </message>
    <message>
        <source>Громкость</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>Резонанс</source>
        <translation>Resonance</translation>
    </message>
    <message>
        <source>Индекс синтезатора</source>
        <translation>Synthesizer index</translation>
    </message>
    <message>
        <source>Тип осцилятора</source>
        <translation>Oscillator type</translation>
    </message>
    <message>
        <source>Указанная команда выполнена.</source>
        <translation>The specified command was carried out.</translation>
    </message>
    <message>
        <source>Неизвестный параметр в команде MCI.</source>
        <translation>Unknown parameter in the MCI command.</translation>
    </message>
    <message>
        <source>Неизвестная команда MCI.</source>
        <translation>Unknown MCI command.</translation>
    </message>
    <message>
        <source>Указанное устройство не открыто или не распознано MCI.</source>
        <translation>The specified device is not open or is not recognized by MCI.</translation>
    </message>
    <message>
        <source>Не указана команда MCI.</source>
        <translation>No MCI command was given.</translation>
    </message>
    <message>
        <source>В команде не хватает обязательного строкового параметра.</source>
        <translation>The command is missing a required string parameter.</translation>
    </message>
    <message>
        <source>Число в команде MCI указано неверно или отсутствует.</source>
        <translation>A number in the MCI command is invalid or missing.</translation>
    </message>
    <message>
        <source>В команде не хватает обязательного параметра.</source>
        <translation>The command is missing a required parameter.</translation>
    </message>
    <message>
        <source>Указанный файл не найден. Проверьте правильность пути и имени файла.</source>
        <translation>The specified file was not found. Check that the path and file name are correct.</translation>
    </message>
    <message>
        <source>Указанное значение выходит за пределы допустимого диапазона для этой команды MCI.</source>
        <translation>The specified value is out of range for this MCI command.</translation>
    </message>
    <message>
        <source>Не указан тип устройства. Укажите тип устройства в команде открытия.</source>
        <translation>No device type was given. Give the device type in the open command.</translation>
    </message>
    <message>
        <source>Указанный псевдоним уже используется в этом приложении. Используйте другой псевдоним.</source>
        <translation>The specified alias is already used in this application. Use another alias.</translation>
    </message>
    <message>
        <source>Указанный формат времени не поддерживается этим устройством.</source>
        <translation>The specified time format is not supported by this device.</translation>
    </message>
    <message>
        <source>В команде не хватает закрывающей кавычки.</source>
        <translation>The command is missing a closing quotation mark.</translation>
    </message>
    <message>
        <source>Указанный файл не может быть воспроизведен этим устройством MCI. Возможно, файл поврежден или имеет неверный формат.</source>
        <translation>The specified file cannot be played by this MCI device. The file may be damaged or in a wrong format.</translation>
    </message>
    <message>
        <source>Указанное устройство не установлено в системе. Установите драйвер этого типа устройства.</source>
        <translation>The specified device is not installed on the system. Install the driver for this type of device.</translation>
    </message>
    <message>
        <source>Ни одно установленное устройство воспроизведения звука не может воспроизвести файлы этого формата.</source>
        <translation>No installed sound output device can play files of this format.</translation>
    </message>
    <message>
        <source>В системе нет доступного устройства вывода MIDI. Установите устройство MIDI или проверьте параметры MIDI.</source>
        <translation>There is no MIDI output device on the system. Install a MIDI device or check the MIDI settings.</translation>
    </message>
    <message>
        <source>Ошибка при чтении файла. Проверьте, что файл доступен для чтения.</source>
        <translation>Error reading the file. Check that the file can be read.</translation>
    </message>
    <message>
        <source>Выделено: </source>
        <translation>Selected: </translation>
    </message>
    <message>
        <source> из </source>
        <translation> of </translation>
    </message>
    <message>
        <source>ничего</source>
        <translation>nothing</translation>
    </message>
    <message>
        <source>Начало выделения: </source>
        <translation>Selection start: </translation>
    </message>
    <message>
        <source>Нет данных для показа</source>
        <translation>Nothing to show</translation>
    </message>
    <message>
        <source>Дальше записи повреждены</source>
        <translation>The records from here on are damaged</translation>
    </message>
    <message>
        <source>Чтение файла: %1 %</source>
        <translation>Reading the file: %1 %</translation>
    </message>
    <message>
        <source>Файл не удалось прочитать</source>
        <translation>The file could not be read</translation>
    </message>
    <message>
        <source> с</source>
        <translation> s</translation>
    </message>
    <message>
        <source>Вход MIDI: </source>
        <translation>MIDI input: </translation>
    </message>
    <message>
        <source>Вход MIDI не подключён: </source>
        <translation>MIDI input not connected: </translation>
    </message>
    <message>
        <source>Вход MIDI отключён: </source>
        <translation>MIDI input disconnected: </translation>
    </message>
    <message>
        <source>Вход MIDI: в проект 0.0 записываются только ноты</source>
        <translation>MIDI input: only notes are recorded into a 0.0 project</translation>
    </message>
    <message>
        <source>Выключить все ноты</source>
        <translation>All notes off</translation>
    </message>
    <message>
        <source>MIDI-устройство «%1» не найдено. Используется встроенный синтезатор.</source>
        <translation>MIDI device “%1” not found. The built-in synthesizer is used.</translation>
    </message>
    <message>
        <source>Вход MIDI</source>
        <translation>MIDI input</translation>
    </message>
    <message>
        <source> (не подключён)</source>
        <translation> (not connected)</translation>
    </message>
    <message>
        <source>Файл справки не открылся: в системе нет программы для просмотра страниц HTML.</source>
        <translation>The help page did not open: there is no program for HTML pages on this system.</translation>
    </message>
</context>
</TS>
