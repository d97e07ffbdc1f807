// The program's one audio stream: every source that sounds (the built-in synthesizer, later
// the oscillator and media files) is mixed into it, 44100 Hz 32-bit float stereo.
#pragma once

#include <functional>
#include <memory>

inline constexpr int kMixRate = 44100;

class IAudioSource
{
  public:
    virtual ~IAudioSource() = default;
    // Adds nFrames interleaved stereo frames to pStereo. Runs on the stream's own thread and
    // must not wait for anything but short locks.
    virtual void Mix(float* pStereo, int nFrames) = 0;
};

class IAudioOut
{
  public:
    virtual ~IAudioOut() = default;
    // Starts mixing the source in (the caller keeps it alive until RemoveSource). False when
    // no stream, not even a silent one, could be started.
    virtual bool AddSource(IAudioSource* pSource) = 0;
    // Returns once the stream no longer touches the source.
    virtual void RemoveSource(IAudioSource* pSource) = 0;
};

using FAudioOutFactory = std::function<std::shared_ptr<IAudioOut>()>;
