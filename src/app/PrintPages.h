#pragma once

#include "calendar/MonthLayout.h"
#include "components/DayCellPainter.h"
#include "settings/Settings.h"
#include "storage/YearMarks.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QStringList>

#include <functional>

class QPaintDevice;
class QPainter;
class QTransform;

namespace hibi {

// A day's note, or an empty text for a day without one.
using NoteOf = std::function<QString(int year, int month, int day)>;

// What the pages print: a year of the open calendar as the month view shows it.
struct PrintedYear
{
    QString calendarName;
    int year = 0;
    YearMarks marks;              // the shown year's marks, as in memory
    bool loaded = true;           // hatched as on screen when the year could not be read
    std::function<MonthLayout(int year, int month)> layoutOf;   // the month view's own
    NoteOf noteOf;                // none by default
};

// The printed pages: one month, or the twelve months of a year on one page, on
// any paint device (a printer, a PDF writer, an image) inside a page rectangle
// in the device's coordinates. Cells are painted by the cell painter of the look
// in effect. A page is laid out in units of 1/96 inch, the screen's pixels, so
// lines and marks keep their width on paper and fonts their point size; a font
// shrinks only where the cells are too small for it.
class PrintPages
{
public:
    // `cells`: the month view's painter; `look` gives the caption's font and
    // colour for the titles. The grid lines are the screen grid's grey.
    PrintPages(const DayCellPainter &cells, const Appearance &look);

    // "2026年3月 — カレンダー1", with the notes of the month's days listed under it.
    void paintMonth(QPainter &painter, const QRectF &page, const PrintedYear &year, int month) const;
    // "2026年 — カレンダー1": three months across, four down; days with notes
    // get their sign, the notes themselves have no room.
    void paintYear(QPainter &painter, const QRectF &page, const PrintedYear &year) const;

    static QString monthTitle(const PrintedYear &year, int month);
    static QString yearTitle(const PrintedYear &year);

    // Where a page puts the cell (col, row) of a month (row 0: the weekday
    // header), in the device's coordinates.
    QRectF monthCell(const QPaintDevice &device, const QRectF &page, const PrintedYear &year, int month, int col,
                     int row) const;
    QRectF yearCell(const QPaintDevice &device, const QRectF &page, const PrintedYear &year, int month, int col,
                    int row) const;

private:
    struct Grid;
    struct Sheet;
    Sheet layOutMonth(QSizeF size, const PrintedYear &year, int month) const;
    Sheet layOutYear(QSizeF size, const PrintedYear &year) const;
    void paintSheet(QPainter &painter, const QRectF &page, const PrintedYear &year, const Sheet &sheet) const;
    void paintGrid(QPainter &painter, const DayCellPainter &cells, const Grid &grid, const PrintedYear &year) const;

    DayCellPainter m_cells;
    QFont m_titleFont;
    QColor m_titleColor;
    int m_titlePx;
    int m_headerPx;
    int m_dayPx;
};

} // namespace hibi
