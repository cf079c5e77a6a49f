// Bitmap resources: DIB decoding, LR_LOADMAP3DCOLORS, bitmap handles and system colours.
#include "resbuilder.h"

#include "tswin.h"
#include "tswinqt.h"

#include <QApplication>
#include <QPalette>

#include <sys/resource.h>

#include <gtest/gtest.h>

using tstest::DibSpec;
using tstest::MakeDib;
using tstest::ResBuilder;

namespace {

// Loads `dib` as bitmap 1 of a fresh module and returns its pixels (null image when refused).
QImage Decode(const QByteArray &dib, UINT flags = 0, int cx = 0, int cy = 0)
{
    const QByteArray file = ResBuilder().Add(2, 1, dib).Bytes();
    HMODULE module = TswLoadResourceModuleFromMemory(file.constData(), std::size_t(file.size()));
    HANDLE bitmap = LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_BITMAP, cx, cy, flags);
    const QImage image = QtWin::imageFromHBITMAP(static_cast<HBITMAP>(bitmap), QtWin::HBitmapAlpha);
    if (bitmap) {
        EXPECT_TRUE(DeleteObject(bitmap));
    }
    FreeLibrary(module);
    return image;
}

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

// Sets the application palette for the length of a test.
struct ScopedPalette {
    explicit ScopedPalette(const QPalette &p) : old(QApplication::palette()) { QApplication::setPalette(p); }
    ~ScopedPalette() { QApplication::setPalette(old); }
    QPalette old;
};

} // namespace

TEST(LoadImageW, DecodesEveryDepthAndRowOrder)
{
    // 2 x 2 pictures: top row red, green; bottom row blue, white.
    const QRgb expected[2][2] = {{qRgb(255, 0, 0), qRgb(0, 255, 0)}, {qRgb(0, 0, 255), qRgb(255, 255, 255)}};
    const std::vector<quint32> palette = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    struct Row { const char *what; DibSpec dib; };
    DibSpec bpp24;            // rows bottom-up: first stored row is the bottom one
    bpp24.pixels = Bytes({255, 0, 0, 255, 255, 255, 0, 0}) + Bytes({0, 0, 255, 0, 255, 0, 0, 0});
    DibSpec topDown = bpp24;
    topDown.height = -2;
    topDown.pixels = Bytes({0, 0, 255, 0, 255, 0, 0, 0}) + Bytes({255, 0, 0, 255, 255, 255, 0, 0});
    DibSpec bpp8;
    bpp8.bpp = 8;
    bpp8.palette = palette;
    bpp8.pixels = Bytes({2, 3, 0, 0, 0, 1, 0, 0});
    DibSpec bpp8TopDown = bpp8;
    bpp8TopDown.height = -2;
    bpp8TopDown.pixels = Bytes({0, 1, 0, 0, 2, 3, 0, 0});
    DibSpec bpp4 = bpp8;
    bpp4.bpp = 4;
    bpp4.pixels = Bytes({0x23, 0, 0, 0, 0x01, 0, 0, 0});
    DibSpec bpp32;
    bpp32.bpp = 32;
    bpp32.pixels = Bytes({255, 0, 0, 255, 255, 255, 255, 255, 0, 0, 255, 255, 0, 255, 0, 255});
    DibSpec bpp16;            // 5-5-5
    bpp16.bpp = 16;
    bpp16.pixels = Bytes({0x1F, 0x00, 0xFF, 0x7F, 0x00, 0x7C, 0xE0, 0x03});
    DibSpec fields32 = bpp32; // bit fields: red in the low byte
    fields32.compression = 3;
    fields32.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
    fields32.pixels = Bytes({0, 0, 255, 0, 255, 255, 255, 0, 255, 0, 0, 0, 0, 255, 0, 0});
    const Row rows[] = {{"24 bpp", bpp24}, {"24 bpp top-down", topDown}, {"8 bpp", bpp8},
                        {"8 bpp top-down", bpp8TopDown},
                        {"4 bpp", bpp4},   {"32 bpp", bpp32},           {"16 bpp", bpp16},
                        {"32 bpp bit fields", fields32}};
    for (const Row &row : rows) {
        const QImage image = Decode(MakeDib(row.dib));
        ASSERT_EQ(image.size(), QSize(2, 2)) << row.what;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                EXPECT_EQ(QColor(image.pixel(x, y)), QColor(expected[y][x])) << row.what << " at " << x << "," << y;
    }
}

TEST(LoadImageW, OneBitAndAlpha)
{
    DibSpec mono;
    mono.width = 10;
    mono.height = 1;
    mono.bpp = 1;
    mono.palette = {0x000000, 0xFFFFFF};
    mono.pixels = Bytes({0xA0, 0x40, 0, 0}); // 1010 0000 01..
    const QImage image = Decode(MakeDib(mono));
    ASSERT_EQ(image.width(), 10);
    const int expected[10] = {1, 0, 1, 0, 0, 0, 0, 0, 0, 1};
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(qRed(image.pixel(x, 0)), expected[x] * 255) << "pixel " << x;

    DibSpec alpha;
    alpha.width = 1;
    alpha.height = 1;
    alpha.bpp = 32;
    alpha.pixels = Bytes({10, 20, 30, 40});
    EXPECT_EQ(qAlpha(Decode(MakeDib(alpha)).pixel(0, 0)), 40) << "32-bit pixels keep their alpha byte";
}

