// The live play window on its own, under the offscreen platform, with the recorder output and
// the manual clock: key events as the platform delivers them (with scan codes), what Enter hands
// back, Esc, held keys, the Russian layout, the status lines, the window's size, and an output
// that cannot be opened.
#include "app/Settings.h"
#include "keyboard/KeyLayout.h"
#include "keyboard/KeyboardTexts.h"
#include "keyboard/LiveMidiIn.h"
#include "keyboard/NoteButton.h"
#include "keyboard/NoteKeyboardWnd.h"
#include "keyboard/PlaysDlg.h"
#include "sound/Oscillator.h"
#include "tests/ManualClock.h"
#include "tests/MediaDoubles.h"
#include "tests/MidiInDouble.h"
#include "tests/ProjectFixtures.h"
#include "tests/RecorderMidiOut.h"
#include "tests/ScriptedMediaCommands.h"
#include "tests/TestSupport.h"

#include <QApplication>
#include <QFocusEvent>
#include <QImage>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace
{
// X11 key codes (evdev + 8) of the keys the tests press.
constexpr quint32 kScanZ = 52, kScanQ = 24, kScanEnter = 36, kScanEsc = 9, kScanDelete = 119,
                  kScanPageUp = 112, kScanEnd = 115, kScanPause = 127, kScanW = 25, kScanShift = 50;
constexpr int kSlotZ = 60;
const QColor kOffColour(90, 90, 90), kOnColour(230, 40, 20);

// Every key's off and on pictures, 60 x 60 and of one colour each, in a folder of their own.
class CPictureFolder
{
  public:
    CPictureFolder()
    {
        for (const SKeyRule& rule : KeyRules())
            for (bool bOn : {false, true})
            {
                QImage image(60, 60, QImage::Format_ARGB32);
                image.fill(bOn ? kOnColour : kOffColour);
                image.save(QString::fromStdString(KeyPictureFile(m_folder.Path(), rule.pszPicture, bOn)));
            }
    }
    const std::string& Path() const { return m_folder.Path(); }

  private:
    CTempFolder m_folder;
};

void SendKey(QWidget* pTo, QEvent::Type eType, int nKey, quint32 nScanCode, const QString& strText,
             bool bRepeat = false)
{
    QKeyEvent event(eType, nKey, Qt::NoModifier, nScanCode, 0, 0, strText, bRepeat);
    QApplication::sendEvent(pTo, &event);
}

// A key event with the platform's time stamp, as X delivers them.
void SendStamped(QWidget* pTo, QEvent::Type eType, int nKey, quint32 nScanCode, ulong nStamp,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent event(eType, nKey, modifiers, nScanCode, 0, 0, {});
    event.setTimestamp(nStamp);
    QApplication::sendEvent(pTo, &event);
}

void Press(QWidget* pTo, int nKey, quint32 nScanCode, const QString& strText = {})
{
    SendKey(pTo, QEvent::KeyPress, nKey, nScanCode, strText);
}

void Release(QWidget* pTo, int nKey, quint32 nScanCode, const QString& strText = {})
{
    SendKey(pTo, QEvent::KeyRelease, nKey, nScanCode, strText);
}

// The colour a key shows in its top left corner, where its shrunk picture lies.
QColor KeyColour(CPlaysDlg& dlg, int nSlot)
{
    return dlg.Keyboard()->Key(nSlot)->grab().toImage().pixelColor(5, 5);
}

class PlaysDlgTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite() { s_pPictures = std::make_unique<CPictureFolder>(); }
    static void TearDownTestSuite() { s_pPictures.reset(); }

    void SetUp() override
    {
        At(1000); // the window opens at 1000 ms
    }
    // The services with out as the program's MIDI output.
    SServices Services(IMidiOut& out)
    {
        return {m_prompter, m_reg.Store(), out, m_clock, m_media, m_fAudio, {}, {}, m_fMidiIn};
    }
    // The program's audio stream is audio, which the test mixes by hand.
    void UseStream(CFakeAudioOut& audio)
    {
        m_fAudio = [&audio] { return std::shared_ptr<IAudioOut>(&audio, [](IAudioOut*) {}); };
    }
    void At(int64_t nMs)
    {
        m_clock.AdvanceTo(nMs, [] { return true; });
    }

    // A window of the test's pictures, set up and shown; keys go where the platform would send
    // them, to the widget that has the keyboard focus inside it.
    std::unique_ptr<CPlaysDlg> Open(std::vector<uint8_t> start = {}, IMidiOut* pOut = nullptr)
    {
        auto pDlg = std::make_unique<CPlaysDlg>(std::move(start), m_settings, Services(pOut ? *pOut : m_out),
                                                s_pPictures->Path());
        if (!pDlg->OnInitDialog())
            return nullptr;
        pDlg->show();
        return pDlg;
    }
    static QWidget* Keys(CPlaysDlg& dlg)
    {
        EXPECT_EQ(dlg.Keyboard(), dlg.focusWidget()) << "the keyboard has the window's focus";
        return dlg.focusWidget() ? dlg.focusWidget() : &dlg;
    }

    // The program's own way in: RunPlaysDialog's modal run, played by fPlay from inside it. The
    // timer goes with this call: a window that never runs leaves nothing behind to fire later.
    SPlayResult Run(std::vector<uint8_t> start, const std::function<void(CPlaysDlg&)>& fPlay)
    {
        QTimer inside;
        inside.setSingleShot(true);
        QObject::connect(&inside, &QTimer::timeout,
                         [&]
                         {
                             auto* pDlg = qobject_cast<CPlaysDlg*>(QApplication::activeModalWidget());
                             if (!pDlg)
                             {
                                 ADD_FAILURE() << "the live window is not the modal window";
                                 for (QWidget* p : QApplication::topLevelWidgets())
                                     if (auto* pLive = qobject_cast<CPlaysDlg*>(p))
                                         pLive->reject();
                                 return;
                             }
                             fPlay(*pDlg);
                             if (pDlg->isVisible())
                             {
                                 ADD_FAILURE() << "the live window is still open";
                                 pDlg->reject();
                             }
                         });
        inside.start(0);
        return RunPlaysDialog(nullptr, std::move(start), m_settings, Services(m_out));
    }

    static std::unique_ptr<CPictureFolder> s_pPictures;
    CManualClock m_clock;
    CRecorderMidiOut m_out{m_clock};
    CScriptedPrompter m_prompter;
    CTempRegistry m_reg;
    CScriptedMediaCommands m_media;
    CSettings m_settings{m_reg.Store(), m_prompter};
    FAudioOutFactory m_fAudio;
    FMidiInFactory m_fMidiIn;
};
std::unique_ptr<CPictureFolder> PlaysDlgTest::s_pPictures;

