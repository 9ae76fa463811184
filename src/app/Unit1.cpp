#include "app/Unit1.h"

#include "about/about.h"
#include "app/RangeCursor.h"
#include "app/jump.h"
#include "calendar/Clock.h"
#include "components/FileChooser.h"
#include "components/Look.h"
#include "components/MessageBoxes.h"
#include "components/StandardGlyph.h"
#include "components/SysCtrls.h"
#include "components/UpDown.h"
#include "storage/CalendarFile.h"
#include "storage/Catalogue.h"
#include "storage/CsvExport.h"
#include "storage/WholeFile.h"
#include "storage/FileError.h"
#include "storage/ProgramFolder.h"
#include "storage/Unit2.h"
#include "storage/MarkGesture.h"
#include "tally/Unit3.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>


namespace hibi {

namespace {

constexpr int kGridTop = 108;

QIcon ToolPicture(const QString &name)
{
    return QIcon(QPixmap::fromImage(ReadPicture(QStringLiteral(":/images/%1.xpm").arg(name), "xpm")));
}
const QString kWeekdayNames[7] = {QStringLiteral("日"), QStringLiteral("月"), QStringLiteral("火"),
                                  QStringLiteral("水"), QStringLiteral("木"), QStringLiteral("金"),
                                  QStringLiteral("土")};

} // namespace

TForm1::TForm1(const QString &programFolder, QWidget *parent)
    : QMainWindow(parent), ProgramFolder(programFolder)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("ヒビシルシ"));
    setFont(PixelFont(12));
    setGeometry(303, 123, 527, 429);
    SingleInstance1 = new TSingleInstance(this);
    SingleInstance1->setObjectName(QStringLiteral("SingleInstance1"));
    SingleInstance1->DupInstAction = diActivateFirst;
    SingleInstance1->ErrorMessage = QStringLiteral("すでに起動されています");
    SingleInstance1->UniqueName = QStringLiteral("Ident8982");
    SingleInstance1->Loaded();
    buildControls();
    buildMenus();
    // The month grid never disappears entirely: room for the header and a few week
    // rows (the menu bar's height comes on top, through the window's layout).
    m_client->setMinimumHeight(kGridTop + 80);
    if (TSingleInstance::TerminateRequested())
        return;   // a second start: it shows nothing and saves nothing
    FormCreate();
    Form3 = new TForm3(this);
    Form3->Counts = &Counts;
    form_jump = new Tform_jump(this);
}

TForm1::~TForm1()
{
    if (Range.active())
        QGuiApplication::restoreOverrideCursor();
}

void TForm1::buildControls()
{
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->installEventFilter(this);
    setCentralWidget(m_client);

    ToolBar1 = new QToolBar(QStringLiteral("ツールバー"), m_client);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setToolTip(QStringLiteral("ツールバー"));
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setMovable(false);
    ToolBar1->setGeometry(0, 0, 527, 28);
    ToolBar1->setContextMenuPolicy(Qt::CustomContextMenu);
    SetBackground(ToolBar1, ToQColor(kSystemColorBase + 30));   // clMenuBar
    auto addButton = [this](const QString &name, const QString &image, const QString &hint, void (TForm1::*handler)()) {
        auto *b = new QToolButton(ToolBar1);
        b->setObjectName(name);
        b->setIcon(ToolPicture(image));
        b->setToolTip(hint);
        b->setFixedSize(24, 24);
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, this, [this, handler] { runCommand([this, handler] { (this->*handler)(); }); });
        ToolBar1->addWidget(b);
        return b;
    };
    auto addSeparator = [this] {
        auto *gap = new QWidget(ToolBar1);
        gap->setFixedWidth(15);
        ToolBar1->addWidget(gap);
    };
    addButton(QStringLiteral("ToolButton1"), QStringLiteral("thismonth"), QStringLiteral("今月を表示"), &TForm1::thismonthClick);
    addButton(QStringLiteral("ToolButton5"), QStringLiteral("jump"), QStringLiteral("年月指定ジャンプ"), &TForm1::mnujumpClick);
    addSeparator();
    addButton(QStringLiteral("ToolButton3"), QStringLiteral("countall"), QStringLiteral("全期間を集計"), &TForm1::countallClick);
    ToolButton2 = addButton(QStringLiteral("ToolButton2"), QStringLiteral("countpart"), QStringLiteral("範囲を指定して集計"),
                            &TForm1::countpartClick);
    ToolButton2->setCheckable(true);
    addSeparator();
    addButton(QStringLiteral("ToolButton4"), QStringLiteral("bulkinput"), QStringLiteral("同一日のデータを一括入力"),
              &TForm1::mnuallClick);

    Panel1 = new QFrame(m_client);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setGeometry(0, 28, 527, 28);
    Panel1->setContextMenuPolicy(Qt::CustomContextMenu);
    SetBackground(Panel1, ToQColor(kSystemColorBase + 15));     // clBtnFace
    cbox1 = new QComboBox(Panel1);
    cbox1->setObjectName(QStringLiteral("cbox1"));
    cbox1->setEditable(false);
    cbox1->move(0, 2);
    cbox1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(cbox1, &QComboBox::activated, this, [this](int index) { runCommand([this, index] { cbox1Change(index); }); });
    UpDown1 = new UpDown(Panel1);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setRange(8, 20);
    UpDown1->setIncrement(-1);
    UpDown1->setPosition(12);
    UpDown1->resize(21, 24);
    connect(UpDown1, &UpDown::clicked, this, &TForm1::UpDown1Click);

    Panel0 = new QFrame(m_client);
    Panel0->setObjectName(QStringLiteral("Panel0"));
    Panel0->setGeometry(0, 56, 527, 50);
    Panel0->setContextMenuPolicy(Qt::CustomContextMenu);
    SetBackground(Panel0, Qt::white);
    btnprv = new QPushButton(QStringLiteral("前月"), Panel0);
    btnprv->setObjectName(QStringLiteral("btnprv"));
    btnprv->setToolTip(QStringLiteral("Shift+クリックで前年"));
    btnprv->resize(60, 30);
    connect(btnprv, &QPushButton::clicked, this, [this] { runCommand([this] { btnprvClick(); }); });
    Label1 = new QLabel(Panel0);
    Label1->setObjectName(QStringLiteral("Label1"));
    btnnext = new QPushButton(QStringLiteral("翌月"), Panel0);
    btnnext->setObjectName(QStringLiteral("btnnext"));
    btnnext->setToolTip(QStringLiteral("Shift+クリックで翌年"));
    btnnext->resize(60, 30);
    connect(btnnext, &QPushButton::clicked, this, [this] { runCommand([this] { btnnextClick(); }); });

    dg1 = new DrawGrid(m_client);
    dg1->setObjectName(QStringLiteral("dg1"));
    dg1->setGeometry(0, kGridTop, 527, 300);
    dg1->setColCount(7);
    dg1->setRowCount(6);
    dg1->setFixedRows(1);
    dg1->setDrawCell([this](QPainter &p, int col, int row, const CellRect &r) { dg1DrawCell(p, col, row, r); });
    // Resting on a holiday's day shows its name.
    dg1->setCellToolTip([this](int col, int row) {
        if (row < 1)
            return QString();
        const DayCell &cell = MonthLayout.at(col, row);
        return cell.day != 0 ? cell.holidayName : QString();
    });
    connect(dg1, &DrawGrid::mouseDown, this, [this](Qt::MouseButton b, Qt::KeyboardModifiers m, QPoint p) {
        runCommand([=, this] { dg1MouseDown(b, m, p); });
    });
    connect(dg1, &DrawGrid::mouseUp, this, &TForm1::dg1MouseUp);
    // Tab reaches the grid and a click gives it the focus; keys mark and move.
    dg1->setFocusPolicy(Qt::StrongFocus);
    connect(dg1, &DrawGrid::keyDown, this, [this](int key, Qt::KeyboardModifiers m) {
        runCommand([=, this] { dg1KeyDown(key, m); });
    });
    dg1->setWheelHandler([this](int notches) {
        runCommand([=, this] { stepMonth(notches > 0 ? -1 : +1, false); });   // away from the user: back
    });

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
}

