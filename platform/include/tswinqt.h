// Conversions between GDI bitmap handles and Qt pictures (the Qt Windows-extras interface).
#pragma once
#include "tsplatform_export.h"
#include "tsw/types.h"

#include <QImage>
#include <QPixmap>

namespace QtWin {

// How the bytes of a bitmap are read or written: alpha ignored (opaque), premultiplied, or straight.
enum HBitmapFormat { HBitmapNoAlpha, HBitmapPremultipliedAlpha, HBitmapAlpha };

// A pixmap holding a copy of the bitmap; a null pixmap for a null or unknown handle. The handle
// stays the caller's. Needs a GUI application, like every QPixmap.
TSPLATFORM_API QPixmap fromHBITMAP(HBITMAP bitmap, HBitmapFormat format = HBitmapNoAlpha);
// The same over QImage, usable without a GUI application.
TSPLATFORM_API QImage imageFromHBITMAP(HBITMAP bitmap, HBitmapFormat format = HBitmapNoAlpha);
// A new bitmap holding a copy of the image (null for a null image); free it with DeleteObject.
TSPLATFORM_API HBITMAP imageToHBITMAP(const QImage &image, HBitmapFormat format = HBitmapNoAlpha);

} // namespace QtWin
