// The categories pane: buttons from resource identifiers, their layout, enabling by name, Reset and
// the help announcement on every show.
#include <gtest/gtest.h>

#include <QLayout>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>

#include "taskwidgets_support.h"
#include "widgets/categorieswidget.h"
#include "widgets/tsbutton.h"

namespace {

// Identifiers the language modules have (a caption with a mnemonic among them) and one they lack.
constexpr unsigned int kCancel = 61407;
constexpr unsigned int kCheckBox = 713;
constexpr unsigned int kMonth = 723;
constexpr unsigned int kMissing = 64999;

QIcon Solid(const QColor &colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

TEST(CCategoriesWidget, AddItemBuildsAFlatEnabledButtonFromTheLanguageModule)
{
    struct Row {
        unsigned int text;
        unsigned int tip;
    };
    const Row rows[] = {{kCancel, kMonth}, {kCheckBox, kCancel}, {kMissing, kMissing}};
    ASSERT_FALSE(tstest::LangText(kCancel).isEmpty());
    for (const Row &row : rows) {
        SCOPED_TRACE(row.text);
        CCategoriesWidget pane;
        const QIcon on = Solid(Qt::blue);
        QWidget *item = pane.AddItem(row.text, row.tip, on, Solid(Qt::gray));
        auto *button = dynamic_cast<CTsButton *>(item);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->parentWidget(), &pane);
        EXPECT_EQ(button->text(), tstest::LangText(row.text));
        EXPECT_EQ(button->toolTip(), tstest::LangText(row.tip));
        EXPECT_TRUE(button->isFlat());
        EXPECT_TRUE(button->isEnabled());
        EXPECT_EQ(button->icon().cacheKey(), on.cacheKey());
        EXPECT_EQ(button->focusPolicy(), Qt::StrongFocus);
        EXPECT_EQ(button->palette().color(QPalette::Active, QPalette::ButtonText), QColor(Qt::black));
        EXPECT_EQ(button->palette().color(QPalette::Window), QColor(Qt::white));
        // Hovering keeps the text black.
        tstest::SendEnter(button);
        EXPECT_EQ(button->palette().color(QPalette::Active, QPalette::ButtonText), QColor(Qt::black));
        tstest::SendLeave(button);
    }
}

TEST(CCategoriesWidget, ButtonsStackTwoPixelsApartThreeInsideTheEdge)
{
    QWidget window;
    auto *pane = new CCategoriesWidget(&window);
    QWidget *first = pane->AddItem(kCancel, kCancel, QIcon(), QIcon());
    QWidget *second = pane->AddItem(kMonth, kMonth, QIcon(), QIcon());
    pane->resize(pane->sizeHint().width() + 40, pane->sizeHint().height());
    window.show();

    EXPECT_EQ(first->geometry().topLeft(), QPoint(3, 3));
    EXPECT_EQ(second->x(), 3);
    EXPECT_EQ(second->y(), first->geometry().bottom() + 1 + 2);
    EXPECT_EQ(first->width(), pane->width() - 6);
    EXPECT_EQ(second->geometry().bottom(), pane->height() - 1 - 3);
    EXPECT_EQ(pane->focusPolicy(), Qt::StrongFocus);
}

TEST(CCategoriesWidget, PaintsItsBackgroundWhite)
{
    QWidget window;
    QPalette dark = window.palette();
    dark.setColor(QPalette::Window, Qt::darkBlue);
    dark.setColor(QPalette::Button, Qt::darkBlue);
    window.setPalette(dark);
    auto *pane = new CCategoriesWidget(&window);
    pane->AddItem(kCancel, kCancel, QIcon(), QIcon());
    pane->resize(160, 200);
    window.show();
    const QImage shot = pane->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(1, 1)), QColor(Qt::white));
    EXPECT_EQ(QColor(shot.pixel(80, 190)), QColor(Qt::white));
}

TEST(CCategoriesWidget, DisplayHelpOnEveryShowWhileAPageIsSet)
{
    QWidget window;
    auto *pane = new CCategoriesWidget(&window);
    QSignalSpy help(pane, &CCategoriesWidget::DisplayHelp);
    window.show();
    EXPECT_EQ(help.count(), 0); // no page yet

    pane->SetHelpPage(u"volumes.htm", u"Volumes");
    EXPECT_EQ(help.count(), 0); // nothing until the next show
    pane->hide();
    pane->show();
    ASSERT_EQ(help.count(), 1);
    EXPECT_EQ(help.at(0).at(0).toString(), QStringLiteral("volumes.htm"));
    EXPECT_EQ(help.at(0).at(1).toString(), QStringLiteral("Volumes"));

    pane->show(); // already shown: no show event
    EXPECT_EQ(help.count(), 1);
    window.hide();
    window.show();
    pane->hide();
    pane->show();
    EXPECT_EQ(help.count(), 3);
    EXPECT_EQ(help.at(2), help.at(0));

    pane->SetHelpPage(WString(), u"Untitled");
    pane->hide();
    pane->show();
    EXPECT_EQ(help.count(), 3);
}

