// The open calendar without a window: the year buffer's rules, the one flush
// before every reader, undo and redo across years and calendars, and what a
// failed save or read leaves. The files are checked against bytes worked out
// from the file layout alone.
#include "calendar/Clock.h"
#include "storage/CalendarFile.h"
#include "storage/FileError.h"
#include "storage/OpenCalendar.h"

#include "TestFiles.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace hibi;
using namespace hibi::test;

class TestOpenCalendar : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void switches_data();
    void switches();
    void flushBeforeEveryReader();
    void undoAcrossYearsAndCalendars();
    void bulkChangesGoToTheFile();
    void failedSaveKeepsTheView();
    void failedReadIsNeverWrittenBack();
    void calendarsComeAndGo();
    void listFollowsMoves();
    void noteFileFormat_data();
    void noteFileFormat();
    void notesGoWithTheirCalendar();
    void unreadableNotesAreLeftAlone();

private:
    QString file(const QString &name) const { return m_dir->path() + QLatin1Char('/') + name + ".hsd"; }
    std::unique_ptr<OpenCalendar> open(const QStringList &names, int year, int month);
    static void mark(OpenCalendar &c, int day, int mark) { QVERIFY(c.setMark(day, std::uint8_t(mark))); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestOpenCalendar::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir->filePath(".data")));
    SetFixedToday(YearMonthDay16{2026, 3, 10});
}

void TestOpenCalendar::cleanup()
{
    SetFixedToday(std::nullopt);
    m_dir.reset();
}

std::unique_ptr<OpenCalendar> TestOpenCalendar::open(const QStringList &names, int year, int month)
{
    auto c = std::make_unique<OpenCalendar>(m_dir->path() + QLatin1Char('/'));
    c->calendars().reset(names, 0);
    try {
        c->switchTo(names.value(0), year, month, OpenCalendar::Buffer::Discard, OpenCalendar::Reread::Always);
    } catch (const FileError &) {
        // shown as not loaded
    }
    return c;
}

// Where the view goes from a month with a mark on its 1st, and what the file
// holds once it is there: a year left is saved, a month within the year is not.
void TestOpenCalendar::switches_data()
{
    QTest::addColumn<int>("fromYear");
    QTest::addColumn<int>("fromMonth");
    QTest::addColumn<int>("toYear");
    QTest::addColumn<int>("toMonth");
    QTest::addColumn<bool>("moves");
    QTest::addColumn<bool>("saved");
    QTest::newRow("within the year: no file") << 2026 << 3 << 2026 << 4 << true << false;
    QTest::newRow("December to January saves") << 2026 << 12 << 2027 << 1 << true << true;
    QTest::newRow("January to December saves") << 2026 << 1 << 2025 << 12 << true << true;
    QTest::newRow("year 1, a year back: refused") << 1 << 1 << 0 << 12 << false << false;
    QTest::newRow("year 9999, a year on: refused") << 9999 << 12 << 10000 << 1 << false << false;
    QTest::newRow("year 9999 to 9998") << 9999 << 5 << 9998 << 5 << true << true;
    QTest::newRow("month 13: refused") << 2026 << 3 << 2026 << 13 << false << false;
}

void TestOpenCalendar::switches()
{
    QFETCH(int, fromYear);
    QFETCH(int, fromMonth);
    QFETCH(int, toYear);
    QFETCH(int, toMonth);
    QFETCH(bool, moves);
    QFETCH(bool, saved);
    const auto c = open({"A"}, fromYear, fromMonth);
    mark(*c, 1, Maru);
    QSignalSpy shown(c.get(), &OpenCalendar::shownChanged);
    QCOMPARE(c->switchTo("A", toYear, toMonth), moves);
    QCOMPARE(c->DisplayYear(), moves ? toYear : fromYear);
    QCOMPARE(c->DisplayMonth(), moves ? toMonth : fromMonth);
    QCOMPARE(shown.size(), moves ? 1 : 0);
    const QByteArray expected = saved ? header() + record(fromYear, {{fromMonth, 1, Maru}}) : QByteArray();
    QCOMPARE(readFile(file("A")), expected);
    // Back again, the mark is there, from memory or from the file.
    c->switchTo("A", fromYear, fromMonth);
    QCOMPARE(c->markOfDay(1), std::uint8_t(Maru));
}

