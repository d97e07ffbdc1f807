#include "platform/TerminationSignals.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace
{
// A signal handler can reach nothing but what is static; these are the two things it needs, and
// they are set only while a CTerminationSignals lives.
std::atomic<int> g_nSignalWrite{-1};
volatile std::sig_atomic_t g_nLastSignal = 0;
struct sigaction g_oldInt;
struct sigaction g_oldTerm;

extern "C" void OnTerminationSignal(int nSignal)
{
    const int nSaved = errno;
    g_nLastSignal = nSignal;
    const int nFd = g_nSignalWrite.load();
    if (nFd >= 0)
    {
        const unsigned char c = static_cast<unsigned char>(nSignal);
        [[maybe_unused]] ssize_t n = write(nFd, &c, 1); // a full pipe already says "come"
    }
    errno = nSaved;
}
} // namespace

CTerminationSignals::CTerminationSignals()
{
    g_nLastSignal = 0;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0)
    {
        m_nRead = fds[0];
        m_nWrite = fds[1];
        g_nSignalWrite = m_nWrite;
    }
    struct sigaction action = {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    // The handler is used once: a program that does not end at the first request ends at the
    // second, as it would without us.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, &g_oldInt);
    sigaction(SIGTERM, &action, &g_oldTerm);
}

CTerminationSignals::~CTerminationSignals()
{
    sigaction(SIGINT, &g_oldInt, nullptr);
    sigaction(SIGTERM, &g_oldTerm, nullptr);
    g_nSignalWrite = -1;
    if (m_nRead >= 0)
    {
        close(m_nRead);
        close(m_nWrite);
    }
}

int CTerminationSignals::Take()
{
    int nLast = 0;
    unsigned char buffer[16];
    for (;;)
    {
        const ssize_t n = m_nRead >= 0 ? read(m_nRead, buffer, sizeof buffer) : 0;
        if (n <= 0)
            break;
        nLast = buffer[n - 1];
    }
    return nLast;
}

int CTerminationSignals::Seen() const
{
    return g_nLastSignal;
}
