// Pages and navigation: stepping with vetoing hooks, Finish and Back state, the default button,
// OK's two passes, removed and inserted tabs, and operations of one mode in the other.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QGridLayout>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <memory>
#include <vector>

#include "sheettestutil.h"

using sheettest::HookLog;
using sheettest::RecordingPage;

namespace {

QString Calls(const HookLog &log)
{
    return log.calls.join(QLatin1Char(' '));
}

// Gives the protected button-state update to the tests.
class OpenSheet : public CTsPropertySheet
{
public:
    using CTsPropertySheet::UpdateWiwardButtonsState;
};

class SheetTest : public ::testing::Test
{
protected:
    void Build(bool wizard, int pageCount, bool layOut = true)
    {
        sheet = std::make_unique<OpenSheet>();
        sheet->SetWizardMode(wizard);
        for (int i = 0; i < pageCount; ++i) {
            pages.push_back(new RecordingPage(QStringLiteral("p%1").arg(i + 1), &log));
            sheet->AddPage(pages.back());
        }
        if (layOut)
            sheet->CreateSheet();
    }

    QStackedWidget *Stack() const { return sheet->findChild<QStackedWidget *>(); }
    QTabWidget *Tabs() const { return sheet->findChild<QTabWidget *>(); }
    int Step() const { return Stack()->currentIndex(); }
    QPushButton *Back() const { return sheet->GetBackButton(); }
    QPushButton *Next() const { return sheet->GetNextButton(); }
    QPushButton *Finish() const { return sheet->GetFinishButton(); }
    QPushButton *Ok() const
    {
        for (QPushButton *button : sheet->findChildren<QPushButton *>())
            if (button->text() == sheettest::ModuleText(61406))
                return button;
        return nullptr;
    }
    // Whether a button shows with the dialog (on screen or not).
    bool Shown(QWidget *w) const { return w->isVisibleTo(sheet.get()); }
    QPushButton *Default() const
    {
        QPushButton *found = nullptr;
        for (QPushButton *button : {Back(), Next(), Finish()}) {
            if (button->isDefault()) {
                EXPECT_EQ(found, nullptr) << "two default buttons";
                found = button;
            }
        }
        return found;
    }

    HookLog log;
    std::unique_ptr<OpenSheet> sheet;
    std::vector<RecordingPage *> pages;
};

using WizardNavigation = SheetTest;
using WizardDefaultButton = SheetTest;
using PropertySheetOk = SheetTest;
using SheetPages = SheetTest;

TEST_F(WizardNavigation, NextVetoStaysAndBackStillWorks)
{
    Build(true, 3);
    pages[1]->vetoNext = true;
    QTest::mouseClick(Next(), Qt::LeftButton);
    EXPECT_EQ(Step(), 1);
    QTest::mouseClick(Next(), Qt::LeftButton);
    EXPECT_EQ(Step(), 1);
    EXPECT_FALSE(Shown(Finish()));
    QTest::mouseClick(Back(), Qt::LeftButton);
    EXPECT_EQ(Step(), 0);
    EXPECT_EQ(Calls(log), QStringLiteral("p1.Next p2.Next p2.Back"));
}

TEST_F(WizardNavigation, BackVetoStays)
{
    Build(true, 3);
    sheet->OnNextButton();
    sheet->OnNextButton();
    pages[2]->vetoBack = true;
    QTest::mouseClick(Back(), Qt::LeftButton);
    EXPECT_EQ(Step(), 2);
    EXPECT_TRUE(Back()->isEnabled());
    EXPECT_TRUE(Shown(Finish()));
    pages[2]->vetoBack = false;
    QTest::mouseClick(Back(), Qt::LeftButton);
    EXPECT_EQ(Step(), 1);
    EXPECT_FALSE(Shown(Finish()));
    EXPECT_EQ(Calls(log), QStringLiteral("p1.Next p2.Next p3.Back p3.Back"));
}

TEST_F(WizardNavigation, BackAndFinishFollowTheStep)
{
    Build(true, 3);
    struct Row {
        int step;
        bool backEnabled;
        bool finishShown;
    };
    const Row rows[] = {{0, false, false}, {1, true, false}, {2, true, true}};
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << "step " << row.step);
        ASSERT_EQ(Step(), row.step);
        EXPECT_EQ(Back()->isEnabled(), row.backEnabled);
        EXPECT_EQ(Shown(Finish()), row.finishShown);
        EXPECT_TRUE(Shown(Next()));
        EXPECT_TRUE(Next()->isEnabled());
        sheet->OnNextButton();
    }
}