// The tallies, the chart, the export and the bulk input read the files: each
// finds the marks of the buffer there, also those made or undone since the last
// time the year was written (a range begun, then Ctrl+Z).
void TestOpenCalendar::flushBeforeEveryReader()
{
    const auto c = open({"A"}, 2026, 12);
    mark(*c, 8, Maru);
    c->flush();
    QVERIFY(c->undo());
    QCOMPARE(c->markOfDay(8), std::uint8_t(NoMark));
    QCOMPARE(readFile(file("A")), header() + record(2026, {{12, 8, Maru}}));   // not yet
    const QByteArray seen = c->readFiles([&] { return readFile(file("A")); });
    QCOMPARE(seen, header() + record(2026));
    QVERIFY(c->redo());
    QCOMPARE(c->readFiles([&] { return readFile(file("A")); }), header() + record(2026, {{12, 8, Maru}}));
}

void TestOpenCalendar::undoAcrossYearsAndCalendars()
{
    const auto c = open({"A", "B"}, 2026, 3);
    mark(*c, 5, Maru);
    c->switchTo("A", 2025, 12);
    mark(*c, 31, Batu);
    c->switchTo("B", 2025, 12);
    mark(*c, 1, Sankaku);
    QSignalSpy changed(c.get(), &OpenCalendar::markChanged);

    // Each undo goes to its change first, through the one switch, which saves
    // the year it leaves.
    const struct
    {
        QString calendar;
        int year, month, day;
    } steps[] = {{"B", 2025, 12, 1}, {"A", 2025, 12, 31}, {"A", 2026, 3, 5}};
    for (const auto &step : steps) {
        const auto undone = c->undo();
        QVERIFY(undone);
        QCOMPARE(c->CurrentCalendarName(), step.calendar);
        QCOMPARE(c->DisplayYear(), step.year);
        QCOMPARE(c->DisplayMonth(), step.month);
        QCOMPARE(undone->day, step.day);
        QCOMPARE(c->markOfDay(step.day), std::uint8_t(NoMark));
        QCOMPARE(changed.takeLast().value(1).toInt(), step.day);
    }
    QVERIFY(!c->undo());
    QVERIFY(!QFile::exists(file("B")));   // its year never held a saved mark
    QCOMPARE(readFile(file("A")), header() + record(2026, {{3, 5, Maru}}) + record(2025));   // 2026 not yet written back
    while (c->redo()) {
    }
    c->flush();
    QCOMPARE(readFile(file("A")), header() + record(2026, {{3, 5, Maru}}) + record(2025, {{12, 31, Batu}}));
    QCOMPARE(readFile(file("B")), header() + record(2025, {{12, 1, Sankaku}}));
}

// The bulk input writes a day into its calendar's file at once; the buffer
// follows when it holds that year. Its undo in the bulk window takes back only
// its own kind of change, into the file, without moving the view.
void TestOpenCalendar::bulkChangesGoToTheFile()
{
    const auto c = open({"A", "B"}, 2026, 3);
    mark(*c, 2, Maru);
    c->writeDayMark("A", 2026, 3, 10, Batu);
    c->writeDayMark("B", 2024, 2, 29, Sankaku);
    QCOMPARE(c->markOfDay(10), std::uint8_t(Batu));
    QCOMPARE(readFile(file("B")), header() + record(2024, {{2, 29, Sankaku}}));
    QCOMPARE(readFile(file("A")), header() + record(2026, {{3, 10, Batu}}));   // the ○ waits in the buffer

    QVERIFY(c->canUndo(OpenCalendar::Changes::BulkInput));
    QCOMPARE(c->undo(OpenCalendar::Changes::BulkInput)->calendar, QStringLiteral("B"));
    QCOMPARE(readFile(file("B")), header() + record(2024));
    QCOMPARE(c->undo(OpenCalendar::Changes::BulkInput)->day, 10);
    QCOMPARE(readFile(file("A")), header() + record(2026));
    QCOMPARE(c->markOfDay(10), std::uint8_t(NoMark));
    // The next change is the month view's: not the bulk window's to take back.
    QVERIFY(!c->canUndo(OpenCalendar::Changes::BulkInput));
    QVERIFY(!c->undo(OpenCalendar::Changes::BulkInput));
    QCOMPARE(c->markOfDay(2), std::uint8_t(Maru));
    QCOMPARE(c->redo(OpenCalendar::Changes::BulkInput)->day, 10);
    QCOMPARE(readFile(file("A")), header() + record(2026, {{3, 10, Batu}}));
}

