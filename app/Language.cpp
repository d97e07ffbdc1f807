#include "app/Language.h"

#include <cstdlib>

ELanguage ChooseLanguage(const std::optional<std::string>& strEnv, const std::string& strLocale)
{
    if (strEnv == "en")
        return ELanguage::English;
    if (strEnv == "ru")
        return ELanguage::Russian;
    // "en", "en_US.UTF-8", "en_GB@euro"; not "eno" or "English".
    const bool bEnglish =
        strLocale.compare(0, 2, "en") == 0 &&
        (strLocale.size() == 2 || strLocale[2] == '_' || strLocale[2] == '.' || strLocale[2] == '@');
    return bEnglish ? ELanguage::English : ELanguage::Russian;
}

std::string MessagesLocale()
{
    for (const char* pszName : {"LC_ALL", "LC_MESSAGES", "LANG"})
    {
        if (const char* pszValue = std::getenv(pszName); pszValue && *pszValue)
            return pszValue;
    }
    return "C";
}

ELanguage LanguageFromEnvironment()
{
    const char* pszEnv = std::getenv(kLanguageEnv);
    return ChooseLanguage(pszEnv ? std::optional<std::string>(pszEnv) : std::nullopt, MessagesLocale());
}
