// SIGINT and SIGTERM as a request the program handles in its own time: the signal handler only
// writes a byte to a pipe, and the window thread, which watches the pipe's reading end, ends the
// program as its close box would.
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

    // Readable when a signal has come; -1 when the pipe could not be made (the signals then
    // keep their default action).
    int Descriptor() const { return m_nRead; }
    // Empties the pipe; gives the last signal that came, 0 for none.
    int Take();

  private:
    int m_nRead = -1;
    int m_nWrite = -1;
};
