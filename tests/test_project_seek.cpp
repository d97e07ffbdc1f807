// A seek in a project that plays or is paused, on the player thread against the recorder output
// and the manual clock: what it sends before the first note after it, the notes it leaves
// sounding (none), the timing and position from the target on, tones, pauses and the end.
#include "tests/PlaybackFixture.h"
#include "tests/ProjectFixtures.h"
#include "tests/ToneFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>

namespace
{
constexpr uint32_t kOn60 = 0x7F3C90, kOff60 = 0x3C80;
constexpr int64_t kStep = kWaitStep.count();

// Asks for a seek to nMs at the clock's present time and lets the clock run a millisecond at a
// time until the player has taken it: gives the time it was taken, when the seek's own messages
// were sent.
int64_t SeekNow(CPlayRun& run, int64_t nMs)
{
    const int64_t nAsked = run.m_clock.NowMs();
    run.m_player.AskSeek(nMs);
    for (int64_t t = nAsked; t <= nAsked + 10 * kStep; ++t)
    {
        if (!run.RunTo(t))
            break;
        if (run.m_player.m_nSeekMs < 0)
        {
            // The last step before a message may run a few ms longer than the others.
            EXPECT_LE(t, nAsked + kStep + 3) << "a seek is taken within a wait step";
            return t;
        }
    }
    ADD_FAILURE() << "the seek was never taken";
    return nAsked;
}

// The messages sent from index nFrom on, their times made relative to nZero.
TTimeline SentFrom(const CPlayRun& run, size_t nFrom, int64_t nZero)
{
    TTimeline out;
    const TTimeline all = run.Timeline();
    for (size_t i = nFrom; i < all.size(); ++i)
        out.emplace_back(all[i].first - nZero, all[i].second);
    return out;
}

bool IsNoteOn(uint32_t dw)
{
    return (dw & 0xF0) == 0x90 && ((dw >> 16) & 0x7F) != 0;
}
bool IsNoteOff(uint32_t dw)
{
    return (dw & 0xF0) == 0x80 || ((dw & 0xF0) == 0x90 && ((dw >> 16) & 0x7F) == 0);
}

// Every note switched on before message nSeek has had its note off before the first note on
// sent from nSeek on (or before the end of what was sent, when none follows).
void ExpectNoneLeftSounding(const TTimeline& timeline, size_t nSeek)
{
    std::map<uint32_t, int> mapOn; // channel and key -> note ons without their off
    for (size_t i = 0; i < timeline.size(); ++i)
    {
        const uint32_t dw = timeline[i].second;
        if (i >= nSeek && IsNoteOn(dw))
            break;
        const uint32_t nKey = dw & 0x7F0F;
        if (IsNoteOn(dw))
            ++mapOn[nKey];
        else if (IsNoteOff(dw) && mapOn[nKey] > 0)
            --mapOn[nKey];
    }
    for (const auto& [nKey, nCount] : mapOn)
        EXPECT_EQ(0, nCount) << "channel " << (nKey & 0x0F) << " key " << (nKey >> 8) << " left sounding";
}

// Without the pedal releases and cuts that silencing sends on every channel used, so that a
// case can list the note offs, the channel settings and the project's own messages.
TTimeline WithoutSilencingOf(TTimeline timeline)
{
    std::erase_if(timeline,
                  [](const auto& sent)
                  {
                      const uint32_t dw = sent.second, nData1 = dw >> 8 & 0xFF, nData2 = dw >> 16 & 0xFF;
                      return (dw & 0xF0) == 0xB0 && nData2 == 0 &&
                             (nData1 == 64 || nData1 == 66 || nData1 == 67 || nData1 == 120 || nData1 == 123);
                  });
    return timeline;
}

using ::operator+;
} // namespace

