#include "tsw/htmlhelp.h"

HWND HtmlHelpW(HWND, LPCWSTR, UINT, DWORD_PTR)
{
    return nullptr; // the viewer is being written
}