// A year that cannot be written back keeps the view where it is, with its marks.
void TestOpenCalendar::failedSaveKeepsTheView()
{
    writeFile(file("B"), header() + record(2026, {{3, 3, Batu}}));
    const auto c = open({"A", "B"}, 2026, 3);
    mark(*c, 1, Maru);
    QVERIFY(QDir().mkdir(file("A")));   // a folder where the file would be made
    QVERIFY_THROWS_EXCEPTION(FileError, c->switchTo("B", 2026, 3));
    QCOMPARE(c->CurrentCalendarName(), QStringLiteral("A"));
    QCOMPARE(c->markOfDay(1), std::uint8_t(Maru));
    QCOMPARE(c->calendars().selected(), 0);
    QVERIFY(QDir().rmdir(file("A")));
    QVERIFY(c->switchTo("B", 2026, 3));
    QCOMPARE(readFile(file("A")), header() + record(2026, {{3, 1, Maru}}));
    QCOMPARE(c->markOfDay(3), std::uint8_t(Batu));
}

// A year that cannot be read takes no marks and is never written over its record.
void TestOpenCalendar::failedReadIsNeverWrittenBack()
{
    const QByteArray bytes = header() + record(2026, {{3, 3, Maru}});
    QVERIFY(QDir().mkdir(file("A")));
    auto c = open({"A"}, 2026, 3);
    QVERIFY(!c->yearLoaded());
    QSignalSpy refused(c.get(), &OpenCalendar::markRefused);
    QVERIFY(!c->setMark(4, Maru));
    QCOMPARE(refused.size(), 1);
    // Notes need no marks: set, undone and redone while the year stays unread.
    c->setNote(5, QStringLiteral("x"));
    QVERIFY(c->undo());
    QCOMPARE(c->noteOfDay(5), QString());
    QVERIFY(c->redo());
    QCOMPARE(c->noteOfDay(5), QStringLiteral("x"));
    QVERIFY(!c->yearLoaded());
    QVERIFY(QDir().rmdir(file("A")));
    writeFile(file("A"), bytes);
    c->flush();
    QVERIFY_THROWS_NO_EXCEPTION(c->readFiles([] { return 0; }));
    QCOMPARE(readFile(file("A")), bytes);
    // Read again (any switch while not loaded reads), it takes marks once more.
    QVERIFY(c->switchTo("A", 2026, 3));
    QVERIFY(c->yearLoaded());
    QCOMPARE(c->markOfDay(3), std::uint8_t(Maru));
}

void TestOpenCalendar::calendarsComeAndGo()
{
    const auto c = open({"A"}, 2026, 3);
    mark(*c, 1, Maru);
    c->createCalendar("B");   // A is saved first; B gets a file of its own
    QCOMPARE(c->CurrentCalendarName(), QStringLiteral("B"));
    QCOMPARE(c->calendars().names(), (QStringList{"A", "B"}));
    QCOMPARE(readFile(file("A")), header() + record(2026, {{3, 1, Maru}}));
    QCOMPARE(readFile(file("B")), header() + record(2026));

    mark(*c, 2, Batu);
    c->renameCalendar("C");   // the buffer goes along and is saved under the new name
    QVERIFY(!QFile::exists(file("B")));
    QCOMPARE(c->calendars().names(), (QStringList{"A", "C"}));
    QCOMPARE(c->history().nextUndo().calendar, QStringLiteral("A"));   // its changes went with its old name
    c->switchTo("A", 2026, 3);
    QCOMPARE(readFile(file("C")), header() + record(2026, {{3, 2, Batu}}));

    c->deleteCalendar();   // into the trash; the last entry is shown
    QVERIFY(!QFile::exists(file("A")));
    QCOMPARE(c->calendars().names(), QStringList{"C"});
    QCOMPARE(c->CurrentCalendarName(), QStringLiteral("C"));
    QCOMPARE(c->markOfDay(2), std::uint8_t(Batu));
    c->deleteCalendar();   // the last one: the list keeps the first calendar's name
    QCOMPARE(c->calendars().names(), QStringList{"カレンダー1"});
    QCOMPARE(c->CurrentCalendarName(), QStringLiteral("カレンダー1"));
}

