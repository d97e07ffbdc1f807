// The MIDI outputs the program can play on, numbered as the program's settings number them:
// -1 is "MIDI Mapper", 0 to DeviceCount()-1 the devices. A handle sends MIDI short messages
// (status in bits 0-7, first data byte in bits 8-15, second in bits 16-23).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

inline constexpr int kMidiMapper = -1;

// One open output. Closing is destroying it; a handle is used by one thread at a time, while
// several handles, on one device or on several, may be open and used at once.
class IMidiOutHandle
{
  public:
    virtual ~IMidiOutHandle() = default;
    // Sends one short message; malformed ones are dropped by the output.
    virtual void ShortMsg(uint32_t dwMessage) = 0;
    // Switches off every note this handle switched on and releases its sustain pedals.
    virtual void Reset() = 0;
};

class IMidiOut
{
  public:
    virtual ~IMidiOut() = default;
    virtual int DeviceCount() = 0;
    // The device's product name; empty for a number out of range.
    virtual std::string DeviceName(int nDevice) = 0;
    // Opens device nDevice (kMidiMapper reaches the default device); null when it cannot.
    virtual std::unique_ptr<IMidiOutHandle> Open(int nDevice) = 0;
    // The choice of SoundFont may have changed: a built-in synthesizer that plays takes the new
    // one now, and keeps its own when the new one cannot be loaded.
    virtual void SoundFontChanged() {}
    // Silences every device opened during this run, whatever plays on it: a note off for each
    // note the open handles hold, then all notes off, reset all controllers and all sound off
    // on all 16 channels. Safe from any thread while other threads send on their handles; it
    // waits for no player, only for a message being sent.
    virtual void Panic() = 0;
};

using FMidiOutFactory = std::function<std::unique_ptr<IMidiOut>()>;
