#include "WindowFloors.h"

#include "about/HelpWindow.h"
#include "about/about.h"
#include "calendar/MonthGrid.h"
#include "components/DayCellPainter.h"
#include "components/Look.h"
#include "dialogs/settei.h"
#include "storage/CalendarFile.h"
#include "dialogs/YearChart.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <utility>
#include <vector>

namespace hibi::bench {

namespace {

const QString kCalendarName = QStringLiteral("ジョギング");

class PaintWatch : public QObject
{
public:
    bool painted = false;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

QFont pixelFont(int pixels, bool bold = false)
{
    QFont f(kDefaultFontFace);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QFont pointFont(const QString &face, int points, const FontStyle &style)
{
    QFont f(face);
    f.setPointSize(points);
    f.setBold(style.bold);
    f.setItalic(style.italic);
    f.setUnderline(style.underline);
    f.setStrikeOut(style.strikeOut);
    return f;
}

// ○, × or △ in a square, as the month view draws them.
void drawMark(QPainter &p, const QRect &r, int mark, const QColor &color, int width)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    if (mark == 1) {
        p.drawEllipse(r);
    } else if (mark == 2) {
        p.drawLine(r.topLeft(), r.bottomRight());
        p.drawLine(r.bottomLeft(), r.topRight());
    } else {
        const QPoint triangle[3] = {QPoint(r.center().x(), r.top()), r.bottomLeft(), r.bottomRight()};
        p.drawPolygon(triangle, 3);
    }
    p.setRenderHint(QPainter::Antialiasing, false);
}

// ---- The year chart's floor ----------------------------------------------------

// The chart's picture painted straight from the counts: the scale, 36 bars with
// their numbers, the months and the year's totals with their marks.
class ChartPicture : public QWidget
{
public:
    ChartPicture(const YearCounts &counts, const std::array<QColor, 3> &marks, int markWidth, QWidget *parent)
        : QWidget(parent), m_counts(counts), m_marks(marks), m_markWidth(markWidth)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    QSize sizeHint() const override { return QSize(760, 380); }
    QSize minimumSizeHint() const override { return QSize(548, 280); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        const QFontMetrics label(m_label), number(m_number), total(m_total);
        const QColor text(0x20, 0x20, 0x20), faint(0x90, 0x90, 0x90);
        int largest = 0;
        for (const MarkCounts &c : m_counts.months)
            largest = std::max({largest, c.maru, c.batu, c.sankaku});
        const int top = largest <= 5 ? 5 : largest <= 10 ? 10 : (largest + 4) / 5 * 5;
        const int step = top <= 10 ? top / 5 : 5;

        const QRect area = rect().adjusted(10, 10, -14, -8);
        const int left = area.left() + 26;
        const QRect plot(QPoint(left, area.top() + number.height() + 4),
                         QPoint(area.right(), area.bottom() - total.height() - 14 - label.height() - 6));
        auto yOf = [&](int v) { return plot.bottom() - v * plot.height() / top; };

        p.setFont(m_label);
        for (int v = 0; v <= top; v += step) {
            if (v > 0) {
                p.setPen(QColor(0xDD, 0xDD, 0xDD));
                p.drawLine(plot.left(), yOf(v), plot.right(), yOf(v));
            }
            p.setPen(text);
            p.drawText(QRect(area.left(), yOf(v) - label.height() / 2, 20, label.height()),
                       Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
        }
        const double group = (plot.right() - left) / 12.0;
        const int bar = std::clamp(int(group * 0.84 / 3) - 2, 3, 36);
        for (int month = 1; month <= 12; ++month) {
            const int groupLeft = left + int(group * (month - 1));
            const int counts[3] = {m_counts.month(month).maru, m_counts.month(month).batu,
                                   m_counts.month(month).sankaku};
            for (int mark = 0; mark < 3; ++mark) {
                const int x = groupLeft + (int(group) - 3 * bar - 4) / 2 + mark * (bar + 2);
                const QRect r(x, yOf(counts[mark]), bar, plot.bottom() - yOf(counts[mark]));
                p.fillRect(r, m_marks[size_t(mark)]);
                p.setFont(m_number);
                p.setPen(counts[mark] > 0 ? text : faint);
                p.drawText(QRect(x - 12, r.top() - number.height() - 1, bar + 24, number.height()),
                           Qt::AlignHCenter | Qt::AlignBottom, QString::number(counts[mark]));
            }
            p.setFont(m_label);
            p.setPen(text);
            p.drawText(QRect(groupLeft, plot.bottom() + 4, int(group), label.height()), Qt::AlignCenter,
                       QStringLiteral("%1月").arg(month));
        }
        p.setPen(QColor(0x60, 0x60, 0x60));
        p.drawLine(plot.bottomLeft(), plot.bottomRight());
        p.drawLine(plot.topLeft(), plot.bottomLeft());

        const MarkCounts sum = m_counts.total();
        const QString heading = QStringLiteral("%1年の合計").arg(m_counts.year);
        const int sums[3] = {sum.maru, sum.batu, sum.sankaku};
        int x = area.center().x() - 160;
        const int y = area.bottom() - total.height() - 2;
        p.setFont(m_total);
        p.setPen(text);
        p.drawText(QRect(x, y, 200, total.height()), Qt::AlignLeft | Qt::AlignVCenter, heading);
        x += total.horizontalAdvance(heading);
        for (int mark = 0; mark < 3; ++mark) {
            x += 28;
            const QRect glyph(x + 1, y + 1, total.height() - 2, total.height() - 2);
            drawMark(p, glyph, mark + 1, m_marks[size_t(mark)], m_markWidth);
            x += total.height() + 6;
            p.setPen(text);
            p.drawText(QRect(x, y, 40, total.height()), Qt::AlignLeft | Qt::AlignVCenter, QString::number(sums[mark]));
            x += 30;
        }
    }

private:
    const YearCounts &m_counts;
    const std::array<QColor, 3> &m_marks;
    int m_markWidth;
    QFont m_label = pixelFont(13);
    QFont m_number = pixelFont(12);
    QFont m_total = pixelFont(15, true);
};

// ---- The settings dialog's floor --------------------------------------------------

// A preview of month cells painted straight from the colours: the weekday
// header, days with marks (or framed as today) and the grid lines.
class PreviewPicture : public QAbstractScrollArea
{
public:
    PreviewPicture(const FloorLook &look, bool marks, int rows, QWidget *parent)
        : QAbstractScrollArea(parent), m_look(look), m_marks(marks), m_rows(rows)
    {
        const Tdayfont &header = look.appearance.YoubiFont;
        const Tdayfont &day = look.appearance.DayFont;
        m_header = pointFont(header.Name, header.Size, header.Style);
        m_day = pointFont(day.Name, day.Size, day.Style);
        m_headerHeight = header.Size * logicalDpiY() / 72 + 8;
        m_rowHeight = day.Size * logicalDpiY() / 72 + 8;
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        static const QString names[3] = {QStringLiteral("日"), QStringLiteral("月"), QStringLiteral("火")};
        static const int days[4][3] = {{1, 2, 3}, {8, 9, 10}, {15, 16, 17}, {30, 31, 0}};
        QPainter p(viewport());
        p.fillRect(viewport()->rect(), Qt::white);
        const int width = WindowScene::kDayColumnWidth;
        int y = 0;
        for (int row = 0; row < m_rows; ++row) {
            const int height = row == 0 ? m_headerHeight : m_rowHeight;
            for (int col = 0; col < 3; ++col) {
                const QRect r(col * (width + 1), y, width, height);
                const int holiday = col == 0 ? 1 : 0;
                if (row == 0) {
                    p.fillRect(r, m_look.headerBack[holiday]);
                    p.setFont(m_header);
                    p.setPen(m_look.headerText[holiday]);
                    p.drawText(r, Qt::AlignCenter, names[col]);
                    continue;
                }
                const int day = m_marks ? days[row - 1][col] : col + 1;
                if (day == 0) {
                    p.fillRect(r, m_look.yohaku);
                    continue;
                }
                p.fillRect(r, m_look.dayBack[holiday]);
                p.setFont(m_day);
                p.setPen(m_look.dayText[holiday]);
                p.drawText(r, Qt::AlignCenter, QString::number(day));
                if (m_marks && row <= 3)
                    drawMark(p, r, row, m_look.marks[size_t(row - 1)], m_look.appearance.MarkLineWidth);
                if (!m_marks && m_look.appearance.TodayMarkOn) {
                    p.setPen(QPen(m_look.today, m_look.appearance.TodayLineWidth));
                    p.drawRect(r.adjusted(0, 0, -1, -1));
                }
            }
            y += height + 1;
        }
        p.setPen(QColor(0x80, 0x80, 0x80));
        for (int col = 1; col <= 3; ++col)
            p.drawLine(col * (width + 1) - 1, 0, col * (width + 1) - 1, y);
    }

private:
    const FloorLook &m_look;
    bool m_marks;
    int m_rows;
    QFont m_header;
    QFont m_day;
    int m_headerHeight = 0;
    int m_rowHeight = 0;
};

// A push button showing a colour inside its frame, its caption in the opposite colour.
class SwatchButton : public QPushButton
{
public:
    SwatchButton(const QString &text, const QColor &color, QWidget *parent)
        : QPushButton(text, parent), m_color(color)
    {
        setAutoDefault(false);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        style()->drawControl(QStyle::CE_PushButtonBevel, &option, &p, this);
        const QRect inside = rect().adjusted(4, 4, -4, -4);
        p.fillRect(inside, m_color);
        p.setPen(QColor(255 - m_color.red(), 255 - m_color.green(), 255 - m_color.blue()));
        p.drawText(inside, Qt::AlignCenter, text());
    }

private:
    QColor m_color;
};

struct Swatch
{
    QColor color;
    const char16_t *name;
};

const Swatch kSwatches[] = {
    {Qt::black, u"黒"}, {QColor(0x80, 0, 0), u"栗色"}, {QColor(0, 0x80, 0), u"緑"},
    {QColor(0x80, 0x80, 0), u"オリーブ"},
    {QColor(0, 0, 0x80), u"紺"}, {QColor(0x80, 0, 0x80), u"紫"}, {QColor(0, 0x80, 0x80), u"青緑"},
    {QColor(0x80, 0x80, 0x80), u"灰色"}, {QColor(0xC0, 0xC0, 0xC0), u"銀"}, {Qt::red, u"赤"},
    {Qt::green, u"ライム"},
    {Qt::yellow, u"黄"}, {Qt::blue, u"青"}, {Qt::magenta, u"赤紫"}, {Qt::cyan, u"水色"}, {Qt::white, u"白"},
    {QColor(0xC0, 0xDC, 0xC0), u"マネーグリーン"}, {QColor(0xA6, 0xCA, 0xF0), u"スカイブルー"},
    {QColor(0xFF, 0xFB, 0xF0), u"クリーム"}, {QColor(0xA0, 0xA0, 0xA4), u"ミディアムグレー"},
};

QLabel *label(QWidget *parent, const QString &text, int x, int y, int pixels = 0)
{
    auto *l = new QLabel(text, parent);
    if (pixels)
        l->setFont(pixelFont(pixels));
    l->move(x, y);
    l->resize(l->sizeHint());
    return l;
}

QFrame *line(QWidget *parent, const QRect &geometry, bool horizontal)
{
    auto *f = new QFrame(parent);
    f->setFrameShape(horizontal ? QFrame::HLine : QFrame::VLine);
    f->setFrameShadow(QFrame::Sunken);
    f->setGeometry(geometry);
    return f;
}

template<typename W, typename... Args>
W *placed(QWidget *parent, const QRect &geometry, Args &&...args)
{
    auto *w = new W(std::forward<Args>(args)..., parent);
    w->setGeometry(geometry);
    return w;
}

QSpinBox *spin(QWidget *parent, const QRect &geometry, int top, int value)
{
    auto *s = placed<QSpinBox>(parent, geometry);
    s->setRange(1, top);
    s->setValue(value);
    return s;
}

} // namespace

bool ShowUntilPainted(QWidget *window)
{
    PaintWatch watch;
    window->installEventFilter(&watch);
    window->show();
    const QDeadlineTimer deadline(std::chrono::seconds(5));
    while (!watch.painted && !deadline.hasExpired())
        QCoreApplication::processEvents();
    window->removeEventFilter(&watch);
    return watch.painted;
}

bool ShowPaintAndClose(QWidget *window)
{
    const bool painted = ShowUntilPainted(window);
    QPointer<QWidget> alive(window);
    window->close();
    delete alive.data();   // a window that deletes itself on close has only asked for it
    return painted;
}

namespace {

class MainStandIn : public QWidget
{
protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        QFont caption(kDefaultFontFace);
        caption.setPointSize(18);
        caption.setBold(true);
        painter.setFont(caption);
        painter.drawText(rect(), Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("2026年3月"));
    }
};

} // namespace

std::unique_ptr<QWidget> ShowMainStandIn()
{
    auto main = std::make_unique<MainStandIn>();
    main->resize(330, 325);
    if (!ShowUntilPainted(main.get()))
        main.reset();
    return main;
}

// The main window's part: the look, the bounds of a first start, storing nothing.
struct WindowScene::Hosts : YearChartHost, HelpHost, SettingsDialogHost
{
    Appearance look;
    ChartLook chart;

