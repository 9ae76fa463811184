#include "storage/WholeFile.h"

#include "storage/Durable.h"
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
    // commit() syncs too but takes no notice of a sync that fails: this one does.
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()
            && file.error() == QFileDevice::NoError && SyncFile(file);
    if (!ok || !file.commit()) {
        file.cancelWriting();
        throw FileError::cannotCreate(path);
    }
    // The new file was synced before it took the old one's place; the folder that
    // now names it was not. Through a link, that is the target's folder.
    const QString placed = QFileInfo(path).canonicalFilePath();
    if (!SyncFolderOf(placed.isEmpty() ? path : placed))
        throw FileError::cannotCreate(path);
}

} // namespace hibi
