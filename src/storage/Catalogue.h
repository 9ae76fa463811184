#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace hibi {

// The one calendar of a folder without calendar files.
inline const QString kFirstCalendarName = QStringLiteral("カレンダー1");

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
// character rules: the dialog adds the test for an existing name.
std::optional<QString> CalendarNameProblem(const QString &name);

// Input methods on Linux type some characters under other code points than the
// ones Shift_JIS as Windows writes it holds them under (〜 U+301C for ～ U+FF5E,
// − U+2212 for － U+FF0D, and a few more). A typed name takes the Windows code
// points, so that the name, its file and the settings file agree.
QString WithWindowsCodePoints(QString name);

// Whether two calendar names are one: compared without regard to case, as
// Windows compares file names, since the files move between systems.
bool SameCalendarName(const QString &a, const QString &b);

// Whether `name` is taken by an entry of the list or by a calendar file of the
// folder. `except` (a calendar being renamed) does not count.
bool CalendarNameTaken(const QString &name, const QStringList &listed, const QString &folder,
                       const QString &except = QString());

} // namespace hibi