void TForm1::buildMenus()
{
    auto command = [this](QAction *action, void (TForm1::*handler)()) {
        connect(action, &QAction::triggered, this, [this, handler] { runCommand([this, handler] { (this->*handler)(); }); });
    };
    auto item = [&](QMenu *menu, const QString &name, const QString &text, void (TForm1::*handler)(),
                    const QKeySequence &shortcut = {}) {
        QAction *a = menu->addAction(text);
        a->setObjectName(name);
        a->setShortcut(shortcut);
        if (handler)
            command(a, handler);
        return a;
    };

    QMenu *calendar = menuBar()->addMenu(QStringLiteral("カレンダー(&C)"));
    item(calendar, QStringLiteral("thismonth"), QStringLiteral("今月を表示(&T)"), &TForm1::thismonthClick,
         QKeySequence(Qt::CTRL | Qt::Key_T));
    item(calendar, QStringLiteral("mnujump"), QStringLiteral("年月指定ジャンプ(&J)"), &TForm1::mnujumpClick,
         QKeySequence(Qt::CTRL | Qt::Key_J));
    calendar->addSeparator();
    mnuundo = item(calendar, QStringLiteral("mnuundo"), QString(), &TForm1::undoClick, QKeySequence::Undo);
    mnuredo = item(calendar, QStringLiteral("mnuredo"), QString(), &TForm1::redoClick);
    mnuredo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    historyChanged();
    calendar->addSeparator();
    item(calendar, QStringLiteral("settei"), QStringLiteral("設定(&S)..."), &TForm1::setteiClick);
    calendar->addSeparator();
    item(calendar, QStringLiteral("mnuexport"), QStringLiteral("CSV に書き出す(&E)..."), &TForm1::mnuexportClick);
    calendar->addSeparator();
    QAction *exit = item(calendar, QStringLiteral("Exit1"), QStringLiteral("終了(&X)"), nullptr);
    // Quitting from the menu goes through the normal close: the year is saved and
    // the settings written.
    connect(exit, &QAction::triggered, this, &QWidget::close);

    Data1 = menuBar()->addMenu(QStringLiteral("データ(&D)"));
    Data1->setObjectName(QStringLiteral("Data1"));
    connect(Data1, &QMenu::aboutToShow, this, &TForm1::Data1Click);
    mnuall = item(Data1, QStringLiteral("mnuall"), QStringLiteral("同一日の複数データを一括入力(&Z)..."), &TForm1::mnuallClick);
    Data1->addSeparator();
    datup = item(Data1, QStringLiteral("datup"), QStringLiteral("データの並び順を上へ(&U)"), &TForm1::datupClick);
    datdown = item(Data1, QStringLiteral("datdown"), QStringLiteral("データの並び順を下へ(&W)"), &TForm1::datdownClick);
    Data1->addSeparator();
    item(Data1, QStringLiteral("mnunewcale"), QStringLiteral("新しいデータを追加(&N)..."), &TForm1::mnunewcaleClick,
         QKeySequence(Qt::CTRL | Qt::Key_N));
    item(Data1, QStringLiteral("changename"), QStringLiteral("表示中のデータの名前を変更(&R)..."), &TForm1::changenameClick,
         QKeySequence(Qt::CTRL | Qt::Key_R));
    item(Data1, QStringLiteral("delcale"), QStringLiteral("表示中のデータを削除(&D)..."), &TForm1::delcaleClick,
         QKeySequence(Qt::CTRL | Qt::Key_D));

    QMenu *tally = menuBar()->addMenu(QStringLiteral("集計(&T)"));
    item(tally, QStringLiteral("countall"), QStringLiteral("全期間を集計(&A)..."), &TForm1::countallClick)
            ->setIcon(ToolPicture(QStringLiteral("countall")));
    countpart = item(tally, QStringLiteral("countpart"), QStringLiteral("範囲を指定して集計(&P)..."), &TForm1::countpartClick);
    countpart->setIcon(ToolPicture(QStringLiteral("countpart")));
    countpart->setCheckable(true);
    tally->addSeparator();
    item(tally, QStringLiteral("mnuchart"), QStringLiteral("年間グラフ(&G)..."), &TForm1::mnuchartClick);

    QMenu *help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    item(help, QStringLiteral("mnuhelp"), QStringLiteral("目次(&C)..."), &TForm1::mnuhelpClick, QKeySequence::HelpContents);
    item(help, QStringLiteral("mnuversion"), QStringLiteral("バージョン(&A)..."), &TForm1::mnuversionClick);

    // The pop-up menu of the tool bar, the calendar list and the navigation bar.
    // Its shortcuts are the main menu's; they only show here.
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    for (auto [name, text, handler, key] :
         {std::tuple{"add2", "新しいデータを追加...", &TForm1::mnunewcaleClick, Qt::Key_N},
          std::tuple{"change2", "表示中のデータの名前を変更...", &TForm1::changenameClick, Qt::Key_R},
          std::tuple{"del2", "表示中のデータを削除...", &TForm1::delcaleClick, Qt::Key_D}}) {
        QAction *a = item(PopupMenu1, QString::fromLatin1(name), QString::fromUtf8(text), handler);
        a->setShortcut(QKeySequence(Qt::CTRL | key));
        a->setShortcutContext(Qt::WidgetShortcut);
    }
    for (QWidget *w : std::initializer_list<QWidget *>{ToolBar1, Panel1, cbox1, Panel0})
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint &pos) { PopupMenu1->popup(w->mapToGlobal(pos)); });
}

