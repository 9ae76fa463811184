#include "calendar/Clock.h"
#include "calendar/MonthGrid.h"
#include "calendar/MonthLayout.h"

#include <QTest>

using namespace hibi;

class TestMonthGrid : public QObject
{
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void cellOfDayInvertsDayOfCell();
    void sundayColumnAlwaysFlagged();
    void todayCell_data();
    void todayCell();
    void caption();
    void fixedToday();
};

void TestMonthGrid::layout_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<int>("lastDay");
    QTest::addColumn<int>("lastCol");
    QTest::addColumn<int>("lastRow");

    QTest::newRow("Feb 2026: Sunday 1st, 28 days, row 5 empty") << 2026 << 2 << 6 << 28 << 6 << 4;
    QTest::newRow("Feb 2024: leap, 29th in row 5") << 2024 << 2 << 6 << 29 << 4 << 5;
    QTest::newRow("Dec 2000: 31st alone in row 6") << 2000 << 12 << 7 << 31 << 0 << 6;
    QTest::newRow("Jan 2000: 30th and 31st in row 6") << 2000 << 1 << 7 << 31 << 1 << 6;
    QTest::newRow("Sep 2001: 30th alone in row 6") << 2001 << 9 << 7 << 30 << 0 << 6;
    QTest::newRow("Mar 2026: five rows") << 2026 << 3 << 6 << 31 << 2 << 5;
    QTest::newRow("Feb 1900: not a leap year") << 1900 << 2 << 6 << 28 << 3 << 5;
    QTest::newRow("Feb 2000: leap year") << 2000 << 2 << 6 << 29 << 2 << 5;
    QTest::newRow("Jan 1: proleptic Gregorian") << 1 << 1 << 6 << 31 << 3 << 5;
    QTest::newRow("Dec 9999") << 9999 << 12 << 6 << 31 << 5 << 5;
}

void TestMonthGrid::layout()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, rowCount);
    QFETCH(int, lastDay);
    QFETCH(int, lastCol);
    QFETCH(int, lastRow);

    const MonthLayout l = LayoutMonthGrid(year, month, {2026, 12, 10}, HolidayTable::Standard());
    QCOMPARE(l.rowCount, rowCount);
    QCOMPARE(DaysInMonth(year, month), lastDay);
    QCOMPARE(l.at(lastCol, lastRow).day, lastDay);
    QCOMPARE(CellOfDay(year, month, lastDay), (GridCell{lastCol, lastRow}));
    QCOMPARE(rowCount == 7, FirstWeekday(year, month) + lastDay > 35);

    // Every cell holds exactly the day its position says, and days run in order.
    int expected = 0;
    for (int row = 1; row <= 6; ++row)
        for (int col = 0; col < 7; ++col) {
            const int day = l.at(col, row).day;
            QCOMPARE(day, DayOfCell(year, month, col, row));
            if (day != 0)
                QCOMPARE(day, ++expected);
        }
    QCOMPARE(expected, lastDay);
}

void TestMonthGrid::cellOfDayInvertsDayOfCell()
{
    for (int year : {1, 1582, 1900, 2000, 2023, 2024, 9999})
        for (int month = 1; month <= 12; ++month)
            for (int day = 1; day <= DaysInMonth(year, month); ++day) {
                const GridCell c = CellOfDay(year, month, day);
                QCOMPARE(DayOfCell(year, month, c.col, c.row), day);
            }
    QCOMPARE(DayOfCell(2026, 2, 0, 0), 0);   // the header row holds no day
    QCOMPARE(DayOfCell(2026, 3, 0, 1), 1);   // 1 March 2026 is a Sunday
    QCOMPARE(DayOfCell(2026, 4, 2, 1), 0);   // before the 1st (a Wednesday)
    QCOMPARE(CellOfDay(2025, 11, 30), (GridCell{0, 6}));
}

void TestMonthGrid::sundayColumnAlwaysFlagged()
{
    const MonthLayout l = LayoutMonthGrid(2026, 2, {2026, 12, 10}, HolidayTable::Standard());
    for (int row = 1; row <= 6; ++row)
        QVERIFY2(l.at(0, row).holiday, qPrintable(QString("row %1").arg(row)));
    QCOMPARE(l.at(0, 5).day, 0);   // empty Sunday cells carry the flag too
    QVERIFY(!l.at(6, 1).holiday);  // Saturdays are ordinary days
}

void TestMonthGrid::todayCell_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("todayYear");
    QTest::addColumn<int>("todayMonth");
    QTest::addColumn<int>("todayDay");
    QTest::addColumn<bool>("hasToday");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");

    QTest::newRow("31 Dec 2000 in row 6") << 2000 << 12 << 2000 << 12 << 31 << true << 0 << 6;
    QTest::newRow("1 Jan 2006, a Sunday") << 2006 << 1 << 2006 << 1 << 1 << true << 0 << 1;
    QTest::newRow("10 Dec 2026") << 2026 << 12 << 2026 << 12 << 10 << true << 4 << 2;
    QTest::newRow("another month") << 2026 << 11 << 2026 << 12 << 10 << false << 0 << 0;
    QTest::newRow("same month, another year") << 2025 << 12 << 2026 << 12 << 10 << false << 0 << 0;
}

void TestMonthGrid::todayCell()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, todayYear);
    QFETCH(int, todayMonth);
    QFETCH(int, todayDay);
    QFETCH(bool, hasToday);
    QFETCH(int, col);
    QFETCH(int, row);

    const MonthLayout l = LayoutMonthGrid(year, month, {todayYear, todayMonth, todayDay}, HolidayTable::Standard());
    QCOMPARE(l.todayCell.has_value(), hasToday);
    if (hasToday)
        QCOMPARE(*l.todayCell, (GridCell{col, row}));
}

void TestMonthGrid::caption()
{
    const HolidayTable table = HolidayTable::Standard();
    QCOMPARE(LayoutMonthGrid(2026, 3, {}, table).caption, QStringLiteral("2026年3月"));
    QCOMPARE(LayoutMonthGrid(987, 12, {}, table).caption, QStringLiteral("987年12月"));
}

void TestMonthGrid::fixedToday()
{
    SetFixedToday(YearMonthDay16{2024, 2, 29});
    QCOMPARE(Today(), (YearMonthDay16{2024, 2, 29}));
    SetFixedToday(std::nullopt);
    // The clock may pass midnight between the readings: either day is right.
    const QDate before = QDate::currentDate();
    const YearMonthDay16 today = Today();
    const QDate after = QDate::currentDate();
    QVERIFY(QDate(today.year, today.month, today.day) == before || QDate(today.year, today.month, today.day) == after);
}

QTEST_APPLESS_MAIN(TestMonthGrid)
#include "tst_monthgrid.moc"
