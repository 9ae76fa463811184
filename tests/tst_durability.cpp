// Saves that survive a power cut. The test is linked against the power-cut
// library (PowerCut.h): after each command of a scripted run it takes what a
// power cut at that moment would leave of the folders, and reads it back.
#include "PowerCut.h"
#include "TestFiles.h"

#include "calendar/Clock.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "storage/Backups.h"
#include "storage/CalendarFile.h"
#include "storage/WholeFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <optional>

#include <fcntl.h>
#include <unistd.h>

using namespace hibi;
using namespace hibi::test;

namespace {

// Every folder and file below `root`, a line each, files with their size and a
// hash of their bytes.
QStringList tree(const QString &root)
{
    QStringList lines;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QString name = QDir(root).relativeFilePath(it.filePath());
        if (it.fileInfo().isDir()) {
            lines << name + QStringLiteral("/");
            continue;
        }
        const QByteArray bytes = readFile(it.filePath());
        lines << QStringLiteral("%1 %2 bytes %3").arg(name).arg(bytes.size())
                         .arg(QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex().left(12)));
    }
    lines.sort();
    return lines;
}

const QByteArray kEmpty2026 = header() + record(2026);

// The one SaveYearMarks append that the traced run makes.
int appendOneYear(const QString &path)
{
    try {
        SaveYearMarks(path, 2025, marksOf(2025, {{12, 31, Batu}}));
        return 0;
    } catch (const FileError &) {
        return 1;
    }
}

using Command = std::function<void(const QString &folder)>;
using Message = std::function<QString(const QString &folder)>;

} // namespace

Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(Message)

class TestDurability : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void imageDropsWhatWasNeverSynced();
    void powerCutAfterEveryCommand();
    void failedSyncIsAFailedSave_data();
    void failedSyncIsAFailedSave();
    void appendIsFollowedByDataSync();

private:
    // What a power cut now would leave of the root, in a folder of its own.
    QString image();
    QString data(const QString &name) const { return m_root->filePath(QStringLiteral("data/") + name); }

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<QTemporaryDir> m_images;
    int m_imageCount = 0;
};

void TestDurability::initTestCase()
{
#ifndef Q_OS_LINUX
    QSKIP("The power-cut library stands between the program and the C library of Linux");
#endif
}

void TestDurability::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    m_images = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid() && m_images->isValid());
    for (const char *folder : {"data", "share", "out"})
        QVERIFY(QDir(m_root->path()).mkdir(QLatin1String(folder)));
    // The trash is the desktop's own, inside the watched root.
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_root->filePath(QStringLiteral("share"))));
    SetFixedToday(YearMonthDay16{2026, 3, 10});
    QCOMPARE(hibi_powercut_begin(QFile::encodeName(m_root->path()).constData()), 0);
}

void TestDurability::cleanup()
{
    hibi_powercut_end();
    SetFixedToday(std::nullopt);
    qunsetenv("XDG_DATA_HOME");
}

QString TestDurability::image()
{
    const QString path = m_images->filePath(QString::number(++m_imageCount));
    if (hibi_powercut_image(QFile::encodeName(path).constData()) != 0)
        return QString();
    return path;
}

// The test's own ground: writes that were never synced are not in the image.
void TestDurability::imageDropsWhatWasNeverSynced()
{
    writeFile(data("old.txt"), "old");
    QCOMPARE(hibi_powercut_begin(QFile::encodeName(m_root->path()).constData()), 0);
    writeFile(data("old.txt"), "new bytes");
    writeFile(data("new.txt"), "never synced");
    QVERIFY(QDir().mkdir(data("folder")));
    const QString lost = image();
    QVERIFY(!lost.isEmpty());
    QCOMPARE(readFile(lost + "/data/old.txt"), QByteArray("old"));
    QCOMPARE(tree(lost), (QStringList{"data/", "data/old.txt 3 bytes " + tree(lost).at(1).section(' ', 3), "out/", "share/"}));

    // Synced, the file and then its folder are kept.
    {
        QFile file(data("new.txt"));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QCOMPARE(::fsync(file.handle()), 0);
    }
    QVERIFY(!QFileInfo::exists(image() + "/data/new.txt"));   // its bytes are synced, its name is not
    const int folder = ::open(QFile::encodeName(data(QString())).constData(), O_RDONLY | O_DIRECTORY);
    QVERIFY(folder >= 0);
    QCOMPARE(::fsync(folder), 0);
    ::close(folder);
    const QString kept = image();
    QCOMPARE(readFile(kept + "/data/new.txt"), QByteArray("never synced"));
    QCOMPARE(readFile(kept + "/data/old.txt"), QByteArray("old"));
    QVERIFY(QFileInfo(kept + "/data/folder").isDir());
    QCOMPARE(hibi_powercut_syncs(), 2L);
}

