// The runs of days with one mark that the year chart shows: the longest inside
// the chart's year and the one running up to today, across month and year ends
// and leap days, read from calendar files as the main window reads a year.
#include "storage/CalendarFile.h"
#include "tally/Streaks.h"

#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace hibi;
using namespace hibi::test;
using namespace std::chrono;

namespace {

using Marks = QList<std::tuple<int, int, int>>;

year_month_day ymd(const QDate &d)
{
    return std::chrono::year(d.year()) / d.month() / d.day();
}

QDate qdate(const year_month_day &d)
{
    return QDate(int(d.year()), int(unsigned(d.month())), int(unsigned(d.day())));
}

// A run as dates a reader can compare; no dates for no run.
struct Run
{
    QDate first;
    QDate last;
    int days = 0;
    bool operator==(const Run &) const = default;
};

Run runOf(const DayRun &r)
{
    return r.days == 0 ? Run{} : Run{qdate(r.first), qdate(r.last), r.days};
}

char *toString(const Run &r)
{
    return QTest::toString(QStringLiteral("%1 days, %2 .. %3")
                                   .arg(r.days)
                                   .arg(r.first.toString(Qt::ISODate), r.last.toString(Qt::ISODate)));
}

// Every day from `first` to `last` with `mark`.
Marks span(QDate first, QDate last, int mark = 1)
{
    Marks m;
    for (QDate d = first; d <= last; d = d.addDays(1))
        m.append({d.month(), d.day(), mark});
    return m;
}

// The same across years: one record for each year touched, in year order.
QByteArray spanRecords(QDate first, QDate last, int mark = 1)
{
    QByteArray bytes;
    for (int y = first.year(); y <= last.year(); ++y)
        bytes += record(y, span(std::max(first, QDate(y, 1, 1)), std::min(last, QDate(y, 12, 31)), mark));
    return bytes;
}

} // namespace

Q_DECLARE_METATYPE(Run)

class TestStreaks : public QObject
{
    Q_OBJECT

private slots:
    void runs_data();
    void runs();
    void eachYearReadOnce();
    void yearOfDaysInMemory();

private:
    QTemporaryDir m_dir;
};

