#pragma once

#include "tally/Streaks.h"

#include <QWidget>

#include <array>

class QComboBox;
class QLabel;

namespace hibi {

// "最長連続 ○ 12日（3月1日〜3月12日）": a run in words, its dates without their
// year when they lie in `year`; "なし" for no run.
QString DescribeRun(const QString &caption, Mark mark, const DayRun &run, int year);

// Under the year chart: for the mark chosen in `cboxstreak` (○, × or △), the
// longest run of days in the chart's year and the run up to today. The runs of
// all three marks are read with the year, so choosing a mark reads nothing.
class StreakPanel : public QWidget
{
    Q_OBJECT

public:
    explicit StreakPanel(QWidget *parent = nullptr);

    // The runs of `year` of a calendar file, up to today. Throws FileError.
    static std::array<Streaks, 3> read(const QString &calendarPath, int year);
    void setStreaks(int year, const std::array<Streaks, 3> &streaks);
    int year() const { return m_year; }
    Mark mark() const;

private:
    void showMark();

    int m_year = 0;
    std::array<Streaks, 3> m_streaks{};
    QComboBox *cboxstreak;
    QLabel *lbllongest;
    QLabel *lblcurrent;
};

} // namespace hibi
