#include "calendar/MonthLayout.h"

#include "calendar/HolidayLaw.h"

namespace hibi {

MonthLayout LayoutMonthGrid(int year, int month, YearMonthDay16 today, const HolidayTable &holidays,
                            HolidayRules rules)
{
    MonthLayout layout;
    layout.rowCount = 6;
    layout.caption = QString::number(year) + QStringLiteral("年") + QString::number(month) + QStringLiteral("月");

    const int w = FirstWeekday(year, month);
    const int lastDay = DaysInMonth(year, month);

    // Sundays are holidays whether or not the cell holds a day.
    for (int row = 1; row <= kWeekRows; ++row)
        layout.at(0, row).holiday = true;

    const bool byTable = rules == HolidayRules::Table;
    const MonthHolidays table(holidays, year, month, today);
    int day = 0;
    auto place = [&](int col, int row) {
        ++day;
        layout.at(col, row).day = day;
        if (byTable)
            table.ClassifyDay(layout, day, col, row);   // records today's cell too
        else if (today == YearMonthDay16{year, month, day})
            layout.todayCell = GridCell{col, row};
    };

    for (int col = w; col < kColumns; ++col)
        place(col, 1);
    if (byTable)
        table.FlagMondayHolidays(layout);
    for (int row = 2; row <= 5 && day < lastDay; ++row)
        for (int col = 0; col < kColumns && day < lastDay; ++col)
            place(col, row);
    if (day < lastDay) {
        layout.rowCount = 7;
        for (int col = 0; day < lastDay; ++col)
            place(col, 6);
    }
    if (!byTable) {
        for (const LawHoliday &h : LawHolidays(year)) {
            if (unsigned(h.date.month()) != unsigned(month))
                continue;
            const GridCell c = CellOfDay(year, month, int(unsigned(h.date.day())));
            DayCell &cell = layout.at(c.col, c.row);
            cell.holiday = true;
            cell.holidayName = h.name;
        }
    }
    return layout;
}

} // namespace hibi