// Each command of a short run of saves, renames and deletes is followed by a
// power cut: what comes back is all that the command did, and the folders read
// as they did before the cut.
void TestDurability::powerCutAfterEveryCommand()
{
    const QString a = data("A.hsd");
    const QString b = data("B.hsd");
    const QString c = data("C.hsd");
    const QString ini = data("hibisi.ini");
    const QString day1 = data("backup/2026-03-10/");
    const QString day2 = data("backup/2026-03-11/");
    SettingsStore store(ini);
    ProgramSettings settings = store.load();

    const QByteArray aMarked = header() + record(2026, {{3, 5, Maru}});
    const QByteArray aAppended = aMarked + record(2025, {{12, 31, Batu}});
    const QByteArray aRewritten = header() + record(2026, {{3, 5, Maru}, {3, 6, Sankaku}}) + record(2025, {{12, 31, Batu}});
    const QByteArray aNextDay = header() + record(2026, {{3, 5, Maru}, {3, 6, Sankaku}, {3, 7, Maru}})
            + record(2025, {{12, 31, Batu}});
    const QByteArray bMarked = header() + record(2026, {{4, 1, Batu}});
    QByteArray iniAtClose;

    // Paths and the bytes a reader must find there after the cut; an empty
    // optional: nothing there. Worked out once the command has run.
    using Expected = QList<std::pair<QString, std::optional<QByteArray>>>;
    struct Step
    {
        const char *what;
        std::function<void()> run;
        std::function<Expected()> expected;
    };
    const QList<Step> steps = {
        {"a new calendar", [&] { CreateCalendarFile(a, 2026, YearMarks()); },
         [&] { return Expected{{a, kEmpty2026}}; }},
        {"a day marked", [&] { WriteDayMark(a, 2026, 3, 5, Maru); },
         [&] { return Expected{{a, aMarked}, {day1 + "A.hsd", kEmpty2026}}; }},
        {"a year appended", [&] { SaveYearMarks(a, 2025, marksOf(2025, {{12, 31, Batu}})); },
         [&] { return Expected{{a, aAppended}, {day1 + "A.hsd", kEmpty2026}}; }},
        {"a year rewritten in place", [&] { SaveYearMarks(a, 2026, marksOf(2026, {{3, 5, Maru}, {3, 6, Sankaku}})); },
         [&] { return Expected{{a, aRewritten}, {day1 + "A.hsd", kEmpty2026}}; }},
        {"a calendar made by a day's mark", [&] { WriteDayMark(b, 2026, 4, 1, Batu); },
         [&] { return Expected{{b, bMarked}, {day1 + "B.hsd", {}}}; }},
        {"the settings at close",
         [&] {
             settings.lastCalendar = QStringLiteral("A");
             settings.calendarOrder = QStringList{"A", "B"};
             store.save(settings, SettingsWriter::Close);
             iniAtClose = readFile(ini);
         },
         [&] { return Expected{{ini, iniAtClose}, {day1 + "hibisi.ini", {}}}; }},
        {"the settings from the dialog",
         [&] {
             settings.appearance.MarkLineWidth = 7;
             store.save(settings, SettingsWriter::Dialog);
         },
         [&] { return Expected{{day1 + "hibisi.ini", iniAtClose}}; }},
        {"a mark the next day",
         [&] {
             SetFixedToday(YearMonthDay16{2026, 3, 11});
             WriteDayMark(a, 2026, 3, 7, Maru);
         },
         [&] { return Expected{{a, aNextDay}, {day1 + "A.hsd", kEmpty2026}, {day2 + "A.hsd", aRewritten}}; }},
        {"a calendar renamed", [&] { RenameCalendarFile(a, c); },
         [&] { return Expected{{a, {}}, {c, aNextDay}}; }},
        {"a calendar deleted", [&] { DeleteCalendarFile(b); },
         [&] {
             return Expected{{b, {}}, {day2 + "B.hsd", bMarked}, {m_root->filePath("share/Trash/files/B.hsd"), bMarked}};
         }},
        {"a table exported", [&] { SaveWholeFile(m_root->filePath("out/表.csv"), "日付\r\n"); },
         [&] { return Expected{{m_root->filePath("out/表.csv"), QByteArray("日付\r\n")}}; }},
        {"a calendar restored from a backup", [&] { RestoreBackup(c, day1 + "A.hsd"); },
         [&] { return Expected{{c, kEmpty2026}, {day2 + "C.hsd", aNextDay}}; }},
    };

    for (const Step &step : steps) {
        const QByteArray what = step.what;
        try {
            step.run();
        } catch (const FileError &e) {
            QFAIL(qPrintable(what + ": " + e.message()));
        }
        const QString after = image();
        QVERIFY2(!after.isEmpty(), what);
        // Everything the command did is on the disk, and nothing else changed.
        const QStringList cut = tree(after);
        const QStringList live = tree(m_root->path());
        if (cut != live)
            qWarning() << what << "\non the disk:" << cut << "\nin the folders:" << live;
        QVERIFY2(cut == live, what);
        for (const auto &[path, bytes] : step.expected()) {
            const QString inImage = after + "/" + QDir(m_root->path()).relativeFilePath(path);
            QVERIFY2(QFileInfo::exists(inImage) == bytes.has_value(), qPrintable(what + ": " + path.toUtf8()));
            if (bytes)
                QVERIFY2(readFile(inImage) == *bytes, qPrintable(what + ": " + path.toUtf8()));
        }
    }
    QCOMPARE(IniFile::load(image() + "/data/hibisi.ini").readInteger("backcolor", "linewidth", 0), 7);
}

