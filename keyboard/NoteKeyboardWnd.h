// The keyboard control of the live play window: the pictured keys, laid out from their
// pictures, and the key events turned into physical keys for the musical keyboard inside it.
#pragma once

#include "keyboard/KeyLayout.h"
#include "keyboard/NoteKeyboard.h"

#include <QFrame>
#include <QTimer>

#include <array>
#include <memory>
#include <string>

class CNoteButton;
class QKeyEvent;

class CNoteKeyboardWnd : public QFrame
{
    Q_OBJECT

  public:
    CNoteKeyboardWnd(QWidget* pParent, IMidiOutHandle& midiOut, IClock& clock, INoteKeyboardHost& host,
                     CSettings& settings, int nRecordVersion);

    // Places the keys of the view (extended or standard) with the pictures of strFolder and
    // sets the extent.
    void BuildLayout(bool bExtView, const std::string& strFolder);
    // How long a key-up waits for a key-down of the same key with the same stamp, which would
    // make the pair one of a held key's repeats.
    static constexpr int kKeyUpHoldMs = 20;

    // Hands one key event to the musical keyboard; false for an event that is no key event.
    bool HandleKey(QKeyEvent* pEvent);
    // From now on key events are dropped: the window is closing. A key-up held back still
    // ends its note (the closing releases every key).
    void StopKeys()
    {
        m_bStopped = true;
        m_keyUpTimer.stop();
    }
    // Shows a key's on (or off) picture.
    void Light(int nSlot, bool bOn);

    CNoteKeyboard& Keys() { return m_keyboard; }
    CNoteButton* Key(int nSlot) const;
    int m_nWidth = 0;
    int m_nHeight = 0;

  protected:
    bool event(QEvent* pEvent) override;
    void focusOutEvent(QFocusEvent* pEvent) override;

  private:
    CNoteKeyboard m_keyboard;
    std::array<CNoteButton*, kKeySlots> m_pKeys{};
    bool m_bStopped = false;
    QTimer m_keyUpTimer;
};