// Before the first note after a seek each channel is set as the records passed over left it:
// its controllers in number order (bank select before the program), its program, its pitch bend
// and pressure; what a Reset All Controllers cleared and the channel-mode messages are not sent.
TEST(ProjectSeek, ChannelsAreSetAsTheRecordsBeforeTheTargetLeftThem)
{
    struct SCase
    {
        const char* pName;
        std::vector<uint32_t> before; // sent at 1000 ms, in this order
        std::vector<uint32_t> expected;
    };
    const SCase cases[] = {
        {"bank select and controllers before the program, each controller's last value",
         {0x05C0, 0x6407B0, 0x0100B0, 0x0220B0, 0x5A07B0, 0x1E0AB0},
         {0x0100B0, 0x5A07B0, 0x1E0AB0, 0x0220B0, 0x05C0}},
        {"the last pitch bend and channel pressure",
         {0x4000E0, 0x5010E0, 0x28D0, 0x30D0},
         {0x5010E0, 0x30D0}},
        {"Reset All Controllers clears controllers, bend and pressure, not the program",
         {0x4001B1, 0x7F7FE1, 0x20D1, 0x07C1, 0x0079B1, 0x640BB1},
         {0x640BB1, 0x07C1}},
        {"channel-mode messages are not state; the sustain pedal is",
         {0x7F40B2, 0x007BB2, 0x0078B2, 0x007CB2},
         {0x7F40B2}},
        {"two channels, each its own, in channel order",
         {0x09C3, 0x3207B0, 0x0100B3, 0x0CC0},
         {0x3207B0, 0x0CC0, 0x0100B3, 0x09C3}},
        {"a system reset forgets what came before it", {0x09C3, 0x3207B0, 0xFF, 0x0BC4}, {0x0BC4}},
        // Bend range (RPN 0) 12, then fine tuning (RPN 1): each value goes to its own parameter,
        // then the one selected last is selected again.
        {"each parameter's data entry lands on its own parameter",
         {0x0065B0, 0x0064B0, 0x0C06B0, 0x0065B0, 0x0164B0, 0x4006B0, 0x0026B0},
         {0x0065B0, 0x0064B0, 0x0C06B0, 0x0065B0, 0x0164B0, 0x4006B0, 0x0026B0, 0x0065B0, 0x0164B0}},
        {"data for the null parameter is not kept; a reset keeps the values and drops the selection",
         {0x0065B0, 0x0064B0, 0x0206B0, 0x7F65B0, 0x7F64B0, 0x0506B0, 0x0079B0},
         {0x0065B0, 0x0064B0, 0x0206B0}},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pName);
        auto project = MakeHeader(1);
        for (size_t i = 0; i < c.before.size(); ++i)
            AppendEventRecord(project, i == 0 ? 1000 : 0, c.before[i]);
        AppendEventRecord(project, 1000, kOn60); // at 2000
        AppendEventRecord(project, 0, 0x63C0);   // at the target too: played, not set again
        AppendEventRecord(project, 500, kOff60);
        CPlayRun run(project);
        ASSERT_TRUE(run.Start());
        ASSERT_TRUE(run.RunTo(100));
        const int64_t nTaken = SeekNow(run, 2000);
        // Nothing was sent before the seek, so nothing needed silencing.
        TTimeline expected;
        for (uint32_t dw : c.expected)
            expected.emplace_back(0, dw);
        expected.emplace_back(0, kOn60);
        expected.emplace_back(0, 0x63C0);
        EXPECT_EQ(expected, SentFrom(run, 0, nTaken));
        EXPECT_EQ(2000.0f, run.m_player.m_fPosition.load());
        ASSERT_TRUE(run.RunTo(nTaken + 500));
        EXPECT_TRUE(run.Ended());
        EXPECT_EQ((std::pair<int64_t, uint32_t>{500, kOff60}), SentFrom(run, expected.size(), nTaken).at(0));
    }
}

