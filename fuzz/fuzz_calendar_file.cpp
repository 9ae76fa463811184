// Every calendar-file operation on arbitrary file bytes, on an in-memory device
// and through a real file. The first five bytes pick the year, date and mark.
#include "calendar/MonthGrid.h"
#include "FuzzCheck.h"
#include "storage/CalendarFile.h"
#include "storage/FileError.h"

#include <QBuffer>
#include <QDir>
#include <QCoreApplication>
#include <QFile>

using namespace hibi;

namespace {

QString scratchPath()
{
    static const QString path = QDir::tempPath() + QStringLiteral("/hibi-fuzz-%1.hsd").arg(QCoreApplication::applicationPid());
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    if (size < 5)
        return 0;
    const int year = 1 + (data[0] | (data[1] << 8)) % 9999;
    const int month = 1 + data[2] % 12;
    const int day = 1 + data[3] % DaysInMonth(year, month);
    const Mark mark = Mark(data[4] % 4);
    const QByteArray original(reinterpret_cast<const char *>(data + 5), qsizetype(size - 5));

    QByteArray bytes = original;
    QBuffer device(&bytes);
    device.open(QIODevice::ReadWrite);

    int visits = 0;
    check(ForEachRecordIn(device, [&](std::uint16_t, const std::uint8_t *) { ++visits; }) == DeviceResult::Ok, "visit");
    check(visits == (original.size() >= 2 ? int((original.size() - 2) / kRecordSize) : 0), "whole records only");

    YearMarks marks;
    check(ReadYearFrom(device, year, marks) == DeviceResult::Ok, "read");
    const GridCell cell = CellOfDay(year, month, day);
    marks.at(month, cell.col, cell.row) = std::uint8_t((marks.at(month, cell.col, cell.row) + 1) % 4);
    check(SaveYearTo(device, year, marks) == DeviceResult::Ok, "save");
    YearMarks back;
    check(ReadYearFrom(device, year, back) == DeviceResult::Ok, "read back");
    if (marks.hasMarks())
        check(back == marks, "saved marks read back");
    if (original.size() >= 2)
        check(bytes.left(2) == original.left(2), "header kept");

    check(WriteDayMarkTo(device, year, month, day, mark) == DeviceResult::Ok, "day mark");
    back.clear();
    check(ReadYearFrom(device, year, back) == DeviceResult::Ok, "read day");
    check(back.at(month, cell.col, cell.row) == mark, "day mark read back");

    // The same through a file on disk.
    const QString path = scratchPath();
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(original);
    }
    try {
        YearMarks fileMarks = ReadYearMarks(path, year);
        LoadYearMarks(path, year, fileMarks);
        SaveYearMarks(path, year, marks);
        WriteDayMark(path, year, month, day, mark);
        ForEachYearRecord(path, [](std::uint16_t, const std::uint8_t *) {});
        check(ReadYearMarks(path, year).at(month, cell.col, cell.row) == mark, "file day mark");
    } catch (const FileError &) {
        check(false, "file error on a writable file");
    }
    QFile::remove(path);
    return 0;
}
