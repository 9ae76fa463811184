// The windows a user opens from the main window, each beside its floor in every
// iteration: the year chart beside a dialog painting the same bars and texts in
// the same fonts from counts in memory, the help beside a bare text browser on
// the same document, the settings dialog beside the same widgets built plainly.
// Each opening runs from the command to the painted window and its close.
// Wall and CPU medians and their ratios come from the same run; then, when
// valgrind is installed, the instructions of one opening of each under callgrind
// (window_probe), a first one and a later one, which do not move from run to run.
#include "WindowFloors.h"

#include "app/Program.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>

#include <benchmark/benchmark.h>

#include "SideBySide.h"

#include <memory>

using hibi::bench::WindowScene;

namespace {

using Opening = bool (WindowScene::*)();

std::unique_ptr<WindowScene> g_scene;

void BM_WindowBesideItsFloor(benchmark::State &state, Opening ours, Opening floor)
{
    if (!g_scene)
        g_scene = std::make_unique<WindowScene>();
    WindowScene &scene = *g_scene;
    // What only the run's first opening pays is the probe's to count.
    bool painted = (scene.*ours)() && (scene.*floor)();
    hibi::bench::SideBySide(
            state, [&] { painted = (scene.*ours)() && painted; }, [&] { painted = (scene.*floor)() && painted; }, 1,
            "ms");
    if (!painted)
        state.SkipWithError("a window did not paint");
}
BENCHMARK_CAPTURE(BM_WindowBesideItsFloor, year_chart, &WindowScene::openYearChart, &WindowScene::openYearChartFloor)
        ->UseManualTime()->Iterations(60)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WindowBesideItsFloor, help, &WindowScene::openHelp, &WindowScene::openHelpFloor)
        ->UseManualTime()->Iterations(60)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WindowBesideItsFloor, settings, &WindowScene::openSettings, &WindowScene::openSettingsFloor)
        ->UseManualTime()->Iterations(60)->Unit(benchmark::kMillisecond);

// The instructions of the counted opening in window_probe; 0 when it failed.
double instructions(const QString &window, const QString &side, const QString &opening)
{
    const QTemporaryDir logs;
    const QString log = logs.filePath(QStringLiteral("callgrind.log"));
    QProcess probe;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    probe.setProcessEnvironment(environment);
    probe.setStandardOutputFile(QProcess::nullDevice());
    probe.setStandardErrorFile(QProcess::nullDevice());
    probe.start(QStringLiteral("valgrind"),
                {QStringLiteral("--tool=callgrind"), QStringLiteral("--toggle-collect=hibi_probe_open"),
                 QStringLiteral("--callgrind-out-file=/dev/null"), QStringLiteral("--log-file=") + log,
                 QStringLiteral(HIBI_WINDOW_PROBE), window, side, opening});
    if (!probe.waitForFinished(600000) || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
        return 0;
    QFile f(log);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    // With collection toggled, the summary counts only the collected instructions.
    const QRegularExpression refs(QStringLiteral("I\\s+refs:\\s+([0-9,]+)"));
    const QRegularExpressionMatch m = refs.match(QString::fromLocal8Bit(f.readAll()));
    return m.hasMatch() ? m.captured(1).remove(QLatin1Char(',')).toDouble() : 0;
}

void BM_WindowInstructions(benchmark::State &state, const char *window, const char *opening)
{
    if (QStandardPaths::findExecutable(QStringLiteral("valgrind")).isEmpty()) {
        state.SkipWithError("valgrind is not installed");
        return;
    }
    double ours = 0;
    double floor = 0;
    for (auto _ : state) {
        floor = instructions(QLatin1String(window), QStringLiteral("floor"), QLatin1String(opening));
        ours = instructions(QLatin1String(window), QStringLiteral("ours"), QLatin1String(opening));
    }
    if (ours == 0 || floor == 0) {
        state.SkipWithError("the probe failed under callgrind");
        return;
    }
    state.counters["Minstr"] = ours / 1e6;
    state.counters["Minstr_floor"] = floor / 1e6;
    state.counters["Minstr_ratio"] = ours / floor;
}
BENCHMARK_CAPTURE(BM_WindowInstructions, year_chart_first, "chart", "first")->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_WindowInstructions, year_chart_again, "chart", "again")->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_WindowInstructions, help_first, "help", "first")->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_WindowInstructions, help_again, "help", "again")->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_WindowInstructions, settings_first, "settings", "first")->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_WindowInstructions, settings_again, "settings", "again")->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    hibi::SetUpApplication(app);
    const std::unique_ptr<QWidget> main = hibi::bench::ShowMainStandIn();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_scene.reset();
    return 0;
}
