// Resources of a language module (a Win32 .res file), GDI bitmaps and system colours.
#pragma once
#include "tsw/export.h"
#include "tsw/types.h"

// Loads the string-table entry `id` of `module` into `buffer` (at most size-1 units, then a NUL).
// Returns the number of units copied, 0 for a missing entry or a null module.
// With size 0 the buffer receives a read-only pointer to the entry and its full length is returned.
TSPLATFORM_API int LoadStringW(HINSTANCE module, UINT id, LPWSTR buffer, int size);

#define IMAGE_BITMAP 0
#define LR_DEFAULTCOLOR 0x0000
#define LR_LOADMAP3DCOLORS 0x1000
#define LR_CREATEDIBSECTION 0x2000
// Loads the bitmap resource `name` (an integer identifier) of `module`.
TSPLATFORM_API HANDLE LoadImageW(HINSTANCE module, LPCWSTR name, UINT type, int cx, int cy,
                                 UINT flags);
TSPLATFORM_API BOOL DeleteObject(HGDIOBJ object);

#define COLOR_3DSHADOW 16
#define COLOR_3DFACE 15
#define COLOR_3DLIGHT 22
#define COLOR_WINDOW 5
#define COLOR_BTNFACE COLOR_3DFACE
#define COLOR_BTNSHADOW COLOR_3DSHADOW
#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) ((BYTE)(rgb))
#define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) ((BYTE)((rgb) >> 16))
TSPLATFORM_API DWORD GetSysColor(int index);
