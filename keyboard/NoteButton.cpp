#include "keyboard/NoteButton.h"

#include <QImage>
#include <QImageReader>
#include <QPainter>

namespace
{
void DrawNoImage(QPainter& painter, const QRect& rect)
{
    painter.fillRect(rect, QColor(0xFF, 0xFF, 0xFF));
    QFont font("Times New Roman");
    font.setStyleHint(QFont::SansSerif); // where that family is missing
    font.setPointSize(20);
    painter.setFont(font);
    painter.setPen(QColor(0xFF, 0x00, 0x00));
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignTop, "NO IMAGE");
}
} // namespace

CNoteButton::CNoteButton(QWidget* pParent) : QWidget(pParent)
{
    // The keys take no focus: every key message goes to the keyboard around them.
    setFocusPolicy(Qt::NoFocus);
}

void CNoteButton::LoadPicture()
{
    const QSize size = QImageReader(m_strCurrent).size();
    m_nImageWidth = size.isValid() ? size.width() : 0;
    m_nImageHeight = size.isValid() ? size.height() : 0;
}

void CNoteButton::SetState(uint8_t nState)
{
    m_nState = nState;
    update();
}

void CNoteButton::paintEvent(QPaintEvent*)
{
    if (m_nState == 0)
        m_strCurrent = m_strOff;
    else if (m_nState == 1)
        m_strCurrent = m_strOn;

    // The picture is drawn at its own size on a canvas of the window's size, and the whole
    // canvas is then shrunk: a picture wider than its window is cut at the window's edge. Every
    // paint reads the file again, so a picture replaced on disk shows at the next paint.
    const int w = width(), h = height();
    QImage canvas(w, h, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        QImage picture;
        if (picture.load(m_strCurrent))
        {
            painter.drawImage(0, 0, picture);
            m_nImageWidth = picture.width();
            m_nImageHeight = picture.height();
        }
        else
            DrawNoImage(painter, QRect(0, 0, w, h));
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (m_bScaled)
        painter.drawImage(QRect(0, 0, static_cast<int>(w * m_fScale), static_cast<int>(h * m_fScale)),
                          canvas);
    else
        painter.drawImage(0, 0, canvas);
}
