#pragma once

#include "calendar/MonthLayout.h"
#include "components/DayCellPainter.h"
#include "components/DrawGrid.h"
#include "components/Look.h"
#include "settings/Settings.h"
#include "storage/OpenCalendar.h"

#include <QDate>
#include <QDialog>

#include <cstdint>
#include <vector>

class QDateEdit;
class QPushButton;
class QToolBar;

namespace hibi {

class DrawGrid;
struct CellRect;

// How the list looks: rows as high as the calendar list and in its font size, the
// mark column a day cell wide, the marks in the month view's colours and width.
struct BulkLook
{
    int rowHeight = 0;
    int namePointSize = 0;
    int markColumnWidth = 0;
    MarkColors marks;
    int markLineWidth = 0;
};

// What the bulk-input window needs from the window that opens it, besides the
// open calendar, through which it reads and writes the files and moves the list.
class BulkInputHost
{
public:
    virtual BulkLook bulkLook() const = 0;
    // A month laid out as the month view shows it, its holidays by the same rules.
    virtual MonthLayout monthLayout(int year, int month) const = 0;
    // The window's bounds as last stored, and storing new ones.
    virtual WindowBounds bulkBounds() const = 0;
    virtual void storeBulkBounds(const WindowBounds &bounds) = 0;

protected:
    ~BulkInputHost() = default;
};

// The bulk-input window: one date for all calendars. Each row is a calendar of
// the calendar list with its mark on that date; a press on a mark writes it to
// that calendar's file at once, and dragging a name reorders the list. Ctrl+Z
// and Ctrl+Y take back and make again the changes written here, in the one
// history of the run. Screen readers read the list as a table: a row for each
// calendar, its name and its mark.
class Tfrmall : public QDialog, public GridCellNames
{
    Q_OBJECT

public:
    Tfrmall(OpenCalendar &calendar, BulkInputHost *host, QWidget *parent = nullptr);
    ~Tfrmall() override;

    QDate BulkDate() const;
    const std::vector<std::uint8_t> &BulkMarks() const { return m_bulkMarks; }

    void LoadBulkMarks();
    // False (and said) when the file cannot be written; the row then shows what
    // the file holds.
    bool WriteBulkMark(int index, std::uint8_t mark);

    void dgallDrawCell(QPainter &painter, int col, int row, const CellRect &rect);
    void dgallMouseDown(Qt::MouseButton button, QPoint pos);
    // Up and Down move between the calendars; Space or 1, 2, 3 toggle ○ × △ and
    // Delete clears, written at once like a press.
    void dgallKeyDown(int key);
    void dgallMouseMove(QPoint pos);
    void dgallMouseUp(Qt::MouseButton button, QPoint pos);
    void DateTimePicker1Change();
    void undoClick();
    void redoClick();
    // The calendar with the keyboard's focus, by its row.
    int focusRow() const { return m_focusRow; }

    void done(int result) override;

    QString gridName() const override;
    QString cellName(int col, int row) const override;
    bool focusCell(int *col, int *row) const override;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fitNameColumn();
    // The date picker's calendar, made when it first opens: Sundays and holidays
    // red, Saturdays like the other weekdays.
    void prepareDatePopup();
    void colourPopupPage(int year, int month);
    void FormShow();
    void FormClose();
    void layout();
    int rowAt(QPoint pos) const;
    // The one way a calendar's mark changes here: written, and recorded for undo.
    void changeBulkMark(int row, std::uint8_t mark);
    // Undoes or redoes a change of this window's and shows it: its date and its
    // calendar's row.
    void showChange(std::optional<MarkChange> (OpenCalendar::*step)(OpenCalendar::Changes));
    // The key row on `row`, screen readers told when it moved.
    void setFocusRow(int row);
    QString nameOf(int row) const;

    OpenCalendar &m_calendar;
    BulkInputHost *m_host;
    WindowPlacement m_placement;
    BulkLook m_look;
    DayCellPainter m_painter;
    QToolBar *ToolBar1;
    QDateEdit *DateTimePicker1;
    DrawGrid *dgall;
    QPushButton *BitBtn1;
    std::vector<std::uint8_t> m_bulkMarks;
    int DragFrom = -1;
    int DragTo = -1;
    bool Dragging = false;
    int m_focusRow = 0;   // the calendar with the keyboard's focus
    bool BulkLeftHeld = false;
    bool BulkRightHeld = false;
    bool m_shown = false;
    bool m_popupReady = false;
};

} // namespace hibi
