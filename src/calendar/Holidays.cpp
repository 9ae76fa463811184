#include "calendar/Holidays.h"

#include "calendar/MonthLayout.h"

#include <chrono>
#include <cmath>

namespace hibi {

using namespace std::chrono;

int EquinoxDay(int year, Equinox kind)
{
    // Reference instants in days since 1970-01-01, the time of day as a fraction.
    const bool vernal = kind == Equinox::Vernal;
    const sys_days refDay = vernal ? sys_days{1996y / March / 20} : sys_days{1996y / September / 23};
    const double refTime = vernal ? (17 * 3600 + 14 * 60 + 13) / 86400.0 : (2 * 3600 + 58 * 60 + 25) / 86400.0;
    const double n = double(year - 1996);
    const double t = double(refDay.time_since_epoch().count()) + refTime + n * 365.2422;
    const sys_days day{days{static_cast<long long>(std::floor(t))}};
    return int(unsigned(year_month_day{day}.day()));
}

HolidayTable HolidayTable::Standard()
{
    HolidayTable t;
    auto set = [&t](int month, int entry, int day, const char16_t *name, int beforeYear = 0,
                    Equinox computed = Equinox::None) {
        t.months[month - 1][entry - 1] = {day, QString::fromUtf16(name), beforeYear, computed};
    };
    set(1, 1, 1, u"元旦");
    set(1, 2, 15, u"成人の日", 2000);
    set(2, 1, 11, u"建国記念日");
    set(3, 1, 0, u"春分の日", 0, Equinox::Vernal);
    set(4, 1, 29, u"緑の日");
    set(5, 1, 3, u"憲法記念日");
    set(5, 2, 4, u"国民の休日");
    set(5, 3, 5, u"子供の日");
    set(7, 1, 20, u"海の日", 2004);
    set(9, 1, 15, u"敬老の日", 2004);
    set(9, 2, 0, u"秋分の日", 0, Equinox::Autumnal);
    set(10, 1, 10, u"体育の日", 2000);
    set(11, 1, 3, u"文化の日");
    set(11, 2, 23, u"勤労感謝の日");
    set(12, 1, 23, u"天皇誕生日");
    return t;
}

MonthHolidays::MonthHolidays(const HolidayTable &table, int year, int month, YearMonthDay16 today)
    : m_year(year), m_month(month), m_firstWeekday(FirstWeekday(year, month)), m_today(today)
{
    int n = 0;
    for (const HolidayEntry &e : table.months[month - 1]) {
        if (e.used() && e.beforeYear != 0)
            m_mondayName = e.name;   // the fixed date a Monday holiday replaced
        if (!e.used() || (e.beforeYear != 0 && year >= e.beforeYear))
            continue;
        m_activeNames[n] = e.name;
        m_activeDays[n++] = e.computed != Equinox::None ? EquinoxDay(year, e.computed) : e.day;
    }
}

void MonthHolidays::ClassifyDay(MonthLayout &layout, int day, int col, int row) const
{
    for (size_t i = 0; i < m_activeDays.size(); ++i) {
        const int active = m_activeDays[i];
        if (active == 0 || active != day)
            continue;
        layout.at(col, row).holidayName = m_activeNames[i];
        int target = col;
        if (col == 0) {
            // A Sunday holiday is taken on a later day of the same week; from 2007
            // the Golden Week Sundays move past the days that are holidays already.
            target = 1;
            if (m_year >= 2007 && m_month == 5 && day == 3)
                target = 3;
            else if (m_year >= 2007 && m_month == 5 && day == 4)
                target = 2;
        }
        DayCell &flagged = layout.at(target, row);
        flagged.holiday = true;
        // The day a Sunday holiday moved to is named for the move, unless it is a
        // holiday of its own; one that comes later in the month names itself then.
        if (flagged.holidayName.isEmpty())
            flagged.holidayName = QStringLiteral("振替休日");
    }
    if (m_year == m_today.year && m_month == m_today.month && day == m_today.day)
        layout.todayCell = GridCell{col, row};
}

void MonthHolidays::FlagMondayHolidays(MonthLayout &layout) const
{
    const bool firstMondayInRow1 = m_firstWeekday <= 1;
    int row = 0;
    if ((m_month == 1 || m_month == 10) && m_year >= 2000)
        row = firstMondayInRow1 ? 2 : 3;           // second Monday
    else if ((m_month == 7 || m_month == 9) && m_year >= 2004)
        row = firstMondayInRow1 ? 3 : 4;           // third Monday
    if (row == 0)
        return;
    DayCell &monday = layout.at(1, row);
    monday.holiday = true;
    monday.holidayName = m_mondayName;
}

} // namespace hibi
