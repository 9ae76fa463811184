#pragma once

#include "calendar/Holidays.h"
#include "calendar/MonthLayout.h"
#include "components/DayCellPainter.h"
#include "components/DrawGrid.h"
#include "storage/YearMarks.h"
#include "tally/RangeSelection.h"

#include <QWidget>

#include <functional>

class QTimer;

namespace hibi {

class DayWatch;
class OpenCalendar;

// The month view: one month of the open calendar in the draw grid `dg1`, under
// its weekday header row. It lays the month out, paints it, takes the mouse and
// the keys (marks, the keyboard's focus cell, moving through months and years),
// picks the two ends of a range for the range tally and shows holidays' names
// as tool tips. Every mark and every move goes through the open calendar; the
// view repaints from what the calendar says changed, and tells screen readers
// what each cell says.
class MonthView : public QWidget, public GridCellNames
{
    Q_OBJECT

public:
    MonthView(OpenCalendar &calendar, QWidget *parent = nullptr);
    ~MonthView() override;

    DrawGrid *grid() const { return dg1; }
    // The look: fonts, colours, line widths and which rules make holidays.
    void setLook(const Appearance &look);
    const DayCellPainter &cellPainter() const { return m_painter; }

    YearMonthDay16 TodayDate() const { return m_today; }
    const hibi::MonthLayout &MonthLayout() const { return m_layout; }
    // Any month laid out as this view lays out its own.
    hibi::MonthLayout layoutOf(int year, int month) const;
    // The day with the keyboard's focus in the month shown.
    int focusDay() const { return m_focusDay; }

    // Lays out the month shown and tells it (monthLaidOut).
    void LayoutMonth();
    // The columns and week rows share the grid's size: (width − 6) / 7 a column,
    // and what the header row leaves, a pixel each for the lines, a week row.
    void fitCells();

    void dg1DrawCell(QPainter &painter, int col, int row, const CellRect &rect);
    // A press on a day: a mark, or an end of the range being picked.
    void dg1MouseDown(Qt::MouseButton button, QPoint pos);
    void dg1MouseUp(Qt::MouseButton button);
    // Arrows, Home and End move the focus cell (into the next month or year past
    // the ends), PageUp and PageDown step a month (a year with Shift), Space or
    // 1, 2, 3 toggle ○ × △, Delete clears, N or Enter opens the day's note, the
    // menu key or Shift+F10 the pop-up menu; in range mode Space or Enter picks
    // the day and Esc leaves the mode.
    void dg1KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void Timer1Timer();

    // A month back or forward, or a year.
    void stepMonth(int delta, bool wholeYear);
    // Today's month, today taken again and the year read again.
    void showThisMonth();

    // The range tally's picking: begun by the range command, ended by a second
    // press of it or by a click beside the grid (cancelRange), or by picking the
    // last day, which hands both ends to `tally` and ends when it returns.
    using RangeTally = std::function<void(RangePoint &start, RangePoint &end)>;
    void setRangeTally(RangeTally tally) { m_rangeTally = std::move(tally); }
    bool rangeActive() const { return Range.active(); }
    const RangeSelection &rangeSelection() const { return Range; }
    void beginRange();
    void cancelRange();

    // Tells, once for each year shown, that marks cannot be set in a year that did not load.
    void tellYearNotLoaded();

    // The note of a day of the month shown, in its editor; N or Enter on the
    // focus cell, and the grid's pop-up menu, open it. Throws FileError.
    void editNote(int day);

    // What screen readers hear: the weekdays of the header row, each day with its
    // weekday, holiday, today and mark, and while a range is picked what to pick.
    QString gridName() const override;
    QString gridDescription() const override;
    QString cellName(int col, int row) const override;
    QString cellDescription(int col, int row) const override;
    bool cellSelected(int col, int row) const override;
    bool focusCell(int *col, int *row) const override;

signals:
    void monthLaidOut(const QString &caption);
    void rangeModeChanged(bool on);
    // The grid's pop-up menu asked for a day's note; its owner runs editNote.
    void noteRequested(int day);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void shownChanged(bool yearReplaced);
    void markChanged(int month, int day);
    void todayChanged(const YearMonthDay16 &today);
    void resetFocusDay();
    // The focus cell on `day`, screen readers told when it moved.
    void setFocusDay(int day);
    void moveFocus(int days);
    void keyMark(Mark mark);
    void pickRangeStart(int col, int row, int day);
    void pickRangeEnd(int col, int row, int day);
    void endRangeSelection();
    void showGridMenu();

    OpenCalendar &m_calendar;
    DrawGrid *dg1;
    QTimer *Timer1;
    DayWatch *m_dayWatch;
    DayCellPainter m_painter;
    HolidayTable m_holidays;
    HolidayRules m_rules = HolidayRules::Table;
    YearMonthDay16 m_today;
    hibi::MonthLayout m_layout;
    RangeSelection Range;
    RangeTally m_rangeTally;
    int m_focusDay = 1;
    bool LeftHeld = false;
    bool RightHeld = false;
    bool m_toldNotLoaded = false;
};

} // namespace hibi
