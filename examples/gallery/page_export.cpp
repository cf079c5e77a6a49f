// "HTML export": a table written out as an HTML table (hidden columns on request, the table's
// alternating rows, cell colours, cell texts that carry markup of their own), rendered and as text.
// Texts are not escaped by the export: a cell that should read "<" literally must say "&lt;".
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "gallerypage.h"
#include "help/tablehtml.h"

namespace {

struct Volume {
    const char *name;
    const char *size;
    const char *fragments;
    const char *id;
    const char *colour; // background of the fragments cell, or null
};

const Volume kVolumes[] = {
    {"<b>System (C:)</b>", "256 GB", "1840", "1", "#ffb0b0"},
    {"Data (D:)", "2 TB", "96", "2", nullptr},
    {"Backup (E:)", "750 GB", "<i>none</i>", "3", "#c8f0c8"},
    {"Scratch (F:)", "64 GB", "9", "4", nullptr},
};

QTableWidget *MakeTable()
{
    auto *table = new QTableWidget(int(std::size(kVolumes)), 4);
    table->setObjectName(QStringLiteral("exportTable"));
    table->setHorizontalHeaderLabels({QStringLiteral("Volume"), QStringLiteral("Size"),
                                      QStringLiteral("Fragments"), QStringLiteral("Id (hidden)")});
    table->verticalHeader()->hide();
    table->setAlternatingRowColors(true);
    for (int row = 0; row < int(std::size(kVolumes)); ++row) {
        const Volume &v = kVolumes[row];
        table->setItem(row, 0, new QTableWidgetItem(QString::fromUtf8(v.name)));
        table->setItem(row, 1, new QTableWidgetItem(QString::fromUtf8(v.size)));
        auto *fragments = new QTableWidgetItem(QString::fromUtf8(v.fragments));
        if (v.colour)
            fragments->setBackground(QColor(QString::fromLatin1(v.colour)));
        table->setItem(row, 2, fragments);
        table->setItem(row, 3, new QTableWidgetItem(QString::fromUtf8(v.id)));
    }
    table->setColumnHidden(3, true);
    table->resizeColumnsToContents();
    return table;
}

QWidget *MakeExportPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *table = MakeTable();
    layout->addWidget(table);

    auto *row = new QHBoxLayout;
    auto *includeHidden = new QCheckBox(QStringLiteral("Include hidden columns"));
    includeHidden->setObjectName(QStringLiteral("includeHidden"));
    auto *alternating = new QCheckBox(QStringLiteral("Alternating rows"));
    alternating->setObjectName(QStringLiteral("alternating"));
    alternating->setChecked(true);
    auto *exportButton = new QPushButton(QStringLiteral("Export"));
    exportButton->setObjectName(QStringLiteral("export"));
    row->addWidget(includeHidden);
    row->addWidget(alternating);
    row->addStretch(1);
    row->addWidget(exportButton);
    layout->addLayout(row);

    auto *splitter = new QSplitter(Qt::Vertical);
    auto *rendered = new QTextBrowser;
    rendered->setObjectName(QStringLiteral("exportView"));
    auto *source = new QPlainTextEdit;
    source->setObjectName(QStringLiteral("exportSource"));
    source->setReadOnly(true);
    source->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    splitter->addWidget(rendered);
    splitter->addWidget(source);
    layout->addWidget(splitter, 1);

    QObject::connect(alternating, &QCheckBox::toggled, table, &QTableWidget::setAlternatingRowColors);
    QObject::connect(exportButton, &QPushButton::clicked, page, [table, includeHidden, rendered, source] {
        const QString html = QStringFromWString(TableToHtmlTable(table, includeHidden->isChecked()));
        rendered->setHtml(html);
        source->setPlainText(html);
    });
    exportButton->click();
    page->resize(760, 620);
    return page;
}

// With the hidden column included.
void ShootWithHidden(QWidget *page, const gallery::Shoot &shoot)
{
    auto *includeHidden = page->findChild<QCheckBox *>(QStringLiteral("includeHidden"));
    auto *exportButton = page->findChild<QPushButton *>(QStringLiteral("export"));
    if (!includeHidden || !exportButton)
        return;
    includeHidden->setChecked(true);
    exportButton->click();
    shoot(QStringLiteral("hidden-included"), page);
}

} // namespace

TS_GALLERY_PAGE(82, "HTML export", MakeExportPage, ShootWithHidden)
