#pragma once

#include "storage/YearMarks.h"

#include <QString>

#include <cstdint>
#include <functional>

class QIODevice;

namespace hibi {

// A calendar file: a 2-byte header word, then one 506-byte record per year that
// ever held marks (the year, then 504 mark bytes), in the order the years were
// first saved. Little-endian, no index: a year is found by a linear scan.
constexpr int kHeaderSize = 2;
constexpr int kRecordSize = 2 + kYearCells;
constexpr std::uint16_t kHeaderWord = 100;

// A calendar's file is its name and this ending, in the program's folder.
inline const QString kCalendarExtension = QStringLiteral(".hsd");
QString CalendarFilePath(const QString &programFolder, const QString &calendarName);

// Every operation opens the file, works and closes it before it returns, also when
// it throws FileError. A missing file is normal: reading finds no marks. Only a
// regular file is opened; anything else at the path is a file that cannot be opened.
// A write returns once its bytes, and any name it made, renamed or removed, are
// synced to the disk; a sync that fails is a write that fails. Before a file's
// first change of the day its bytes go to the day's backup (Backups.h); when that
// cannot be made, the file is left as it was and FileError::cannotBackUp says so.

// Copies the year's record into `marks`; leaves `marks` as it was when the file or
// the record is missing, or for the cells past the end of a record cut short.
void LoadYearMarks(const QString &path, int year, YearMarks &marks);
// The year's marks, all 0 when the file or the record is missing.
YearMarks ReadYearMarks(const QString &path, int year);
// Rewrites the year's record in place or appends it; a year without marks and
// without a record writes nothing, and no file is created for it.
void SaveYearMarks(const QString &path, int year, const YearMarks &marks);
// Creates the file: header and one record of `year`, 508 bytes. A file that
// exists already is left alone and reported as one that cannot be created.
void CreateCalendarFile(const QString &path, int year, const YearMarks &marks);
// Stores one day's mark; an existing record changes in that one byte, a missing
// year is appended as a record of zeros but for that day.
void WriteDayMark(const QString &path, int year, int month, int day, Mark mark);
// Deletes a calendar's file: into the desktop's trash, where the user can take it
// back, or removed outright where there is no trash. A missing file is nothing
// to do; anything that is not a regular file, or will not go, throws FileError.
void DeleteCalendarFile(const QString &path);
// Renames a calendar's file, never over another file; a missing file is nothing
// to rename. Throws FileError::cannotRename.
void RenameCalendarFile(const QString &from, const QString &to);
// Visits every whole record in file order; the header and a record cut short by
// the end of the file are never visited.
using RecordVisitor = std::function<void(std::uint16_t year, const std::uint8_t *marks)>;
void ForEachYearRecord(const QString &path, const RecordVisitor &visit);
// The same records, read in large blocks and handed over a run at a time:
// `records` holds `count` whole records of kRecordSize bytes, each its year word
// and then its marks, in file order.
using RecordBlockVisitor = std::function<void(const std::uint8_t *records, qint64 count)>;
void ForEachRecordBlock(const QString &path, const RecordBlockVisitor &visit);

// The same work on an open device, for tests and fuzzing.
enum class DeviceResult { Ok, ReadFailed, WriteFailed };
DeviceResult ReadYearFrom(QIODevice &device, int year, YearMarks &marks);
DeviceResult SaveYearTo(QIODevice &device, int year, const YearMarks &marks);
DeviceResult WriteDayMarkTo(QIODevice &device, int year, int month, int day, Mark mark);
DeviceResult ForEachRecordIn(QIODevice &device, const RecordVisitor &visit);
DeviceResult ForEachRecordBlockIn(QIODevice &device, const RecordBlockVisitor &visit);

} // namespace hibi
