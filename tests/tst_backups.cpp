// The day's backups of the calendar files and the settings file: taken before the
// first change of a day, pruned to two weeks and a year of months, listed and
// restored; a backup that cannot be made stops the change.
#include "TestFiles.h"

#include "calendar/Clock.h"
#include "settings/Settings.h"
#include "storage/Backups.h"
#include "storage/CalendarFile.h"
#include "storage/Catalogue.h"
#include "storage/FileError.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace hibi;
using namespace hibi::test;

namespace {

using Change = std::function<void(const QString &path)>;

const QByteArray kTwoYears = header() + record(2024, {{2, 29, Maru}}) + record(2025, {{1, 1, Batu}});

QDate day(const char *iso)
{
    return QDate::fromString(QLatin1String(iso), Qt::ISODate);
}

void pin(const char *iso)
{
    const QDate d = day(iso);
    SetFixedToday(YearMonthDay16{d.year(), d.month(), d.day()});
}

QString fullPath(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

// Every file and folder below `folder`, relative to it.
QStringList everything(const QString &folder)
{
    QStringList names;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        names << QDir(folder).relativeFilePath(it.next());
    names.sort();
    return names;
}

} // namespace

Q_DECLARE_METATYPE(Change)

class TestBackups : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void firstChangeOfTheDayIsBackedUp_data();
    void firstChangeOfTheDayIsBackedUp();
    void nothingToBackUp_data();
    void nothingToBackUp();
    void settingsBackedUpOncePerDay();
    void cutShortPieceIsInTheBackup();
    void daysToPrune_data();
    void daysToPrune();
    void newDayPrunesTheFolders();
    void restoreRoundTrip();
    void restoreOfADeletedCalendar();
    void backupThatCannotBeMade_data();
    void backupThatCannotBeMade();
    void catalogueSeesNoBackups();

private:
    QString path(const QString &name = QStringLiteral("A.hsd")) const { return m_folder + name; }
    QString copyOn(const char *iso, const QString &name = QStringLiteral("A.hsd")) const
    {
        return m_folder + QStringLiteral("backup/") + QLatin1String(iso) + QLatin1Char('/') + name;
    }
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_folder;
};

void TestBackups::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_folder = m_dir->path() + QLatin1Char('/');
    // A deleted calendar goes to a trash of the test's own.
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral(".share"))));
    pin("2026-03-10");
}

void TestBackups::cleanup()
{
    SetFixedToday(std::nullopt);
    qunsetenv("XDG_DATA_HOME");
}

void TestBackups::firstChangeOfTheDayIsBackedUp_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<Change>("again");   // another change the same day
    QTest::newRow("year rewritten in place")
            << Change([](const QString &p) { SaveYearMarks(p, 2024, marksOf(2024, {{3, 1, Sankaku}})); })
            << Change([](const QString &p) { SaveYearMarks(p, 2024, marksOf(2024, {{3, 2, Maru}})); });
    QTest::newRow("year appended")
            << Change([](const QString &p) { SaveYearMarks(p, 2026, marksOf(2026, {{3, 10, Maru}})); })
            << Change([](const QString &p) { SaveYearMarks(p, 2027, marksOf(2027, {{1, 1, Maru}})); });
    QTest::newRow("day written in place") << Change([](const QString &p) { WriteDayMark(p, 2025, 1, 2, Batu); })
                                          << Change([](const QString &p) { WriteDayMark(p, 2025, 1, 3, Batu); });
    QTest::newRow("day appended") << Change([](const QString &p) { WriteDayMark(p, 2026, 5, 5, Maru); })
                                  << Change([](const QString &p) { WriteDayMark(p, 2026, 5, 6, Maru); });
    QTest::newRow("calendar deleted") << Change([](const QString &p) { DeleteCalendarFile(p); })
                                      << Change([](const QString &p) { WriteDayMark(p, 2026, 5, 6, Maru); });
}

