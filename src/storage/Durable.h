#pragma once

#include <QString>

class QFileDevice;

namespace hibi {

// What a power cut keeps is what was synced: close() syncs nothing, and a file
// made and written but never synced can come back empty. A save syncs the file
// it wrote, and the folder of every name it made, renamed or removed, before it
// reports success; false means the bytes may not be on the disk.

// Syncs an open file's bytes and size; the file's pending writes are flushed first.
[[nodiscard]] bool SyncFile(QFileDevice &file);
[[nodiscard]] bool SyncFile(int fd);
// Syncs a folder's entries, so that names made, renamed or removed in it stay.
[[nodiscard]] bool SyncFolder(const QString &folder);
// Syncs a file by its name: one this program did not write itself.
[[nodiscard]] bool SyncPath(const QString &path);
// Syncs the folder that holds `path`.
[[nodiscard]] bool SyncFolderOf(const QString &path);

} // namespace hibi
