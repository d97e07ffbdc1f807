// The piano roll's model: notes paired from both project versions and from MID files, the times of
// the records the mouse selects, and the wave peaks drawn per pixel.
#include "MediaFixtures.h"
#include "ProjectFixtures.h"
#include "roll/NoteList.h"
#include "roll/WavePeaks.h"
#include "sound/MidiFile.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <thread>
#include <tuple>

namespace
{
// start, end, pitch, channel, velocity, open, record
using TNote = std::tuple<int64_t, int64_t, int, int, int, bool, int>;

std::vector<TNote> Notes(const SNoteList& list)
{
    std::vector<TNote> out;
    for (const SRollNote& n : list.notes)
        out.emplace_back(n.nStartMs, n.nEndMs, n.nPitch, n.nChannel, n.nVelocity, n.bOpen, n.nRecord);
    return out;
}

void ExpectSameList(const SNoteList& a, const SNoteList& b)
{
    EXPECT_EQ(Notes(a), Notes(b));
    EXPECT_EQ(a.recordTimes, b.recordTimes);
    EXPECT_EQ(a.reachEnd, b.reachEnd);
    EXPECT_EQ(a.nLengthMs, b.nLengthMs);
    ASSERT_EQ(a.events.size(), b.events.size());
    ASSERT_EQ(a.tones.size(), b.tones.size());
}
} // namespace

TEST(NoteList, Version00PairsNotesPerChannelAndPitchAndLeavesTheRestOpen)
{
    std::vector<uint8_t> p = MakeHeader(0);
    AppendNoteOnRecord(p, 100, 48, 12, 100, 0); // 1: C4 on channel 0 at 100
    AppendNoteOnRecord(p, 50, 48, 12, 90, 1);   // 2: the same pitch on channel 1 at 150
    AppendNoteOffRecord(p, 250, 48, 12, 1);     // 3: ends channel 1's (400), not channel 0's
    AppendNoteOnRecord(p, 0, 48, 12, 80, 0);    // 4: a second C4 on channel 0, still at 400
    AppendNoteOffRecord(p, 100, 48, 12, 0);     // 5: 500, ends the older one first
    AppendNoteOnRecord(p, 0, 60, 0xF4, 70, 2);  // 6: base 60 + key -12 = 48 (signed key)
    AppendNoteOnRecord(p, 10, 36, 12, 0, 2);    // 7: velocity 0 ends note 6 at 510
    AppendNoteOnRecord(p, 0, 120, 20, 100, 0);  // 8: pitch 140 sounds nothing: not shown
    AppendNoteOnRecord(p, 0, 60, 0, 100, 0x10); // 9: channel 16 sounds nothing either
    p.insert(p.end(), {'?', 1, 30});            // 10: another type byte: only a delay (540)
    const SNoteList list = BuildProjectNoteList(p);

    EXPECT_FALSE(list.bDamaged);
    EXPECT_EQ(list.nLengthMs, 540);
    EXPECT_EQ(list.recordTimes, (std::vector<int64_t>{100, 150, 400, 400, 500, 500, 510, 510, 510, 540}));
    EXPECT_EQ(Notes(list), (std::vector<TNote>{
                               {100, 500, 60, 0, 100, false, 1},
                               {150, 400, 60, 1, 90, false, 2},
                               {400, 540, 60, 0, 80, true, 4}, // no off: runs to the end, open
                               {500, 510, 48, 2, 70, false, 6},
                           }));
    EXPECT_EQ(list.reachEnd, (std::vector<int64_t>{500, 500, 540, 540}));
    EXPECT_TRUE(list.events.empty());
    EXPECT_TRUE(list.tones.empty());
}