// ---- Start and close ------------------------------------------------------

void TForm1::FormCreate()
{
    if (ProgramFolder.isEmpty())
        ProgramFolder = ChooseProgramFolder(QCoreApplication::applicationDirPath());
    if (!ProgramFolder.endsWith(QLatin1Char('/')))
        ProgramFolder += QLatin1Char('/');
    TodayDate = Today();
    DisplayYear = TodayDate.year;
    DisplayMonth = TodayDate.month;
    YearMarks.clear();
    Holidays = HolidayTable::Standard();
    readSettings();
    Range = {};
    // The first year read: there is nothing to save yet, and a file that cannot
    // be read shows its year as not loaded.
    runCommand([this] { switchTo(CurrentCalendarName, DisplayYear, DisplayMonth, Buffer::Discard, Reread::Always); });
    dg1->setGeometry(0, kGridTop, m_client->width(), std::max(0, m_client->height() - kGridTop));
    LayoutHeader();
}

void TForm1::readSettings()
{
    m_settingsStore = SettingsStore(SettingsPath());
    m_settings = m_settingsStore.load();
    if (const auto &problem = m_settingsStore.loadProblem())
        MessageBoxes::error(this, *problem + QStringLiteral("\r\n設定ファイルを読み込めなかったため、このあと設定は保存されません。"));
    m_placement = WindowPlacement(m_settings.bounds, minimumSize());
    m_placement.apply(this);
    UpDown1->setPosition(m_settings.nameHeight);
    QFont listFont = cbox1->font();
    listFont.setPointSize(UpDown1->position());
    cbox1->setFont(listFont);
    lookChanged();

    QStringList found = ScanCalendarFiles(ProgramFolder);
    for (QString &name : found)
        name.chop(4);   // ".hsd"
    const CalendarList list = BuildCalendarList(found, m_settings.calendarOrder, m_settings.lastCalendar);
    cbox1->addItems(list.names);
    cbox1->setCurrentIndex(list.selected);
    CurrentCalendarName = cbox1->currentText();
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TForm1::FormShow()
{
    applyCaptionLook();
    LayoutHeader();
    FormResize();
    dg1->setFocus();   // the keys mark days from the start
}

// The year-month caption: NenFont on the window's colour.
void TForm1::applyCaptionLook()
{
    Label1->setFont(MakeFont(Look.NenFont.Name, Look.NenFont.Size, Look.NenFont.Style));
    SetTextColor(Label1, ToQColor(Look.NenFont.Color));
    SetBackground(Label1, m_colors.window);
    Label1->adjustSize();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // The window can always be closed: when the year cannot be saved (a folder
    // that became read-only, a disk that went away), the user decides.
    try {
        saveYear();
    } catch (const FileError &e) {
        const QString question = e.message() + QStringLiteral("\r\n表示中の年の印を保存できません。保存せずに終了しますか？");
        if (!MessageBoxes::warningYesNo(this, QStringLiteral("警告"), question)) {
            event->ignore();
            return;
        }
    }
    m_settings.bounds = m_placement.atClose(this);
    m_settings.nameHeight = cbox1->font().pointSize();
    m_settings.lastCalendar = CurrentCalendarName;
    m_settings.calendarOrder = calendarNames();
    saveSettings(SettingsWriter::Close);   // a failure is said, and the window closes all the same
    event->accept();
}

bool TForm1::runCommand(const std::function<void()> &command)
{
    try {
        command();
        return true;
    } catch (const FileError &e) {
        MessageBoxes::error(this, e.message());
        return false;
    }
}

void TForm1::saveSettings(SettingsWriter writer)
{
    runCommand([&] { m_settingsStore.save(m_settings, writer); });
}

// ---- The view and its year buffer ----------------------------------------------

QString TForm1::CalendarPath() const
{
    return CalendarFilePath(ProgramFolder, CurrentCalendarName);
}

QString TForm1::SettingsPath() const
{
    return ProgramFolder + QStringLiteral("hibisi.ini");
}

void TForm1::saveYear()
{
    // A year that could not be read holds no marks of the user's: writing it
    // would wipe the year's record.
    if (m_yearLoaded)
        SaveYearMarks(CalendarPath(), DisplayYear, YearMarks);
}

bool TForm1::switchTo(const QString &calendar, int year, int month, Buffer buffer, Reread reread)
{
    if (!IsSupportedYear(year))
        return false;
    const bool leaving = calendar != CurrentCalendarName || year != DisplayYear || reread == Reread::Always
            || !m_yearLoaded;
    if (!leaving) {
        DisplayMonth = month;   // inside the year: the marks are all in memory
        resetFocusDay();
        showMonth();
        return true;
    }

    auto commit = [&](const hibi::YearMarks &marks, bool loaded) {
        CurrentCalendarName = calendar;
        DisplayYear = year;
        DisplayMonth = month;
        YearMarks = marks;
        m_yearLoaded = loaded;
        m_toldNotLoaded = false;
        resetFocusDay();
        int index = calendarNames().indexOf(calendar);
        if (index < 0) {
            cbox1->addItem(calendar);   // a new calendar joins the end of the list
            index = cbox1->count() - 1;
        }
        cbox1->setCurrentIndex(index);
        showMonth();
    };
    hibi::YearMarks next;
    try {
        if (buffer == Buffer::Save)
            saveYear();
        // Read before anything changes: when the new year cannot be read, the
        // view stays on a year that is saved and nothing is lost.
        next = ReadYearMarks(CalendarFilePath(ProgramFolder, calendar), year);
    } catch (const FileError &) {
        if (buffer == Buffer::Save)
            cbox1->setCurrentIndex(calendarNames().indexOf(CurrentCalendarName));   // the list follows the view
        else
            commit(hibi::YearMarks(), false);   // the old buffer is gone: show the place, not loaded
        throw;
    }
    commit(next, true);
    return true;
}

// The keyboard's cell starts on today in today's month, else on the 1st.
void TForm1::resetFocusDay()
{
    m_focusDay = DisplayYear == TodayDate.year && DisplayMonth == TodayDate.month ? TodayDate.day : 1;
}

void TForm1::showMonth()
{
    historyChanged();   // the items name the year and calendar only when they are not the ones shown
    LayoutMonth();
    FormResize();
    dg1->viewport()->update();
}

// ---- Layout and drawing ------------------------------------------------------

void TForm1::LayoutMonth()
{
    MonthLayout = monthLayout(DisplayYear, DisplayMonth);
    dg1->setRowCount(MonthLayout.rowCount);
    Label1->setText(MonthLayout.caption);
    Label1->adjustSize();
}

void TForm1::LayoutHeader()
{
    cbox1->resize(cbox1->width(), cbox1->sizeHint().height());
    Panel1->resize(Panel1->width(), cbox1->height() + 4);
    UpDown1->resize(UpDown1->width(), cbox1->height());
    Panel0->move(0, Panel1->y() + Panel1->height());
    Panel0->resize(Panel0->width(), kGridTop - Panel0->y());
    btnprv->move(btnprv->x(), (Panel0->height() - btnprv->height()) / 2);
    btnnext->move(btnnext->x(), btnprv->y());
    Label1->move(Label1->x(), (Panel0->height() - Label1->height()) / 2);
}

void TForm1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TForm1::FormResize()
{
    const int minWidth = btnnext->x() + btnnext->width() + 1;
    if (frameGeometry().width() < minWidth)
        resize(width() + minWidth - frameGeometry().width(), height());

    const int clientWidth = m_client->width();
    ToolBar1->resize(clientWidth, ToolBar1->height());
    Panel1->resize(clientWidth, Panel1->height());
    Panel0->resize(clientWidth, Panel0->height());
    UpDown1->move(Panel1->width() - UpDown1->width(), 0);
    cbox1->resize(std::max(0, UpDown1->x() - 1), cbox1->height());

    Label1->adjustSize();
    Label1->move(frameGeometry().width() / 2 - Label1->width() / 2, Label1->y());
    btnprv->move(Label1->x() - btnprv->width() - 10, btnprv->y());
    btnnext->move(Label1->x() + Label1->width() + 10, btnnext->y());

    dg1->resize(clientWidth, dg1->height());
    dg1->setDefaultColWidth((dg1->clientWidth() - 6) / 7);
    dg1->resize(dg1->width(), std::max(0, m_client->height() - dg1->y()));
    // The week rows share what the header row leaves, a pixel each for the lines.
    const int rows = dg1->rowCount();
    dg1->setDefaultRowHeight((dg1->clientHeight() - dg1->rowHeight(0) - rows + 1) / (rows - 1));
    dg1->setDefaultColWidth((dg1->clientWidth() - 6) / 7);
    dg1->viewport()->update();
}

void TForm1::lookChanged()
{
    const Appearance &a = Look;
    m_youbiFont = MakeFont(a.YoubiFont.Name, a.YoubiFont.Size, a.YoubiFont.Style);
    m_dayFont = MakeFont(a.DayFont.Name, a.DayFont.Size, a.DayFont.Style);
    m_colors.youbiHoliday = ToQColor(a.YoubiFont.HolidayColor);
    m_colors.youbiWeekday = ToQColor(a.YoubiFont.WeekdayColor);
    m_colors.youbiHolidayBack = ToQColor(a.YoubiHolidayBack);
    m_colors.youbiWeekdayBack = ToQColor(a.YoubiWeekdayBack);
    m_colors.dayHoliday = ToQColor(a.DayFont.HolidayColor);
    m_colors.dayWeekday = ToQColor(a.DayFont.WeekdayColor);
    m_colors.dayHolidayBack = ToQColor(a.DayHolidayBack);
    m_colors.dayWeekdayBack = ToQColor(a.DayWeekdayBack);
    m_colors.yohaku = ToQColor(a.YohakuBack);
    m_colors.today = ToQColor(a.TodayColor);
    m_colors.window = ToQColor(a.WindowColor);
    m_colors.marks = {ToQColor(a.MaruColor), ToQColor(a.BatuColor), ToQColor(a.SankakuColor)};
    m_notLoadedBrush = QBrush(QColor(0x80, 0x80, 0x80), Qt::BDiagPattern);
    SetBackground(m_client, m_colors.window);
    dg1->setMarginColor(m_colors.window);
    // The header row is as high as its font plus 8 pixels.
    dg1->setRowHeight(0, FontPixelHeight(a.YoubiFont.Size, dg1) + 8);
    if (m_shown) {
        applyCaptionLook();
        LayoutHeader();   // the caption's new height is centred in its bar again
    }
    dg1->viewport()->update();
}

void TForm1::dg1DrawCell(QPainter &painter, int col, int row, const CellRect &rect)
{
    // The weekday header.
    if (row == 0) {
        painter.setFont(m_youbiFont);
        painter.fillRect(rect.toRect(), col == 0 ? m_colors.youbiHolidayBack : m_colors.youbiWeekdayBack);
        painter.setPen(col == 0 ? m_colors.youbiHoliday : m_colors.youbiWeekday);
        DrawCellText(painter, rect, kWeekdayNames[col]);
        return;
    }
    if (row > 6)
        return;

    // The day, in holiday or weekday colours; a cell without a day is margin.
    painter.setFont(m_dayFont);
    const DayCell &cell = MonthLayout.at(col, row);
    if (cell.day != 0) {
        painter.fillRect(rect.toRect(), cell.holiday ? m_colors.dayHolidayBack : m_colors.dayWeekdayBack);
        painter.setPen(cell.holiday ? m_colors.dayHoliday : m_colors.dayWeekday);
        DrawCellText(painter, rect, QString::number(cell.day));
    } else {
        painter.fillRect(rect.toRect(), m_colors.yohaku);
    }

    // The mark, whatever the cell holds, then today's frame over it.
    DrawMark(painter, rect, YearMarks.at(DisplayMonth, col, row), m_colors.marks, Look.MarkLineWidth);
    const bool todaysMonth = DisplayYear == TodayDate.year && DisplayMonth == TodayDate.month;
    if (todaysMonth && Look.TodayMarkOn && MonthLayout.todayCell == GridCell{col, row})
        DrawTodayFrame(painter, rect, m_colors.today, Look.TodayLineWidth);

    // The keyboard's cell, while the grid has the focus.
    if (cell.day == m_focusDay && dg1->hasFocus())
        DrawFocusCell(painter, rect, cell.holiday ? m_colors.dayHoliday : m_colors.dayWeekday);

    // A year that could not be read is shown hatched: its marks are unknown.
    if (!m_yearLoaded)
        painter.fillRect(rect.toRect(), m_notLoadedBrush);

    // The picked ends of a range cover everything.
    if (Range.highlights(DisplayYear, DisplayMonth, col, row))
        painter.fillRect(rect.toRect(), palette().color(QPalette::Highlight));
}

// ---- Interaction and navigation ------------------------------------------------------

void TForm1::dg1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, QPoint pos)
{
    int col = 0;
    int row = 0;
    if (!dg1->cellAt(pos, &col, &row) || row < 1 || row > 6)
        return;
    const int day = MonthLayout.at(col, row).day;
    if (day == 0)
        return;
    m_focusDay = day;   // the keyboard goes on from where the mouse was
    switch (Range.RangeState) {
    case 0:
        markCell(col, row, button);
        break;
    case 1:
        pickRangeStart(col, row, day);
        break;
    default:
        pickRangeEnd(col, row, day);
        break;
    }
}

