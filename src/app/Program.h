#pragma once

#include <functional>

class QApplication;

namespace hibi {

class TForm1;

// The program from start to end: the application's name and icon, the main
// window (which ends at once in a second start) and the event loop. `shown` runs once the main window is shown; the start-up benchmark uses
// it to stop after the first paint. Returns the exit code.
int RunProgram(int argc, char *argv[], const std::function<void(TForm1 &)> &shown = {});

// What the program tells the application object: its name (which names the data
// folder and the window class), version, desktop entry and icon, and Qt's own
// words in Japanese.
void SetUpApplication(QApplication &app);

} // namespace hibi
