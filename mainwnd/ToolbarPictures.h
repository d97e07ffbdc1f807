// Toolbar and menu pictures: the strip of fifteen 16x16 pictures cut into icons, its grey
// background turned into the button face, and the greyed copies that disabled buttons show.
#pragma once

#include <QIcon>
#include <QImage>
#include <QList>
#include <QRgb>

// The pictures in the order they stand in the strip (resources/toolbar.png).
enum class EToolbarPicture
{
    New,
    Open,
    Save,
    Undo,
    Redo,
    Cut,
    Copy,
    Paste,
    Delete,
    Playback, // play triangle
    Pause,
    Stop,
    Play, // the note: live play
    Settings,
    Help,
};

inline constexpr int g_nToolbarPictureCount = 15;
inline constexpr int g_nToolbarPictureSize = 16;
// Every pixel of exactly this grey is background, not part of a picture.
inline constexpr QRgb g_rgbStripBackground = qRgb(192, 192, 192);

// One pixel of the greyed picture. rgbFace is the button face as the picture holds it and rgbShadow
// the button shadow: face pixels stay, every other pixel becomes a shade between the shadow (for
// black) and white, after its brightness. Alpha is ignored; the result is opaque.
QRgb GreyedPixel(QRgb rgbPixel, QRgb rgbFace, QRgb rgbShadow);

// A copy of the strip (Format_RGB32) with every background pixel replaced by rgbFace.
QImage ReplaceStripBackground(const QImage& imgStrip, QRgb rgbFace);

// The greyed copy of a strip whose background is already the face colour. The face is compared as
// it reads back from an image of the strip's own format, so a face colour that the format cannot
// hold exactly is still recognised.
QImage MakeDisabledStrip(const QImage& imgFaced, QRgb rgbFace, QRgb rgbShadow);

// One icon per picture, each with its normal and its greyed (QIcon::Disabled) pixmap. Empty when the
// strip is missing or too small to hold all fifteen pictures.
QList<QIcon> SplitToolbarStrip(const QImage& imgStrip, QRgb rgbFace, QRgb rgbShadow);

// The icons of ":/toolbar.png" with the application palette's button face (QPalette::Button) and
// shadow (QPalette::Dark). Needs a QGuiApplication. Empty when the resource is missing.
QList<QIcon> LoadToolbarIcons();

// The program's icon from ":/tonegrove.png" (64x64) and ":/tonegrove32.png".
QIcon LoadProgramIcon();
