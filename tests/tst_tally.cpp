#include "TestFiles.h"

#include "calendar/MonthGrid.h"
#include "storage/CalendarFile.h"
#include "tally/Tally.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <utility>

using namespace hibi;
using namespace hibi::test;

namespace {

// The counting as written down for one mark at a time: 1 ○, 2 ×, 3 △, else nothing.
void countMark(std::uint8_t value, MarkCounts &counts)
{
    if (value == 1)
        ++counts.maru;
    else if (value == 2)
        ++counts.batu;
    else if (value == 3)
        ++counts.sankaku;
}

MarkCounts simpleCount(const QByteArray &bytes, qsizetype from, qsizetype size)
{
    MarkCounts counts;
    for (qsizetype i = from; i < from + size; ++i)
        countMark(std::uint8_t(bytes[i]), counts);
    return counts;
}

// Every mark byte of every whole record, one at a time.
MarkCounts simpleTallyAll(const QByteArray &file)
{
    MarkCounts counts;
    for (qsizetype at = 2; at + 506 <= file.size(); at += 506)
        for (qsizetype i = at + 2; i < at + 506; ++i)
            countMark(std::uint8_t(file[i]), counts);
    return counts;
}

int yearOf(const QByteArray &file, qsizetype at)
{
    return std::uint8_t(file[at]) | (std::uint8_t(file[at + 1]) << 8);
}

// The range walk cell by cell, with the in-range flag switched at the two ends.
MarkCounts simpleTallyRange(const QByteArray &file, RangePoint s, RangePoint e)
{
    if (std::tie(e.year, e.month, e.day) < std::tie(s.year, s.month, s.day))
        std::swap(s, e);
    MarkCounts counts;
    for (qsizetype at = 2; at + 506 <= file.size(); at += 506) {
        const int y = yearOf(file, at);
        const bool startYear = y == s.year;
        const bool endYear = y == e.year;
        if (!(s.year < y && y < e.year) && !startYear && !endYear)
            continue;
        bool inRange = !startYear;   // inside from the first cell unless the start lies here
        qsizetype cell = at + 2;
        for (int month = 1; month <= 12; ++month)
            for (int row = 1; row <= 6; ++row)
                for (int col = 0; col <= 6; ++col, ++cell) {
                    if (startYear && month == s.month && row == s.row && col == s.column)
                        inRange = true;
                    if (inRange)
                        countMark(std::uint8_t(file[cell]), counts);
                    if (endYear && month == e.month && row == e.row && col == e.column)
                        inRange = false;
                }
    }
    return counts;
}

// Mostly marks, now and then any byte at all.
std::uint8_t someByte(QRandomGenerator &random)
{
    const quint32 r = random.bounded(16);
    return r < 12 ? std::uint8_t(r % 4) : std::uint8_t(random.bounded(256));
}

QByteArray someBytes(QRandomGenerator &random, qsizetype size)
{
    QByteArray bytes(size, '\0');
    for (char &b : bytes)
        b = char(someByte(random));
    return bytes;
}

// Bytes as a calendar's marks are: 0 to 3 only.
QByteArray marksOnly(QRandomGenerator &random, qsizetype size)
{
    QByteArray bytes(size, '\0');
    for (char &b : bytes)
        b = char(random.bounded(4));
    return bytes;
}

RangePoint somePoint(QRandomGenerator &random, int firstYear, int lastYear)
{
    const int year = random.bounded(firstYear, lastYear + 1);
    const int month = random.bounded(1, 13);
    const int day = random.bounded(1, DaysInMonth(year, month) + 1);
    const GridCell cell = CellOfDay(year, month, day);
    return {year, month, cell.row, cell.col, day};
}

} // namespace

class TestTally : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void countMarkBytesMatchesOneAtATime_data();
    void countMarkBytesMatchesOneAtATime();
    void tallyAllMatchesOneAtATimeOnRandomFiles();
    void tallyRangeMatchesCellWalkOnRandomFiles();
    void noFileCountsNothing();

