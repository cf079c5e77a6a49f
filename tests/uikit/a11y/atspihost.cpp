// Shows one scene of widgets on a real display for the bus test (tst_atspibus), which walks it
// through the accessibility bus and drives it with key presses.
//   tst_atspihost SCENE     SCENE: picker, table, panel, categories, wizard, sheet, network, tree,
//                           qcalendar, qtoolbox
// Prints "ready" once the window is shown, active and its starting widget has the focus; ends when
// standard input closes.
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSocketNotifier>
#include <QTimer>
#include <QToolBox>
#include <QVBoxLayout>
#include <cstdio>
#include <unistd.h>
#include <vector>

#include "foundation/tsuikitglobal.h"
#include "network/networkview.h"
#include "schedule/datepickerwidget.h"
#include "schedule/datetablewidget.h"
#include "sheet/tspropertypage.h"
#include "sheet/tspropertysheet.h"
#include "widgets/categorieswidget.h"
#include "widgets/collapsiblepanel.h"
#include "widgets/scrolltaskwidgetarea.h"
#include "widgets/treewidgetex.h"
#include "widgets/tsbutton.h"

namespace {

std::vector<WString> Names(std::initializer_list<const char *> names)
{
    std::vector<WString> list;
    for (const char *name : names)
        list.push_back(WStringFromQString(QString::fromLatin1(name)));
    return list;
}

const std::vector<WString> &DayNames()
{
    static const std::vector<WString> names =
        Names({"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"});
    return names;
}

const std::vector<WString> &MonthNames()
{
    static const std::vector<WString> names =
        Names({"January", "February", "March", "April", "May", "June", "July", "August",
               "September", "October", "November", "December"});
    return names;
}

class Page : public CTsPropertyPage
{
public:
    Page(const QString &title, const QString &subtitle, const QStringList &fields)
    {
        const std::u16string t = title.toStdU16String(), s = subtitle.toStdU16String();
        SetHeaderTitle(reinterpret_cast<const unsigned short *>(t.c_str()));
        SetHeaderSubTitle(reinterpret_cast<const unsigned short *>(s.c_str()));
        setWindowTitle(title);
        auto *layout = new QVBoxLayout(this);
        for (const QString &field : fields) {
            auto *label = new QLabel(field);
            auto *edit = new QLineEdit;
            label->setBuddy(edit);
            layout->addWidget(label);
            layout->addWidget(edit);
        }
        layout->addStretch(1);
    }
};

// The window and the widget that has the focus when the test starts.
struct Scene
{
    QWidget *window = nullptr;
    QWidget *focus = nullptr;
};

Scene Picker()
{
    auto *window = new QWidget;
    auto *picker = new CDatePickerWidget(DayNames(), MonthNames(), QDate(2009, 3, 15), window);
    (new QVBoxLayout(window))->addWidget(picker);
    return {window, picker->findChild<QComboBox *>()};
}

Scene Table()
{
    auto *window = new QWidget;
    auto *table = new CDateTableWidget(Names({"S", "M", "T", "W", "T", "F", "S"}), window);
    for (int day = 1; day <= 31; ++day)
        table->SetDay((day - 1) / 7, (day - 1) % 7, day);
    table->SetSelection(2, 0);
    auto *before = new QLineEdit(window);
    before->setAccessibleName(QStringLiteral("Before"));
    auto *layout = new QVBoxLayout(window);
    layout->addWidget(before);
    layout->addWidget(table);
    return {window, before};
}

Scene Panel(bool scrolled)
{
    auto *panel = new CCollapsiblePanel;
    for (const char *title : {"Volume tasks", "See also"}) {
        auto *content = new QWidget;
        auto *task = new CTsButton(content);
        task->setText(QStringLiteral("&Analyze"));
        (new QVBoxLayout(content))->addWidget(task);
        panel->AddItem(QString::fromLatin1(title), content);
        panel->SetItemExpand(content, 0);
    }
    QWidget *start = nullptr;
    for (CTsButton *button : panel->findChildren<CTsButton *>())
        if (button->text() == QLatin1String("See also"))
            start = button;
    QWidget *window = panel;
    if (scrolled) {
        auto *area = new CScrollTaskWidgetArea(nullptr);
        area->setWidget(panel);
        window = area;
    }
    return {window, start};
}

Scene Categories()
{
    auto *pane = new CCategoriesWidget;
    // Texts of the language module: the gallery's category captions.
    pane->AddItem(14100, 14101, QIcon(), QIcon());
    pane->AddItem(14102, 14103, QIcon(), QIcon());
    return {pane, pane->findChild<CTsButton *>()};
}

Scene Wizard()
{
    auto *sheet = new CTsPropertySheet(nullptr);
    sheet->setWindowTitle(QStringLiteral("Scheduling Wizard"));
    sheet->SetWizardMode(true);
    sheet->AddPage(new Page(QStringLiteral("Start time"), QStringLiteral("When the first run starts."),
                            {QStringLiteral("Start at:")}));
    sheet->AddPage(new Page(QStringLiteral("Schedule"), QStringLiteral("How the runs repeat."),
                            {QStringLiteral("Every:")}));
    auto *summary = new Page(QStringLiteral("Summary"), QStringLiteral("What was chosen."), {});
    new QLabel(QStringLiteral("Weekly, from tomorrow."), summary);
    sheet->AddPage(summary);
    sheet->CreateSheet();
    return {sheet, sheet->GetNextButton()};
}

Scene Sheet()
{
    auto *sheet = new CTsPropertySheet(nullptr);
    sheet->setWindowTitle(QStringLiteral("Volume Properties"));
    sheet->AddPage(new Page(QStringLiteral("General"), QString(), {QStringLiteral("Label:")}));
    sheet->AddPage(new Page(QStringLiteral("Advanced"), QString(), {QStringLiteral("Limit:")}));
    sheet->CreateSheet();
    return {sheet, sheet->findChildren<QLineEdit *>().value(0)};
}

Scene Network()
{
    auto *view = new CNetworkView;
    QTreeWidgetItem *network = view->InsertItem(u"Windows Network", CNetworkView::MicrosoftNetwork,
                                                nullptr, -1);
    QTreeWidgetItem *domain = view->InsertItem(u"WORKGROUP", CNetworkView::Domain, network, -1);
    view->InsertItem(u"ALPHA", CNetworkView::Computer, domain, -1);
    QTreeWidgetItem *directory = view->InsertItem(u"Directory", CNetworkView::Directory, nullptr, -1);
    view->InsertItem(u"Servers", CNetworkView::DirectoryContainer, directory, -1);
    view->expandAll();
    view->setCurrentItem(network);
    return {view, view};
}

Scene Tree()
{
    auto *tree = new CTreeWidgetEx;
    // A tree of volumes; naming it is its caller's part.
    tree->setAccessibleName(QStringLiteral("Volumes"));
    tree->setHeaderLabels({QStringLiteral("Volume")});
    auto *all = new QTreeWidgetItem(tree, {QStringLiteral("All volumes")});
    for (const char *name : {"C:", "D:"}) {
        auto *item = new QTreeWidgetItem(all, {QString::fromLatin1(name)});
        item->setCheckState(0, name[0] == 'C' ? Qt::Checked : Qt::Unchecked);
    }
    all->setCheckState(0, Qt::PartiallyChecked);
    tree->expandAll();
    tree->setCurrentItem(all);
    return {tree, tree};
}

Scene QtCalendar()
{
    auto *calendar = new QCalendarWidget;
    calendar->setSelectedDate(QDate(2009, 3, 15));
    return {calendar, calendar->findChild<QWidget *>(QStringLiteral("qt_calendar_monthbutton"))};
}

Scene QtToolBox()
{
    auto *box = new QToolBox;
    for (const char *title : {"Volume tasks", "See also"}) {
        auto *content = new QWidget;
        auto *task = new CTsButton(content);
        task->setText(QStringLiteral("&Analyze"));
        (new QVBoxLayout(content))->addWidget(task);
        box->addItem(content, QString::fromLatin1(title));
    }
    QWidget *start = nullptr;
    for (QAbstractButton *button : box->findChildren<QAbstractButton *>())
        if (button->text() == QLatin1String("See also"))
            start = button;
    return {box, start};
}

Scene Make(const QString &name)
{
    if (name == QLatin1String("picker"))
        return Picker();
    if (name == QLatin1String("table"))
        return Table();
    if (name == QLatin1String("panel"))
        return Panel(true);
    if (name == QLatin1String("categories"))
        return Categories();
    if (name == QLatin1String("wizard"))
        return Wizard();
    if (name == QLatin1String("sheet"))
        return Sheet();
    if (name == QLatin1String("network"))
        return Network();
    if (name == QLatin1String("tree"))
        return Tree();
    if (name == QLatin1String("qcalendar"))
        return QtCalendar();
    if (name == QLatin1String("qtoolbox"))
        return QtToolBox();
    return {};
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tst_atspihost SCENE\n");
        return 2;
    }
    Scene scene;
    QTimer::singleShot(0, &app, [&]() {
        scene = Make(QString::fromLatin1(argv[1]));
        if (!scene.window) {
            std::fprintf(stderr, "unknown scene %s\n", argv[1]);
            app.exit(2);
            return;
        }
        scene.window->setWindowTitle(scene.window->windowTitle().isEmpty()
                                         ? QStringLiteral("Scene %1").arg(QString::fromLatin1(argv[1]))
                                         : scene.window->windowTitle());
        scene.window->resize(scene.window->sizeHint().expandedTo(QSize(320, 240)));
        scene.window->show();
        scene.window->activateWindow();
    });
    // Ready once the window system has made the window active and the starting widget holds the
    // focus; key presses sent before would go nowhere.
    auto *poll = new QTimer(&app);
    QObject::connect(poll, &QTimer::timeout, &app, [&]() {
        if (!scene.window || !scene.window->isActiveWindow())
            return;
        if (scene.focus && !scene.focus->hasFocus()) {
            scene.focus->setFocus(Qt::OtherFocusReason);
            return;
        }
        poll->stop();
        std::printf("ready\n");
        std::fflush(stdout);
    });
    poll->start(50);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&]() {
        char buffer[64];
        if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            app.quit();
    });
    const int rc = app.exec();
    delete scene.window;
    return rc;
}