void TForm1::dg1KeyDown(int key, Qt::KeyboardModifiers shift)
{
    const GridCell focus = CellOfDay(DisplayYear, DisplayMonth, m_focusDay);
    const bool wholeYear = shift & Qt::ShiftModifier;
    switch (key) {
    case Qt::Key_Left: moveFocus(-1); break;
    case Qt::Key_Right: moveFocus(+1); break;
    case Qt::Key_Up: moveFocus(-7); break;
    case Qt::Key_Down: moveFocus(+7); break;
    case Qt::Key_Home: moveFocus(1 - m_focusDay); break;
    case Qt::Key_End: moveFocus(DaysInMonth(DisplayYear, DisplayMonth) - m_focusDay); break;
    case Qt::Key_PageUp: stepMonth(-1, wholeYear); break;
    case Qt::Key_PageDown: stepMonth(+1, wholeYear); break;
    case Qt::Key_Escape:
        if (Range.active())
            FormClick();   // leaves the range mode, as a second press of its button does
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (Range.RangeState == 1)
            pickRangeStart(focus.col, focus.row, m_focusDay);
        else if (Range.RangeState == 2)
            pickRangeEnd(focus.col, focus.row, m_focusDay);
        else if (key == Qt::Key_Space)
            keyMark(Maru);
        break;
    case Qt::Key_1: keyMark(Maru); break;
    case Qt::Key_2: keyMark(Batu); break;
    case Qt::Key_3: keyMark(Sankaku); break;
    case Qt::Key_Delete: keyMark(NoMark); break;
    default: break;
    }
}

