// Tests for the Standard MIDI File reader. Files are built byte by byte here so each
// test shows exactly which bytes lead to which events and length.
#include "sound/MidiFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <ostream>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace
{

using Bytes = std::vector<uint8_t>;

void AppendVlq(Bytes& out, uint32_t nValue)
{
    uint8_t tmp[4];
    int n = 0;
    do
    {
        tmp[n++] = uint8_t(nValue & 0x7F);
        nValue >>= 7;
    } while (nValue && n < 4);
    while (n > 1)
        out.push_back(uint8_t(tmp[--n] | 0x80));
    out.push_back(tmp[0]);
}

// Body of one track chunk: each event is a delta time followed by raw bytes.
class CTrack
{
  public:
    CTrack& Ev(uint32_t nDelta, std::initializer_list<uint8_t> raw)
    {
        AppendVlq(m_vBytes, nDelta);
        return Raw(raw);
    }
    CTrack& Raw(std::initializer_list<uint8_t> raw)
    {
        m_vBytes.insert(m_vBytes.end(), raw);
        return *this;
    }
    CTrack& Tempo(uint32_t nDelta, uint32_t nUsPerQuarter)
    {
        return Ev(nDelta, {0xFF, 0x51, 0x03, uint8_t(nUsPerQuarter >> 16), uint8_t(nUsPerQuarter >> 8),
                           uint8_t(nUsPerQuarter)});
    }
    CTrack& End(uint32_t nDelta = 0) { return Ev(nDelta, {0xFF, 0x2F, 0x00}); }

    Bytes m_vBytes;
};

// Whole file: header, then chunks; a chunk may lie about its length.
class CSmf
{
  public:
    CSmf(uint16_t nFormat, uint16_t nTracks, uint16_t nDivision)
    {
        Raw({'M', 'T', 'h', 'd', 0, 0, 0, 6});
        Raw({uint8_t(nFormat >> 8), uint8_t(nFormat), uint8_t(nTracks >> 8), uint8_t(nTracks),
             uint8_t(nDivision >> 8), uint8_t(nDivision)});
    }
    CSmf& Track(const CTrack& track)
    {
        return Chunk("MTrk", track.m_vBytes, uint32_t(track.m_vBytes.size()));
    }
    CSmf& Chunk(const char* pszId, const Bytes& body, uint32_t nLen)
    {
        m_vBytes.insert(m_vBytes.end(), pszId, pszId + 4);
        Raw({uint8_t(nLen >> 24), uint8_t(nLen >> 16), uint8_t(nLen >> 8), uint8_t(nLen)});
        m_vBytes.insert(m_vBytes.end(), body.begin(), body.end());
        return *this;
    }
    CSmf& Raw(std::initializer_list<uint8_t> raw)
    {
        m_vBytes.insert(m_vBytes.end(), raw);
        return *this;
    }
    CSmf& Cut(size_t nDrop)
    {
        m_vBytes.resize(m_vBytes.size() - nDrop);
        return *this;
    }

    Bytes m_vBytes;
};

uint32_t Msg(uint8_t nStatus, uint8_t d1, uint8_t d2 = 0)
{
    return uint32_t(nStatus) | (uint32_t(d1) << 8) | (uint32_t(d2) << 16);
}

// (time in microseconds, message, track): compared as a whole so a failure prints the full list.
using Ev = std::tuple<uint64_t, uint32_t, uint16_t>;

std::vector<Ev> Events(const SMidiFile& file)
{
    std::vector<Ev> v;
    for (const SMidiEvent& e : file.events)
    {
        EXPECT_EQ(e.TimeMs(), e.nTimeUs / 1000);
        v.emplace_back(e.nTimeUs, e.dwMessage, e.nTrack);
    }
    return v;
}

constexpr uint16_t kDivision1Ms = 500; // 500 ticks per quarter at the default 120 bpm: 1 tick = 1 ms

TEST(MidiFile, Format0RunningStatusAndMultiByteDeltas)
{
    CTrack t;
    t.Ev(0, {0x90, 0x3C, 0x64})
        .Ev(10, {0x40, 0x64}) // running note on
        .Ev(0, {0x3C, 0x00})  // running note on, velocity 0
        .Ev(5, {0xC1, 0x05})  // program change has one data byte...
        .Ev(5, {0x07})        // ...also under running status
        .Ev(0, {0xB0, 0x07, 0x7F})
        .Ev(0, {0x0A, 0x40})
        .Ev(200, {0x40, 0x00}) // two-byte delta
        .End(20000);           // three-byte delta
    SMidiFile f;
    std::string err;
    ASSERT_TRUE(ReadMidiFile(CSmf(0, 1, kDivision1Ms).Track(t).m_vBytes, f, err)) << err;

    EXPECT_EQ(f.nFormat, 0);
    EXPECT_EQ(f.nTracks, 1);
    const std::vector<Ev> expected{
        {0, Msg(0x90, 0x3C, 0x64), 0},     {10000, Msg(0x90, 0x40, 0x64), 0},
        {10000, Msg(0x90, 0x3C, 0x00), 0}, {15000, Msg(0xC1, 0x05), 0},
        {20000, Msg(0xC1, 0x07), 0},       {20000, Msg(0xB0, 0x07, 0x7F), 0},
        {20000, Msg(0xB0, 0x0A, 0x40), 0}, {220000, Msg(0xB0, 0x40, 0x00), 0},
    };
    EXPECT_EQ(Events(f), expected);
    EXPECT_EQ(f.nLengthMs, 20220u);
}

// The tempo change sits in the LAST track, so a reader that times each track with only
// the tempos it has seen so far gets the first track wrong after tick 480.
TEST(MidiFile, Format1TempoChangeInOtherTrackTimesAllTracks)
{
    CTrack notes;
    notes.Ev(0, {0x90, 0x3C, 0x64})
        .Ev(240, {0x80, 0x3C, 0x00}) // half a quarter at 120 bpm: 250 ms
        .Ev(240, {0x90, 0x3E, 0x64}) // at the tempo change: 500 ms
        .Ev(240, {0x80, 0x3E, 0x00}) // half a quarter at 60 bpm later: 1000 ms
        .End(240);                   // 1500 ms
    CTrack conductor;
    conductor.Tempo(0, 500000)
        .Tempo(480, 1000000)
        .Ev(0, {0xB0, 0x07, 0x64}) // same tick as a note of track 0: comes after it
        .End(960);                 // 1 quarter at 120 + 2 quarters at 60 = 2500 ms
    SMidiFile f;
    std::string err;
    ASSERT_TRUE(ReadMidiFile(CSmf(1, 2, 480).Track(notes).Track(conductor).m_vBytes, f, err)) << err;

    const std::vector<Ev> expected{
        {0, Msg(0x90, 0x3C, 0x64), 0},       {250000, Msg(0x80, 0x3C, 0x00), 0},
        {500000, Msg(0x90, 0x3E, 0x64), 0},  {500000, Msg(0xB0, 0x07, 0x64), 1},
        {1000000, Msg(0x80, 0x3E, 0x00), 0},
    };
    EXPECT_EQ(Events(f), expected);
    EXPECT_EQ(f.nLengthUs, 2500000u);
    EXPECT_EQ(f.nLengthMs, 2500u);
    // Seeking uses the same conversion: one and a half quarters past the change.
    EXPECT_EQ(MidiTicksToUs(480 + 720, f), 2000000u);
}

// 1 tick is 333333.33 us at the first tempo and 666666.67 us at the second. Rounding at
// each tempo change would give 999999 us, i.e. 999 ms, for what is exactly one second.
TEST(MidiFile, FractionsOfMicrosecondsCarryAcrossTempoChanges)
{
    CTrack t;
    t.Tempo(0, 1000000).Tempo(1, 2000000).Ev(1, {0x90, 0x3C, 0x64}).End(0);
    SMidiFile f;
    std::string err;
    ASSERT_TRUE(ReadMidiFile(CSmf(0, 1, 3).Track(t).m_vBytes, f, err)) << err;
    ASSERT_EQ(f.events.size(), 1u);
    EXPECT_EQ(f.events[0].nTimeUs, 1000000u);
    EXPECT_EQ(f.events[0].TimeMs(), 1000u);
    EXPECT_EQ(f.nLengthMs, 1000u);
}

// A sequencer must send a note off before the note on of the same key when both fall
// on one tick, so equal times keep file order within a track, then track order. Track 1
// starts earlier, and there are enough events that a non-stable sort visibly shuffles them.
TEST(MidiFile, SameTickKeepsFileOrderThenTrackOrder)
{
    CTrack track0, track1;
    track1.Ev(1, {0x91, 0x3C, 0x64}).Ev(4, {0xB1, 0x10, 0});
    track0.Ev(5, {0xB0, 0x10, 0});
    for (uint8_t i = 1; i < 24; ++i)
    {
        track0.Ev(0, {0xB0, 0x10, i});
        track1.Ev(0, {0xB1, 0x10, i});
    }
    std::vector<Ev> expected{{1000, Msg(0x91, 0x3C, 0x64), 1}};
    for (uint8_t i = 0; i < 24; ++i)
        expected.emplace_back(5000, Msg(0xB0, 0x10, i), 0);
    for (uint8_t i = 0; i < 24; ++i)
        expected.emplace_back(5000, Msg(0xB1, 0x10, i), 1);

    SMidiFile f;
    std::string err;
    ASSERT_TRUE(
        ReadMidiFile(CSmf(1, 2, kDivision1Ms).Track(track0.End()).Track(track1.End()).m_vBytes, f, err))
        << err;
    EXPECT_EQ(Events(f), expected);
}

// Tracks whose messages interleave in every way (runs of one track, equal ticks across tracks,
// a track that starts late and one that ends early) come out by tick, then track, then file order.
TEST(MidiFile, InterleavedTracksMergeByTickThenTrackThenFileOrder)
{
    const std::vector<std::vector<uint32_t>> kTicks = {
        {0, 0, 1, 2, 3, 3, 3, 9, 9, 12},
        {2, 2, 3, 4, 5, 9, 20},
        {0, 3},
        {7, 7, 7, 7, 8},
    };
    std::vector<Ev> expected;
    CSmf smf(1, uint16_t(kTicks.size()), kDivision1Ms);
    for (size_t nTrack = 0; nTrack < kTicks.size(); ++nTrack)
    {
        CTrack track;
        uint32_t nPrev = 0;
        for (size_t i = 0; i < kTicks[nTrack].size(); ++i)
        {
            const uint8_t nValue = uint8_t(nTrack * 16 + i);
            track.Ev(kTicks[nTrack][i] - nPrev, {uint8_t(0xB0 + nTrack), 0x10, nValue});
            expected.emplace_back(uint64_t(kTicks[nTrack][i]) * 1000,
                                  Msg(uint8_t(0xB0 + nTrack), 0x10, nValue), uint16_t(nTrack));
            nPrev = kTicks[nTrack][i];
        }
        smf.Track(track.End());
    }
    std::stable_sort(
        expected.begin(), expected.end(),
        [](const Ev& a, const Ev& b)
        { return std::tie(std::get<0>(a), std::get<2>(a)) < std::tie(std::get<0>(b), std::get<2>(b)); });
    SMidiFile f;
    std::string err;
    ASSERT_TRUE(ReadMidiFile(smf.m_vBytes, f, err)) << err;
    EXPECT_EQ(Events(f), expected);
    EXPECT_EQ(f.nLengthMs, 20u);
}

struct SSmpteCase
{
    const char* pszName;
    uint16_t nDivision; // high byte: -fps, low byte: ticks per frame
    uint32_t nTicks;
    uint64_t nExpectedUs;
};

void PrintTo(const SSmpteCase& c, std::ostream* os)
{
    *os << c.pszName;
}

class MidiFileSmpte : public testing::TestWithParam<SSmpteCase>
{
};

// A tempo event is present in every case; with SMPTE division it must not change anything.
TEST_P(MidiFileSmpte, TicksFollowFrameRateNotTempo)
{
    const SSmpteCase& c = GetParam();
    CTrack t;
    t.Tempo(0, 250000).Ev(c.nTicks, {0x90, 0x3C, 0x64}).End(0);
    SMidiFile f;
    std::string err;
    ASSERT_TRUE(ReadMidiFile(CSmf(0, 1, c.nDivision).Track(t).m_vBytes, f, err)) << err;
    ASSERT_EQ(f.events.size(), 1u);
    EXPECT_EQ(f.events[0].nTimeUs, c.nExpectedUs);
    EXPECT_EQ(f.nLengthUs, c.nExpectedUs);
}

INSTANTIATE_TEST_SUITE_P(MidiFile, MidiFileSmpte,
                         testing::Values(SSmpteCase{"Fps25x40_OneTickIsOneMs", 0xE728, 1000, 1000000},
                                         SSmpteCase{"Fps24x4", 0xE804, 96, 1000000},
                                         SSmpteCase{"Fps29DropFrame_30FramesTake1001Ms", 0xE301, 30, 1001000},
                                         SSmpteCase{"Fps30x80_RoundsDown", 0xE250, 1, 416}),
                         [](const testing::TestParamInfo<SSmpteCase>& info)
                         { return std::string(info.param.pszName); });

struct SErrorCase
{
    const char* pszName;
    Bytes bytes;
    const char* pszError;
};

void PrintTo(const SErrorCase& c, std::ostream* os)
{
    *os << c.pszName;
}

class MidiFileError : public testing::TestWithParam<SErrorCase>
{
};

TEST_P(MidiFileError, IsRejectedWithReason)
{
    const SErrorCase& c = GetParam();
    SMidiFile f;
    f.nTracks = 7; // stale content from an earlier file must not survive
    std::string err;
    EXPECT_FALSE(ReadMidiFile(c.bytes, f, err));
    EXPECT_EQ(err, c.pszError);
    EXPECT_EQ(f.nTracks, 0);
    EXPECT_TRUE(f.events.empty());
}

const CTrack kOneNote = CTrack().Ev(0, {0x90, 0x3C, 0x64}).End(10);

INSTANTIATE_TEST_SUITE_P(
    MidiFile, MidiFileError,
    testing::Values(
        SErrorCase{"Empty", {}, "not a MIDI file"},
        SErrorCase{
            "RiffWithoutMThd", {'R', 'I', 'F', 'F', 0, 0, 0, 4, 'R', 'M', 'I', 'D', 0, 0}, "not a MIDI file"},
        SErrorCase{"TruncatedHeader", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0}, "truncated header"},
        SErrorCase{"HeaderLengthBelowSix",
                   CSmf(0, 1, 96)
                       .Cut(14)
                       .Raw({'M', 'T', 'h', 'd', 0, 0, 0, 5, 0, 0, 0, 1, 0, 96})
                       .Track(kOneNote)
                       .m_vBytes,
                   "bad header"},
        SErrorCase{"DivisionZero", CSmf(0, 1, 0).Track(kOneNote).m_vBytes, "bad time division"},
        SErrorCase{"UnknownSmpteRate", CSmf(0, 1, 0xE928).Track(kOneNote).m_vBytes,
                   "unsupported time division"},
        SErrorCase{"HeaderAnnouncesNoTracks", CSmf(1, 0, 96).Track(kOneNote).m_vBytes, "no tracks"},
        SErrorCase{"OnlyUnknownChunks", CSmf(1, 1, 96).Chunk("XFIH", {1, 2, 3}, 3).m_vBytes, "no tracks"},
        SErrorCase{"EarlierTrackRunsPastEnd", CSmf(1, 2, 96).Chunk("MTrk", kOneNote.m_vBytes, 1000).m_vBytes,
                   "damaged track"},
        // The slowest tempo, one tick a quarter and the longest delta: 140 years, whose
        // microseconds overflow as nanoseconds. 5150 quarters of 16.78 s are 86402 s.
        SErrorCase{"LongestDeltaAtSlowestTempo",
                   CSmf(0, 1, 1)
                       .Track(CTrack().Tempo(0, 0xFFFFFF).Ev(0x0FFFFFFF, {0x90, 0x3C, 0x64}).End())
                       .m_vBytes,
                   "damaged file: longer than a day"},
        SErrorCase{"JustOverADay", CSmf(0, 1, 1).Track(CTrack().Tempo(0, 0xFFFFFF).End(5150)).m_vBytes,
                   "damaged file: longer than a day"},
        SErrorCase{"LongTrackEndAfterLastNote",
                   CSmf(1, 2, 1).Track(kOneNote).Track(CTrack().Tempo(0, 0xFFFFFF).End(0x0FFFFFFF)).m_vBytes,
                   "damaged file: longer than a day"}),
    [](const testing::TestParamInfo<SErrorCase>& info) { return std::string(info.param.pszName); });

