#include "sound/ProgramOutputs.h"

#include "platform/RealBackends.h"
#include "platform/curl/CurlUpdateSession.h"
#include "platform/rtmidi/RtMidiIn.h"
#include "platform/sndfile/SndfileWavReader.h"
#include "sound/MciInterpreter.h"
#include "sound/RealMediaBackends.h"
#include "sound/SoundFontChoice.h"

#include <memory>

std::unique_ptr<IMediaCommands> MakeProgramMediaCommands(IMidiOut& midiOut, FAudioOutFactory fAudioOut)
{
    SMediaBackends backends = RealMediaBackends(std::move(fAudioOut));
    // Not owned: main() keeps the program's MIDI output until every player has ended.
    backends.fMidiOut = [&midiOut] { return std::shared_ptr<IMidiOut>(&midiOut, [](IMidiOut*) {}); };
    return std::make_unique<CMciInterpreter>(std::move(backends));
}

CProgramOutputs::CProgramOutputs(
    const std::function<std::unique_ptr<IMidiOut>(FAudioOutFactory)>& fMakeMidiOut)
    : m_pMidiOut(fMakeMidiOut(m_audioOut.Factory())),
      m_pMediaCommands(MakeProgramMediaCommands(*m_pMidiOut, m_audioOut.Factory()))
{
}

SServices CProgramOutputs::Services(IPrompter& prompter, IRegistryStore& registry)
{
    // Nothing is downloaded until the About box asks.
    FUpdateSessionFactory fUpdate = CurlUpdateSessionFactory();
    return SServices{prompter, registry,       *m_pMidiOut, m_clock, *m_pMediaCommands, m_audioOut.Factory(),
                     fUpdate,  OpenSndfileWav, MakeRtMidiIn};
}

std::unique_ptr<IMidiOut> MakeSettingsMidiOut(FAudioOutFactory fAudioOut, const CSettings& settings,
                                              FSoundFontTell fTell)
{
    return MakeSystemMidiOut(
        std::move(fAudioOut), [&settings] { return ChooseSoundFont(settings); }, std::move(fTell));
}
