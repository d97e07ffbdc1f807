// The oscillator synthesizer: 46 voices at fixed intervals above and below a base frequency,
// computed with one of two frequency-modulation formulas into 8-bit samples (128 = silence) of a
// 4096-byte looping buffer at 44100 Hz, region by region behind the buffer's play cursor.
#pragma once

#include "app/Semitones.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

inline constexpr int kVoiceCount = 46;
inline constexpr int kMaskBytes = 6;
inline constexpr uint32_t kToneBufferBytes = 4096;
inline constexpr int kToneRate = 44100;
inline constexpr uint8_t kToneSilence = 128;

using VoiceMask = std::array<bool, kVoiceCount>;
using VoiceRatioTable = std::array<double, kVoiceCount>;

// Voice k sounds at the base frequency times entry k. Some intervals occur twice (11 and 36;
// 40, 41 and 42) and 17 and 18 are in the order +19, +18, as the tone records were made with.
VoiceRatioTable ComputeVoiceRatios(const SemitoneTable& semitones);

// A tone record's six mask bytes: voice k is bit k % 8 (least significant first) of byte k / 8;
// bits 46 and 47 belong to no voice and are ignored.
VoiceMask DecodeVoices(const uint8_t mask[kMaskBytes]);
void EncodeVoices(const VoiceMask& voices, uint8_t mask[kMaskBytes]);
// The ratios of the voices that are on, in the order of the table.
std::vector<double> MaskRatios(const VoiceMask& voices, const VoiceRatioTable& ratios);

// What shapes the sound: the settings Frequency, Volume, Synth, SynthMode and OscilatorMode, or
// a project's settings record.
struct SOscSettings
{
    float fFrequency = 440;
    float fVolume = 1;
    float fResonance = 1;
    int32_t nSynthMode = 0; // 0 formula "A", 1 formula "B"; others compute nothing
    int32_t nOscMode = 0;   // 0 "Sin", 1 "Square"; others leave the samples at 128
    bool operator==(const SOscSettings&) const = default;
};
class CSettings;
// The user's settings as the oscillator takes them.
SOscSettings OscSettingsOf(const CSettings& settings);
// A settings record's five numbers (frequency, volume, resonance x 1000, formula, wave). The
// resonance keeps its thousandths: it was stored times 1000 to keep them.
SOscSettings OscSettingsFromRecord(const int32_t values[5]);
// The record's numbers for these settings (frequency and volume as whole numbers).
std::array<int32_t, 5> OscSettingsRecordValues(const SOscSettings& settings);

// The render state of one oscillator over one sample block. Members keep the names of the
// formulas' terms; the block (m_pSamples) is the looping buffer's memory.
class COscillator
{
  public:
    explicit COscillator(uint8_t* pSamples);

    // The settings of the next renders, and the phase step of the base frequency.
    void SetSettings(const SOscSettings& settings);

    // Rewrites the samples the play cursor has passed since the last refill: from m_nFrom up to
    // nPlayCursor - 1, across the block's end when the cursor has wrapped. Equal cursors render
    // nothing. ratios: the voices that sound, as multiples of the base frequency.
    void Refill(uint32_t nPlayCursor, std::span<const double> ratios);

    // Samples m_nFrom to m_nTo: cleared to 128, every voice added to the mix, quantized; the
    // sample base runs on while a voice sounds and returns to 0 when none does.
    void RenderVoices(std::span<const double> ratios);
    // Adds one voice of phase step w (radians per sample) to the mix of m_nFrom..m_nTo.
    void RenderVoice(double w);
    // The mix of m_nFrom..m_nTo into sample bytes, by the wave shape and the volume.
    void QuantizeSamples();

    uint8_t* m_pSamples;
    std::vector<float> m_pMix;
    uint32_t m_dwLastCursor = 0;
    uint32_t m_nFrom = 0;
    uint32_t m_nTo = 0;
    float m_fFrequency = 0;
    float m_fVolume = 0;
    float m_fResonance = 0;
    int32_t m_nSynthMode = 0;
    int32_t m_nOscMode = 0;
    float m_fPhaseStep = 0;
    int64_t m_nSampleCount = 0;
    int64_t m_nSampleBase = 0;
    double m_dPhase1 = 0;
    double m_dPhase2 = 0;
    double m_dPhase3 = 0;
    float m_fStep3 = 0;
    int32_t m_nDepth = 200;
    float m_fStep2 = 0;
    int32_t m_nRatioNum = 29;
    int32_t m_nRatioDen = 10;
    float m_fSign = 0;
    float m_fSample = 0;
    bool m_bSilent = true;
    int m_nVoices = 0;
};