TEST_F(WizardNavigation, SingleStepShowsFinishAtOnce)
{
    Build(true, 1);
    EXPECT_EQ(sheet->GetPageCount(), 1);
    EXPECT_TRUE(Shown(Finish()));
    EXPECT_FALSE(Back()->isEnabled());
}

TEST_F(WizardNavigation, BackOnFirstStepAsksAndStays)
{
    Build(true, 2);
    sheet->OnBackButton(); // the disabled button cannot be clicked; the slot can be called
    EXPECT_EQ(Step(), 0);
    EXPECT_EQ(Calls(log), QStringLiteral("p1.Back"));
}

TEST_F(WizardNavigation, NextOnLastStepAsksAndStays)
{
    Build(true, 2);
    sheet->OnNextButton();
    log.calls.clear();
    QTest::mouseClick(Next(), Qt::LeftButton);
    EXPECT_EQ(Step(), 1);
    EXPECT_EQ(Calls(log), QStringLiteral("p2.Next"));
}

TEST_F(WizardNavigation, FinishAsksOnlyTheCurrentPage)
{
    Build(true, 3);
    sheet->OnNextButton();
    sheet->OnNextButton();
    sheet->show();
    QApplication::processEvents();
    log.calls.clear();
    pages[2]->vetoFinish = true;
    QSignalSpy accepted(sheet.get(), &QDialog::accepted);
    QTest::mouseClick(Finish(), Qt::LeftButton);
    EXPECT_EQ(accepted.count(), 0);
    EXPECT_TRUE(sheet->isVisible());

    pages[2]->vetoFinish = false;
    QTest::mouseClick(Finish(), Qt::LeftButton);
    EXPECT_EQ(accepted.count(), 1);
    EXPECT_EQ(sheet->result(), int(QDialog::Accepted));
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(Calls(log), QStringLiteral("p3.Finish p3.Finish"));
}

TEST_F(WizardNavigation, EnterPressesTheDefaultButton)
{
    Build(true, 3);
    // A focusable control on the page, so the focus does not sit on a button.
    pages[0]->setFocusPolicy(Qt::StrongFocus);
    sheet->show();
    QApplication::processEvents();
    sheet->SetWizardButtonDefault();
    ASSERT_EQ(Default(), Next());
    QTest::keyClick(sheet.get(), Qt::Key_Return);
    EXPECT_EQ(Step(), 1);
    EXPECT_EQ(Calls(log), QStringLiteral("p1.Next"));
}

TEST_F(WizardNavigation, AStepChangeNamesTheStepAndFocusesItsFirstControl)
{
    Build(true, 3);
    auto *edit = new QLineEdit(pages[1]);
    sheet->setWindowTitle(QStringLiteral("Wizard"));
    sheet->show();
    QApplication::setActiveWindow(sheet.get());
    QApplication::processEvents();
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(sheet.get());
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Dialog);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Wizard: p1"));
    Next()->click();
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Wizard: p2"));
    EXPECT_EQ(QApplication::focusWidget(), edit);
    // A step without a control of its own leaves the focus on the default button.
    Next()->click();
    EXPECT_EQ(QApplication::focusWidget(), Finish());
    // A name the caller gives wins.
    sheet->setAccessibleName(QStringLiteral("Own"));
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Own"));
}

