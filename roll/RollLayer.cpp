#include "roll/RollLayer.h"

#include "lang/Translate.h"
#include "roll/RollTexts.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

namespace
{
bool IsBlackKey(int nPitch)
{
    switch (nPitch % 12)
    {
    case 1:
    case 3:
    case 6:
    case 8:
    case 10:
        return true;
    default:
        return false;
    }
}

// Notes are many: their bars are written straight into the image's rows, not through a painter.
void FillSpan(QImage& image, int nX0, int nY0, int nX1, int nY1, QRgb rgb)
{
    nX0 = std::max(nX0, 0);
    nY0 = std::max(nY0, 0);
    nX1 = std::min(nX1, image.width());
    nY1 = std::min(nY1, image.height());
    if (nX0 >= nX1 || nY0 >= nY1)
        return;
    for (int y = nY0; y < nY1; ++y)
    {
        QRgb* pRow = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(pRow + nX0, pRow + nX1, rgb);
    }
}

QRgb Darker(QRgb rgb)
{
    return qRgb(qRed(rgb) * 3 / 5, qGreen(rgb) * 3 / 5, qBlue(rgb) * 3 / 5);
}

// A pixel column's span of a time range, clipped to [nLeft, nRight): at least one pixel wide.
bool ColumnsOf(const SRollFrame& frame, int64_t nFromMs, int64_t nToMs, int& nX0, int& nX1)
{
    const double fX0 = frame.XOf(static_cast<double>(nFromMs));
    const double fX1 = frame.XOf(static_cast<double>(nToMs));
    const double fLeft = frame.plot.left(), fRight = frame.plot.left() + frame.plot.width();
    // A note that ends where the view begins is not in it; one without length that stands there is.
    if (fX1 < fLeft || (fX1 == fLeft && fX0 < fLeft) || fX0 >= fRight)
        return false;
    nX0 = static_cast<int>(std::floor(std::max(fX0, fLeft)));
    nX1 = static_cast<int>(std::ceil(std::min(fX1, fRight)));
    if (nX1 <= nX0)
        nX1 = nX0 + 1;
    nX1 = std::min(nX1, frame.plot.left() + frame.plot.width());
    return nX0 < nX1;
}

void DrawKeys(QPainter& painter, const SRollFrame& frame)
{
    const QRect& keys = frame.keys;
    painter.fillRect(keys, Qt::white);
    const int nBlackWidth = keys.width() * 3 / 5;
    QFont font = painter.font();
    font.setPixelSize(9);
    painter.setFont(font);
    const double fRowHeight = static_cast<double>(frame.plot.height()) / frame.pitches.Count();
    for (int nPitch = frame.pitches.nLow; nPitch <= frame.pitches.nHigh; ++nPitch)
    {
        int nTop = 0, nBottom = 0;
        frame.RowsOf(nPitch, nTop, nBottom);
        if (IsBlackKey(nPitch))
            painter.fillRect(QRect(keys.left(), nTop, nBlackWidth, nBottom - nTop), QColor(50, 50, 50));
        if (nPitch % 12 == 0 || nPitch % 12 == 5)
            painter.fillRect(QRect(keys.left(), nBottom - 1, keys.width(), 1), QColor(180, 180, 180));
        // Name the C's where an octave is tall enough for the text.
        if (nPitch % 12 == 0 && fRowHeight * 12 >= 10)
        {
            painter.setPen(RollColours::kRulerText);
            const QString strName = QStringLiteral("C%1").arg(nPitch / 12 - 1);
            painter.drawText(QRect(keys.left(), nBottom - 11, keys.width() - 2, 11),
                             Qt::AlignRight | Qt::AlignBottom, strName);
        }
    }
    painter.fillRect(QRect(keys.right(), keys.top(), 1, keys.height()), QColor(160, 160, 160));
}

void DrawPitchGrid(QImage& image, const SRollFrame& frame)
{
    const QRect& plot = frame.plot;
    const double fRowHeight = static_cast<double>(plot.height()) / frame.pitches.Count();
    for (int nPitch = frame.pitches.nLow; nPitch <= frame.pitches.nHigh; ++nPitch)
    {
        int nTop = 0, nBottom = 0;
        frame.RowsOf(nPitch, nTop, nBottom);
        if (IsBlackKey(nPitch) && fRowHeight >= 2)
            FillSpan(image, plot.left(), nTop, plot.right() + 1, nBottom, RollColours::kBlackKeyRow.rgb());
        if (nPitch % 12 == 0)
            FillSpan(image, plot.left(), nBottom - 1, plot.right() + 1, nBottom, RollColours::kGrid.rgb());
    }
}

// Vertical lines at the ruler's labelled ticks, from the top of the plot to the bottom of rect.
void DrawTimeGrid(QImage& image, const SRollFrame& frame, int nBottom)
{
    const int64_t nStep = RulerStepMs(frame.fMsPerPx, 80);
    const double fEndMs = frame.TimeOf(frame.plot.left() + frame.plot.width());
    int64_t nMs = static_cast<int64_t>(std::ceil(std::max(0.0, frame.fStartMs) / nStep)) * nStep;
    for (; nMs <= fEndMs; nMs += nStep)
    {
        const int x = static_cast<int>(std::floor(frame.XOf(static_cast<double>(nMs))));
        if (x >= frame.plot.left())
            FillSpan(image, x, frame.plot.top(), x + 1, nBottom, RollColours::kGrid.rgb());
    }
}

void DrawNotes(QImage& image, const SNoteList& list, const SRollFrame& frame, std::vector<QRect>& arrOpenEnds)
{
    const double fFromMs = frame.fStartMs;
    const double fToMs = frame.TimeOf(frame.plot.left() + frame.plot.width());
    const SIndexRange range =
        VisibleNotes(list, static_cast<int64_t>(std::floor(fFromMs)), static_cast<int64_t>(std::ceil(fToMs)));
    // What was last drawn in each pitch's row: a note that lands in pixels already filled with
    // its own colour is not drawn again, so a dense stretch costs one bar per pixel, not per note.
    std::array<int, 128> arrDrawnTo;
    std::array<QRgb, 128> arrDrawnColour;
    arrDrawnTo.fill(INT32_MIN);
    arrDrawnColour.fill(0);
    for (size_t i = range.nFirst; i < range.nLast && i < list.notes.size(); ++i)
    {
        const SRollNote& note = list.notes[i];
        if (note.nPitch < frame.pitches.nLow || note.nPitch > frame.pitches.nHigh)
            continue;
        int nX0 = 0, nX1 = 0;
        if (!ColumnsOf(frame, note.nStartMs, note.nEndMs, nX0, nX1))
            continue;
        const QRgb rgb = RollColours::Note(note.nChannel, note.nVelocity);
        int nTop = 0, nBottom = 0;
        frame.RowsOf(note.nPitch, nTop, nBottom);
        if (note.bOpen)
            arrOpenEnds.push_back(
                QRect(std::max(nX0, nX1 - 16), nTop, std::min(16, nX1 - nX0), nBottom - nTop));
        // Only bars too narrow for an outline merge: a wide one keeps its own outline.
        const bool bOutline = nX1 - nX0 >= 4 && nBottom - nTop >= 4;
        if (!bOutline && arrDrawnColour[note.nPitch] == rgb)
        {
            if (nX1 <= arrDrawnTo[note.nPitch])
                continue;
            if (nX0 < arrDrawnTo[note.nPitch])
            {
                FillSpan(image, arrDrawnTo[note.nPitch], nTop, nX1, nBottom, rgb);
                arrDrawnTo[note.nPitch] = nX1;
                continue;
            }
        }
        if (bOutline)
        {
            const QRgb edge = Darker(rgb);
            FillSpan(image, nX0, nTop, nX1, nBottom, edge);
            FillSpan(image, nX0 + 1, nTop + 1, nX1 - 1, nBottom - 1, rgb);
        }
        else
        {
            // A thin bar still shows where it starts.
            FillSpan(image, nX0, nTop, nX1, nBottom, rgb);
            if (nX1 - nX0 >= 3)
                FillSpan(image, nX0, nTop, nX0 + 1, nBottom, Darker(rgb));
        }
        arrDrawnTo[note.nPitch] = nX1;
        arrDrawnColour[note.nPitch] = rgb;
    }
}

void DrawEvents(QImage& image, const SNoteList& list, const SRollFrame& frame)
{
    const QRect& lane = frame.eventLane;
    FillSpan(image, lane.left(), lane.top(), lane.right() + 1, lane.bottom() + 1, qRgb(238, 238, 234));
    auto it = std::lower_bound(list.events.begin(), list.events.end(), static_cast<int64_t>(frame.fStartMs),
                               [](const SRollEvent& event, int64_t nMs) { return event.nMs < nMs; });
    const double fRight = frame.plot.left() + frame.plot.width();
    int nLastX = INT32_MIN;
    for (; it != list.events.end(); ++it)
    {
        const double fX = frame.XOf(static_cast<double>(it->nMs));
        if (fX >= fRight)
            break;
        const int x = static_cast<int>(std::floor(fX));
        if (x == nLastX || x < frame.plot.left())
            continue;
        nLastX = x;
        const QRgb rgb = it->bSettings ? qRgb(210, 120, 20) : qRgb(80, 80, 80);
        FillSpan(image, x, lane.top() + 1, x + 1, lane.bottom(), rgb);
    }
}

void DrawTones(QImage& image, const SNoteList& list, const SRollFrame& frame)
{
    const QRect& lane = frame.toneLane;
    FillSpan(image, lane.left(), lane.top(), lane.right() + 1, lane.bottom() + 1, qRgb(238, 236, 244));
    auto it = std::lower_bound(list.tones.begin(), list.tones.end(), static_cast<int64_t>(frame.fStartMs),
                               [](const SRollTone& tone, int64_t nMs) { return tone.nStartMs < nMs; });
    // Tones follow one another; the one before the first that starts in view may reach into it.
    while (it != list.tones.begin() && (it - 1)->nEndMs > static_cast<int64_t>(frame.fStartMs))
        --it;
    for (; it != list.tones.end(); ++it)
    {
        if (it->nVoices == 0)
            continue;
        int nX0 = 0, nX1 = 0;
        if (!ColumnsOf(frame, it->nStartMs, it->nEndMs, nX0, nX1))
        {
            if (frame.XOf(static_cast<double>(it->nStartMs)) >= frame.plot.left() + frame.plot.width())
                break;
            continue;
        }
        const int nShade = std::clamp(200 - it->nVoices * 20, 60, 200);
        const QRgb rgb = qRgb(nShade, nShade / 2, 200);
        FillSpan(image, nX0, lane.top() + 2, nX1, lane.bottom() - 1, rgb);
        if (nX1 - nX0 >= 3)
            FillSpan(image, nX0, lane.top() + 2, nX0 + 1, lane.bottom() - 1, Darker(rgb));
    }
}
} // namespace

