// The main window's transport on project rows, with the recorder output and the manual clock
// handed to the window as the program's outputs: what plays when, Pause, Stop, the timer's position and
// label, and the whole list played once or over and over.
#include "app/FileHelpers.h"
#include "app/Settings.h"
#include "mainwnd/CommandIds.h"
#include "mainwnd/QtPrompter.h"
#include "mainwnd/TonegroveApp.h"
#include "mainwnd/TonegroveDlg.h"
#include "mainwnd/WindowMidiOut.h"
#include "platform/TerminationSignals.h"
#include "platform/fluidsynth/FluidSynth.h"
#include "sound/MciPlayer.h"
#include "sound/SoundFontChoice.h"
#include "tests/MediaDoubles.h"
#include "tests/MessageBoxes.h"
#include "tests/ProjectFixtures.h"
#include "tests/TestServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <poll.h>
#include <thread>

namespace
{
// One note of nMs on key nNote, version 0.1: the project ends with its note off.
std::vector<uint8_t> NoteProject(int nNote, int32_t nMs)
{
    auto p = MakeHeader(1);
    AppendEventRecord(p, 0, 0x7F0090u | (static_cast<uint32_t>(nNote) << 8));
    AppendEventRecord(p, nMs, 0x0080u | (static_cast<uint32_t>(nNote) << 8));
    return p;
}

class TransportTest : public ::testing::Test, protected CTestServices
{
  protected:
    void SetUp() override { settings.DeviceIndex = -1; }
    // A window on the test's services, playing on m_pWindowMidiOut.
    std::unique_ptr<CTonegroveDlg> NewWindow()
    {
        return std::make_unique<CTonegroveDlg>(settings, WithMidiOut(*m_pWindowMidiOut));
    }

    std::string Put(const std::string& strName, const std::vector<uint8_t>& bytes)
    {
        const std::string strPath = folder.File(strName);
        EXPECT_TRUE(WriteWholeFile(strPath, bytes));
        return strPath;
    }
    // A window with one row per project, the first one selected.
    std::unique_ptr<CTonegroveDlg> Window(const std::vector<std::vector<uint8_t>>& projects)
    {
        auto dlg = NewWindow();
        for (size_t i = 0; i < projects.size(); ++i)
        {
            prompter.AnswerPath(Put("p" + std::to_string(i) + ".tgp", projects[i]));
            dlg->OnCommand(Cmd::Open);
        }
        dlg->ClickRow(0);
        return dlg;
    }
    // Time runs to nMs; the player has then done everything it does up to that moment.
    void RunTo(CTonegroveDlg& dlg, int64_t nMs)
    {
        ASSERT_TRUE(clock.AdvanceTo(nMs, [&] { return !dlg.Player().m_bPlaying; }));
    }
    std::string Tools(const CTonegroveDlg& dlg) const
    {
        std::string str;
        for (int nId : {Cmd::TbPlayback, Cmd::TbPause, Cmd::TbStop})
            str += dlg.IsToolEnabled(nId) ? '1' : '0';
        return str;
    }
    // The note ons sent, as "key@ms".
    std::vector<std::string> NoteOns() const { return midiOut.NoteOns(); }
    bool Silenced(int nNote) const { return midiOut.Silenced(nNote); }

    IMidiOut* m_pWindowMidiOut = &midiOut;
    CTempFolder folder;
};

TEST_F(TransportTest, PlaybackPauseAndResumeKeepTheScheduleAndTheTimerFollows)
{
    auto dlg = Window({NoteProject(60, 3000)});
    dlg->OnCommand(Cmd::Playback);
    EXPECT_TRUE(dlg->Player().m_bPlaying);
    EXPECT_TRUE(dlg->IsTimerRunning());
    EXPECT_TRUE(dlg->IsItemPlaying());
    EXPECT_EQ("011", Tools(*dlg));
    EXPECT_EQ(0, dlg->Playlist().Current());

    RunTo(*dlg, 1500);
    dlg->OnTimer();
    EXPECT_EQ("00:01", dlg->TimeLabel()->text().toStdString());
    EXPECT_EQ(50, dlg->PositionBar()->value());

    // F6 holds the project, Pause greys itself; F4 goes on from where it was.
    dlg->OnCommand(Cmd::Pause);
    EXPECT_TRUE(dlg->Player().m_bPause);
    EXPECT_EQ("101", Tools(*dlg));
    RunTo(*dlg, 2500);
    dlg->OnTimer();
    EXPECT_EQ("00:01", dlg->TimeLabel()->text().toStdString());
    EXPECT_TRUE(dlg->Player().m_bPlaying);
    EXPECT_TRUE(midiOut.Messages().size() == 1) << "nothing more is sent while paused";

    dlg->OnCommand(Cmd::Playback);
    EXPECT_FALSE(dlg->Player().m_bPause);
    RunTo(*dlg, 5000);
    dlg->OnTimer();
    EXPECT_FALSE(dlg->IsItemPlaying());
    // The note lasted its 3000 ms of playing plus the second of pause.
    const auto sent = midiOut.Sent();
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(0x7F3C90u, sent[0].dwMessage);
    EXPECT_EQ(0, sent[0].Ms());
    EXPECT_EQ(0x3C80u, sent[1].dwMessage);
    // The player notices the pause and the resume within one of its 50 ms steps.
    EXPECT_NEAR(4000, sent[1].Ms(), 50);
    // Without AllPlay nothing moves on and the timer keeps ticking.
    EXPECT_TRUE(dlg->IsTimerRunning());
    EXPECT_EQ(0, dlg->Playlist().Current());
}

// Opening or recording another project while one plays measures that one, not the one that
// plays: the bar keeps its scale.
TEST_F(TransportTest, TheBarFollowsTheProjectThatPlaysWhateverIsOpenedMeanwhile)
{
    auto dlg = Window({NoteProject(60, 4000)});
    dlg->OnCommand(Cmd::Playback);
    RunTo(*dlg, 1000);
    prompter.AnswerPath(Put("short.tgp", NoteProject(62, 500)));
    dlg->OnCommand(Cmd::Open);
    ASSERT_EQ(2, dlg->RowCount());
    EXPECT_EQ("00:00", dlg->RowText(1, 1));
    dlg->OnTimer();
    EXPECT_EQ(25, dlg->PositionBar()->value());
    EXPECT_EQ("00:01", dlg->TimeLabel()->text().toStdString());
    EXPECT_TRUE(dlg->IsItemPlaying());
}

TEST_F(TransportTest, StopInALongSilenceEndsAtOnceSilencesAndStopsTheTimer)
{
    auto dlg = Window({NoteProject(60, 600000)});
    dlg->OnCommand(Cmd::Playback);
    RunTo(*dlg, 1000);
    dlg->OnCommand(Cmd::Stop);
    RunTo(*dlg, 1000);
    EXPECT_FALSE(dlg->Player().m_bPlaying);
    EXPECT_TRUE(Silenced(60));
    EXPECT_EQ(0.0f, static_cast<float>(dlg->Player().m_fPosition));
    EXPECT_FALSE(dlg->IsItemPlaying());
    EXPECT_EQ("100", Tools(*dlg));
    EXPECT_FALSE(dlg->IsTimerRunning()) << "a stopped list does not move on";

    // And it plays again at once, from the start.
    dlg->OnCommand(Cmd::Playback);
    EXPECT_TRUE(dlg->Player().m_bPlaying);
    EXPECT_EQ((std::vector<std::string>{"60@0", "60@1000"}), NoteOns());
}

TEST_F(TransportTest, AllPlayPlaysEveryRowOnceThenStops)
{
    settings.AllPlay = true;
    auto dlg = Window({NoteProject(60, 200), NoteProject(62, 200), NoteProject(64, 200)});
    dlg->OnCommand(Cmd::Playback);
    for (int64_t t = 100; t <= 1000; t += 100)
    {
        RunTo(*dlg, t);
        dlg->OnTimer();
    }
    EXPECT_EQ((std::vector<std::string>{"60@0", "62@200", "64@400"}), NoteOns());
    EXPECT_FALSE(dlg->IsTimerRunning());
    EXPECT_EQ("100", Tools(*dlg));
    EXPECT_EQ(2, dlg->SelectedRow());
}

TEST_F(TransportTest, PlayNoEndPlaysEveryRowOnEveryPass)
{
    struct SCase
    {
        const char* pName;
        std::vector<int> arrNotes; // one 200 ms row per note
        std::vector<std::string> arrWanted;
    };
    const SCase cases[] = {
        {"three rows", {60, 62, 64}, {"60@0", "62@200", "64@400", "60@600", "62@800"}},
        {"one row", {60}, {"60@0", "60@200", "60@400", "60@600", "60@800"}},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pName);
        const size_t nBefore = NoteOns().size();
        settings.AllPlay = true;
        settings.PlayNoEnd = true;
        std::vector<std::vector<uint8_t>> rows;
        for (int nNote : c.arrNotes)
            rows.push_back(NoteProject(nNote, 200));
        auto dlg = Window(rows);
        const int64_t nStart = clock.NowMs();
        dlg->OnCommand(Cmd::Playback);
        for (int64_t t = 100; t <= 800; t += 100)
        {
            RunTo(*dlg, nStart + t);
            dlg->OnTimer();
        }
        std::vector<std::string> arrWanted;
        for (const std::string& str : c.arrWanted)
        {
            const size_t nAt = str.find('@');
            arrWanted.push_back(str.substr(0, nAt + 1) +
                                std::to_string(nStart + std::stoll(str.substr(nAt + 1))));
        }
        const std::vector<std::string> arrAll = NoteOns();
        EXPECT_EQ(arrWanted,
                  std::vector<std::string>(arrAll.begin() + static_cast<long>(nBefore), arrAll.end()));
        EXPECT_TRUE(dlg->IsTimerRunning());
        dlg->OnCommand(Cmd::Stop);
    }
}

