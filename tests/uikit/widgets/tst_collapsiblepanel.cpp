// The collapsible panel: sections toggled by real header clicks, one-or-many expansion, silent
// SetItemExpand, focus, the stretched background, the drawn header, and what screen readers learn.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include "taskwidgets_support.h"
#include "widgets/collapsiblepanel.h"
#include "widgets/panelheaderstyle.h"
#include "widgets/pixmaps.h"
#include "widgets/scrolltaskwidgetarea.h"
#include "widgets/tsbutton.h"

namespace {

using States = QList<QPair<int, bool>>;

// A panel of `count` sections ("Section n" above a label) in a scroll area, shown.
struct Fixture {
    explicit Fixture(int count = 3)
    {
        area.resize(260, 400);
        area.setWidget(panel);
        for (int i = 0; i < count; ++i) {
            auto *content = new QLabel(QStringLiteral("Content %1").arg(i));
            contents << content;
            panel->AddItem(QStringLiteral("Section %1").arg(i), content);
            panel->SetItemExpand(content, 0);
        }
        area.show();
    }
    QPushButton *Header(int i) const
    {
        return panel->findChild<QPushButton *>(QStringLiteral("panelHeader%1").arg(i));
    }
    QList<bool> Open() const
    {
        QList<bool> open;
        for (QWidget *content : contents) {
            EXPECT_EQ(panel->IsItemExpand(content), content->isVisible());
            open << panel->IsItemExpand(content);
        }
        return open;
    }
    CScrollTaskWidgetArea area{nullptr};
    CCollapsiblePanel *panel = new CCollapsiblePanel;
    QList<QWidget *> contents;
};

States Recorded(const QSignalSpy &spy)
{
    States states;
    for (const QList<QVariant> &args : spy)
        states << qMakePair(args.at(0).toInt(), args.at(1).toBool());
    return states;
}

QImage Mark(int cell)
{
    return GetIndexOfPixmap(LoadPixmap(10151, 10326), cell, QSize(16, 16)).toImage();
}

QImage IconOf(const QPushButton *button)
{
    return button->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST(CCollapsiblePanel, ByDefaultEveryClickedSectionStaysOpen)
{
    Fixture f;
    QSignalSpy changes(f.panel, &CCollapsiblePanel::ItemChangeState);
    EXPECT_EQ(f.panel->GetNumItems(), 3);
    EXPECT_EQ(IconOf(f.Header(0)), Mark(1).convertToFormat(QImage::Format_ARGB32)); // collapsed

    QTest::mousePress(f.Header(0), Qt::LeftButton); // toggles on the press
    EXPECT_EQ(Recorded(changes), (States{{0, true}}));
    QTest::mouseRelease(f.Header(0), Qt::LeftButton);
    QTest::mouseClick(f.Header(1), Qt::LeftButton);
    EXPECT_EQ(f.Open(), (QList<bool>{true, true, false}));
    EXPECT_EQ(Recorded(changes), (States{{0, true}, {1, true}}));
    EXPECT_EQ(IconOf(f.Header(0)), Mark(0).convertToFormat(QImage::Format_ARGB32)); // expanded

    QTest::mouseClick(f.Header(0), Qt::LeftButton);
    EXPECT_EQ(f.Open(), (QList<bool>{false, true, false}));
    EXPECT_EQ(Recorded(changes).last(), qMakePair(0, false));
}

TEST(CCollapsiblePanel, OneAtATimeClosesTheOthersSilently)
{
    Fixture f;
    QSignalSpy changes(f.panel, &CCollapsiblePanel::ItemChangeState);
    f.panel->SetItemExpand(0, true);
    f.panel->SetItemExpand(1, true);
    EXPECT_EQ(changes.count(), 0); // SetItemExpand is silent
    f.panel->SetExpandItemMoreThanOne(false);

    QTest::mouseClick(f.Header(2), Qt::LeftButton);
    EXPECT_EQ(f.Open(), (QList<bool>{false, false, true}));
    EXPECT_EQ(Recorded(changes), (States{{2, true}}));

    QTest::mouseClick(f.Header(2), Qt::LeftButton);
    EXPECT_EQ(f.Open(), (QList<bool>{false, false, false}));
    EXPECT_EQ(Recorded(changes), (States{{2, true}, {2, false}}));

    // Keys toggle as clicks do.
    f.Header(1)->setFocus();
    QTest::keyClick(f.Header(1), Qt::Key_Space);
    QTest::keyClick(f.Header(0), Qt::Key_Return);
    EXPECT_EQ(f.Open(), (QList<bool>{true, false, false}));
    EXPECT_EQ(Recorded(changes).mid(2), (States{{1, true}, {0, true}}));
}

TEST(CCollapsiblePanel, TabLeadsFromAHeaderIntoItsSection)
{
    Fixture f(0);
    QList<QWidget *> tasks;
    for (int i = 0; i < 2; ++i) {
        // The content is made before its header, as callers do.
        auto *content = new QWidget;
        auto *task = new QPushButton(QStringLiteral("Task %1").arg(i), content);
        new QLabel(QStringLiteral("not focusable"), content);
        tasks << task;
        f.panel->AddItem(QStringLiteral("Section %1").arg(i), content);
    }
    // Where Tab goes from `w`: the next widget of the focus chain that takes it.
    const auto tab = [](QWidget *w) {
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
        return w;
    };
    EXPECT_EQ(tab(f.Header(0)), tasks.at(0));
    EXPECT_EQ(tab(tasks.at(0)), f.Header(1));
    EXPECT_EQ(tab(f.Header(1)), tasks.at(1));
}

TEST(CCollapsiblePanel, IndexesOutOfRangeAndUnknownWidgetsAreIgnored)
{
    Fixture f;
    QLabel stranger;
    for (int index : {-1, 3, 5}) {
        f.panel->SetItemExpand(index, true);
        EXPECT_EQ(f.panel->GetItemWidget(index), nullptr);
    }
    f.panel->SetItemExpand(&stranger, 1);
    f.panel->SetItemExpand(nullptr, 1);
    EXPECT_FALSE(f.panel->IsItemExpand(&stranger));
    EXPECT_FALSE(f.panel->IsItemExpand(nullptr));
    EXPECT_EQ(f.Open(), (QList<bool>{false, false, false}));
    EXPECT_EQ(f.panel->GetItemWidget(2), f.contents.at(2));

    f.panel->AddItem(QStringLiteral("No content"), nullptr);
    EXPECT_EQ(f.panel->GetNumItems(), 3);
}

TEST(CCollapsiblePanel, AnyNonZeroStateCountsAsExpanded)
{
    struct Row {
        int stored;
        bool open;
    };
    const Row rows[] = {{2, true}, {-1, true}, {1, true}, {0, false}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.stored);
        Fixture f(2);
        QSignalSpy changes(f.panel, &CCollapsiblePanel::ItemChangeState);
        f.panel->SetItemExpand(f.contents.at(1), row.stored);
        EXPECT_EQ(f.panel->IsItemExpand(f.contents.at(1)), row.open);
        EXPECT_EQ(f.contents.at(1)->isVisible(), row.open);
        EXPECT_EQ(IconOf(f.Header(1)), Mark(row.open ? 0 : 1).convertToFormat(QImage::Format_ARGB32));
        QTest::mouseClick(f.Header(1), Qt::LeftButton);
        EXPECT_EQ(Recorded(changes), (States{{1, !row.open}}));
        EXPECT_EQ(f.contents.at(1)->isVisible(), !row.open);
    }
}

TEST(CCollapsiblePanel, NewSectionKeepsItsContentVisibilityUntilSet)
{
    CScrollTaskWidgetArea area(nullptr);
    auto *panel = new CCollapsiblePanel;
    area.setWidget(panel);
    auto *hidden = new QLabel(QStringLiteral("hidden"));
    hidden->hide();
    auto *shown = new QLabel(QStringLiteral("shown"));
    panel->AddItem(QStringLiteral("A"), hidden);
    panel->AddItem(QStringLiteral("B"), shown);
    area.resize(260, 400);
    area.show();
    QApplication::processEvents(); // the layout request of the show
    EXPECT_FALSE(hidden->isVisible());
    EXPECT_TRUE(shown->isVisible());
    EXPECT_FALSE(panel->IsItemExpand(shown));
    // The header sits above its content; sections are 8 pixels apart, 15 inside the panel.
    auto *headerA = panel->findChild<QPushButton *>(QStringLiteral("panelHeader0"));
    auto *headerB = panel->findChild<QPushButton *>(QStringLiteral("panelHeader1"));
    EXPECT_EQ(headerA->geometry().topLeft(), QPoint(15, 15));
    EXPECT_EQ(headerB->y(), headerA->geometry().bottom() + 1 + 8);
    EXPECT_EQ(shown->y(), headerB->geometry().bottom() + 1);
    EXPECT_EQ(headerA->width(), panel->width() - 30);
    EXPECT_EQ(headerA->iconSize(), QSize(16, 16));
    EXPECT_EQ(headerA->palette().color(QPalette::Inactive, QPalette::ButtonText), QColor(40, 40, 40));
}

TEST(CCollapsiblePanel, FocusMovesToTheFirstHeader)
{
    Fixture f;
    ASSERT_TRUE(tstest::ShowActive(f.area));
    f.panel->setFocus();
    EXPECT_TRUE(f.Header(0)->hasFocus());

    CCollapsiblePanel empty;
    ASSERT_TRUE(tstest::ShowActive(empty));
    empty.setFocus();
    EXPECT_TRUE(empty.hasFocus());
}

TEST(CCollapsiblePanel, BackgroundIsStretchedToThePanel)
{
    for (const QSize size : {QSize(300, 500), QSize(120, 40)}) {
        CCollapsiblePanel panel;
        panel.resize(size);
        panel.show();
        const QBrush brush = panel.palette().brush(panel.backgroundRole());
        EXPECT_EQ(brush.texture().size(), size);
    }
}

TEST(CCollapsiblePanel, DeletedContentLeavesTheSectionInert)
{
    Fixture f;
    QSignalSpy changes(f.panel, &CCollapsiblePanel::ItemChangeState);
    delete f.contents.at(1);
    QTest::mouseClick(f.Header(1), Qt::LeftButton);
    f.panel->SetItemExpand(1, true);
    EXPECT_EQ(f.panel->GetItemWidget(1), nullptr);
    EXPECT_EQ(changes.count(), 0);
    QTest::mouseClick(f.Header(2), Qt::LeftButton);
    EXPECT_EQ(Recorded(changes), (States{{2, true}}));
}

TEST(CCollapsiblePanel, HeaderStylesAreThePanelsAndDieWithIt)
{
    auto *panel = new CCollapsiblePanel;
    panel->AddItem(QStringLiteral("A"), new QLabel);
    panel->AddItem(QStringLiteral("B"), new QLabel);
    auto *a = panel->findChild<QPushButton *>(QStringLiteral("panelHeader0"));
    auto *b = panel->findChild<QPushButton *>(QStringLiteral("panelHeader1"));
    ASSERT_NE(dynamic_cast<CPanelHeaderStyle *>(a->style()), nullptr);
    EXPECT_NE(a->style(), b->style());
    QPointer<QStyle> styleA = a->style();
    QPointer<QStyle> styleB = b->style();
    delete panel;
    EXPECT_TRUE(styleA.isNull());
    EXPECT_TRUE(styleB.isNull());
}

// Colour distance by channel.
bool Near(QRgb pixel, const QColor &want, int tolerance = 4)
{
    return qAbs(qRed(pixel) - want.red()) <= tolerance && qAbs(qGreen(pixel) - want.green()) <= tolerance &&
           qAbs(qBlue(pixel) - want.blue()) <= tolerance;
}

bool Ink(QRgb pixel)
{
    return qGray(pixel) < 110;
}

TEST(CPanelHeaderStyle, HeaderIsAGradientWithABoldCaptionAndTheMarkAtTheRight)
{
    const QString caption = QStringLiteral("WWWWWWWW");
    CCollapsiblePanel panel;
    panel.AddItem(caption, new QLabel);
    panel.resize(400, 200);
    panel.show();
    auto *header = panel.findChild<QPushButton *>(QStringLiteral("panelHeader0"));
    const QImage shot = header->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int w = shot.width();
    const int h = shot.height();
    ASSERT_GT(h, 16);

    EXPECT_TRUE(Near(shot.pixel(3, 0), QColor(255, 248, 213)));
    EXPECT_TRUE(Near(shot.pixel(3, h - 1), QColor(255, 210, 0)));
    EXPECT_TRUE(Near(shot.pixel(w - 3, 0), QColor(255, 248, 213))); // no bevel

    // Caption: starts 10 pixels in and is wider than the same text in the normal weight.
    int first = w, last = -1;
    for (int x = 0; x < w - 40; ++x)
        for (int y = 0; y < h; ++y)
            if (Ink(shot.pixel(x, y))) {
                first = qMin(first, x);
                last = qMax(last, x);
            }
    ASSERT_GE(last, 0);
    EXPECT_GE(first, 10);
    EXPECT_LE(first, 13);
    QFont bold = header->font();
    bold.setBold(true);
    const int normalWidth = QFontMetrics(header->font()).horizontalAdvance(caption);
    const int boldWidth = QFontMetrics(bold).horizontalAdvance(caption);
    ASSERT_GT(boldWidth, normalWidth);
    EXPECT_GT(last - first + 1, normalWidth);

    // The mark: 16 x 16 ending 10 pixels before the right edge, centred vertically; gradient beyond.
    const QImage mark = Mark(1).convertToFormat(QImage::Format_ARGB32);
    const int left = (w - 1) - 16 - 10;
    const int top = h / 2 - 8;
    int marked = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (qAlpha(mark.pixel(x, y)) == 255)
                marked += shot.pixel(left + x, top + y) == (mark.pixel(x, y) | 0xff000000u) ? 1 : 0;
    EXPECT_GT(marked, 20);
    for (int x = w - 9; x < w; ++x)
        EXPECT_FALSE(Ink(shot.pixel(x, h / 2)));
}

// Accessibility: every update the library sends while a screen reader would be listening.
struct Update {
    QAccessible::Event type;
    QObject *object;
    QAccessible::State changed;
};
QList<Update> g_updates;

void Record(QAccessibleEvent *event)
{
    Update update{event->type(), event->object(), {}};
    if (event->type() == QAccessible::StateChanged)
        update.changed = static_cast<QAccessibleStateChangeEvent *>(event)->changedStates();
    g_updates << update;
}

// As if a screen reader had connected: the platform's bridge is switched on (updates reach the
// handler only then) and every update is recorded.
class AccessibilityOn
{
public:
    AccessibilityOn() : m_previous(QAccessible::installUpdateHandler(Record))
    {
        g_updates.clear();
        Bridge()->setActive(true);
    }
    ~AccessibilityOn()
    {
        Bridge()->setActive(false);
        QAccessible::installUpdateHandler(m_previous);
        g_updates.clear();
    }
    static QPlatformAccessibility *Bridge()
    {
        return QGuiApplicationPrivate::platformIntegration()->accessibility();
    }
    QList<Update> StateChanges(QObject *object) const
    {
        QList<Update> found;
        for (const Update &u : g_updates)
            if (u.type == QAccessible::StateChanged && u.object == object)
                found << u;
        return found;
    }

private:
    QAccessible::UpdateHandler m_previous;
};

TEST(TaskAccessibility, TaskButtonIsANamedButtonWithoutMnemonics)
{
    struct Row {
        const char *caption;
        const char *name;
    };
    const Row rows[] = {{"&Defragment now", "Defragment now"},
                        {"Save && close", "Save & close"},
                        {"Plain", "Plain"},
                        {"Trailing&", "Trailing"}};
    AccessibilityOn on;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.caption);
        CTsButton button(nullptr);
        button.setText(QString::fromUtf8(row.caption));
        button.setToolTip(QStringLiteral("tip"));
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&button);
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(iface->role(), QAccessible::Button);
        EXPECT_EQ(iface->text(QAccessible::Name), QString::fromUtf8(row.name));
        EXPECT_EQ(iface->text(QAccessible::Description), QStringLiteral("tip"));
        EXPECT_FALSE(iface->state().expandable);
        ASSERT_NE(iface->actionInterface(), nullptr);
        EXPECT_TRUE(iface->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        QSignalSpy clicked(&button, &QAbstractButton::clicked);
        iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        EXPECT_EQ(clicked.count(), 1);
    }
}

