#pragma once

#include "tally/Tally.h"

namespace hibi {

// Picking the two ends of a range on the month grid. The range command starts it
// (waiting for the first day), the first pick records the start and starts the
// blink, the second records the end; the tally then runs and the selection ends.
// The months may change between the picks.
struct RangeSelection
{
    int RangeState = 0;   // 0 idle, 1 waiting for the first day, 2 waiting for the last
    RangePoint RangeStart;
    RangePoint RangeEnd;
    bool RangeBlink = false;

    bool active() const { return RangeState != 0; }
    void begin() { RangeState = 1; }
    // The ends keep their values: a new selection overwrites them.
    void cancel();
    void pickStart(const RangePoint &start);
    void pickEnd(const RangePoint &end);
    void finish();
    // Whether the cell (col, row) of the month shown is filled with the highlight:
    // the first day while it blinks on, the last day once picked.
    bool highlights(int year, int month, int col, int row) const;
};

} // namespace hibi
