// Feeds any bytes to the project checks, the record walker and the playing-time sum, and plays
// the first moments of them, tones included, through the render; and reads them as the piano
// roll draws them.
#include "platform/Prompter.h"
#include "platform/null/NullSynthesizer.h"
#include "project/ProjectFormat.h"
#include "project/ProjectPlayer.h"
#include "roll/NoteList.h"
#include "sound/ProjectRender.h"
#include "tests/fuzz/SilentPrompter.h"

#include <cmath>
#include <cstdlib>

namespace
{
// Every frame must be a number: the oscillator's samples are bytes, whatever the settings.
class CCheckingWriter : public IAudioFileWriter
{
  public:
    bool Write(const float* pStereo, int nFrames) override
    {
        for (int i = 0; i < 2 * nFrames; ++i)
            if (!std::isfinite(pStereo[i]) || std::abs(pStereo[i]) > 1.0f)
                std::abort();
        return true;
    }
    bool Close() override { return true; }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    CSilentPrompter prompter;

    // The bytes as a whole project, and as a stream of each version.
    std::vector<uint8_t> project(pData, pData + nSize);
    CProjectPlayer player(prompter);
    player.SetData(project);
    player.ComputeTotal();

    for (int nVersion : {0, 1})
    {
        size_t nEnd = 0;
        SWalkResult result =
            WalkRecords(nVersion, std::span(pData, nSize),
                        [&](const SRecord& r)
                        {
                            if (r.nOffset != nEnd || r.nSize == 0 || r.nOffset + r.nSize > nSize)
                                std::abort();
                            nEnd = r.nOffset + r.nSize;
                            return true;
                        });
        if (result.eEnd == EWalkEnd::End && result.nOffset != nSize)
            std::abort();
    }

    // The piano roll's list: notes in time order within their own span, record times in order,
    // and the search structures consistent with them.
    const SNoteList list = BuildProjectNoteList(project);
    for (size_t i = 0; i < list.notes.size(); ++i)
    {
        const SRollNote& note = list.notes[i];
        if (note.nEndMs < note.nStartMs || note.nEndMs > list.nLengthMs || note.nPitch > 127 ||
            note.nChannel > 15 || (i > 0 && list.notes[i - 1].nStartMs > note.nStartMs) ||
            list.reachEnd[i] < note.nEndMs)
            std::abort();
    }
    for (size_t i = 1; i < list.recordTimes.size(); ++i)
        if (list.recordTimes[i] < list.recordTimes[i - 1])
            std::abort();
    const SIndexRange range = VisibleNotes(list, list.nLengthMs / 3, list.nLengthMs / 2);
    if (range.nFirst > range.nLast || range.nLast > list.notes.size())
        std::abort();

    // A few hundred milliseconds of it played, as the render plays a project.
    CNullSynthesizer synth;
    CCheckingWriter writer;
    RenderProject(prompter, project, synth, writer, 44100, {}, 250);
    return 0;
}
