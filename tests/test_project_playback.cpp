// The project player on its thread, against the recorder output and the manual clock: what it
// sends and when, Pause, Stop, damaged projects and devices that will not open.
#include "tests/PlaybackFixture.h"
#include "tests/ProjectFixtures.h"

#include <gtest/gtest.h>

namespace
{
const std::string kDamagedPlayback =
    "Ошибка воспроизведения!|TGP - файл поврежден, и поэтому его воспроизведение невозможно!";
const std::string kCannotOpen = "Tonegrove: Ошибка MIDI|Не могу открыть поток MIDI-устройств!";

constexpr uint32_t kOn60 = 0x7F3C90, kOff60 = 0x3C80;
constexpr int64_t kStep = kWaitStep.count();

// The silencing every end sends on each channel the player used: sustain, sostenuto and soft
// pedal up, all notes off, all sound off. The timing cases look at the project's own messages.
bool IsSilencingControl(uint32_t dwMessage)
{
    const uint32_t nData1 = dwMessage >> 8 & 0xFF, nData2 = dwMessage >> 16 & 0xFF;
    return (dwMessage & 0xF0) == 0xB0 && nData2 == 0 &&
           (nData1 == 64 || nData1 == 66 || nData1 == 67 || nData1 == 120 || nData1 == 123);
}

TTimeline WithoutSilencing(TTimeline timeline)
{
    std::erase_if(timeline, [](const auto& sent) { return IsSilencingControl(sent.second); });
    return timeline;
}

// What silencing sends at nMs after the note offs, when only channel 0 was used.
TTimeline Silence0(int64_t nMs)
{
    return {{nMs, 0x0040B0}, {nMs, 0x0042B0}, {nMs, 0x0043B0}, {nMs, 0x007BB0}, {nMs, 0x0078B0}};
}

using ::operator+;
TTimeline operator+(TTimeline a, const TTimeline& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct STimingCase
{
    const char* pName;
    std::vector<uint8_t> project;
    TTimeline expected;
    int64_t nEndMs;     // when m_bPlaying clears
    float fEndPosition; // m_fPosition then
};

std::vector<STimingCase> TimingCases()
{
    std::vector<STimingCase> cases;
    cases.push_back({"one note 0.0, then its closing silence",
                     OneNoteProject(0),
                     {{100, kOn60}, {600, kOff60}},
                     1300,
                     0});
    cases.push_back({"one note 0.1", OneNoteProject(1), {{100, kOn60}, {600, kOff60}}, 600, 600});

    auto channel = MakeHeader(0);
    AppendNoteOnRecord(channel, 0, 48, 12, 100, 3);
    AppendNoteOffRecord(channel, 10, 48, 12, 3);
    cases.push_back(
        {"base 48 key 12 channel 3 velocity 100", channel, {{0, 0x643C93}, {10, 0x3C83}}, 710, 0});

    // Delays below 50 ms and the rest of longer ones are waited too, so the timing comes back.
    auto whole = MakeHeader(1);
    AppendEventRecord(whole, 120, kOn60);
    AppendEventRecord(whole, 49, kOff60);
    AppendEventRecord(whole, 1, 0x643E90);
    AppendEventRecord(whole, 0, 0x3E80);
    AppendEventRecord(whole, 251, 0x644090);
    AppendEventRecord(whole, 50, 0x4080);
    cases.push_back(
        {"every delay waited whole",
         whole,
         {{120, kOn60}, {169, kOff60}, {170, 0x643E90}, {170, 0x3E80}, {421, 0x644090}, {471, 0x4080}},
         471,
         471});

    auto leftOn = MakeHeader(0);
    AppendNoteOnRecord(leftOn, 100, 48, 12, 127, 0);
    cases.push_back({"a note left on is closed at the end", leftOn, {{100, kOn60}, {100, kOff60}}, 800, 0});

    const uint8_t mask[6] = {1, 0, 0, 0, 0, 0};
    auto oscillator = MakeHeader(1);
    AppendEventRecord(oscillator, 100, kOn60);
    AppendSettingsRecord(oscillator, 440, 100, 1500, 0, 1);
    AppendToneRecord(oscillator, mask, 300);
    AppendEventRecord(oscillator, 50, kOff60);
    cases.push_back(
        {"a tone keeps its length, settings take none", oscillator, {{100, kOn60}, {450, kOff60}}, 450, 450});

    auto other = MakeHeader(0);
    AppendNoteOnRecord(other, 100, 48, 12, 127, 0);
    other = other + Bytes({'x', 1, 50});
    AppendNoteOffRecord(other, 100, 48, 12, 0);
    cases.push_back(
        {"0.0 record of another type is only its delay", other, {{100, kOn60}, {250, kOff60}}, 950, 0});

    cases.push_back({"header only 0.0", MakeHeader(0), {}, 700, 0});
    cases.push_back({"header only 0.1", MakeHeader(1), {}, 0, 0});
    return cases;
}

TEST(ProjectPlayback, SendsEachMessageOnItsSchedule)
{
    for (const STimingCase& c : TimingCases())
    {
        SCOPED_TRACE(c.pName);
        CPlayRun run(c.project);
        ASSERT_TRUE(run.Start());
        if (c.nEndMs > 0)
        {
            ASSERT_TRUE(run.RunTo(c.nEndMs - 1));
            EXPECT_FALSE(run.Ended());
            EXPECT_TRUE(run.m_player.m_bPlaying);
        }
        ASSERT_TRUE(run.RunTo(c.nEndMs));
        EXPECT_TRUE(run.Ended());
        EXPECT_FALSE(run.m_player.m_bPlaying);
        EXPECT_EQ(c.expected, WithoutSilencing(run.Timeline()));
        EXPECT_EQ(c.fEndPosition, run.m_player.m_fPosition);
        EXPECT_EQ(EPlayEnd::Finished, run.m_pThread->LastEnd());
        EXPECT_FALSE(run.m_pThread->LastDeviceFailed());
        EXPECT_EQ(std::vector<int>{0}, run.m_recorder.OpenedDevices());
        EXPECT_EQ(0, run.m_recorder.OpenHandles()) << "the device is closed at the end";
        EXPECT_TRUE(run.m_prompter.Lines().empty());
    }
}

TEST(ProjectPlayback, PositionFollowsTheTimePlayed)
{
    auto project = MakeHeader(1);
    AppendEventRecord(project, 1000, kOn60);
    AppendEventRecord(project, 0, kOff60);
    CPlayRun run(project);
    ASSERT_TRUE(run.Start());
    float fLast = 0;
    for (int64_t nMs = 0; nMs <= 1000; nMs += 100)
    {
        ASSERT_TRUE(run.RunTo(nMs));
        const float fPosition = run.m_player.m_fPosition;
        EXPECT_LE(fPosition, static_cast<float>(nMs));
        EXPECT_GE(fPosition, static_cast<float>(nMs - kStep)) << "the bar must not lag a step behind";
        EXPECT_GE(fPosition, fLast);
        fLast = fPosition;
    }
}

// Pause holds everything, notes keep sounding, and afterwards the rest of the project keeps its
// timing: the time held is added to the schedule, no more and no less.
TEST(ProjectPlayback, PauseHoldsAndResumesOnSchedule)
{
    CPlayRun run(OneNoteProject(0));
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.RunTo(300));
    run.m_player.m_bPause = true;
    ASSERT_TRUE(run.RunTo(1300));
    const float fHeldAt = run.m_player.m_fPosition;
    EXPECT_GE(fHeldAt, 300);
    EXPECT_LE(fHeldAt, 300 + kStep);
    ASSERT_TRUE(run.RunTo(2300));
    EXPECT_EQ(fHeldAt, run.m_player.m_fPosition) << "the position stands while paused";
    EXPECT_EQ((TTimeline{{100, kOn60}}), run.Timeline()) << "nothing is sent, nothing switched off";
    EXPECT_TRUE(run.m_player.m_bPlaying);

    run.m_player.m_bPause = false;
    ASSERT_TRUE(run.RunTo(5000));
    const TTimeline timeline = WithoutSilencing(run.Timeline());
    ASSERT_EQ(2u, timeline.size());
    EXPECT_EQ(kOff60, timeline[1].second);
    // The note off is due 600 - fHeldAt ms of playing after the resume, which the player sees
    // within one pause poll.
    const int64_t nAfterResume = timeline[1].first - 2300;
    EXPECT_GE(nAfterResume, 600 - static_cast<int64_t>(fHeldAt));
    EXPECT_LE(nAfterResume, 600 - static_cast<int64_t>(fHeldAt) + kPausePoll.count());
    EXPECT_TRUE(run.Ended());
}

// A stop in a long silence ends the playing at once (with Stop()) or within one wait step (when
// only m_bStop is set, as the window's Stop does); the notes that sound are switched off and a
// Playback that follows starts afresh.
TEST(ProjectPlayback, StopEndsALongSilenceAndSilencesTheNotes)
{
    struct SCase
    {
        const char* pName;
        bool bPauseFirst;
        bool bWake; // Stop() rather than m_bStop alone
        int64_t nLatest;
    };
    const SCase cases[] = {
        {"Stop()", false, true, 0},
        {"m_bStop alone", false, false, kStep},
        {"m_bStop alone while paused", true, false, kPausePoll.count()},
    };
    auto project = MakeHeader(0);
    AppendNoteOnRecord(project, 100, 48, 12, 127, 0);
    AppendNoteOnRecord(project, 0, 48, 16, 100, 3);
    AppendNoteOffRecord(project, 5000, 48, 12, 0);
    AppendNoteOffRecord(project, 0, 48, 16, 3);
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pName);
        CPlayRun run(project);
        ASSERT_TRUE(run.Start());
        if (c.bPauseFirst)
        {
            ASSERT_TRUE(run.RunTo(500));
            run.m_player.m_bPause = true;
        }
        ASSERT_TRUE(run.RunTo(1000));
        if (c.bWake)
            run.m_pThread->Stop();
        else
            run.m_player.m_bStop = true;
        ASSERT_TRUE(run.RunTo(1000 + c.nLatest));
        ASSERT_TRUE(run.Ended());
        const TTimeline timeline = WithoutSilencing(run.Timeline());
        ASSERT_EQ(4u, timeline.size());
        EXPECT_EQ((std::pair<int64_t, uint32_t>{100, kOn60}), timeline[0]);
        EXPECT_EQ((std::pair<int64_t, uint32_t>{100, 0x644093}), timeline[1]);
        EXPECT_EQ(kOff60, timeline[2].second);
        EXPECT_EQ(0x4083u, timeline[3].second);
        EXPECT_LE(timeline[3].first, 1000 + c.nLatest);
        EXPECT_EQ(EPlayEnd::Stopped, run.m_pThread->LastEnd());
        EXPECT_FALSE(run.m_player.m_bStop);
        EXPECT_FALSE(run.m_player.m_bPause) << "a pause left set would hold the next Playback";
        EXPECT_FALSE(run.m_player.m_bPlaying);
        EXPECT_EQ(0, run.m_recorder.OpenHandles());

