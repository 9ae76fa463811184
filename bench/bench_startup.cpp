// Start-up to the first painted month view as a whole process, beside the
// yardstick: a bare Qt window that paints one Japanese caption in the program's
// stored face, so both pay the Japanese font fallback. Both run in turn in the
// same benchmark, offscreen and under a virtual X display (Xvfb, started here),
// for a first start and for a later one, and every figure comes with its ratio
// to the yardstick's from the same run: wall and CPU time and peak memory
// (medians; of the whole process, and up to the first paint, before the
// program's close), and, when valgrind is installed, the instructions of the
// main process under callgrind (of a first start), which do not move from run
// to run. Then start and close with 1,000 to 100,000 calendars, per calendar.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

namespace {

struct RunResult
{
    bool ok = false;
    pid_t pid = 0;
    double wallMs = 0;
    double cpuMs = 0;
    double peakMiB = 0;         // the whole process
    // Up to the first paint, as the program tells it when it has painted.
    double paintWallMs = 0;
    double paintCpuMs = 0;
    double peakAtPaintMiB = 0;
};

RunResult runOnce(const QStringList &command, const QString &folder)
{
    std::vector<QByteArray> args;
    for (const QString &a : command)
        args.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int out[2];
    if (::pipe(out) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    const QByteArray dir = folder.toLocal8Bit();
    posix_spawn_file_actions_addchdir_np(&actions, dir.constData());
    // Qt's warnings about the environment would only clutter the report.
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    RunResult result;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        return result;
    }
    // The line a bench program prints at its first paint marks the paint's moment.
    QByteArray printed;
    char chunk[4096];
    for (ssize_t got; !printed.contains('\n') && (got = ::read(out[0], chunk, sizeof chunk)) > 0;) {
        if (printed.isEmpty())
            result.paintWallMs =
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        printed.append(chunk, got);
    }
    ::close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    result.pid = pid;
    result.wallMs = std::chrono::duration<double, std::milli>(end - start).count();
    auto ms = [](const timeval &t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    result.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
    result.peakMiB = usage.ru_maxrss / 1024.0;
    const QList<QByteArray> words = printed.simplified().split(' ');
    for (qsizetype i = 0; i + 1 < words.size(); ++i) {
        if (words[i] == "peak_kib")
            result.peakAtPaintMiB = words[i + 1].toDouble() / 1024.0;
        else if (words[i] == "cpu_us")
            result.paintCpuMs = words[i + 1].toDouble() / 1e3;
    }
    return result;
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// A virtual X display for the whole run, started on first use.
class VirtualDisplay
{
public:
    ~VirtualDisplay()
    {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            m_server.waitForFinished(3000);
        }
    }

    // The display's name (":N"), or empty when Xvfb is missing or fails.
    QString name()
    {
        if (!m_started) {
            m_started = true;
            start();
        }
        return m_name;
    }

private:
    void start()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty())
            return;
        // Xvfb picks a free display and writes its number to -displayfd.
        m_server.setProcessChannelMode(QProcess::SeparateChannels);
        m_server.setStandardErrorFile(QProcess::nullDevice());
        m_server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                              QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                              QStringLiteral("tcp")});
        if (!m_server.waitForStarted(5000))
            return;
        QByteArray line;
        while (!line.contains('\n') && m_server.waitForReadyRead(10000))
            line += m_server.readAllStandardOutput();
        bool ok = false;
        const int number = line.trimmed().toInt(&ok);
        if (ok)
            m_name = QStringLiteral(":%1").arg(number);
    }

    QProcess m_server;
    bool m_started = false;
    QString m_name;
};

VirtualDisplay &display()
{
    static VirtualDisplay d;
    return d;
}

// "offscreen" or "xcb" for the children; false when the platform is not there.
bool usePlatform(benchmark::State &state, bool xcb)
{
    if (!xcb) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return true;
    }
    const QString name = display().name();
    if (name.isEmpty()) {
        state.SkipWithError("Xvfb is not installed or did not start");
        return false;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("DISPLAY", name.toLocal8Bit());
    return true;
}

// The program is portable: a copy in an empty folder keeps its files there. A
// first start finds that folder empty, and every run of it starts so again, as the
// files the program writes on closing are removed. A later start finds what a
// first run left there (the settings file, which is read through the CP932
// converter before the first paint, and the calendar's file); every run of it
// finds those same bytes again.
struct ProgramCopy
{
    QTemporaryDir dir;
    QString path;
    std::map<QString, QByteArray> settled;   // the files a later start finds

