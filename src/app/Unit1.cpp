#include "app/Unit1.h"

#include "about/about.h"
#include "app/CalendarPrint.h"
#include "app/MainMenu.h"
#include "app/MonthView.h"
#include "app/NameBar.h"
#include "app/NavigationBar.h"
#include "app/jump.h"
#include "components/DrawGrid.h"
#include "components/FileChooser.h"
#include "components/Look.h"
#include "components/MessageBoxes.h"
#include "components/UpDown.h"
#include "storage/CalendarFile.h"
#include "storage/Catalogue.h"
#include "storage/CsvExport.h"
#include "storage/FileError.h"
#include "storage/OpenCalendar.h"
#include "storage/ProgramFolder.h"
#include "storage/WholeFile.h"
#include "dialogs/RestoreDialog.h"
#include "dialogs/Unit2.h"
#include "dialogs/Unit3.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QStandardPaths>
#include <QToolBar>
#include <QToolButton>

namespace hibi {

namespace {

constexpr int kGridTop = 108;

QString WithSlash(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

} // namespace

TForm1::TForm1(const QString &programFolder, QWidget *parent)
    : QMainWindow(parent),
      m_calendar(new OpenCalendar(
              WithSlash(programFolder.isEmpty() ? ChooseProgramFolder(QCoreApplication::applicationDirPath()) : programFolder),
              this))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("ヒビシルシ"));
    setFont(PixelFont(12));
    setGeometry(303, 123, 527, 429);
    buildControls();
    buildMenus();
    FormCreate();
    Form3 = new TForm3(this);
    Form3->Counts = &Counts;
    form_jump = new Tform_jump(this);
}

TForm1::~TForm1() = default;

void TForm1::buildControls()
{
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->installEventFilter(this);
    setCentralWidget(m_client);

    ToolBar1 = BuildToolBar(*this, m_client);
    ToolButton2 = ToolBar1->findChild<QToolButton *>(QStringLiteral("ToolButton2"));

    m_nameBar = new NameBar(&m_calendar->calendars(), m_client);
    cbox1 = m_nameBar->list();
    // The list box shows the calendar list; the selection follows what is shown.
    connect(&m_calendar->calendars(), &CalendarListModel::selectionChanged, cbox1, &QComboBox::setCurrentIndex);
    connect(m_nameBar, &NameBar::calendarChosen, this, [this](int index) { runCommand([this, index] { cbox1Change(index); }); });
    connect(m_nameBar, &NameBar::listSizeChosen, this, &TForm1::UpDown1Click);

    m_navigation = new NavigationBar(m_client);
    connect(m_navigation, &NavigationBar::previousClicked, this, [this] { runCommand([this] { btnprvClick(); }); });
    connect(m_navigation, &NavigationBar::nextClicked, this, [this] { runCommand([this] { btnnextClick(); }); });

    m_view = new MonthView(*m_calendar, m_client);
    m_view->setGeometry(0, kGridTop, 527, 300);
    m_view->setRangeTally([this](RangePoint &start, RangePoint &end) { rangeTally(start, end); });
    connect(m_view, &MonthView::monthLaidOut, this, &TForm1::showMonthCaption);
    connect(m_view, &MonthView::rangeModeChanged, this, &TForm1::showRangeMode);
    connect(m_view, &MonthView::noteRequested, this, [this](int day) { runCommand([=, this] { m_view->editNote(day); }); });
    connect(m_calendar, &OpenCalendar::historyChanged, this, &TForm1::historyChanged);
    dg1 = m_view->grid();
    dg1->setDrawCell([this](QPainter &p, int col, int row, const CellRect &r) { dg1DrawCell(p, col, row, r); });
    connect(dg1, &DrawGrid::mouseDown, this, [this](Qt::MouseButton b, Qt::KeyboardModifiers m, QPoint p) {
        runCommand([=, this] { dg1MouseDown(b, m, p); });
    });
    connect(dg1, &DrawGrid::mouseUp, this, &TForm1::dg1MouseUp);
    connect(dg1, &DrawGrid::keyDown, this, [this](int key, Qt::KeyboardModifiers m) {
        runCommand([=, this] { dg1KeyDown(key, m); });
    });
    dg1->setWheelHandler([this](int notches) {
        runCommand([=, this] { m_view->stepMonth(notches > 0 ? -1 : +1, false); });   // away from the user: back
    });
}

