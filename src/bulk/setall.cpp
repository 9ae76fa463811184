#include "bulk/setall.h"

#include "calendar/Clock.h"
#include "calendar/SpokenDay.h"
#include "components/DrawGrid.h"
#include "components/Look.h"
#include "components/StandardGlyph.h"
#include "components/MessageBoxes.h"
#include "storage/CalendarFile.h"
#include "storage/FileError.h"
#include "storage/MarkGesture.h"
#include "storage/OpenCalendar.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QEvent>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTextCharFormat>
#include <QToolBar>

namespace hibi {

namespace {
const QColor kMoneyGreen(192, 220, 192);
}

Tfrmall::Tfrmall(OpenCalendar &calendar, BulkInputHost *host, QWidget *parent)
    : QDialog(parent), m_calendar(calendar), m_host(host)
{
    setObjectName(QStringLiteral("frmall"));
    setWindowTitle(QStringLiteral("データの一括入力"));
    setGeometry(351, 150, 406, 313);
    setFont(PixelFont(12));
    SetBackground(this, ToQColor(clBtnFace));

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setGeometry(0, 0, 406, 33);
    ToolBar1->setMovable(false);
    DateTimePicker1 = new QDateEdit(ToolBar1);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setCalendarPopup(true);
    DateTimePicker1->setDisplayFormat(QLocale::system().dateFormat(QLocale::ShortFormat));
    DateTimePicker1->setDateRange(QDate(kFirstYear, 1, 1), QDate(kLastYear, 12, 31));
    DateTimePicker1->setFont(PixelFont(16));
    DateTimePicker1->setGeometry(0, 2, 113, 24);
    DateTimePicker1->setMinimumWidth(113);
    DateTimePicker1->setAccessibleName(QStringLiteral("日付"));
    ToolBar1->addWidget(DateTimePicker1);
    DateTimePicker1->installEventFilter(this);

    dgall = new DrawGrid(this);
    dgall->setObjectName(QStringLiteral("dgall"));
    dgall->move(0, 35);
    dgall->setColCount(2);
    dgall->setFixedRows(0);
    dgall->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    dgall->setMarginColor(Qt::white);
    dgall->viewport()->installEventFilter(this);
    dgall->setDrawCell([this](QPainter &p, int col, int row, const CellRect &r) { dgallDrawCell(p, col, row, r); });
    connect(dgall, &DrawGrid::mouseDown, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers, QPoint p) { dgallMouseDown(b, p); });
    // Up and Down go from calendar to calendar; the mark keys are the month view's.
    dgall->setFocusPolicy(Qt::StrongFocus);
    dgall->setCellNames(this);
    connect(dgall, &DrawGrid::keyDown, this, [this](int key, Qt::KeyboardModifiers) { dgallKeyDown(key); });
    connect(dgall, &DrawGrid::mouseMove, this, [this](Qt::MouseButtons, Qt::KeyboardModifiers, QPoint p) { dgallMouseMove(p); });
    connect(dgall, &DrawGrid::mouseUp, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers, QPoint p) { dgallMouseUp(b, p); });

    BitBtn1 = new QPushButton(StandardGlyph(QStyle::SP_DialogCloseButton), QStringLiteral("閉じる(&C)"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->resize(81, 33);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    // The main window's undo items are out of reach while this window is open.
    for (const QKeySequence &keys : QKeySequence::keyBindings(QKeySequence::Undo))
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &Tfrmall::undoClick);
    for (const QKeySequence &keys : {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &Tfrmall::redoClick);

    // Placed before it is shown: placed later, a window manager would take the
    // position as the inside's, and the window would creep up by its title bar
    // at every opening.
    m_placement = WindowPlacement(m_host->bulkBounds(), QSize(200, 150), parent);
    m_placement.apply(this);
}

Tfrmall::~Tfrmall()
{
    dgall->setCellNames(nullptr);   // the list outlives this part of the window
}

QDate Tfrmall::BulkDate() const
{
    return DateTimePicker1->date();
}

void Tfrmall::showEvent(QShowEvent *event)
{
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
    QDialog::showEvent(event);
}

void Tfrmall::FormShow()
{
    m_look = m_host->bulkLook();
    m_painter.setMarks(m_look.marks, m_look.markLineWidth);
    const int rows = m_calendar.calendars().count();
    m_bulkMarks.assign(size_t(rows), 0);
    // Names in the calendar list's size; the painting takes the grid's font.
    QFont nameFont = dgall->font();
    nameFont.setPointSize(m_look.namePointSize);
    dgall->setFont(nameFont);
    dgall->setDefaultRowHeight(m_look.rowHeight);
    dgall->setColWidth(1, m_look.markColumnWidth);
    dgall->setRowCount(rows);
    layout();

    const YearMonthDay16 today = Today();
    {
        const QSignalBlocker quiet(DateTimePicker1);
        DateTimePicker1->setDate(QDate(today.year, today.month, today.day));
    }
    connect(DateTimePicker1, &QDateEdit::dateChanged, this, &Tfrmall::DateTimePicker1Change, Qt::UniqueConnection);
    LoadBulkMarks();
    DragFrom = -1;
    Dragging = false;
}

void Tfrmall::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    layout();
    dgall->viewport()->update();
}

