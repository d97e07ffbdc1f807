// CMciPlayer against a scripted command layer: the exact command texts the playlist's
// measuring of a media row sends, and what the player makes of the replies and errors.
#include "app/Messages.h"
#include "sound/MciPlayer.h"
#include "tests/ScriptedMediaCommands.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using TTexts = std::vector<std::string>;

struct SOpenCase
{
    const char* pszPath;
    int32_t nAlias;
    const char* pszOpen;
};

TEST(MciPlayerCommands, MeasuringARowSendsOpenTimeFormatLengthClose)
{
    const SOpenCase kCases[] = {
        {"/music/song.wav", 3, "open /music/song.wav type waveaudio alias mus3"},
        {"/home/user/My Music/track 1.mid", 12,
         "open \"/home/user/My Music/track 1.mid\" type sequencer alias mus12"},
        {"/music/a.b.wav", 0, "open /music/a.b.wav type waveaudio alias mus0"},
        {"/music/Song.WAV", 7, "open /music/Song.WAV type waveaudio alias mus7"},
        {"/music/tune.MiD", 45, "open /music/tune.MiD type sequencer alias mus45"},
        {"/video/clip.Avi", 1, "open /video/clip.Avi type avivideo alias mus1"},
        {"/music/tab\tname.wav", 2, "open /music/tab\tname.wav type waveaudio alias mus2"},
        {"/музыка/песня.wav", 5, "open /музыка/песня.wav type waveaudio alias mus5"},
    };
    for (const SOpenCase& c : kCases)
    {
        SCOPED_TRACE(c.pszPath);
        CScriptedMediaCommands layer;
        const std::string strAlias = "mus" + std::to_string(c.nAlias);
        layer.Answer("Status " + strAlias + " length", 0, "1500");
        CMciPlayer player(&layer);

        player.Open(c.pszPath, c.nAlias);
        const float fLength = player.GetLength(c.nAlias);
        player.Close(c.nAlias);

        EXPECT_EQ(fLength, 1500.0f);
        EXPECT_EQ(layer.Sent(), (TTexts{c.pszOpen, "set " + strAlias + " time format milliseconds",
                                        "Status " + strAlias + " length", "Close " + strAlias}));
    }
}

TEST(MciPlayerCommands, EveryOpenAfterTheFirstClosesItsAliasFirst)
{
    CScriptedPrompter prompter;
    CScriptedMediaCommands layer;
    // The first open fails: the player still counts as having opened something.
    layer.Answer("open /a.wav type waveaudio alias mus0", 275);
    CMciPlayer player(&layer);

    player.Open("/a.wav", 0);
    player.Open("/b.mid", 1);
    player.Open("/c.wav", 1);

    EXPECT_EQ(layer.Sent(), (TTexts{"open /a.wav type waveaudio alias mus0", "Close mus1",
                                    "open /b.mid type sequencer alias mus1", "Close mus1",
                                    "open /c.wav type waveaudio alias mus1"}));
    EXPECT_TRUE(player.m_bOpened);
}

TEST(MciPlayerCommands, OpenErrorShowsTheLayersTextForTheCode)
{
    CScriptedPrompter prompter;
    CScriptedMediaCommands layer;
    layer.Answer("open /gone.wav type waveaudio alias mus4", 275);
    CMciPlayer player(&layer);

    player.Open("/here.wav", 3);
    EXPECT_TRUE(prompter.Messages().empty());

    player.Open("/gone.wav", 4);
    const std::vector<SMessage> messages = prompter.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].strCaption, Msg::kMediaOpenErrorCaption);
    EXPECT_EQ(messages[0].strText, std::string(Msg::kMediaOpenError) + "\r\ntext of 275");
    EXPECT_EQ(messages[0].eIcon, EIcon::Error);
    EXPECT_EQ(messages[0].eButtons, EButtons::Ok);
    EXPECT_FALSE(messages[0].bOwned);
}

TEST(MciPlayerCommands, LengthReplyReadsAsADecimalNumber)
{
    struct SCase
    {
        const char* pszReply;
        float fLength;
    };
    const SCase kCases[] = {
        {"1500", 1500.0f}, {"1500.25", 1500.25f}, {"  42", 42.0f}, {"+7", 7.0f},
        {"12abc", 12.0f},  {"1e3", 1000.0f},      {"", 0.0f},      {"abc", 0.0f},
        {"nan", 0.0f},     {"inf", 0.0f},         {".5", 0.5f},
    };
    for (const SCase& c : kCases)
    {
        SCOPED_TRACE(c.pszReply);
        CScriptedMediaCommands layer;
        layer.Answer("Status mus1 length", 0, c.pszReply);
        CMciPlayer player(&layer);
        EXPECT_EQ(player.GetLength(1), c.fLength);
    }
}

TEST(MciPlayerCommands, WithoutALayerOfItsOwnThePlayerUsesTheOneInstalledAtEachCommand)
{
    CMciPlayer player;
    CScriptedMediaCommands first;
    CScriptedMediaCommands second;
    SetMediaCommands(&first);
    player.Close(1);
    SetMediaCommands(&second);
    player.Close(2);
    SetMediaCommands(nullptr);

    EXPECT_EQ(first.Sent(), TTexts{"Close mus1"});
    EXPECT_EQ(second.Sent(), TTexts{"Close mus2"});
}

} // namespace