// Damaged files that players still accept: what is readable is kept, the rest ignored.
struct SDamagedCase
{
    const char* pszName;
    Bytes bytes;
    int nTracks;
    std::vector<Ev> events;
    uint32_t nLengthMs;
};

void PrintTo(const SDamagedCase& c, std::ostream* os)
{
    *os << c.pszName;
}

class MidiFileDamaged : public testing::TestWithParam<SDamagedCase>
{
};

TEST_P(MidiFileDamaged, KeepsWhatIsReadable)
{
    const SDamagedCase& c = GetParam();
    SMidiFile f;
    std::string err;
    ASSERT_TRUE(ReadMidiFile(c.bytes, f, err)) << err;
    EXPECT_EQ(f.nTracks, c.nTracks);
    EXPECT_EQ(Events(f), c.events);
    EXPECT_EQ(f.nLengthMs, c.nLengthMs);
}

const CTrack kTwoNotes = CTrack().Ev(0, {0x90, 0x3C, 0x64}).Ev(10, {0x90, 0x3E, 0x64}).End(30);
const Ev kNote1{0, Msg(0x90, 0x3C, 0x64), 0};
const Ev kNote2{10000, Msg(0x90, 0x3E, 0x64), 0};

INSTANTIATE_TEST_SUITE_P(
    MidiFile, MidiFileDamaged,
    testing::Values(
        // The cut leaves "90 3E" of the second note: the track ends at the first note.
        SDamagedCase{"LastTrackCutMidEvent",
                     CSmf(0, 1, kDivision1Ms).Track(kTwoNotes).Cut(5).m_vBytes,
                     1,
                     {kNote1},
                     0},
        SDamagedCase{"LastTrackWithoutEndEndsAtLastEvent",
                     CSmf(0, 1, kDivision1Ms).Track(kTwoNotes).Cut(4).m_vBytes,
                     1,
                     {kNote1, kNote2},
                     10},
        SDamagedCase{"LastTrackLengthPastEnd",
                     CSmf(0, 1, kDivision1Ms).Chunk("MTrk", kTwoNotes.m_vBytes, 0xFFFFFFF0).m_vBytes,
                     1,
                     {kNote1, kNote2},
                     40},
        SDamagedCase{"UnknownChunksSkipped",
                     CSmf(1, 2, kDivision1Ms)
                         .Chunk("XFIH", {1, 2, 3, 4, 5}, 5)
                         .Track(kTwoNotes)
                         .Chunk("XFKM", {}, 0)
                         .Track(CTrack().End(50))
                         .m_vBytes,
                     2,
                     {kNote1, kNote2},
                     50},
        SDamagedCase{"HeaderAnnouncesMoreTracksThanPresent",
                     CSmf(1, 3, kDivision1Ms).Track(kTwoNotes).Track(CTrack().End(5)).m_vBytes,
                     2,
                     {kNote1, kNote2},
                     40},
        SDamagedCase{"DeltaLongerThanFourBytes",
                     CSmf(0, 1, kDivision1Ms)
                         .Track(CTrack()
                                    .Ev(7, {0x90, 0x3C, 0x64})
                                    .Raw({0x81, 0x80, 0x80, 0x80, 0x00, 0x80, 0x3C, 0x00})
                                    .End(0))
                         .m_vBytes,
                     1,
                     {{7000, Msg(0x90, 0x3C, 0x64), 0}},
                     7},
        SDamagedCase{
            "EventsAfterEndOfTrackIgnored",
            CSmf(0, 1, kDivision1Ms).Track(CTrack(kTwoNotes).Ev(0, {0x90, 0x40, 0x64}).End(500)).m_vBytes,
            1,
            {kNote1, kNote2},
            40}),
    [](const testing::TestParamInfo<SDamagedCase>& info) { return std::string(info.param.pszName); });

