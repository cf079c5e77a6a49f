// The network view through the real widget, over network description files.
#include "network/networkview.h"
#include "widgets/pixmaps.h"

#include "networkbackend.h"
#include "networkfile.h"
#include "tslang.h"
#include "tswin.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include <gtest/gtest.h>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace {

QString LangText(UINT id)
{
    static const HINSTANCE module = LoadTsLang(GetUserDefaultLangID(), 0);
    WCHAR buffer[512] = {};
    const int length = LoadStringW(module, id, buffer, 512);
    return QString::fromUtf16(buffer, length);
}

// Every message box shown while it lives: its title and its text as the user reads it, and whether
// the wait cursor was already gone. Each box is closed from a timer, so nothing blocks.
class BoxCatcher
{
public:
    struct Box {
        QString title;
        QString shown;
        bool cursorRestored;
    };

    BoxCatcher()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
            QTextDocument doc;
            doc.setHtml(label ? label->text() : QString());
            boxes.push_back({box->windowTitle(), doc.toPlainText(), QApplication::overrideCursor() == nullptr});
            EXPECT_EQ(box->icon(), QMessageBox::Critical);
            EXPECT_EQ(box->buttons().size(), 1);
            box->accept();
        });
        m_timer.start(0);
    }

    std::vector<Box> boxes;

private:
    QTimer m_timer;
};

struct NetworkView : ::testing::Test {
    void Use(const QByteArray &json)
    {
        file.reset(); // first, so its variable is restored before the new file sets it
        file = std::make_unique<tstest::NetworkFile>(json);
    }

    QTreeWidgetItem *Network()
    {
        QTreeWidgetItem *root = view.InsertItem(u"Network", CNetworkView::MicrosoftNetwork, nullptr, -1);
        view.MarkFolderAsExpandedOnce(root, 0);
        return root;
    }
    QTreeWidgetItem *Domain(const char16_t *name)
    {
        QTreeWidgetItem *d = view.InsertItem(name, CNetworkView::Domain, nullptr, -1);
        view.MarkFolderAsExpandedOnce(d, 0);
        return d;
    }
    static QStringList Texts(QTreeWidgetItem *item)
    {
        QStringList texts;
        for (int i = 0; i < item->childCount(); ++i)
            texts << item->child(i)->text(0);
        return texts;
    }
    static int Kind(QTreeWidgetItem *item) { return item->data(0, Qt::UserRole).toInt(); }
    QTreeWidgetItem *Find(const QString &text)
    {
        const auto found = view.findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }

    std::unique_ptr<tstest::NetworkFile> file;
    CNetworkView view;
};

const QByteArray kDirectory = R"({"activeDirectory": true, "directory": {"trees": [
    {"name": "a.example", "children": [
        {"name": "Servers", "children": [{"name": "S1", "type": 0}, {"name": "Deep", "children": [{"name": "S2", "type": 0}]}]},
        {"name": "Users", "children": [{"name": "Anna", "type": 5}]},
        {"name": "PC-LOOSE", "type": 0},
        {"name": "child.a.example", "type": 2, "children": [{"name": "C1", "type": 0}]},
        {"name": "Group", "type": 8, "children": [{"name": "G1", "type": 0}]}]},
    {"name": "b.example", "children": [{"name": "Box", "children": [{"name": "B1", "type": 0}]}]}]}})";

TEST_F(NetworkView, BuildsAHiddenHeaderedTreeWithoutCallingTheNetwork)
{
    const unsigned long before = TsNetworkCallCount();
    CNetworkView built;
    QTreeWidgetItem *root = built.InsertItem(u"Network", CNetworkView::MicrosoftNetwork, nullptr, -1);
    built.MarkFolderAsExpandedOnce(root, 0);
    built.InsertItem(u"D", CNetworkView::Domain, root, 0);
    EXPECT_EQ(TsNetworkCallCount(), before);
    EXPECT_TRUE(built.isHeaderHidden());
    EXPECT_EQ(built.headerItem()->text(0), QStringLiteral("Computer"));
    EXPECT_EQ(built.columnCount(), 1);
    EXPECT_TRUE(built.uniformRowHeights());
    EXPECT_EQ(built.selectionBehavior(), QAbstractItemView::SelectItems);
    EXPECT_STREQ(built.metaObject()->className(), "CNetworkView");
}