TEST_F(TransportTest, StopStopsTheWholeListAndNothingMovesOnAfterIt)
{
    settings.AllPlay = true;
    auto dlg = Window({NoteProject(60, 300), NoteProject(62, 300)});
    dlg->OnCommand(Cmd::Playback);
    RunTo(*dlg, 100);
    dlg->OnTimer();
    dlg->OnCommand(Cmd::Stop);
    for (int64_t t = 200; t <= 1000; t += 100)
    {
        RunTo(*dlg, t);
        dlg->OnTimer();
    }
    EXPECT_EQ((std::vector<std::string>{"60@0"}), NoteOns());
    EXPECT_TRUE(Silenced(60));
    EXPECT_EQ(0, dlg->SelectedRow());
    EXPECT_EQ("100", Tools(*dlg));
}

// Playback, Pause, Stop as "Playback Pause Stop" enabled, in each state the transport passes.
TEST_F(TransportTest, TheToolbarAlwaysShowsWhatCanBeDone)
{
    auto dlg = Window({NoteProject(60, 300), NoteProject(62, 300)});
    EXPECT_EQ("100", Tools(*dlg)) << "a playable row is selected";
    dlg->OnCommand(Cmd::Playback);
    EXPECT_EQ("011", Tools(*dlg)) << "playing";
    dlg->ClickRow(1);
    EXPECT_EQ("111", Tools(*dlg)) << "another row selected: Playback would start it";
    dlg->ClickRow(0);
    dlg->OnCommand(Cmd::Pause);
    EXPECT_EQ("101", Tools(*dlg)) << "paused";
    dlg->OnCommand(Cmd::Playback);
    EXPECT_EQ("011", Tools(*dlg)) << "resumed";
    RunTo(*dlg, 400);
    dlg->OnTimer();
    EXPECT_EQ("100", Tools(*dlg)) << "ended without the whole list: Playback is back";
    dlg->OnCommand(Cmd::Pause);
    EXPECT_EQ("100", Tools(*dlg)) << "Pause with nothing playing does nothing";
    dlg->OnCommand(Cmd::Close);
    dlg->OnCommand(Cmd::Close);
    EXPECT_EQ(0, dlg->RowCount());
    EXPECT_EQ("000", Tools(*dlg)) << "an empty list";
    EXPECT_FALSE(dlg->IsToolEnabled(Cmd::TbPlay));
}

TEST_F(TransportTest, PlaybackOfAnotherRowStopsTheRowPlayingAndADamagedRowNeverHangs)
{
    auto damaged = NoteProject(64, 100) + Bytes({'$', 9});
    auto dlg = Window({NoteProject(60, 600000), NoteProject(62, 600000), damaged});
    dlg->OnCommand(Cmd::Playback);
    RunTo(*dlg, 500);

    // A double click on row 1 plays row 1, not more of row 0.
    dlg->DoubleClickRow(1);
    RunTo(*dlg, 600);
    EXPECT_TRUE(Silenced(60));
    EXPECT_EQ((std::vector<std::string>{"60@0", "62@500"}), NoteOns());
    EXPECT_EQ(1, dlg->Playlist().Current());

    // A damaged project: its messages are shown and Playback still comes back.
    dlg->DoubleClickRow(2);
    RunTo(*dlg, 700);
    EXPECT_TRUE(Silenced(62));
    EXPECT_FALSE(prompter.Lines().empty());
    dlg->OnTimer();
    EXPECT_FALSE(dlg->IsItemPlaying());
}