// Writers of guitar tablature put velocities such as 0xCC in note messages. The message's own
// data count says where it ends: such a byte is data, cut to seven bits, and the track goes on.
TEST(MidiFile, DataBytesWithTheHighBitSetAreReadAsData)
{
    CTrack t;
    t.Ev(0, {0x90, 0x3C, 0xCC})    // velocity 0xCC
        .Ev(10, {0x3E, 0x80})      // running status, velocity 0x80
        .Ev(0, {0xC0, 0x85})       // one data byte only: the next byte is the next delta
        .Ev(0, {0xE0, 0xFF, 0xFF}) // both data bytes high
        .Ev(10, {0x80, 0x3C, 0x40})
        .End(10);
    SMidiFile f;
    std::string err;
    ASSERT_TRUE(ReadMidiFile(CSmf(0, 1, kDivision1Ms).Track(t).m_vBytes, f, err)) << err;
    const std::vector<Ev> expected{
        {0, Msg(0x90, 0x3C, 0x4C), 0},     {10000, Msg(0x90, 0x3E, 0x00), 0}, {10000, Msg(0xC0, 0x05), 0},
        {10000, Msg(0xE0, 0x7F, 0x7F), 0}, {20000, Msg(0x80, 0x3C, 0x40), 0},
    };
    EXPECT_EQ(Events(f), expected);
    EXPECT_EQ(f.nLengthMs, 30u);
}

