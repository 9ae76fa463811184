// The program alone, copied into an empty folder, starts and keeps its files in
// that folder, not in the user's data folder; ended by a termination signal, it
// closes as its window would.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <unistd.h>
#endif

class TestPortable : public QObject
{
    Q_OBJECT

private slots:
    void runsFromAnEmptyFolder()
    {
#ifndef Q_OS_UNIX
        QSKIP("ends the program with a POSIX signal");
#else
        QTemporaryDir dir;
        // The child's own temporary, runtime and home folders: its lock lands in
        // the runtime one, apart from any program the user runs.
        QTemporaryDir temp;
        QTemporaryDir runtime;
        QTemporaryDir home;
        QVERIFY(QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QString copy = dir.filePath("hibisi");
        QVERIFY(QFile::copy(HIBI_PROGRAM, copy));
        QVERIFY(QFile(copy).setPermissions(QFile::ExeOwner | QFile::ReadOwner | QFile::WriteOwner));
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("TMPDIR", temp.path());
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("HOME", home.path());
        env.remove("XDG_DATA_HOME");
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(QDir::tempPath());   // not the program's folder
        program.start(copy, {});
        QVERIFY(program.waitForStarted());
        // Its single-instance lock shows that the window is being made.
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(runtime.path()).entryList({"*.lock"}, QDir::Files).isEmpty(), 20000);
        QVERIFY(::kill(pid_t(program.processId()), SIGTERM) == 0);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(QFile::exists(dir.filePath("hibisi.ini")));   // written by the close, beside the program
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"hibisi", "hibisi.ini"}));
        QVERIFY(!QFileInfo::exists(home.filePath(".local/share/hibisi")));
        // It leaves nothing behind in either.
        const auto everything = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
        QCOMPARE(QDir(runtime.path()).entryList(everything), QStringList());
        QCOMPARE(QDir(temp.path()).entryList(everything), QStringList());
#endif
    }
};

QTEST_GUILESS_MAIN(TestPortable)
#include "tst_portable.moc"
