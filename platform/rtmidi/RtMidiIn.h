// The system's MIDI inputs through RtMidi's ALSA sequencer API. No sequencer, or no port, is an
// empty list; RtMidi's errors and warnings never reach the console.
#pragma once

#include "platform/MidiIn.h"

#include <memory>
#include <string>
#include <vector>

class RtMidiIn;

class CRtMidiIn : public IMidiIn
{
  public:
    CRtMidiIn();
    ~CRtMidiIn() override;
    std::vector<std::string> PortNames() override;
    // A port is found by its whole name first; failing that by its name without the
    // sequencer's client:port numbers, which change when a device is plugged in again.
    std::unique_ptr<IMidiInPort> Open(const std::string& strName, FMidiInMessage fMessage) override;

  private:
    std::unique_ptr<RtMidiIn> m_pList; // only lists the ports; null without a sequencer
};

std::unique_ptr<IMidiIn> MakeRtMidiIn();

// strName without a trailing " client:port" of the ALSA sequencer.
std::string MidiPortBaseName(const std::string& strName);
