// The piano-roll panel in the main window: it draws the selected row, its mouse selection is the
// Edit menu's, a click places the point Paste goes after and seeks what plays, and MID and WAV
// rows are read off the window thread.
#include "app/FileHelpers.h"
#include "mainwnd/CommandIds.h"
#include "mainwnd/TonegroveDlg.h"
#include "platform/sdl/SdlAudioOut.h"
#include "platform/sndfile/SndfileWavReader.h"
#include "roll/PianoRollView.h"
#include "sound/ProgramOutputs.h"
#include "tests/MediaFixtures.h"
#include "tests/ProjectFixtures.h"
#include "tests/TestServices.h"

#include <QApplication>
#include <QLabel>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace
{
class RollPanelTest : public ::testing::Test, protected CTestServices
{
  protected:
    std::unique_ptr<CTonegroveDlg> MakeWindow(const std::vector<std::string>& arrPaths)
    {
        auto pDlg = std::make_unique<CTonegroveDlg>(
            settings, SServices{prompter, reg.Store(), midiOut, clock, *m_pMedia, {}, {}, OpenSndfileWav, {}},
            arrPaths, music.File("Tonegrove"));
        pDlg->resize(900, 700);
        pDlg->show();
        return pDlg;
    }
    std::string Put(const std::string& strName, const std::vector<uint8_t>& bytes)
    {
        std::string strPath = folder.File(strName);
        EXPECT_TRUE(WriteWholeFile(strPath, bytes));
        return strPath;
    }
    static std::string Status(const CTonegroveDlg& dlg) { return dlg.EditStatus()->text().toStdString(); }
    // Presses at one time of the panel and lets go at another, over the notes.
    static void Drag(CPianoRollView* pRoll, int64_t nFromMs, int64_t nToMs)
    {
        const int y = pRoll->PlotRect().center().y();
        QTest::mousePress(pRoll, Qt::LeftButton, {}, QPoint(pRoll->TimeToX(double(nFromMs)), y));
        QTest::mouseMove(pRoll, QPoint(pRoll->TimeToX(double(nToMs)), y));
        QTest::mouseRelease(pRoll, Qt::LeftButton, {}, QPoint(pRoll->TimeToX(double(nToMs)), y));
    }
    static void Click(CPianoRollView* pRoll, int64_t nMs)
    {
        QTest::mouseClick(pRoll, Qt::LeftButton, {},
                          QPoint(pRoll->TimeToX(double(nMs)), pRoll->PlotRect().center().y()));
    }
    // Lets the window's timers run until fDone holds (a few seconds at most).
    static bool WaitUntil(const std::function<bool()>& fDone)
    {
        for (int i = 0; i < 500 && !fDone(); ++i)
            QTest::qWait(10);
        return fDone();
    }

    CSharedSdlAudioOut m_audioOut;
    std::unique_ptr<IMediaCommands> m_pMedia = MakeProgramMediaCommands(midiOut, m_audioOut.Factory());
    CTempFolder folder;
    CTempFolder music;
};

// Two notes, each on for half a second: records at 100, 600, 1100 and 1600 ms.
std::vector<uint8_t> TwoNotes()
{
    std::vector<uint8_t> p = MakeHeader(1);
    AppendEventRecord(p, 100, 0x643C90);
    AppendEventRecord(p, 500, 0x3C80);
    AppendEventRecord(p, 500, 0x643E90);
    AppendEventRecord(p, 500, 0x3E80);
    return p;
}
} // namespace

TEST_F(RollPanelTest, TheMouseSelectsRecordsForTheEditMenuAndAClickPlacesThePastePoint)
{
    const std::vector<uint8_t> original = TwoNotes();
    auto dlg = MakeWindow({Put("two.tgp", original)});
    dlg->ClickRow(0);
    ASSERT_TRUE(dlg->RollList());
    ASSERT_EQ(dlg->RollList()->notes.size(), 2u);
    CPianoRollView* pRoll = dlg->Roll();
    ASSERT_GT(pRoll->width(), 200);

    // A drag from 500 to 1200 ms takes the records sent in that span: the first note's off and
    // the second note's on. The panel and the status line show the Edit menu's selection.
    Drag(pRoll, 500, 1200);
    EXPECT_EQ("Выделено: 2–3 из 4", Status(*dlg));
    EXPECT_EQ(dlg->Editor().SelStart(), 2.0f);
    EXPECT_EQ(dlg->Editor().SelEnd(), 3.0f);
    dlg->OnCommand(Cmd::Copy);

    // Select all shows in the panel as the selection of every record.
    dlg->OnCommand(Cmd::SelectAll);
    EXPECT_EQ("Выделено: 1–4 из 4", Status(*dlg));

    // Zoomed in, a click at 1300 ms: nothing selected, and Paste goes after record 3 (sent at
    // 1100).
    pRoll->SetVisibleSpan(200, 1400);
    const double fFrom = pRoll->VisibleFromMs(), fTo = pRoll->VisibleToMs();
    Click(pRoll, 1300);
    EXPECT_EQ("Выделено: ничего из 4", Status(*dlg));
    dlg->OnCommand(Cmd::Paste);
    std::vector<uint8_t> expected = MakeHeader(1);
    AppendEventRecord(expected, 100, 0x643C90);
    AppendEventRecord(expected, 500, 0x3C80);
    AppendEventRecord(expected, 500, 0x643E90);
    AppendEventRecord(expected, 500, 0x3C80);
    AppendEventRecord(expected, 500, 0x643E90);
    AppendEventRecord(expected, 500, 0x3E80);
    EXPECT_EQ(expected, dlg->RowData(0));

    // The panel reads the edited row again, in the view it had.
    ASSERT_TRUE(dlg->RollList());
    EXPECT_EQ(dlg->RollList()->recordTimes, (std::vector<int64_t>{100, 600, 1100, 1600, 2100, 2600}));
    EXPECT_DOUBLE_EQ(pRoll->VisibleFromMs(), fFrom);
    EXPECT_DOUBLE_EQ(pRoll->VisibleToMs(), fTo);

    // Undo brings the row back, and the panel with it.
    dlg->OnCommand(Cmd::TbUndo);
    EXPECT_EQ(dlg->RollList()->recordTimes.size(), 4u);
    EXPECT_EQ(std::vector<std::string>{}, prompter.Lines());
}

