// The task button: fires on press and on the activation keys, colours through real enter, leave and
// focus events, the icon pair; the frameless task area.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <functional>

#include "taskwidgets_support.h"
#include "widgets/collapsiblepanel.h"
#include "widgets/scrolltaskwidgetarea.h"
#include "widgets/tsbutton.h"

namespace {

const QColor kNormal(10, 20, 30);
const QColor kHighlight(200, 40, 40);

// Records the mouse presses and keys that reach it (those its children leave unaccepted).
class Recorder : public QWidget
{
public:
    int presses = 0;
    QList<int> keys;

protected:
    void mousePressEvent(QMouseEvent *) override { ++presses; }
    void keyPressEvent(QKeyEvent *event) override { keys << event->key(); }
};

QIcon Solid(const QColor &colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

QColor ActiveText(const QWidget &w)
{
    return w.palette().color(QPalette::Active, QPalette::ButtonText);
}

TEST(CTsButton, PressFiresClickedOnceBeforeAnyReleaseAndReachesTheParent)
{
    Recorder parent;
    auto *button = new CTsButton(&parent);
    button->setText(QStringLiteral("Defragment"));
    parent.resize(200, 60);
    parent.show();
    QSignalSpy clicked(button, &QAbstractButton::clicked);
    QSignalSpy released(button, &QAbstractButton::released);
    QSignalSpy pressed(button, &QAbstractButton::pressed);

    QTest::mousePress(button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_FALSE(clicked.at(0).at(0).toBool());
    EXPECT_EQ(released.count(), 1);
    EXPECT_EQ(pressed.count(), 0);
    EXPECT_FALSE(button->isDown()); // no pressed look
    EXPECT_EQ(parent.presses, 1);

    QTest::mouseRelease(button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(released.count(), 1);

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 2);
}

TEST(CTsButton, ActivationKeysFireOnPressOthersGoToTheParent)
{
    struct Row {
        Qt::Key key;
        int clicks;
    };
    const Row rows[] = {{Qt::Key_Return, 1}, {Qt::Key_Enter, 1}, {Qt::Key_Space, 1},
                        {Qt::Key_Down, 0},   {Qt::Key_Right, 0}, {Qt::Key_A, 0}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.key);
        Recorder parent;
        auto *button = new CTsButton(&parent);
        ASSERT_TRUE(tstest::ShowActive(parent));
        button->setFocus();
        QSignalSpy clicked(button, &QAbstractButton::clicked);

        QTest::keyPress(button, row.key);
        EXPECT_EQ(clicked.count(), row.clicks);
        EXPECT_FALSE(button->isDown());
        QTest::keyRelease(button, row.key);
        EXPECT_EQ(clicked.count(), row.clicks); // nothing more on release
        EXPECT_EQ(parent.keys, row.clicks ? QList<int>() : QList<int>{row.key});
        EXPECT_TRUE(button->hasFocus()); // arrows do not move the focus as a push button's would
    }
}

TEST(CTsButton, HoverSetsHighlightAndHandCursorLeaveRestoresEvenWithFocus)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *button = new CTsButton;
    auto *other = new QLineEdit;
    other->setObjectName(QStringLiteral("other"));
    layout->addWidget(button);
    layout->addWidget(other);
    button->SetTextColor(kNormal, kHighlight);
    EXPECT_TRUE(button->hasMouseTracking()); // hover is seen without a pressed button
    ASSERT_TRUE(tstest::ShowActive(window));
    other->setFocus();

    EXPECT_EQ(ActiveText(*button), kNormal);
    EXPECT_EQ(button->palette().color(QPalette::Inactive, QPalette::ButtonText), kNormal);
    EXPECT_EQ(button->palette().color(QPalette::Disabled, QPalette::ButtonText), QColor(128, 128, 128));

    tstest::SendEnter(button);
    EXPECT_EQ(ActiveText(*button), kHighlight);
    EXPECT_TRUE(button->testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);
    tstest::SendLeave(button);
    EXPECT_EQ(ActiveText(*button), kNormal);
    EXPECT_FALSE(button->testAttribute(Qt::WA_SetCursor));

    button->setFocus();
    ASSERT_TRUE(button->hasFocus());
    EXPECT_EQ(ActiveText(*button), kHighlight);
    tstest::SendEnter(button);
    tstest::SendLeave(button);
    EXPECT_EQ(ActiveText(*button), kNormal); // leave wins over focus
    tstest::SendEnter(button);
    other->setFocus();
    ASSERT_FALSE(button->hasFocus());
    EXPECT_EQ(ActiveText(*button), kNormal); // and so does focus out over hover
}

TEST(CTsButton, DisabledButtonIgnoresHoverButLeaveRestoresNormal)
{
    QWidget window;
    auto *button = new CTsButton(&window);
    button->SetTextColor(kNormal, kHighlight);
    window.show();
    button->setCursor(Qt::IBeamCursor);
    button->setEnabled(false);

    tstest::SendEnter(button);
    EXPECT_EQ(button->cursor().shape(), Qt::IBeamCursor);
    EXPECT_EQ(ActiveText(*button), kNormal);

    // A colour left over from hovering while enabled is taken back on leave.
    button->setEnabled(true);
    tstest::SendEnter(button);
    button->setEnabled(false);
    EXPECT_EQ(ActiveText(*button), kHighlight);
    tstest::SendLeave(button);
    EXPECT_EQ(ActiveText(*button), kNormal);
    EXPECT_FALSE(button->testAttribute(Qt::WA_SetCursor));
}

TEST(CTsButton, FocusByTabHighlightsOnlyAnEnabledButton)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *first = new QLineEdit;
    auto *button = new CTsButton;
    layout->addWidget(first);
    layout->addWidget(button);
    button->SetTextColor(kNormal, kHighlight);
    EXPECT_EQ(button->focusPolicy(), Qt::StrongFocus);
    ASSERT_TRUE(tstest::ShowActive(window));
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Tab);
    ASSERT_TRUE(button->hasFocus());
    EXPECT_EQ(ActiveText(*button), kHighlight);
    EXPECT_FALSE(button->isDefault()); // focus does not make it the default button
    QTest::keyClick(button, Qt::Key_Backtab);
    ASSERT_TRUE(first->hasFocus());
    EXPECT_EQ(ActiveText(*button), kNormal);
}

