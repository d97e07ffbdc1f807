#include "resources/tools/ProgramIcon.h"

#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <algorithm>

namespace
{
// The keyboard at the bottom of the tile, in whole pixels of the icon's size.
struct SKeyLayout
{
    int nWhiteKeys;
    int nKeyWidth;   // a white key and the line on its left
    int nLine;       // the width of the lines around and between the keys
    int nBlackWidth; // 0: no black keys; otherwise of the line's parity, to sit centred on it
    int nTop;
    int nHeight;
};

// nInnerFirst and nInnerLast: the first and last pixel inside the tile's border, across and down.
SKeyLayout KeyLayoutFor(int nSize, int nInnerFirst, int nInnerLast)
{
    const double dScale = nSize / 64.0;
    SKeyLayout keys{};
    keys.nTop = qRound((nSize < 24 ? 34 : 38) * dScale);
    keys.nHeight = qRound(18 * dScale);
    if (nSize >= 48)
    {
        // 64 pixels: six keys 8 wide, black keys 5, lines 1; other sizes in proportion.
        keys.nWhiteKeys = 6;
        keys.nKeyWidth = qRound(8 * dScale);
        keys.nLine = std::max(1, qRound(dScale));
        keys.nBlackWidth = qRound(5 * dScale);
        if ((keys.nBlackWidth - keys.nLine) % 2 != 0)
            ++keys.nBlackWidth;
    }
    else
    {
        // Six keys would leave the white ones too thin beside the black: 32 pixels show five keys
        // 5 wide, smaller sizes fewer if they would touch the border, and below 24 pixels a black
        // key would only thicken a line.
        keys.nWhiteKeys = 5;
        keys.nKeyWidth = std::max(3, qRound(5 * nSize / 32.0));
        keys.nLine = 1;
        keys.nBlackWidth = nSize >= 24 ? 3 : 0;
        const int nRoom = nInnerLast - nInnerFirst + 1 - 2;
        while (keys.nWhiteKeys > 3 && keys.nWhiteKeys * keys.nKeyWidth + keys.nLine > nRoom)
            --keys.nWhiteKeys;
    }
    // A pixel of the tile stays between the keys' bottom line and the border.
    keys.nHeight = std::min(keys.nHeight, nInnerLast - 1 - keys.nLine - keys.nTop + 1);
    return keys;
}
} // namespace

// The program icon: a beamed pair of notes over a stretch of piano keys on a green tile, on a
// transparent background. The tile and the notes are drawn in a 64-unit square and scaled; the keys
// are laid out in whole pixels of the size asked for, so that their edges stay sharp when small.
QImage DrawProgramIcon(int nSize)
{
    const double dScale = nSize / 64.0;
    QImage img(nSize, nSize, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter painter(&img);
    painter.setRenderHint(QPainter::Antialiasing);

    // The tile, its border a whole number of pixels wide and lying on whole pixels.
    const int nBorder = std::max(1, qRound(2 * dScale));
    const int nMargin = std::max(1, qRound(1 * dScale));
    const double dInset = nMargin + nBorder / 2.0;
    QRectF rcTile(dInset, dInset, nSize - 2 * dInset, nSize - 2 * dInset);
    QLinearGradient gradTile(0, rcTile.top(), 0, rcTile.bottom());
    gradTile.setColorAt(0, QColor(64, 152, 88));
    gradTile.setColorAt(1, QColor(20, 84, 48));
    painter.setPen(QPen(QColor(12, 56, 32), nBorder));
    painter.setBrush(gradTile);
    painter.drawRoundedRect(rcTile, 11 * dScale, 11 * dScale);

    // The keys: white keys with the black keys that fall between them (the last one would sit on
    // the edge), laid out in whole pixels so that their edges stay sharp.
    painter.setRenderHint(QPainter::Antialiasing, false);
    const SKeyLayout keys = KeyLayoutFor(nSize, nMargin + nBorder, nSize - 1 - nMargin - nBorder);
    const int nKeysLeft = (nSize - keys.nWhiteKeys * keys.nKeyWidth + keys.nLine) / 2;
    const int nBlackHeight = std::min(qRound(11 * dScale), keys.nHeight - 1);
    const QColor clrKeyLine(32, 32, 36);
    painter.fillRect(nKeysLeft - keys.nLine, keys.nTop - keys.nLine,
                     keys.nWhiteKeys * keys.nKeyWidth + keys.nLine, keys.nHeight + 2 * keys.nLine,
                     clrKeyLine);
    for (int i = 0; i < keys.nWhiteKeys; ++i)
        painter.fillRect(nKeysLeft + i * keys.nKeyWidth, keys.nTop, keys.nKeyWidth - keys.nLine, keys.nHeight,
                         QColor(250, 250, 244));
    if (keys.nBlackWidth > 0)
        for (int i : {1, 2, 4, 5})
            if (i < keys.nWhiteKeys)
            {
                const int nLineLeft = nKeysLeft + i * keys.nKeyWidth - keys.nLine;
                painter.fillRect(nLineLeft - (keys.nBlackWidth - keys.nLine) / 2, keys.nTop, keys.nBlackWidth,
                                 nBlackHeight, clrKeyLine);
            }

    // The notes.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(dScale, dScale);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 214, 80));
    auto DrawHead = [&](double x, double y)
    {
        painter.save();
        painter.translate(x, y);
        painter.rotate(-22);
        painter.drawEllipse(QPointF(0, 0), 5.6, 4.0);
        painter.restore();
    };
    DrawHead(19, 28);
    DrawHead(40, 24);
    painter.drawRect(QRectF(22.2, 8, 3, 19));
    painter.drawRect(QRectF(43.2, 4, 3, 19));
    QPainterPath pathBeam;
    pathBeam.moveTo(22.2, 8);
    pathBeam.lineTo(46.2, 4);
    pathBeam.lineTo(46.2, 10);
    pathBeam.lineTo(22.2, 14);
    pathBeam.closeSubpath();
    painter.drawPath(pathBeam);
    painter.end();
    return img;
}
