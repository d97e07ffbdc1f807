#include "roll/PianoRollView.h"

#include "lang/Translate.h"
#include "roll/RollScale.h"
#include "roll/RollTexts.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace
{
constexpr int kKeysWidth = 34;
constexpr int kRulerHeight = 18;
constexpr int kEventLaneHeight = 8;
constexpr int kToneLaneHeight = 10;
// A press that moves less than this is a click, not a drag.
constexpr int kDragPixels = 4;
// The play line's strip: the line and the marker on the ruler, 4 pixels either side.
constexpr int kPlayMarker = 4;
// The closest zoom: 20 pixels a millisecond.
constexpr double kMinMsPerPx = 0.05;
// A short row still fills the width with a second.
constexpr int64_t kMinFitMs = 1000;
} // namespace

CPianoRollView::CPianoRollView(QWidget* pParent) : QWidget(pParent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_pScroll = new QScrollBar(Qt::Horizontal, this);
    m_pScroll->setFocusPolicy(Qt::NoFocus);
    m_pScroll->setRange(0, 0);
    connect(m_pScroll, &QScrollBar::valueChanged, this, &CPianoRollView::OnScrolled);
    m_pFrameTimer = new QTimer(this);
    m_pFrameTimer->setTimerType(Qt::PreciseTimer);
    connect(m_pFrameTimer, &QTimer::timeout, this, &CPianoRollView::OnFrame);
}

CPianoRollView::~CPianoRollView() = default;

QSize CPianoRollView::sizeHint() const
{
    return QSize(600, 220);
}

QSize CPianoRollView::minimumSizeHint() const
{
    return QSize(kKeysWidth + 100, kRulerHeight + 60 + m_pScroll->sizeHint().height());
}

void CPianoRollView::NewContent(EMode eMode)
{
    m_eMode = eMode;
    ++m_nGeneration;
    m_bLayerValid = false;
}

void CPianoRollView::ShowNotes(std::shared_ptr<const SNoteList> pList, bool bKeepView)
{
    if (!pList)
    {
        ShowNothing();
        return;
    }
    const bool bKeep = bKeepView && m_eMode == EMode::Notes;
    m_pList = std::move(pList);
    m_pPeaks.reset();
    m_pitches = PitchSpanOf(*m_pList);
    NewContent(EMode::Notes);
    if (!bKeep)
    {
        m_fCursorMs = -1;
        m_fPlayMs = -1;
        m_nSelAnchor = m_nSelEnd = 0;
        FitToWindow();
        return;
    }
    // A take that grows while the whole of it is in view stays whole in view.
    SetView(m_fStartMs, m_bFitted ? FitMsPerPx() : m_fMsPerPx);
}

void CPianoRollView::ShowWave(std::shared_ptr<const SWavePeaks> pPeaks)
{
    if (!pPeaks)
    {
        ShowNothing();
        return;
    }
    m_pPeaks = std::move(pPeaks);
    m_pList.reset();
    NewContent(EMode::Wave);
    m_fCursorMs = -1;
    m_fPlayMs = -1;
    m_nSelAnchor = m_nSelEnd = 0;
    FitToWindow();
}

void CPianoRollView::ShowProgress(const QString& strText)
{
    m_strText = strText;
    m_pList.reset();
    m_pPeaks.reset();
    NewContent(EMode::Progress);
    m_bPressed = m_bDragging = false;
    SyncScrollBar();
    update();
}

void CPianoRollView::ShowNothing()
{
    m_pList.reset();
    m_pPeaks.reset();
    NewContent(EMode::Nothing);
    m_bPressed = m_bDragging = false;
    m_fPlayMs = m_fCursorMs = -1;
    m_nSelAnchor = m_nSelEnd = 0;
    SyncScrollBar();
    update();
}

void CPianoRollView::SetPositionSource(std::function<double()> fPositionMs)
{
    m_fPositionMs = std::move(fPositionMs);
}

void CPianoRollView::SetPlaying(bool bPlaying)
{
    if (!bPlaying)
    {
        m_pFrameTimer->stop();
        return;
    }
    qreal fRate = screen() ? screen()->refreshRate() : 0;
    if (!(fRate >= 10 && fRate <= 500))
        fRate = 60;
    m_pFrameTimer->setInterval(std::max(1, static_cast<int>(std::lround(1000.0 / fRate))));
    m_pFrameTimer->start();
    OnFrame();
}