TEST(LoadImageW, RefusesDamagedOrUnsupportedBitmaps)
{
    DibSpec ok;
    ok.pixels = QByteArray(16, '\0');
    auto with = [&](auto change) {
        DibSpec s = ok;
        change(s);
        return MakeDib(s);
    };
    // Regression (found by fuzzing): a bit-field bitmap whose header is longer than a plain info
    // header but too short to hold the masks had them read from past the header.
    QByteArray shortMaskHeader = with([](DibSpec &s) {
        s.bpp = 32;
        s.compression = 3;
        s.width = 1;
        s.height = 1;
        s.pixels = QByteArray(4, '\x7f');
    });
    shortMaskHeader[0] = char(45);
    shortMaskHeader.insert(40, QByteArray(5, '\xff'));
    QByteArray hugeHeader = MakeDib(ok);
    hugeHeader[0] = char(0xFF);
    hugeHeader[1] = char(0xFF);
    struct Row { const char *what; QByteArray dib; };
    const Row rows[] = {
        {"pixels cut short", MakeDib(ok).left(40 + 10)},
        {"header only", MakeDib(ok).left(40)},
        {"shorter than a header", MakeDib(ok).left(20)},
        {"header size past the end", hugeHeader},
        {"zero width", with([](DibSpec &s) { s.width = 0; })},
        {"negative width", with([](DibSpec &s) { s.width = -2; })},
        {"zero height", with([](DibSpec &s) { s.height = 0; })},
        {"huge width", with([](DibSpec &s) { s.width = 0x7FFFFFFF; })},
        {"huge height", with([](DibSpec &s) { s.height = int(0x80000000u); })},
        {"7 bits per pixel", with([](DibSpec &s) { s.bpp = 7; })},
        {"run-length compression", with([](DibSpec &s) { s.compression = 1; })},
        {"bit fields at 24 bpp", with([](DibSpec &s) { s.compression = 3; })},
        {"bit fields with a 45-byte header", shortMaskHeader},
        {"colour table past the end", with([](DibSpec &s) { s.bpp = 8; s.colorsUsed = 0x40000000; })},
        {"missing colour table", with([](DibSpec &s) { s.bpp = 8; s.pixels = QByteArray(8, '\0'); })},
        {"more pixels than a picture may have", with([](DibSpec &s) {
             s.bpp = 1;
             s.palette = {0, 0xFFFFFF};
             s.width = 8192;
             s.height = 4096;
             s.pixels = QByteArray(8192 / 8 * 4096, '\x55');
         })},
    };
    for (const Row &row : rows)
        EXPECT_TRUE(Decode(row.dib).isNull()) << row.what;
}

// 64 MiB of 1-bit rows are 2 GiB of decoded pixels: refused before any of them is allocated.
TEST(LoadImageW, RefusesAHugeOneBitBitmapWithoutDecodingIt)
{
    DibSpec s;
    s.bpp = 1;
    s.palette = {0, 0xFFFFFF};
    s.width = 16000; // rows of 2000 bytes
    s.height = 32768;
    s.pixels = QByteArray(2000 * 32768, '\x55');
    const QByteArray file = ResBuilder().Add(2, 1, MakeDib(s)).Bytes();
    s.pixels.clear();
    HMODULE module = TswLoadResourceModuleFromMemory(file.constData(), std::size_t(file.size()));
    ASSERT_NE(module, nullptr);
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    EXPECT_EQ(LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_BITMAP, 0, 0, 0), nullptr);
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 256L * 1024) << "peak grew by this many KiB";
    FreeLibrary(module);
}

TEST(LoadImageW, IndexPastTheColourTableReadsBlack)
{
    DibSpec s;
    s.width = 1;
    s.height = 1;
    s.bpp = 8;
    s.palette = {0xFFFFFF};
    s.pixels = Bytes({200, 0, 0, 0});
    EXPECT_EQ(QColor(Decode(MakeDib(s)).pixel(0, 0)), QColor(Qt::black));
}

