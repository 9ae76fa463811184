#pragma once

// The windows a user opens from the main window, and beside each its floor: the
// same picture built plainly from what is already in memory, without the
// program's logic. Each opening runs from the command to the painted window and
// its close, so the in-process benchmark and the callgrind probe measure the
// same thing.

#include "settings/Settings.h"
#include "tally/MonthCounts.h"

#include <QColor>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

#include <array>
#include <memory>

class QWidget;

namespace hibi::bench {

// Shows a window and runs the event loop until it has painted; false when it
// did not within seconds.
bool ShowUntilPainted(QWidget *window);
// The same, then closes the window and deletes it.
bool ShowPaintAndClose(QWidget *window);

// The main window's part before any other window opens: a window of its size
// that has painted a Japanese caption in the program's face, so the fallback
// font is loaded. Shown while it lives; null when it did not paint.
std::unique_ptr<QWidget> ShowMainStandIn();

// What the floors take from memory: the look of a first start, as colours.
struct FloorLook
{
    Appearance appearance;
    std::array<QColor, 3> marks;   // ○ × △
    QColor headerBack[2], headerText[2], dayBack[2], dayText[2];
    QColor yohaku, today, window, caption;
};

class WindowScene
{
public:
    // A program folder with one calendar holding a year of marks. Needs the
    // QApplication.
    WindowScene();
    ~WindowScene();

    // Each returns false when the window did not paint.
    bool openYearChart();
    bool openYearChartFloor();
    bool openHelp();
    bool openHelpFloor();
    bool openSettings();
    bool openSettingsFloor();

    static constexpr int kYear = 2026;
    // The stored sizes of a first start, which the offscreen screen holds whole.
    static constexpr QSize kChartSize{800, 500};
    static constexpr QSize kHelpSize{620, 560};
    static constexpr int kDayColumnWidth = 44;

private:
    struct Hosts;
    QTemporaryDir m_dir;
    QString m_folder;
    QString m_calendarPath;
    YearCounts m_counts;
    FloorLook m_look;
    std::unique_ptr<Hosts> m_hosts;
};

} // namespace hibi::bench
