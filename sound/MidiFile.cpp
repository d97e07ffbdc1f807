// Standard MIDI File reader. Input is untrusted: every read is bounds-checked against
// the span, no buffer is sized from a length field, and damaged tracks simply end early.
#include "sound/MidiFile.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <functional>
#include <limits>
#include <utility>

namespace
{

constexpr uint32_t kDefaultTempo = 500000;      // 120 bpm until a tempo event says otherwise
constexpr uint64_t kMaxFileBytes = 64ull << 20; // far above any real song; keeps memory bounded
constexpr uint64_t kMaxU64 = std::numeric_limits<uint64_t>::max();
// How much work goes between two looks at the stop flag: a few milliseconds at most.
constexpr size_t kItemsBetweenLooks = size_t(1) << 16;
constexpr size_t kBytesBetweenLooks = size_t(4) << 20;
constexpr const char* kStopped = "stopped";

bool StopAsked(const std::atomic<bool>* pStop)
{
    return pStop && pStop->load(std::memory_order_relaxed);
}

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

// Walks one track chunk event by event, handing out its channel messages and tempo changes.
// The end of the track is its end-of-track event, or the last complete event when the data is
// cut or damaged.
class CTrackCursor
{
  public:
    explicit CTrackCursor(std::span<const uint8_t> data) : m_data(data) {}

    // Moves to the next channel message or tempo change; false once the track has ended.
    bool Next()
    {
        if (m_bEnded)
            return false;
        const size_t nSize = m_data.size();
        while (m_nPos < nSize)
        {
            uint32_t nDelta = 0;
            if (!ReadVlq(m_data, m_nPos, nDelta) || m_nPos >= nSize)
                break;
            const uint64_t nTick = m_nTick + nDelta; // at most 2^28 per byte of input, cannot wrap

            uint8_t nStatus = m_data[m_nPos];
            if (nStatus & 0x80)
                ++m_nPos;
            else if (m_nRunning)
                nStatus = m_nRunning;
            else
                break; // a data byte with no status to repeat: the rest is garbage

            if (nStatus < 0xF0)
            {
                // The message's own data count decides, as common readers do: some writers put
                // bytes of 0x80 and above where data belongs (a velocity of 0xCC), and those are
                // data cut to seven bits, not the start of the next event.
                const uint8_t nKind = nStatus & 0xF0;
                const size_t nDataBytes = (nKind == 0xC0 || nKind == 0xD0) ? 1 : 2;
                if (nSize - m_nPos < nDataBytes)
                    break;
                const uint32_t d1 = m_data[m_nPos] & 0x7F;
                const uint32_t d2 = nDataBytes == 2 ? m_data[m_nPos + 1] & 0x7F : 0;
                m_nPos += nDataBytes;
                m_nRunning = nStatus;
                m_nTick = m_nEndTick = nTick;
                m_bTempo = false;
                m_dwMessage = uint32_t(nStatus) | (d1 << 8) | (d2 << 16);
                return true;
            }
            if (nStatus == 0xF0 || nStatus == 0xF7)
            {
                uint32_t nLen = 0;
                if (!ReadVlq(m_data, m_nPos, nLen) || nSize - m_nPos < nLen)
                    break;
                m_nPos += nLen;
                // Running status stays: on the wire a sysex would cancel it, but files rely on
                // it surviving and every common reader lets it.
                m_nTick = m_nEndTick = nTick;
                continue;
            }
            if (nStatus != 0xFF)
                break; // system common / real-time bytes have no place in a file
            uint32_t nLen = 0;
            if (m_nPos >= nSize)
                break;
            const uint8_t nType = m_data[m_nPos++];
            if (!ReadVlq(m_data, m_nPos, nLen) || nSize - m_nPos < nLen)
                break;
            // Meta events keep the running status too (a text event between notes is common).
            m_nTick = m_nEndTick = nTick;
            if (nType == 0x2F)
                break; // anything after end of track is ignored, as players do
            const size_t nAt = m_nPos;
            m_nPos += nLen;
            if (nType == 0x51 && nLen >= 3)
            {
                const uint32_t nTempo =
                    (uint32_t(m_data[nAt]) << 16) | (uint32_t(m_data[nAt + 1]) << 8) | m_data[nAt + 2];
                if (nTempo != 0) // a zero tempo would stop time; ignore it
                {
                    m_bTempo = true;
                    m_nTempo = nTempo;
                    return true;
                }
            }
        }
        m_bEnded = true;
        return false;
    }

    // The current item: its tick, and either a tempo or a channel message.
    uint64_t Tick() const { return m_nTick; }
    bool IsTempo() const { return m_bTempo; }
    uint32_t Tempo() const { return m_nTempo; }
    uint32_t Message() const { return m_dwMessage; }
    // Where the track ends; final once Next has given false.
    uint64_t EndTick() const { return m_nEndTick; }

