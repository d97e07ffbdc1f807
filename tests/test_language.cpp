// The language of the program's texts from TONEGROVE_LANG and the messages locale.
#include "app/Language.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

TEST(LanguageTest, TheVariableDecidesWhenItNamesALanguageElseAnEnglishLocaleGivesEnglish)
{
    const std::optional<std::string> kUnset;
    const char* kLocales[] = {"C", "ru_RU.UTF-8", "en_US.UTF-8", "en_GB", "de_DE"};
    struct SCase
    {
        std::optional<std::string> strEnv;
        // The language for each of kLocales, in their order: E English, R Russian.
        const char* pszExpected;
    };
    const SCase kCases[] = {
        {kUnset, "RREER"},
        {std::string("ru"), "RRRRR"},
        {std::string("en"), "EEEEE"},
        // Not a language we know: as if unset.
        {std::string("fr"), "RREER"},
        {std::string("EN"), "RREER"},
        {std::string(""), "RREER"},
        {std::string("english"), "RREER"},
    };
    for (const SCase& c : kCases)
    {
        for (size_t i = 0; i < std::size(kLocales); ++i)
        {
            const ELanguage eExpected = c.pszExpected[i] == 'E' ? ELanguage::English : ELanguage::Russian;
            EXPECT_EQ(eExpected, ChooseLanguage(c.strEnv, kLocales[i]))
                << "TONEGROVE_LANG=" << c.strEnv.value_or("(unset)") << " locale " << kLocales[i];
        }
    }
}

TEST(LanguageTest, OnlyTheEnglishLanguageCodeCountsAsAnEnglishLocale)
{
    const struct
    {
        const char* pszLocale;
        ELanguage eExpected;
    } kCases[] = {
        {"en", ELanguage::English},         {"en_AU.utf8", ELanguage::English},
        {"en_IE@euro", ELanguage::English}, {"en.UTF-8", ELanguage::English},
        {"POSIX", ELanguage::Russian},      {"", ELanguage::Russian},
        {"eo", ELanguage::Russian},     // Esperanto
        {"enx_XX", ELanguage::Russian}, // another code that begins with the same letters
        {"ru_UA", ELanguage::Russian},      {"uk_UA.UTF-8", ELanguage::Russian},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(c.eExpected, ChooseLanguage(std::nullopt, c.pszLocale)) << c.pszLocale;
}
