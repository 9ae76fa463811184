#pragma once

#include "storage/YearMarks.h"

#include <QString>

#include <array>
#include <chrono>
#include <functional>
#include <map>

namespace hibi {

// Consecutive days that all carry one mark, from `first` to `last`; `days` is 0
// when there is no such day.
struct DayRun
{
    std::chrono::year_month_day first{};
    std::chrono::year_month_day last{};
    int days = 0;
    friend bool operator==(const DayRun &, const DayRun &) = default;
};

// The runs of one mark that the year chart shows. Only a day without the mark
// ends a run: month and year ends, holidays and days without a record (which
// hold no mark) change nothing else.
struct Streaks
{
    // The longest run inside the year (the earliest of equally long ones);
    // marks on days still to come count like any other.
    DayRun longest;
    // The run that ends today or, while today has no mark yet, yesterday: today
    // does not break a run before it is over. It reaches back over earlier years
    // as far as the mark goes.
    DayRun current;
    friend bool operator==(const Streaks &, const Streaks &) = default;
};

// The marks of a calendar's days, each year asked of `readYear` once and kept.
// Years outside 1..9999 hold no marks.
class MarkedDays
{
public:
    using YearReader = std::function<YearMarks(int year)>;
    explicit MarkedDays(YearReader readYear) : m_readYear(std::move(readYear)) {}

    std::uint8_t markOf(std::chrono::year_month_day date);

private:
    YearReader m_readYear;
    std::map<int, YearMarks> m_years;
};

DayRun LongestRun(MarkedDays &marked, int year, Mark mark);
DayRun CurrentRun(MarkedDays &marked, Mark mark, std::chrono::year_month_day today);

// The streaks of ○, × and △ (in that order) for `year` of a calendar file, each
// year read as the main window reads it: a missing file or record has no marks,
// a record cut short by the end of the file has its marks up to the cut. A run
// that reaches back n years reads each of them once. Throws FileError.
std::array<Streaks, 3> ReadStreaks(const QString &calendarPath, int year, std::chrono::year_month_day today);

} // namespace hibi