// Whether a buffer of the stream holds any sound.
bool Sounds(const std::vector<float>& arrStereo)
{
    return std::any_of(arrStereo.begin(), arrStereo.end(), [](float f) { return f != 0.0f; });
}

TEST_F(PlaysDlgTest, EnterHandsBackTheWholeStartingProjectFollowedByTheRecordsOnce)
{
    // Z held from 1250 to 1750 ms, then Enter: its key-down, key-up, a repeat and the OK
    // command all reach the closing, which hands the project back once.
    const std::vector<uint8_t> v0 =
        Bytes({'$', 1, 250, 'M', 35, 23, 127, 0, '!', 2, 0x01, 0xF4, 'M', 35, 23, 0});
    const std::vector<uint8_t> v1 =
        Bytes({'$', 1, 250, 'T', 3, 0x7F, 0x3A, 0x90, '$', 2, 0x01, 0xF4, 'T', 2, 0x3A, 0x80});
    struct SCase
    {
        const char* pszName;
        int nProjectType;
        std::vector<uint8_t> start;
        std::vector<uint8_t> expected;
    };
    const SCase cases[] = {
        {"new project, 0.0", 0, {}, MakeHeader(0) + v0},
        {"new project, 0.1", 1, {}, MakeHeader(1) + v1},
        // A project's records hold zero bytes; all of them stay, and the new records follow the
        // project's own version, whatever ProjectType says.
        {"0.0 project", 1, OneNoteProject(0), OneNoteProject(0) + v0},
        {"0.1 project", 0, OneNoteProject(1), OneNoteProject(1) + v1},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        m_settings.ProjectType = c.nProjectType;
        m_clock.AdvanceTo(1000 + 10000 * (&c - cases), [] { return true; });
        const int64_t nOpened = m_clock.NowMs();
        const size_t nSentBefore = m_out.Messages().size();
        const SPlayResult result =
            Run(c.start,
                [&](CPlaysDlg& dlg)
                {
                    At(nOpened + 250);
                    Press(Keys(dlg), Qt::Key_Z, kScanZ, "z");
                    At(nOpened + 750);
                    Release(Keys(dlg), Qt::Key_Z, kScanZ, "z");
                    Press(Keys(dlg), Qt::Key_Return, kScanEnter, "\r");
                    Release(Keys(dlg), Qt::Key_Return, kScanEnter, "\r");
                    SendKey(Keys(dlg), QEvent::KeyPress, Qt::Key_Return, kScanEnter, "\r", true);
                    dlg.accept();
                });
        EXPECT_TRUE(result.bAccepted);
        EXPECT_TRUE(result.bRecorded);
        EXPECT_EQ(c.expected, result.project);
        const std::vector<uint32_t> sent = m_out.Messages();
        EXPECT_EQ((std::vector<uint32_t>{0x7F3A90, 0x3A80}),
                  std::vector<uint32_t>(sent.begin() + static_cast<std::ptrdiff_t>(nSentBefore), sent.end()));
        EXPECT_EQ(0, m_out.OpenHandles()) << "the output closes with the window";
    }
}

