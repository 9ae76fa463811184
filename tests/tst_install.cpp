// `make install` into a temporary root: exactly the program, its desktop entry,
// icons and metainfo, accepted by the desktop's validators; the installed program,
// started as its desktop entry says from a folder it cannot write, keeps its files
// in the user's data folder and writes nothing beside itself.
#include "TestFiles.h"

#include "settings/IniFile.h"

#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/types.h>

using namespace hibi;
using namespace hibi::test;

namespace {

const QString kId = QStringLiteral(HIBI_DESKTOP_ID);

// Every file below a folder, with what would show a write: size, time and mode.
QStringList snapshot(const QString &root)
{
    QStringList files;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        files << QStringLiteral("%1 %2 %3 %4")
                     .arg(QDir(root).relativeFilePath(info.filePath()))
                     .arg(info.isDir() ? -1 : info.size())
                     .arg(info.lastModified().toMSecsSinceEpoch())
                     .arg(int(info.permissions()), 0, 16);
    }
    files.sort();
    return files;
}

struct Run
{
    int exitCode = -1;
    QString output;
};

Run run(const QString &program, const QStringList &arguments, const QString &workingFolder = {})
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (!workingFolder.isEmpty())
        p.setWorkingDirectory(workingFolder);
    p.start(program, arguments);
    if (!p.waitForFinished(600000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void installsExactlyTheExpectedFiles();
    void validatorsAcceptTheDesktopFiles();
    void oneVersionEverywhere();
    void iconsAreTheirSize();
    void installedProgramKeepsItsFilesInTheDataFolder();

private:
    // Starts the desktop entry's command as a user without the power to write into
    // read-only folders, in a home of its own, and ends it as a logout would.
    void startAndEnd(const QString &home);
    QString installed(const QString &path) const { return m_root.filePath(QStringLiteral("usr/") + path); }

    QTemporaryDir m_root;
    QString m_exec;
};

void TestInstall::initTestCase()
{
    QVERIFY(m_root.isValid());
    const Run install = run("make", {"-C", HIBI_SOURCE_DIR, "install", "BUILD=" HIBI_BUILD_DIR, "PREFIX=/usr",
                                     "DESTDIR=" + m_root.path()});
    QVERIFY2(install.exitCode == 0, qPrintable(install.output));
}

void TestInstall::installsExactlyTheExpectedFiles()
{
    QStringList files;
    QDirIterator it(m_root.path(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(m_root.path()).relativeFilePath(it.next());
    files.sort();
    QStringList expected{"usr/bin/hibisi",
                         "usr/share/applications/" + kId + ".desktop",
                         "usr/share/icons/hicolor/scalable/apps/" + kId + ".svg",
                         "usr/share/metainfo/" + kId + ".metainfo.xml"};
    for (int size : {16, 32, 48, 64, 128, 256})
        expected << QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kId);
    expected.sort();
    QCOMPARE(files, expected);
    QVERIFY(QFileInfo(installed("bin/hibisi")).isExecutable());
}

void TestInstall::validatorsAcceptTheDesktopFiles()
{
    const Run desktop = run("desktop-file-validate", {installed("share/applications/" + kId + ".desktop")});
    QVERIFY2(desktop.exitCode == 0 && desktop.output.trimmed().isEmpty(), qPrintable(desktop.output));
    const Run metainfo = run("appstreamcli", {"validate", "--no-net", "--pedantic", installed("share/metainfo/" + kId + ".metainfo.xml")});
    QVERIFY2(metainfo.exitCode == 0, qPrintable(metainfo.output));
    // Errors and warnings would fail; not even a remark is left.
    QVERIFY2(!QRegularExpression("^[EWIP]: ", QRegularExpression::MultilineOption).match(metainfo.output).hasMatch(),
             qPrintable(metainfo.output));
    // The tree as a whole: metainfo, desktop entry and icon belong together.
    const Run tree = run("appstreamcli", {"validate-tree", "--no-net", m_root.path()});
    QVERIFY2(tree.exitCode == 0, qPrintable(tree.output));

    // The window's class and the entry's icon are the program's.
    const QByteArray entry = readFile(installed("share/applications/" + kId + ".desktop"));
    const QList<QByteArray> lines{"Exec=hibisi", "Icon=" + kId.toUtf8(), "StartupWMClass=hibisi", "Name[ja]=ヒビシルシ",
                                  "Comment[ja]=日付に ○ × △ の印をつけて数えるカレンダー", "Categories=Office;Calendar;Qt;"};
    for (const QByteArray &line : lines)
        QVERIFY2(entry.split('\n').contains(line), line.constData());
}

void TestInstall::oneVersionEverywhere()
{
    const QByteArray metainfo = readFile(installed("share/metainfo/" + kId + ".metainfo.xml"));
    QVERIFY(metainfo.contains("<release version=\"" HIBI_VERSION "\""));
    QVERIFY(metainfo.contains("<summary xml:lang=\"ja\">"));
    QVERIFY(metainfo.contains("<content_rating type=\"oars-1.1\"/>"));
    QVERIFY(metainfo.contains("<image>https://"));
}

void TestInstall::iconsAreTheirSize()
{
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QImage icon(installed(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kId)));
        QCOMPARE(icon.size(), QSize(size, size));
        QVERIFY(icon.hasAlphaChannel());
    }
    const QByteArray svg = readFile(installed("share/icons/hicolor/scalable/apps/" + kId + ".svg"));
    QVERIFY(svg.contains("<svg") && svg.contains("viewBox=\"0 0 256 256\""));
}

