// CMciPlayer against a scripted command layer: the exact command texts the playlist's
// measuring of a media row and the player thread send, in their order, and what the player
// makes of the replies and errors.
#include "app/Messages.h"
#include "sound/MciPlayer.h"
#include "tests/ManualClock.h"
#include "tests/MediaDoubles.h"
#include "tests/ScriptedMediaCommands.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
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
        {"/music/song.midi", 8, "open /music/song.midi type sequencer alias mus8"},
        {"/music/Karaoke.KAR", 9, "open /music/Karaoke.KAR type sequencer alias mus9"},
        // A double quote is doubled inside the quotes; backslashes stay as they are.
        {"/music/12\" single.wav", 10, "open \"/music/12\"\" single.wav\" type waveaudio alias mus10"},
        {"/music/\"live\".mid", 11, "open \"/music/\"\"live\"\".mid\" type sequencer alias mus11"},
        {"C:\\Music\\My \"Best\" Of\\trk.wav", 13,
         "open \"C:\\Music\\My \"\"Best\"\" Of\\trk.wav\" type waveaudio alias mus13"},
    };
    for (const SOpenCase& c : kCases)
    {
        SCOPED_TRACE(c.pszPath);
        CScriptedMediaCommands layer;
        const std::string strAlias = "mus" + std::to_string(c.nAlias);
        layer.Answer("Status " + strAlias + " length", 0, "1500");
        CScriptedPrompter prompter;
        CMciPlayer player(layer, prompter);

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
    CMciPlayer player(layer, prompter);

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
    CMciPlayer player(layer, prompter);

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
        CScriptedPrompter prompter;
        CMciPlayer player(layer, prompter);
        EXPECT_EQ(player.GetLength(1), c.fLength);
    }
}

TEST(MciPlayerCommands, EachPlayerTalksToTheLayerItWasHandedAndSaysErrorsThroughItsPrompter)
{
    CScriptedMediaCommands first;
    CScriptedMediaCommands second;
    CScriptedPrompter firstPrompter;
    CScriptedPrompter secondPrompter;
    second.Answer("open /gone.wav type waveaudio alias mus2", 275);
    CMciPlayer one(first, firstPrompter);
    CMciPlayer two(second, secondPrompter);
    one.Close(1);
    two.Open("/gone.wav", 2);

    EXPECT_EQ(first.Sent(), TTexts{"Close mus1"});
    EXPECT_EQ(second.Sent(), TTexts{"open /gone.wav type waveaudio alias mus2"});
    EXPECT_TRUE(firstPrompter.Messages().empty());
    EXPECT_EQ(1u, secondPrompter.Messages().size());
}

TEST(MciPlayerCommands, QueriesPauseStopAndSeekSendTheirExactTexts)
{
    struct SCase
    {
        const char* pszWhat;
        std::function<void(CMciPlayer&)> fDo;
        TTexts arrSent;
    };
    const SCase kCases[] = {
        {"position",
         [](CMciPlayer& p) { p.GetPosition(4); },
         {"set mus4 time format milliseconds", "Status mus4 position"}},
        {"mode",
         [](CMciPlayer& p) { p.GetMode(2); },
         {"set mus2 time format milliseconds", "Status mus2 mode"}},
        {"pause", [](CMciPlayer& p) { p.Pause(1); }, {"Pause mus1"}},
        {"stop", [](CMciPlayer& p) { p.Stop(3); }, {"Stop mus3"}},
        {"seek 0",
         [](CMciPlayer& p) { p.Seek(7, 0); },
         {"set mus7 time format milliseconds", "Seek mus7 to 0"}},
        {"seek 1500",
         [](CMciPlayer& p) { p.Seek(1, 1500); },
         {"set mus1 time format milliseconds", "Seek mus1 to 1500"}},
        {"seek 0.5",
         [](CMciPlayer& p) { p.Seek(1, 0.5f); },
         {"set mus1 time format milliseconds", "Seek mus1 to 0.5"}},
        // A float's exact value, every digit of it, as the position bar's arithmetic gives it.
        {"seek 1234.567",
         [](CMciPlayer& p) { p.Seek(12, 1234.567f); },
         {"set mus12 time format milliseconds", "Seek mus12 to 1234.5670166015625"}},
        {"seek -15.25",
         [](CMciPlayer& p) { p.Seek(0, -15.25f); },
         {"set mus0 time format milliseconds", "Seek mus0 to -15.25"}},
    };
    for (const SCase& c : kCases)
    {
        SCOPED_TRACE(c.pszWhat);
        CScriptedMediaCommands layer;
        CScriptedPrompter prompter;
        CMciPlayer player(layer, prompter);
        c.fDo(player);
        EXPECT_EQ(layer.Sent(), c.arrSent);
    }
}