TEST_F(NetworkView, InsertsItemsWithKindIconAndPlace)
{
    QTreeWidgetItem *top = view.InsertItem(u"top", CNetworkView::MicrosoftNetwork, nullptr, -1);
    QTreeWidgetItem *last = view.InsertItem(u"last", CNetworkView::Domain, top, -1);
    QTreeWidgetItem *first = view.InsertItem(u"first", CNetworkView::Computer, top, 0);
    EXPECT_EQ(view.topLevelItem(0), top);
    EXPECT_EQ(Texts(top), (QStringList{QStringLiteral("first"), QStringLiteral("last")}));
    EXPECT_EQ(last->type(), 0);
    EXPECT_EQ(first->childCount(), 0) << "no placeholder of its own";

    const QPixmap strip = LoadPixmap(10379, 10380);
    ASSERT_FALSE(strip.isNull());
    struct Row {
        int kind;
        bool hasIcon;
        const char *description; // what a screen reader hears of the kind
    };
    const Row rows[] = {{2, true, "Network"},    {3, true, "Domain"},
                        {4, true, "Computer"},   {7, true, "Directory container"},
                        {10, true, "Directory"}, {11, true, "Directory domain"},
                        {-1, false, "Directory object"}};
    EXPECT_EQ(view.accessibleName(), QStringLiteral("Network"));
    for (const Row &row : rows) {
        QTreeWidgetItem *item = view.InsertItem(u"x", row.kind, top, -1);
        EXPECT_EQ(item->data(0, Qt::UserRole), QVariant(row.kind));
        EXPECT_EQ(item->data(0, Qt::AccessibleDescriptionRole).toString(),
                  QString::fromLatin1(row.description));
        const QIcon icon = item->icon(0);
        EXPECT_EQ(icon.isNull(), !row.hasIcon) << row.kind;
        if (row.hasIcon) {
            EXPECT_EQ(icon.pixmap(16, 16).toImage(), GetIndexOfPixmap(strip, row.kind, QSize(16, 16)).toImage())
                << row.kind;
        }
    }
}

