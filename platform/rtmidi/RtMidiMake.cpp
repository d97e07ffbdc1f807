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

namespace
{
// std::cerr is the process's: two makers on two threads must not swap its buffer in turn.
std::mutex s_consoleMutex;
} // namespace

CMutedConsole::CMutedConsole() : m_lock(s_consoleMutex), m_pOld(std::cerr.rdbuf(nullptr)) {}

CMutedConsole::~CMutedConsole()
{
    std::cerr.rdbuf(m_pOld);
    std::cerr.clear();
}
