#include "components/Look.h"

#include <QWidget>

#include <cmath>

namespace hibi {

QFont PixelFont(int pixels, bool bold, bool italic, const QString &face)
{
    QFont f(face);
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

QFont MakeFont(const QString &name, int size, const FontStyle &style)
{
    QFont font(name);
    font.setPointSize(std::max(1, size));
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    font.setStrikeOut(style.strikeOut);
    return font;
}

int FontPixelHeight(int pointSize, const QWidget *widget)
{
    return int(std::lround(pointSize * widget->logicalDpiY() / 72.0));
}

void SetBackground(QWidget *widget, const QColor &color)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, color);
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

void SetTextColor(QWidget *widget, const QColor &color)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, color);
    widget->setPalette(pal);
}

} // namespace hibi
