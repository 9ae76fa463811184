#include "components/DayCellPainter.h"

#include "calendar/SpokenDay.h"
#include "components/Look.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace hibi {

namespace {

// The day numbers, made once: a painted cell makes no string.
const QString &dayNumber(int day)
{
    static const auto numbers = [] {
        std::array<QString, 32> n;
        for (int d = 1; d < 32; ++d)
            n[size_t(d)] = QString::number(d);
        return n;
    }();
    return numbers[size_t(std::clamp(day, 0, 31))];
}

QPen markPen(const QColor &color, int width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

} // namespace

int CellRowHeight(int pointSize, const QWidget *widget)
{
    return FontPixelHeight(pointSize, widget) + 8;
}

DayCellPainter::DayCellPainter()
    : m_notLoadedBrush(QColor(0x80, 0x80, 0x80), Qt::BDiagPattern), m_noteBrush(QColor(0x40, 0x40, 0x40))
{
    m_focusPens[int(FocusColor::Plain)] = QPen(Qt::black, 2, Qt::DotLine, Qt::FlatCap);
}

void DayCellPainter::setLook(const Appearance &a)
{
    m_headerFont = MakeFont(a.YoubiFont.Name, a.YoubiFont.Size, a.YoubiFont.Style);
    m_dayFont = MakeFont(a.DayFont.Name, a.DayFont.Size, a.DayFont.Style);
    m_headerText[0] = ToQColor(a.YoubiFont.WeekdayColor);
    m_headerText[1] = ToQColor(a.YoubiFont.HolidayColor);
    m_headerBack[0] = ToQColor(a.YoubiWeekdayBack);
    m_headerBack[1] = ToQColor(a.YoubiHolidayBack);
    m_dayText[0] = ToQColor(a.DayFont.WeekdayColor);
    m_dayText[1] = ToQColor(a.DayFont.HolidayColor);
    m_dayBack[0] = ToQColor(a.DayWeekdayBack);
    m_dayBack[1] = ToQColor(a.DayHolidayBack);
    m_yohaku = ToQColor(a.YohakuBack);
    m_todayOn = a.TodayMarkOn;
    m_todayPen = QPen(ToQColor(a.TodayColor), std::clamp(a.TodayLineWidth, 0, kWidestLine), Qt::SolidLine, Qt::SquareCap,
                      Qt::MiterJoin);
    m_focusPens[int(FocusColor::Weekday)] = QPen(m_dayText[0], 2, Qt::DotLine, Qt::FlatCap);
    m_focusPens[int(FocusColor::Holiday)] = QPen(m_dayText[1], 2, Qt::DotLine, Qt::FlatCap);
    setMarks({ToQColor(a.MaruColor), ToQColor(a.BatuColor), ToQColor(a.SankakuColor)}, a.MarkLineWidth);
}

void DayCellPainter::setMarks(const MarkColors &colors, int lineWidth)
{
    m_markColors = colors;
    m_markLineWidth = std::clamp(lineWidth, 0, kWidestLine);
    m_markPens[1] = markPen(colors.maru, m_markLineWidth);
    m_markPens[2] = markPen(colors.batu, m_markLineWidth);
    m_markPens[3] = markPen(colors.sankaku, m_markLineWidth);
}

void DayCellPainter::setFontPixelSizes(int header, int day)
{
    m_headerFont.setPixelSize(std::max(1, header));
    m_dayFont.setPixelSize(std::max(1, day));
}

void DayCellPainter::paintHeader(QPainter &painter, const CellRect &rect, int col) const
{
    const int holiday = col == 0 ? 1 : 0;
    painter.setFont(m_headerFont);
    painter.fillRect(rect.toRect(), m_headerBack[holiday]);
    painter.setPen(m_headerText[holiday]);
    DrawCellText(painter, rect, WeekdayLetter(col));
}

void DayCellPainter::paintDay(QPainter &painter, const CellRect &rect, const DayCellState &cell) const
{
    const QRect r = rect.toRect();
    const int holiday = cell.holiday ? 1 : 0;
    if (cell.day != 0) {
        painter.setFont(m_dayFont);
        painter.fillRect(r, m_dayBack[holiday]);
        painter.setPen(m_dayText[holiday]);
        DrawCellText(painter, rect, dayNumber(cell.day));
    } else {
        painter.fillRect(r, m_yohaku);
    }
    // A day with a note has its top right corner folded down, a quarter of the
    // cell: clear of the number in the middle, under the mark, and inside
    // today's frame so that the frame does not hide it.
    if (cell.note && cell.day != 0) {
        const int side = std::max(4, std::min(rect.right - rect.left, rect.bottom - rect.top) / 4);
        const int inset = cell.today && m_todayOn ? m_todayPen.width() : 0;
        const int right = rect.right - inset;
        const int top = rect.top + inset;
        const QPoint corner[3] = {QPoint(right - side, top), QPoint(right, top), QPoint(right, top + side)};
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_noteBrush);
        painter.drawPolygon(corner, 3);
    }
    // The mark, whatever the cell holds, then today's frame over it.
    paintMark(painter, rect, cell.mark);
    if (cell.today && m_todayOn) {
        const QPoint frame[4] = {QPoint(rect.left, rect.top), QPoint(rect.left, rect.bottom - 1),
                                 QPoint(rect.right - 1, rect.bottom - 1), QPoint(rect.right - 1, rect.top)};
        painter.setPen(m_todayPen);
        painter.setBrush(Qt::NoBrush);
        painter.drawPolygon(frame, 4);
    }
    if (cell.focus)
        paintFocus(painter, rect, cell.holiday ? FocusColor::Holiday : FocusColor::Weekday);
    if (cell.notLoaded)
        painter.fillRect(r, m_notLoadedBrush);
    // A picked end of a range covers everything.
    if (cell.highlighted)
        painter.fillRect(r, QApplication::palette().color(QPalette::Highlight));
}

void DayCellPainter::paintMark(QPainter &painter, const CellRect &r, std::uint8_t mark) const
{
    if (mark < 1 || mark > 3)
        return;
    const bool smooth = painter.testRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(m_markPens[mark]);
    painter.setBrush(Qt::NoBrush);
    switch (mark) {
    case 1:
        painter.drawEllipse(QRectF(r.left, r.top, r.right - r.left, r.bottom - r.top));
        break;
    case 2:
        painter.drawLine(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
        painter.drawLine(QPoint(r.left, r.bottom), QPoint(r.right, r.top));
        break;
    default: {
        const QPoint triangle[3] = {QPoint(r.left + (r.right - r.left) / 2, r.top), QPoint(r.left, r.bottom - 2),
                                    QPoint(r.right, r.bottom - 2)};
        painter.drawPolygon(triangle, 3);
        break;
    }
    }
    painter.setRenderHint(QPainter::Antialiasing, smooth);
}

void DayCellPainter::paintFocus(QPainter &painter, const CellRect &r, FocusColor color) const
{
    painter.setPen(m_focusPens[int(color)]);
    painter.setBrush(Qt::NoBrush);
    const int inset = 6;   // inside today's frame, whatever its width up to 10
    painter.drawRect(QRect(r.left + inset, r.top + inset, r.right - r.left - 2 * inset - 1, r.bottom - r.top - 2 * inset - 1));
}

void DrawCellText(QPainter &painter, const CellRect &rect, const QString &text)
{
    painter.drawText(rect.toRect(), Qt::AlignCenter | Qt::TextSingleLine, text);
}

} // namespace hibi
