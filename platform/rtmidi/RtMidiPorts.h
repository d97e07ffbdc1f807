// The system's MIDI output ports through RtMidi's ALSA sequencer API. No sequencer, or no port,
// is simply an empty list; RtMidi's errors and warnings never reach the console.
#pragma once

#include "platform/MidiPorts.h"

class RtMidiOut;

class CRtMidiPorts : public IMidiPorts
{
  public:
    CRtMidiPorts();
    ~CRtMidiPorts() override;
    int Count() override;
    std::string Name(int nPort) override;
    std::unique_ptr<IMidiOutHandle> Open(int nPort) override;

  private:
    std::unique_ptr<RtMidiOut> m_pList; // only lists the ports; null without a sequencer
};

std::unique_ptr<IMidiPorts> MakeRtMidiPorts();
