#pragma once

#include "storage/YearMarks.h"
#include "tally/Tally.h"

#include <QString>

#include <array>

namespace hibi {

// The ○, × and △ of one year of one calendar, month by month.
struct YearCounts
{
    int year = 0;
    std::array<MarkCounts, 12> months{};   // January first

    const MarkCounts &month(int m) const { return months[size_t(m - 1)]; }
    MarkCounts total() const;
    friend bool operator==(const YearCounts &, const YearCounts &) = default;
};

// Counts the marks of `year` held in `marks`, only on the cells that are days of
// their month.
YearCounts CountMonths(const YearMarks &marks, int year);

// The same for a calendar file, read like the main window reads a year; all 0
// without a file or a record. Throws FileError.
YearCounts ReadYearCounts(const QString &calendarPath, int year);

} // namespace hibi
