// MIDI inputs where the system has none: the list is empty and nothing opens.
#pragma once

#include "platform/MidiIn.h"

class CNullMidiIn : public IMidiIn
{
  public:
    std::vector<std::string> PortNames() override { return {}; }
    std::unique_ptr<IMidiInPort> Open(const std::string&, FMidiInMessage) override { return nullptr; }
};
