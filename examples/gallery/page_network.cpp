// "Network": browsing for a computer. The page inserts the Windows network and the directory node;
// domains, computers and directory containers fill as they are expanded. Without TS_NETWORK_FILE
// the tree shows the example network, whose domain LAB fails to list its computers.
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QVBoxLayout>

#include "gallerypage.h"
#include "network/networkview.h"

namespace {

QTreeWidgetItem *FindItem(QTreeWidget *tree, const QString &text)
{
    const QList<QTreeWidgetItem *> found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

QWidget *MakeNetworkPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *hint = new QLabel(QStringLiteral(
        "Pick computers: expand the network or the directory; a domain lists its computers on its first "
        "expansion. Selecting keeps items of one kind and never an item together with its parent."));
    hint->setObjectName(QStringLiteral("networkHint"));
    hint->setWordWrap(true);
    layout->addWidget(hint);

    auto *view = new CNetworkView;
    view->setObjectName(QStringLiteral("networkView"));
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    layout->addWidget(view, 1);

    QTreeWidgetItem *network = view->InsertItem(u"Windows Network", CNetworkView::MicrosoftNetwork, nullptr, -1);
    view->MarkFolderAsExpandedOnce(network, 0);
    view->PopulateActiveDirectory(nullptr);

    // Opened as a user would: the network, a domain, the directory down to its containers.
    network->setExpanded(true);
    if (QTreeWidgetItem *corp = FindItem(view, QStringLiteral("CORP")))
        corp->setExpanded(true);
    if (view->topLevelItemCount() > 1) {
        QTreeWidgetItem *directory = view->topLevelItem(1);
        directory->setExpanded(true);
        for (const char *name : {"corp.tessaro.example", "Workstations", "Accounts"})
            if (QTreeWidgetItem *item = FindItem(view, QString::fromLatin1(name)))
                item->setExpanded(true);
    }
    if (QTreeWidgetItem *server = FindItem(view, QStringLiteral("FILESRV02")))
        view->setCurrentItem(server);
    page->resize(640, 620);
    return page;
}

// The error box of a domain whose computers cannot be listed, taken while it is open.
void ShootErrorBox(QWidget *page, const gallery::Shoot &shoot)
{
    auto *view = page->findChild<CNetworkView *>(QStringLiteral("networkView"));
    QTreeWidgetItem *lab = view ? FindItem(view, QStringLiteral("LAB")) : nullptr;
    if (!lab)
        return;
    QTimer::singleShot(0, page, [shoot] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shoot(QStringLiteral("error-box"), box);
            box->accept();
        }
    });
    lab->setExpanded(true);
}

} // namespace

TS_GALLERY_PAGE(55, "Network", MakeNetworkPage, ShootErrorBox)
