// The language of the program's texts: Russian, the original, unless English is asked for.
#pragma once

#include <optional>
#include <string>

enum class ELanguage
{
    Russian,
    English,
};

inline constexpr const char* kLanguageEnv = "TONEGROVE_LANG";

// strEnv: TONEGROVE_LANG ("ru" or "en"), which decides when it is one of those. Otherwise the
// messages locale strLocale (as "en_GB.UTF-8", "C"): English for an English one, Russian for
// every other.
ELanguage ChooseLanguage(const std::optional<std::string>& strEnv, const std::string& strLocale);

// The messages locale of the process's environment, as POSIX says: LC_ALL, else LC_MESSAGES,
// else LANG, the first that is set and not empty; "C" when none is.
std::string MessagesLocale();
// The choice made from the environment.
ELanguage LanguageFromEnvironment();