void Tfrmall::layout()
{
    ToolBar1->resize(width(), ToolBar1->height());
    dgall->resize(width(), std::max(0, height() - 85));
    fitNameColumn();
    BitBtn1->move(width() - BitBtn1->width() - 5, dgall->y() + dgall->height() + 10);
}

// The names take what the mark column leaves of the list's inside, which the
// scroll bar narrows when it comes.
void Tfrmall::fitNameColumn()
{
    dgall->setColWidth(0, dgall->clientWidth() - dgall->colWidth(1) - 2);
}

bool Tfrmall::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == dgall->viewport() && event->type() == QEvent::Resize)
        fitNameColumn();
    // Before the picker opens its calendar, by the mouse or by F4 / Alt+Down.
    if (watched == DateTimePicker1 && !m_popupReady
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress))
        prepareDatePopup();
    return QDialog::eventFilter(watched, event);
}

void Tfrmall::prepareDatePopup()
{
    m_popupReady = true;
    QCalendarWidget *calendar = DateTimePicker1->calendarWidget();
    calendar->setObjectName(QStringLiteral("DatePopup"));
    // Japanese month and weekday names, the week from Sunday as in the month view.
    calendar->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    calendar->setFirstDayOfWeek(Qt::Sunday);
    QTextCharFormat holiday = calendar->weekdayTextFormat(Qt::Sunday);
    holiday.setForeground(QColor(Qt::red));
    calendar->setWeekdayTextFormat(Qt::Sunday, holiday);
    calendar->setWeekdayTextFormat(Qt::Saturday, calendar->weekdayTextFormat(Qt::Monday));
    connect(calendar, &QCalendarWidget::currentPageChanged, this, &Tfrmall::colourPopupPage);
    colourPopupPage(calendar->yearShown(), calendar->monthShown());
}

void Tfrmall::colourPopupPage(int year, int month)
{
    QCalendarWidget *calendar = DateTimePicker1->calendarWidget();
    calendar->setDateTextFormat(QDate(), QTextCharFormat());   // forgets the page before
    QTextCharFormat holiday;
    holiday.setForeground(QColor(Qt::red));
    // The page shows the ends of the months before and after too.
    const QDate shown(year, month, 1);
    for (int step = -1; step <= 1; ++step) {
        const QDate first = shown.addMonths(step);
        if (first.year() < kFirstYear || first.year() > kLastYear)
            continue;
        const MonthLayout layout = m_host->monthLayout(first.year(), first.month());
        for (int col = 1; col < kColumns; ++col)   // Sundays are red by their weekday
            for (int row = 1; row < layout.rowCount; ++row)
                if (const DayCell &cell = layout.at(col, row); cell.day && cell.holiday)
                    calendar->setDateTextFormat(QDate(first.year(), first.month(), cell.day), holiday);
    }
}

