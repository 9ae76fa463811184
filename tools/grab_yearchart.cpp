// Draws the picture of the year chart that the help shows: the real window,
// offscreen, with a year of jogging marks in the default look. `make
// help-picture` runs it.
#include "calendar/Clock.h"
#include "calendar/MonthGrid.h"
#include "components/DayCellPainter.h"
#include "settings/Settings.h"
#include "storage/CalendarFile.h"
#include "dialogs/YearChart.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <cstdio>

using namespace hibi;

namespace {

// The look of a first start, and a place nobody keeps.
class DefaultLook : public YearChartHost
{
public:
    ChartLook chartLook() const override
    {
        const Appearance a = DefaultSettings().appearance;
        return {{ToQColor(a.MaruColor), ToQColor(a.BatuColor), ToQColor(a.SankakuColor)}, a.MarkLineWidth};
    }
    // As narrow as the window goes, to fit the help's page.
    WindowBounds chartBounds() const override { return {100, 100, 370, 500}; }
    void storeChartBounds(const WindowBounds &) override {}
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: grab_yearchart OUTPUT.png\n");
        return 2;
    }

    // Runs on Mondays, Wednesdays and Sundays (○), a short walk on some Saturdays
    // (△), and rain every ninth day (×), from January to the middle of November.
    using namespace std::chrono;
    YearMarks marks;
    for (sys_days d = sys_days{2026y / January / 1}; d <= sys_days{2026y / November / 18}; d += days{1}) {
        const year_month_day ymd{d};
        const int month = int(unsigned(ymd.month()));
        const int day = int(unsigned(ymd.day()));
        const unsigned weekday = year_month_weekday{d}.weekday().c_encoding();
        const int dayOfYear = int((d - sys_days{2026y / January / 1}).count());
        Mark mark = NoMark;
        if (dayOfYear % 9 == 4)
            mark = Batu;
        else if (weekday == 0 || weekday == 1 || weekday == 3)
            mark = Maru;
        else if (weekday == 6 && (day + month) % 3 == 0)
            mark = Sankaku;
        const GridCell c = CellOfDay(2026, month, day);
        marks.at(month, c.col, c.row) = mark;
    }
    QTemporaryDir folder;
    const QString path = CalendarFilePath(folder.path() + QLatin1Char('/'), QStringLiteral("ジョギング"));
    CreateCalendarFile(path, 2026, marks);

    // The runs under the chart count up to the last day marked.
    SetFixedToday(YearMonthDay16{2026, 11, 18});
    DefaultLook host;
    TYearChart chart(&host, QStringLiteral("ジョギング"), path, 2026);
    chart.show();
    if (!QTest::qWaitForWindowExposed(&chart))
        return 1;
    return chart.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
