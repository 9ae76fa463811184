#include "dialogs/YearChart.h"

#include "calendar/MonthGrid.h"
#include "calendar/SpokenDay.h"
#include "components/Look.h"
#include "components/MessageBoxes.h"
#include "storage/FileError.h"
#include "dialogs/StreakPanel.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QStringList>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace hibi {

namespace {

const QColor kBackground(Qt::white);
const QColor kText(0x20, 0x20, 0x20);
const QColor kFaintText(0x90, 0x90, 0x90);

int countOf(const MarkCounts &c, int mark)
{
    return mark == Maru ? c.maru : mark == Batu ? c.batu : c.sankaku;
}

// The top of the scale and the distance of its lines: a round number at or above
// the largest count (a month has 31 days at most), 5 at least.
std::pair<int, int> scaleFor(int largest)
{
    if (largest <= 5)
        return {5, 1};
    if (largest <= 10)
        return {10, 2};
    return {(largest + 4) / 5 * 5, 5};
}

} // namespace

// ---- The painted chart ------------------------------------------------------

YearChartView::YearChartView(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("chart"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_labelFont = PixelFont(13);
    m_numberFont = PixelFont(12);
    m_totalFont = PixelFont(15, true);
    m_axisPen = QPen(QColor(0x60, 0x60, 0x60), 1);
    m_gridPen = QPen(QColor(0xDD, 0xDD, 0xDD), 1);
    // Tab reaches the numbers; the arrow keys stay the window's.
    setFocusPolicy(Qt::TabFocus);
    MakeAccessibleTable(this);
}

void YearChartView::setCounts(const YearCounts &counts)
{
    m_counts = counts;
    layOutWhenShown();
    AccessibleTable::allChanged(this);
}

void YearChartView::setLook(const ChartLook &look)
{
    m_look = look;
    // A wide line is kept to what the small glyphs can hold.
    m_glyphPainter.setMarks(look.marks, std::clamp(look.markLineWidth, 0, 3));
    m_barBrushes = {QBrush(look.marks.maru), QBrush(look.marks.batu), QBrush(look.marks.sankaku)};
    layOutWhenShown();
}

void YearChartView::layOutWhenShown()
{
    // A hidden view has not got the size it will be painted at: the resize of its
    // first show lays it out, else its next paint.
    if (isVisible())
        layOut();
    else
        m_layoutDue = true;
    update();
}

QRect YearChartView::barRect(int month, int mark) const
{
    if (month < 1 || month > 12 || mark < Maru || mark > Sankaku)
        return QRect();
    return m_barRects[size_t(month - 1)][size_t(mark - 1)];
}

void YearChartView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void YearChartView::layOut()
{
    m_layoutDue = false;
    m_bars.clear();
    m_texts.clear();
    m_glyphs.clear();
    m_gridLines.clear();
    m_barRects = {};

    int largest = 0;
    for (const MarkCounts &c : m_counts.months)
        largest = std::max({largest, c.maru, c.batu, c.sankaku});
    const auto [top, step] = scaleFor(largest);
    m_scaleTop = top;

    const QFontMetrics label(m_labelFont);
    const QFontMetrics total(m_totalFont);
    const QRect area = rect().adjusted(10, 10, -14, -8);
    const int scaleWidth = label.horizontalAdvance(QString::number(m_scaleTop));
    const int totalsHeight = total.height() + 14;
    const int monthsHeight = label.height() + 6;

    // The numbers over the bars take the largest size that keeps two digits of
    // neighbouring bars apart.
    const int left = area.left() + scaleWidth + 10;
    const double groupWidth = (area.right() - left) / 12.0;
    constexpr int kGap = 2;
    const int barWidth = std::clamp(int(groupWidth * 0.84 / 3) - kGap, 3, 36);
    const QString widest = QString::number(std::max(largest, 10));
    m_numberFont = PixelFont(12);
    for (int px = 12; px > 8 && QFontMetrics(m_numberFont).horizontalAdvance(widest) > barWidth + kGap; --px)
        m_numberFont = PixelFont(px - 1);
    const QFontMetrics number(m_numberFont);

    m_plot = QRect(QPoint(left, area.top() + number.height() + 4),
                   QPoint(area.right(), area.bottom() - totalsHeight - monthsHeight));
    const int base = m_plot.bottom();
    auto yOf = [&](int value) { return base - int(std::lround(double(value) * m_plot.height() / m_scaleTop)); };

    // The scale.
    for (int v = 0; v <= m_scaleTop; v += step) {
        const int y = yOf(v);
        if (v > 0)
            m_gridLines.push_back(y);
        m_texts.push_back({QRect(area.left(), y - label.height() / 2, scaleWidth, label.height()), QString::number(v),
                           Qt::AlignRight | Qt::AlignVCenter, &m_labelFont, kText});
    }

    // The bars of each month with their numbers, and the month under them.
    const int barsWidth = 3 * barWidth + 2 * kGap;
    for (int month = 1; month <= 12; ++month) {
        const int groupLeft = left + int(std::lround(groupWidth * (month - 1)));
        const int x0 = groupLeft + (int(groupWidth) - barsWidth) / 2;
        for (int mark = Maru; mark <= Sankaku; ++mark) {
            const int count = countOf(m_counts.month(month), mark);
            const int x = x0 + (mark - 1) * (barWidth + kGap);
            // A single mark stays visible however tall the scale.
            const int height = count > 0 ? std::max(2, base - yOf(count)) : 0;
            const QRect bar(x, base - height, barWidth, height);
            if (count > 0) {
                m_bars.push_back({bar, mark});
                m_barRects[size_t(month - 1)][size_t(mark - 1)] = bar;
            }
            if (largest > 0)
                m_texts.push_back({QRect(x - 12, bar.top() - number.height() - 1, barWidth + 24, number.height()),
                                   QString::number(count), Qt::AlignHCenter | Qt::AlignBottom, &m_numberFont,
                                   count > 0 ? kText : kFaintText});
        }
        m_texts.push_back({QRect(groupLeft, base + 4, int(groupWidth), label.height()),
                           QStringLiteral("%1月").arg(month), Qt::AlignCenter, &m_labelFont, kText});
        m_monthRects[size_t(month - 1)] =
                QRect(QPoint(groupLeft, area.top()), QPoint(groupLeft + int(groupWidth), base + 4 + label.height()));
    }

    const MarkCounts sum = m_counts.total();
    if (largest == 0)   // said once instead of 36 zeros
        m_texts.push_back({m_plot.adjusted(0, 0, 0, -m_plot.height() / 3), QStringLiteral("この年には印がありません"),
                           Qt::AlignCenter, &m_labelFont, kFaintText});

    // The year's totals, each after its mark, centred under the chart.
    const QString heading = QStringLiteral("%1年の合計").arg(m_counts.year);
    const int glyph = total.height();
    const int itemGap = 28;
    std::array<QString, 3> numbers = {QString::number(sum.maru), QString::number(sum.batu),
                                      QString::number(sum.sankaku)};
    int width = total.horizontalAdvance(heading);
    for (const QString &n : numbers)
        width += itemGap + glyph + 6 + total.horizontalAdvance(n);
    int x = std::max(area.left(), area.center().x() - width / 2);
    const int y = area.bottom() - total.height() - 2;
    m_totalsRect = QRect(x, y, width, total.height());
    m_texts.push_back({QRect(x, y, total.horizontalAdvance(heading), total.height()), heading,
                       Qt::AlignLeft | Qt::AlignVCenter, &m_totalFont, kText});
    x += total.horizontalAdvance(heading);
    for (int mark = Maru; mark <= Sankaku; ++mark) {
        x += itemGap;
        m_glyphs.push_back({QRect(x, y, glyph, glyph), mark});
        x += glyph + 6;
        const QString &n = numbers[size_t(mark - 1)];
        m_texts.push_back({QRect(x, y, total.horizontalAdvance(n), total.height()), n,
                           Qt::AlignLeft | Qt::AlignVCenter, &m_totalFont, kText});
        x += total.horizontalAdvance(n);
    }
}

void YearChartView::paintEvent(QPaintEvent *)
{
    if (m_layoutDue)
        layOut();
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);

    painter.setPen(m_gridPen);
    for (int y : m_gridLines)
        painter.drawLine(m_plot.left(), y, m_plot.right(), y);
    for (const Bar &bar : m_bars)
        painter.fillRect(bar.rect, m_barBrushes[size_t(bar.mark - 1)]);
    painter.setPen(m_axisPen);
    painter.drawLine(m_plot.left(), m_plot.bottom(), m_plot.right(), m_plot.bottom());
    painter.drawLine(m_plot.left(), m_plot.top(), m_plot.left(), m_plot.bottom());

    for (const Text &t : m_texts) {
        painter.setFont(*t.font);
        painter.setPen(t.color);
        painter.drawText(t.rect, t.flags | Qt::TextSingleLine, t.text);
    }
    // The marks themselves, as the month view draws them.
    const int inset = (m_glyphPainter.markLineWidth() + 1) / 2;
    for (const Glyph &g : m_glyphs) {
        const QRect r = g.rect.adjusted(inset, inset, -inset, -inset);
        m_glyphPainter.paintMark(painter, CellRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()},
                                 std::uint8_t(g.mark));
    }
}