        const int64_t nRestart = run.m_clock.NowMs();
        ASSERT_TRUE(run.Start());
        ASSERT_TRUE(run.RunTo(nRestart + 100));
        EXPECT_EQ((std::pair<int64_t, uint32_t>{nRestart + 100, kOn60}),
                  WithoutSilencing(run.Timeline()).at(4));
    }
}

TEST(ProjectPlayback, StopSwitchesOffWhatEachChannelHoldsAndReleasesThePedal)
{
    auto project = MakeHeader(1);
    AppendEventRecord(project, 10, 0x7F40B1); // sustain pedal down, channel 1
    AppendEventRecord(project, 0, 0x643E91);  // note 62 on, channel 1
    AppendEventRecord(project, 0, 0x643C90);  // note 60 on twice, channel 0
    AppendEventRecord(project, 0, 0x503C90);
    AppendEventRecord(project, 0, 0x3C80);   // ... and off once: still sounding
    AppendEventRecord(project, 0, 0x644590); // note 69 on and off with velocity 0
    AppendEventRecord(project, 0, 0x004590);
    AppendEventRecord(project, 9000, 0x3E81);
    CPlayRun run(project);
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.RunTo(200));
    run.m_pThread->Stop();
    ASSERT_TRUE(run.Settle());
    ASSERT_TRUE(run.Ended());
    const std::vector<uint32_t> messages = run.m_recorder.Messages();
    ASSERT_EQ(7u + 2 + 2 * 5, messages.size());
    EXPECT_EQ((std::vector<uint32_t>{0x3C80, 0x3E81, 0x0040B0, 0x0042B0, 0x0043B0, 0x0040B1, 0x0042B1,
                                     0x0043B1, 0x007BB0, 0x0078B0, 0x007BB1, 0x0078B1}),
              std::vector<uint32_t>(messages.begin() + 7, messages.end()));
}

