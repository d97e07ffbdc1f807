// The panel below the playlist that draws the selected row: a project's or MID file's notes on
// a piano roll, or a WAV file's waveform, with the play line, the cursor, the selection, a time
// ruler, zoom and scroll. The notes are drawn once per view into a cached image; the play line,
// the cursor and the selection are drawn over it, so a moving play line redraws no notes.
#pragma once

#include "roll/NoteList.h"
#include "roll/RollLayer.h"
#include "roll/WavePeaks.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class QScrollBar;
class QTimer;

class CPianoRollView : public QWidget
{
    Q_OBJECT

  public:
    explicit CPianoRollView(QWidget* pParent = nullptr);
    ~CPianoRollView() override;

    // A project or MID row. bKeepView: the same row changed (an edit, a take that grows): zoom and
    // scroll stay; otherwise the whole length fits the width and cursor and selection go.
    void ShowNotes(std::shared_ptr<const SNoteList> pList, bool bKeepView = false);
    void ShowWave(std::shared_ptr<const SWavePeaks> pPeaks);
    // A text in place of the drawing, e.g. while a WAV file's peaks are read.
    void ShowProgress(const QString& strText);
    void ShowNothing();

    // Where the play line goes while playing, in ms; read at the display's rate.
    void SetPositionSource(std::function<double()> fPositionMs);
    // Playing: the line follows the source (read once at once); not playing: it stays put.
    void SetPlaying(bool bPlaying);
    bool IsPlaying() const;
    // Records from 1; 0, 0 for none. Drawn from the time of the first to the time of the last.
    void SetSelection(int nFirst, int nLast);

    // The time span shown, and the mapping between times and the widget's x.
    double VisibleFromMs() const { return m_fStartMs; }
    double VisibleToMs() const;
    void SetVisibleSpan(double fFromMs, double fToMs);
    void FitToWindow();
    int TimeToX(double fMs) const;
    double XToTime(int nX) const;
    QRect RulerRect() const;
    QRect PlotRect() const;
    // -1 when not shown.
    double PlayMs() const { return m_fPlayMs; }
    double CursorMs() const { return m_fCursorMs; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  signals:
    // A drag over the ruler or the notes (the records of its span), or Shift+Left/Right.
    void SelectionChosen(int nFirst, int nLast);
    // A click without drag, or Left/Right.
    void PositionChosen(qint64 nMs);

  protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
    void wheelEvent(QWheelEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void focusInEvent(QFocusEvent* pEvent) override;
    void focusOutEvent(QFocusEvent* pEvent) override;

  private slots:
    void OnFrame();
    void OnScrolled(int nValue);

  private:
    enum class EMode
    {
        Nothing,
        Progress,
        Notes,
        Wave,
    };

    // Everything the cached layer depends on.
    struct SLayerKey
    {
        unsigned nGeneration = 0;
        double fStartMs = 0;
        double fMsPerPx = 0;
        QSize size;
        bool operator==(const SLayerKey&) const = default;
    };

    // Notes or a waveform: what has a time axis to click, drag, zoom and play along.
    bool ShowsTime() const { return m_eMode == EMode::Notes || m_eMode == EMode::Wave; }
    SRollFrame Frame() const;
    QRect ContentRect() const;
    int64_t LengthMs() const;
    double FitMsPerPx() const;
    bool HasRecords() const;
    void SetView(double fStartMs, double fMsPerPx);
    void SyncScrollBar();
    void RenderLayer();
    void MovePlayLine(double fMs);
    void MoveCursor(double fMs, bool bEmit);
    void ExtendSelection(int nDirection);
    void ScrollToShow(double fMs);
    void UpdateStrip(double fMs);
    void NewContent(EMode eMode);
    double ClampTime(double fMs) const;

    EMode m_eMode = EMode::Nothing;
    std::shared_ptr<const SNoteList> m_pList;
    std::shared_ptr<const SWavePeaks> m_pPeaks;
    QString m_strText;
    SPitchSpan m_pitches;
    unsigned m_nGeneration = 0;

    double m_fStartMs = 0;
    double m_fMsPerPx = 10;
    bool m_bFitted = true;

    QImage m_layer;
    SLayerKey m_layerKey;
    bool m_bLayerValid = false;

    std::function<double()> m_fPositionMs;
    QTimer* m_pFrameTimer = nullptr;
    QScrollBar* m_pScroll = nullptr;
    bool m_bSyncingScroll = false;
    double m_fPlayMs = -1;
    double m_fCursorMs = -1;
    // The selection as the user extends it: its anchor, and the end that Shift+arrows move.
    int m_nSelAnchor = 0;
    int m_nSelEnd = 0;

    bool m_bPressed = false;
    bool m_bDragging = false;
    int m_nPressX = 0;
    int m_nDragX = 0;
};