void TestOpenCalendar::listFollowsMoves()
{
    CalendarListModel list;
    list.reset({"A", "B", "C", "D"}, 1);
    QSignalSpy selection(&list, &CalendarListModel::selectionChanged);
    list.move(1, 3);
    QCOMPARE(list.names(), (QStringList{"A", "C", "D", "B"}));
    QCOMPARE(list.selectedName(), QStringLiteral("B"));
    QCOMPARE(selection.takeLast().value(0).toInt(), 3);
    list.move(0, 2);
    QCOMPARE(list.names(), (QStringList{"C", "D", "A", "B"}));
    QCOMPARE(list.selectedName(), QStringLiteral("B"));
    list.move(3, 0);
    QCOMPARE(list.selected(), 0);
    list.remove(0);
    QCOMPARE(list.selectedName(), QStringLiteral("A"));   // the removed one was selected: the last entry
    // Any entry follows a move as the selection does.
    QCOMPARE(CalendarListModel::indexAfterMove(2, 0, 3), 1);
    QCOMPARE(CalendarListModel::indexAfterMove(2, 3, 0), 3);
    QCOMPARE(CalendarListModel::indexAfterMove(0, 0, 3), 3);
    QCOMPARE(CalendarListModel::indexAfterMove(4, 0, 3), 4);
}

// The note file's lines as written, and what is no note file at all. A file
// edited elsewhere may end its lines with CR LF or begin with a byte-order
// mark; it is read, and written back in the program's own form.
void TestOpenCalendar::noteFileFormat_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QByteArray>("written");   // when not the same bytes
    QTest::newRow("empty") << QByteArray() << true << QByteArray();
    QTest::newRow("two days") << QByteArray("2026-03-01\t診察\n2026-12-31\t大掃除\n") << true << QByteArray();
    QTest::newRow("breaks, tabs, backslashes") << QByteArray("2024-02-29\ta\\nb\\tc\\\\d\n") << true << QByteArray();
    QTest::newRow("CR LF") << QByteArray("2026-03-01\t診察\r\n2026-03-02\tx\r\n") << true
                           << QByteArray("2026-03-01\t診察\n2026-03-02\tx\n");
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF" "2026-03-01\tx\n") << true << QByteArray("2026-03-01\tx\n");
    QTest::newRow("no date") << QByteArray("note\n") << false << QByteArray();
    QTest::newRow("no such day") << QByteArray("2026-02-29\tx\n") << false << QByteArray();
    QTest::newRow("a day twice") << QByteArray("2026-03-01\ta\n2026-03-01\tb\n") << false << QByteArray();
    QTest::newRow("a stray backslash") << QByteArray("2026-03-01\ta\\q\n") << false << QByteArray();
    QTest::newRow("not UTF-8") << QByteArray("2026-03-01\t\x82\xA0\n") << false << QByteArray();
    QTest::newRow("an empty note") << QByteArray("2026-03-01\t\n") << false << QByteArray();
    QTest::newRow("a lone CR") << QByteArray("2026-03-01\t\r\n") << false << QByteArray();
}

void TestOpenCalendar::noteFileFormat()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QFETCH(QByteArray, written);
    const auto notes = ParseNotes(bytes);
    QCOMPARE(notes.has_value(), valid);
    if (notes)
        QCOMPARE(NotesToBytes(*notes), written.isEmpty() ? bytes : written);
    if (QByteArray(QTest::currentDataTag()) == "breaks, tabs, backslashes")
        QCOMPARE(notes->at(NoteKey(2024, 2, 29)), QStringLiteral("a\nb\tc\\d"));
}

