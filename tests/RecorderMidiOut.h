// A MIDI output for tests: every message sent, with the clock's time and the handle it came
// through; devices that fail to open on request.
#pragma once

#include "platform/Clock.h"
#include "platform/MidiOut.h"
#include "platform/SoundingNotes.h"

#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <vector>

struct SSent
{
    std::chrono::nanoseconds tTime;
    uint32_t dwMessage;
    int nHandle; // 1 for the first handle opened, 2 for the next...; 0 the output's own (a panic)
    int64_t Ms() const { return std::chrono::duration_cast<std::chrono::milliseconds>(tTime).count(); }
};

class CRecorderMidiOut : public IMidiOut
{
  public:
    explicit CRecorderMidiOut(IClock& clock, std::vector<std::string> arrNames = {"Recorder"});

    int DeviceCount() override;
    std::string DeviceName(int nDevice) override;
    // Device -1 is device 0, as "MIDI Mapper" is on the real outputs.
    std::unique_ptr<IMidiOutHandle> Open(int nDevice) override;
    // As the system's outputs do it: each open handle's sounding notes switched off through that
    // handle, then the resets of all 16 channels through the output's own (handle 0).
    void Panic() override;

    void FailOpen(bool bFail) { m_bFailOpen = bFail; }
    std::vector<SSent> Sent() const;
    // The messages alone, in the order they were sent.
    std::vector<uint32_t> Messages() const;
    // The note ons sent (velocity above 0), as "key@ms".
    std::vector<std::string> NoteOns() const;
    // A note off (or a note on with velocity 0) was sent for the key.
    bool Silenced(int nNote) const;
    std::vector<int> OpenedDevices() const;
    int OpenHandles() const;
    int Resets() const;
    int Panics() const;

  private:
    friend class CRecorderHandle;
    IClock& m_clock;
    std::vector<std::string> m_arrNames;
    bool m_bFailOpen = false;
    mutable std::mutex m_mutex;
    std::vector<SSent> m_arrSent;
    std::vector<int> m_arrOpened;
    int m_nOpenHandles = 0;
    int m_nResets = 0;
    int m_nPanics = 0;
    // What each open handle has left sounding, by its number.
    std::map<int, CSoundingNotes> m_mapNotes;
};
