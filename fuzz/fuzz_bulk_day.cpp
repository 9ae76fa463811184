// The bulk window's reading and writing of one day on arbitrary calendar files:
// the year read through ReadYearMarks and the day's cell taken from it, then the
// day's mark written with WriteDayMark, a few times over. Each step is held against
// the file layout worked out byte by byte, and every day written reads back its
// last mark. Byte 0 gives the number of steps and whether there is a file, byte 1
// how many filler records go before the file's own; four bytes per step pick the
// day (years near those of the file's records) and the mark; the rest is the file.
#include "calendar/MonthGrid.h"
#include "CalendarModel.h"
#include "FuzzCheck.h"
#include "ScratchFile.h"
#include "storage/CalendarFile.h"
#include "storage/FileError.h"

#include <algorithm>
#include <map>
#include <tuple>

using namespace hibi;

namespace {

struct Step
{
    int year = 0;
    int month = 0;
    int day = 0;
    Mark mark = NoMark;
};

// The mark the bulk window shows for a day.
std::uint8_t dayRead(const QString &path, const Step &s)
{
    const GridCell cell = CellOfDay(s.year, s.month, s.day);
    return ReadYearMarks(path, s.year).at(s.month, cell.col, cell.row);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const bool noFile = data[0] & 0x80;
    const size_t stepCount = 1 + (data[0] & 7);
    if (size < 2 + 4 * stepCount)
        return 0;
    const std::uint8_t *picks = data + 2;
    const QByteArray original = model::withFiller(
            QByteArray(reinterpret_cast<const char *>(data + 2 + 4 * stepCount), qsizetype(size - 2 - 4 * stepCount)),
            data[1]);

    std::optional<QByteArray> file;
    if (!noFile)
        file = original;
    std::vector<int> years;
    if (file)
        for (qsizetype k = 0; k < model::readerSlots(*file); ++k) {
            const int year = model::wordAt(*file, model::recordStart(k));
            if (year >= kFirstYear && year <= kLastYear)
                years.push_back(year);
        }

    const QString path = scratchPath("bulk");
    check(setFile(path, file), "scratch file");
    std::map<std::tuple<int, int, int>, std::uint8_t> written;
    try {
        for (size_t i = 0; i < stepCount; ++i) {
            const std::uint8_t *p = picks + 4 * i;
            Step s;
            const int base = years.empty() ? 2024 : years[size_t(p[0] & 0x3F) % years.size()];
            s.year = std::clamp(base + (p[0] >> 6) - 1, kFirstYear, kLastYear);
            s.month = 1 + p[1] % 12;
            s.day = 1 + p[2] % DaysInMonth(s.year, s.month);
            s.mark = Mark(p[3] & 3);
            const int cell = model::dayCell(s.year, s.month, s.day);

            const model::Cells year = model::read(file.value_or(QByteArray()), s.year, {});
            check(ReadYearMarks(path, s.year).toFileOrder() == year, "the year read as laid out");
            check(dayRead(path, s) == year[size_t(cell)], "the day read from its cell");

            WriteDayMark(path, s.year, s.month, s.day, s.mark);
            if (file) {
                file = model::writeDay(*file, s.year, s.month, s.day, s.mark);
            } else {
                model::Cells one{};
                one[size_t(cell)] = s.mark;
                file = model::newFile(s.year, one);
            }
            check(fileBytes(path) == file, "the day written as laid out");
            check(dayRead(path, s) == s.mark, "the day reads back its mark");
            written[{s.year, s.month, s.day}] = s.mark;
        }
        for (const auto &[date, mark] : written) {
            const auto [year, month, day] = date;
            check(dayRead(path, {year, month, day, NoMark}) == mark, "every day keeps its last mark");
        }
    } catch (const FileError &) {
        check(false, "file error on a writable file");
    }
    QFile::remove(path);
    return 0;
}
