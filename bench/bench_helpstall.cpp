// The help viewer's window while the first search of a large help file builds its index: the longest
// time the GUI thread goes without running its event loop. The file has 100 pages of just under
// 8 MiB each (written uncompressed: the help compiler would take many minutes for 800 MiB). The
// baseline builds the same index on the GUI thread, as the viewer once did; the stall of the real
// path should stay under 50 ms whatever the baseline takes.
#include "chmwriter.h"
#include "helpdocument.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

namespace {

constexpr int kPages = 100;
constexpr int kPageBytes = 8 * 1024 * 1024 - 4096;

const QString &LargeHelpFile()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("large.chm"));
        std::vector<std::pair<QByteArray, std::function<void(const std::function<void(const QByteArray &)> &)>>>
            objects;
        for (int page = 0; page < kPages; ++page) {
            objects.emplace_back(QByteArray("/page") + QByteArray::number(page) + ".htm",
                                 [page](const std::function<void(const QByteArray &)> &write) {
                const QByteArray head = "<html><head><title>Page " + QByteArray::number(page)
                    + "</title></head><body>";
                write(head);
                const QByteArray paragraph = "<p>Defragmentation moves the fragments of file number "
                    + QByteArray::number(page) + " together &amp; frees space on volume C.</p>\n";
                qint64 written = head.size();
                QByteArray block;
                while (block.size() < 1024 * 1024)
                    block += paragraph;
                while (written + block.size() + 16 < kPageBytes) {
                    write(block);
                    written += block.size();
                }
                write("</body></html>");
            });
        }
        return tsbench::WriteUncompressedChm(file, objects) ? file : QString();
    }();
    return path;
}

// Runs the event loop until `done`, ticking a 1 ms timer; the longest gap between two ticks.
template<typename Done>
qint64 LongestStall(Done done)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    QTimer tick;
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = qMax(longest, now - last);
        last = now;
    });
    tick.start();
    for (;;) {
        const bool finished = done();
        const qint64 now = clock.elapsed();
        longest = qMax(longest, now - last);
        if (qEnvironmentVariableIsSet("TS_BENCH_TRACE") && now - last > 50)
            fprintf(stderr, "stall %lld ms ending at %lld ms\n", now - last, now);
        last = now;
        if (finished)
            break;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return longest;
}

void FirstSearch(benchmark::State &state, bool onGuiThread)
{
    const QString file = LargeHelpFile();
    if (file.isEmpty()) {
        state.SkipWithError("the large help file could not be written");
        return;
    }
    qint64 worst = 0;
    int pages = 0;
    for (auto _ : state) {
        std::shared_ptr<tshelp::HelpDocument> document = tshelp::HelpDocument::open(file);
        if (!document) {
            state.SkipWithError("the large help file does not open");
            return;
        }
        bool ready = false;
        bool asked = false;
        QObject receiver;
        const qint64 stall = LongestStall([&] {
            if (onGuiThread) {
                // (the whole build runs inside one turn of the event loop)
                pages = document->searchIndex().pageCount();
                return true;
            }
            if (!asked) {
                asked = true;
                document->whenSearchIndexReady(&receiver, [&] { ready = true; });
            }
            if (ready)
                pages = document->searchIndex().pageCount();
            return ready;
        });
        worst = qMax(worst, stall);
    }
    state.counters["longest_stall_ms"] = double(worst);
    state.counters["pages"] = pages;
}

void BaselineFirstSearchOnTheGuiThread(benchmark::State &state) { FirstSearch(state, true); }
void FirstSearchOnReadingThreads(benchmark::State &state) { FirstSearch(state, false); }

} // namespace

BENCHMARK(BaselineFirstSearchOnTheGuiThread)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(FirstSearchOnReadingThreads)->Iterations(2)->Unit(benchmark::kMillisecond);
