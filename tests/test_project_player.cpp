#include "project/ProjectPlayer.h"
#include "tests/ProjectFixtures.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

namespace
{
const std::string kDamaged = "TGP - файл поврежден, и поэтому проверка его длины невозможна!";
const std::string kFuture =
    "Этот файл возможно создан в будущих версиях Tonegrove, и поэтому не может быть воспроизведен!";

struct SCase
{
    const char* pName;
    std::vector<uint8_t> project;
    int32_t nTotal;                    // after ComputeTotal (it starts at 1234)
    std::vector<std::string> messages; // "caption|text"
};

std::vector<SCase> Cases()
{
    const uint8_t mask[6] = {};
    std::vector<SCase> cases;
    cases.push_back({"header only", MakeHeader(1), 0, {}});
    cases.push_back({"one note 0.0", OneNoteProject(0), 600, {}});
    cases.push_back({"one note 0.1", OneNoteProject(1), 600, {}});

    auto settings = MakeHeader(1);
    AppendEventRecord(settings, 100, 0x7F3C90);
    AppendSettingsRecord(settings, 440, 100, 1500, 0, 1);
    AppendEventRecord(settings, 250, 0x3C80);
    cases.push_back({"settings record takes no time", settings, 350, {}});

    auto tone = MakeHeader(1);
    AppendEventRecord(tone, 10, 0x7F3C90);
    AppendToneRecord(tone, mask, 70000);
    cases.push_back({"tone durations count", tone, 70010, {}});

    cases.push_back({"0.1 unknown type ends quietly", OneNoteProject(1) + Bytes({0x22, 1, 50}), 600, {}});
    cases.push_back({"0.0 unknown type adds its delay", OneNoteProject(0) + Bytes({'x', 1, 50}), 650, {}});

    auto noSpace = OneNoteProject(0);
    noSpace[23] = '-';
    cases.push_back({"byte 23 is not checked", noSpace, 600, {}});

    auto future = OneNoteProject(0);
    future[24] = '1';
    cases.push_back({"future version", future, 1234, {"Ошибка!|" + kFuture}});

    auto wrongName = OneNoteProject(0);
    wrongName[3] = 'X';
    cases.push_back({"wrong name", wrongName, 1234, {"Tonegrove: Ошибка|" + kDamaged}});
    auto shortHeader = MakeHeader(0);
    shortHeader.pop_back();
    cases.push_back({"shorter than a header", shortHeader, 1234, {"Tonegrove: Ошибка|" + kDamaged}});

    auto noM = OneNoteProject(0);
    noM[39] = 'X'; // the note off's marker
    cases.push_back({"0.0 note without M keeps the delays before", noM, 100, {"Ошибка|" + kDamaged}});

    auto noT = OneNoteProject(1);
    noT[39] = 'X';
    cases.push_back({"0.1 event without T counts its own delay", noT, 600, {"Ошибка|" + kDamaged}});

    // A delay of 0x80000000 used to make the length -2147483548 ms; negative times count as 0.
    cases.push_back({"0.0 negative delay counts as 0",
                     MakeHeader(0) + Bytes({0x24, 4, 0x80, 0, 0, 0, 'M', 48, 12, 127, 0}) +
                         Bytes({0x21, 1, 100, 'M', 48, 12, 0}),
                     100,
                     {}});
    cases.push_back({"0.1 negative delay and tone count as 0",
                     OneNoteProject(1) + Bytes({0x24, 4, 0xFF, 0xFF, 0xFF, 0x9C, 'T', 1, 0x90}) +
                         Bytes({0x2A, 0, 0, 0, 0, 0, 0, '@', 4, 0x80, 0, 0, 0}),
                     600,
                     {}});
    cases.push_back({"0.1 damaged record's negative delay counts as 0",
                     OneNoteProject(1) + Bytes({0x24, 4, 0x80, 0, 0, 0, 'X'}),
                     600,
                     {"Ошибка|" + kDamaged}});

    auto truncated = OneNoteProject(1);
    truncated.pop_back();
    cases.push_back({"record cut at the end of the file", truncated, 600, {"Ошибка|" + kDamaged}});
    return cases;
}

TEST(ComputeTotal, SumsDelaysAndReportsDamage)
{
    for (const SCase& c : Cases())
    {
        CScriptedPrompter prompter;
        CProjectPlayer player(prompter);
        player.m_nTotal = 1234;
        player.SetData(c.project);
        bool bOk = player.ComputeTotal();
        EXPECT_EQ(c.nTotal, player.m_nTotal) << c.pName;
        EXPECT_EQ(c.messages, prompter.Lines()) << c.pName;
        EXPECT_EQ(c.messages.empty(), bOk) << c.pName;
        for (const SMessage& m : prompter.Messages())
        {
            EXPECT_EQ(EIcon::Warning, m.eIcon) << c.pName;
            EXPECT_FALSE(m.bOwned) << c.pName;
        }
    }
}

TEST(ComputeTotal, VersionComesFromEachCheckAndRepeatsAgree)
{
    CScriptedPrompter prompter;
    CProjectPlayer player(prompter);
    auto v1 = OneNoteProject(1);
    auto v0 = OneNoteProject(0);
    player.SetData(v1);
    ASSERT_TRUE(player.ComputeTotal());
    EXPECT_EQ(1, player.m_nVersion);
    ASSERT_TRUE(player.ComputeTotal());
    EXPECT_EQ(600, player.m_nTotal);
    EXPECT_EQ(2, player.RecordsWalked());
    player.SetData(v0);
    std::vector<uint8_t> stream;
    ASSERT_TRUE(player.CheckHeader(&stream));
    EXPECT_EQ(0, player.m_nVersion);
    EXPECT_EQ(std::vector<uint8_t>(v0.begin() + 27, v0.end()), stream);
}

TEST(ComputeTotal, HugeDelaysSaturateInsteadOfWrapping)
{
    CScriptedPrompter prompter;
    auto project = MakeHeader(1);
    for (int i = 0; i < 3; ++i)
        AppendEventRecord(project, INT32_MAX, 0x90);
    CProjectPlayer player(prompter);
    player.SetData(project);
    EXPECT_TRUE(player.ComputeTotal());
    EXPECT_EQ(INT32_MAX, player.m_nTotal);
}
} // namespace