TEST_F(TransportTest, ClosingTheWindowStopsThePlayerAndSilencesItsNotes)
{
    auto dlg = Window({NoteProject(60, 600000)});
    dlg->OnCommand(Cmd::Playback);
    RunTo(*dlg, 200);
    dlg->done(0);
    EXPECT_FALSE(dlg->Player().m_bPlaying);
    EXPECT_TRUE(Silenced(60));
    EXPECT_EQ(0, midiOut.OpenHandles());
}

// Media rows against a scripted command layer: what the transport has the media player send.
class MediaTransportTest : public TransportTest
{
  protected:
    // Adds a media row (its file needs only to exist) whose length the layer gives.
    void AddMedia(CTonegroveDlg& dlg, const std::string& strName, int nAlias, const char* pszLength)
    {
        layer.Answer("Status mus" + std::to_string(nAlias) + " length", 0, pszLength);
        prompter.AnswerPath(Put(strName, Bytes({0})));
        dlg.OnCommand(Cmd::Open);
    }
    bool SentInOrder(const std::vector<std::string>& arrWanted) const { return layer.SentInOrder(arrWanted); }

    CScriptedMediaCommands& layer = mediaCommands;
};

TEST_F(MediaTransportTest, AllPlayGoesThroughProjectsAndMediaFiles)
{
    settings.AllPlay = true;
    auto dlg = NewWindow();
    prompter.AnswerPath(Put("a.tgp", NoteProject(60, 200)));
    dlg->OnCommand(Cmd::Open);
    AddMedia(*dlg, "b.wav", 1, "1000");
    prompter.AnswerPath(Put("c.tgp", NoteProject(64, 200)));
    dlg->OnCommand(Cmd::Open);
    dlg->ClickRow(0);
    // The WAV file plays for two polls, then it has ended.
    layer.Answer("Status mus1 mode", 0, "playing");
    layer.Answer("Status mus1 mode", 0, "playing");
    layer.Answer("Status mus1 mode", 0, "stopped");
    layer.Answer("Status mus1 position", 0, "250");

    dlg->OnCommand(Cmd::Playback);
    RunTo(*dlg, 200);
    dlg->OnTimer(); // row 0 has ended: row 1 starts
    EXPECT_EQ(1, dlg->Playlist().Current());
    ASSERT_TRUE(WaitFor([&] { return !dlg->Media().ThreadRunning(); }));
    EXPECT_TRUE(SentInOrder({"Play mus1", "Close mus1"}));
    dlg->OnTimer(); // row 1 has ended: row 2 starts
    EXPECT_EQ(2, dlg->Playlist().Current());
    RunTo(*dlg, 400);
    dlg->OnTimer();
    dlg->OnTimer(); // the end of the list
    EXPECT_EQ((std::vector<std::string>{"60@0", "64@200"}), NoteOns());
    EXPECT_FALSE(dlg->IsTimerRunning());
    EXPECT_EQ("100", Tools(*dlg));
}

TEST_F(MediaTransportTest, PauseResumeSeekAndStopOnAMediaRow)
{
    auto dlg = NewWindow();
    AddMedia(*dlg, "song.wav", 0, "1000");
    dlg->ClickRow(0);
    layer.Answer("Status mus0 mode", 0, "playing");
    layer.Answer("Status mus0 position", 0, "500");

    dlg->OnCommand(Cmd::Playback);
    ASSERT_TRUE(
        WaitFor([&] { return dlg->Media().m_fLength == 1000.0f && dlg->Media().m_fPosition == 500.0f; }));
    dlg->OnTimer();
    EXPECT_EQ(50, dlg->PositionBar()->value());
    EXPECT_EQ("011", Tools(*dlg));

    // F6 pauses the device, F6 again lets it go on from where it was.
    dlg->OnCommand(Cmd::Pause);
    EXPECT_TRUE(dlg->Media().m_bPause);
    EXPECT_EQ("101", Tools(*dlg));
    ASSERT_TRUE(WaitFor([&] { return SentInOrder({"Play mus0", "Pause mus0"}); }));
    dlg->OnCommand(Cmd::Pause);
    EXPECT_FALSE(dlg->Media().m_bPause);
    ASSERT_TRUE(WaitFor([&] { return SentInOrder({"Play mus0", "Pause mus0", "Play mus0"}); }));

    // The bar, clicked at its middle (15 pixels in are its start), seeks there.
    QSlider* pBar = dlg->PositionBar();
    pBar->resize(400, pBar->height());
    dlg->OnThumbPositionChanging(pBar->mapToGlobal(QPoint(0, 0)).x() + 15 + 200);
    const std::string strSeek = "Seek mus0 to 500";
    EXPECT_EQ(50, pBar->sliderPosition());
    EXPECT_TRUE(SentInOrder({"Play mus0", "Pause mus0", "Play mus0", strSeek}))
        << ::testing::PrintToString(layer.Sent());
    EXPECT_TRUE(dlg->IsTimerRunning());
    EXPECT_TRUE(dlg->Media().ThreadRunning());

    // Stop ends the thread, goes back to the start and stops the timer.
    dlg->OnCommand(Cmd::Stop);
    EXPECT_FALSE(dlg->IsTimerRunning());
    EXPECT_EQ("100", Tools(*dlg));
    ASSERT_TRUE(WaitFor([&] { return !dlg->Media().ThreadRunning(); }));
    EXPECT_TRUE(SentInOrder({strSeek, "Seek mus0 to 0", "Close mus0"}));
}

TEST_F(MediaTransportTest, AFileThatCannotBeOpenedIsToldOnceAndTheListMovesOn)
{
    settings.AllPlay = true;
    auto dlg = NewWindow();
    AddMedia(*dlg, "gone.wav", 0, "1000");
    prompter.AnswerPath(Put("after.tgp", NoteProject(62, 200)));
    dlg->OnCommand(Cmd::Open);
    dlg->ClickRow(0);
    const std::string strOpen = "open " + folder.File("gone.wav") + " type waveaudio alias mus0";
    layer.Answer(strOpen, 275);
    const size_t nBefore = prompter.Lines().size();

    dlg->OnCommand(Cmd::Playback);
    ASSERT_TRUE(WaitFor([&] { return !dlg->Media().ThreadRunning(); }));
    EXPECT_EQ(nBefore + 1, prompter.Lines().size());
    dlg->OnTimer();
    dlg->OnTimer();
    EXPECT_EQ(1, dlg->Playlist().Current());
    EXPECT_EQ((std::vector<std::string>{"62@0"}), NoteOns());
}