TEST(TaskAccessibility, HeaderReportsAndAnnouncesItsExpandedState)
{
    AccessibilityOn on;
    ASSERT_TRUE(QAccessible::isActive());
    Fixture f(2);
    f.panel->AddItem(QStringLiteral("&Volume tasks"), new QLabel);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(f.Header(2));
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Button);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Volume tasks"));
    EXPECT_TRUE(iface->state().expandable);
    EXPECT_TRUE(iface->state().collapsed);
    EXPECT_FALSE(iface->state().expanded);
    EXPECT_TRUE(iface->state().checkable);
    EXPECT_FALSE(iface->state().checked);

    QAccessibleInterface *first = QAccessible::queryAccessibleInterface(f.Header(0));
    QTest::mouseClick(f.Header(0), Qt::LeftButton);
    EXPECT_TRUE(first->state().expanded);
    EXPECT_TRUE(first->state().checked);
    EXPECT_FALSE(first->state().collapsed);
    QList<Update> changes = on.StateChanges(f.Header(0));
    ASSERT_EQ(changes.size(), 1);
    EXPECT_TRUE(changes.at(0).changed.expanded);
    EXPECT_TRUE(changes.at(0).changed.checked);
    EXPECT_TRUE(changes.at(0).changed.collapsed);

    // No announcement when the state stays what it was.
    f.panel->SetItemExpand(f.contents.at(0), 2);
    f.panel->SetItemExpand(1, false);
    EXPECT_EQ(on.StateChanges(f.Header(0)).size(), 1);
    EXPECT_EQ(on.StateChanges(f.Header(1)).size(), 0);

    // Pressing through the screen reader toggles the section like a click.
    QSignalSpy toggled(f.panel, &CCollapsiblePanel::ItemChangeState);
    first->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(Recorded(toggled), (States{{0, false}}));
    EXPECT_TRUE(first->state().collapsed);
    EXPECT_EQ(on.StateChanges(f.Header(0)).size(), 2);
}

} // namespace
