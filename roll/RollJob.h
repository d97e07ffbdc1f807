// A piece of the panel's reading done on a thread of its own (a WAV file's peaks, a MID file's
// notes): the window polls it as it draws, and never waits for it. The destructor stops the
// work and joins the thread.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

template <class T> class CRollJob
{
  public:
    // fWork gives the result, or null when there is none; it looks at bStop now and then and
    // may move nPercent from 0 to 100.
    using FWork =
        std::function<std::shared_ptr<const T>(const std::atomic<bool>& bStop, std::atomic<int>& nPercent)>;

    explicit CRollJob(FWork fWork)
        : m_thread(
              [this, fWork = std::move(fWork)]
              {
                  std::shared_ptr<const T> pResult = fWork(m_bStop, m_nPercent);
                  if (!m_bStop)
                      m_pResult = std::move(pResult);
                  m_bDone = true;
              })
    {
    }
    ~CRollJob()
    {
        m_bStop = true;
        m_thread.join();
    }
    CRollJob(const CRollJob&) = delete;
    CRollJob& operator=(const CRollJob&) = delete;

    bool Done() const { return m_bDone; }
    int Percent() const { return m_nPercent; }
    // Once done: the result, or null.
    std::shared_ptr<const T> Result() const { return m_bDone ? m_pResult : nullptr; }

  private:
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bDone{false};
    std::atomic<int> m_nPercent{0};
    std::shared_ptr<const T> m_pResult; // written before m_bDone is set
    std::thread m_thread;               // last: it starts once the members above exist
};
