// Browsing in the main window on a calendar file of 9,999 year records: a month
// forward and back inside the year (LayoutMonth, FormResize, repaint), and a
// step across the year end (save, load, layout, repaint).
#include "app/Unit1.h"
#include "bulk/setall.h"
#include "components/SysCtrls.h"
#include "calendar/Clock.h"
#include "storage/CalendarFile.h"
#include "storage/OpenCalendar.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "SideBySide.h"

#include <memory>

using namespace hibi;

namespace {

struct Fixture
{
    QTemporaryDir dir;
    TForm1 *window = nullptr;

    Fixture()
    {
        const QString folder = dir.path() + QLatin1Char('/');
        QByteArray bytes(2 + 9999 * kRecordSize, '\0');
        bytes[0] = char(kHeaderWord);
        for (int k = 0; k < 9999; ++k) {
            const int year = k + 1;
            bytes[2 + k * kRecordSize] = char(year & 0xFF);
            bytes[3 + k * kRecordSize] = char(year >> 8);
            for (int i = 0; i < kYearCells; i += 5)
                bytes[4 + k * kRecordSize + i] = char(1 + (k + i) % 3);
        }
        QFile f(CalendarFilePath(folder, QStringLiteral("カレンダー1")));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            std::abort();
        f.close();
        SetFixedToday(YearMonthDay16{9998, 12, 10});   // late in the file: the longest scans
        window = new TForm1(folder);
        window->show();
    }
};

// One main window at a time: the program allows a single instance guard.
std::unique_ptr<Fixture> g_fixture;

Fixture &fixture()
{
    if (!g_fixture)
        g_fixture = std::make_unique<Fixture>();
    return *g_fixture;
}

void repaint(TForm1 *w)
{
    w->findChild<QAbstractScrollArea *>(QStringLiteral("dg1"))->viewport()->repaint();
}

void BM_MonthForwardAndBack(benchmark::State &state)
{
    TForm1 *w = fixture().window;
    w->calendar().switchTo(w->calendar().CurrentCalendarName(), 9998, 6);
    for (auto _ : state) {
        w->btnnextClick();
        repaint(w);
        w->btnprvClick();
        repaint(w);
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_MonthForwardAndBack)->Unit(benchmark::kMicrosecond);

void BM_YearChangeForwardAndBack(benchmark::State &state)
{
    TForm1 *w = fixture().window;
    w->thismonthClick();   // December 9998
    for (auto _ : state) {
        w->btnnextClick();     // January 9999: save 9998, load 9999
        repaint(w);
        w->btnprvClick();      // December 9998
        repaint(w);
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_YearChangeForwardAndBack)->Unit(benchmark::kMicrosecond);

// The bulk-input window with 50 to 10,000 calendars of 100 years each, the
// shown date in the year stored last: from show to the first painted list, beside
// its floor, the needed record of every calendar read once, knowing where it is.
struct BulkFixture
{
    QTemporaryDir dir;
    QString folder;
    QStringList names;
    TForm1 *window = nullptr;

    explicit BulkFixture(int calendars)
    {
        folder = dir.path() + QLatin1Char('/');
        QByteArray bytes(2 + 100 * kRecordSize, '\0');
        bytes[0] = char(kHeaderWord);
        for (int k = 0; k < 100; ++k) {
            const int year = 1927 + k;
            bytes[2 + k * kRecordSize] = char(year & 0xFF);
            bytes[3 + k * kRecordSize] = char(year >> 8);
            bytes[4 + k * kRecordSize + 100] = char(1 + k % 3);
        }
        for (int i = 0; i < calendars; ++i) {
            names << QStringLiteral("cal%1").arg(i, 4, 10, QLatin1Char('0'));
            QFile f(CalendarFilePath(folder, names.last()));
            if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
                std::abort();
        }
        SetFixedToday(YearMonthDay16{2026, 3, 10});
        if (g_fixture) {
            delete g_fixture->window;
            g_fixture.reset();
        }
        window = new TForm1(folder);
        window->show();
    }
    ~BulkFixture() { delete window; }
};

// One main window at a time, for the number of calendars asked for last.
std::unique_ptr<BulkFixture> g_bulkFixture;

BulkFixture &bulkFixture(int calendars)
{
    if (!g_bulkFixture || g_bulkFixture->names.size() != calendars) {
        g_bulkFixture.reset();
        g_bulkFixture = std::make_unique<BulkFixture>(calendars);
    }
    return *g_bulkFixture;
}

void BM_BulkWindowBesideReadingRecordsOnce(benchmark::State &state)
{
    const int calendars = int(state.range(0));
    BulkFixture &f = bulkFixture(calendars);
    char record[kRecordSize];
    hibi::bench::SideBySide(
            state,
            [&] {
                Tfrmall bulk(f.window->calendar(), f.window, f.window);
                bulk.show();
                bulk.findChild<QAbstractScrollArea *>(QStringLiteral("dgall"))->viewport()->repaint();
            },
            [&] {
                for (const QString &name : f.names) {
                    QFile file(CalendarFilePath(f.folder, name));
                    file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
                    file.seek(2 + 99 * kRecordSize);
                    benchmark::DoNotOptimize(file.read(record, kRecordSize));
                }
            },
            calendars, "ms");
}
BENCHMARK(BM_BulkWindowBesideReadingRecordsOnce)->Arg(50)->Arg(500)->Arg(5000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TSingleInstance::setScope(QStringLiteral("bench-%1").arg(QCoreApplication::applicationPid()));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The windows go before the application, and with them their instance locks.
    g_bulkFixture.reset();
    if (g_fixture)
        delete g_fixture->window;
    g_fixture.reset();
    return 0;
}
