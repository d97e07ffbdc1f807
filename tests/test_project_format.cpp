#include "tests/ProjectFixtures.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace
{
TEST(CountedNumber, EncodesInTheFewestBytes)
{
    const std::pair<int32_t, std::vector<uint8_t>> cases[] = {
        {0, Bytes({1, 0})},
        {-5, Bytes({1, 0})},
        {100, Bytes({1, 0x64})},
        {255, Bytes({1, 0xFF})},
        {256, Bytes({2, 1, 0})},
        {500, Bytes({2, 1, 0xF4})},
        {70000, Bytes({3, 1, 0x11, 0x70})},
        {0x7F3C90, Bytes({3, 0x7F, 0x3C, 0x90})},
        {INT_MAX, Bytes({4, 0x7F, 0xFF, 0xFF, 0xFF})},
    };
    for (const auto& [n, expected] : cases)
    {
        std::vector<uint8_t> out;
        AppendNumber(out, n);
        EXPECT_EQ(expected, out) << n;
        if (n > 0)
        {
            EXPECT_EQ(n, DecodeNumber(out.data() + 1, out[0]));
        }
    }
}

TEST(CountedNumber, DecodesOddLengths)
{
    const uint8_t bytes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09};
    EXPECT_EQ(0, DecodeNumber(bytes, 0));
    EXPECT_EQ(0x0102, DecodeNumber(bytes, 2));
    EXPECT_EQ(0x02030405, DecodeNumber(bytes, 5)) << "the low four bytes";
    EXPECT_EQ(0x05060708, DecodeNumber(bytes, 8));
    EXPECT_EQ(0, DecodeNumber(bytes, 9));
    const uint8_t high[] = {0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(-1, DecodeNumber(high, 4));
}

TEST(ProjectBytes, OneNoteInBothVersionsIsByteExact)
{
    EXPECT_EQ(std::vector<uint8_t>({'T', 'o', 'n', 'e', 'g', 'r', 'o', 'v', 'e', ' ', 'F', 'i', 'l', 'e',
                                    ' ', 'P', 'r', 'o', 'j', 'e', 'c', 't', 's', ' ', '0', '.', '0'}),
              MakeHeader(0));
    EXPECT_EQ(MakeHeader(0) + Bytes({0x24, 0x01, 0x64, 0x4D, 0x30, 0x0C, 0x7F, 0x00, //
                                     0x21, 0x02, 0x01, 0xF4, 0x4D, 0x30, 0x0C, 0x00}),
              OneNoteProject(0));
    EXPECT_EQ(MakeHeader(1) + Bytes({0x24, 0x01, 0x64, 0x54, 0x03, 0x7F, 0x3C, 0x90, //
                                     0x24, 0x02, 0x01, 0xF4, 0x54, 0x02, 0x3C, 0x80}),
              OneNoteProject(1));
    EXPECT_EQ(43u, OneNoteProject(1).size());
}

TEST(ProjectHeader, ChecksNameAndVersion)
{
    auto withVersion = [](const char* p)
    {
        auto h = MakeHeader(0);
        std::copy(p, p + 3, h.begin() + 24);
        return h;
    };
    auto noSpace = MakeHeader(1);
    noSpace[23] = '_';
    auto wrongName = MakeHeader(1);
    wrongName[0] = 't';
    auto shortHeader = MakeHeader(0);
    shortHeader.pop_back();
    const std::pair<std::vector<uint8_t>, EHeader> cases[] = {
        {MakeHeader(0), EHeader::Ok},
        {noSpace, EHeader::Ok},
        {withVersion("0.2"), EHeader::FutureVersion},
        {withVersion("1.0"), EHeader::FutureVersion},
        {wrongName, EHeader::Damaged},
        {shortHeader, EHeader::Damaged},
        {{}, EHeader::Damaged},
    };
    for (const auto& [bytes, expected] : cases)
    {
        int nVersion = -1;
        EXPECT_EQ(expected, CheckProjectHeader(bytes, nVersion)) << std::string(bytes.begin(), bytes.end());
    }
}

std::vector<SRecord> WalkAll(int nVersion, const std::vector<uint8_t>& stream, SWalkResult& result)
{
    std::vector<SRecord> records;
    result = WalkRecords(nVersion, stream,
                         [&](const SRecord& r)
                         {
                             records.push_back(r);
                             return true;
                         });
    return records;
}

TEST(RecordWalker, ReadsEveryKindOfRecord)
{
    const uint8_t mask[6] = {1, 2, 3, 4, 5, 6};
    std::vector<uint8_t> v1;
    AppendEventRecord(v1, 0, 0x643C93);
    AppendSettingsRecord(v1, 440, 100, 1500, 1, 0);
    AppendToneRecord(v1, mask, 250);
    AppendEventRecord(v1, 70000, 0x3C83, kNoteOff);
    SWalkResult result;
    auto records = WalkAll(1, v1, result);
    EXPECT_EQ(EWalkEnd::End, result.eEnd);
    ASSERT_EQ(4u, records.size());
    EXPECT_EQ(ERecordKind::Event, records[0].eKind);
    EXPECT_EQ(0x643C93u, records[0].dwMessage);
    EXPECT_EQ(ERecordKind::Settings, records[1].eKind);
    EXPECT_EQ((std::vector<int32_t>{440, 100, 1500, 1, 0}),
              std::vector<int32_t>(records[1].settings, records[1].settings + 5));
    EXPECT_EQ(ERecordKind::Tone, records[2].eKind);
    EXPECT_EQ(250, records[2].nDuration);
    EXPECT_EQ(0, std::memcmp(mask, records[2].mask, 6));
    EXPECT_EQ(10u, records[2].nSize);
    EXPECT_EQ(70000, records[3].nDelay);
    EXPECT_EQ(v1.size(), records[3].nOffset + records[3].nSize);

    std::vector<uint8_t> v0;
    AppendNoteOnRecord(v0, 5, 48, 12, 100, 3);
    v0.insert(v0.end(), {'x', 1, 7}); // an unknown type: a type byte and a delay
    AppendNoteOffRecord(v0, 9, 48, 12, 3);
    records = WalkAll(0, v0, result);
    EXPECT_EQ(EWalkEnd::End, result.eEnd);
    ASSERT_EQ(3u, records.size());
    EXPECT_EQ(ERecordKind::NoteOn, records[0].eKind);
    EXPECT_EQ(3, records[0].nChannel);
    EXPECT_EQ(100, records[0].nVelocity);
    EXPECT_EQ(ERecordKind::Other, records[1].eKind);
    EXPECT_EQ(7, records[1].nDelay);
    EXPECT_EQ(ERecordKind::NoteOff, records[2].eKind);
}

TEST(RecordWalker, StopsAtDamageAndUnknownTypes)
{
    struct SCase
    {
        const char* pName;
        int nVersion;
        std::vector<uint8_t> stream;
        EWalkEnd eEnd;
        size_t nRecords;
        bool bDamagedDelay;
    };
    const SCase cases[] = {
        {"0.1 unknown type", 1, Bytes({0x24, 1, 5, 'T', 1, 0x90, 0x22, 1, 5}), EWalkEnd::UnknownType, 1,
         false},
        {"0.0 note without M", 0, Bytes({0x24, 1, 5, 'M', 48, 12, 9, 0, 0x21, 1, 7, 'X', 48, 12, 0}),
         EWalkEnd::Damaged, 1, true},
        {"0.1 event without T", 1, Bytes({0x24, 2, 1, 0, 'M', 1, 0x90}), EWalkEnd::Damaged, 0, true},
        {"tone without @", 1, Bytes({0x2A, 0, 0, 0, 0, 0, 0, '!', 1, 5}), EWalkEnd::Damaged, 0, false},
        {"delay past the end", 0, Bytes({0x24, 4, 1, 2}), EWalkEnd::Damaged, 0, false},
        {"negative length byte", 1, Bytes({0x24, 0x80, 1, 'T', 1, 0}), EWalkEnd::Damaged, 0, false},
        {"message past the end", 1, Bytes({0x24, 1, 5, 'T', 3, 0x7F}), EWalkEnd::Damaged, 0, true},
        {"zero-length delay", 1, Bytes({0x24, 0, 'T', 1, 0x90}), EWalkEnd::End, 1, false},
        {"nine-byte number reads 0", 1, Bytes({0x24, 9, 1, 1, 1, 1, 1, 1, 1, 1, 1, 'T', 1, 0x90}),
         EWalkEnd::End, 1, false},
    };
    for (const SCase& c : cases)
    {
        SWalkResult result;
        auto records = WalkAll(c.nVersion, c.stream, result);
        EXPECT_EQ(c.eEnd, result.eEnd) << c.pName;
        EXPECT_EQ(c.nRecords, records.size()) << c.pName;
        EXPECT_EQ(c.bDamagedDelay, result.bDamagedDelay) << c.pName;
    }
}

TEST(RecordWalker, TimesWithTheTopBitSetReadAsZero)
{
    // Delays and durations are what the length, the player and the renderer all add up; one
    // that decodes as negative would pull the length below what is played.
    struct SCase
    {
        const char* pName;
        int nVersion;
        std::vector<uint8_t> stream;
        int32_t nTime; // the first record's delay, or a tone's duration
    };
    const SCase cases[] = {
        {"0.0 note on 0x80000000", 0, Bytes({0x24, 4, 0x80, 0, 0, 0, 'M', 48, 12, 127, 0}), 0},
        {"0.0 note off 0xFFFFFFFF", 0, Bytes({0x21, 4, 0xFF, 0xFF, 0xFF, 0xFF, 'M', 48, 12, 0}), 0},
        {"0.0 other type", 0, Bytes({'x', 4, 0x90, 0, 0, 1}), 0},
        {"0.1 event", 1, Bytes({0x24, 4, 0x80, 0, 0, 0, 'T', 1, 0x90}), 0},
        {"0.1 eight-byte delay, low four negative", 1,
         Bytes({0x24, 8, 0, 0, 0, 1, 0xF0, 0, 0, 0, 'T', 1, 0x90}), 0},
        {"0.1 tone", 1, Bytes({0x2A, 0, 0, 0, 0, 0, 0, '@', 4, 0x80, 0, 0, 5}), 0},
        {"largest positive stays", 1, Bytes({0x24, 4, 0x7F, 0xFF, 0xFF, 0xFF, 'T', 1, 0x90}), INT32_MAX},
    };
    for (const SCase& c : cases)
    {
        SWalkResult result;
        auto records = WalkAll(c.nVersion, c.stream, result);
        EXPECT_EQ(EWalkEnd::End, result.eEnd) << c.pName;
        ASSERT_EQ(1u, records.size()) << c.pName;
        const SRecord& r = records[0];
        EXPECT_EQ(c.nTime, r.eKind == ERecordKind::Tone ? r.nDuration : r.nDelay) << c.pName;
    }

    // The delay of a damaged record, which the length and the player still count, too.
    SWalkResult result;
    WalkAll(1, Bytes({0x24, 4, 0x80, 0, 0, 0, 'X'}), result);
    EXPECT_EQ(EWalkEnd::Damaged, result.eEnd);
    EXPECT_TRUE(result.bDamagedDelay);
    EXPECT_EQ(0, result.nDamagedDelay);
}

TEST(RecordWalker, EveryCutOfAStreamIsWholeRecordsOrDamaged)
{
    const uint8_t mask[6] = {};
    std::vector<uint8_t> stream;
    AppendEventRecord(stream, 300, 0x7F3C90);
    AppendSettingsRecord(stream, 440, 100, 1500, 1, 0);
    AppendToneRecord(stream, mask, 70000);
    AppendEventRecord(stream, 0, 0x3C80);
    std::vector<size_t> boundaries = {0};
    WalkRecords(1, stream,
                [&](const SRecord& r)
                {
                    boundaries.push_back(r.nOffset + r.nSize);
                    return true;
                });
    for (size_t nCut = 0; nCut <= stream.size(); ++nCut)
    {
        // A copy of exactly nCut bytes, so that any read past it is caught by the sanitizers.
        std::vector<uint8_t> cut(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(nCut));
        SWalkResult result = WalkRecords(1, cut, [](const SRecord&) { return true; });
        bool bBoundary = std::find(boundaries.begin(), boundaries.end(), nCut) != boundaries.end();
        EXPECT_EQ(bBoundary ? EWalkEnd::End : EWalkEnd::Damaged, result.eEnd) << nCut;
    }
}
} // namespace