void TForm1::moveFocus(int days)
{
    const YearMonthDay16 to = AddDays({DisplayYear, DisplayMonth, m_focusDay}, days);
    if (to.year != DisplayYear || to.month != DisplayMonth) {
        if (!switchTo(CurrentCalendarName, to.year, to.month))
            return;   // past the years the calendar holds
    }
    m_focusDay = to.day;
    dg1->viewport()->update();
}

void TForm1::keyMark(Mark mark)
{
    if (Range.active())
        return;   // marks wait until the range is picked
    const GridCell c = CellOfDay(DisplayYear, DisplayMonth, m_focusDay);
    const std::uint8_t now = YearMarks.at(DisplayMonth, c.col, c.row);
    setMark(c.col, c.row, mark == NoMark ? std::uint8_t(NoMark) : ToggleMark(now, mark));
}

void TForm1::dg1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, QPoint)
{
    ReleaseButton(button, LeftHeld, RightHeld);
}

void TForm1::markCell(int col, int row, Qt::MouseButton button)
{
    setMark(col, row, PressMark(YearMarks.at(DisplayMonth, col, row), button, LeftHeld, RightHeld));
}

void TForm1::setMark(int col, int row, std::uint8_t mark)
{
    if (!m_yearLoaded) {
        tellYearNotLoaded();
        return;
    }
    std::uint8_t &cell = YearMarks.at(DisplayMonth, col, row);
    if (cell == mark)
        return;
    History.record({CurrentCalendarName, DisplayYear, DisplayMonth, MonthLayout.at(col, row).day, cell, mark, false});
    cell = mark;
    historyChanged();
    dg1->viewport()->update();
}