// A note held by the sostenuto pedal has had its note off; at Stop, at the end and on close the
// player lets every pedal up on each channel it used and cuts what still sounds there.
TEST(ProjectPlayback, EveryEndReleasesEveryPedalAndCutsTheChannelsUsed)
{
    auto project = MakeHeader(1);
    AppendEventRecord(project, 10, 0x7F3C92);   // note 60 on, channel 2
    AppendEventRecord(project, 0, 0x7F42B2);    // sostenuto down: it holds note 60
    AppendEventRecord(project, 0, 0x3C82);      // note off: held on by the pedal
    AppendEventRecord(project, 0, 0x643E95);    // note 62 on, channel 5, left on
    AppendEventRecord(project, 1000, 0x0001B2); // modulation off, channel 2: the last record
    const std::vector<uint32_t> kPlayed = {0x7F3C92, 0x7F42B2, 0x3C82, 0x643E95};
    const std::vector<uint32_t> kSilence = {0x3E85,   0x0040B2, 0x0042B2, 0x0043B2, 0x0040B5, 0x0042B5,
                                            0x0043B5, 0x007BB2, 0x0078B2, 0x007BB5, 0x0078B5};
    enum class EEnd
    {
        Stop,
        End,
        Close
    };
    for (const EEnd eEnd : {EEnd::Stop, EEnd::End, EEnd::Close})
    {
        SCOPED_TRACE(static_cast<int>(eEnd));
        CPlayRun run(project);
        ASSERT_TRUE(run.Start());
        ASSERT_TRUE(run.RunTo(200));
        std::vector<uint32_t> expected = kPlayed;
        if (eEnd == EEnd::Stop)
        {
            run.m_pThread->Stop();
            ASSERT_TRUE(run.Settle());
        }
        else if (eEnd == EEnd::End)
        {
            ASSERT_TRUE(run.RunTo(1010));
            expected.push_back(0x0001B2);
        }
        else
        {
            run.m_pThread.reset();
        }
        if (run.m_pThread)
        {
            ASSERT_TRUE(run.Ended());
        }
        expected.insert(expected.end(), kSilence.begin(), kSilence.end());
        EXPECT_EQ(expected, run.m_recorder.Messages());
        EXPECT_EQ(0, run.m_recorder.OpenHandles());
    }
}

