// libFuzzer target: the resource-file reader, then every loader over whatever it read.
#include "tswin.h"
#include "tswinqt.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

void Touch(HMODULE module)
{
    std::vector<WCHAR> buffer(16384);
    // Every string id of the first blocks and of the ids the library asks for.
    for (UINT id = 0; id < 64; ++id)
        LoadStringW(module, id, buffer.data(), int(buffer.size()));
    for (UINT id : {33u, 129u, 723u, 9033u, 32003u, 61407u, 65535u})
        LoadStringW(module, id, buffer.data(), 3);
    const WCHAR *direct = nullptr;
    LoadStringW(module, 33, reinterpret_cast<LPWSTR>(&direct), 0);
    for (UINT id : {1u, 2u, 10151u, 10379u}) {
        for (UINT flags : {0u, UINT(LR_LOADMAP3DCOLORS)}) {
            HANDLE bitmap = LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, flags);
            if (bitmap) {
                QtWin::imageFromHBITMAP(static_cast<HBITMAP>(bitmap), QtWin::HBitmapPremultipliedAlpha);
                DeleteObject(bitmap);
            }
        }
    }
    if (HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(1), u"JPEG"))
        LockResource(LoadResource(module, res));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // GetSysColor reads the application palette.
    static QGuiApplication *app = new QGuiApplication(*argc, *argv);
    (void)app;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    HMODULE module = TswLoadResourceModuleFromMemory(data, size);
    Touch(module);
    FreeLibrary(module);
    return 0;
}
