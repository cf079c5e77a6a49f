// Calls that report running out of memory with a null or E_OUTOFMEMORY, with each of their
// allocations failing in turn: they report it, keep nothing (LeakSanitizer) and throw nothing.
#include "allocfailure.h"
#include "resbuilder.h"
#include "testobject.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <thread>

using tstest::ComScope;
using tstest::Counter;
using tstest::ForEachAllocationFailure;
using tstest::WithFailingAllocation;

TEST(AllocationFailure, GlobalBlocksAndStreams)
{
    ForEachAllocationFailure([](long k) {
        HGLOBAL block = nullptr;
        const bool failed = WithFailingAllocation(k, [&] { block = GlobalAlloc(GHND, 8); });
        EXPECT_EQ(block == nullptr, failed);
        EXPECT_EQ(GlobalFree(block), nullptr);
        return failed;
    });
    ForEachAllocationFailure([](long k) {
        IStream *stream = reinterpret_cast<IStream *>(1);
        HRESULT hr = E_FAIL;
        const bool failed = WithFailingAllocation(k, [&] { hr = CreateStreamOnHGlobal(nullptr, TRUE, &stream); });
        EXPECT_EQ(hr, failed ? E_OUTOFMEMORY : S_OK);
        EXPECT_EQ(stream == nullptr, failed);
        if (stream)
            stream->Release();
        return failed;
    });
}

TEST(AllocationFailure, MarshallingAndClassObjects)
{
    ComScope com;
    Counter *object = new Counter;
    ForEachAllocationFailure([object](long k) {
        IStream *stream = nullptr;
        EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
        HRESULT hr = E_FAIL;
        const bool failed = WithFailingAllocation(k, [&] {
            hr = CoMarshalInterface(stream, tstest::IID_ITestCounter, object, MSHCTX_INPROC, nullptr,
                                    MSHLFLAGS_TABLESTRONG);
        });
        EXPECT_EQ(hr, failed ? E_OUTOFMEMORY : S_OK);
        EXPECT_EQ(object->refs(), failed ? 1u : 2u);
        tstest::Rewind(stream);
        EXPECT_EQ(CoReleaseMarshalData(stream), failed ? STG_E_READFAULT : S_OK);
        stream->Release();
        return failed;
    });
    ForEachAllocationFailure([object](long k) {
        DWORD cookie = 99;
        HRESULT hr = E_FAIL;
        const bool failed = WithFailingAllocation(k, [&] {
            hr = CoRegisterClassObject(tstest::IID_ITestCounter, object, CLSCTX_INPROC_SERVER,
                                       REGCLS_MULTIPLEUSE, &cookie);
        });
        EXPECT_EQ(hr, failed ? E_OUTOFMEMORY : S_OK);
        EXPECT_EQ(cookie == 0, failed);
        EXPECT_EQ(object->refs(), failed ? 1u : 2u);
        if (!failed) {
            EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
        }
        return failed;
    });
    // Closing an apartment releases the data marshalled in it, whatever memory is left.
    ForEachAllocationFailure([object](long k) {
        bool failed = false;
        std::thread([&] {
            EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
            IStream *stream = nullptr;
            EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
            EXPECT_EQ(CoMarshalInterface(stream, tstest::IID_ITestCounter, object, MSHCTX_INPROC,
                                         nullptr, MSHLFLAGS_TABLESTRONG), S_OK);
            stream->Release();
            failed = WithFailingAllocation(k, [] { CoUninitialize(); });
        }).join();
        EXPECT_EQ(object->refs(), 1u);
        return failed;
    });
    object->Release();
}

TEST(AllocationFailure, ResourceModules)
{
    const QByteArray bytes = tstest::ResBuilder().AddString(1, u"one").AddString(40, u"two").Bytes();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("strings.res"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    std::function<HMODULE()> loads[] = {
        [&] { return TswLoadResourceModuleFromMemory(bytes.constData(), std::size_t(bytes.size())); },
        [&] { return LoadLibraryExW(reinterpret_cast<LPCWSTR>(path.utf16()), nullptr, LOAD_LIBRARY_AS_DATAFILE); },
    };
    for (const auto &load : loads) {
        ForEachAllocationFailure([&load](long k) {
            HMODULE module = nullptr;
            const bool failed = WithFailingAllocation(k, [&] { module = load(); });
            EXPECT_EQ(module == nullptr, failed);
            if (module) {
                EXPECT_EQ(TswResourceCount(module), 2);
                EXPECT_TRUE(FreeLibrary(module));
            }
            return failed;
        });
    }
}
