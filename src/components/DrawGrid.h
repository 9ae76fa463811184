#pragma once

#include "components/AccessibleTable.h"

#include <QAbstractScrollArea>
#include <QColor>

#include <functional>
#include <map>

namespace hibi {

// A cell's rectangle as the draw-cell callback gets it: right and bottom lie one
// pixel beyond the cell, where its grid lines are.
struct CellRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    QRect toRect() const { return QRect(left, top, right - left, bottom - top); }
    bool contains(QPoint p) const { return p.x() >= left && p.x() < right && p.y() >= top && p.y() < bottom; }
    friend bool operator==(const CellRect &, const CellRect &) = default;
};

// What the cells of a draw grid say to a screen reader, told by its owner in the
// grid's own coordinates (row 0 is the fixed header row, when there is one).
class GridCellNames
{
public:
    virtual QString gridName() const = 0;
    virtual QString gridDescription() const { return QString(); }
    virtual QString cellName(int col, int row) const = 0;
    virtual QString cellDescription(int, int) const { return QString(); }
    virtual bool cellSelected(int, int) const { return false; }
    // The cell with the keyboard's focus; false for none.
    virtual bool focusCell(int *col, int *row) const = 0;

protected:
    ~GridCellNames() = default;
};

// The one-pixel lines between the cells; the printed pages draw theirs alike.
inline const QColor kGridLineColor(0x80, 0x80, 0x80);

// A grid that paints nothing of its own: every cell is painted by the draw-cell
// callback, with 1-pixel grid lines between all cells. Columns and rows have a
// default width and height, and each may have its own. The first fixedRows
// rows stay at the top while the others scroll (by whole rows) under the
// optional vertical scroll bar. With cell names, screen readers read it as a
// table whose header is the fixed row.
class DrawGrid : public QAbstractScrollArea, public TableSource
{
    Q_OBJECT

public:
    using DrawCellFunction = std::function<void(QPainter &painter, int col, int row, const CellRect &rect)>;

    explicit DrawGrid(QWidget *parent = nullptr);

    void setDrawCell(DrawCellFunction draw) { m_drawCell = std::move(draw); }

    // The text shown when the pointer rests on a cell; empty for none.
    using CellToolTipFunction = std::function<QString(int col, int row)>;
    void setCellToolTip(CellToolTipFunction tip) { m_cellToolTip = std::move(tip); }

    int colCount() const { return m_colCount; }
    void setColCount(int count);
    int rowCount() const { return m_rowCount; }
    void setRowCount(int count);
    int fixedRows() const { return m_fixedRows; }
    void setFixedRows(int count);

    int defaultColWidth() const { return m_defaultColWidth; }
    void setDefaultColWidth(int width);
    int colWidth(int col) const;
    void setColWidth(int col, int width);
    int defaultRowHeight() const { return m_defaultRowHeight; }
    void setDefaultRowHeight(int height);
    int rowHeight(int row) const;
    // A changed height lays the grid out again and repaints it.
    void setRowHeight(int row, int height);

    // The first scrolling row in view.
    int topRow() const;
    // Scrolls the least needed to bring a row into view.
    void scrollToRow(int row);

    // The area beside and below the cells.
    void setMarginColor(const QColor &color);

    // Turns of the mouse wheel go to `handler` (notches, positive away from the
    // user) instead of scrolling the rows.
    void setWheelHandler(std::function<void(int notches)> handler) { m_wheelHandler = std::move(handler); }

    int clientWidth() const;
    int clientHeight() const;

    // What the cells say; none (the default) shows screen readers an empty table.
    // The owner takes them back before it goes.
    void setCellNames(const GridCellNames *names) { m_names = names; }
    // Tell screen readers: the focus cell moved (told once the action that moved
    // it is done, so a move through another month tells only where it ended), a
    // cell or every cell says something new, the description changed.
    void focusCellMoved();
    void cellNameChanged(int col, int row) { AccessibleTable::cellChanged(this, col, row - m_fixedRows); }
    void allNamesChanged() { AccessibleTable::allChanged(this); }
    void descriptionChanged() { AccessibleTable::descriptionChanged(this); }

    int tableColumns() const override { return m_names ? m_colCount : 0; }
    int tableRows() const override { return m_names ? std::max(0, m_rowCount - m_fixedRows) : 0; }
    bool tableHasHeader() const override { return m_fixedRows > 0; }
    QString tableName() const override;
    QString tableDescription() const override;
    QString cellName(int col, int row) const override;
    QString cellDescription(int col, int row) const override;
    bool cellSelected(int col, int row) const override;
    bool focusCell(int *col, int *row) const override;
    QRect cellBounds(int col, int row) const override;

    // Cell geometry, in the grid's own pixels, shared by painting and mouse handling.
    CellRect cellRect(int col, int row) const;
    bool cellAt(QPoint pos, int *col, int *row) const;

signals:
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos);
    // Every key pressed while the grid has the focus, but Tab, which moves it on.
    void keyDown(int key, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    int colLeft(int col) const;
    int fixedHeight() const;
    void updateScrollBar();

    DrawCellFunction m_drawCell;
    const GridCellNames *m_names = nullptr;
    bool m_focusToTell = false;
    std::function<void(int notches)> m_wheelHandler;
    int m_wheelAngle = 0;
    CellToolTipFunction m_cellToolTip;
    int m_colCount = 5;
    int m_rowCount = 5;
    int m_fixedRows = 1;
    int m_defaultColWidth = 64;
    int m_defaultRowHeight = 24;
    std::map<int, int> m_rowHeights;
    std::map<int, int> m_colWidths;
    QColor m_marginColor = Qt::white;
};

} // namespace hibi
