#include "dib_p.h"

#include <algorithm>
#include <cstdint>

namespace tsw {

namespace {

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_BITFIELDS = 3;
constexpr std::int64_t kMaxSide = 32768;
constexpr std::int64_t kMaxPixels = std::int64_t(1) << 24; // 64 MiB decoded

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

void PutDword(QByteArray &out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

// 1-, 4-, 8- and 24-bit pictures through Qt's BMP reader, behind a file header and a plain 40-byte
// info header: indexed pictures arrive with their colour tables, where the system colours go.
// The caller has checked that the colour table and every row are there.
QImage DecodeThroughQt(const unsigned char *bytes, std::uint32_t headerSize, std::uint64_t tableEntries,
                       std::uint64_t stride, std::int64_t height, const Map3DColors *map3d)
{
    const unsigned bpp = bytes[14] | (bytes[15] << 8);
    const std::uint32_t colours = bpp <= 8 ? std::uint32_t(std::min<std::uint64_t>(tableEntries, 1u << bpp)) : 0;
    const std::uint64_t pixelBytes = stride * std::uint64_t(height);
    QByteArray file;
    file.reserve(int(14 + 40 + 4 * colours + pixelBytes));
    file.append("BM", 2);
    PutDword(file, std::uint32_t(14 + 40 + 4 * colours + pixelBytes));
    PutDword(file, 0);
    PutDword(file, 14 + 40 + 4 * colours);
    PutDword(file, 40);
    file.append(reinterpret_cast<const char *>(bytes) + 4, 12); // sides, planes, depth
    PutDword(file, 0);                                          // BI_RGB
    file.append(reinterpret_cast<const char *>(bytes) + 20, 12); // image size, resolution
    PutDword(file, colours);
    PutDword(file, 0);
    file.append(reinterpret_cast<const char *>(bytes) + headerSize, int(4 * colours));
    file.append(reinterpret_cast<const char *>(bytes) + headerSize + 4 * tableEntries, int(pixelBytes));

    QImage image;
    if (!image.loadFromData(file, "BMP"))
        return QImage();
    if (bpp <= 8) {
        QVector<QRgb> table = image.colorTable();
        table.resize(int(1u << bpp)); // indices past the table read as black
        for (int i = 0; i < table.size(); ++i)
            table[i] = i < int(colours) ? MapGrey(table[i], map3d) : qRgb(0, 0, 0);
        image.setColorTable(table);
    }
    return image.convertToFormat(QImage::Format_RGB32);
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
    // The decoded picture takes 4 bytes a pixel whatever the depth: a 1-bit bitmap of a few
    // megabytes would otherwise ask for gigabytes.
    if (width * height > kMaxPixels)
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
    std::uint64_t tableEntries = colorsUsed;
    if (bpp <= 8 && tableEntries == 0)
        tableEntries = 1u << bpp;
    if (tableEntries > (size - pos) / 4)
        return QImage();
    const std::uint64_t stride = ((std::uint64_t(width) * bpp + 31) / 32) * 4;
    if (stride * std::uint64_t(height) > size - pos - 4 * tableEntries)
        return QImage();
    if (bpp != 16 && bpp != 32)
        return DecodeThroughQt(bytes, headerSize, tableEntries, stride, height, map3d);
    pos += 4 * tableEntries;

    // Direct colour by bit masks. Not Qt's reader: it drops the alpha byte of 32-bit pixels and
    // scales 5-bit channels to 248 at most and channels wider than 8 bits to nothing.
    QImage image(int(width), int(height), bpp == 32 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        return QImage();
    const bool hasAlpha = bpp == 32 && (compression == BI_RGB || alpha.mask);
    for (std::int64_t y = 0; y < height; ++y) {
        const unsigned char *row = bytes + pos + stride * std::uint64_t(topDown ? y : height - 1 - y);
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(int(y)));
        for (std::int64_t x = 0; x < width; ++x) {
            if (bpp == 16) {
                const std::uint32_t p = row[2 * x] | (row[2 * x + 1] << 8);
                out[x] = qRgb(red.Value(p, 0), green.Value(p, 0), blue.Value(p, 0));
            } else if (compression == BI_RGB) {
                const unsigned char *q = row + 4 * x;
                out[x] = qRgba(q[2], q[1], q[0], q[3]);
            } else {
                const std::uint32_t p = Dword(row + 4 * x);
                out[x] = qRgba(red.Value(p, 0), green.Value(p, 0), blue.Value(p, 0),
                               hasAlpha ? alpha.Value(p, 255) : 255);
            }
        }
    }
    return image;
}

} // namespace tsw
