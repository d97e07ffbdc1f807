// SIGINT and SIGTERM as a request the program handles in its own time, not an end on the spot.
// The window thread watches a pipe that the signal handler writes a byte to and ends the program
// as its close box would; the command-line program looks at Seen() between its steps and ends
// its play or render cleanly. A second signal of the same kind ends the program the hard way.
#pragma once

class CTerminationSignals
{
  public:
    // Catches SIGINT and SIGTERM for the object's life; the handlers before it come back
    // afterwards. Only one object may exist at a time.
    CTerminationSignals();
    ~CTerminationSignals();
    CTerminationSignals(const CTerminationSignals&) = delete;
    CTerminationSignals& operator=(const CTerminationSignals&) = delete;

    // Readable when a signal has come; -1 when the pipe could not be made (Seen() still works).
    int Descriptor() const { return m_nRead; }
    // Empties the pipe; gives the last signal that came since the last Take(), 0 for none.
    int Take();
    // The last signal that came while this object lived, 0 for none; a look, no system call.
    int Seen() const;
    // The exit code a shell expects of a program that a signal ended: 128 plus its number.
    static int ExitCode(int nSignal) { return 128 + nSignal; }

  private:
    int m_nRead = -1;
    int m_nWrite = -1;
};
