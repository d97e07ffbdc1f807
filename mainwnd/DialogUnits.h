// The dialog font and dialog units: every window of the program is laid out in dialog units of
// that font, converted to pixels the way the window system converts them.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QRect>
#include <QStringList>

// The font of our dialogs: the system's dialog face at 8 points, or the nearest one installed.
inline QFont DialogFont()
{
    QFont font;
    font.setFamilies({"MS Shell Dlg", "Tahoma", "DejaVu Sans", "Sans Serif"});
    font.setPointSize(8);
    return font;
}

// Rounds as the window system's MulDiv does: half away from zero.
inline int DialogMulDiv(int a, int b, int c)
{
    long long n = static_cast<long long>(a) * b;
    return static_cast<int>((n >= 0 ? n + c / 2 : n - c / 2) / c);
}

// Dialog units of the given font to pixels. The base units are the average width of the Latin
// letters and the character height, as the window system measures them.
inline QRect DialogUnitsToPixels(const QFont& font, const QRect& rect)
{
    QFontMetrics fm(font);
    int nBaseX = (fm.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2;
    int nBaseY = fm.height();
    return QRect(DialogMulDiv(rect.x(), nBaseX, 4), DialogMulDiv(rect.y(), nBaseY, 8),
                 DialogMulDiv(rect.width(), nBaseX, 4), DialogMulDiv(rect.height(), nBaseY, 8));
}
