// GDI bitmaps (handles owning a decoded picture), the bitmap loader and system colours.
#include "dib_p.h"
#include "resfile_p.h"

#include "tsw/resource.h"
#include "tswinqt.h"

#include <QGuiApplication>
#include <QPalette>

#include <mutex>
#include <unordered_set>

using namespace tsw;

namespace {

struct BitmapObject {
    QImage image; // Format_RGB32 or Format_ARGB32, the bytes as GDI would hold them
};

struct BitmapRegistry {
    std::mutex mutex;
    std::unordered_set<const BitmapObject *> live;
};

BitmapRegistry &Bitmaps()
{
    static BitmapRegistry *registry = new BitmapRegistry;
    return *registry;
}

HBITMAP RegisterBitmap(QImage image)
{
    if (image.isNull())
        return nullptr;
    auto *object = new BitmapObject{std::move(image)};
    BitmapRegistry &r = Bitmaps();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.live.insert(object);
    return reinterpret_cast<HBITMAP>(object);
}

// A copy of the bitmap's picture, or a null image for an unknown handle.
QImage BitmapImage(HGDIOBJ handle)
{
    BitmapRegistry &r = Bitmaps();
    std::lock_guard<std::mutex> lock(r.mutex);
    const auto *object = static_cast<const BitmapObject *>(handle);
    if (!handle || !r.live.count(object))
        return QImage();
    QImage copy = object->image;
    copy.detach();
    return copy;
}

QRgb SysRgb(int index)
{
    const DWORD c = GetSysColor(index);
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

} // namespace

HANDLE LoadImageW(HINSTANCE module, LPCWSTR name, UINT type, int cx, int cy, UINT flags)
{
    if (type != IMAGE_BITMAP || !name || cx < 0 || cy < 0)
        return nullptr;
    Map3DColors colours{};
    const Map3DColors *map = nullptr;
    if (flags & LR_LOADMAP3DCOLORS) {
        colours = {SysRgb(COLOR_3DSHADOW), SysRgb(COLOR_3DFACE), SysRgb(COLOR_3DLIGHT)};
        map = &colours;
    }
    QImage image;
    {
        std::lock_guard<std::mutex> lock(RegistryMutex());
        const Resource *res = FindResourceLocked(module, name, RT_BITMAP);
        if (!res)
            return nullptr;
        image = DecodeDib(res->data.data(), res->data.size(), map);
    }
    if (image.isNull())
        return nullptr;
    if ((cx && cx != image.width()) || (cy && cy != image.height()))
        image = image.scaled(cx ? cx : image.width(), cy ? cy : image.height(), Qt::IgnoreAspectRatio,
                             Qt::SmoothTransformation);
    return RegisterBitmap(std::move(image));
}

BOOL DeleteObject(HGDIOBJ handle)
{
    BitmapRegistry &r = Bitmaps();
    const BitmapObject *object = static_cast<const BitmapObject *>(handle);
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        if (!handle || !r.live.erase(object))
            return FALSE;
    }
    delete object;
    return TRUE;
}