bool CPianoRollView::IsPlaying() const
{
    return m_pFrameTimer->isActive();
}

void CPianoRollView::SetSelection(int nFirst, int nLast)
{
    if (nFirst <= 0 || nLast <= 0)
        m_nSelAnchor = m_nSelEnd = 0;
    // The same records given back keep the end that Shift+arrows move.
    else if (std::min(nFirst, nLast) != std::min(m_nSelAnchor, m_nSelEnd) ||
             std::max(nFirst, nLast) != std::max(m_nSelAnchor, m_nSelEnd))
    {
        m_nSelAnchor = nFirst;
        m_nSelEnd = nLast;
    }
    update();
}

QRect CPianoRollView::ContentRect() const
{
    return QRect(0, 0, width(), std::max(1, height() - m_pScroll->sizeHint().height()));
}

SRollFrame CPianoRollView::Frame() const
{
    SRollFrame frame;
    const QRect content = ContentRect();
    const bool bNotes = m_eMode == EMode::Notes && m_pList;
    const int nLeft = bNotes ? kKeysWidth : 0;
    const int nWidth = std::max(1, content.width() - nLeft);
    frame.ruler = QRect(nLeft, 0, nWidth, kRulerHeight);
    int nBottom = content.bottom() + 1;
    if (bNotes && !m_pList->tones.empty())
    {
        nBottom -= kToneLaneHeight;
        frame.toneLane = QRect(nLeft, nBottom, nWidth, kToneLaneHeight);
    }
    if (bNotes && !m_pList->events.empty())
    {
        nBottom -= kEventLaneHeight;
        frame.eventLane = QRect(nLeft, nBottom, nWidth, kEventLaneHeight);
    }
    frame.plot = QRect(nLeft, kRulerHeight, nWidth, std::max(1, nBottom - kRulerHeight));
    if (bNotes)
        frame.keys = QRect(0, frame.plot.top(), kKeysWidth, frame.plot.height());
    frame.fStartMs = m_fStartMs;
    frame.fMsPerPx = m_fMsPerPx;
    frame.pitches = m_pitches;
    return frame;
}

QRect CPianoRollView::RulerRect() const
{
    return Frame().ruler;
}

QRect CPianoRollView::PlotRect() const
{
    return Frame().plot;
}

int CPianoRollView::TimeToX(double fMs) const
{
    // The small bias keeps XToTime(x) on pixel x despite rounding.
    return static_cast<int>(std::floor(Frame().XOf(fMs) + 1e-6));
}

double CPianoRollView::XToTime(int nX) const
{
    return Frame().TimeOf(nX);
}

double CPianoRollView::VisibleToMs() const
{
    return m_fStartMs + Frame().plot.width() * m_fMsPerPx;
}

int64_t CPianoRollView::LengthMs() const
{
    if (m_eMode == EMode::Notes && m_pList)
        return std::max<int64_t>(0, m_pList->nLengthMs);
    if (m_eMode == EMode::Wave && m_pPeaks)
        return m_pPeaks->LengthMs();
    return 0;
}

double CPianoRollView::FitMsPerPx() const
{
    return static_cast<double>(std::max(LengthMs(), kMinFitMs)) / Frame().plot.width();
}

bool CPianoRollView::HasRecords() const
{
    return m_eMode == EMode::Notes && m_pList && !m_pList->recordTimes.empty();
}

double CPianoRollView::ClampTime(double fMs) const
{
    return std::clamp(fMs, 0.0, static_cast<double>(LengthMs()));
}

void CPianoRollView::SetView(double fStartMs, double fMsPerPx)
{
    const double fFit = FitMsPerPx();
    m_fMsPerPx = std::clamp(fMsPerPx, kMinMsPerPx, std::max(kMinMsPerPx, fFit));
    const double fSpan = Frame().plot.width() * m_fMsPerPx;
    const double fLast = std::max(0.0, static_cast<double>(LengthMs()) - fSpan);
    m_fStartMs = std::clamp(fStartMs, 0.0, fLast);
    SyncScrollBar();
    update();
}

void CPianoRollView::FitToWindow()
{
    m_bFitted = true;
    SetView(0, FitMsPerPx());
}

void CPianoRollView::SetVisibleSpan(double fFromMs, double fToMs)
{
    if (fToMs < fFromMs)
        std::swap(fFromMs, fToMs);
    m_bFitted = false;
    SetView(fFromMs, std::max(fToMs - fFromMs, 1e-3) / Frame().plot.width());
}

