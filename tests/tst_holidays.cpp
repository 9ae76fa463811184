#include "calendar/Holidays.h"
#include "calendar/MonthLayout.h"

#include <QFile>
#include <QTest>

using namespace hibi;

Q_DECLARE_METATYPE(QList<int>)

class TestHolidays : public QObject
{
    Q_OBJECT

private slots:
    void equinox_data();
    void equinox();
    void flaggedDays_data();
    void flaggedDays();
    void everyMonth1970To2100();
};

void TestHolidays::equinox_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("vernal");
    QTest::addColumn<int>("autumnal");

    QTest::newRow("1970") << 1970 << 21 << 23;
    QTest::newRow("1995") << 1995 << 21 << 23;
    QTest::newRow("1996 reference year") << 1996 << 20 << 23;
    QTest::newRow("2012") << 2012 << 20 << 22;
    QTest::newRow("2024") << 2024 << 20 << 22;
    QTest::newRow("2026") << 2026 << 20 << 23;
    QTest::newRow("2092: 19 March") << 2092 << 19 << 22;
    QTest::newRow("2096: 19 March") << 2096 << 19 << 22;
    QTest::newRow("2100") << 2100 << 20 << 23;
    QTest::newRow("year 1, far before the reference") << 1 << 21 << 23;
    QTest::newRow("year 9999") << 9999 << 19 << 21;
}

void TestHolidays::equinox()
{
    QFETCH(int, year);
    QFETCH(int, vernal);
    QFETCH(int, autumnal);
    QCOMPARE(EquinoxDay(year, Equinox::Vernal), vernal);
    QCOMPARE(EquinoxDay(year, Equinox::Autumnal), autumnal);
}

// The days of a month that carry the holiday flag, Sundays left out.
static QList<int> flaggedWeekdays(int year, int month)
{
    const MonthLayout l = LayoutMonthGrid(year, month, {}, HolidayTable::Standard());
    QList<int> days;
    for (int row = 1; row <= 6; ++row)
        for (int col = 1; col < 7; ++col)
            if (l.at(col, row).holiday)
                days << l.at(col, row).day;
    std::sort(days.begin(), days.end());
    return days;
}

void TestHolidays::flaggedDays_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<QList<int>>("days");

    QTest::newRow("Mar 2024: equinox 20th") << 2024 << 3 << QList<int>{20};
    QTest::newRow("Sep 2024: 22nd is Sunday, 23rd moves; third Monday 16th") << 2024 << 9 << QList<int>{16, 23};
    QTest::newRow("Mar 2026") << 2026 << 3 << QList<int>{20};
    QTest::newRow("Sep 2026: 21st third Monday, 23rd equinox") << 2026 << 9 << QList<int>{21, 23};
    QTest::newRow("Mar 1995") << 1995 << 3 << QList<int>{21};
    QTest::newRow("Sep 1995: fixed 15th, equinox on a Saturday") << 1995 << 9 << QList<int>{15, 23};
    QTest::newRow("May 2015: 3rd Sunday moves to Wednesday 6th") << 2015 << 5 << QList<int>{4, 5, 6};
    QTest::newRow("May 2014: 4th Sunday moves to Tuesday 6th") << 2014 << 5 << QList<int>{3, 5, 6};
    QTest::newRow("May 2019: 5th Sunday moves to Monday 6th") << 2019 << 5 << QList<int>{3, 4, 6};
    QTest::newRow("May 1998: 3rd Sunday, nothing past 5th") << 1998 << 5 << QList<int>{4, 5};
    QTest::newRow("Jan 1999: 1st and 15th") << 1999 << 1 << QList<int>{1, 15};
    QTest::newRow("Jan 2000: second Monday 10th, 1st a Saturday") << 2000 << 1 << QList<int>{1, 10};
    QTest::newRow("Jul 2003: 20th Sunday moves to 21st") << 2003 << 7 << QList<int>{21};
    QTest::newRow("Sep 2003: fixed 15th, equinox 23rd") << 2003 << 9 << QList<int>{15, 23};
    QTest::newRow("Jul 2004: third Monday 19th") << 2004 << 7 << QList<int>{19};
    QTest::newRow("Sep 2004: third Monday 20th, equinox 23rd") << 2004 << 9 << QList<int>{20, 23};
    QTest::newRow("Oct 1999: 10th Sunday moves to 11th") << 1999 << 10 << QList<int>{11};
    QTest::newRow("Oct 2026: second Monday 12th") << 2026 << 10 << QList<int>{12};
    QTest::newRow("Jan 2007: 1st Monday, second Monday 8th") << 2007 << 1 << QList<int>{1, 8};
    QTest::newRow("Oct 2000: 1st a Sunday, second Monday 9th") << 2000 << 10 << QList<int>{9};
    QTest::newRow("Jul 2005: 1st a Friday, third Monday 18th") << 2005 << 7 << QList<int>{18};
    QTest::newRow("Jun 2026: no holidays") << 2026 << 6 << QList<int>{};
    QTest::newRow("Aug 2026: no holidays") << 2026 << 8 << QList<int>{};
    QTest::newRow("Apr 2026: green day 29th") << 2026 << 4 << QList<int>{29};
    QTest::newRow("Feb 2026: 11th") << 2026 << 2 << QList<int>{11};
    QTest::newRow("Nov 2026: 3rd and 23rd") << 2026 << 11 << QList<int>{3, 23};
    QTest::newRow("Dec 2018: 23rd Sunday moves to 24th") << 2018 << 12 << QList<int>{24};
    QTest::newRow("Nov 2025: 23rd Sunday moves to 24th") << 2025 << 11 << QList<int>{3, 24};
    QTest::newRow("Dec 2026: the 23rd still a holiday here") << 2026 << 12 << QList<int>{23};
}

void TestHolidays::flaggedDays()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(QList<int>, days);
    QCOMPARE(flaggedWeekdays(year, month), days);
}

// A table of every month from 1970 to 2100, worked out separately from the rules.
void TestHolidays::everyMonth1970To2100()
{
    QFile file(QStringLiteral(HIBI_TEST_DATA "/holidays-1970-2100.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    int months = 0;
    while (!file.atEnd()) {
        const QString line = QString::fromLatin1(file.readLine()).trimmed();
        if (line.startsWith(u'#'))
            continue;
        const int year = line.left(4).toInt();
        const int month = line.mid(5, 2).toInt();
        QList<int> days;
        for (const QString &d : line.mid(8).split(u',', Qt::SkipEmptyParts))
            days << d.toInt();
        QVERIFY2(flaggedWeekdays(year, month) == days, qPrintable(line));
        ++months;
    }
    QCOMPARE(months, 131 * 12);
}

QTEST_APPLESS_MAIN(TestHolidays)
#include "tst_holidays.moc"
