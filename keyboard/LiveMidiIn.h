// The live window's MIDI input: opens the chosen input while the window is open, hands every
// message over to the window thread with the time it arrived, watches for the input vanishing,
// and says in the keyboard's input status line what became of it.
#pragma once

#include "keyboard/MidiInQueue.h"
#include "platform/Clock.h"
#include "platform/MidiIn.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

class CNoteKeyboard;

class CLiveMidiIn : public QObject
{
    Q_OBJECT

  public:
    // How often the input is asked whether it is still there.
    static constexpr int kGonePollMs = 250;

    // Opens the input strName of fMidiIn (an empty name: none chosen, nothing happens; no
    // such input: the status line says so and nothing else happens). Messages are timed on
    // clock and played through keys, which must outlive this object; fPlayed (when given) hears
    // after each batch of them, on the window thread.
    CLiveMidiIn(const FMidiInFactory& fMidiIn, const std::string& strName, IClock& clock, CNoteKeyboard& keys,
                std::function<void()> fPlayed = {}, QObject* pParent = nullptr);
    // Close() first.
    ~CLiveMidiIn() override;

    bool IsOpen() const { return m_pPort != nullptr; }
    // Handles what has arrived so far; the window thread's queued call does it on its own.
    void Drain();
    // Closes the input: nothing more arrives, what arrived is played, and every note the input
    // holds is switched off. Quietly: the status line is left alone.
    void Close();

  private:
    void CheckGone();

    std::string m_strName;
    IClock& m_clock;
    CNoteKeyboard& m_keys;
    std::function<void()> m_fPlayed;
    std::shared_ptr<CMidiInQueue> m_pQueue = std::make_shared<CMidiInQueue>();
    std::unique_ptr<IMidiIn> m_pMidiIn;
    std::unique_ptr<IMidiInPort> m_pPort;
    QTimer m_goneTimer;
};
