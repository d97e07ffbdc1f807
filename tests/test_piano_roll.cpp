// The piano-roll panel under the offscreen platform: what a drag, a click, the arrow keys and the
// wheel choose, and what is drawn where (the play line, an open note's hatched end).
#include "project/ProjectFormat.h"
#include "roll/NoteList.h"
#include "roll/PianoRollView.h"
#include "sound/MidiFile.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace
{
// Ten records, one a second but the last: record k at (k - 1) s, record 10 at 10 s. Pitch 67
// never gets its note off and runs open to the end.
std::shared_ptr<const SNoteList> TenRecordProject()
{
    std::vector<uint8_t> p = MakeHeader(1);
    AppendEventRecord(p, 0, 0x7F3C90);    // 1: 0 s, on 60
    AppendEventRecord(p, 1000, 0x3C80);   // 2: 1 s, off 60
    AppendEventRecord(p, 1000, 0x7F4090); // 3: 2 s, on 64
    AppendEventRecord(p, 1000, 0x4080);   // 4: 3 s, off 64
    AppendEventRecord(p, 1000, 0x7F4390); // 5: 4 s, on 67, never ended
    AppendEventRecord(p, 1000, 0x7F4890); // 6: 5 s, on 72
    AppendEventRecord(p, 1000, 0x4880);   // 7: 6 s, off 72
    AppendEventRecord(p, 1000, 0x7F3090); // 8: 7 s, on 48
    AppendEventRecord(p, 1000, 0x3080);   // 9: 8 s, off 48
    AppendEventRecord(p, 2000, 0x0007B0); // 10: 10 s, a controller
    return std::make_shared<const SNoteList>(BuildProjectNoteList(p));
}

// A MID file's notes: no records to select, arrows step a second.
std::shared_ptr<const SNoteList> MidiNotes()
{
    SMidiFile file;
    file.events = {{0, 0x7F3C90, 0}, {3000000, 0x3C80, 0}};
    file.nLengthUs = 5000000;
    file.nLengthMs = 5000;
    return std::make_shared<const SNoteList>(BuildMidiNoteList(file));
}

bool SameRgb(QRgb a, const QColor& b)
{
    return (a & 0xFFFFFF) == (b.rgb() & 0xFFFFFF);
}

class PianoRoll : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        m_view.resize(600, 300);
        m_view.show();
        // The wiring the window does: what the panel chooses comes back as the selection.
        QObject::connect(&m_view, &CPianoRollView::SelectionChosen, &m_view, &CPianoRollView::SetSelection);
    }
    int Y() const { return m_view.PlotRect().center().y(); }
    QPoint At(double fMs) const { return QPoint(m_view.TimeToX(fMs), Y()); }
    void Drag(QPoint from, QPoint to)
    {
        QTest::mousePress(&m_view, Qt::LeftButton, {}, from);
        QTest::mouseMove(&m_view, (from + to) / 2);
        QTest::mouseMove(&m_view, to);
        QTest::mouseRelease(&m_view, Qt::LeftButton, {}, to);
    }
    void Wheel(QPoint at, int nAngle, Qt::KeyboardModifiers mods)
    {
        QWheelEvent event(at, m_view.mapToGlobal(at), QPoint(), QPoint(0, nAngle), Qt::NoButton, mods,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&m_view, &event);
    }
    static std::vector<int> Args(const QSignalSpy& spy, int nIndex)
    {
        std::vector<int> arr;
        for (int i = 0; i < spy.at(nIndex).size(); ++i)
            arr.push_back(spy.at(nIndex).at(i).toInt());
        return arr;
    }

    CPianoRollView m_view;
};