// Running status carries over meta and sysex events: files written by common programs reuse it
// right after a text event or a sysex, and every later note of the track hangs on it.
TEST(MidiFile, RunningStatusSurvivesMetaAndSysexEvents)
{
    struct SCase
    {
        const char* pszName;
        std::initializer_list<uint8_t> between;
    };
    const SCase kCases[] = {
        {"text", {0xFF, 0x01, 0x05, 'v', 'e', 'r', 's', 'e'}},
        {"marker", {0xFF, 0x06, 0x00}},
        {"tempo", {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}},
        {"sysex", {0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7}},
        {"escape", {0xF7, 0x01, 0xFE}},
    };
    for (const SCase& c : kCases)
    {
        SCOPED_TRACE(c.pszName);
        CTrack t;
        t.Ev(0, {0x91, 0x3C, 0x64}).Ev(10, c.between).Ev(10, {0x3C, 0x00}).Ev(10, {0x40, 0x50}).End(10);
        SMidiFile f;
        std::string err;
        ASSERT_TRUE(ReadMidiFile(CSmf(0, 1, kDivision1Ms).Track(t).m_vBytes, f, err)) << err;
        const std::vector<Ev> expected{
            {0, Msg(0x91, 0x3C, 0x64), 0},
            {20000, Msg(0x91, 0x3C, 0x00), 0},
            {30000, Msg(0x91, 0x40, 0x50), 0},
        };
        EXPECT_EQ(Events(f), expected);
        EXPECT_EQ(f.nLengthMs, 40u);
    }
}