TEST(NoteList, Version01NotesEventsSettingsAndTonesTakeThePlayersTimes)
{
    std::vector<uint8_t> p = MakeHeader(1);
    AppendEventRecord(p, 0, 0x05C0);                          // 1: program change, an event at 0
    AppendEventRecord(p, 200, 0x643C91);                      // 2: note on, channel 1, at 200
    AppendSettingsRecord(p, 440, 100, 2500, 0, 0);            // 3: settings at 200, taking no time
    const uint8_t mask[6] = {0x07, 0, 0, 0, 0, 0xC1};         // voices 0-2 and 40; bits 46, 47 name none
    AppendToneRecord(p, mask, 300);                           // 4: tone 200-500
    AppendEventRecord(p, 100, 0x3C81);                        // 5: note off at 600
    AppendToneRecord(p, std::array<uint8_t, 6>{}.data(), 50); // 6: a rest 600-650
    AppendEventRecord(p, 0, 0x2040E2, kNoteOff);              // 7: pitch bend stored as '!', at 650
    const SNoteList list = BuildProjectNoteList(p);

    EXPECT_FALSE(list.bDamaged);
    EXPECT_EQ(list.nVersion, 1);
    EXPECT_EQ(list.recordTimes, (std::vector<int64_t>{0, 200, 200, 200, 600, 600, 650}));
    EXPECT_EQ(list.nLengthMs, 650);
    EXPECT_EQ(Notes(list), (std::vector<TNote>{{200, 600, 60, 1, 100, false, 2}}));
    ASSERT_EQ(list.events.size(), 3u);
    EXPECT_EQ(std::make_tuple(list.events[0].nMs, list.events[0].dwMessage, list.events[0].nRecord,
                              list.events[0].bSettings),
              std::make_tuple(int64_t{0}, 0x05C0u, 1, false));
    EXPECT_EQ(std::make_tuple(list.events[1].nMs, list.events[1].nRecord, list.events[1].bSettings),
              std::make_tuple(int64_t{200}, 3, true));
    EXPECT_EQ(std::make_tuple(list.events[2].nMs, list.events[2].dwMessage),
              std::make_tuple(int64_t{650}, 0x2040E2u));
    ASSERT_EQ(list.tones.size(), 2u);
    EXPECT_EQ(std::make_tuple(list.tones[0].nStartMs, list.tones[0].nEndMs, list.tones[0].nVoices,
                              list.tones[0].nRecord),
              std::make_tuple(int64_t{200}, int64_t{500}, 4, 4));
    EXPECT_EQ(std::make_tuple(list.tones[1].nStartMs, list.tones[1].nEndMs, list.tones[1].nVoices),
              std::make_tuple(int64_t{600}, int64_t{650}, 0));
}

TEST(NoteList, DamagedProjectsKeepWhatCameBeforeTheDamage)
{
    for (int nVersion : {0, 1})
    {
        SCOPED_TRACE(nVersion);
        const SNoteList list = BuildProjectNoteList(DamagedOneNoteProject(nVersion));
        EXPECT_TRUE(list.bDamaged);
        EXPECT_EQ(Notes(list), (std::vector<TNote>{{100, 100, 60, 0, 127, true, 1}}));
    }
    EXPECT_TRUE(BuildProjectNoteList(FutureVersionProject(0)).bDamaged);
    EXPECT_TRUE(BuildProjectNoteList(Bytes({'T', 'o', 'n'})).bDamaged);
}

// A take being recorded is drawn by feeding its records after the project's: that must give the
// same list as reading the joined project.
TEST(NoteList, FeedingATakeAfterItsProjectGivesTheJoinedProjectsList)
{
    for (int nVersion : {0, 1})
    {
        SCOPED_TRACE(nVersion);
        const std::vector<uint8_t> project = OneNoteProject(nVersion);
        std::vector<uint8_t> take;
        if (nVersion == 0)
        {
            AppendNoteOnRecord(take, 40, 48, 14, 100, 0);
            AppendNoteOffRecord(take, 300, 48, 14, 0);
            AppendNoteOnRecord(take, 10, 48, 16, 100, 0);
        }
        else
        {
            AppendEventRecord(take, 40, 0x643E90);
            AppendEventRecord(take, 300, 0x3E80);
            AppendEventRecord(take, 10, 0x644090);
        }
        CNoteListBuilder builder(nVersion);
        builder.AddStream(std::span(project).subspan(kHeaderSize));
        const CNoteListBuilder projectOnly = builder;
        builder.AddStream(take);
        ExpectSameList(builder.List(), BuildProjectNoteList(project + take));
        // The project's own builder is untouched by the copy's feeding.
        ExpectSameList(projectOnly.List(), BuildProjectNoteList(project));
    }
}