TEST_F(PlaysDlgTest, EnterWithoutANoteHandsBackTheBareHeaderAndEscNothing)
{
    const SPlayResult accepted =
        Run({}, [](CPlaysDlg& dlg) { Press(Keys(dlg), Qt::Key_Return, kScanEnter, "\r"); });
    EXPECT_TRUE(accepted.bAccepted);
    EXPECT_FALSE(accepted.bRecorded);
    EXPECT_EQ(MakeHeader(m_settings.ProjectType), accepted.project);

    const SPlayResult abandoned =
        Run(OneNoteProject(1),
            [](CPlaysDlg& dlg)
            {
                Press(Keys(dlg), Qt::Key_Q, kScanQ, "q");
                Press(Keys(dlg), Qt::Key_Escape, kScanEsc, "\x1b");
                Release(Keys(dlg), Qt::Key_Q, kScanQ, "q");
                Press(Keys(dlg), Qt::Key_Return, kScanEnter, "\r"); // too late: the window is closed
            });
    EXPECT_FALSE(abandoned.bAccepted);
    EXPECT_TRUE(abandoned.project.empty());
    EXPECT_EQ((std::vector<uint32_t>{0x7F2390, 0x2380}), m_out.Messages()) << "Q ends when the window closes";
}

TEST_F(PlaysDlgTest, HeldNotesEndWhenTheWindowClosesOrLosesTheKeyboard)
{
    struct SCase
    {
        const char* pszName;
        std::function<void(CPlaysDlg&)> fLeave;
        bool bAccepted;
    };
    const SCase cases[] = {
        {"Enter", [](CPlaysDlg& dlg) { Press(Keys(dlg), Qt::Key_Return, kScanEnter, "\r"); }, true},
        {"Esc", [](CPlaysDlg& dlg) { Press(Keys(dlg), Qt::Key_Escape, kScanEsc, "\x1b"); }, false},
        {"close box", [](CPlaysDlg& dlg) { dlg.close(); }, false},
        {"focus lost",
         [](CPlaysDlg& dlg)
         {
             QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
             QApplication::sendEvent(dlg.Keyboard(), &out);
         },
         false},
    };
    m_settings.ProjectType = 0;
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CRecorderMidiOut out(m_clock);
        const int64_t nOpened = m_clock.NowMs();
        std::unique_ptr<CPlaysDlg> pDlg = Open({}, &out);
        ASSERT_TRUE(pDlg);
        Press(Keys(*pDlg), Qt::Key_Z, kScanZ, "z");
        At(nOpened + 100);
        c.fLeave(*pDlg);
        EXPECT_EQ((std::vector<uint32_t>{0x7F3A90, 0x3A80}), out.Messages());
        EXPECT_EQ(0, pDlg->Keyboard()->Keys().KeyState()[0x2C]) << "the oscillator hears no key either";
        EXPECT_EQ(kOffColour, KeyColour(*pDlg, kSlotZ));
        Release(Keys(*pDlg), Qt::Key_Z, kScanZ, "z"); // the real release, later
        if (pDlg->isVisible())
            pDlg->reject();
        EXPECT_EQ(c.bAccepted, pDlg->Result().bAccepted);
        if (c.bAccepted)
            EXPECT_EQ(MakeHeader(0) + Bytes({'$', 1, 0, 'M', 35, 23, 127, 0, '!', 1, 100, 'M', 35, 23, 0}),
                      pDlg->Result().project)
                << "the note off closes the note in the recording too";
        pDlg.reset();
        EXPECT_EQ(2u, out.Messages().size()) << "nothing ends twice";
    }
}

TEST_F(PlaysDlgTest, AKeyPlaysTheNoteOfItsPositionWhateverTheLayout)
{
    struct SCase
    {
        const char* pszName;
        int nKey;
        quint32 nScanCode;
        const char* pszText;
    };
    const SCase cases[] = {
        {"US layout", Qt::Key_Z, kScanZ, "z"},
        {"Russian layout", 0x042F, kScanZ, "я"},
        {"Russian layout, no scan code", 0x042F, 0, "я"},
        {"US layout, no scan code", Qt::Key_Z, 0, "z"},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CRecorderMidiOut out(m_clock);
        std::unique_ptr<CPlaysDlg> pDlg = Open({}, &out);
        ASSERT_TRUE(pDlg);
        const QString strText = QString::fromUtf8(c.pszText);
        Press(Keys(*pDlg), c.nKey, c.nScanCode, strText);
        EXPECT_EQ(0x80, pDlg->Keyboard()->Keys().KeyState()[0x2C]);
        EXPECT_EQ(kOnColour, KeyColour(*pDlg, kSlotZ));
        Release(Keys(*pDlg), c.nKey, c.nScanCode, strText);
        EXPECT_EQ(kOffColour, KeyColour(*pDlg, kSlotZ));
        EXPECT_EQ((std::vector<uint32_t>{0x7F3A90, 0x3A80}), out.Messages());
        pDlg.reset();
    }
}

