#pragma once

#include "calendar/Holidays.h"
#include "calendar/MonthGrid.h"

#include <QString>

#include <array>
#include <optional>

namespace hibi {

struct DayCell
{
    int day = 0;            // 0: the cell holds no day
    bool holiday = false;   // drawn in holiday colours
    QString holidayName;    // shown when the pointer rests on the day; empty on a plain Sunday
    friend bool operator==(const DayCell &, const DayCell &) = default;
};

// Which days besides the Sundays are holidays: the fixed table with its Monday
// and substitute rules, or the public-holiday law as enacted.
enum class HolidayRules
{
    Table,
    Law,
};

// One laid-out month: the day cells of week rows 1..6, the grid's row count
// (header plus five or six week rows), today's cell and the caption.
struct MonthLayout
{
    std::array<std::array<DayCell, kWeekRows>, kColumns> cells{};
    int rowCount = 6;
    std::optional<GridCell> todayCell;   // set only when today lies in this month
    QString caption;

    DayCell &at(int col, int row) { return cells[col][row - 1]; }
    const DayCell &at(int col, int row) const { return cells[col][row - 1]; }
    friend bool operator==(const MonthLayout &, const MonthLayout &) = default;
};

// `holidays` serves the table rules only.
MonthLayout LayoutMonthGrid(int year, int month, YearMonthDay16 today, const HolidayTable &holidays,
                            HolidayRules rules = HolidayRules::Table);

} // namespace hibi
