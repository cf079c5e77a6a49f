// "Lists": a sortable table and a tree whose rows sort by the values beside their texts, a refresh
// that keeps the tree's sort and selection, and column widths saved as text and restored.
#include <QDateTime>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <memory>

#include "foundation/bstrconvert.h"
#include "foundation/valueformat.h"
#include "gallerypage.h"
#include "widgets/headercolumns.h"
#include "widgets/qtablewidgetitemex.h"
#include "widgets/qtreewidgetitemex.h"
#include "widgets/treewidgetex.h"

namespace {

struct Volume {
    int id;
    const char *name;
    unsigned long long bytes;
    int fragments;
    int daysAgo;
    Qt::CheckState scheduled;
};

const Volume kVolumes[] = {
    {1, "System (C:)", 256ULL << 30, 1840, 3, Qt::Checked},
    {2, "Data (D:)", 2ULL << 40, 96, 41, Qt::Unchecked},
    {3, "Backup (E:)", 750ULL << 30, 12, 9, Qt::PartiallyChecked},
    {4, "Scratch (F:)", 64ULL << 30, 9, 120, Qt::Unchecked},
    {5, "Media (G:)", 4ULL << 40, 23107, 0, Qt::Checked},
};

QString Size(unsigned long long bytes)
{
    return BSTRToQString(ByteConvert(bytes).m_str);
}

QTableWidget *MakeTable()
{
    auto *table = new QTableWidget(int(std::size(kVolumes)), 3);
    table->setObjectName(QStringLiteral("volumeTable"));
    table->setHorizontalHeaderLabels(
        {QStringLiteral("Volume"), QStringLiteral("Size"), QStringLiteral("Fragments")});
    table->verticalHeader()->hide();
    for (int row = 0; row < int(std::size(kVolumes)); ++row) {
        const Volume &v = kVolumes[row];
        table->setItem(row, 0, new QTableWidgetItemEx(QString::fromLatin1(v.name)));
        auto *size = new QTableWidgetItemEx(Size(v.bytes));
        size->setData(Qt::UserRole, double(v.bytes));
        size->SetNum(true);
        table->setItem(row, 1, size);
        auto *fragments = new QTableWidgetItemEx(QString::number(v.fragments));
        fragments->setData(Qt::UserRole, v.fragments);
        fragments->SetNum(true);
        table->setItem(row, 2, fragments);
    }
    table->setSortingEnabled(true);
    table->sortItems(1, Qt::DescendingOrder);
    table->resizeColumnToContents(0); // the helper leaves column 0 to the caller
    SetHeaderColumnDefaultSize(table);
    return table;
}

// Fills the tree; `generation` changes the fragment counts, as a new analysis would.
void FillTree(CTreeWidgetEx *tree, int generation)
{
    const QDateTime base(QDate(2026, 12, 9), QTime(9, 0));
    for (const Volume &v : kVolumes) {
        auto *row = new QTreeWidgetItemEx;
        row->setText(0, QString::fromLatin1(v.name));
        row->setData(0, Qt::UserRole, v.id); // the row's key across refreshes
        row->setText(1, Size(v.bytes));
        row->setData(1, Qt::UserRole, double(v.bytes));
        const int fragments = v.fragments + generation * (v.id * 37 % 11);
        row->setText(2, QString::number(fragments));
        row->setData(2, Qt::UserRole, fragments);
        const QDateTime last = base.addDays(-v.daysAgo);
        row->setText(3, last.toString(QStringLiteral("d MMM yyyy")));
        row->setData(3, Qt::UserRole, last);
        row->setCheckState(4, v.scheduled);
        for (int part = 1; part <= 2; ++part) {
            auto *child = new QTreeWidgetItemEx;
            child->setText(0, QStringLiteral("Extent %1").arg(part));
            child->setData(0, Qt::UserRole, v.id * 100 + part);
            child->setText(1, Size(v.bytes / (part + 1)));
            child->setData(1, Qt::UserRole, double(v.bytes / (part + 1)));
            row->addChild(child);
        }
        tree->addTopLevelItem(row);
    }
}

QWidget *MakeListsPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);

    auto *tableBox = new QGroupBox(QStringLiteral("Sortable table (sizes and counts sort by value)"));
    auto *tableLayout = new QVBoxLayout(tableBox);
    tableLayout->addWidget(MakeTable());
    layout->addWidget(tableBox);

    auto *treeBox = new QGroupBox(QStringLiteral("Tree that keeps sort and selection across a refresh"));
    auto *treeLayout = new QVBoxLayout(treeBox);
    auto *tree = new CTreeWidgetEx;
    tree->setObjectName(QStringLiteral("volumeTree"));
    tree->setColumnCount(5);
    tree->setHeaderLabels({QStringLiteral("Volume"), QStringLiteral("Size"), QStringLiteral("Fragments"),
                           QStringLiteral("Last run"), QStringLiteral("Scheduled")});
    tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    FillTree(tree, 0);
    tree->setSortingEnabled(true);
    tree->sortItems(2, Qt::DescendingOrder);
    tree->topLevelItem(1)->setSelected(true);
    tree->topLevelItem(3)->setSelected(true);
    treeLayout->addWidget(tree);

    auto *buttons = new QHBoxLayout;
    auto *refresh = new QPushButton(QStringLiteral("Refresh"));
    refresh->setObjectName(QStringLiteral("refresh"));
    auto *save = new QPushButton(QStringLiteral("Save widths"));
    save->setObjectName(QStringLiteral("saveWidths"));
    auto *restore = new QPushButton(QStringLiteral("Restore widths"));
    restore->setObjectName(QStringLiteral("restoreWidths"));
    auto *widths = new QLineEdit;
    widths->setObjectName(QStringLiteral("widthsText"));
    widths->setPlaceholderText(QStringLiteral("column widths, e.g. 160;90;80;110;80;"));
    buttons->addWidget(refresh);
    buttons->addWidget(save);
    buttons->addWidget(widths, 1);
    buttons->addWidget(restore);
    treeLayout->addLayout(buttons);
    layout->addWidget(treeBox, 1);

    auto generation = std::make_shared<int>(0);
    QObject::connect(refresh, &QPushButton::clicked, tree, [tree, generation] {
        tree->CacheSortAndSelect(0, Qt::UserRole);
        tree->clear();
        FillTree(tree, ++*generation);
        tree->RestoreSortAndSelect();
    });
    QObject::connect(save, &QPushButton::clicked, widths, [tree, widths] {
        widths->setText(QStringFromWString(GetHeaderColumnsSize(tree->header())));
    });
    QObject::connect(restore, &QPushButton::clicked, tree, [tree, widths] {
        SetHeaderColumnsSize(WStringFromQString(widths->text()), tree->header());
    });
    // Widths to fit the texts once the layout has given the tree its size; then show the saved text.
    page->resize(760, 560);
    layout->activate();
    for (int column = 0; column < tree->columnCount(); ++column)
        tree->resizeColumnToContents(column); // the helper measures header texts only
    SetHeaderColumnDefaultSize(tree);
    widths->setText(QStringFromWString(GetHeaderColumnsSize(tree->header())));
    return page;
}

// A second picture after one Refresh: new fragment counts, the same sort and selection.
void ShootAfterRefresh(QWidget *page, const gallery::Shoot &shoot)
{
    if (auto *refresh = page->findChild<QPushButton *>(QStringLiteral("refresh")))
        refresh->click();
    shoot(QStringLiteral("after-refresh"), page);
}

} // namespace

TS_GALLERY_PAGE(50, "Lists", MakeListsPage, ShootAfterRefresh)
