#include "components/DrawGrid.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

namespace hibi {

DrawGrid::DrawGrid(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);   // grids that take keys say so
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setSingleStep(1);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    MakeAccessibleTable(this);
}

void DrawGrid::setColCount(int count)
{
    m_colCount = std::max(0, count);
    viewport()->update();
}

void DrawGrid::setRowCount(int count)
{
    m_rowCount = std::max(0, count);
    updateScrollBar();
    viewport()->update();
}

void DrawGrid::setFixedRows(int count)
{
    m_fixedRows = std::clamp(count, 0, 1);
    updateScrollBar();
    viewport()->update();
}

void DrawGrid::setDefaultColWidth(int width)
{
    m_defaultColWidth = std::max(0, width);
    viewport()->update();
}

void DrawGrid::setDefaultRowHeight(int height)
{
    m_defaultRowHeight = std::max(0, height);
    updateScrollBar();
    viewport()->update();
}

int DrawGrid::colWidth(int col) const
{
    const auto it = m_colWidths.find(col);
    return it != m_colWidths.end() ? it->second : m_defaultColWidth;
}

void DrawGrid::setColWidth(int col, int width)
{
    m_colWidths[col] = std::max(0, width);
    viewport()->update();
}

int DrawGrid::rowHeight(int row) const
{
    const auto it = m_rowHeights.find(row);
    return it != m_rowHeights.end() ? it->second : m_defaultRowHeight;
}

void DrawGrid::setRowHeight(int row, int height)
{
    height = std::max(0, height);
    if (rowHeight(row) == height && m_rowHeights.count(row))
        return;
    m_rowHeights[row] = height;
    updateScrollBar();
    viewport()->update();
}

int DrawGrid::topRow() const
{
    return m_fixedRows + verticalScrollBar()->value();
}

void DrawGrid::scrollToRow(int row)
{
    if (row < m_fixedRows || row >= m_rowCount)
        return;
    QScrollBar *bar = verticalScrollBar();
    if (row < topRow()) {
        bar->setValue(row - m_fixedRows);
        return;
    }
    // Down until the row's bottom is in view.
    while (topRow() < row && cellRect(0, row).bottom > clientHeight() && bar->value() < bar->maximum())
        bar->setValue(bar->value() + 1);
}

void DrawGrid::setMarginColor(const QColor &color)
{
    m_marginColor = color;
    viewport()->update();
}

int DrawGrid::clientWidth() const
{
    return viewport()->width();
}

int DrawGrid::clientHeight() const
{
    return viewport()->height();
}

int DrawGrid::colLeft(int col) const
{
    int left = 0;
    for (int c = 0; c < col; ++c)
        left += colWidth(c) + 1;
    return left;
}

int DrawGrid::fixedHeight() const
{
    int h = 0;
    for (int row = 0; row < m_fixedRows && row < m_rowCount; ++row)
        h += rowHeight(row) + 1;
    return h;
}

CellRect DrawGrid::cellRect(int col, int row) const
{
    int top = 0;
    if (row < m_fixedRows) {
        for (int r = 0; r < row; ++r)
            top += rowHeight(r) + 1;
    } else {
        top = fixedHeight();
        for (int r = topRow(); r < row; ++r)
            top += rowHeight(r) + 1;
        for (int r = row; r < topRow(); ++r)   // scrolled out above
            top -= rowHeight(r) + 1;
    }
    const int left = colLeft(col);
    return {left, top, left + colWidth(col), top + rowHeight(row)};
}

bool DrawGrid::cellAt(QPoint pos, int *col, int *row) const
{
    if (pos.x() < 0 || pos.y() < 0 || pos.x() >= clientWidth() || pos.y() >= clientHeight())
        return false;
    int c = 0;
    for (int x = 0; c < m_colCount; ++c) {
        x += colWidth(c) + 1;
        if (pos.x() < x)
            break;
    }
    if (c >= m_colCount)
        return false;
    int y = 0;
    auto hit = [&](int r) {
        const int h = rowHeight(r) + 1;
        if (pos.y() < y + h) {
            *col = c;
            *row = r;
            return true;
        }
        y += h;
        return false;
    };
    for (int r = 0; r < m_fixedRows && r < m_rowCount; ++r)
        if (hit(r))
            return true;
    for (int r = topRow(); r < m_rowCount; ++r)
        if (hit(r))
            return true;
    return false;
}

