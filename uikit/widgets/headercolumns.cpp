#include "widgets/headercolumns.h"

#include <QHash>
#include <QHeaderView>
#include <QTableWidget>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>

#include "widgets/textsize.h"
#include "widgets/tswebexception.h"

namespace {

// Room around a text in a column: the sort indicator and the cell's margins.
constexpr int kTextPadding = 30;

bool IsBlank(WCHAR c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

// _wtoi's reading of a token (blanks, a sign, the leading digits), held within [0, maximum]: a
// stored text may come back damaged, and Qt ignores a width outside that range altogether.
int ReadWidth(const WCHAR *token, int maximum)
{
    while (IsBlank(*token))
        ++token;
    bool negative = false;
    if (*token == u'+' || *token == u'-')
        negative = *token++ == u'-';
    long long value = 0;
    for (; *token >= u'0' && *token <= u'9'; ++token) {
        value = value * 10 + (*token - u'0');
        if (value > maximum)
            return negative ? 0 : maximum;
    }
    return negative ? 0 : int(value);
}

} // namespace

WString GetHeaderColumnsSize(QHeaderView *header)
{
    WString text;
    if (!header)
        return text;
    for (int i = 0; i < header->count(); ++i) {
        char number[16];
        const int length = std::snprintf(number, sizeof number, "%d;", header->sectionSize(i));
        text.append(number, number + length);
    }
    return text;
}

void SetHeaderColumnsSize(WString text, QHeaderView *header)
{
    if (!header)
        return;
    // The tokens are cut out of a working copy, as wcstok does.
    std::unique_ptr<WCHAR[]> copy(new (std::nothrow) WCHAR[text.size() + 1]);
    if (!copy)
        throw tsweb::CException<void *>(E_OUTOFMEMORY);
    std::copy(text.begin(), text.end(), copy.get());
    copy[text.size()] = 0;

    const int maximum = header->maximumSectionSize();
    int section = 0;
    WCHAR *cursor = copy.get();
    while (section < header->count()) {
        while (*cursor == u';')
            ++cursor;
        if (*cursor == 0)
            break;
        WCHAR *token = cursor;
        while (*cursor != 0 && *cursor != u';')
            ++cursor;
        if (*cursor == u';')
            *cursor++ = 0;
        header->resizeSection(section++, ReadWidth(token, maximum));
    }
}

void SetHeaderColumnDefaultSize(QTreeWidget *tree)
{
    if (!tree)
        return;
    QHeaderView *header = tree->header();
    const int count = header->count();
    const QTreeWidgetItem *labels = tree->headerItem();
    long long total = 0;
    for (int i = 0; i < count; ++i) {
        const QSize text = GetTextSize(labels ? labels->text(i) : QString(), header->font(), tree->rect());
        int width = header->sectionSize(i);
        if (width < text.width() + kTextPadding) {
            width = text.width() + kTextPadding;
            header->resizeSection(i, width);
        }
        total += width;
    }
    const int available = tree->rect().width();
    if (count == 0 || total >= available)
        return;
    const int extra = int((available - total - 1) / count);
    for (int i = 0; i < count; ++i)
        header->resizeSection(i, header->sectionSize(i) + extra);
}

void SetHeaderColumnDefaultSize(QTableWidget *table)
{
    if (!table)
        return;
    QHeaderView *header = table->horizontalHeader();
    const QFont font = header->font();
    const QRect bounds = table->rect();
    // A long list repeats its texts (sizes, dates, states): each distinct one is measured once.
    QHash<QString, int> measured;
    const int rows = table->rowCount();
    const int columns = table->columnCount();
    for (int row = 0; row < rows; ++row) {
        for (int column = 1; column < columns; ++column) {
            int width = header->sectionSize(column);
            if (const QTableWidgetItem *item = table->item(row, column)) {
                const QString text = item->text();
                auto known = measured.constFind(text);
                if (known == measured.constEnd())
                    known = measured.insert(text, GetTextSize(text, font, bounds).width());
                width = std::max(width, known.value() + kTextPadding);
            }
            // Cell by cell as before: a hidden section reads as 0 wide and keeps the last width set.
            header->resizeSection(column, width);
        }
    }
}
