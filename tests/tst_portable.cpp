// The program alone, copied into an empty folder, starts, paints and keeps its
// files in that folder.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestPortable : public QObject
{
    Q_OBJECT

private slots:
    void runsFromAnEmptyFolder()
    {
        QTemporaryDir dir;
        const QString copy = dir.filePath("hibisi");
        QVERIFY(QFile::copy(HIBI_PROGRAM, copy));
        QVERIFY(QFile(copy).setPermissions(QFile::ExeOwner | QFile::ReadOwner | QFile::WriteOwner));
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HIBI_QUIT_AFTER_FIRST_PAINT", "1");
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(QDir::tempPath());   // not the program's folder
        program.start(copy, {});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(QFile::exists(dir.filePath("hibisi.ini")));
    }
};

QTEST_GUILESS_MAIN(TestPortable)
#include "tst_portable.moc"
