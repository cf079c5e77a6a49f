#include "widgets/pixmaps.h"

#include <QImage>
#include <limits>

#include "foundation/resourcetext_p.h"
#include "tswinqt.h"

namespace {

// A bitmap of the language module as a pixmap without alpha; the handle is freed at once.
QPixmap LoadModuleBitmap(unsigned int id)
{
    HANDLE handle = LoadImageW(tsuikit::LanguageModule(), MAKEINTRESOURCEW(id & 0xFFFF), IMAGE_BITMAP, 0, 0,
                               LR_LOADMAP3DCOLORS);
    if (!handle)
        return QPixmap();
    HBITMAP bitmap = static_cast<HBITMAP>(handle);
    const QPixmap pixmap = QtWin::fromHBITMAP(bitmap, QtWin::HBitmapNoAlpha);
    DeleteObject(bitmap);
    return pixmap;
}

} // namespace

QPixmap LoadPixmap(unsigned int pictureId, unsigned int maskId)
{
    const QPixmap picture = LoadModuleBitmap(pictureId);
    const QPixmap mask = LoadModuleBitmap(maskId);
    if (picture.isNull() || mask.size() != picture.size())
        return picture;
    // The mask's grey level becomes each pixel's alpha, as QPixmap::setAlphaChannel did.
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage alpha = mask.toImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *pixels = reinterpret_cast<QRgb *>(image.scanLine(y));
        const auto *grey = reinterpret_cast<const QRgb *>(alpha.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            pixels[x] = qRgba(qRed(pixels[x]), qGreen(pixels[x]), qBlue(pixels[x]), qGray(grey[x]));
    }
    return QPixmap::fromImage(image);
}

QPixmap GetIndexOfPixmap(const QPixmap &strip, int index, const QSize &size)
{
    // QPixmap::copy() of an empty rectangle would copy the whole strip.
    if (size.isEmpty())
        return QPixmap();
    const long long x = static_cast<long long>(index) * size.width();
    if (x < std::numeric_limits<int>::min() || x > std::numeric_limits<int>::max())
        return QPixmap();
    const QRect cell(int(x), 0, size.width(), size.height());
    // Qt's copy() of a rectangle that misses the pixmap copies the whole pixmap instead.
    if (!cell.intersects(strip.rect()))
        return QPixmap();
    return strip.copy(cell);
}

QPixmap LoadIconFromHBitmap(HBITMAP bitmap, const int &index, int width, int height)
{
    const QPixmap strip = QtWin::fromHBITMAP(bitmap, QtWin::HBitmapNoAlpha);
    if (strip.isNull())
        return QPixmap();
    return GetIndexOfPixmap(strip, index, QSize(width, height));
}
