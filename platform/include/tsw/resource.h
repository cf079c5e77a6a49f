// Resources of a language module (a Win32 .res file), GDI bitmaps and system colours.
//
// A module is a compiled resource file (the output of `windres -O res`: a sequence of resource
// headers, each followed by its data, DWORD-aligned). The file is untrusted: every header, name and
// data block is bounds-checked, and a damaged part is left out of the module instead of failing the
// whole load. Module, resource and bitmap handles are checked against registries of live objects, so
// a stale or made-up handle is answered like a missing one and never dereferenced.
#pragma once
#include "tsplatform_export.h"
#include "tsw/types.h"

#include <cstddef>

struct HRSRC__;
typedef HRSRC__ *HRSRC;

#define RT_BITMAP MAKEINTRESOURCEW(2)
#define RT_STRING MAKEINTRESOURCEW(6)
#define RT_RCDATA MAKEINTRESOURCEW(10)

#define LOAD_LIBRARY_AS_DATAFILE 0x00000002
#define LOAD_LIBRARY_AS_IMAGE_RESOURCE 0x00000020

// Opens the resource file `path` as a data module (the flags must name a data-file load).
// Returns null when the file cannot be read, is larger than 64 MiB, for other flags, or when memory
// runs out.
TSPLATFORM_API HMODULE LoadLibraryExW(LPCWSTR path, HANDLE reserved, DWORD flags);
// Releases a module opened by LoadLibraryExW. FALSE for an unknown handle.
TSPLATFORM_API BOOL FreeLibrary(HMODULE module);
// Builds a module from resource-file bytes held in memory (the bytes are copied).
// Whatever cannot be parsed is left out. Fails (null, ERROR_NOT_ENOUGH_MEMORY) only when memory
// runs out.
TSPLATFORM_API HMODULE TswLoadResourceModuleFromMemory(const void *data, std::size_t size);
// Number of resources the module holds, 0 for an unknown handle.
TSPLATFORM_API int TswResourceCount(HMODULE module);

// Finds the resource `name` of `type` (each an integer identifier made with MAKEINTRESOURCEW, or a
// zero-terminated name, compared without regard to ASCII case). Null when absent.
TSPLATFORM_API HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
TSPLATFORM_API DWORD SizeofResource(HMODULE module, HRSRC resource);
TSPLATFORM_API HGLOBAL LoadResource(HMODULE module, HRSRC resource);
// The resource's bytes (read-only; valid while the module is loaded).
TSPLATFORM_API LPVOID LockResource(HGLOBAL resource);

// Loads the string-table entry `id` of `module` into `buffer` (at most size-1 units, then a NUL).
// Returns the number of units copied, 0 for a missing entry or a null module.
// With size 0 the buffer receives a read-only pointer to the entry and its full length is returned.
TSPLATFORM_API int LoadStringW(HINSTANCE module, UINT id, LPWSTR buffer, int size);

#define IMAGE_BITMAP 0
#define IMAGE_ICON 1
#define IMAGE_CURSOR 2
#define LR_LOADMAP3DCOLORS 0x1000
// Loads the bitmap resource `name` (an integer identifier or a name) of `module`: a device-
// independent bitmap (BITMAPINFOHEADER, 1/4/8/16/24/32 bits per pixel, uncompressed or bit fields,
// bottom-up or top-down). cx/cy of 0 keep the natural size, otherwise the picture is stretched.
// LR_LOADMAP3DCOLORS replaces the colour-table greys 128, 192 and 223 with the 3D shadow, face and
// light colours (GetSysColor); like the system, it has no effect on bitmaps without a colour table.
// Returns an HBITMAP (as a HANDLE), or null for anything else or a missing or damaged resource.
TSPLATFORM_API HANDLE LoadImageW(HINSTANCE module, LPCWSTR name, UINT type, int cx, int cy,
                                 UINT flags);
// Destroys a bitmap. FALSE for a null or unknown handle (nothing is touched).
TSPLATFORM_API BOOL DeleteObject(HGDIOBJ object);

#define COLOR_SCROLLBAR 0
#define COLOR_BACKGROUND 1
#define COLOR_ACTIVECAPTION 2
#define COLOR_INACTIVECAPTION 3
#define COLOR_MENU 4
#define COLOR_WINDOW 5
#define COLOR_WINDOWFRAME 6
#define COLOR_MENUTEXT 7
#define COLOR_WINDOWTEXT 8
#define COLOR_CAPTIONTEXT 9
#define COLOR_ACTIVEBORDER 10
#define COLOR_INACTIVEBORDER 11
#define COLOR_APPWORKSPACE 12
#define COLOR_HIGHLIGHT 13
#define COLOR_HIGHLIGHTTEXT 14
#define COLOR_3DFACE 15
#define COLOR_3DSHADOW 16
#define COLOR_GRAYTEXT 17
#define COLOR_BTNTEXT 18
#define COLOR_INACTIVECAPTIONTEXT 19
#define COLOR_3DHIGHLIGHT 20
#define COLOR_3DDKSHADOW 21
#define COLOR_3DLIGHT 22
#define COLOR_INFOTEXT 23
#define COLOR_INFOBK 24
#define COLOR_HOTLIGHT 26
#define COLOR_BTNFACE COLOR_3DFACE
#define COLOR_BTNSHADOW COLOR_3DSHADOW
#define COLOR_BTNHIGHLIGHT COLOR_3DHIGHLIGHT
#define COLOR_3DHILIGHT COLOR_3DHIGHLIGHT
#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) ((BYTE)(rgb))
#define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) ((BYTE)((rgb) >> 16))
// A system colour as a COLORREF, taken from the application's palette (COLOR_WINDOW is the Base
// colour, COLOR_3DFACE Button, COLOR_3DSHADOW Dark, COLOR_3DLIGHT Midlight, ...). Without a GUI
// application the Windows standard colours are answered. 0 for an unknown index.
TSPLATFORM_API DWORD GetSysColor(int index);
