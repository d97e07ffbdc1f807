// The About box's texts, each in one place.
#pragma once

namespace AboutTxt
{
inline constexpr const char* kCaption = "О Tonegrove";
inline constexpr const char* kVersionPrefix = "Tonegrove Version ";
inline constexpr const char* kVersionInitial = "Tonegrove Version 1.0";
inline constexpr const char* kOfferedInitial = "Новая версия: Tonegrove Version 1.0";
inline constexpr const char* kUpdate = "Обновить";
inline constexpr const char* kUpdated = "Обновлено:";
inline constexpr const char* kNewVersion = "Новая версия";
inline constexpr const char* kNotice = "Tonegrove © 2026";
inline constexpr const char* kOk = "ОК";
} // namespace AboutTxt
