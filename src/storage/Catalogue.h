#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace hibi {

// The names, extension included, of the calendar files "*.hsd" in a folder, sorted
// by name. Only exact lower-case ".hsd" counts: on a case-sensitive file system an
// "A.HSD" would not be the file that "A" reads and writes.
QStringList ScanCalendarFiles(const QString &folder);

struct CalendarList
{
    QStringList names;
    int selected = 0;
};

// The list at start: the saved order first (names without a file dropped), then
// the other files as found; the last selection is selected when it is among the
// saved names, else the first entry. Without any file, the single "カレンダー1".
// `found` holds names without their extension.
CalendarList BuildCalendarList(QStringList found, const QStringList &savedOrder, const QString &lastSelection);

// Why a typed calendar name cannot be taken, or nothing when it can. Only the
// character rules: the dialog adds the test for an existing file.
std::optional<QString> CalendarNameProblem(const QString &name);

} // namespace hibi