// A note typed on a day is in its file at once, comes back with the calendar,
// takes part in undo and redo, and goes along when the calendar is renamed or
// deleted.
void TestOpenCalendar::notesGoWithTheirCalendar()
{
    const QString notes = m_dir->path() + "/A.notes";
    auto c = open({"A", "B"}, 2026, 3);
    c->setNote(11, QStringLiteral("歯医者\n10時"));
    QCOMPARE(readFile(notes), QByteArray("2026-03-11\t歯医者\\n10時\n"));
    QCOMPARE(DescribeChange(c->history().nextUndo(), "A", 2026), QStringLiteral("3月11日 メモ"));
    c->switchTo("B", 2026, 3);
    QCOMPARE(c->noteOfDay(11), QString());
    QVERIFY(c->undo());   // back to A, the note taken away, its file with it
    QCOMPARE(c->CurrentCalendarName(), QStringLiteral("A"));
    QCOMPARE(c->noteOfDay(11), QString());
    QVERIFY(!QFile::exists(notes));
    QVERIFY(c->redo());
    c.reset();

    c = open({"A", "B"}, 2026, 3);
    QCOMPARE(c->noteOfDay(11), QStringLiteral("歯医者\n10時"));
    c->renameCalendar("C");
    QVERIFY(!QFile::exists(notes));
    QCOMPARE(readFile(m_dir->path() + "/C.notes"), QByteArray("2026-03-11\t歯医者\\n10時\n"));
    QCOMPARE(c->noteOfDay(11), QStringLiteral("歯医者\n10時"));
    c->setNote(12, QStringLiteral("b"));
    QCOMPARE(readFile(m_dir->path() + "/C.notes"), QByteArray("2026-03-11\t歯医者\\n10時\n2026-03-12\tb\n"));
    // CR is no line break of the file's: the note holds what comes back from it.
    c->setNote(13, QStringLiteral("\r"));
    c->setNote(14, QStringLiteral("c\r\nd\r"));
    QCOMPARE(c->noteOfDay(13), QString());
    QCOMPARE(c->noteOfDay(14), QStringLiteral("c\nd"));
    QCOMPARE(ReadNotes(m_dir->path() + "/C.notes").at(NoteKey(2026, 3, 14)), QStringLiteral("c\nd"));
    c->deleteCalendar();
    QVERIFY(!QFile::exists(m_dir->path() + "/C.notes"));
    QVERIFY(QDir(m_dir->filePath(".data/Trash/files")).entryList().contains("C.notes"));
    QCOMPARE(c->CurrentCalendarName(), QStringLiteral("B"));
    QCOMPARE(c->noteOfDay(11), QString());

    // B, without notes, renamed to a name whose note file was left behind:
    // it takes those notes, and a new one goes beside them.
    writeFile(m_dir->path() + "/D.notes", "2026-03-01\t残り\n");
    c->renameCalendar("D");
    QCOMPARE(c->noteOfDay(1), QStringLiteral("残り"));
    c->setNote(2, QStringLiteral("新"));
    QCOMPARE(readFile(m_dir->path() + "/D.notes"), QByteArray("2026-03-01\t残り\n2026-03-02\t新\n"));
}

// A note file that cannot be read shows no notes and is never written over.
void TestOpenCalendar::unreadableNotesAreLeftAlone()
{
    const QString notes = m_dir->path() + "/A.notes";
    const QByteArray foreign("not a note file\n");
    writeFile(notes, foreign);
    const auto c = open({"A"}, 2026, 3);
    QVERIFY(c->notesProblem());
    QVERIFY(c->notesProblem()->contains(notes));
    QVERIFY_THROWS_EXCEPTION(FileError, c->setNote(3, QStringLiteral("x")));
    QVERIFY(!c->canUndo());
    QCOMPARE(readFile(notes), foreign);
    mark(*c, 3, Maru);   // the marks go on as ever
    c->flush();
    QCOMPARE(readFile(file("A")), header() + record(2026, {{3, 3, Maru}}));
    QCOMPARE(readFile(notes), foreign);
}

QTEST_GUILESS_MAIN(TestOpenCalendar)
#include "tst_opencalendar.moc"
