// The sheet's frame: buttons and their labels, the layout of each mode, the wizard header band,
// closing without asking the pages, and what dies with the sheet.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>

#include "sheettestutil.h"

using sheettest::HookLog;
using sheettest::RecordingPage;

namespace {

QPushButton *ButtonLabelled(QWidget *root, const QString &text)
{
    for (QPushButton *button : root->findChildren<QPushButton *>())
        if (button->text() == text)
            return button;
    return nullptr;
}

// The header band that the sheet put above `page`, or null when there is none.
QWidget *HeaderOf(CTsPropertyPage *page)
{
    QWidget *container = page->parentWidget();
    for (QWidget *child : container->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        if (child != page)
            return child;
    return nullptr;
}

QList<QLabel *> LabelsOf(QWidget *header)
{
    return header->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
}

QFrame *SunkenLineIn(QWidget *widget)
{
    for (QFrame *frame : widget->findChildren<QFrame *>(QString(), Qt::FindDirectChildrenOnly))
        if (frame->frameStyle() == (QFrame::HLine | QFrame::Sunken))
            return frame;
    return nullptr;
}

QPixmap Filled(const QSize &size, Qt::GlobalColor colour)
{
    QPixmap pixmap(size);
    pixmap.fill(colour);
    return pixmap;
}

TEST(PropertySheetFrame, ButtonsCarryTheLanguageModuleLabels)
{
    CTsPropertySheet sheet;
    struct Row {
        UINT id;
        QPushButton *button;
        const char *name;
    };
    const Row rows[] = {
        {327, sheet.GetNextButton(), "Next"},
        {328, sheet.GetBackButton(), "Back"},
        {170, sheet.GetFinishButton(), "Finish"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_FALSE(sheettest::ModuleText(row.id).isEmpty());
        EXPECT_EQ(row.button->text(), sheettest::ModuleText(row.id));
    }
    // OK and Cancel have no accessor; find them by their labels among the sheet's buttons.
    EXPECT_NE(ButtonLabelled(&sheet, sheettest::ModuleText(61406)), nullptr);
    EXPECT_NE(ButtonLabelled(&sheet, sheettest::ModuleText(61407)), nullptr);
}

TEST(PropertySheetFrame, TitleBarHasNoContextHelpButton)
{
    CTsPropertySheet sheet;
    const Qt::WindowFlags flags = sheet.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(flags & Qt::WindowContextHelpButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinMaxButtonsHint);
    EXPECT_STREQ(sheet.metaObject()->className(), "CTsPropertySheet");
}

TEST(PropertySheetFrame, PropertySheetModeShowsTabsLineAndOkCancelAtTheRight)
{
    HookLog log;
    CTsPropertySheet sheet;
    sheet.AddPage(new RecordingPage("General", &log));
    sheet.CreateSheet();
    sheet.resize(480, 360);
    sheet.show();
    QApplication::processEvents();

    QTabWidget *tabs = sheet.findChild<QTabWidget *>();
    ASSERT_NE(tabs, nullptr);
    EXPECT_TRUE(tabs->isVisible());
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("General"));
    ASSERT_NE(SunkenLineIn(&sheet), nullptr);
    EXPECT_TRUE(SunkenLineIn(&sheet)->isVisible());

    QPushButton *ok = ButtonLabelled(&sheet, sheettest::ModuleText(61406));
    QPushButton *cancel = ButtonLabelled(&sheet, sheettest::ModuleText(61407));
    ASSERT_TRUE(ok && cancel);
    EXPECT_TRUE(ok->isVisible());
    EXPECT_TRUE(cancel->isVisible());
    EXPECT_FALSE(sheet.GetBackButton()->isVisible());
    EXPECT_FALSE(sheet.GetNextButton()->isVisible());
    EXPECT_FALSE(sheet.GetFinishButton()->isVisible());
    EXPECT_LT(ok->geometry().right(), cancel->geometry().left());
    EXPECT_EQ(cancel->geometry().right() + 1, sheet.width() - 12);
    EXPECT_EQ(cancel->geometry().bottom() + 1, sheet.height() - 12);
    // Margin 0: the tab widget reaches the dialog's edges.
    EXPECT_EQ(tabs->geometry().left(), 0);
    EXPECT_EQ(tabs->geometry().top(), 0);
    EXPECT_EQ(tabs->geometry().right() + 1, sheet.width());
}

TEST(PropertySheetFrame, WizardRowIsBackNextFinishCancelRightAligned)
{
    HookLog log;
    CTsPropertySheet sheet;
    sheet.SetWizardMode(true);
    sheet.AddPage(new RecordingPage("one", &log));
    sheet.AddPage(new RecordingPage("two", &log));
    sheet.CreateSheet();
    sheet.resize(520, 380);
    sheet.show();
    QApplication::processEvents();

    QPushButton *back = sheet.GetBackButton();
    QPushButton *next = sheet.GetNextButton();
    QPushButton *finish = sheet.GetFinishButton();
    QPushButton *cancel = ButtonLabelled(&sheet, sheettest::ModuleText(61407));
    ASSERT_NE(cancel, nullptr);
    EXPECT_TRUE(back->isVisible());
    EXPECT_TRUE(next->isVisible());
    EXPECT_FALSE(finish->isVisible()); // first of two steps
    EXPECT_FALSE(back->isEnabled());
    EXPECT_LT(back->geometry().right(), next->geometry().left());
    EXPECT_LT(next->geometry().right(), cancel->geometry().left());
    EXPECT_EQ(cancel->geometry().right() + 1, sheet.width() - 12);
    EXPECT_EQ(cancel->geometry().bottom() + 1, sheet.height() - 12);
    EXPECT_FALSE(sheet.findChild<QTabWidget *>()->isVisible());

    sheet.OnNextButton();
    QApplication::processEvents();
    EXPECT_TRUE(finish->isVisible());
    EXPECT_LT(next->geometry().right(), finish->geometry().left());
    EXPECT_LT(finish->geometry().right(), cancel->geometry().left());
    EXPECT_EQ(cancel->geometry().right() + 1, sheet.width() - 12);
}

TEST(PropertySheetFrame, HeaderBandHasBoldTitleSubtitlePictureAndSunkenLine)
{
    HookLog log;
    CTsPropertySheet sheet;
    sheet.SetWizardMode(true);
    sheet.SetHeaderPixmap(Filled(QSize(48, 40), Qt::red));
    auto *page = new RecordingPage("p", &log);
    sheettest::SetHeaderTexts(page, "Start time", "Pick when the first run starts.");
    sheet.AddPage(page);
    sheet.CreateSheet();

    QWidget *header = HeaderOf(page);
    ASSERT_NE(header, nullptr);
    EXPECT_TRUE(header->autoFillBackground());
    EXPECT_EQ(header->backgroundRole(), QPalette::Window);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(header->palette().brush(QPalette::Active, QPalette::Window).color(),
              QColor(GetRValue(window), GetGValue(window), GetBValue(window)));
    ASSERT_NE(SunkenLineIn(header), nullptr);

    const QList<QLabel *> labels = LabelsOf(header);
    ASSERT_EQ(labels.size(), 3);
    QLabel *title = labels[0];
    QLabel *subtitle = labels[1];
    QLabel *picture = labels[2];
    EXPECT_EQ(title->text(), QStringLiteral("Start time"));
    EXPECT_TRUE(title->font().bold());
    EXPECT_EQ(title->indent(), 14);
    EXPECT_EQ(subtitle->text(), QStringLiteral("Pick when the first run starts."));
    EXPECT_FALSE(subtitle->font().bold());
    EXPECT_TRUE(subtitle->wordWrap());
    EXPECT_EQ(subtitle->indent(), 21);
    EXPECT_EQ(picture->size(), QSize(48, 40));
    EXPECT_EQ(picture->pixmap(Qt::ReturnByValue).toImage().pixelColor(5, 5), QColor(Qt::red));
}

TEST(PropertySheetFrame, HeadersAreBuiltOnceWithThePixmapOfTheirAddingTime)
{
    HookLog log;
    CTsPropertySheet sheet;
    sheet.SetWizardMode(true);
    auto *bare = new RecordingPage("bare", &log);
    sheettest::SetHeaderTexts(bare, "Bare", "No picture yet");
    sheet.AddPage(bare);
    sheet.SetHeaderPixmap(Filled(QSize(30, 20), Qt::blue));
    auto *blue = new RecordingPage("blue", &log);
    sheettest::SetHeaderTexts(blue, "Blue", "sub");
    sheet.AddPage(blue);
    sheet.SetHeaderPixmap(Filled(QSize(50, 10), Qt::green));

    // Later changes to the page reach no header already built.
    sheettest::SetHeaderTexts(blue, "Changed", "changed");
    blue->SetShowHeader(0);

    const QList<QLabel *> bareLabels = LabelsOf(HeaderOf(bare));
    ASSERT_EQ(bareLabels.size(), 3);
    EXPECT_EQ(bareLabels[0]->text(), QStringLiteral("Bare"));
    EXPECT_EQ(bareLabels[1]->text(), QStringLiteral("No picture yet"));
    EXPECT_EQ(bareLabels[2]->size(), QSize(0, 0));

    const QList<QLabel *> blueLabels = LabelsOf(HeaderOf(blue));
    ASSERT_EQ(blueLabels.size(), 3);
    EXPECT_EQ(blueLabels[0]->text(), QStringLiteral("Blue"));
    EXPECT_EQ(blueLabels[2]->size(), QSize(30, 20));
    EXPECT_EQ(blueLabels[2]->pixmap(Qt::ReturnByValue).toImage().pixelColor(1, 1), QColor(Qt::blue));
}

TEST(PropertySheetFrame, PageWithoutHeaderGetsNoBand)
{
    HookLog log;
    CTsPropertySheet sheet;
    sheet.SetWizardMode(true);
    auto *page = new RecordingPage("p", &log);
    page->SetShowHeader(0);
    sheet.AddPage(page);
    EXPECT_EQ(HeaderOf(page), nullptr);
}

TEST(PropertySheetFrame, CancelAndEscapeRejectWithoutAskingAnyPage)
{
    for (bool wizard : {false, true}) {
        for (bool useEscape : {false, true}) {
            SCOPED_TRACE(testing::Message() << "wizard " << wizard << ", escape " << useEscape);
            HookLog log;
            CTsPropertySheet sheet;
            sheet.SetWizardMode(wizard);
            auto *page = new RecordingPage("p", &log);
            page->vetoQueryOK = page->vetoOK = page->vetoBack = page->vetoNext = true;
            page->vetoFinish = true;
            sheet.AddPage(page);
            sheet.CreateSheet();
            sheet.show();
            QApplication::processEvents();
            QSignalSpy rejected(&sheet, &QDialog::rejected);
            QSignalSpy accepted(&sheet, &QDialog::accepted);
            if (useEscape)
                QTest::keyClick(&sheet, Qt::Key_Escape);
            else
                QTest::mouseClick(ButtonLabelled(&sheet, sheettest::ModuleText(61407)),
                                  Qt::LeftButton);
            EXPECT_EQ(rejected.count(), 1);
            EXPECT_EQ(accepted.count(), 0);
            EXPECT_EQ(sheet.result(), int(QDialog::Rejected));
            EXPECT_FALSE(sheet.isVisible());
            EXPECT_TRUE(log.calls.isEmpty()) << log.calls.join(QLatin1Char(' ')).toStdString();
        }
    }
}

// The widgets of the mode not chosen, removed tabs and header bands all go with the sheet.
TEST(PropertySheetFrame, NothingOutlivesTheSheet)
{
    for (bool wizard : {false, true}) {
        SCOPED_TRACE(wizard ? "wizard" : "property sheet");
        HookLog log;
        auto *sheet = new CTsPropertySheet;
        sheet->SetWizardMode(wizard);
        sheet->SetHeaderPixmap(Filled(QSize(16, 16), Qt::red));
        auto *kept = new RecordingPage("kept", &log);
        auto *removed = new RecordingPage("removed", &log);
        sheet->AddPage(kept);
        sheet->AddPage(removed);
        sheet->RemovePage(removed);
        sheet->CreateSheet();
        QList<QPointer<QObject>> watched = {kept, removed, sheet->GetBackButton(),
                                            sheet->GetNextButton(), sheet->GetFinishButton(),
                                            sheet->findChild<QTabWidget *>(),
                                            sheet->findChild<QStackedWidget *>()};
        for (QPushButton *button : sheet->findChildren<QPushButton *>())
            watched << button;
        delete sheet;
        for (const QPointer<QObject> &object : watched)
            EXPECT_TRUE(object.isNull()) << object->metaObject()->className();
    }
}

// Showing Finish before the sheet is laid out once opened it as a window of its own.
TEST(PropertySheetFrame, ButtonStateBeforeLayoutOpensNoWindow)
{
    HookLog log;
    CTsPropertySheet sheet;
    sheet.SetWizardMode(true);
    sheet.AddPage(new RecordingPage("only", &log)); // shows Finish: the only step is the last
    sheet.SetBackButtonVisible(true);
    sheet.SetCancelButtonVisible(true);
    for (QWidget *window : QApplication::topLevelWidgets())
        EXPECT_FALSE(window->isVisible()) << window->metaObject()->className();

    sheet.CreateSheet();
    sheet.show();
    QApplication::processEvents();
    EXPECT_TRUE(sheet.GetFinishButton()->isVisible());
    EXPECT_EQ(sheet.GetFinishButton()->window(), &sheet);
    EXPECT_TRUE(sheet.GetFinishButton()->isDefault());
    EXPECT_FALSE(sheet.GetNextButton()->isDefault());
}

TEST(PropertySheetFrame, SecondCreateSheetKeepsTheFirstLayout)
{
    CTsPropertySheet sheet;
    sheet.CreateSheet();
    QLayout *first = sheet.layout();
    sheet.CreateSheet();
    EXPECT_EQ(sheet.layout(), first);
    int lines = 0;
    for (QFrame *frame : sheet.findChildren<QFrame *>(QString(), Qt::FindDirectChildrenOnly))
        lines += frame->frameStyle() == (QFrame::HLine | QFrame::Sunken);
    EXPECT_EQ(lines, 1);
}

} // namespace