TEST(LoadImageW, Map3DColorsReplacesColourTableGreys)
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Dark, QColor(10, 20, 30));
    palette.setColor(QPalette::Button, QColor(40, 50, 60));
    palette.setColor(QPalette::Midlight, QColor(70, 80, 90));
    ScopedPalette scoped(palette);
    ASSERT_EQ(GetSysColor(COLOR_3DSHADOW), RGB(10, 20, 30));
    ASSERT_EQ(GetSysColor(COLOR_3DFACE), RGB(40, 50, 60));
    ASSERT_EQ(GetSysColor(COLOR_3DLIGHT), RGB(70, 80, 90));

    DibSpec s;
    s.width = 5;
    s.height = 1;
    s.bpp = 8;
    s.palette = {0x808080, 0xC0C0C0, 0xDFDFDF, 0x7F7F7F, 0x80C080};
    s.pixels = Bytes({0, 1, 2, 3, 4, 0, 0, 0});
    const QImage mapped = Decode(MakeDib(s), LR_LOADMAP3DCOLORS);
    const QColor expected[5] = {QColor(10, 20, 30), QColor(40, 50, 60), QColor(70, 80, 90),
                                QColor(127, 127, 127), QColor(128, 192, 128)};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(QColor(mapped.pixel(x, 0)), expected[x]) << "entry " << x;
    EXPECT_EQ(QColor(Decode(MakeDib(s)).pixel(1, 0)), QColor(192, 192, 192)) << "without the flag";

    DibSpec direct; // no colour table: left alone, as the system does
    direct.width = 1;
    direct.height = 1;
    direct.pixels = Bytes({192, 192, 192, 0});
    EXPECT_EQ(QColor(Decode(MakeDib(direct), LR_LOADMAP3DCOLORS).pixel(0, 0)), QColor(192, 192, 192));
}

TEST(LoadImageW, StretchesToTheAskedSizeAndRejectsOtherTypes)
{
    DibSpec s;
    s.pixels = QByteArray(16, '\x7F');
    EXPECT_EQ(Decode(MakeDib(s), 0, 8, 0).size(), QSize(8, 2));
    EXPECT_EQ(Decode(MakeDib(s), 0, 0, 6).size(), QSize(2, 6));

    const QByteArray file = ResBuilder().Add(2, 1, MakeDib(s)).Bytes();
    HMODULE module = TswLoadResourceModuleFromMemory(file.constData(), std::size_t(file.size()));
    EXPECT_EQ(LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, 0, 0, 0), nullptr);
    EXPECT_EQ(LoadImageW(module, MAKEINTRESOURCEW(2), IMAGE_BITMAP, 0, 0, 0), nullptr);
    EXPECT_EQ(LoadImageW(nullptr, MAKEINTRESOURCEW(1), IMAGE_BITMAP, 0, 0, 0), nullptr);
    FreeLibrary(module);
}

TEST(Bitmaps, HandlesAreCheckedAndConversionsCopy)
{
    QImage source(3, 2, QImage::Format_ARGB32);
    source.fill(qRgba(200, 100, 50, 128));
    HBITMAP bitmap = QtWin::imageToHBITMAP(source, QtWin::HBitmapAlpha);
    ASSERT_NE(bitmap, nullptr);

    EXPECT_EQ(QtWin::imageFromHBITMAP(bitmap).size(), QSize(3, 2));
    EXPECT_EQ(qAlpha(QtWin::imageFromHBITMAP(bitmap, QtWin::HBitmapAlpha).pixel(0, 0)), 128);
    EXPECT_EQ(qAlpha(QtWin::imageFromHBITMAP(bitmap, QtWin::HBitmapNoAlpha).pixel(0, 0)), 255);
    const QPixmap pixmap = QtWin::fromHBITMAP(bitmap);
    EXPECT_EQ(pixmap.size(), QSize(3, 2));
    EXPECT_FALSE(pixmap.hasAlpha());

    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(pixmap.size(), QSize(3, 2)) << "the pixmap is a copy";
    EXPECT_FALSE(DeleteObject(bitmap)) << "second delete";
    EXPECT_TRUE(QtWin::fromHBITMAP(bitmap).isNull()) << "a deleted handle converts to nothing";
    int bogus = 0;
    EXPECT_FALSE(DeleteObject(&bogus));
    EXPECT_FALSE(DeleteObject(nullptr));
    EXPECT_TRUE(QtWin::imageFromHBITMAP(reinterpret_cast<HBITMAP>(&bogus)).isNull());
}

TEST(Bitmaps, PremultipliedRoundTrip)
{
    QImage source(1, 1, QImage::Format_ARGB32);
    source.setPixel(0, 0, qRgba(200, 100, 0, 128));
    HBITMAP bitmap = QtWin::imageToHBITMAP(source, QtWin::HBitmapPremultipliedAlpha);
    const QImage back = QtWin::imageFromHBITMAP(bitmap, QtWin::HBitmapPremultipliedAlpha)
                            .convertToFormat(QImage::Format_ARGB32);
    DeleteObject(bitmap);
    EXPECT_EQ(qAlpha(back.pixel(0, 0)), 128);
    EXPECT_NEAR(qRed(back.pixel(0, 0)), 200, 2);
    EXPECT_NEAR(qGreen(back.pixel(0, 0)), 100, 2);
}

TEST(GetSysColor, FollowsTheApplicationPalette)
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Active, QPalette::Base, QColor(1, 2, 3));
    palette.setColor(QPalette::Active, QPalette::Highlight, QColor(4, 5, 6));
    ScopedPalette scoped(palette);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(1, 2, 3));
    EXPECT_EQ(GetRValue(GetSysColor(COLOR_WINDOW)), 1);
    EXPECT_EQ(GetBValue(GetSysColor(COLOR_WINDOW)), 3);
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(4, 5, 6));
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColor(25), 0u);
    EXPECT_EQ(GetSysColor(1000), 0u);
}
