// Draws the toolbar picture strip (toolbar.png, fifteen 16x16 pictures) and the program icon
// (tonegrove.png 64x64, tonegrove32.png 32x32) into the resources folder given on the command line.
//
// The PNGs are checked in; this program is kept so that they can be remade after a change:
//   g++ -std=c++20 -fPIC resources/tools/make_toolbar_strip.cpp
//       $(pkg-config --cflags --libs Qt6Gui) -o /tmp/make_toolbar_strip
//   /tmp/make_toolbar_strip resources
#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <map>

namespace
{
constexpr int kPictureSize = 16;
constexpr int kPictureCount = 15;

// Everything of this grey is background: the main window swaps it for the button face, and the
// greying leaves the face alone, so no picture may use this grey for a part of itself.
const QColor kBackground(192, 192, 192);

// The strip is pixel art: each picture is a grid of letters, one per pixel. Drawing with
// antialiasing would blend edge pixels with the background grey, and those half-grey pixels would
// show as a halo once the background becomes the button face.
const std::map<char, QColor>& Palette()
{
    static const std::map<char, QColor> palette = {
        {'k', QColor(0, 0, 0)},       // outline
        {'w', QColor(255, 255, 255)}, // paper
        {'l', QColor(224, 224, 224)}, // paper in shade
        {'g', QColor(128, 128, 128)}, // text lines, metal shade
        {'s', QColor(208, 208, 216)}, // metal, lit side
        {'y', QColor(216, 168, 24)},  // folder, back
        {'Y', QColor(255, 224, 104)}, // folder, front
        {'b', QColor(32, 64, 160)},   // floppy body
        {'B', QColor(24, 88, 216)},   // undo and redo arrows, question mark
        {'D', QColor(0, 32, 128)},    // question mark outline
        {'n', QColor(176, 112, 48)},  // clipboard board
        {'N', QColor(112, 64, 16)},   // clipboard board, shaded side
        {'r', QColor(232, 32, 32)},   // delete cross
        {'R', QColor(144, 0, 0)},     // delete cross, shaded side; stop square outline
        {'G', QColor(40, 184, 40)},   // play triangle
        {'L', QColor(136, 232, 136)}, // play triangle, lit edge
        {'d', QColor(0, 96, 0)},      // play triangle outline
        {'p', QColor(48, 80, 168)},   // pause bars
        {'P', QColor(16, 32, 96)},    // pause bars outline
        {'m', QColor(40, 40, 120)},   // musical note
        {'E', QColor(160, 160, 168)}, // gear
        {'e', QColor(112, 112, 120)}, // gear, shaded side
    };
    return palette;
}

using CGrid = std::array<const char*, kPictureSize>;

// One row of pixels a line, kept so by hand.
// clang-format off
const CGrid kNew = {
    "................",
    "..kkkkkkkk......",
    "..kwwwwwwkk.....",
    "..kwwwwwwkwk....",
    "..kwwwwwwklwk...",
    "..kwwwwwwkkkkk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kkkkkkkkkkkk..",
    "................",
};

const CGrid kOpen = {
    "................",
    "................",
    "..kkkk..........",
    ".kYYYYk.........",
    ".kYyyyYkkkkkkk..",
    ".kYyyyyyyyyyyk..",
    ".kYyyyyyyyyyyk..",
    ".kYyykkkkkkkkkkk",
    ".kYykYYYYYYYYYYk",
    ".kYykYYYYYYYYYk.",
    ".kykYYYYYYYYYYk.",
    ".kykYYYYYYYYYk..",
    ".kkYYYYYYYYYYk..",
    ".kkkkkkkkkkkk...",
    "................",
    "................",
};

const CGrid kSave = {
    "................",
    ".kkkkkkkkkkkkkk.",
    ".kbkwwwwwwwwkbk.",
    ".kbkwwwwwwwwkbk.",
    ".kbkwggggggwkbk.",
    ".kbkwwwwwwwwkbk.",
    ".kbkwggggggwkbk.",
    ".kbkwwwwwwwwkbk.",
    ".kbbkkkkkkkkbbk.",
    ".kbbbbbbbbbbbbk.",
    ".kbbssssssssbbk.",
    ".kbbsskkssssbbk.",
    ".kbbsskkssssbbk.",
    ".kbbsskkssssbbk.",
    ".kkkkkkkkkkkkkk.",
    "................",
};

const CGrid kUndo = {
    "................",
    "................",
    ".....B..........",
    "....BB..........",
    "...BBBBBBBB.....",
    "..BBBBBBBBBBB...",
    "...BBBBBBBBBBB..",
    "....BB.....BBB..",
    ".....B......BBB.",
    ".............BB.",
    ".............BB.",
    "............BBB.",
    "...........BBB..",
    ".........BBBB...",
    "........BBB.....",
    "................",
};

const CGrid kCut = {
    "................",
    "...k........k...",
    "...kg......gk...",
    "....kg....gk....",
    "....kg....gk....",
    ".....kg..gk.....",
    ".....kg..gk.....",
    "......kggk......",
    ".......kk.......",
    "......kkkk......",
    "....kkk..kkk....",
    "...k..k..k..k...",
    "..k...k..k...k..",
    "..k...k..k...k..",
    "...kkk....kkk...",
    "................",
};

const CGrid kCopy = {
    "................",
    ".kkkkkk.........",
    ".kwwwwkk........",
    ".kwggwkwk.......",
    ".kwwwwkkkk......",
    ".kwgggkkkkkk....",
    ".kwwwwkwwwwkk...",
    ".kwgggkwgggkwk..",
    ".kwwwwkwwwwkkkk.",
    ".kwgggkwggggggk.",
    ".kkkkkkwwwwwwwk.",
    "......kwggggggk.",
    "......kwwwwwwwk.",
    "......kwggggggk.",
    "......kkkkkkkkk.",
    "................",
};

const CGrid kPaste = {
    "................",
    ".....kkkkkk.....",
    "..kkkksssskkkk..",
    "..knnkssssknnk..",
    "..knnkkkkkknnk..",
    "..knwwwwwwwwnk..",
    "..knwggggggwnk..",
    "..knwwwwwwwwnk..",
    "..knwggggggwnk..",
    "..knwwwwwwwwnk..",
    "..knwgggggwwnk..",
    "..knwwwwwwwwnk..",
    "..knnnnnnnnnnk..",
    "..kkkkkkkkkkkk..",
    "................",
    "................",
};

const CGrid kDelete = {
    "................",
    "................",
    "................",
    "..rrr......rrr..",
    "...rrr....rrr...",
    "....rrr..rrr....",
    ".....rrrrrr.....",
    "......rrrr......",
    "......rrrr......",
    ".....rrrrrr.....",
    "....rrr..rrr....",
    "...rrr....rrr...",
    "..rrr......rrr..",
    "................",
    "................",
    "................",
};

const CGrid kPlayback = {
    "................",
    ".....d..........",
    ".....dd.........",
    ".....ddd........",
    ".....dLdd.......",
    ".....dLGdd......",
    ".....dLGGdd.....",
    ".....dLGGGdd....",
    ".....dLGGGGdd...",
    ".....dLGGGdd....",
    ".....dLGGdd.....",
    ".....dLGdd......",
    ".....dLdd.......",
    ".....ddd........",
    ".....dd.........",
    ".....d..........",
};

const CGrid kPause = {
    "................",
    "................",
    "................",
    "...PPPP..PPPP...",
    "...PppP..PppP...",
    "...PppP..PppP...",
    "...PppP..PppP...",
    "...PppP..PppP...",
    "...PppP..PppP...",
    "...PppP..PppP...",
    "...PppP..PppP...",
    "...PppP..PppP...",
    "...PPPP..PPPP...",
    "................",
    "................",
    "................",
};

const CGrid kStop = {
    "................",
    "................",
    "................",
    "...RRRRRRRRRR...",
    "...RrrrrrrrrR...",
    "...RrrrrrrrrR...",
    "...RrrrrrrrrR...",
    "...RrrrrrrrrR...",
    "...RrrrrrrrrR...",
    "...RrrrrrrrrR...",
    "...RrrrrrrrrR...",
    "...RrrrrrrrrR...",
    "...RRRRRRRRRR...",
    "................",
    "................",
    "................",
};

const CGrid kNote = {
    "................",
    "................",
    ".....mmmmmmmmm..",
    ".....mmmmmmmmm..",
    ".....m.......m..",
    ".....m.......m..",
    ".....m.......m..",
    ".....m.......m..",
    ".....m.......m..",
    ".....m.......m..",
    "..mmmm....mmmm..",
    ".mmmmm...mmmmm..",
    ".mmmmm...mmmmm..",
    "..mmm.....mmm...",
    "................",
    "................",
};

const CGrid kSettings = {
    ".......kk.......",
    "......kssk......",
    "...kk.kssk.kk...",
    "..kssksssskEEk..",
    "..ksssssssEEEk..",
    "...ksskkkkEEk...",
    ".kkssk....keekk.",
    "kssssk....keeeek",
    "kssssk....keeeek",
    ".kkssk....keekk.",
    "...kEEkkkkeek...",
    "..kEEEeeeeeeek..",
    "..kEEkeeeekeek..",
    "...kk.keek.kk...",
    "......keek......",
    ".......kk.......",
};

const CGrid kHelp = {
    "................",
    ".....DDDDDD.....",
    "....DBBBBBBD....",
    "...DBBDDDDBBD...",
    "...DBBD..DBBD...",
    "....DD...DBBD...",
    ".........DBBD...",
    "........DBBD....",
    ".......DBBD.....",
    "......DBBD......",
    "......DBBD......",
    ".......DD.......",
    "......DDDD......",
    "......DBBD......",
    "......DBBD......",
    ".......DD.......",
};

// clang-format on

// The picture mirrored left to right, for redo.
CGrid MirrorGrid(const CGrid& grid)
{
    static std::array<std::array<char, kPictureSize + 1>, kPictureSize> rows{};
    CGrid mirrored{};
    for (int y = 0; y < kPictureSize; ++y)
    {
        for (int x = 0; x < kPictureSize; ++x)
            rows[y][x] = grid[y][kPictureSize - 1 - x];
        rows[y][kPictureSize] = '\0';
        mirrored[y] = rows[y].data();
    }
    return mirrored;
}

bool DrawGrid(QPainter& painter, int nLeft, const CGrid& grid, const char* pszName)
{
    for (int y = 0; y < kPictureSize; ++y)
    {
        if (std::strlen(grid[y]) != kPictureSize)
        {
            std::fprintf(stderr, "%s: row %d is not %d pixels wide\n", pszName, y, kPictureSize);
            return false;
        }
        for (int x = 0; x < kPictureSize; ++x)
        {
            char c = grid[y][x];
            if (c == '.')
                continue;
            auto it = Palette().find(c);
            if (it == Palette().end())
            {
                std::fprintf(stderr, "%s: unknown colour '%c' at %d,%d\n", pszName, c, x, y);
                return false;
            }
            painter.fillRect(nLeft + x, y, 1, 1, it->second);
        }
    }
    return true;
}

bool WriteStrip(const QString& strFolder)
{
    const CGrid kRedo = MirrorGrid(kUndo);
    struct SPicture
    {
        const CGrid* pGrid;
        const char* pszName;
    };
    // The order the toolbar and the menu expect.
    const std::array<SPicture, kPictureCount> pictures = {{
        {&kNew, "new"},
        {&kOpen, "open"},
        {&kSave, "save"},
        {&kUndo, "undo"},
        {&kRedo, "redo"},
        {&kCut, "cut"},
        {&kCopy, "copy"},
        {&kPaste, "paste"},
        {&kDelete, "delete"},
        {&kPlayback, "playback"},
        {&kPause, "pause"},
        {&kStop, "stop"},
        {&kNote, "note"},
        {&kSettings, "settings"},
        {&kHelp, "help"},
    }};

    for (const auto& [c, color] : Palette())
        if (color == kBackground)
        {
            std::fprintf(stderr, "colour '%c' is the background grey\n", c);
            return false;
        }

    // 24-bit colour, as the toolbar's image lists take it.
    QImage imgStrip(kPictureSize * kPictureCount, kPictureSize, QImage::Format_RGB888);
    imgStrip.fill(kBackground);
    QPainter painter(&imgStrip);
    for (int i = 0; i < kPictureCount; ++i)
        if (!DrawGrid(painter, i * kPictureSize, *pictures[i].pGrid, pictures[i].pszName))
            return false;
    painter.end();
    return imgStrip.save(strFolder + "/toolbar.png", "PNG");
}

// The program icon: a beamed pair of notes over a stretch of piano keys on a green tile, on a
// transparent background. The tile and the notes are drawn in a 64-unit square and scaled; the keys
// are laid out in whole pixels of the size asked for, so that their edges stay sharp at 32x32 too.
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

