// Standard MIDI File reader. Input is untrusted: every read is bounds-checked against
// the span, no buffer is sized from a length field, and damaged tracks simply end early.
#include "sound/MidiFile.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <limits>

namespace
{

constexpr uint32_t kDefaultTempo = 500000;      // 120 bpm until a tempo event says otherwise
constexpr uint64_t kMaxFileBytes = 64ull << 20; // far above any real song; keeps memory bounded
constexpr uint64_t kMaxU64 = std::numeric_limits<uint64_t>::max();

struct SRawTempo
{
    uint64_t nTick;
    uint32_t nUsPerQuarter;
};

uint32_t ReadBE32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

uint16_t ReadBE16(const uint8_t* p)
{
    return uint16_t((p[0] << 8) | p[1]);
}

uint64_t AddSat(uint64_t a, uint64_t b)
{
    return a > kMaxU64 - b ? kMaxU64 : a + b;
}

// floor((a * b + nCarry) / c) without a 128-bit type. Splitting a by c keeps the
// partial products small because b and c are at most 24 bits here; a hostile file
// can still push the result past 64 bits, so it saturates instead of wrapping.
uint64_t MulDivFloor(uint64_t a, uint64_t b, uint64_t c, uint64_t nCarry, uint64_t& nRem)
{
    const uint64_t q = a / c;
    const uint64_t low = (a % c) * b + nCarry;
    nRem = low % c;
    const uint64_t high = (q != 0 && b > kMaxU64 / q) ? kMaxU64 : q * b;
    return AddSat(high, low / c);
}

uint32_t UsToMs(uint64_t nUs)
{
    return uint32_t(std::min<uint64_t>(nUs / 1000, std::numeric_limits<uint32_t>::max()));
}

// With SMPTE division a tick is 1 / (fps * ticksPerFrame) s, i.e. nNum / nDen microseconds.
// 29 means the 29.97 drop-frame rate, so its frames are 1001/1000 longer than at 30.
bool SmpteTickRate(int nDivision, uint64_t& nNum, uint64_t& nDen)
{
    const int nFps = -int(int8_t(uint8_t((nDivision >> 8) & 0xFF)));
    const uint64_t nTicksPerFrame = uint64_t(nDivision & 0xFF);
    if (nTicksPerFrame == 0)
        return false;
    switch (nFps)
    {
    case 24:
    case 25:
    case 30:
        nNum = 1000000;
        nDen = uint64_t(nFps) * nTicksPerFrame;
        return true;
    case 29:
        nNum = 1001000;
        nDen = 30 * nTicksPerFrame;
        return true;
    default:
        return false;
    }
}

uint64_t SegmentTicksToUs(const STempoChange& seg, uint64_t nTick, uint32_t nPpq, uint64_t& nFrac)
{
    const uint64_t nUs = MulDivFloor(nTick - seg.nTick, seg.nUsPerQuarter, nPpq, seg.nTimeFrac, nFrac);
    return AddSat(seg.nTimeUs, nUs);
}

// Variable-length quantity of at most 4 bytes; false if the data ends or it runs longer.
bool ReadVlq(std::span<const uint8_t> data, size_t& pos, uint32_t& nValue)
{
    nValue = 0;
    for (int i = 0; i < 4; ++i)
    {
        if (pos >= data.size())
            return false;
        const uint8_t b = data[pos++];
        nValue = (nValue << 7) | (b & 0x7F);
        if (!(b & 0x80))
            return true;
    }
    return false;
}

// Reads one track chunk. Events get their absolute tick parked in nTimeUs until the
// tempo map of the whole file is known. Returns the tick where the track ends: its
// end-of-track event, or the last complete event when the data is cut or damaged.
uint64_t ReadTrack(std::span<const uint8_t> data, uint16_t nTrack, std::vector<SMidiEvent>& events,
                   std::vector<SRawTempo>& tempos)
{
    size_t pos = 0;
    uint64_t nTick = 0;
    uint64_t nEndTick = 0;
    uint8_t nRunning = 0; // 0 = no running status in effect

    while (pos < data.size())
    {
        uint32_t nDelta = 0;
        if (!ReadVlq(data, pos, nDelta) || pos >= data.size())
            break;
        nTick += nDelta; // at most 2^28 per byte of input, cannot wrap

        uint8_t nStatus = data[pos];
        if (nStatus & 0x80)
            ++pos;
        else if (nRunning)
            nStatus = nRunning;
        else
            break; // a data byte with no status to repeat: the rest is garbage

        if (nStatus < 0xF0)
        {
            const uint8_t nKind = nStatus & 0xF0;
            const size_t nDataBytes = (nKind == 0xC0 || nKind == 0xD0) ? 1 : 2;
            if (data.size() - pos < nDataBytes)
                break;
            const uint8_t d1 = data[pos];
            const uint8_t d2 = nDataBytes == 2 ? data[pos + 1] : 0;
            if ((d1 | d2) & 0x80)
                break; // a status byte where data belongs means the track is damaged
            pos += nDataBytes;
            nRunning = nStatus;
            events.push_back(
                {0, nTick, uint32_t(nStatus) | (uint32_t(d1) << 8) | (uint32_t(d2) << 16), nTrack});
        }
        else if (nStatus == 0xF0 || nStatus == 0xF7)
        {
            uint32_t nLen = 0;
            if (!ReadVlq(data, pos, nLen) || data.size() - pos < nLen)
                break;
            pos += nLen;
            nRunning = 0; // sysex cancels running status; files relying on it are broken
        }
        else if (nStatus == 0xFF)
        {
            uint32_t nLen = 0;
            if (pos >= data.size())
                break;
            const uint8_t nType = data[pos++];
            if (!ReadVlq(data, pos, nLen) || data.size() - pos < nLen)
                break;
            nRunning = 0; // same for meta events
            if (nType == 0x2F)
                return nTick; // anything after end of track is ignored, as players do
            if (nType == 0x51 && nLen >= 3)
            {
                const uint32_t nTempo =
                    (uint32_t(data[pos]) << 16) | (uint32_t(data[pos + 1]) << 8) | data[pos + 2];
                if (nTempo != 0) // a zero tempo would stop time; ignore it
                    tempos.push_back({nTick, nTempo});
            }
            pos += nLen;
        }
        else
        {
            break; // system common / real-time bytes have no place in a file
        }
        nEndTick = nTick;
    }
    return nEndTick;
}

// Tempo events of all tracks form one map; the same tick seen twice keeps the later one
// (later in track order), which is what a sequencer playing the tracks in order would do.
std::vector<STempoChange> BuildTempoMap(std::vector<SRawTempo>& tempos, uint32_t nPpq)
{
    std::stable_sort(tempos.begin(), tempos.end(),
                     [](const SRawTempo& a, const SRawTempo& b) { return a.nTick < b.nTick; });
    std::vector<STempoChange> tempoMap{{0, kDefaultTempo, 0, 0}};
    for (const SRawTempo& t : tempos)
    {
        STempoChange& last = tempoMap.back();
        if (t.nTick == last.nTick)
        {
            last.nUsPerQuarter = t.nUsPerQuarter;
            continue;
        }
        if (t.nUsPerQuarter == last.nUsPerQuarter)
            continue;
        uint64_t nFrac = 0;
        const uint64_t nUs = SegmentTicksToUs(last, t.nTick, nPpq, nFrac);
        tempoMap.push_back({t.nTick, t.nUsPerQuarter, nUs, uint32_t(nFrac)});
    }
    return tempoMap;
}

bool Fail(SMidiFile& out, std::string& strError, const char* pszReason)
{
    out = SMidiFile{};
    strError = pszReason;
    return false;
}

} // namespace