TEST_F(RollPanelTest, AClickWhileTheRowPlaysSeeksIt)
{
    auto dlg = MakeWindow({Put("two.tgp", TwoNotes())});
    dlg->ClickRow(0);
    dlg->DoubleClickRow(0);
    ASSERT_TRUE(WaitUntil([&] { return dlg->Player().m_bPlaying.load(); }));
    ASSERT_TRUE(clock.AdvanceTo(200, [] { return false; }));
    ASSERT_EQ((std::vector<std::string>{"60@100"}), midiOut.NoteOns());

    // The play line follows the player.
    dlg->OnTimer();
    EXPECT_TRUE(dlg->Roll()->IsPlaying());

    // A click at 1100 ms (to the pixel: the time of its column may be a millisecond early): the
    // first note falls silent and the second sounds at once.
    Click(dlg->Roll(), 1100);
    for (int64_t n = 201; n < 300 && dlg->Player().m_nSeekMs >= 0; ++n)
        ASSERT_TRUE(clock.AdvanceTo(n, [] { return false; }));
    const int64_t nTaken = clock.NowMs();
    EXPECT_GE(dlg->Player().m_fPosition.load(), 1098.0f);
    EXPECT_TRUE(midiOut.Silenced(60));
    ASSERT_TRUE(clock.AdvanceTo(nTaken + 2, [] { return false; }));
    const std::vector<std::string> notes = midiOut.NoteOns();
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_TRUE(notes[1] == "62@" + std::to_string(nTaken) ||
                notes[1] == "62@" + std::to_string(nTaken + 1) ||
                notes[1] == "62@" + std::to_string(nTaken + 2))
        << notes[1] << " after the seek at " << nTaken;
    dlg->OnCommand(Cmd::Stop);
}

TEST_F(RollPanelTest, MediaRowsAreReadOffTheWindowThreadAndKept)
{
    CMidiTrack track;
    track.Event(0, {0x90, 60, 100}).Event(480, {0x80, 60, 0}).Event(0, {0x91, 64, 90}).End(480);
    SWavShape shape;
    shape.nFrames = 44100;
    auto dlg = MakeWindow({Put("song.mid", MakeMidi(0, 480, {track})), Put("tune.wav", MakeWav(shape)),
                           Put("bad.wav", Bytes({'R', 'I', 'F', 'F', 1, 2, 3})), Put("two.tgp", TwoNotes())});
    ASSERT_EQ(dlg->RowCount(), 4) << ::testing::PrintToString(prompter.Lines());

    dlg->ClickRow(0);
    ASSERT_TRUE(WaitUntil([&] { return dlg->RollList() != nullptr; }));
    EXPECT_EQ(dlg->RollList()->notes.size(), 2u);
    EXPECT_EQ(dlg->RollList()->notes[1].nChannel, 1);
    EXPECT_TRUE(dlg->RollList()->notes[1].bOpen);
    const SNoteList* pMidiList = dlg->RollList();

    // The WAV rows: no note list; the damaged one says so and nothing breaks.
    dlg->ClickRow(1);
    EXPECT_EQ(dlg->RollList(), nullptr);
    dlg->ClickRow(2);
    QTest::qWait(100);
    dlg->ClickRow(3);
    EXPECT_EQ(dlg->RollList()->notes.size(), 2u);

    // Back to the MID row: the list read before is shown at once, without another read.
    dlg->ClickRow(0);
    EXPECT_EQ(dlg->RollList(), pMidiList);
}

TEST_F(RollPanelTest, TabReachesThePanelAndItsArrowsStepThroughTheRecords)
{
    auto dlg = MakeWindow({Put("two.tgp", TwoNotes())});
    dlg->ClickRow(0);
    dlg->activateWindow();
    dlg->List()->setFocus();
    for (int i = 0; i < 4 && dlg->focusWidget() && dlg->focusWidget() != dlg->Roll(); ++i)
        QTest::keyClick(dlg->focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(dlg->focusWidget(), dlg->Roll());

    // Right goes to the first record; Shift+Right takes it and the next.
    QTest::keyClick(dlg->Roll(), Qt::Key_Right);
    EXPECT_EQ(dlg->Roll()->CursorMs(), 100.0);
    QTest::keyClick(dlg->Roll(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ("Выделено: 1–2 из 4", Status(*dlg));
}