TEST(NoteList, MidiFileNotesAreReadWithTheFilesTimes)
{
    // 480 ticks a quarter at 120 bpm: one tick is 1/960 s.
    CMidiTrack track;
    track
        .Event(0, {0x90, 60, 100})  // 0 ms
        .Event(0, {0xB0, 7, 100})   // a controller: not drawn
        .Event(480, {0x90, 60, 90}) // 500 ms: the same pitch again before its off
        .Event(480, {0x80, 60, 0})  // 1000 ms: ends the first
        .Event(0, {0x99, 36, 120})  // drums, channel 9
        .Event(240, {0x99, 36, 0})  // 1250 ms: velocity 0 ends it
        .End(480);                  // 1750 ms; the second C4 is never ended
    const TBytes bytes = MakeMidi(0, 480, {track});
    SMidiFile file;
    std::string strError;
    ASSERT_TRUE(ReadMidiFile(std::span<const uint8_t>(bytes), file, strError)) << strError;
    const SNoteList list = BuildMidiNoteList(file);

    EXPECT_EQ(Notes(list), (std::vector<TNote>{
                               {0, 1000, 60, 0, 100, false, 0},
                               {500, 1750, 60, 0, 90, true, 0},
                               {1000, 1250, 36, 9, 120, false, 0},
                           }));
    EXPECT_EQ(list.nLengthMs, 1750);
    EXPECT_TRUE(list.recordTimes.empty());
    EXPECT_TRUE(list.events.empty());
}

TEST(NoteList, RecordsOfATimeRangeAndThePastePoint)
{
    // Records at 100, 150, 400, 400, 500.
    std::vector<uint8_t> p = MakeHeader(0);
    AppendNoteOnRecord(p, 100, 48, 12, 100, 0);
    AppendNoteOnRecord(p, 50, 48, 14, 100, 0);
    AppendNoteOffRecord(p, 250, 48, 12, 0);
    AppendNoteOffRecord(p, 0, 48, 14, 0);
    AppendNoteOnRecord(p, 100, 48, 16, 100, 0);
    const SNoteList list = BuildProjectNoteList(p);

    struct SCase
    {
        int64_t nFrom, nTo;
        int nFirst, nLast;
    } cases[] = {
        {0, 1000, 1, 5},  {100, 150, 1, 2}, {150, 100, 1, 2}, // either order
        {101, 399, 2, 2}, {400, 400, 3, 4}, {401, 499, 0, 0}, // equal times go together; none
        {0, 99, 0, 0},    {501, 900, 0, 0},
    };
    for (const SCase& c : cases)
    {
        const SRecordRange range = RecordsInTime(list, c.nFrom, c.nTo);
        EXPECT_EQ(std::make_pair(range.nFirst, range.nLast), std::make_pair(c.nFirst, c.nLast))
            << c.nFrom << "-" << c.nTo;
    }

    // Paste after the last record before the click: none before the first, records at the very
    // time clicked come after the pasted clip.
    const std::pair<int64_t, int> pastes[] = {{0, 0}, {100, 0}, {101, 1}, {400, 2}, {450, 4}, {10000, 5}};
    for (auto [nMs, nAfter] : pastes)
        EXPECT_EQ(RecordBeforeTime(list, nMs), nAfter) << nMs;

    EXPECT_EQ(RecordTime(list, 3), 400);
    EXPECT_EQ(RecordTime(list, 0), 100);
    EXPECT_EQ(RecordTime(list, 99), 500);
    EXPECT_EQ(RecordTime(SNoteList{}, 1), 0);
    EXPECT_EQ(RecordsInTime(SNoteList{}, 0, 100).nFirst, 0);
}

TEST(NoteList, VisibleNotesFindEveryNoteThatSoundsInTheRange)
{
    // Random notes, some very long: the range must hold exactly those that sound in the span,
    // up to the notes it may keep that ended before it.
    std::mt19937 random(7);
    std::vector<uint8_t> p = MakeHeader(1);
    for (int i = 0; i < 400; ++i)
    {
        const uint32_t nPitch = random() % 128;
        AppendEventRecord(p, static_cast<int32_t>(random() % 30), 0x640090 | (nPitch << 8));
        if (random() % 3)
            AppendEventRecord(p, static_cast<int32_t>(random() % (i % 50 == 0 ? 3000 : 100)),
                              0x80 | (nPitch << 8));
    }
    const SNoteList list = BuildProjectNoteList(p);
    ASSERT_GT(list.notes.size(), 300u);
    for (int64_t nFrom = 0; nFrom < list.nLengthMs + 100; nFrom += 97)
    {
        const int64_t nTo = nFrom + 250;
        const SIndexRange range = VisibleNotes(list, nFrom, nTo);
        for (size_t i = 0; i < list.notes.size(); ++i)
        {
            const SRollNote& note = list.notes[i];
            const bool bSounds = note.nStartMs <= nTo && note.nEndMs >= nFrom;
            if (bSounds)
            {
                EXPECT_TRUE(i >= range.nFirst && i < range.nLast) << i << " at " << nFrom;
            }
            else if (note.nStartMs > nTo)
            {
                EXPECT_GE(i, range.nLast);
            }
        }
    }
}

