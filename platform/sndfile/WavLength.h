// Length of a WAV file in whole milliseconds, read with libsndfile: what the waveaudio device
// answers to "status length" (frames * 1000 / rate, rounded down like every length we show).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// The WAV containers the waveaudio device plays: RIFF WAVE (plain or WAVE_FORMAT_EXTENSIBLE),
// RF64 and Sony Wave64, for the format word of libsndfile's SF_INFO. AIFF, FLAC, Ogg and the
// rest that libsndfile also reads are not WAV files, whatever their name says.
bool IsWaveContainer(int nSndFileFormat);

// Nothing when the bytes are not a WAV file (of the containers above) libsndfile can decode. The path must
// name a regular file: libsndfile would wait for ever on a FIFO.
std::optional<uint32_t> WavLengthMs(const std::string& strPath);
std::optional<uint32_t> WavLengthMs(std::span<const uint8_t> bytes);
