#include "app/MonthView.h"

#include "app/NoteEditor.h"
#include "app/RangeCursor.h"
#include "calendar/Clock.h"
#include "calendar/SpokenDay.h"
#include "components/DrawGrid.h"
#include "components/Look.h"
#include "components/MessageBoxes.h"
#include "storage/FileError.h"
#include "storage/MarkGesture.h"
#include "storage/OpenCalendar.h"

#include <QGuiApplication>
#include <QMenu>
#include <QTimer>
#include <QToolTip>

namespace hibi {

MonthView::MonthView(OpenCalendar &calendar, QWidget *parent)
    : QWidget(parent), m_calendar(calendar), m_holidays(HolidayTable::Standard()), m_today(Today())
{
    setObjectName(QStringLiteral("MonthView"));
    dg1 = new DrawGrid(this);
    dg1->setObjectName(QStringLiteral("dg1"));
    dg1->setColCount(7);
    dg1->setRowCount(6);
    dg1->setFixedRows(1);
    dg1->setDrawCell([this](QPainter &p, int col, int row, const CellRect &r) { dg1DrawCell(p, col, row, r); });
    // Resting on a holiday's day shows its name.
    dg1->setCellToolTip([this](int col, int row) {
        if (row < 1 || row > kWeekRows)
            return QString();
        const DayCell &cell = m_layout.at(col, row);
        if (cell.day == 0)
            return QString();
        // A holiday's name, then the day's note.
        QStringList tip{cell.holidayName};
        if (const QString note = m_calendar.noteOfDay(cell.day); !note.isEmpty())
            tip << QStringLiteral("メモ: ") + note;
        tip.removeAll(QString());
        return tip.join(QLatin1Char('\n'));
    });
    // Tab reaches the grid and a click gives it the focus; keys mark and move.
    dg1->setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(dg1);
    dg1->setCellNames(this);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &MonthView::Timer1Timer);

    m_dayWatch = new DayWatch(this);
    connect(m_dayWatch, &DayWatch::dayChanged, this, &MonthView::todayChanged);
    connect(&m_calendar, &OpenCalendar::shownChanged, this, &MonthView::shownChanged);
    connect(&m_calendar, &OpenCalendar::markChanged, this, &MonthView::markChanged);
    connect(&m_calendar, &OpenCalendar::noteChanged, this, &MonthView::markChanged);
    connect(&m_calendar, &OpenCalendar::markRefused, this, &MonthView::tellYearNotLoaded);
}

MonthView::~MonthView()
{
    dg1->setCellNames(nullptr);   // the grid outlives this part of the view
    if (Range.active())
        QGuiApplication::restoreOverrideCursor();
}

void MonthView::setLook(const Appearance &look)
{
    m_painter.setLook(look);
    dg1->setMarginColor(ToQColor(look.WindowColor));
    dg1->setRowHeight(0, CellRowHeight(look.YoubiFont.Size, dg1));
    const HolidayRules rules = look.HolidayLaw ? HolidayRules::Law : HolidayRules::Table;
    if (rules != m_rules) {
        m_rules = rules;
        if (IsSupportedYear(m_calendar.DisplayYear()))
            LayoutMonth();
    }
    dg1->viewport()->update();
}

hibi::MonthLayout MonthView::layoutOf(int year, int month) const
{
    return LayoutMonthGrid(year, month, m_today, m_holidays, m_rules);
}

void MonthView::LayoutMonth()
{
    m_layout = layoutOf(m_calendar.DisplayYear(), m_calendar.DisplayMonth());
    dg1->setRowCount(m_layout.rowCount);
    // A holiday's name belongs to the month it was shown over.
    QToolTip::hideText();
    dg1->viewport()->update();
    dg1->allNamesChanged();
    emit monthLaidOut(m_layout.caption);
}

void MonthView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    dg1->setGeometry(rect());
    fitCells();
}

void MonthView::fitCells()
{
    dg1->setDefaultColWidth((dg1->clientWidth() - 6) / 7);
    const int rows = dg1->rowCount();
    dg1->setDefaultRowHeight((dg1->clientHeight() - dg1->rowHeight(0) - rows + 1) / (rows - 1));
    dg1->setDefaultColWidth((dg1->clientWidth() - 6) / 7);
    dg1->viewport()->update();
}