// ---- Undo and redo ------------------------------------------------------------

void TForm1::historyChanged()
{
    auto show = [this](QAction *action, const QString &caption, bool can, auto next) {
        action->setEnabled(can);
        action->setText(can ? caption + QStringLiteral(": ") + DescribeChange(next(), CurrentCalendarName, DisplayYear)
                            : caption);
    };
    show(mnuundo, QStringLiteral("元に戻す(&U)"), History.canUndo(), [this] { return History.nextUndo(); });
    show(mnuredo, QStringLiteral("やり直す(&R)"), History.canRedo(), [this] { return History.nextRedo(); });
}

void TForm1::undoClick()
{
    if (!History.canUndo())
        return;
    if (!applyChange(History.nextUndo(), History.nextUndo().before))
        return;
    History.undone();
    historyChanged();
}

void TForm1::redoClick()
{
    if (!History.canRedo())
        return;
    if (!applyChange(History.nextRedo(), History.nextRedo().after))
        return;
    History.redone();
    historyChanged();
}

bool TForm1::applyChange(const MarkChange &change, std::uint8_t mark)
{
    const bool shownYear = change.calendar == CurrentCalendarName && change.year == DisplayYear && m_yearLoaded;
    if (change.bulk && !shownYear) {
        // As bulk input does: straight into the file.
        WriteDayMark(calendarPath(change.calendar), change.year, change.month, change.day, Mark(mark));
        return true;
    }
    // The view goes there first, through the one switch, so the year buffer rule holds.
    if (!switchTo(change.calendar, change.year, change.month))
        return false;
    if (!m_yearLoaded) {
        tellYearNotLoaded();
        return false;
    }
    const GridCell c = CellOfDay(change.year, change.month, change.day);
    YearMarks.at(change.month, c.col, c.row) = mark;
    m_focusDay = change.day;
    dg1->viewport()->update();
    return true;
}

void TForm1::recordBulkChange(const MarkChange &change)
{
    History.record(change);
    historyChanged();
}

void TForm1::tellYearNotLoaded()
{
    if (m_toldNotLoaded)
        return;
    m_toldNotLoaded = true;
    MessageBoxes::information(this, QStringLiteral("%1年の印はファイルから読み込めなかったため、付けられません。\r\n"
                                                   "「今月を表示」や年の移動でもう一度読み込みます。")
                                            .arg(DisplayYear));
}

void TForm1::pickRangeStart(int col, int row, int day)
{
    Range.pickStart({DisplayYear, DisplayMonth, row, col, day});
    Timer1->start();
    dg1->viewport()->update();
}

void TForm1::pickRangeEnd(int col, int row, int day)
{
    QGuiApplication::restoreOverrideCursor();
    showRangeMode(false);
    Range.pickEnd({DisplayYear, DisplayMonth, row, col, day});
    Timer1->stop();
    dg1->viewport()->repaint();
    try {
        Counts = TallyRange(CalendarPath(), Range.RangeStart, Range.RangeEnd);
    } catch (const FileError &) {
        endRangeSelection();
        throw;
    }
    Form3->FromYear = Range.RangeStart.year;
    Form3->FromMonth = Range.RangeStart.month;
    Form3->FromDay = Range.RangeStart.day;
    Form3->ToYear = Range.RangeEnd.year;
    Form3->ToMonth = Range.RangeEnd.month;
    Form3->ToDay = Range.RangeEnd.day;
    Form3->exec();
    endRangeSelection();
}

