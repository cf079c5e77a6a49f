// Column widths as text and back, the token rules, the exception's message, and default widths.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QTreeWidget>
#include <climits>

#include "widgets/headercolumns.h"
#include "widgets/textsize.h"
#include "widgets/tswebexception.h"

namespace {

WString W(const char *text)
{
    return WString(text, text + std::char_traits<char>::length(text));
}

// A horizontal header over a model of `columns` columns, each first `width` pixels wide.
struct Header {
    explicit Header(int columns, int width = 100)
        : model(1, columns)
        , view(Qt::Horizontal)
    {
        view.setModel(&model);
        view.setMinimumSectionSize(0);
        for (int i = 0; i < columns; ++i)
            view.resizeSection(i, width);
    }
    QList<int> Widths() const
    {
        QList<int> widths;
        for (int i = 0; i < view.count(); ++i)
            widths << view.sectionSize(i);
        return widths;
    }
    QStandardItemModel model;
    QHeaderView view;
};

TEST(HeaderColumns, RoundTrip)
{
    Header saved(3);
    saved.view.resizeSection(0, 120);
    saved.view.resizeSection(1, 80);
    saved.view.resizeSection(2, 200);
    const WString text = GetHeaderColumnsSize(&saved.view);
    EXPECT_EQ(text, W("120;80;200;"));
    Header fresh(3);
    SetHeaderColumnsSize(text, &fresh.view);
    EXPECT_EQ(fresh.Widths(), saved.Widths());

    saved.view.hideSection(1);
    EXPECT_EQ(GetHeaderColumnsSize(&saved.view), W("120;0;200;"));
    EXPECT_TRUE(GetHeaderColumnsSize(nullptr).empty());
    SetHeaderColumnsSize(W("1;2;"), nullptr); // nothing to do, nothing to fail
}

TEST(HeaderColumns, TokenRules)
{
    const int max = Header(1).view.maximumSectionSize();
    const struct {
        const char *text;
        QList<int> widths; // of a header of three 100-pixel sections
    } rows[] = {
        {"", {100, 100, 100}},
        {";;50;;60", {50, 60, 100}},
        {"10;20;30;40;50;", {10, 20, 30}},
        {"abc;12px; 7;+8;", {0, 12, 7}},
        {"-5;-2147483649;5", {0, 0, 5}},
        {"99999999999999999999;2147483648;2147483647", {max, max, max}},
        {"\t\n42", {42, 100, 100}},
    };
    for (const auto &row : rows) {
        Header header(3);
        SetHeaderColumnsSize(W(row.text), &header.view);
        EXPECT_EQ(header.Widths(), row.widths) << "text \"" << row.text << "\"";
    }
}

TEST(TsWebException, MessageFromTheSystemTableOrUnknown)
{
    EXPECT_STREQ(tsweb::CException<void *>(E_OUTOFMEMORY).what(),
                 "Not enough memory is available to complete this operation.\r\n");
    EXPECT_STREQ(tsweb::CException<void *>(0x12345678).what(), "Unknown error: 22136");
    try {
        throw tsweb::CException<void *>(5);
    } catch (const std::exception &e) {
        EXPECT_STREQ(e.what(), "Access is denied.\r\n");
    }
}

TEST(HeaderColumns, TreeDefaultSizeSpreadsSpareRoom)
{
    QTreeWidget tree;
    tree.setColumnCount(3);
    tree.setHeaderLabels({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    tree.resize(500, 300);
    tree.header()->setStretchLastSection(false);
    for (int i = 0; i < 3; ++i)
        tree.header()->resizeSection(i, 100);
    SetHeaderColumnDefaultSize(&tree);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(tree.header()->sectionSize(i), 100 + (500 - 300 - 1) / 3) << "section " << i;

    // Full already: a long title only widens its own column, nothing is spread.
    tree.resize(200, 300);
    const QString title = QStringLiteral("A rather long column title");
    tree.headerItem()->setText(1, title);
    const int wanted = GetTextSize(title, tree.header()->font(), tree.rect()).width() + 30;
    SetHeaderColumnDefaultSize(&tree);
    EXPECT_EQ(tree.header()->sectionSize(0), 166);
    EXPECT_EQ(tree.header()->sectionSize(1), std::max(166, wanted));
}

TEST(HeaderColumns, TableDefaultSizeLeavesColumnZero)
{
    QTableWidget table(2, 3);
    table.resize(400, 200);
    table.horizontalHeader()->setMinimumSectionSize(0);
    for (int c = 0; c < 3; ++c)
        table.horizontalHeader()->resizeSection(c, 20);
    const QString wide = QStringLiteral("a fairly wide cell text");
    table.setItem(0, 0, new QTableWidgetItem(wide));
    table.setItem(1, 2, new QTableWidgetItem(wide));
    SetHeaderColumnDefaultSize(&table);
    const int wanted = GetTextSize(wide, table.horizontalHeader()->font(), table.rect()).width() + 30;
    EXPECT_EQ(table.horizontalHeader()->sectionSize(0), 20);
    EXPECT_EQ(table.horizontalHeader()->sectionSize(1), 20);
    EXPECT_EQ(table.horizontalHeader()->sectionSize(2), wanted);
}

// Repeated texts are measured once, and every column still ends as the cell-by-cell walk leaves it:
// the widest text plus 30, never narrower than before; a hidden column reads as 0 wide at each
// cell, so the width kept for it is the last row's.
TEST(HeaderColumns, TableDefaultSizeCellByCellWithRepeatedTexts)
{
    QTableWidget table(6, 4);
    table.resize(400, 200);
    QHeaderView *header = table.horizontalHeader();
    header->setMinimumSectionSize(0);
    const QString shortText = QStringLiteral("ab");
    const QString longText = QStringLiteral("a much longer text than the other");
    for (int r = 0; r < 6; ++r) {
        table.setItem(r, 1, new QTableWidgetItem(r == 3 ? longText : shortText));
        table.setItem(r, 2, new QTableWidgetItem(shortText));
        if (r < 5)
            table.setItem(r, 3, new QTableWidgetItem(r == 4 ? shortText : longText));
    }
    header->resizeSection(1, 20);
    header->resizeSection(2, 500); // wider than its texts: stays
    header->resizeSection(3, 20);
    header->hideSection(3);
    SetHeaderColumnDefaultSize(&table);
    const auto width = [&](const QString &text) {
        return GetTextSize(text, header->font(), table.rect()).width() + 30;
    };
    EXPECT_EQ(header->sectionSize(1), width(longText));
    EXPECT_EQ(header->sectionSize(2), 500);
    // The last row has no item in column 3, so the hidden column keeps 0 once shown.
    header->showSection(3);
    EXPECT_EQ(header->sectionSize(3), 0);
}

TEST(TextSize, WidestAndTallestOverTexts)
{
    const QFont font;
    const QRect bound(0, 0, 100, 400);
    EXPECT_EQ(GetMinTextSize({}, font, bound), QSize(0, 0));
    const QString sentence = QStringLiteral("a long sentence that has to wrap over several lines");
    const QSize wrapped = GetTextSize(sentence, font, bound);
    EXPECT_LE(wrapped.width(), 100);
    EXPECT_GT(wrapped.height(), GetTextSize(QStringLiteral("a"), font, bound).height());
    EXPECT_EQ(GetMinTextSize({QStringLiteral("a"), sentence}, font, bound), wrapped);
}

} // namespace

namespace {

// The fuzzer's seeds, replayed with its invariants: widths within what a section takes, and a
// written text reading back to the same widths.
TEST(HeaderColumns, FuzzSeedsKeepTheInvariants)
{
    const QDir dir(QStringLiteral(TS_FUZZ_SEED_DIR));
    const QStringList seeds = dir.entryList(QDir::Files);
    ASSERT_FALSE(seeds.isEmpty());
    for (const QString &name : seeds) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        WString text;
        for (int i = 0; i + 1 < bytes.size(); i += 2)
            text.push_back(char16_t(uchar(bytes[i]) | (uchar(bytes[i + 1]) << 8)));
        Header header(4, 77);
        SetHeaderColumnsSize(text, &header.view);
        for (int width : header.Widths())
            EXPECT_TRUE(width >= 0 && width <= header.view.maximumSectionSize()) << name.toStdString();
        const WString saved = GetHeaderColumnsSize(&header.view);
        Header again(4, 5);
        SetHeaderColumnsSize(saved, &again.view);
        EXPECT_EQ(again.Widths(), header.Widths()) << name.toStdString();
    }
}

} // namespace
