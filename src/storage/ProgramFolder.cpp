#include "storage/ProgramFolder.h"

#include "storage/Backups.h"
#include "storage/CalendarFile.h"
#include "storage/Catalogue.h"
#include "storage/FolderLock.h"
#include "storage/NoteFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace hibi {

namespace {

QString withSlash(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

// The real folder behind links (/bin is /usr/bin on merged systems); as written
// when it does not exist.
QString resolved(const QString &folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QDir(folder).absolutePath()) : canonical;
}

} // namespace

bool CanCreateFilesIn(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(withSlash(folder) + QStringLiteral(".hibisi-probe-XXXXXX"));
    return probe.open();   // removed again when `probe` goes
}

bool HoldsProgramFiles(const QString &folder)
{
    return QFileInfo(withSlash(folder) + kSettingsFileName).exists() || !ScanCalendarFiles(folder).isEmpty();
}

bool IsSystemFolder(const QString &folder)
{
#ifdef Q_OS_UNIX
    static const QStringList kSystemTrees = {
        QStringLiteral("/usr"),  QStringLiteral("/bin"),   QStringLiteral("/sbin"),   QStringLiteral("/lib"),
        QStringLiteral("/lib32"), QStringLiteral("/lib64"), QStringLiteral("/libx32"), QStringLiteral("/opt"),
        QStringLiteral("/etc"),  QStringLiteral("/snap"),  QStringLiteral("/nix/store"), QStringLiteral("/app"),
    };
    const QString path = resolved(folder);
    for (const QString &tree : kSystemTrees) {
        if (path == tree || path.startsWith(tree + QLatin1Char('/')))
            return true;
    }
    return false;
#else
    // Elsewhere the folders of installed programs refuse an ordinary user's files,
    // which the probe finds out.
    Q_UNUSED(folder);
    return false;
#endif
}

namespace {

// Where a path leads, links followed: its folder's real path and its name. A
// link to a file that is not there yet leads where that file would be made.
QString whereItLeads(QString path)
{
    for (int depth = 0; depth < 40; ++depth) {
        const QFileInfo info(path);
        if (!info.isSymLink())
            break;
        path = info.symLinkTarget();
    }
    const QFileInfo info(path);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? info.absolutePath() : folder) + QLatin1Char('/') + info.fileName();
}

} // namespace

bool IsProgramFile(const QString &path, const QString &programFolder)
{
    const QString target = whereItLeads(path);
    QString folder = QFileInfo(programFolder).canonicalFilePath();
    if (folder.isEmpty())
        folder = QFileInfo(programFolder).absoluteFilePath();
    folder = withSlash(folder);
    if (target.startsWith(folder + kBackupFolderName + QLatin1Char('/')))
        return true;
    if (!target.startsWith(folder) || target.mid(folder.size()).contains(QLatin1Char('/')))
        return false;
    const QString name = target.mid(folder.size());
    return name.compare(kSettingsFileName, Qt::CaseInsensitive) == 0
            || name.endsWith(kCalendarExtension, Qt::CaseInsensitive) || name.endsWith(kNoteExtension, Qt::CaseInsensitive)
            || name == FolderLock::fileName();
}

QString UserDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString ChooseProgramFolder(const QString &executableFolder, const QString &dataFolder, const FolderProbe &canCreateFiles)
{
    if (!IsSystemFolder(executableFolder)
        && (HoldsProgramFiles(executableFolder) || canCreateFiles(executableFolder)))
        return withSlash(executableFolder);
    // When it cannot be made, the first save says so with the path; nothing falls
    // back to the program's own folder. Made here, it is the user's alone: home
    // folders are often open to everyone's reading.
    if (!QFileInfo::exists(dataFolder) && QDir().mkpath(dataFolder))
        QFile::setPermissions(dataFolder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return withSlash(dataFolder);
}

QString ChooseProgramFolder(const QString &executableFolder)
{
    return ChooseProgramFolder(executableFolder, UserDataFolder());
}

} // namespace hibi
