#include "dialogs/settei.h"

#include "calendar/Clock.h"
#include "components/ColorBox.h"
#include "components/CtrlsEx.h"
#include "components/DrawGrid.h"
#include "components/FontChooser.h"
#include "components/Look.h"
#include "components/DayCellPainter.h"

#include <QColorDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>

namespace hibi {

namespace {

// Room between a push button's caption and the style's frame, on each side.
constexpr int kCaptionPadding = 2;

QLabel *label(QWidget *parent, const QString &text, int x, int y, int pixels = 0)
{
    auto *l = new QLabel(text, parent);
    if (pixels)
        l->setFont(PixelFont(pixels));
    // As wide as the text and one line of the font high: the Japanese glyphs come
    // from a fallback face whose taller line would reach into the row below.
    l->setGeometry(x, y, l->fontMetrics().horizontalAdvance(text), l->fontMetrics().height());
    return l;
}

QPushButton *button(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    // No narrower than the caption needs inside the style's frame.
    QStyleOptionButton option;
    option.initFrom(b);
    option.rect = QRect(QPoint(), geometry.size());
    const QRect inside = b->style()->subElementRect(QStyle::SE_PushButtonContents, &option, b);
    const int needed = b->fontMetrics().horizontalAdvance(text) + 2 * kCaptionPadding + geometry.width() - inside.width();
    b->setGeometry(geometry.x(), geometry.y(), std::max(geometry.width(), needed), geometry.height());
    return b;
}

// A radio button at least 89 pixels wide, wider when its caption needs it.
QRadioButton *radio(QWidget *parent, const char *name, const QString &text, int x, int y, int height)
{
    auto *r = new QRadioButton(text, parent);
    r->setObjectName(QLatin1String(name));
    r->setGeometry(x, y, std::max(89, r->sizeHint().width()), height);
    return r;
}

QGroupBox *group(QWidget *parent, const char *name, const QString &title, const QRect &geometry)
{
    auto *g = new QGroupBox(title, parent);
    g->setObjectName(QLatin1String(name));
    g->setGeometry(geometry);
    return g;
}

// The design's group titles sit on the frame line, with the first row just below;
// Qt's styles put the title above the frame. The rows go down to where the style's
// contents begin and the group grows as much; returns by how much.
int lowerBelowTitle(QGroupBox *g, int firstRow)
{
    const int drop = std::max(0, g->contentsRect().top() - firstRow);
    for (QWidget *child : g->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        child->move(child->pos() + QPoint(0, drop));
    g->resize(g->width(), g->height() + drop);
    return drop;
}

// A bevel that shows only one of its edges.
QFrame *line(QWidget *parent, const QRect &bevel, bool bottom)
{
    auto *f = new QFrame(parent);
    f->setFrameShape(bottom ? QFrame::HLine : QFrame::VLine);
    f->setFrameShadow(QFrame::Sunken);
    if (bottom)
        f->setGeometry(bevel.left(), bevel.bottom() - 1, bevel.width(), 2);
    else
        f->setGeometry(bevel.left(), bevel.top(), 2, bevel.height());
    return f;
}

// The part of a header or day group right of its "フォント..." button: the bracket
// lines, their label and the colour buttons move right when the button had to grow,
// keeping 6 pixels before the bracket, and the group widens as much.
void makeRoomForFontButton(QGroupBox *g, QPushButton *font, const QList<QWidget *> &rightPart)
{
    const int shift = std::max(0, font->geometry().right() + 1 + 6 - 72);
    for (QWidget *w : rightPart)
        w->move(w->pos() + QPoint(shift, 0));
    g->resize(g->width() + shift, g->height());
}

// The height the tab control gives its pages.
int pageHeight(const QTabWidget *tabs)
{
    QStyleOptionTabWidgetFrame option;
    option.initFrom(tabs);
    option.shape = tabs->tabBar()->shape();
    option.tabBarSize = tabs->tabBar()->sizeHint();
    option.lineWidth = tabs->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, tabs);
    return tabs->style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, tabs).height();
}

// The lowest bottom edge of a page's controls.
int contentsBottom(const QWidget *page)
{
    int bottom = 0;
    for (const QWidget *w : page->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        bottom = std::max(bottom, w->geometry().bottom() + 1);
    return bottom;
}

} // namespace

Tfrmsettei::Tfrmsettei(SettingsDialogHost *host, QWidget *parent)
    : QDialog(parent), m_host(host)
{
    setObjectName(QStringLiteral("frmsettei"));
    setWindowTitle(QStringLiteral("設定"));
    setFont(PixelFont(12));

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(0, 0, 525, 321);
    auto *page1 = new QWidget;
    page1->setObjectName(QStringLiteral("TabSheet1"));
    auto *page2 = new QWidget;
    page2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(page1, QStringLiteral("カレンダー（1）"));
    PageControl1->addTab(page2, QStringLiteral("カレンダー（2）"));

    for (int n = 1; n <= 10; ++n) {
        auto *b = new TButtonEx;
        b->setObjectName(QStringLiteral("colorbtn_%1").arg(n));
        b->setSytle(bsOwnerDrawWithFrame);
        b->setModalResult(0);
        b->setAutoDefault(false);
        b->setOnDrawButton([this](TButtonEx *control, QPainter &painter, const CellRect &rect, ButtonDrawState) {
            colorbtn_1DrawButton(control, painter, rect);
        });
        connect(b, &QPushButton::clicked, this, [this, n] { colorbtn_1Click(n); });
        m_colorButtons[size_t(n)] = b;
    }
    for (int n = 1; n <= 5; ++n) {
        auto *box = new ColorBox;
        box->setObjectName(QStringLiteral("ColorBox%1").arg(n));
        connect(box, &ColorBox::colorChanged, this, [this, n](Color c) {
            switch (n) {
            case 1: m_work.YoubiFont.HolidayColor = c; break;
            case 2: m_work.YoubiFont.WeekdayColor = c; break;
            case 3: m_work.DayFont.HolidayColor = c; break;
            case 4: m_work.DayFont.WeekdayColor = c; break;
            case 5:
                m_work.NenFont.Color = c;
                showNenSample();
                break;
            }
            repaintPreviews();
        });
        m_colorBoxes[size_t(n)] = box;
    }
    buildPage1(page1);
    buildPage2(page2);
    // Where the fonts in use made the pages' contents taller than the pages, the
    // pages grow, and the dialog and its buttons with them.
    const int grow = std::max(0, std::max(contentsBottom(page1), contentsBottom(page2)) + 3 - pageHeight(PageControl1));
    setFixedSize(517, 367 + grow);
    PageControl1->resize(PageControl1->width(), PageControl1->height() + grow);

    btnok = new QPushButton(QStringLiteral("OK"), this);
    btnok->setObjectName(QStringLiteral("btnok"));
    btnok->setGeometry(312, 328 + grow, 81, 33);
    btnok->setDefault(true);
    connect(btnok, &QPushButton::clicked, this, [this] {
        accept();   // the dialog closes as OK even when the file cannot be written
        btnokClick();
    });
    btncancel = new QPushButton(QStringLiteral("キャンセル"), this);
    btncancel->setObjectName(QStringLiteral("btncancel"));
    btncancel->setGeometry(408, 328 + grow, 81, 33);
    btncancel->setAutoDefault(false);
    connect(btncancel, &QPushButton::clicked, this, &QDialog::reject);
}

void Tfrmsettei::buildPage1(QWidget *page)
{
    dg2 = new DrawGrid(page);
    dg2->setObjectName(QStringLiteral("dg2"));
    dg2->setAccessibleName(QStringLiteral("印の見本"));
    dg2->setGeometry(0, 32, 193, 225);
    dg2->setColCount(3);
    dg2->setRowCount(5);
    dg2->setFixedRows(1);
    dg2->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    dg2->setDrawCell([this](QPainter &p, int col, int row, const CellRect &r) { dg2DrawCell(p, col, row, r); });

    QGroupBox *marks = group(page, "GroupBox4", QStringLiteral("マーク"), QRect(200, 16, 81, 265));
    // Screen readers name each control by the label above it.
    label(marks, QStringLiteral("○の色"), 16, 16, 13)->setBuddy(m_colorButtons[6]);
    m_colorButtons[6]->setParent(marks);
    m_colorButtons[6]->setGeometry(8, 32, 57, 25);
    label(marks, QStringLiteral("×の色"), 16, 72, 13)->setBuddy(m_colorButtons[7]);
    m_colorButtons[7]->setParent(marks);
    m_colorButtons[7]->setGeometry(8, 88, 57, 25);
    label(marks, QStringLiteral("△の色"), 16, 136, 13)->setBuddy(m_colorButtons[8]);
    m_colorButtons[8]->setParent(marks);
    m_colorButtons[8]->setGeometry(8, 152, 57, 25);
    line(marks, QRect(8, 176, 57, 25), true);
    QLabel *markWidth = label(marks, QStringLiteral("線の太さ"), 8, 216);
    sedit1 = new QSpinBox(marks);
    markWidth->setBuddy(sedit1);
    sedit1->setObjectName(QStringLiteral("sedit1"));
    sedit1->setGeometry(8, 232, 57, 21);
    sedit1->setRange(1, 8);
    sedit1->setValue(1);
    connect(sedit1, &QSpinBox::valueChanged, this, &Tfrmsettei::sedit1Change);
    lowerBelowTitle(marks, 16);

    QGroupBox *header = group(page, "GroupBox2", QStringLiteral("曜日部分"), QRect(288, 0, 210, 115));
    label(header, QStringLiteral("休日の文字色"), 24, 16)->setBuddy(m_colorBoxes[1]);
    m_colorBoxes[1]->setParent(header);
    m_colorBoxes[1]->setGeometry(16, 32, 89, 22);
    label(header, QStringLiteral("平日の文字色"), 120, 16)->setBuddy(m_colorBoxes[2]);
    m_colorBoxes[2]->setParent(header);
    m_colorBoxes[2]->setGeometry(112, 32, 89, 22);
    auto *btnyoubi1 = button(header, "btnyoubi1", QStringLiteral("フォント..."), QRect(8, 72, 55, 33));
    connect(btnyoubi1, &QPushButton::clicked, this, &Tfrmsettei::btnyoubi1Click);
    m_colorButtons[1]->setParent(header);
    m_colorButtons[1]->setGeometry(80, 80, 57, 25);
    m_colorButtons[1]->setText(QStringLiteral("休日..."));
    // The captions alone repeat in both groups: the names say whose colour.
    m_colorButtons[1]->setAccessibleName(QStringLiteral("曜日部分の休日の背景色"));
    m_colorButtons[2]->setParent(header);
    m_colorButtons[2]->setGeometry(144, 80, 57, 25);
    m_colorButtons[2]->setText(QStringLiteral("平日..."));
    m_colorButtons[2]->setAccessibleName(QStringLiteral("曜日部分の平日の背景色"));
    makeRoomForFontButton(header, btnyoubi1,
                          {label(header, QStringLiteral("背景色変更"), 104, 64), line(header, QRect(72, 53, 129, 9), true),
                           line(header, QRect(72, 64, 9, 49), false), m_colorButtons[1], m_colorButtons[2]});
    const int headerDrop = lowerBelowTitle(header, 16);

    QGroupBox *days = group(page, "GroupBox3", QStringLiteral("日付部分"), QRect(288, 120 + headerDrop, 210, 161));
    label(days, QStringLiteral("休日の文字色"), 16, 16, 13)->setBuddy(m_colorBoxes[3]);
    m_colorBoxes[3]->setParent(days);
    m_colorBoxes[3]->setGeometry(8, 32, 89, 22);
    label(days, QStringLiteral("平日の文字色"), 120, 16, 13)->setBuddy(m_colorBoxes[4]);
    m_colorBoxes[4]->setParent(days);
    m_colorBoxes[4]->setGeometry(112, 32, 89, 22);
    auto *btndf = button(days, "btndf", QStringLiteral("フォント..."), QRect(8, 72, 55, 33));
    connect(btndf, &QPushButton::clicked, this, &Tfrmsettei::btndfClick);
    m_colorButtons[3]->setParent(days);
    m_colorButtons[3]->setGeometry(80, 80, 57, 25);
    m_colorButtons[3]->setText(QStringLiteral("休日..."));
    m_colorButtons[3]->setAccessibleName(QStringLiteral("日付部分の休日の背景色"));
    m_colorButtons[4]->setParent(days);
    m_colorButtons[4]->setGeometry(144, 80, 57, 25);
    m_colorButtons[4]->setText(QStringLiteral("平日..."));
    m_colorButtons[4]->setAccessibleName(QStringLiteral("日付部分の平日の背景色"));
    m_colorButtons[5]->setParent(days);
    m_colorButtons[5]->setGeometry(112, 128, 57, 25);
    m_colorButtons[5]->setText(QStringLiteral("背景色..."));
    m_colorButtons[5]->setAccessibleName(QStringLiteral("日付の無い部分の背景色"));
    makeRoomForFontButton(days, btndf,
                          {label(days, QStringLiteral("背景色の変更"), 104, 64), line(days, QRect(72, 53, 137, 9), true),
                           line(days, QRect(72, 64, 9, 97), false), m_colorButtons[3], m_colorButtons[4],
                           label(days, QStringLiteral("日付の無い部分"), 88, 112), m_colorButtons[5]});
    lowerBelowTitle(days, 16);
}

void Tfrmsettei::buildPage2(QWidget *page)
{
    Panel1 = new QFrame(page);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setGeometry(16, 16, 217, 73);
    Panel1->setAutoFillBackground(true);
    lblnen = new QLabel(Panel1);
    lblnen->setObjectName(QStringLiteral("lblnen"));
    lblnen->setGeometry(8, 24, 201, 33);
    lblnen->setAlignment(Qt::AlignCenter);
    lblnen->setAutoFillBackground(true);
    lblnen->setFont(PixelFont(20));

    QGroupBox *caption = group(page, "GroupBox1", QStringLiteral("年月表示文字"), QRect(16, 104, 217, 57));
    auto *btnnenfont = button(caption, "btnnenfont", QStringLiteral("フォント..."), QRect(16, 24, 65, 25));
    connect(btnnenfont, &QPushButton::clicked, this, &Tfrmsettei::btnnenfontClick);
    label(caption, QStringLiteral("文字色"), 128, 8, 13)->setBuddy(m_colorBoxes[5]);
    m_colorBoxes[5]->setAccessibleName(QStringLiteral("年月表示の文字色"));
    m_colorBoxes[5]->setParent(caption);
    m_colorBoxes[5]->setGeometry(112, 24, 89, 22);
    // Each group below goes down by what the ones above it grew.
    int below = lowerBelowTitle(caption, 8);

    QGroupBox *margin = group(page, "GroupBox6", QStringLiteral("カレンダーの余白"), QRect(16, 176 + below, 217, 65));
    label(margin, QStringLiteral("色変更:"), 24, 32, 13)->setBuddy(m_colorButtons[10]);
    m_colorButtons[10]->setAccessibleName(QStringLiteral("カレンダーの余白の色"));
    m_colorButtons[10]->setParent(margin);
    m_colorButtons[10]->setGeometry(80, 24, 57, 25);
    below += lowerBelowTitle(margin, 24);

    dg3 = new DrawGrid(page);
    dg3->setObjectName(QStringLiteral("dg3"));
    dg3->setAccessibleName(QStringLiteral("今日の印の見本"));
    dg3->setGeometry(280, 8, 209, 105);
    dg3->setColCount(3);
    dg3->setRowCount(2);
    dg3->setFixedRows(1);
    dg3->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    dg3->setDrawCell([this](QPainter &p, int col, int row, const CellRect &r) { dg3DrawCell(p, col, row, r); });

    QGroupBox *today = group(page, "GroupBox5", QStringLiteral("今日の印"), QRect(280, 128, 201, 137));
    radib1off = radio(today, "radib1off", QStringLiteral("印を付けない"), 16, 16, 25);
    radib1on = radio(today, "radib1on", QStringLiteral("印を付ける"), 16, 48, 25);
    connect(radib1on, &QRadioButton::clicked, this, &Tfrmsettei::radib1onClick);
    connect(radib1off, &QRadioButton::clicked, this, &Tfrmsettei::radib1offClick);
    m_colorButtons[9]->setParent(today);
    m_colorButtons[9]->setGeometry(56, 80, 57, 25);
    m_colorButtons[9]->setText(QStringLiteral("色変更..."));
    m_colorButtons[9]->setAccessibleName(QStringLiteral("今日の印の色"));
    Label8 = label(today, QStringLiteral("線の太さ"), 144, 65);
    Label8->setObjectName(QStringLiteral("Label8"));
    sedit2 = new QSpinBox(today);
    sedit2->setObjectName(QStringLiteral("sedit2"));
    Label8->setBuddy(sedit2);
    sedit2->setGeometry(144, 80, 49, 21);
    sedit2->setRange(1, 10);
    sedit2->setValue(1);
    connect(sedit2, &QSpinBox::valueChanged, this, &Tfrmsettei::sedit2Change);
    lowerBelowTitle(today, 16);

    // Which days are holidays: in the room below the margin colour.
    QGroupBox *holidays = group(page, "GroupBox7", QStringLiteral("祝日の判定"), QRect(16, 248 + below, 217, 41));
    radiholtable = radio(holidays, "radiholtable", QStringLiteral("従来の規則"), 16, 16, 21);
    radihollaw = radio(holidays, "radihollaw", QStringLiteral("現行の祝日法"), 112, 16, 21);
    connect(radiholtable, &QRadioButton::clicked, this, &Tfrmsettei::radiholClick);
    connect(radihollaw, &QRadioButton::clicked, this, &Tfrmsettei::radiholClick);
    lowerBelowTitle(holidays, 16);
}

int Tfrmsettei::dayRowHeight() const
{
    return CellRowHeight(m_work.DayFont.Size, this);
}

void Tfrmsettei::showEvent(QShowEvent *event)
{
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
    QDialog::showEvent(event);
}

void Tfrmsettei::FormShow()
{
    // The working copy starts as the appearance in effect; the controls show it.
    m_work = m_host->appearance();
    const Appearance &w = m_work;
    fontsChanged();
    // The previews take the month grid's column width and rows from the day font.
    dg2->setDefaultRowHeight(dayRowHeight());
    dg2->setDefaultColWidth(m_host->dayColumnWidth());
    dg3->setDefaultRowHeight(dg2->defaultRowHeight());
    dg3->setDefaultColWidth(dg2->defaultColWidth());
    showNenSample();
    m_colorBoxes[1]->setSelected(w.YoubiFont.HolidayColor);
    m_colorBoxes[2]->setSelected(w.YoubiFont.WeekdayColor);
    m_colorBoxes[3]->setSelected(w.DayFont.HolidayColor);
    m_colorBoxes[4]->setSelected(w.DayFont.WeekdayColor);
    m_colorBoxes[5]->setSelected(w.NenFont.Color);
    // The spin boxes show the widths within their ranges and store what they show
    // only when that changed: a stored 20 becomes 8, a stored 0 stays 0.
    sedit1->setValue(w.MarkLineWidth);
    if (w.TodayMarkOn) {
        radib1on->setChecked(true);
        radib1onClick();
    } else {
        radib1off->setChecked(true);
        radib1offClick();
    }
    sedit2->setValue(w.TodayLineWidth);
    (w.HolidayLaw ? radihollaw : radiholtable)->setChecked(true);
    repaintPreviews();
}

void Tfrmsettei::showNenSample()
{
    const YearMonthDay16 today = Today();
    lblnen->setText(QStringLiteral("%1年%2月").arg(today.year).arg(today.month));
    lblnen->setFont(MakeFont(m_work.NenFont.Name, m_work.NenFont.Size, m_work.NenFont.Style));
    SetTextColor(lblnen, ToQColor(m_work.NenFont.Color));
    SetBackground(lblnen, ToQColor(m_work.WindowColor));
    SetBackground(Panel1, ToQColor(m_work.WindowColor));
}

void Tfrmsettei::repaintPreviews()
{
    m_painter.setLook(m_work);
    dg2->viewport()->update();
    dg3->viewport()->update();
}

// ---- Editing -------------------------------------------------------------

void Tfrmsettei::btnyoubi1Click()
{
    Tdayfont &f = m_work.YoubiFont;
    FontRecord font{f.Name, f.Size, f.Style};
    if (!ChooseFont(this, font))
        return;
    f.Name = font.name;
    f.Size = font.size;
    f.Style = font.style;
    fontsChanged();
    repaintPreviews();
}

void Tfrmsettei::btndfClick()
{
    Tdayfont &f = m_work.DayFont;
    FontRecord font{f.Name, f.Size, f.Style};
    if (!ChooseFont(this, font))
        return;
    f.Name = font.name;
    f.Size = font.size;
    f.Style = font.style;
    fontsChanged();
    dg2->setDefaultRowHeight(dayRowHeight());
    dg3->setDefaultRowHeight(dg2->defaultRowHeight());
    repaintPreviews();
}

void Tfrmsettei::btnnenfontClick()
{
    // The chooser starts from the committed caption font, not one picked earlier.
    const Tnenfont &committed = m_host->appearance().NenFont;
    FontRecord font{committed.Name, committed.Size, committed.Style};
    if (!ChooseFont(this, font))
        return;
    m_work.NenFont.Name = font.name;
    m_work.NenFont.Size = font.size;
    m_work.NenFont.Style = font.style;
    showNenSample();
}

Color &Tfrmsettei::colorOfButton(int number)
{
    switch (number) {
    case 1: return m_work.YoubiHolidayBack;
    case 2: return m_work.YoubiWeekdayBack;
    case 3: return m_work.DayHolidayBack;
    case 4: return m_work.DayWeekdayBack;
    case 5: return m_work.YohakuBack;
    case 6: return m_work.MaruColor;
    case 7: return m_work.BatuColor;
    case 8: return m_work.SankakuColor;
    case 9: return m_work.TodayColor;
    default: return m_work.WindowColor;
    }
}

void Tfrmsettei::colorbtn_1Click(int number)
{
    // One chooser for all ten buttons: it opens on the colour last confirmed in it.
    // Made when first asked for, as most openings of the dialog never need it.
    if (!ColorDialog1) {
        ColorDialog1 = new QColorDialog(Qt::black, this);
        ColorDialog1->setObjectName(QStringLiteral("ColorDialog1"));
    }
    if (ColorDialog1->exec() != QDialog::Accepted)
        return;
    const QColor c = ColorDialog1->currentColor();
    colorOfButton(number) = RgbColor(c.red(), c.green(), c.blue());
    if (number == 10)
        showNenSample();
    m_colorButtons[size_t(number)]->update();
    repaintPreviews();
}

void Tfrmsettei::sedit1Change(int value)
{
    m_work.MarkLineWidth = value;
    repaintPreviews();
}

void Tfrmsettei::sedit2Change(int value)
{
    m_work.TodayLineWidth = value;
    repaintPreviews();
}

void Tfrmsettei::radib1onClick()
{
    if (radib1on->isChecked())
        enableTodayControls(true);
    repaintPreviews();
}

void Tfrmsettei::radib1offClick()
{
    if (radib1off->isChecked())
        enableTodayControls(false);
    repaintPreviews();
}

void Tfrmsettei::radiholClick()
{
    m_work.HolidayLaw = radihollaw->isChecked();
}

void Tfrmsettei::enableTodayControls(bool on)
{
    m_work.TodayMarkOn = on;
    for (QWidget *w : std::initializer_list<QWidget *>{Label8, sedit2, m_colorButtons[9]})
        w->setEnabled(on);
}

void Tfrmsettei::fontsChanged()
{
    const int headerHeight = CellRowHeight(m_work.YoubiFont.Size, this);
    dg2->setRowHeight(0, headerHeight);
    dg3->setRowHeight(0, headerHeight);
}

// ---- OK ------------------------------------------------------------------

void Tfrmsettei::btnokClick()
{
    m_host->applyAppearance(m_work, dg2->defaultRowHeight());
}

// ---- Previews -------------------------------------------------------------

// The month view's cells with the working copy's look: the marks in the first
// rows of a month, and a week of days each framed as today.
void Tfrmsettei::previewCell(QPainter &painter, int col, int row, const CellRect &rect, bool marks)
{
    if (row == 0) {
        m_painter.paintHeader(painter, rect, col);
        return;
    }
    static const int kDays[4][3] = {{1, 2, 3}, {8, 9, 10}, {15, 16, 17}, {30, 31, 0}};
    DayCellState cell;
    cell.day = marks ? kDays[row - 1][col] : col + 1;
    cell.holiday = col == 0;
    cell.mark = marks && row <= 3 && cell.day != 0 ? std::uint8_t(row) : std::uint8_t(0);
    cell.today = !marks;
    m_painter.paintDay(painter, rect, cell);
}

void Tfrmsettei::dg2DrawCell(QPainter &painter, int col, int row, const CellRect &rect)
{
    previewCell(painter, col, row, rect, true);
}

void Tfrmsettei::dg3DrawCell(QPainter &painter, int col, int row, const CellRect &rect)
{
    previewCell(painter, col, row, rect, false);
}

void Tfrmsettei::colorbtn_1DrawButton(TButtonEx *control, QPainter &painter, const CellRect &rect)
{
    // Each button paints its own swatch: the same picture as painting all ten.
    const int number = control->objectName().mid(int(qstrlen("colorbtn_"))).toInt();
    const QColor swatch = ToQColor(colorOfButton(number));
    painter.fillRect(rect.toRect(), swatch);
    painter.setPen(QColor(255 - swatch.red(), 255 - swatch.green(), 255 - swatch.blue()));
    painter.setFont(control->font());
    DrawCellText(painter, rect, control->text());
}

} // namespace hibi
