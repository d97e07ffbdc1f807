// The piano-roll panel's own texts: its placeholders and the ruler's unit.
#pragma once

namespace Txt
{
inline constexpr const char* kRollNothing = "Нет данных для показа";
inline constexpr const char* kRollDamaged = "Дальше записи повреждены";
// While a WAV or MID file is read for the panel; %1 is the part read, in per cent.
inline constexpr const char* kRollReading = "Чтение файла: %1 %";
inline constexpr const char* kRollUnreadable = "Файл не удалось прочитать";
// After a number of seconds on the time ruler.
inline constexpr const char* kRollSeconds = " с";
} // namespace Txt
