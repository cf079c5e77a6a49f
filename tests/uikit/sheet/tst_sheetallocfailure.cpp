// Adding a page with each allocation failing in turn: the header texts' BSTRs, then operator new.
// A failed add throws and leaves the page and the sheet as they were; nothing leaks (LeakSanitizer).
#include <gtest/gtest.h>

#include <QStackedWidget>
#include <QTabWidget>

#include <functional>
#include <new>

#include "allocfailure.h"
#include "sheettestutil.h"

namespace {

struct Seam {
    const char *name;
    std::function<void(long)> arm;
    std::function<bool()> disarm; // true when the failure was reached
};

struct Way {
    const char *name;
    bool wizard;
    std::function<void(CTsPropertySheet &, CTsPropertyPage *)> add;
    bool setsSheet;
};

int PageCount(CTsPropertySheet &sheet, bool wizard)
{
    if (wizard)
        return sheet.findChild<QStackedWidget *>(QStringLiteral("tsWizardStack"))->count();
    return sheet.findChild<QTabWidget *>(QStringLiteral("tsPageTabs"))->count();
}

} // namespace

TEST(PropertySheetAllocationFailure, AddPageIsAllOrNothing)
{
    const Seam seams[] = {
        {"BSTR", [](long k) { TsFailNextBstrAllocations(1, UINT(k)); },
         [] { return TsFailNextBstrAllocations(0) == 0; }},
        {"operator new", tstest::FailAllocation, tstest::DisarmAllocationFailure},
    };
    const Way ways[] = {
        {"wizard step", true, [](CTsPropertySheet &s, CTsPropertyPage *p) { s.AddPage(p); }, true},
        {"tab", false, [](CTsPropertySheet &s, CTsPropertyPage *p) { s.AddPage(p); }, true},
        {"inserted tab", false, [](CTsPropertySheet &s, CTsPropertyPage *p) { s.AddPage(0, p); }, false},
    };
    for (const Way &way : ways) {
        for (const Seam &seam : seams) {
            SCOPED_TRACE(std::string(way.name) + ", " + seam.name);
            const long attempts = tstest::ForEachAllocationFailure([&](long k) {
                CTsPropertySheet sheet;
                sheet.SetWizardMode(way.wizard);
                sheet.AddPage(new CTsPropertyPage);
                auto *page = new CTsPropertyPage;
                sheettest::SetHeaderTexts(page, "Title", "Subtitle");
                bool threw = false;
                seam.arm(k);
                try {
                    way.add(sheet, page);
                } catch (const std::bad_alloc &) {
                    threw = true;
                } catch (const ATL::CAtlException &e) {
                    threw = true;
                    EXPECT_EQ(e.m_hr, E_OUTOFMEMORY);
                }
                const bool failed = seam.disarm();
                EXPECT_EQ(threw, failed);
                EXPECT_EQ(PageCount(sheet, way.wizard), failed ? 1 : 2);
                EXPECT_EQ(page->parentWidget() == nullptr, failed);
                EXPECT_EQ(page->GetSheet(), failed || !way.setsSheet ? nullptr : &sheet);
                if (failed)
                    delete page;
                return failed;
            });
            EXPECT_TRUE(attempts > 0 || !way.wizard) << "no allocation was failed";
        }
    }
}
