// What the command-line program needs to know of its console: whether an output is a terminal
// (progress lines are redrawn there and left out of files and pipes), and the signals that ask
// it to stop (Ctrl+C, SIGTERM) so that it can end cleanly.
#pragma once

#include <cstdio>

bool IsTerminal(std::FILE* pFile);

// While it lives, SIGINT and SIGTERM are noted instead of ending the program; a second one ends
// it the hard way. One at a time: the signal's note has to live where the handler can reach it.
class CStopSignals
{
  public:
    CStopSignals();
    // Puts the system's default handling back.
    ~CStopSignals();
    CStopSignals(const CStopSignals&) = delete;
    CStopSignals& operator=(const CStopSignals&) = delete;

    // The signal that asked to stop (SIGINT or SIGTERM), or 0.
    int Seen() const;
    // The exit code a shell expects of a program that a signal ended: 128 plus its number.
    static int ExitCode(int nSignal) { return 128 + nSignal; }
};
