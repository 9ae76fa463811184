#include "storage/OpenCalendar.h"

#include "calendar/MonthGrid.h"
#include "storage/Backups.h"
#include "storage/CalendarFile.h"
#include "storage/Catalogue.h"
#include "storage/FileError.h"

#include <QFileInfo>

namespace hibi {

OpenCalendar::OpenCalendar(const QString &programFolder, QObject *parent)
    : QObject(parent), m_folder(programFolder)
{
}

QString OpenCalendar::calendarPath(const QString &name) const
{
    return CalendarFilePath(m_folder, name);
}

void OpenCalendar::listCalendars(const QStringList &savedOrder, const QString &lastSelection)
{
    QStringList found = ScanCalendarFiles(m_folder);
    for (QString &name : found)
        name.chop(kCalendarExtension.size());
    const CalendarList list = BuildCalendarList(found, savedOrder, lastSelection);
    m_list.reset(list.names, list.selected);
}

std::uint8_t OpenCalendar::markOfDay(int day) const
{
    const GridCell c = CellOfDay(m_year, m_month, day);
    return m_marks.at(m_month, c.col, c.row);
}

std::uint8_t &OpenCalendar::cellOf(int month, int day)
{
    const GridCell c = CellOfDay(m_year, month, day);
    return m_marks.at(month, c.col, c.row);
}

QString OpenCalendar::notePath(const QString &name) const
{
    return NoteFilePath(m_folder, name);
}

QString OpenCalendar::noteOf(int year, int month, int day) const
{
    const auto it = m_notes.find(NoteKey(year, month, day));
    return it == m_notes.end() ? QString() : it->second;
}

void OpenCalendar::readNotes()
{
    m_notesOf = CurrentCalendarName();
    m_notes.clear();
    m_notesProblem.reset();
    try {
        m_notes = ReadNotes(notePath(m_notesOf));
    } catch (const FileError &e) {
        m_notesProblem = e.message();
    }
}

void OpenCalendar::applyNote(int year, int month, int day, const QString &text)
{
    if (m_notesProblem)
        throw FileError(*m_notesProblem);
    Notes notes = m_notes;
    if (text.isEmpty())
        notes.erase(NoteKey(year, month, day));
    else
        notes[NoteKey(year, month, day)] = text;
    SaveNotes(notePath(CurrentCalendarName()), notes);
    m_notes = std::move(notes);
    emit noteChanged(month, day);
}

void OpenCalendar::setNote(int day, const QString &typed)
{
    // Line breaks are LF alone in the file; a CR would not come back from it.
    const QString text = QString(typed).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).remove(u'\r');
    const QString before = noteOfDay(day);
    if (before == text)
        return;
    applyNote(m_year, m_month, day, text);
    MarkChange change{CurrentCalendarName(), m_year, m_month, day, 0, 0, false};
    change.note = true;
    change.noteBefore = before;
    change.noteAfter = text;
    m_history.record(change);
    emit historyChanged();
}

bool OpenCalendar::inBuffer(const QString &calendar, int year) const
{
    return m_loaded && year == m_year && calendar == CurrentCalendarName();
}

void OpenCalendar::flush()
{
    // A year that could not be read holds no marks of the user's: writing it
    // would wipe the year's record.
    if (m_loaded)
        SaveYearMarks(CalendarPath(), m_year, m_marks);
}

bool OpenCalendar::switchTo(const QString &calendar, int year, int month, Buffer buffer, Reread reread)
{
    if (!IsSupportedYear(year) || month < 1 || month > 12)
        return false;
    const bool leaving = calendar != CurrentCalendarName() || year != m_year || reread == Reread::Always || !m_loaded;
    if (!leaving) {
        m_month = month;   // inside the year: the marks are all in memory
        emit shownChanged(false);
        return true;
    }

    auto commit = [&](const hibi::YearMarks &marks, bool loaded) {
        int index = m_list.indexOf(calendar);
        if (index < 0)
            index = m_list.add(calendar);
        m_year = year;
        m_month = month;
        m_marks = marks;
        m_loaded = loaded;
        m_list.select(index);
        if (m_notesOf != calendar || reread == Reread::Always)
            readNotes();
        emit shownChanged(true);
        emit historyChanged();   // the undo items name the year and calendar when they are not the ones shown
    };
    hibi::YearMarks next;
    try {
        if (buffer == Buffer::Save)
            flush();
        // Read before anything changes: when the new year cannot be read, the
        // view stays on a year that is saved and nothing is lost.
        next = ReadYearMarks(calendarPath(calendar), year);
    } catch (const FileError &) {
        if (buffer == Buffer::Discard)
            commit(hibi::YearMarks(), false);   // the old buffer is gone: show the place, not loaded
        throw;
    }
    commit(next, true);
    return true;
}

bool OpenCalendar::setMark(int day, std::uint8_t mark)
{
    if (!m_loaded) {
        emit markRefused();
        return false;
    }
    std::uint8_t &cell = cellOf(m_month, day);
    if (cell == mark)
        return true;
    m_history.record({CurrentCalendarName(), m_year, m_month, day, cell, mark, false});
    cell = mark;
    emit markChanged(m_month, day);
    emit historyChanged();
    return true;
}