TEST_F(NetworkView, KindTestsAndPlaceholderMarks)
{
    QTreeWidgetItem *root = view.InsertItem(u"r", CNetworkView::MicrosoftNetwork, nullptr, -1);
    struct Row {
        int kind; // 0: a foreign item without a kind
        int network, domain, computer, directory, dns;
    };
    const Row rows[] = {{2, 1, 0, 0, 0, 0}, {3, 0, 1, 0, 0, 0},  {4, 0, 0, 1, 0, 0}, {10, 0, 0, 0, 1, 0},
                        {11, 0, 0, 0, 0, 1}, {7, 0, 0, 0, 0, 0}, {-1, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}};
    for (const Row &row : rows) {
        QTreeWidgetItem *item = row.kind ? view.InsertItem(u"i", row.kind, root, -1) : new QTreeWidgetItem(root);
        EXPECT_EQ(view.IsItemMicrosoftNetwork(item), row.network) << row.kind;
        EXPECT_EQ(view.IsItemDomain(item), row.domain) << row.kind;
        EXPECT_EQ(view.IsItemComputer(item), row.computer) << row.kind;
        EXPECT_EQ(view.IsItemDirectory(item), row.directory) << row.kind;
        EXPECT_EQ(view.IsItemDNSDirectory(item), row.dns) << row.kind;
    }

    // The placeholder counts only as the first child; it has no kind.
    QTreeWidgetItem *folder = view.InsertItem(u"f", CNetworkView::Domain, root, -1);
    EXPECT_TRUE(view.HasFolderBeenExpandedOnce(folder)) << "no children at all";
    view.MarkFolderAsExpandedOnce(folder, 0);
    ASSERT_EQ(folder->childCount(), 1);
    EXPECT_EQ(folder->child(0)->text(0), QStringLiteral("**********"));
    EXPECT_FALSE(folder->child(0)->data(0, Qt::UserRole).isValid());
    EXPECT_EQ(view.IsItemDomain(folder->child(0)), 0);
    EXPECT_FALSE(view.HasFolderBeenExpandedOnce(folder));
    view.MarkFolderAsExpandedOnce(folder, 7);
    EXPECT_EQ(folder->childCount(), 0);
    EXPECT_TRUE(view.HasFolderBeenExpandedOnce(folder));
    view.MarkFolderAsExpandedOnce(folder, 1);
    EXPECT_EQ(folder->childCount(), 0) << "nothing to remove";

    QTreeWidgetItem *mixed = view.InsertItem(u"m", CNetworkView::Domain, root, -1);
    view.InsertItem(u"child", CNetworkView::Computer, mixed, -1);
    view.MarkFolderAsExpandedOnce(mixed, 0);
    EXPECT_TRUE(view.HasFolderBeenExpandedOnce(mixed)) << "a placeholder after a real child";
    view.MarkFolderAsExpandedOnce(mixed, 1);
    EXPECT_EQ(mixed->childCount(), 2) << "only a first-child placeholder is removed";
}

TEST_F(NetworkView, ExpandingTheNetworkListsDomainsOnce)
{
    Use(R"({"domains": [{"name": "ONE"}, {}, {"name": "TWO"}]})");
    QTreeWidgetItem *root = Network();
    const unsigned long before = TsNetworkCallCount();
    root->setExpanded(true);
    EXPECT_EQ(TsNetworkCallCount(), before + 1);
    EXPECT_EQ(Texts(root), (QStringList{QStringLiteral("ONE"), QStringLiteral("TWO")})) << "a nameless entry is skipped";
    for (int i = 0; i < root->childCount(); ++i) {
        EXPECT_EQ(Kind(root->child(i)), CNetworkView::Domain);
        EXPECT_FALSE(view.HasFolderBeenExpandedOnce(root->child(i))) << "each domain waits for its own expansion";
    }
    root->setExpanded(false);
    root->setExpanded(true);
    emit view.itemActivated(root, 0);
    EXPECT_EQ(TsNetworkCallCount(), before + 1);
    EXPECT_EQ(root->childCount(), 2);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(NetworkView, ComputersFromVersionFiveWithoutUncPrefix)
{
    Use(R"({"domains": [{"name": "D", "computers": [
        {"name": "\\\\NT4", "version": "4.0"}, {"name": "\\\\W2K", "version": "5.0"},
        {"name": "PLAIN", "version": "10.0"}, {"version": "6.0"}, {"name": "NOVERSION"},
        {"name": "\\\\", "version": "6.1"}, {"name": "\\X", "version": "6.1"}]}]})");
    QTreeWidgetItem *d = Domain(u"D");
    d->setExpanded(true);
    EXPECT_EQ(Texts(d), (QStringList{QStringLiteral("W2K"), QStringLiteral("PLAIN"), QString(), QString()}));
    for (int i = 0; i < d->childCount(); ++i) {
        EXPECT_EQ(Kind(d->child(i)), CNetworkView::Computer);
        EXPECT_EQ(d->child(i)->childCount(), 0) << "computers are leaves";
        EXPECT_EQ(d->child(i)->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
    }
    // Expanding a computer changes nothing.
    const unsigned long before = TsNetworkCallCount();
    d->child(0)->setExpanded(true);
    emit view.itemActivated(d->child(0), 0);
    EXPECT_EQ(d->child(0)->childCount(), 0);
    EXPECT_EQ(TsNetworkCallCount(), before);
}

