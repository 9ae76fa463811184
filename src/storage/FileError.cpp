#include "storage/FileError.h"

#include <QDir>
#include <QFileInfo>

namespace hibi {

namespace {
QString fullPath(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}
} // namespace

FileError::FileError(const QString &message)
    : std::runtime_error(message.toStdString()), m_message(message)
{
}

FileError FileError::cannotOpen(const QString &path)
{
    return FileError(QStringLiteral("ファイル %1 は開けません").arg(fullPath(path)));
}

FileError FileError::cannotCreate(const QString &path)
{
    return FileError(QStringLiteral("ファイル %1 を作成できません").arg(fullPath(path)));
}

FileError FileError::cannotWrite(const QString &path)
{
    return FileError(QStringLiteral("ファイル %1 に書き込めません").arg(fullPath(path)));
}

FileError FileError::cannotRename(const QString &path, const QString &newPath)
{
    return FileError(QStringLiteral("ファイル %1 の名前を %2 に変更できません").arg(fullPath(path), fullPath(newPath)));
}

FileError FileError::cannotDelete(const QString &path)
{
    return FileError(QStringLiteral("ファイル %1 を削除できません").arg(fullPath(path)));
}

FileError FileError::cannotBackUp(const QString &path, const QString &copy)
{
    return FileError(QStringLiteral("ファイル %1 のバックアップを %2 に作成できません。ファイルは変更していません。")
                             .arg(fullPath(path), fullPath(copy)));
}

} // namespace hibi