void MonthView::shownChanged(bool yearReplaced)
{
    if (yearReplaced)
        m_toldNotLoaded = false;
    resetFocusDay();
    LayoutMonth();
    dg1->focusCellMoved();
}

void MonthView::markChanged(int month, int day)
{
    dg1->viewport()->update();
    if (month != m_calendar.DisplayMonth())
        return;
    const GridCell cell = CellOfDay(m_calendar.DisplayYear(), month, day);
    dg1->cellNameChanged(cell.col, cell.row);
    setFocusDay(day);   // an undone change shows where it happened
}

void MonthView::todayChanged(const YearMonthDay16 &today)
{
    m_today = today;
    if (IsSupportedYear(m_calendar.DisplayYear()))
        LayoutMonth();   // the frame goes to the new day
}

// The keyboard's cell starts on today in today's month, else on the 1st.
void MonthView::resetFocusDay()
{
    const bool todaysMonth = m_calendar.DisplayYear() == m_today.year && m_calendar.DisplayMonth() == m_today.month;
    m_focusDay = todaysMonth ? m_today.day : 1;
}

void MonthView::setFocusDay(int day)
{
    if (day == m_focusDay)
        return;
    m_focusDay = day;
    dg1->focusCellMoved();
}

void MonthView::dg1DrawCell(QPainter &painter, int col, int row, const CellRect &rect)
{
    if (row == 0) {
        m_painter.paintHeader(painter, rect, col);
        return;
    }
    if (row > kWeekRows)
        return;
    const DayCell &day = m_layout.at(col, row);
    DayCellState cell;
    cell.day = day.day;
    cell.holiday = day.holiday;
    cell.mark = m_calendar.YearMarks().at(m_calendar.DisplayMonth(), col, row);
    cell.today = m_layout.todayCell == GridCell{col, row};
    cell.focus = day.day != 0 && day.day == m_focusDay && dg1->hasFocus();
    cell.notLoaded = !m_calendar.yearLoaded();
    cell.highlighted = Range.highlights(m_calendar.DisplayYear(), m_calendar.DisplayMonth(), col, row);
    cell.note = day.day != 0 && !m_calendar.noteOfDay(day.day).isEmpty();
    m_painter.paintDay(painter, rect, cell);
}

void MonthView::dg1MouseDown(Qt::MouseButton button, QPoint pos)
{
    int col = 0;
    int row = 0;
    if (!dg1->cellAt(pos, &col, &row) || row < 1 || row > kWeekRows)
        return;
    const int day = m_layout.at(col, row).day;
    if (day == 0)
        return;
    setFocusDay(day);   // the keyboard goes on from where the mouse was
    switch (Range.RangeState) {
    case 0:
        // The middle button only picks the day.
        if (const std::uint8_t before = m_calendar.markOfDay(day), after = PressMark(before, button, LeftHeld, RightHeld);
            after != before)
            m_calendar.setMark(day, after);
        dg1->viewport()->update();
        break;
    case 1:
        pickRangeStart(col, row, day);
        break;
    default:
        pickRangeEnd(col, row, day);
        break;
    }
}

void MonthView::dg1MouseUp(Qt::MouseButton button)
{
    ReleaseButton(button, LeftHeld, RightHeld);
}

