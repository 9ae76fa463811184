#pragma once

#include "calendar/Holidays.h"
#include "calendar/MonthGrid.h"
#include "calendar/MonthLayout.h"
#include "components/DrawGrid.h"
#include "components/Look.h"
#include "components/MarkPainter.h"
#include "settings/Settings.h"
#include "storage/YearMarks.h"
#include "tally/Tally.h"

#include <QFont>
#include <QMainWindow>

#include <functional>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class QToolBar;
class QToolButton;

namespace hibi {

class TForm3;
class TSingleInstance;
class Tform_jump;
class UpDown;

// The main window: one month of one calendar. It owns the program-wide state that
// the other windows read and change.
class TForm1 : public QMainWindow
{
    Q_OBJECT

public:
    // `programFolder` empty: the folder of the program file.
    explicit TForm1(const QString &programFolder = QString(), QWidget *parent = nullptr);
    ~TForm1() override;

    // Program-wide state.
    QString ProgramFolder;
    QString CurrentCalendarName;
    int DisplayYear = 0;
    int DisplayMonth = 0;
    YearMonthDay16 TodayDate;
    HolidayTable Holidays;
    Appearance Look;                 // fonts, colours, mark and frame settings
    MarkCounts Counts;               // the last tally's result
    int RangeState = 0;              // 0 idle, 1 waiting for the first day, 2 for the last
    RangePoint RangeStart;
    RangePoint RangeEnd;
    bool RangeBlink = false;
    bool LeftHeld = false;
    bool RightHeld = false;
    hibi::YearMarks YearMarks;       // the displayed year of the current calendar
    hibi::MonthLayout MonthLayout;   // the displayed month

    TSingleInstance *SingleInstance1 = nullptr;
    TForm3 *Form3 = nullptr;
    Tform_jump *form_jump = nullptr;

    // The year buffer and its calendar file. These throw FileError.
    QString CalendarPath() const;
    QString SettingsPath() const;
    void ClearYearMarks();
    void LoadYearMarks();
    void SaveYearMarks();

    void LayoutMonth();
    void LayoutHeader();
    void FormResize();
    // Takes new appearance fields into the cached fonts and colours and repaints.
    void ApplyAppearance();

    // Commands and events.
    void dg1DrawCell(QPainter &painter, int col, int row, const CellRect &rect);
    void dg1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
    void dg1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
    // Both month buttons: a month back or forward, a year with Shift.
    void stepMonth(int delta);
    void btnprvClick();
    void btnnextClick();
    void thismonthClick();
    void countallClick();
    void countpartClick();
    void FormClick();
    void Timer1Timer();
    void UpDown1Click();
    void cbox1Change(int index);
    void mnunewcaleClick();
    void changenameClick();
    void delcaleClick();
    void datupClick();
    void datdownClick();
    void Data1Click();
    void mnuallClick();
    void mnujumpClick();
    void setteiClick();
    void mnuhelpClick();
    void mnuversionClick();

    // For the bulk-input window: the calendar list and the month grid it sizes itself by.
    QStringList calendarNames() const;
    QComboBox *calendarList() const { return cbox1; }
    DrawGrid *monthGrid() const { return dg1; }
    // The mark colours of Look, as painted.
    const MarkColors &markColors() const { return m_colors.marks; }
    // Moves a calendar to another place in the list; the selected one stays selected.
    void moveCalendar(int from, int to);

    // Runs a command; a file error ends it and is shown to the user.
    bool runCommand(const std::function<void()> &command);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    void applyCaptionLook();
    void buildMenus();
    void buildControls();
    void readSettings();
    // Saves the year, then moves to another year (and month); false when the year
    // lies outside 1..9999, and then nothing changes.
    bool changeYear(int year, int month);
    void showMonth();
    void endRangeSelection();
    // The pressed tool button and the checked menu item of a range selection.
    void showRangeMode(bool on);
    int selectedIndex() const;
    // The data-name dialog on the current name: the name it accepted, or the same one.
    QString askDataName();

    QWidget *m_client = nullptr;
    QToolBar *ToolBar1 = nullptr;
    QToolButton *ToolButton2 = nullptr;
    QFrame *Panel1 = nullptr;
    QComboBox *cbox1 = nullptr;
    UpDown *UpDown1 = nullptr;
    QFrame *Panel0 = nullptr;
    QPushButton *btnprv = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *btnnext = nullptr;
    DrawGrid *dg1 = nullptr;
    QTimer *Timer1 = nullptr;
    QMenu *Data1 = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QAction *countpart = nullptr;
    QAction *mnuall = nullptr;
    QAction *datup = nullptr;
    QAction *datdown = nullptr;
    bool m_shown = false;

    // Cached from Look by ApplyAppearance, so painting allocates nothing.
    QFont m_youbiFont;
    QFont m_dayFont;
    struct
    {
        QColor youbiHoliday, youbiWeekday, youbiHolidayBack, youbiWeekdayBack;
        QColor dayHoliday, dayWeekday, dayHolidayBack, dayWeekdayBack, yohaku, today, window;
        MarkColors marks;
    } m_colors;
};

} // namespace hibi