TEST(MciPlayerCommands, ModeIsTheReplyUnchangedAndStopClearsPlaying)
{
    CScriptedMediaCommands layer;
    layer.Answer("Status mus2 mode", 0, "Paused ");
    CScriptedPrompter prompter;
    CMciPlayer player(layer, prompter);
    EXPECT_EQ(player.GetMode(2), "Paused ");
    player.m_bPlaying = true;
    player.Stop(2);
    EXPECT_FALSE(player.m_bPlaying);
}

// The player thread on a scripted layer and the manual clock: each 10 ms poll is one step of
// the clock, so the test sees exactly which commands each pass sends.
class CPlayerThreadTest : public ::testing::Test
{
  protected:
    static TTexts Query(int nAlias, const char* pszItem)
    {
        const std::string strAlias = "mus" + std::to_string(nAlias);
        return {"set " + strAlias + " time format milliseconds", "Status " + strAlias + " " + pszItem};
    }
    static void Append(TTexts& arr, const TTexts& more) { arr.insert(arr.end(), more.begin(), more.end()); }
    // Moves the clock to nMs, where the thread sleeps again (or has ended).
    bool StepTo(int64_t nMs)
    {
        return m_clock.AdvanceTo(nMs, [this] { return !m_player.ThreadRunning(); });
    }
    bool Ended()
    {
        return WaitFor([this] { return !m_player.ThreadRunning(); });
    }
    // The commands sent since the last call.
    TTexts Fresh()
    {
        const TTexts arrAll = m_layer.Sent();
        TTexts arrNew(arrAll.begin() + std::ptrdiff_t(m_nSeen), arrAll.end());
        m_nSeen = arrAll.size();
        return arrNew;
    }

    CScriptedPrompter m_prompter;
    CScriptedMediaCommands m_layer;
    CManualClock m_clock;
    CMciPlayer m_player{m_layer, m_prompter, &m_clock};
    size_t m_nSeen = 0;
};

TEST_F(CPlayerThreadTest, OpensPlaysAndPollsUntilTheDeviceStops)
{
    m_layer.Answer("Status mus3 length", 0, "2000");
    m_layer.Answer("Status mus3 mode", 0, "playing");
    m_layer.Answer("Status mus3 mode", 0, "playing");
    m_layer.Answer("Status mus3 mode", 0, "stopped");
    m_layer.Answer("Status mus3 position", 0, "0");
    m_layer.Answer("Status mus3 position", 0, "10.5");

    m_player.Play(3, "/music/a.wav");
    EXPECT_TRUE(m_player.m_bPlaying);
    EXPECT_TRUE(m_player.ThreadRunning());
    ASSERT_TRUE(StepTo(0));
    TTexts arrFirst = {"open /music/a.wav type waveaudio alias mus3", "Play mus3"};
    Append(arrFirst, Query(3, "length"));
    Append(arrFirst, Query(3, "mode"));
    Append(arrFirst, Query(3, "position"));
    EXPECT_EQ(Fresh(), arrFirst);
    EXPECT_EQ(m_player.m_fLength, 2000.0f);
    EXPECT_EQ(m_player.m_fPosition, 0.0f);

    // Nothing between two polls.
    ASSERT_TRUE(StepTo(9));
    EXPECT_EQ(Fresh(), TTexts{});

    ASSERT_TRUE(StepTo(10));
    TTexts arrSecond = Query(3, "mode");
    Append(arrSecond, Query(3, "position"));
    EXPECT_EQ(Fresh(), arrSecond);
    EXPECT_EQ(m_player.m_fPosition, 10.5f);

    ASSERT_TRUE(StepTo(20));
    ASSERT_TRUE(Ended());
    TTexts arrLast = Query(3, "mode");
    arrLast.push_back("Close mus3");
    EXPECT_EQ(Fresh(), arrLast);
    EXPECT_FALSE(m_player.m_bPlaying);
    EXPECT_TRUE(m_prompter.Messages().empty());
}

