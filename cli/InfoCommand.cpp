#include "cli/InfoCommand.h"

#include "cli/CliFiles.h"
#include "platform/sndfile/WavLength.h"
#include "project/ProjectPlayer.h"
#include "sound/MidiFile.h"

#include <algorithm>
#include <cstdio>

namespace
{
// A WAV or MID file: its kind and length, as the playlist measures it. False (and told) when the
// file cannot be read as what its name says.
bool PrintMedia(const std::string& strPath, ECliFileKind eKind, const std::vector<uint8_t>& bytes)
{
    if (eKind == ECliFileKind::Wav)
    {
        const std::optional<uint32_t> nLength = WavLengthMs(bytes);
        if (!nLength)
        {
            std::fprintf(stderr, "%s: not a WAV file that can be played\n", strPath.c_str());
            return false;
        }
        std::printf("file: %s\nkind: WAV\nduration_ms: %u\n", strPath.c_str(), *nLength);
        return true;
    }
    SMidiFile file;
    std::string strError;
    if (!ReadMidiFile(bytes, file, strError))
    {
        std::fprintf(stderr, "%s: %s\n", strPath.c_str(), strError.c_str());
        return false;
    }
    std::printf("file: %s\nkind: MIDI\nformat: %d\ntracks: %d\nevents: %zu\nduration_ms: %u\n",
                strPath.c_str(), file.nFormat, file.nTracks, file.events.size(), file.nLengthMs);
    return true;
}
} // namespace

int RunInfo(const std::vector<std::string>& files, IPrompter& prompter)
{
    int nExit = 0;
    for (const std::string& strPath : files)
    {
        std::vector<uint8_t> bytes;
        if (!ReadForCli(strPath, bytes))
        {
            nExit = std::max(nExit, 1);
            continue;
        }
        if (const ECliFileKind eKind = CliFileKind(strPath); eKind != ECliFileKind::Project)
        {
            if (!PrintMedia(strPath, eKind, bytes))
                nExit = 2;
            continue;
        }
        CProjectPlayer project(prompter);
        project.SetData(bytes);
        if (!project.ComputeTotal())
        {
            nExit = 2;
            continue;
        }
        std::printf("file: %s\nversion: %s\nrecords: %lld\nduration_ms: %d\n", strPath.c_str(),
                    project.m_nVersion == 0 ? "0.0" : "0.1", static_cast<long long>(project.RecordsWalked()),
                    project.m_nTotal);
    }
    std::fflush(stdout);
    return nExit;
}
