#pragma once

#include <QString>

#include <cstdint>

namespace hibi {

struct MarkCounts
{
    int maru = 0;
    int batu = 0;
    int sankaku = 0;
    friend bool operator==(const MarkCounts &, const MarkCounts &) = default;
};

// One end of a range picked on the month grid.
struct RangePoint
{
    int year = 0;
    int month = 0;
    int row = 0;
    int column = 0;
    int day = 0;
    friend bool operator==(const RangePoint &, const RangePoint &) = default;
};

// Puts the two ends in date order, exchanging them when `end` is the earlier day.
void OrderRange(RangePoint &start, RangePoint &end);

// The marks among `size` bytes: 1 is a ○, 2 a ×, 3 a △, any other value nothing.
MarkCounts CountMarkBytes(const std::uint8_t *bytes, qsizetype size);

// The marks of every whole record of the calendar file; 0, 0, 0 without a file.
// Both tallies read the file, never the marks in memory. Throws FileError.
MarkCounts TallyAll(const QString &calendarPath);

// The marks from `start` to `end`, both inclusive, which are put in date order
// first (OrderRange).
MarkCounts TallyRange(const QString &calendarPath, RangePoint &start, RangePoint &end);

} // namespace hibi
