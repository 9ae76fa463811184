#pragma once

#include "components/AccessibleTable.h"
#include "components/Look.h"
#include "components/DayCellPainter.h"
#include "settings/Settings.h"
#include "tally/MonthCounts.h"

#include <QDialog>
#include <QFont>
#include <QPen>

#include <array>
#include <vector>

class QLabel;
class QPushButton;

namespace hibi {

class StreakPanel;

// The marks as the month view draws them: their colours and line width.
struct ChartLook
{
    MarkColors marks;
    int markLineWidth = 0;
};

// What the year chart needs from the window that opens it.
class YearChartHost
{
public:
    // The look in effect when asked.
    virtual ChartLook chartLook() const = 0;
    // The window's bounds as last stored, and storing new ones.
    virtual WindowBounds chartBounds() const = 0;
    virtual void storeChartBounds(const WindowBounds &bounds) = 0;

protected:
    ~YearChartHost() = default;
};

// The painted chart: for each month the ○, × and △ as three bars side by side in
// the marks' colours with their numbers over them, a scale at the left, the
// months under the bars, and the year's totals under it all. Everything it
// paints is laid out when the counts, the look or the size change; while it is
// hidden, at its next resize or paint. Screen readers read its numbers as a
// table: a row for each month and one for the year, each cell saying its month
// and mark.
class YearChartView : public QWidget, public TableSource
{
    Q_OBJECT

public:
    explicit YearChartView(QWidget *parent = nullptr);

    void setCounts(const YearCounts &counts);
    void setLook(const ChartLook &look);
    const YearCounts &counts() const { return m_counts; }

    // Where the bar of `mark` (1 ○, 2 ×, 3 △) of `month` stands; empty for a
    // count of 0. The text above it says its number.
    QRect barRect(int month, int mark) const;
    // The largest count the scale shows.
    int scaleTop() const { return m_scaleTop; }

    int tableColumns() const override { return 4; }
    int tableRows() const override { return 13; }
    bool tableHasHeader() const override { return false; }
    QString tableName() const override;
    QString tableDescription() const override;
    QString cellName(int col, int row) const override;
    QRect cellBounds(int col, int row) const override;

    QSize sizeHint() const override { return QSize(760, 380); }
    QSize minimumSizeHint() const override { return QSize(548, 280); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void layOut();
    void layOutWhenShown();

    struct Text
    {
        QRect rect;
        QString text;
        int flags = 0;
        const QFont *font = nullptr;
        QColor color;
    };
    struct Bar
    {
        QRect rect;
        int mark = 0;
    };
    struct Glyph
    {
        QRect rect;
        int mark = 0;
    };

    YearCounts m_counts;
    ChartLook m_look;
    DayCellPainter m_glyphPainter;
    int m_scaleTop = 5;
    bool m_layoutDue = false;

    // Made when the look changes.
    QFont m_labelFont;
    QFont m_numberFont;
    QFont m_totalFont;
    QPen m_axisPen;
    QPen m_gridPen;
    std::array<QBrush, 3> m_barBrushes;

    // Made by layOut.
    QRect m_plot;
    std::vector<int> m_gridLines;   // y of each scale line above the base line
    std::vector<Bar> m_bars;
    std::array<std::array<QRect, 3>, 12> m_barRects{};
    std::array<QRect, 12> m_monthRects{};   // each month's bars, numbers and name
    QRect m_totalsRect;
    std::vector<Text> m_texts;
    std::vector<Glyph> m_glyphs;
};

// The year chart: the displayed calendar's year, month by month, with ◀ ▶ (and
// Left/Right, PageUp/PageDown) to the other years of the same calendar. It reads
// the calendar file only, never the main window's marks, so the main window
// writes its year back before opening it; stepping years here leaves the main
// window's view alone. It keeps its place like the other windows.
class TYearChart : public QDialog
{
    Q_OBJECT

public:
    // Reads `year` of the calendar at once: throws FileError when it cannot.
    TYearChart(YearChartHost *host, const QString &calendarName, const QString &calendarPath, int year,
               QWidget *parent = nullptr);

    int year() const { return m_counts.year; }
    const YearCounts &counts() const { return m_counts; }
    YearChartView *view() const { return chart; }

    // The year before or after; a year that cannot be read is reported and the
    // chart stays where it was.
    void btnprvClick();
    void btnnextClick();
    // Takes the look in effect from the host again and repaints.
    void lookChanged();

    void done(int result) override;

private:
    bool showYear(int year);

    YearChartHost *m_host;
    WindowPlacement m_placement;
    QString m_path;
    QString m_name;
    YearCounts m_counts;

    QPushButton *btnprv;
    QLabel *lblyear;
    QPushButton *btnnext;
    YearChartView *chart;
    StreakPanel *streaks;
    QPushButton *btnclose;
};

} // namespace hibi
