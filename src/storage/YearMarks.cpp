#include "storage/YearMarks.h"

#include <algorithm>

namespace hibi {

bool YearMarks::hasMarks() const
{
    return std::any_of(m_cells.begin(), m_cells.end(), [](std::uint8_t m) { return m != 0; });
}

std::array<std::uint8_t, kYearCells> YearMarks::toFileOrder() const
{
    std::array<std::uint8_t, kYearCells> out{};
    for (int month = 1; month <= 12; ++month)
        for (int row = 1; row <= 6; ++row)
            for (int col = 0; col < 7; ++col)
                out[FileCellIndex(month, col, row)] = at(month, col, row);
    return out;
}

void YearMarks::fromFileOrder(const std::uint8_t *bytes, int count)
{
    for (int month = 1; month <= 12; ++month)
        for (int row = 1; row <= 6; ++row)
            for (int col = 0; col < 7; ++col) {
                const int i = FileCellIndex(month, col, row);
                if (i < count)
                    at(month, col, row) = bytes[i];
            }
}

} // namespace hibi