TEST_F(PlaysDlgTest, AHeldKeyThatRepeatsSoundsAndRecordsOneNote)
{
    m_settings.ProjectType = 0;
    std::unique_ptr<CPlaysDlg> pDlg = Open();
    ASSERT_TRUE(pDlg);
    QWidget* pKeys = Keys(*pDlg);
    Press(pKeys, Qt::Key_Z, kScanZ, "z");
    for (int i = 0; i < 3; ++i)
    {
        // X11 without detectable repeat sends release and press pairs, with it presses alone.
        SendKey(pKeys, QEvent::KeyRelease, Qt::Key_Z, kScanZ, "z", true);
        SendKey(pKeys, QEvent::KeyPress, Qt::Key_Z, kScanZ, "z", true);
        SendKey(pKeys, QEvent::KeyPress, Qt::Key_Z, kScanZ, "z", true);
        EXPECT_EQ(kOnColour, KeyColour(*pDlg, kSlotZ));
    }
    Release(pKeys, Qt::Key_Z, kScanZ, "z");
    Press(pKeys, Qt::Key_Return, kScanEnter, "\r");
    EXPECT_EQ((std::vector<uint32_t>{0x7F3A90, 0x3A80}), m_out.Messages());
    EXPECT_EQ(MakeHeader(0) + Bytes({'$', 1, 0, 'M', 35, 23, 127, 0, '!', 1, 0, 'M', 35, 23, 0}),
              pDlg->Result().project);
}

TEST_F(PlaysDlgTest, StatusLinesShowTheDefaultsAtFirstShowAndFollowTheControlKeys)
{
    for (int nMusicType : {0, 1, 7})
    {
        SCOPED_TRACE(nMusicType);
        m_settings.MusicType = nMusicType;
        std::unique_ptr<CPlaysDlg> pDlg = Open();
        ASSERT_TRUE(pDlg);
        const char* pszType = nMusicType == 0   ? "Тип музыки: MIDI"
                              : nMusicType == 1 ? "Тип музыки: DirectX"
                                                : "Тип музыки: ";
        EXPECT_EQ((std::vector<std::string>{"MIDI канал: 0", "DirectX канал: 0", pszType}),
                  pDlg->StatusLines());
    }

    m_settings.MusicType = 0;
    std::unique_ptr<CPlaysDlg> pDlg = Open(OneNoteProject(0));
    ASSERT_TRUE(pDlg);
    for (auto [nKey, nScan] :
         {std::pair{Qt::Key_Delete, kScanDelete}, {Qt::Key_PageUp, kScanPageUp}, {Qt::Key_End, kScanEnd}})
    {
        Press(Keys(*pDlg), nKey, nScan);
        Release(Keys(*pDlg), nKey, nScan);
    }
    EXPECT_EQ((std::vector<std::string>{"MIDI канал: 1", "DirectX канал: 15", "Тип музыки: DirectX"}),
              pDlg->StatusLines());
    // Delete only changed the channel: the project the window continues is whole.
    Press(Keys(*pDlg), Qt::Key_Return, kScanEnter, "\r");
    EXPECT_EQ(OneNoteProject(0), pDlg->Result().project);
    EXPECT_TRUE(m_out.Messages().empty());
}

TEST_F(PlaysDlgTest, TheWindowMeasuresTheKeyboardExtentPlusRoomForTheStatusLines)
{
    // 60 x 60 pictures: RCtrl ends at (557, 352), Num_Enter at (1287, 278).
    const std::tuple<bool, int, int> cases[] = {{false, 557, 352}, {true, 1287, 278}};
    for (const auto& [bExtView, nWidth, nHeight] : cases)
    {
        SCOPED_TRACE(bExtView);
        m_settings.ExtView = bExtView;
        std::unique_ptr<CPlaysDlg> pDlg = Open();
        ASSERT_TRUE(pDlg);
        EXPECT_EQ(nWidth, pDlg->Keyboard()->m_nWidth);
        EXPECT_EQ(nHeight, pDlg->Keyboard()->m_nHeight);
        EXPECT_EQ(QSize(nWidth + 50, nHeight + 100), pDlg->frameGeometry().size());
        EXPECT_EQ(bExtView ? kExtendedKeyCount : kStandardKeyCount,
                  static_cast<int>(pDlg->Keyboard()->findChildren<CNoteButton*>().size()));
    }
}

