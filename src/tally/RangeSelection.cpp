#include "tally/RangeSelection.h"

namespace hibi {

void RangeSelection::cancel()
{
    RangeState = 0;
    RangeBlink = false;
}

void RangeSelection::pickStart(const RangePoint &start)
{
    RangeStart = start;
    RangeState = 2;
    RangeBlink = true;
}

void RangeSelection::pickEnd(const RangePoint &end)
{
    RangeEnd = end;
    RangeBlink = true;
}

void RangeSelection::finish()
{
    RangeStart.column = RangeStart.row = 0;
    RangeEnd.column = RangeEnd.row = 0;
    RangeState = 0;
    RangeBlink = false;
}

bool RangeSelection::highlights(int year, int month, int col, int row) const
{
    if (RangeState != 2 || row == 0)
        return false;
    auto isAt = [&](const RangePoint &p) { return p.year == year && p.month == month && p.column == col && p.row == row; };
    return (RangeBlink && isAt(RangeStart)) || isAt(RangeEnd);
}

} // namespace hibi
