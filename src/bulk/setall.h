#pragma once

#include <QDate>
#include <QDialog>

#include <cstdint>
#include <vector>

class QDateEdit;
class QPushButton;
class QToolBar;

namespace hibi {

class DrawGrid;
class TForm1;
struct CellRect;

// The bulk-input window: one date for all calendars. Each row is a calendar with
// its mark on that date; a press on a mark writes it to that calendar's file at
// once, and dragging a name reorders the main window's calendar list.
class Tfrmall : public QDialog
{
    Q_OBJECT

public:
    explicit Tfrmall(TForm1 *mainWindow);

    QDate BulkDate() const;
    const std::vector<std::uint8_t> &BulkMarks() const { return m_bulkMarks; }

    void LoadBulkMarks();
    void WriteBulkMark(int index);

    void dgallDrawCell(QPainter &painter, int col, int row, const CellRect &rect);
    void dgallMouseDown(Qt::MouseButton button, QPoint pos);
    void dgallMouseMove(QPoint pos);
    void dgallMouseUp(Qt::MouseButton button, QPoint pos);
    void DateTimePicker1Change();

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void FormShow();
    void FormClose();
    void layout();
    int rowAt(QPoint pos) const;

    TForm1 *m_main;
    QToolBar *ToolBar1;
    QDateEdit *DateTimePicker1;
    DrawGrid *dgall;
    QPushButton *BitBtn1;
    std::vector<std::uint8_t> m_bulkMarks;
    int DragFrom = -1;
    int DragTo = -1;
    bool Dragging = false;
    bool BulkLeftHeld = false;
    bool BulkRightHeld = false;
    bool m_shown = false;
};

} // namespace hibi
