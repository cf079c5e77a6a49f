// The help viewer on a help file of 100 000 contents and 100 000 index entries (generated and
// compiled at build time, see tools/largehelp.cpp):
// - HtmlHelpW up to the first page request, and up to the first page shown, against the baseline of
//   the reader reading and parsing both sitemaps (the file already open);
// - the Index tab's first showing (the keywords read, parsed, sorted and listed);
// - one keystroke in the index filter (the list narrowed and painted), against the baseline of one
//   case-blind look at every keyword, the least that narrowing by scanning costs per keystroke.
#include "chmfile.h"
#include "indexmodel.h"
#include "indexpane.h"
#include "sitemap.h"
#include "tsw/htmlhelp.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include <memory>

namespace {

const QString kFile = QStringLiteral(TS_LARGE_HELP);

QVector<tshelp::SitemapEntry> Sitemap(const tshelp::ChmFile &file, const QString &name)
{
    const auto data = file.read(name);
    return data ? tshelp::ParseSitemap(*data, file.codec()) : QVector<tshelp::SitemapEntry>();
}

QWidget *OpenViewer()
{
    const std::u16string path = kFile.toStdU16String();
    return reinterpret_cast<QWidget *>(HtmlHelpW(nullptr, path.c_str(), HH_DISPLAY_TOPIC, 0));
}

void CloseViewers()
{
    HtmlHelpW(nullptr, nullptr, HH_CLOSE_ALL, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void BaselineReaderParsesBothSitemaps(benchmark::State &state)
{
    const auto file = tshelp::ChmFile::open(kFile);
    if (!file) {
        state.SkipWithError("the large help file could not be opened");
        return;
    }
    int entries = 0;
    for (auto _ : state) {
        entries = Sitemap(*file, file->system().contentsFile).size()
            + Sitemap(*file, file->system().indexFile).size();
        benchmark::DoNotOptimize(entries);
    }
    state.counters["top-level entries"] = entries;
}

void HtmlHelpWToFirstPageRequest(benchmark::State &state)
{
    for (auto _ : state) {
        QWidget *viewer = OpenViewer();
        state.PauseTiming();
        if (!viewer) {
            state.SkipWithError("no viewer");
            break;
        }
        CloseViewers();
        state.ResumeTiming();
    }
}

void HtmlHelpWToFirstPageShown(benchmark::State &state)
{
    for (auto _ : state) {
        QWidget *viewer = OpenViewer();
        if (!viewer) {
            state.SkipWithError("no viewer");
            break;
        }
        QSignalSpy loaded(viewer, SIGNAL(pageLoaded(bool)));
        if (!loaded.wait(30000)) {
            state.SkipWithError("the page did not load");
            break;
        }
        state.PauseTiming();
        CloseViewers();
        state.ResumeTiming();
    }
}

void IndexTabFirstShown(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        QWidget *viewer = OpenViewer();
        auto *tabs = viewer ? viewer->findChild<QTabWidget *>(QStringLiteral("HelpNavigation"))
                            : nullptr;
        if (!tabs) {
            state.SkipWithError("no viewer");
            break;
        }
        state.ResumeTiming();
        tabs->setCurrentIndex(1);
        viewer->findChild<QListView *>(QStringLiteral("HelpIndexList"))->viewport()->repaint();
        state.PauseTiming();
        CloseViewers();
        state.ResumeTiming();
    }
}

// Typing "defrag" and taking it back, one key per iteration.
void IndexFilterKeystroke(benchmark::State &state)
{
    const auto file = tshelp::ChmFile::open(kFile);
    if (!file) {
        state.SkipWithError("the large help file could not be opened");
        return;
    }
    tshelp::IndexPane pane;
    pane.setEntries(Sitemap(*file, file->system().indexFile));
    pane.resize(300, 600);
    pane.show();
    const QString word = QStringLiteral("defrag");
    int step = 0;
    for (auto _ : state) {
        const int at = step % (2 * word.size());
        if (at < word.size())
            QTest::keyClick(pane.filterField(), word.at(at).toLatin1());
        else
            QTest::keyClick(pane.filterField(), Qt::Key_Backspace);
        pane.view()->viewport()->repaint();
        ++step;
    }
    state.counters["keywords"] = pane.model()->totalRows();
}

void BaselineScanKeywordsPerKeystroke(benchmark::State &state)
{
    const auto file = tshelp::ChmFile::open(kFile);
    if (!file) {
        state.SkipWithError("the large help file could not be opened");
        return;
    }
    const auto keywords = Sitemap(*file, file->system().indexFile);
    const QString word = QStringLiteral("defrag");
    int step = 0;
    for (auto _ : state) {
        const int at = step % (2 * word.size());
        const QString prefix = word.left(at < word.size() ? at + 1 : 2 * word.size() - at - 1);
        int matches = 0;
        for (const tshelp::SitemapEntry &keyword : keywords)
            matches += keyword.name.startsWith(prefix, Qt::CaseInsensitive) ? 1 : 0;
        benchmark::DoNotOptimize(matches);
        ++step;
    }
}

} // namespace

BENCHMARK(BaselineReaderParsesBothSitemaps)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(HtmlHelpWToFirstPageRequest)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(HtmlHelpWToFirstPageShown)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(IndexTabFirstShown)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(IndexFilterKeystroke)->Unit(benchmark::kMillisecond);
BENCHMARK(BaselineScanKeywordsPerKeystroke)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    // Headless, and the web engine as the tests run it.
    for (const auto &[name, value] :
         {std::pair{"QT_QPA_PLATFORM", "offscreen"}, std::pair{"QTWEBENGINE_DISABLE_SANDBOX", "1"},
          std::pair{"QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu"},
          std::pair{"QT_QUICK_BACKEND", "software"}}) {
        if (qEnvironmentVariableIsEmpty(name))
            qputenv(name, value);
    }
    QApplication app(argc, argv);
    // The engine starts with the first viewer; that start is not what is measured.
    if (QWidget *viewer = OpenViewer()) {
        QSignalSpy loaded(viewer, SIGNAL(pageLoaded(bool)));
        loaded.wait(30000);
    }
    CloseViewers();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
