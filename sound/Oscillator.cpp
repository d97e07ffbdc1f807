#include "sound/Oscillator.h"

#include "app/Settings.h"

#include <algorithm>
#include <cmath>

VoiceRatioTable ComputeVoiceRatios(const SemitoneTable& s)
{
    VoiceRatioTable r{};
    for (int k = 1; k <= 11; ++k)
    {
        r[static_cast<size_t>(k - 1)] = s[static_cast<size_t>(k)];        // voices 0..10: +1..+11
        r[static_cast<size_t>(24 + k)] = 0.5 * s[static_cast<size_t>(k)]; // voices 25..35: -11..-1
    }
    r[11] = 2;
    for (int k = 1; k <= 5; ++k)
        r[static_cast<size_t>(11 + k)] = 2 * s[static_cast<size_t>(k)]; // voices 12..16: +13..+17
    r[17] = 2 * s[7];
    r[18] = 2 * s[6];
    for (int k = 7; k <= 11; ++k)
        r[static_cast<size_t>(12 + k)] = 2 * s[static_cast<size_t>(k)]; // voices 19..23: +19..+23
    r[24] = 0.5;
    r[36] = 2;
    for (int k = 1; k <= 4; ++k)
        r[static_cast<size_t>(36 + k)] = 2 * s[static_cast<size_t>(k)]; // voices 37..40: +13..+16
    r[41] = 2 * s[4];
    r[42] = 2 * s[4];
    r[43] = 2 * s[5];
    r[44] = 2 * s[6];
    r[45] = 2 * s[7];
    return r;
}

VoiceMask DecodeVoices(const uint8_t mask[kMaskBytes])
{
    VoiceMask voices{};
    for (int k = 0; k < kVoiceCount; ++k)
        voices[static_cast<size_t>(k)] = (mask[k / 8] >> (k % 8)) & 1;
    return voices;
}

void EncodeVoices(const VoiceMask& voices, uint8_t mask[kMaskBytes])
{
    std::fill(mask, mask + kMaskBytes, uint8_t{0});
    for (int k = 0; k < kVoiceCount; ++k)
        if (voices[static_cast<size_t>(k)])
            mask[k / 8] = static_cast<uint8_t>(mask[k / 8] | (1 << (k % 8)));
}

std::vector<double> MaskRatios(const VoiceMask& voices, const VoiceRatioTable& ratios)
{
    std::vector<double> arr;
    for (size_t k = 0; k < voices.size(); ++k)
        if (voices[k])
            arr.push_back(ratios[k]);
    return arr;
}

SOscSettings OscSettingsOf(const CSettings& s)
{
    return {s.Frequency, s.Volume, s.Synth, s.SynthMode, s.OscilatorMode};
}

SOscSettings OscSettingsFromRecord(const int32_t values[5])
{
    SOscSettings settings;
    settings.fFrequency = static_cast<float>(values[0]);
    settings.fVolume = static_cast<float>(values[1]);
    settings.fResonance = static_cast<float>(values[2]) / 1000.0f;
    settings.nSynthMode = values[3];
    settings.nOscMode = values[4];
    return settings;
}

std::array<int32_t, 5> OscSettingsRecordValues(const SOscSettings& settings)
{
    auto Whole = [](double d) { return static_cast<int32_t>(std::clamp(std::lround(d), 0L, 0x7FFFFFFFL)); };
    return {Whole(settings.fFrequency), Whole(settings.fVolume), Whole(double(settings.fResonance) * 1000),
            settings.nSynthMode, settings.nOscMode};
}

COscillator::COscillator(uint8_t* pSamples) : m_pSamples(pSamples), m_pMix(kToneBufferBytes, 0.0f) {}

void COscillator::SetSettings(const SOscSettings& settings)
{
    m_fFrequency = settings.fFrequency;
    m_fVolume = settings.fVolume;
    m_fResonance = settings.fResonance;
    m_nSynthMode = settings.nSynthMode;
    m_nOscMode = settings.nOscMode;
    m_fPhaseStep = m_fFrequency * 6.2831855f / 44100.0f;
}

