#include "calendar/HolidayLaw.h"
#include "calendar/Holidays.h"
#include "calendar/MonthLayout.h"

#include <QDate>
#include <QFile>
#include <QTest>

#include <map>

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
    void tableNames_data();
    void tableNames();
    void lawMatchesThePublishedList();
    void lawBeforeAndAfterTheList_data();
    void lawBeforeAndAfterTheList();
    void lawYearsAreInOrder();
    void bothRulesShareTheGrid();
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

// The named days of a laid-out month, "day name", in day order: what the tool
// tips show.
static QStringList namedDays(const MonthLayout &l)
{
    std::map<int, QString> named;
    for (int row = 1; row <= 6; ++row)
        for (int col = 0; col < 7; ++col)
            if (l.at(col, row).day != 0 && !l.at(col, row).holidayName.isEmpty())
                named[l.at(col, row).day] = l.at(col, row).holidayName;
    QStringList days;
    for (const auto &[day, name] : named)
        days << QStringLiteral("%1 %2").arg(day).arg(name);
    return days;
}

void TestHolidays::tableNames_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<QStringList>("named");

    QTest::newRow("May 2026: 3rd a Sunday, the flag moves to Wednesday 6th")
            << 2026 << 5 << QStringList{"3 憲法記念日", "4 国民の休日", "5 子供の日", "6 振替休日"};
    QTest::newRow("May 1998: the moved flag lands on a holiday of its own")
            << 1998 << 5 << QStringList{"3 憲法記念日", "4 国民の休日", "5 子供の日"};
    QTest::newRow("Jan 2000: the second Monday takes the name of the 15th it replaced")
            << 2000 << 1 << QStringList{"1 元旦", "10 成人の日"};
    QTest::newRow("Jul 2003: the 20th a Sunday") << 2003 << 7 << QStringList{"20 海の日", "21 振替休日"};
    QTest::newRow("Sep 2024: third Monday, equinox on a Sunday")
            << 2024 << 9 << QStringList{"16 敬老の日", "22 秋分の日", "23 振替休日"};
    QTest::newRow("Oct 2026: second Monday") << 2026 << 10 << QStringList{"12 体育の日"};
    QTest::newRow("Dec 2026: the table's 23rd") << 2026 << 12 << QStringList{"23 天皇誕生日"};
    QTest::newRow("Mar 2026: Sundays have no name") << 2026 << 3 << QStringList{"20 春分の日"};
    QTest::newRow("Aug 2026: nothing") << 2026 << 8 << QStringList{};
}

// The table's rules name the days they flag; a name never changes a flag.
void TestHolidays::tableNames()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(QStringList, named);
    const MonthLayout l = LayoutMonthGrid(year, month, {}, HolidayTable::Standard());
    QCOMPARE(namedDays(l), named);
    for (int row = 1; row <= 6; ++row)
        for (int col = 1; col < 7; ++col)
            if (l.at(col, row).day != 0)
                QCOMPARE(l.at(col, row).holiday, !l.at(col, row).holidayName.isEmpty());
}

// Month by month, the law's days off as the month view shows them, flags and
// names, against the published list of every day off from 1955 to 2050.
void TestHolidays::lawMatchesThePublishedList()
{
    QFile file(QStringLiteral(HIBI_TEST_DATA "/japanese-holidays-1955-2050.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    std::map<std::pair<int, int>, QStringList> listed;
    int rows = 0;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QDate date = QDate::fromString(line.left(10), Qt::ISODate);
        QVERIFY2(date.isValid() && line.at(10) == u' ', qPrintable(line));
        listed[{date.year(), date.month()}] << QStringLiteral("%1 %2").arg(date.day()).arg(line.mid(11));
        ++rows;
    }

    QStringList differences;
    int matched = 0;
    for (int year = 1955; year <= 2050; ++year) {
        for (int month = 1; month <= 12; ++month) {
            const MonthLayout l = LayoutMonthGrid(year, month, {}, HolidayTable::Standard(), HolidayRules::Law);
            const QStringList expected = listed[{year, month}];
            const QStringList shown = namedDays(l);
            // Every weekday shown in holiday colours has its name, and only those.
            QStringList unnamedFlags;
            for (int row = 1; row <= 6; ++row)
                for (int col = 1; col < 7; ++col)
                    if (l.at(col, row).day != 0 && l.at(col, row).holiday != !l.at(col, row).holidayName.isEmpty())
                        unnamedFlags << QString::number(l.at(col, row).day);
            if (shown == expected && unnamedFlags.isEmpty()) {
                matched += int(shown.size());
                continue;
            }
            QStringList onlyListed, onlyShown;
            for (const QString &d : expected)
                if (!shown.contains(d))
                    onlyListed << d;
            for (const QString &d : shown)
                if (!expected.contains(d))
                    onlyShown << d;
            differences << QStringLiteral("%1-%2: listed only: [%3]  shown only: [%4]  flag and name apart: [%5]")
                                   .arg(year)
                                   .arg(month, 2, 10, QLatin1Char('0'))
                                   .arg(onlyListed.join(", "), onlyShown.join(", "), unnamedFlags.join(", "));
        }
    }
    QVERIFY2(differences.isEmpty(), qPrintable(QStringLiteral("\n") + differences.join(u'\n')));
    QCOMPARE(matched, rows);
}

void TestHolidays::lawBeforeAndAfterTheList_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<QStringList>("days");

    QTest::newRow("1947: before the law") << 1947 << QStringList{};
    QTest::newRow("1948: the law took effect on 20 July")
            << 1948 << QStringList{"1948-09-23 秋分の日", "1948-11-03 文化の日", "1948-11-23 勤労感謝の日"};
}

