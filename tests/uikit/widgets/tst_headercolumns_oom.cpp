// SetHeaderColumnsSize when its working copy cannot be allocated: the documented exception, and the
// header untouched. The global allocation functions are replaced for this process so that the k-th
// nothrow array allocation can be made to fail.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QStandardItemModel>
#include <cstdlib>
#include <new>

#include "widgets/headercolumns.h"
#include "widgets/tswebexception.h"

namespace {
thread_local int t_failArrayNewAfter = -1; // -1: never fail
}

// Every form goes through malloc and free, so whatever allocates, frees consistently.
void *operator new(std::size_t size)
{
    if (void *p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void *operator new[](std::size_t size)
{
    return ::operator new(size);
}
void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    return std::malloc(size ? size : 1);
}
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept
{
    if (t_failArrayNewAfter == 0) {
        t_failArrayNewAfter = -1;
        return nullptr;
    }
    if (t_failArrayNewAfter > 0)
        --t_failArrayNewAfter;
    return std::malloc(size ? size : 1);
}
void operator delete(void *p) noexcept { std::free(p); }
void operator delete[](void *p) noexcept { std::free(p); }
void operator delete(void *p, std::size_t) noexcept { std::free(p); }
void operator delete[](void *p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(HeaderColumns, FailedAllocationThrowsAndChangesNothing)
{
    QStandardItemModel model(1, 2);
    QHeaderView header(Qt::Horizontal);
    header.setModel(&model);
    header.resizeSection(0, 100);
    header.resizeSection(1, 100);
    const WString text = {u'4', u'0', u';', u'6', u'0', u';'};
    for (int k = 0;; ++k) {
        t_failArrayNewAfter = k;
        bool threw = false;
        try {
            SetHeaderColumnsSize(text, &header);
        } catch (const tsweb::CException<void *> &e) {
            threw = true;
            EXPECT_STREQ(e.what(), "Not enough memory is available to complete this operation.\r\n");
            EXPECT_EQ(header.sectionSize(0), 100) << "k=" << k;
            EXPECT_EQ(header.sectionSize(1), 100) << "k=" << k;
        }
        const bool disarmed = t_failArrayNewAfter == -1;
        t_failArrayNewAfter = -1;
        if (!threw) {
            EXPECT_FALSE(disarmed) << "an allocation failed but nothing was thrown, k=" << k;
            EXPECT_GT(k, 0) << "the first allocation never failed";
            break;
        }
    }
    EXPECT_EQ(header.sectionSize(0), 40);
    EXPECT_EQ(header.sectionSize(1), 60);
}

} // namespace
