// The services the program works through, made by main() (real backends, or null ones where a
// device is missing) or by a test (doubles), and handed to the constructors that use them.
#pragma once

#include "app/FileHelpers.h"
#include "platform/AudioOut.h"
#include "platform/Clock.h"
#include "platform/MediaCommands.h"
#include "platform/MidiIn.h"
#include "platform/MidiOut.h"
#include "platform/Prompter.h"
#include "platform/RegistryStore.h"
#include "platform/UpdateSession.h"
#include "platform/WavReader.h"

struct SServices
{
    IPrompter& prompter;           // every modal question and message
    IRegistryStore& registry;      // where the settings live
    IMidiOut& midiOut;             // the program's MIDI outputs, shared by playlist and live play
    IClock& clock;                 // time for players, the live keyboard and the transport
    IMediaCommands& mediaCommands; // the media player's one door to its devices
    FAudioOutFactory audioOut;     // the one audio stream, for the oscillator's tones (none: silent)
    FUpdateSessionFactory update;  // the About box's downloads from the update server (none: no check)
    FWavOpener openWav;            // reads WAV files for the panel's waveform (none: not drawn)
    FMidiInFactory midiIn;         // the system's MIDI inputs, for the live window (none: no input)
    // The help pages and the key pictures: read, never written (see DataFolder).
    std::string dataFolder = DataFolder();
};
