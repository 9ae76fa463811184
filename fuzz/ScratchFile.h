#pragma once

// A calendar file on disk for the targets that go through paths: one per process,
// in a folder of its own in the temporary folder (a scratch folder in memory under
// make fuzz, one in the build folder under ctest), removed after every input. The
// folder, with the day's backups the saves make beside the file, goes when the
// process ends.

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <optional>
#include <unistd.h>

inline QString scratchPath(const char *tag)
{
    struct Folder
    {
        QString path;
        ~Folder() { QDir(path).removeRecursively(); }
    };
    static const Folder folder{QDir::tempPath() + QStringLiteral("/hibi-fuzz-%1").arg(qint64(getpid()))};
    QDir().mkpath(folder.path);
    return folder.path + QStringLiteral("/%1.hsd").arg(QLatin1String(tag));
}

// The file's bytes, or nothing when there is no file.
inline std::optional<QByteArray> fileBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return f.readAll();
}

// Puts `bytes` at `path`, or removes the file when there are none.
inline bool setFile(const QString &path, const std::optional<QByteArray> &bytes)
{
    QFile::remove(path);
    if (!bytes)
        return true;
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(*bytes) == bytes->size();
}
