// The transport without a window: project rows on the recorder output and the manual clock,
// media rows on a scripted media-command layer, and what its listener hears.
#include "app/Services.h"
#include "app/Settings.h"
#include "playlist/Transport.h"
#include "project/ProjectFormat.h"
#include "tests/ManualClock.h"
#include "tests/MediaDoubles.h"
#include "tests/ProjectFixtures.h"
#include "tests/RecorderMidiOut.h"
#include "tests/ScriptedMediaCommands.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace
{
// One note of nMs on key nNote, version 0.1: the project ends with its note off.
std::vector<uint8_t> NoteProject(int nNote, int32_t nMs)
{
    auto p = MakeHeader(1);
    AppendEventRecord(p, 0, 0x7F0090u | (static_cast<uint32_t>(nNote) << 8));
    AppendEventRecord(p, nMs, 0x0080u | (static_cast<uint32_t>(nNote) << 8));
    return p;
}

class CRecordingListener : public ITransportListener
{
  public:
    void PlaybackStarting() override { ++nStarts; }
    void SelectionMoved(int nRow) override { arrMoves.push_back(nRow); }
    void CurrentChanged(int nRow) override { nCurrent = nRow; }
    void PositionChanged(int nPercent) override { nPosition = nPercent; }
    void TimeChanged(const std::string& str) override { strTime = str; }
    void StateChanged(const STransportState& s) override { state = s; }
    void TickingChanged(bool b) override { bTicking = b; }
    void CommandDeferred() override { ++nDeferred; }

    int nStarts = 0;
    std::vector<int> arrMoves;
    int nCurrent = -1;
    int nPosition = -1;
    std::string strTime;
    STransportState state;
    bool bTicking = false;
    int nDeferred = 0;
};

// Playback, Pause, Stop as "Playback Pause Stop" possible.
std::string Commands(const STransportState& s)
{
    return std::string(1, s.bPlayback ? '1' : '0') + (s.bPause ? '1' : '0') + (s.bStop ? '1' : '0');
}

class TransportEngineTest : public ::testing::Test
{
  protected:
    TransportEngineTest() { settings.DeviceIndex = -1; }

    CTransport& Transport()
    {
        if (!m_pTransport)
            m_pTransport = std::make_unique<CTransport>(playlist, settings, services, listener);
        return *m_pTransport;
    }
    void AddProject(const std::vector<uint8_t>& bytes)
    {
        playlist.Add(
            {folder.File("p" + std::to_string(playlist.Count()) + ".tgp"), ERowKind::Project, bytes});
    }
    // A media row; the layer says its length.
    void AddMedia(const std::string& strName, const char* pszLength)
    {
        const int nAlias = playlist.Count();
        layer.Answer("Status mus" + std::to_string(nAlias) + " length", 0, pszLength);
        playlist.Add({folder.File(strName), *KindOfPath(strName), {}});
    }
    void PlayRow(int nRow)
    {
        playlist.Select(nRow);
        Transport().Command(ETransportCommand::Playback);
    }
    // Time runs to nMs; the project player has then done everything it does up to that moment.
    void RunTo(int64_t nMs)
    {
        ASSERT_TRUE(clock.AdvanceTo(nMs, [&] { return !Transport().Player().m_bPlaying; }));
    }
    void TickAt(int64_t nMs)
    {
        RunTo(nMs);
        Transport().Tick(clock.Now());
    }
    std::vector<std::string> NoteOns() const { return midiOut.NoteOns(); }
    bool Silenced(int nNote) const { return midiOut.Silenced(nNote); }
    bool Sent(const std::string& str) const { return layer.WasSent(str); }
    bool SentInOrder(const std::vector<std::string>& arrWanted) const { return layer.SentInOrder(arrWanted); }

    CManualClock clock;
    CRecorderMidiOut midiOut{clock};
    CTempRegistry reg;
    CScriptedPrompter prompter;
    CScriptedMediaCommands layer;
    CTempFolder folder;
    CSettings settings{reg.Store(), prompter};
    SServices services{prompter, reg.Store(), midiOut, clock, layer, {}, {}, {}, {}};
    CPlaylist playlist;
    CRecordingListener listener;

  private:
    std::unique_ptr<CTransport> m_pTransport;
};

TEST_F(TransportEngineTest, AProjectPlaysPausesResumesAndStopsAndTheListenerFollows)
{
    AddProject(NoteProject(60, 3000));
    AddProject(NoteProject(62, 3000));
    playlist.Select(0);
    Transport().SelectionChanged();
    EXPECT_EQ("100", Commands(listener.state));

    PlayRow(0);
    EXPECT_TRUE(Transport().Player().m_bPlaying);
    EXPECT_EQ(1, listener.nStarts);
    EXPECT_EQ(0, listener.nCurrent);
    EXPECT_EQ(0, playlist.Current());
    EXPECT_TRUE(listener.bTicking);
    EXPECT_EQ("011", Commands(listener.state));

    TickAt(1500);
    EXPECT_EQ("00:01", listener.strTime);
    EXPECT_EQ(50, listener.nPosition);

    // Another row selected: Playback would start it.
    playlist.Select(1);
    Transport().SelectionChanged();
    EXPECT_EQ("111", Commands(listener.state));
    playlist.Select(0);

    Transport().Command(ETransportCommand::Pause);
    EXPECT_TRUE(Transport().Player().m_bPause);
    EXPECT_EQ("101", Commands(listener.state));
    TickAt(2500);
    EXPECT_EQ("00:01", listener.strTime) << "held";
    EXPECT_EQ(1u, midiOut.Messages().size());

    Transport().Command(ETransportCommand::Playback);
    EXPECT_FALSE(Transport().Player().m_bPause);
    EXPECT_EQ("011", Commands(listener.state));
    EXPECT_EQ(2, listener.nStarts);
    TickAt(3000);

    Transport().Command(ETransportCommand::Stop);
    RunTo(3000);
    EXPECT_FALSE(Transport().Player().m_bPlaying);
    EXPECT_TRUE(Silenced(60));
    EXPECT_FALSE(Transport().IsItemPlaying());
    EXPECT_FALSE(listener.bTicking);
    EXPECT_EQ("100", Commands(listener.state));
    EXPECT_EQ((std::vector<std::string>{"60@0"}), NoteOns());

    // Pause with nothing playing does nothing; a tick after the stop changes nothing.
    Transport().Command(ETransportCommand::Pause);
    Transport().Tick(clock.Now());
    EXPECT_EQ("100", Commands(listener.state));
    EXPECT_FALSE(Transport().Player().m_bPause);
}

TEST_F(TransportEngineTest, TheWholeListOnceOrEndlesslyAndAListThatDoesNotMoveOn)
{
    struct SCase
    {
        const char* pName;
        bool bAllPlay, bPlayNoEnd;
        std::vector<int> arrNotes; // one 200 ms row per note
        std::vector<std::string> arrWanted;
        bool bTickingAtEnd;
        std::vector<int> arrMoves; // the rows the transport selected
    };
    const SCase cases[] = {
        {"one row, no whole list", false, false, {60, 62}, {"60@0"}, true, {}},
        {"whole list once", true, false, {60, 62, 64}, {"60@0", "62@200", "64@400"}, false, {1, 2}},
        {"endless, three rows",
         true,
         true,
         {60, 62, 64},
         {"60@0", "62@200", "64@400", "60@600", "62@800"},
         true,
         {1, 2, 0, 1}},
        {"endless, one row",
         true,
         true,
         {60},
         {"60@0", "60@200", "60@400", "60@600", "60@800"},
         true,
         {0, 0, 0, 0}},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pName);
        CManualClock caseClock;
        CRecorderMidiOut caseOut{caseClock};
        SServices caseServices{prompter, reg.Store(), caseOut, caseClock, layer, {}, {}, {}, {}};
        CSettings caseSettings{reg.Store(), prompter};
        caseSettings.DeviceIndex = -1;
        caseSettings.AllPlay = c.bAllPlay;
        caseSettings.PlayNoEnd = c.bPlayNoEnd;
        CPlaylist list;
        for (int nNote : c.arrNotes)
            list.Add({"row" + std::to_string(nNote) + ".tgp", ERowKind::Project, NoteProject(nNote, 200)});
        CRecordingListener heard;
        CTransport transport(list, caseSettings, caseServices, heard);
        list.Select(0);
        transport.Command(ETransportCommand::Playback);
        for (int64_t t = 100; t <= 800; t += 100)
        {
            ASSERT_TRUE(caseClock.AdvanceTo(t, [&] { return !transport.Player().m_bPlaying; }));
            transport.Tick(caseClock.Now());
        }
        EXPECT_EQ(c.arrWanted, caseOut.NoteOns());
        EXPECT_EQ(c.bTickingAtEnd, heard.bTicking);
        EXPECT_EQ(c.bTickingAtEnd, transport.IsTicking());
        EXPECT_EQ(c.arrMoves, heard.arrMoves);
        if (!c.bTickingAtEnd)
        {
            EXPECT_EQ("100", Commands(heard.state)) << "the end of the list: only Playback";
        }
    }
}

