#pragma once

#include "about/HelpWindow.h"
#include "app/MainMenu.h"
#include "bulk/setall.h"
#include "settings/Settings.h"
#include "dialogs/settei.h"
#include "tally/Tally.h"
#include "dialogs/YearChart.h"

#include <QMainWindow>

#include <functional>

class QComboBox;
class QToolBar;
class QToolButton;

namespace hibi {

class DrawGrid;
class MonthView;
class NameBar;
class NavigationBar;
class OpenCalendar;
class TForm3;
class Tform_jump;

// The main window: the shell around the month view of the open calendar. It
// holds the menus, the tool bar, the calendar list box and the month caption,
// runs the commands, hosts the other windows and keeps the settings from start
// to close. The open calendar owns what is shown and its marks; the month view
// draws it and takes the mouse and keys on the grid.
class TForm1 : public QMainWindow, public BulkInputHost, public SettingsDialogHost, public HelpHost,
               public YearChartHost
{
    Q_OBJECT

public:
    // `programFolder` empty: where the program keeps its files (ChooseProgramFolder).
    explicit TForm1(const QString &programFolder = QString(), QWidget *parent = nullptr);
    ~TForm1() override;

    const OpenCalendar &calendar() const { return *m_calendar; }
    OpenCalendar &calendar() { return *m_calendar; }
    MonthView *monthView() const { return m_view; }
    // The settings as read at start and as last written.
    const ProgramSettings &settings() const { return m_settings; }

    QString SettingsPath() const;

    void LayoutHeader();
    void FormResize();

    // Commands and events; the grid's are the month view's, run here so that a
    // file error ends them with a message.
    void dg1DrawCell(QPainter &painter, int col, int row, const CellRect &rect);
    void dg1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
    void dg1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
    void dg1KeyDown(int key, Qt::KeyboardModifiers shift);
    void btnprvClick();
    void btnnextClick();
    void thismonthClick();
    void countallClick();
    void countpartClick();
    void mnuchartClick();
    void mnuexportClick();
    void mnuprintClick();
    // The note of the day with the keyboard's focus cell (a middle click puts it
    // on a day without marking it).
    void mnunoteClick();
    void mnurestoreClick();
    void FormClick();
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

    // For the bulk-input window.
    BulkLook bulkLook() const override;
    hibi::MonthLayout monthLayout(int year, int month) const override;
    WindowBounds bulkBounds() const override { return m_settings.bulkBounds; }
    void storeBulkBounds(const WindowBounds &bounds) override;

    // For the settings dialog.
    const Appearance &appearance() const override { return m_settings.appearance; }
    int dayColumnWidth() const override;
    void applyAppearance(const Appearance &look, int dayRowHeight) override;

    // For the help window.
    WindowBounds helpBounds() const override { return m_settings.helpBounds; }
    void storeHelpBounds(const WindowBounds &bounds) override;

    // For the year chart.
    ChartLook chartLook() const override;
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
    // The month view's look and the caption's, made again from the settings.
    void lookChanged();
    void applyCaptionLook();
    void fitMinimumSize();
    void showMonthCaption(const QString &caption);
    // The undo and redo items say what they would do.
    void historyChanged();
    // The pressed tool button and the checked menu item of a range selection.
    void showRangeMode(bool on);
    void rangeTally(RangePoint &start, RangePoint &end);
    // The data-name dialog on the current name: the name it accepted, or the same one.
    QString askDataName(bool renaming);
    void saveSettings(SettingsWriter writer);
    void storeBounds(WindowBounds ProgramSettings::*which, const WindowBounds &bounds, SettingsWriter writer);

    OpenCalendar *m_calendar;
    SettingsStore m_settingsStore;
    ProgramSettings m_settings;
    WindowPlacement m_placement;
    QString m_exportFolder;   // where the last export went, for the next one
    MarkCounts Counts;        // the last tally's result
    TForm3 *Form3 = nullptr;
    Tform_jump *form_jump = nullptr;
    bool m_shown = false;

    QWidget *m_client = nullptr;
    QToolBar *ToolBar1 = nullptr;
    QToolButton *ToolButton2 = nullptr;
    NameBar *m_nameBar = nullptr;
    QComboBox *cbox1 = nullptr;   // the name bar's calendar list
    NavigationBar *m_navigation = nullptr;
    MonthView *m_view = nullptr;
    DrawGrid *dg1 = nullptr;
    MainMenu m_menu;
};

} // namespace hibi
