#include "calendar/Clock.h"

#include <QDate>

namespace hibi {

namespace {
std::optional<YearMonthDay16> g_fixedToday;
}

YearMonthDay16 Today()
{
    if (g_fixedToday)
        return *g_fixedToday;
    const QDate d = QDate::currentDate();
    return {d.year(), d.month(), d.day()};
}

void SetFixedToday(std::optional<YearMonthDay16> date)
{
    g_fixedToday = date;
}

} // namespace hibi