    ChartLook chartLook() const override { return chart; }
    WindowBounds chartBounds() const override { return {50, 0, kChartSize.height(), kChartSize.width()}; }
    void storeChartBounds(const WindowBounds &) override {}
    WindowBounds helpBounds() const override { return {20, 100, kHelpSize.height(), kHelpSize.width()}; }
    void storeHelpBounds(const WindowBounds &) override {}
    const Appearance &appearance() const override { return look; }
    int dayColumnWidth() const override { return kDayColumnWidth; }
    void applyAppearance(const Appearance &, int) override {}
};

WindowScene::WindowScene()
    : m_hosts(std::make_unique<Hosts>())
{
    m_folder = m_dir.path() + QLatin1Char('/');
    // Most days of the year marked, so every bar and number is there.
    YearMarks marks;
    for (int month = 1; month <= 12; ++month)
        for (int day = 1; day <= DaysInMonth(kYear, month); ++day) {
            const GridCell c = CellOfDay(kYear, month, day);
            marks.at(month, c.col, c.row) = Mark((day + month) % 4);
        }
    m_calendarPath = CalendarFilePath(m_folder, kCalendarName);
    CreateCalendarFile(m_calendarPath, kYear, marks);
    m_counts = ReadYearCounts(m_calendarPath, kYear);

    const Appearance a = DefaultSettings().appearance;
    m_hosts->look = a;
    m_look.appearance = a;
    m_look.marks = {ToQColor(a.MaruColor), ToQColor(a.BatuColor), ToQColor(a.SankakuColor)};
    m_hosts->chart = {{m_look.marks[0], m_look.marks[1], m_look.marks[2]}, a.MarkLineWidth};
    m_look.headerBack[0] = ToQColor(a.YoubiWeekdayBack);
    m_look.headerBack[1] = ToQColor(a.YoubiHolidayBack);
    m_look.headerText[0] = ToQColor(a.YoubiFont.WeekdayColor);
    m_look.headerText[1] = ToQColor(a.YoubiFont.HolidayColor);
    m_look.dayBack[0] = ToQColor(a.DayWeekdayBack);
    m_look.dayBack[1] = ToQColor(a.DayHolidayBack);
    m_look.dayText[0] = ToQColor(a.DayFont.WeekdayColor);
    m_look.dayText[1] = ToQColor(a.DayFont.HolidayColor);
    m_look.yohaku = ToQColor(a.YohakuBack);
    m_look.today = ToQColor(a.TodayColor);
    m_look.window = ToQColor(a.WindowColor);
    m_look.caption = ToQColor(a.NenFont.Color);
}

WindowScene::~WindowScene() = default;

bool WindowScene::openYearChart()
{
    return ShowPaintAndClose(new TYearChart(m_hosts.get(), kCalendarName, m_calendarPath, kYear));
}

bool WindowScene::openYearChartFloor()
{
    auto *dialog = new QDialog;
    dialog->setWindowTitle(QStringLiteral("年間グラフ - %1").arg(kCalendarName));
    dialog->setSizeGripEnabled(true);
    dialog->setFont(pixelFont(13));
    auto *year = new QLabel(QStringLiteral("%1　%2年").arg(kCalendarName).arg(kYear), dialog);
    year->setFont(pixelFont(18, true));
    year->setAlignment(Qt::AlignCenter);
    auto *close = new QPushButton(QStringLiteral("閉じる(&C)"), dialog);
    close->setDefault(true);
    auto *top = new QHBoxLayout;
    top->addWidget(new QPushButton(QStringLiteral("◀ 前年"), dialog));
    top->addWidget(year, 1);
    top->addWidget(new QPushButton(QStringLiteral("翌年 ▶"), dialog));
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close);
    auto *layout = new QVBoxLayout(dialog);
    layout->addLayout(top);
    const int markWidth = std::clamp(m_look.appearance.MarkLineWidth, 0, 3);
    layout->addWidget(new ChartPicture(m_counts, m_look.marks, markWidth, dialog), 1);
    layout->addLayout(bottom);
    dialog->resize(kChartSize);
    return ShowPaintAndClose(dialog);
}

bool WindowScene::openHelp()
{
    QWidget parent;   // the main window, which only tells where the help is
    OpenHelp(m_hosts.get(), &parent, m_folder);
    auto *help = parent.findChild<THelpWindow *>(QString(), Qt::FindDirectChildrenOnly);
    return help && ShowPaintAndClose(help);
}

bool WindowScene::openHelpFloor()
{
    QWidget parent;
    auto *browser = new QTextBrowser(&parent);
    browser->setWindowFlag(Qt::Window);
    browser->setWindowTitle(QStringLiteral("ヒビシルシ ヘルプ"));
    browser->resize(kHelpSize);
    browser->setSource(QUrl(QStringLiteral("qrc:/help/hibisi.html")));
    return ShowPaintAndClose(browser);
}

bool WindowScene::openSettings()
{
    return ShowPaintAndClose(new Tfrmsettei(m_hosts.get()));
}

bool WindowScene::openSettingsFloor()
{
    const Appearance &a = m_look.appearance;
    auto *dialog = new QDialog;
    dialog->setWindowTitle(QStringLiteral("設定"));
    dialog->setFont(pixelFont(12));
    dialog->setFixedSize(517, 367);
    auto *tabs = placed<QTabWidget>(dialog, QRect(0, 0, 525, 321));
    auto *page1 = new QWidget;
    auto *page2 = new QWidget;
    tabs->addTab(page1, QStringLiteral("カレンダー（1）"));
    tabs->addTab(page2, QStringLiteral("カレンダー（2）"));

    std::vector<QIcon> icons;
    for (const Swatch &s : kSwatches) {
        QPixmap pixmap(14, 14);
        pixmap.fill(s.color);
        QPainter(&pixmap).drawRect(0, 0, 13, 13);
        icons.emplace_back(pixmap);
    }
    auto colorBox = [&](QWidget *parent, const QRect &geometry, int current) {
        auto *box = placed<QComboBox>(parent, geometry);
        box->setIconSize(QSize(14, 14));
        for (size_t i = 0; i < icons.size(); ++i)
            box->addItem(icons[i], QString::fromUtf16(kSwatches[i].name));
        box->addItem(QStringLiteral("その他の色..."));
        box->setCurrentIndex(current);
        return box;
    };
    auto swatch = [&](QWidget *parent, const QRect &geometry, Color color, const QString &text = QString()) {
        return placed<SwatchButton>(parent, geometry, text, ToQColor(color));
    };
    auto fontButton = [](QWidget *parent, const QRect &geometry) {
        auto *b = placed<QPushButton>(parent, geometry, QStringLiteral("フォント..."));
        b->setAutoDefault(false);
        return b;
    };
    constexpr int kBlack = 0, kRed = 9;

    placed<PreviewPicture>(page1, QRect(0, 32, 193, 225), m_look, true, 5);
    auto *marks = placed<QGroupBox>(page1, QRect(200, 16, 81, 265), QStringLiteral("マーク"));
    label(marks, QStringLiteral("○の色"), 16, 16, 13);
    swatch(marks, QRect(8, 32, 57, 25), a.MaruColor);
    label(marks, QStringLiteral("×の色"), 16, 72, 13);
    swatch(marks, QRect(8, 88, 57, 25), a.BatuColor);
    label(marks, QStringLiteral("△の色"), 16, 136, 13);
    swatch(marks, QRect(8, 152, 57, 25), a.SankakuColor);
    line(marks, QRect(8, 199, 57, 2), true);
    label(marks, QStringLiteral("線の太さ"), 8, 216);
    spin(marks, QRect(8, 232, 57, 21), 8, a.MarkLineWidth);

    auto *header = placed<QGroupBox>(page1, QRect(288, 0, 210, 115), QStringLiteral("曜日部分"));
    label(header, QStringLiteral("休日の文字色"), 24, 16);
    colorBox(header, QRect(16, 32, 89, 22), kBlack);
    label(header, QStringLiteral("平日の文字色"), 120, 16);
    colorBox(header, QRect(112, 32, 89, 22), kBlack);
    fontButton(header, QRect(8, 72, 55, 33));
    swatch(header, QRect(80, 80, 57, 25), a.YoubiHolidayBack, QStringLiteral("休日..."));
    swatch(header, QRect(144, 80, 57, 25), a.YoubiWeekdayBack, QStringLiteral("平日..."));
    label(header, QStringLiteral("背景色変更"), 104, 64);
    line(header, QRect(72, 60, 129, 2), true);
    line(header, QRect(72, 64, 2, 49), false);

    auto *days = placed<QGroupBox>(page1, QRect(288, 120, 210, 161), QStringLiteral("日付部分"));
    label(days, QStringLiteral("休日の文字色"), 16, 16, 13);
    colorBox(days, QRect(8, 32, 89, 22), kRed);
    label(days, QStringLiteral("平日の文字色"), 120, 16, 13);
    colorBox(days, QRect(112, 32, 89, 22), kBlack);
    fontButton(days, QRect(8, 72, 55, 33));
    swatch(days, QRect(80, 80, 57, 25), a.DayHolidayBack, QStringLiteral("休日..."));
    swatch(days, QRect(144, 80, 57, 25), a.DayWeekdayBack, QStringLiteral("平日..."));
    swatch(days, QRect(112, 128, 57, 25), a.YohakuBack, QStringLiteral("背景色..."));
    label(days, QStringLiteral("背景色の変更"), 104, 64);
    line(days, QRect(72, 60, 137, 2), true);
    line(days, QRect(72, 64, 2, 97), false);
    label(days, QStringLiteral("日付の無い部分"), 88, 112);

    auto *panel = placed<QFrame>(page2, QRect(16, 16, 217, 73));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setAutoFillBackground(true);
    auto *caption = placed<QLabel>(panel, QRect(8, 24, 201, 33), QStringLiteral("%1年%2月").arg(kYear).arg(3));
    caption->setAlignment(Qt::AlignCenter);
    caption->setAutoFillBackground(true);
    caption->setFont(pointFont(a.NenFont.Name, a.NenFont.Size, a.NenFont.Style));
    QPalette colors = caption->palette();
    colors.setColor(QPalette::WindowText, m_look.caption);
    colors.setColor(QPalette::Window, m_look.window);
    caption->setPalette(colors);
    panel->setPalette(colors);

    auto *captionGroup = placed<QGroupBox>(page2, QRect(16, 104, 217, 57), QStringLiteral("年月表示文字"));
    fontButton(captionGroup, QRect(16, 24, 65, 25));
    label(captionGroup, QStringLiteral("文字色"), 128, 8, 13);
    colorBox(captionGroup, QRect(112, 24, 89, 22), kBlack);
    auto *margin = placed<QGroupBox>(page2, QRect(16, 176, 217, 65), QStringLiteral("カレンダーの余白"));
    label(margin, QStringLiteral("色変更:"), 24, 32, 13);
    swatch(margin, QRect(80, 24, 57, 25), a.WindowColor);
    placed<PreviewPicture>(page2, QRect(280, 8, 209, 105), m_look, false, 2);
    auto *today = placed<QGroupBox>(page2, QRect(280, 128, 201, 137), QStringLiteral("今日の印"));
    placed<QRadioButton>(today, QRect(16, 16, 89, 25), QStringLiteral("印を付けない"));
    placed<QRadioButton>(today, QRect(16, 48, 89, 25), QStringLiteral("印を付ける"))->setChecked(a.TodayMarkOn);
    swatch(today, QRect(56, 80, 57, 25), a.TodayColor, QStringLiteral("色変更..."));
    label(today, QStringLiteral("線の太さ"), 144, 65);
    spin(today, QRect(144, 80, 49, 21), 10, a.TodayLineWidth);
    auto *holidays = placed<QGroupBox>(page2, QRect(16, 248, 217, 41), QStringLiteral("祝日の判定"));
    placed<QRadioButton>(holidays, QRect(16, 16, 89, 21), QStringLiteral("従来の規則"))->setChecked(true);
    placed<QRadioButton>(holidays, QRect(112, 16, 89, 21), QStringLiteral("現行の祝日法"));

    auto *ok = placed<QPushButton>(dialog, QRect(312, 328, 81, 33), QStringLiteral("OK"));
    ok->setDefault(true);
    placed<QPushButton>(dialog, QRect(408, 328, 81, 33), QStringLiteral("キャンセル"))->setAutoDefault(false);
    return ShowPaintAndClose(dialog);
}

} // namespace hibi::bench
