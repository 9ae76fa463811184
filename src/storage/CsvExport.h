#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace hibi {

// A calendar as the export reads it: its name (the column's heading), its file
// and, when its notes go along, its note file.
struct CalendarSource
{
    QString name;
    QString path;
    QString notesPath = {};
};

struct UnreadableCalendar
{
    QString name;
    QString message;   // why, as the user reads it
    friend bool operator==(const UnreadableCalendar &, const UnreadableCalendar &) = default;
};

struct CsvExport
{
    QByteArray bytes;                       // the whole file
    QList<UnreadableCalendar> unreadable;   // left out of the file, in list order
};

// One CSV table of every calendar: a heading row "日付" and the calendar names in
// the order given, then one row per date that holds a mark in any of them, dates
// ascending as YYYY-MM-DD, each calendar's ○, × or △ in its column (empty for
// none). UTF-8 with a byte-order mark, so that spreadsheet programs take it as
// Japanese text; CRLF after every row; fields quoted as RFC 4180 has it.
// A calendar with a note file gets a second column after its marks, "<name>
// メモ", with the note of each day, and the days with a note get their rows too.
// A calendar whose file cannot be read gets no column and is named in
// `unreadable`, as is "<name> メモ" for a note file that cannot be read (its
// column stays empty); the others are exported all the same.
CsvExport ExportCsv(const QList<CalendarSource> &calendars);

class OpenCalendar;

// Why the export may not go to `target`, or nothing: it must not write over the
// settings file, a calendar or a backup, however the path leads there.
std::optional<QString> ExportTargetProblem(const QString &target, const QString &programFolder);

// Every calendar of the open calendar's list, in list order, written to
// `target` in one piece (the shown year first written back). Throws FileError
// when the file cannot be written, also for a target ExportTargetProblem turns
// down.
CsvExport ExportCalendars(OpenCalendar &calendar, const QString &target);

// What the user is told after the export: where it went, and which calendars
// could not be read and are not in it.
QString ExportReport(const QString &target, const CsvExport &exported);

// A field as it stands in the file: in double quotes (its own quotes doubled)
// when it holds a comma, a double quote, CR or LF; as it is otherwise.
QByteArray CsvField(const QString &text);


} // namespace hibi
