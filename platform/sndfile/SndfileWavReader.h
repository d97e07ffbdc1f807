// WAV files read with libsndfile, for the waveaudio device.
#pragma once

#include "platform/WavReader.h"

// An FWavOpener: null for a file libsndfile cannot open, of another container than the WAV
// ones (IsWaveContainer), or with a header that gives no rate, no channels or a negative length.
std::unique_ptr<IWavReader> OpenSndfileWav(const std::string& strPath);