void Tfrmall::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void Tfrmall::FormClose()
{
    // What the window was placed by stays as it was stored until the user moves
    // or sizes the window: bounds brought onto the screen are not written back.
    m_host->storeBulkBounds(m_placement.atClose(this));
}

void Tfrmall::DateTimePicker1Change()
{
    LoadBulkMarks();
}

void Tfrmall::LoadBulkMarks()
{
    const QDate date = BulkDate();
    const GridCell cell = CellOfDay(date.year(), date.month(), date.day());
    QStringList problems;
    auto readAll = [&] {
        for (int i = 0; i < int(m_bulkMarks.size()); ++i) {
            try {
                const YearMarks marks = ReadYearMarks(m_calendar.calendarPath(nameOf(i)), date.year());
                m_bulkMarks[size_t(i)] = marks.at(date.month(), cell.col, cell.row);
            } catch (const FileError &e) {
                // The other calendars still show their marks.
                m_bulkMarks[size_t(i)] = 0;
                problems << e.message();
            }
        }
    };
    try {
        m_calendar.readFiles(readAll);
    } catch (const FileError &e) {
        // The shown year could not be written back first: the rows show the files.
        problems << e.message();
        readAll();
    }
    if (!problems.isEmpty())
        MessageBoxes::error(this, problems.join(QLatin1Char('\n')));
    dgall->viewport()->update();
    dgall->allNamesChanged();
}

QString Tfrmall::nameOf(int row) const
{
    return m_calendar.calendars().name(row);
}

bool Tfrmall::WriteBulkMark(int index, std::uint8_t mark)
{
    const QDate date = BulkDate();
    try {
        m_calendar.writeDayMark(nameOf(index), date.year(), date.month(), date.day(), mark);
        m_bulkMarks[size_t(index)] = mark;
        return true;
    } catch (const FileError &e) {
        MessageBoxes::error(this, e.message());   // the other calendars are not touched
        return false;
    }
}

void Tfrmall::changeBulkMark(int row, std::uint8_t mark)
{
    setFocusRow(row);
    WriteBulkMark(row, mark);
    dgall->viewport()->update();
    dgall->cellNameChanged(1, row);
}

void Tfrmall::setFocusRow(int row)
{
    if (row == m_focusRow)
        return;
    m_focusRow = row;
    dgall->focusCellMoved();
}

void Tfrmall::undoClick()
{
    showChange(&OpenCalendar::undo);
}

void Tfrmall::redoClick()
{
    showChange(&OpenCalendar::redo);
}

void Tfrmall::showChange(std::optional<MarkChange> (OpenCalendar::*step)(OpenCalendar::Changes))
{
    std::optional<MarkChange> change;
    try {
        change = (m_calendar.*step)(OpenCalendar::Changes::BulkInput);
    } catch (const FileError &e) {
        MessageBoxes::error(this, e.message());
    }
    if (!change)
        return;
    const QDate date(change->year, change->month, change->day);
    if (date != BulkDate())
        DateTimePicker1->setDate(date);   // reads the marks of that date
    else
        LoadBulkMarks();
    const int row = m_calendar.calendars().indexOf(change->calendar);
    if (row >= 0) {
        setFocusRow(row);
        dgall->scrollToRow(row);
    }
    dgall->viewport()->update();
}

void Tfrmall::dgallKeyDown(int key)
{
    const int rows = int(m_bulkMarks.size());
    if (rows == 0)
        return;
    auto toggle = [&](Mark target) { changeBulkMark(m_focusRow, ToggleMark(m_bulkMarks[size_t(m_focusRow)], target)); };
    switch (key) {
    case Qt::Key_Up: setFocusRow(std::max(0, m_focusRow - 1)); break;
    case Qt::Key_Down: setFocusRow(std::min(rows - 1, m_focusRow + 1)); break;
    case Qt::Key_Space:
    case Qt::Key_1: toggle(Maru); break;
    case Qt::Key_2: toggle(Batu); break;
    case Qt::Key_3: toggle(Sankaku); break;
    case Qt::Key_Delete: changeBulkMark(m_focusRow, NoMark); break;
    default: return;
    }
    dgall->scrollToRow(m_focusRow);
    dgall->viewport()->update();
}