TEST_F(WizardNavigation, SetActivePageShowsTheStepButKeepsBackAndFinish)
{
    Build(true, 3);
    sheet->SetActivePage(pages[2]);
    EXPECT_EQ(Step(), 2);
    EXPECT_FALSE(Back()->isEnabled());
    EXPECT_FALSE(Shown(Finish()));
    EXPECT_EQ(Default(), Next()); // picked again from the buttons' state
    EXPECT_TRUE(log.calls.isEmpty());

    RecordingPage stranger(QStringLiteral("x"), &log);
    sheet->SetActivePage(&stranger);
    EXPECT_EQ(Step(), 2);
    sheet->SetActivePage(nullptr);
    EXPECT_EQ(Step(), 2);
}

TEST_F(WizardDefaultButton, AfterEachKindOfChange)
{
    Build(true, 3);
    // Adding pages: the first addition made Finish the default and the others left it.
    EXPECT_EQ(Default(), Finish());

    sheet->OnNextButton(); // middle step
    EXPECT_EQ(Default(), Next());
    sheet->OnNextButton(); // last step
    EXPECT_EQ(Default(), Finish());
    sheet->OnBackButton();
    EXPECT_EQ(Default(), Next());

    // Next hidden on a middle step: the next step change picks Back.
    sheet->SetNextButtonVisible(false);
    EXPECT_EQ(Default(), Back()); // Finish is hidden here, Back is enabled and shown
    sheet->OnBackButton();
    EXPECT_EQ(Step(), 0);
    EXPECT_EQ(Default(), Next()); // Back is disabled on the first step: Next keeps it, hidden
    sheet->SetActivePage(pages[1]);
    EXPECT_EQ(Default(), Next()); // nothing applies: unchanged
    sheet->UpdateWiwardButtonsState(1);
    sheet->SetActivePage(pages[1]);
    EXPECT_EQ(Default(), Back());

    sheet->SetNextButtonVisible(true);
    EXPECT_EQ(Default(), Next());
    sheet->SetEnabledNextButton(false);
    EXPECT_EQ(Default(), Back()); // Finish is hidden on a middle step
    sheet->SetFinishButtonVisible(true);
    EXPECT_EQ(Default(), Finish());
    sheet->SetEnabledFinishButton(false);
    EXPECT_EQ(Default(), Back());
    sheet->SetBackButtonVisible(false);
    EXPECT_EQ(Default(), Back()); // none applies: unchanged
    sheet->SetEnabledNextButton(true);
    EXPECT_EQ(Default(), Next());
}

TEST_F(WizardDefaultButton, HiddenNextOnMiddleStepMakesBackDefaultOnStepChange)
{
    Build(true, 4);
    sheet->SetNextButtonVisible(false);
    EXPECT_EQ(Default(), Finish()); // nothing applies on the first step: as the adding left it
    sheet->OnNextButton();          // the slot still works with the button hidden
    EXPECT_EQ(Step(), 1);
    EXPECT_EQ(Default(), Back());
    sheet->OnNextButton();
    EXPECT_EQ(Default(), Back());
    sheet->OnNextButton(); // last step
    EXPECT_EQ(Default(), Finish());
}

TEST_F(WizardDefaultButton, ShownDialogKeepsThePickedDefault)
{
    Build(true, 3, /*layOut=*/false);
    sheet->OnNextButton(); // Next picked before the buttons were laid out
    sheet->CreateSheet();
    pages[1]->setFocusPolicy(Qt::StrongFocus);
    sheet->show();
    QApplication::processEvents();
    EXPECT_EQ(Default(), Next());
    QTest::keyClick(sheet.get(), Qt::Key_Enter);
    EXPECT_EQ(Step(), 2);
    EXPECT_EQ(Default(), Finish());
}

TEST_F(PropertySheetOk, AllAgreeAccepts)
{
    Build(false, 3);
    sheet->show();
    QApplication::processEvents();
    QSignalSpy accepted(sheet.get(), &QDialog::accepted);
    QTest::mouseClick(Ok(), Qt::LeftButton);
    EXPECT_EQ(accepted.count(), 1);
    EXPECT_EQ(Calls(log),
              QStringLiteral("p1.QueryOK p2.QueryOK p3.QueryOK p1.OK p2.OK p3.OK"));
}

