#include "dib_p.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tsw {

namespace {

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_BITFIELDS = 3;
constexpr std::int64_t kMaxSide = 32768;

std::uint32_t Dword(const unsigned char *p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16)
           | (std::uint32_t(p[3]) << 24);
}

// One colour channel described by a bit mask.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    explicit Channel(std::uint32_t m = 0) : mask(m)
    {
        if (!m)
            return;
        while (!((m >> shift) & 1))
            ++shift;
        while (bits + shift < 32 && ((m >> (shift + bits)) & 1))
            ++bits;
    }
    int Value(std::uint32_t pixel, int absent) const
    {
        if (!mask || bits == 0)
            return absent;
        const std::uint32_t v = (pixel & mask) >> shift;
        const std::uint32_t max = bits >= 32 ? 0xFFFFFFFFu : ((1u << bits) - 1);
        return int((std::uint64_t(v & max) * 255 + max / 2) / max);
    }
};

QRgb MapGrey(QRgb c, const Map3DColors *map3d)
{
    if (!map3d || qRed(c) != qGreen(c) || qGreen(c) != qBlue(c))
        return c;
    switch (qRed(c)) {
    case 128: return map3d->shadow;
    case 192: return map3d->face;
    case 223: return map3d->light;
    default: return c;
    }
}

} // namespace

QImage DecodeDib(const unsigned char *bytes, std::size_t size, const Map3DColors *map3d)
{
    if (!bytes || size < 40)
        return QImage();
    const std::uint32_t headerSize = Dword(bytes);
    if (headerSize < 40 || headerSize > size)
        return QImage();
    const std::int64_t width = std::int32_t(Dword(bytes + 4));
    const std::int64_t rawHeight = std::int32_t(Dword(bytes + 8));
    const unsigned planes = bytes[12] | (bytes[13] << 8);
    const unsigned bpp = bytes[14] | (bytes[15] << 8);
    const std::uint32_t compression = Dword(bytes + 16);
    const std::uint32_t colorsUsed = Dword(bytes + 32);
    const bool topDown = rawHeight < 0;
    const std::int64_t height = topDown ? -rawHeight : rawHeight;
    if (planes != 1 || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return QImage();
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return QImage();

    std::uint64_t pos = headerSize;
    Channel red, green, blue, alpha;
    if (compression == BI_BITFIELDS) {
        if (bpp != 16 && bpp != 32)
            return QImage();
        // Masks follow a plain info header; later header versions (52 bytes and more) carry them
        // inside. A header between the two has no room for them.
        const unsigned char *masks = bytes + 40;
        if (headerSize > 40 && headerSize < 52)
            return QImage();
        if (headerSize == 40) {
            if (size - pos < 12)
                return QImage();
            pos += 12;
        }
        red = Channel(Dword(masks));
        green = Channel(Dword(masks + 4));
        blue = Channel(Dword(masks + 8));
        if (headerSize >= 56)
            alpha = Channel(Dword(bytes + 52));
    } else if (compression != BI_RGB) {
        return QImage(); // run-length and embedded JPEG/PNG bitmaps are not resources we load
    } else if (bpp == 16) {
        red = Channel(0x7C00);
        green = Channel(0x03E0);
        blue = Channel(0x001F);
    }

    // Colour table: required for up to 8 bits, optional (and skipped) above.
    std::vector<QRgb> palette;
    std::uint64_t tableEntries = colorsUsed;
    if (bpp <= 8 && tableEntries == 0)
        tableEntries = 1u << bpp;
    if (tableEntries > (size - pos) / 4)
        return QImage();
    if (bpp <= 8) {
        const std::uint64_t used = std::min<std::uint64_t>(tableEntries, 1u << bpp);
        palette.resize(1u << bpp, qRgb(0, 0, 0)); // indices past the table read as black
        for (std::uint64_t i = 0; i < used; ++i) {
            const unsigned char *q = bytes + pos + 4 * i;
            palette[i] = MapGrey(qRgb(q[2], q[1], q[0]), map3d);
        }
    }
    pos += 4 * tableEntries;

    const std::uint64_t stride = ((std::uint64_t(width) * bpp + 31) / 32) * 4;
    if (stride * std::uint64_t(height) > size - pos)
        return QImage();

    QImage image(int(width), int(height), bpp == 32 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        return QImage();
    const bool hasAlpha = bpp == 32 && (compression == BI_RGB || alpha.mask);
    for (std::int64_t y = 0; y < height; ++y) {
        const unsigned char *row = bytes + pos + stride * std::uint64_t(topDown ? y : height - 1 - y);
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(int(y)));
        for (std::int64_t x = 0; x < width; ++x) {
            QRgb c;
            switch (bpp) {
            case 1: c = palette[(row[x >> 3] >> (7 - (x & 7))) & 1]; break;
            case 4: c = palette[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15]; break;
            case 8: c = palette[row[x]]; break;
            case 16: {
                const std::uint32_t p = row[2 * x] | (row[2 * x + 1] << 8);
                c = qRgb(red.Value(p, 0), green.Value(p, 0), blue.Value(p, 0));
                break;
            }
            case 24: c = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]); break;
            default: {
                const unsigned char *q = row + 4 * x;
                if (compression == BI_RGB) {
                    c = qRgba(q[2], q[1], q[0], q[3]);
                } else {
                    const std::uint32_t p = Dword(q);
                    c = qRgba(red.Value(p, 0), green.Value(p, 0), blue.Value(p, 0),
                              hasAlpha ? alpha.Value(p, 255) : 255);
                }
                break;
            }
            }
            out[x] = c;
        }
    }
    return image;
}

} // namespace tsw
