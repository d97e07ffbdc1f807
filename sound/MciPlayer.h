// The media player: opens WAV, MID and AVI files under the aliases mus0, mus1, ... and asks
// their length, all through the media-command layer; the playlist measures its media rows so.
#pragma once

#include "platform/MediaCommands.h"

#include <atomic>
#include <cstdint>
#include <string>

class CMciPlayer
{
  public:
    // pCommands is the layer to talk to (not owned); null means the process-wide one, looked
    // up at every command so that a layer installed later is the one used.
    explicit CMciPlayer(IMediaCommands* pCommands = nullptr) : m_pCommands(pCommands) {}
    CMciPlayer(const CMciPlayer&) = delete;
    CMciPlayer& operator=(const CMciPlayer&) = delete;

    // Opens the file under alias musN, its device type chosen by the extension (wav, mid, avi).
    // After the first Open every Open closes musN first, opened or not. A failure is shown in
    // the open error box (without owner) and otherwise ignored, as the callers expect.
    void Open(const std::string& strPath, int32_t nAlias);
    void Close(int32_t nAlias);
    // Length in milliseconds; 0 when the device cannot tell.
    float GetLength(int32_t nAlias);

    // Set by the first Open, never cleared. Atomic: the playlist and the media player thread
    // both call Open.
    std::atomic<bool> m_bOpened{false};

  private:
    IMediaCommands& Commands() const { return m_pCommands ? *m_pCommands : MediaCommands(); }
    int Send(const std::string& strCommand, std::string& strReply) const;
    // Sends the time format command and then the status query for the item; gives its reply.
    std::string Query(int32_t nAlias, const char* pszItem) const;

    IMediaCommands* m_pCommands;
};
