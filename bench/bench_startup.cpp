// Start-up to the first painted month view as a whole process, beside a bare Qt
// window that does the same, in the same run. Peak memory is the child's maxrss.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

namespace {

long runOnce(const QString &program, benchmark::State &state)
{
    const QByteArray path = program.toLocal8Bit();
    char *argv[] = {const_cast<char *>(path.constData()), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, path.constData(), nullptr, nullptr, argv, environ) != 0) {
        state.SkipWithError("cannot start the program");
        return 0;
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        state.SkipWithError("the program failed");
    return usage.ru_maxrss;
}

void measure(benchmark::State &state, const QString &program)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    long peak = 0;
    for (auto _ : state)
        peak = std::max(peak, runOnce(program, state));
    state.counters["peak_rss_kib"] = double(peak);
}

void BM_StartupBareQtWindow(benchmark::State &state)
{
    measure(state, QStringLiteral(HIBI_BARE_WINDOW));
}
BENCHMARK(BM_StartupBareQtWindow)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_StartupMainWindow(benchmark::State &state)
{
    // The program is portable: a copy in an empty folder keeps its files there.
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("hibisi"));
    QFile::copy(QStringLiteral(HIBI_PROGRAM), copy);   // the program ended after its first paint
    QFile(copy).setPermissions(QFile::ExeOwner | QFile::ReadOwner | QFile::WriteOwner);
    measure(state, copy);
}
BENCHMARK(BM_StartupMainWindow)->Unit(benchmark::kMillisecond)->MinTime(3);

} // namespace

BENCHMARK_MAIN();
