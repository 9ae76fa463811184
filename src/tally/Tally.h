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
// They are counted in the widest steps the processor has (64 bytes with AVX-512),
// or in 32-byte steps when asked, which is what runs where AVX-512 is missing.
enum class StepWidth { Widest, Bytes32 };
MarkCounts CountMarkBytes(const std::uint8_t *bytes, qsizetype size, StepWidth width = StepWidth::Widest);
int WidestStepBytes();   // 64 or 32
// Whether the widest steps count long runs of bytes that are all 0 to 3, as a
// calendar's are, through sums of the bytes, their squares and cubes (AVX-512
// VNNI); a run with any other byte is counted by comparing.
bool CountsBySums();

// The marks of every whole record of the calendar file; 0, 0, 0 without a file.
// Both tallies read the file, never the marks in memory. Throws FileError.
MarkCounts TallyAll(const QString &calendarPath);

// The marks from `start` to `end`, both inclusive, which are put in date order
// first (OrderRange).
MarkCounts TallyRange(const QString &calendarPath, RangePoint &start, RangePoint &end);

} // namespace hibi
