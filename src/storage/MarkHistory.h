#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace hibi {

// One mark changed on one day of one calendar, in the month view or in the bulk
// input (which writes it to the file at once), or the day's note.
struct MarkChange
{
    QString calendar;
    int year = 0;
    int month = 0;
    int day = 0;
    std::uint8_t before = 0;
    std::uint8_t after = 0;
    bool bulk = false;
    bool note = false;   // the note changed, from noteBefore to noteAfter
    QString noteBefore = {};
    QString noteAfter = {};
    friend bool operator==(const MarkChange &, const MarkChange &) = default;
};

// The changes of this run, in order, for undo and redo. Undoing steps back
// through them; a new change after an undo drops what could have been redone.
class MarkHistory
{
public:
    void record(const MarkChange &change);
    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done < m_changes.size(); }
    // The change an undo (or a redo) would take back (or make again).
    const MarkChange &nextUndo() const { return m_changes[m_done - 1]; }
    const MarkChange &nextRedo() const { return m_changes[m_done]; }
    // Steps over it once it has been applied.
    void undone() { --m_done; }
    void redone() { ++m_done; }
    // A deleted or renamed calendar takes its changes with it.
    void forgetCalendar(const QString &calendar);
    void clear();

private:
    std::vector<MarkChange> m_changes;
    size_t m_done = 0;   // the changes before this index are in effect
};

// How a change reads in a menu: "5月7日 ○", "5月7日 ○を消す", "5月7日 メモ",
// "5月7日 メモを消す", with the year and the calendar when they are not the ones
// shown.
QString DescribeChange(const MarkChange &change, const QString &shownCalendar, int shownYear);

} // namespace hibi
