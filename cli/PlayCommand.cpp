#include "cli/PlayCommand.h"

#include "app/Settings.h"
#include "app/TextHelpers.h"
#include "cli/CliFiles.h"
#include "platform/Console.h"
#include "project/ProjectPlayer.h"
#include "sound/PlayerThread.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <csignal>
#include <cstdio>

namespace
{
std::atomic<bool> g_bInterrupted{false};

// The first Ctrl+C asks for a clean stop; a second one ends the program the hard way.
void OnInterrupt(int nSignal)
{
    g_bInterrupted = true;
    std::signal(nSignal, SIG_DFL);
}

bool IsMediaFile(const std::string& strPath)
{
    std::optional<std::string> strExt = ExtensionOf(strPath);
    if (!strExt)
        return false;
    std::string strLower = *strExt;
    std::transform(strLower.begin(), strLower.end(), strLower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return strLower == "wav" || strLower == "mid";
}
} // namespace

int RunPlay(const std::string& strPath, std::optional<int> nDevice, const FMidiOutFactory& fMidiOut,
            const FClockFactory& fClock)
{
    if (IsMediaFile(strPath))
    {
        std::fprintf(stderr,
                     "%s: WAV and MID files are not played from the command line yet; "
                     "play them in the window, or give a project (.tgp)\n",
                     strPath.c_str());
        return 1;
    }
    std::vector<uint8_t> bytes;
    if (!ReadForCli(strPath, bytes))
        return 1;
    CProjectPlayer player;
    player.SetData(bytes);
    if (!player.ComputeTotal())
        return 2;

    std::unique_ptr<IMidiOut> pMidiOut = fMidiOut();
    LoadSettings();
    const int nChosen = nDevice.value_or(DeviceIndex);
    if (nDevice && (*nDevice < kMidiMapper || *nDevice >= pMidiOut->DeviceCount()))
    {
        std::fprintf(stderr, "there is no MIDI output %d; 'tonegrove-cli devices' lists them from -1 on\n", *nDevice);
        return 1;
    }

    std::unique_ptr<IClock> pClock = fClock();
    g_bInterrupted = false;
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);

    const bool bTerminal = IsTerminal(stdout);
    const std::string strLength = FormatTime(static_cast<float>(player.m_nTotal));
    float fShown = 0; // a version 0.0 project goes back to 0 at its end; the line does not
    auto ShowPosition = [&](const char* pEnd) {
        fShown = std::max(fShown, static_cast<float>(player.m_fPosition));
        std::printf("\r%s / %s%s", FormatTime(fShown).c_str(), strLength.c_str(), pEnd);
        std::fflush(stdout);
    };

    {
        CPlayerThread thread(player, *pMidiOut, *pClock);
        thread.Start(nChosen);
        while (thread.Running())
        {
            if (g_bInterrupted)
                thread.Stop();
            if (bTerminal)
                ShowPosition("");
            pClock->SleepUntil(pClock->Now() + std::chrono::milliseconds(50), nullptr);
        }
        thread.Join();
        ShowPosition("\n");
        // The last notes were switched off as the thread ended: give their release a moment to
        // reach the speakers before the synthesizer closes.
        pClock->SleepUntil(pClock->Now() + std::chrono::milliseconds(150), nullptr);

        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        switch (thread.LastEnd())
        {
        case EPlayEnd::Finished:
        case EPlayEnd::UnknownType:
            return 0;
        case EPlayEnd::Stopped:
            return g_bInterrupted ? 130 : 0;
        case EPlayEnd::Refused:
        case EPlayEnd::Damaged:
            return 2;
        }
    }
    return 0;
}
