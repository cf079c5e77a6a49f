// A table widget's contents as HTML: hidden columns, row and cell colours, texts as they are.
#include "help/tablehtml.h"

#include <QTableWidget>

#include <gtest/gtest.h>

#include <functional>

namespace {

QTableWidgetItem *Item(const char *text) { return new QTableWidgetItem(QString::fromUtf8(text)); }

// Two columns "Volume" and "Size", two rows.
void TwoByTwo(QTableWidget &table)
{
    table.setColumnCount(2);
    table.setRowCount(2);
    table.setHorizontalHeaderLabels({QStringLiteral("Volume"), QStringLiteral("Size")});
    table.setItem(0, 0, Item("C:"));
    table.setItem(0, 1, Item("256 GB"));
    table.setItem(1, 0, Item("D:"));
    table.setItem(1, 1, Item("2 TB"));
}

struct Row {
    const char *name;
    std::function<void(QTableWidget &)> setUp;
    bool includeHidden;
    const char16_t *expected;
};

TEST(TableToHtmlTable, ExactText)
{
    const Row rows[] = {
        {"empty table", [](QTableWidget &) {}, false, u"<table border = 1><tr></tr></table>"},
        {"plain two by two", TwoByTwo, false,
         u"<table border = 1><tr><td>Volume</td><td>Size</td></tr>"
         u"<tr bgcolor='#FFFFFF'><td >C:</td><td >256 GB</td></tr>"
         u"<tr bgcolor='#FFFFFF'><td >D:</td><td >2 TB</td></tr></table>"},
        {"second column hidden, left out",
         [](QTableWidget &t) { TwoByTwo(t); t.setColumnHidden(1, true); }, false,
         u"<table border = 1><tr><td>Volume</td></tr>"
         u"<tr bgcolor='#FFFFFF'><td >C:</td></tr><tr bgcolor='#FFFFFF'><td >D:</td></tr></table>"},
        {"second column hidden, included",
         [](QTableWidget &t) { TwoByTwo(t); t.setColumnHidden(1, true); }, true,
         u"<table border = 1><tr><td>Volume</td><td>Size</td></tr>"
         u"<tr bgcolor='#FFFFFF'><td >C:</td><td >256 GB</td></tr>"
         u"<tr bgcolor='#FFFFFF'><td >D:</td><td >2 TB</td></tr></table>"},
        {"first column hidden",
         [](QTableWidget &t) { TwoByTwo(t); t.setColumnHidden(0, true); }, false,
         u"<table border = 1><tr><td>Size</td></tr>"
         u"<tr bgcolor='#FFFFFF'><td >256 GB</td></tr><tr bgcolor='#FFFFFF'><td >2 TB</td></tr></table>"},
        {"alternating rows: odd rows tinted",
         [](QTableWidget &t) {
             t.setColumnCount(1);
             t.setRowCount(4);
             t.setAlternatingRowColors(true);
             for (int r = 0; r < 4; ++r)
                 t.setItem(r, 0, new QTableWidgetItem(QString::number(r)));
         },
         false,
         u"<table border = 1><tr><td></td></tr>"
         u"<tr bgcolor='#FFFFFF'><td >0</td></tr><tr bgcolor='#FFFFEF'><td >1</td></tr>"
         u"<tr bgcolor='#FFFFFF'><td >2</td></tr><tr bgcolor='#FFFFEF'><td >3</td></tr></table>"},
        {"cell colours: lower case, no alpha, zero-padded",
         [](QTableWidget &t) {
             t.setColumnCount(3);
             t.setRowCount(1);
             t.setItem(0, 0, Item("red"));
             t.item(0, 0)->setBackground(QColor(255, 0, 0));
             t.setItem(0, 1, Item("dim"));
             t.item(0, 1)->setBackground(QColor(0x0A, 0xBC, 0x05, 0x40));
             t.setItem(0, 2, Item("colour"));
             t.item(0, 2)->setData(Qt::BackgroundRole, QColor(Qt::white)); // a colour, not a brush
         },
         false,
         u"<table border = 1><tr><td></td><td></td><td></td></tr>"
         u"<tr bgcolor='#FFFFFF'><td bgcolor='#ff0000'>red</td><td bgcolor='#0abc05'>dim</td>"
         u"<td bgcolor='#ffffff'>colour</td></tr></table>"},
        {"markup and special characters copied unchanged",
         [](QTableWidget &t) {
             t.setColumnCount(2);
             t.setRowCount(1);
             t.setHorizontalHeaderItem(0, Item("<b>Name</b>"));
             t.setItem(0, 0, Item("a < b & c"));
             t.setItem(0, 1, Item("<a href='x.htm'>\u00e9t\u00e9</a>"));
         },
         false,
         u"<table border = 1><tr><td><b>Name</b></td><td></td></tr>"
         u"<tr bgcolor='#FFFFFF'><td >a < b & c</td><td ><a href='x.htm'>\u00e9t\u00e9</a></td></tr></table>"},
        {"cells without item, with an empty item, header item missing",
         [](QTableWidget &t) {
             t.setColumnCount(3);
             t.setRowCount(1);
             t.setHorizontalHeaderItem(1, Item("B"));
             t.setItem(0, 1, Item(""));
         },
         false,
         u"<table border = 1><tr><td></td><td>B</td><td></td></tr>"
         u"<tr bgcolor='#FFFFFF'><td></td><td ></td><td></td></tr></table>"},
        {"columns but no rows",
         [](QTableWidget &t) { t.setColumnCount(2); t.setHorizontalHeaderLabels({QStringLiteral("A"), QStringLiteral("B")}); },
         false, u"<table border = 1><tr><td>A</td><td>B</td></tr></table>"},
        {"rows but no columns",
         [](QTableWidget &t) { t.setRowCount(2); t.setAlternatingRowColors(true); }, false,
         u"<table border = 1><tr></tr><tr bgcolor='#FFFFFF'></tr><tr bgcolor='#FFFFEF'></tr></table>"},
    };
    for (const Row &row : rows) {
        QTableWidget table;
        row.setUp(table);
        EXPECT_EQ(TableToHtmlTable(&table, row.includeHidden), row.expected) << row.name;
    }
}

TEST(TableToHtmlTable, NullTableGivesAnEmptyTable)
{
    EXPECT_EQ(TableToHtmlTable(nullptr, true), u"<table border = 1><tr></tr></table>");
}

} // namespace
