#include "keyboard/LiveMidiIn.h"

#include "keyboard/KeyboardTexts.h"
#include "keyboard/NoteKeyboard.h"

#include <QMetaObject>
#include <QPointer>

CLiveMidiIn::CLiveMidiIn(const FMidiInFactory& fMidiIn, const std::string& strName, IClock& clock,
                         CNoteKeyboard& keys, std::function<void()> fPlayed, QObject* pParent)
    : QObject(pParent), m_strName(strName), m_clock(clock), m_keys(keys), m_fPlayed(std::move(fPlayed))
{
    if (m_strName.empty())
        return;
    m_pMidiIn = fMidiIn ? fMidiIn() : nullptr;
    if (m_pMidiIn)
    {
        // The input's thread takes the time at once, so that a window thread that is busy for
        // a moment shifts nothing in the take; the window thread is woken once per batch.
        // The port is closed (its thread joined) before this object goes, so `this` outlives
        // every call of the callback.
        m_pPort = m_pMidiIn->Open(m_strName,
                                  [this, pQueue = m_pQueue](uint32_t dwMessage)
                                  {
                                      if (pQueue->Push({dwMessage, m_clock.Now()}))
                                          QMetaObject::invokeMethod(
                                              this, [this] { Drain(); }, Qt::QueuedConnection);
                                  });
    }
    if (!m_pPort)
    {
        m_pMidiIn.reset();
        m_keys.SetMidiInText(Txt::kMidiInMissing + m_strName);
        return;
    }
    m_keys.SetMidiInText(Txt::kMidiInOpen + m_strName);
    connect(&m_goneTimer, &QTimer::timeout, this, [this] { CheckGone(); });
    m_goneTimer.start(kGonePollMs);
}

CLiveMidiIn::~CLiveMidiIn()
{
    Close();
}

void CLiveMidiIn::Drain()
{
    const std::vector<SMidiInEvent> arrEvents = m_pQueue->TakeAll();
    for (const SMidiInEvent& event : arrEvents)
        m_keys.MidiInMessage(event.dwMessage, event.tArrival);
    if (!arrEvents.empty() && m_fPlayed)
        m_fPlayed();
}

void CLiveMidiIn::Close()
{
    m_goneTimer.stop();
    if (!m_pPort)
        return;
    m_pPort.reset();
    m_pMidiIn.reset();
    Drain();
    m_keys.ReleaseMidiIn();
}

void CLiveMidiIn::CheckGone()
{
    if (!m_pPort || !m_pPort->IsGone())
        return;
    Close();
    m_keys.SetMidiInText(Txt::kMidiInGone + m_strName);
}