TEST_F(CPlayerThreadTest, AFileThatReportsStoppedAtOnceIsClosedWithoutAPositionPoll)
{
    m_layer.Answer("Status mus0 mode", 0, "stopped");
    m_player.Play(0, "/music/empty.mid");
    ASSERT_TRUE(Ended());
    TTexts arrSent = {"open /music/empty.mid type sequencer alias mus0", "Play mus0"};
    Append(arrSent, Query(0, "length"));
    Append(arrSent, Query(0, "mode"));
    arrSent.push_back("Close mus0");
    EXPECT_EQ(Fresh(), arrSent);
    EXPECT_FALSE(m_player.m_bPlaying);
}

TEST_F(CPlayerThreadTest, AFileThatCannotBeOpenedShowsOneErrorAndEndsSoTheListMovesOn)
{
    m_layer.Answer("open /music/gone.wav type waveaudio alias mus2", 275);
    m_layer.Answer("Status mus3 mode", 0, "stopped");
    m_player.Play(2, "/music/gone.wav");
    ASSERT_TRUE(Ended());
    EXPECT_FALSE(m_player.m_bPlaying);
    EXPECT_EQ(Fresh(), TTexts{"open /music/gone.wav type waveaudio alias mus2"});
    ASSERT_EQ(m_prompter.Messages().size(), 1u);
    EXPECT_EQ(m_prompter.Messages()[0].strCaption, Msg::kMediaOpenErrorCaption);
    EXPECT_EQ(m_prompter.Messages()[0].strText, std::string(Msg::kMediaOpenError) + "\r\ntext of 275");

    // The next row plays at once, on a thread of its own.
    m_player.Play(3, "/music/next.mid");
    ASSERT_TRUE(Ended());
    const TTexts arrNext = Fresh();
    ASSERT_GE(arrNext.size(), 3u);
    EXPECT_EQ(arrNext[0], "Close mus3");
    EXPECT_EQ(arrNext[1], "open /music/next.mid type sequencer alias mus3");
    EXPECT_EQ(arrNext[2], "Play mus3");
    EXPECT_EQ(m_prompter.Messages().size(), 1u);
}

TEST_F(CPlayerThreadTest, APlayErrorIsShownOnceAfterPollingAndTheAliasIsClosed)
{
    m_layer.Answer("Play mus2", 263);
    m_layer.Answer("Status mus2 mode", 0, "stopped");
    m_player.Play(2, "/music/b.wav");
    ASSERT_TRUE(Ended());
    const TTexts arrSent = Fresh();
    ASSERT_FALSE(arrSent.empty());
    EXPECT_EQ(arrSent.back(), "Close mus2");
    ASSERT_EQ(m_prompter.Messages().size(), 1u);
    const SMessage message = m_prompter.Messages()[0];
    EXPECT_EQ(message.strCaption, Msg::kMediaPlayErrorCaption);
    EXPECT_EQ(message.strText, std::string(Msg::kMediaPlayError) + "\r\ntext of 263");
    EXPECT_EQ(message.eIcon, EIcon::Error);
    EXPECT_FALSE(message.bOwned);
}

TEST_F(CPlayerThreadTest, PauseHoldsTheDeviceAndPlayResumesIt)
{
    m_layer.Answer("Status mus1 mode", 0, "playing");
    m_player.Play(1, "/music/a.wav");
    ASSERT_TRUE(StepTo(0));
    Fresh();

    m_player.m_bPause = true;
    ASSERT_TRUE(StepTo(10));
    EXPECT_EQ(Fresh(), TTexts{"Pause mus1"});
    ASSERT_TRUE(StepTo(50));
    EXPECT_EQ(Fresh(), TTexts{}); // paused: no polling, no second pause

    // A Play while the thread runs starts nothing and sends nothing itself.
    m_player.Play(1, "/music/other.wav");
    EXPECT_FALSE(m_player.m_bPause);
    EXPECT_EQ(Fresh(), TTexts{});
    ASSERT_TRUE(StepTo(60));
    TTexts arrResume = {"Play mus1"};
    Append(arrResume, Query(1, "mode"));
    Append(arrResume, Query(1, "position"));
    EXPECT_EQ(Fresh(), arrResume);

    m_player.Stop(1);
    ASSERT_TRUE(Ended());
    EXPECT_EQ(Fresh(), (TTexts{"Stop mus1", "Close mus1"}));
}