TEST_F(PlaysDlgTest, AnOutputThatCannotOpenIsSaidAndTheWindowClosesAbandoned)
{
    struct SCase
    {
        const char* pszName;
        bool bFail;
        int nDevice;
    };
    const SCase cases[] = {{"open fails", true, -1}, {"no such device", false, 5}};
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        m_out.FailOpen(c.bFail);
        m_settings.DeviceIndex = c.nDevice;
        // RunPlaysDialog comes back without a modal run: no window is left open to close.
        const SPlayResult result =
            Run(OneNoteProject(1), [](CPlaysDlg&) { ADD_FAILURE() << "the window opened"; });
        EXPECT_FALSE(result.bAccepted);
        EXPECT_TRUE(result.project.empty());
        EXPECT_EQ(std::vector<std::string>(static_cast<size_t>(&c - cases) + 1,
                                           "Ошибка!|Не могу открыть поток MIDI-устройств!"),
                  m_prompter.Lines());
        for (QWidget* p : QApplication::topLevelWidgets())
            EXPECT_FALSE(qobject_cast<CPlaysDlg*>(p) && p->isVisible());
    }
}
TEST_F(PlaysDlgTest, AKeyHeldUnderXRepeatSoundsAndRecordsOneNoteEndingAtItsRelease)
{
    // X without detectable auto-repeat: after the repeat delay every repeat is a release and a
    // press with one stamp, none of them marked as a repeat. Z is held from 1100 to 2100 ms.
    m_settings.ProjectType = 0;
    std::unique_ptr<CPlaysDlg> pDlg = Open();
    ASSERT_TRUE(pDlg);
    QWidget* pKeys = Keys(*pDlg);
    At(1100);
    SendStamped(pKeys, QEvent::KeyPress, Qt::Key_Z, kScanZ, 5100);
    for (int i = 0; i < 16; ++i)
    {
        const int nAt = 1600 + 33 * i;
        At(nAt);
        SendStamped(pKeys, QEvent::KeyRelease, Qt::Key_Z, kScanZ, static_cast<ulong>(nAt + 4000));
        SendStamped(pKeys, QEvent::KeyPress, Qt::Key_Z, kScanZ, static_cast<ulong>(nAt + 4000));
        EXPECT_EQ(kOnColour, KeyColour(*pDlg, kSlotZ));
    }
    At(2100);
    SendStamped(pKeys, QEvent::KeyRelease, Qt::Key_Z, kScanZ, 6100);
    // The release waits a moment for a press that would make it a repeat, then ends the note.
    At(2500);
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_out.Messages().size() == 2; }, 5000));
    EXPECT_EQ(kOffColour, KeyColour(*pDlg, kSlotZ));
    EXPECT_EQ(0, pDlg->Keyboard()->Keys().KeyState()[0x2C]);
    Press(pKeys, Qt::Key_Return, kScanEnter, "\r");
    EXPECT_EQ((std::vector<uint32_t>{0x7F3A90, 0x3A80}), m_out.Messages());
    EXPECT_EQ(MakeHeader(0) + Bytes({'$', 1, 100, 'M', 35, 23, 127, 0, '!', 2, 0x03, 0xE8, 'M', 35, 23, 0}),
              pDlg->Result().project)
        << "the note off at the release's own time";
}

TEST_F(PlaysDlgTest, AReleaseStillWaitingEndsItsNoteWhenTheWindowClosesOrLosesTheKeyboard)
{
    struct SCase
    {
        const char* pszName;
        std::function<void(CPlaysDlg&)> fLeave;
        bool bAccepted;
    };
    const SCase cases[] = {
        {"Enter",
         [](CPlaysDlg& dlg) { SendStamped(Keys(dlg), QEvent::KeyPress, Qt::Key_Return, kScanEnter, 5800); },
         true},
        {"Esc",
         [](CPlaysDlg& dlg) { SendStamped(Keys(dlg), QEvent::KeyPress, Qt::Key_Escape, kScanEsc, 5800); },
         false},
        {"close box", [](CPlaysDlg& dlg) { dlg.close(); }, false},
        {"focus lost",
         [](CPlaysDlg& dlg)
         {
             QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
             QApplication::sendEvent(dlg.Keyboard(), &out);
         },
         false},
    };
    m_settings.ProjectType = 0;
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CRecorderMidiOut out(m_clock);
        const int64_t nOpened = m_clock.NowMs();
        std::unique_ptr<CPlaysDlg> pDlg = Open({}, &out);
        ASSERT_TRUE(pDlg);
        At(nOpened + 100);
        SendStamped(Keys(*pDlg), QEvent::KeyPress, Qt::Key_Z, kScanZ, 5000);
        At(nOpened + 400);
        SendStamped(Keys(*pDlg), QEvent::KeyRelease, Qt::Key_Z, kScanZ, 5300);
        At(nOpened + 900);
        c.fLeave(*pDlg);
        EXPECT_EQ((std::vector<uint32_t>{0x7F3A90, 0x3A80}), out.Messages());
        EXPECT_EQ(0, pDlg->Keyboard()->Keys().KeyState()[0x2C]);
        EXPECT_EQ(kOffColour, KeyColour(*pDlg, kSlotZ));
        if (pDlg->isVisible())
            pDlg->reject();
        EXPECT_EQ(c.bAccepted, pDlg->Result().bAccepted);
        if (c.bAccepted)
            EXPECT_EQ(MakeHeader(0) +
                          Bytes({'$', 1, 100, 'M', 35, 23, 127, 0, '!', 2, 0x01, 0x2C, 'M', 35, 23, 0}),
                      pDlg->Result().project)
                << "the note off at the release's own time, not at the closing";
        pDlg.reset();
        EXPECT_EQ(2u, out.Messages().size()) << "nothing ends twice";
    }
}

TEST_F(PlaysDlgTest, CtrlBreakAbandonsAsEscDoes)
{
    struct SCase
    {
        const char* pszName;
        int nKey;
        quint32 nScanCode;
    };
    const SCase cases[] = {
        {"Ctrl with Pause", Qt::Key_Pause, kScanPause},
        {"Ctrl with Pause, no scan code", Qt::Key_Pause, 0},
        {"the Cancel key", Qt::Key_Cancel, 0},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        const SPlayResult result =
            Run(OneNoteProject(1),
                [&](CPlaysDlg& dlg)
                {
                    SendStamped(Keys(dlg), QEvent::KeyPress, Qt::Key_Pause, kScanPause, 0);
                    SendStamped(Keys(dlg), QEvent::KeyRelease, Qt::Key_Pause, kScanPause, 0);
                    EXPECT_TRUE(dlg.isVisible()) << "Pause alone is no Break";
                    Press(Keys(dlg), Qt::Key_Q, kScanQ, "q");
                    SendStamped(Keys(dlg), QEvent::KeyPress, c.nKey, c.nScanCode, 0, Qt::ControlModifier);
                });
        EXPECT_FALSE(result.bAccepted);
        EXPECT_TRUE(result.project.empty());
    }
    EXPECT_EQ((std::vector<uint32_t>{0x7F2390, 0x2380, 0x7F2390, 0x2380, 0x7F2390, 0x2380}), m_out.Messages())
        << "Q ends with the window";
}