void CPianoRollView::SyncScrollBar()
{
    m_bSyncingScroll = true;
    const double fSpan = Frame().plot.width() * m_fMsPerPx;
    const double fMax = ShowsTime() ? std::max(0.0, LengthMs() - fSpan) : 0;
    m_pScroll->setRange(0, static_cast<int>(std::min(std::ceil(fMax), 2e9)));
    m_pScroll->setPageStep(std::max(1, static_cast<int>(std::min(fSpan, 2e9))));
    m_pScroll->setSingleStep(std::max(1, static_cast<int>(std::min(fSpan / 20, 2e9))));
    m_pScroll->setValue(static_cast<int>(std::lround(m_fStartMs)));
    m_pScroll->setEnabled(m_pScroll->maximum() > 0);
    m_bSyncingScroll = false;
}

void CPianoRollView::OnScrolled(int nValue)
{
    if (m_bSyncingScroll)
        return;
    SetView(nValue, m_fMsPerPx);
}

void CPianoRollView::resizeEvent(QResizeEvent* pEvent)
{
    const int nBar = m_pScroll->sizeHint().height();
    m_pScroll->setGeometry(0, height() - nBar, width(), nBar);
    SetView(m_fStartMs, m_bFitted ? FitMsPerPx() : m_fMsPerPx);
    QWidget::resizeEvent(pEvent);
}

void CPianoRollView::RenderLayer()
{
    const QSize size = ContentRect().size();
    if (m_layer.size() != size)
        m_layer = QImage(size, QImage::Format_RGB32);
    m_layer.fill(palette().color(QPalette::Window));
    const SRollFrame frame = Frame();
    if (m_eMode == EMode::Notes && m_pList)
    {
        DrawNotesLayer(m_layer, *m_pList, frame);
        if (m_pList->bDamaged)
        {
            QPainter painter(&m_layer);
            painter.setPen(QColor(170, 30, 30));
            painter.drawText(frame.plot.adjusted(4, 2, -4, -2), Qt::AlignRight | Qt::AlignTop,
                             Tr(Txt::kRollDamaged));
        }
    }
    else if (m_eMode == EMode::Wave && m_pPeaks)
        DrawWaveLayer(m_layer, *m_pPeaks, frame);
    else
    {
        QPainter painter(&m_layer);
        painter.fillRect(QRect(QPoint(0, 0), size), RollColours::kBackground);
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter,
                         m_eMode == EMode::Progress ? m_strText : Tr(Txt::kRollNothing));
    }
    m_layerKey = SLayerKey{m_nGeneration, m_fStartMs, m_fMsPerPx, size};
    m_bLayerValid = true;
}

void CPianoRollView::paintEvent(QPaintEvent* pEvent)
{
    const SLayerKey key{m_nGeneration, m_fStartMs, m_fMsPerPx, ContentRect().size()};
    if (!m_bLayerValid || !(key == m_layerKey))
        RenderLayer();
    QPainter painter(this);
    const QRect exposed = pEvent->rect() & QRect(QPoint(0, 0), m_layer.size());
    painter.drawImage(exposed, m_layer, exposed);
    const QRect content = ContentRect();
    if (ShowsTime())
    {
        const SRollFrame frame = Frame();
        const int nTop = frame.ruler.top();
        const int nHeight = content.height();
        painter.save();
        painter.setClipRect(QRect(frame.plot.left(), 0, frame.plot.width(), nHeight) & exposed);
        auto band = [&](double fFromMs, double fToMs)
        {
            const int nX0 = TimeToX(std::min(fFromMs, fToMs));
            const int nX1 = TimeToX(std::max(fFromMs, fToMs));
            painter.fillRect(QRect(nX0, nTop, std::max(2, nX1 - nX0 + 1), nHeight), RollColours::kSelection);
        };
        if (m_bDragging)
            band(XToTime(std::min(m_nPressX, m_nDragX)), XToTime(std::max(m_nPressX, m_nDragX) + 1) - 1e-6);
        else if (HasRecords() && m_nSelAnchor > 0 && m_nSelEnd > 0)
            band(static_cast<double>(RecordTime(*m_pList, m_nSelAnchor)),
                 static_cast<double>(RecordTime(*m_pList, m_nSelEnd)));
        if (m_fCursorMs >= 0)
        {
            const int x = TimeToX(m_fCursorMs);
            painter.setPen(QPen(RollColours::kCursor, 1, Qt::DashLine));
            painter.drawLine(x, nTop, x, nHeight - 1);
        }
        if (m_fPlayMs >= 0)
        {
            const int x = TimeToX(m_fPlayMs);
            painter.fillRect(QRect(x, nTop, 1, nHeight), RollColours::kPlayLine);
            const QPoint marker[3] = {QPoint(x - kPlayMarker, nTop), QPoint(x + kPlayMarker, nTop),
                                      QPoint(x, nTop + kPlayMarker + 1)};
            painter.setPen(Qt::NoPen);
            painter.setBrush(RollColours::kPlayLine);
            painter.drawPolygon(marker, 3);
        }
        painter.restore();
    }
    if (hasFocus())
    {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(content.adjusted(1, 1, -1, -1));
    }
}

