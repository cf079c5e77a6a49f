// The introduction page: its contents, the check box, the bitmap it takes over, and Next enabled
// again whenever it shows in a wizard.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "sheet/tspropertyintropage.h"
#include "sheettestutil.h"
#include "tswinqt.h"

using sheettest::HookLog;
using sheettest::RecordingPage;

namespace {

HBITMAP MakeBitmap(const QSize &size, Qt::GlobalColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return QtWin::imageToHBITMAP(image, QtWin::HBitmapNoAlpha);
}

CTsPropertyIntroPage *MakeIntro(bool showCheck = true)
{
    auto *intro = new CTsPropertyIntroPage(nullptr);
    intro->SetInfo(MakeBitmap(QSize(60, 120), Qt::darkBlue), u"Welcome",
                   u"This wizard schedules a run.", showCheck);
    return intro;
}

QCheckBox *CheckOf(CTsPropertyIntroPage *intro)
{
    return intro->findChild<QCheckBox *>(QStringLiteral("introWizardModeCheck"));
}

TEST(PropertyIntroPage, ContentsAfterSetInfo)
{
    std::unique_ptr<CTsPropertyIntroPage> intro(MakeIntro());
    EXPECT_EQ(intro->IsShowHeader(), 0);
    EXPECT_STREQ(intro->metaObject()->className(), "CTsPropertyPage");
    EXPECT_TRUE(intro->autoFillBackground());
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) // not grey when inactive
        EXPECT_EQ(intro->palette().color(group, QPalette::Window),
                  QColor(GetRValue(window), GetGValue(window), GetBValue(window))) << "group " << group;

    auto *picture = intro->findChild<QLabel *>(QStringLiteral("introPicture"));
    auto *title = intro->findChild<QLabel *>(QStringLiteral("introTitle"));
    auto *text = intro->findChild<QLabel *>(QStringLiteral("introText"));
    ASSERT_TRUE(picture && title && text);
    EXPECT_EQ(title->text(), QStringLiteral("Welcome"));
    EXPECT_EQ(text->text(), QStringLiteral("This wizard schedules a run."));
    EXPECT_TRUE(picture->hasScaledContents());
    EXPECT_EQ(picture->pixmap(Qt::ReturnByValue).size(), QSize(60, 120));
    EXPECT_EQ(picture->pixmap(Qt::ReturnByValue).toImage().pixelColor(3, 3), QColor(Qt::darkBlue));
    EXPECT_TRUE(title->wordWrap());
    EXPECT_TRUE(text->wordWrap());
    const QFont plain = QLabel().font();
    EXPECT_TRUE(title->font().bold());
    EXPECT_DOUBLE_EQ(title->font().pointSizeF(), plain.pointSizeF() + 4);
    EXPECT_FALSE(text->font().bold());

    QCheckBox *check = CheckOf(intro.get());
    ASSERT_NE(check, nullptr);
    EXPECT_FALSE(sheettest::ModuleText(713).isEmpty());
    EXPECT_EQ(check->text(), sheettest::ModuleText(713));
    EXPECT_TRUE(check->isVisibleTo(intro.get()));
    EXPECT_TRUE(intro->IsWizardModeCheck());

    // Laid out: the picture at the left keeps its width, the texts take the rest.
    intro->resize(500, 300);
    intro->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(intro.get()));
    EXPECT_EQ(picture->width(), 60);
    EXPECT_LT(picture->geometry().right(), title->geometry().left());
    EXPECT_GT(picture->height(), 200); // stretched to the page's height
    EXPECT_GT(check->geometry().top(), text->geometry().bottom());
}

TEST(PropertyIntroPage, TakesOverTheBitmap)
{
    HBITMAP bitmap = MakeBitmap(QSize(8, 8), Qt::red);
    CTsPropertyIntroPage intro(nullptr);
    intro.SetInfo(bitmap, u"t", u"x", true);
    EXPECT_TRUE(QtWin::fromHBITMAP(bitmap, QtWin::HBitmapNoAlpha).isNull());
    EXPECT_FALSE(DeleteObject(bitmap)); // already deleted by the page
}

