#pragma once

#include "components/DrawGrid.h"
#include "settings/Settings.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPen>

#include <array>
#include <cstdint>

class QPainter;
class QWidget;

namespace hibi {

struct MarkColors
{
    QColor maru;
    QColor batu;
    QColor sankaku;
};

// The height of a grid row that follows a font: the font's character height in
// pixels plus 8, for the header row and for the day rows alike.
int CellRowHeight(int pointSize, const QWidget *widget);

// What one day cell of a month shows.
struct DayCellState
{
    int day = 0;              // 0: a cell without a day, margin colour only
    bool holiday = false;     // holiday colours
    std::uint8_t mark = 0;    // drawn whatever the cell holds
    bool today = false;       // framed when the look frames today
    bool focus = false;       // the keyboard's cell
    bool notLoaded = false;   // hatched: the year could not be read
    bool highlighted = false; // a picked end of a range: covers everything
    bool note = false;        // a corner folded down, under the mark
};

// The one painting of the month grid's cells, for the month view, the settings
// previews, the bulk input's marks and the year chart's key. Its fonts, pens and
// colours are made when the look changes; painting a cell allocates nothing.
class DayCellPainter
{
public:
    DayCellPainter();

    // The whole look; `widget` tells the screen the fonts are for.
    void setLook(const Appearance &look);
    // Only the marks, for those that draw nothing else.
    void setMarks(const MarkColors &colors, int lineWidth);
    // The look's fonts at other sizes, in pixels of the painter's units: a
    // printed page sizes them to its own cells.
    void setFontPixelSizes(int header, int day);

    const QFont &headerFont() const { return m_headerFont; }
    const QFont &dayFont() const { return m_dayFont; }
    const MarkColors &markColors() const { return m_markColors; }
    int markLineWidth() const { return m_markLineWidth; }

    // The weekday header cell of column 0 (Sunday) .. 6.
    void paintHeader(QPainter &painter, const CellRect &rect, int col) const;
    void paintDay(QPainter &painter, const CellRect &rect, const DayCellState &cell) const;
    // Outlines only, with the look's pen width: ○ the ellipse inscribed in the
    // cell, × both diagonals, △ from the top centre to two points 2 pixels above
    // the bottom corners. Any other value draws nothing.
    void paintMark(QPainter &painter, const CellRect &rect, std::uint8_t mark) const;
    // The frame of the keyboard's cell: a dotted line inside the cell, apart from
    // the today frame on its edge, in the day's text colour or, on cells without
    // day colours, in black.
    enum class FocusColor { Weekday, Holiday, Plain };
    void paintFocus(QPainter &painter, const CellRect &rect, FocusColor color) const;

private:
    QFont m_headerFont;
    QFont m_dayFont;
    QColor m_headerText[2];   // weekday, holiday
    QColor m_headerBack[2];
    QColor m_dayText[2];
    QColor m_dayBack[2];
    QColor m_yohaku;
    bool m_todayOn = false;
    QPen m_todayPen;
    MarkColors m_markColors;
    int m_markLineWidth = 1;
    std::array<QPen, 4> m_markPens;
    QPen m_focusPens[3];      // weekday, holiday, plain
    QBrush m_notLoadedBrush;
    QBrush m_noteBrush;
};

// Single-line text centred in a cell.
void DrawCellText(QPainter &painter, const CellRect &rect, const QString &text);

} // namespace hibi
