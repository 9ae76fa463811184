#pragma once

#include "storage/YearMarks.h"
#include "tally/Tally.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace hibi {

// The tally result: the three counts under either "全期間の集計結果" or the two
// dates of the range. Created once at start; each tally fills the fields and
// shows it modally.
class TForm3 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm3(QWidget *parent = nullptr);

    // FromYear 0 is the whole-period mode.
    int FromYear = 0, FromMonth = 0, FromDay = 0;
    int ToYear = 0, ToMonth = 0, ToDay = 0;
    // The counts are read from here when the dialog is shown.
    const MarkCounts *Counts = nullptr;

    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // The controls are made on the first show: the dialog exists from the start,
    // but its fonts and the close glyph would only slow the program's start.
    void buildControls();
    void FormShow();
    QLabel *label(QWidget *parent, const QString &name, int x, int y, const QString &text = QString());
    void setCount(QLabel *label, Mark mark, int value);

    QLabel *lblpart1 = nullptr;
    QLabel *lblpart2 = nullptr;
    QLabel *lblall = nullptr;
    QLabel *lblmaru = nullptr;
    QLabel *lblbatu = nullptr;
    QLabel *lblsankaku = nullptr;
    QPushButton *BitBtn1 = nullptr;
    int m_countsFrom = 0;   // where the marks' labels end, in the panel
};

} // namespace hibi