TEST(CTsButton, IconFollowsSetItemEnabledNotSetEnabled)
{
    const QIcon on = Solid(Qt::green);
    const QIcon off = Solid(Qt::gray);
    struct Row {
        const char *what;
        std::function<void(CTsButton &)> act;
        bool enabled;
        bool showsDisabledIcon;
    };
    const Row rows[] = {
        {"setItemEnabled(false)", [](CTsButton &b) { b.setItemEnabled(false); }, false, true},
        {"setEnabled(false)", [](CTsButton &b) { b.setEnabled(false); }, false, false},
        {"setItemEnabled(false), setItemEnabled(true)",
         [](CTsButton &b) { b.setItemEnabled(false); b.setItemEnabled(true); }, true, false},
        {"setEnabled(false), SetIcons",
         [&](CTsButton &b) { b.setEnabled(false); b.SetIcons(on, off); }, false, true},
        {"setItemEnabled(false), setEnabled(true)",
         [](CTsButton &b) { b.setItemEnabled(false); b.setEnabled(true); }, true, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        CTsButton button(nullptr);
        button.SetIcons(on, off);
        EXPECT_EQ(button.icon().cacheKey(), on.cacheKey());
        row.act(button);
        EXPECT_EQ(button.isEnabled(), row.enabled);
        EXPECT_EQ(button.icon().cacheKey(), (row.showsDisabledIcon ? off : on).cacheKey());
    }
}

TEST(CScrollTaskWidgetArea, FramelessAtLeast200WideAndStretchesItsWidget)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *area = new CScrollTaskWidgetArea(nullptr);
    layout->addWidget(area);
    auto *panel = new CCollapsiblePanel;
    panel->setObjectName(QStringLiteral("panel"));
    area->setWidget(panel);
    EXPECT_EQ(area->frameStyle(), 16);
    EXPECT_EQ(area->frameWidth(), 0);
    EXPECT_TRUE(area->widgetResizable());
    EXPECT_EQ(area->sizePolicy().horizontalPolicy(), QSizePolicy::Minimum);
    EXPECT_EQ(area->sizePolicy().verticalPolicy(), QSizePolicy::Preferred);

    window.resize(120, 300);
    window.show();
    layout->activate();
    EXPECT_GE(area->width(), 200);
    window.resize(360, 300);
    layout->activate();
    EXPECT_EQ(area->width(), 360);
    EXPECT_EQ(panel->width(), area->viewport()->width());
    EXPECT_TRUE(panel->autoFillBackground()); // so the panel's picture shows
}

} // namespace
