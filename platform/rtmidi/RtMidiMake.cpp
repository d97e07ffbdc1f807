#include "platform/rtmidi/RtMidiMake.h"

#include "platform/alsa/AlsaQuiet.h"

#include <alsa/asoundlib.h>

#include <iostream>

bool HaveAlsaSequencer(int nMode)
{
    QuietAlsa();
    snd_seq_t* pSeq = nullptr;
    if (snd_seq_open(&pSeq, "default", nMode, SND_SEQ_NONBLOCK) < 0)
        return false;
    snd_seq_close(pSeq);
    return true;
}

std::mutex& RtMidiConsoleMutex()
{
    static std::mutex s_mutex;
    return s_mutex;
}

void MuteConsole(bool bMute)
{
    // Kept from the mute to the unmute; both run under RtMidiConsoleMutex().
    static std::streambuf* s_pOld = nullptr;
    if (bMute)
        s_pOld = std::cerr.rdbuf(nullptr);
    else
    {
        std::cerr.rdbuf(s_pOld);
        std::cerr.clear();
    }
}