void Tfrmall::dgallDrawCell(QPainter &painter, int col, int row, const CellRect &rect)
{
    painter.fillRect(rect.toRect(), row % 2 == 1 ? kMoneyGreen : QColor(Qt::white));
    painter.setPen(Qt::black);
    const QString name = nameOf(row);
    const QRect textRect = rect.toRect().adjusted(2, 0, 0, 0);
    if (col == 0)
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);
    if (col == 1 && row < int(m_bulkMarks.size())) {
        m_painter.paintMark(painter, rect, m_bulkMarks[size_t(row)]);
        if (row == m_focusRow && dgall->hasFocus())
            m_painter.paintFocus(painter, rect, DayCellPainter::FocusColor::Plain);
    }
    if (Dragging && col == 0) {
        if (row == DragFrom) {
            painter.fillRect(rect.toRect(), palette().color(QPalette::Highlight));
            painter.setPen(Qt::white);
            painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);
        }
        if (row == DragTo)
            painter.fillRect(rect.left + 3, rect.bottom - 3, rect.right - rect.left - 6, 2, Qt::black);
    }
}

int Tfrmall::rowAt(QPoint pos) const
{
    int col = 0;
    int row = -1;
    return dgall->cellAt(pos, &col, &row) ? row : -1;
}

void Tfrmall::dgallMouseDown(Qt::MouseButton button, QPoint pos)
{
    int col = 0;
    int row = 0;
    if (!dgall->cellAt(pos, &col, &row) || row >= int(m_bulkMarks.size()))
        return;
    setFocusRow(row);   // the keys go on with the calendar clicked, on its name or its mark
    if (col == 0) {
        DragFrom = row;
        DragTo = row;
        Dragging = true;
        dgall->viewport()->update();
        return;
    }
    changeBulkMark(row, PressMark(m_bulkMarks[size_t(row)], button, BulkLeftHeld, BulkRightHeld));
}

void Tfrmall::dgallMouseMove(QPoint pos)
{
    if (!Dragging)
        return;
    DragTo = rowAt(pos);
    dgall->viewport()->update();
}

void Tfrmall::dgallMouseUp(Qt::MouseButton button, QPoint pos)
{
    int col = 0;
    int row = 0;
    const bool onCell = dgall->cellAt(pos, &col, &row) && row < int(m_bulkMarks.size());
    Dragging = false;
    if (onCell && col == 0 && DragFrom != -1 && row != DragFrom) {
        m_calendar.moveCalendar(DragFrom, row);
        const std::uint8_t mark = m_bulkMarks[size_t(DragFrom)];
        m_bulkMarks.erase(m_bulkMarks.begin() + DragFrom);
        m_bulkMarks.insert(m_bulkMarks.begin() + row, mark);
        dgall->allNamesChanged();
        setFocusRow(CalendarListModel::indexAfterMove(m_focusRow, DragFrom, row));
    } else {
        ReleaseButton(button, BulkLeftHeld, BulkRightHeld);
    }
    DragFrom = -1;
    dgall->viewport()->update();
}

// ---- What screen readers hear ------------------------------------------------

QString Tfrmall::gridName() const
{
    const QDate date = BulkDate();
    return QStringLiteral("%1年%2月%3日の各データの印").arg(date.year()).arg(date.month()).arg(date.day());
}

QString Tfrmall::cellName(int col, int row) const
{
    if (row < 0 || row >= int(m_bulkMarks.size()))
        return QString();
    // The mark is said with its calendar's name: the row heard at once.
    return col == 0 ? nameOf(row) : nameOf(row) + QLatin1Char(' ') + MarkWord(m_bulkMarks[size_t(row)]);
}

bool Tfrmall::focusCell(int *col, int *row) const
{
    if (m_focusRow >= int(m_bulkMarks.size()))
        return false;
    *col = 1;
    *row = m_focusRow;
    return true;
}

} // namespace hibi
