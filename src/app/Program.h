#pragma once

#include <functional>

namespace hibi {

class TForm1;

// The program from start to end: the application's name and icon, the main
// window (which ends at once in a second start) and the event loop. `shown` runs once the main window is shown; the start-up benchmark uses
// it to stop after the first paint. Returns the exit code.
int RunProgram(int argc, char *argv[], const std::function<void(TForm1 &)> &shown = {});

} // namespace hibi