TEST_F(NetworkView, ActivatingFillsWithoutExpandingAndOnlyOnce)
{
    Use(R"({"domains": [{"name": "D", "computers": [{"name": "PC", "version": "6.1"}]}]})");
    view.resize(300, 200);
    view.show();
    QTreeWidgetItem *d = Domain(u"D");
    view.setCurrentItem(d);
    const unsigned long before = TsNetworkCallCount();
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(TsNetworkCallCount(), before + 1);
    EXPECT_FALSE(d->isExpanded());
    EXPECT_EQ(Texts(d), QStringList{QStringLiteral("PC")});
    d->setExpanded(true);
    EXPECT_EQ(TsNetworkCallCount(), before + 1);
    EXPECT_EQ(d->childCount(), 1);
}

TEST_F(NetworkView, AFailingDomainShowsItsErrorOnce)
{
    Use(R"({"domains": [{"name": "LAB", "failure": {"code": 6118}}]})");
    QTreeWidgetItem *lab = Domain(u"LAB");
    BoxCatcher catcher;
    lab->setExpanded(true);
    ASSERT_EQ(catcher.boxes.size(), 1u);
    EXPECT_EQ(catcher.boxes[0].title, LangText(129));
    EXPECT_EQ(catcher.boxes[0].shown, LangText(32005));
    EXPECT_TRUE(catcher.boxes[0].cursorRestored);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(lab->childCount(), 0);
    const unsigned long before = TsNetworkCallCount();
    lab->setExpanded(false);
    lab->setExpanded(true);
    emit view.itemActivated(lab, 0);
    EXPECT_EQ(catcher.boxes.size(), 1u);
    EXPECT_EQ(TsNetworkCallCount(), before);
}

TEST_F(NetworkView, ErrorTextsByCode)
{
    const QString systemText53 = QStringLiteral("The network path was not found.");
    struct Row {
        QByteArray failure;
        QString shown; // empty: no box
    };
    const Row rows[] = {
        {R"({"code": 5})", LangText(32003)},
        {R"({"code": 2351})", LangText(32004)},
        {R"({"code": 6118})", LangText(32005)},
        {R"({"code": 1355})", LangText(32006)},
        {R"({"code": 8})", LangText(32007)},
        {R"({"code": 53})", systemText53},
        {R"({"code": 1208, "description": "Provider says <b>no</b> & goes", "provider": "P"})",
         QStringLiteral("Provider says <b>no</b> & goes")},
        {R"({"code": 1208, "provider": "P"})", QString()},
        {R"({"code": 12345})", QString()},
    };
    for (const Row &row : rows) {
        Use(R"({"domains": [{"name": "D", "failure": )" + row.failure + "}]}");
        QTreeWidgetItem *d = Domain(u"D");
        BoxCatcher catcher;
        d->setExpanded(true);
        ASSERT_EQ(catcher.boxes.size(), row.shown.isEmpty() ? 0u : 1u) << row.failure.constData();
        if (!row.shown.isEmpty()) {
            EXPECT_EQ(catcher.boxes[0].shown, row.shown) << "shown as written";
        }
    }
    // A description that cannot be read fails the enumeration with its own code.
    Use("{ not json");
    QTreeWidgetItem *root = Network();
    BoxCatcher catcher;
    root->setExpanded(true);
    ASSERT_EQ(catcher.boxes.size(), 1u);
    EXPECT_EQ(catcher.boxes[0].shown, QStringLiteral("The data is invalid."));
    EXPECT_EQ(root->childCount(), 0);
}

