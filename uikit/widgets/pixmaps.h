// Pixmaps from the language module's bitmaps, and single icons cut from icon strips.
#pragma once

#include "foundation/tsuikitglobal.h"

#include <QPixmap>
#include <QSize>

/**
 * The picture bitmap @p pictureId of the language module with the bitmap @p maskId as its alpha
 * channel (the mask's grey level: white opaque, black transparent). Both are loaded with
 * LR_LOADMAP3DCOLORS, so the greys 128, 192 and 223 take the system's 3D colours. Only the low 16
 * bits of the identifiers count.
 *
 * @return the pixmap; a null pixmap when the picture is missing, the picture without alpha when the
 *         mask is missing or of another size
 */
TSUIKIT_EXPORT QPixmap LoadPixmap(unsigned int pictureId, unsigned int maskId);

/**
 * A copy of cell @p index of the icon strip @p strip, whose cells of @p size stand side by side in
 * one row (cell n starts at x = n * width). A cell partly outside the strip gives the part inside
 * it; a cell wholly outside (a negative index, an index past the end), an empty @p size, or a cell
 * whose position lies beyond what a coordinate can hold, gives a null pixmap.
 */
TSUIKIT_EXPORT QPixmap GetIndexOfPixmap(const QPixmap &strip, int index, const QSize &size);

/**
 * Cell @p index, @p width x @p height, of the icon strip held by @p bitmap, without alpha.
 * The bitmap stays the caller's; a null or unknown handle gives a null pixmap.
 */
TSUIKIT_EXPORT QPixmap LoadIconFromHBitmap(HBITMAP bitmap, const int &index, int width, int height);
