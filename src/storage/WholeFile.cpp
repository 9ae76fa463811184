#include "storage/WholeFile.h"

#include "storage/FileError.h"

#include <QFileInfo>
#include <QSaveFile>

namespace hibi {

void SaveWholeFile(const QString &path, const QByteArray &bytes)
{
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        throw FileError::cannotCreate(path);
    QSaveFile file(path);
    // write() must take every byte and flush() must succeed: on a full disk this Qt
    // would otherwise commit a truncated file over the old one.
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()
            && file.error() == QFileDevice::NoError;
    if (!ok || !file.commit()) {
        file.cancelWriting();
        throw FileError::cannotCreate(path);
    }
}

} // namespace hibi
