// The viewer's documents without the web engine: the object limit and cache, the reply budget,
// closing and opening again by key, and the search index built on a reading thread.
#include "helpdocument.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <thread>

using tshelp::HelpDocument;
using tshelp::HelpReply;

namespace {

const QString kBudgetFile = QStringLiteral(TS_CHM_FIXTURE_BUDGET);
const QString kMainFile = QStringLiteral(TS_DATA_DIR "/TsHelpEN.chm");

// Runs the event loop until `done()` or 20 s.
template<typename Done>
bool SpinUntil(Done done)
{
    for (int i = 0; i < 2000 && !done(); ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return done();
}

} // namespace

TEST(HelpDocument, ObjectsLargerThanTheLimitAreRefusedOthersCached)
{
    const std::shared_ptr<HelpDocument> document = HelpDocument::open(kBudgetFile);
    ASSERT_NE(document, nullptr);
    EXPECT_FALSE(document->content(QStringLiteral("/big40.bin")).found);
    EXPECT_FALSE(document->read(QStringLiteral("/big40.bin"), qint64(1) << 40).has_value());
    const HelpReply first = document->content(QStringLiteral("/big20.bin"));
    ASSERT_TRUE(first.found);
    EXPECT_EQ(first.data.size(), 20 * 1024 * 1024);
    // The second request is served from the cache: the same bytes, not a second copy.
    const HelpReply again = document->content(QStringLiteral("/big20.bin"));
    EXPECT_EQ(again.data.constData(), first.data.constData());
    EXPECT_FALSE(document->content(QStringLiteral("/missing.htm")).found);
}

TEST(HelpDocument, ReplyBudget)
{
    const std::shared_ptr<HelpDocument> document = HelpDocument::open(kBudgetFile);
    ASSERT_NE(document, nullptr);
    constexpr qint64 MiB = 1024 * 1024;
    struct Row { bool reserve; qint64 bytes; bool expected; qint64 held; };
    const Row rows[] = {
        {true, 100 * MiB, true, 100 * MiB},
        {true, 29 * MiB, false, 100 * MiB}, // past 128 MiB
        {true, 28 * MiB, true, 128 * MiB},  // exactly the budget
        {true, 1, false, 128 * MiB},
        {false, 100 * MiB, true, 28 * MiB},
        {true, -1, false, 28 * MiB},
        {false, 28 * MiB, true, 0},
    };
    for (const Row &row : rows) {
        if (row.reserve)
            EXPECT_EQ(document->reserve(row.bytes), row.expected) << row.bytes;
        else
            document->release(row.bytes);
        EXPECT_EQ(document->reserved(), row.held) << row.bytes;
    }
}

// A closed document opens again under its key (the engine comes back to its pages); a key that
// never named a file opens nothing.
TEST(HelpDocument, ClosedDocumentsOpenAgainByKey)
{
    const int before = HelpDocument::openCount();
    QString key;
    {
        const std::shared_ptr<HelpDocument> document = HelpDocument::open(kMainFile);
        ASSERT_NE(document, nullptr);
        key = document->key();
        EXPECT_EQ(HelpDocument::open(kMainFile), document);
        EXPECT_EQ(HelpDocument::find(key.toUpper()), document);
        EXPECT_EQ(HelpDocument::openCount(), before + 1);
    }
    EXPECT_EQ(HelpDocument::openCount(), before);
    const std::shared_ptr<HelpDocument> again = HelpDocument::find(key);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->key(), key);
    EXPECT_EQ(HelpDocument::find(QStringLiteral("f0000000000000000")), nullptr);
    EXPECT_EQ(HelpDocument::find(QString()), nullptr);
}

// The first search's index is built on a reading thread; the caller hears of it on its own thread,
// and not at all once it is gone.
TEST(HelpDocument, SearchIndexBuiltOnAReadingThread)
{
    const std::shared_ptr<HelpDocument> document = HelpDocument::open(kMainFile);
    ASSERT_NE(document, nullptr);
    ASSERT_FALSE(document->searchIndexReady());
    QObject receiver;
    auto *gone = new QObject;
    int calls = 0;
    int goneCalls = 0;
    QThread *calledOn = nullptr;
    document->whenSearchIndexReady(&receiver, [&] {
        ++calls;
        calledOn = QThread::currentThread();
    });
    document->whenSearchIndexReady(&receiver, [&] {
        calls += 10; // replaced by the next one: a receiver is called once
    });
    document->whenSearchIndexReady(&receiver, [&] {
        ++calls;
        calledOn = QThread::currentThread();
    });
    document->whenSearchIndexReady(gone, [&] { ++goneCalls; });
    delete gone;
    EXPECT_EQ(calls, 0) << "not built on the caller's thread";
    ASSERT_TRUE(SpinUntil([&] { return calls > 0; }));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(goneCalls, 0);
    EXPECT_EQ(calledOn, QCoreApplication::instance()->thread());
    EXPECT_GT(document->searchIndex().pageCount(), 0);
    // Once built, the answer comes at once.
    document->whenSearchIndexReady(&receiver, [&] { ++calls; });
    EXPECT_EQ(calls, 2);
}

// Page requests from several threads at once read the same bytes as one after another.
TEST(HelpDocument, ReadsFromSeveralThreadsAgree)
{
    const std::shared_ptr<HelpDocument> document = HelpDocument::open(kMainFile);
    ASSERT_NE(document, nullptr);
    const QStringList names = document->file().entries();
    ASSERT_FALSE(names.isEmpty());
    QVector<QByteArray> expected;
    for (const QString &name : names)
        expected << document->read(name).value_or(QByteArray("?"));
    std::vector<int> mismatches(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 5; ++round) {
                for (int i = 0; i < names.size(); ++i) {
                    const int at = (i + t * 7) % names.size();
                    const QString path = QString::fromLatin1(QUrl::toPercentEncoding(names.at(at), "/"));
                    const HelpReply reply = document->content(path);
                    if (reply.found && !reply.mimeType.startsWith("text/html")
                        && reply.data != expected.at(at))
                        ++mismatches[std::size_t(t)];
                }
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}
