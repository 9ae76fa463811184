#include "app/PrintPages.h"

#include "calendar/MonthGrid.h"
#include "components/DrawGrid.h"
#include "components/Look.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <vector>

namespace hibi {

namespace {

constexpr qreal kUnitsPerInch = 96;
constexpr int kLine = 1;          // between cells, as the draw grid has it
constexpr int kTitleGap = 14;
const QColor kNoteText(0x20, 0x20, 0x20);

int pointsToUnits(int points)
{
    return int(std::lround(std::clamp(points, 1, kLargestPointSize) * kUnitsPerInch / 72.0));
}

// A font of the look no larger than a cell holds: a row is the font plus 8, as
// on screen, and two digits fit across.
int fitting(int px, int rowHeight, int colWidth)
{
    return std::max(4, std::min({px, rowHeight - 8, colWidth * 2 / 3}));
}

QFont withPixels(QFont font, int px)
{
    font.setPixelSize(std::max(1, px));
    return font;
}

// Page units from the device's coordinates: 1/96 inch, the page's corner at 0, 0.
QTransform unitsOf(const QPaintDevice &device, const QRectF &page)
{
    QTransform t;
    t.translate(page.left(), page.top());
    t.scale(device.logicalDpiX() / kUnitsPerInch, device.logicalDpiY() / kUnitsPerInch);
    return t;
}

QSizeF sizeInUnits(const QPaintDevice &device, const QRectF &page)
{
    return {page.width() * kUnitsPerInch / device.logicalDpiX(), page.height() * kUnitsPerInch / device.logicalDpiY()};
}

QRectF toDevice(const QPaintDevice &device, const QRectF &page, const CellRect &cell)
{
    return unitsOf(device, page).mapRect(QRectF(cell.toRect()));
}

} // namespace

// The cells of one month: a header row and the week rows, a line between them.
struct PrintPages::Grid
{
    int month = 0;
    MonthLayout layout;
    int weekRows = 0;     // drawn; a five-week month on the year page leaves its sixth row blank
    QPoint origin;
    int colWidth = 0;
    int headerHeight = 0;
    int rowHeight = 0;
    QRect caption;        // the month's name over its grid on the year page

