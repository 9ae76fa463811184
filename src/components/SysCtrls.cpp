#include "components/SysCtrls.h"

#include <QApplication>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <QWidget>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace hibi {

namespace {

int g_guardCount = 0;
bool g_terminateRequested = false;
QString g_scope;

enum class Kind { File, Socket, Folder };

#ifdef Q_OS_UNIX
// Whether `path` itself (not what a symlink there points to) is of the given
// kind and belongs to this user; a folder must also be closed to everyone else.
bool ownedByUser(const QString &path, Kind kind)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    const mode_t type = kind == Kind::File ? S_IFREG : kind == Kind::Socket ? S_IFSOCK : S_IFDIR;
    if ((st.st_mode & S_IFMT) != type || st.st_uid != ::geteuid())
        return false;
    return kind != Kind::Folder || (st.st_mode & 0777) == 0700;
}

// Makes room for the lock: whatever stands at its place that is not the user's
// own lock file is removed. False when something foreign stays.
bool clearForeign(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::lstat(name.constData(), &st) != 0 || ownedByUser(path, Kind::File))
        return true;
    if (::unlink(name.constData()) != 0)
        ::rmdir(name.constData());
    return ::lstat(name.constData(), &st) != 0;
}

// Held while an instance looks at the lock and takes it, so that two starts never
// clear each other's lock as foreign. An instance holds it for moments only; the
// wait is bounded all the same, since other programs of the user's share the
// folder and a start must never hang on one of them.
class FolderLock
{
public:
    explicit FolderLock(const QString &folder)
        : m_fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC))
    {
        for (int attempt = 0; m_fd >= 0 && attempt < 200; ++attempt) {
            if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK)
                break;
            QThread::msleep(10);
        }
    }
    ~FolderLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

private:
    int m_fd;
};
#else
// Elsewhere the runtime folder is the user's own profile folder, taken as it is.
bool ownedByUser(const QString &, Kind)
{
    return true;
}
bool clearForeign(const QString &)
{
    return true;
}
struct FolderLock
{
    explicit FolderLock(const QString &) {}
};
#endif

// The user's runtime folder, when it can be trusted: Qt takes it from the session
// or makes one in the temporary folder, and checks it; it is checked again here,
// because whoever controls this folder decides whether the program may start.
QString privateFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return !folder.isEmpty() && ownedByUser(folder, Kind::Folder) ? folder : QString();
}

} // namespace

TSingleInstance::TSingleInstance(QObject *owner)
    : QObject(owner), ErrorMessage(QStringLiteral("すでに起動されています"))
{
    if (++g_guardCount > 1) {
        --g_guardCount;   // no destructor runs for a guard that was never made
        throw EMultiSingleInstance("Only single component allowed");
    }
}

TSingleInstance::~TSingleInstance()
{
    // The socket goes before the lock: once the lock is free, a new first instance
    // may already be listening at the same place.
    delete m_server;
    m_lock.reset();
    --g_guardCount;
}

bool TSingleInstance::TerminateRequested()
{
    return g_terminateRequested;
}

void TSingleInstance::setScope(const QString &scope)
{
    g_scope = scope;
}

QString TSingleInstance::baseName() const
{
    return g_scope.isEmpty() ? UniqueName : UniqueName + QLatin1Char('-') + g_scope;
}

void TSingleInstance::Loaded()
{
    const QString folder = privateFolder();
    if (folder.isEmpty()) {
        // No folder that only this user controls: run as a first instance without
        // a lock. A lock in a folder another user can write to would let that user
        // keep the program from ever starting; two copies side by side do less harm.
        return;
    }
    m_lockPath = folder + QLatin1Char('/') + baseName() + QStringLiteral(".lock");
    m_socketPath = folder + QLatin1Char('/') + baseName();

    auto lock = std::make_unique<QLockFile>(m_lockPath);
    lock->setStaleLockTime(0);   // only a lock whose owner is gone is stale
    bool taken = false;
    {
        const FolderLock looking(folder);
        if (!clearForeign(m_lockPath))
            return;   // something not ours holds the place: run without a lock
        taken = lock->tryLock(0);
    }
    if (taken) {
        m_lock = std::move(lock);
        listen();
        return;
    }
    if (lock->error() != QLockFile::LockFailedError) {
        // Neither taken nor held by another: run as a first instance without a lock.
        return;
    }
    if (OnDuplicate)
        OnDuplicate(this);
    switch (DupInstAction) {
    case diActivateFirst:
        ActivateFirst();
        g_terminateRequested = true;
        break;
    case diException:
        throw EMultiAppInstance(ErrorMessage.toStdString());
    case diTerminate:
        g_terminateRequested = true;
        break;
    }
}

void TSingleInstance::listen()
{
    m_server = new QLocalServer(this);
    QLocalServer::removeServer(m_socketPath);   // left by an instance that crashed
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *peer = m_server->nextPendingConnection()) {
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                peer->readAll();
                bringToFront();
                emit activationRequested();
                peer->disconnectFromServer();
            });
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        }
    });
    m_server->listen(m_socketPath);
}

void TSingleInstance::ActivateFirst()
{
    // The first instance may still be starting: give it a moment to listen. Only a
    // socket of this user's is spoken to.
    QLocalSocket socket;
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (ownedByUser(m_socketPath, Kind::Socket)) {
            socket.connectToServer(m_socketPath);
            if (socket.waitForConnected(100))
                break;
        }
        QThread::msleep(50);
    }
    if (socket.state() != QLocalSocket::ConnectedState)
        return;
    socket.write("activate");
    socket.waitForBytesWritten(500);
    socket.waitForDisconnected(500);
}

void TSingleInstance::bringToFront()
{
    QWidget *window = QApplication::activeModalWidget();
    if (!window)
        window = qobject_cast<QWidget *>(parent());
    if (!window)
        return;
    window = window->window();
    if (window->isMinimized())
        window->showNormal();
    window->raise();
    window->activateWindow();
}

} // namespace hibi