  private:
    std::span<const uint8_t> m_data;
    size_t m_nPos = 0;
    uint64_t m_nTick = 0;
    uint64_t m_nEndTick = 0;
    uint8_t m_nRunning = 0; // 0 = no running status in effect
    bool m_bEnded = false;
    bool m_bTempo = false;
    uint32_t m_nTempo = 0;
    uint32_t m_dwMessage = 0;
};

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

namespace
{

// Times of ticks in tick order: walks the tempo map alongside instead of searching it.
class CTickTimer
{
  public:
    CTickTimer(const SMidiFile& file, uint64_t nNum, uint64_t nDen)
        : m_tempoMap(file.tempoMap), m_nPpq(uint32_t(file.nDivision)), m_nNum(nNum), m_nDen(nDen),
          m_bSmpte((file.nDivision & 0x8000) != 0)
    {
    }
    uint64_t Us(uint64_t nTick)
    {
        // Chords and the tracks of a band share their ticks: the last answer serves them all.
        if (nTick == m_nLastTick && m_bHaveLast)
            return m_nLastUs;
        uint64_t nFrac = 0;
        if (m_bSmpte) // with SMPTE division time does not depend on tempo
            m_nLastUs = MulDivFloor(nTick, m_nNum, m_nDen, 0, nFrac);
        else
        {
            while (m_nSeg + 1 < m_tempoMap.size() && m_tempoMap[m_nSeg + 1].nTick <= nTick)
                ++m_nSeg;
            m_nLastUs = SegmentTicksToUs(m_tempoMap[m_nSeg], nTick, m_nPpq, nFrac);
        }
        m_nLastTick = nTick;
        m_bHaveLast = true;
        return m_nLastUs;
    }

  private:
    const std::vector<STempoChange>& m_tempoMap;
    const uint32_t m_nPpq;
    const uint64_t m_nNum, m_nDen;
    const bool m_bSmpte;
    size_t m_nSeg = 0;
    uint64_t m_nLastTick = 0;
    uint64_t m_nLastUs = 0;
    bool m_bHaveLast = false;
};

// Merges the tracks' messages into one list by tick, then track order, then file order within a
// track: every track is in tick order already, so one pass with a heap of the tracks does it.
// False, with whatever was merged so far, when the stop flag is set on the way.
bool MergeTracks(std::span<const std::span<const uint8_t>> tracks, size_t nCount, CTickTimer& timer,
                 const std::atomic<bool>* pStop, std::vector<SMidiEvent>& events)
{
    std::vector<CTrackCursor> cursors;
    cursors.reserve(tracks.size());
    using THead = std::pair<uint64_t, uint16_t>; // tick of the track's next message, track
    std::vector<THead> heap;
    auto NextMessage = [&](uint16_t nTrack)
    {
        CTrackCursor& cursor = cursors[nTrack];
        while (cursor.Next())
            if (!cursor.IsTempo())
            {
                heap.emplace_back(cursor.Tick(), nTrack);
                std::push_heap(heap.begin(), heap.end(), std::greater<>());
                return;
            }
    };
    for (size_t i = 0; i < tracks.size(); ++i)
    {
        cursors.emplace_back(tracks[i]);
        NextMessage(uint16_t(i));
    }
    events.clear();
    events.reserve(nCount);
    size_t nNextLook = kItemsBetweenLooks;
    while (!heap.empty())
    {
        if (events.size() >= nNextLook)
        {
            if (StopAsked(pStop))
                return false;
            nNextLook = events.size() + kItemsBetweenLooks;
        }
        std::pop_heap(heap.begin(), heap.end(), std::greater<>());
        const uint16_t nTrack = heap.back().second;
        heap.pop_back();
        // Take this track's messages for as long as they come before every other track's next
        // one: a track often has several in a row, and each costs the heap nothing then.
        CTrackCursor& cursor = cursors[nTrack];
        bool bMore = true;
        do
        {
            events.push_back({timer.Us(cursor.Tick()), cursor.Message(), nTrack});
            bMore = false;
            while (cursor.Next())
                if (!cursor.IsTempo())
                {
                    bMore = true;
                    break;
                }
        } while (bMore && (heap.empty() || THead(cursor.Tick(), nTrack) < heap.front()));
        if (bMore)
        {
            heap.emplace_back(cursor.Tick(), nTrack);
            std::push_heap(heap.begin(), heap.end(), std::greater<>());
        }
    }
    return true;
}

bool ReadMidi(std::span<const uint8_t> bytes, SMidiFile& out, std::string& strError, bool bEvents,
              const std::atomic<bool>* pStop)
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

    std::vector<std::span<const uint8_t>> tracks;
    size_t pos = 8 + std::min<size_t>(nHeaderLen, nSize - 8); // a longer header may carry extra fields

