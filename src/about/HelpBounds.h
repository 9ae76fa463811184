#pragma once

#include "settings/Settings.h"

namespace hibi {

// Where the help window opens the first time: beside a main window at its
// default place.
inline constexpr WindowBounds kHelpDefaultBounds{110, 550, 560, 620};

// The help window's place in the settings file: section [help], keys top, left
// (the frame's corner) and width, height (the inside). Each call loads the file
// once; the write also saves it once, keeping every other line as it was. Both
// throw FileError.
WindowBounds ReadHelpBounds(const QString &iniPath);
void WriteHelpBounds(const QString &iniPath, const WindowBounds &bounds);

} // namespace hibi
