#include "storage/FolderLock.h"

#include <QDir>
#include <QLockFile>

namespace hibi {

QString FolderLock::fileName()
{
    return QStringLiteral(".hibisi.lock");
}

FolderLock::FolderLock(const QString &folder)
    : m_lock(std::make_unique<QLockFile>(QDir(folder).filePath(fileName())))
{
    m_lock->setStaleLockTime(0);   // only a lock whose owner is gone is stale
    if (m_lock->tryLock(0)) {
        m_state = State::Held;
        return;
    }
    if (m_lock->error() == QLockFile::LockFailedError) {
        m_state = State::HeldByAnother;
        QString host;
        QString application;
        m_lock->getLockInfo(&m_ownerPid, &host, &application);
    }
}

FolderLock::~FolderLock() = default;

} // namespace hibi
