// The media-command seam: the media player talks to its devices only through command texts
// ("open song.wav type waveaudio alias mus3", "Status mus3 length") and error codes, as with MCI.
#pragma once

#include <string>

class IMediaCommands
{
  public:
    virtual ~IMediaCommands() = default;
    // Carries out one command. Gives 0 on success, otherwise an error code (see MciErrors.h);
    // strReply is always overwritten: the status reply, or empty.
    // May be called from the window thread and the media player thread at the same time.
    virtual int Send(const std::string& strCommand, std::string& strReply) = 0;
    // The user's text for an error code; empty for a code the layer does not know.
    virtual std::string ErrorText(int nCode) = 0;
};
