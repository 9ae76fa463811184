// The single-instance guard: in one process, and as real programs started side by
// side. The test and every program it starts use a temporary folder and a runtime
// folder of their own, so a program the user runs is never disturbed.
#include "components/SysCtrls.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QLocalServer>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace hibi;

namespace {

const QString kName = QStringLiteral("Ident8982");

// Whether the program catches SIGTERM yet: from then on the signal ends it through
// its window's close.
bool catchesTermination(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
    return false;
}

uid_t owner(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_uid : uid_t(-1);
}

// Every entry below `folder` with its owner, to see that nothing there changed.
QStringList contents(const QString &folder)
{
    QStringList entries;
    const QDir dir(folder);
    for (const QFileInfo &info : dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        entries << QStringLiteral("%1 %2 %3").arg(info.fileName()).arg(owner(info.filePath())).arg(info.size());
    return entries;
}

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void secondGuardInOneProcess();
    void actionsOfADuplicate();
    void duplicateProgramAsksTheFirstAndEnds();
    void tenSimultaneousStartsLeaveOne();
    void foreignLockIsNeverTrusted();
    void foreignSocketIsNeverSpokenTo();
    void startDoesNotWaitOnOtherProgramsInTheFolder();
    void untrustedRuntimeFolder_data();
    void untrustedRuntimeFolder();
    void twoCopiesOnOneFolderNeverBothRun_data();
    void twoCopiesOnOneFolderNeverBothRun();
    void terminationEndsAStartUpBox_data();
    void terminationEndsAStartUpBox();

private:
    struct Program
    {
        std::unique_ptr<QTemporaryDir> folder;   // the program's own folder
        QString path;
        QString settings() const { return folder->filePath(QStringLiteral("hibisi.ini")); }
    };
    Program programCopy();
    QProcess *start(const Program &program, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment());
    bool endsAsFirstInstance(QProcess *process, const Program &program);
    QString lockPath() const { return m_runtime + QLatin1Char('/') + kName + QStringLiteral(".lock"); }
    qint64 lockHolder() const;
    bool giveToNobody(const QString &path);

    QTemporaryDir m_home;
    QString m_runtime;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

void TestSingleInstance::initTestCase()
{
    // This process and its children: a temporary folder and a private runtime
    // folder of their own, both gone with m_home.
    QVERIFY(m_home.isValid());
    m_runtime = m_home.filePath(QStringLiteral("runtime"));
    QVERIFY(QDir().mkpath(m_home.filePath(QStringLiteral("tmp"))));
    QVERIFY(QDir().mkpath(m_runtime));
    QVERIFY(QFile::setPermissions(m_runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    qputenv("TMPDIR", QFile::encodeName(m_home.filePath(QStringLiteral("tmp"))));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime));
    QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation), m_runtime);
}

void TestSingleInstance::cleanupTestCase()
{
    for (auto &p : m_processes)
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(5000);
        }
    // Every program that ran to its end took its lock and socket with it.
    QCOMPARE(QDir(m_runtime).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
             QStringList());
}

TestSingleInstance::Program TestSingleInstance::programCopy()
{
    Program program;
    program.folder = std::make_unique<QTemporaryDir>();
    program.path = program.folder->filePath(QStringLiteral("hibisi"));
    if (!QFile::copy(HIBI_PROGRAM, program.path))
        qWarning("cannot copy the program");
    QFile(program.path).setPermissions(QFile::ExeOwner | QFile::ReadOwner | QFile::WriteOwner);
    return program;
}

QProcess *TestSingleInstance::start(const Program &program, const QProcessEnvironment &env)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment childEnv = env;
    childEnv.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process->setProcessEnvironment(childEnv);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(program.path, {});
    m_processes.push_back(std::move(process));
    return m_processes.back().get();
}

// Ends the program as a logout would and tells whether it ran as the first
// instance: only a first instance's close writes the settings beside it, a
// duplicate ends by itself and writes nothing.
bool TestSingleInstance::endsAsFirstInstance(QProcess *process, const Program &program)
{
    if (!process->waitForStarted())
        return false;
    if (!QTest::qWaitFor([&] { return process->state() == QProcess::NotRunning || catchesTermination(process->processId()); },
                         20000))
        return false;
    if (process->state() != QProcess::NotRunning)
        ::kill(pid_t(process->processId()), SIGTERM);
    if (!QTest::qWaitFor([&] { return process->state() == QProcess::NotRunning; }, 20000))
        return false;
    if (process->exitStatus() != QProcess::NormalExit || process->exitCode() != 0)
        return false;
    return QFile::exists(program.settings());
}