// Back or forward, during a note or in a silence: what sounds is switched off first, the
// channels are set again, and the records from the target on keep their timing from there.
TEST(ProjectSeek, BackAndForwardLeaveNoNoteSoundingAndKeepTheTiming)
{
    auto project = MakeHeader(1);
    AppendEventRecord(project, 0, 0x0AC0);     // 0: program 10, channel 0
    AppendEventRecord(project, 100, kOn60);    // 100
    AppendEventRecord(project, 0, 0x644091);   // 100: note 64, channel 1
    AppendEventRecord(project, 500, kOff60);   // 600
    AppendEventRecord(project, 0, 0x4081);     // 600
    AppendEventRecord(project, 0, 0x5007B0);   // 600: volume 80
    AppendEventRecord(project, 400, 0x7F4390); // 1000: note 67
    AppendEventRecord(project, 1000, 0x4380);  // 2000
    AppendEventRecord(project, 0, 0x7F4890);   // 2000: note 72
    AppendEventRecord(project, 1000, 0x4880);  // 3000

    struct SCase
    {
        const char* pName;
        int64_t nAt, nTarget;
        TTimeline expected; // the project's messages from the seek on, ms after it was taken
        int nRecord;        // the record the player has reached and waits for
    };
    const SCase cases[] = {
        {"back, while a note sounds",
         1500,
         100,
         {{0, 0x4380},
          {0, 0x0AC0},
          {0, kOn60},
          {0, 0x644091},
          {500, kOff60},
          {500, 0x4081},
          {500, 0x5007B0},
          {900, 0x7F4390}},
         4},
        {"back to the start",
         1500,
         0,
         {{0, 0x4380},
          {0, 0x0AC0},
          {100, kOn60},
          {100, 0x644091},
          {600, kOff60},
          {600, 0x4081},
          {600, 0x5007B0}},
         2},
        {"forward over notes that sound, into a note",
         300,
         1500,
         {{0, kOff60}, {0, 0x4081}, {0, 0x5007B0}, {0, 0x0AC0}, {500, 0x4380}, {500, 0x7F4890}},
         8},
        {"forward, in the same silence", 700, 900, {{0, 0x5007B0}, {0, 0x0AC0}, {100, 0x7F4390}}, 7},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pName);
        CPlayRun run(project);
        ASSERT_TRUE(run.Start());
        ASSERT_TRUE(run.RunTo(c.nAt));
        const size_t nBefore = run.Timeline().size();
        const int64_t nTaken = SeekNow(run, c.nTarget);
        EXPECT_EQ(static_cast<float>(c.nTarget), run.m_player.m_fPosition.load()) << "at once";
        EXPECT_EQ(c.nRecord, run.m_player.m_nRecordCount.load());
        ASSERT_TRUE(run.RunTo(nTaken + 950));
        EXPECT_EQ(c.expected, WithoutSilencingOf(SentFrom(run, nBefore, nTaken)));
        ExpectNoneLeftSounding(run.Timeline(), nBefore);
        const float fPosition = run.m_player.m_fPosition;
        EXPECT_GE(fPosition, static_cast<float>(c.nTarget + 950 - kStep));
        EXPECT_LE(fPosition, static_cast<float>(c.nTarget + 950));
    }
}