void MonthView::dg1KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    const GridCell focus = CellOfDay(m_calendar.DisplayYear(), m_calendar.DisplayMonth(), m_focusDay);
    const bool wholeYear = modifiers & Qt::ShiftModifier;
    switch (key) {
    case Qt::Key_Left: moveFocus(-1); break;
    case Qt::Key_Right: moveFocus(+1); break;
    case Qt::Key_Up: moveFocus(-7); break;
    case Qt::Key_Down: moveFocus(+7); break;
    case Qt::Key_Home: moveFocus(1 - m_focusDay); break;
    case Qt::Key_End: moveFocus(DaysInMonth(m_calendar.DisplayYear(), m_calendar.DisplayMonth()) - m_focusDay); break;
    case Qt::Key_PageUp: stepMonth(-1, wholeYear); break;
    case Qt::Key_PageDown: stepMonth(+1, wholeYear); break;
    case Qt::Key_Escape:
        if (Range.active())
            cancelRange();   // leaves the range mode, as a second press of its button does
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (Range.RangeState == 1)
            pickRangeStart(focus.col, focus.row, m_focusDay);
        else if (Range.RangeState == 2)
            pickRangeEnd(focus.col, focus.row, m_focusDay);
        else if (key == Qt::Key_Space)
            keyMark(Maru);
        else
            editNote(m_focusDay);
        break;
    case Qt::Key_N:
        if (!Range.active())
            editNote(m_focusDay);
        break;
    case Qt::Key_Menu: showGridMenu(); break;
    case Qt::Key_F10:
        if (modifiers & Qt::ShiftModifier)
            showGridMenu();
        break;
    case Qt::Key_1: keyMark(Maru); break;
    case Qt::Key_2: keyMark(Batu); break;
    case Qt::Key_3: keyMark(Sankaku); break;
    case Qt::Key_Delete: keyMark(NoMark); break;
    default: break;
    }
}

void MonthView::moveFocus(int days)
{
    const YearMonthDay16 to = AddDays({m_calendar.DisplayYear(), m_calendar.DisplayMonth(), m_focusDay}, days);
    if (to.year != m_calendar.DisplayYear() || to.month != m_calendar.DisplayMonth()) {
        if (!m_calendar.switchTo(m_calendar.CurrentCalendarName(), to.year, to.month))
            return;   // past the years the calendar holds
    }
    setFocusDay(to.day);
    dg1->viewport()->update();
}

void MonthView::keyMark(Mark mark)
{
    if (Range.active())
        return;   // marks wait until the range is picked
    const std::uint8_t now = m_calendar.markOfDay(m_focusDay);
    m_calendar.setMark(m_focusDay, mark == NoMark ? std::uint8_t(NoMark) : ToggleMark(now, mark));
}

void MonthView::stepMonth(int delta, bool wholeYear)
{
    int year = m_calendar.DisplayYear();
    int month = m_calendar.DisplayMonth();
    if (wholeYear) {
        year += delta;
    } else {
        month += delta;
        if (month < 1 || month > 12) {
            year += delta;
            month = month < 1 ? 12 : 1;
        }
    }
    m_calendar.switchTo(m_calendar.CurrentCalendarName(), year, month);
}

void MonthView::showThisMonth()
{
    m_today = Today();
    m_calendar.switchTo(m_calendar.CurrentCalendarName(), m_today.year, m_today.month, OpenCalendar::Buffer::Save,
                        OpenCalendar::Reread::Always);
}

void MonthView::tellYearNotLoaded()
{
    if (m_toldNotLoaded)
        return;
    m_toldNotLoaded = true;
    MessageBoxes::information(this, QStringLiteral("%1年の印はファイルから読み込めなかったため、付けられません。\r\n"
                                                   "「今月を表示」や年の移動でもう一度読み込みます。")
                                            .arg(m_calendar.DisplayYear()));
}

// ---- The range ------------------------------------------------------------

void MonthView::beginRange()
{
    Range.begin();
    QGuiApplication::setOverrideCursor(RangeCursor());
    emit rangeModeChanged(true);
    dg1->descriptionChanged();
}

void MonthView::cancelRange()
{
    if (Range.active())
        QGuiApplication::restoreOverrideCursor();
    emit rangeModeChanged(false);
    Timer1->stop();
    Range.cancel();
    dg1->viewport()->update();
    dg1->descriptionChanged();
}

void MonthView::pickRangeStart(int col, int row, int day)
{
    Range.pickStart({m_calendar.DisplayYear(), m_calendar.DisplayMonth(), row, col, day});
    Timer1->start();
    dg1->viewport()->update();
    dg1->descriptionChanged();
}

void MonthView::pickRangeEnd(int col, int row, int day)
{
    QGuiApplication::restoreOverrideCursor();
    emit rangeModeChanged(false);
    Range.pickEnd({m_calendar.DisplayYear(), m_calendar.DisplayMonth(), row, col, day});
    Timer1->stop();
    dg1->viewport()->repaint();
    try {
        if (m_rangeTally)
            m_rangeTally(Range.RangeStart, Range.RangeEnd);
    } catch (...) {
        endRangeSelection();
        throw;
    }
    endRangeSelection();
}

