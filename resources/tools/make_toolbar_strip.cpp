// Draws the toolbar picture strip (toolbar.png, fifteen 16x16 pictures) and the program icon
// (tonegrove.png 64x64, tonegrove32.png 32x32) into the resources folder given on the command line.
//
// The PNGs are checked in; this program is kept so that they can be remade after a change:
//   g++ -std=c++20 -fPIC -I. resources/tools/make_toolbar_strip.cpp resources/tools/ProgramIcon.cpp
//       $(pkg-config --cflags --libs Qt6Gui) -o /tmp/make_toolbar_strip
//   /tmp/make_toolbar_strip resources
#include "resources/tools/ProgramIcon.h"

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