void TestBackups::firstChangeOfTheDayIsBackedUp()
{
    QFETCH(Change, change);
    QFETCH(Change, again);
    writeFile(path(), kTwoYears);
    change(path());
    QCOMPARE(readFile(copyOn("2026-03-10")), kTwoYears);
    QCOMPARE(everything(m_folder + "backup"), (QStringList{"2026-03-10", "2026-03-10/A.hsd"}));

    // The day's copy stays the bytes from before its first change.
    again(path());
    QCOMPARE(readFile(copyOn("2026-03-10")), kTwoYears);

    // The next day's first change makes a folder of its own.
    const QByteArray before = readFile(path());
    pin("2026-03-11");
    WriteDayMark(path(), 2025, 12, 31, Sankaku);
    QCOMPARE(readFile(copyOn("2026-03-11")), before);
    QCOMPARE(readFile(copyOn("2026-03-10")), kTwoYears);
    QCOMPARE(ListBackups(path()), (QList<BackupEntry>{{day("2026-03-11"), copyOn("2026-03-11"), false},
                                                       {day("2026-03-10"), copyOn("2026-03-10"), false}}));
}

void TestBackups::nothingToBackUp_data()
{
    QTest::addColumn<bool>("fileThere");
    QTest::addColumn<Change>("change");
    QTest::newRow("new file by a year's save") << false << Change([](const QString &p) {
        SaveYearMarks(p, 2026, marksOf(2026, {{1, 1, Maru}}));
    });
    QTest::newRow("new file by a day's mark") << false << Change([](const QString &p) { WriteDayMark(p, 2026, 1, 1, Maru); });
    QTest::newRow("new calendar") << false << Change([](const QString &p) { CreateCalendarFile(p, 2026, YearMarks()); });
    QTest::newRow("year saved as it is") << true << Change([](const QString &p) {
        SaveYearMarks(p, 2025, marksOf(2025, {{1, 1, Batu}}));
    });
    QTest::newRow("year without marks, no record") << true << Change([](const QString &p) {
        SaveYearMarks(p, 2030, YearMarks());
    });
    QTest::newRow("day marked as it is") << true << Change([](const QString &p) { WriteDayMark(p, 2024, 2, 29, Maru); });
    QTest::newRow("missing file deleted") << false << Change([](const QString &p) { DeleteCalendarFile(p); });
    QTest::newRow("file renamed") << true << Change([](const QString &p) { RenameCalendarFile(p, p + ".renamed"); });
}

void TestBackups::nothingToBackUp()
{
    QFETCH(bool, fileThere);
    QFETCH(Change, change);
    if (fileThere)
        writeFile(path(), kTwoYears);
    change(path());
    QVERIFY(!QFileInfo::exists(m_folder + "backup"));
}

void TestBackups::settingsBackedUpOncePerDay()
{
    const QString ini = path("hibisi.ini");
    SettingsStore store(ini);
    ProgramSettings settings = store.load();
    store.save(settings, SettingsWriter::Close);   // a new file: nothing before it
    QVERIFY(!QFileInfo::exists(m_folder + "backup"));
    const QByteArray first = readFile(ini);

    settings.lastCalendar = QStringLiteral("予定");
    store.save(settings, SettingsWriter::Close);
    QCOMPARE(readFile(copyOn("2026-03-10", "hibisi.ini")), first);
    settings.appearance.TodayLineWidth = 2;
    store.save(settings, SettingsWriter::Dialog);
    QCOMPARE(readFile(copyOn("2026-03-10", "hibisi.ini")), first);
    QVERIFY(readFile(ini) != first);

    // The next day, a save that changes no byte makes no copy.
    pin("2026-03-11");
    store.save(settings, SettingsWriter::Dialog);
    QVERIFY(!QFileInfo::exists(m_folder + "backup/2026-03-11"));
    QCOMPARE(ListBackups(ini), (QList<BackupEntry>{{day("2026-03-10"), copyOn("2026-03-10", "hibisi.ini"), false}}));
}

// A record cut short at the end of the file is overwritten by the next year
// appended; the day's copy keeps the piece as it was.
void TestBackups::cutShortPieceIsInTheBackup()
{
    const QByteArray piece = record(2026, {{1, 1, Maru}, {2, 3, Batu}}).left(300);
    QVERIFY(piece.count('\0') < 298);
    const QByteArray original = kTwoYears + piece;
    writeFile(path(), original);
    SaveYearMarks(path(), 2027, marksOf(2027, {{7, 7, Sankaku}}));
    QCOMPARE(readFile(path()), kTwoYears + record(2027, {{7, 7, Sankaku}}));
    QCOMPARE(readFile(copyOn("2026-03-10")), original);
}

