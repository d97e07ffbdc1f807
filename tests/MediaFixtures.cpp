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

} // namespace

TBytes MakeWav(const SWavShape& shape)
{
    const uint32_t nBlock = uint32_t(shape.nChannels) * (shape.nBits / 8);
    const uint32_t nData = nBlock * shape.nFrames;
    const uint32_t nPad = nData & 1; // chunks are word-aligned
    const TBytes trailing = {'L', 'I', 'S', 'T', 4, 0, 0, 0, 'I', 'N', 'F', 'O'};

    TBytes out;
    PutTag(out, "RIFF");
    PutLE(out, 4 + (8 + 16) + (8 + nData + nPad) + (shape.bTrailingChunk ? uint32_t(trailing.size()) : 0), 4);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutLE(out, 16, 4);
    PutLE(out, 1, 2); // PCM
    PutLE(out, shape.nChannels, 2);
    PutLE(out, shape.nRate, 4);
    PutLE(out, shape.nRate * nBlock, 4);
    PutLE(out, nBlock, 2);
    PutLE(out, shape.nBits, 2);
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
