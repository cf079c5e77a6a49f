// The HTML Help entry point: shows a page of a compiled help file (.chm) in a help viewer window.
#pragma once
#include "tshtmlhelp_export.h"
#include "tsw/types.h"

// Commands of HtmlHelpW: show a topic; close every viewer that HtmlHelpW opened.
#define HH_DISPLAY_TOPIC 0x0000
#define HH_CLOSE_ALL 0x0012

// Opens `file` ("path\\name.chm", optionally followed by "::/topic.htm" and ">window") with the
// command HH_DISPLAY_TOPIC and shows the topic, or the file's default topic, in a help viewer window
// owned by `owner`. A file already shown by a viewer of the same owner is shown in that viewer again.
// Returns the viewer window, or null when the file cannot be opened, the command is not supported or
// no application object exists. `data` is unused by HH_DISPLAY_TOPIC and must be 0. HH_CLOSE_ALL (with
// a null file) closes the viewers and returns null.
//
// The viewer offers the file's contents, keyword index and a full-text search beside the page, with
// Back, Forward, Home, find in page and zoom. Links to other help files ("ms-its:file.chm::/page.htm")
// open those files; outside addresses open in the user's web browser.
//
// The viewer, with the web engine and chmlib, is a back-end loaded by the first call that opens a
// file (tsw/backend.h), as Windows loads its help control on first use; when it cannot be loaded
// the call returns null.
TSHTMLHELP_API HWND HtmlHelpW(HWND owner, LPCWSTR file, UINT command, DWORD_PTR data);
