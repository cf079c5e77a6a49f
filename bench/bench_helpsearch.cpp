// The help viewer's full-text search over the shipped English main help: building the index from
// every page and answering a query, against the baseline of decoding the same pages and looking for
// the word in their raw text (markup included, entities not decoded) with a case-blind search.
#include "chmfile.h"
#include "searchindex.h"

#include <benchmark/benchmark.h>

#include <QTextCodec>

#include <memory>
#include <optional>
#include <vector>

namespace {

struct Pages
{
    std::vector<std::pair<QString, QByteArray>> html;
    QTextCodec *codec = nullptr;
};

const Pages &ShippedPages()
{
    static const Pages pages = [] {
        Pages loaded;
        const std::unique_ptr<tshelp::ChmFile> file
            = tshelp::ChmFile::open(QStringLiteral(TS_DATA_DIR "/TsHelpEN.chm"));
        if (!file)
            return loaded;
        loaded.codec = file->codec();
        for (const QString &name : file->entries()) {
            if (!name.endsWith(QLatin1String(".htm")))
                continue;
            if (const std::optional<QByteArray> page = file->read(name))
                loaded.html.emplace_back(name, *page);
        }
        return loaded;
    }();
    return pages;
}

void BaselineDecodeAndFindInRawText(benchmark::State &state)
{
    const Pages &pages = ShippedPages();
    if (pages.html.empty())
        state.SkipWithError("the shipped help file could not be read");
    const QString word = QStringLiteral("schedule");
    for (auto _ : state) {
        int found = 0;
        for (const auto &page : pages.html)
            found += pages.codec->toUnicode(page.second).contains(word, Qt::CaseInsensitive) ? 1 : 0;
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * qint64(pages.html.size()));
}

void BuildSearchIndex(benchmark::State &state)
{
    const Pages &pages = ShippedPages();
    for (auto _ : state) {
        tshelp::SearchIndex index;
        for (const auto &page : pages.html)
            index.addPage(page.first, page.second, pages.codec);
        benchmark::DoNotOptimize(index.pageCount());
    }
    state.SetItemsProcessed(state.iterations() * qint64(pages.html.size()));
}

void SearchBuiltIndex(benchmark::State &state)
{
    const Pages &pages = ShippedPages();
    tshelp::SearchIndex index;
    for (const auto &page : pages.html)
        index.addPage(page.first, page.second, pages.codec);
    for (auto _ : state)
        benchmark::DoNotOptimize(index.search(QStringLiteral("schedule")).size());
    state.SetItemsProcessed(state.iterations() * qint64(pages.html.size()));
}

} // namespace

BENCHMARK(BaselineDecodeAndFindInRawText);
BENCHMARK(BuildSearchIndex);
BENCHMARK(SearchBuiltIndex);
BENCHMARK_MAIN();