TEST_F(PropertySheetOk, QueryVetoBringsThatTabToFrontAndSkipsOk)
{
    Build(false, 3);
    sheet->show();
    QApplication::processEvents();
    pages[1]->vetoQueryOK = true;
    ASSERT_EQ(Tabs()->currentIndex(), 0);
    QSignalSpy accepted(sheet.get(), &QDialog::accepted);
    QTest::mouseClick(Ok(), Qt::LeftButton);
    EXPECT_EQ(accepted.count(), 0);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(Tabs()->currentIndex(), 1);
    EXPECT_TRUE(pages[1]->isVisible());
    EXPECT_EQ(Calls(log), QStringLiteral("p1.QueryOK p2.QueryOK"));
}

TEST_F(PropertySheetOk, OkVetoStaysOnTheShownTab)
{
    Build(false, 3);
    sheet->show();
    QApplication::processEvents();
    pages[2]->vetoOK = true;
    QSignalSpy accepted(sheet.get(), &QDialog::accepted);
    QTest::mouseClick(Ok(), Qt::LeftButton);
    EXPECT_EQ(accepted.count(), 0);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(Tabs()->currentIndex(), 0);
    EXPECT_EQ(Calls(log),
              QStringLiteral("p1.QueryOK p2.QueryOK p3.QueryOK p1.OK p2.OK p3.OK"));
}

TEST_F(PropertySheetOk, RemovedAndDisabledTabsPagesAreStillAsked)
{
    Build(false, 3);
    sheet->RemovePage(pages[1]);
    sheet->SetPageEnable(pages[2], false);
    EXPECT_EQ(Tabs()->count(), 2);
    EXPECT_EQ(Tabs()->tabText(1), QStringLiteral("p3"));
    sheet->show();
    QApplication::processEvents();
    EXPECT_FALSE(pages[1]->isVisible());

    // A veto from the removed page keeps the dialog open; there is no tab to bring forward.
    pages[1]->vetoQueryOK = true;
    QSignalSpy accepted(sheet.get(), &QDialog::accepted);
    sheet->OnOkButton();
    EXPECT_EQ(accepted.count(), 0);
    EXPECT_EQ(Tabs()->currentIndex(), 0);
    EXPECT_EQ(Calls(log), QStringLiteral("p1.QueryOK p2.QueryOK"));

    log.calls.clear();
    pages[1]->vetoQueryOK = false;
    sheet->OnOkButton();
    EXPECT_EQ(accepted.count(), 1);
    EXPECT_EQ(Calls(log),
              QStringLiteral("p1.QueryOK p2.QueryOK p3.QueryOK p1.OK p2.OK p3.OK"));
}

TEST_F(PropertySheetOk, WizardOkAcceptsAtOnce)
{
    Build(true, 2);
    pages[0]->vetoQueryOK = pages[0]->vetoOK = true;
    QSignalSpy accepted(sheet.get(), &QDialog::accepted);
    sheet->OnOkButton();
    EXPECT_EQ(accepted.count(), 1);
    EXPECT_TRUE(log.calls.isEmpty());
}