TEST_F(NetworkView, DirectoryNodeOnlyInADirectoryDomain)
{
    Use(R"({"activeDirectory": false})");
    view.PopulateActiveDirectory(nullptr);
    EXPECT_EQ(view.topLevelItemCount(), 0);
    Use(kDirectory);
    const unsigned long before = TsNetworkCallCount();
    view.PopulateActiveDirectory(nullptr);
    EXPECT_EQ(TsNetworkCallCount(), before + 1) << "only the directory check";
    ASSERT_EQ(view.topLevelItemCount(), 1);
    QTreeWidgetItem *dir = view.topLevelItem(0);
    EXPECT_EQ(dir->text(0), LangText(61409));
    EXPECT_EQ(view.IsItemDirectory(dir), 1);
    EXPECT_FALSE(view.HasFolderBeenExpandedOnce(dir));
}

TEST_F(NetworkView, DirectoryListsTreesAndContainersWithComputers)
{
    Use(kDirectory);
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    view.PopulateActiveDirectory(nullptr);
    QTreeWidgetItem *dir = view.topLevelItem(0);
    dir->setExpanded(true);
    EXPECT_EQ(Texts(dir), (QStringList{QStringLiteral("a.example"), QStringLiteral("b.example")}));
    QTreeWidgetItem *a = dir->child(0);
    EXPECT_EQ(view.IsItemDNSDirectory(a), 1);
    a->setExpanded(true);
    // Users holds no computer and is left out; a computer is always shown.
    EXPECT_EQ(Texts(a), (QStringList{QStringLiteral("Servers"), QStringLiteral("PC-LOOSE"),
                                     QStringLiteral("child.a.example"), QStringLiteral("Group")}));
    struct Row {
        const char *text;
        int kind;
        bool placeholder;
    };
    const Row rows[] = {{"Servers", CNetworkView::DirectoryContainer, true},
                        {"PC-LOOSE", CNetworkView::Computer, false},
                        {"child.a.example", CNetworkView::DNSDirectory, true},
                        {"Group", CNetworkView::OtherObject, true}};
    for (const Row &row : rows) {
        QTreeWidgetItem *item = Find(QString::fromLatin1(row.text));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(Kind(item), row.kind) << row.text;
        EXPECT_EQ(!view.HasFolderBeenExpandedOnce(item), row.placeholder) << row.text;
    }
    Find(QStringLiteral("Servers"))->setExpanded(true);
    Find(QStringLiteral("Deep"))->setExpanded(true);
    Find(QStringLiteral("Group"))->setExpanded(true);
    EXPECT_EQ(Texts(Find(QStringLiteral("Servers"))), (QStringList{QStringLiteral("S1"), QStringLiteral("Deep")}));
    EXPECT_EQ(Texts(Find(QStringLiteral("Deep"))), QStringList{QStringLiteral("S2")});
    EXPECT_EQ(Texts(Find(QStringLiteral("Group"))), QStringList{QStringLiteral("G1")});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    CoUninitialize();
}

TEST_F(NetworkView, ASecondDirectoryItemForgetsTheFirstOnesPaths)
{
    Use(kDirectory);
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    view.PopulateActiveDirectory(nullptr);
    view.PopulateActiveDirectory(nullptr);
    QTreeWidgetItem *first = view.topLevelItem(0);
    first->setExpanded(true);
    QTreeWidgetItem *firstB = first->child(1);
    view.topLevelItem(1)->setExpanded(true);
    firstB->setExpanded(true);
    EXPECT_EQ(firstB->childCount(), 0) << "its path was forgotten";
    QTreeWidgetItem *secondB = view.topLevelItem(1)->child(1);
    secondB->setExpanded(true);
    EXPECT_EQ(Texts(secondB), QStringList{QStringLiteral("Box")});
    CoUninitialize();
}

