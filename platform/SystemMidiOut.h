// The program's MIDI outputs on this system: device 0 is the built-in synthesizer "Tonegrove
// Synth", sounding through the one audio stream; devices 1 and up are the system's MIDI ports;
// "MIDI Mapper" (-1) reaches the built-in synthesizer. Every handle opened on device 0 plays on
// the same synthesizer. Every handle is known to the outputs while it is open, so that a panic
// reaches what each of them holds; each port opened during the run is remembered by its name.
#pragma once

#include "platform/AudioOut.h"
#include "platform/MidiOut.h"
#include "platform/MidiPorts.h"
#include "platform/Synthesizer.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

inline constexpr const char* kBuiltInSynthName = "Tonegrove Synth";

using FSynthFactory = std::function<std::unique_ptr<ISynthesizer>()>;

class CSynthDevice;
class CDeviceHandles;

class CSystemMidiOut : public IMidiOut
{
  public:
    // The synthesizer and the audio stream are made when device 0 is first opened, and kept.
    // fSoundFont, when given, names the SoundFont chosen now: the synthesizer made was loaded
    // with it, and SoundFontChanged() loads a new choice into the synthesizer playing.
    CSystemMidiOut(FSynthFactory fSynth, FAudioOutFactory fAudioOut, FMidiPortsFactory fPorts,
                   std::function<std::string()> fSoundFont = {});
    ~CSystemMidiOut() override;

    int DeviceCount() override;
    std::string DeviceName(int nDevice) override;
    std::unique_ptr<IMidiOutHandle> Open(int nDevice) override;
    void SoundFontChanged() override;
    void Panic() override;

  private:
    // The index of the port named strName now; -1 when it is gone.
    int PortIndexLocked(const std::string& strName);

    FSynthFactory m_fSynth;
    FAudioOutFactory m_fAudioOut;
    std::unique_ptr<IMidiPorts> m_pPorts;
    std::mutex m_mutex; // players open their outputs on their own threads
    std::shared_ptr<CSynthDevice> m_pSynthDevice;
    std::function<std::string()> m_fSoundFont;
    std::string m_strSoundFont; // what the synthesizer playing was loaded with
    std::mutex m_portsMutex;    // the port list is asked from the players' threads and the window's
    // What a panic reaches, under m_openedMutex: m_mutex may be held for a while as a
    // synthesizer loads its SoundFont, and a panic must not wait for that. The synthesizer's two
    // are set under both, so Open() reads them under m_mutex alone.
    std::mutex m_openedMutex;
    std::shared_ptr<CSynthDevice> m_pOpenedSynth;
    std::shared_ptr<CDeviceHandles> m_pSynthHandles;
    std::vector<std::pair<std::string, std::shared_ptr<CDeviceHandles>>> m_arrOpenedPorts;
};