TEST_F(SheetPages, InsertedPageHasNoSheetAndIsAskedInAddingOrder)
{
    Build(false, 2);
    auto *inserted = new RecordingPage(QStringLiteral("ins"), &log);
    sheet->AddPage(0, inserted);
    EXPECT_EQ(inserted->GetSheet(), nullptr);
    EXPECT_EQ(pages[0]->GetSheet(), sheet.get());
    EXPECT_EQ(Tabs()->tabText(0), QStringLiteral("ins"));
    EXPECT_EQ(Tabs()->tabText(1), QStringLiteral("p1"));

    auto *appended = new RecordingPage(QStringLiteral("far"), &log);
    sheet->AddPage(99, appended);
    EXPECT_EQ(Tabs()->count(), 4);
    EXPECT_EQ(Tabs()->tabText(3), QStringLiteral("far"));

    sheet->OnOkButton();
    EXPECT_EQ(Calls(log), QStringLiteral("p1.QueryOK p2.QueryOK ins.QueryOK far.QueryOK "
                                         "p1.OK p2.OK ins.OK far.OK"));
    // Operations find inserted pages too.
    sheet->SetPageEnable(inserted, false);
    EXPECT_FALSE(Tabs()->isTabEnabled(0));
    EXPECT_FALSE(sheet->IsPageEnable(inserted));
    sheet->SetActivePage(appended);
    EXPECT_EQ(Tabs()->currentIndex(), 3);
}