    // The keys: six white keys with the black keys that fall between them (the last one would sit
    // on the edge). At 32x32 six keys leave the white ones too thin beside the black, so the small
    // icon shows five wider keys.
    painter.setRenderHint(QPainter::Antialiasing, false);
    const bool bSmall = nSize < 48;
    const int nWhiteKeys = bSmall ? 5 : 6;
    const int nKeyWidth = bSmall ? 5 : qRound(8 * dScale);
    const int nKeysLeft = (nSize - nWhiteKeys * nKeyWidth + 1) / 2;
    const int nKeysTop = qRound(38 * dScale);
    const int nKeysHeight = qRound(18 * dScale);
    const int nBlackWidth = bSmall ? 3 : 5; // odd, so that it sits centred on the line between keys
    const int nBlackHeight = qRound(11 * dScale);
    const QColor clrKeyLine(32, 32, 36);
    painter.fillRect(nKeysLeft - 1, nKeysTop - 1, nWhiteKeys * nKeyWidth + 1, nKeysHeight + 2, clrKeyLine);
    for (int i = 0; i < nWhiteKeys; ++i)
        painter.fillRect(nKeysLeft + i * nKeyWidth, nKeysTop, nKeyWidth - 1, nKeysHeight,
                         QColor(250, 250, 244));
    for (int i : {1, 2, 4, 5})
        if (i < nWhiteKeys)
        {
            const int nLine = nKeysLeft + i * nKeyWidth - 1;
            painter.fillRect(nLine - nBlackWidth / 2, nKeysTop, nBlackWidth, nBlackHeight, clrKeyLine);
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

bool WriteIcons(const QString& strFolder)
{
    return DrawProgramIcon(64).save(strFolder + "/tonegrove.png", "PNG") &&
           DrawProgramIcon(32).save(strFolder + "/tonegrove32.png", "PNG");
}
} // namespace

int main(int argc, char** argv)
{
    QString strFolder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    if (!WriteStrip(strFolder) || !WriteIcons(strFolder))
    {
        std::fprintf(stderr, "could not write the pictures into %s\n", qPrintable(strFolder));
        return 1;
    }
    return 0;
}
