#pragma once

#include "settings/Settings.h"

#include <QColor>
#include <QFont>
#include <QRect>

class QWidget;

namespace hibi {

// The largest font size and line width the windows draw with; a hand-edited
// settings file may hold anything.
constexpr int kLargestPointSize = 144;
constexpr int kWidestLine = 100;

// A font given in pixels, as the windows are laid out in pixels.
QFont PixelFont(int pixels, bool bold = false, bool italic = false, const QString &face = kDefaultFontFace);
// The font of a stored font record; the face falls back to what the system has.
QFont MakeFont(const QString &name, int size, const FontStyle &style);
// A font's character height in pixels: its point size at the screen's dpi. Rows
// that follow a font are this plus 8.
int FontPixelHeight(int pointSize, const QWidget *widget);

// Where a window with stored bounds goes: on the screen that holds the stored
// corner (else the primary one), no larger than the screen's available area
// (nor smaller than `minimum`) and wholly inside it. Position is the frame's
// corner, size the inside, as QWidget::move and resize take them.
QRect PlaceOnScreen(const WindowBounds &stored, QSize minimum);

void SetBackground(QWidget *widget, const QColor &color);
void SetTextColor(QWidget *widget, const QColor &color);

} // namespace hibi
