// The entry point of the help viewer's back-end ("TsHtmlHelpViewer", loaded by HtmlHelpW on first
// use with TswBackEndSymbol): HtmlHelpW itself, over the viewer and the web engine.
#pragma once
#include "tsw/types.h"

namespace tshelp {

inline constexpr char kViewerBackEnd[] = "TsHtmlHelpViewer";
inline constexpr char kViewerEntry[] = "TswHtmlHelpViewer";
// Takes and answers what HtmlHelpW takes and answers (tsw/htmlhelp.h).
using HtmlHelpFn = HWND (*)(HWND owner, LPCWSTR file, UINT command, DWORD_PTR data);

} // namespace tshelp