TEST_F(PlaysDlgTest, DirectXModeSoundsTheKeysWhileTheyAreHeldAndNothingOnceTheWindowIsGone)
{
    struct SCase
    {
        const char* pszName;
        std::function<void(std::unique_ptr<CPlaysDlg>&)> fLeave;
    };
    const SCase cases[] = {
        {"Enter", [](std::unique_ptr<CPlaysDlg>& p) { Press(Keys(*p), Qt::Key_Return, kScanEnter, "\r"); }},
        {"Esc", [](std::unique_ptr<CPlaysDlg>& p) { Press(Keys(*p), Qt::Key_Escape, kScanEsc, "\x1b"); }},
        {"close box", [](std::unique_ptr<CPlaysDlg>& p) { p->close(); }},
        {"destroyed open", [](std::unique_ptr<CPlaysDlg>& p) { p.reset(); }},
    };
    m_settings.Frequency = 440;
    m_settings.Volume = 1;
    m_settings.OscilatorMode = 0;
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CFakeAudioOut audio;
        UseStream(audio);
        CRecorderMidiOut out(m_clock);
        m_settings.MusicType = 0;
        std::unique_ptr<CPlaysDlg> pDlg = Open({}, &out);
        ASSERT_TRUE(pDlg);
        ASSERT_TRUE(pDlg->ToneOutput());
        EXPECT_EQ(1, audio.Sources()) << "the oscillator is in the stream from the start";

        Press(Keys(*pDlg), Qt::Key_Q, kScanQ, "q");
        EXPECT_FALSE(Sounds(audio.Mix(256))) << "MIDI mode: the oscillator is silent";
        Release(Keys(*pDlg), Qt::Key_Q, kScanQ, "q");

        Press(Keys(*pDlg), Qt::Key_End, kScanEnd);
        Release(Keys(*pDlg), Qt::Key_End, kScanEnd);
        EXPECT_FALSE(Sounds(audio.Mix(256))) << "no key held";
        Press(Keys(*pDlg), Qt::Key_Q, kScanQ, "q");
        EXPECT_TRUE(Sounds(audio.Mix(256))) << "Q sounds as soon as it is pressed";
        Release(Keys(*pDlg), Qt::Key_Q, kScanQ, "q");
        EXPECT_FALSE(Sounds(audio.Mix(256))) << "and stops when it is let go";
        Press(Keys(*pDlg), Qt::Key_Shift, kScanShift);
        EXPECT_TRUE(Sounds(audio.Mix(256))) << "Left Shift: the base frequency";
        Release(Keys(*pDlg), Qt::Key_Shift, kScanShift);

        Press(Keys(*pDlg), Qt::Key_W, kScanW, "w"); // held as the window goes
        EXPECT_TRUE(Sounds(audio.Mix(256)));
        c.fLeave(pDlg);
        EXPECT_EQ(0, audio.Sources()) << "the oscillator left the stream";
        EXPECT_FALSE(Sounds(audio.Mix(256)));
        if (pDlg)
        {
            EXPECT_EQ(nullptr, pDlg->ToneOutput());
            Release(Keys(*pDlg), Qt::Key_W, kScanW, "w");
        }
        EXPECT_EQ((std::vector<uint32_t>{0x7F2390, 0x2380}), out.Messages()) << "DirectX mode sends no MIDI";
        pDlg.reset();
        m_fAudio = {};
    }
}

TEST_F(PlaysDlgTest, AcceptingADirectXTakeHandsBackItsToneRecordsInVersion01Only)
{
    m_settings.MusicType = 1;
    for (int nVersion : {1, 0})
    {
        SCOPED_TRACE(nVersion);
        m_settings.ProjectType = nVersion;
        const int64_t nOpened = m_clock.NowMs();
        std::unique_ptr<CPlaysDlg> pDlg = Open();
        ASSERT_TRUE(pDlg);
        At(nOpened + 100);
        Press(Keys(*pDlg), Qt::Key_Q, kScanQ, "q");
        At(nOpened + 400);
        Release(Keys(*pDlg), Qt::Key_Q, kScanQ, "q");
        At(nOpened + 500);
        Press(Keys(*pDlg), Qt::Key_Z, kScanZ, "z");
        At(nOpened + 700);
        Press(Keys(*pDlg), Qt::Key_Return, kScanEnter, "\r"); // Z still held: its tone ends here
        ASSERT_TRUE(pDlg->Result().bAccepted);

        std::vector<uint8_t> expected = MakeHeader(nVersion);
        if (nVersion == 1)
        {
            const std::array<int32_t, 5> values = OscSettingsRecordValues(OscSettingsOf(m_settings));
            AppendSettingsRecord(expected, values[0], values[1], values[2], values[3], values[4]);
            const uint8_t none[6] = {}, q[6] = {0, 0x20}, z[6] = {0, 0, 0, 0, 0x10};
            AppendToneRecord(expected, none, 100);
            AppendToneRecord(expected, q, 300);
            AppendToneRecord(expected, none, 100);
            AppendToneRecord(expected, z, 200);
        }
        EXPECT_EQ(expected, pDlg->Result().project);
        EXPECT_EQ(nVersion == 1, pDlg->Result().bRecorded);
        EXPECT_TRUE(m_out.Messages().empty());
        pDlg.reset();
    }
}

