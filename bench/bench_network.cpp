// Filling a domain of 10,000 computers in the network view, against inserting 10,000 plain rows
// with one shared icon into a QTreeWidget one by one (the baseline) and all at once. The network
// comes from a description file written at start; the view reads it once before the timed runs.
#include "network/networkview.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdlib>

namespace {

constexpr int kComputers = 10000;

// The baseline: plain rows with one shared icon, added one by one (argument 0, the issue's
// baseline) or all at once (argument 1, the stricter one).
void BaselineInsertPlainItemsWithSharedIcon(benchmark::State &state)
{
    const bool atOnce = state.range(0) != 0;
    QTreeWidget tree;
    QPixmap cell(16, 16);
    cell.fill(Qt::blue);
    const QIcon icon(cell);
    for (auto _ : state) {
        auto *domain = new QTreeWidgetItem(&tree, QStringList(QStringLiteral("BIG")));
        domain->setExpanded(true);
        QList<QTreeWidgetItem *> items;
        for (int i = 0; i < kComputers; ++i) {
            auto *item = atOnce ? new QTreeWidgetItem : new QTreeWidgetItem(domain);
            item->setText(0, QStringLiteral("PC%1").arg(i, 5, 10, QLatin1Char('0')));
            item->setIcon(0, icon);
            if (atOnce)
                items.append(item);
        }
        domain->addChildren(items);
        state.PauseTiming();
        delete domain;
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kComputers);
}

void FillDomainOfComputers(benchmark::State &state)
{
    CNetworkView view;
    for (auto _ : state) {
        QTreeWidgetItem *domain = view.InsertItem(u"BIG", CNetworkView::Domain, nullptr, -1);
        view.MarkFolderAsExpandedOnce(domain, 0);
        domain->setExpanded(true); // the first expansion fills it
        state.PauseTiming();
        if (domain->childCount() != kComputers)
            state.SkipWithError("the domain was not filled");
        delete domain;
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kComputers);
}

BENCHMARK(BaselineInsertPlainItemsWithSharedIcon)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(FillDomainOfComputers)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("network.json"));
    {
        QByteArray json = "{\"domains\": [{\"name\": \"BIG\", \"computers\": [";
        for (int i = 0; i < kComputers; ++i)
            json += QStringLiteral("%1{\"name\": \"\\\\\\\\PC%2\", \"version\": \"6.1\"}")
                        .arg(i ? QStringLiteral(",") : QString())
                        .arg(i, 5, 10, QLatin1Char('0'))
                        .toUtf8();
        json += "]}]}";
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size())
            return 1;
    }
    ::setenv("TS_NETWORK_FILE", QFile::encodeName(path).constData(), 1);
    {
        // Read the description once, outside the timed runs.
        CNetworkView warm;
        QTreeWidgetItem *domain = warm.InsertItem(u"BIG", CNetworkView::Domain, nullptr, -1);
        warm.MarkFolderAsExpandedOnce(domain, 0);
        domain->setExpanded(true);
        if (domain->childCount() != kComputers)
            return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