void CPianoRollView::UpdateStrip(double fMs)
{
    if (fMs < 0)
        return;
    const int x = TimeToX(fMs);
    update(QRect(x - kPlayMarker - 1, 0, 2 * kPlayMarker + 3, ContentRect().height()));
}

void CPianoRollView::OnFrame()
{
    if (!m_fPositionMs || !ShowsTime())
        return;
    const double fMs = m_fPositionMs();
    if (!(fMs >= 0))
        return;
    MovePlayLine(fMs);
}

void CPianoRollView::MovePlayLine(double fMs)
{
    if (fMs == m_fPlayMs)
        return;
    const double fOld = m_fPlayMs;
    m_fPlayMs = fMs;
    if (fMs < VisibleFromMs() || fMs >= VisibleToMs())
    {
        // Page on: the line starts the next page, near its left edge.
        const double fStart = m_fStartMs;
        SetView(fMs - 0.02 * (VisibleToMs() - VisibleFromMs()), m_fMsPerPx);
        if (m_fStartMs != fStart)
            return;
    }
    UpdateStrip(fOld);
    UpdateStrip(fMs);
}

void CPianoRollView::ScrollToShow(double fMs)
{
    if (fMs < VisibleFromMs() || fMs >= VisibleToMs())
        SetView(fMs - (VisibleToMs() - VisibleFromMs()) / 2, m_fMsPerPx);
}

void CPianoRollView::MoveCursor(double fMs, bool bEmit)
{
    // On whole milliseconds, the time it tells the window.
    fMs = std::round(fMs);
    m_fCursorMs = fMs;
    ScrollToShow(fMs);
    update();
    if (bEmit)
        emit PositionChosen(static_cast<qint64>(std::llround(fMs)));
}

void CPianoRollView::ExtendSelection(int nDirection)
{
    const int nRecords = static_cast<int>(m_pList->recordTimes.size());
    if (m_nSelAnchor <= 0 || m_nSelEnd <= 0)
    {
        const int64_t nFrom = m_fCursorMs >= 0 ? std::llround(m_fCursorMs) : 0;
        m_nSelAnchor = m_nSelEnd = FirstRecordFrom(*m_pList, nFrom);
    }
    m_nSelAnchor = std::clamp(m_nSelAnchor, 1, nRecords);
    m_nSelEnd = std::clamp(m_nSelEnd + nDirection, 1, nRecords);
    ScrollToShow(static_cast<double>(RecordTime(*m_pList, m_nSelEnd)));
    update();
    emit SelectionChosen(std::min(m_nSelAnchor, m_nSelEnd), std::max(m_nSelAnchor, m_nSelEnd));
}

void CPianoRollView::mousePressEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() != Qt::LeftButton || !ShowsTime())
        return QWidget::mousePressEvent(pEvent);
    const QRect plot = PlotRect();
    m_bPressed = true;
    m_bDragging = false;
    m_nPressX = m_nDragX = std::clamp(static_cast<int>(pEvent->position().x()), plot.left(), plot.right());
    pEvent->accept();
}

void CPianoRollView::mouseMoveEvent(QMouseEvent* pEvent)
{
    if (!m_bPressed)
        return QWidget::mouseMoveEvent(pEvent);
    const QRect plot = PlotRect();
    m_nDragX = std::clamp(static_cast<int>(pEvent->position().x()), plot.left(), plot.right());
    // Only a project's records can be selected; elsewhere a drag is a click where it began.
    if (!m_bDragging && std::abs(m_nDragX - m_nPressX) >= kDragPixels && HasRecords())
        m_bDragging = true;
    if (m_bDragging)
        update();
}

