#pragma once

#include "storage/CalendarListModel.h"
#include "storage/MarkHistory.h"
#include "storage/NoteFile.h"
#include "storage/YearMarks.h"

#include <QObject>
#include <QString>

#include <optional>
#include <utility>

namespace hibi {

// The calendar the main window has open: which calendar and month are shown,
// the marks of the shown year (`YearMarks`, the year buffer), whether they came
// from the file, the history of mark changes, and the calendar list. Marks are
// edited in the buffer only; the buffer is written back when the view leaves its
// year or calendar and before anything reads calendar files, so every file
// holds what the view shows whenever someone else looks. File errors are thrown
// as FileError; what failed changed nothing.
class OpenCalendar : public QObject
{
    Q_OBJECT

public:
    // What happens to the year buffer when the view leaves it.
    enum class Buffer
    {
        Save,      // written back first; when the new year cannot be read, the view stays
        Discard,   // gone (a deleted calendar), written already or stale (after bulk input);
                   // when the new year cannot be read, it is shown as not loaded
    };
    enum class Reread { WhenLeaving, Always };
    // Which changes an undo or redo may take back: any, or only those written
    // straight to the files by the bulk input.
    enum class Changes { Any, BulkInput };

    explicit OpenCalendar(const QString &programFolder, QObject *parent = nullptr);

    const QString &ProgramFolder() const { return m_folder; }
    QString CurrentCalendarName() const { return m_list.selectedName(); }
    int DisplayYear() const { return m_year; }
    int DisplayMonth() const { return m_month; }
    const hibi::YearMarks &YearMarks() const { return m_marks; }
    // Whether the shown year's marks came from the file; if not, marks cannot be
    // set and the buffer is never written back.
    bool yearLoaded() const { return m_loaded; }
    // The mark of a day of the month shown.
    std::uint8_t markOfDay(int day) const;
    // The current calendar's note on a day, empty for none; its note file is read
    // whenever the calendar changes. A file that could not be read shows no notes
    // and takes none, so that it is never written over.
    QString noteOf(int year, int month, int day) const;
    QString noteOfDay(int day) const { return noteOf(m_year, m_month, day); }
    const std::optional<QString> &notesProblem() const { return m_notesProblem; }

    // The list at start: the calendar files of the folder in the saved order,
    // the last selection selected (BuildCalendarList).
    void listCalendars(const QStringList &savedOrder, const QString &lastSelection);
    CalendarListModel &calendars() { return m_list; }
    const CalendarListModel &calendars() const { return m_list; }
    const MarkHistory &history() const { return m_history; }

    QString calendarPath(const QString &name) const;
    QString CalendarPath() const { return calendarPath(CurrentCalendarName()); }

    // The one way the view moves: to another month, year or calendar. Whenever the
    // year or the calendar changes (or `reread` says so, or the shown year is not
    // loaded), the buffer is handled as `buffer` says and the new year is read
    // before anything changes; then calendar, year, month and marks change
    // together. Returns false, changing nothing, for a year outside 1..9999.
    bool switchTo(const QString &calendar, int year, int month, Buffer buffer = Buffer::Save,
                  Reread reread = Reread::WhenLeaving);

    // Writes the year buffer to the current calendar's file, unless it never loaded.
    void flush();
    // Everything that reads calendar files (the tallies, the year chart, the
    // export, the bulk input) reads them through here, after the flush.
    template<typename Reader>
    decltype(auto) readFiles(Reader &&reader)
    {
        flush();
        return std::forward<Reader>(reader)();
    }

    // The one way a mark of the month shown changes by hand: recorded for undo.
    // False when the year did not load (markRefused is emitted).
    bool setMark(int day, std::uint8_t mark);
    // The note of a day of the month shown, written to the note file at once and
    // recorded for undo; an empty text takes the note away. Throws FileError.
    void setNote(int day, const QString &text);
    // A day of any calendar written to its file at once (the bulk input): the
    // buffer follows when it holds that year, and the change is recorded.
    void writeDayMark(const QString &calendar, int year, int month, int day, std::uint8_t mark);
    // The last change taken back or made again: in the buffer (the view goes to
    // its month first) or, for the bulk input's changes of years not in memory,
    // in the file. The change applied, or nothing.
    std::optional<MarkChange> undo(Changes which = Changes::Any);
    std::optional<MarkChange> redo(Changes which = Changes::Any);
    bool canUndo(Changes which = Changes::Any) const;
    bool canRedo(Changes which = Changes::Any) const;

    // A new calendar with a file of its own, shown at once.
    void createCalendar(const QString &name);
    // The current calendar under a new name, its file renamed; the buffer is kept
    // and saved later under the new name.
    void renameCalendar(const QString &name);
    // The current calendar's file goes to the trash, its note file after it, and
    // its entry leaves the list; the last entry is shown, its year read again.
    // Throws FileError, with nothing changed when the calendar's file will not
    // go, after the change when only the note file will not.
    void deleteCalendar();
    void moveCalendar(int from, int to) { m_list.move(from, to); }
    // The current calendar's file put back to one of its backups (ListBackups),
    // the shown year written first so that the copy kept of the file before
    // the restore holds it; the year is read again and the calendar's changes
    // leave the history, as they were made to what is gone.
    void restoreCalendar(const QString &backupCopy);

signals:
    // The calendar, year or month shown changed; `yearReplaced` when the buffer
    // was read anew (another year or calendar, or read again).
    void shownChanged(bool yearReplaced);
    // A mark of the buffer changed (a day of `month` of the shown year).
    void markChanged(int month, int day);
    // A mark could not be set: the shown year did not load.
    void markRefused();
    // A note of the current calendar changed (a day of `month` of the shown year).
    void noteChanged(int month, int day);
    void historyChanged();

private:
    std::optional<MarkChange> step(bool undoing, Changes which);
    bool applyChange(const MarkChange &change, bool undoing, Changes which);
    void applyNote(int year, int month, int day, const QString &text);
    void readNotes();
    QString notePath(const QString &name) const;
    bool inBuffer(const QString &calendar, int year) const;
    std::uint8_t &cellOf(int month, int day);

    QString m_folder;
    CalendarListModel m_list;
    int m_year = 0;
    int m_month = 0;
    hibi::YearMarks m_marks;
    bool m_loaded = false;
    QString m_notesOf;   // whose notes m_notes holds
    Notes m_notes;
    std::optional<QString> m_notesProblem;
    MarkHistory m_history;
};

} // namespace hibi