QString YearChartView::tableName() const
{
    return QStringLiteral("%1年の月ごとの印の数").arg(m_counts.year);
}

QString YearChartView::tableDescription() const
{
    return cellName(0, 12);
}

// "3月 まる 4 ばつ 0 さんかく 1" for a month's row, "3月 まる 4" for one of its marks.
QString YearChartView::cellName(int col, int row) const
{
    if (row < 0 || row > 12 || col < 0 || col > 3)
        return QString();
    const MarkCounts counts = row < 12 ? m_counts.month(row + 1) : m_counts.total();
    const QString heading =
            row < 12 ? QStringLiteral("%1月").arg(row + 1) : QStringLiteral("%1年の合計").arg(m_counts.year);
    auto said = [&](int mark) {
        return MarkWord(std::uint8_t(mark)) + QLatin1Char(' ') + QString::number(countOf(counts, mark));
    };
    if (col > 0)
        return heading + QLatin1Char(' ') + said(col);
    return QStringList{heading, said(Maru), said(Batu), said(Sankaku)}.join(QLatin1Char(' '));
}

QRect YearChartView::cellBounds(int col, int row) const
{
    if (row == 12)
        return m_totalsRect;
    if (row < 0 || row > 11)
        return QRect();
    const QRect month = m_monthRects[size_t(row)];
    const QRect bar = m_barRects[size_t(row)][size_t(std::max(col, 1) - 1)];
    // A mark's cell is the column of its bar, from the top of the chart down to the base line.
    return col == 0 || bar.isNull() ? month : QRect(bar.left(), month.top(), bar.width(), bar.bottom() - month.top() + 1);
}