DWORD GetSysColor(int index)
{
    // The standard Windows scheme, answered when there is no GUI application to ask.
    static const COLORREF defaults[] = {
        RGB(200, 200, 200), RGB(0, 0, 0),       RGB(153, 180, 209), RGB(191, 205, 219),
        RGB(240, 240, 240), RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 0, 0),
        RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(180, 180, 180), RGB(244, 247, 252),
        RGB(171, 171, 171), RGB(0, 120, 215),   RGB(255, 255, 255), RGB(240, 240, 240),
        RGB(160, 160, 160), RGB(109, 109, 109), RGB(0, 0, 0),       RGB(0, 0, 0),
        RGB(255, 255, 255), RGB(105, 105, 105), RGB(227, 227, 227), RGB(0, 0, 0),
        RGB(255, 255, 225), RGB(0, 0, 0),       RGB(0, 102, 204),
    };
    constexpr int count = int(sizeof defaults / sizeof defaults[0]);
    if (index < 0 || index >= count || index == 25)
        return 0;
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return defaults[index];
    const QPalette palette = QGuiApplication::palette();
    QColor c;
    switch (index) {
    case COLOR_WINDOW: c = palette.color(QPalette::Active, QPalette::Base); break;
    case COLOR_WINDOWTEXT: c = palette.color(QPalette::Active, QPalette::Text); break;
    case COLOR_MENU: c = palette.color(QPalette::Active, QPalette::Window); break;
    case COLOR_MENUTEXT: c = palette.color(QPalette::Active, QPalette::WindowText); break;
    case COLOR_3DFACE: c = palette.color(QPalette::Active, QPalette::Button); break;
    case COLOR_3DSHADOW: c = palette.color(QPalette::Active, QPalette::Dark); break;
    case COLOR_3DDKSHADOW: c = palette.color(QPalette::Active, QPalette::Shadow); break;
    case COLOR_3DLIGHT: c = palette.color(QPalette::Active, QPalette::Midlight); break;
    case COLOR_3DHIGHLIGHT: c = palette.color(QPalette::Active, QPalette::Light); break;
    case COLOR_BTNTEXT: c = palette.color(QPalette::Active, QPalette::ButtonText); break;
    case COLOR_HIGHLIGHT: c = palette.color(QPalette::Active, QPalette::Highlight); break;
    case COLOR_HIGHLIGHTTEXT: c = palette.color(QPalette::Active, QPalette::HighlightedText); break;
    case COLOR_GRAYTEXT: c = palette.color(QPalette::Disabled, QPalette::Text); break;
    case COLOR_INFOTEXT: c = palette.color(QPalette::Active, QPalette::ToolTipText); break;
    case COLOR_INFOBK: c = palette.color(QPalette::Active, QPalette::ToolTipBase); break;
    case COLOR_HOTLIGHT: c = palette.color(QPalette::Active, QPalette::Link); break;
    default: return defaults[index];
    }
    return RGB(c.red(), c.green(), c.blue());
}

namespace QtWin {

QImage imageFromHBITMAP(HBITMAP bitmap, HBitmapFormat format)
{
    QImage image = BitmapImage(bitmap);
    if (image.isNull())
        return image;
    switch (format) {
    case HBitmapNoAlpha:
        return image.convertToFormat(QImage::Format_RGB32);
    case HBitmapAlpha:
        return image.convertToFormat(QImage::Format_ARGB32);
    case HBitmapPremultipliedAlpha: {
        // The stored bytes are taken as premultiplied; channels above alpha are clamped so the
        // result is a valid premultiplied picture.
        image = image.convertToFormat(QImage::Format_ARGB32);
        QImage out(image.size(), QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < image.height(); ++y) {
            const auto *in = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            auto *o = reinterpret_cast<QRgb *>(out.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int a = qAlpha(in[x]);
                o[x] = qRgba(qMin(qRed(in[x]), a), qMin(qGreen(in[x]), a), qMin(qBlue(in[x]), a), a);
            }
        }
        return out;
    }
    }
    return QImage();
}

HBITMAP imageToHBITMAP(const QImage &source, HBitmapFormat format)
{
    if (source.isNull())
        return nullptr;
    switch (format) {
    case HBitmapNoAlpha:
        return RegisterBitmap(source.convertToFormat(QImage::Format_RGB32));
    case HBitmapAlpha:
        return RegisterBitmap(source.convertToFormat(QImage::Format_ARGB32));
    case HBitmapPremultipliedAlpha: {
        // Keep the premultiplied bytes as they are, the way GDI stores them.
        QImage pre = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QImage raw(pre.constBits(), pre.width(), pre.height(), pre.bytesPerLine(),
                   QImage::Format_ARGB32);
        return RegisterBitmap(raw.copy());
    }
    }
    return nullptr;
}

QPixmap fromHBITMAP(HBITMAP bitmap, HBitmapFormat format)
{
    const QImage image = imageFromHBITMAP(bitmap, format);
    if (image.isNull())
        return QPixmap();
    return QPixmap::fromImage(image);
}

} // namespace QtWin