void TestStreaks::runs_data()
{
    QTest::addColumn<bool>("hasFile");
    QTest::addColumn<QByteArray>("records");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("mark");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<Run>("longest");
    QTest::addColumn<Run>("current");

    const QDate today(2026, 3, 10);
    QTest::newRow("no file") << false << QByteArray() << 2026 << 1 << today << Run{} << Run{};
    QTest::newRow("header only") << true << QByteArray() << 2026 << 1 << today << Run{} << Run{};
    QTest::newRow("across a month end")
            << true << record(2026, span({2026, 1, 30}, {2026, 2, 2}) + Marks{{2, 4, 1}}) << 2026 << 1 << today
            << Run{{2026, 1, 30}, {2026, 2, 2}, 4} << Run{};
    QTest::newRow("29 February joins February to March")
            << true << record(2024, span({2024, 2, 27}, {2024, 3, 1})) << 2024 << 1 << today
            << Run{{2024, 2, 27}, {2024, 3, 1}, 4} << Run{};
    QTest::newRow("no 29 February: the 28th and the 1st are neighbours")
            << true << record(2025, span({2025, 2, 27}, {2025, 3, 1})) << 2025 << 1 << today
            << Run{{2025, 2, 27}, {2025, 3, 1}, 3} << Run{};
    {
        // A ○ in the cell after 28 February 2025, which holds no day.
        QByteArray r = record(2025, {{2, 28, 1}, {3, 2, 1}});
        r[2 + 42 + QDate(2025, 2, 1).dayOfWeek() % 7 + 28] = char(1);
        QTest::newRow("a mark in a cell without a day is no day")
                << true << r << 2025 << 1 << today << Run{{2025, 2, 28}, {2025, 2, 28}, 1} << Run{};
    }
    const Marks mixed = span({2026, 1, 5}, {2026, 1, 6}) + Marks{{1, 7, 2}} + span({2026, 1, 8}, {2026, 1, 10});
    QTest::newRow("another mark breaks a run of ○")
            << true << record(2026, mixed) << 2026 << 1 << today << Run{{2026, 1, 8}, {2026, 1, 10}, 3} << Run{};
    QTest::newRow("× chosen") << true << record(2026, mixed) << 2026 << 2 << today
                              << Run{{2026, 1, 7}, {2026, 1, 7}, 1} << Run{};
    QTest::newRow("△ chosen, none set") << true << record(2026, mixed) << 2026 << 3 << today << Run{} << Run{};
    QTest::newRow("equally long runs: the earliest")
            << true << record(2026, span({2026, 4, 1}, {2026, 4, 3}) + span({2026, 5, 1}, {2026, 5, 3})) << 2026 << 1
            << today << Run{{2026, 4, 1}, {2026, 4, 3}, 3} << Run{};
    QTest::newRow("days still to come count in the year")
            << true << record(2026, span({2026, 3, 8}, {2026, 3, 20})) << 2026 << 1 << today
            << Run{{2026, 3, 8}, {2026, 3, 20}, 13} << Run{{2026, 3, 8}, {2026, 3, 10}, 3};
    QTest::newRow("a run reaching today")
            << true << record(2026, span({2026, 3, 6}, {2026, 3, 10})) << 2026 << 1 << today
            << Run{{2026, 3, 6}, {2026, 3, 10}, 5} << Run{{2026, 3, 6}, {2026, 3, 10}, 5};
    QTest::newRow("today without a mark yet: the run up to yesterday")
            << true << record(2026, span({2026, 3, 5}, {2026, 3, 9})) << 2026 << 1 << today
            << Run{{2026, 3, 5}, {2026, 3, 9}, 5} << Run{{2026, 3, 5}, {2026, 3, 9}, 5};
    QTest::newRow("today and yesterday without the mark: no current run")
            << true << record(2026, span({2026, 3, 1}, {2026, 3, 8})) << 2026 << 1 << today
            << Run{{2026, 3, 1}, {2026, 3, 8}, 8} << Run{};
    QTest::newRow("today alone")
            << true << record(2026, {{3, 8, 1}, {3, 10, 1}}) << 2026 << 1 << today
            << Run{{2026, 3, 8}, {2026, 3, 8}, 1} << Run{{2026, 3, 10}, {2026, 3, 10}, 1};
    QTest::newRow("another mark today: the run up to yesterday")
            << true << record(2026, span({2026, 3, 7}, {2026, 3, 9}) + Marks{{3, 10, 2}}) << 2026 << 1 << today
            << Run{{2026, 3, 7}, {2026, 3, 9}, 3} << Run{{2026, 3, 7}, {2026, 3, 9}, 3};
    const QByteArray newYear = spanRecords({2025, 12, 28}, {2026, 1, 3});
    QTest::newRow("current run across the year end, chart of the new year")
            << true << newYear << 2026 << 1 << QDate(2026, 1, 3) << Run{{2026, 1, 1}, {2026, 1, 3}, 3}
            << Run{{2025, 12, 28}, {2026, 1, 3}, 7};
    QTest::newRow("current run across the year end, chart of the old year")
            << true << newYear << 2025 << 1 << QDate(2026, 1, 3) << Run{{2025, 12, 28}, {2025, 12, 31}, 4}
            << Run{{2025, 12, 28}, {2026, 1, 3}, 7};
    QTest::newRow("the year before without a record ends the run on 1 January")
            << true << record(2026, span({2026, 1, 1}, {2026, 1, 2})) << 2026 << 1 << QDate(2026, 1, 2)
            << Run{{2026, 1, 1}, {2026, 1, 2}, 2} << Run{{2026, 1, 1}, {2026, 1, 2}, 2};
    QTest::newRow("a run over all of a leap year and more")
            << true << spanRecords({2023, 12, 31}, {2025, 1, 1}) << 2024 << 1 << QDate(2025, 1, 1)
            << Run{{2024, 1, 1}, {2024, 12, 31}, 366} << Run{{2023, 12, 31}, {2025, 1, 1}, 368};
    QTest::newRow("records in any order")
            << true << record(2026, span({2026, 1, 1}, {2026, 1, 2})) + record(2025, span({2025, 12, 30}, {2025, 12, 31}))
            << 2026 << 1 << QDate(2026, 1, 2) << Run{{2026, 1, 1}, {2026, 1, 2}, 2}
            << Run{{2025, 12, 30}, {2026, 1, 2}, 4};
    QTest::newRow("a later record of the same year is not read")
            << true << record(2026, span({2026, 3, 9}, {2026, 3, 10})) + record(2026, span({2026, 3, 1}, {2026, 3, 10}))
            << 2026 << 1 << today << Run{{2026, 3, 9}, {2026, 3, 10}, 2} << Run{{2026, 3, 9}, {2026, 3, 10}, 2};
    {
        // The record ends inside February, after the 4th: what is there counts.
        const QByteArray r = record(2026, span({2026, 1, 30}, {2026, 2, 10}));
        const int cut = 2 + 42 + QDate(2026, 2, 1).dayOfWeek() % 7 + 4;
        QTest::newRow("record cut short") << true << r.left(cut) << 2026 << 1 << QDate(2026, 2, 10)
                                          << Run{{2026, 1, 30}, {2026, 2, 4}, 6} << Run{};
    }
    QTest::newRow("no day before 1 January of year 1")
            << true << record(1, span({1, 1, 1}, {1, 1, 3})) << 1 << 1 << QDate(1, 1, 3)
            << Run{{1, 1, 1}, {1, 1, 3}, 3} << Run{{1, 1, 1}, {1, 1, 3}, 3};
}

