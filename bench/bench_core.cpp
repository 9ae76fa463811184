// The core's file and layout work on a calendar file of 9,999 year records
// (about 5 MB), each beside the floor: reading the same file's bytes once.
#include "calendar/MonthLayout.h"
#include "storage/CalendarFile.h"
#include "tally/Tally.h"

#include <QFile>
#include <QTemporaryDir>

#include <vector>

#include <benchmark/benchmark.h>

using namespace hibi;

namespace {

struct BigFile
{
    QTemporaryDir dir;
    QString path;

    BigFile()
    {
        path = CalendarFilePath(dir.path() + QLatin1Char('/'), QStringLiteral("big"));
        QByteArray bytes(2 + 9999 * kRecordSize, '\0');
        bytes[0] = char(kHeaderWord);
        for (int k = 0; k < 9999; ++k) {
            const int year = k + 1;   // stored in year order: 9999 is the last record
            char *r = bytes.data() + 2 + k * kRecordSize;
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

BigFile &bigFile()
{
    static BigFile file;
    return file;
}

void BM_ReadFileBytesOnce(benchmark::State &state)
{
    for (auto _ : state) {
        QFile f(bigFile().path);
        f.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(f.readAll());
    }
}
BENCHMARK(BM_ReadFileBytesOnce)->Unit(benchmark::kMicrosecond);

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

void BM_TallyAll(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(TallyAll(bigFile().path));
}
BENCHMARK(BM_TallyAll)->Unit(benchmark::kMicrosecond);

// The counting alone, on marks already in memory: a block of the size the file is
// read in, and the whole file's worth.
void BM_CountMarkBytes(benchmark::State &state)
{
    std::vector<std::uint8_t> bytes(size_t(state.range(0)));
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = std::uint8_t(i * 7 % 5);
    for (auto _ : state)
        benchmark::DoNotOptimize(CountMarkBytes(bytes.data(), qsizetype(bytes.size())));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CountMarkBytes)->Arg(512 * kRecordSize)->Arg(9999 * kRecordSize);

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
