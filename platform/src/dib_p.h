// Decoding of device-independent bitmaps. Internal to the platform layer.
#pragma once
#include "tsw/types.h"

#include <QImage>

#include <cstddef>

namespace tsw {

// Replacement colours for LR_LOADMAP3DCOLORS: the colour-table greys 128, 192 and 223.
struct Map3DColors {
    QRgb shadow;
    QRgb face;
    QRgb light;
};

// Decodes a DIB that starts with its BITMAPINFOHEADER (no file header). Untrusted input: returns a
// null image for anything malformed, truncated or unsupported, and for pictures of more than 2^24
// pixels (64 MiB decoded). 32-bit pixels keep their alpha byte (Format_ARGB32); everything else
// decodes to Format_RGB32. `map3d` replaces the colour-table greys of 1-, 4- and 8-bit pictures.
QImage DecodeDib(const unsigned char *bytes, std::size_t size, const Map3DColors *map3d);

} // namespace tsw
