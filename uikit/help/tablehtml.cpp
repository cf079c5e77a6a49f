#include "help/tablehtml.h"

#include <QColor>
#include <QVariant>
#include <QTableWidget>
#include <QVector>

namespace {

QString HexByte(int value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0'));
}

} // namespace

WString TableToHtmlTable(QTableWidget *table, bool includeHidden)
{
    QString html = QStringLiteral("<table border = 1><tr>");
    if (!table)
        return WStringFromQString(html + QStringLiteral("</tr></table>"));
    const int columns = table->columnCount();
    QVector<bool> written(columns);
    for (int column = 0; column < columns; ++column) {
        written[column] = includeHidden || !table->isColumnHidden(column);
        if (!written[column])
            continue;
        const QTableWidgetItem *header = table->horizontalHeaderItem(column);
        html += QStringLiteral("<td>") + (header ? header->text() : QString()) + QStringLiteral("</td>");
    }
    html += QStringLiteral("</tr>");
    const bool alternate = table->alternatingRowColors();
    for (int row = 0; row < table->rowCount(); ++row) {
        html += (alternate && row % 2 == 1) ? QStringLiteral("<tr bgcolor='#FFFFEF'>")
                                            : QStringLiteral("<tr bgcolor='#FFFFFF'>");
        for (int column = 0; column < columns; ++column) {
            if (!written[column])
                continue;
            const QTableWidgetItem *item = table->item(row, column);
            if (!item) {
                html += QStringLiteral("<td></td>");
                continue;
            }
            html += QStringLiteral("<td ");
            // A brush or a colour in the role; nothing set reads as an invalid colour.
            const QColor background = item->data(Qt::BackgroundRole).value<QColor>();
            if (background.isValid())
                html += QStringLiteral("bgcolor='#") + HexByte(background.red()) + HexByte(background.green())
                        + HexByte(background.blue()) + QLatin1Char('\'');
            html += QLatin1Char('>') + item->text() + QStringLiteral("</td>");
        }
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    return WStringFromQString(html);
}
