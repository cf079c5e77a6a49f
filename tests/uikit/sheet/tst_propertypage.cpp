// The page base class: header texts handed out as caller-owned BSTRs, the flags, the hooks.
#include <gtest/gtest.h>

#include <QPointer>
#include <memory>

#include "sheet/tspropertypage.h"
#include "sheet/tspropertysheet.h"
#include "sheettestutil.h"

namespace {

QString TakeText(unsigned short *bstr)
{
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t *>(bstr),
                                            int(SysStringLen(reinterpret_cast<BSTR>(bstr))));
    SysFreeString(reinterpret_cast<BSTR>(bstr));
    return text;
}

TEST(PropertyPage, FreshPageHasEmptyHeaderShownAndNoSheet)
{
    CTsPropertyPage page(nullptr);
    unsigned short *title = page.GetHeaderTitle();
    unsigned short *subtitle = page.GetHeaderSubTitle();
    ASSERT_NE(title, nullptr);
    ASSERT_NE(subtitle, nullptr);
    EXPECT_EQ(SysStringLen(reinterpret_cast<BSTR>(title)), 0u);
    EXPECT_EQ(title[0], 0);
    EXPECT_EQ(SysStringLen(reinterpret_cast<BSTR>(subtitle)), 0u);
    SysFreeString(reinterpret_cast<BSTR>(title));
    SysFreeString(reinterpret_cast<BSTR>(subtitle));
    EXPECT_EQ(page.IsShowHeader(), 1);
    EXPECT_EQ(page.GetSheet(), nullptr);
}

TEST(PropertyPage, TextsAreCopiedInAndOutAsDistinctAllocations)
{
    CTsPropertyPage page(nullptr);
    std::u16string source = u"Start time\u00e9";
    page.SetHeaderTitle(reinterpret_cast<const unsigned short *>(source.c_str()));
    source[0] = u'X'; // the page keeps its own copy
    unsigned short *first = page.GetHeaderTitle();
    unsigned short *second = page.GetHeaderTitle();
    EXPECT_NE(first, second);
    EXPECT_EQ(TakeText(first), QString::fromUtf16(u"Start time\u00e9"));
    EXPECT_EQ(TakeText(second), QString::fromUtf16(u"Start time\u00e9"));

    page.SetHeaderSubTitle(reinterpret_cast<const unsigned short *>(u"When to run"));
    EXPECT_EQ(TakeText(page.GetHeaderSubTitle()), QStringLiteral("When to run"));
    EXPECT_EQ(TakeText(page.GetHeaderTitle()), QString::fromUtf16(u"Start time\u00e9"));
}

TEST(PropertyPage, NullOrEmptyTextClearsIt)
{
    CTsPropertyPage page(nullptr);
    sheettest::SetHeaderTexts(&page, "Title", "Subtitle");
    page.SetHeaderTitle(nullptr);
    page.SetHeaderSubTitle(reinterpret_cast<const unsigned short *>(u""));
    EXPECT_EQ(TakeText(page.GetHeaderTitle()), QString());
    EXPECT_EQ(TakeText(page.GetHeaderSubTitle()), QString());
}

TEST(PropertyPage, ShowHeaderKeepsTheValueGiven)
{
    CTsPropertyPage page(nullptr);
    page.SetShowHeader(5);
    EXPECT_EQ(page.IsShowHeader(), 5);
    page.SetShowHeader(0);
    EXPECT_EQ(page.IsShowHeader(), 0);
}

TEST(PropertyPage, UndecoratedHooksAllAgree)
{
    CTsPropertyPage page(nullptr);
    EXPECT_TRUE(page.OnQueryOK());
    EXPECT_TRUE(page.OnOK());
    EXPECT_TRUE(page.OnWizardBack());
    EXPECT_TRUE(page.OnWizardNext());
    EXPECT_TRUE(page.OnWizardFinish());
}

TEST(PropertyPage, MetaObjectNamesTheClass)
{
    CTsPropertyPage page(nullptr);
    EXPECT_STREQ(page.metaObject()->className(), "CTsPropertyPage");
    EXPECT_EQ(page.qt_metacast("CTsPropertyPage"), static_cast<void *>(&page));
    EXPECT_EQ(page.qt_metacast("QWidget"), static_cast<void *>(static_cast<QWidget *>(&page)));
    EXPECT_EQ(page.qt_metacast("CTsPropertySheet"), nullptr);
    EXPECT_EQ(page.metaObject()->methodCount(), QWidget::staticMetaObject.methodCount());
}

TEST(PropertyPage, SheetPointerIsStoredAndForgottenWithTheSheet)
{
    auto page = std::make_unique<CTsPropertyPage>(nullptr);
    {
        CTsPropertySheet sheet;
        sheet.AddPage(page.get());
        EXPECT_EQ(page->GetSheet(), &sheet);
        page->setParent(nullptr); // the caller takes the page back before the sheet goes
    }
    EXPECT_EQ(page->GetSheet(), nullptr);

    QWidget other;
    page->SetSheet(&other);
    EXPECT_EQ(page->GetSheet(), &other);
    page->SetSheet(nullptr);
    EXPECT_EQ(page->GetSheet(), nullptr);
}

} // namespace
