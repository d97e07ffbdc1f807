#include "cli/ExportMidiCommand.h"

#include "app/FileHelpers.h"
#include "cli/CliFiles.h"
#include "platform/Files.h"
#include "platform/RegistryStore.h"
#include "project/ProjectPlayer.h"
#include "sound/MidiExport.h"

#include <cstdio>

int RunExportMidi(const std::string& strPath, const std::string& strOut, IPrompter& prompter)
{
    if (const ECliFileKind eKind = CliFileKind(strPath); eKind != ECliFileKind::Project)
    {
        std::fprintf(stderr, "%s: a %s file is no project; export-midi takes projects\n", strPath.c_str(),
                     eKind == ECliFileKind::Wav ? "WAV" : "MID");
        return 1;
    }
    std::vector<uint8_t> bytes;
    if (!ReadForCli(strPath, bytes))
        return 1;

    // Writing the file over the project it was made from would lose the project.
    SFileFacts inFacts, outFacts;
    if (LookAtPath(strPath, inFacts) == 0 && LookAtPath(strOut, outFacts) == 0 &&
        inFacts.identity.nDevice == outFacts.identity.nDevice &&
        inFacts.identity.nInode == outFacts.identity.nInode)
    {
        std::fprintf(stderr, "%s: this is the project itself; the MIDI file needs a name of its own\n",
                     strOut.c_str());
        return 1;
    }

    CProjectPlayer project(prompter);
    project.SetData(bytes);
    const std::optional<std::vector<uint8_t>> file = ExportMidiFile(project);
    if (!file)
        return 2;
    int nError = 0;
    if (!WriteWholeFile(strOut, *file, &nError))
    {
        std::fprintf(stderr, "%s: %s\n", strOut.c_str(), SystemErrorText(nError).c_str());
        return 1;
    }
    std::printf("file: %s\nbytes: %zu\n", strOut.c_str(), file->size());
    std::fflush(stdout);
    return 0;
}
