#include "platform/MciErrors.h"

#include <array>
#include <utility>

std::string MciErrorText(int nCode)
{
    // In Russian like the rest of the program, and in MCI's manner: what went wrong, then what
    // the user can check. They follow "детали ошибки:" in the player's message boxes.
    static constexpr std::array<std::pair<int, const char*>, 19> kTexts{{
        {MciError::kNone, "Указанная команда выполнена."},
        {MciError::kUnrecognizedKeyword, "Неизвестный параметр в команде MCI."},
        {MciError::kUnrecognizedCommand, "Неизвестная команда MCI."},
        {MciError::kUnknownDevice, "Указанное устройство не открыто или не распознано MCI."},
        {MciError::kMissingCommand, "Не указана команда MCI."},
        {MciError::kMissingArgument, "В команде не хватает обязательного строкового параметра."},
        {MciError::kBadInteger, "Число в команде MCI указано неверно или отсутствует."},
        {MciError::kMissingParameter, "В команде не хватает обязательного параметра."},
        {MciError::kFileNotFound, "Указанный файл не найден. Проверьте правильность пути и имени файла."},
        {MciError::kOutOfRange, "Указанное значение выходит за пределы допустимого диапазона для этой "
                                "команды MCI."},
        {MciError::kDeviceTypeRequired,
         "Не указан тип устройства. Укажите тип устройства в команде открытия."},
        {MciError::kDuplicateAlias, "Указанный псевдоним уже используется в этом приложении. "
                                    "Используйте другой псевдоним."},
        {MciError::kBadTimeFormat, "Указанный формат времени не поддерживается этим устройством."},
        {MciError::kNoClosingQuote, "В команде не хватает закрывающей кавычки."},
        {MciError::kInvalidFile, "Указанный файл не может быть воспроизведен этим устройством MCI. "
                                 "Возможно, файл поврежден или имеет неверный формат."},
        {MciError::kDeviceNotInstalled, "Указанное устройство не установлено в системе. Установите "
                                        "драйвер этого типа устройства."},
        {MciError::kWaveOutputsUnsuitable, "Ни одно установленное устройство воспроизведения звука не "
                                           "может воспроизвести файлы этого формата."},
        {MciError::kSeqNoMidiPresent, "В системе нет доступного устройства вывода MIDI. Установите "
                                      "устройство MIDI или проверьте параметры MIDI."},
        {MciError::kFileRead, "Ошибка при чтении файла. Проверьте, что файл доступен для чтения."},
    }};
    for (const auto& [nKnown, pszText] : kTexts)
        if (nKnown == nCode)
            return pszText;
    return {};
}
