// Both tallies on arbitrary calendar files, held against plain counts: the whole
// period against a count of the bytes 1, 2 and 3 of every whole record; a range
// against a count over its cells, and, once the cells without a day are cleared,
// against a count over the days of its dates. Byte 0 says whether there is a file,
// bytes 1-6 pick the two ends (years near those of the file's records), byte 7 how
// many filler records go before the file's own (its high bit: with marks only, as
// a calendar's are); the rest is the file.
#include "calendar/MonthGrid.h"
#include "CalendarModel.h"
#include "FuzzCheck.h"
#include "ScratchFile.h"
#include "storage/FileError.h"
#include "tally/Tally.h"

#include <algorithm>
#include <tuple>

using namespace hibi;

namespace {

void add(MarkCounts &counts, std::uint8_t byte)
{
    counts.maru += byte == 1;
    counts.batu += byte == 2;
    counts.sankaku += byte == 3;
}

// A day picked on the grid: a year close to one the file holds, so that ranges
// start, end and pass inside records.
RangePoint pick(const std::vector<int> &years, std::uint8_t yearPick, std::uint8_t monthPick, std::uint8_t dayPick)
{
    const int base = years.empty() ? 2024 : years[size_t(yearPick & 0x3F) % years.size()];
    const int year = std::clamp(base + (yearPick >> 6) - 1, kFirstYear, kLastYear);
    const int month = 1 + monthPick % 12;
    const int day = 1 + dayPick % QDate(year, month, 1).daysInMonth();
    const GridCell cell = CellOfDay(year, month, day);
    return {year, month, cell.row, cell.col, day};
}

auto dateOf(const RangePoint &p)
{
    return std::make_tuple(p.year, p.month, p.day);
}

// Every cell of every whole record from the first end's cell to the last end's,
// both inclusive, cells without a day included.
MarkCounts countCells(const std::vector<model::Record> &records, RangePoint s, RangePoint e)
{
    if (dateOf(e) < dateOf(s))
        std::swap(s, e);
    const auto first = std::make_tuple(s.year, model::dayCell(s.year, s.month, s.day));
    const auto last = std::make_tuple(e.year, model::dayCell(e.year, e.month, e.day));
    MarkCounts counts;
    for (const model::Record &r : records)
        for (int i = 0; i < model::kCells; ++i)
            if (std::make_tuple(r.year, i) >= first && std::make_tuple(r.year, i) <= last)
                add(counts, r.cells[size_t(i)]);
    return counts;
}

// The days from one date to the other, both inclusive, in every record of their year.
MarkCounts countDays(const std::vector<model::Record> &records, RangePoint s, RangePoint e)
{
    if (dateOf(e) < dateOf(s))
        std::swap(s, e);
    MarkCounts counts;
    for (const model::Record &r : records) {
        if (r.year < s.year || r.year > e.year)
            continue;
        for (int month = 1; month <= 12; ++month)
            for (int day = 1; day <= QDate(r.year, month, 1).daysInMonth(); ++day) {
                const auto date = std::make_tuple(r.year, month, day);
                if (date >= dateOf(s) && date <= dateOf(e))
                    add(counts, r.cells[size_t(model::dayCell(r.year, month, day))]);
            }
    }
    return counts;
}

// The file with every cell that holds no day of its month set to 0, as the program
// itself leaves them.
QByteArray withoutStrayCells(QByteArray file)
{
    const auto records = model::wholeRecords(file);
    for (size_t k = 0; k < records.size(); ++k) {
        const int year = records[k].year;
        const bool dated = year >= kFirstYear && year <= kLastYear;
        for (int i = 0; i < model::kCells; ++i) {
            const int month = 1 + i / 42;
            const int day = dated ? i % 42 - QDate(year, month, 1).dayOfWeek() % 7 + 1 : 0;
            if (!dated || day < 1 || day > QDate(year, month, 1).daysInMonth())
                file[model::recordStart(qsizetype(k)) + 2 + i] = '\0';
        }
    }
    return file;
}

MarkCounts tallyRange(const QString &path, RangePoint a, RangePoint b)
{
    const RangePoint pickedA = a;
    const RangePoint pickedB = b;
    const MarkCounts counts = TallyRange(path, a, b);
    check(dateOf(a) <= dateOf(b), "the ends are put in date order");
    check((a == pickedA && b == pickedB) || (a == pickedB && b == pickedA), "the ends are only exchanged");
    return counts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    if (size < 8)
        return 0;
    const bool noFile = data[0] & 1;
    const QByteArray original = model::withFiller(
            QByteArray(reinterpret_cast<const char *>(data + 8), qsizetype(size - 8)), data[7] & 0x7F, data[7] & 0x80);
    const std::vector<model::Record> records = noFile ? std::vector<model::Record>() : model::wholeRecords(original);

    std::vector<int> years;
    for (const model::Record &r : records)
        if (r.year >= kFirstYear && r.year <= kLastYear)
            years.push_back(r.year);
    const RangePoint a = pick(years, data[1], data[2], data[3]);
    const RangePoint b = pick(years, data[4], data[5], data[6]);

    const QString path = scratchPath("tally");
    std::optional<QByteArray> file;
    if (!noFile)
        file = original;
    check(setFile(path, file), "scratch file");
    try {
        MarkCounts all;
        for (const model::Record &r : records)
            for (std::uint8_t byte : r.cells)
                add(all, byte);
        check(TallyAll(path) == all, "whole period: the marks of every whole record");

        const MarkCounts range = tallyRange(path, a, b);
        check(range == countCells(records, a, b), "range: the cells from one end to the other");
        check(tallyRange(path, b, a) == range, "range: the same in either order");

        if (file) {
            const QByteArray cleared = withoutStrayCells(*file);
            check(setFile(path, cleared), "scratch file");
            check(tallyRange(path, a, b) == countDays(model::wholeRecords(cleared), a, b),
                  "range: the days from one date to the other");
        }
        check(fileBytes(path) == (file ? std::optional(withoutStrayCells(*file)) : std::nullopt),
              "a tally writes nothing");
    } catch (const FileError &) {
        check(false, "file error on a readable file");
    }
    QFile::remove(path);
    return 0;
}