void MonthView::endRangeSelection()
{
    Range.finish();
    dg1->viewport()->update();
    dg1->descriptionChanged();
}

void MonthView::Timer1Timer()
{
    Range.RangeBlink = !Range.RangeBlink;
    dg1->viewport()->update();
}

// ---- What screen readers hear ------------------------------------------------

QString MonthView::gridName() const
{
    return m_calendar.CurrentCalendarName() + QLatin1Char(' ') + m_layout.caption;
}

QString MonthView::gridDescription() const
{
    if (Range.RangeState == 1)
        return QStringLiteral("範囲の開始日を選んでください");
    if (Range.RangeState != 2)
        return QString();
    const RangePoint &start = Range.RangeStart;
    const QString date = start.year == m_calendar.DisplayYear()
            ? QStringLiteral("%1月%2日").arg(start.month).arg(start.day)
            : QStringLiteral("%1年%2月%3日").arg(start.year).arg(start.month).arg(start.day);
    return QStringLiteral("範囲の終了日を選んでください（開始日 %1）").arg(date);
}

QString MonthView::cellName(int col, int row) const
{
    if (row == 0)
        return WeekdayName(col);
    if (row > kWeekRows || col < 0 || col >= kColumns)
        return QString();
    SpokenDay day;
    day.month = m_calendar.DisplayMonth();
    day.cell = {col, row};
    day.day = &m_layout.at(col, row);
    day.today = m_layout.todayCell == GridCell{col, row};
    day.loaded = m_calendar.yearLoaded();
    day.mark = m_calendar.YearMarks().at(m_calendar.DisplayMonth(), col, row);
    if (day.day->day != 0)
        day.note = m_calendar.noteOfDay(day.day->day);
    return DayCellName(day);
}

// The day being picked is said with every cell the focus reaches.
QString MonthView::cellDescription(int, int row) const
{
    return row > 0 ? gridDescription() : QString();
}

bool MonthView::cellSelected(int col, int row) const
{
    const RangePoint &start = Range.RangeStart;
    return Range.RangeState == 2 && start.year == m_calendar.DisplayYear() && start.month == m_calendar.DisplayMonth()
        && start.column == col && start.row == row;
}

bool MonthView::focusCell(int *col, int *row) const
{
    const int year = m_calendar.DisplayYear();
    const int month = m_calendar.DisplayMonth();
    if (!IsSupportedYear(year) || month < 1 || month > 12 || m_focusDay < 1 || m_focusDay > DaysInMonth(year, month))
        return false;
    const GridCell cell = CellOfDay(year, month, m_focusDay);
    *col = cell.col;
    *row = cell.row;
    return true;
}

// ---- Notes ----------------------------------------------------------------

void MonthView::editNote(int day)
{
    const int year = m_calendar.DisplayYear();
    const int month = m_calendar.DisplayMonth();
    if (!IsSupportedYear(year) || day < 1 || day > DaysInMonth(year, month))
        return;
    if (const auto &problem = m_calendar.notesProblem())
        throw FileError(*problem);
    const QString dayText = QStringLiteral("%1月%2日（%3）").arg(month).arg(day).arg(WeekdayLetter(CellOfDay(year, month, day).col));
    TNoteEditor editor(dayText, m_calendar.noteOfDay(day), this);
    if (editor.exec() == QDialog::Accepted)
        m_calendar.setNote(day, editor.note());
}

// The grid's pop-up menu, from the keyboard (the menu key, Shift+F10): a right
// click is the × and stays so.
void MonthView::showGridMenu()
{
    if (Range.active())
        return;
    int col = 0;
    int row = 0;
    if (!focusCell(&col, &row))
        return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("GridMenu"));
    QAction *note = menu.addAction(QStringLiteral("メモを編集(&M)..."));
    note->setObjectName(QStringLiteral("gridnote"));
    menu.setActiveAction(note);   // Enter takes it at once
    const QRect cell = dg1->cellRect(col, row).toRect();
    if (menu.exec(dg1->viewport()->mapToGlobal(cell.center())) == note)
        emit noteRequested(m_focusDay);
}

} // namespace hibi
