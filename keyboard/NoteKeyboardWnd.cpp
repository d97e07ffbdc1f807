#include "keyboard/NoteKeyboardWnd.h"

#include "keyboard/KeyMap.h"
#include "keyboard/NoteButton.h"

#include <QImageReader>
#include <QKeyEvent>

// The fallback table spells the toolkit's key codes out for the engine, which has no Qt.
static_assert(QtKey::Escape == Qt::Key_Escape && QtKey::Return == Qt::Key_Return &&
              QtKey::Enter == Qt::Key_Enter);
static_assert(QtKey::Insert == Qt::Key_Insert && QtKey::Delete == Qt::Key_Delete &&
              QtKey::Home == Qt::Key_Home);
static_assert(QtKey::End == Qt::Key_End && QtKey::PageUp == Qt::Key_PageUp &&
              QtKey::PageDown == Qt::Key_PageDown);
static_assert(QtKey::Backspace == Qt::Key_Backspace && QtKey::Tab == Qt::Key_Tab &&
              QtKey::Shift == Qt::Key_Shift);
static_assert(QtKey::Control == Qt::Key_Control && QtKey::Alt == Qt::Key_Alt && QtKey::Meta == Qt::Key_Meta);
static_assert(QtKey::F1 == Qt::Key_F1 && QtKey::Print == Qt::Key_Print && QtKey::Pause == Qt::Key_Pause);
static_assert(QtKey::ScrollLock == Qt::Key_ScrollLock && QtKey::CapsLock == Qt::Key_CapsLock);
static_assert(QtKey::NumLock == Qt::Key_NumLock && QtKey::Clear == Qt::Key_Clear &&
              QtKey::Menu == Qt::Key_Menu);
static_assert(QtKey::Left == Qt::Key_Left && QtKey::Up == Qt::Key_Up && QtKey::Right == Qt::Key_Right);
static_assert(QtKey::Down == Qt::Key_Down && QtKey::SuperL == Qt::Key_Super_L &&
              QtKey::SuperR == Qt::Key_Super_R);
static_assert(QtKey::AltGr == Qt::Key_AltGr && QtKey::Cancel == Qt::Key_Cancel);

CNoteKeyboardWnd::CNoteKeyboardWnd(QWidget* pParent, IMidiOutHandle& midiOut, IClock& clock,
                                   INoteKeyboardHost& host, CSettings& settings, int nRecordVersion)
    : QFrame(pParent), m_keyboard(midiOut, clock, host, settings, nRecordVersion)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    m_keyUpTimer.setSingleShot(true);
    m_keyUpTimer.setInterval(kKeyUpHoldMs);
    connect(&m_keyUpTimer, &QTimer::timeout, this, [this] { m_keyboard.ResolveHeldKeyUp(); });
}

void CNoteKeyboardWnd::BuildLayout(bool bExtView, const std::string& strFolder)
{
    auto fSize = [&](const std::string& strPicture)
    {
        const QSize size =
            QImageReader(QString::fromStdString(KeyPictureFile(strFolder, strPicture, false))).size();
        return size.isValid() ? SPictureSize{size.width(), size.height()} : SPictureSize{};
    };
    const SKeyboardLayout layout = ::BuildLayout(bExtView, fSize);
    for (const SPlacedKey& placed : layout.arrKeys)
    {
        auto* pKey = new CNoteButton(this);
        pKey->m_strOff = QString::fromStdString(KeyPictureFile(strFolder, placed.strPicture, false));
        pKey->m_strOn = QString::fromStdString(KeyPictureFile(strFolder, placed.strPicture, true));
        pKey->m_strCurrent = pKey->m_strOff;
        pKey->m_bScaled = true;
        pKey->m_fScale = kKeyScale;
        pKey->setGeometry(placed.nLeft, placed.nTop, placed.nRight - placed.nLeft,
                          placed.nBottom - placed.nTop);
        pKey->LoadPicture();
        pKey->show();
        m_pKeys[static_cast<size_t>(placed.nSlot)] = pKey;
    }
    m_nWidth = layout.nWidth;
    m_nHeight = layout.nHeight;
}

CNoteButton* CNoteKeyboardWnd::Key(int nSlot) const
{
    return nSlot >= 0 && nSlot < kKeySlots ? m_pKeys[static_cast<size_t>(nSlot)] : nullptr;
}

void CNoteKeyboardWnd::Light(int nSlot, bool bOn)
{
    if (CNoteButton* pKey = Key(nSlot))
        pKey->SetState(bOn ? 1 : 0);
}

bool CNoteKeyboardWnd::HandleKey(QKeyEvent* pEvent)
{
    const bool bPress = pEvent->type() == QEvent::KeyPress;
    if (!bPress && pEvent->type() != QEvent::KeyRelease)
        return false;
    if (m_bStopped)
        return true;
    const SPhysicalKey* pKey = FindPhysicalKey(pEvent->nativeScanCode(), pEvent->key(),
                                               pEvent->modifiers().testFlag(Qt::KeypadModifier));
    const int nVk = pEvent->key() == Qt::Key_Cancel
                        ? Vk::Cancel
                        : KeyVk(pKey, pEvent->modifiers().testFlag(Qt::ControlModifier));
    const int nDik = pKey ? pKey->nDik : 0;
    // A stamp of 0 means the platform gave none.
    const std::optional<uint64_t> nStamp =
        pEvent->timestamp() != 0 ? std::optional<uint64_t>(pEvent->timestamp()) : std::nullopt;
    m_keyboard.OnKeyEvent(bPress, nVk, nDik, nStamp, pEvent->isAutoRepeat());
    // A key-up held back waits for the key-down that would make it a repeat only as long as the
    // platform takes to deliver the pair; after that it is a release.
    if (m_keyboard.HoldsKeyUp())
        m_keyUpTimer.start();
    else
        m_keyUpTimer.stop();
    return true;
}

bool CNoteKeyboardWnd::event(QEvent* pEvent)
{
    switch (pEvent->type())
    {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        // Tab and Backtab included: nothing in this window moves the focus away.
        return HandleKey(static_cast<QKeyEvent*>(pEvent));
    case QEvent::ShortcutOverride:
        // No shortcut of any window takes a key away from the keyboard.
        pEvent->accept();
        return true;
    default:
        return QFrame::event(pEvent);
    }
}

void CNoteKeyboardWnd::focusOutEvent(QFocusEvent* pEvent)
{
    // A key released while another window has the keyboard never reaches us: its note would
    // sound for good.
    m_keyboard.ReleaseAll();
    QFrame::focusOutEvent(pEvent);
}
