#pragma once

// File helpers for the tests, and calendar-file bytes worked out from the file
// layout alone (header word, then per record the year and 12 blocks of 42 bytes,
// row by row), independently of the code under test.

#include "calendar/MonthGrid.h"
#include "storage/FileError.h"
#include "storage/YearMarks.h"
#include "tally/MonthCounts.h"

#include <QDate>
#include <QFile>
#include <QList>
#include <QTest>

#include <functional>
#include <tuple>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace hibi::test {

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

#ifdef Q_OS_UNIX
// Runs `write` with this process's files limited to `limit` bytes, which stands
// in for a full disk: a write can only get part way. `message` takes the text of
// the FileError it threw, empty when none. The limit is lifted again after.
inline void writeOnFullDisk(qint64 limit, const std::function<void()> &write, QString &message)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = rlim_t(limit);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    message.clear();
    try {
        write();
    } catch (const FileError &e) {
        message = e.message();
    }
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &old), 0);
}
#endif

inline QByteArray header(int word = 100)
{
    return QByteArray(1, char(word & 0xFF)) + char(word >> 8);
}

// A year record with marks on the given (month, day, mark)s.
inline QByteArray record(int year, const QList<std::tuple<int, int, int>> &daysWithMarks = {})
{
    QByteArray r(506, '\0');
    r[0] = char(year & 0xFF);
    r[1] = char(year >> 8);
    for (const auto &[month, day, mark] : daysWithMarks) {
        const int w = QDate(year, month, 1).dayOfWeek() % 7;   // Sunday 0
        r[2 + (month - 1) * 42 + w + day - 1] = char(mark);
    }
    return r;
}

// Marks in memory to save, placed by the grid code; what they must become on disk
// comes from record().
inline YearMarks marksOf(int year, const QList<std::tuple<int, int, int>> &daysWithMarks)
{
    YearMarks m;
    for (const auto &[month, day, mark] : daysWithMarks) {
        const GridCell c = CellOfDay(year, month, day);
        m.at(month, c.col, c.row) = std::uint8_t(mark);
    }
    return m;
}

// The marks of `year` counted from a calendar file's bytes: the first record of
// the year, the days of each month found with QDate, values 1 to 3.
inline YearCounts countBytes(const QByteArray &file, int year)
{
    YearCounts counts;
    counts.year = year;
    for (qsizetype at = 2; at + 506 <= file.size(); at += 506) {
        if ((uchar(file[at]) | uchar(file[at + 1]) << 8) != year)
            continue;
        for (QDate d(year, 1, 1); d.year() == year; d = d.addDays(1)) {
            const int mark = file[at + 2 + (d.month() - 1) * 42 + QDate(year, d.month(), 1).dayOfWeek() % 7 + d.day() - 1];
            MarkCounts &c = counts.months[size_t(d.month() - 1)];
            c.maru += mark == 1;
            c.batu += mark == 2;
            c.sankaku += mark == 3;
        }
        break;
    }
    return counts;
}

} // namespace hibi::test