void CPianoRollView::mouseReleaseEvent(QMouseEvent* pEvent)
{
    if (!m_bPressed || pEvent->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(pEvent);
    m_bPressed = false;
    if (!m_bDragging)
    {
        MoveCursor(ClampTime(XToTime(m_nPressX)), true);
        return;
    }
    m_bDragging = false;
    // From the start of the first pixel to the end of the last: a drag to the right edge reaches
    // the end of what is shown.
    const int64_t nFrom = std::llround(XToTime(std::min(m_nPressX, m_nDragX)));
    const int64_t nTo = std::llround(XToTime(std::max(m_nPressX, m_nDragX) + 1));
    const SRecordRange range = RecordsInTime(*m_pList, nFrom, nTo);
    m_nSelAnchor = range.nFirst;
    m_nSelEnd = range.nLast;
    update();
    emit SelectionChosen(range.nFirst, range.nLast);
}

void CPianoRollView::mouseDoubleClickEvent(QMouseEvent* pEvent)
{
    const QRect ruler = RulerRect();
    if (pEvent->button() == Qt::LeftButton && ShowsTime() && pEvent->position().y() < ruler.bottom() + 1 &&
        pEvent->position().x() >= ruler.left())
    {
        FitToWindow();
        pEvent->accept();
        return;
    }
    mousePressEvent(pEvent);
}

void CPianoRollView::wheelEvent(QWheelEvent* pEvent)
{
    if (!ShowsTime())
        return QWidget::wheelEvent(pEvent);
    const double fSpan = VisibleToMs() - VisibleFromMs();
    if (pEvent->modifiers() & Qt::ControlModifier)
    {
        // Zoom about the time under the mouse, which stays under it.
        const QRect plot = PlotRect();
        const double fX = std::clamp(pEvent->position().x(), static_cast<double>(plot.left()),
                                     static_cast<double>(plot.right() + 1));
        const double fUnder = m_fStartMs + (fX - plot.left()) * m_fMsPerPx;
        const double fSteps = pEvent->angleDelta().y() / 120.0;
        const double fFit = FitMsPerPx();
        const double fMsPerPx =
            std::clamp(m_fMsPerPx * std::pow(0.8, fSteps), kMinMsPerPx, std::max(kMinMsPerPx, fFit));
        m_bFitted = fMsPerPx >= fFit;
        SetView(fUnder - (fX - plot.left()) * fMsPerPx, fMsPerPx);
    }
    else
    {
        const int nDelta =
            pEvent->angleDelta().y() != 0 ? pEvent->angleDelta().y() : pEvent->angleDelta().x();
        SetView(m_fStartMs - nDelta / 120.0 * fSpan / 8, m_fMsPerPx);
    }
    pEvent->accept();
}

void CPianoRollView::keyPressEvent(QKeyEvent* pEvent)
{
    const bool bLeft = pEvent->key() == Qt::Key_Left, bRight = pEvent->key() == Qt::Key_Right;
    const Qt::KeyboardModifiers mods = pEvent->modifiers() & ~Qt::KeypadModifier;
    if ((!bLeft && !bRight) || (mods != Qt::NoModifier && mods != Qt::ShiftModifier) || !ShowsTime())
        return QWidget::keyPressEvent(pEvent);
    const int nDirection = bRight ? 1 : -1;
    pEvent->accept();
    if (mods == Qt::ShiftModifier)
    {
        if (HasRecords())
            ExtendSelection(nDirection);
        return;
    }
    if (HasRecords())
    {
        // No cursor yet: Right goes to the first record.
        const int64_t nFrom = m_fCursorMs >= 0 ? std::llround(m_fCursorMs) : -1;
        if (std::optional<int64_t> nMs = NeighbourRecordTime(*m_pList, nFrom, nDirection))
            MoveCursor(static_cast<double>(*nMs), true);
        return;
    }
    const double fFrom = m_fCursorMs >= 0 ? m_fCursorMs : 0;
    MoveCursor(ClampTime(fFrom + nDirection * 1000.0), true);
}

void CPianoRollView::focusInEvent(QFocusEvent* pEvent)
{
    update();
    QWidget::focusInEvent(pEvent);
}

void CPianoRollView::focusOutEvent(QFocusEvent* pEvent)
{
    update();
    QWidget::focusOutEvent(pEvent);
}