void TForm1::buildMenus()
{
    m_menu = BuildMainMenu(*this);
    historyChanged();
    for (QWidget *w : std::initializer_list<QWidget *>{ToolBar1, m_nameBar, cbox1, m_navigation})
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint &pos) { m_menu.PopupMenu1->popup(w->mapToGlobal(pos)); });
}

// ---- Start and close ------------------------------------------------------

void TForm1::FormCreate()
{
    readSettings();
    // The first year read: there is nothing to save yet, and a file that cannot
    // be read shows its year as not loaded.
    const YearMonthDay16 today = m_view->TodayDate();
    runCommand([&] {
        m_calendar->switchTo(m_calendar->CurrentCalendarName(), today.year, today.month, OpenCalendar::Buffer::Discard,
                             OpenCalendar::Reread::Always);
    });
    m_view->setGeometry(0, kGridTop, m_client->width(), std::max(0, m_client->height() - kGridTop));
    LayoutHeader();
}

void TForm1::readSettings()
{
    m_settingsStore = SettingsStore(SettingsPath());
    m_settings = m_settingsStore.load();
    if (const auto &problem = m_settingsStore.loadProblem())
        MessageBoxes::error(this, *problem + QStringLiteral("\r\n設定ファイルを読み込めなかったため、このあと設定は保存されません。"));
    m_nameBar->setListPointSize(m_settings.nameHeight);
    lookChanged();
    m_placement = WindowPlacement(m_settings.bounds, minimumSizeHint());
    m_placement.apply(this);

    m_calendar->listCalendars(m_settings.calendarOrder, m_settings.lastCalendar);
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
    fitMinimumSize();
    LayoutHeader();
    FormResize();
    dg1->setFocus();   // the keys mark days from the start
}

