// The program's services and settings made of the test doubles, the way main() makes them of the
// real backends: a scripted prompter, a registry in a temporary folder, the recording MIDI
// output on a manual clock, a scripted media-command layer, and the settings over them.
// Programs that include it build ManualClock.cpp, RecorderMidiOut.cpp and
// ScriptedMediaCommands.cpp.
#pragma once

#include "app/Services.h"
#include "app/Settings.h"
#include "tests/ManualClock.h"
#include "tests/RecorderMidiOut.h"
#include "tests/ScriptedMediaCommands.h"
#include "tests/TestSupport.h"

class CTestServices
{
  public:
    CTestServices() = default;
    CTestServices(const CTestServices&) = delete;
    CTestServices& operator=(const CTestServices&) = delete;

    CManualClock clock;
    CRecorderMidiOut midiOut{clock};
    CTempRegistry reg;
    CScriptedPrompter prompter;
    CScriptedMediaCommands mediaCommands;
    CSettings settings{reg.Store(), prompter};

    // All of them as the program hands them down.
    SServices Services() { return {prompter, reg.Store(), midiOut, clock, mediaCommands, {}, {}, {}, {}}; }
    // The same with another MIDI output (a real one, or a recorder of the test's own).
    SServices WithMidiOut(IMidiOut& other)
    {
        return {prompter, reg.Store(), other, clock, mediaCommands, {}, {}, {}, {}};
    }
};