void TestBackups::daysToPrune_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QList<QDate>>("days");
    QTest::addColumn<QList<QDate>>("pruned");
    auto range = [](const char *from, const char *to, int step = 1) {
        QList<QDate> days;
        for (QDate d = day(from); d <= day(to); d = d.addDays(step))
            days << d;
        return days;
    };
    QTest::newRow("no folders") << day("2026-03-20") << QList<QDate>() << QList<QDate>();
    QTest::newRow("40 days in a row: two weeks and the first of each month")
            << day("2026-03-20") << range("2026-02-09", "2026-03-20")
            << range("2026-02-10", "2026-02-28") + range("2026-03-02", "2026-03-06");
    QList<QDate> twiceAMonth;
    QList<QDate> twiceAMonthPruned;
    for (QDate month = day("2024-09-01"); month <= day("2026-03-01"); month = month.addMonths(1)) {
        twiceAMonth << month << month.addDays(14);
        if (month < day("2025-04-01"))
            twiceAMonthPruned << month;
        if (month < day("2026-03-01"))
            twiceAMonthPruned << month.addDays(14);
    }
    std::sort(twiceAMonthPruned.begin(), twiceAMonthPruned.end());
    QTest::newRow("the 1st and 15th for a year and a half: the 1st of the last 12 months")
            << day("2026-03-20") << twiceAMonth << twiceAMonthPruned;
    QTest::newRow("edges of the two weeks and of the twelve months")
            << day("2026-03-20")
            << QList<QDate>{day("2025-03-31"), day("2025-04-30"), day("2026-03-05"), day("2026-03-06"), day("2026-03-07"),
                            day("2026-03-20")}
            << QList<QDate>{day("2025-03-31"), day("2026-03-06")};
    QTest::newRow("days after today stay (a clock set back)")
            << day("2026-03-20") << QList<QDate>{day("2025-01-01"), day("2025-01-02"), day("2026-04-01"), day("2027-01-01")}
            << QList<QDate>{day("2025-01-01"), day("2025-01-02")};
    QTest::newRow("a year's turn: last December's oldest stays")
            << day("2026-01-05") << QList<QDate>{day("2025-01-31"), day("2025-02-01"), day("2025-12-01"), day("2025-12-02"),
                                                 day("2025-12-22"), day("2025-12-23")}
            << QList<QDate>{day("2025-01-31"), day("2025-12-02"), day("2025-12-22")};
}

void TestBackups::daysToPrune()
{
    QFETCH(QDate, today);
    QFETCH(QList<QDate>, days);
    QFETCH(QList<QDate>, pruned);
    QCOMPARE(BackupDaysToPrune(days, today), pruned);
}

// Pruning runs when a new day's folder is made, on the day folders only.
void TestBackups::newDayPrunesTheFolders()
{
    writeFile(path(), kTwoYears);
    for (const char *iso : {"2025-01-15", "2025-06-01", "2025-06-20", "2026-02-01", "2026-02-02", "2026-03-01"}) {
        QVERIFY(QDir().mkpath(m_folder + "backup/" + iso));
        writeFile(copyOn(iso), header());
    }
    QVERIFY(QDir().mkpath(m_folder + "backup/mine"));
    writeFile(m_folder + "backup/notes.txt", "x");
    writeFile(m_folder + "backup/2025-01-16", "a file, not a day's folder");

    WriteDayMark(path(), 2026, 3, 10, Maru);
    QCOMPARE(QDir(m_folder + "backup").entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
             (QStringList{"2025-01-16", "2025-06-01", "2026-02-01", "2026-03-01", "2026-03-10", "mine", "notes.txt"}));
    QCOMPARE(ListBackups(path()), (QList<BackupEntry>{{day("2026-03-10"), copyOn("2026-03-10"), false},
                                                       {day("2026-03-01"), copyOn("2026-03-01"), false},
                                                       {day("2026-02-01"), copyOn("2026-02-01"), false},
                                                       {day("2025-06-01"), copyOn("2025-06-01"), false}}));

    // A folder of an old day put back by hand goes only when another day begins.
    QVERIFY(QDir().mkpath(m_folder + "backup/2025-06-20"));
    WriteDayMark(path(), 2026, 3, 11, Maru);
    QVERIFY(QFileInfo::exists(m_folder + "backup/2025-06-20"));
    pin("2026-03-11");
    WriteDayMark(path(), 2026, 3, 12, Maru);
    QVERIFY(!QFileInfo::exists(m_folder + "backup/2025-06-20"));
}

