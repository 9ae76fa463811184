#pragma once

// A month spread over the seven columns of the month grid: column 0 is Sunday,
// row 0 is the weekday header, week rows 1..6 hold the days. Marks are stored
// by these cells, so this mapping is also the calendar file's layout.

namespace hibi {

constexpr int kFirstYear = 1;
constexpr int kLastYear = 9999;
constexpr int kWeekRows = 6;
constexpr int kColumns = 7;

struct GridCell
{
    int col = 0;
    int row = 0;
    friend bool operator==(const GridCell &, const GridCell &) = default;
};

struct YearMonthDay16
{
    int year = 0;
    int month = 0;
    int day = 0;
    friend bool operator==(const YearMonthDay16 &, const YearMonthDay16 &) = default;
};

bool IsSupportedYear(int year);
// 0 for Sunday .. 6 for Saturday.
int FirstWeekday(int year, int month);
int DaysInMonth(int year, int month);
GridCell CellOfDay(int year, int month, int day);
// The day standing in (col, row), or 0 when the cell holds no day.
int DayOfCell(int year, int month, int col, int row);
// The date `days` days after (or before) `date`, across months and years.
YearMonthDay16 AddDays(YearMonthDay16 date, int days);

} // namespace hibi
