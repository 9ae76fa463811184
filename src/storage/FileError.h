#pragma once

#include <QString>

#include <stdexcept>

namespace hibi {

// A file that could not be opened, created or written. The message is the one the
// user sees, with the file's full path in it.
class FileError : public std::runtime_error
{
public:
    explicit FileError(const QString &message);
    QString message() const { return m_message; }

    static FileError cannotOpen(const QString &path);     // "ファイル %s は開けません"
    static FileError cannotCreate(const QString &path);   // "ファイル %s を作成できません"
    static FileError cannotWrite(const QString &path);    // disk full or a failing device mid-write
    static FileError cannotRename(const QString &path, const QString &newPath);
    static FileError cannotDelete(const QString &path);
    // The day's backup of a file could not be made, so the file was left as it was.
    static FileError cannotBackUp(const QString &path, const QString &copy);

private:
    QString m_message;
};

} // namespace hibi
