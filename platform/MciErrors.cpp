#include "platform/MciErrors.h"

#include "platform/Translatable.h"

#include <array>
#include <utility>

std::string MciErrorText(int nCode)
{
    // In Russian like the rest of the program, and in MCI's manner: what went wrong, then what
    // the user can check. They follow "детали ошибки:" in the player's message boxes.
    static constexpr std::array<std::pair<int, const char*>, 19> kTexts{{
        {MciError::kNone, TG_TR_NOOP("Tonegrove", "Указанная команда выполнена.")},
        {MciError::kUnrecognizedKeyword, TG_TR_NOOP("Tonegrove", "Неизвестный параметр в команде MCI.")},
        {MciError::kUnrecognizedCommand, TG_TR_NOOP("Tonegrove", "Неизвестная команда MCI.")},
        {MciError::kUnknownDevice,
         TG_TR_NOOP("Tonegrove", "Указанное устройство не открыто или не распознано MCI.")},
        {MciError::kMissingCommand, TG_TR_NOOP("Tonegrove", "Не указана команда MCI.")},
        {MciError::kMissingArgument,
         TG_TR_NOOP("Tonegrove", "В команде не хватает обязательного строкового параметра.")},
        {MciError::kBadInteger,
         TG_TR_NOOP("Tonegrove", "Число в команде MCI указано неверно или отсутствует.")},
        {MciError::kMissingParameter,
         TG_TR_NOOP("Tonegrove", "В команде не хватает обязательного параметра.")},
        {MciError::kFileNotFound,
         TG_TR_NOOP("Tonegrove", "Указанный файл не найден. Проверьте правильность пути и имени файла.")},
        {MciError::kOutOfRange,
         TG_TR_NOOP("Tonegrove", "Указанное значение выходит за пределы допустимого диапазона для этой "
                                 "команды MCI.")},
        {MciError::kDeviceTypeRequired,
         TG_TR_NOOP("Tonegrove", "Не указан тип устройства. Укажите тип устройства в команде открытия.")},
        {MciError::kDuplicateAlias,
         TG_TR_NOOP("Tonegrove", "Указанный псевдоним уже используется в этом приложении. "
                                 "Используйте другой псевдоним.")},
        {MciError::kBadTimeFormat,
         TG_TR_NOOP("Tonegrove", "Указанный формат времени не поддерживается этим устройством.")},
        {MciError::kNoClosingQuote, TG_TR_NOOP("Tonegrove", "В команде не хватает закрывающей кавычки.")},
        {MciError::kInvalidFile,
         TG_TR_NOOP("Tonegrove", "Указанный файл не может быть воспроизведен этим устройством MCI. "
                                 "Возможно, файл поврежден или имеет неверный формат.")},
        {MciError::kDeviceNotInstalled,
         TG_TR_NOOP("Tonegrove", "Указанное устройство не установлено в системе. Установите "
                                 "драйвер этого типа устройства.")},
        {MciError::kWaveOutputsUnsuitable,
         TG_TR_NOOP("Tonegrove", "Ни одно установленное устройство воспроизведения звука не "
                                 "может воспроизвести файлы этого формата.")},
        {MciError::kSeqNoMidiPresent,
         TG_TR_NOOP("Tonegrove", "В системе нет доступного устройства вывода MIDI. Установите "
                                 "устройство MIDI или проверьте параметры MIDI.")},
        {MciError::kFileRead,
         TG_TR_NOOP("Tonegrove", "Ошибка при чтении файла. Проверьте, что файл доступен для чтения.")},
    }};
    for (const auto& [nKnown, pszText] : kTexts)
        if (nKnown == nCode)
            return pszText;
    return {};
}