TEST_F(PianoRoll, DragSelectsTheRecordsOfItsSpanOverRulerOrNotes)
{
    struct SCase
    {
        double fFromMs, fToMs;
        bool bOnRuler;
        int nFirst, nLast;
    };
    const SCase cases[] = {
        {1500, 3500, false, 3, 4}, // records at 2 s and 3 s
        {3500, 1500, true, 3, 4},  // leftwards, over the ruler
        {4500, 9900, false, 6, 9}, // 5 s to 8 s; the controller at 10 s is outside
        {8300, 9700, true, 0, 0},  // no record in between
        {0, 10000, false, 1, 10},  // the whole width
    };
    m_view.ShowNotes(TenRecordProject());
    for (const SCase& c : cases)
    {
        QSignalSpy selections(&m_view, &CPianoRollView::SelectionChosen);
        QSignalSpy positions(&m_view, &CPianoRollView::PositionChosen);
        const int y = c.bOnRuler ? m_view.RulerRect().center().y() : Y();
        const int nRight = m_view.PlotRect().right();
        Drag(QPoint(std::min(m_view.TimeToX(c.fFromMs), nRight), y),
             QPoint(std::min(m_view.TimeToX(c.fToMs), nRight), y));
        ASSERT_EQ(selections.size(), 1) << c.fFromMs << " to " << c.fToMs;
        EXPECT_EQ(Args(selections, 0), (std::vector<int>{c.nFirst, c.nLast}))
            << c.fFromMs << " to " << c.fToMs;
        EXPECT_EQ(positions.size(), 0);
    }
}

TEST_F(PianoRoll, ClickChoosesItsTimeAndADragInAMidiRowIsAClick)
{
    m_view.ShowNotes(TenRecordProject());
    QSignalSpy positions(&m_view, &CPianoRollView::PositionChosen);
    QSignalSpy selections(&m_view, &CPianoRollView::SelectionChosen);
    const QPoint at = At(2500);
    QTest::mouseClick(&m_view, Qt::LeftButton, {}, at);
    ASSERT_EQ(positions.size(), 1);
    EXPECT_EQ(positions.at(0).at(0).toLongLong(), std::llround(m_view.XToTime(at.x())));
    EXPECT_NEAR(positions.at(0).at(0).toLongLong(), 2500, 20); // a pixel is about 18 ms
    EXPECT_EQ(m_view.CursorMs(), static_cast<double>(positions.at(0).at(0).toLongLong()));

    m_view.ShowNotes(MidiNotes());
    Drag(At(1000), At(3000));
    EXPECT_EQ(selections.size(), 0);
    ASSERT_EQ(positions.size(), 2);
    EXPECT_NEAR(positions.at(1).at(0).toLongLong(), 1000, 20);
}

TEST_F(PianoRoll, ArrowsMoveToNeighbouringRecordsAndShiftArrowsExtendTheSelection)
{
    struct SStep
    {
        int nKey;
        Qt::KeyboardModifiers mods;
        qint64 nPosition;          // -1: no position chosen
        int nFirst = 0, nLast = 0; // 0, 0: no selection chosen
    };
    const SStep steps[] = {
        {Qt::Key_Right, Qt::NoModifier, 0}, // no cursor yet: the first record
        {Qt::Key_Right, Qt::NoModifier, 1000},
        {Qt::Key_Right, Qt::NoModifier, 2000},
        {Qt::Key_Left, Qt::NoModifier, 1000},
        {Qt::Key_Right, Qt::NoModifier, 2000},
        {Qt::Key_Right, Qt::ShiftModifier, -1, 3, 4}, // from record 3, at the cursor
        {Qt::Key_Right, Qt::ShiftModifier, -1, 3, 5},
        {Qt::Key_Left, Qt::ShiftModifier, -1, 3, 4},
        {Qt::Key_Left, Qt::ShiftModifier, -1, 3, 3},
        {Qt::Key_Left, Qt::ShiftModifier, -1, 2, 3}, // past the anchor: the end moves on
        {Qt::Key_Left, Qt::ShiftModifier, -1, 1, 3},
        {Qt::Key_Left, Qt::ShiftModifier, -1, 1, 3}, // no record before the first
    };
    m_view.ShowNotes(TenRecordProject());
    for (const SStep& step : steps)
    {
        QSignalSpy positions(&m_view, &CPianoRollView::PositionChosen);
        QSignalSpy selections(&m_view, &CPianoRollView::SelectionChosen);
        QTest::keyClick(&m_view, static_cast<Qt::Key>(step.nKey), step.mods);
        if (step.nPosition >= 0)
        {
            ASSERT_EQ(positions.size(), 1) << step.nPosition;
            EXPECT_EQ(positions.at(0).at(0).toLongLong(), step.nPosition);
            EXPECT_EQ(selections.size(), 0);
        }
        else
        {
            ASSERT_EQ(selections.size(), 1) << step.nFirst << "," << step.nLast;
            EXPECT_EQ(Args(selections, 0), (std::vector<int>{step.nFirst, step.nLast}));
            EXPECT_EQ(positions.size(), 0);
        }
    }

    // A MID row has no records: a second a step, within its length.
    m_view.ShowNotes(MidiNotes());
    QSignalSpy positions(&m_view, &CPianoRollView::PositionChosen);
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left})
        QTest::keyClick(&m_view, key);
    std::vector<qint64> arrMs;
    for (const QList<QVariant>& args : positions)
        arrMs.push_back(args.at(0).toLongLong());
    EXPECT_EQ(arrMs, (std::vector<qint64>{1000, 2000, 1000, 0, 0}));
}

