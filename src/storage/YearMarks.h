#pragma once

#include <array>
#include <cstdint>

namespace hibi {

enum Mark : std::uint8_t { NoMark = 0, Maru = 1, Batu = 2, Sankaku = 3 };

constexpr int kMonthCells = 42;
constexpr int kYearCells = 12 * kMonthCells;   // 504 mark bytes of a year record

// Position of (month, col, row) among the 504 mark bytes of a record on disk:
// each month block row by row.
constexpr int FileCellIndex(int month, int col, int row)
{
    return (month - 1) * kMonthCells + (row - 1) * 7 + col;
}

// The marks of one year of one calendar. Marks sit column by column in memory and
// row by row on disk, so loading and saving transpose each month block.
class YearMarks
{
public:
    std::uint8_t at(int month, int col, int row) const { return m_cells[index(month, col, row)]; }
    std::uint8_t &at(int month, int col, int row) { return m_cells[index(month, col, row)]; }

    void clear() { m_cells.fill(0); }
    bool hasMarks() const;

    // The 504 bytes in file order.
    std::array<std::uint8_t, kYearCells> toFileOrder() const;
    // Takes the first `count` bytes of a record's marks in file order; the cells
    // beyond keep their value (a record cut short by the end of its file).
    void fromFileOrder(const std::uint8_t *bytes, int count);

    friend bool operator==(const YearMarks &, const YearMarks &) = default;

private:
    static constexpr int index(int month, int col, int row) { return (month - 1) * kMonthCells + 6 * col + (row - 1); }
    std::array<std::uint8_t, kYearCells> m_cells{};
};

} // namespace hibi