TEST_F(TransportEngineTest, StopStopsTheWholeListAndClosingTheRowThatPlaysStopsIt)
{
    settings.AllPlay = true;
    AddProject(NoteProject(60, 300));
    AddProject(NoteProject(62, 600000));
    AddProject(NoteProject(64, 600000));
    PlayRow(0);
    TickAt(100);
    Transport().Command(ETransportCommand::Stop);
    for (int64_t t = 200; t <= 1000; t += 100)
        TickAt(t);
    EXPECT_EQ((std::vector<std::string>{"60@0"}), NoteOns());
    EXPECT_EQ(0, playlist.Selected());

    // Row 2 plays; closing row 0 keeps it playing as row 1; closing it stops it.
    PlayRow(2);
    Transport().RemoveRow(0);
    EXPECT_EQ(1, playlist.Current());
    EXPECT_EQ(1, listener.nCurrent);
    EXPECT_TRUE(Transport().Player().m_bPlaying);
    Transport().RemoveRow(1);
    RunTo(1100);
    EXPECT_FALSE(Transport().Player().m_bPlaying);
    EXPECT_TRUE(Silenced(64));
    EXPECT_EQ(-1, playlist.Current());
    EXPECT_EQ(-1, listener.nCurrent);
    EXPECT_FALSE(listener.bTicking);
    EXPECT_EQ(1, playlist.Count());
}

