// Media files the tests make themselves: PCM WAV files written byte by byte and Standard MIDI
// Files built from tracks, so that each length can be worked out by hand.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

using TBytes = std::vector<uint8_t>;

// RIFF WAVE; RF64 (EBU's 64-bit RIFF, sizes in a ds64 chunk); Sony Wave64 (GUIDs, 64-bit sizes).
enum class EWavContainer
{
    Riff,
    Rf64,
    Wave64,
};

struct SWavShape
{
    uint32_t nRate = 44100;
    uint16_t nChannels = 1;
    uint16_t nBits = 16;
    uint32_t nFrames = 0;
    bool bTrailingChunk = false; // a LIST chunk after the data, as editors write (RIFF only)
    EWavContainer eContainer = EWavContainer::Riff;
};

TBytes MakeWav(const SWavShape& shape);

// One MIDI track body: each event is a delta time and its raw bytes; End closes the track.
class CMidiTrack
{
  public:
    CMidiTrack& Event(uint32_t nDelta, std::initializer_list<uint8_t> raw);
    CMidiTrack& Tempo(uint32_t nDelta, uint32_t nUsPerQuarter);
    CMidiTrack& End(uint32_t nDelta);
    const TBytes& Bytes() const { return m_arrBytes; }

  private:
    TBytes m_arrBytes;
};

TBytes MakeMidi(uint16_t nFormat, uint16_t nDivision, std::initializer_list<CMidiTrack> tracks);

void WriteBytes(const std::string& strPath, const TBytes& bytes);
