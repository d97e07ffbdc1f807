#include "keyboard/OscillatorKeys.h"

namespace
{
constexpr std::array<SOscillatorKey, kOscillatorKeys> MakeKeys()
{
    std::array<SOscillatorKey, kOscillatorKeys> keys{};
    size_t n = 0;
    auto Add = [&](int nDik, int nVoice) { keys[n++] = {static_cast<uint8_t>(nDik), nVoice}; };
    Add(0x2A, kBaseFrequencyVoice); // Left Shift
    int nVoice = 0;
    for (int nDik = 0x02; nDik <= 0x0D; ++nDik) // 1 to 0, minus, equals: voices 0 to 11
        Add(nDik, nVoice++);
    Add(0x2B, nVoice++);                        // backslash: 12
    for (int nDik = 0x10; nDik <= 0x1B; ++nDik) // Q to P, brackets: 13 to 24
        Add(nDik, nVoice++);
    for (int nDik = 0x1E; nDik <= 0x28; ++nDik) // A to L, semicolon, apostrophe: 25 to 35
        Add(nDik, nVoice++);
    for (int nDik = 0x2C; nDik <= 0x33; ++nDik) // Z to M, comma: 36 to 43
        Add(nDik, nVoice++);
    Add(0x92, nVoice++); // colon: 44
    Add(0x35, nVoice++); // slash: 45
    return keys;
}

constexpr std::array<SOscillatorKey, kOscillatorKeys> kKeys = MakeKeys();
static_assert(kKeys.back().nVoice == kVoiceCount - 1, "one key per voice");
} // namespace

const std::array<SOscillatorKey, kOscillatorKeys>& OscillatorKeys()
{
    return kKeys;
}

VoiceMask HeldVoices(const std::array<uint8_t, 256>& keyState)
{
    VoiceMask voices{};
    for (const SOscillatorKey& key : kKeys)
        if (key.nVoice != kBaseFrequencyVoice && keyState[key.nDik] != 0)
            voices[static_cast<size_t>(key.nVoice)] = true;
    return voices;
}

std::vector<double> HeldRatios(const std::array<uint8_t, 256>& keyState, const VoiceRatioTable& ratios)
{
    std::vector<double> arr;
    for (const SOscillatorKey& key : kKeys)
        if (keyState[key.nDik] != 0)
            arr.push_back(key.nVoice == kBaseFrequencyVoice ? 1.0 : ratios[static_cast<size_t>(key.nVoice)]);
    return arr;
}