TEST(ProjectPlayback, ClosingStopsJoinsAndSilences)
{
    CPlayRun run(OneNoteProject(1));
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.RunTo(200));
    EXPECT_FALSE(run.Start()) << "no second thread while one plays";
    run.m_pThread.reset(); // what closing the program does; must neither hang nor leave a note on
    EXPECT_EQ((TTimeline{{100, kOn60}, {200, kOff60}} + Silence0(200)), run.Timeline());
    EXPECT_EQ(0, run.m_recorder.OpenHandles());
}

// The records before the damaged one are played, its own delay is waited, the notes are
// switched off and only then is the message shown.
TEST(ProjectPlayback, DamagedThirdRecordPlaysTwoMessagesThenTells)
{
    struct SCase
    {
        const char* pName;
        std::vector<uint8_t> project;
        int64_t nDamageMs;
    };
    auto notes = MakeHeader(0);
    AppendNoteOnRecord(notes, 100, 48, 12, 127, 0);
    AppendNoteOnRecord(notes, 50, 48, 16, 127, 0);
    auto events = MakeHeader(1);
    AppendEventRecord(events, 100, kOn60);
    AppendEventRecord(events, 50, 0x7F4090);
    const SCase cases[] = {
        {"0.0 note without its M", notes + Bytes({'$', 1, 20, 'X', 48, 12, 127, 0}), 170},
        {"0.1 event without its T", events + Bytes({'$', 1, 20, 'X', 2, 0x40, 0x80}), 170},
        {"0.1 event cut short in its delay", events + Bytes({'$', 2, 1}), 150},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pName);
        CPlayRun run(c.project);
        ASSERT_TRUE(run.Start());
        ASSERT_TRUE(run.RunTo(10000));
        ASSERT_TRUE(run.Ended());
        EXPECT_EQ((TTimeline{{100, kOn60}, {150, 0x7F4090}, {c.nDamageMs, kOff60}, {c.nDamageMs, 0x4080}} +
                   Silence0(c.nDamageMs)),
                  run.Timeline());
        EXPECT_EQ(std::vector<std::string>{kDamagedPlayback}, run.m_prompter.Lines());
        EXPECT_EQ(std::vector<size_t>{4 + 5}, run.m_prompter.m_arrSentBefore)
            << "silenced before the message";
        EXPECT_EQ(EPlayEnd::Damaged, run.m_pThread->LastEnd());
        EXPECT_FALSE(run.m_player.m_bPlaying);
    }
}

