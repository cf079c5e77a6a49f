#include "indexpane.h"

#include "indexmodel.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tshelp {

namespace {

constexpr int kLocalRole = Qt::UserRole;

} // namespace

IndexPane::IndexPane(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Type in the keyword to find:"), this));
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("HelpIndexFilter"));
    m_filter->setClearButtonEnabled(true);
    layout->addWidget(m_filter);
    m_view = new QListView(this);
    m_view->setObjectName(QStringLiteral("HelpIndexList"));
    // One size for all rows: a new range of 100 000 rows is laid out without measuring each.
    m_view->setUniformItemSizes(true);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(m_view);
    m_display = new QPushButton(tr("&Display"), this);
    m_display->setObjectName(QStringLiteral("HelpIndexDisplay"));
    layout->addWidget(m_display, 0, Qt::AlignRight);
    setEntries({});
    m_loaded = false;

    connect(m_filter, &QLineEdit::textChanged, this, &IndexPane::narrow);
    connect(m_filter, &QLineEdit::returnPressed, this,
            [this] { openRow(m_view->currentIndex()); });
    connect(m_view, &QListView::activated, this, &IndexPane::openRow);
    connect(m_display, &QPushButton::clicked, this, [this] { openRow(m_view->currentIndex()); });
}

IndexPane::~IndexPane() = default;

void IndexPane::setEntries(QVector<SitemapEntry> entries)
{
    IndexModel *old = m_model;
    m_model = new IndexModel(std::move(entries), this);
    m_view->setModel(m_model);
    delete old;
    m_loaded = true;
    narrow(m_filter->text());
}

// The first keyword that starts with the text becomes current, at the top, so that Enter opens it.
void IndexPane::narrow(const QString &text)
{
    m_model->setFilter(text);
    const QModelIndex first = m_model->index(0);
    m_view->setCurrentIndex(first);
    if (first.isValid())
        m_view->scrollTo(first, QAbstractItemView::PositionAtTop);
}

void IndexPane::openRow(const QModelIndex &index)
{
    const SitemapEntry *entry = index.isValid() ? m_model->entry(index.row()) : nullptr;
    if (!entry)
        return;
    if (entry->targets.isEmpty()) {
        // "See Also": the keyword it names.
        if (!entry->seeAlso.isEmpty())
            m_filter->setText(entry->seeAlso);
        return;
    }
    if (entry->targets.size() == 1) {
        emit topicActivated(entry->targets.first().local);
        return;
    }
    chooseTopic(entry->name, entry->targets);
}

// Several pages for one keyword: the user picks one, as in "Topics Found".
void IndexPane::chooseTopic(const QString &keyword, const QVector<SitemapTarget> &targets)
{
    auto *dialog = new QDialog(this);
    dialog->setObjectName(QStringLiteral("HelpTopicsFound"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(tr("Topics Found"));
    auto *layout = new QVBoxLayout(dialog);
    layout->addWidget(new QLabel(tr("Click a topic, then click Display. (%1)").arg(keyword), dialog));
    auto *list = new QListWidget(dialog);
    list->setObjectName(QStringLiteral("HelpTopicsList"));
    for (const SitemapTarget &target : targets) {
        auto *item = new QListWidgetItem(target.title.isEmpty() ? target.local : target.title, list);
        item->setData(kLocalRole, target.local);
    }
    list->setCurrentRow(0);
    layout->addWidget(list);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, dialog);
    QPushButton *display = buttons->addButton(tr("&Display"), QDialogButtonBox::AcceptRole);
    display->setObjectName(QStringLiteral("HelpTopicsDisplay"));
    display->setDefault(true);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    connect(list, &QListWidget::itemActivated, dialog, &QDialog::accept);
    connect(dialog, &QDialog::accepted, this, [this, list] {
        if (QListWidgetItem *item = list->currentItem())
            emit topicActivated(item->data(kLocalRole).toString());
    });
    dialog->open();
}

} // namespace tshelp