// The 48 resets of a panic, as the output's own (handle 0).
std::vector<std::pair<int, uint32_t>> PanicResets()
{
    std::vector<std::pair<int, uint32_t>> out;
    for (uint32_t nChannel = 0; nChannel < 16; ++nChannel)
        for (uint32_t nController : {123u, 121u, 120u})
            out.emplace_back(0, 0xB0 | nChannel | nController << 8);
    return out;
}

TEST_F(TransportEngineTest, PanicSilencesTheOutputsAtOnceAndStopsWhatPlays)
{
    const auto SentSince = [&](size_t nFrom)
    {
        std::vector<std::pair<int, uint32_t>> out;
        const std::vector<SSent> arrSent = midiOut.Sent();
        for (size_t i = nFrom; i < arrSent.size(); ++i)
            out.emplace_back(arrSent[i].nHandle, arrSent[i].dwMessage);
        return out;
    };
    // Nothing plays: the resets all the same.
    Transport().Panic();
    EXPECT_EQ(PanicResets(), SentSince(0));

    // A chord on the player thread, held for ten minutes.
    auto p = MakeHeader(1);
    AppendEventRecord(p, 0, 0x7F3C90);
    AppendEventRecord(p, 0, 0x7F4391);
    AppendEventRecord(p, 600000, 0x3C80);
    AddProject(p);
    PlayRow(0);
    RunTo(1000);
    ASSERT_TRUE(Transport().Player().m_bPlaying);
    const size_t nBefore = midiOut.Sent().size();
    Transport().Panic();
    // The player may silence its notes before the panic or after it: either way its notes are
    // off and the output's own messages are the resets.
    const auto arrSent = SentSince(nBefore);
    std::vector<std::pair<int, uint32_t>> arrOwn;
    std::copy_if(arrSent.begin(), arrSent.end(), std::back_inserter(arrOwn),
                 [](const auto& sent) { return sent.first == 0; });
    EXPECT_EQ(PanicResets(), arrOwn);
    for (uint32_t dwOff : {0x3C80u, 0x4381u})
        EXPECT_NE(arrSent.end(),
                  std::find(arrSent.begin(), arrSent.end(), std::pair<int, uint32_t>(1, dwOff)))
            << dwOff;
    EXPECT_EQ(2, midiOut.Panics());
    EXPECT_FALSE(Transport().IsItemPlaying());
    EXPECT_FALSE(listener.bTicking);
    EXPECT_EQ("100", Commands(listener.state));
    RunTo(2000);
    EXPECT_FALSE(Transport().Player().m_bPlaying) << "the player has ended";
    EXPECT_EQ((std::vector<std::string>{"60@0", "67@0"}), NoteOns()) << "and played nothing more";
}

