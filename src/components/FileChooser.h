#pragma once

#include <QString>

class QWidget;

namespace hibi {

// Asks where to save a file, in Qt's own chooser rather than the desktop's, so
// that it speaks Japanese on every desktop; an existing file is replaced only
// when the user says so. `suggested` is the path it opens with, `filter` such as
// "CSV ファイル (*.csv)", and `suffix` is added to a name typed without one.
// Returns the chosen path, or an empty string when cancelled.
QString ChooseSaveFile(QWidget *parent, const QString &caption, const QString &suggested, const QString &filter,
                       const QString &suffix);

} // namespace hibi