    // The header's track count is only an upper bound: stop at the end of the data.
    while (int(tracks.size()) < nDeclaredTracks && nSize - pos >= 8)
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
            if (int(tracks.size()) + 1 < nDeclaredTracks)
                return Fail(out, strError, "damaged track");
            nLen = nSize - pos;
        }
        if (bTrack)
            tracks.push_back(bytes.subspan(pos, nLen));
        pos += nLen; // unknown chunks such as XFIH are skipped
    }
    if (tracks.empty())
        return Fail(out, strError, "no tracks");

    // First pass: the tempo changes, the end and the number of messages of every track.
    std::vector<SRawTempo> tempos;
    uint64_t nEndTick = 0;
    size_t nCount = 0;
    size_t nItems = 0;
    for (const std::span<const uint8_t>& track : tracks)
    {
        if (StopAsked(pStop))
            return Fail(out, strError, kStopped);
        CTrackCursor cursor(track);
        while (cursor.Next())
        {
            if (++nItems % kItemsBetweenLooks == 0 && StopAsked(pStop))
                return Fail(out, strError, kStopped);
            if (cursor.IsTempo())
                tempos.push_back({cursor.Tick(), cursor.Tempo()});
            else
                ++nCount;
        }
        nEndTick = std::max(nEndTick, cursor.EndTick());
    }

    out.nFormat = nFormat;
    out.nTracks = int(tracks.size());
    out.nDivision = nDivision;
    if (!bSmpte)
        out.tempoMap = BuildTempoMap(tempos, uint32_t(nDivision));
    CTickTimer timer(out, nNum, nDen);
    out.nLengthUs = timer.Us(nEndTick);
    // Every message lies at or before its track's end, so this bounds every time in the file
    // as well, and whoever schedules them may count in nanoseconds without overflow.
    if (out.nLengthUs > kMaxMidiLengthUs)
        return Fail(out, strError, "damaged file: longer than a day");
    out.nLengthMs = UsToMs(out.nLengthUs);

    if (bEvents)
    {
        CTickTimer eventTimer(out, nNum, nDen);
        if (!MergeTracks(tracks, nCount, eventTimer, pStop, out.events))
            return Fail(out, strError, kStopped);
    }
    return true;
}

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, SMidiFile& out,
                   std::string& strError, const std::atomic<bool>* pStop)
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
    bytes.resize(static_cast<size_t>(nSize));
    // In pieces, so that a stop asked for meanwhile need not wait for tens of megabytes.
    for (size_t nDone = 0; nDone < bytes.size();)
    {
        if (StopAsked(pStop))
            return Fail(out, strError, kStopped);
        const size_t nPiece = std::min(kBytesBetweenLooks, bytes.size() - nDone);
        if (!file.read(reinterpret_cast<char*>(bytes.data() + nDone), std::streamsize(nPiece)))
            return Fail(out, strError, "cannot read file");
        nDone += nPiece;
    }
    return true;
}

} // namespace

bool ReadMidiFile(std::span<const uint8_t> bytes, SMidiFile& out, std::string& strError)
{
    return ReadMidi(bytes, out, strError, true, nullptr);
}

bool ReadMidiFileHeaderAndLength(std::span<const uint8_t> bytes, SMidiFile& out, std::string& strError)
{
    return ReadMidi(bytes, out, strError, false, nullptr);
}

bool ReadMidiFileHeaderAndLength(const std::string& path, SMidiFile& out, std::string& strError)
{
    std::vector<uint8_t> bytes;
    return ReadFileBytes(path, bytes, out, strError, nullptr) &&
           ReadMidi(std::span<const uint8_t>(bytes), out, strError, false, nullptr);
}

bool ReadMidiFile(const std::string& path, SMidiFile& out, std::string& strError)
{
    std::vector<uint8_t> bytes;
    return ReadFileBytes(path, bytes, out, strError, nullptr) &&
           ReadMidi(std::span<const uint8_t>(bytes), out, strError, true, nullptr);
}

bool ReadMidiFile(std::span<const uint8_t> bytes, SMidiFile& out, std::string& strError,
                  const std::atomic<bool>& bStop)
{
    return ReadMidi(bytes, out, strError, true, &bStop);
}

bool ReadMidiFile(const std::string& path, SMidiFile& out, std::string& strError,
                  const std::atomic<bool>& bStop)
{
    std::vector<uint8_t> bytes;
    return ReadFileBytes(path, bytes, out, strError, &bStop) &&
           ReadMidi(std::span<const uint8_t>(bytes), out, strError, true, &bStop);
}

bool IsMidiFileExtension(std::string_view strExtension)
{
    std::string strLower(strExtension);
    for (char& c : strLower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return strLower == "mid" || strLower == "midi" || strLower == "kar";
}
