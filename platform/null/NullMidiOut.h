// MIDI outputs where the system has none: no devices, and "MIDI Mapper" opens a handle that
// takes every message and sounds nothing, so that players still run and keep time. No ports,
// for a system without a MIDI sequencer.
#pragma once

#include "platform/MidiOut.h"
#include "platform/MidiPorts.h"

class CNullMidiOut : public IMidiOut
{
  public:
    int DeviceCount() override { return 0; }
    std::string DeviceName(int) override { return {}; }
    // A silent handle for kMidiMapper; null for any device number.
    std::unique_ptr<IMidiOutHandle> Open(int nDevice) override;
    // Nothing sounds, so nothing is left to silence.
    void Panic() override {}
};

class CNullMidiPorts : public IMidiPorts
{
  public:
    int Count() override { return 0; }
    std::string Name(int) override { return {}; }
    std::unique_ptr<IMidiOutHandle> Open(int) override { return nullptr; }
};
