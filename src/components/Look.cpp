#include "components/Look.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace hibi {

QColor ToQColor(Color color)
{
    if (color == clNone)
        return Qt::transparent;
    if (color == clDefault)
        return QApplication::palette().color(QPalette::Window);
    if (!IsSystemColor(color))
        return QColor(RedOf(color), GreenOf(color), BlueOf(color));
    const QPalette p = QApplication::palette();
    switch (color) {
    case clWindow: return p.color(QPalette::Base);
    case clWindowFrame: return p.color(QPalette::Shadow);
    case clMenuText: case clWindowText: case clCaptionText: return p.color(QPalette::Text);
    case clHighlight: return p.color(QPalette::Highlight);
    case clHighlightText: return p.color(QPalette::HighlightedText);
    case clBtnFace: return p.color(QPalette::Button);
    case clBtnShadow: return p.color(QPalette::Dark);
    case clGrayText: return p.color(QPalette::Disabled, QPalette::Text);
    case clBtnText: return p.color(QPalette::ButtonText);
    case clInactiveCaptionText: return p.color(QPalette::Disabled, QPalette::WindowText);
    case clBtnHighlight: return p.color(QPalette::Light);
    case cl3DDkShadow: return p.color(QPalette::Shadow);
    case cl3DLight: return p.color(QPalette::Midlight);
    case clInfoText: return p.color(QPalette::ToolTipText);
    case clInfoBk: return p.color(QPalette::ToolTipBase);
    case clHotLight: return p.color(QPalette::Link);
    case clMenuHighlight: return p.color(QPalette::Highlight);
    default: return p.color(QPalette::Window);
    }
}

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

QRect PlaceOnScreen(const WindowBounds &stored, QSize minimum, QSize frame)
{
    QScreen *screen = QGuiApplication::screenAt(QPoint(stored.left, stored.top));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect screenArea = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QRect area(screenArea.topLeft(), screenArea.size() - frame.expandedTo(QSize(0, 0)));
    // In 64 bits: the stored values may be anything an int holds.
    auto fit = [](qint64 value, qint64 low, qint64 high) { return int(std::clamp(value, low, std::max(low, high))); };
    const int width = fit(stored.width, minimum.width(), area.width());
    const int height = fit(stored.height, minimum.height(), area.height());
    const int left = fit(stored.left, area.left(), qint64(area.left()) + area.width() - width);
    const int top = fit(stored.top, area.top(), qint64(area.top()) + area.height() - height);
    return QRect(left, top, width, height);
}

QSize FrameExtent(const QWidget *shownWindow)
{
    if (!shownWindow || !shownWindow->isVisible())
        return QSize();
    const QWidget *top = shownWindow->window();
    return top->frameGeometry().size() - top->size();
}

WindowPlacement::WindowPlacement(const WindowBounds &stored, QSize minimum, const QWidget *nextTo)
    : m_stored(stored), m_placed(PlaceOnScreen(stored, minimum, FrameExtent(nextTo)))
{
}

void WindowPlacement::apply(QWidget *window) const
{
    window->move(m_placed.topLeft());
    window->resize(m_placed.size());
}

WindowBounds WindowPlacement::atClose(const QWidget *window) const
{
    const QRect now(window->pos(), window->size());
    return now == m_placed ? m_stored : WindowBounds{now.y(), now.x(), now.height(), now.width()};
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
