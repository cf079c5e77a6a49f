// Start-up of a process that links TsUIKit and formats one value, against the same program over
// plain Qt Widgets (the baseline), both headless and started in pairs, the order alternating. Wall
// time is from fork to the child's exit; peak memory is the child's maximum resident set. Also the
// time of a process's first HtmlHelpW call and of its first page, which pay for loading the viewer.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Run {
    bool ok = false;
    double seconds = 0;
    double peakMiB = 0;
    std::string output;
};

// Starts `program` with `argument` (may be null), its output read through a pipe, and waits for it.
Run Start(const char *program, const char *argument = nullptr)
{
    Run run;
    int out[2];
    if (pipe(out) != 0)
        return run;
    const auto begin = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execl(program, program, argument, static_cast<char *>(nullptr));
        _exit(127);
    }
    close(out[1]);
    char buffer[256];
    ssize_t got;
    while ((got = read(out[0], buffer, sizeof buffer)) > 0)
        run.output.append(buffer, static_cast<size_t>(got));
    close(out[0]);
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child)
        return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    run.peakMiB = usage.ru_maxrss / 1024.0; // (kilobytes)
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

void Headless()
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
    setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu", 1);
    setenv("QT_QUICK_BACKEND", "software", 1);
}

// Both programs, paired; the counters compare their sums.
void StartTsUIKitAgainstPlainQtWidgets(benchmark::State &state)
{
    Headless();
    double qtSeconds = 0, kitSeconds = 0, qtMiB = 0, kitMiB = 0;
    bool kitFirst = false;
    for (auto _ : state) {
        Run qt, kit;
        if (kitFirst) {
            kit = Start(TS_STARTUP_UIKIT);
            qt = Start(TS_STARTUP_QT);
        } else {
            qt = Start(TS_STARTUP_QT);
            kit = Start(TS_STARTUP_UIKIT);
        }
        kitFirst = !kitFirst;
        if (!qt.ok || !kit.ok) {
            state.SkipWithError("a start-up program failed");
            return;
        }
        state.SetIterationTime(kit.seconds);
        qtSeconds += qt.seconds;
        kitSeconds += kit.seconds;
        qtMiB += qt.peakMiB;
        kitMiB += kit.peakMiB;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["qt_ms"] = 1000 * qtSeconds / n;
    state.counters["uikit_ms"] = 1000 * kitSeconds / n;
    state.counters["wall_ratio"] = kitSeconds / qtSeconds;
    state.counters["qt_MiB"] = qtMiB / n;
    state.counters["uikit_MiB"] = kitMiB / n;
    state.counters["peak_ratio"] = kitMiB / qtMiB;
    state.counters["peak_extra_MiB"] = (kitMiB - qtMiB) / n;
}
BENCHMARK(StartTsUIKitAgainstPlainQtWidgets)->UseManualTime()->Unit(benchmark::kMillisecond)
    ->Iterations(40);

// A fresh process's first HtmlHelpW call on the shipped help; the plain Qt program's start-up is
// the baseline of the same run.
void FirstHtmlHelpCall(benchmark::State &state)
{
    Headless();
    double call = 0, shown = 0, qtSeconds = 0;
    for (auto _ : state) {
        const Run qt = Start(TS_STARTUP_QT);
        const Run help = Start(TS_STARTUP_HELP, TS_STARTUP_HELP_FILE);
        long long callUs = 0, shownUs = 0;
        if (!qt.ok || !help.ok
            || std::sscanf(help.output.c_str(), "%lld %lld", &callUs, &shownUs) != 2) {
            state.SkipWithError("the help program failed");
            return;
        }
        state.SetIterationTime(callUs / 1e6);
        call += callUs / 1e3;
        shown += shownUs / 1e3;
        qtSeconds += qt.seconds;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["call_ms"] = call / n;
    state.counters["page_ms"] = shown / n;
    state.counters["qt_start_ms"] = 1000 * qtSeconds / n;
    state.counters["call_to_qt_start"] = call / (1000 * qtSeconds);
}
BENCHMARK(FirstHtmlHelpCall)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);

} // namespace

BENCHMARK_MAIN();