void TForm1::endRangeSelection()
{
    Range.finish();
    dg1->viewport()->update();
}

void TForm1::stepMonth(int delta, bool wholeYear)
{
    int year = DisplayYear;
    int month = DisplayMonth;
    if (wholeYear) {
        year += delta;
    } else {
        month += delta;
        if (month < 1 || month > 12) {
            year += delta;
            month = month < 1 ? 12 : 1;
        }
    }
    switchTo(CurrentCalendarName, year, month);
}

void TForm1::btnprvClick()
{
    stepMonth(-1, QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier);
}

void TForm1::btnnextClick()
{
    stepMonth(+1, QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier);
}

void TForm1::thismonthClick()
{
    TodayDate = Today();
    switchTo(CurrentCalendarName, TodayDate.year, TodayDate.month, Buffer::Save, Reread::Always);
}

void TForm1::countallClick()
{
    saveYear();
    Counts = MarkCounts{};   // a file that cannot be read leaves no old counts behind
    Counts = TallyAll(CalendarPath());
    Form3->FromYear = 0;
    Form3->exec();
}

void TForm1::countpartClick()
{
    // The button and the menu item toggled themselves when clicked: they show the
    // state, and change only with it.
    showRangeMode(Range.active());
    if (Range.active()) {
        FormClick();
        return;
    }
    saveYear();
    Range.begin();
    QGuiApplication::setOverrideCursor(RangeCursor());
    showRangeMode(true);
}

void TForm1::showRangeMode(bool on)
{
    ToolButton2->setChecked(on);
    countpart->setChecked(on);
}

void TForm1::FormClick()
{
    if (Range.active())
        QGuiApplication::restoreOverrideCursor();
    showRangeMode(false);
    Timer1->stop();
    Range.cancel();
    dg1->viewport()->update();
}

void TForm1::Timer1Timer()
{
    Range.RangeBlink = !Range.RangeBlink;
    dg1->viewport()->update();
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::MouseButtonPress)
        FormClick();
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::UpDown1Click()
{
    QFont f = cbox1->font();
    f.setPointSize(UpDown1->position());
    cbox1->setFont(f);
    LayoutHeader();
}

// ---- The calendar list ------------------------------------------------------

int TForm1::selectedIndex() const
{
    return cbox1->currentIndex();
}

QStringList TForm1::calendarNames() const
{
    QStringList names;
    for (int i = 0; i < cbox1->count(); ++i)
        names << cbox1->itemText(i);
    return names;
}

void TForm1::cbox1Change(int index)
{
    switchTo(cbox1->itemText(index), DisplayYear, DisplayMonth);
}

QString TForm1::askDataName(bool renaming)
{
    TForm2 dialog(ProgramFolder, calendarNames(), renaming ? CurrentCalendarName : QString(), this);
    dialog.DataName = CurrentCalendarName;
    dialog.exec();
    return dialog.DataName;   // unchanged when cancelled or left empty
}

void TForm1::mnunewcaleClick()
{
    const QString name = askDataName(false);
    if (name == CurrentCalendarName)
        return;
    saveYear();
    CreateCalendarFile(CalendarFilePath(ProgramFolder, name), DisplayYear, hibi::YearMarks());
    switchTo(name, DisplayYear, DisplayMonth, Buffer::Discard);   // saved just above
}

void TForm1::changenameClick()
{
    const QString name = askDataName(true);
    if (name == CurrentCalendarName)
        return;
    const int index = selectedIndex();
    // A calendar without a file has nothing to rename. One whose file cannot be
    // renamed keeps its name, so the list and its file stay together.
    const QString from = CalendarPath();
    const QString to = CalendarFilePath(ProgramFolder, name);
    if (QFileInfo::exists(from) && !QFile::rename(from, to))
        throw FileError::cannotRename(from, to);
    History.forgetCalendar(CurrentCalendarName);
    CurrentCalendarName = name;
    cbox1->setItemText(index, CurrentCalendarName);
    cbox1->setCurrentIndex(index);
}

void TForm1::delcaleClick()
{
    const QString text = QStringLiteral("「") + CurrentCalendarName + QStringLiteral("」を削除します\r\nよろしいですか？");
    if (!MessageBoxes::warningYesNo(this, QStringLiteral("警告"), text))
        return;
    DeleteCalendarFile(CalendarPath());   // a file that will not go keeps its calendar in the list
    History.forgetCalendar(CurrentCalendarName);
    if (cbox1->count() == 1)
        cbox1->setItemText(0, kFirstCalendarName);
    else
        cbox1->removeItem(selectedIndex());
    // The deleted calendar's marks are not saved; the last entry is shown.
    switchTo(cbox1->itemText(cbox1->count() - 1), DisplayYear, DisplayMonth, Buffer::Discard, Reread::Always);
}

void TForm1::moveCalendar(int from, int to)
{
    const int count = cbox1->count();
    if (from < 0 || from >= count || to < 0 || to >= count || from == to)
        return;
    int selected = selectedIndex();
    if (selected == from)
        selected = to;
    else if (from < selected && selected <= to)
        --selected;
    else if (to <= selected && selected < from)
        ++selected;
    const QString name = cbox1->itemText(from);
    cbox1->removeItem(from);
    cbox1->insertItem(to, name);
    cbox1->setCurrentIndex(selected);
}

void TForm1::datupClick()
{
    const int index = selectedIndex();
    if (index > 0)
        moveCalendar(index, index - 1);
}