// The year-month caption: NenFont on the window's colour.
void TForm1::applyCaptionLook()
{
    const Tnenfont &nen = m_settings.appearance.NenFont;
    m_navigation->setCaptionLook(MakeFont(nen.Name, nen.Size, nen.Style), ToQColor(nen.Color),
                                 ToQColor(m_settings.appearance.WindowColor));
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // The window can always be closed: when the year cannot be saved (a folder
    // that became read-only, a disk that went away), the user decides.
    try {
        m_calendar->flush();
    } catch (const FileError &e) {
        const QString question = e.message() + QStringLiteral("\r\n表示中の年の印を保存できません。保存せずに終了しますか？");
        // At the end of the session there is no one to ask: the program ends.
        if (!MessageBoxes::sessionEnding() && !MessageBoxes::warningYesNo(this, QStringLiteral("警告"), question)) {
            event->ignore();
            return;
        }
    }
    m_settings.bounds = m_placement.atClose(this);
    m_settings.nameHeight = m_nameBar->listPointSize();
    m_settings.lastCalendar = m_calendar->CurrentCalendarName();
    m_settings.calendarOrder = m_calendar->calendars().names();
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

void TForm1::storeBounds(WindowBounds ProgramSettings::*which, const WindowBounds &bounds, SettingsWriter writer)
{
    m_settings.*which = bounds;   // kept for the run also when the file cannot be written
    saveSettings(writer);
}

QString TForm1::SettingsPath() const
{
    return m_calendar->ProgramFolder() + kSettingsFileName;
}

// ---- Layout ----------------------------------------------------------------

void TForm1::showMonthCaption(const QString &caption)
{
    m_navigation->setCaption(caption);
    FormResize();
}

void TForm1::LayoutHeader()
{
    m_nameBar->fitHeight();
    m_navigation->move(0, m_nameBar->y() + m_nameBar->height());
    m_navigation->resize(m_navigation->width(), kGridTop - m_navigation->y());
    m_navigation->centreVertically();
}

void TForm1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

// The smallest inside that shows what the window is for: the caption of any
// month centred between both buttons, each whole, and every week row of a
// six-week month at least as tall as the day font, with the fonts in use. Made
// a minimum, the window manager sizes down to it in one step, and a restore
// from maximised gives back the size the window had.
void TForm1::fitMinimumSize()
{
    const int frame = m_shown ? frameGeometry().width() - width() : 0;
    int width = m_navigation->widthForEveryMonth(frame);
    // Seven grid rows: the header and six week rows, a pixel each for the lines.
    const int dayRow = FontPixelHeight(m_settings.appearance.DayFont.Size, dg1);
    int height = kGridTop + dg1->rowHeight(0) + 6 * (dayRow + 1);
    // Fonts no chooser offers (a settings file edited by hand) still leave a
    // window that fits on the screen.
    if (const QScreen *s = screen()) {
        width = std::min(width, s->availableGeometry().width() - frame);
        height = std::min(height, s->availableGeometry().height() - menuBar()->sizeHint().height());
    }
    m_client->setMinimumSize(width, height);
}

void TForm1::FormResize()
{
    const int clientWidth = m_client->width();
    ToolBar1->resize(clientWidth, ToolBar1->height());
    m_nameBar->resize(clientWidth, m_nameBar->height());
    m_navigation->resize(clientWidth, m_navigation->height());
    m_navigation->centre(frameGeometry().width());

    m_view->setGeometry(0, kGridTop, clientWidth, std::max(0, m_client->height() - kGridTop));
    m_view->fitCells();
}

void TForm1::lookChanged()
{
    SetBackground(m_client, ToQColor(m_settings.appearance.WindowColor));
    m_view->setLook(m_settings.appearance);
    if (m_shown)
        applyCaptionLook();
    fitMinimumSize();
    if (m_shown)
        LayoutHeader();   // the caption's new height is centred in its bar again
}

void TForm1::UpDown1Click()
{
    LayoutHeader();   // the list's new font size was set by the spinner
}

// ---- The month grid -----------------------------------------------------------

void TForm1::dg1DrawCell(QPainter &painter, int col, int row, const CellRect &rect)
{
    m_view->dg1DrawCell(painter, col, row, rect);
}

void TForm1::dg1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, QPoint pos)
{
    m_view->dg1MouseDown(button, pos);
}

void TForm1::dg1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, QPoint)
{
    m_view->dg1MouseUp(button);
}

void TForm1::dg1KeyDown(int key, Qt::KeyboardModifiers shift)
{
    m_view->dg1KeyDown(key, shift);
}

void TForm1::btnprvClick()
{
    m_view->stepMonth(-1, QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier);
}

void TForm1::btnnextClick()
{
    m_view->stepMonth(+1, QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier);
}

void TForm1::thismonthClick()
{
    m_view->showThisMonth();
}

void TForm1::mnujumpClick()
{
    // A year outside the dialog's range opens at the nearer end.
    form_jump->upyear->setPosition(m_calendar->DisplayYear());
    form_jump->upmonth->setPosition(m_calendar->DisplayMonth());
    form_jump->exec();
    if (!form_jump->JumpAccepted)
        return;
    m_calendar->switchTo(m_calendar->CurrentCalendarName(), form_jump->upyear->position(), form_jump->upmonth->position(),
                         OpenCalendar::Buffer::Save, OpenCalendar::Reread::Always);
}

// ---- Undo and redo ------------------------------------------------------------

