#include "tally/MonthCounts.h"

#include "calendar/MonthGrid.h"
#include "storage/CalendarFile.h"

namespace hibi {

MarkCounts YearCounts::total() const
{
    MarkCounts sum;
    for (const MarkCounts &m : months) {
        sum.maru += m.maru;
        sum.batu += m.batu;
        sum.sankaku += m.sankaku;
    }
    return sum;
}

YearCounts CountMonths(const YearMarks &marks, int year)
{
    YearCounts counts;
    counts.year = year;
    for (int month = 1; month <= 12; ++month) {
        MarkCounts &c = counts.months[size_t(month - 1)];
        // Only the days: the cells before the 1st and after the last day hold 0
        // in every file the program writes, but a stray mark there (a file made by
        // hand or by another program) belongs to no date and must not add to the
        // month's count.
        const int days = DaysInMonth(year, month);
        for (int day = 1; day <= days; ++day) {
            const GridCell cell = CellOfDay(year, month, day);
            switch (marks.at(month, cell.col, cell.row)) {
            case Maru: ++c.maru; break;
            case Batu: ++c.batu; break;
            case Sankaku: ++c.sankaku; break;
            default: break;
            }
        }
    }
    return counts;
}

YearCounts ReadYearCounts(const QString &calendarPath, int year)
{
    return CountMonths(ReadYearMarks(calendarPath, year), year);
}

} // namespace hibi
