#include "tally/Streaks.h"

#include "calendar/MonthGrid.h"
#include "storage/CalendarFile.h"

namespace hibi {

using namespace std::chrono;

std::uint8_t MarkedDays::markOf(year_month_day date)
{
    const int year = int(date.year());
    if (!date.ok() || !IsSupportedYear(year))
        return NoMark;
    auto found = m_years.find(year);
    if (found == m_years.end())
        found = m_years.emplace(year, m_readYear(year)).first;
    const int month = int(unsigned(date.month()));
    const GridCell cell = CellOfDay(year, month, int(unsigned(date.day())));
    return found->second.at(month, cell.col, cell.row);
}

DayRun LongestRun(MarkedDays &marked, int year, Mark mark)
{
    DayRun longest;
    DayRun run;
    const sys_days end{std::chrono::year(year) / December / 31};
    for (sys_days d{std::chrono::year(year) / January / 1}; d <= end; d += days{1}) {
        if (marked.markOf(year_month_day{d}) != mark) {
            run.days = 0;
            continue;
        }
        if (run.days == 0)
            run.first = year_month_day{d};
        run.last = year_month_day{d};
        if (++run.days > longest.days)
            longest = run;
    }
    return longest;
}

DayRun CurrentRun(MarkedDays &marked, Mark mark, year_month_day today)
{
    sys_days last{today};
    if (marked.markOf(today) != mark)
        last -= days{1};
    if (marked.markOf(year_month_day{last}) != mark)
        return {};
    sys_days first = last;
    while (marked.markOf(year_month_day{first - days{1}}) == mark)
        first -= days{1};
    return {year_month_day{first}, year_month_day{last}, int((last - first).count()) + 1};
}

std::array<Streaks, 3> ReadStreaks(const QString &calendarPath, int year, year_month_day today)
{
    MarkedDays marked([&calendarPath](int y) { return ReadYearMarks(calendarPath, y); });
    std::array<Streaks, 3> streaks;
    for (const Mark mark : {Maru, Batu, Sankaku})
        streaks[size_t(mark - 1)] = {LongestRun(marked, year, mark), CurrentRun(marked, mark, today)};
    return streaks;
}

} // namespace hibi