void TForm1::datdownClick()
{
    const int index = selectedIndex();
    if (index < cbox1->count() - 1)
        moveCalendar(index, index + 1);
}

void TForm1::Data1Click()
{
    mnuall->setEnabled(cbox1->count() != 1);
    datup->setEnabled(selectedIndex() != 0);
    datdown->setEnabled(selectedIndex() != cbox1->count() - 1);
}

// ---- The other windows ------------------------------------------------------

void TForm1::mnuallClick()
{
    saveYear();
    QDate shown;
    {
        Tfrmall bulk(this, this);
        bulk.exec();
        shown = bulk.BulkDate();
    }
    // The bulk input may have written into the year shown: read it back rather
    // than save the buffer over it.
    switchTo(CurrentCalendarName, shown.year(), shown.month(), Buffer::Discard, Reread::Always);
}

QString TForm1::calendarPath(const QString &name) const
{
    return CalendarFilePath(ProgramFolder, name);
}

BulkLook TForm1::bulkLook() const
{
    return {cbox1->height(), cbox1->font().pointSize(), dg1->defaultColWidth(), m_colors.marks, Look.MarkLineWidth};
}

hibi::MonthLayout TForm1::monthLayout(int year, int month) const
{
    return LayoutMonthGrid(year, month, TodayDate, Holidays, Look.HolidayLaw ? HolidayRules::Law : HolidayRules::Table);
}

WindowBounds TForm1::bulkBounds() const
{
    return m_settings.bulkBounds;
}

void TForm1::storeBulkBounds(const WindowBounds &bounds)
{
    m_settings.bulkBounds = bounds;
    saveSettings(SettingsWriter::Bulk);
}

void TForm1::mnujumpClick()
{
    // A year outside the dialog's range opens at the nearer end.
    form_jump->upyear->setPosition(DisplayYear);
    form_jump->upmonth->setPosition(DisplayMonth);
    form_jump->exec();
    if (!form_jump->JumpAccepted)
        return;
    switchTo(CurrentCalendarName, form_jump->upyear->position(), form_jump->upmonth->position(), Buffer::Save,
             Reread::Always);
}

void TForm1::setteiClick()
{
    Tfrmsettei frmsettei(this, this);
    frmsettei.exec();
}

int TForm1::dayColumnWidth() const
{
    return dg1->defaultColWidth();
}

void TForm1::applyAppearance(const Appearance &look, int dayRowHeight)
{
    const bool rulesChanged = look.HolidayLaw != Look.HolidayLaw;
    m_settings.appearance = look;
    dg1->setDefaultRowHeight(dayRowHeight);
    lookChanged();
    if (rulesChanged)
        LayoutMonth();
    bool saved = false;
    runCommand([&] {
        m_settingsStore.save(m_settings, SettingsWriter::Dialog);
        saved = true;
    });
    if (saved)
        FormResize();
}

void TForm1::mnuhelpClick()
{
    OpenHelp(this, this, ProgramFolder);
}

void TForm1::storeHelpBounds(const WindowBounds &bounds)
{
    m_settings.helpBounds = bounds;   // kept for the run also when the file cannot be written
    saveSettings(SettingsWriter::Help);
}

void TForm1::mnuchartClick()
{
    saveYear();
    TYearChart chart(this, CurrentCalendarName, CalendarPath(), DisplayYear, this);
    chart.exec();
}

void TForm1::storeChartBounds(const WindowBounds &bounds)
{
    m_settings.chartBounds = bounds;   // kept for the run also when the file cannot be written
    saveSettings(SettingsWriter::Chart);
}

void TForm1::mnuexportClick()
{
    if (m_exportFolder.isEmpty()) {
        m_exportFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!QFileInfo(m_exportFolder).isDir())
            m_exportFolder = QDir::homePath();
    }
    const QString target = ChooseSaveFile(this, QStringLiteral("CSV に書き出す"),
                                          QDir(m_exportFolder).filePath(QStringLiteral("ヒビシルシ.csv")),
                                          QStringLiteral("CSV ファイル (*.csv);;すべてのファイル (*)"), QStringLiteral("csv"));
    if (target.isEmpty())
        return;
    m_exportFolder = QFileInfo(target).absolutePath();

    QList<CalendarSource> calendars;
    QStringList ownFiles{QFileInfo(SettingsPath()).absoluteFilePath()};
    for (const QString &name : calendarNames()) {
        calendars << CalendarSource{name, calendarPath(name)};
        ownFiles << QFileInfo(calendarPath(name)).absoluteFilePath();
    }
    // A calendar or the settings file is not to be written over with a table.
    if (ownFiles.contains(QFileInfo(target).absoluteFilePath())) {
        MessageBoxes::error(this, QStringLiteral("%1 はヒビシルシのデータか設定のファイルなので、書き出し先にできません。")
                                          .arg(QDir::toNativeSeparators(target)));
        return;
    }

    saveYear();
    const CsvExport exported = ExportCsv(calendars);
    SaveWholeFile(target, exported.bytes);
    if (exported.unreadable.isEmpty()) {
        MessageBoxes::information(this, QStringLiteral("%1 に書き出しました。").arg(QDir::toNativeSeparators(target)));
        return;
    }
    QString text = QStringLiteral("%1 に書き出しましたが、次のデータは読み込めなかったため入っていません。")
                           .arg(QDir::toNativeSeparators(target));
    for (const UnreadableCalendar &c : exported.unreadable)
        text += QStringLiteral("\r\n・%1（%2）").arg(c.name, c.message);
    MessageBoxes::error(this, text);
}

void TForm1::mnuversionClick()
{
    TAboutBox AboutBox(this);
    AboutBox.exec();
}

} // namespace hibi
