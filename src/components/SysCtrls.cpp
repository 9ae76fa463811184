#include "components/SysCtrls.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSocketNotifier>
#include <QThread>
#include <QWidget>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace hibi {

namespace {

int g_guardCount = 0;
bool g_terminateRequested = false;
QString g_scope;

#ifdef Q_OS_UNIX
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
#endif

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
    // The listening socket and any caller still connected; the socket file goes
    // with the lock.
    for (QSocketNotifier *notifier : findChildren<QSocketNotifier *>()) {
        const bool open = notifier->isEnabled();
        const int fd = int(notifier->socket());
        delete notifier;
        if (open)
            ::close(fd);
    }
    if (m_listening >= 0)
        QFile::remove(socketPath());
#endif
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
    // Per user, like a session's named mutex.
#ifdef Q_OS_UNIX
    QString name = UniqueName + QLatin1Char('-') + QString::number(getuid());
#else
    QString name = UniqueName + QLatin1Char('-') + qEnvironmentVariable("USERNAME");
#endif
    if (!g_scope.isEmpty())
        name += QLatin1Char('-') + g_scope;
    return name;
}

QString TSingleInstance::socketPath() const
{
    return QDir::cleanPath(QDir::tempPath()) + QLatin1Char('/') + baseName();
}

void TSingleInstance::Loaded()
{
    auto lock = std::make_unique<QLockFile>(QDir::temp().filePath(baseName() + QStringLiteral(".lock")));
    lock->setStaleLockTime(0);   // only a lock whose owner is gone is stale
    if (lock->tryLock(0)) {
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
    if (!socketAddress(socketPath(), address))
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
    if (!socketAddress(socketPath(), address))
        return;
    // The first instance may still be starting: give it a moment to listen.
    int fd = -1;
    for (int attempt = 0; attempt < 30 && fd < 0; ++attempt) {
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
    if (!window)
        return;
    window = window->window();
    if (window->isMinimized())
        window->showNormal();
    window->raise();
    window->activateWindow();
}

} // namespace hibi