    ProgramCopy()
    {
        path = dir.filePath(QStringLiteral("hibisi"));
        QFile::copy(QStringLiteral(HIBI_PROGRAM), path);   // the program ended after its first paint
        QFile(path).setPermissions(QFile::ExeOwner | QFile::ReadOwner | QFile::WriteOwner);
    }
    // Runs the program once and keeps what it wrote; false when it wrote nothing.
    bool settle()
    {
        if (!runOnce({path}, dir.path()).ok)
            return false;
        const QDir folder(dir.path());
        for (const QString &name : folder.entryList(QDir::Files)) {
            QFile f(folder.filePath(name));
            if (name != QLatin1String("hibisi") && f.open(QIODevice::ReadOnly))
                settled[name] = f.readAll();
        }
        return !settled.empty();
    }
    // Back to an empty folder, or to the settled files.
    void clean() const
    {
        const QDir folder(dir.path());
        for (const QString &name : folder.entryList(QDir::Files))
            if (name != QLatin1String("hibisi"))
                QFile::remove(folder.filePath(name));
        for (const auto &[name, bytes] : settled) {
            QFile f(folder.filePath(name));
            if (f.open(QIODevice::WriteOnly))
                f.write(bytes);
        }
    }
};

// Both programs in turn, one of each per iteration.
void BM_StartupBesideBareWindow(benchmark::State &state, bool xcb, bool later)
{
    if (!usePlatform(state, xcb))
        return;
    ProgramCopy program;
    if (later && !program.settle()) {
        state.SkipWithError("the first run, which leaves the files of a later start, failed");
        return;
    }
    program.clean();
    const QTemporaryDir bareFolder;
    std::vector<double> wall[2], cpu[2], peak[2], paintWall[2], paintCpu[2], peakAtPaint[2];
    for (auto _ : state) {
        const RunResult bare = runOnce({QStringLiteral(HIBI_BARE_WINDOW)}, bareFolder.path());
        const RunResult ours = runOnce({program.path}, program.dir.path());
        program.clean();
        if (!bare.ok || !ours.ok) {
            state.SkipWithError("a program failed");
            return;
        }
        state.SetIterationTime(ours.wallMs / 1e3);
        int i = 0;
        for (const RunResult *r : {&bare, &ours}) {
            wall[i].push_back(r->wallMs);
            cpu[i].push_back(r->cpuMs);
            peak[i].push_back(r->peakMiB);
            paintWall[i].push_back(r->paintWallMs);
            paintCpu[i].push_back(r->paintCpuMs);
            peakAtPaint[i].push_back(r->peakAtPaintMiB);
            ++i;
        }
    }
    auto put = [&state](const char *name, std::vector<double> *values) {
        const double bare = median(values[0]);
        const double ours = median(values[1]);
        state.counters[std::string(name) + "_bare"] = bare;
        state.counters[std::string(name)] = ours;
        state.counters[std::string(name) + "_ratio"] = bare > 0 ? ours / bare : 0;
    };
    put("wall_ms", wall);
    put("cpu_ms", cpu);
    put("peak_MiB", peak);
    put("paint_wall_ms", paintWall);
    put("paint_cpu_ms", paintCpu);
    put("peak_at_paint_MiB", peakAtPaint);
}
BENCHMARK_CAPTURE(BM_StartupBesideBareWindow, offscreen, false, false)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StartupBesideBareWindow, xvfb, true, false)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StartupBesideBareWindow, later_start_offscreen, false, true)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StartupBesideBareWindow, later_start_xvfb, true, true)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

// Instructions of the main process under callgrind ("I refs"); 0 when it failed.
double instructions(const QString &program, const QString &folder)
{
    const QTemporaryDir logs;
    const QString log = logs.filePath(QStringLiteral("callgrind.%p.log"));
    const RunResult r = runOnce({QStringLiteral("valgrind"), QStringLiteral("--tool=callgrind"),
                                 QStringLiteral("--callgrind-out-file=/dev/null"), QStringLiteral("--log-file=") + log,
                                 program},
                                folder);
    if (!r.ok)
        return 0;
    // The spawned process is the main one; a child it forks gets a log of its own.
    QFile f(logs.filePath(QStringLiteral("callgrind.%1.log").arg(r.pid)));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QRegularExpression refs(QStringLiteral("I\\s+refs:\\s+([0-9,]+)"));
    const QRegularExpressionMatch m = refs.match(QString::fromLocal8Bit(f.readAll()));
    return m.hasMatch() ? m.captured(1).remove(QLatin1Char(',')).toDouble() : 0;
}

