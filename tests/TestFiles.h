#pragma once

// File helpers for the tests, and calendar-file bytes worked out from the file
// layout alone (header word, then per record the year and 12 blocks of 42 bytes,
// row by row), independently of the code under test.

#include <QDate>
#include <QFile>
#include <QList>
#include <QTest>

#include <tuple>

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

} // namespace hibi::test