TEST_F(TransportEngineTest, AMediaRowPlaysPausesSeeksAndStops)
{
    AddMedia("song.wav", "1000");
    layer.Answer("Status mus0 mode", 0, "playing");
    layer.Answer("Status mus0 position", 0, "500");
    PlayRow(0);
    ASSERT_TRUE(WaitFor(
        [&]
        { return Transport().Media().m_fLength == 1000.0f && Transport().Media().m_fPosition == 500.0f; }));
    Transport().Tick(clock.Now());
    EXPECT_EQ(50, listener.nPosition);
    EXPECT_EQ("00:00", listener.strTime);
    EXPECT_EQ("011", Commands(listener.state));

    Transport().Command(ETransportCommand::Pause);
    EXPECT_TRUE(Transport().Media().m_bPause);
    EXPECT_EQ("101", Commands(listener.state));
    ASSERT_TRUE(WaitFor([&] { return SentInOrder({"Play mus0", "Pause mus0"}); }));
    Transport().Command(ETransportCommand::Pause);
    EXPECT_FALSE(Transport().Media().m_bPause);
    ASSERT_TRUE(WaitFor([&] { return SentInOrder({"Play mus0", "Pause mus0", "Play mus0"}); }));

    // A seek while paused goes there and plays on.
    Transport().Command(ETransportCommand::Pause);
    Transport().Seek(75, 100);
    EXPECT_TRUE(Sent("Seek mus0 to 750"));
    EXPECT_FALSE(Transport().Media().m_bPause);
    EXPECT_FALSE(Transport().IsPaused());
    EXPECT_EQ("011", Commands(listener.state));

    Transport().Command(ETransportCommand::Stop);
    EXPECT_FALSE(listener.bTicking);
    EXPECT_EQ("100", Commands(listener.state));
    ASSERT_TRUE(WaitFor([&] { return !Transport().Media().ThreadRunning(); }));
    EXPECT_TRUE(SentInOrder({"Seek mus0 to 750", "Seek mus0 to 0", "Close mus0"}));

    // A project is not sought.
    AddProject(NoteProject(60, 1000));
    PlayRow(1);
    const size_t nBefore = layer.Sent().size();
    Transport().Seek(50, 100);
    EXPECT_EQ(nBefore, layer.Sent().size());
}

