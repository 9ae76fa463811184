#include "calendar/HolidayLaw.h"

#include <algorithm>
#include <cmath>

namespace hibi {

using namespace std::chrono;

namespace {

constexpr sys_days kLawInForce = sys_days{1948y / July / 20};
// A national holiday on a Sunday gives the next day off from this day on (1973).
constexpr sys_days kSubstitutesFrom = sys_days{1973y / April / 12};
// A day between two national holidays is a day off from this day on (1985).
constexpr sys_days kBetweenDaysFrom = sys_days{1985y / December / 27};
// From 2007 the substitute is the first day after the Sunday that is no national
// holiday, and a Sunday between two holidays is no longer left out.
constexpr sys_days kNearestSubstituteFrom = sys_days{2007y / January / 1};

struct Day
{
    sys_days date;
    QString name;
    bool national;   // a national holiday as the substitute and in-between rules see it
};

} // namespace

int LawEquinoxDay(int year, Equinox kind)
{
    const bool vernal = kind == Equinox::Vernal;
    double base = 0;
    int leapBase = 1980;
    if (year >= 1900 && year <= 1979) {
        base = vernal ? 20.8357 : 23.2588;
        leapBase = 1983;
    } else if (year >= 1980 && year <= 2099) {
        base = vernal ? 20.8431 : 23.2488;
    } else if (year >= 2100 && year <= 2150) {
        base = vernal ? 21.8510 : 24.2488;
    } else {
        return EquinoxDay(year, kind);
    }
    // The leap-year term is a whole number cut toward zero, also for the years
    // before its base: the integer division does exactly that.
    return int(std::floor(base + 0.242194 * (year - 1980) - (year - leapBase) / 4));
}

std::vector<LawHoliday> LawHolidays(int y)
{
    std::vector<Day> list;
    if (y < 1948)
        return {};
    const year yr{y};
    auto add = [&](year_month_day date, const char16_t *name, bool national = true) {
        if (sys_days{date} >= kLawInForce)
            list.push_back({sys_days{date}, QString::fromUtf16(name), national});
    };
    auto fixed = [&](unsigned m, unsigned d, const char16_t *name) { add(yr / month{m} / day{d}, name); };
    auto monday = [&](unsigned m, unsigned n, const char16_t *name) {
        add(year_month_day{sys_days{yr / month{m} / Monday[n]}}, name);
    };

    fixed(1, 1, u"元日");
    if (y >= 2000)
        monday(1, 2, u"成人の日");
    else
        fixed(1, 15, u"成人の日");
    if (y >= 1967)
        fixed(2, 11, u"建国記念の日");
    if (y >= 2020)
        fixed(2, 23, u"天皇誕生日");
    fixed(3, unsigned(LawEquinoxDay(y, Equinox::Vernal)), u"春分の日");
    fixed(4, 29, y <= 1988 ? u"天皇誕生日" : y <= 2006 ? u"みどりの日" : u"昭和の日");
    fixed(5, 3, u"憲法記念日");
    if (y >= 2007)
        fixed(5, 4, u"みどりの日");
    fixed(5, 5, u"こどもの日");
    // The Tokyo Olympics moved three holidays in 2020 and again in 2021.
    if (y == 2020) {
        fixed(7, 23, u"海の日");
        fixed(7, 24, u"スポーツの日");
        fixed(8, 10, u"山の日");
    } else if (y == 2021) {
        fixed(7, 22, u"海の日");
        fixed(7, 23, u"スポーツの日");
        fixed(8, 8, u"山の日");
    } else {
        if (y >= 2003)
            monday(7, 3, u"海の日");
        else if (y >= 1996)
            fixed(7, 20, u"海の日");
        if (y >= 2016)
            fixed(8, 11, u"山の日");
    }
    if (y >= 2003)
        monday(9, 3, u"敬老の日");
    else if (y >= 1966)
        fixed(9, 15, u"敬老の日");
    fixed(9, unsigned(LawEquinoxDay(y, Equinox::Autumnal)), u"秋分の日");
    if (y >= 2022)
        monday(10, 2, u"スポーツの日");
    else if (y == 2019)
        monday(10, 2, u"体育の日（スポーツの日）");   // the name the Cabinet Office lists for the year before the new one
    else if (y >= 2000 && y <= 2018)
        monday(10, 2, u"体育の日");
    else if (y >= 1966 && y <= 1999)
        fixed(10, 10, u"体育の日");
    fixed(11, 3, u"文化の日");
    fixed(11, 23, u"勤労感謝の日");
    if (y >= 1989 && y <= 2018)
        fixed(12, 23, u"天皇誕生日");

    // Days off by laws of their own. The two of 2019 count as national holidays
    // for the day-between rule, which made 30 April and 2 May days off as well.
    static const struct
    {
        int year;
        unsigned month, day;
        const char16_t *name;
        bool national;
    } kOneOff[] = {
        {1959, 4, 10, u"結婚の儀", false},
        {1989, 2, 24, u"大喪の礼", false},
        {1990, 11, 12, u"即位礼正殿の儀", false},
        {1993, 6, 9, u"結婚の儀", false},
        {2019, 5, 1, u"休日（祝日扱い）", true},
        {2019, 10, 22, u"休日（祝日扱い）", true},
    };
    for (const auto &d : kOneOff)
        if (d.year == y)
            add(yr / month{d.month} / day{d.day}, d.name, d.national);

    auto byDate = [](const Day &a, const Day &b) { return a.date < b.date; };
    std::sort(list.begin(), list.end(), byDate);
    auto find = [&](sys_days date) {
        return std::find_if(list.begin(), list.end(), [date](const Day &d) { return d.date == date; });
    };
    auto isNational = [&](sys_days date) {
        const auto it = find(date);
        return it != list.end() && it->national;
    };

    // Substitute holidays; none falls into the next year, since no holiday lies
    // on the last days of December.
    std::vector<Day> extra;
    for (const Day &d : list) {
        if (!d.national || d.date < kSubstitutesFrom || weekday{d.date} != Sunday)
            continue;
        sys_days next = d.date + days{1};
        if (d.date >= kNearestSubstituteFrom)
            while (isNational(next))
                next += days{1};
        extra.push_back({next, QStringLiteral("振替休日"), false});
    }
    // Days between two national holidays that are no national holiday themselves;
    // before 2007 a Sunday or a substitute holiday stays what it is.
    for (const Day &d : list) {
        const sys_days between = d.date + days{1};
        if (!d.national || between < kBetweenDaysFrom || !isNational(between + days{1}) || find(between) != list.end())
            continue;
        const bool substitute = std::any_of(extra.begin(), extra.end(), [&](const Day &e) { return e.date == between; });
        if (substitute || (between < kNearestSubstituteFrom && weekday{between} == Sunday))
            continue;
        extra.push_back({between, QStringLiteral("休日"), false});
    }
    list.insert(list.end(), extra.begin(), extra.end());
    std::sort(list.begin(), list.end(), byDate);

    std::vector<LawHoliday> result;
    result.reserve(list.size());
    for (const Day &d : list)
        if (year_month_day{d.date}.year() == yr)
            result.push_back({year_month_day{d.date}, d.name});
    return result;
}

} // namespace hibi
