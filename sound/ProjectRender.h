// Renders a project offline into a sound file, as fast as the synthesizer goes. The player runs
// as it does live, but against a clock that is the count of frames rendered, so each record
// reaches the synthesizer on the frame of its millisecond (ms x 44.1, rounded down).
#pragma once

#include "platform/AudioFileWriter.h"
#include "platform/Synthesizer.h"
#include "sound/MidiFile.h"
#include "sound/ProjectPlayback.h"

#include <cstdint>
#include <functional>
#include <span>

// After the last record, the release of the last notes is rendered until every voice has died
// away, but no longer than this.
inline constexpr int32_t kMaxReleaseMs = 5000;
// A 16-bit stereo WAV file holds no more than about six and a half hours; a render stops at six,
// whatever the project's delays add up to.
inline constexpr int64_t kMaxRenderMs = 6LL * 3600 * 1000;

struct SRenderResult
{
    EPlayEnd eEnd = EPlayEnd::Refused;
    bool bWriteFailed = false; // the file could not take every frame; the render stopped there
    bool bTooLong = false;     // the render reached kMaxRenderMs and stopped there
    bool bCancelled = false;   // fCancel said so; the file holds what was rendered until then
    int64_t nFrames = 0;       // frames written
};

// fProgress, when given, receives the milliseconds rendered now and then. The render stops at
// nMaxMs of sound, and as soon as fCancel (when given; asked every few thousand frames) holds.
// At the end the last notes are released and ring out, then every channel used is silenced;
// a cancelled render silences at once. A damaged project's message goes to prompter.
// Tone records sound on the oscillator, one of its 44100 Hz samples per frame, added to the
// synthesizer's frames; osc is what the tones before any settings record sound with.
SRenderResult RenderProject(IPrompter& prompter, std::span<const uint8_t> project, ISynthesizer& synth,
                            IAudioFileWriter& writer, int nRate,
                            const std::function<void(int64_t nDoneMs)>& fProgress,
                            int64_t nMaxMs = kMaxRenderMs, const std::function<bool()>& fCancel = {},
                            const SOscSettings& osc = {});

// The same for a Standard MIDI File: each message reaches the synthesizer on the frame of its
// time in the file, and the render lasts to the end of the file's longest track.
SRenderResult RenderMidiFile(const SMidiFile& file, ISynthesizer& synth, IAudioFileWriter& writer, int nRate,
                             const std::function<void(int64_t nDoneMs)>& fProgress,
                             int64_t nMaxMs = kMaxRenderMs, const std::function<bool()>& fCancel = {});