    int width() const { return kColumns * colWidth + (kColumns - 1) * kLine; }
    int height() const { return headerHeight + weekRows * (rowHeight + kLine); }
    QRect rect() const { return QRect(origin, QSize(width(), height())); }
    CellRect cell(int col, int row) const
    {
        const int left = origin.x() + col * (colWidth + kLine);
        const int top = row == 0 ? origin.y() : origin.y() + headerHeight + kLine + (row - 1) * (rowHeight + kLine);
        return {left, top, left + colWidth, top + (row == 0 ? headerHeight : rowHeight)};
    }
};

struct PrintPages::Sheet
{
    QString title;
    QRect titleRect;
    QFont titleFont;
    QFont captionFont;
    int headerPx = 0;
    int dayPx = 0;
    std::vector<Grid> grids;
    QFont noteFont;
    QRect notesRect;
    QStringList notes;
};

PrintPages::PrintPages(const DayCellPainter &cells, const Appearance &look)
    : m_cells(cells),
      m_titleFont(MakeFont(look.NenFont.Name, look.NenFont.Size, look.NenFont.Style)),
      m_titleColor(ToQColor(look.NenFont.Color)),
      m_titlePx(pointsToUnits(look.NenFont.Size)),
      m_headerPx(pointsToUnits(look.YoubiFont.Size)),
      m_dayPx(pointsToUnits(look.DayFont.Size))
{
}

QString PrintPages::monthTitle(const PrintedYear &year, int month)
{
    return QStringLiteral("%1年%2月 — %3").arg(year.year).arg(month).arg(year.calendarName);
}

QString PrintPages::yearTitle(const PrintedYear &year)
{
    return QStringLiteral("%1年 — %2").arg(year.year).arg(year.calendarName);
}

PrintPages::Sheet PrintPages::layOutMonth(QSizeF size, const PrintedYear &year, int month) const
{
    const int width = int(size.width());
    const int height = int(size.height());
    Sheet sheet;
    sheet.title = monthTitle(year, month);
    sheet.titleFont = withPixels(m_titleFont, std::min(m_titlePx, 48));
    sheet.titleRect = QRect(0, 0, width, QFontMetrics(sheet.titleFont).height());

    // The notes take the room under the grid they need, up to a third of the page.
    sheet.noteFont = withPixels(m_cells.dayFont(), 14);
    for (auto plain : {&QFont::setBold, &QFont::setItalic, &QFont::setUnderline, &QFont::setStrikeOut})
        (sheet.noteFont.*plain)(false);
    const int noteLine = QFontMetrics(sheet.noteFont).lineSpacing();
    if (year.noteOf)
        for (int day = 1; day <= DaysInMonth(year.year, month); ++day)
            if (const QString note = year.noteOf(year.year, month, day); !note.isEmpty())
                sheet.notes << QStringLiteral("%1日　%2").arg(day).arg(note.simplified());
    const qsizetype fit = std::max(1, height / 3 / noteLine);
    if (sheet.notes.size() > fit) {
        const qsizetype more = sheet.notes.size() - fit + 1;
        sheet.notes.resize(fit - 1);
        sheet.notes << QStringLiteral("ほか %1 件").arg(more);
    }
    const int notesHeight = sheet.notes.isEmpty() ? 0 : kTitleGap + int(sheet.notes.size()) * noteLine;

    Grid grid;
    grid.month = month;
    grid.layout = year.layoutOf(year.year, month);
    grid.weekRows = grid.layout.rowCount - 1;
    grid.colWidth = std::max(1, (width - (kColumns - 1) * kLine) / kColumns);
    sheet.headerPx = std::max(4, std::min(m_headerPx, grid.colWidth * 2 / 3));
    grid.headerHeight = sheet.headerPx + 8;
    const int top = sheet.titleRect.bottom() + 1 + kTitleGap;
    const int rows = height - top - notesHeight - grid.headerHeight;
    // Cells at most half again as tall as wide: what a tall page has left stays free.
    grid.rowHeight = std::clamp(rows / grid.weekRows - kLine, 1, grid.colWidth * 3 / 2);
    grid.origin = QPoint((width - grid.width()) / 2, top);
    sheet.dayPx = fitting(m_dayPx, grid.rowHeight, grid.colWidth);
    sheet.notesRect = QRect(grid.origin.x(), grid.rect().bottom() + 1 + kTitleGap, grid.width(),
                            int(sheet.notes.size()) * noteLine);
    sheet.grids.push_back(std::move(grid));
    return sheet;
}

PrintPages::Sheet PrintPages::layOutYear(QSizeF size, const PrintedYear &year) const
{
    constexpr int kAcross = 3;
    constexpr int kDown = 4;
    constexpr int kGapAcross = 18;
    constexpr int kGapDown = 12;
    const int width = int(size.width());
    const int height = int(size.height());
    Sheet sheet;
    sheet.title = yearTitle(year);
    sheet.titleFont = withPixels(m_titleFont, std::min(m_titlePx, 36));
    sheet.titleRect = QRect(0, 0, width, QFontMetrics(sheet.titleFont).height());
    sheet.captionFont = withPixels(m_titleFont, std::min(m_titlePx, 18));
    const int captionHeight = QFontMetrics(sheet.captionFont).height() + 2;

    const int top = sheet.titleRect.bottom() + 1 + kTitleGap;
    const int blockWidth = (width - (kAcross - 1) * kGapAcross) / kAcross;
    const int blockHeight = (height - top - (kDown - 1) * kGapDown) / kDown;
    const int colWidth = std::max(1, (blockWidth - (kColumns - 1) * kLine) / kColumns);
    // Every month in six week rows, so that the months line up.
    const int rowHeight = std::clamp((blockHeight - captionHeight) / (kWeekRows + 1) - kLine, 1, colWidth);
    sheet.headerPx = fitting(m_headerPx, rowHeight, colWidth);
    sheet.dayPx = fitting(m_dayPx, rowHeight, colWidth);
    for (int month = 1; month <= 12; ++month) {
        Grid grid;
        grid.month = month;
        grid.layout = year.layoutOf(year.year, month);
        grid.weekRows = kWeekRows;
        grid.colWidth = colWidth;
        grid.headerHeight = rowHeight;
        grid.rowHeight = rowHeight;
        const int blockLeft = (month - 1) % kAcross * (blockWidth + kGapAcross);
        const int blockTop = top + (month - 1) / kAcross * (blockHeight + kGapDown);
        grid.caption = QRect(blockLeft + (blockWidth - grid.width()) / 2, blockTop, grid.width(), captionHeight);
        grid.origin = QPoint(grid.caption.left(), blockTop + captionHeight);
        sheet.grids.push_back(std::move(grid));
    }
    return sheet;
}

void PrintPages::paintMonth(QPainter &painter, const QRectF &page, const PrintedYear &year, int month) const
{
    paintSheet(painter, page, year, layOutMonth(sizeInUnits(*painter.device(), page), year, month));
}

void PrintPages::paintYear(QPainter &painter, const QRectF &page, const PrintedYear &year) const
{
    paintSheet(painter, page, year, layOutYear(sizeInUnits(*painter.device(), page), year));
}

QRectF PrintPages::monthCell(const QPaintDevice &device, const QRectF &page, const PrintedYear &year, int month,
                             int col, int row) const
{
    const Sheet sheet = layOutMonth(sizeInUnits(device, page), year, month);
    return toDevice(device, page, sheet.grids.front().cell(col, row));
}

QRectF PrintPages::yearCell(const QPaintDevice &device, const QRectF &page, const PrintedYear &year, int month,
                            int col, int row) const
{
    const Sheet sheet = layOutYear(sizeInUnits(device, page), year);
    return toDevice(device, page, sheet.grids[size_t(month - 1)].cell(col, row));
}

void PrintPages::paintSheet(QPainter &painter, const QRectF &page, const PrintedYear &year, const Sheet &sheet) const
{
    painter.save();
    painter.setTransform(unitsOf(*painter.device(), page), true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);

    painter.setFont(sheet.titleFont);
    painter.setPen(m_titleColor);
    painter.drawText(sheet.titleRect, Qt::AlignCenter | Qt::TextSingleLine, sheet.title);

    DayCellPainter cells = m_cells;
    cells.setFontPixelSizes(sheet.headerPx, sheet.dayPx);
    for (const Grid &grid : sheet.grids) {
        if (!grid.caption.isEmpty()) {
            painter.setFont(sheet.captionFont);
            painter.setPen(m_titleColor);
            painter.drawText(grid.caption, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                             QStringLiteral("%1月").arg(grid.month));
        }
        paintGrid(painter, cells, grid, year);
    }

    if (!sheet.notes.isEmpty()) {
        painter.setFont(sheet.noteFont);
        painter.setPen(kNoteText);
        const QFontMetrics metrics(sheet.noteFont);
        int y = sheet.notesRect.top();
        for (const QString &note : sheet.notes) {
            painter.drawText(QRect(sheet.notesRect.left(), y, sheet.notesRect.width(), metrics.lineSpacing()),
                             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                             metrics.elidedText(note, Qt::ElideRight, sheet.notesRect.width()));
            y += metrics.lineSpacing();
        }
    }
    painter.restore();
}

void PrintPages::paintGrid(QPainter &painter, const DayCellPainter &cells, const Grid &grid,
                           const PrintedYear &year) const
{
    // The lines between the cells are the grid's background, as on screen.
    painter.fillRect(grid.rect(), kGridLineColor);
    for (int col = 0; col < kColumns; ++col)
        cells.paintHeader(painter, grid.cell(col, 0), col);
    const int laidOutRows = grid.layout.rowCount - 1;
    for (int row = 1; row <= grid.weekRows; ++row)
        for (int col = 0; col < kColumns; ++col) {
            const CellRect rect = grid.cell(col, row);
            DayCellState cell;
            if (row <= laidOutRows) {
                const DayCell &day = grid.layout.at(col, row);
                cell.day = day.day;
                cell.holiday = day.holiday;
                cell.mark = year.marks.at(grid.month, col, row);
                cell.today = grid.layout.todayCell == GridCell{col, row};
                cell.notLoaded = !year.loaded;
            }
            cell.note = cell.day != 0 && year.noteOf && !year.noteOf(year.year, grid.month, cell.day).isEmpty();
            cells.paintDay(painter, rect, cell);
        }
}

} // namespace hibi
