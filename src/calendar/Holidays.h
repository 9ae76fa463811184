#pragma once

#include "calendar/MonthGrid.h"

#include <QString>

#include <array>

namespace hibi {

struct MonthLayout;

enum class Equinox { None, Vernal, Autumnal };

// Day of the month of the vernal (March) or autumnal (September) equinox:
// a 1996 reference instant moved by whole tropical years of 365.2422 days.
int EquinoxDay(int year, Equinox kind);

struct HolidayEntry
{
    int day = 0;                        // 0: empty entry, or computed by EquinoxDay
    QString name;
    int beforeYear = 0;                 // 0: valid in all years, else only before this year
    Equinox computed = Equinox::None;
    bool used() const { return day != 0 || computed != Equinox::None; }
};

// Four entries per month, in ascending day order; May uses three.
struct HolidayTable
{
    std::array<std::array<HolidayEntry, 4>, 12> months;
    static HolidayTable Standard();
};

// The holiday rules for one laid-out month: created at the start of the month
// (its active entries), then asked about each day in day order.
class MonthHolidays
{
public:
    MonthHolidays(const HolidayTable &table, int year, int month, YearMonthDay16 today);

    // Flags a table holiday (moved to a later cell of the week when it falls on a
    // Sunday) and records today's cell. The holiday's own cell takes its name, a
    // moved flag the name "振替休日" unless its cell is a holiday by name already.
    void ClassifyDay(MonthLayout &layout, int day, int col, int row) const;
    // The Monday holidays that replaced fixed dates in 2000 and 2004; each takes
    // the name of the table row it replaced.
    void FlagMondayHolidays(MonthLayout &layout) const;

private:
    int m_year;
    int m_month;
    int m_firstWeekday;
    YearMonthDay16 m_today;
    std::array<int, 4> m_activeDays{};
    std::array<QString, 4> m_activeNames;
    QString m_mondayName;
};

} // namespace hibi
