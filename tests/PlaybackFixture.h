// What the player tests share: one playing of a project on the player thread, with the
// recorder output, the manual clock and a prompter that notes how much had been sent when each
// message was shown.
#pragma once

#include "project/ProjectPlayer.h"
#include "sound/PlayerThread.h"
#include "tests/CapturedStream.h"
#include "tests/ManualClock.h"
#include "tests/RecorderMidiOut.h"
#include "tests/TestSupport.h"

#include <memory>
#include <utility>
#include <vector>

// (ms, message) of every message sent, in order.
using TTimeline = std::vector<std::pair<int64_t, uint32_t>>;

class CWatchingPrompter : public CScriptedPrompter
{
  public:
    explicit CWatchingPrompter(const CRecorderMidiOut& recorder) : m_recorder(recorder) {}
    EAnswer Ask(const SMessage& message) override
    {
        m_arrSentBefore.push_back(m_recorder.Sent().size());
        return CScriptedPrompter::Ask(message);
    }
    // Read once the player has ended.
    std::vector<size_t> m_arrSentBefore;

  private:
    const CRecorderMidiOut& m_recorder;
};

class CPlayRun
{
  public:
    explicit CPlayRun(std::vector<uint8_t> project) : m_project(std::move(project))
    {
        m_player.SetData(m_project);
    }
    // A test that failed half way may leave the player waiting on the clock; time is let run
    // out so that the thread can be joined and the next test starts clean.
    ~CPlayRun()
    {
        if (!m_pThread)
            return;
        m_pThread->Stop();
        m_clock.AdvanceTo(m_clock.NowMs() + 24 * 3600 * 1000, [this] { return Ended(); });
    }

    bool Start(int nDevice = 0, const SOscSettings& osc = {}) { return m_pThread->Start(nDevice, osc); }
    bool Ended() const { return !m_pThread->Running(); }
    // Lets the player run until nMs of clock time; false when it hangs.
    bool RunTo(int64_t nMs)
    {
        return m_clock.AdvanceTo(nMs, [this] { return Ended(); });
    }
    // Lets the player do what it can without moving the clock.
    bool Settle() { return RunTo(m_clock.NowMs()); }
    TTimeline Timeline() const
    {
        TTimeline out;
        for (const SSent& sent : m_recorder.Sent())
            out.emplace_back(sent.Ms(), sent.dwMessage);
        return out;
    }

    CManualClock m_clock;
    CRecorderMidiOut m_recorder{m_clock};
    CWatchingPrompter m_prompter{m_recorder};
    std::vector<uint8_t> m_project;
    // The stream the tones sound in; it outlives the player, whose tone output leaves it.
    CCapturedStream m_stream;
    CProjectPlayer m_player{m_prompter};
    // Last, so that it is stopped and joined before anything it uses goes.
    std::unique_ptr<CPlayerThread> m_pThread =
        std::make_unique<CPlayerThread>(m_player, m_recorder, m_clock, true, m_stream.Factory());
};