uint64_t MidiTicksToUs(uint64_t nTick, int nDivision, std::span<const STempoChange> tempoMap)
{
    uint64_t nFrac = 0;
    if (nDivision & 0x8000)
    {
        uint64_t nNum = 0, nDen = 0;
        if (!SmpteTickRate(nDivision, nNum, nDen))
            return 0;
        return MulDivFloor(nTick, nNum, nDen, 0, nFrac);
    }
    const uint32_t nPpq = uint32_t(nDivision) & 0x7FFF;
    if (nPpq == 0)
        return 0;
    const STempoChange defaultTempo{0, kDefaultTempo, 0, 0};
    auto it = std::upper_bound(tempoMap.begin(), tempoMap.end(), nTick,
                               [](uint64_t t, const STempoChange& c) { return t < c.nTick; });
    const STempoChange& seg = it == tempoMap.begin() ? defaultTempo : *std::prev(it);
    return SegmentTicksToUs(seg, nTick, nPpq, nFrac);
}

bool ReadMidiFile(std::span<const uint8_t> bytes, SMidiFile& out, std::string& strError)
{
    out = SMidiFile{};
    strError.clear();
    const uint8_t* p = bytes.data();
    const size_t nSize = bytes.size();

    if (nSize < 4 || std::memcmp(p, "MThd", 4) != 0)
        return Fail(out, strError, "not a MIDI file");
    if (nSize < 14)
        return Fail(out, strError, "truncated header");
    const uint32_t nHeaderLen = ReadBE32(p + 4);
    if (nHeaderLen < 6)
        return Fail(out, strError, "bad header");
    const int nFormat = ReadBE16(p + 8);
    const int nDeclaredTracks = ReadBE16(p + 10);
    const int nDivision = ReadBE16(p + 12);
    if (nFormat > 2)
        return Fail(out, strError, "unsupported MIDI format");
    if ((nDivision & 0x7FFF) == 0)
        return Fail(out, strError, "bad time division");
    uint64_t nNum = 0, nDen = 0;
    const bool bSmpte = (nDivision & 0x8000) != 0;
    if (bSmpte && !SmpteTickRate(nDivision, nNum, nDen))
        return Fail(out, strError, "unsupported time division");

    std::vector<SMidiEvent> events;
    std::vector<SRawTempo> tempos;
    uint64_t nEndTick = 0;
    int nTracks = 0;
    size_t pos = 8 + std::min<size_t>(nHeaderLen, nSize - 8); // a longer header may carry extra fields

    // The header's track count is only an upper bound: stop at the end of the data.
    while (nTracks < nDeclaredTracks && nSize - pos >= 8)
    {
        const bool bTrack = std::memcmp(p + pos, "MTrk", 4) == 0;
        size_t nLen = ReadBE32(p + pos + 4);
        pos += 8;
        if (nLen > nSize - pos)
        {
            if (!bTrack)
                break; // an unknown chunk running off the end leaves nothing after it
            // Writers often get the last track's length wrong and players read it to the
            // end of the file anyway; for an earlier track the following tracks are lost.
            if (nTracks + 1 < nDeclaredTracks)
                return Fail(out, strError, "damaged track");
            nLen = nSize - pos;
        }
        if (bTrack)
        {
            const uint64_t nTrackEnd = ReadTrack(bytes.subspan(pos, nLen), uint16_t(nTracks), events, tempos);
            nEndTick = std::max(nEndTick, nTrackEnd);
            ++nTracks;
        }
        pos += nLen; // unknown chunks such as XFIH are skipped
    }
    if (nTracks == 0)
        return Fail(out, strError, "no tracks");

    // Events are appended track by track, so a stable sort on the tick alone gives
    // time order, then track order, then file order within a track.
    std::stable_sort(events.begin(), events.end(),
                     [](const SMidiEvent& a, const SMidiEvent& b) { return a.nTimeUs < b.nTimeUs; });

    out.nFormat = nFormat;
    out.nTracks = nTracks;
    out.nDivision = nDivision;
    if (!bSmpte) // with SMPTE division time does not depend on tempo
        out.tempoMap = BuildTempoMap(tempos, uint32_t(nDivision));

    // Events are in tick order, so walk the tempo map alongside instead of searching it.
    const uint32_t nPpq = uint32_t(nDivision);
    size_t nSeg = 0;
    for (SMidiEvent& ev : events)
    {
        const uint64_t nTick = ev.nTimeUs;
        uint64_t nFrac = 0;
        if (bSmpte)
        {
            ev.nTimeUs = MulDivFloor(nTick, nNum, nDen, 0, nFrac);
        }
        else
        {
            while (nSeg + 1 < out.tempoMap.size() && out.tempoMap[nSeg + 1].nTick <= nTick)
                ++nSeg;
            ev.nTimeUs = SegmentTicksToUs(out.tempoMap[nSeg], nTick, nPpq, nFrac);
        }
        ev.nTimeMs = UsToMs(ev.nTimeUs);
    }
    out.events = std::move(events);
    out.nLengthUs = MidiTicksToUs(nEndTick, out);
    out.nLengthMs = UsToMs(out.nLengthUs);
    return true;
}

bool ReadMidiFile(const std::string& path, SMidiFile& out, std::string& strError)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return Fail(out, strError, "cannot open file");
    file.seekg(0, std::ios::end);
    const std::streamoff nSize = file.tellg();
    if (nSize < 0)
        return Fail(out, strError, "cannot read file");
    if (uint64_t(nSize) > kMaxFileBytes)
        return Fail(out, strError, "file too large");
    file.seekg(0, std::ios::beg);
    std::vector<uint8_t> bytes(static_cast<size_t>(nSize));
    if (nSize > 0 && !file.read(reinterpret_cast<char*>(bytes.data()), nSize))
        return Fail(out, strError, "cannot read file");
    return ReadMidiFile(std::span<const uint8_t>(bytes), out, strError);
}