void TForm1::historyChanged()
{
    const MarkHistory &history = m_calendar->history();
    const QString calendar = m_calendar->CurrentCalendarName();
    const int year = m_calendar->DisplayYear();
    auto show = [&](QAction *action, const QString &caption, bool can, auto next) {
        action->setEnabled(can);
        action->setText(can ? caption + QStringLiteral(": ") + DescribeChange(next(), calendar, year) : caption);
    };
    show(m_menu.mnuundo, QStringLiteral("元に戻す(&U)"), history.canUndo(), [&] { return history.nextUndo(); });
    show(m_menu.mnuredo, QStringLiteral("やり直す(&R)"), history.canRedo(), [&] { return history.nextRedo(); });
}

void TForm1::undoClick()
{
    m_calendar->undo();
}

void TForm1::redoClick()
{
    m_calendar->redo();
}

// ---- Tallies -------------------------------------------------------------------

void TForm1::countallClick()
{
    Counts = MarkCounts{};   // a file that cannot be read leaves no old counts behind
    Counts = m_calendar->readFiles([this] { return TallyAll(m_calendar->CalendarPath()); });
    Form3->FromYear = 0;
    Form3->exec();
}

void TForm1::countpartClick()
{
    // The button and the menu item toggled themselves when clicked: they show the
    // state, and change only with it.
    showRangeMode(m_view->rangeActive());
    if (m_view->rangeActive()) {
        FormClick();
        return;
    }
    m_calendar->flush();
    m_view->beginRange();
}

void TForm1::rangeTally(RangePoint &start, RangePoint &end)
{
    // The range is counted from the file, which gets the marks shown first, also
    // those changed (or undone) since the range was begun.
    Counts = m_calendar->readFiles([&] { return TallyRange(m_calendar->CalendarPath(), start, end); });
    Form3->FromYear = start.year;
    Form3->FromMonth = start.month;
    Form3->FromDay = start.day;
    Form3->ToYear = end.year;
    Form3->ToMonth = end.month;
    Form3->ToDay = end.day;
    Form3->exec();
}

void TForm1::showRangeMode(bool on)
{
    ToolButton2->setChecked(on);
    m_menu.countpart->setChecked(on);
}

void TForm1::FormClick()
{
    m_view->cancelRange();
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::MouseButtonPress)
        FormClick();
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::mnuchartClick()
{
    const QString path = m_calendar->readFiles([this] { return m_calendar->CalendarPath(); });
    TYearChart chart(this, m_calendar->CurrentCalendarName(), path, m_calendar->DisplayYear(), this);
    chart.exec();
}

ChartLook TForm1::chartLook() const
{
    const DayCellPainter &painter = m_view->cellPainter();
    return {painter.markColors(), painter.markLineWidth()};
}

void TForm1::storeChartBounds(const WindowBounds &bounds)
{
    storeBounds(&ProgramSettings::chartBounds, bounds, SettingsWriter::Chart);
}

// ---- The calendar list ------------------------------------------------------

void TForm1::cbox1Change(int index)
{
    try {
        m_calendar->switchTo(m_calendar->calendars().name(index), m_calendar->DisplayYear(), m_calendar->DisplayMonth());
    } catch (const FileError &) {
        cbox1->setCurrentIndex(m_calendar->calendars().selected());   // the list follows the view
        throw;
    }
}

QString TForm1::askDataName(bool renaming)
{
    const QString current = m_calendar->CurrentCalendarName();
    TForm2 dialog(m_calendar->ProgramFolder(), m_calendar->calendars().names(), renaming ? current : QString(), this);
    dialog.DataName = current;
    dialog.exec();
    return dialog.DataName;   // unchanged when cancelled or left empty
}

void TForm1::mnunewcaleClick()
{
    const QString name = askDataName(false);
    if (name != m_calendar->CurrentCalendarName())
        m_calendar->createCalendar(name);
}

void TForm1::changenameClick()
{
    const QString name = askDataName(true);
    if (name != m_calendar->CurrentCalendarName())
        m_calendar->renameCalendar(name);
}

void TForm1::delcaleClick()
{
    const QString text = QStringLiteral("「") + m_calendar->CurrentCalendarName() + QStringLiteral("」を削除します\r\nよろしいですか？");
    if (MessageBoxes::warningYesNo(this, QStringLiteral("警告"), text))
        m_calendar->deleteCalendar();
}

