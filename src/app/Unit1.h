#pragma once

#include "about/HelpWindow.h"
#include "bulk/setall.h"
#include "calendar/Holidays.h"
#include "calendar/MonthGrid.h"
#include "calendar/MonthLayout.h"
#include "components/DrawGrid.h"
#include "components/Look.h"
#include "components/MarkPainter.h"
#include "settings/Settings.h"
#include "settings/settei.h"
#include "storage/MarkHistory.h"
#include "storage/YearMarks.h"
#include "tally/RangeSelection.h"
#include "tally/Tally.h"
#include "tally/YearChart.h"

#include <QBrush>
#include <QFont>
#include <QRect>
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

// The main window: one month of one calendar. It owns the program-wide state; the
// bulk-input window, the settings dialog, the help and the year chart reach it
// through their host interfaces only.
class TForm1 : public QMainWindow, public BulkInputHost, public SettingsDialogHost, public HelpHost,
               public YearChartHost
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
    MarkCounts Counts;               // the last tally's result
    RangeSelection Range;            // the range picked for the range tally
    bool LeftHeld = false;
    bool RightHeld = false;
    hibi::YearMarks YearMarks;       // the displayed year of the current calendar
    hibi::MonthLayout MonthLayout;   // the displayed month
    MarkHistory History;             // the mark changes of this run, for undo and redo

    TSingleInstance *SingleInstance1 = nullptr;
    TForm3 *Form3 = nullptr;
    Tform_jump *form_jump = nullptr;

    // The settings as read at start and as last written; Look is the appearance
    // in effect.
    const ProgramSettings &settings() const { return m_settings; }
    const Appearance &Look = m_settings.appearance;

    QString CalendarPath() const;
    QString SettingsPath() const;

    void LayoutMonth();
    void LayoutHeader();
    void FormResize();

    // Commands and events.
    void dg1DrawCell(QPainter &painter, int col, int row, const CellRect &rect);
    void dg1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
    void dg1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
    // Keys on the month grid: arrows, Home and End move the keyboard's cell (into
    // the next month or year past the ends), PageUp and PageDown step a month (a
    // year with Shift), Space or 1, 2, 3 toggle ○ × △, Delete clears; in range
    // mode Space or Enter picks the day and Esc leaves the mode.
    void dg1KeyDown(int key, Qt::KeyboardModifiers shift);
    void btnprvClick();
    void btnnextClick();
    void thismonthClick();
    void countallClick();
    void countpartClick();
    void mnuchartClick();
    void mnuexportClick();
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
    // Ctrl+Z and Ctrl+Y: the last mark change taken back or made again, in the
    // month view (which goes to its month first) or in the file (bulk input).
    void undoClick();
    void redoClick();

    // The calendar list, in its order.
    QStringList calendarNames() const override;
    // Moves a calendar to another place in the list; the selected one stays selected.
    void moveCalendar(int from, int to) override;

    // For the bulk-input window.
    QString calendarPath(const QString &name) const override;
    BulkLook bulkLook() const override;
    hibi::MonthLayout monthLayout(int year, int month) const override;
    WindowBounds bulkBounds() const override;
    void storeBulkBounds(const WindowBounds &bounds) override;
    void recordBulkChange(const MarkChange &change) override;

    // For the settings dialog.
    const Appearance &appearance() const override { return Look; }
    int dayColumnWidth() const override;
    void applyAppearance(const Appearance &look, int dayRowHeight) override;

    // For the help window.
    WindowBounds helpBounds() const override { return m_settings.helpBounds; }
    void storeHelpBounds(const WindowBounds &bounds) override;

    // For the year chart.
    ChartLook chartLook() const override { return {m_colors.marks, Look.MarkLineWidth}; }
    WindowBounds chartBounds() const override { return m_settings.chartBounds; }
    void storeChartBounds(const WindowBounds &bounds) override;

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
    void buildMenus();
    void buildControls();
    void readSettings();
    // The fonts and colours the painting uses, made again from Look, and the
    // geometry that follows them.
    void lookChanged();
    void applyCaptionLook();

    // What happens to the year buffer when the view leaves it.
    enum class Buffer
    {
        Save,      // written back first; when the new year cannot be read, the view stays
        Discard,   // gone (a deleted calendar), written already or stale (after bulk input);
                   // when the new year cannot be read, it is shown as not loaded
    };
    enum class Reread { WhenLeaving, Always };
    // The one way the view moves: to another month, year or calendar. Whenever the
    // year or the calendar changes (or `reread` says so, or the shown year is not
    // loaded), the year buffer is handled as `buffer` says and the new year is read
    // before anything changes; then calendar, year, month, marks and the list's
    // selection change together and the month is laid out and painted. Returns
    // false, changing nothing, for a year outside 1..9999; file errors are thrown
    // as FileError.
    bool switchTo(const QString &calendar, int year, int month, Buffer buffer = Buffer::Save,
                  Reread reread = Reread::WhenLeaving);
    // Writes the year buffer to the current calendar's file, unless it never loaded.
    void saveYear();
    // Whether the shown year's marks came from the file; if not, marks cannot be set.
    bool yearLoaded() const { return m_yearLoaded; }
    void showMonth();
    // A month back or forward, or a year.
    void stepMonth(int delta, bool wholeYear);
    void moveFocus(int days);
    void resetFocusDay();

    // The three things a press on a day cell can do.
    void markCell(int col, int row, Qt::MouseButton button);
    // The one way a mark of the month shown changes by hand: recorded for undo.
    void setMark(int col, int row, std::uint8_t mark);
    void keyMark(Mark mark);
    void pickRangeStart(int col, int row, int day);
    void pickRangeEnd(int col, int row, int day);
    void endRangeSelection();
    // The pressed tool button and the checked menu item of a range selection.
    void showRangeMode(bool on);

    int selectedIndex() const;
    // The data-name dialog on the current name: the name it accepted, or the same one.
    QString askDataName(bool renaming);
    // Tells, once for each year shown, that marks cannot be set in a year that did not load.
    void tellYearNotLoaded();
    // False when nothing could be applied (the year did not load).
    bool applyChange(const MarkChange &change, std::uint8_t mark);
    // The undo and redo items say what they would do.
    void historyChanged();
    void saveSettings(SettingsWriter writer);

    SettingsStore m_settingsStore;
    ProgramSettings m_settings;
    bool m_yearLoaded = true;
    int m_focusDay = 1;   // the day with the keyboard's focus in the month shown
    bool m_toldNotLoaded = false;
    WindowPlacement m_placement;
    QString m_exportFolder;   // where the last export went, for the next one

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
    QAction *mnuundo = nullptr;
    QAction *mnuredo = nullptr;
    bool m_shown = false;

    // Made from Look by lookChanged, so painting allocates nothing.
    QFont m_youbiFont;
    QFont m_dayFont;
    struct
    {
        QColor youbiHoliday, youbiWeekday, youbiHolidayBack, youbiWeekdayBack;
        QColor dayHoliday, dayWeekday, dayHolidayBack, dayWeekdayBack, yohaku, today, window;
        MarkColors marks;
    } m_colors;
    QBrush m_notLoadedBrush;
};

} // namespace hibi