void SRollFrame::RowsOf(int nPitch, int& nTop, int& nBottom) const
{
    const double fRowHeight = static_cast<double>(plot.height()) / pitches.Count();
    nTop = plot.top() + static_cast<int>(std::lround((pitches.nHigh - nPitch) * fRowHeight));
    nBottom = plot.top() + static_cast<int>(std::lround((pitches.nHigh - nPitch + 1) * fRowHeight));
    if (nBottom <= nTop)
        nBottom = nTop + 1;
}

QColor RollColours::Channel(int nChannel)
{
    // Sixteen colours told apart at a glance: ten strong ones, then six lighter.
    static const QRgb kChannels[16] = {0x1F77B4, 0xFF7F0E, 0x2CA02C, 0xD62728, 0x9467BD, 0x8C564B,
                                       0xE377C2, 0x7F7F7F, 0xBCBD22, 0x17BECF, 0x7BA7DB, 0xFFB570,
                                       0x86D27A, 0xF28482, 0xB39BCB, 0xB78A7F};
    return QColor::fromRgb(kChannels[nChannel & 15]);
}

QRgb RollColours::Note(int nChannel, int nVelocity)
{
    const QColor full = Channel(nChannel);
    const double fWeight = 0.3 + 0.7 * std::clamp(nVelocity, 0, 127) / 127.0;
    auto mix = [fWeight](int nFull, int nBack)
    { return static_cast<int>(std::lround(nBack + (nFull - nBack) * fWeight)); };
    return qRgb(mix(full.red(), kBackground.red()), mix(full.green(), kBackground.green()),
                mix(full.blue(), kBackground.blue()));
}