// A project row (0) and a WAV row (1) that plays until it is stopped.
class MixedTransportTest : public MediaTransportTest
{
  protected:
    std::unique_ptr<CTonegroveDlg> ProjectAndWav()
    {
        auto dlg = NewWindow();
        prompter.AnswerPath(Put("a.tgp", NoteProject(60, 600000)));
        dlg->OnCommand(Cmd::Open);
        AddMedia(*dlg, "b.wav", 1, "1000");
        layer.Answer("Status mus1 mode", 0, "playing");
        dlg->ClickRow(0);
        return dlg;
    }
    bool MediaPlays(CTonegroveDlg& dlg) { return dlg.Media().ThreadRunning() && dlg.Media().m_bPlaying; }
    bool OpenedAProjectAsMedia() const
    {
        for (const std::string& str : layer.Sent())
        {
            if (str.rfind("open ", 0) == 0 && str.find(".tgp") != std::string::npos)
                return true;
        }
        return false;
    }
    // The highlighted rows, which must be exactly the row Playback plays.
    std::vector<int> Highlighted(const CTonegroveDlg& dlg) const
    {
        std::vector<int> arr;
        for (const QModelIndex& index : dlg.List()->selectionModel()->selectedRows())
            arr.push_back(index.row());
        return arr;
    }
};

TEST_F(MixedTransportTest, StartingAnyRowStopsWhateverElsePlays)
{
    auto dlg = ProjectAndWav();
    dlg->OnCommand(Cmd::Playback);
    RunTo(*dlg, 500);

    // F4 on the WAV row: the project falls silent, the file plays.
    dlg->ClickRow(1);
    dlg->OnCommand(Cmd::Playback);
    RunTo(*dlg, 500);
    EXPECT_FALSE(dlg->Player().m_bPlaying);
    EXPECT_TRUE(Silenced(60));
    EXPECT_TRUE(MediaPlays(*dlg));
    EXPECT_EQ(1, dlg->Playlist().Current());

    // A double click back on the project: the file ends and the project starts from its start.
    dlg->DoubleClickRow(0);
    ASSERT_TRUE(WaitFor([&] { return !dlg->Media().ThreadRunning(); }));
    EXPECT_TRUE(SentInOrder({"Play mus1", "Close mus1"}));
    EXPECT_TRUE(dlg->Player().m_bPlaying);
    EXPECT_EQ((std::vector<std::string>{"60@0", "60@500"}), NoteOns());

    // Pause and Stop with the WAV row selected act on the project that plays; no media command
    // ever goes to the project row.
    dlg->ClickRow(1);
    dlg->OnCommand(Cmd::Pause);
    EXPECT_TRUE(dlg->Player().m_bPause);
    EXPECT_FALSE(dlg->Media().ThreadRunning());
    dlg->OnCommand(Cmd::Pause);
    EXPECT_FALSE(dlg->Player().m_bPause);
    dlg->OnCommand(Cmd::Stop);
    RunTo(*dlg, 600);
    EXPECT_FALSE(dlg->Player().m_bPlaying);
    EXPECT_FALSE(dlg->Media().ThreadRunning());
    EXPECT_FALSE(OpenedAProjectAsMedia()) << ::testing::PrintToString(layer.Sent());
    EXPECT_EQ("100", Tools(*dlg));

    // F5 with the project row selected while the file plays stops the file.
    dlg->ClickRow(1);
    dlg->OnCommand(Cmd::Playback);
    ASSERT_TRUE(MediaPlays(*dlg));
    dlg->ClickRow(0);
    dlg->OnCommand(Cmd::Stop);
    ASSERT_TRUE(WaitFor([&] { return !dlg->Media().ThreadRunning(); }));
    EXPECT_FALSE(dlg->IsItemPlaying());
}

TEST_F(MixedTransportTest, CloseWorksOnEveryRowAndKeepsTheHighlightOnTheRowThatPlays)
{
    auto dlg = ProjectAndWav();
    prompter.AnswerPath(Put("c.tgp", NoteProject(64, 600000)));
    dlg->OnCommand(Cmd::Open);
    // The last row plays; closing a row above it keeps it playing, as the row it now is.
    dlg->ClickRow(2);
    dlg->OnCommand(Cmd::Playback);
    dlg->ClickRow(1);
    EXPECT_TRUE(dlg->IsMenuEnabled(Cmd::Close)) << "a media row can be closed";
    dlg->OnCommand(Cmd::Close);
    ASSERT_EQ(2, dlg->RowCount());
    EXPECT_EQ(1, dlg->Playlist().Current());
    EXPECT_TRUE(dlg->Player().m_bPlaying);
    EXPECT_EQ(std::vector<int>{dlg->SelectedRow()}, Highlighted(*dlg));

    // Closing the row that plays stops it.
    dlg->ClickRow(1);
    dlg->OnCommand(Cmd::Close);
    RunTo(*dlg, 100);
    EXPECT_FALSE(dlg->Player().m_bPlaying);
    EXPECT_TRUE(Silenced(64));
    ASSERT_EQ(1, dlg->RowCount());
    EXPECT_EQ(std::vector<int>{0}, Highlighted(*dlg));
    EXPECT_EQ(0, dlg->SelectedRow());
    EXPECT_EQ("100", Tools(*dlg));
    dlg->OnCommand(Cmd::Playback);
    EXPECT_EQ((std::vector<std::string>{"64@0", "60@100"}), NoteOns()) << "F4 plays the highlighted row";
}

TEST_F(MixedTransportTest, KeysPageStepsAndTheWheelSeekToTheBarsValueAndAClickToTheClick)
{
    auto dlg = ProjectAndWav();
    dlg->ClickRow(1);
    dlg->OnCommand(Cmd::Playback);
    ASSERT_TRUE(MediaPlays(*dlg));
    QSlider* pBar = dlg->PositionBar();
    pBar->resize(400, pBar->height());
    // The mouse pointer stays far to the left of the bar throughout: it must not matter.
    QCursor::setPos(0, 0);

    struct SCase
    {
        const char* pName;
        std::function<void()> fAct;
        int nWanted;    // the bar's value, percent of the 1000 ms file
        int nSlack = 0; // pixels to values: a click may land one value off
    };
    auto key = [&](int nKey)
    {
        QKeyEvent press(QEvent::KeyPress, nKey, Qt::NoModifier);
        QApplication::sendEvent(pBar, &press);
    };
    auto wheel = [&](int nDelta)
    {
        const QPointF at(pBar->width() / 2.0, pBar->height() / 2.0);
        QWheelEvent event(at, pBar->mapToGlobal(at), QPoint(), QPoint(0, nDelta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(pBar, &event);
    };
    const SCase cases[] = {
        {"Right", [&] { key(Qt::Key_Right); }, 43},
        {"Left", [&] { key(Qt::Key_Left); }, 41},
        {"Page Up", [&] { key(Qt::Key_PageUp); }, 52},
        {"End", [&] { key(Qt::Key_End); }, 100},
        {"wheel up", [&] { wheel(120); }, 45},
        {"click at three quarters",
         [&]
         {
             // Where the style puts 75 for this bar: the click is taken there, not a page step.
             QStyleOptionSlider option;
             option.initFrom(pBar);
             option.orientation = Qt::Horizontal;
             option.minimum = 0;
             option.maximum = 100;
             option.sliderPosition = 42;
             option.sliderValue = 42;
             const QRect groove =
                 pBar->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, pBar);
             const QRect handle =
                 pBar->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, pBar);
             const int nSpan = groove.width() - handle.width();
             const int nX =
                 groove.x() + handle.width() / 2 + QStyle::sliderPositionFromValue(0, 100, 75, nSpan);
             QTest::mouseClick(pBar, Qt::LeftButton, Qt::NoModifier, QPoint(nX, pBar->height() / 2));
         },
         75, 1},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pName);
        pBar->setValue(42);
        const size_t nBefore = layer.Sent().size();
        c.fAct();
        EXPECT_NEAR(c.nWanted, pBar->value(), c.nSlack);
        const std::vector<std::string> sent = layer.Sent();
        const std::string strSeek = "Seek mus1 to " + std::to_string(pBar->value() * 10);
        EXPECT_NE(sent.end(), std::find(sent.begin() + static_cast<long>(nBefore), sent.end(), strSeek))
            << ::testing::PrintToString(
                   std::vector<std::string>(sent.begin() + static_cast<long>(nBefore), sent.end()));
    }
    EXPECT_FALSE(OpenedAProjectAsMedia());
}

