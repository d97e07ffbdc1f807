#include "platform/Console.h"

#include <csignal>
#include <unistd.h>

namespace
{
// A signal handler can reach nothing but a value of this kind.
volatile std::sig_atomic_t g_nStopSignal = 0;

extern "C" void OnStopSignal(int nSignal)
{
    g_nStopSignal = nSignal;
    std::signal(nSignal, SIG_DFL); // a second Ctrl+C ends the program the hard way
}
} // namespace

bool IsTerminal(std::FILE* pFile)
{
    return pFile && isatty(fileno(pFile)) == 1;
}

CStopSignals::CStopSignals()
{
    g_nStopSignal = 0;
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
}

CStopSignals::~CStopSignals()
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

int CStopSignals::Seen() const
{
    return g_nStopSignal;
}
