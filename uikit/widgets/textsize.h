// The room that texts need.
#pragma once

#include "foundation/tsuikitglobal.h"

#include <QFont>
#include <QRect>
#include <QSize>
#include <QStringList>

/**
 * The size of @p text in @p font, wrapped at word boundaries to the width of @p rect (left and top
 * aligned), each side cut toward zero to whole pixels.
 */
TSUIKIT_EXPORT QSize GetTextSize(const QString &text, const QFont &font, const QRect &rect);

/**
 * The widest width and the tallest height of GetTextSize() over @p texts, taken separately;
 * 0 x 0 for an empty list.
 */
TSUIKIT_EXPORT QSize GetMinTextSize(const QStringList &texts, const QFont &font, const QRect &rect);