namespace
{
// Frames of a known signal, handed out in reads of uneven sizes.
class CSignalReader : public IWavReader
{
  public:
    CSignalReader(std::vector<float> samples, int nChannels)
        : m_samples(std::move(samples)), m_nChannels(nChannels)
    {
    }
    uint32_t Rate() const override { return 8000; }
    int Channels() const override { return m_nChannels; }
    uint64_t Frames() const override { return m_samples.size() / m_nChannels; }
    bool Seek(uint64_t nFrame) override
    {
        m_nPos = nFrame;
        return true;
    }
    uint64_t Read(float* pSamples, uint64_t nFrames) override
    {
        // Never more than 1000 frames at a time, so blocks straddle the reads.
        nFrames = std::min<uint64_t>({nFrames, 1000, Frames() - m_nPos});
        std::copy_n(m_samples.begin() + static_cast<ptrdiff_t>(m_nPos * m_nChannels), nFrames * m_nChannels,
                    pSamples);
        m_nPos += nFrames;
        return nFrames;
    }

  private:
    std::vector<float> m_samples;
    int m_nChannels;
    uint64_t m_nPos = 0;
};
} // namespace

TEST(WavePeaks, PeaksOfAnySpanHoldTheSpansSamplesOfEveryChannel)
{
    // Two channels: a slow sine on the left, short spikes on the right.
    const int nFrames = 100003;
    std::vector<float> samples;
    for (int i = 0; i < nFrames; ++i)
    {
        samples.push_back(0.5f * std::sin(i * 0.001f));
        samples.push_back(i % 9973 == 0 ? -1.0f : 0.0f);
    }
    CSignalReader reader(samples, 2);
    std::atomic<bool> bStop{false};
    std::atomic<int> nPercent{0};
    const SWavePeaks peaks = ComputeWavePeaks(reader, bStop, &nPercent);
    EXPECT_EQ(peaks.nFrames, uint64_t(nFrames));
    EXPECT_EQ(peaks.LengthMs(), 12500);
    EXPECT_EQ(nPercent, 100);
    EXPECT_EQ(peaks.levels.back().size(), 1u);

    // Any span's peak holds every sample in it and nothing beyond the blocks around it.
    std::mt19937 random(3);
    for (int i = 0; i < 300; ++i)
    {
        const uint64_t nFrom = random() % nFrames;
        const uint64_t nTo = nFrom + 1 + random() % (i < 150 ? 200 : 40000);
        int nMin = 32767, nMax = -32768;
        for (uint64_t f = nFrom; f < std::min<uint64_t>(nTo, nFrames); ++f)
            for (int c = 0; c < 2; ++c)
            {
                const int v = static_cast<int>(std::lround(samples[f * 2 + c] * 32768.0f));
                nMin = std::min(nMin, v);
                nMax = std::max(nMax, v);
            }
        const SPeak peak = PeakOf(peaks, nFrom, nTo);
        EXPECT_LE(peak.nMin, nMin) << nFrom << "-" << nTo;
        EXPECT_GE(peak.nMax, nMax) << nFrom << "-" << nTo;
    }
    // The spikes are never lost, whatever the zoom: a whole-file peak reaches -1.
    EXPECT_EQ(PeakOf(peaks, 0, nFrames).nMin, -32768);
    EXPECT_EQ(PeakOf(peaks, 9973, 9973).nMin, -32768); // an empty span takes its block
    EXPECT_EQ(PeakOf(peaks, nFrames, nFrames + 10).nMax, 0);
}

TEST(WavePeaks, TheJobReadsOffTheCallersThreadAndAnUnreadableFileGivesNothing)
{
    const FWavOpener fOpen = [](const std::string& strPath) -> std::unique_ptr<IWavReader>
    {
        if (strPath != "tone.wav")
            return nullptr;
        return std::make_unique<CSignalReader>(std::vector<float>(5000, 0.25f), 1);
    };
    const auto pGood = StartWavePeakJob(fOpen, "tone.wav");
    const auto pBad = StartWavePeakJob(fOpen, "missing.wav");
    while (!pGood->Done() || !pBad->Done())
        std::this_thread::yield();
    ASSERT_TRUE(pGood->Result());
    EXPECT_EQ(PeakOf(*pGood->Result(), 0, 5000).nMax, 8192);
    EXPECT_FALSE(pBad->Result());
    // A job left running is stopped and joined by its end.
    const auto pAbandoned = StartWavePeakJob(fOpen, "tone.wav");
}
