// Toolbar and menu pictures: background replacement, greying and the split into icons.
#include "mainwnd/ToolbarPictures.h"

#include <QColor>
#include <QGuiApplication>
#include <QPalette>
#include <QPixmap>

// The pictures are compiled into the GUI's static library, and the linker leaves out the resource
// data there unless something refers to it; this reference keeps it and registers it.
static void InitPictureResources()
{
    static const bool s_bDone = []
    {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)s_bDone;
}

QRgb GreyedPixel(QRgb rgbPixel, QRgb rgbFace, QRgb rgbShadow)
{
    if ((rgbPixel & RGB_MASK) == (rgbFace & RGB_MASK))
        return rgbPixel | ~RGB_MASK;
    // The brightness is the integer average, so a pixel as dark as (1, 1, 0) counts as black and
    // takes the shadow colour itself.
    const int nBrightness = (qRed(rgbPixel) + qGreen(rgbPixel) + qBlue(rgbPixel)) / 3;
    if (nBrightness == 0)
        return rgbShadow | ~RGB_MASK;
    const double dBrightness = nBrightness / 255.0;
    auto Part = [dBrightness](int nShadow)
    { return static_cast<int>(nShadow + (255 - nShadow) * dBrightness); };
    return qRgb(Part(qRed(rgbShadow)), Part(qGreen(rgbShadow)), Part(qBlue(rgbShadow)));
}

QImage ReplaceStripBackground(const QImage& imgStrip, QRgb rgbFace)
{
    QImage img = imgStrip.convertToFormat(QImage::Format_RGB32);
    const QRgb rgbNewFace = rgbFace | ~RGB_MASK;
    for (int y = 0; y < img.height(); ++y)
    {
        QRgb* pLine = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((pLine[x] & RGB_MASK) == (g_rgbStripBackground & RGB_MASK))
                pLine[x] = rgbNewFace;
    }
    return img;
}

QImage MakeDisabledStrip(const QImage& imgFaced, QRgb rgbFace, QRgb rgbShadow)
{
    QImage img = imgFaced;
    // setPixel on an indexed image takes a palette index, not a colour.
    if (img.depth() < 16)
        img = img.convertToFormat(QImage::Format_RGB32);

    // A 16-bit image cannot hold every face colour; the background pixels hold the face as the
    // format rounded it, so compare with the face as it comes back from that format.
    QImage imgProbe(2, 2, img.format());
    imgProbe.fill(QColor::fromRgb(rgbFace));
    const QRgb rgbFaceRead = imgProbe.pixel(1, 1);

    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, GreyedPixel(img.pixel(x, y), rgbFaceRead, rgbShadow));
    return img;
}

QList<QIcon> SplitToolbarStrip(const QImage& imgStrip, QRgb rgbFace, QRgb rgbShadow)
{
    if (imgStrip.isNull() || imgStrip.width() < g_nToolbarPictureCount * g_nToolbarPictureSize ||
        imgStrip.height() < g_nToolbarPictureSize)
        return {};

    const QImage imgNormal = ReplaceStripBackground(imgStrip, rgbFace);
    const QImage imgDisabled = MakeDisabledStrip(imgNormal, rgbFace, rgbShadow);
    QList<QIcon> icons;
    icons.reserve(g_nToolbarPictureCount);
    for (int i = 0; i < g_nToolbarPictureCount; ++i)
    {
        const QRect rcPicture(i * g_nToolbarPictureSize, 0, g_nToolbarPictureSize, g_nToolbarPictureSize);
        QIcon icon;
        icon.addPixmap(QPixmap::fromImage(imgNormal.copy(rcPicture)), QIcon::Normal);
        // Without a pixmap of its own Qt would grey the normal one in its own manner.
        icon.addPixmap(QPixmap::fromImage(imgDisabled.copy(rcPicture)), QIcon::Disabled);
        icons.append(icon);
    }
    return icons;
}

QList<QIcon> LoadToolbarIcons()
{
    InitPictureResources();
    const QImage imgStrip(QStringLiteral(":/toolbar.png"));
    const QPalette palette = QGuiApplication::palette();
    return SplitToolbarStrip(imgStrip, palette.color(QPalette::Active, QPalette::Button).rgb(),
                             palette.color(QPalette::Active, QPalette::Dark).rgb());
}

QIcon LoadProgramIcon()
{
    InitPictureResources();
    QIcon icon;
    icon.addFile(QStringLiteral(":/tonegrove.png"));
    icon.addFile(QStringLiteral(":/tonegrove32.png"));
    return icon;
}