private:
    QString path() const { return m_dir->filePath(QStringLiteral("cal.hsd")); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestTally::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestTally::countMarkBytesMatchesOneAtATime_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("from");
    QRandomGenerator random(13);
    QTest::newRow("nothing") << QByteArray() << 0;
    QTest::newRow("shorter than one step") << someBytes(random, 31) << 0;
    QTest::newRow("one step exactly") << someBytes(random, 32) << 0;
    QTest::newRow("one record's marks, unaligned") << someBytes(random, 507) << 3;
    QTest::newRow("every byte value") << [] {
        QByteArray all(256, '\0');
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        return all;
    }() << 0;
    // More than 255 steps of the same mark in every lane.
    QTest::newRow("a long run of one mark") << QByteArray(70001, '\x01') << 0;
    QTest::newRow("a long run of the other two") << QByteArray(40000, '\x02') + QByteArray(40000, '\x03') << 1;
    QTest::newRow("a file's worth, random") << someBytes(random, 600 * 506) << 2;
    // Runs of nothing but marks and blanks, as a calendar holds, of whole steps
    // and not, and with a byte of another value at the ends or in the middle.
    QTest::newRow("a file's worth of marks") << marksOnly(random, 600 * 506) << 2;
    QTest::newRow("marks, 4,096 bytes") << marksOnly(random, 4096) << 0;
    QTest::newRow("marks, a byte short of 4,096") << marksOnly(random, 4096) << 1;
    QTest::newRow("marks, not whole steps") << marksOnly(random, 4096 + 128 + 77) << 3;
    for (const int stray : {4, 0x13, 0x80, 0xFF})
        for (const qsizetype at : {0, 100, 9999, 19967, 19999}) {
            QByteArray bytes = marksOnly(random, 20000);
            bytes[at] = char(stray);
            QTest::addRow("marks with byte %d at %lld", stray, qlonglong(at)) << bytes << 0;
        }
    // More than 16 MiB, with a stray byte near the end.
    const QByteArray longMarks = marksOnly(random, 8192).repeated(2048) + marksOnly(random, 5000 + 5);
    QTest::newRow("marks, over 16 MiB") << longMarks << 0;
    QTest::newRow("marks, over 16 MiB with a stray byte") << [&] {
        QByteArray bytes = longMarks;
        bytes[bytes.size() - 999] = char(7);
        return bytes;
    }() << 0;
}

void TestTally::countMarkBytesMatchesOneAtATime()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, from);
    const qsizetype size = bytes.size() - from;
    const auto *start = reinterpret_cast<const std::uint8_t *>(bytes.constData()) + from;
    QCOMPARE(CountMarkBytes(start, size), simpleCount(bytes, from, size));
    // And every shorter piece of the first 200 bytes, for the ends that don't fill a step.
    for (qsizetype n = 0; n <= std::min<qsizetype>(size, 200); ++n)
        QCOMPARE(CountMarkBytes(start, n), simpleCount(bytes, from, n));
}

void TestTally::tallyAllMatchesOneAtATimeOnRandomFiles()
{
    QRandomGenerator random(2026);
    // Around the size of the blocks the file is read in, and a cut-short last record.
    // Marks only, as a calendar holds them, and any bytes at all.
    for (const bool asMarks : {true, false}) {
        for (int records : {0, 1, 2, 1023, 1024, 1025, 2100}) {
            for (int tail : {0, 1, 300, 505}) {
                QByteArray file = header();
                for (int k = 0; k < records; ++k) {
                    // Year words whose bytes look like marks must not be counted.
                    file += char(someByte(random));
                    file += char(someByte(random));
                    file += asMarks ? marksOnly(random, 504) : someBytes(random, 504);
                }
                file += someBytes(random, tail);
                writeFile(path(), file);
                QCOMPARE(TallyAll(path()), simpleTallyAll(file));
            }
        }
    }
}

void TestTally::tallyRangeMatchesCellWalkOnRandomFiles()
{
    QRandomGenerator random(1999);
    for (int round = 0; round < 40; ++round) {
        // Years out of order, some twice, some missing.
        QByteArray file = header();
        const int records = random.bounded(0, 14);
        for (int k = 0; k < records; ++k) {
            const int year = random.bounded(2000, 2012);
            file += record(year).left(2) + someBytes(random, 504);
        }
        file += someBytes(random, random.bounded(0, 506));
        writeFile(path(), file);
        for (int pick = 0; pick < 10; ++pick) {
            // Both ends in one year now and then, the same day too.
            RangePoint start = somePoint(random, 2000, 2011);
            RangePoint end = pick % 3 == 0 ? somePoint(random, start.year, start.year) : somePoint(random, 2000, 2011);
            if (pick == 9)
                end = start;
            const RangePoint givenStart = start;
            const RangePoint givenEnd = end;
            const MarkCounts expected = simpleTallyRange(file, start, end);
            QCOMPARE(TallyRange(path(), start, end), expected);
            // The ends come back in date order.
            const bool exchanged =
                    std::tie(givenEnd.year, givenEnd.month, givenEnd.day) < std::tie(givenStart.year, givenStart.month, givenStart.day);
            QCOMPARE(start, exchanged ? givenEnd : givenStart);
            QCOMPARE(end, exchanged ? givenStart : givenEnd);
        }
    }
}

void TestTally::noFileCountsNothing()
{
    RangePoint start{2026, 1, 1, 4, 1};
    RangePoint end{2026, 12, 5, 4, 31};
    QCOMPARE(TallyAll(path()), MarkCounts{});
    QCOMPARE(TallyRange(path(), start, end), MarkCounts{});
    writeFile(path(), header() + record(2026, {{1, 1, Maru}}).left(505));
    QCOMPARE(TallyAll(path()), MarkCounts{});
    QCOMPARE(TallyRange(path(), start, end), MarkCounts{});
}

QTEST_GUILESS_MAIN(TestTally)
#include "tst_tally.moc"