TEST_F(CPlayerThreadTest, ASeekWhilePlayingGoesOnFromTheTargetUnlessTheDeviceRefusedIt)
{
    struct SCase
    {
        int nSeekCode;
        bool bGoesOn;
    };
    for (const SCase c : {SCase{0, true}, SCase{282, false}})
    {
        SCOPED_TRACE(c.nSeekCode);
        CScriptedMediaCommands layer;
        CManualClock clock;
        CScriptedPrompter prompter;
        CMciPlayer player(layer, prompter, &clock);
        layer.Answer("Seek mus1 to 500", c.nSeekCode);
        // The device is stopped once the seek has reached it.
        layer.Answer("Status mus1 mode", 0, "playing");
        layer.Answer("Status mus1 mode", 0, "stopped");
        layer.Answer("Status mus1 mode", 0, "playing");
        player.Play(1, "/music/a.wav");
        auto Done = [&] { return !player.ThreadRunning(); };
        ASSERT_TRUE(clock.AdvanceTo(0, Done));
        player.Seek(1, 500);
        const size_t nBefore = layer.Sent().size();
        ASSERT_TRUE(clock.AdvanceTo(10, Done));
        if (!c.bGoesOn)
            ASSERT_TRUE(WaitFor(Done));
        const TTexts arrAll = layer.Sent();
        const TTexts arrAfter(arrAll.begin() + std::ptrdiff_t(nBefore), arrAll.end());
        TTexts arrExpected = Query(1, "mode");
        if (c.bGoesOn)
        {
            arrExpected.push_back("Play mus1");
            Append(arrExpected, Query(1, "position"));
        }
        else
        {
            arrExpected.push_back("Close mus1");
        }
        EXPECT_EQ(arrAfter, arrExpected);
        EXPECT_EQ(player.ThreadRunning(), c.bGoesOn);
        player.Shutdown();
    }
}

TEST_F(CPlayerThreadTest, TheThreadPlaysTheAliasAndPathItStartedWith)
{
    m_layer.Answer("Status mus5 mode", 0, "playing");
    std::string strPath = "/music/first song.wav";
    m_player.Play(5, strPath);
    strPath = "/music/changed.wav";
    ASSERT_TRUE(StepTo(0));
    m_player.m_nAlias = 9; // whatever the window does to the fields, the thread keeps to its own
    ASSERT_TRUE(StepTo(10));
    m_player.Stop(5);
    ASSERT_TRUE(Ended());
    const TTexts arrSent = m_layer.Sent();
    EXPECT_EQ(arrSent.front(), "open \"/music/first song.wav\" type waveaudio alias mus5");
    for (const std::string& strCommand : arrSent)
        EXPECT_EQ(strCommand.find("mus9"), std::string::npos) << strCommand;
}

TEST_F(CPlayerThreadTest, PlayRightAfterStopStartsTheNewFile)
{
    m_layer.Answer("Status mus1 mode", 0, "playing");
    m_layer.Answer("Status mus2 mode", 0, "playing");
    m_player.Play(1, "/music/a.wav");
    ASSERT_TRUE(StepTo(0));
    m_player.Stop(1);
    m_player.Play(2, "/music/b.mid");
    ASSERT_TRUE(StepTo(0));
    const TTexts arrSent = m_layer.Sent();
    EXPECT_NE(std::find(arrSent.begin(), arrSent.end(), "open /music/b.mid type sequencer alias mus2"),
              arrSent.end());
    EXPECT_TRUE(m_player.ThreadRunning());
    EXPECT_TRUE(m_player.m_bPlaying);
}

TEST(MciPlayerShutdown, ClosingThePlayerEndsItsThreadAndClosesTheFile)
{
    for (const bool bExplicit : {true, false})
    {
        SCOPED_TRACE(bExplicit ? "Shutdown" : "destructor");
        CScriptedMediaCommands layer;
        layer.Answer("Status mus4 mode", 0, "playing");
        CManualClock clock;
        {
            CScriptedPrompter prompter;
            CMciPlayer player(layer, prompter, &clock);
            player.Play(4, "/music/a.mid");
            ASSERT_TRUE(clock.AdvanceTo(0, [&] { return !player.ThreadRunning(); }));
            if (bExplicit)
            {
                player.Shutdown();
                EXPECT_FALSE(player.ThreadRunning());
                EXPECT_FALSE(player.m_bPlaying);
            }
        }
        EXPECT_EQ(layer.Sent().back(), "Close mus4");
    }
}

} // namespace
