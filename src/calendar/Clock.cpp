#include "calendar/Clock.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace hibi {

namespace {

std::optional<YearMonthDay16> g_fixedToday;
struct RunningClock
{
    QDateTime from;
    QElapsedTimer since;
};
std::optional<RunningClock> g_clock;
std::vector<DayWatch *> g_watches;

// A watch looks again when a test sets the clock.
void clockSet()
{
    for (DayWatch *watch : g_watches)
        QMetaObject::invokeMethod(watch, "check", Qt::QueuedConnection);
}

} // namespace

QDateTime Now()
{
    if (g_clock)
        return g_clock->from.addMSecs(g_clock->since.elapsed());
    return QDateTime::currentDateTime();
}

YearMonthDay16 Today()
{
    if (g_fixedToday)
        return *g_fixedToday;
    const QDate d = Now().date();
    return {d.year(), d.month(), d.day()};
}

void SetFixedToday(std::optional<YearMonthDay16> date)
{
    g_fixedToday = date;
    clockSet();
}

void SetClockFrom(std::optional<QDateTime> moment)
{
    g_clock.reset();
    if (moment) {
        g_clock = RunningClock{*moment, {}};
        g_clock->since.start();
    }
    clockSet();
}

DayWatch::DayWatch(QObject *parent)
    : QObject(parent), m_today(Today()), m_midnight(new QTimer(this)), m_minute(new QTimer(this))
{
    g_watches.push_back(this);
    m_midnight->setSingleShot(true);
    m_midnight->setTimerType(Qt::PreciseTimer);
    connect(m_midnight, &QTimer::timeout, this, &DayWatch::check);
    // A timer does not count the time a machine sleeps, nor see the clock set:
    // a look once a minute catches both.
    m_minute->setInterval(60 * 1000);
    connect(m_minute, &QTimer::timeout, this, &DayWatch::check);
    m_minute->start();
    armMidnight();
}

DayWatch::~DayWatch()
{
    std::erase(g_watches, this);
}

void DayWatch::armMidnight()
{
    const QDateTime now = Now();
    const QDateTime midnight(now.date().addDays(1), QTime(0, 0));
    // A little after, so that the date has changed when it fires.
    const qint64 ms = std::clamp<qint64>(now.msecsTo(midnight) + 50, 50, 24 * 3600 * 1000);
    m_midnight->start(int(ms));
}

void DayWatch::check()
{
    armMidnight();
    const YearMonthDay16 today = Today();
    if (today == m_today)
        return;
    m_today = today;
    emit dayChanged(today);
}

} // namespace hibi
