#pragma once

#include "components/DrawGrid.h"
#include "settings/Colors.h"

#include <QColor>

#include <cstdint>

class QPainter;

namespace hibi {

// The on-screen colour of a stored colour; system colours come from the palette.
QColor ToQColor(Color color);

struct MarkColors
{
    QColor maru;
    QColor batu;
    QColor sankaku;
};

// The one drawing of the three marks, outlines only, with the given pen width:
// ○ the ellipse inscribed in the cell, × both diagonals, △ from the top centre to
// two points 2 pixels above the bottom corners. Any other value draws nothing.
void DrawMark(QPainter &painter, const CellRect &rect, std::uint8_t mark, const MarkColors &colors, int lineWidth);

// The frame around today's cell.
void DrawTodayFrame(QPainter &painter, const CellRect &rect, const QColor &color, int lineWidth);

// The frame of the cell that has the keyboard's focus: a dotted line inside the
// cell, apart from the today frame on its edge and the range highlight's fill.
void DrawFocusCell(QPainter &painter, const CellRect &rect, const QColor &color);

// Single-line text centred in the cell.
void DrawCellText(QPainter &painter, const CellRect &rect, const QString &text);

} // namespace hibi
