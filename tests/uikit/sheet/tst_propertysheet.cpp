// The sheet's frame: buttons and their labels, the layout of each mode, the wizard header band,
// closing without asking the pages, and what dies with the sheet.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMetaMethod>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>

#include <QGridLayout>
#include <QVBoxLayout>
#include <iterator>

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
    return page->parentWidget()->findChild<QWidget *>(QStringLiteral("headerBand"), Qt::FindDirectChildrenOnly);
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

// Callers connect to these by signature text and derived sheets override them, so the table of
// slots (signature, access, parameter names, order) is part of the interface.
TEST(PropertySheetFrame, MetaObjectDeclaresTheButtonSlotsAndTheStepSlot)
{
    const QMetaObject &meta = CTsPropertySheet::staticMetaObject;
    EXPECT_EQ(meta.superClass(), &QDialog::staticMetaObject);
    struct Row {
        const char *signature;
        QMetaMethod::Access access;
        QList<QByteArray> parameterNames;
    };
    const Row rows[] = {
        {"OnBackButton()", QMetaMethod::Public, {}},
        {"OnNextButton()", QMetaMethod::Public, {}},
        {"OnFinishButton()", QMetaMethod::Public, {}},
        {"OnOkButton()", QMetaMethod::Public, {}},
        {"OnCurrentWidgetChanged(int)", QMetaMethod::Private, {"index"}},
    };
    ASSERT_EQ(meta.methodCount() - meta.methodOffset(), int(std::size(rows)));
    for (int i = 0; i < int(std::size(rows)); ++i) {
        SCOPED_TRACE(rows[i].signature);
        const QMetaMethod method = meta.method(meta.methodOffset() + i);
        EXPECT_EQ(method.methodSignature(), QByteArray(rows[i].signature));
        EXPECT_EQ(method.methodType(), QMetaMethod::Slot);
        EXPECT_EQ(method.access(), rows[i].access);
        EXPECT_EQ(method.parameterNames(), rows[i].parameterNames);
    }
    EXPECT_EQ(meta.propertyCount(), meta.propertyOffset());
    EXPECT_EQ(meta.enumeratorCount(), meta.enumeratorOffset());
    EXPECT_EQ(meta.classInfoCount(), meta.classInfoOffset());

    CTsPropertySheet sheet;
    EXPECT_EQ(sheet.qt_metacast("CTsPropertySheet"), static_cast<void *>(&sheet));
    EXPECT_EQ(sheet.qt_metacast("QDialog"), static_cast<void *>(static_cast<QDialog *>(&sheet)));
    EXPECT_EQ(sheet.qt_metacast("CTsPropertyPage"), nullptr);
}

// A sheet that takes over what each button does, without a meta-object of its own.
class CountingSheet : public CTsPropertySheet
{
public:
    void OnBackButton() override { calls << QStringLiteral("Back"); }
    void OnNextButton() override { calls << QStringLiteral("Next"); }
    void OnFinishButton() override { calls << QStringLiteral("Finish"); }
    void OnOkButton() override { calls << QStringLiteral("OK"); }
    QStringList calls;
};

TEST(PropertySheetFrame, ButtonsReachTheOverridesOfADerivedSheet)
{
    for (bool wizard : {false, true}) {
        SCOPED_TRACE(wizard ? "wizard" : "property sheet");
        HookLog log;
        CountingSheet sheet;
        sheet.SetWizardMode(wizard);
        sheet.AddPage(new RecordingPage("one", &log));
        sheet.AddPage(new RecordingPage("two", &log));
        sheet.CreateSheet();
        sheet.show();
        QApplication::processEvents();
        QSignalSpy accepted(&sheet, &QDialog::accepted);
        QStringList expected;
        if (wizard) {
            sheet.GetBackButton()->setEnabled(true);
            sheet.GetFinishButton()->setVisible(true);
            QTest::mouseClick(sheet.GetBackButton(), Qt::LeftButton);
            QTest::mouseClick(sheet.GetNextButton(), Qt::LeftButton);
            QTest::mouseClick(sheet.GetFinishButton(), Qt::LeftButton);
            expected << "Back" << "Next" << "Finish";
            EXPECT_EQ(sheet.findChild<QStackedWidget *>()->currentIndex(), 0);
        } else {
            QTest::mouseClick(ButtonLabelled(&sheet, sheettest::ModuleText(61406)), Qt::LeftButton);
            expected << "OK";
        }
        EXPECT_EQ(sheet.calls, expected);
        EXPECT_EQ(accepted.count(), 0);
        EXPECT_TRUE(sheet.isVisible());
        EXPECT_TRUE(log.calls.isEmpty()) << log.calls.join(QLatin1Char(' ')).toStdString();
    }
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
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) // not grey when inactive
        EXPECT_EQ(header->palette().color(group, QPalette::Window),
                  QColor(GetRValue(window), GetGValue(window), GetBValue(window))) << "group " << group;
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

    // A 7-pixel gap on top, then the grid (margin 3, spacing 7; the picture spans both lines),
    // then the line, with no margin around the column.
    auto *column = qobject_cast<QVBoxLayout *>(header->layout());
    ASSERT_NE(column, nullptr);
    EXPECT_EQ(column->contentsMargins(), QMargins(0, 0, 0, 0));
    EXPECT_EQ(column->spacing(), 7);
    ASSERT_EQ(column->count(), 3);
    ASSERT_NE(column->itemAt(0)->spacerItem(), nullptr);
    EXPECT_EQ(column->itemAt(0)->sizeHint().height(), 7);
    auto *grid = qobject_cast<QGridLayout *>(column->itemAt(1)->layout());
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(column->itemAt(2)->widget(), SunkenLineIn(header));
    EXPECT_EQ(grid->contentsMargins(), QMargins(3, 3, 3, 3));
    EXPECT_EQ(grid->spacing(), 7);
    int row = -1, col = -1, rowSpan = 0, colSpan = 0;
    grid->getItemPosition(grid->indexOf(picture), &row, &col, &rowSpan, &colSpan);
    EXPECT_EQ(QRect(col, row, colSpan, rowSpan), QRect(1, 0, 1, 2));
    grid->getItemPosition(grid->indexOf(subtitle), &row, &col, &rowSpan, &colSpan);
    EXPECT_EQ(QRect(col, row, colSpan, rowSpan), QRect(0, 1, 1, 1));
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