void TestStreaks::runs()
{
    QFETCH(bool, hasFile);
    QFETCH(QByteArray, records);
    QFETCH(int, year);
    QFETCH(int, mark);
    QFETCH(QDate, today);
    QFETCH(Run, longest);
    QFETCH(Run, current);

    const QString path = m_dir.filePath(QString::fromUtf8(QTest::currentDataTag()).replace(' ', '_') + ".hsd");
    if (hasFile)
        writeFile(path, header() + records);
    const std::array<Streaks, 3> streaks = ReadStreaks(path, year, ymd(today));
    const Streaks &s = streaks[size_t(mark - 1)];
    QCOMPARE(runOf(s.longest), longest);
    QCOMPARE(runOf(s.current), current);
    QCOMPARE(QFileInfo::exists(path), hasFile);   // reading made no file
}

// A run over years asks for each year once, however often its days are looked at.
void TestStreaks::eachYearReadOnce()
{
    QMap<int, int> reads;
    MarkedDays marked([&](int year) {
        ++reads[year];
        YearMarks all;
        for (int month = 1; month <= 12; ++month)
            for (int day = 1; day <= DaysInMonth(year, month); ++day) {
                const GridCell c = CellOfDay(year, month, day);
                all.at(month, c.col, c.row) = year >= 2020 ? Maru : NoMark;
            }
        return all;
    });
    const DayRun run = CurrentRun(marked, Maru, std::chrono::year(2026) / 3 / 10);
    QCOMPARE(runOf(run), (Run{{2020, 1, 1}, {2026, 3, 10}, int(QDate(2020, 1, 1).daysTo({2026, 3, 10})) + 1}));
    QCOMPARE(LongestRun(marked, 2023, Maru).days, 365);
    QCOMPARE(reads, (QMap<int, int>{{2019, 1}, {2020, 1}, {2021, 1}, {2022, 1}, {2023, 1}, {2024, 1}, {2025, 1}, {2026, 1}}));
}

// Marks already in memory serve as well as a file's.
void TestStreaks::yearOfDaysInMemory()
{
    const YearMarks marks = marksOf(2026, span({2026, 2, 26}, {2026, 3, 3}, 3));
    MarkedDays marked([&](int year) { return year == 2026 ? marks : YearMarks(); });
    QCOMPARE(runOf(LongestRun(marked, 2026, Sankaku)), (Run{{2026, 2, 26}, {2026, 3, 3}, 6}));
    QCOMPARE(runOf(CurrentRun(marked, Sankaku, std::chrono::year(2026) / 3 / 4)), (Run{{2026, 2, 26}, {2026, 3, 3}, 6}));
    QCOMPARE(runOf(CurrentRun(marked, Sankaku, std::chrono::year(2026) / 3 / 5)), Run{});
    QCOMPARE(runOf(LongestRun(marked, 2026, Maru)), Run{});
}

QTEST_GUILESS_MAIN(TestStreaks)
#include "tst_streaks.moc"
