#include "project/ProjectFormat.h"

#include <cstring>

std::vector<uint8_t> MakeHeader(int nVersion)
{
    std::string strHeader = std::string(kHeaderName) + (nVersion == 0 ? " 0.0" : " 0.1");
    return std::vector<uint8_t>(strHeader.begin(), strHeader.end());
}

EHeader CheckProjectHeader(std::span<const uint8_t> project, int& nVersion)
{
    if (project.size() < kHeaderSize || std::memcmp(project.data(), kHeaderName, kHeaderNameSize) != 0)
        return EHeader::Damaged;
    const uint8_t* pVersion = project.data() + 24;
    if (std::memcmp(pVersion, "0.0", 3) == 0)
        nVersion = 0;
    else if (std::memcmp(pVersion, "0.1", 3) == 0)
        nVersion = 1;
    else
        return EHeader::FutureVersion;
    return EHeader::Ok;
}

int EncodeNumber(int32_t nValue, uint8_t bytes[4])
{
    if (nValue <= 0)
    {
        bytes[0] = 0;
        return 1;
    }
    uint32_t v = static_cast<uint32_t>(nValue);
    int n = v > 0xFFFFFF ? 4 : v > 0xFFFF ? 3 : v > 0xFF ? 2 : 1;
    for (int i = 0; i < n; ++i)
        bytes[i] = static_cast<uint8_t>(v >> (8 * (n - 1 - i)));
    return n;
}

void AppendNumber(std::vector<uint8_t>& out, int32_t nValue)
{
    uint8_t bytes[4];
    int n = EncodeNumber(nValue, bytes);
    out.push_back(static_cast<uint8_t>(n));
    out.insert(out.end(), bytes, bytes + n);
}

int32_t DecodeNumber(const uint8_t* pBytes, int nLength)
{
    if (nLength <= 0 || nLength > 8)
        return 0;
    uint32_t v = 0;
    for (int i = 0; i < nLength; ++i)
        v = (v << 8) | pBytes[i]; // the high bytes of a longer number fall off the top
    return static_cast<int32_t>(v);
}

void AppendNoteOnRecord(std::vector<uint8_t>& out, int32_t nDelay, uint8_t nBase, uint8_t nKey,
                        uint8_t nVelocity, uint8_t nChannel)
{
    out.push_back(kNoteOn);
    AppendNumber(out, nDelay);
    out.insert(out.end(), {kNoteMarker, nBase, nKey, nVelocity, nChannel});
}

void AppendNoteOffRecord(std::vector<uint8_t>& out, int32_t nDelay, uint8_t nBase, uint8_t nKey,
                         uint8_t nChannel)
{
    out.push_back(kNoteOff);
    AppendNumber(out, nDelay);
    out.insert(out.end(), {kNoteMarker, nBase, nKey, nChannel});
}

void AppendEventRecord(std::vector<uint8_t>& out, int32_t nDelay, uint32_t dwMessage, uint8_t nType)
{
    out.push_back(nType);
    AppendNumber(out, nDelay);
    out.push_back(kEventMarker);
    AppendNumber(out, static_cast<int32_t>(dwMessage));
}

void AppendSettingsRecord(std::vector<uint8_t>& out, int32_t nFrequency, int32_t nVolume, int32_t nResonance,
                          int32_t nSynthIndex, int32_t nOscillatorType)
{
    out.push_back(kSettings);
    for (int32_t n : {nFrequency, nVolume, nResonance, nSynthIndex, nOscillatorType})
        AppendNumber(out, n);
}

void AppendToneRecord(std::vector<uint8_t>& out, const uint8_t mask[6], int32_t nDuration)
{
    out.push_back(kTone);
    out.insert(out.end(), mask, mask + 6);
    out.push_back(kToneMarker);
    AppendNumber(out, nDuration);
}

namespace
{
// Reads a counted number at nPos and moves past it; false when it runs past the end or its
// length byte is negative (a signed byte of 128 or more).
bool ReadNumber(std::span<const uint8_t> stream, size_t& nPos, int32_t& nValue)
{
    if (nPos >= stream.size())
        return false;
    int nLength = static_cast<int8_t>(stream[nPos]);
    if (nLength < 0 || stream.size() - nPos - 1 < static_cast<size_t>(nLength))
        return false;
    nValue = DecodeNumber(stream.data() + nPos + 1, nLength);
    nPos += 1 + static_cast<size_t>(nLength);
    return true;
}

// A time (delay or duration): a counted number whose top bit is set decodes as negative, and
// time cannot run backwards, so it counts as 0 for the length, the player and the renderer alike.
bool ReadTime(std::span<const uint8_t> stream, size_t& nPos, int32_t& nValue)
{
    if (!ReadNumber(stream, nPos, nValue))
        return false;
    nValue = nValue < 0 ? 0 : nValue;
    return true;
}

bool Has(std::span<const uint8_t> stream, size_t nPos, size_t nCount)
{
    return nPos <= stream.size() && stream.size() - nPos >= nCount;
}
} // namespace

ERead ReadRecord(int nVersion, std::span<const uint8_t> stream, size_t nPos, SRecord& record,
                 bool& bDelayRead)
{
    bDelayRead = false;
    const size_t nStart = nPos;
    record.nOffset = nStart;
    record.nType = stream[nPos++];

    auto finish = [&]
    {
        record.nSize = nPos - nStart;
        return ERead::Record;
    };

    if (nVersion == 0)
    {
        if (!ReadTime(stream, nPos, record.nDelay))
            return ERead::Damaged;
        bDelayRead = true;
        if (record.nType != kNoteOn && record.nType != kNoteOff)
        {
            record.eKind = ERecordKind::Other;
            return finish();
        }
        bool bOn = record.nType == kNoteOn;
        if (!Has(stream, nPos, bOn ? 5 : 4) || stream[nPos] != kNoteMarker)
            return ERead::Damaged;
        record.eKind = bOn ? ERecordKind::NoteOn : ERecordKind::NoteOff;
        record.nBase = stream[nPos + 1];
        record.nKey = stream[nPos + 2];
        record.nVelocity = bOn ? stream[nPos + 3] : 0;
        record.nChannel = stream[nPos + (bOn ? 4 : 3)];
        nPos += bOn ? 5 : 4;
        return finish();
    }

    switch (record.nType)
    {
    case kNoteOn:
    case kNoteOff:
    {
        if (!ReadTime(stream, nPos, record.nDelay))
            return ERead::Damaged;
        bDelayRead = true;
        if (!Has(stream, nPos, 1) || stream[nPos] != kEventMarker)
            return ERead::Damaged;
        ++nPos;
        int32_t nMessage = 0;
        if (!ReadNumber(stream, nPos, nMessage))
            return ERead::Damaged;
        record.eKind = ERecordKind::Event;
        record.dwMessage = static_cast<uint32_t>(nMessage);
        return finish();
    }
    case kSettings:
        record.eKind = ERecordKind::Settings;
        record.nDelay = 0;
        for (int32_t& n : record.settings)
        {
            if (!ReadNumber(stream, nPos, n))
                return ERead::Damaged;
        }
        return finish();
    case kTone:
        record.eKind = ERecordKind::Tone;
        record.nDelay = 0;
        if (!Has(stream, nPos, 7) || stream[nPos + 6] != kToneMarker)
            return ERead::Damaged;
        std::memcpy(record.mask, stream.data() + nPos, 6);
        nPos += 7;
        if (!ReadTime(stream, nPos, record.nDuration))
            return ERead::Damaged;
        return finish();
    default:
        return ERead::UnknownType;
    }
}
