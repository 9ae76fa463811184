// The year chart's numbers: the ○, × and △ of each month of one year of a
// calendar file, against a count made here from the file's bytes.
#include "tally/MonthCounts.h"

#include "storage/FileError.h"

#include "TestFiles.h"

#include <QDate>
#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace hibi;
using namespace hibi::test;

namespace {

// A file of several years of random marks, with rubbish in the cells without a day.
QByteArray randomFile(quint32 seed, const QList<int> &years)
{
    QRandomGenerator random(seed);
    QByteArray file = header();
    for (int year : years) {
        QByteArray r = record(year);
        for (int i = 2; i < r.size(); ++i)
            r[i] = char(random.bounded(10) < 6 ? 0 : random.bounded(1, 4));
        // Cells without a day: what a file made elsewhere might hold there.
        for (int month = 1; month <= 12; ++month) {
            const int first = QDate(year, month, 1).dayOfWeek() % 7;
            const int days = QDate(year, month, 1).daysInMonth();
            for (int cell = 0; cell < 42; ++cell)
                if (cell < first || cell >= first + days)
                    r[2 + (month - 1) * 42 + cell] = char(random.bounded(1, 4));
        }
        r[2 + 5 * 42 + 20] = char(9);   // a value that is no mark
        file += r;
    }
    return file;
}

} // namespace

class TestMonthCounts : public QObject
{
    Q_OBJECT

private slots:
    void countsTheFile_data();
    void countsTheFile();
    void cellsWithoutADayCountNothing();
    void missingFileOrYearCountsNothing();
    void unreadableFileThrows();
};

void TestMonthCounts::countsTheFile_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<QList<int>>("years");
    QTest::addColumn<int>("year");
    QTest::newRow("2026, the only record") << 1u << QList<int>{2026} << 2026;
    QTest::newRow("2024 (leap), between others") << 2u << QList<int>{2026, 2024, 2025} << 2024;
    QTest::newRow("2025, the last of three out of order") << 3u << QList<int>{2026, 2024, 2025} << 2025;
    QTest::newRow("2000 stored twice: the first record") << 4u << QList<int>{2000, 1999, 2000} << 2000;
    QTest::newRow("2100, not a leap year") << 5u << QList<int>{2100} << 2100;
}

void TestMonthCounts::countsTheFile()
{
    QFETCH(quint32, seed);
    QFETCH(QList<int>, years);
    QFETCH(int, year);
    QTemporaryDir dir;
    const QString path = dir.filePath("a.hsd");
    const QByteArray file = randomFile(seed, years);
    writeFile(path, file);

    const YearCounts counts = ReadYearCounts(path, year);
    const YearCounts expected = countBytes(file, year);
    QCOMPARE(counts, expected);
    QCOMPARE(counts.year, year);
    // Random marks on about 146 days of a year, some 49 of each kind.
    const MarkCounts total = counts.total();
    QVERIFY(total.maru > 30 && total.batu > 30 && total.sankaku > 30);
    int days = 0;
    for (const MarkCounts &m : counts.months)
        days += m.maru + m.batu + m.sankaku;
    QCOMPARE(total.maru + total.batu + total.sankaku, days);
    QVERIFY(days <= QDate(year, 1, 1).daysInYear());
}

// Only rubbish in the cells without a day, on the last day of a month, and on
// the last possible cell: only the day counts.
void TestMonthCounts::cellsWithoutADayCountNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.hsd");
    QByteArray r = record(2026, {{2, 28, 1}, {5, 31, 3}});
    for (int cell = 28; cell < 42; ++cell)   // February 2026: Sunday 1st, 28 days
        r[2 + 42 + cell] = char(2);
    r[2 + 11 * 42 + 41] = char(1);          // December 2026 ends in cell 33
    writeFile(path, header() + r);
    const YearCounts counts = ReadYearCounts(path, 2026);
    QCOMPARE(counts.month(2), (MarkCounts{1, 0, 0}));
    QCOMPARE(counts.month(5), (MarkCounts{0, 0, 1}));
    QCOMPARE(counts.month(12), MarkCounts{});
    QCOMPARE(counts.total(), (MarkCounts{1, 0, 1}));
}

void TestMonthCounts::missingFileOrYearCountsNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.hsd");
    YearCounts none;
    none.year = 2026;
    QCOMPARE(ReadYearCounts(path, 2026), none);
    writeFile(path, header() + record(2025, {{1, 1, 1}}));
    QCOMPARE(ReadYearCounts(path, 2026), none);
    QCOMPARE(ReadYearCounts(path, 2025).month(1), (MarkCounts{1, 0, 0}));
}

void TestMonthCounts::unreadableFileThrows()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.hsd");
    QVERIFY(QDir().mkdir(path));
    QString message;
    try {
        ReadYearCounts(path, 2026);
    } catch (const FileError &e) {
        message = e.message();
    }
    QCOMPARE(message, FileError::cannotOpen(path).message());
}

QTEST_GUILESS_MAIN(TestMonthCounts)
#include "tst_monthcounts.moc"
