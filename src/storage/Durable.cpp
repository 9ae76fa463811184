#include "storage/Durable.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#endif

namespace hibi {

bool SyncFile(int fd)
{
    if (fd < 0)
        return false;
#if defined(Q_OS_DARWIN)
    // fsync only reaches the drive's cache there; F_FULLFSYNC asks the drive too.
    if (::fcntl(fd, F_FULLFSYNC) == 0)
        return true;
    return ::fsync(fd) == 0;
#elif defined(Q_OS_LINUX)
    // The data and the size that finds it; times and modes may wait.
    int rc;
    do {
        rc = ::fdatasync(fd);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
#elif defined(Q_OS_UNIX)
    int rc;
    do {
        rc = ::fsync(fd);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
#elif defined(Q_OS_WIN)
    return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(fd))) != 0;
#else
    return true;
#endif
}

bool SyncFile(QFileDevice &file)
{
    return file.flush() && SyncFile(file.handle());
}

bool SyncPath(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && SyncFile(file.handle());
}

bool SyncFolder(const QString &folder)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // Some systems do not let a folder be opened to read or synced at all (EACCES,
    // EINVAL): there the names are as safe as the system makes them, and a save
    // must not fail for it. Any other error (EIO) is a failed save.
    if (fd < 0)
        return errno == EACCES;
    int rc;
    do {
        rc = ::fsync(fd);
    } while (rc != 0 && errno == EINTR);
    const bool ok = rc == 0 || errno == EINVAL || errno == EBADF || errno == ENOTSUP;
    ::close(fd);
    return ok;
#else
    // NTFS keeps its folder entries in its journal, and a folder cannot be flushed
    // without backup rights: the file's own flush is what Windows offers.
    Q_UNUSED(folder);
    return true;
#endif
}

bool SyncFolderOf(const QString &path)
{
    return SyncFolder(QFileInfo(path).absolutePath());
}

} // namespace hibi
