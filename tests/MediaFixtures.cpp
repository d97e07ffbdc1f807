#include "tests/MediaFixtures.h"

#include <fstream>
#include <stdexcept>

namespace
{

void PutLE(TBytes& out, uint32_t nValue, int nBytes)
{
    for (int i = 0; i < nBytes; ++i)
        out.push_back(uint8_t(nValue >> (8 * i)));
}

void PutBE(TBytes& out, uint32_t nValue, int nBytes)
{
    for (int i = nBytes - 1; i >= 0; --i)
        out.push_back(uint8_t(nValue >> (8 * i)));
}

void PutTag(TBytes& out, const char* pszTag)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(pszTag[i]));
}

void PutVlq(TBytes& out, uint32_t nValue)
{
    uint8_t tmp[5];
    int n = 0;
    do
    {
        tmp[n++] = uint8_t(nValue & 0x7F);
        nValue >>= 7;
    } while (nValue);
    while (n > 1)
        out.push_back(uint8_t(tmp[--n] | 0x80));
    out.push_back(tmp[0]);
}

// The PCM format block of a "fmt " chunk (16 bytes).
void PutPcmFormat(TBytes& out, const SWavShape& shape, uint32_t nBlock)
{
    PutLE(out, 1, 2); // PCM
    PutLE(out, shape.nChannels, 2);
    PutLE(out, shape.nRate, 4);
    PutLE(out, shape.nRate * nBlock, 4);
    PutLE(out, nBlock, 2);
    PutLE(out, shape.nBits, 2);
}

void PutLE64(TBytes& out, uint64_t nValue)
{
    PutLE(out, uint32_t(nValue), 4);
    PutLE(out, uint32_t(nValue >> 32), 4);
}

void PutSaw(TBytes& out, uint32_t nData)
{
    for (uint32_t i = 0; i < nData; ++i)
        out.push_back(uint8_t(i * 7));
}

TBytes MakeRf64(const SWavShape& shape, uint32_t nBlock, uint32_t nData)
{
    const uint32_t nPad = nData & 1;
    TBytes out;
    PutTag(out, "RF64");
    PutLE(out, 0xFFFFFFFF, 4); // the real sizes are in ds64
    PutTag(out, "WAVE");
    PutTag(out, "ds64");
    PutLE(out, 28, 4);
    PutLE64(out, 4 + (8 + 28) + (8 + 16) + (8 + uint64_t(nData) + nPad)); // RIFF size
    PutLE64(out, nData);
    PutLE64(out, shape.nFrames);
    PutLE(out, 0, 4); // no table of further chunk sizes
    PutTag(out, "fmt ");
    PutLE(out, 16, 4);
    PutPcmFormat(out, shape, nBlock);
    PutTag(out, "data");
    PutLE(out, 0xFFFFFFFF, 4);
    PutSaw(out, nData);
    if (nPad)
        out.push_back(0);
    return out;
}

// Wave64 chunks are named by GUIDs, sized in 64 bits including their 24-byte heading, and
// aligned to 8 bytes.
TBytes MakeWave64(const SWavShape& shape, uint32_t nBlock, uint32_t nData)
{
    static const uint8_t kRiff[16] = {'r',  'i',  'f',  'f',  0x2E, 0x91, 0xCF, 0x11,
                                      0xA5, 0xD6, 0x28, 0xDB, 0x04, 0xC1, 0x00, 0x00};
    static const uint8_t kWave[16] = {'w',  'a',  'v',  'e',  0xF3, 0xAC, 0xD3, 0x11,
                                      0x8C, 0xD1, 0x00, 0xC0, 0x4F, 0x8E, 0xDB, 0x8A};
    static const uint8_t kFmt[16] = {'f',  'm',  't',  ' ',  0xF3, 0xAC, 0xD3, 0x11,
                                     0x8C, 0xD1, 0x00, 0xC0, 0x4F, 0x8E, 0xDB, 0x8A};
    static const uint8_t kData[16] = {'d',  'a',  't',  'a',  0xF3, 0xAC, 0xD3, 0x11,
                                      0x8C, 0xD1, 0x00, 0xC0, 0x4F, 0x8E, 0xDB, 0x8A};
    const uint32_t nPad = (8 - nData % 8) % 8;
    TBytes out;
    out.insert(out.end(), kRiff, kRiff + 16);
    PutLE64(out, 16 + 8 + 16 + (24 + 16) + (24 + uint64_t(nData) + nPad));
    out.insert(out.end(), kWave, kWave + 16);
    out.insert(out.end(), kFmt, kFmt + 16);
    PutLE64(out, 24 + 16);
    PutPcmFormat(out, shape, nBlock);
    out.insert(out.end(), kData, kData + 16);
    PutLE64(out, 24 + uint64_t(nData));
    PutSaw(out, nData);
    out.insert(out.end(), nPad, 0);
    return out;
}

} // namespace

