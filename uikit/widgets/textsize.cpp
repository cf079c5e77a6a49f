#include "widgets/textsize.h"

#include <QFontMetricsF>
#include <algorithm>

QSize GetTextSize(const QString &text, const QFont &font, const QRect &rect)
{
    const QFontMetricsF metrics(font);
    const QRectF bounds = metrics.boundingRect(QRectF(0, 0, rect.width(), rect.height()),
                                               Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    return QSize(int(bounds.width()), int(bounds.height()));
}

QSize GetMinTextSize(const QStringList &texts, const QFont &font, const QRect &rect)
{
    QSize size(0, 0);
    for (const QString &text : texts)
        size = size.expandedTo(GetTextSize(text, font, rect));
    return size;
}