TEST_F(NetworkView, ADeletedItemsPathIsNeverMatchedAgain)
{
    Use(kDirectory);
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    view.PopulateActiveDirectory(nullptr);
    QTreeWidgetItem *dir = view.topLevelItem(0);
    dir->setExpanded(true);
    // Delete the unfilled trees, then insert unfilled items of the same kind until one lands on a
    // freed address (the allocator hands the last freed block out first).
    delete dir->child(1);
    delete dir->child(0);
    const unsigned long before = TsNetworkCallCount();
    for (int i = 0; i < 4; ++i) {
        QTreeWidgetItem *item = view.InsertItem(u"again", CNetworkView::DNSDirectory, dir, -1);
        view.MarkFolderAsExpandedOnce(item, 0);
        item->setExpanded(true);
        EXPECT_EQ(item->childCount(), 0);
    }
    EXPECT_EQ(TsNetworkCallCount(), before) << "no listing for an item without its own record";
    CoUninitialize();
}

TEST_F(NetworkView, AFailingDirectoryServiceLeavesTheNodeEmptyWithoutABox)
{
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    for (const char *failure : {R"("createFailure": "0x80070005")", R"("treesFailure": "0x8007054B")"}) {
        Use(QByteArray(R"({"activeDirectory": true, "directory": {)") + failure + R"(, "trees": [{"name": "t"}]}})");
        view.clear();
        view.PopulateActiveDirectory(nullptr);
        BoxCatcher catcher;
        view.topLevelItem(0)->setExpanded(true);
        EXPECT_EQ(view.topLevelItem(0)->childCount(), 0) << failure;
        EXPECT_TRUE(catcher.boxes.empty());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
    CoUninitialize();
    // Without COM on the thread the directory stays empty too.
    Use(kDirectory);
    view.clear();
    view.PopulateActiveDirectory(nullptr);
    view.topLevelItem(0)->setExpanded(true);
    EXPECT_EQ(view.topLevelItem(0)->childCount(), 0);
}

TEST_F(NetworkView, SelectionKeepsOneKindAndNoParentWithItsChild)
{
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    QTreeWidgetItem *root = view.InsertItem(u"net", CNetworkView::MicrosoftNetwork, nullptr, -1);
    QTreeWidgetItem *domain = view.InsertItem(u"D", CNetworkView::Domain, root, -1);
    QTreeWidgetItem *pc = view.InsertItem(u"PC", CNetworkView::Computer, domain, -1);
    QTreeWidgetItem *outer = view.InsertItem(u"Outer", CNetworkView::DirectoryContainer, nullptr, -1);
    QTreeWidgetItem *inner = view.InsertItem(u"Inner", CNetworkView::DirectoryContainer, outer, -1);
    QTreeWidgetItem *other = view.InsertItem(u"Other", CNetworkView::DirectoryContainer, nullptr, -1);
    QTreeWidgetItem *tree = view.InsertItem(u"t", CNetworkView::DNSDirectory, nullptr, -1);
    QTreeWidgetItem *foreign = new QTreeWidgetItem(&view, QStringList(QStringLiteral("foreign")));
    struct Row {
        std::vector<QTreeWidgetItem *> selected;
        QTreeWidgetItem *current;
        std::vector<QTreeWidgetItem *> after;
    };
    const Row rows[] = {
        {{domain, pc}, tree, {tree}},                  // two kinds, then a third
        {{outer, inner}, other, {other}},              // a parent and its child of the current kind
        {{pc}, domain, {domain}},
        {{foreign, domain}, foreign, {foreign}},       // no kind counts as kind 0
    };
    for (const Row &row : rows) {
        view.setCurrentItem(nullptr);
        view.clearSelection();
        for (QTreeWidgetItem *item : row.selected)
            item->setSelected(true);
        view.setCurrentItem(row.current, 0, QItemSelectionModel::NoUpdate);
        QList<QTreeWidgetItem *> got = view.selectedItems();
        std::sort(got.begin(), got.end());
        std::vector<QTreeWidgetItem *> want = row.after;
        std::sort(want.begin(), want.end());
        EXPECT_EQ(std::vector<QTreeWidgetItem *>(got.begin(), got.end()), want) << row.current->text(0).toStdString();
    }
}

} // namespace
