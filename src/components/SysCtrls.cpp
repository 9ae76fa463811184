#include "components/SysCtrls.h"

#include <QApplication>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>
#include <QWidget>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace hibi {

namespace {

int g_guardCount = 0;
bool g_terminateRequested = false;
QString g_scope;

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

void TSingleInstance::Loaded()
{
    auto lock = std::make_unique<QLockFile>(QDir::temp().filePath(baseName() + QStringLiteral(".lock")));
    lock->setStaleLockTime(0);   // only a lock whose owner is gone is stale
    if (lock->tryLock(0)) {
        m_lock = std::move(lock);
        m_server = new QLocalServer(this);
        QLocalServer::removeServer(baseName());   // left by an instance that crashed
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
        m_server->listen(baseName());
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

void TSingleInstance::ActivateFirst()
{
    // The first instance may still be starting: give it a moment to listen.
    QLocalSocket socket;
    for (int attempt = 0; attempt < 20; ++attempt) {
        socket.connectToServer(baseName());
        if (socket.waitForConnected(100))
            break;
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
