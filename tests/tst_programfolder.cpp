// Where the calendars and the settings file live: beside a portable copy, in the
// user's data folder for an installed program, never in a system folder.
#include "TestFiles.h"

#include "storage/ProgramFolder.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace hibi;
using namespace hibi::test;

class TestProgramFolder : public QObject
{
    Q_OBJECT

private slots:
    void choosesTheFolder_data();
    void choosesTheFolder();
    void systemFoldersAreNeverProbed();
    void systemFolders_data();
    void systemFolders();
    void probeLeavesNothingBehind();
    void probeRefusesWhatCannotHoldFiles();
    void probeRefusesAnImmutableFolder();

private:
    static QStringList everything(const QString &folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

void TestProgramFolder::choosesTheFolder_data()
{
    QTest::addColumn<QString>("present");   // a file already in the program's folder
    QTest::addColumn<bool>("writable");
    QTest::addColumn<bool>("portable");
    QTest::newRow("empty writable folder: portable") << QString() << true << true;
    QTest::newRow("writable folder with a settings file: portable") << "hibisi.ini" << true << true;
    QTest::newRow("read-only folder with a settings file: stays portable") << "hibisi.ini" << false << true;
    QTest::newRow("read-only folder with a calendar: stays portable") << "予定.hsd" << false << true;
    QTest::newRow("read-only folder with nothing of ours: data folder") << QString() << false << false;
    QTest::newRow("read-only folder with other files: data folder") << "README.txt" << false << false;
    QTest::newRow("read-only folder with a calendar in capitals: data folder") << "A.HSD" << false << false;
}

void TestProgramFolder::choosesTheFolder()
{
    QFETCH(QString, present);
    QFETCH(bool, writable);
    QFETCH(bool, portable);
    QTemporaryDir root;
    const QString program = root.filePath("bin");
    const QString data = root.filePath("home/.local/share/hibisi");
    QVERIFY(QDir().mkpath(program));
    if (!present.isEmpty())
        writeFile(program + "/" + present, "x");
    const QStringList before = everything(program);

    QStringList probed;
    const QString chosen = ChooseProgramFolder(program, data, [&](const QString &folder) {
        probed << folder;
        return writable;
    });

    QCOMPARE(chosen, (portable ? program : data) + "/");
    // The data folder is made only when it is chosen, and then it is ready for
    // files, the user's alone: the home folder above it may be open to all.
    QCOMPARE(QFileInfo(data).isDir(), !portable);
    if (!portable) {
        const QFile::Permissions mode = QFileInfo(data).permissions();
        QCOMPARE(mode & (QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(mode & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther
                         | QFile::ExeOther),
                 QFile::Permissions());
    }
    QCOMPARE(everything(program), before);
    // Files of ours already there settle it without a probe.
    const bool ours = present == "hibisi.ini" || present.endsWith(".hsd");
    QCOMPARE(probed, ours ? QStringList() : QStringList{program});
}

void TestProgramFolder::systemFoldersAreNeverProbed()
{
    QTemporaryDir home;
    for (const QString folder : {"/usr/bin", "/usr/local/bin", "/opt/hibisi/bin"}) {
        QStringList probed;
        const QString chosen = ChooseProgramFolder(folder, home.filePath(".local/share/hibisi"), [&](const QString &f) {
            probed << f;
            return true;   // as root it could
        });
        QCOMPARE(chosen, home.filePath(".local/share/hibisi/"));
        QCOMPARE(probed, QStringList());
    }
}

void TestProgramFolder::systemFolders_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("system");
    QTest::newRow("/usr/bin") << "/usr/bin" << true;
    QTest::newRow("/usr/local/bin") << "/usr/local/bin" << true;
    QTest::newRow("/bin, a link on merged systems") << "/bin" << true;
    QTest::newRow("/opt below") << "/opt/hibisi" << true;
    QTest::newRow("/usr reached through ..") << "/tmp/../usr/games" << true;
    QTest::newRow("a name that only starts like /usr") << "/usrlocal/hibisi" << false;
    QTest::newRow("temporary folder") << QDir::tempPath() << false;
    QTest::newRow("home") << QDir::homePath() + "/apps/hibisi" << false;
}

void TestProgramFolder::systemFolders()
{
    QFETCH(QString, folder);
    QFETCH(bool, system);
    QCOMPARE(IsSystemFolder(folder), system);
}

void TestProgramFolder::probeLeavesNothingBehind()
{
    QTemporaryDir dir;
    writeFile(dir.filePath("a.hsd"), "x");
    QVERIFY(CanCreateFilesIn(dir.path()));
    QVERIFY(CanCreateFilesIn(dir.path() + "/"));
    QCOMPARE(everything(dir.path()), QStringList{"a.hsd"});
}

void TestProgramFolder::probeRefusesWhatCannotHoldFiles()
{
    QTemporaryDir dir;
    writeFile(dir.filePath("file"), "x");
    QVERIFY(!CanCreateFilesIn(dir.filePath("file")));          // a file, not a folder
    QVERIFY(!CanCreateFilesIn(dir.filePath("file/below")));    // "Not a directory"
    QVERIFY(!CanCreateFilesIn(dir.filePath("missing")));
    QCOMPARE(everything(dir.path()), QStringList{"file"});
}

void TestProgramFolder::probeRefusesAnImmutableFolder()
{
    // Root ignores mode bits; an immutable folder refuses even root.
    QTemporaryDir dir;
    if (QProcess::execute("chattr", {"+i", dir.path()}) != 0)
        QSKIP("chattr +i is not available on this file system");
    const bool canCreate = CanCreateFilesIn(dir.path());
    QCOMPARE(QProcess::execute("chattr", {"-i", dir.path()}), 0);
    QVERIFY(!canCreate);
    QVERIFY(CanCreateFilesIn(dir.path()));
}

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
