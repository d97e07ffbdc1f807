// Length of a WAV file in whole milliseconds, read with libsndfile: what the waveaudio device
// answers to "status length" (frames * 1000 / rate, rounded down like every length we show).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// Nothing when the bytes are not a RIFF WAVE file libsndfile can decode. The path must name a
// regular file: libsndfile would wait for ever on a FIFO.
std::optional<uint32_t> WavLengthMs(const std::string& strPath);
std::optional<uint32_t> WavLengthMs(std::span<const uint8_t> bytes);