void DrawRuler(QImage& image, const SRollFrame& frame)
{
    const QRect& ruler = frame.ruler;
    QPainter painter(&image);
    painter.fillRect(ruler, RollColours::kRuler);
    painter.fillRect(QRect(ruler.left(), ruler.bottom(), ruler.width(), 1), QColor(170, 170, 170));
    const int64_t nStep = RulerStepMs(frame.fMsPerPx, 80);
    int64_t nLead = nStep;
    while (nLead >= 10)
        nLead /= 10;
    const int64_t nMinor = nStep / (nLead == 2 ? 4 : 5);
    const int nDecimals = nStep >= 1000 ? 0 : nStep >= 100 ? 1 : nStep >= 10 ? 2 : 3;
    const double fEndMs = frame.TimeOf(frame.plot.left() + frame.plot.width());
    QFont font = painter.font();
    font.setPixelSize(10);
    painter.setFont(font);
    painter.setClipRect(ruler);
    painter.setPen(RollColours::kRulerText);
    const int64_t nTickStep = std::max<int64_t>(nMinor, 1);
    int64_t nMs = static_cast<int64_t>(std::ceil(std::max(0.0, frame.fStartMs) / nTickStep)) * nTickStep;
    for (; nMs <= fEndMs; nMs += nTickStep)
    {
        const int x = static_cast<int>(std::floor(frame.XOf(static_cast<double>(nMs))));
        const bool bMajor = nMs % nStep == 0;
        const int nTick = bMajor ? 7 : 3;
        painter.fillRect(QRect(x, ruler.bottom() - nTick, 1, nTick), RollColours::kRulerText);
        if (bMajor)
        {
            QString strLabel = QString::number(static_cast<double>(nMs) / 1000.0, 'f', nDecimals);
            strLabel.replace(QLatin1Char('.'), QLatin1Char(','));
            painter.drawText(QRect(x + 3, ruler.top(), 120, ruler.height() - 3),
                             Qt::AlignLeft | Qt::AlignVCenter, strLabel + Tr(Txt::kRollSeconds));
        }
    }
}

