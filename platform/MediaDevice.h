// One opened media file as the interpreter holds it under its alias: a device of one type
// (waveaudio or sequencer) that answers what the commands ask of it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class IMediaDevice
{
  public:
    virtual ~IMediaDevice() = default;
    // The whole file's length in milliseconds, rounded down.
    virtual uint32_t LengthMs() const = 0;
};

// Opens strPath as a device of the type named in an open command (any letter case). Gives null
// and sets nError to an MCI code when the type is not one we have or the file cannot be played.
std::unique_ptr<IMediaDevice> OpenMediaDevice(const std::string& strType, const std::string& strPath,
                                              int& nError);