TEST(CCategoriesWidget, SetItemEnabledByNameSwitchesStateAndIcon)
{
    CCategoriesWidget pane;
    const QIcon on = Solid(Qt::blue);
    const QIcon off = Solid(Qt::gray);
    QWidget *first = pane.AddItem(kCancel, kCancel, on, off);
    QWidget *second = pane.AddItem(kMonth, kMonth, on, off);
    first->setObjectName(QStringLiteral("volumes"));
    second->setObjectName(QStringLiteral("schedules"));
    auto icon = [](QWidget *w) { return static_cast<QPushButton *>(w)->icon().cacheKey(); };

    pane.setItemEnabled(QStringLiteral("schedules"), false);
    EXPECT_TRUE(first->isEnabled());
    EXPECT_FALSE(second->isEnabled());
    EXPECT_EQ(icon(second), off.cacheKey());
    pane.setItemEnabled(QStringLiteral("schedules"), true);
    EXPECT_TRUE(second->isEnabled());
    EXPECT_EQ(icon(second), on.cacheKey());

    pane.setItemEnabled(QStringLiteral("nowhere"), false);
    EXPECT_TRUE(first->isEnabled());
    EXPECT_TRUE(second->isEnabled());

    pane.setItemEnabled(QString(), false); // a null name takes the first button
    EXPECT_FALSE(first->isEnabled());
    EXPECT_EQ(icon(first), off.cacheKey());

    // A plain push button placed in the pane by the caller is enabled or disabled, not miscast.
    auto *plain = new QPushButton(&pane);
    plain->setObjectName(QStringLiteral("plain"));
    pane.setItemEnabled(QStringLiteral("plain"), false);
    EXPECT_FALSE(plain->isEnabled());
}

TEST(CCategoriesWidget, SettersReachTheButtonAndIgnoreNull)
{
    CCategoriesWidget pane;
    QWidget *item = pane.AddItem(kCancel, kCancel, QIcon(), QIcon());
    auto *button = static_cast<QPushButton *>(item);
    pane.SetItemText(item, kMonth);
    pane.SetItemToolTip(item, kCheckBox);
    EXPECT_EQ(button->text(), tstest::LangText(kMonth));
    EXPECT_EQ(button->toolTip(), tstest::LangText(kCheckBox));
    const QIcon on = Solid(Qt::red);
    const QIcon off = Solid(Qt::gray);
    static_cast<CTsButton *>(button)->setEnabled(false);
    pane.SetItemIcon(item, on, off);
    EXPECT_EQ(button->icon().cacheKey(), off.cacheKey());

    pane.SetItemIconSize(QSize(32, 32));
    QWidget *later = pane.AddItem(kMonth, kMonth, QIcon(), QIcon());
    EXPECT_EQ(button->iconSize(), QSize(32, 32));
    EXPECT_EQ(static_cast<QPushButton *>(later)->iconSize(), QPushButton().iconSize());

    pane.SetItemText(nullptr, kMonth);
    pane.SetItemToolTip(nullptr, kMonth);
    pane.SetItemIcon(nullptr, on, off);
}

TEST(CCategoriesWidget, ResetDeletesTheButtonsAndStartsAFreshColumn)
{
    QWidget window;
    auto *pane = new CCategoriesWidget(&window);
    QPointer<QWidget> first = pane->AddItem(kCancel, kCancel, QIcon(), QIcon());
    QPointer<QWidget> second = pane->AddItem(kMonth, kMonth, QIcon(), QIcon());
    QPointer<QWidget> third = pane->AddItem(kCheckBox, kCheckBox, QIcon(), QIcon());
    delete second.data(); // the caller may remove a button itself
    pane->Reset();
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(third.isNull());
    EXPECT_EQ(pane->layout()->count(), 0);

    QWidget *fresh = pane->AddItem(kMonth, kMonth, QIcon(), QIcon());
    EXPECT_EQ(pane->layout()->count(), 1);
    pane->resize(pane->sizeHint());
    window.show();
    EXPECT_EQ(fresh->geometry().topLeft(), QPoint(3, 3));
    pane->Reset();
    pane->Reset();
    EXPECT_EQ(pane->findChildren<QPushButton *>().size(), 0);
}

TEST(CCategoriesWidget, ResetFromAButtonsOwnClickIsSafe)
{
    // A pane that rebuilds its column when a category is picked deletes the button whose press is
    // still being delivered.
    QWidget window;
    auto *pane = new CCategoriesWidget(&window);
    QPointer<QWidget> first = pane->AddItem(kCancel, kCancel, QIcon(), QIcon());
    QObject::connect(static_cast<QPushButton *>(first.data()), &QPushButton::clicked, pane, [pane] {
        pane->Reset();
        pane->AddItem(kMonth, kMonth, QIcon(), QIcon());
    });
    window.show();
    QTest::mousePress(first, Qt::LeftButton); // the release would go to a widget that is gone
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(pane->findChildren<QPushButton *>().size(), 1);
}

} // namespace
