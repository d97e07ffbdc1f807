// Our own interpreter of the media commands the player sends, standing where Windows has MCI:
// "open" a WAV file as waveaudio or a MIDI file as sequencer under an alias, "set ... time
// format milliseconds", "play", "pause", "resume", "stop", "seek ... to", "status ... length /
// position / mode" and "close". Each verb is one entry of a table.
#pragma once

#include "platform/MediaCommands.h"
#include "sound/MediaDevice.h"

#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>

class CMciInterpreter : public IMediaCommands
{
  public:
    // The devices play through these (the program's own: RealMediaBackends.h).
    explicit CMciInterpreter(SMediaBackends backends);
    ~CMciInterpreter() override;
    CMciInterpreter(const CMciInterpreter&) = delete;
    CMciInterpreter& operator=(const CMciInterpreter&) = delete;

    int Send(const std::string& strCommand, std::string& strReply) override;
    std::string ErrorText(int nCode) override;

  private:
    // Each gets the words after the verb; they run with m_mutex held.
    int Open(std::span<const std::string> arrArgs, std::string& strReply);
    int Close(std::span<const std::string> arrArgs, std::string& strReply);
    int Set(std::span<const std::string> arrArgs, std::string& strReply);
    int Status(std::span<const std::string> arrArgs, std::string& strReply);
    int Play(std::span<const std::string> arrArgs, std::string& strReply);
    int Pause(std::span<const std::string> arrArgs, std::string& strReply);
    int Resume(std::span<const std::string> arrArgs, std::string& strReply);
    int Stop(std::span<const std::string> arrArgs, std::string& strReply);
    int Seek(std::span<const std::string> arrArgs, std::string& strReply);

    // The device open under the alias, or null; sets nError to kUnknownDevice when null.
    IMediaDevice* Find(const std::string& strAlias, int& nError);
    // The device the command's first word names, or null with nError (no word, no such alias).
    IMediaDevice* FindFirst(std::span<const std::string> arrArgs, int& nError);
    // The device of a command that takes the alias alone ("play mus1"), or null with nError.
    IMediaDevice* FindAlone(std::span<const std::string> arrArgs, int& nError);
    // The command of the device named alone: its code, or the error of finding it.
    int OnAlone(std::span<const std::string> arrArgs, int (IMediaDevice::*pCommand)());

    std::shared_ptr<CMediaOutputs> m_pOutputs;
    std::mutex m_mutex; // the window thread and the media player thread both send commands
    std::map<std::string, std::unique_ptr<IMediaDevice>> m_mapDevices; // by alias in lower case
};