TEST_F(PianoRoll, CtrlWheelZoomsAboutTheMouseAndTheRulersDoubleClickFits)
{
    m_view.ShowNotes(TenRecordProject());
    ASSERT_EQ(m_view.VisibleFromMs(), 0);
    ASSERT_NEAR(m_view.VisibleToMs(), 10000, 1e-6);
    const QPoint at = At(7000);
    const double fUnder = m_view.XToTime(at.x());

    Wheel(at, 120, Qt::NoModifier); // without Ctrl: scrolls, and at full width there is nowhere to go
    EXPECT_EQ(m_view.VisibleFromMs(), 0);
    EXPECT_NEAR(m_view.VisibleToMs(), 10000, 1e-6);

    for (int i = 0; i < 3; ++i)
        Wheel(at, 120, Qt::ControlModifier);
    const double fSpan = m_view.VisibleToMs() - m_view.VisibleFromMs();
    EXPECT_LT(fSpan, 10000 * 0.6);
    EXPECT_GT(m_view.VisibleFromMs(), 0);
    EXPECT_NEAR(m_view.XToTime(at.x()), fUnder, 1e-6); // the time under the mouse stays there

    const double fStart = m_view.VisibleFromMs();
    Wheel(at, -120, Qt::NoModifier); // now the wheel scrolls on by an eighth, the zoom stays
    EXPECT_NEAR(m_view.VisibleFromMs(), fStart + fSpan / 8, 1e-6);
    EXPECT_NEAR(m_view.VisibleToMs() - m_view.VisibleFromMs(), fSpan, 1e-6);

    QTest::mouseDClick(&m_view, Qt::LeftButton, {}, QPoint(at.x(), m_view.PlotRect().center().y()));
    EXPECT_NEAR(m_view.VisibleToMs() - m_view.VisibleFromMs(), fSpan, 1e-6); // not on the ruler
    QTest::mouseDClick(&m_view, Qt::LeftButton, {}, QPoint(at.x(), m_view.RulerRect().center().y()));
    EXPECT_EQ(m_view.VisibleFromMs(), 0);
    EXPECT_NEAR(m_view.VisibleToMs(), 10000, 1e-6);
}