// A handle that names no bitmap (none, a stray value, one already deleted) gives an empty
// picture; the texts and the check box are built all the same.
TEST(PropertyIntroPage, UnusableBitmapGivesEmptyPictureAndTheRest)
{
    HBITMAP deleted = MakeBitmap(QSize(4, 4), Qt::red);
    ASSERT_TRUE(DeleteObject(deleted));
    int stray = 0;
    const struct {
        const char *name;
        HBITMAP handle;
    } rows[] = {
        {"null", nullptr},
        {"stray", reinterpret_cast<HBITMAP>(&stray)},
        {"deleted", deleted},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        CTsPropertyIntroPage intro(nullptr);
        intro.SetInfo(row.handle, u"Title", u"Text", true);
        ASSERT_NE(CheckOf(&intro), nullptr);
        EXPECT_TRUE(intro.IsWizardModeCheck());
        int texts = 0;
        int pictures = 0;
        for (QLabel *label : intro.findChildren<QLabel *>()) {
            if (label->text() == QStringLiteral("Title") || label->text() == QStringLiteral("Text")) {
                ++texts;
            } else {
                ++pictures;
                EXPECT_TRUE(label->pixmap(Qt::ReturnByValue).isNull());
            }
        }
        EXPECT_EQ(texts, 2);
        EXPECT_EQ(pictures, 1);
    }
}

TEST(PropertyIntroPage, CheckBoxOperations)
{
    struct Row {
        bool showCheck;
        bool presetKnown; // whether SetCheckForWizardMode is called
        bool preset;
        bool enable;
        bool expectChecked;
    };
    const Row rows[] = {
        {true, false, false, true, true},   // checked after SetInfo
        {false, false, false, true, true},  // hidden, still checked
        {true, true, false, true, false},
        {false, true, false, false, false},
        {true, true, true, false, true},
    };
    int index = 0;
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << index++);
        std::unique_ptr<CTsPropertyIntroPage> intro(MakeIntro(row.showCheck));
        if (row.presetKnown)
            intro->SetCheckForWizardMode(row.preset);
        intro->SetEnabledWizardMode(row.enable);
        QCheckBox *check = CheckOf(intro.get());
        EXPECT_EQ(check->isVisibleTo(intro.get()), row.showCheck);
        EXPECT_EQ(check->isEnabled(), row.enable);
        EXPECT_EQ(intro->IsWizardModeCheck(), row.expectChecked);
        EXPECT_EQ(check->checkState() == Qt::Checked, row.expectChecked);
    }
}

TEST(PropertyIntroPage, CheckOperationsBeforeSetInfoDoNothing)
{
    CTsPropertyIntroPage intro(nullptr);
    intro.SetCheckForWizardMode(true);
    intro.SetEnabledWizardMode(false);
    EXPECT_FALSE(intro.IsWizardModeCheck());
    EXPECT_EQ(CheckOf(&intro), nullptr);
}

TEST(PropertyIntroPage, ReEnablesNextWheneverShownInAWizard)
{
    HookLog log;
    CTsPropertySheet sheet;
    sheet.SetWizardMode(true);
    CTsPropertyIntroPage *intro = MakeIntro();
    sheet.AddPage(intro);
    auto *second = new RecordingPage(QStringLiteral("p2"), &log);
    sheet.AddPage(second);
    sheet.AddPage(new RecordingPage(QStringLiteral("p3"), &log));
    sheet.CreateSheet();
    // No header band above the introduction page: its container holds the page alone.
    EXPECT_EQ(intro->parentWidget()->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly),
              QList<QWidget *>{intro});

    sheet.SetEnabledNextButton(false);
    sheet.show(); // first display
    QApplication::processEvents();
    EXPECT_TRUE(sheet.GetNextButton()->isEnabled());
    EXPECT_TRUE(sheet.GetNextButton()->isDefault());

    sheet.OnNextButton();
    sheet.SetEnabledNextButton(false); // the caller locks Next on the second step
    EXPECT_FALSE(sheet.GetNextButton()->isEnabled());
    sheet.OnBackButton();
    QApplication::processEvents();
    EXPECT_TRUE(intro->isVisible());
    EXPECT_TRUE(sheet.GetNextButton()->isEnabled());
    EXPECT_TRUE(sheet.GetNextButton()->isDefault());
}

TEST(PropertyIntroPage, LeavesAPropertySheetAlone)
{
    CTsPropertySheet sheet;
    CTsPropertyIntroPage *intro = MakeIntro();
    sheet.AddPage(intro);
    sheet.CreateSheet();
    sheet.SetEnabledOkButton(false);
    sheet.GetNextButton()->setEnabled(false);
    sheet.show();
    QApplication::processEvents();
    EXPECT_TRUE(intro->isVisible());
    EXPECT_FALSE(sheet.GetNextButton()->isEnabled());
    for (QPushButton *button : sheet.findChildren<QPushButton *>()) {
        if (button->text() == sheettest::ModuleText(61406)) {
            EXPECT_FALSE(button->isEnabled());
        }
    }
}

TEST(PropertyIntroPage, WithoutASheetShowsQuietly)
{
    std::unique_ptr<CTsPropertyIntroPage> intro(MakeIntro());
    intro->show();
    QApplication::processEvents();
    EXPECT_TRUE(intro->isVisible());
    EXPECT_EQ(intro->GetSheet(), nullptr);
}

} // namespace