// A sync that fails is a save that fails: it is said, and the folder is as it
// was (but where the new bytes already took the old ones' place).
void TestDurability::failedSyncIsAFailedSave_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<bool>("ofFolder");   // the failing sync is a folder's, else a file's
    QTest::addColumn<int>("nth");         // of those syncs, the one that fails
    QTest::addColumn<Message>("message");
    QTest::addColumn<bool>("unchanged");
    const Message cannotWriteA([](const QString &f) { return FileError::cannotWrite(f + "A.hsd").message(); });
    const Message ini([](const QString &f) { return FileError::cannotCreate(f + "hibisi.ini").message(); });
    const Message deleteA([](const QString &f) { return FileError::cannotDelete(f + "A.hsd").message(); });
    const Command saveIni([](const QString &f) { SaveWholeFile(f + "hibisi.ini", "[pos]\r\ntop=1\r\n"); });
    const Command deleteCommand([](const QString &f) { DeleteCalendarFile(f + "A.hsd"); });
    QTest::newRow("record appended")
            << Command([](const QString &f) { SaveYearMarks(f + "A.hsd", 2027, marksOf(2027, {{1, 1, Maru}})); })
            << false << 1 << cannotWriteA << true;
    QTest::newRow("record rewritten in place")
            << Command([](const QString &f) { SaveYearMarks(f + "A.hsd", 2026, marksOf(2026, {{1, 2, Batu}})); })
            << false << 1 << cannotWriteA << true;
    QTest::newRow("day marked in place") << Command([](const QString &f) { WriteDayMark(f + "A.hsd", 2026, 1, 2, Batu); })
                                         << false << 1 << cannotWriteA << true;
    QTest::newRow("calendar made: its bytes")
            << Command([](const QString &f) { CreateCalendarFile(f + "C.hsd", 2026, YearMarks()); }) << false << 1
            << Message([](const QString &f) { return FileError::cannotWrite(f + "C.hsd").message(); }) << true;
    QTest::newRow("calendar made: its name")
            << Command([](const QString &f) { CreateCalendarFile(f + "C.hsd", 2026, YearMarks()); }) << true << 1
            << Message([](const QString &f) { return FileError::cannotCreate(f + "C.hsd").message(); }) << true;
    QTest::newRow("settings replaced: the new bytes") << saveIni << false << 1 << ini << true;
    QTest::newRow("settings replaced: the folder, after the new file took its place") << saveIni << true << 1 << ini << false;
    QTest::newRow("calendar renamed")
            << Command([](const QString &f) { RenameCalendarFile(f + "A.hsd", f + "D.hsd"); }) << true << 1
            << Message([](const QString &f) { return FileError::cannotRename(f + "A.hsd", f + "D.hsd").message(); }) << true;
    QTest::newRow("calendar deleted: the trash's folder") << deleteCommand << true << 2 << deleteA << true;
    QTest::newRow("calendar deleted: the data folder") << deleteCommand << true << 5 << deleteA << true;
    QTest::newRow("backup copied: the copy's name")
            << Command([](const QString &f) { WriteDayMark(f + "B.hsd", 2026, 1, 2, Batu); }) << true << 1
            << Message([](const QString &f) {
                   return FileError::cannotBackUp(f + "B.hsd", f + "backup/2026-03-10/B.hsd").message();
               })
            << true;
}