void TestHolidays::lawBeforeAndAfterTheList()
{
    QFETCH(int, year);
    QFETCH(QStringList, days);
    QStringList got;
    for (const LawHoliday &h : LawHolidays(year))
        got << QStringLiteral("%1-%2-%3 %4")
                       .arg(int(h.date.year()))
                       .arg(unsigned(h.date.month()), 2, 10, QLatin1Char('0'))
                       .arg(unsigned(h.date.day()), 2, 10, QLatin1Char('0'))
                       .arg(h.name);
    QCOMPARE(got, days);
}

// Far beyond the published list the rules still give each year's days off once,
// in order, inside the year; the equinoxes fall back on the tropical year after
// the observatory's formula ends.
void TestHolidays::lawYearsAreInOrder()
{
    for (int year = 1948; year <= 2400; ++year) {
        const std::vector<LawHoliday> days = LawHolidays(year);
        QVERIFY2(!days.empty(), qPrintable(QString::number(year)));
        for (size_t i = 0; i < days.size(); ++i) {
            QVERIFY(days[i].date.ok());
            QCOMPARE(int(days[i].date.year()), year);
            QVERIFY(!days[i].name.isEmpty());
            if (i > 0)
                QVERIFY2(days[i - 1].date < days[i].date, qPrintable(QString::number(year)));
        }
    }
    QCOMPARE(LawEquinoxDay(2151, Equinox::Vernal), EquinoxDay(2151, Equinox::Vernal));
    QCOMPARE(LawEquinoxDay(9999, Equinox::Autumnal), EquinoxDay(9999, Equinox::Autumnal));
}

// The rules decide the holidays and nothing else: days, rows, today's cell, the
// caption and the Sundays are the grid's.
void TestHolidays::bothRulesShareTheGrid()
{
    const HolidayTable table = HolidayTable::Standard();
    for (int year = 2018; year <= 2021; ++year) {
        for (int month = 1; month <= 12; ++month) {
            const YearMonthDay16 today{year, month, std::min(31 - month, DaysInMonth(year, month))};
            const MonthLayout byTable = LayoutMonthGrid(year, month, today, table, HolidayRules::Table);
            const MonthLayout byLaw = LayoutMonthGrid(year, month, today, table, HolidayRules::Law);
            const QByteArray where = QStringLiteral("%1-%2").arg(year).arg(month).toLatin1();
            QCOMPARE(byLaw.rowCount, byTable.rowCount);
            QCOMPARE(byLaw.caption, byTable.caption);
            QVERIFY2(byLaw.todayCell == CellOfDay(year, month, today.day), where);
            QVERIFY2(byTable.todayCell == CellOfDay(year, month, today.day), where);
            for (int row = 1; row <= 6; ++row) {
                QVERIFY2(byLaw.at(0, row).holiday, where);
                for (int col = 0; col < 7; ++col)
                    QCOMPARE(byLaw.at(col, row).day, byTable.at(col, row).day);
            }
        }
    }
}

QTEST_APPLESS_MAIN(TestHolidays)
#include "tst_holidays.moc"