// A worker's message box that nobody answers yet, and the commands that keep arriving.
TEST_F(MixedTransportTest, CommandsWhileAPlayersBoxIsOpenNeverWaitForIt)
{
    struct SCase
    {
        const char* pName;
        int nRow;         // the row played first
        bool bFailMidi;   // the MIDI output cannot be opened
        bool bFutureFile; // the project is of a version yet to come
    };
    const SCase cases[] = {
        {"MIDI output that cannot open", 0, true, false},
        {"future version", 0, false, true},
        {"media file that cannot open", 1, false, false},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pName);
        auto dlg = NewWindow();
        std::vector<uint8_t> project = NoteProject(60, 600000);
        if (c.bFutureFile)
            project[26] = '9'; // "... 0.9"
        prompter.AnswerPath(Put("a.tgp", project));
        dlg->OnCommand(Cmd::Open);
        AddMedia(*dlg, "b.wav", 1, "1000");
        if (c.nRow == 1)
            layer.Answer("open " + folder.File("b.wav") + " type waveaudio alias mus1", 275);
        midiOut.FailOpen(c.bFailMidi);
        dlg->ClickRow(c.nRow);

        prompter.HoldWorkers(true);
        const size_t nBefore = prompter.Lines().size();
        dlg->OnCommand(Cmd::Playback);
        ASSERT_TRUE(WaitFor([&] { return prompter.WorkersHeld() == 1; }));
        // F4, F6, F5, a double click and row switches: each returns at once and the box stays
        // the only one.
        for (int i = 0; i < 3; ++i)
        {
            EXPECT_TRUE(dlg->OnCommand(Cmd::Playback));
            dlg->DoubleClickRow(1 - c.nRow);
            dlg->ClickRow(1 - c.nRow);
            EXPECT_TRUE(dlg->OnCommand(Cmd::Pause));
            dlg->ClickRow(c.nRow);
            dlg->OnTimer();
        }
        EXPECT_TRUE(dlg->OnCommand(Cmd::Stop)); // the last one is kept for after the answer
        EXPECT_EQ(1, prompter.WorkersHeld());
        const size_t nAsked = prompter.Lines().size();
        EXPECT_LE(nAsked, nBefore + 2) << ::testing::PrintToString(prompter.Lines());

        // The user answers: the kept Stop runs, and the window is idle again.
        prompter.HoldWorkers(false);
        ASSERT_TRUE(WaitFor(
            [&]
            {
                dlg->OnTimer();
                return !dlg->Player().m_bPlaying && !dlg->Media().ThreadRunning() && !dlg->IsItemPlaying();
            }));
        EXPECT_FALSE(dlg->IsTimerRunning());
        EXPECT_EQ("100", Tools(*dlg));
        EXPECT_FALSE(OpenedAProjectAsMedia());
        midiOut.FailOpen(false);
    }
}

TEST_F(MixedTransportTest, TheWindowClosesWhileAPlayersBoxIsOpen)
{
    auto dlg = ProjectAndWav();
    midiOut.FailOpen(true);
    prompter.HoldWorkers(true);
    dlg->OnCommand(Cmd::Playback);
    ASSERT_TRUE(WaitFor([&] { return prompter.WorkersHeld() == 1; }));
    dlg->done(0);
    EXPECT_EQ(0, prompter.WorkersHeld());
    EXPECT_FALSE(dlg->Player().m_bPlaying);
    midiOut.FailOpen(false);
}

// Plays into the live play window once it is up: at each time of the manual clock a key goes
// down or up, as a key with its scan code arrives from the X server.
struct SLiveKey
{
    int64_t nMs;
    bool bDown;
    int nQtKey;
    uint32_t nScanCode;
    const char* pText;
};

void PlayIntoLiveWindow(CManualClock& clock, std::vector<SLiveKey> keys)
{
    QTimer::singleShot(0,
                       [&clock, keys]
                       {
                           QWidget* pWindow = QApplication::activeModalWidget();
                           ASSERT_NE(nullptr, pWindow);
                           for (const SLiveKey& k : keys)
                           {
                               clock.AdvanceTo(k.nMs, [] { return true; });
                               QWidget* pTarget = pWindow->focusWidget() ? pWindow->focusWidget() : pWindow;
                               QKeyEvent event(k.bDown ? QEvent::KeyPress : QEvent::KeyRelease, k.nQtKey,
                                               Qt::NoModifier, k.nScanCode, 0, 0, QString::fromUtf8(k.pText));
                               QApplication::sendEvent(pTarget, &event);
                           }
                       });
}