void DrawNotesLayer(QImage& image, const SNoteList& list, const SRollFrame& frame)
{
    {
        QPainter painter(&image);
        painter.fillRect(frame.plot, RollColours::kBackground);
        if (!frame.keys.isEmpty())
            DrawKeys(painter, frame);
    }
    DrawPitchGrid(image, frame);
    int nGridBottom = frame.plot.bottom() + 1;
    if (!frame.eventLane.isEmpty())
        DrawEvents(image, list, frame);
    if (!frame.toneLane.isEmpty())
        DrawTones(image, list, frame);
    DrawTimeGrid(image, frame, nGridBottom);
    std::vector<QRect> arrOpenEnds;
    DrawNotes(image, list, frame, arrOpenEnds);
    if (!arrOpenEnds.empty())
    {
        // A note that never got its note off runs to the end; its hatched end says so.
        QPainter painter(&image);
        painter.setClipRect(frame.plot);
        for (const QRect& end : arrOpenEnds)
            painter.fillRect(end, QBrush(RollColours::kHatch, Qt::BDiagPattern));
    }
    DrawRuler(image, frame);
}

void DrawWaveLayer(QImage& image, const SWavePeaks& peaks, const SRollFrame& frame)
{
    const QRect& plot = frame.plot;
    FillSpan(image, plot.left(), plot.top(), plot.right() + 1, plot.bottom() + 1,
             RollColours::kBackground.rgb());
    const double fMiddle = plot.top() + plot.height() / 2.0;
    const double fHalf = plot.height() / 2.0 - 1;
    FillSpan(image, plot.left(), static_cast<int>(fMiddle), plot.right() + 1, static_cast<int>(fMiddle) + 1,
             RollColours::kGrid.rgb());
    DrawTimeGrid(image, frame, plot.bottom() + 1);
    if (peaks.nRate > 0)
    {
        const double fFramesPerMs = peaks.nRate / 1000.0;
        const QRgb rgb = RollColours::kWave.rgb();
        for (int x = plot.left(); x <= plot.right(); ++x)
        {
            const double fFrom = std::max(0.0, frame.TimeOf(x)) * fFramesPerMs;
            const double fTo = std::max(0.0, frame.TimeOf(x + 1)) * fFramesPerMs;
            const auto nFrom = static_cast<uint64_t>(fFrom), nTo = static_cast<uint64_t>(fTo);
            if (nFrom >= peaks.nFrames)
                break;
            const SPeak peak = PeakOf(peaks, nFrom, std::max(nTo, nFrom + 1));
            const int nTop = static_cast<int>(std::floor(fMiddle - peak.nMax / 32768.0 * fHalf));
            const int nBottom = static_cast<int>(std::ceil(fMiddle - peak.nMin / 32768.0 * fHalf));
            FillSpan(image, x, nTop, x + 1, std::max(nBottom, nTop + 1), rgb);
        }
    }
    DrawRuler(image, frame);
}
