// The core's file and layout work on a calendar file of 9,999 year records
// (about 5 MB), and the whole-file tally beside its floor, reading the same
// file's bytes once, on 1, 10 and 100 times as many records; the settings file
// and the calendar list at start with 1,000 to 100,000 calendars, per calendar.
#include "calendar/MonthLayout.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "storage/CalendarFile.h"
#include "storage/Catalogue.h"
#include "tally/Tally.h"

#include "SideBySide.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

using namespace hibi;

namespace {

// Records in the order of their years (9999 last); more than 9,999 start again
// at year 1.
struct BigFile
{
    QTemporaryDir dir;
    QString path;

    explicit BigFile(int records)
    {
        path = CalendarFilePath(dir.path() + QLatin1Char('/'), QStringLiteral("big"));
        QByteArray bytes(2 + qsizetype(records) * kRecordSize, '\0');
        bytes[0] = char(kHeaderWord);
        for (int k = 0; k < records; ++k) {
            const int year = k % 9999 + 1;
            char *r = bytes.data() + 2 + qsizetype(k) * kRecordSize;
            r[0] = char(year & 0xFF);
            r[1] = char(year >> 8);
            for (int i = 0; i < kYearCells; i += 7)
                r[2 + i] = char(1 + (k + i) % 3);
        }
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            std::abort();
    }
};

// One file at a time, made when a benchmark first asks for its size.
BigFile &bigFile(int records = 9999)
{
    static std::unique_ptr<BigFile> file;
    if (!file || QFileInfo(file->path).size() != 2 + qint64(records) * kRecordSize)
        file = std::make_unique<BigFile>(records);
    return *file;
}

// Two floors: QFile::readAll, a fresh buffer each time as most programs would read
// a file; and one read into a buffer made (and touched) beforehand, which pays
// for nothing but the bytes.
void BM_TallyAllBesideReadAll(benchmark::State &state)
{
    const int records = int(state.range(0));
    const QString path = bigFile(records).path;
    hibi::bench::SideBySide(
            state, [&] { benchmark::DoNotOptimize(TallyAll(path)); },
            [&] {
                QFile f(path);
                f.open(QIODevice::ReadOnly);
                benchmark::DoNotOptimize(f.readAll());
            },
            records);
}
BENCHMARK(BM_TallyAllBesideReadAll)->Arg(9999)->Arg(99990)->Arg(999900)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_TallyAllBesideOneReadIntoReadyBuffer(benchmark::State &state)
{
    const int records = int(state.range(0));
    const QString path = bigFile(records).path;
    QByteArray buffer(QFileInfo(path).size(), '\0');
    hibi::bench::SideBySide(
            state, [&] { benchmark::DoNotOptimize(TallyAll(path)); },
            [&] {
                QFile f(path);
                f.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
                benchmark::DoNotOptimize(f.read(buffer.data(), buffer.size()));
            },
            records);
}
BENCHMARK(BM_TallyAllBesideOneReadIntoReadyBuffer)->Arg(9999)->Arg(99990)->Arg(999900)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_LoadYearMarksLastYear(benchmark::State &state)
{
    YearMarks marks;
    for (auto _ : state) {
        marks.clear();
        LoadYearMarks(bigFile().path, 9999, marks);
        benchmark::DoNotOptimize(marks);
    }
}
BENCHMARK(BM_LoadYearMarksLastYear)->Unit(benchmark::kMicrosecond);

void BM_SaveYearMarksLastYear(benchmark::State &state)
{
    const YearMarks marks = ReadYearMarks(bigFile().path, 9999);
    for (auto _ : state)
        SaveYearMarks(bigFile().path, 9999, marks);
}
BENCHMARK(BM_SaveYearMarksLastYear)->Unit(benchmark::kMicrosecond);

void BM_ReadEveryRecord(benchmark::State &state)
{
    for (auto _ : state) {
        int records = 0;
        ForEachYearRecord(bigFile().path, [&](std::uint16_t, const std::uint8_t *) { ++records; });
        benchmark::DoNotOptimize(records);
    }
}
BENCHMARK(BM_ReadEveryRecord)->Unit(benchmark::kMicrosecond);

// The counting alone, on marks already in memory: a block of the size the file is
// read in, and the whole file's worth.
void BM_CountMarkBytes(benchmark::State &state)
{
    std::vector<std::uint8_t> bytes(size_t(state.range(0)));
    // Bytes 0 to 3, as a calendar holds them.
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = std::uint8_t(i * 7 % 9 % 4);
    for (auto _ : state)
        benchmark::DoNotOptimize(CountMarkBytes(bytes.data(), qsizetype(bytes.size())));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CountMarkBytes)->Arg(1024 * kRecordSize)->Arg(9999 * kRecordSize);

// A settings file as the program leaves it with `calendars` names under [dat]
// (100,000 names make about 2 MB), read as the start reads it, and written back
// as the close writes it into a file that holds every key already. The time per
// calendar stays flat while both are linear in the names.
struct ClosedSettings
{
    ProgramSettings settings = DefaultSettings();
    QByteArray bytes;

    explicit ClosedSettings(int calendars)
    {
        for (int i = 0; i < calendars; ++i)
            settings.calendarOrder << QStringLiteral("カレンダー%1").arg(i);
        IniFile ini;
        for (SettingsWriter writer : kSettingsWriters)
            WriteSettings(ini, settings, writer);
        bytes = ini.toBytes();
    }
};

void perCalendar(benchmark::State &state)
{
    state.counters["per_calendar"] = benchmark::Counter(
            double(state.range(0)), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_SettingsStartRead(benchmark::State &state)
{
    const ClosedSettings file(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadSettings(IniFile(file.bytes)));
    state.counters["bytes"] = double(file.bytes.size());
    perCalendar(state);
}
BENCHMARK(BM_SettingsStartRead)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// What the close does between reading the file and saving it.
void BM_SettingsCloseWrite(benchmark::State &state)
{
    const ClosedSettings file(int(state.range(0)));
    for (auto _ : state) {
        IniFile ini(file.bytes);
        WriteSettings(ini, file.settings, SettingsWriter::Close);
        benchmark::DoNotOptimize(ini.toBytes());
    }
    perCalendar(state);
}
BENCHMARK(BM_SettingsCloseWrite)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The calendar list at start: the files as the folder lists them (sorted), the
// saved order as a user arranged it (shuffled).
void BM_CalendarListAtStart(benchmark::State &state)
{
    const int calendars = int(state.range(0));
    QStringList found;
    for (int i = 0; i < calendars; ++i)
        found << QStringLiteral("カレンダー%1").arg(i, 6, 10, QLatin1Char('0'));
    QStringList saved = found;
    std::shuffle(saved.begin(), saved.end(), std::mt19937(7));
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildCalendarList(found, saved, saved.last()));
    perCalendar(state);
}
BENCHMARK(BM_CalendarListAtStart)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_LayoutMonth(benchmark::State &state)
{
    const HolidayTable table = HolidayTable::Standard();
    int month = 0;
    for (auto _ : state) {
        month = month % 12 + 1;
        benchmark::DoNotOptimize(LayoutMonthGrid(2026, month, {2026, 12, 10}, table));
    }
}
BENCHMARK(BM_LayoutMonth);

} // namespace

BENCHMARK_MAIN();