void TestDurability::failedSyncIsAFailedSave()
{
    QFETCH(Command, command);
    QFETCH(bool, ofFolder);
    QFETCH(int, nth);
    QFETCH(Message, message);
    QFETCH(bool, unchanged);
    const QString folder = data(QString());
    writeFile(data("A.hsd"), kEmpty2026);
    writeFile(data("B.hsd"), kEmpty2026);
    writeFile(data("hibisi.ini"), "[pos]\r\ntop=100\r\n");
    // A and the settings have their copy of the day: their own syncs come first.
    QVERIFY(QDir().mkpath(data("backup/2026-03-10")));
    writeFile(data("backup/2026-03-10/A.hsd"), kEmpty2026);
    writeFile(data("backup/2026-03-10/hibisi.ini"), "[pos]\r\ntop=100\r\n");
    const QStringList before = tree(folder);

    hibi_powercut_fail_sync(ofFolder, nth);
    QString said;
    try {
        command(folder);
    } catch (const FileError &e) {
        said = e.message();
    }
    QCOMPARE(said, message(folder));
    if (unchanged)
        QCOMPARE(tree(folder), before);
}

// Traced by strace, when it is there: the record appended to a calendar file is
// followed by a data sync of that file.
void TestDurability::appendIsFollowedByDataSync()
{
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (strace.isEmpty())
        QSKIP("strace is not installed");
    hibi_powercut_end();
    const QString a = data("A.hsd");
    writeFile(a, kEmpty2026);
    const QString log = m_images->filePath(QStringLiteral("strace.log"));
    QProcess traced;
    // LeakSanitizer does not run under a tracer; the one append leaks nothing of its own.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":detect_leaks=0");
    traced.setProcessEnvironment(env);
    traced.start(strace, {"-f", "-o", log, "-e", "trace=fsync,fdatasync,rename,renameat2,openat,write,pwrite64",
                          QCoreApplication::applicationFilePath(), "--append-one-year", a});
    QVERIFY(traced.waitForFinished(60000));
    const QByteArray said = traced.readAllStandardError();
    if (traced.exitCode() != 0 && said.startsWith("strace: ") && said.contains("Operation not permitted"))
        QSKIP("strace may not trace here");
    QVERIFY2(traced.exitCode() == 0, said.constData());
    QCOMPARE(readFile(a), kEmpty2026 + record(2025, {{12, 31, Batu}}));

    const QStringList lines = QString::fromUtf8(readFile(log)).split(QLatin1Char('\n'));
    const QRegularExpression opened("openat\\(AT_FDCWD, \"" + QRegularExpression::escape(a) + "\", O_RDWR[^)]*\\) = (\\d+)$");
    int fd = -1;
    int appendedAt = -1;
    int syncedAt = -1;
    for (int i = 0; i < lines.size(); ++i) {
        if (const auto m = opened.match(lines[i]); m.hasMatch())
            fd = m.captured(1).toInt();
        else if (fd >= 0 && appendedAt < 0 && lines[i].contains(QStringLiteral("write(%1, ").arg(fd))
                 && lines[i].endsWith(QStringLiteral(" = 506")))
            appendedAt = i;
        else if (appendedAt >= 0 && lines[i].contains(QStringLiteral(" fdatasync(%1) ").arg(fd)) && lines[i].endsWith(" = 0"))
            syncedAt = i;
    }
    QVERIFY2(fd >= 0, "the calendar file was opened to write");
    QVERIFY2(appendedAt >= 0, "the record was written in one write");
    QVERIFY2(syncedAt > appendedAt, "the write was followed by a data sync of the file");
}

int main(int argc, char **argv)
{
    // The traced child of appendIsFollowedByDataSync.
    if (argc == 3 && qstrcmp(argv[1], "--append-one-year") == 0) {
        QCoreApplication app(argc, argv);
        return appendOneYear(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    TestDurability test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_durability.moc"
