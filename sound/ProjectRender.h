// Renders a project offline into a sound file, as fast as the synthesizer goes. The player runs
// as it does live, but against a clock that is the count of frames rendered, so each record
// reaches the synthesizer on the frame of its millisecond (ms x 44.1, rounded down).
#pragma once

#include "platform/AudioFileWriter.h"
#include "platform/Synthesizer.h"
#include "sound/ProjectPlayback.h"

#include <cstdint>
#include <functional>
#include <span>

// After the last record, the release of the last notes is rendered until every voice has died
// away, but no longer than this.
inline constexpr int32_t kMaxReleaseMs = 5000;

struct SRenderResult
{
    EPlayEnd eEnd = EPlayEnd::Refused;
    bool bWriteFailed = false; // the file could not take every frame; the render stopped there
    int64_t nFrames = 0;       // frames written
};

// fProgress, when given, receives the milliseconds rendered now and then.
SRenderResult RenderProject(std::span<const uint8_t> project, ISynthesizer& synth, IAudioFileWriter& writer,
                            int nRate, const std::function<void(int64_t nDoneMs)>& fProgress);
