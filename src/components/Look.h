#pragma once

#include "settings/Settings.h"

#include <QColor>
#include <QFont>

class QWidget;

namespace hibi {

// A font given in pixels, as the windows are laid out in pixels.
QFont PixelFont(int pixels, bool bold = false, bool italic = false, const QString &face = kDefaultFontFace);
// The font of a stored font record; the face falls back to what the system has.
QFont MakeFont(const QString &name, int size, const FontStyle &style);
// A font's character height in pixels: its point size at the screen's dpi. Rows
// that follow a font are this plus 8.
int FontPixelHeight(int pointSize, const QWidget *widget);

void SetBackground(QWidget *widget, const QColor &color);
void SetTextColor(QWidget *widget, const QColor &color);

} // namespace hibi