TEST_F(PianoRoll, PlayLineIsDrawnAtItsTimeFollowsTheSourceAndPagesIntoView)
{
    m_view.ShowNotes(TenRecordProject());
    double fPosition = 4500;
    m_view.SetPositionSource([&] { return fPosition; });
    m_view.SetPlaying(true);
    const QRect plot = m_view.PlotRect();
    auto redRows = [&](int x)
    {
        const QImage image = m_view.grab().toImage();
        int nRows = 0;
        for (int y = plot.top(); y <= plot.bottom(); ++y)
            nRows += SameRgb(image.pixel(x, y), RollColours::kPlayLine);
        return nRows;
    };
    const int x = m_view.TimeToX(4500);
    EXPECT_EQ(redRows(x), plot.height());
    EXPECT_EQ(redRows(x - 2), 0);
    EXPECT_EQ(redRows(x + 2), 0);

    fPosition = 6000; // the display's frames follow it
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_view.PlayMs() == 6000; }, 5000));
    EXPECT_EQ(redRows(m_view.TimeToX(6000)), plot.height());
    EXPECT_EQ(redRows(x), 0);

    // Zoomed in to the first two seconds, the line pages the view along with it.
    m_view.SetVisibleSpan(0, 2000);
    fPosition = 8200;
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_view.PlayMs() == 8200; }, 5000));
    EXPECT_LE(m_view.VisibleFromMs(), 8200);
    EXPECT_GT(m_view.VisibleToMs(), 8200);
    EXPECT_NEAR(m_view.VisibleToMs() - m_view.VisibleFromMs(), 2000, 1e-6);

    m_view.SetPlaying(false); // stopped, the line stays where it was drawn
    fPosition = 9000;
    QTest::qWait(100);
    EXPECT_EQ(m_view.PlayMs(), 8200);
}

TEST_F(PianoRoll, AnOpenNotesEndIsHatchedAndAClosedNotesIsNot)
{
    m_view.ShowNotes(TenRecordProject());
    const QImage image = m_view.grab().toImage();
    const QColor note = QColor::fromRgb(RollColours::Note(0, 127));
    // The rows of a note: where its colour is in the middle of it.
    auto hatchIn = [&](double fStartMs, double fEndMs)
    {
        const int xMiddle = m_view.TimeToX((fStartMs + fEndMs) / 2);
        int nRows = 0, nHatch = 0;
        for (int y = 0; y < image.height(); ++y)
        {
            if (!SameRgb(image.pixel(xMiddle, y), note))
                continue;
            ++nRows;
            for (int x = m_view.TimeToX(fEndMs) - 12; x < m_view.TimeToX(fEndMs); ++x)
                nHatch += SameRgb(image.pixel(x, y), RollColours::kHatch);
        }
        EXPECT_GT(nRows, 3) << fStartMs;
        return nHatch;
    };
    EXPECT_GT(hatchIn(4000, 10000), 6); // pitch 67: open
    EXPECT_EQ(hatchIn(2000, 3000), 0);  // pitch 64: closed
}
TEST_F(PianoRoll, SelectionIsShadedFromTheFirstToTheLastRecordsTime)
{
    m_view.ShowNotes(TenRecordProject());
    const QImage before = m_view.grab().toImage();
    m_view.SetSelection(3, 5); // records at 2 s and 4 s
    const QImage after = m_view.grab().toImage();
    const int y = m_view.PlotRect().top() + 1;
    auto changed = [&](double fMs)
    { return before.pixel(m_view.TimeToX(fMs), y) != after.pixel(m_view.TimeToX(fMs), y); };
    for (double fMs : {2050.0, 3000.0, 3950.0})
        EXPECT_TRUE(changed(fMs)) << fMs;
    for (double fMs : {1000.0, 1900.0, 4100.0, 6000.0})
        EXPECT_FALSE(changed(fMs)) << fMs;
}

TEST_F(PianoRoll, WaveShowsEachColumnsPeak)
{
    // 6.4 s at 1000 frames a second: full scale for the first half, silence after it.
    auto pPeaks = std::make_shared<SWavePeaks>();
    pPeaks->nRate = 1000;
    pPeaks->nFrames = 100 * SWavePeaks::kBaseBlock;
    pPeaks->levels.emplace_back(100, SPeak{0, 0});
    std::fill_n(pPeaks->levels[0].begin(), 50, SPeak{-32768, 32767});
    m_view.ShowWave(pPeaks);
    const QImage image = m_view.grab().toImage();
    const QRect plot = m_view.PlotRect();
    auto waveRows = [&](double fMs)
    {
        int nRows = 0;
        for (int y = plot.top(); y <= plot.bottom(); ++y)
            nRows += SameRgb(image.pixel(m_view.TimeToX(fMs), y), RollColours::kWave);
        return nRows;
    };
    EXPECT_GE(waveRows(1000), plot.height() - 3);
    EXPECT_LE(waveRows(5000), 2);
    EXPECT_GE(waveRows(5000), 1);
}
} // namespace
