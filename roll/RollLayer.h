// Draws what the piano-roll panel caches between frames: the ruler, the keyboard strip, the
// notes with their lanes, or a waveform. Only what falls inside the frame is looked at.
#pragma once

#include "roll/NoteList.h"
#include "roll/RollScale.h"
#include "roll/WavePeaks.h"

#include <QColor>
#include <QImage>
#include <QRect>

// Where each part goes in the image, and the time and pitch scales.
struct SRollFrame
{
    QRect keys;      // the keyboard strip at the left (empty for a waveform)
    QRect ruler;     // the time ruler at the top
    QRect plot;      // notes or waveform
    QRect eventLane; // ticks of the events that are no notes (empty when there are none)
    QRect toneLane;  // the oscillator's tones (empty when there are none)
    double fStartMs = 0;
    double fMsPerPx = 1;
    SPitchSpan pitches;

    double XOf(double fMs) const { return plot.left() + (fMs - fStartMs) / fMsPerPx; }
    double TimeOf(double fX) const { return fStartMs + (fX - plot.left()) * fMsPerPx; }
    // The rows of a pitch's bar, [top, bottom): at least one pixel high.
    void RowsOf(int nPitch, int& nTop, int& nBottom) const;
};

namespace RollColours
{
inline const QColor kBackground(250, 250, 248);
inline const QColor kBlackKeyRow(240, 240, 236);
inline const QColor kGrid(222, 222, 218);
inline const QColor kRuler(232, 232, 228);
inline const QColor kRulerText(60, 60, 60);
inline const QColor kHatch(20, 20, 20);
inline const QColor kWave(40, 110, 180);
inline const QColor kPlayLine(220, 0, 0);
inline const QColor kCursor(70, 70, 70);
inline const QColor kSelection(60, 120, 220, 60);
// A channel's colour at full velocity.
QColor Channel(int nChannel);
// A note's colour: its channel's, paler the softer it is played.
QRgb Note(int nChannel, int nVelocity);
} // namespace RollColours

// The ruler and, for notes, the keyboard strip, the grid, the notes, events and tones. The image
// must be of Format_RGB32 or Format_ARGB32_Premultiplied and hold every rect of the frame.
void DrawNotesLayer(QImage& image, const SNoteList& list, const SRollFrame& frame);
void DrawWaveLayer(QImage& image, const SWavePeaks& peaks, const SRollFrame& frame);
void DrawRuler(QImage& image, const SRollFrame& frame);
