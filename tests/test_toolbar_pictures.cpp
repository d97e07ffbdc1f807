#include "mainwnd/ToolbarPictures.h"
#include "resources/tools/ProgramIcon.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QPixmap>
#include <QSet>

namespace
{
// A shadow whose three parts differ, so that a mixed-up channel shows.
constexpr QRgb kFace = qRgb(212, 208, 200);
constexpr QRgb kShadow = qRgb(100, 120, 140);
constexpr QRgb kGreyShadow = qRgb(128, 128, 128);

std::string RgbText(QRgb rgb)
{
    return std::to_string(qRed(rgb)) + "," + std::to_string(qGreen(rgb)) + "," + std::to_string(qBlue(rgb)) +
           " alpha " + std::to_string(qAlpha(rgb));
}

TEST(GreyedPixel, ShadesFromShadowToWhiteAfterBrightness)
{
    struct SCase
    {
        QRgb rgbPixel;
        QRgb rgbShadow;
        QRgb rgbExpected;
        const char* pszWhat;
    };
    const SCase cases[] = {
        {qRgb(0, 0, 0), kShadow, kShadow, "black takes the shadow"},
        {qRgb(4, 4, 3), kShadow, qRgb(101, 121, 141), "the average drops its fraction: 11 / 3 is 3"},
        {qRgb(255, 255, 255), kShadow, qRgb(255, 255, 255), "white stays white"},
        {qRgb(128, 128, 128), kGreyShadow, qRgb(191, 191, 191), "mid grey, truncated not rounded"},
        {qRgb(128, 128, 128), kShadow, qRgb(177, 187, 197), "each part from its own shadow part"},
        {qRgb(200, 100, 30), kShadow, qRgb(166, 178, 189), "a colour goes by its average"},
        {kFace, kShadow, kFace, "the face stays"},
        {qRgb(212, 208, 201), kShadow, qRgb(225, 229, 233), "one step off the face is picture"},
        {qRgba(212, 208, 200, 0), kShadow, kFace, "the face is found whatever the alpha"},
    };
    for (const SCase& c : cases)
        EXPECT_EQ(RgbText(c.rgbExpected), RgbText(GreyedPixel(c.rgbPixel, kFace, c.rgbShadow))) << c.pszWhat;
}

// A row of four pixels: background grey, a grey one step off it, black, white.
QImage FourPixelStrip()
{
    QImage img(4, 1, QImage::Format_RGB888);
    img.setPixel(0, 0, g_rgbStripBackground);
    img.setPixel(1, 0, qRgb(192, 192, 193));
    img.setPixel(2, 0, qRgb(0, 0, 0));
    img.setPixel(3, 0, qRgb(255, 255, 255));
    return img;
}

TEST(ToolbarStrip, BackgroundTurnsIntoTheFaceAndIsNotGreyed)
{
    const QImage imgFaced = ReplaceStripBackground(FourPixelStrip(), kFace);
    EXPECT_EQ(QImage::Format_RGB32, imgFaced.format());
    const QRgb expectedFaced[] = {kFace, qRgb(192, 192, 193), qRgb(0, 0, 0), qRgb(255, 255, 255)};
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(RgbText(expectedFaced[x]), RgbText(imgFaced.pixel(x, 0))) << "pixel " << x;

    const QImage imgDisabled = MakeDisabledStrip(imgFaced, kFace, kShadow);
    const QRgb expectedDisabled[] = {kFace, qRgb(216, 221, 226), kShadow, qRgb(255, 255, 255)};
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(RgbText(expectedDisabled[x]), RgbText(imgDisabled.pixel(x, 0))) << "pixel " << x;
}

TEST(ToolbarStrip, FaceIsRecognisedAsTheImageFormatHoldsIt)
{
    // 16-bit colour cannot hold 212: the background reads back as another colour, and must
    // still be left alone rather than greyed.
    const QImage imgFaced =
        ReplaceStripBackground(FourPixelStrip(), kFace).convertToFormat(QImage::Format_RGB16);
    ASSERT_NE(RgbText(kFace), RgbText(imgFaced.pixel(0, 0)));

    const QImage imgDisabled = MakeDisabledStrip(imgFaced, kFace, kShadow);
    EXPECT_EQ(RgbText(imgFaced.pixel(0, 0)), RgbText(imgDisabled.pixel(0, 0)));
    EXPECT_EQ(RgbText(qRgb(255, 255, 255)), RgbText(imgDisabled.pixel(3, 0)));
}

// Picture i of this strip has a single coloured pixel, at (i, i), on the background grey.
QRgb MarkColour(int i)
{
    return qRgb(8 + 16 * i, 250 - 16 * i, 40);
}

TEST(ToolbarStrip, SplitsIntoFifteenIconsWithNormalAndGreyedPixmaps)
{
    QImage imgStrip(g_nToolbarPictureCount * g_nToolbarPictureSize, g_nToolbarPictureSize,
                    QImage::Format_RGB888);
    imgStrip.fill(QColor::fromRgb(g_rgbStripBackground));
    for (int i = 0; i < g_nToolbarPictureCount; ++i)
        imgStrip.setPixel(i * g_nToolbarPictureSize + i, i, MarkColour(i));

    const QList<QIcon> icons = SplitToolbarStrip(imgStrip, kFace, kShadow);
    ASSERT_EQ(g_nToolbarPictureCount, icons.size());
    const QSize size(g_nToolbarPictureSize, g_nToolbarPictureSize);
    for (int i = 0; i < g_nToolbarPictureCount; ++i)
    {
        SCOPED_TRACE("picture " + std::to_string(i));
        const QImage imgNormal = icons[i].pixmap(size, QIcon::Normal).toImage();
        const QImage imgDisabled = icons[i].pixmap(size, QIcon::Disabled).toImage();
        ASSERT_EQ(size, imgNormal.size());
        ASSERT_EQ(size, imgDisabled.size());
        // The greyed pixmap must be ours, not one Qt made up from the normal one.
        EXPECT_EQ(RgbText(MarkColour(i)), RgbText(imgNormal.pixel(i, i)));
        EXPECT_EQ(RgbText(GreyedPixel(MarkColour(i), kFace, kShadow)), RgbText(imgDisabled.pixel(i, i)));
        const int nOther = (i + 1) % g_nToolbarPictureSize;
        EXPECT_EQ(RgbText(kFace), RgbText(imgNormal.pixel(nOther, i)));
        EXPECT_EQ(RgbText(kFace), RgbText(imgDisabled.pixel(nOther, i)));
    }
}

TEST(ToolbarStrip, NoIconsFromAMissingOrShortStrip)
{
    const QSize sizes[] = {{0, 0},
                           {g_nToolbarPictureCount * g_nToolbarPictureSize - 1, g_nToolbarPictureSize},
                           {g_nToolbarPictureCount * g_nToolbarPictureSize, g_nToolbarPictureSize - 1}};
    for (QSize size : sizes)
    {
        QImage img = size.isEmpty() ? QImage() : QImage(size, QImage::Format_RGB32);
        if (!img.isNull())
            img.fill(Qt::white);
        EXPECT_TRUE(SplitToolbarStrip(img, kFace, kShadow).isEmpty()) << size.width() << "x" << size.height();
    }
}

TEST(ToolbarStrip, BuiltInPicturesAreFifteenDistinctPicturesOnTheBackgroundGrey)
{
    // Loading the icons first also registers the resources with Qt.
    EXPECT_EQ(g_nToolbarPictureCount, LoadToolbarIcons().size());
    const QImage imgStrip(QStringLiteral(":/toolbar.png"));
    ASSERT_FALSE(imgStrip.isNull()) << "resources.qrc is not built into this program";
    ASSERT_EQ(QSize(g_nToolbarPictureCount * g_nToolbarPictureSize, g_nToolbarPictureSize), imgStrip.size());

    QSet<QByteArray> pictures;
    for (int i = 0; i < g_nToolbarPictureCount; ++i)
    {
        SCOPED_TRACE("picture " + std::to_string(i));
        const QImage imgPicture =
            imgStrip.copy(i * g_nToolbarPictureSize, 0, g_nToolbarPictureSize, g_nToolbarPictureSize)
                .convertToFormat(QImage::Format_RGB32);
        // A picture that lost its exact background grey (a conversion with colour management, say)
        // would show a grey square on any other button face.
        const int nLast = g_nToolbarPictureSize - 1;
        for (QPoint pt : {QPoint(0, 0), QPoint(nLast, 0), QPoint(0, nLast), QPoint(nLast, nLast)})
            EXPECT_EQ(RgbText(g_rgbStripBackground), RgbText(imgPicture.pixel(pt)));
        int nDrawn = 0;
        for (int y = 0; y < g_nToolbarPictureSize; ++y)
            for (int x = 0; x < g_nToolbarPictureSize; ++x)
                nDrawn += imgPicture.pixel(x, y) != g_rgbStripBackground;
        EXPECT_GE(nDrawn, 20);
        pictures.insert(QByteArray(reinterpret_cast<const char*>(imgPicture.constBits()),
                                   static_cast<int>(imgPicture.sizeInBytes())));
    }
    EXPECT_EQ(g_nToolbarPictureCount, pictures.size());

    const QList<QSize> iconSizes = LoadProgramIcon().availableSizes();
    EXPECT_TRUE(iconSizes.contains(QSize(64, 64)));
    EXPECT_TRUE(iconSizes.contains(QSize(32, 32)));
}
} // namespace

