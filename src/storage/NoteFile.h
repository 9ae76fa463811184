#pragma once

#include <QString>

#include <map>
#include <optional>

namespace hibi {

// Notes on days: a short text per day of a calendar, any Unicode, a line or a
// few. They live in a file of this program's own beside the calendar's file,
// "<name>.notes", which the Windows version never reads: UTF-8, one note a
// line, "YYYY-MM-DD", a tab and the text with its line breaks, tabs and
// backslashes written \n, \t and \\, the days in order. It is written whole and
// durably, its old bytes kept in the day's backup as the other files are.

// A day as one number that sorts like the date: YYYYMMDD.
constexpr int NoteKey(int year, int month, int day)
{
    return year * 10000 + month * 100 + day;
}
using Notes = std::map<int, QString>;

inline const QString kNoteExtension = QStringLiteral(".notes");
QString NoteFilePath(const QString &programFolder, const QString &calendarName);

// The file's notes; nothing for bytes that are not such a file (a line that is
// no note, a date that is none, text that is not UTF-8).
std::optional<Notes> ParseNotes(const QByteArray &bytes);
QByteArray NotesToBytes(const Notes &notes);

// The notes of a calendar; none without a file. A file that cannot be read or
// is not a note file throws FileError: it must never be written over.
Notes ReadNotes(const QString &path);
// Writes the notes in place of the file, or removes it when there are none.
// Throws FileError.
void SaveNotes(const QString &path, const Notes &notes);

} // namespace hibi