TEST_F(PlaysDlgTest, WithoutAStreamDirectXModeIsSilentWithoutAMessageAndStillRecords)
{
    m_settings.MusicType = 1;
    m_settings.ProjectType = 1;
    for (bool bStream : {false, true})
    {
        SCOPED_TRACE(bStream ? "the stream refuses" : "no stream");
        CFakeAudioOut audio;
        audio.FailAdd(true);
        if (bStream)
            UseStream(audio);
        std::unique_ptr<CPlaysDlg> pDlg = Open();
        ASSERT_TRUE(pDlg);
        EXPECT_EQ(nullptr, pDlg->ToneOutput());
        const int64_t nOpened = m_clock.NowMs();
        Press(Keys(*pDlg), Qt::Key_Q, kScanQ, "q");
        At(nOpened + 250);
        Press(Keys(*pDlg), Qt::Key_Return, kScanEnter, "\r");
        std::vector<uint8_t> expected = MakeHeader(1);
        const std::array<int32_t, 5> values = OscSettingsRecordValues(OscSettingsOf(m_settings));
        AppendSettingsRecord(expected, values[0], values[1], values[2], values[3], values[4]);
        EXPECT_EQ(expected + Bytes({'*', 0, 0x20, 0, 0, 0, 0, '@', 1, 250}), pDlg->Result().project);
        EXPECT_TRUE(m_prompter.Lines().empty()) << "nothing is said";
        pDlg.reset();
        m_fAudio = {};
    }
}
} // namespace

// The main window draws a take while it is recorded: it is told the records each time a key
// adds to them, once the key's events are done, and never after the window has closed.
TEST_F(PlaysDlgTest, TheTakeIsToldAsItGrows)
{
    m_settings.ProjectType = 0;
    std::unique_ptr<CPlaysDlg> pDlg = Open();
    ASSERT_TRUE(pDlg);
    std::vector<std::vector<uint8_t>> told;
    pDlg->SetTakeListener([&](std::span<const uint8_t> take)
                          { told.emplace_back(take.begin(), take.end()); });
    QWidget* pKeys = Keys(*pDlg);
    Press(pKeys, Qt::Key_Z, kScanZ, "z");
    SendKey(pKeys, QEvent::KeyPress, Qt::Key_Z, kScanZ, "z", true); // a repeat adds nothing
    QApplication::processEvents();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(Bytes({'$', 1, 0, 'M', 35, 23, 127, 0}), told.back());
    Release(pKeys, Qt::Key_Z, kScanZ, "z");
    QApplication::processEvents();
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(pDlg->Keyboard()->Keys().Recording(), told.back());
    Press(pKeys, Qt::Key_Return, kScanEnter, "\r");
    QApplication::processEvents();
    EXPECT_EQ(told.size(), 2u);
}