TEST_F(TransportTest, LivePlayRecordsIntoTheSelectedProjectAndEscChangesNothing)
{
    auto dlg = Window({NoteProject(60, 100)});
    const std::vector<uint8_t> before = dlg->RowData(0);

    PlayIntoLiveWindow(clock, {{100, true, Qt::Key_Z, 52, "z"},
                               {200, false, Qt::Key_Z, 52, "z"},
                               {300, true, Qt::Key_Escape, 9, "\x1b"}});
    dlg->OnCommand(Cmd::Play);
    EXPECT_EQ(before, dlg->RowData(0));
    EXPECT_EQ(1, dlg->RowCount());

    // The Russian layout gives the same key a Cyrillic letter: it plays the same note.
    PlayIntoLiveWindow(clock, {{600, true, 0x42F /* Я */, 52, "я"},
                               {850, false, 0x42F, 52, "я"},
                               {900, true, Qt::Key_Return, 36, "\r"}});
    dlg->OnCommand(Cmd::Play);
    std::vector<uint8_t> records;
    AppendEventRecord(records, 300, 0x7F3A90); // since this opening, at 300
    AppendEventRecord(records, 250, 0x3A80);
    EXPECT_EQ(before + records, dlg->RowData(0));
    EXPECT_EQ(records,
              std::vector<uint8_t>(dlg->RowData(0).begin() +
                                       static_cast<long>(std::min(before.size(), dlg->RowData(0).size())),
                                   dlg->RowData(0).end()));
    EXPECT_EQ("00:00", dlg->RowText(0, 1));
    EXPECT_EQ("100", Tools(*dlg)) << "nothing plays after a recording: only Playback";
    EXPECT_TRUE(dlg->Playlist().IsProject(0));
    EXPECT_TRUE(dlg->Playlist().Row(0).bModified) << "recorded into, not yet saved";
    EXPECT_EQ((std::vector<std::string>{"58@100", "58@600"}), NoteOns());
}

TEST_F(TransportTest, TheLiveWindowKeepsItsKeysAndTheTransportKeysReachTheMainWindow)
{
    auto dlg = Window({NoteProject(60, 600000)});
    CTonegroveApp app;
    app.SetMainWindow(dlg.get());
    dlg->OnCommand(Cmd::Playback);
    const std::vector<uint8_t> before = dlg->RowData(0);

    // Delete is the main window's Delete too: in the live window it moves the MIDI channel on.
    // F5 is Stop wherever it is pressed.
    PlayIntoLiveWindow(clock, {{100, true, Qt::Key_Delete, 119, ""},
                               {110, false, Qt::Key_Delete, 119, ""},
                               {120, true, Qt::Key_F5, 71, ""},
                               {130, false, Qt::Key_F5, 71, ""},
                               {200, true, Qt::Key_Z, 52, "z"},
                               {300, false, Qt::Key_Z, 52, "z"},
                               {400, true, Qt::Key_Escape, 9, "\x1b"}});
    dlg->OnCommand(Cmd::Play);
    app.SetMainWindow(nullptr);
    RunTo(*dlg, 400);
    EXPECT_FALSE(dlg->Player().m_bPlaying) << "F5 stopped the project";
    EXPECT_TRUE(Silenced(60));
    EXPECT_EQ(before, dlg->RowData(0));
    bool bOnChannel1 = false;
    for (uint32_t dw : midiOut.Messages())
        bOnChannel1 |= dw == 0x7F3A91;
    EXPECT_TRUE(bOnChannel1);
}

// The panic's 48 resets were sent, after the note off of key nNote.
bool PanickedAfterNoteOff(const CRecorderMidiOut& out, size_t nFrom, int nNote)
{
    const std::vector<SSent> arrSent = out.Sent();
    std::vector<uint32_t> arrResets;
    bool bOff = false;
    for (size_t i = nFrom; i < arrSent.size(); ++i)
    {
        const uint32_t dw = arrSent[i].dwMessage;
        if (arrSent[i].nHandle == 0)
            arrResets.push_back(dw);
        else if (arrResets.empty() && (dw & 0xF0) == 0x80 && int((dw >> 8) & 0x7F) == nNote)
            bOff = true;
    }
    return bOff && arrResets.size() == 48 && arrResets.front() == 0x7BB0 && arrResets.back() == 0x78BF;
}

TEST_F(TransportTest, PanicFromTheMenuOrThePauseKeyStopsAndSilencesEvenInTheLiveWindow)
{
    for (int nWay : {0, 1, 2})
    {
        SCOPED_TRACE(nWay);
        auto dlg = Window({NoteProject(60, 600000)});
        CTonegroveApp app;
        app.SetMainWindow(dlg.get());
        dlg->OnCommand(Cmd::Playback);
        RunTo(*dlg, clock.NowMs() + 100);
        ASSERT_TRUE(dlg->Player().m_bPlaying);
        const int nPanics = midiOut.Panics();
        const size_t nFrom = midiOut.Sent().size();
        if (nWay == 0)
            dlg->MenuAction(Cmd::Panic)->trigger();
        else if (nWay == 1)
            QTest::keyClick(dlg.get(), Qt::Key_Pause);
        else
        {
            // Z sounds in the live window and is held there when Pause/Break is pressed.
            const int64_t t = clock.NowMs();
            PlayIntoLiveWindow(clock, {{t + 100, true, Qt::Key_Z, 52, "z"},
                                       {t + 200, true, Qt::Key_Pause, 127, ""},
                                       {t + 210, false, Qt::Key_Pause, 127, ""},
                                       {t + 300, false, Qt::Key_Z, 52, "z"},
                                       {t + 400, true, Qt::Key_Escape, 9, "\x1b"}});
            dlg->OnCommand(Cmd::Play);
        }
        app.SetMainWindow(nullptr);
        EXPECT_EQ(nPanics + 1, midiOut.Panics());
        EXPECT_TRUE(PanickedAfterNoteOff(midiOut, nFrom, 60)) << "the project's note, then every channel";
        if (nWay == 2)
        {
            EXPECT_TRUE(PanickedAfterNoteOff(midiOut, nFrom, 58)) << "the live window's note too";
        }
        EXPECT_FALSE(dlg->IsItemPlaying());
        EXPECT_EQ("100", Tools(*dlg));
        RunTo(*dlg, clock.NowMs() + 1000);
        EXPECT_FALSE(dlg->Player().m_bPlaying);
    }
}

// Ports plugged in another order: the output is taken by the name stored with its index; one
// that has gone leaves the built-in synthesizer playing and is said once, when a project first
// plays. Older settings without a name play on the index as before.
TEST_F(TransportTest, TheOutputChosenIsFoundByItsNameAndALostOneIsSaidOnce)
{
    CRecorderMidiOut ports(clock, {"Tonegrove Synth", "Port A", "Port B"});
    m_pWindowMidiOut = &ports;
    struct SCase
    {
        const char* pName; // stored with DeviceIndex 1
        int nPlayedOn;
        const char* pMessage; // "" for none
    };
    const SCase cases[] = {
        {"", 1, ""},
        {"Port A", 1, ""},
        {"Port B", 2, ""},
        {"Port C", 0, "Tonegrove|MIDI-устройство «Port C» не найдено. Используется встроенный синтезатор."},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pName);
        ASSERT_EQ(0, reg.Store().Write(ERoot::CurrentUser, kSettingsKey, "", {EValueType::String, "x"}));
        ASSERT_EQ(
            0, reg.Store().Write(ERoot::CurrentUser, kSettingsKey, "DeviceIndex", {EValueType::String, "1"}));
        if (*c.pName)
            ASSERT_EQ(0, reg.Store().Write(ERoot::CurrentUser, kSettingsKey, "DeviceName",
                                           {EValueType::String, c.pName}));
        else
            reg.Store().Remove(ERoot::CurrentUser, kSettingsKey, "DeviceName");
        settings.DeviceName.clear();
        const size_t nLines = prompter.Lines().size();
        auto dlg = Window({NoteProject(60, 100)});
        EXPECT_EQ(nLines, prompter.Lines().size()) << "nothing said before anything plays";
        for (int nPlay = 0; nPlay < 2; ++nPlay)
        {
            dlg->OnCommand(Cmd::Playback);
            RunTo(*dlg, clock.NowMs() + 1000);
            EXPECT_EQ(c.nPlayedOn, ports.OpenedDevices().back());
        }
        const std::vector<std::string> lines = prompter.Lines();
        EXPECT_EQ(std::vector<std::string>(*c.pMessage ? 1 : 0, c.pMessage),
                  std::vector<std::string>(lines.begin() + std::ptrdiff_t(nLines), lines.end()));
    }
}

