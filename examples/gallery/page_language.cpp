// "Language modules": the texts of each language module side by side, read by identifier.
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gallerypage.h"
#include "tslang.h"
#include "tswin.h"

namespace {

struct Row {
    UINT id;
    const char *what;
};

QString text(HINSTANCE module, UINT id)
{
    WCHAR buffer[512];
    const int length = LoadStringW(module, id, buffer, 512);
    return QString::fromUtf16(buffer, length);
}

QWidget *makeLanguagePage()
{
    std::vector<Row> rows;
    static const char *const monthWhat = "Month %1";
    for (UINT i = 0; i < 12; ++i)
        rows.push_back({723 + i, nullptr});
    for (UINT i = 0; i < 7; ++i)
        rows.push_back({9033 + i, nullptr});
    const Row buttons[] = {{61407, "Cancel"}, {328, "Back"}, {327, "Next"}, {170, "Finish"},
                           {61406, "OK"}, {713, "Check box"}, {61409, "Directory node"}};
    rows.insert(rows.end(), std::begin(buttons), std::end(buttons));

    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *caption = new QLabel(QStringLiteral(
        "<b>Language modules</b>: month names, weekday names and button labels, read by "
        "identifier from each module (the library itself uses the module of the user's language, "
        "0x%1 here).")
                                   .arg(GetUserDefaultLangID(), 4, 16, QLatin1Char('0')));
    caption->setWordWrap(true);
    layout->addWidget(caption);

    auto *table = new QTableWidget(int(rows.size()), int(std::size(gallery::kLanguages)) + 1);
    QStringList headers{QStringLiteral("Id")};
    for (const gallery::Language &language : gallery::kLanguages)
        headers << QString::fromUtf8(language.name);
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    for (int r = 0; r < int(rows.size()); ++r) {
        QString what = rows[r].what ? QString::fromLatin1(rows[r].what)
                       : rows[r].id < 9033 ? QString::fromLatin1(monthWhat).arg(rows[r].id - 722)
                                           : QStringLiteral("Day %1").arg(rows[r].id - 9032);
        table->setItem(r, 0, new QTableWidgetItem(QStringLiteral("%1 %2").arg(rows[r].id).arg(what)));
    }
    for (int c = 0; c < int(std::size(gallery::kLanguages)); ++c) {
        HINSTANCE module = LoadTsLang(gallery::kLanguages[c].id, 0);
        for (int r = 0; r < int(rows.size()); ++r)
            table->setItem(r, c + 1, new QTableWidgetItem(text(module, rows[r].id)));
    }
    table->resizeColumnsToContents();
    for (int c = 1; c < table->columnCount(); ++c)
        table->setColumnWidth(c, qMin(table->columnWidth(c), 210));
    table->horizontalHeader()->setStretchLastSection(true);
    table->setFocusPolicy(Qt::NoFocus);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(table);
    page->resize(1000, 960);
    return page;
}

} // namespace

TS_GALLERY_PAGE(10, "Language modules", makeLanguagePage)
