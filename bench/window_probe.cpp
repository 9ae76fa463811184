// One opening of a window or of its floor, for callgrind to count: the bench
// runs it under --toggle-collect=hibi_probe_open, so only the opening counts,
// from the command to the painted window and its close. Before it, as in the
// program, the application is set up and a main window has painted Japanese
// text; "again" opens the same window once before the counted opening.
//
//   window_probe chart|help|settings ours|floor first|again
#include "WindowFloors.h"

#include "app/Program.h"

#include <QApplication>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <memory>

using hibi::bench::WindowScene;

using Opening = bool (WindowScene::*)();

extern "C" __attribute__((noinline)) bool hibi_probe_open(WindowScene &scene, Opening open)
{
    return (scene.*open)();
}

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: window_probe chart|help|settings ours|floor first|again\n");
        return 2;
    }
    const bool ours = std::strcmp(argv[2], "ours") == 0;
    Opening open = nullptr;
    if (std::strcmp(argv[1], "chart") == 0)
        open = ours ? &WindowScene::openYearChart : &WindowScene::openYearChartFloor;
    else if (std::strcmp(argv[1], "help") == 0)
        open = ours ? &WindowScene::openHelp : &WindowScene::openHelpFloor;
    else if (std::strcmp(argv[1], "settings") == 0)
        open = ours ? &WindowScene::openSettings : &WindowScene::openSettingsFloor;
    if (!open)
        return 2;

    QApplication app(argc, argv);
    hibi::SetUpApplication(app);
    const std::unique_ptr<QWidget> main = hibi::bench::ShowMainStandIn();
    if (!main)
        return 1;
    WindowScene scene;
    if (std::strcmp(argv[3], "again") == 0 && !(scene.*open)())
        return 1;
    return hibi_probe_open(scene, open) ? 0 : 1;
}
