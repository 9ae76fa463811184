// The single-instance guard: in one process, and as real programs started side by side.
#include "components/SysCtrls.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

using namespace hibi;

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void secondGuardInOneProcess();
    void actionsOfADuplicate();
    void duplicateProgramAsksTheFirstAndEnds();
    void tenSimultaneousStartsLeaveOne();

private:
    QProcess *start(const QString &program);
    QString programCopy();
    QTemporaryDir m_dir;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

QString TestSingleInstance::programCopy()
{
    const QString copy = m_dir.filePath("hibisi");
    if (!QFile::exists(copy)) {
        QFile::copy(HIBI_PROGRAM, copy);
        QFile(copy).setPermissions(QFile::ExeOwner | QFile::ReadOwner | QFile::WriteOwner);
    }
    return copy;
}

QProcess *TestSingleInstance::start(const QString &program)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process->setProcessEnvironment(env);
    process->start(program, {});
    m_processes.push_back(std::move(process));
    return m_processes.back().get();
}

void TestSingleInstance::secondGuardInOneProcess()
{
    TSingleInstance first;
    QCOMPARE(first.ErrorMessage, QStringLiteral("すでに起動されています"));
    QCOMPARE(first.DupInstAction, diActivateFirst);
    try {
        TSingleInstance second;
        QFAIL("a second guard was made");
    } catch (const EMultiSingleInstance &e) {
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Only single component allowed"));
    }
}

void TestSingleInstance::actionsOfADuplicate()
{
    // A child program holds the name; this process then starts as a duplicate.
    QProcess *first = start(programCopy());
    QVERIFY(first->waitForStarted());
    QTest::qWait(1000);
    QCOMPARE(first->state(), QProcess::Running);

    {
        auto guard = std::make_unique<TSingleInstance>();
        guard->UniqueName = "Ident8982";
        guard->DupInstAction = diException;
        guard->ErrorMessage = "二重起動";
        int duplicates = 0;
        guard->OnDuplicate = [&duplicates](TSingleInstance *) { ++duplicates; };
        try {
            guard->Loaded();
            QFAIL("no error raised");
        } catch (const EMultiAppInstance &e) {
            QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("二重起動"));
        }
        QCOMPARE(duplicates, 1);
        QVERIFY(!guard->isFirstInstance());
        QVERIFY(!TSingleInstance::TerminateRequested());
    }
    {
        TSingleInstance guard;
        guard.UniqueName = "Ident8982";
        guard.DupInstAction = diTerminate;
        guard.Loaded();
        QVERIFY(!guard.isFirstInstance());
        QVERIFY(TSingleInstance::TerminateRequested());
    }
    first->terminate();
    QVERIFY(first->waitForFinished(5000));
}

void TestSingleInstance::duplicateProgramAsksTheFirstAndEnds()
{
    // This test process is the first instance.
    TSingleInstance first;
    first.UniqueName = "Ident8982";
    first.Loaded();
    QVERIFY(first.isFirstInstance());
    QSignalSpy asked(&first, &TSingleInstance::activationRequested);

    const QString program = programCopy();
    const QStringList before = QDir(m_dir.path()).entryList(QDir::Files);
    QProcess *duplicate = start(program);
    QVERIFY(duplicate->waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(asked.count(), 1, 10000);
    // waitForFinished() is false for a process that has ended already.
    QTRY_COMPARE_WITH_TIMEOUT(duplicate->state(), QProcess::NotRunning, 10000);
    QCOMPARE(duplicate->exitStatus(), QProcess::NormalExit);
    QCOMPARE(duplicate->exitCode(), 0);
    QVERIFY(duplicate->readAllStandardError().indexOf("すでに") < 0);
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), before);   // it saved nothing
}

void TestSingleInstance::tenSimultaneousStartsLeaveOne()
{
    const QString program = programCopy();
    std::vector<QProcess *> started;
    for (int i = 0; i < 10; ++i)
        started.push_back(start(program));
    for (QProcess *p : started)
        QVERIFY(p->waitForStarted());
    // Nine end by themselves; one stays.
    QTRY_COMPARE_WITH_TIMEOUT(std::count_if(started.begin(), started.end(),
                                            [](QProcess *p) { return p->state() == QProcess::NotRunning; }),
                              9L, 20000);
    QTest::qWait(500);
    QProcess *survivor = nullptr;
    for (QProcess *p : started)
        if (p->state() != QProcess::NotRunning)
            survivor = p;
        else
            QCOMPARE(p->exitCode(), 0);
    QVERIFY(survivor);

    // Killed, it leaves a lock behind that does not block the next start.
    survivor->kill();
    QVERIFY(survivor->waitForFinished(5000));
    QProcess *next = start(program);
    QVERIFY(next->waitForStarted());
    QTest::qWait(1500);
    QCOMPARE(next->state(), QProcess::Running);
    // And a start while it runs is a duplicate again.
    QProcess *duplicate = start(program);
    QTRY_COMPARE_WITH_TIMEOUT(duplicate->state(), QProcess::NotRunning, 10000);
    QCOMPARE(duplicate->exitCode(), 0);
    QCOMPARE(next->state(), QProcess::Running);
    next->terminate();
    QVERIFY(next->waitForFinished(5000));
}

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
