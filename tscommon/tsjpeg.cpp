#include "tsjpeg.h"

#include "tswinqt.h"

#include <QImage>

HBITMAP LoadJpegImage(HINSTANCE module, UINT id, int cx, int cy)
{
    if (!module || id > 0xFFFF || cx < 0 || cy < 0)
        return nullptr;
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(id), u"JPEG");
    if (!res)
        return nullptr;
    const DWORD size = SizeofResource(module, res);
    const void *bytes = LockResource(LoadResource(module, res));
    if (!bytes || size == 0 || size > DWORD(INT_MAX))
        return nullptr;
    QImage image;
    if (!image.loadFromData(static_cast<const uchar *>(bytes), int(size), "JPEG"))
        return nullptr;
    if ((cx && cx != image.width()) || (cy && cy != image.height()))
        image = image.scaled(cx ? cx : image.width(), cy ? cy : image.height(), Qt::IgnoreAspectRatio,
                             Qt::SmoothTransformation);
    return QtWin::imageToHBITMAP(image, QtWin::HBitmapNoAlpha);
}
