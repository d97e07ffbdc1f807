// tonegrove-cli: the engine without a window, for scripts and checks.
#include "app/Settings.h"
#include "cli/DevicesCommand.h"
#include "cli/EditCommand.h"
#include "cli/ExportMidiCommand.h"
#include "cli/InfoCommand.h"
#include "cli/PlayCommand.h"
#include "cli/RenderCommand.h"
#include "platform/Prompter.h"
#include "platform/sdl/SdlAudioOut.h"
#include "platform/std/SteadyClock.h"
#include "platform/xdg/FileRegistryStore.h"
#include "sound/ProgramOutputs.h"

#include <CLI/CLI.hpp>
#include <clocale>
#include <optional>

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    CLI::App app{"Tonegrove without a window"};
    app.require_subcommand(1);

    std::vector<std::string> infoFiles;
    CLI::App* pInfo = app.add_subcommand(
        "info", "Version, records and playing time of project files; kind and length of WAV, MID");
    pInfo->add_option("files", infoFiles, "Project (.tgp), WAV or MID files")->required();

    CLI::App* pDevices = app.add_subcommand("devices", "The MIDI outputs, as the Options page lists them");

    std::string strPlayFile;
    std::optional<int> nPlayDevice;
    CLI::App* pPlay =
        app.add_subcommand("play", "Play a project, WAV or MID file in real time (Ctrl+C stops)");
    pPlay->add_option("file", strPlayFile, "Project (.tgp), WAV or MID file")->required();
    pPlay->add_option("--device", nPlayDevice,
                      "MIDI output: -1 MIDI Mapper, 0 the built-in synthesizer, ...");

    std::string strRenderFile, strRenderOut, strSoundFont;
    CLI::App* pRender = app.add_subcommand("render", "Render a project or MID file into a WAV file, offline");
    pRender->add_option("file", strRenderFile, "Project (.tgp) or MID file")->required();
    pRender->add_option("-o,--output", strRenderOut, "WAV file to write")->required();
    pRender->add_option("--soundfont", strSoundFont,
                        "SoundFont (.sf2) instead of the built-in synthesizer's");

    std::string strExportFile, strExportOut;
    CLI::App* pExportMidi = app.add_subcommand("export-midi", "Export a project as a Standard MIDI File");
    pExportMidi->add_option("file", strExportFile, "Project (.tgp)")->required();
    pExportMidi->add_option("-o,--output", strExportOut, "MID file to write")->required();
    SEditArgs editArgs;
    CLI::App* pEdit = AddEditCommand(app, editArgs);

    CLI11_PARSE(app, argc, argv);

    if (pEdit->parsed())
    {
        TakeEditSteps(*pEdit, editArgs);
        return RunEdit(editArgs);
    }

    // Messages go to standard error; the settings are the window's, in the user's XDG folders.
    CStderrPrompter prompter;
    CFileRegistryStore registry(CFileRegistryStore::DefaultUserFolder(),
                                CFileRegistryStore::DefaultMachineFolder());
    CSettings settings(registry, prompter);
    // The real outputs, made only when a command needs them.
    // The synthesizer and the media files mix into one stream.
    CSharedSdlAudioOut audioOut;
    const FAudioOutFactory fAudioOut = audioOut.Factory();
    const FMidiOutFactory fMidiOut = [&settings, fAudioOut]
    { return MakeSettingsMidiOut(fAudioOut, settings); };
    const FClockFactory fClock = MakeSteadyClock;

    if (pInfo->parsed())
        return RunInfo(infoFiles, prompter);
    if (pDevices->parsed())
        return RunDevices(fMidiOut);
    if (pPlay->parsed())
        return RunPlay(strPlayFile, nPlayDevice, settings, prompter, fMidiOut, fClock, fAudioOut);
    if (pRender->parsed())
        return RunRender(strRenderFile, strRenderOut, strSoundFont, settings, prompter);
    if (pExportMidi->parsed())
        return RunExportMidi(strExportFile, strExportOut, prompter);
    return 0;
}