void TestInstall::startAndEnd(const QString &home)
{
    // The child's temporary and runtime folders: its lock lands in the latter.
    QTemporaryDir temp;
    QTemporaryDir runtime;
    QVERIFY(QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QProcess program;
    QProcessEnvironment env;
    env.insert("HOME", home);
    env.insert("PATH", installed("bin") + ":/usr/bin:/bin");
    env.insert("TMPDIR", temp.path());
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("LANG", "C.UTF-8");
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(home);
    // The command of the desktop entry, as a session would run it.
    program.start(QStandardPaths::findExecutable("setpriv"), {"--inh-caps=-dac_override,-dac_read_search", "--bounding-set=-dac_override,-dac_read_search",
                            "--", "/bin/sh", "-c", "exec " + m_exec});
    QVERIFY(program.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(!QDir(runtime.path()).entryList({"*.lock"}, QDir::Files).isEmpty(), 20000);
    QVERIFY(::kill(pid_t(program.processId()), SIGTERM) == 0);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY2(program.exitCode() == 0, program.readAllStandardError().constData());
}

void TestInstall::installedProgramKeepsItsFilesInTheDataFolder()
{
    const QByteArray entry = readFile(installed("share/applications/" + kId + ".desktop"));
    for (const QByteArray &line : entry.split('\n')) {
        if (line.startsWith("Exec="))
            m_exec = QString::fromUtf8(line.mid(5));
    }
    QCOMPARE(m_exec, "hibisi");
    if (QStandardPaths::findExecutable("setpriv").isEmpty())
        QSKIP("needs setpriv to take root's power over read-only folders away");

    // The program's folder cannot be written by the user who runs it.
    QVERIFY(QFile(installed("bin")).setPermissions(QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup
                                                   | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
    const QStringList before = snapshot(m_root.path());
    QTemporaryDir home;
    const QString data = home.filePath(".local/share/hibisi");

    // First start: the data folder is made, and the settings file written there.
    QVERIFY(!QFileInfo::exists(data));
    startAndEnd(home.path());
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(QDir(data).entryList(QDir::Files), QStringList{"hibisi.ini"});
    QCOMPARE(IniFile::load(data + "/hibisi.ini").readString("cale", "file", {}), "カレンダー1");

    // The calendars it lists are those of the data folder, and it saves them
    // there: this year's record, cut short as by a crash, is written whole at close.
    const int year = QDate::currentDate().year();
    const QByteArray whole = header() + record(year, {{1, 10, 1}, {1, 11, 2}});
    writeFile(data + "/予定.hsd", whole.left(100));
    startAndEnd(home.path());
    if (QTest::currentTestFailed())
        return;
    const IniFile ini = IniFile::load(data + "/hibisi.ini");
    QCOMPARE(ini.readString("cale", "file", {}), "予定");
    QCOMPARE(ini.readString("dat", "0", {}), "予定");
    QCOMPARE(QDir(data).entryList(QDir::Files), (QStringList{"hibisi.ini", "予定.hsd"}));
    QCOMPARE(readFile(data + "/予定.hsd"), whole);

    // Nothing was written anywhere in the installed tree.
    QCOMPARE(snapshot(m_root.path()), before);
    QFile(installed("bin")).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