TEST_F(TransportTest, LivePlayWithoutARowRecordsIntoANewProjectOfTheChosenVersion)
{
    settings.ProjectType = 0;
    auto dlg = NewWindow();
    PlayIntoLiveWindow(clock, {{40, true, Qt::Key_Z, 52, "z"},
                               {1040, false, Qt::Key_Z, 52, "z"},
                               {1100, true, Qt::Key_Return, 36, "\r"}});
    dlg->OnCommand(Cmd::Play);
    ASSERT_EQ(1, dlg->RowCount());
    EXPECT_EQ(ERowKind::Project, dlg->Playlist().Row(0).eKind);
    EXPECT_NE(std::string::npos, dlg->RowText(0, 0).find("Melody1.tgp"));
    std::vector<uint8_t> records;
    AppendNoteOnRecord(records, 40, 35, 23, 127, 0);
    AppendNoteOffRecord(records, 1000, 35, 23, 0);
    EXPECT_EQ(MakeHeader(0) + records, dlg->RowData(0));
    EXPECT_EQ(records,
              std::vector<uint8_t>(dlg->RowData(0).begin() +
                                       static_cast<long>(std::min(kHeaderSize, dlg->RowData(0).size())),
                                   dlg->RowData(0).end()));
    EXPECT_EQ("00:01", dlg->RowText(0, 1));
}

TEST_F(MixedTransportTest, ARecordingFromAMediaRowIsTheHighlightedRowThatPlaybackPlays)
{
    auto dlg = ProjectAndWav();
    dlg->ClickRow(1);
    PlayIntoLiveWindow(clock, {{100, true, Qt::Key_Z, 52, "z"},
                               {300, false, Qt::Key_Z, 52, "z"},
                               {400, true, Qt::Key_Return, 36, "\r"}});
    dlg->OnCommand(Cmd::Play);
    ASSERT_EQ(3, dlg->RowCount());
    EXPECT_EQ(2, dlg->SelectedRow());
    EXPECT_EQ(std::vector<int>{2}, Highlighted(*dlg));
    EXPECT_EQ("100", Tools(*dlg)) << "nothing plays yet";
    const size_t nBefore = NoteOns().size();
    dlg->OnCommand(Cmd::Playback);
    EXPECT_EQ(2, dlg->Playlist().Current());
    EXPECT_FALSE(dlg->Media().ThreadRunning());
    RunTo(*dlg, 1000);
    EXPECT_EQ(nBefore + 1, NoteOns().size()) << "the recording played";
}

TEST(QtPrompterTest, AWorkersBoxLeavesTheWindowThreadInItsOwnLoopAndTheEndAnswersIt)
{
    CQtPrompter prompter;
    std::atomic<int> nAnswer{-1};
    std::thread worker(
        [&]
        {
            nAnswer = static_cast<int>(
                prompter.Ask(SMessage{"text", "caption", EIcon::Error, EButtons::Ok, false}));
        });
    // The box comes up while this thread goes on with its own work, not inside the box's loop.
    QMessageBox* pBox = WaitForBox();
    ASSERT_NE(nullptr, pBox);
    EXPECT_TRUE(prompter.IsWorkerAsking());
    EXPECT_EQ("text", pBox->text().toStdString());
    EXPECT_TRUE(pBox->isModal());
    pBox->button(QMessageBox::Ok)->click();
    worker.join();
    EXPECT_EQ(static_cast<int>(EAnswer::Ok), nAnswer);
    EXPECT_FALSE(prompter.IsWorkerAsking());

    // The program ends while a worker's question is open: it is answered as its close box does,
    // and every later one at once.
    std::thread second(
        [&]
        {
            nAnswer = static_cast<int>(
                prompter.Ask(SMessage{"q", "c", EIcon::Question, EButtons::YesNoCancel, false}));
        });
    ASSERT_TRUE(WaitFor(
        [&]
        {
            QCoreApplication::processEvents();
            return VisibleBox() != nullptr;
        }));
    prompter.EndWorkerMessages(true);
    second.join();
    EXPECT_EQ(static_cast<int>(EAnswer::Cancel), nAnswer);
    std::thread third([&] { nAnswer = static_cast<int>(prompter.Ask(SMessage{"t", "c", EIcon::Error})); });
    third.join();
    EXPECT_EQ(static_cast<int>(EAnswer::Ok), nAnswer);
    prompter.EndWorkerMessages(false);
    QCoreApplication::processEvents();
}

// News told from a thread that holds a lock, the window thread's included: the teller goes on at
// once, and the box comes up later on the window thread with nobody waiting on it.
// A SoundFont setting that names no SoundFont: the window's user hears of it once, in the
// program's words, and the project plays on the system's General MIDI SoundFont instead.
TEST_F(TransportTest, ABadSoundFontIsSaidOnceAndTheProjectPlaysOnTheFallback)
{
    if (std::getenv(kSoundFontEnv))
        GTEST_SKIP() << kSoundFontEnv << " overrides the setting";
    if (!FileExists(kSystemSoundFont))
        GTEST_SKIP() << kSystemSoundFont << " is not installed";
    const std::string strBad = Put("broken.sf2", {'n', 'o', 't', ' ', 's', 'f', '2'});
    ASSERT_EQ(0, reg.Store().Write(ERoot::CurrentUser, kSettingsKey, kSoundFontSetting,
                                   {EValueType::String, strBad}));
    CFakeAudioOut audio;
    {
        std::unique_ptr<IMidiOut> pOut = MakeWindowMidiOut(
            prompter, settings, [&audio] { return std::shared_ptr<IAudioOut>(&audio, [](IAudioOut*) {}); });
        m_pWindowMidiOut = pOut.get();
        auto dlg = Window({NoteProject(60, 1000)});
        for (int nTime : {1, 2})
        {
            SCOPED_TRACE(nTime);
            dlg->OnCommand(Cmd::Playback);
            EXPECT_TRUE(dlg->Player().m_bPlaying);
            // The note sounds: the synthesizer plays with the fallback's instruments.
            EXPECT_TRUE(WaitFor(
                [&]
                {
                    const std::vector<float> mix = audio.Mix(1024);
                    return std::any_of(mix.begin(), mix.end(), [](float f) { return f != 0.0f; });
                }));
            RunTo(*dlg, clock.NowMs() + 2000);
            EXPECT_FALSE(dlg->Player().m_bPlaying);
        }
        dlg.reset();
        m_pWindowMidiOut = &midiOut;
    }
    EXPECT_EQ((std::vector<std::string>{"Tonegrove|Не удалось загрузить SoundFont " + strBad +
                                        ": it is not a SoundFont. Используется " + kSystemSoundFont + "."}),
              prompter.Lines());
    ASSERT_EQ(1u, prompter.Messages().size());
    EXPECT_FALSE(prompter.Messages()[0].bOwned);
}

