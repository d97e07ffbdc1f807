#include "cli/PlayCommand.h"

#include "app/Messages.h"
#include "app/Settings.h"
#include "app/TextHelpers.h"
#include "cli/CliFiles.h"
#include "platform/Console.h"
#include "platform/Prompter.h"
#include "platform/TerminationSignals.h"
#include "platform/sndfile/SndfileWavReader.h"
#include "project/ProjectPlayer.h"
#include "sound/MciInterpreter.h"
#include "sound/MciPlayer.h"
#include "sound/PlayerThread.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace
{

// The output to play on: the one asked for, or the user's setting. False (and told) when there
// is no such output.
bool ChooseDevice(std::optional<int> nDevice, CSettings& settings, IMidiOut& midiOut, int& nChosen)
{
    settings.Load();
    nChosen = nDevice.value_or(settings.DeviceIndex);
    if (nDevice && (*nDevice < kMidiMapper || *nDevice >= midiOut.DeviceCount()))
    {
        std::fprintf(stderr, "there is no MIDI output %d; 'tonegrove-cli devices' lists them from -1 on\n",
                     *nDevice);
        return false;
    }
    return true;
}

// The output chosen on the command line, reached where the sequencer asks for "MIDI Mapper".
class CChosenMidiOut : public IMidiOut
{
  public:
    CChosenMidiOut(std::unique_ptr<IMidiOut> pOut, int nDevice) : m_pOut(std::move(pOut)), m_nDevice(nDevice)
    {
    }
    int DeviceCount() override { return m_pOut->DeviceCount(); }
    std::string DeviceName(int nDevice) override { return m_pOut->DeviceName(nDevice); }
    std::unique_ptr<IMidiOutHandle> Open(int) override { return m_pOut->Open(m_nDevice); }
    void Panic() override { m_pOut->Panic(); }

  private:
    std::unique_ptr<IMidiOut> m_pOut;
    int m_nDevice;
};

// A WAV or MID file through the media player, as the window plays a media row: its thread, the
// media commands, the audio stream or the MIDI output.
int PlayMedia(const std::string& strPath, IPrompter& prompter, std::shared_ptr<IMidiOut> pMidiOut,
              const FClockFactory& fClock, const FAudioOutFactory& fAudioOut)
{
    SMediaBackends backends;
    backends.fAudioOut = fAudioOut;
    backends.fOpenWav = OpenSndfileWav;
    backends.fMidiOut = [pMidiOut] { return pMidiOut; };
    backends.fClock = [fClock] { return std::shared_ptr<IClock>(fClock()); };
    CMciInterpreter layer(std::move(backends));
    std::unique_ptr<IClock> pClock = fClock();
    CMciPlayer player(layer, prompter, pClock.get());

    // Measured first, as the playlist does: a file that cannot be opened has had its message
    // and is not played.
    constexpr int32_t kAlias = 0;
    player.Open(strPath, kAlias);
    const std::string strMode = player.GetMode(kAlias);
    const std::string strLength = FormatTime(player.GetLength(kAlias));
    player.Close(kAlias);
    if (strMode.empty())
        return 1;

    CTerminationSignals signals;
    const bool bTerminal = IsTerminal(stdout);
    float fShown = 0;
    auto ShowPosition = [&](const char* pEnd)
    {
        fShown = std::max(fShown, static_cast<float>(player.m_fPosition));
        std::printf("\r%s / %s%s", FormatTime(fShown).c_str(), strLength.c_str(), pEnd);
        std::fflush(stdout);
    };

    player.Play(kAlias, strPath);
    bool bStopped = false;
    while (player.ThreadRunning())
    {
        if (signals.Seen() && !bStopped)
        {
            player.Stop(kAlias); // the device falls silent, the thread closes it and ends
            bStopped = true;
        }
        if (bTerminal)
            ShowPosition("");
        pClock->SleepUntil(pClock->Now() + std::chrono::milliseconds(50), nullptr);
    }
    player.Shutdown();
    if (!bStopped)
        fShown = player.m_fLength; // played to the end: the last poll may have come just before it
    ShowPosition("\n");
    // Let the release of the last notes reach the speakers before the outputs close.
    pClock->SleepUntil(pClock->Now() + std::chrono::milliseconds(150), nullptr);
    return bStopped ? CTerminationSignals::ExitCode(signals.Seen()) : 0;
}
} // namespace

int RunPlay(const std::string& strPath, std::optional<int> nDevice, CSettings& settings, IPrompter& prompter,
            const FMidiOutFactory& fMidiOut, const FClockFactory& fClock, const FAudioOutFactory& fAudioOut)
{
    if (CliFileKind(strPath) != ECliFileKind::Project)
    {
        std::unique_ptr<IMidiOut> pMidiOut = fMidiOut();
        int nChosen = 0;
        if (!ChooseDevice(nDevice, settings, *pMidiOut, nChosen))
            return 1;
        // Media files play where the window plays them, on "MIDI Mapper", unless told otherwise.
        nChosen = nDevice.value_or(kMidiMapper);
        // A MID file on an output that cannot open (no SoundFont at all) would play silently to
        // its end: say so and give up, as a project does.
        if (CliFileKind(strPath) == ECliFileKind::Midi && !pMidiOut->Open(nChosen))
        {
            ShowMessage(prompter, Msg::kMidiOpenFailed, Msg::kMidiErrorCaption, EIcon::Warning);
            return 1;
        }
        return PlayMedia(strPath, prompter, std::make_shared<CChosenMidiOut>(std::move(pMidiOut), nChosen),
                         fClock, fAudioOut);
    }
    std::vector<uint8_t> bytes;
    if (!ReadForCli(strPath, bytes))
        return 1;
    CProjectPlayer player(prompter);
    player.SetData(bytes);
    if (!player.ComputeTotal())
        return 2;

    std::unique_ptr<IMidiOut> pMidiOut = fMidiOut();
    int nChosen = 0;
    if (!ChooseDevice(nDevice, settings, *pMidiOut, nChosen))
        return 1;

    std::unique_ptr<IClock> pClock = fClock();
    CTerminationSignals signals;

    const bool bTerminal = IsTerminal(stdout);
    const std::string strLength = FormatTime(static_cast<float>(player.m_nTotal));
    float fShown = 0; // a version 0.0 project goes back to 0 at its end; the line does not
    auto ShowPosition = [&](const char* pEnd)
    {
        fShown = std::max(fShown, static_cast<float>(player.m_fPosition));
        std::printf("\r%s / %s%s", FormatTime(fShown).c_str(), strLength.c_str(), pEnd);
        std::fflush(stdout);
    };

    {
        CPlayerThread thread(player, *pMidiOut, *pClock, true, fAudioOut);
        thread.Start(nChosen, OscSettingsOf(settings));
        while (thread.Running())
        {
            if (signals.Seen())
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

        if (signals.Seen())
            return CTerminationSignals::ExitCode(signals.Seen());
        switch (thread.LastEnd())
        {
        case EPlayEnd::Finished:
        case EPlayEnd::UnknownType:
        case EPlayEnd::Stopped:
            // Played, but to no device: the user heard nothing, and a script must know.
            return thread.LastDeviceFailed() ? 1 : 0;
        case EPlayEnd::Refused:
        case EPlayEnd::Damaged:
            return 2;
        }
    }
    return 0;
}