qint64 TestSingleInstance::lockHolder() const
{
    qint64 pid = 0;
    return QLockFile(lockPath()).getLockInfo(&pid, nullptr, nullptr) ? pid : 0;
}

bool TestSingleInstance::giveToNobody(const QString &path)
{
    const passwd *nobody = ::getpwnam("nobody");
    return nobody && ::lchown(QFile::encodeName(path).constData(), nobody->pw_uid, nobody->pw_gid) == 0
            && owner(path) == nobody->pw_uid;
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
    const Program program = programCopy();
    QProcess *first = start(program);
    QVERIFY(first->waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(lockHolder(), first->processId(), 20000);

    {
        auto guard = std::make_unique<TSingleInstance>();
        guard->UniqueName = kName;
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
        guard.UniqueName = kName;
        guard.DupInstAction = diTerminate;
        guard.Loaded();
        QVERIFY(!guard.isFirstInstance());
        QVERIFY(TSingleInstance::TerminateRequested());
    }
    QVERIFY(endsAsFirstInstance(first, program));
}

void TestSingleInstance::duplicateProgramAsksTheFirstAndEnds()
{
    // This test process is the first instance.
    TSingleInstance first;
    first.UniqueName = kName;
    first.Loaded();
    QVERIFY(first.isFirstInstance());
    QCOMPARE(lockHolder(), QCoreApplication::applicationPid());
    QSignalSpy asked(&first, &TSingleInstance::activationRequested);

    const Program program = programCopy();
    const QStringList before = QDir(program.folder->path()).entryList(QDir::Files);
    QProcess *duplicate = start(program);
    QVERIFY(duplicate->waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(asked.count(), 1, 10000);
    // waitForFinished() is false for a process that has ended already.
    QTRY_COMPARE_WITH_TIMEOUT(duplicate->state(), QProcess::NotRunning, 10000);
    QCOMPARE(duplicate->exitStatus(), QProcess::NormalExit);
    QCOMPARE(duplicate->exitCode(), 0);
    QCOMPARE(QDir(program.folder->path()).entryList(QDir::Files), before);   // it saved nothing
}

void TestSingleInstance::tenSimultaneousStartsLeaveOne()
{
    const Program program = programCopy();
    std::vector<QProcess *> started;
    for (int i = 0; i < 10; ++i)
        started.push_back(start(program));
    for (QProcess *p : started)
        QVERIFY(p->waitForStarted());
    // Nine end by themselves; the one that stays holds the lock.
    QTRY_COMPARE_WITH_TIMEOUT(std::count_if(started.begin(), started.end(),
                                            [](QProcess *p) { return p->state() == QProcess::NotRunning; }),
                              9L, 30000);
    QProcess *survivor = nullptr;
    for (QProcess *p : started)
        if (p->state() != QProcess::NotRunning)
            survivor = p;
        else
            QCOMPARE(p->exitCode(), 0);
    QVERIFY(survivor);
    QTRY_COMPARE_WITH_TIMEOUT(lockHolder(), survivor->processId(), 20000);
    QVERIFY(!QFile::exists(program.settings()));   // none of the nine saved anything

    // Killed, it leaves its lock behind, which does not block the next start.
    survivor->kill();
    QVERIFY(survivor->waitForFinished(5000));
    QVERIFY(QFile::exists(lockPath()));
    QProcess *next = start(program);
    QVERIFY(next->waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(lockHolder(), next->processId(), 20000);
    // And a start while it runs is a duplicate again.
    QProcess *duplicate = start(program);
    QTRY_COMPARE_WITH_TIMEOUT(duplicate->state(), QProcess::NotRunning, 10000);
    QCOMPARE(duplicate->exitCode(), 0);
    QVERIFY(!QFile::exists(program.settings()));
    QCOMPARE(next->state(), QProcess::Running);
    QVERIFY(endsAsFirstInstance(next, program));
}

void TestSingleInstance::foreignLockIsNeverTrusted()
{
    // A live lock at the lock's place, given to another user: it names this
    // process, so by its contents it is held.
    {
        QLockFile mine(m_home.filePath(QStringLiteral("mine.lock")));
        QVERIFY(mine.tryLock(0));
        QVERIFY(QFile::copy(m_home.filePath(QStringLiteral("mine.lock")), lockPath()));
    }
    if (!giveToNobody(lockPath())) {
        QFile::remove(lockPath());
        QSKIP("giving a file to another user needs root");
    }

    const Program program = programCopy();
    QProcess *process = start(program);
    QVERIFY(process->waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(lockHolder(), process->processId(), 20000);
    QCOMPARE(owner(lockPath()), ::geteuid());
    QVERIFY(endsAsFirstInstance(process, program));
    QVERIFY(!QFile::exists(lockPath()));
}

void TestSingleInstance::foreignSocketIsNeverSpokenTo()
{
    // The lock is held for real (by this process), but the socket beside it is
    // another user's: the duplicate ends without speaking to it.
    QLockFile held(lockPath());
    QVERIFY(held.tryLock(0));
    const QString socketPath = m_runtime + QLatin1Char('/') + kName;
    QLocalServer foreign;
    QVERIFY(foreign.listen(socketPath));
    if (!giveToNobody(socketPath))
        QSKIP("giving a file to another user needs root");
    QSignalSpy spokenTo(&foreign, &QLocalServer::newConnection);

    const Program program = programCopy();
    QProcess *duplicate = start(program);
    QVERIFY(!endsAsFirstInstance(duplicate, program));
    QCOMPARE(duplicate->exitStatus(), QProcess::NormalExit);
    QCOMPARE(duplicate->exitCode(), 0);
    QCOMPARE(spokenTo.count(), 0);
    QCOMPARE(lockHolder(), QCoreApplication::applicationPid());
}

void TestSingleInstance::startDoesNotWaitOnOtherProgramsInTheFolder()
{
    // Another program of the user's holds a lock on the runtime folder itself.
    const int folder = ::open(QFile::encodeName(m_runtime).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    QVERIFY(folder >= 0);
    QCOMPARE(::flock(folder, LOCK_EX), 0);
    const Program program = programCopy();
    QProcess *process = start(program);
    QVERIFY(process->waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(lockHolder(), process->processId(), 20000);
    ::close(folder);
    QVERIFY(endsAsFirstInstance(process, program));
}

namespace {

// Ways another user could prepare the folders the runtime folder comes from, each
// with a live lock inside that would stop the program if it were believed.
enum class Hostile { FolderOfNobody, FolderOpenToAll, FolderIsSymlink, FallbackOfNobody, FallbackIsSymlink };

} // namespace

void TestSingleInstance::untrustedRuntimeFolder_data()
{
    QTest::addColumn<Hostile>("hostile");
    QTest::newRow("runtime folder owned by another user") << Hostile::FolderOfNobody;
    QTest::newRow("runtime folder open to everyone") << Hostile::FolderOpenToAll;
    QTest::newRow("runtime folder a symlink to a folder of the user's") << Hostile::FolderIsSymlink;
    QTest::newRow("no runtime folder; the temporary one owned by another user") << Hostile::FallbackOfNobody;
    QTest::newRow("no runtime folder; the temporary one a symlink") << Hostile::FallbackIsSymlink;
}

void TestSingleInstance::untrustedRuntimeFolder()
{
    QFETCH(Hostile, hostile);
    QTemporaryDir place;
    const QString tmp = place.filePath(QStringLiteral("tmp"));
    QVERIFY(QDir().mkpath(tmp));
    // Without a runtime folder from the session, Qt falls back to this one.
    const QString fallback = tmp + QStringLiteral("/runtime-") + QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name);
    const bool noRuntimeFolder = hostile == Hostile::FallbackOfNobody || hostile == Hostile::FallbackIsSymlink;

    // The folder with the live lock, and the runtime folder the program is told of.
    const QString planted = hostile == Hostile::FallbackOfNobody ? fallback : place.filePath(QStringLiteral("planted"));
    QVERIFY(QDir().mkpath(planted));
    QVERIFY(QFile::setPermissions(planted, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QLockFile live(planted + QLatin1Char('/') + kName + QStringLiteral(".lock"));
    QVERIFY(live.tryLock(0));
    QString runtime = planted;
    switch (hostile) {
    case Hostile::FolderOfNobody:
    case Hostile::FallbackOfNobody:
        if (!giveToNobody(planted))
            QSKIP("giving a folder to another user needs root");
        break;
    case Hostile::FolderOpenToAll:
        QVERIFY(QFile::setPermissions(planted, QFile::Permissions(0x7777)));
        break;
    case Hostile::FolderIsSymlink:
        runtime = place.filePath(QStringLiteral("link"));
        QVERIFY(QFile::link(planted, runtime));
        break;
    case Hostile::FallbackIsSymlink:
        QVERIFY(QFile::link(planted, fallback));
        break;
    }
    const QStringList before = contents(planted);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), tmp);
    if (noRuntimeFolder)
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    else
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    const Program program = programCopy();
    QVERIFY(endsAsFirstInstance(start(program, env), program));
    QCOMPARE(contents(planted), before);
}

// Two copies that cannot see each other's runtime folder (two logins, or none
// at all) on one folder of calendars: the later one says so and ends without
// writing, so it never writes back years older than the first one's.
void TestSingleInstance::twoCopiesOnOneFolderNeverBothRun_data()
{
    QTest::addColumn<bool>("runtimeFolder");
    QTest::newRow("another runtime folder") << true;
    QTest::newRow("no runtime folder") << false;
}

void TestSingleInstance::twoCopiesOnOneFolderNeverBothRun()
{
    QFETCH(bool, runtimeFolder);
    const Program program = programCopy();
    QProcess *first = start(program);
    QVERIFY(first->waitForStarted());
    const QString folderLock = program.folder->filePath(QStringLiteral(".hibisi.lock"));
    auto folderHolder = [&] {
        qint64 pid = 0;
        return QLockFile(folderLock).getLockInfo(&pid, nullptr, nullptr) ? pid : 0;
    };
    QTRY_COMPARE_WITH_TIMEOUT(folderHolder(), first->processId(), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(catchesTermination(first->processId()), 20000);

    QTemporaryDir other;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), other.path());
    if (runtimeFolder) {
        QVERIFY(QFile::setPermissions(other.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), other.path());
    } else {
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    }
    const QStringList before = contents(program.folder->path());
    QProcess *second = start(program, env);
    QVERIFY(second->waitForStarted());
    // It says why it does not run, in a box that stays until it is answered, or
    // until the session ends.
    QTRY_VERIFY_WITH_TIMEOUT(catchesTermination(second->processId()), 20000);
    QTest::qWait(300);
    QCOMPARE(second->state(), QProcess::Running);
    ::kill(pid_t(second->processId()), SIGTERM);
    QTRY_COMPARE_WITH_TIMEOUT(second->state(), QProcess::NotRunning, 20000);
    QCOMPARE(second->exitCode(), 0);
    QCOMPARE(contents(program.folder->path()), before);   // nothing written
    QCOMPARE(folderHolder(), first->processId());
    QVERIFY(endsAsFirstInstance(first, program));
    QVERIFY(!QFile::exists(folderLock));
}

// A box at the start (a settings file that cannot be read) does not hold a
// logout up: the signal closes it and the program ends.
void TestSingleInstance::terminationEndsAStartUpBox_data()
{
    QTest::addColumn<QString>("blocked");
    QTest::newRow("a folder for the settings file") << "hibisi.ini";
    QTest::newRow("a folder for the calendar") << "カレンダー1.hsd";
}

void TestSingleInstance::terminationEndsAStartUpBox()
{
    QFETCH(QString, blocked);
    const Program program = programCopy();
    QVERIFY(QDir().mkdir(program.folder->filePath(blocked)));
    QProcess *process = start(program);
    QVERIFY(process->waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(catchesTermination(process->processId()), 20000);
    QTest::qWait(500);   // the box is up
    QCOMPARE(process->state(), QProcess::Running);
    ::kill(pid_t(process->processId()), SIGTERM);
    QTRY_COMPARE_WITH_TIMEOUT(process->state(), QProcess::NotRunning, 10000);
    QCOMPARE(process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(process->exitCode(), 0);
    QVERIFY(QFileInfo(program.folder->filePath(blocked)).isDir());   // nothing written over it
}

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