// ---- The window ----------------------------------------------------------------

TYearChart::TYearChart(YearChartHost *host, const QString &calendarName, const QString &calendarPath, int year,
                       QWidget *parent)
    : QDialog(parent), m_host(host), m_path(calendarPath), m_name(calendarName)
{
    // The first year: a file that cannot be read opens no window.
    m_counts = ReadYearCounts(m_path, year);

    setObjectName(QStringLiteral("YearChart"));
    setWindowTitle(QStringLiteral("年間グラフ - %1").arg(calendarName));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(true);
    setFont(PixelFont(13));

    btnprv = new QPushButton(QStringLiteral("◀ 前年"), this);
    btnprv->setObjectName(QStringLiteral("btnprv"));
    btnprv->setToolTip(QStringLiteral("前の年（←、PageUp）"));
    btnprv->setAccessibleName(QStringLiteral("前年"));   // without the arrow sign
    btnprv->setAutoDefault(false);
    lblyear = new QLabel(this);
    lblyear->setObjectName(QStringLiteral("lblyear"));
    lblyear->setFont(PixelFont(18, true));
    lblyear->setAlignment(Qt::AlignCenter);
    btnnext = new QPushButton(QStringLiteral("翌年 ▶"), this);
    btnnext->setObjectName(QStringLiteral("btnnext"));
    btnnext->setToolTip(QStringLiteral("次の年（→、PageDown）"));
    btnnext->setAccessibleName(QStringLiteral("翌年"));
    btnnext->setAutoDefault(false);
    chart = new YearChartView(this);
    streaks = new StreakPanel(this);
    streaks->setStreaks(year, StreakPanel::read(m_path, year));
    btnclose = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    btnclose->setObjectName(QStringLiteral("btnclose"));
    btnclose->setDefault(true);

    auto *top = new QHBoxLayout;
    top->addWidget(btnprv);
    top->addWidget(lblyear, 1);
    top->addWidget(btnnext);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(btnclose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(chart, 1);
    layout->addWidget(streaks);
    layout->addLayout(bottom);

    connect(btnprv, &QPushButton::clicked, this, &TYearChart::btnprvClick);
    connect(btnnext, &QPushButton::clicked, this, &TYearChart::btnnextClick);
    connect(btnclose, &QPushButton::clicked, this, &QDialog::accept);
    // The buttons would take the arrow keys to move the focus; these win.
    for (auto [key, handler] : {std::pair{Qt::Key_Left, &TYearChart::btnprvClick},
                                std::pair{Qt::Key_PageUp, &TYearChart::btnprvClick},
                                std::pair{Qt::Key_Right, &TYearChart::btnnextClick},
                                std::pair{Qt::Key_PageDown, &TYearChart::btnnextClick}})
        connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, this, handler);

    lookChanged();
    showYear(year);

    m_placement = WindowPlacement(m_host->chartBounds(), minimumSizeHint(), parent);
    m_placement.apply(this);
}

bool TYearChart::showYear(int year)
{
    if (!IsSupportedYear(year))
        return false;
    if (year != m_counts.year) {
        try {
            const std::array<Streaks, 3> runs = StreakPanel::read(m_path, year);
            m_counts = ReadYearCounts(m_path, year);
            streaks->setStreaks(year, runs);
        } catch (const FileError &e) {
            MessageBoxes::error(this, e.message());
            return false;
        }
    }
    lblyear->setText(QStringLiteral("%1　%2年").arg(m_name).arg(year));
    btnprv->setEnabled(IsSupportedYear(year - 1));
    btnnext->setEnabled(IsSupportedYear(year + 1));
    chart->setCounts(m_counts);
    return true;
}

void TYearChart::btnprvClick()
{
    showYear(m_counts.year - 1);
}

void TYearChart::btnnextClick()
{
    showYear(m_counts.year + 1);
}

void TYearChart::lookChanged()
{
    chart->setLook(m_host->chartLook());
}

void TYearChart::done(int result)
{
    m_host->storeChartBounds(m_placement.atClose(this));
    QDialog::done(result);
}

} // namespace hibi