// Exactly at the limit of a day a file still plays; past it, see the error cases.
TEST(MidiFile, AFileOfUpToADayIsRead)
{
    // 5149 quarters of 16.777215 s: 86385.88 s.
    CTrack t;
    t.Tempo(0, 0xFFFFFF).Ev(5149, {0x90, 0x3C, 0x64}).End(0);
    SMidiFile f;
    std::string err;
    ASSERT_TRUE(ReadMidiFile(CSmf(0, 1, 1).Track(t).m_vBytes, f, err)) << err;
    EXPECT_EQ(f.nLengthUs, 5149ull * 0xFFFFFF);
    ASSERT_EQ(f.events.size(), 1u);
    EXPECT_EQ(f.events[0].nTimeUs, 5149ull * 0xFFFFFF);
}

// Measuring a row reads no messages, but must agree with the full reading on everything else.
TEST(MidiFile, MeasuringAgreesWithTheFullReading)
{
    CTrack conductor;
    conductor.Tempo(0, 400000).Tempo(100, 900000).Ev(5, {0xFF, 0x01, 0x01, 'x'}).Tempo(300, 250000).End(50);
    CTrack notes;
    notes.Ev(3, {0x90, 0x3C, 0x64}).Ev(200, {0x3C, 0x00}).Ev(400, {0xB0, 0x07, 0x64}).End(700);
    const Bytes kFiles[] = {
        CSmf(1, 2, 96).Track(conductor).Track(notes).m_vBytes,
        CSmf(1, 2, 0xE728).Track(notes).Track(conductor).m_vBytes,
        CSmf(0, 1, kDivision1Ms).Track(kTwoNotes).Cut(5).m_vBytes,
        CSmf(1, 3, 7).Track(CTrack().End(5)).Track(notes).m_vBytes,
    };
    for (const Bytes& bytes : kFiles)
    {
        SMidiFile full, measured;
        std::string errFull, errMeasured;
        ASSERT_TRUE(ReadMidiFile(bytes, full, errFull)) << errFull;
        ASSERT_TRUE(ReadMidiFileHeaderAndLength(bytes, measured, errMeasured)) << errMeasured;
        EXPECT_FALSE(full.events.empty());
        EXPECT_TRUE(measured.events.empty());
        EXPECT_EQ(measured.nLengthUs, full.nLengthUs);
        EXPECT_EQ(measured.nLengthMs, full.nLengthMs);
        EXPECT_EQ(measured.nTracks, full.nTracks);
        EXPECT_EQ(measured.nDivision, full.nDivision);
        ASSERT_EQ(measured.tempoMap.size(), full.tempoMap.size());
        for (size_t i = 0; i < full.tempoMap.size(); ++i)
            EXPECT_EQ(measured.tempoMap[i].nTimeUs, full.tempoMap[i].nTimeUs);
    }
    SMidiFile measured;
    std::string err;
    EXPECT_FALSE(ReadMidiFileHeaderAndLength(CSmf(0, 1, 0).Track(kOneNote).m_vBytes, measured, err));
    EXPECT_EQ(err, "bad time division");
}

