#include "components/Look.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
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
    font.setPointSize(std::clamp(size, 1, kLargestPointSize));
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    font.setStrikeOut(style.strikeOut);
    return font;
}

int FontPixelHeight(int pointSize, const QWidget *widget)
{
    return int(std::lround(std::clamp(pointSize, 1, kLargestPointSize) * widget->logicalDpiY() / 72.0));
}

QRect PlaceOnScreen(const WindowBounds &stored, QSize minimum)
{
    QScreen *screen = QGuiApplication::screenAt(QPoint(stored.left, stored.top));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    // In 64 bits: the stored values may be anything an int holds.
    auto fit = [](qint64 value, qint64 low, qint64 high) { return int(std::clamp(value, low, std::max(low, high))); };
    const int width = fit(stored.width, minimum.width(), area.width());
    const int height = fit(stored.height, minimum.height(), area.height());
    const int left = fit(stored.left, area.left(), qint64(area.left()) + area.width() - width);
    const int top = fit(stored.top, area.top(), qint64(area.top()) + area.height() - height);
    return QRect(left, top, width, height);
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
