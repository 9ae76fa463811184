#pragma once

#include "calendar/Holidays.h"

#include <QString>

#include <chrono>
#include <vector>

namespace hibi {

// A day off under the Japanese public-holiday law of 1948 as amended since: a
// national holiday, a substitute holiday, a day between two holidays, or a day
// off by a law of its own (an imperial wedding, funeral or enthronement).
struct LawHoliday
{
    std::chrono::year_month_day date;
    QString name;
    friend bool operator==(const LawHoliday &, const LawHoliday &) = default;
};

// Day of the month of the vernal (March) or autumnal (September) equinox by the
// approximations the National Astronomical Observatory uses for years not yet
// announced, valid from 1900 to 2150; beyond that the tropical-year reckoning of
// EquinoxDay stands in.
int LawEquinoxDay(int year, Equinox kind);

// Every day off of `year` under the law, in date order; none before the law took
// effect on 20 July 1948.
std::vector<LawHoliday> LawHolidays(int year);

} // namespace hibi
