// The About box's texts, each in one place.
#pragma once

#include "platform/Translatable.h"

namespace AboutTxt
{
inline constexpr const char* kCaption = TG_TR_NOOP("Tonegrove", "О Tonegrove");
inline constexpr const char* kVersionPrefix = "Tonegrove Version ";
inline constexpr const char* kVersionInitial = "Tonegrove Version 1.0";
inline constexpr const char* kOfferedInitial = TG_TR_NOOP("Tonegrove", "Новая версия: Tonegrove Version 1.0");
inline constexpr const char* kUpdate = TG_TR_NOOP("Tonegrove", "Обновить");
inline constexpr const char* kUpdated = TG_TR_NOOP("Tonegrove", "Обновлено:");
inline constexpr const char* kNewVersion = TG_TR_NOOP("Tonegrove", "Новая версия");
inline constexpr const char* kNotice = "Tonegrove © 2026";
inline constexpr const char* kOk = TG_TR_NOOP("Tonegrove", "ОК");
} // namespace AboutTxt
