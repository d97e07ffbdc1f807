// The piano-roll panel's own texts: its placeholders and the ruler's unit.
#pragma once

namespace Txt
{
inline constexpr const char* kRollNothing = "Нет данных для показа";
inline constexpr const char* kRollDamaged = "Дальше записи повреждены";
// After a number of seconds on the time ruler.
inline constexpr const char* kRollSeconds = " с";
} // namespace Txt