void DrawGrid::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    const int width = clientWidth();
    const int height = clientHeight();
    painter.fillRect(0, 0, width, height, m_marginColor);

    auto paintRow = [&](int row) {
        for (int col = 0; col < m_colCount; ++col) {
            const CellRect r = cellRect(col, row);
            if (r.left >= width)
                break;
            painter.fillRect(r.right, r.top, 1, r.bottom - r.top + 1, kGridLineColor);
            painter.fillRect(r.left, r.bottom, r.right - r.left, 1, kGridLineColor);
            if (!m_drawCell)
                continue;
            painter.save();
            painter.setClipRect(r.toRect());
            m_drawCell(painter, col, row, r);
            painter.restore();
        }
    };
    for (int row = 0; row < m_fixedRows && row < m_rowCount; ++row)
        paintRow(row);
    for (int row = topRow(); row < m_rowCount && cellRect(0, row).top < height; ++row)
        paintRow(row);
}

void DrawGrid::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBar();
}

void DrawGrid::scrollContentsBy(int, int)
{
    viewport()->update();
}

void DrawGrid::updateScrollBar()
{
    // The last top row is the one from which the remaining rows fit the view.
    const int room = clientHeight() - fixedHeight();
    int used = 0;
    int fitting = 0;
    for (int row = m_rowCount - 1; row >= m_fixedRows; --row) {
        used += rowHeight(row) + 1;
        if (used > room)
            break;
        ++fitting;
    }
    const int scrollable = std::max(0, m_rowCount - m_fixedRows);
    QScrollBar *bar = verticalScrollBar();
    bar->setRange(0, std::max(0, scrollable - std::max(fitting, 1)));
    bar->setPageStep(std::max(1, fitting));
}

void DrawGrid::mousePressEvent(QMouseEvent *event)
{
    emit mouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

// Through a real window, Qt delivers the second of two quick presses only as a
// double click, never as a press: it is a press like any other, so two quick left
// presses toggle ○ on and off again.
void DrawGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    mousePressEvent(event);
}

void DrawGrid::mouseReleaseEvent(QMouseEvent *event)
{
    emit mouseUp(event->button(), event->modifiers(), event->position().toPoint());
}

void DrawGrid::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMove(event->buttons(), event->modifiers(), event->position().toPoint());
}

void DrawGrid::keyPressEvent(QKeyEvent *event)
{
    emit keyDown(event->key(), event->modifiers());
}

void DrawGrid::wheelEvent(QWheelEvent *event)
{
    if (!m_wheelHandler) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    // A notch is 120; touchpads send less at a time.
    m_wheelAngle += event->angleDelta().y();
    const int notches = m_wheelAngle / QWheelEvent::DefaultDeltasPerStep;
    m_wheelAngle -= notches * QWheelEvent::DefaultDeltasPerStep;
    if (notches != 0)
        m_wheelHandler(notches);
}

// The cell with the keyboard's focus is drawn only while the grid has it.
void DrawGrid::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
    focusCellMoved();   // screen readers go on to the cell
}

void DrawGrid::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

// A window that comes back to the front tells screen readers of its focus
// widget, the grid: they go on to the cell after it.
void DrawGrid::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && window()->focusWidget() == this)
        focusCellMoved();
}

bool DrawGrid::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip || !m_cellToolTip)
        return QAbstractScrollArea::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    int col = 0;
    int row = 0;
    const QString text = cellAt(help->pos(), &col, &row) ? m_cellToolTip(col, row) : QString();
    // The tip stays while the pointer is inside its cell.
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), text, viewport(), cellRect(col, row).toRect());
    return true;
}

// ---- What screen readers read -------------------------------------------------

void DrawGrid::focusCellMoved()
{
    if (m_focusToTell || !QAccessible::isActive())
        return;
    m_focusToTell = true;
    QMetaObject::invokeMethod(
            this,
            [this] {
                m_focusToTell = false;
                AccessibleTable::focusMoved(this);
            },
            Qt::QueuedConnection);
}

QString DrawGrid::tableName() const
{
    return m_names ? m_names->gridName() : QString();
}

QString DrawGrid::tableDescription() const
{
    return m_names ? m_names->gridDescription() : QString();
}

QString DrawGrid::cellName(int col, int row) const
{
    return m_names ? m_names->cellName(col, row + m_fixedRows) : QString();
}

QString DrawGrid::cellDescription(int col, int row) const
{
    return m_names ? m_names->cellDescription(col, row + m_fixedRows) : QString();
}

bool DrawGrid::cellSelected(int col, int row) const
{
    return m_names && m_names->cellSelected(col, row + m_fixedRows);
}

bool DrawGrid::focusCell(int *col, int *row) const
{
    if (!m_names || !m_names->focusCell(col, row))
        return false;
    *row -= m_fixedRows;
    return true;
}

QRect DrawGrid::cellBounds(int col, int row) const
{
    const QRect inViewport = cellRect(col, row + m_fixedRows).toRect();
    return inViewport.translated(viewport()->geometry().topLeft());
}

} // namespace hibi
