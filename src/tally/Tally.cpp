#include "tally/Tally.h"

#include "storage/CalendarFile.h"

#include <tuple>

namespace hibi {

namespace {

// Counts the cells first .. last: 1 is a ○, 2 a ×, 3 a △, anything else nothing.
void countCells(const std::uint8_t *cells, int first, int last, MarkCounts &counts)
{
    if (first > last)
        return;
    // One pass without branches, which the compiler can turn into vector code.
    unsigned maru = 0;
    unsigned batu = 0;
    unsigned sankaku = 0;
    for (int i = first; i <= last; ++i) {
        const std::uint8_t v = cells[i];
        maru += v == 1;
        batu += v == 2;
        sankaku += v == 3;
    }
    counts.maru += int(maru);
    counts.batu += int(batu);
    counts.sankaku += int(sankaku);
}

} // namespace

MarkCounts TallyAll(const QString &calendarPath)
{
    MarkCounts counts;
    ForEachYearRecord(calendarPath, [&](std::uint16_t, const std::uint8_t *cells) {
        countCells(cells, 0, kYearCells - 1, counts);
    });
    return counts;
}

void OrderRange(RangePoint &start, RangePoint &end)
{
    if (std::tie(end.year, end.month, end.day) < std::tie(start.year, start.month, start.day))
        std::swap(start, end);
}

MarkCounts TallyRange(const QString &calendarPath, RangePoint &start, RangePoint &end)
{
    OrderRange(start, end);
    const RangePoint &s = start;
    const RangePoint &e = end;
    const int startCell = FileCellIndex(s.month, s.column, s.row);
    const int endCell = FileCellIndex(e.month, e.column, e.row);

    MarkCounts counts;
    ForEachYearRecord(calendarPath, [&](std::uint16_t year, const std::uint8_t *cells) {
        // Cells are visited in file order, month by month and row by row, which is
        // the order of the days; the ends are found by their cell alone.
        int first = 0;
        int last = -1;
        if (s.year < year && year < e.year) {
            last = kYearCells - 1;
        } else if (year == s.year && year == e.year) {
            first = startCell;
            last = endCell;
        } else if (year == s.year) {
            first = startCell;
            last = kYearCells - 1;
        } else if (year == e.year) {
            last = endCell;
        }
        countCells(cells, first, last, counts);
    });
    return counts;
}

} // namespace hibi
