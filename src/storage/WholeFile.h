#pragma once

#include <QByteArray>
#include <QString>

namespace hibi {

// Replaces the file at `path` with `bytes` through a temporary file beside it,
// which takes the file's place only once every byte is on disk: a crash, a kill
// or a full disk leaves the old file whole, and once it returns the new bytes and
// the folder's new entry survive a power cut. Throws FileError ("を作成できません")
// when it cannot be done, also for a FIFO or a device at `path`, which a
// temporary file would replace.
void SaveWholeFile(const QString &path, const QByteArray &bytes);

} // namespace hibi
