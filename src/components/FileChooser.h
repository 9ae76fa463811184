#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace hibi {

// Why a chosen path cannot be taken, or nothing when it can.
using PathRefusal = std::function<std::optional<QString>(const QString &path)>;

// Asks where to save a file, in Qt's own chooser rather than the desktop's, so
// that it speaks Japanese on every desktop; an existing file is replaced only
// when the user says so. `suggested` is the path it opens with, `filter` such as
// "CSV ファイル (*.csv)", and `suffix` is added to a name typed without one. A
// path that `refuse` turns down is said before anything else is asked, and the
// chooser stays open with the name. Returns the chosen path, or an empty string
// when cancelled.
QString ChooseSaveFile(QWidget *parent, const QString &caption, const QString &suggested, const QString &filter,
                       const QString &suffix, const PathRefusal &refuse = {});

} // namespace hibi
