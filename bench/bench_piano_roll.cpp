// The piano-roll panel's drawing speed, offscreen, in a 1600 x 400 view: a project of 100,000
// records and a MID file of 50,000 notes, generated here. For each: the note list's build, the
// first draw (ShowNotes and a render), 200 scroll steps each rendered at two zooms, and the play
// line's frames (the display's tick and the repaint of its strips). Mean, median and max in ms.
// With --shots DIR it also saves a demo project's panel at two zooms as DIR/roll_fit.png and
// DIR/roll_zoom.png.
//
//   build/bench/bench_piano_roll [--shots /tmp]
#include "bench/TimingStats.h"
#include "project/ProjectFormat.h"
#include "roll/NoteList.h"
#include "roll/PianoRollView.h"
#include "sound/MidiFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMetaObject>
#include <QMouseEvent>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace
{
struct SNoteEvent
{
    int64_t nMs;
    uint32_t dwMessage;
};

// nNotes notes of 4 channels over about nNotes * 12 ms, played a few at a time with lengths of
// 50 to 800 ms, and a controller now and then: the messages in time order.
std::vector<SNoteEvent> GenerateMessages(int nNotes, int nChannels, int nControllers)
{
    std::mt19937 random(7);
    std::vector<SNoteEvent> arr;
    for (int i = 0; i < nNotes; ++i)
    {
        const int64_t nStart = int64_t(i) * 12 + random() % 10;
        const int64_t nLength = 50 + random() % 750;
        const uint32_t nChannel = random() % nChannels, nPitch = 36 + random() % 60,
                       nVelocity = 40 + random() % 88;
        arr.push_back({nStart, 0x90 | nChannel | nPitch << 8 | nVelocity << 16});
        arr.push_back({nStart + nLength, 0x80 | nChannel | nPitch << 8});
    }
    for (int i = 0; i < nControllers; ++i)
        arr.push_back(
            {int64_t(i) * nNotes * 12 / nControllers, 0xB0 | uint32_t(i % nChannels) | 7 << 8 | 100 << 16});
    std::stable_sort(arr.begin(), arr.end(),
                     [](const SNoteEvent& a, const SNoteEvent& b) { return a.nMs < b.nMs; });
    return arr;
}

std::vector<uint8_t> ProjectOf(const std::vector<SNoteEvent>& arr)
{
    std::vector<uint8_t> p = MakeHeader(1);
    int64_t nLast = 0;
    for (const SNoteEvent& e : arr)
    {
        AppendEventRecord(p, static_cast<int32_t>(e.nMs - nLast), e.dwMessage);
        nLast = e.nMs;
    }
    return p;
}

SMidiFile MidiOf(const std::vector<SNoteEvent>& arr)
{
    SMidiFile file;
    file.nFormat = 1;
    file.nTracks = 1;
    file.nDivision = 480;
    for (const SNoteEvent& e : arr)
        file.events.push_back({static_cast<uint64_t>(e.nMs) * 1000, e.dwMessage, 0});
    file.nLengthUs = arr.empty() ? 0 : static_cast<uint64_t>(arr.back().nMs) * 1000;
    file.nLengthMs = static_cast<uint32_t>(file.nLengthUs / 1000);
    return file;
}

// Counts the paints of the play line's frames, to show they were painted and not only asked for.
class CPaintCounter : public QObject
{
  public:
    int m_nPaints = 0;
    bool eventFilter(QObject*, QEvent* pEvent) override
    {
        m_nPaints += pEvent->type() == QEvent::Paint;
        return false;
    }
};

double Ms(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void Print(const char* pszWhat, const std::vector<double>& arr)
{
    const double fMean = std::accumulate(arr.begin(), arr.end(), 0.0) / static_cast<double>(arr.size());
    std::printf("  %-34s mean %7.3f  median %7.3f  max %7.3f ms  (%zu)\n", pszWhat, fMean,
                Percentile(arr, 0.5), *std::max_element(arr.begin(), arr.end()), arr.size());
}

void Measure(const char* pszName, const std::function<SNoteList()>& fBuild)
{
    QElapsedTimer timer;
    timer.start();
    auto pList = std::make_shared<const SNoteList>(fBuild());
    const double fBuildMs = Ms(timer);
    std::printf("%s: %zu notes, %zu records, %.1f s long\n", pszName, pList->notes.size(),
                pList->recordTimes.size(), static_cast<double>(pList->nLengthMs) / 1000);
    std::printf("  %-34s %7.3f ms\n", "note list built", fBuildMs);

    CPianoRollView view;
    view.resize(1600, 400);
    view.show();
    QApplication::processEvents();
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);

    timer.restart();
    view.ShowNotes(pList);
    view.render(&image);
    std::printf("  %-34s %7.3f ms\n", "first draw (whole length)", Ms(timer));

    for (double fSpanMs : {20000.0, 120000.0})
    {
        view.SetVisibleSpan(0, fSpanMs);
        view.render(&image);
        std::vector<double> arr;
        double fStart = 0;
        const double fLast = static_cast<double>(pList->nLengthMs) - fSpanMs;
        for (int i = 0; i < 200; ++i)
        {
            fStart += fSpanMs / 20; // the scroll bar's arrow step, from the start again at the end
            if (fStart > fLast)
                fStart = 0;
            timer.restart();
            view.SetVisibleSpan(fStart, fStart + fSpanMs);
            view.render(&image);
            arr.push_back(Ms(timer));
        }
        const std::string strWhat = "scroll step, " + std::to_string(int(fSpanMs / 1000)) + " s in view";
        Print(strWhat.c_str(), arr);
    }

    // The display's frames while playing: one tick of the panel's frame timer and the repaint
    // of the strips it marks, through the offscreen window's backing store.
    view.SetVisibleSpan(0, 120000);
    double fPosition = 1000;
    view.SetPositionSource([&] { return fPosition; });
    QApplication::processEvents();
    CPaintCounter paints;
    view.installEventFilter(&paints);
    std::vector<double> arr;
    for (int i = 0; i < 200; ++i)
    {
        fPosition += 1000.0 / 60;
        timer.restart();
        QMetaObject::invokeMethod(&view, "OnFrame");
        QApplication::processEvents();
        arr.push_back(Ms(timer));
    }
    Print("play line frame", arr);
    std::printf("  %-34s %d of 200 frames\n", "frames painted", paints.m_nPaints);
}

// A short version 0.1 project with all there is to draw: chords and a melody on three channels,
// controllers and oscillator records, tones, and a note left open at the end.
std::vector<uint8_t> DemoProject()
{
    std::vector<uint8_t> p = MakeHeader(1);
    AppendSettingsRecord(p, 440, 80, 500, 0, 0);
    AppendEventRecord(p, 0, 0x0000C0 | 5 << 8);
    const int chords[4][3] = {{48, 52, 55}, {45, 48, 52}, {41, 45, 48}, {43, 47, 50}};
    const int melody[16] = {72, 74, 76, 79, 77, 76, 74, 72, 71, 72, 74, 76, 74, 72, 71, 72};
    for (int nBar = 0; nBar < 8; ++nBar)
    {
        const int* pChord = chords[nBar % 4];
        for (int k = 0; k < 3; ++k)
            AppendEventRecord(p, k == 0 && nBar > 0 ? 0 : 0, 0x500090 | 1 | pChord[k] << 8);
        for (int nBeat = 0; nBeat < 4; ++nBeat)
        {
            const int nPitch = melody[(nBar * 4 + nBeat) % 16];
            AppendEventRecord(p, 0, 0x000090 | nPitch << 8 | (70 + 14 * nBeat) << 16);
            if (nBeat == 2)
                AppendEventRecord(p, 0, 0x0000B0 | 1 << 8 | (nBar * 12) << 16);
            AppendEventRecord(p, 450, 0x000080 | nPitch << 8);
            AppendEventRecord(p, 50, 0x000090 | 9 | 36 << 8 | 100 << 16);
            AppendEventRecord(p, 0, 0x000080 | 9 | 36 << 8);
        }
        for (int k = 0; k < 3; ++k)
            AppendEventRecord(p, 0, 0x000080 | 1 | pChord[k] << 8);
    }
    for (int i = 0; i < 6; ++i)
    {
        const uint8_t mask[6] = {uint8_t(1 << i), uint8_t(i % 2 ? 3 : 0), 0, 0, 0, 0};
        AppendToneRecord(p, mask, 300);
    }
    AppendEventRecord(p, 100, 0x600090 | 2 | 84 << 8); // never ended
    AppendEventRecord(p, 900, 0x0040B0 | 2 | 64 << 8);
    return p;
}

void SaveShots(const std::string& strFolder)
{
    auto pList = std::make_shared<const SNoteList>(BuildProjectNoteList(DemoProject()));
    CPianoRollView view;
    view.resize(1000, 320);
    view.show();
    view.ShowNotes(pList);
    view.SetSelection(20, 60);
    view.SetPositionSource([] { return 9300.0; });
    view.SetPlaying(true);
    view.SetPlaying(false);
    QApplication::processEvents();
    const std::string strFit = strFolder + "/roll_fit.png", strZoom = strFolder + "/roll_zoom.png";
    view.grab().save(QString::fromStdString(strFit));
    view.SetVisibleSpan(8000, 12000);
    // A click puts the cursor (the dashed line) at 10.5 s.
    const QPointF at(view.TimeToX(10500), view.PlotRect().center().y());
    for (QEvent::Type eType : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
    {
        QMouseEvent event(eType, at, view.mapToGlobal(at), Qt::LeftButton,
                          eType == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &event);
    }
    view.grab().save(QString::fromStdString(strZoom));
    std::printf("saved %s and %s\n", strFit.c_str(), strZoom.c_str());
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::string strShots;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--shots") == 0)
            strShots = argv[i + 1];

    const std::vector<SNoteEvent> project = GenerateMessages(48000, 4, 4000);
    const std::vector<uint8_t> bytes = ProjectOf(project);
    Measure("project, 100,000 records", [&] { return BuildProjectNoteList(bytes); });

    const SMidiFile file = MidiOf(GenerateMessages(50000, 16, 0));
    Measure("MID file, 50,000 notes", [&] { return BuildMidiNoteList(file); });

    if (!strShots.empty())
        SaveShots(strShots);
    return 0;
}
