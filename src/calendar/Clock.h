#pragma once

#include "calendar/MonthGrid.h"

#include <QDateTime>
#include <QObject>

#include <optional>

class QTimer;

namespace hibi {

// Today's date from the system clock. Tests pin the date with SetFixedToday, or
// set the clock to a moment from which it runs on (SetClockFrom), to see the
// program go over midnight.
YearMonthDay16 Today();
QDateTime Now();
void SetFixedToday(std::optional<YearMonthDay16> date);
void SetClockFrom(std::optional<QDateTime> moment);

// Tells when the date has changed: at local midnight, and within a minute of a
// machine waking up or of the clock being set; at once when a test sets it.
class DayWatch : public QObject
{
    Q_OBJECT

public:
    explicit DayWatch(QObject *parent = nullptr);
    ~DayWatch() override;

    YearMonthDay16 today() const { return m_today; }

signals:
    void dayChanged(const hibi::YearMonthDay16 &today);

private slots:
    void check();

private:
    void armMidnight();

    YearMonthDay16 m_today;
    QTimer *m_midnight;
    QTimer *m_minute;
};

} // namespace hibi