namespace
{
constexpr const char* kKeystation = "Keystation 49";

class PlaysDlgMidiInTest : public PlaysDlgTest
{
  protected:
    void SetUp() override
    {
        PlaysDlgTest::SetUp();
        m_fMidiIn = m_in.Factory();
        m_settings.MidiInName = kKeystation;
    }
    // Lets the window thread take what the input handed over.
    static void Settle() { QCoreApplication::processEvents(); }
    // Waits, with the window's events going, until fDone holds; false after a few seconds.
    static bool WaitFor(const std::function<bool()>& fDone)
    {
        for (int i = 0; i < 500 && !fDone(); ++i)
            QTest::qWait(10);
        return fDone();
    }
    CMidiInDouble m_in{{"Other", kKeystation}};
};

TEST_F(PlaysDlgMidiInTest, TheInputPlaysIntoTheTakeAtItsArrivalTimesOnTheWindowsChannel)
{
    const SPlayResult result =
        Run(MakeHeader(1),
            [&](CPlaysDlg& dlg)
            {
                EXPECT_EQ(kKeystation, m_in.OpenName());
                EXPECT_EQ(std::string(Txt::kMidiInOpen) + kKeystation, dlg.MidiInStatus());
                QWidget* pKeys = Keys(dlg);
                Press(pKeys, Qt::Key_Delete, kScanDelete); // channel 1
                Release(pKeys, Qt::Key_Delete, kScanDelete);
                // Arrivals at 1100 and 1400 ms on the input's own
                // thread; the window takes them only at 1900.
                At(1100);
                m_in.Send(0x503A92, true); // note 58 on channel 2
                At(1400);
                m_in.Send(0x7F01B2, true); // the modulation wheel
                m_in.Send(0x003A82, true);
                At(1900);
                EXPECT_TRUE(m_out.Messages().empty()) << "handled on the window thread";
                Settle();
                Press(pKeys, Qt::Key_Return, kScanEnter);
            });
    ASSERT_TRUE(result.bAccepted);
    EXPECT_EQ((std::vector<uint32_t>{0x503A91, 0x7F01B1, 0x3A81}), m_out.Messages());
    EXPECT_EQ(
        MakeHeader(1) +
            Bytes({'$', 1, 100, 'T', 3, 0x50, 0x3A, 0x91, '$', 2, 0x01, 0x2C, 'T', 3, 0x7F, 0x01, 0xB1}) +
            Bytes({'$', 1, 0, 'T', 2, 0x3A, 0x81}),
        result.project);
    EXPECT_FALSE(m_in.IsOpen()) << "the input closes with the window";
}

TEST_F(PlaysDlgMidiInTest, AMidiNoteLightsItsKeyAndClosingTheWindowEndsIt)
{
    for (bool bAccept : {true, false})
    {
        SCOPED_TRACE(bAccept);
        CRecorderMidiOut out(m_clock);
        auto pDlg = Open({}, &out);
        ASSERT_TRUE(pDlg);
        m_in.Send(0x643A90); // note 58: the picture of Z
        Settle();
        EXPECT_EQ(kOnColour, KeyColour(*pDlg, kSlotZ));
        if (bAccept)
            pDlg->accept();
        else
            pDlg->reject();
        EXPECT_EQ((std::vector<uint32_t>{0x643A90, 0x3A80}), out.Messages());
        EXPECT_EQ(kOffColour, KeyColour(*pDlg, kSlotZ));
        EXPECT_FALSE(m_in.IsOpen());
        if (bAccept)
        {
            EXPECT_EQ(MakeHeader(1) +
                          Bytes({'$', 1, 0, 'T', 3, 0x64, 0x3A, 0x90, '$', 1, 0, 'T', 2, 0x3A, 0x80}),
                      pDlg->Result().project);
        }
    }
}

TEST_F(PlaysDlgMidiInTest, AnInputThatVanishesWithANoteHeldEndsItAndSaysSoOnce)
{
    auto pDlg = Open();
    ASSERT_TRUE(pDlg);
    At(1200);
    m_in.Send(0x643090, true);
    Settle();
    At(1500);
    m_in.Vanish();
    ASSERT_TRUE(WaitFor([&] { return !m_in.IsOpen(); })) << "the window notices within its poll";
    EXPECT_EQ(std::string(Txt::kMidiInGone) + kKeystation, pDlg->MidiInStatus());
    EXPECT_EQ((std::vector<uint32_t>{0x643090, 0x3080}), m_out.Messages());
    m_in.Send(0x643290); // nothing arrives from a port that is gone
    Settle();
    pDlg->accept();
    EXPECT_EQ(MakeHeader(1) +
                  Bytes({'$', 1, 200, 'T', 3, 0x64, 0x30, 0x90, '$', 2, 0x01, 0x2C, 'T', 2, 0x30, 0x80}),
              pDlg->Result().project);
    EXPECT_EQ(1, m_in.Opens());
}

TEST_F(PlaysDlgMidiInTest, AnAbsentInputIsSaidAndTheKeysPlayOn)
{
    struct SCase
    {
        const char* pszName;
        std::string strStatus;
    };
    const SCase cases[] = {{"Unplugged", std::string(Txt::kMidiInMissing) + "Unplugged"}, {"", ""}};
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        m_settings.MidiInName = c.pszName;
        CRecorderMidiOut out(m_clock);
        auto pDlg = Open({}, &out);
        ASSERT_TRUE(pDlg);
        EXPECT_FALSE(m_in.IsOpen());
        EXPECT_EQ(c.strStatus, pDlg->MidiInStatus());
        Press(Keys(*pDlg), Qt::Key_Z, kScanZ, "z");
        Release(Keys(*pDlg), Qt::Key_Z, kScanZ, "z");
        pDlg->accept();
        EXPECT_EQ((std::vector<uint32_t>{0x7F3A90, 0x3A80}), out.Messages());
        EXPECT_TRUE(m_prompter.Messages().empty()) << "a status line, no message box";
    }
}
} // namespace

namespace
{
// A controller lights no key, yet the view behind the window hears that the take grew.
TEST_F(PlaysDlgMidiInTest, TheTakeListenerHearsOfWhatTheInputAddsToTheTake)
{
    auto pDlg = Open();
    ASSERT_TRUE(pDlg);
    std::vector<size_t> arrTold;
    pDlg->SetTakeListener([&](std::span<const uint8_t> take) { arrTold.push_back(take.size()); });
    m_in.Send(0x7F01B0, true);
    ASSERT_TRUE(WaitFor([&] { return !arrTold.empty(); }));
    EXPECT_EQ((std::vector<size_t>{8}), arrTold);
    pDlg->reject();
}
} // namespace
