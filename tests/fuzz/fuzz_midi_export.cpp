// Feeds any bytes, as a project of each version, to the MIDI export: whatever it writes must read
// back with the program's own MIDI reader, as long as the project.
#include "platform/Prompter.h"
#include "project/ProjectFormat.h"
#include "project/ProjectPlayer.h"
#include "sound/MidiExport.h"
#include "sound/MidiFile.h"
#include "tests/fuzz/SilentPrompter.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    CSilentPrompter prompter;
    for (int nVersion : {0, 1})
    {
        std::vector<uint8_t> project = MakeHeader(nVersion);
        project.insert(project.end(), pData, pData + nSize);
        CProjectPlayer player(prompter);
        player.SetData(project);
        const std::optional<std::vector<uint8_t>> file = ExportMidiFile(player);
        const bool bMeasured = player.ComputeTotal();
        if (file.has_value() != bMeasured)
            std::abort();
        if (!file)
            continue;
        SMidiFile midi;
        std::string strError;
        // Our reader takes nothing longer than a day; a project may be.
        const bool bLong = uint64_t(player.m_nTotal) * 1000 > kMaxMidiLengthUs;
        if (!ReadMidiFile(*file, midi, strError))
        {
            if (!bLong)
                std::abort();
            continue;
        }
        if (midi.nLengthMs != uint32_t(player.m_nTotal) || midi.nFormat != 0 || midi.nTracks != 1)
            std::abort();
    }
    return 0;
}