TEST_F(TransportEngineTest, PrePauseHoldsAMediaFileBackForItsTimeWithoutBlocking)
{
    struct SCase
    {
        bool bPrePause;
        int64_t nStartedBy; // the tick at which "Play mus0" has been sent; 0: at once
    };
    for (const SCase& c : {SCase{false, 0}, SCase{true, 200}})
    {
        SCOPED_TRACE(c.bPrePause);
        CManualClock caseClock;
        CScriptedMediaCommands caseLayer;
        caseLayer.Answer("Status mus0 mode", 0, "playing");
        SServices caseServices{prompter, reg.Store(), midiOut, caseClock, caseLayer, {}, {}, {}, {}};
        CSettings caseSettings{reg.Store(), prompter};
        caseSettings.PrePause = c.bPrePause;
        CPlaylist list;
        list.Add({"song.wav", ERowKind::Wave, {}});
        CRecordingListener heard;
        CTransport transport(list, caseSettings, caseServices, heard);
        auto Started = [&] { return caseLayer.WasSent("open song.wav type waveaudio alias mus0"); };
        list.Select(0);
        transport.Command(ETransportCommand::Playback);
        EXPECT_TRUE(heard.bTicking);
        EXPECT_EQ(c.bPrePause ? "001" : "011", Commands(heard.state)) << "waiting to start: no Pause";
        for (int64_t t = 0; t <= 300; t += 100)
        {
            SCOPED_TRACE(t);
            ASSERT_TRUE(caseClock.AdvanceTo(t, [] { return true; }));
            transport.Tick(caseClock.Now());
            if (t < c.nStartedBy)
            {
                // Not yet.
                EXPECT_FALSE(transport.Media().ThreadRunning());
                EXPECT_FALSE(Started());
                EXPECT_EQ("001", Commands(heard.state));
            }
            else
            {
                EXPECT_TRUE(WaitFor(Started));
                EXPECT_EQ("011", Commands(heard.state));
            }
        }
        // Stop before the start: nothing starts later.
        transport.Command(ETransportCommand::Stop);
        transport.Command(ETransportCommand::Playback);
        transport.Command(ETransportCommand::Stop);
        ASSERT_TRUE(WaitFor([&] { return !transport.Media().ThreadRunning(); }));
        const size_t nSent = caseLayer.Sent().size();
        ASSERT_TRUE(caseClock.AdvanceTo(1000, [] { return true; }));
        transport.Tick(caseClock.Now());
        EXPECT_FALSE(transport.Media().ThreadRunning());
        EXPECT_EQ(nSent, caseLayer.Sent().size());
    }
}

TEST_F(TransportEngineTest, ARowWhosePlayerStillEndsTheRowBeforeStartsOnceItHasEnded)
{
    AddProject(NoteProject(60, 600000));
    AddProject(NoteProject(62, 600000));
    // Row 0's thread cannot open its device and waits in its message box.
    midiOut.FailOpen(true);
    prompter.HoldWorkers(true);
    PlayRow(0);
    ASSERT_TRUE(WaitFor([&] { return prompter.WorkersHeld() == 1; }));

    // Commands wait for the box: the last one is kept.
    Transport().Command(ETransportCommand::Pause);
    Transport().Command(ETransportCommand::Playback);
    EXPECT_EQ(2, listener.nDeferred);
    EXPECT_TRUE(Transport().HasDeferred());
    Transport().RunDeferred();
    EXPECT_TRUE(Transport().HasDeferred()) << "still held";

    // Row 1 asked for directly while the box is up: it waits for row 0's thread.
    playlist.Select(1);
    Transport().Playback();
    EXPECT_EQ(1, playlist.Current());
    EXPECT_EQ("001", Commands(listener.state)) << "about to play: Stop only";
    Transport().Tick(clock.Now());
    EXPECT_TRUE(NoteOns().empty());

    midiOut.FailOpen(false);
    prompter.HoldWorkers(false);
    ASSERT_TRUE(WaitFor([&] { return prompter.WorkersHeld() == 0; }));
    // The kept Playback goes first: row 1 is selected and about to play, so it stays so.
    Transport().Tick(clock.Now());
    EXPECT_FALSE(Transport().HasDeferred());
    ASSERT_TRUE(WaitFor(
        [&]
        {
            Transport().Tick(clock.Now());
            return Transport().Player().m_bPlaying.load();
        }));
    RunTo(100);
    EXPECT_EQ((std::vector<std::string>{"62@0"}), NoteOns());
    EXPECT_EQ("011", Commands(listener.state));
}

TEST_F(TransportEngineTest, TheWholeListGoesThroughProjectsAndMediaFiles)
{
    settings.AllPlay = true;
    AddProject(NoteProject(60, 200));
    AddMedia("b.wav", "1000");
    AddProject(NoteProject(64, 200));
    // The WAV file plays for two polls, then it has ended.
    layer.Answer("Status mus1 mode", 0, "playing");
    layer.Answer("Status mus1 mode", 0, "playing");
    layer.Answer("Status mus1 mode", 0, "stopped");
    PlayRow(0);
    TickAt(200); // row 0 has ended: row 1 starts
    EXPECT_EQ(1, playlist.Current());
    ASSERT_TRUE(WaitFor([&] { return !Transport().Media().ThreadRunning(); }));
    EXPECT_TRUE(SentInOrder({"Play mus1", "Close mus1"}));
    Transport().Tick(clock.Now()); // row 1 has ended: row 2 starts
    EXPECT_EQ(2, playlist.Current());
    TickAt(400);
    Transport().Tick(clock.Now()); // the end of the list
    EXPECT_EQ((std::vector<std::string>{"60@0", "64@200"}), NoteOns());
    EXPECT_FALSE(listener.bTicking);
    EXPECT_EQ((std::vector<int>{1, 2}), listener.arrMoves);
    EXPECT_EQ("100", Commands(listener.state));
}
} // namespace