void TForm1::datupClick()
{
    const int index = m_calendar->calendars().selected();
    if (index > 0)
        m_calendar->moveCalendar(index, index - 1);
}

void TForm1::datdownClick()
{
    const int index = m_calendar->calendars().selected();
    if (index < m_calendar->calendars().count() - 1)
        m_calendar->moveCalendar(index, index + 1);
}

void TForm1::Data1Click()
{
    const CalendarListModel &list = m_calendar->calendars();
    m_menu.mnuall->setEnabled(list.count() != 1);
    m_menu.datup->setEnabled(list.selected() != 0);
    m_menu.datdown->setEnabled(list.selected() != list.count() - 1);
}

// ---- The other windows ------------------------------------------------------

void TForm1::mnuallClick()
{
    m_calendar->flush();
    QDate shown;
    {
        Tfrmall bulk(*m_calendar, this, this);
        bulk.exec();
        shown = bulk.BulkDate();
    }
    // The bulk input wrote into the files and the buffer alike; its date's month
    // is shown, read again from the file, as the buffer holds nothing more.
    m_calendar->switchTo(m_calendar->CurrentCalendarName(), shown.year(), shown.month(), OpenCalendar::Buffer::Discard,
                         OpenCalendar::Reread::Always);
}

BulkLook TForm1::bulkLook() const
{
    const DayCellPainter &painter = m_view->cellPainter();
    return {cbox1->height(), m_nameBar->listPointSize(), dg1->defaultColWidth(), painter.markColors(),
            painter.markLineWidth()};
}

hibi::MonthLayout TForm1::monthLayout(int year, int month) const
{
    return m_view->layoutOf(year, month);
}

void TForm1::storeBulkBounds(const WindowBounds &bounds)
{
    storeBounds(&ProgramSettings::bulkBounds, bounds, SettingsWriter::Bulk);
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
    m_settings.appearance = look;
    dg1->setDefaultRowHeight(dayRowHeight);
    lookChanged();
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
    OpenHelp(this, this, m_calendar->ProgramFolder());
}

void TForm1::storeHelpBounds(const WindowBounds &bounds)
{
    storeBounds(&ProgramSettings::helpBounds, bounds, SettingsWriter::Help);
}

void TForm1::mnuexportClick()
{
    if (m_exportFolder.isEmpty()) {
        m_exportFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!QFileInfo(m_exportFolder).isDir())
            m_exportFolder = QDir::homePath();
    }
    const QString folder = m_calendar->ProgramFolder();
    const QString target = ChooseSaveFile(
            this, QStringLiteral("CSV に書き出す"), QDir(m_exportFolder).filePath(QStringLiteral("ヒビシルシ.csv")),
            QStringLiteral("CSV ファイル (*.csv);;すべてのファイル (*)"), QStringLiteral("csv"),
            [&folder](const QString &path) { return ExportTargetProblem(path, folder); });
    if (target.isEmpty())
        return;
    m_exportFolder = QFileInfo(target).absolutePath();
    const CsvExport exported = ExportCalendars(*m_calendar, target);
    if (exported.unreadable.isEmpty())
        MessageBoxes::information(this, ExportReport(target, exported));
    else
        MessageBoxes::error(this, ExportReport(target, exported));
}

// The month shown or its year, as the view shows them: the marks in memory.
void TForm1::mnuprintClick()
{
    CalendarPrint::ofShown(*m_calendar, *m_view, m_settings.appearance).exec(this);
}

void TForm1::mnunoteClick()
{
    m_view->editNote(m_view->focusDay());
}

void TForm1::mnurestoreClick()
{
    TRestoreDialog dialog(*m_calendar, this);
    dialog.exec();
}

void TForm1::mnuversionClick()
{
    TAboutBox AboutBox(this);
    AboutBox.exec();
}

} // namespace hibi
