// The system's MIDI inputs (keyboards, controllers): listed by name, and opened by name with a
// callback that receives what is played. Only channel voice messages come through; system
// exclusive, clock, active sensing and the other system messages are dropped by the backend.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One channel voice message in the form IMidiOutHandle::ShortMsg takes: status in bits 0-7,
// first data byte in bits 8-15, second in bits 16-23. Called on a thread of the backend's own,
// one message at a time and in the order they arrived; it must not wait for anything.
using FMidiInMessage = std::function<void(uint32_t dwMessage)>;

// One open input. Closing is destroying it: once the destructor has returned, the callback is
// never called again. Made, asked and destroyed on one thread.
class IMidiInPort
{
  public:
    virtual ~IMidiInPort() = default;
    // The port has vanished (unplugged, its program ended): nothing more will arrive. Cheap
    // enough to be asked a few times a second.
    virtual bool IsGone() = 0;
};

class IMidiIn
{
  public:
    virtual ~IMidiIn() = default;
    // The inputs as the system names them now, in its order.
    virtual std::vector<std::string> PortNames() = 0;
    // Opens the input called strName; null when there is none of that name or it cannot be
    // opened. fMessage receives every channel voice message from now on.
    virtual std::unique_ptr<IMidiInPort> Open(const std::string& strName, FMidiInMessage fMessage) = 0;
};

using FMidiInFactory = std::function<std::unique_ptr<IMidiIn>()>;

// The channel voice message of nSize raw bytes, or none for anything else (system messages, a
// status byte missing, a data byte of 128 or more, too few bytes).
inline std::optional<uint32_t> ChannelVoiceMessage(const unsigned char* pBytes, size_t nSize)
{
    if (nSize == 0 || pBytes[0] < 0x80 || pBytes[0] >= 0xF0)
        return std::nullopt;
    const unsigned nKind = pBytes[0] & 0xF0u;
    const size_t nNeeded = nKind == 0xC0 || nKind == 0xD0 ? 2 : 3;
    if (nSize < nNeeded)
        return std::nullopt;
    uint32_t dwMessage = pBytes[0];
    for (size_t i = 1; i < nNeeded; ++i)
    {
        if (pBytes[i] >= 0x80)
            return std::nullopt;
        dwMessage |= static_cast<uint32_t>(pBytes[i]) << (8 * i);
    }
    return dwMessage;
}

// The names of the inputs fMidiIn reaches; none without a factory or a system without inputs.
inline std::vector<std::string> MidiInNames(const FMidiInFactory& fMidiIn)
{
    std::unique_ptr<IMidiIn> pIn = fMidiIn ? fMidiIn() : nullptr;
    return pIn ? pIn->PortNames() : std::vector<std::string>{};
}
