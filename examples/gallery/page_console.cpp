// "Console": a console window's task pane. Categories on the left; on the right a scrolling task
// area holding a collapsible panel of three sections of task links. Every text is a resource of the
// language module; the help line shows what the categories pane announces when it is shown.
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QStyleOption>
#include <QVBoxLayout>

#include "gallerypage.h"
#include "tslang.h"
#include "tswin.h"
#include "widgets/categorieswidget.h"
#include "widgets/collapsiblepanel.h"
#include "widgets/pixmaps.h"
#include "widgets/scrolltaskwidgetarea.h"
#include "widgets/tsbutton.h"

namespace {

// Resource identifiers of the console texts.
enum : unsigned int {
    IdsNetwork = 14100,
    IdsDomains = 14102,
    IdsComputers = 14104,
    IdsDirectory = 14106,
    IdsVolumeTasks = 14110,
    IdsScheduleTasks = 14111,
    IdsSeeAlso = 14112,
    IdsAnalyze = 14120,
    IdsDefragment = 14121,
    IdsStop = 14122,
    IdsNewSchedule = 14123,
    IdsEditSchedules = 14124,
    IdsHelpTopics = 14125,
    IdsAbout = 14126,
    IdsConsoleTitle = 14130,
};

QString Text(UINT id)
{
    static const HINSTANCE module = LoadTsLang(GetUserDefaultLangID(), 0);
    WCHAR buffer[512];
    return QString::fromUtf16(buffer, LoadStringW(module, id, buffer, 512));
}

// A cell of the network icon strip, and its greyed form for the disabled state.
QPair<QIcon, QIcon> NetworkIcon(int cell)
{
    static const QPixmap strip = LoadPixmap(10379, 10380);
    const QPixmap icon = GetIndexOfPixmap(strip, cell, QSize(16, 16));
    QStyleOption option;
    const QPixmap grey = QApplication::style()->generatedIconPixmap(QIcon::Disabled, icon, &option);
    return {QIcon(icon), QIcon(grey)};
}

// A white box of task links.
QWidget *Tasks(const QString &name, std::initializer_list<unsigned int> ids, CTsButton **firstOut = nullptr)
{
    auto *box = new QWidget;
    box->setObjectName(name);
    box->setAutoFillBackground(true);
    QPalette white = box->palette();
    white.setColor(QPalette::Window, Qt::white);
    box->setPalette(white);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->setSpacing(2);
    for (unsigned int id : ids) {
        auto *task = new CTsButton(box);
        task->setObjectName(QStringLiteral("task%1").arg(id));
        task->setText(Text(id));
        task->setFlat(true);
        task->SetTextColor(QColor(33, 93, 198), QColor(66, 142, 255));
        task->setStyleSheet(QStringLiteral("text-align: left; padding: 2px;"));
        layout->addWidget(task);
        if (firstOut && !*firstOut)
            *firstOut = task;
    }
    return box;
}

QWidget *MakeConsolePage()
{
    auto *page = new QWidget;
    auto *layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // Left: the categories, white down to the bottom; below them the help line.
    auto *left = new QWidget;
    left->setObjectName(QStringLiteral("categoriesColumn"));
    left->setAutoFillBackground(true);
    QPalette white = left->palette();
    white.setColor(QPalette::Window, Qt::white);
    left->setPalette(white);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 6, 0, 6);
    auto *categories = new CCategoriesWidget;
    categories->setObjectName(QStringLiteral("categories"));
    struct Category {
        unsigned int text;
        int cell;
        const char *name;
    };
    const Category kinds[] = {{IdsNetwork, 2, "network"},
                              {IdsDomains, 3, "domains"},
                              {IdsComputers, 4, "computers"},
                              {IdsDirectory, 10, "directory"}};
    for (const Category &kind : kinds) {
        const auto icons = NetworkIcon(kind.cell);
        QWidget *item = categories->AddItem(kind.text, kind.text + 1, icons.first, icons.second);
        item->setObjectName(QString::fromLatin1(kind.name));
        item->setStyleSheet(QStringLiteral("text-align: left; padding: 4px;"));
    }
    categories->setItemEnabled(QStringLiteral("directory"), false);
    categories->SetHelpPage(u"console.htm", WStringFromQString(Text(IdsConsoleTitle)));
    auto *help = new QLabel;
    help->setObjectName(QStringLiteral("helpLine"));
    help->setWordWrap(true);
    help->setContentsMargins(6, 0, 6, 0);
    QObject::connect(categories, &CCategoriesWidget::DisplayHelp, help,
                     [help](const QString &page, const QString &title) {
                         help->setText(QStringLiteral("<i>%1</i><br><small>%2</small>")
                                           .arg(title.toHtmlEscaped(), page.toHtmlEscaped()));
                     });
    leftLayout->addWidget(categories);
    leftLayout->addStretch(1);
    leftLayout->addWidget(help);
    left->setFixedWidth(190);
    layout->addWidget(left);

    auto *rule = new QFrame;
    rule->setObjectName(QStringLiteral("divider"));
    rule->setFrameShape(QFrame::VLine);
    rule->setFrameShadow(QFrame::Sunken);
    layout->addWidget(rule);

    // Right: the task panel in its scrolling area.
    auto *area = new CScrollTaskWidgetArea(nullptr);
    area->setObjectName(QStringLiteral("taskArea"));
    auto *panel = new CCollapsiblePanel;
    panel->setObjectName(QStringLiteral("taskPanel"));
    CTsButton *stop = nullptr;
    QWidget *volumeTasks = Tasks(QStringLiteral("volumeTasks"), {IdsStop, IdsAnalyze, IdsDefragment}, &stop);
    panel->AddItem(Text(IdsVolumeTasks), volumeTasks);
    QWidget *scheduleTasks = Tasks(QStringLiteral("scheduleTasks"), {IdsNewSchedule, IdsEditSchedules});
    panel->AddItem(Text(IdsScheduleTasks), scheduleTasks);
    QWidget *seeAlso = Tasks(QStringLiteral("seeAlso"), {IdsHelpTopics, IdsAbout});
    panel->AddItem(Text(IdsSeeAlso), seeAlso);
    panel->SetItemExpand(volumeTasks, 1);
    panel->SetItemExpand(scheduleTasks, 1);
    panel->SetItemExpand(seeAlso, 0);
    if (stop)
        stop->setEnabled(false); // nothing runs yet
    area->setWidget(panel);
    layout->addWidget(area, 1);

    page->resize(620, 460);
    return page;
}

// A second picture with the panel in one-at-a-time mode after "See also" was clicked.
void ShootOneAtATime(QWidget *page, const gallery::Shoot &shoot)
{
    auto *panel = page->findChild<CCollapsiblePanel *>(QStringLiteral("taskPanel"));
    auto *header = page->findChild<QPushButton *>(QStringLiteral("panelHeader2"));
    if (!panel || !header)
        return;
    panel->SetExpandItemMoreThanOne(false);
    header->click();
    shoot(QStringLiteral("one-at-a-time"), page);
}

} // namespace

TS_GALLERY_PAGE(60, "Console", MakeConsolePage, ShootOneAtATime)
