#include "tally/Tally.h"

#include "storage/CalendarFile.h"

#include <algorithm>
#include <tuple>

namespace hibi {

namespace {

// The machine code is made twice where the compiler can: for AVX2 and for any
// x86-64, the choice falling at load time.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define HIBI_WIDE_CODE [[gnu::target_clones("avx2", "default")]]
#else
#define HIBI_WIDE_CODE
#endif

struct WideCounts
{
    std::uint64_t maru = 0;
    std::uint64_t batu = 0;
    std::uint64_t sankaku = 0;
};

// One pass over the bytes, 32 at a time: each of 32 lanes counts its ○, × and △
// in a byte, which the compiler turns into vector compares, and the lanes are
// added up every 255 steps, before a byte could overflow.
constexpr std::size_t kLanes = 32;

HIBI_WIDE_CODE
void countBytes(const std::uint8_t *bytes, std::size_t size, WideCounts &counts)
{
    std::size_t i = 0;
    while (size - i >= kLanes) {
        const std::size_t end = i + std::min<std::size_t>((size - i) / kLanes, 255) * kLanes;
        std::uint8_t maru[kLanes] = {};
        std::uint8_t batu[kLanes] = {};
        std::uint8_t sankaku[kLanes] = {};
        for (; i < end; i += kLanes)
            for (std::size_t k = 0; k < kLanes; ++k) {
                maru[k] += bytes[i + k] == 1;
                batu[k] += bytes[i + k] == 2;
                sankaku[k] += bytes[i + k] == 3;
            }
        for (std::size_t k = 0; k < kLanes; ++k) {
            counts.maru += maru[k];
            counts.batu += batu[k];
            counts.sankaku += sankaku[k];
        }
    }
    for (; i < size; ++i) {
        counts.maru += bytes[i] == 1;
        counts.batu += bytes[i] == 2;
        counts.sankaku += bytes[i] == 3;
    }
}

void add(MarkCounts &counts, const WideCounts &wide)
{
    counts.maru += int(wide.maru);
    counts.batu += int(wide.batu);
    counts.sankaku += int(wide.sankaku);
}

} // namespace

MarkCounts CountMarkBytes(const std::uint8_t *bytes, qsizetype size)
{
    WideCounts wide;
    countBytes(bytes, std::size_t(std::max<qsizetype>(size, 0)), wide);
    MarkCounts counts;
    add(counts, wide);
    return counts;
}

MarkCounts TallyAll(const QString &calendarPath)
{
    WideCounts wide;
    ForEachRecordBlock(calendarPath, [&](const std::uint8_t *records, qint64 count) {
        // The whole run at once, the year words included; then the year words'
        // bytes are taken out again, as they are never marks.
        countBytes(records, std::size_t(kRecordSize * count), wide);
        for (qint64 k = 0; k < count; ++k)
            for (const std::uint8_t b : {records[kRecordSize * k], records[kRecordSize * k + 1]}) {
                wide.maru -= b == 1;
                wide.batu -= b == 2;
                wide.sankaku -= b == 3;
            }
    });
    MarkCounts counts;
    add(counts, wide);
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

    WideCounts wide;
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
        if (first <= last)
            countBytes(cells + first, std::size_t(last - first + 1), wide);
    });
    MarkCounts counts;
    add(counts, wide);
    return counts;
}

} // namespace hibi