// A restore keeps what it replaces, so it can itself be taken back.
void TestBackups::restoreRoundTrip()
{
    const QByteArray v0 = kTwoYears;
    const QByteArray v1 = header() + record(2024, {{2, 29, Maru}, {3, 1, Maru}}) + record(2025, {{1, 1, Batu}});
    const QByteArray v2 = header() + record(2024, {{2, 29, Maru}, {3, 1, Maru}}) + record(2025, {{1, 1, Batu}, {1, 2, Batu}});
    writeFile(path(), v0);
    WriteDayMark(path(), 2024, 3, 1, Maru);   // day 1: v0 kept
    QCOMPARE(readFile(path()), v1);
    pin("2026-03-11");
    WriteDayMark(path(), 2025, 1, 2, Batu);   // day 2: v1 kept
    QCOMPARE(readFile(path()), v2);

    RestoreBackup(path(), copyOn("2026-03-10"));
    QCOMPARE(readFile(path()), v0);
    const QString beforeFirst = copyOn("2026-03-11", "A.hsd.before-restore-1");
    QCOMPARE(readFile(beforeFirst), v2);
    QCOMPARE(ListBackups(path()), (QList<BackupEntry>{{day("2026-03-11"), beforeFirst, true},
                                                       {day("2026-03-11"), copyOn("2026-03-11"), false},
                                                       {day("2026-03-10"), copyOn("2026-03-10"), false}}));

    // Undone: the bytes from before the restore come back, and those it replaces
    // are kept in turn.
    RestoreBackup(path(), beforeFirst);
    QCOMPARE(readFile(path()), v2);
    QCOMPARE(readFile(copyOn("2026-03-11", "A.hsd.before-restore-2")), v0);
    QCOMPARE(ListBackups(path()).size(), 4);
    QCOMPARE(ListBackups(path()).first().path, copyOn("2026-03-11", "A.hsd.before-restore-2"));

    // Bytes one of today's copies already holds are not copied again.
    RestoreBackup(path(), copyOn("2026-03-11"));
    QCOMPARE(readFile(path()), v1);
    QCOMPARE(ListBackups(path()).size(), 4);

    // On a day without a copy yet, the bytes before the restore are the day's copy.
    pin("2026-03-12");
    RestoreBackup(path(), copyOn("2026-03-10"));
    QCOMPARE(readFile(path()), v0);
    QCOMPARE(readFile(copyOn("2026-03-12")), v1);
    QCOMPARE(everything(m_folder + "backup/2026-03-12"), QStringList{"A.hsd"});
    QCOMPARE(QDir(m_folder).entryList(QDir::Files | QDir::Hidden), QStringList{"A.hsd"});   // no temporary file left

    // A copy that is not there changes nothing.
    const QString missing = copyOn("2026-01-01");
    try {
        RestoreBackup(path(), missing);
        QFAIL("a missing copy was restored");
    } catch (const FileError &e) {
        QCOMPARE(e.message(), QStringLiteral("ファイル %1 は開けません").arg(fullPath(missing)));
    }
    QCOMPARE(readFile(path()), v0);
}

void TestBackups::restoreOfADeletedCalendar()
{
    writeFile(path(), kTwoYears);
    DeleteCalendarFile(path());
    QVERIFY(!QFileInfo::exists(path()));
    QCOMPARE(ListBackups(path()), (QList<BackupEntry>{{day("2026-03-10"), copyOn("2026-03-10"), false}}));
    RestoreBackup(path(), ListBackups(path()).first().path);
    QCOMPARE(readFile(path()), kTwoYears);
    QCOMPARE(ListBackups(path()).size(), 1);
}