// Paused, a seek moves the position and silences what sounded, and the project stays paused:
// nothing sounds until Resume, which goes on from the target with its timing.
TEST(ProjectSeek, WhilePausedMovesThePositionAndStaysSilentUntilResumed)
{
    auto project = MakeHeader(1);
    AppendEventRecord(project, 100, kOn60);   // 100
    AppendEventRecord(project, 900, kOff60);  // 1000
    AppendEventRecord(project, 0, 0x7F3E90);  // 1000: note 62
    AppendEventRecord(project, 1000, 0x3E80); // 2000
    AppendEventRecord(project, 0, 0x5007B0);  // 2000
    CPlayRun run(project);
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.RunTo(1500));
    run.m_player.m_bPause = true;
    ASSERT_TRUE(run.RunTo(1600));
    const size_t nBefore = run.Timeline().size();
    const int64_t nTaken = SeekNow(run, 400);
    EXPECT_TRUE(run.m_player.m_bPause);
    EXPECT_EQ(400.0f, run.m_player.m_fPosition.load());
    ASSERT_TRUE(run.RunTo(nTaken + 3000));
    EXPECT_EQ(400.0f, run.m_player.m_fPosition.load()) << "still paused";
    EXPECT_TRUE(run.m_player.m_bPlaying);
    EXPECT_EQ((TTimeline{{0, 0x3E80}}), WithoutSilencingOf(SentFrom(run, nBefore, nTaken)))
        << "note 62 switched off, nothing struck";

    // A second seek while still paused moves it again.
    const int64_t nAgain = SeekNow(run, 1000);
    EXPECT_EQ(1000.0f, run.m_player.m_fPosition.load());
    ASSERT_TRUE(run.RunTo(nAgain + 1000));
    EXPECT_TRUE(WithoutSilencingOf(SentFrom(run, nBefore + 1, nTaken)).empty());

    const size_t nResumedFrom = run.Timeline().size();
    const int64_t nResume = run.m_clock.NowMs();
    run.m_player.m_bPause = false;
    ASSERT_TRUE(run.RunTo(nResume + 1100));
    const TTimeline after = WithoutSilencingOf(SentFrom(run, nResumedFrom, nResume));
    ASSERT_EQ(4u, after.size());
    // The records at 1000 go at once (the pause is seen within its poll), the rest 1000 ms on.
    EXPECT_LE(after[0].first, kPausePoll.count());
    EXPECT_EQ((TTimeline{{after[0].first, kOff60},
                         {after[0].first, 0x7F3E90},
                         {after[0].first + 1000, 0x3E80},
                         {after[0].first + 1000, 0x5007B0}}),
              after);
    EXPECT_TRUE(run.Ended());
}

// Version 0.0 holds only notes: a seek silences them and goes on, also from the closing silence.
TEST(ProjectSeek, Version00SilencesAndGoesOnAlsoFromTheClosingSilence)
{
    auto project = MakeHeader(0);
    AppendNoteOnRecord(project, 100, 48, 12, 127, 0); // 100: note 60
    AppendNoteOffRecord(project, 500, 48, 12, 0);     // 600
    AppendNoteOnRecord(project, 400, 48, 14, 100, 2); // 1000: note 62, channel 2
    AppendNoteOffRecord(project, 500, 48, 14, 2);     // 1500
    CPlayRun run(project);
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.RunTo(1200));
    size_t nBefore = run.Timeline().size();
    const int64_t nTaken = SeekNow(run, 600);
    ASSERT_TRUE(run.RunTo(nTaken + 900));
    EXPECT_EQ((TTimeline{{0, 0x3E82}, {0, kOff60}, {400, 0x643E92}, {900, 0x3E82}}),
              WithoutSilencingOf(SentFrom(run, nBefore, nTaken)));
    ExpectNoneLeftSounding(run.Timeline(), nBefore);

    // In the closing silence the walk starts again: the target's note plays at once.
    ASSERT_TRUE(run.RunTo(nTaken + 1200));
    EXPECT_FALSE(run.Ended());
    nBefore = run.Timeline().size();
    const int64_t nAgain = SeekNow(run, 1000);
    EXPECT_EQ(4, run.m_player.m_nRecordCount.load());
    ASSERT_TRUE(run.RunTo(nAgain + 1199));
    EXPECT_EQ((TTimeline{{0, 0x643E92}, {500, 0x3E82}}), WithoutSilencingOf(SentFrom(run, nBefore, nAgain)));
    EXPECT_FALSE(run.Ended()) << "the closing silence is whole again";
    ASSERT_TRUE(run.RunTo(nAgain + 1200));
    EXPECT_TRUE(run.Ended());
    EXPECT_EQ(0.0f, run.m_player.m_fPosition.load());
    EXPECT_EQ(EPlayEnd::Finished, run.m_pThread->LastEnd());
}

