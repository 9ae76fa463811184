#include "calendar/MonthGrid.h"

#include <chrono>

namespace hibi {

using namespace std::chrono;

bool IsSupportedYear(int year)
{
    return year >= kFirstYear && year <= kLastYear;
}

int FirstWeekday(int year, int month)
{
    const weekday w{sys_days{std::chrono::year{year} / std::chrono::month(unsigned(month)) / 1}};
    return int(w.c_encoding());
}

int DaysInMonth(int year, int month)
{
    const year_month_day_last last{std::chrono::year{year} / std::chrono::month(unsigned(month)) / std::chrono::last};
    return int(unsigned(last.day()));
}

GridCell CellOfDay(int year, int month, int day)
{
    const int k = FirstWeekday(year, month) + day - 1;
    return {k % 7, k / 7 + 1};
}

int DayOfCell(int year, int month, int col, int row)
{
    if (col < 0 || col >= kColumns || row < 1 || row > kWeekRows)
        return 0;
    const int day = 7 * (row - 1) + col - FirstWeekday(year, month) + 1;
    return day >= 1 && day <= DaysInMonth(year, month) ? day : 0;
}

YearMonthDay16 AddDays(YearMonthDay16 date, int days)
{
    const sys_days from{std::chrono::year{date.year} / std::chrono::month(unsigned(date.month)) / std::chrono::day(unsigned(date.day))};
    const year_month_day to{from + std::chrono::days{days}};
    return {int(to.year()), int(unsigned(to.month())), int(unsigned(to.day()))};
}

} // namespace hibi
