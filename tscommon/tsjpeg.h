// Pictures of a language module.
#pragma once
#include "tscommon_export.h"
#include "tswin.h"

// Decodes the resource `id` of type "JPEG" of `module` into a new bitmap, at the picture's own size
// when cx and cy are 0, else stretched to cx x cy (a 0 keeps that side). Returns null for a missing
// resource or data that does not decode. The caller deletes the bitmap with DeleteObject.
TSCOMMON_API HBITMAP LoadJpegImage(HINSTANCE module, UINT id, int cx, int cy);
