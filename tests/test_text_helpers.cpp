#include "app/Settings.h"
#include "app/TextHelpers.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>

namespace
{
TEST(FloatToText, FortySignificantDigitsWithoutTrailingZeros)
{
    const std::pair<double, const char*> cases[] = {
        {440, "440"},
        {0.5, "0.5"},
        {2.5, "2.5"},
        {0, "0"},
        {1, "1"},
        {1.5, "1.5"},
        {-2.5, "-2.5"},
        {1234.5, "1234.5"},
        {static_cast<double>(0.3f), "0.300000011920928955078125"},
        {0.005, "5.e-003"},
        {0.05, "5.e-002"},
        {0.1, "0.1"},
        {static_cast<double>(0.005f), "4.999999888241291046142578125e-003"},
        {0.25, "0.25"},
        {1e39, "999999999999999939709166371603178586112"},
        {1e300, "1.e+300"},
        {1.0 / 3.0, "0.3333333333333333"},
    };
    for (auto [d, pText] : cases)
        EXPECT_EQ(pText, FloatToText(d)) << d;
    EXPECT_EQ(u"2.5", FloatToTextW(2.5));
}

TEST(NumberTexts, IntegersAndTheCLibraryReadings)
{
    EXPECT_EQ("-5", IntToText(-5));
    EXPECT_EQ("-2147483648", IntToText(INT_MIN));
    EXPECT_EQ(u"2147483647", IntToTextW(INT_MAX));
    const std::pair<const char*, int32_t> ints[] = {
        {"42", 42}, {"  -7x", -7}, {"+3", 3}, {"abc", 0}, {"", 0}, {"99999999999", INT_MAX},
    };
    for (auto [p, n] : ints)
        EXPECT_EQ(n, TextToInt(p)) << p;
    EXPECT_DOUBLE_EQ(2.5, TextToFloat(" 2.5kHz"));
    EXPECT_DOUBLE_EQ(0.0, TextToFloat("x"));
}

TEST(PathPieces, ExtensionAndFolder)
{
    const std::pair<const char*, const char*> cases[] = {
        {"song.wav", "wav"},
        {"a.b.c", "c"},
        {"noext", "noext"},
        {"name.", "name"},
        {"Track.MID", "MID"},
        {"archive.tar.gz", "gz"},
        {"C:\\my.dir\\song", "dir\\song"},
        {"/home/u/my.dir/song", "dir/song"},
        {"...", nullptr},
        {"", nullptr},
    };
    for (auto [pIn, pOut] : cases)
    {
        auto ext = ExtensionOf(pIn);
        if (pOut)
        {
            ASSERT_TRUE(ext) << pIn;
            EXPECT_EQ(pOut, *ext) << pIn;
        }
        else
            EXPECT_FALSE(ext) << pIn;
    }
    EXPECT_EQ(u"tgp", *ExtensionOfW(u"Мелодия.tgp"));
    EXPECT_EQ("/music/", FolderOf("/music/a.tgp"));
    EXPECT_EQ("", FolderOf("a.tgp"));
}

class CodePageTest : public ::testing::Test
{
  protected:
    void UseCodePage(const char* pAcp)
    {
        reg.Store().Write(ERoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage", "ACP",
                          {EValueType::String, pAcp});
    }
    CTempRegistry reg;
};

TEST_F(CodePageTest, ConvertsWholeTextsInTheMachinesCodePage)
{
    UseCodePage("1251");
    const std::string strCp1251 = CodePageName(reg.Store());
    EXPECT_EQ("CP1251", strCp1251);
    EXPECT_EQ("\xCF\xF0\xE8\xE2\xE5\xF2 1", ToAnsi(u"Привет 1", strCp1251));
    EXPECT_EQ(u"Привет 1", ToWide("\xCF\xF0\xE8\xE2\xE5\xF2 1", strCp1251));
    EXPECT_EQ("a?b?c", ToAnsi(u"a中b😀c", strCp1251)) << "characters the code page lacks become '?'";

    // A multi-byte code page: every letter of a Cyrillic name survives.
    UseCodePage("65001");
    const std::string strUtf8 = CodePageName(reg.Store());
    EXPECT_EQ("Мелодия.tgp", ToAnsi(u"Мелодия.tgp", strUtf8));
    EXPECT_EQ(u"Мелодия.tgp", ToWide("Мелодия.tgp", strUtf8));
    EXPECT_EQ(u"a\uFFFDb", ToWide("a\xFF"
                                  "b",
                                  strUtf8));
    EXPECT_EQ("", ToAnsi(u"", strUtf8));
    EXPECT_EQ(u"", ToWide("", strUtf8));
}

TEST_F(CodePageTest, CodePageIsReadOnceAndDefaultsToTheLocale)
{
    CScriptedPrompter prompter;
    CSettings settings(reg.Store(), prompter);
    EXPECT_EQ("UTF-8", settings.CodePage())
        << "the tests run under the C locale, whose ASCII would lose letters";
    UseCodePage("866");
    EXPECT_EQ("UTF-8", settings.CodePage()) << "kept for the run";
    EXPECT_EQ("CP866", CodePageName(reg.Store()));
    EXPECT_EQ("CP866", CSettings(reg.Store(), prompter).CodePage()) << "the next run reads it";
}
} // namespace