TEST(ProjectPlayback, UnknownTypeInVersion01EndsSilently)
{
    auto project = OneNoteProject(1) + Bytes({0x22, 1, 50});
    AppendEventRecord(project, 10, 0x643E90);
    CPlayRun run(project);
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.RunTo(600));
    ASSERT_TRUE(run.Ended());
    EXPECT_EQ((TTimeline{{100, kOn60}, {600, kOff60}} + Silence0(600)), run.Timeline());
    EXPECT_TRUE(run.m_prompter.Lines().empty());
    EXPECT_EQ(EPlayEnd::UnknownType, run.m_pThread->LastEnd());
    EXPECT_EQ(2, run.m_player.m_nRecordCount.load()) << "the record of unknown type is not counted";
}

// A device that will not open is told about, and the project still runs its course, silently.
TEST(ProjectPlayback, DeviceThatCannotOpenIsToldAndPlaysSilently)
{
    struct SCase
    {
        const char* pName;
        bool bFail;
        int nDevice;
    };
    const SCase cases[] = {{"open fails", true, 0}, {"no such device", false, 5}};
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pName);
        CPlayRun run(OneNoteProject(1));
        run.m_recorder.FailOpen(c.bFail);
        ASSERT_TRUE(run.Start(c.nDevice));
        ASSERT_TRUE(run.RunTo(300));
        EXPECT_EQ(std::vector<std::string>{kCannotOpen}, run.m_prompter.Lines());
        EXPECT_TRUE(run.m_player.m_bPlaying);
        EXPECT_EQ(300, run.m_player.m_fPosition);
        ASSERT_TRUE(run.RunTo(600));
        EXPECT_TRUE(run.Ended());
        EXPECT_TRUE(run.m_pThread->LastDeviceFailed()) << "the command line must not call that a success";
        EXPECT_TRUE(run.Timeline().empty());
        EXPECT_EQ(EPlayEnd::Finished, run.m_pThread->LastEnd());
    }
}

// A project that fails its checks ends its thread without ever playing: the window's wait for
// the start must end all the same.
TEST(ProjectPlayback, StartSettlesWhenTheThreadEndsWithoutPlaying)
{
    auto future = OneNoteProject(0);
    future[24] = '1';
    CPlayRun run(future);
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.m_pThread->WaitSettled(std::chrono::seconds(10)));
    run.m_pThread->Join();
    EXPECT_FALSE(run.m_player.m_bPlaying);
    EXPECT_EQ(EPlayEnd::Refused, run.m_pThread->LastEnd());
    EXPECT_EQ(
        std::vector<std::string>{
            "Ошибка!|Этот файл возможно создан в будущих версиях Tonegrove, и поэтому не "
            "может быть воспроизведен!"},
        run.m_prompter.Lines());
    EXPECT_EQ(0, run.m_recorder.OpenHandles()) << "the device opened before the check is closed";
    EXPECT_TRUE(run.Timeline().empty());
}
} // namespace
