#pragma once

#include <QRect>
#include <QString>

class QWidget;

namespace hibi {

// What a widget that paints a table itself tells a screen reader: its shape, what
// each cell says and which cell has the keyboard. A widget that implements it is
// shown to screen readers as a table of cells under an optional header row; the
// cells are asked when read, so nothing is kept per cell but their handles.
// Rows count from 0 below the header; row −1 is the header.
class TableSource
{
public:
    virtual int tableColumns() const = 0;
    virtual int tableRows() const = 0;
    virtual bool tableHasHeader() const = 0;
    virtual QString tableName() const = 0;
    virtual QString tableDescription() const { return QString(); }
    virtual QString cellName(int col, int row) const = 0;
    virtual QString cellDescription(int col, int row) const;
    virtual bool cellSelected(int col, int row) const;
    // The cell with the keyboard's focus; false for none.
    virtual bool focusCell(int *col, int *row) const;
    // In the widget's own pixels.
    virtual QRect cellBounds(int col, int row) const = 0;

protected:
    ~TableSource() = default;
};

// Screen readers see `widget`, a TableSource, as a table; called at the end of its
// constructor, when it is one.
void MakeAccessibleTable(QWidget *widget);

// What changed in such a widget, told to screen readers (nothing happens while
// none listens).
namespace AccessibleTable {
// The keyboard's cell moved; told only while the widget has the focus.
void focusMoved(QWidget *table);
void cellChanged(QWidget *table, int col, int row);
// Every cell, the header and the table's name and description may say something new.
void allChanged(QWidget *table);
// The table's description and the focus cell's, which repeats it.
void descriptionChanged(QWidget *table);
} // namespace AccessibleTable

} // namespace hibi
