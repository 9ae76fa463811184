#pragma once

// The settings as the windows take them: a month view laid out and painted in
// their look, the day cells in every state, the year chart with its glyphs,
// the settings dialog's previews, and every window placed by its stored
// bounds. Offscreen; whatever a number holds, nothing may overflow or fault.

#include "app/MonthView.h"
#include "components/DayCellPainter.h"
#include "components/Look.h"
#include "settings/Settings.h"
#include "dialogs/settei.h"
#include "storage/Catalogue.h"
#include "storage/OpenCalendar.h"
#include "dialogs/YearChart.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

namespace hibi::fuzz {

// Made on the first input and kept for the next ones; whoever runs the inputs
// takes it down at the end (hibiFuzzFinish), while Qt's own statics still live.
inline QApplication *&application()
{
    static QApplication *app = nullptr;
    return app;
}

inline void ensureApplication()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    if (application())
        return;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    application() = new QApplication(argc, argv);
}

inline void finishApplication()
{
    delete application();
    application() = nullptr;
}

class PreviewHost : public SettingsDialogHost
{
public:
    explicit PreviewHost(const Appearance &look) : m_look(look) {}
    const Appearance &appearance() const override { return m_look; }
    int dayColumnWidth() const override { return 40; }
    void applyAppearance(const Appearance &, int) override {}

private:
    Appearance m_look;
};

inline void paintWithSettings(const ProgramSettings &s)
{
    ensureApplication();
    QImage image(320, 320, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&image);
        DayCellPainter cells;
        cells.setLook(s.appearance);
        const CellRect rect{10, 10, 60, 50};
        for (int col = 0; col < 7; ++col)
            cells.paintHeader(p, rect, col);
        for (int mark = 0; mark < 5; ++mark) {
            DayCellState cell{mark == 4 ? 0 : 31, mark % 2 == 0, std::uint8_t(mark), true, true, mark == 3, mark == 2};
            cells.paintDay(p, rect, cell);
        }

        OpenCalendar calendar(QStringLiteral("/nonexistent-hibi-fuzz/"));
        calendar.switchTo(kFirstCalendarName, 2026, 2, OpenCalendar::Buffer::Discard, OpenCalendar::Reread::Always);
        MonthView view(calendar);
        view.setLook(s.appearance);
        view.resize(300, 300);
        view.fitCells();
        view.render(&p);

        YearChartView chart;
        chart.setLook({cells.markColors(), s.appearance.MarkLineWidth});
        YearCounts counts;
        counts.year = 2026;
        counts.months[1] = {3, 2, 1};
        chart.setCounts(counts);
        chart.resize(chart.minimumSizeHint());
        chart.render(&p);
    }
    PreviewHost host(s.appearance);
    Tfrmsettei settings(&host);
    settings.show();
    (void)settings.grab();
    settings.close();
    for (const WindowBounds &bounds : {s.bounds, s.bulkBounds, s.helpBounds, s.chartBounds})
        (void)PlaceOnScreen(bounds, QSize(200, 150), QSize(8, 30));
}

} // namespace hibi::fuzz