TEST(QtPrompterTest, AToldMessageNeverWaitsAndShowsOnTheWindowThread)
{
    CQtPrompter prompter;
    const SMessage message{"news", "Tonegrove", EIcon::Warning, EButtons::Ok, false};
    for (bool bFromWorker : {true, false})
    {
        SCOPED_TRACE(bFromWorker);
        if (bFromWorker)
            std::thread([&] { prompter.Tell(message); }).join();
        else
            prompter.Tell(message);
        EXPECT_EQ(nullptr, VisibleBox()) << "nothing is shown inside the teller's call";
        QMessageBox* pBox = WaitForBox();
        ASSERT_NE(nullptr, pBox);
        EXPECT_EQ("news", pBox->text().toStdString());
        EXPECT_EQ("Tonegrove", pBox->windowTitle().toStdString());
        EXPECT_FALSE(prompter.IsWorkerAsking()) << "no worker waits for it";
        // The program's end closes it as it closes workers' boxes.
        prompter.EndWorkerMessages(true);
        QCoreApplication::processEvents();
        EXPECT_EQ(nullptr, VisibleBox());
        prompter.EndWorkerMessages(false);
    }
    // Told after the end began: nothing comes up.
    prompter.EndWorkerMessages(true);
    prompter.Tell(message);
    QCoreApplication::processEvents();
    EXPECT_EQ(nullptr, VisibleBox());
    prompter.EndWorkerMessages(false);
}
} // namespace

namespace
{
TEST(TerminationSignalsTest, ASignalBecomesAReadableRequest)
{
    CTerminationSignals termination;
    ASSERT_GE(termination.Descriptor(), 0);
    EXPECT_EQ(0, termination.Take());
    for (int nSignal : {SIGTERM, SIGINT})
    {
        raise(nSignal); // the process goes on: only the pipe hears of it
        pollfd fd{termination.Descriptor(), POLLIN, 0};
        ASSERT_EQ(1, poll(&fd, 1, 5000));
        EXPECT_EQ(nSignal, termination.Take());
        EXPECT_EQ(0, termination.Take());
    }
}

TEST_F(TransportTest, EndingFromOutsideSilencesKeepsUnsavedWorkAsACopyAndTheNextStartOffersIt)
{
    const std::vector<uint8_t> saved = NoteProject(60, 600000);
    auto dlg = Window({saved});
    const std::string strPath = dlg->RowText(0, 0);
    PlayIntoLiveWindow(clock, {{100, true, Qt::Key_Z, 52, "z"},
                               {200, false, Qt::Key_Z, 52, "z"},
                               {300, true, Qt::Key_Return, 36, "\r"}});
    dlg->OnCommand(Cmd::Play);
    const std::vector<uint8_t> unsaved = dlg->RowData(0);
    ASSERT_NE(saved, unsaved);
    dlg->OnCommand(Cmd::Playback);
    RunTo(*dlg, 400);
    const size_t nAsked = prompter.Lines().size();

    dlg->OnTerminationRequest();
    EXPECT_FALSE(dlg->Player().m_bPlaying);
    EXPECT_TRUE(Silenced(60));
    EXPECT_EQ(0, midiOut.OpenHandles());
    EXPECT_EQ(nAsked, prompter.Lines().size()) << "nothing is asked while ending";
    EXPECT_EQ(saved, ReadWholeFile(strPath)) << "the user's file is not written without the user";
    EXPECT_EQ(unsaved, ReadWholeFile(strPath + "~"));
    dlg.reset();

    struct SCase
    {
        const char* pName;
        EAnswer eAnswer;
        bool bRowHasCopy;
    };
    for (const SCase& c : {SCase{"no", EAnswer::No, false}, SCase{"yes", EAnswer::Yes, true}})
    {
        SCOPED_TRACE(c.pName);
        if (c.eAnswer == EAnswer::Yes) // "no" forgot the list; end once more to make it again
        {
            auto again = NewWindow();
            prompter.AnswerPath(strPath);
            again->OnCommand(Cmd::Open);
            WriteWholeFile(strPath + "~", unsaved);
            again->OnTerminationRequest(); // the row is saved: no copy is listed ...
            EXPECT_FALSE(reg.Store().Read(ERoot::CurrentUser, kSettingsKey, "RecoveryCopies"));
            reg.Store().Write(ERoot::CurrentUser, kSettingsKey, "RecoveryCopies",
                              SRegValue{EValueType::String, strPath + "~\n"}); // ... as the first end did
        }
        const size_t nBefore = prompter.Lines().size();
        prompter.Answer(c.eAnswer);
        auto next = NewWindow();
        ASSERT_EQ(nBefore + 1, prompter.Lines().size());
        EXPECT_NE(std::string::npos, prompter.Lines().back().find(strPath + "~"));
        EXPECT_EQ(c.bRowHasCopy ? 1 : 0, next->RowCount());
        if (c.bRowHasCopy)
        {
            EXPECT_EQ(strPath, next->RowText(0, 0));
            EXPECT_EQ(unsaved, next->RowData(0));
            EXPECT_TRUE(next->HasUnsavedProjects());
        }
        EXPECT_EQ(!c.bRowHasCopy, FileExists(strPath + "~")) << "a copy not taken stays on disk";
        next->OnTerminationRequest();
        next.reset();
        // A declined offer is not made again; work taken back and still unsaved is kept again.
        const size_t nAfter = prompter.Lines().size();
        if (c.bRowHasCopy)
            prompter.Answer(EAnswer::No);
        auto third = NewWindow();
        EXPECT_EQ(nAfter + (c.bRowHasCopy ? 1 : 0), prompter.Lines().size());
    }
}
} // namespace