// Whatever stands where the copy must go, the change is refused with a message
// that says so, and the file keeps its bytes; once the way is clear the change
// goes through with its copy.
void TestBackups::backupThatCannotBeMade_data()
{
    QTest::addColumn<QString>("blocker");   // a file where a folder must be, or a folder where the copy must be
    QTest::addColumn<bool>("folder");
    QTest::addColumn<QString>("file");
    QTest::addColumn<Change>("change");
    const Change saveYear([](const QString &p) { SaveYearMarks(p, 2025, marksOf(2025, {{6, 6, Maru}})); });
    const Change dayMark([](const QString &p) { WriteDayMark(p, 2026, 6, 6, Maru); });
    const Change remove([](const QString &p) { DeleteCalendarFile(p); });
    const Change settings([](const QString &p) {
        SettingsStore store(p);
        ProgramSettings s = store.load();
        s.lastCalendar = QStringLiteral("別");
        store.save(s, SettingsWriter::Close);
    });
    const Change restore([](const QString &p) { RestoreBackup(p, p + ".old"); });
    QTest::newRow("a file named backup: year saved") << "backup" << false << "A.hsd" << saveYear;
    QTest::newRow("a file named backup: day marked") << "backup" << false << "A.hsd" << dayMark;
    QTest::newRow("a file named backup: calendar deleted") << "backup" << false << "A.hsd" << remove;
    QTest::newRow("a file named backup: settings saved") << "backup" << false << "hibisi.ini" << settings;
    QTest::newRow("a file named backup: restored") << "backup" << false << "A.hsd" << restore;
    QTest::newRow("a file named as the day's folder") << "backup/2026-03-10" << false << "A.hsd" << saveYear;
    QTest::newRow("a folder where the copy goes") << "backup/2026-03-10/A.hsd" << true << "A.hsd" << dayMark;
}

void TestBackups::backupThatCannotBeMade()
{
    QFETCH(QString, blocker);
    QFETCH(bool, folder);
    QFETCH(QString, file);
    QFETCH(Change, change);
    const QByteArray original = file == "hibisi.ini" ? QByteArray("[cale]\r\nfile=予定\r\n") : kTwoYears;
    writeFile(path(file), original);
    writeFile(path(file) + ".old", header() + record(2020));
    QVERIFY(QDir().mkpath(QFileInfo(path(blocker)).absolutePath()));
    if (folder)
        QVERIFY(QDir().mkpath(path(blocker)));
    else
        writeFile(path(blocker), "mine");
    const QStringList before = everything(m_folder);

    QString message;
    try {
        change(path(file));
    } catch (const FileError &e) {
        message = e.message();
    }
    QCOMPARE(message, QStringLiteral("ファイル %1 のバックアップを %2 に作成できません。ファイルは変更していません。")
                              .arg(fullPath(path(file)), fullPath(copyOn("2026-03-10", file))));
    QCOMPARE(readFile(path(file)), original);
    QCOMPARE(everything(m_folder), before);   // nothing made, nothing left behind

    if (folder)
        QVERIFY(QDir(path(blocker)).removeRecursively());
    else
        QVERIFY(QFile::remove(path(blocker)));
    change(path(file));
    QCOMPARE(readFile(copyOn("2026-03-10", file)), original);
}

// Backups live below the folder: the catalogue lists the folder's own files only.
void TestBackups::catalogueSeesNoBackups()
{
    writeFile(path(), kTwoYears);
    WriteDayMark(path(), 2026, 1, 1, Maru);
    QVERIFY(QFileInfo::exists(copyOn("2026-03-10")));
    RenameCalendarFile(path(), path("B.hsd"));
    QCOMPARE(ScanCalendarFiles(m_folder), QStringList{"B.hsd"});
    QVERIFY(!CalendarNameTaken(QStringLiteral("A"), {}, m_folder));
}

QTEST_GUILESS_MAIN(TestBackups)
#include "tst_backups.moc"
