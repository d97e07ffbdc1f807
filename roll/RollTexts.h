// The piano-roll panel's own texts: its placeholders and the ruler's unit.
#pragma once

#include "platform/Translatable.h"

namespace Txt
{
inline constexpr const char* kRollNothing = TG_TR_NOOP("Tonegrove", "Нет данных для показа");
inline constexpr const char* kRollDamaged = TG_TR_NOOP("Tonegrove", "Дальше записи повреждены");
// While a WAV or MID file is read for the panel; %1 is the part read, in per cent.
inline constexpr const char* kRollReading = TG_TR_NOOP("Tonegrove", "Чтение файла: %1 %");
inline constexpr const char* kRollUnreadable = TG_TR_NOOP("Tonegrove", "Файл не удалось прочитать");
// After a number of seconds on the time ruler.
inline constexpr const char* kRollSeconds = TG_TR_NOOP("Tonegrove", " с");
} // namespace Txt
