#include "components/SysCtrls.h"

#include <QApplication>
#include <QFile>
#include <QLockFile>
#include <QMainWindow>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>
#include <QWidget>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
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

bool socketAddress(const QString &path, sockaddr_un &address)
{
    const QByteArray bytes = QFile::encodeName(path);
    if (size_t(bytes.size()) >= sizeof(address.sun_path))
        return false;
    address = {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, bytes.constData(), size_t(bytes.size()));
    return true;
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
#ifdef Q_OS_UNIX
    // The socket goes before the lock: once the lock is free, a new first instance
    // may already be listening at the same place. Callers still connected go too.
    for (QSocketNotifier *notifier : findChildren<QSocketNotifier *>()) {
        const bool open = notifier->isEnabled();
        const int fd = int(notifier->socket());
        delete notifier;
        if (open)
            ::close(fd);
    }
    if (m_listening >= 0)
        QFile::remove(m_socketPath);
#endif
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

#ifdef Q_OS_UNIX
void TSingleInstance::listen()
{
    sockaddr_un address;
    if (!socketAddress(m_socketPath, address))
        return;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return;
    ::unlink(address.sun_path);   // left by an instance that crashed: the lock is ours now
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 || ::listen(fd, 16) != 0) {
        ::close(fd);
        return;
    }
    m_listening = fd;
    auto *notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &TSingleInstance::acceptCallers);
}

void TSingleInstance::acceptCallers()
{
    for (;;) {
        const int peer = ::accept4(m_listening, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (peer < 0)
            return;
        // Whatever a caller writes asks for the front; then it is hung up on.
        auto *notifier = new QSocketNotifier(peer, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this, notifier, peer] {
            char bytes[64];
            const ssize_t got = ::read(peer, bytes, sizeof bytes);
            if (got < 0 && (errno == EAGAIN || errno == EINTR))
                return;
            notifier->setEnabled(false);   // a disabled notifier's socket is closed
            notifier->deleteLater();
            ::close(peer);
            if (got > 0) {
                bringToFront();
                emit activationRequested();
            }
        });
    }
}

void TSingleInstance::ActivateFirst()
{
    sockaddr_un address;
    if (!socketAddress(m_socketPath, address))
        return;
    // The first instance may still be starting: give it a moment to listen. Only
    // a socket of this user's is spoken to.
    int fd = -1;
    for (int attempt = 0; attempt < 30 && fd < 0; ++attempt) {
        if (!ownedByUser(m_socketPath, Kind::Socket)) {
            QThread::msleep(100);
            continue;
        }
        fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
            ::close(fd);
            fd = -1;
            QThread::msleep(100);
        }
    }
    if (fd < 0)
        return;
    static const char message[] = "activate";
    if (::send(fd, message, sizeof message - 1, MSG_NOSIGNAL) > 0) {
        // Until the first instance has read it and hung up, half a second at most.
        pollfd wait{fd, POLLIN, 0};
        char byte;
        while (::poll(&wait, 1, 500) > 0 && ::read(fd, &byte, 1) > 0) {
        }
    }
    ::close(fd);
}
#else
// Elsewhere a second start only ends.
void TSingleInstance::listen() {}
void TSingleInstance::acceptCallers() {}
void TSingleInstance::ActivateFirst() {}
#endif

void TSingleInstance::bringToFront()
{
    QWidget *window = QApplication::activeModalWidget();
    if (!window)
        window = qobject_cast<QWidget *>(parent());
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (!window && qobject_cast<QMainWindow *>(top))
            window = top;
    }
    if (!window)
        return;
    window = window->window();
    if (window->isMinimized())
        window->showNormal();
    window->raise();
    window->activateWindow();
}

} // namespace hibi