void BM_StartupInstructions(benchmark::State &state, bool xcb)
{
    if (QStandardPaths::findExecutable(QStringLiteral("valgrind")).isEmpty()) {
        state.SkipWithError("valgrind is not installed");
        return;
    }
    if (!usePlatform(state, xcb))
        return;
    const ProgramCopy program;
    const QTemporaryDir bareFolder;
    double bare = 0;
    double ours = 0;
    for (auto _ : state) {
        bare = instructions(QStringLiteral(HIBI_BARE_WINDOW), bareFolder.path());
        ours = instructions(program.path, program.dir.path());
        program.clean();
    }
    if (bare == 0 || ours == 0) {
        state.SkipWithError("a program failed under callgrind");
        return;
    }
    state.counters["Minstr_bare"] = bare / 1e6;
    state.counters["Minstr"] = ours / 1e6;
    state.counters["Minstr_ratio"] = ours / bare;
}
BENCHMARK_CAPTURE(BM_StartupInstructions, offscreen, false)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_StartupInstructions, xvfb, true)->Iterations(1)->Unit(benchmark::kSecond);

// A copy of the program in a folder of `calendars` calendar files (a header
// each) and the settings file that lists them under [dat] in an order of the
// user's, as the program's own close left it: every run finds those same bytes,
// and its close writes every name back into the key that holds it.
struct ManyCalendars
{
    QTemporaryDir dir;
    QString program;
    QString settingsPath;
    QByteArray settings;

    explicit ManyCalendars(int calendars)
    {
        program = dir.filePath(QStringLiteral("hibisi"));
        QFile::copy(QStringLiteral(HIBI_PROGRAM), program);
        QFile(program).setPermissions(QFile::ExeOwner | QFile::ReadOwner | QFile::WriteOwner);
        QStringList names;
        for (int i = 0; i < calendars; ++i) {
            names << QStringLiteral("cal%1").arg(i, 6, 10, QLatin1Char('0'));
            QFile f(dir.filePath(names.last() + QStringLiteral(".hsd")));
            if (!f.open(QIODevice::WriteOnly) || f.write("\x64\x00", 2) != 2)   // the header word, no year yet
                std::abort();
        }
        std::shuffle(names.begin(), names.end(), std::mt19937(7));
        QByteArray order = "[dat]\r\nnum=" + QByteArray::number(calendars) + "\r\n";
        for (int i = 0; i < calendars; ++i)
            order += QByteArray::number(i) + '=' + names[i].toLatin1() + "\r\n";
        settingsPath = dir.filePath(QStringLiteral("hibisi.ini"));
        write(order);
    }
    // The first run adds the keys of the window; false when it fails.
    bool settle()
    {
        if (!runOnce({program}, dir.path()).ok)
            return false;
        QFile f(settingsPath);
        if (!f.open(QIODevice::ReadOnly))
            return false;
        settings = f.readAll();
        return true;
    }
    void write(const QByteArray &bytes) const
    {
        QFile f(settingsPath);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            std::abort();
    }
};

// The program started and closed with many calendars beside the same with one,
// in turn in each iteration: the time per calendar is what the calendars add,
// over their number. Offscreen, as the platform costs the same for both.
void BM_StartAndCloseWithCalendars(benchmark::State &state)
{
    const int calendars = int(state.range(0));
    if (!usePlatform(state, false))
        return;
    ManyCalendars one(1);
    ManyCalendars many(calendars);
    if (!one.settle() || !many.settle()) {
        state.SkipWithError("the first run, which completes the settings file, failed");
        return;
    }
    std::vector<double> wall[2], cpu[2];
    for (auto _ : state) {
        int i = 0;
        for (ManyCalendars *folder : {&one, &many}) {
            const RunResult r = runOnce({folder->program}, folder->dir.path());
            if (!r.ok) {
                state.SkipWithError("a program failed");
                return;
            }
            folder->write(folder->settings);
            wall[i].push_back(r.wallMs);
            cpu[i].push_back(r.cpuMs);
            ++i;
        }
        state.SetIterationTime(wall[1].back() / 1e3);
    }
    const double added = double(calendars - 1);
    state.counters["wall_ms"] = median(wall[1]);
    state.counters["one_calendar_wall_ms"] = median(wall[0]);
    state.counters["wall_us_per_calendar"] = (median(wall[1]) - median(wall[0])) * 1e3 / added;
    state.counters["cpu_us_per_calendar"] = (median(cpu[1]) - median(cpu[0])) * 1e3 / added;
    state.counters["settings_bytes"] = double(many.settings.size());
}
BENCHMARK(BM_StartAndCloseWithCalendars)->Arg(1000)->Arg(10000)->Arg(100000)->UseManualTime()->Iterations(5)
        ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
