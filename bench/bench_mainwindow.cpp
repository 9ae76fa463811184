// Browsing in the main window on a calendar file of 9,999 year records: a month
// forward and back inside the year (LayoutMonth, FormResize, repaint), and a
// step across the year end (save, load, layout, repaint).
#include "app/Unit1.h"
#include "calendar/Clock.h"
#include "storage/CalendarFile.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

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

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void repaint(TForm1 *w)
{
    w->findChild<QAbstractScrollArea *>(QStringLiteral("dg1"))->viewport()->repaint();
}

void BM_MonthForwardAndBack(benchmark::State &state)
{
    TForm1 *w = fixture().window;
    w->DisplayYear = 9998;
    w->DisplayMonth = 6;
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

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
