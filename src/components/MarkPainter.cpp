#include "components/MarkPainter.h"

#include "components/Look.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QPolygon>

#include <algorithm>

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
    switch (color - kSystemColorBase) {
    case 5: return p.color(QPalette::Base);                               // clWindow
    case 6: return p.color(QPalette::Shadow);                             // clWindowFrame
    case 7: case 8: case 9: return p.color(QPalette::Text);               // menu, window, caption text
    case 13: return p.color(QPalette::Highlight);
    case 14: return p.color(QPalette::HighlightedText);
    case 16: return p.color(QPalette::Dark);                              // clBtnShadow
    case 17: return p.color(QPalette::Disabled, QPalette::Text);          // clGrayText
    case 18: return p.color(QPalette::ButtonText);
    case 19: return p.color(QPalette::Disabled, QPalette::WindowText);
    case 20: return p.color(QPalette::Light);                             // clBtnHighlight
    case 21: return p.color(QPalette::Shadow);                            // cl3DDkShadow
    case 22: return p.color(QPalette::Midlight);                          // cl3DLight
    case 23: return p.color(QPalette::ToolTipText);
    case 24: return p.color(QPalette::ToolTipBase);
    case 26: return p.color(QPalette::Link);                              // clHotLight
    case 29: return p.color(QPalette::Highlight);                         // clMenuHighlight
    case 15: return p.color(QPalette::Button);                            // clBtnFace
    default: return p.color(QPalette::Window);
    }
}

void DrawMark(QPainter &painter, const CellRect &r, std::uint8_t mark, const MarkColors &colors, int lineWidth)
{
    const QColor *color = mark == 1 ? &colors.maru : mark == 2 ? &colors.batu : mark == 3 ? &colors.sankaku : nullptr;
    if (!color)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(*color, std::clamp(lineWidth, 0, kWidestLine), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    switch (mark) {
    case 1:
        painter.drawEllipse(QRectF(r.left, r.top, r.right - r.left, r.bottom - r.top));
        break;
    case 2:
        painter.drawLine(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
        painter.drawLine(QPoint(r.left, r.bottom), QPoint(r.right, r.top));
        break;
    case 3: {
        const QPoint apex(r.left + (r.right - r.left) / 2, r.top);
        painter.drawPolygon(QPolygon({apex, QPoint(r.left, r.bottom - 2), QPoint(r.right, r.bottom - 2)}));
        break;
    }
    }
    painter.restore();
}

void DrawTodayFrame(QPainter &painter, const CellRect &r, const QColor &color, int lineWidth)
{
    painter.save();
    painter.setPen(QPen(color, std::clamp(lineWidth, 0, kWidestLine), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(QPolygon({QPoint(r.left, r.top), QPoint(r.left, r.bottom - 1), QPoint(r.right - 1, r.bottom - 1),
                                  QPoint(r.right - 1, r.top)}));
    painter.restore();
}

void DrawFocusCell(QPainter &painter, const CellRect &r, const QColor &color)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(color, 2, Qt::DotLine, Qt::FlatCap));
    painter.setBrush(Qt::NoBrush);
    const int inset = 6;   // inside today's frame, whatever its width up to 10
    painter.drawRect(QRect(r.left + inset, r.top + inset, r.right - r.left - 2 * inset - 1, r.bottom - r.top - 2 * inset - 1));
    painter.restore();
}

void DrawCellText(QPainter &painter, const CellRect &rect, const QString &text)
{
    painter.drawText(rect.toRect(), Qt::AlignCenter | Qt::TextSingleLine, text);
}

} // namespace hibi
