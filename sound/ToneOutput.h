// One oscillator sounding through its own looping buffer, a source in the program's one audio
// stream. The buffer's play cursor moves with the samples the stream takes, and the region the
// cursor passes is rendered just before the stream takes it, from the voices set at that moment:
// a new chord is heard with the next audio buffer, not a pass of the buffer later.
#pragma once

#include "platform/AudioOut.h"
#include "sound/Oscillator.h"

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class CToneOutput : public IAudioSource
{
  public:
    // The buffer, 4096 samples of silence, not yet in any stream (see Attach).
    CToneOutput();
    // Leaves the stream it was attached to.
    ~CToneOutput() override;
    CToneOutput(const CToneOutput&) = delete;
    CToneOutput& operator=(const CToneOutput&) = delete;

    // Joins the stream fAudioOut gives; false (and the output stays silent) when there is none.
    bool Attach(const FAudioOutFactory& fAudioOut);

    // From the next samples the stream takes: these voices (ratios of the base frequency, in
    // the order they are added) with these settings, until the next call. An empty list is a
    // tone without voices, which the wave shape turns into a constant level.
    void Sound(const SOscSettings& settings, std::vector<double> ratios);
    // The voices fall silent: the buffer stops where it is and the stream hears nothing from it;
    // the next Sound starts every voice from phase 0.
    void Silence();
    // A pause: silent as Silence, but Resume goes on with the same voices where they were held.
    void Hold();
    void Resume();
    // A stop: the buffer plays what it holds once more, a whole pass, and falls silent.
    void PlayOut();
    bool Playing() const;

    void Mix(float* pStereo, int nFrames) override;

    // For tests, under no stream: the buffer's bytes and its play cursor.
    uint32_t PlayCursor() const;
    std::array<uint8_t, kToneBufferBytes> Samples() const;

  private:
    enum class EState
    {
        Stopped, // nothing is taken; the cursor holds
        Looping, // rendered as it is taken
        PlayOut, // what the buffer holds, for m_nPlayOutLeft more samples
    };
    void Take(float* pStereo, uint32_t nSamples);
    // With the lock held: the buffer stops where its cursor stands.
    void Stop();

    mutable std::mutex m_mutex; // everything below, shared with the stream's thread
    std::array<uint8_t, kToneBufferBytes> m_arrBuffer;
    COscillator m_osc;
    std::vector<double> m_arrRatios;
    EState m_eState = EState::Stopped;
    uint32_t m_dwPlayCursor = 0;
    uint32_t m_nPlayOutLeft = 0;
    std::shared_ptr<IAudioOut> m_pStream;
};
