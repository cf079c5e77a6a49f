// SetHeaderColumnsSize when memory runs out: the documented exception (or, for the caller's own
// copy of the text, std::bad_alloc), and the header untouched, for every allocation in turn.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QStandardItemModel>
#include <new>

#include "allocfailure.h"
#include "widgets/headercolumns.h"
#include "widgets/tswebexception.h"

namespace {

TEST(HeaderColumns, FailedAllocationThrowsAndChangesNothing)
{
    QStandardItemModel model(1, 2);
    const WString text = {u'4', u'0', u';', u'6', u'0', u';'};
    bool sawException = false;
    const long failures = tstest::ForEachAllocationFailure([&](long k) {
        QHeaderView header(Qt::Horizontal);
        header.setModel(&model);
        header.resizeSection(0, 100);
        header.resizeSection(1, 100);
        bool reached = true;
        try {
            reached = tstest::WithFailingAllocation(k, [&] { SetHeaderColumnsSize(text, &header); });
        } catch (const tsweb::CException<void *> &e) {
            sawException = true;
            EXPECT_STREQ(e.what(), "Not enough memory is available to complete this operation.\r\n");
        } catch (const std::bad_alloc &) {
        }
        if (reached) {
            EXPECT_EQ(header.sectionSize(0), 100) << "k=" << k;
            EXPECT_EQ(header.sectionSize(1), 100) << "k=" << k;
        } else {
            EXPECT_EQ(header.sectionSize(0), 40);
            EXPECT_EQ(header.sectionSize(1), 60);
        }
        return reached;
    });
    EXPECT_GT(failures, 0);
    EXPECT_TRUE(sawException);
}

} // namespace