TBytes MakeWav(const SWavShape& shape)
{
    const uint32_t nBlock = uint32_t(shape.nChannels) * (shape.nBits / 8);
    const uint32_t nData = nBlock * shape.nFrames;
    if (shape.eContainer == EWavContainer::Rf64)
        return MakeRf64(shape, nBlock, nData);
    if (shape.eContainer == EWavContainer::Wave64)
        return MakeWave64(shape, nBlock, nData);
    const uint32_t nPad = nData & 1; // chunks are word-aligned
    const TBytes trailing = {'L', 'I', 'S', 'T', 4, 0, 0, 0, 'I', 'N', 'F', 'O'};

    TBytes out;
    PutTag(out, "RIFF");
    PutLE(out, 4 + (8 + 16) + (8 + nData + nPad) + (shape.bTrailingChunk ? uint32_t(trailing.size()) : 0), 4);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutLE(out, 16, 4);
    PutPcmFormat(out, shape, nBlock);
    PutTag(out, "data");
    PutLE(out, nData, 4);
    // A quiet saw tooth rather than silence, so the samples are not all one byte.
    for (uint32_t i = 0; i < nData; ++i)
        out.push_back(uint8_t(i * 7));
    if (nPad)
        out.push_back(0);
    if (shape.bTrailingChunk)
        out.insert(out.end(), trailing.begin(), trailing.end());
    return out;
}

CMidiTrack& CMidiTrack::Event(uint32_t nDelta, std::initializer_list<uint8_t> raw)
{
    PutVlq(m_arrBytes, nDelta);
    m_arrBytes.insert(m_arrBytes.end(), raw);
    return *this;
}

CMidiTrack& CMidiTrack::Tempo(uint32_t nDelta, uint32_t nUsPerQuarter)
{
    return Event(nDelta, {0xFF, 0x51, 0x03, uint8_t(nUsPerQuarter >> 16), uint8_t(nUsPerQuarter >> 8),
                          uint8_t(nUsPerQuarter)});
}

CMidiTrack& CMidiTrack::End(uint32_t nDelta)
{
    return Event(nDelta, {0xFF, 0x2F, 0x00});
}

TBytes MakeMidi(uint16_t nFormat, uint16_t nDivision, std::initializer_list<CMidiTrack> tracks)
{
    TBytes out;
    PutTag(out, "MThd");
    PutBE(out, 6, 4);
    PutBE(out, nFormat, 2);
    PutBE(out, uint32_t(tracks.size()), 2);
    PutBE(out, nDivision, 2);
    for (const CMidiTrack& track : tracks)
    {
        PutTag(out, "MTrk");
        PutBE(out, uint32_t(track.Bytes().size()), 4);
        out.insert(out.end(), track.Bytes().begin(), track.Bytes().end());
    }
    return out;
}

void WriteBytes(const std::string& strPath, const TBytes& bytes)
{
    std::ofstream file(strPath, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + strPath);
}