// A read the caller no longer wants gives up with "stopped" and leaves nothing behind; one that
// is not stopped reads as the plain reader does.
TEST(MidiFile, AStopFlagCutsTheReadShort)
{
    CTrack notes;
    for (int i = 0; i < 70000; ++i) // more than one stretch between looks at the flag
        notes.Ev(1, {0x90, uint8_t(0x30 + i % 24), uint8_t(i % 2 ? 0 : 100)});
    notes.End();
    const Bytes bytes = CSmf(1, 2, kDivision1Ms).Track(kTwoNotes).Track(notes).m_vBytes;
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("tonegrove_test_midi_stop_" + std::to_string(std::random_device{}()) + ".mid");
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    SMidiFile plain;
    std::string err;
    ASSERT_TRUE(ReadMidiFile(bytes, plain, err)) << err;

    for (const bool bFromPath : {false, true})
    {
        SCOPED_TRACE(bFromPath ? "path" : "bytes");
        auto Read = [&](const std::atomic<bool>& bStop, SMidiFile& out) {
            return bFromPath ? ReadMidiFile(path.string(), out, err, bStop)
                             : ReadMidiFile(bytes, out, err, bStop);
        };
        const std::atomic<bool> bGoOn{false}, bStop{true};
        SMidiFile file;
        ASSERT_TRUE(Read(bGoOn, file)) << err;
        EXPECT_EQ(Events(file), Events(plain));
        EXPECT_EQ(file.nLengthUs, plain.nLengthUs);
        EXPECT_FALSE(Read(bStop, file));
        EXPECT_EQ(err, "stopped");
        EXPECT_TRUE(file.events.empty());
        EXPECT_EQ(file.nLengthUs, 0u);
    }
    std::filesystem::remove(path);
}

TEST(MidiFile, ReadsFromPath)
{
    // A unique name, since test runs of several build trees may share the temp folder.
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("tonegrove_test_midi_" + std::to_string(std::random_device{}()) + ".mid");
    const Bytes bytes = CSmf(0, 1, kDivision1Ms).Track(kTwoNotes).m_vBytes;
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    SMidiFile f;
    std::string err;
    EXPECT_TRUE(ReadMidiFile(path.string(), f, err)) << err;
    EXPECT_EQ(f.nLengthMs, 40u);
    std::filesystem::remove(path);

    EXPECT_FALSE(ReadMidiFile(path.string(), f, err));
    EXPECT_EQ(err, "cannot open file");
}

} // namespace