void OpenCalendar::writeDayMark(const QString &calendar, int year, int month, int day, std::uint8_t mark)
{
    std::uint8_t before = 0;
    if (inBuffer(calendar, year)) {
        before = cellOf(month, day);
    } else {
        const hibi::YearMarks marks = ReadYearMarks(calendarPath(calendar), year);
        const GridCell c = CellOfDay(year, month, day);
        before = marks.at(month, c.col, c.row);
    }
    WriteDayMark(calendarPath(calendar), year, month, day, Mark(mark));
    if (inBuffer(calendar, year) && before != mark) {
        cellOf(month, day) = mark;
        emit markChanged(month, day);
    }
    if (before != mark) {
        m_history.record({calendar, year, month, day, before, mark, true});
        emit historyChanged();
    }
}

bool OpenCalendar::canUndo(Changes which) const
{
    return m_history.canUndo() && (which == Changes::Any || m_history.nextUndo().bulk);
}

bool OpenCalendar::canRedo(Changes which) const
{
    return m_history.canRedo() && (which == Changes::Any || m_history.nextRedo().bulk);
}

std::optional<MarkChange> OpenCalendar::undo(Changes which)
{
    return step(true, which);
}

std::optional<MarkChange> OpenCalendar::redo(Changes which)
{
    return step(false, which);
}

std::optional<MarkChange> OpenCalendar::step(bool undoing, Changes which)
{
    if (undoing ? !canUndo(which) : !canRedo(which))
        return std::nullopt;
    const MarkChange change = undoing ? m_history.nextUndo() : m_history.nextRedo();
    if (!applyChange(change, undoing, which))
        return std::nullopt;
    if (undoing)
        m_history.undone();
    else
        m_history.redone();
    emit historyChanged();
    return change;
}

bool OpenCalendar::applyChange(const MarkChange &change, bool undoing, Changes which)
{
    const std::uint8_t mark = undoing ? change.before : change.after;
    const bool buffered = inBuffer(change.calendar, change.year);
    if (change.bulk && (which == Changes::BulkInput || !buffered)) {
        // As the bulk input does: straight into the file, and the buffer follows.
        WriteDayMark(calendarPath(change.calendar), change.year, change.month, change.day, Mark(mark));
        if (buffered) {
            cellOf(change.month, change.day) = mark;
            emit markChanged(change.month, change.day);
        }
        return true;
    }
    if (change.note) {
        // A note needs no marks: in the year shown, also one that did not load,
        // only the month moves.
        if (change.calendar == CurrentCalendarName() && change.year == m_year) {
            m_month = change.month;
            emit shownChanged(false);
        } else if (!switchTo(change.calendar, change.year, change.month)) {
            return false;
        }
        applyNote(change.year, change.month, change.day, undoing ? change.noteBefore : change.noteAfter);
        return true;
    }
    // The view goes there first, through the one switch, so the buffer rule holds.
    if (!switchTo(change.calendar, change.year, change.month))
        return false;
    if (!m_loaded) {
        emit markRefused();
        return false;
    }
    cellOf(change.month, change.day) = mark;
    emit markChanged(change.month, change.day);
    return true;
}

void OpenCalendar::createCalendar(const QString &name)
{
    flush();
    CreateCalendarFile(calendarPath(name), m_year, hibi::YearMarks());
    switchTo(name, m_year, m_month, Buffer::Discard);   // saved just above
}

void OpenCalendar::renameCalendar(const QString &name)
{
    // A calendar without a file has nothing to rename. One whose file cannot be
    // renamed keeps its name, so the list and its file stay together.
    const QString from = CalendarPath();
    const QString to = calendarPath(name);
    const bool movedCalendar = QFileInfo::exists(from);
    if (movedCalendar)
        RenameCalendarFile(from, to);
    // The notes go along; when they cannot, the calendar keeps its old name.
    const QString notesFrom = notePath(CurrentCalendarName());
    if (QFileInfo::exists(notesFrom)) {
        try {
            RenameCalendarFile(notesFrom, notePath(name));
        } catch (const FileError &) {
            if (movedCalendar)
                RenameCalendarFile(to, from);
            throw;
        }
    }
    m_history.forgetCalendar(CurrentCalendarName());
    m_list.rename(m_list.selected(), name);
    // The notes are read under the new name: those that went along, or for a
    // calendar without notes of its own those a file of that name already
    // holds, as a new calendar takes them; they are never written over.
    readNotes();
    emit shownChanged(false);
    emit historyChanged();
}

void OpenCalendar::restoreCalendar(const QString &backupCopy)
{
    flush();
    RestoreBackup(CalendarPath(), backupCopy);
    m_history.forgetCalendar(CurrentCalendarName());
    emit historyChanged();
    switchTo(CurrentCalendarName(), m_year, m_month, Buffer::Discard, Reread::Always);
}

void OpenCalendar::deleteCalendar()
{
    // A calendar file that will not go keeps its calendar in the list, notes and
    // all. A note file that will not go after it stays where it is, whole, and
    // is named once the calendar is gone.
    DeleteCalendarFile(CalendarPath());
    std::optional<QString> notesLeft;
    try {
        DeleteCalendarFile(notePath(CurrentCalendarName()));
    } catch (const FileError &e) {
        notesLeft = e.message();
    }
    m_history.forgetCalendar(CurrentCalendarName());
    m_list.remove(m_list.selected());
    emit historyChanged();
    // The deleted calendar's marks are not saved; the last entry is shown.
    switchTo(m_list.name(m_list.count() - 1), m_year, m_month, Buffer::Discard, Reread::Always);
    if (notesLeft)
        throw FileError(*notesLeft);
}

} // namespace hibi
