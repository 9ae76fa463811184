// Loading and saving a year on arbitrary file bytes, on an in-memory device and
// through a real file, each result held against the file layout worked out byte by
// byte. The first five bytes pick the year, the day, the mark and what the buffer
// holds; the sixth how many filler records go before the file's own; the rest is
// the file.
#include "calendar/MonthGrid.h"
#include "CalendarModel.h"
#include "FuzzCheck.h"
#include "ScratchFile.h"
#include "storage/CalendarFile.h"
#include "storage/FileError.h"

#include <QBuffer>

using namespace hibi;

namespace {

YearMarks fromCells(const model::Cells &cells)
{
    YearMarks marks;
    marks.fromFileOrder(cells.data(), model::kCells);
    return marks;
}

bool sameRecords(const std::vector<model::Record> &a, const std::vector<model::Record> &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].year != b[i].year || a[i].cells != b[i].cells)
            return false;
    return true;
}

// The file grew or kept its length, and every byte outside [from, to) is as it
// was; bytes added before `from` (a record placed past the end) are zeros.
bool changedOnlyIn(const QByteArray &before, const QByteArray &after, qsizetype from, qsizetype to)
{
    if (after.size() < before.size())
        return false;
    for (qsizetype i = 0; i < after.size(); ++i) {
        if (i >= from && i < to)
            continue;
        if (i < before.size() ? after[i] != before[i] : (i >= to || after[i] != '\0'))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    if (size < 6)
        return 0;
    const int year = 1 + (data[0] | (data[1] << 8)) % 9999;
    const int month = 1 + data[2] % 12;
    const int day = 1 + data[3] % DaysInMonth(year, month);
    const Mark mark = Mark(data[4] & 3);
    const bool saveNoMarks = data[4] & 4;   // a year whose marks were all removed
    const bool noFile = data[4] & 8;
    const int pattern = data[4] >> 4;
    const QByteArray original = model::withFiller(
            QByteArray(reinterpret_cast<const char *>(data + 6), qsizetype(size - 6)), data[5]);

    const GridCell cell = CellOfDay(year, month, day);
    check(FileCellIndex(month, cell.col, cell.row) == model::dayCell(year, month, day), "the day's cell");

    // What the buffer held before a load: some pattern of marks, or none.
    model::Cells before{};
    for (int i = 0; i < model::kCells; ++i)
        before[size_t(i)] = std::uint8_t((i * pattern + pattern) % 4);

    QByteArray bytes = original;
    QBuffer device(&bytes);
    device.open(QIODevice::ReadWrite);

    std::vector<model::Record> visited;
    check(ForEachRecordIn(device, [&](std::uint16_t y, const std::uint8_t *cells) {
              model::Record r;
              r.year = y;
              std::copy(cells, cells + model::kCells, r.cells.begin());
              visited.push_back(r);
          }) == DeviceResult::Ok, "visit");
    check(sameRecords(visited, model::wholeRecords(original)), "every whole record visited, in order");

    YearMarks loaded = fromCells(before);
    check(ReadYearFrom(device, year, loaded) == DeviceResult::Ok, "read");
    check(loaded.toFileOrder() == model::read(original, year, before), "read as laid out");
    check(bytes == original, "reading writes nothing");

    YearMarks saved = loaded;
    if (saveNoMarks) {
        saved.clear();
    } else {
        std::uint8_t &m = saved.at(month, cell.col, cell.row);
        m = std::uint8_t((m + 1) % 4);
    }
    const model::Cells savedCells = saved.toFileOrder();
    check(SaveYearTo(device, year, saved) == DeviceResult::Ok, "save");
    check(bytes == model::save(original, year, savedCells), "saved as laid out");
    if (original.size() >= 2)
        check(bytes.left(2) == original.left(2), "header kept");
    if (bytes != original) {
        check(bytes.size() % model::kRecord == model::kHeader || bytes.size() == original.size(),
              "a save leaves whole records or the length as it was");
        const auto k = model::find(original, model::writerSlots(original), year)
                               .value_or(model::writerSlots(original));
        check(changedOnlyIn(original, bytes, model::recordStart(k), model::recordStart(k + 1)),
              "a save changes its record only");
    }
    YearMarks back;
    check(ReadYearFrom(device, year, back) == DeviceResult::Ok, "read back");
    if (bytes != original || saved.hasMarks())
        check(back == saved, "saved marks read back");

    const QByteArray beforeDay = bytes;
    check(WriteDayMarkTo(device, year, month, day, mark) == DeviceResult::Ok, "day mark");
    check(bytes == model::writeDay(beforeDay, year, month, day, mark), "day mark as laid out");
    back.clear();
    check(ReadYearFrom(device, year, back) == DeviceResult::Ok, "read day");
    check(back.at(month, cell.col, cell.row) == mark, "day mark read back");

    // The same operations through a file on disk, or without one.
    const QString path = scratchPath("calendar");
    std::optional<QByteArray> file;
    if (!noFile)
        file = original;
    check(setFile(path, file), "scratch file");
    try {
        YearMarks fileLoaded = fromCells(before);
        LoadYearMarks(path, year, fileLoaded);
        check(fileLoaded.toFileOrder() == (file ? model::read(*file, year, before) : before), "load from file");
        check(ReadYearMarks(path, year).toFileOrder() == model::read(file.value_or(QByteArray()), year, {}),
              "read from file");

        SaveYearMarks(path, year, saved);
        if (file)
            file = model::save(*file, year, savedCells);
        else if (saved.hasMarks())
            file = model::newFile(year, savedCells);
        check(fileBytes(path) == file, "file saved as laid out");

        WriteDayMark(path, year, month, day, mark);
        if (file) {
            file = model::writeDay(*file, year, month, day, mark);
        } else {
            model::Cells one{};
            one[size_t(model::dayCell(year, month, day))] = mark;
            file = model::newFile(year, one);
        }
        check(fileBytes(path) == file, "day mark in the file as laid out");

        // Creating never replaces a file that is there; on a free name it makes one.
        const auto existing = fileBytes(path);
        bool refused = false;
        try {
            CreateCalendarFile(path, year, saved);
        } catch (const FileError &) {
            refused = true;
        }
        check(refused == existing.has_value() && (!refused || fileBytes(path) == existing), "an existing file is kept");
        QFile::remove(path);
        CreateCalendarFile(path, year, saved);
        check(fileBytes(path) == model::newFile(year, savedCells), "a new file is header and one record");
    } catch (const FileError &) {
        check(false, "file error on a writable file");
    }
    QFile::remove(path);
    return 0;
}
