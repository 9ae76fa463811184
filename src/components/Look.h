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

// The on-screen colour of a stored colour; system colours come from the palette.
QColor ToQColor(Color color);

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
// corner, size the inside, as QWidget::move and resize take them; `frame` is
// what the window manager's frame adds, where a window shown already tells.
QRect PlaceOnScreen(const WindowBounds &stored, QSize minimum, QSize frame = QSize());
// What the window manager's frame adds to a window that is shown.
QSize FrameExtent(const QWidget *shownWindow);

// A window placed from its stored bounds before it is first shown (a window
// manager then takes the position as the frame's, as pos() gives it back). At
// close, the bounds to store: the stored ones as they were when the user did not
// move or size the window, so bounds brought onto the screen are not written.
class WindowPlacement
{
public:
    WindowPlacement() = default;
    // `nextTo`: a window shown already, whose frame tells what a frame adds.
    WindowPlacement(const WindowBounds &stored, QSize minimum, const QWidget *nextTo = nullptr);
    void apply(QWidget *window) const;
    WindowBounds atClose(const QWidget *window) const;

private:
    WindowBounds m_stored;
    QRect m_placed;
};

void SetBackground(QWidget *widget, const QColor &color);
void SetTextColor(QWidget *widget, const QColor &color);

} // namespace hibi
