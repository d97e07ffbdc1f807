// What the whole program plays through, made by main(): the one audio stream, the MIDI outputs
// that sound on it, the clock, and the media-command interpreter over both, so that the
// playlist's MID files, its projects and the live window sound on one built-in synthesizer.
#pragma once

#include "app/Services.h"
#include "app/Settings.h"
#include "platform/AudioOut.h"
#include "platform/MediaCommands.h"
#include "platform/MidiOut.h"
#include "platform/Synthesizer.h"
#include "platform/sdl/SdlAudioOut.h"
#include "platform/std/SteadyClock.h"

#include <functional>
#include <memory>

// A media-command interpreter whose MIDI files play on midiOut and whose WAV files go into the
// stream fAudioOut gives (the program's one stream). midiOut is not owned and must outlive the
// interpreter and every player that uses it.
std::unique_ptr<IMediaCommands> MakeProgramMediaCommands(IMidiOut& midiOut, FAudioOutFactory fAudioOut);

// The system's MIDI outputs on the stream fAudioOut makes, the built-in synthesizer on the
// SoundFont the settings choose at the moment it loads one; fTell hears of a SoundFont that
// could not be loaded (by default standard error does).
std::unique_ptr<IMidiOut> MakeSettingsMidiOut(FAudioOutFactory fAudioOut, const CSettings& settings,
                                              FSoundFontTell fTell = {});

// The real outputs in the order they depend on each other: they end in the reverse order, the
// media commands first and the stream last. Made before, and ended after, every player.
class CProgramOutputs
{
  public:
    // fMakeMidiOut makes the MIDI outputs on the stream it is given (the window's tell the
    // user of a SoundFont that cannot be loaded, the tools' write it to standard error).
    explicit CProgramOutputs(const std::function<std::unique_ptr<IMidiOut>(FAudioOutFactory)>& fMakeMidiOut);
    CProgramOutputs(const CProgramOutputs&) = delete;
    CProgramOutputs& operator=(const CProgramOutputs&) = delete;

    // These outputs with the prompter and the store the program uses.
    SServices Services(IPrompter& prompter, IRegistryStore& registry);
    CSharedSdlAudioOut& AudioOut() { return m_audioOut; }

  private:
    CSharedSdlAudioOut m_audioOut;
    std::unique_ptr<IMidiOut> m_pMidiOut;
    CSteadyClock m_clock;
    std::unique_ptr<IMediaCommands> m_pMediaCommands;
};