namespace
{
// SeekTime moves the item that plays: a project through its player (paused, it stays paused
// and silent), a media file as the bar's seek does, no further than its length; with nothing
// playing, or while a player's message waits, it does nothing.
TEST_F(TransportEngineTest, SeekTimeMovesTheItemThatPlaysAndNothingElse)
{
    AddProject(NoteProject(60, 3000));
    EXPECT_FALSE(Transport().SeekTime(500)) << "nothing plays";
    // The clock runs a millisecond at a time until the player has taken the seek.
    auto Taken = [&]
    {
        for (int n = 0; n < 100 && Transport().Player().m_nSeekMs >= 0; ++n)
            RunTo(clock.NowMs() + 1);
        EXPECT_EQ(-1, Transport().Player().m_nSeekMs.load());
        return clock.NowMs();
    };

    PlayRow(0);
    TickAt(1000);
    ASSERT_TRUE(Transport().SeekTime(2500));
    Taken();
    EXPECT_TRUE(Silenced(60));
    Transport().Tick(clock.Now());
    EXPECT_EQ("00:02", listener.strTime);
    EXPECT_EQ(83, listener.nPosition);

    // Back to the start while paused: the position moves, nothing sounds until Playback resumes.
    Transport().Command(ETransportCommand::Pause);
    ASSERT_TRUE(Transport().SeekTime(-20));
    const int64_t nTaken = Taken();
    EXPECT_TRUE(Transport().IsPaused());
    EXPECT_TRUE(Transport().Player().m_bPause);
    RunTo(nTaken + 1000);
    Transport().Tick(clock.Now());
    EXPECT_EQ("00:00", listener.strTime);
    EXPECT_EQ(0, listener.nPosition);
    EXPECT_EQ((std::vector<std::string>{"60@0"}), NoteOns());
    Transport().Command(ETransportCommand::Playback);
    RunTo(nTaken + 1001);
    EXPECT_EQ((std::vector<std::string>{"60@0", "60@" + std::to_string(nTaken + 1001)}), NoteOns());

    Transport().Command(ETransportCommand::Stop);
    RunTo(clock.NowMs());
    EXPECT_FALSE(Transport().SeekTime(100)) << "stopped";
    EXPECT_EQ(-1, Transport().Player().m_nSeekMs.load());

    AddMedia("song.wav", "1000");
    layer.Answer("Status mus1 mode", 0, "playing");
    PlayRow(1);
    ASSERT_TRUE(WaitFor([&] { return Transport().Media().ThreadRunning(); }));
    ASSERT_TRUE(Transport().SeekTime(750));
    EXPECT_TRUE(Sent("Seek mus1 to 750"));
    ASSERT_TRUE(Transport().SeekTime(5000));
    EXPECT_TRUE(Sent("Seek mus1 to 1000")) << "no further than its length";
    Transport().Command(ETransportCommand::Stop);
    ASSERT_TRUE(WaitFor([&] { return !Transport().Media().ThreadRunning(); }));

    // A player that waits for the user's answer is not sought.
    midiOut.FailOpen(true);
    prompter.HoldWorkers(true);
    PlayRow(0);
    ASSERT_TRUE(WaitFor([&] { return prompter.WorkersHeld() == 1; }));
    EXPECT_FALSE(Transport().SeekTime(100));
    EXPECT_EQ(-1, Transport().Player().m_nSeekMs.load());
    prompter.HoldWorkers(false);
    ASSERT_TRUE(WaitFor([&] { return prompter.WorkersHeld() == 0; }));
}
} // namespace