// Each way of adding wraps the page in its own container; the page's row stretches only under a
// header band, so a page without one keeps its own height at the top.
TEST_F(SheetPages, ContainerLayoutPerWayOfAdding)
{
    enum Way { Append, AppendWithHeader, Insert };
    struct Row {
        const char *name;
        bool wizard;
        Way way;
        int pageRow;
        int pageRowStretch;
    };
    const Row rows[] = {
        {"property sheet, appended", false, Append, 0, 0},
        {"property sheet, inserted", false, Insert, 0, 0},
        {"wizard, no header", true, Append, 0, 0},
        {"wizard, header", true, AppendWithHeader, 1, 1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        pages.clear();
        Build(row.wizard, 1);
        auto *page = new RecordingPage(QStringLiteral("added"), &log);
        page->SetShowHeader(row.way == AppendWithHeader);
        if (row.way == Insert)
            sheet->AddPage(0, page);
        else
            sheet->AddPage(page);
        QWidget *container = page->parentWidget();
        ASSERT_NE(container, nullptr);
        if (row.wizard)
            EXPECT_EQ(Stack()->widget(1), container);
        else
            EXPECT_NE(Tabs()->indexOf(container), -1);
        QLayout *layout = container->layout();
        ASSERT_NE(layout, nullptr);
        EXPECT_EQ(layout->contentsMargins(), QMargins(0, 0, 0, 0));
        EXPECT_EQ(layout->spacing(), 0);
        if (row.way == Insert) {
            ASSERT_NE(qobject_cast<QVBoxLayout *>(layout), nullptr);
            EXPECT_EQ(layout->indexOf(page), 0);
            EXPECT_EQ(layout->count(), 1);
            continue;
        }
        auto *grid = qobject_cast<QGridLayout *>(layout);
        ASSERT_NE(grid, nullptr);
        EXPECT_EQ(grid->count(), row.way == AppendWithHeader ? 2 : 1);
        int r = -1, c = -1, rs = 0, cs = 0;
        grid->getItemPosition(grid->indexOf(page), &r, &c, &rs, &cs);
        EXPECT_EQ(r, row.pageRow);
        EXPECT_EQ(c, 0);
        EXPECT_EQ(grid->rowStretch(row.pageRow), row.pageRowStretch);
        if (row.way == AppendWithHeader) {
            QWidget *header = grid->itemAtPosition(0, 0)->widget();
            ASSERT_NE(header, nullptr);
            EXPECT_NE(header, page);
            EXPECT_EQ(header->parentWidget(), container);
        }
    }
}

TEST_F(SheetPages, TabEnableStateAndActivePage)
{
    Build(false, 3);
    EXPECT_TRUE(sheet->IsPageEnable(pages[1]));
    sheet->SetPageEnable(pages[1], false);
    EXPECT_FALSE(Tabs()->isTabEnabled(1));
    EXPECT_FALSE(sheet->IsPageEnable(pages[1]));
    sheet->SetPageEnable(pages[1], true);
    EXPECT_TRUE(sheet->IsPageEnable(pages[1]));

    sheet->SetActivePage(pages[2]);
    EXPECT_EQ(Tabs()->currentIndex(), 2);
    sheet->RemovePage(pages[0]);
    EXPECT_FALSE(sheet->IsPageEnable(pages[0])); // no tab
    sheet->SetActivePage(pages[0]);              // nothing to bring forward
    EXPECT_EQ(Tabs()->currentWidget(), pages[2]->parentWidget());
    sheet->RemovePage(pages[0]); // a second removal finds no tab
    EXPECT_EQ(Tabs()->count(), 2);

    RecordingPage stranger(QStringLiteral("x"), &log);
    EXPECT_FALSE(sheet->IsPageEnable(&stranger));
    EXPECT_FALSE(sheet->IsPageEnable(nullptr));
    sheet->RemovePage(&stranger);
    sheet->SetPageEnable(nullptr, false);
    EXPECT_EQ(Tabs()->count(), 2);
}

TEST_F(SheetPages, PropertySheetCountsNoSteps)
{
    Build(false, 3);
    EXPECT_EQ(sheet->GetPageCount(), 0);
    EXPECT_EQ(Tabs()->count(), 3);
    sheet->OnNextButton();
    sheet->OnBackButton();
    sheet->UpdateWiwardButtonsState(1);
    EXPECT_TRUE(log.calls.isEmpty());
    EXPECT_FALSE(Shown(Back()));
    EXPECT_TRUE(Back()->isEnabled()); // untouched outside a wizard
    EXPECT_FALSE(Finish()->isHidden());
}

TEST_F(SheetPages, SheetOnlyOperationsDoNothingInAWizard)
{
    Build(true, 3);
    sheet->OnNextButton();
    auto extra = std::make_unique<RecordingPage>(QStringLiteral("extra"), &log);
    sheet->AddPage(0, extra.get());
    EXPECT_EQ(extra->parentWidget(), nullptr);
    EXPECT_EQ(sheet->GetPageCount(), 3);

    sheet->RemovePage(pages[1]);
    sheet->SetPageEnable(pages[1], false);
    EXPECT_EQ(sheet->GetPageCount(), 3);
    EXPECT_EQ(Step(), 1);
    EXPECT_TRUE(pages[1]->isEnabled());
    for (RecordingPage *page : pages)
        EXPECT_FALSE(sheet->IsPageEnable(page));
    EXPECT_EQ(Tabs()->count(), 0);
}

TEST_F(SheetPages, NullPagesAreIgnored)
{
    Build(true, 1);
    sheet->AddPage(nullptr);
    sheet->SetActivePage(nullptr);
    EXPECT_EQ(sheet->GetPageCount(), 1);
    Build(false, 1);
    sheet->AddPage(nullptr);
    sheet->AddPage(0, nullptr);
    EXPECT_EQ(Tabs()->count(), 1);
}

TEST_F(SheetPages, EmptyWizardFinishAcceptsAndStepsDoNothing)
{
    Build(true, 0);
    sheet->OnNextButton();
    sheet->OnBackButton();
    EXPECT_EQ(Step(), -1);
    QSignalSpy accepted(sheet.get(), &QDialog::accepted);
    sheet->OnFinishButton();
    EXPECT_EQ(accepted.count(), 1);
}

TEST_F(SheetPages, ButtonTextsAndEnabledOk)
{
    Build(false, 1);
    sheet->SetNextButtonText(u"Onward");
    sheet->SetBackButtonText(u"Return");
    sheet->SetFinishButtonText(u"Done");
    EXPECT_EQ(Next()->text(), QStringLiteral("Onward"));
    EXPECT_EQ(Back()->text(), QStringLiteral("Return"));
    EXPECT_EQ(Finish()->text(), QStringLiteral("Done"));
    sheet->SetEnabledOkButton(false);
    EXPECT_FALSE(Ok()->isEnabled());
    sheet->SetCancelButtonVisible(false);
    for (QPushButton *button : sheet->findChildren<QPushButton *>()) {
        if (button->text() == sheettest::ModuleText(61407)) {
            EXPECT_FALSE(Shown(button));
        }
    }
}

} // namespace