namespace
{
bool IsTileGreen(QRgb rgb)
{
    return qAlpha(rgb) == 255 && qGreen(rgb) > qRed(rgb) + 20 && qGreen(rgb) > qBlue(rgb) + 20;
}

// The window's icons are the drawing at 32 and 64 pixels, pixel for pixel, so the desktop's
// icons drawn at build time show the same picture; at every size the keys stay inside the tile.
TEST(ProgramIcon, IsTheWindowsIconAtEverySize)
{
    for (const auto& [nSize, pszResource] : {std::pair{32, ":/tonegrove32.png"}, {64, ":/tonegrove.png"}})
    {
        const QImage imgResource = QImage(pszResource).convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(imgResource.isNull()) << pszResource;
        EXPECT_TRUE(DrawProgramIcon(nSize).convertToFormat(QImage::Format_ARGB32) == imgResource)
            << pszResource;
    }
    for (int nSize : {16, 22, 24, 32, 48, 64, 128, 256})
    {
        const QImage img = DrawProgramIcon(nSize);
        ASSERT_EQ(QSize(nSize, nSize), img.size());
        EXPECT_EQ(0, qAlpha(img.pixel(0, 0))) << nSize << ": the corners are transparent";
        const int nInside = std::max(1, qRound(nSize / 64.0)) + std::max(1, qRound(2 * nSize / 64.0));
        EXPECT_TRUE(IsTileGreen(img.pixel(nSize / 2, nSize - 1 - nInside)))
            << nSize << ": the tile shows below the keys, "
            << RgbText(img.pixel(nSize / 2, nSize - 1 - nInside));
        const int nKeysRow = nSize * 3 / 4;
        EXPECT_TRUE(IsTileGreen(img.pixel(nInside, nKeysRow)) &&
                    IsTileGreen(img.pixel(nSize - 1 - nInside, nKeysRow)))
            << nSize << ": the tile shows beside the keys";
        EXPECT_FALSE(IsTileGreen(img.pixel(nSize / 2, nKeysRow))) << nSize << ": the keys are there";
    }
}
} // namespace