void COscillator::Refill(uint32_t nPlayCursor, std::span<const double> ratios)
{
    nPlayCursor %= kToneBufferBytes;
    if (m_dwLastCursor < nPlayCursor)
    {
        m_nTo = nPlayCursor - 1;
        RenderVoices(ratios);
        m_nFrom = nPlayCursor;
    }
    else if (m_dwLastCursor > nPlayCursor)
    {
        // Up to the block's end, then the start the cursor has passed since it wrapped: the
        // stream takes these samples next.
        m_nTo = kToneBufferBytes - 1;
        RenderVoices(ratios);
        m_nFrom = 0;
        if (nPlayCursor > 0)
        {
            m_nTo = nPlayCursor - 1;
            RenderVoices(ratios);
            m_nFrom = nPlayCursor;
        }
    }
    m_dwLastCursor = nPlayCursor;
}

void COscillator::RenderVoices(std::span<const double> ratios)
{
    if (m_nFrom > m_nTo || m_nTo >= kToneBufferBytes)
        return;
    std::fill(m_pMix.begin() + m_nFrom, m_pMix.begin() + m_nTo + 1, 0.0f);
    std::fill(m_pSamples + m_nFrom, m_pSamples + m_nTo + 1, kToneSilence);
    m_bSilent = true;
    m_nVoices = 0;
    for (double dRatio : ratios)
        RenderVoice(static_cast<double>(m_fPhaseStep) * dRatio);
    QuantizeSamples();
    if (m_bSilent)
        m_nSampleCount = m_nSampleBase = 0;
    else
        m_nSampleCount = m_nSampleBase = m_nSampleBase + (m_nTo - m_nFrom + 1);
}

void COscillator::RenderVoice(double w)
{
    const double b = static_cast<double>(m_nSampleBase);
    m_dPhase1 = b * w;
    m_dPhase2 = static_cast<double>(m_fStep2) * b;
    m_fStep3 = static_cast<float>(static_cast<double>(m_fResonance) * w);
    m_dPhase3 = static_cast<double>(m_fStep3) * b;
    m_bSilent = false;

    // The phases run in locals and are stored back once: the loop is the oscillator's whole cost.
    double dPhase1 = m_dPhase1;
    double dPhase2 = m_dPhase2;
    double dPhase3 = m_dPhase3;
    const double dStep2 = m_fStep2;
    const double dStep3 = m_fStep3;
    const double d = m_nDepth / 100.0;
    const double q = static_cast<double>(m_nRatioNum) / m_nRatioDen;
    float* pMix = m_pMix.data();
    const uint32_t nFrom = m_nFrom;
    const uint32_t nTo = m_nTo;
    if (m_nSynthMode == 0)
    {
        for (uint32_t i = nFrom; i <= nTo; ++i)
        {
            const double v =
                std::cos(d * std::sin(dPhase3 + std::cos(dPhase3 - q * std::sin(dPhase1))) + dPhase2);
            pMix[i] = static_cast<float>(pMix[i] + v);
            dPhase1 += w;
            dPhase2 += dStep2;
            dPhase3 += dStep3;
        }
    }
    else if (m_nSynthMode == 1)
    {
        for (uint32_t i = nFrom; i <= nTo; ++i)
        {
            const double f = std::cos(q * std::sin(dPhase3));
            const double v = std::cos(dPhase1 + d * f * std::sin(std::cos(dPhase1) + dPhase2));
            pMix[i] = static_cast<float>(pMix[i] + v);
            dPhase1 += w;
            dPhase2 += dStep2;
            dPhase3 += dStep3;
        }
    }
    else
    {
        const double n = static_cast<double>(nTo - nFrom + 1);
        dPhase1 += n * w;
        dPhase2 += n * dStep2;
        dPhase3 += n * dStep3;
    }
    m_dPhase1 = dPhase1;
    m_dPhase2 = dPhase2;
    m_dPhase3 = dPhase3;
    ++m_nVoices;
}

void COscillator::QuantizeSamples()
{
    if (m_nOscMode != 0 && m_nOscMode != 1)
        return;
    for (uint32_t i = m_nFrom; i <= m_nTo; ++i)
    {
        const float x = m_pMix[i];
        if (m_nOscMode == 0)
            m_fSample = (m_fVolume * x + 1) * 128;
        else
        {
            m_fSign = x < 0 ? -1.0f : 1.0f;
            m_fSample = (m_fSign * m_fVolume + 1) * 128;
        }
        // NaN (a volume or frequency no one would set) counts as silence, not as a wild byte.
        const float fClipped = std::isnan(m_fSample) ? 128.0f : std::clamp(m_fSample, 0.0f, 255.0f);
        m_pSamples[i] = static_cast<uint8_t>(fClipped);
    }
}