// At or past the end, a seek ends the playing as the end does: version 0.1 at once, its
// position at the end; version 0.0 after its closing silence, its position back at 0.
TEST(ProjectSeek, AtOrPastTheEndEndsThePlayingAsTheEndDoes)
{
    struct SCase
    {
        int nVersion;
        int64_t nTarget;
        int64_t nEndsAfter; // ms after the seek was taken
        float fEndPosition;
    };
    const SCase cases[] = {{1, 600, 0, 600}, {1, 100000, 0, 600}, {0, 100000, kNotesTailMs, 0}};
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.nVersion) + " to " + std::to_string(c.nTarget));
        CPlayRun run(OneNoteProject(c.nVersion));
        ASSERT_TRUE(run.Start());
        ASSERT_TRUE(run.RunTo(300));
        const size_t nBefore = run.Timeline().size();
        const int64_t nTaken = SeekNow(run, c.nTarget);
        if (c.nEndsAfter > 0)
        {
            EXPECT_EQ(600.0f, run.m_player.m_fPosition.load()) << "at the end, not past it";
            ASSERT_TRUE(run.RunTo(nTaken + c.nEndsAfter - 1));
            EXPECT_FALSE(run.Ended());
            ASSERT_TRUE(run.RunTo(nTaken + c.nEndsAfter));
        }
        EXPECT_TRUE(run.Ended());
        EXPECT_EQ(EPlayEnd::Finished, run.m_pThread->LastEnd());
        EXPECT_EQ(c.fEndPosition, run.m_player.m_fPosition.load());
        const TTimeline after = WithoutSilencingOf(SentFrom(run, nBefore, nTaken));
        EXPECT_EQ((c.nTarget == 600 ? TTimeline{{0, kOff60}, {0, kOff60}} : TTimeline{{0, kOff60}}), after)
            << "the note that sounded is switched off (at 600 the last record is played too)";
        ExpectNoneLeftSounding(run.Timeline(), nBefore);
        EXPECT_EQ(0, run.m_recorder.OpenHandles());
        EXPECT_EQ(-1, run.m_player.m_nSeekMs.load());
    }
}

// A tone whose span holds the target sounds, with the settings records passed over in force,
// for the rest of its duration; what follows it keeps its timing.
TEST(ProjectSeek, IntoAToneSoundsItForTheRestOfItsDuration)
{
    auto project = MakeHeader(1);
    AppendTone(project, {11}, 500);                    // 0 to 500
    AppendSettingsRecord(project, 220, 1, 1000, 1, 1); // "B", "Square"
    AppendTone(project, {24}, 1000);                   // 500 to 1500
    AppendEventRecord(project, 100, kOn60);            // 1600
    CPlayRun run(project);
    ASSERT_TRUE(run.Start(0, {440, 0.5f, 1, 0, 0}));
    ASSERT_TRUE(run.RunTo(100));
    run.m_stream.Take(2000);
    const int64_t nTaken = SeekNow(run, 1200);
    ASSERT_NE(nullptr, run.m_player.m_pTone);
    EXPECT_TRUE(run.m_player.m_pTone->Playing());
    EXPECT_EQ(3, run.m_player.m_nRecordCount.load());
    const std::vector<int> square = run.m_stream.Take(2000);
    EXPECT_TRUE(std::all_of(square.begin(), square.end(), [](int n) { return n == 0 || n == 255; }))
        << "the settings record passed over is in force";
    ASSERT_TRUE(run.RunTo(nTaken + 299));
    EXPECT_TRUE(run.m_player.m_pTone->Playing());
    ASSERT_TRUE(run.RunTo(nTaken + 300));
    EXPECT_FALSE(run.m_player.m_pTone->Playing()) << "the rest of its duration, no more";
    ASSERT_TRUE(run.RunTo(nTaken + 400));
    EXPECT_EQ((TTimeline{{nTaken + 400, kOn60}, {nTaken + 400, kOff60}}), WithoutSilencingOf(run.Timeline()))
        << "the note on, then the end's silencing";
    EXPECT_TRUE(run.Ended());
}
