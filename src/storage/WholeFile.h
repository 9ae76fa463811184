#pragma once

#include <QByteArray>
#include <QString>

namespace hibi {

// Replaces the file at `path` with `bytes` through a temporary file beside it,
// which takes the file's place only once every byte is on disk: a crash, a kill
// or a full disk leaves the old file whole. Throws FileError ("を作成できません")
// when it cannot be done, also for a FIFO or a device at `path`, which a
// temporary file would replace.
void SaveWholeFile(const QString &path, const QByteArray &bytes);

} // namespace hibi
