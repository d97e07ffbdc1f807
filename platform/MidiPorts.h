// The system's own MIDI output ports (external synthesizers, software synthesizers that offer
// a port), numbered from 0 in the order the system lists them.
#pragma once

#include "platform/MidiOut.h"

#include <functional>
#include <memory>
#include <string>

class IMidiPorts
{
  public:
    virtual ~IMidiPorts() = default;
    virtual int Count() = 0;
    virtual std::string Name(int nPort) = 0;
    // Null when the port is gone or cannot be opened.
    virtual std::unique_ptr<IMidiOutHandle> Open(int nPort) = 0;
};

using FMidiPortsFactory = std::function<std::unique_ptr<IMidiPorts>()>;
