#pragma once

#include <QIcon>

namespace hibi {

// The program's picture at every size it is drawn in (16 to 256 pixels): the same
// images the desktop shows in its menu.
QIcon ProgramIcon();

} // namespace hibi
