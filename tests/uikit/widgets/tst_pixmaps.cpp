// Pixmaps from the language module's bitmap pairs and icons cut from strips, checked pixel by pixel.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <climits>

#include "tslang.h"
#include "tswinqt.h"
#include "widgets/pixmaps.h"

namespace {

// The network icon strip of the language module and its mask.
constexpr unsigned kStrip = 10379;
constexpr unsigned kStripMask = 10380;

// The module the library chose when it was loaded, opened the same way for the reference images.
HINSTANCE TestLanguageModule()
{
    return LoadTsLang(GetUserDefaultLangID(), 0);
}

QImage ModuleBitmap(unsigned id)
{
    HANDLE handle = LoadImageW(TestLanguageModule(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0,
                               LR_LOADMAP3DCOLORS);
    if (!handle)
        return QImage();
    const QImage image = QtWin::imageFromHBITMAP(static_cast<HBITMAP>(handle)).convertToFormat(QImage::Format_RGB32);
    DeleteObject(handle);
    return image;
}

TEST(LoadPixmap, MaskGreyBecomesAlpha)
{
    const QImage picture = ModuleBitmap(kStrip);
    const QImage mask = ModuleBitmap(kStripMask);
    ASSERT_FALSE(picture.isNull());
    ASSERT_EQ(picture.size(), mask.size());
    const QImage loaded = LoadPixmap(kStrip, kStripMask).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(loaded.size(), picture.size());
    int transparent = 0;
    for (int y = 0; y < loaded.height(); ++y) {
        for (int x = 0; x < loaded.width(); ++x) {
            const QRgb got = loaded.pixel(x, y);
            const QRgb want = picture.pixel(x, y);
            ASSERT_EQ(qAlpha(got), qGray(mask.pixel(x, y))) << x << "," << y;
            if (qAlpha(got) == 255) {
                ASSERT_EQ(got, want | 0xFF000000u) << x << "," << y;
            }
            transparent += qAlpha(got) == 0;
        }
    }
    EXPECT_GT(transparent, 0); // the strip's cells are not solid squares
    // Only the low 16 bits of an identifier count.
    EXPECT_EQ(LoadPixmap(kStrip | 0x10000u, kStripMask | 0x20000u).toImage(), LoadPixmap(kStrip, kStripMask).toImage());
}

TEST(LoadPixmap, MissingPictureOrMask)
{
    EXPECT_TRUE(LoadPixmap(1, kStripMask).isNull());
    const QPixmap noMask = LoadPixmap(kStrip, 1);
    EXPECT_FALSE(noMask.isNull());
    EXPECT_FALSE(noMask.hasAlphaChannel());
}

// A strip of four 16 x 16 cells, each filled with its own colour.
QImage Strip()
{
    QImage strip(64, 16, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)};
    for (int cell = 0; cell < 4; ++cell) {
        QPainter painter(&strip);
        painter.fillRect(cell * 16, 0, 16, 16, QColor::fromRgb(colours[cell]));
    }
    return strip;
}

TEST(IconStrips, CellsAreCutAtIndexTimesWidth)
{
    const QPixmap strip = QPixmap::fromImage(Strip());
    const QImage second = GetIndexOfPixmap(strip, 1, QSize(16, 16)).toImage();
    EXPECT_EQ(second, Strip().copy(16, 0, 16, 16));

    HBITMAP bitmap = QtWin::imageToHBITMAP(Strip());
    ASSERT_NE(bitmap, nullptr);
    const int index = 3;
    EXPECT_EQ(LoadIconFromHBitmap(bitmap, index, 16, 16).toImage().convertToFormat(QImage::Format_RGB32),
              Strip().copy(48, 0, 16, 16));
    // The handle stays the caller's and still works.
    EXPECT_FALSE(QtWin::fromHBITMAP(bitmap).isNull());
    DeleteObject(bitmap);

    EXPECT_TRUE(LoadIconFromHBitmap(nullptr, index, 16, 16).isNull());
    EXPECT_TRUE(GetIndexOfPixmap(strip, 1, QSize(0, 16)).isNull()); // not the whole strip
    EXPECT_TRUE(GetIndexOfPixmap(strip, INT_MAX, QSize(16, 16)).isNull());
}

TEST(IconStrips, CellsOutsideTheStripAreNull)
{
    const QImage image = Strip(); // four 16-pixel cells
    const QPixmap strip = QPixmap::fromImage(image);
    struct {
        int index;
        QSize cell;
        QSize expected; // empty: a null pixmap
    } const rows[] = {
        {0, {16, 16}, {16, 16}},
        {3, {16, 16}, {16, 16}},
        {4, {16, 16}, {}}, // just past the end
        {1000, {16, 16}, {}},
        {-1, {16, 16}, {}},
        {INT_MIN, {1, 16}, {}},
        {0, {16, 32}, {16, 16}}, // taller than the strip: the part inside
        {2, {24, 16}, {16, 16}}, // x = 48: partly inside
        {3, {24, 16}, {}}, // x = 72
    };
    for (const auto &row : rows) {
        const QPixmap cell = GetIndexOfPixmap(strip, row.index, row.cell);
        if (row.expected.isEmpty()) {
            EXPECT_TRUE(cell.isNull()) << row.index;
            continue;
        }
        ASSERT_EQ(cell.size(), row.expected) << row.index;
        EXPECT_EQ(cell.toImage().convertToFormat(QImage::Format_RGB32),
                  image.copy(row.index * row.cell.width(), 0, row.expected.width(), row.expected.height())
                      .convertToFormat(QImage::Format_RGB32))
            << row.index;
    }
    EXPECT_TRUE(GetIndexOfPixmap(QPixmap(), 0, QSize(16, 16)).isNull());
}

} // namespace

