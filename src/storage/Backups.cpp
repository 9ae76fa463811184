#include "storage/Backups.h"

#include "calendar/Clock.h"
#include "storage/Durable.h"
#include "storage/FileError.h"
#include "storage/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <map>
#include <optional>

namespace hibi {

namespace {

const QString kBeforeRestore = QStringLiteral(".before-restore-");

QDate todayDate()
{
    const YearMonthDay16 t = Today();
    return QDate(t.year, t.month, t.day);
}

QString dayFolder(const QString &dataFile, QDate day)
{
    return BackupFolder(dataFile) + QLatin1Char('/') + day.toString(Qt::ISODate);
}

// The day a backup folder stands for; nothing for anything else found there.
std::optional<QDate> folderDay(const QFileInfo &entry)
{
    if (!entry.isDir() || entry.isSymLink())
        return std::nullopt;
    const QDate day = QDate::fromString(entry.fileName(), Qt::ISODate);
    if (!day.isValid() || day.toString(Qt::ISODate) != entry.fileName())
        return std::nullopt;
    return day;
}

std::map<QDate, QString> dayFolders(const QString &backupFolder)
{
    std::map<QDate, QString> days;
    const QDir dir(backupFolder);
    for (const QFileInfo &entry : dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::NoSort))
        if (const auto day = folderDay(entry))
            days.emplace(*day, entry.filePath());
    return days;
}

// Makes a folder unless it is there; `made` says whether it was made now.
bool makeFolder(const QString &path, bool &made)
{
    made = false;
    if (QFileInfo(path).isDir())
        return true;
    made = QDir().mkdir(path);
    return made;
}

// Pruning never fails a save: a folder that will not go is only kept longer.
void prune(const QString &backupFolder, QDate today)
{
    const std::map<QDate, QString> folders = dayFolders(backupFolder);
    QList<QDate> days;
    for (const auto &[day, path] : folders)
        days << day;
    bool removed = false;
    for (const QDate &day : BackupDaysToPrune(days, today))
        removed |= QDir(folders.at(day)).removeRecursively();
    if (removed)
        (void)SyncFolder(backupFolder);
}

// Writes `bytes` as the copy `copy` of `dataFile` in today's folder, synced with
// the folders above it, so the copy is on the disk before the file changes.
void writeCopy(const QString &dataFile, const QString &copy, const QByteArray &bytes)
{
    const QString backupFolder = BackupFolder(dataFile);
    const QString day = QFileInfo(copy).absolutePath();
    bool newBackupFolder = false;
    bool newDay = false;
    if (!makeFolder(backupFolder, newBackupFolder) || !makeFolder(day, newDay))
        throw FileError::cannotBackUp(dataFile, copy);
    const bool somethingThere = QFileInfo::exists(copy) || QFileInfo(copy).isSymLink();
    try {
        SaveWholeFile(copy, bytes);
        if (!SyncFolder(backupFolder) || !SyncFolderOf(backupFolder))
            throw FileError::cannotBackUp(dataFile, copy);
    } catch (const FileError &) {
        // The copy is not there, or not for certain: it goes, with folders made for it.
        if (!somethingThere)
            QFile::remove(copy);
        if (newDay)
            QDir().rmdir(day);
        if (newBackupFolder)
            QDir().rmdir(backupFolder);
        throw FileError::cannotBackUp(dataFile, copy);
    }
    if (newDay)
        prune(backupFolder, todayDate());
}

// The file's bytes, or nothing when it cannot be read whole.
std::optional<QByteArray> readWhole(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

// The number n of a name "<file name>.before-restore-<n>", or 0.
int beforeRestoreNumber(const QString &name, const QString &fileName)
{
    const QString prefix = fileName + kBeforeRestore;
    if (!name.startsWith(prefix, Qt::CaseSensitive))
        return 0;
    const QString digits = name.mid(prefix.size());
    bool ok = false;
    const int n = digits.toInt(&ok);
    return ok && n > 0 && QString::number(n) == digits ? n : 0;
}

// The bytes before a restore stay restorable: today's copy when there is none,
// else a copy of their own unless one of today's copies holds them.
void keepBeforeRestore(const QString &dataFile, const QByteArray &current)
{
    if (!BackedUpToday(dataFile)) {
        writeCopy(dataFile, TodaysBackupPath(dataFile), current);
        return;
    }
    const QDate today = todayDate();
    int highest = 0;
    for (const BackupEntry &entry : ListBackups(dataFile)) {
        if (entry.date != today)
            continue;
        if (readWhole(entry.path) == current)
            return;
        highest = std::max(highest, beforeRestoreNumber(QFileInfo(entry.path).fileName(), QFileInfo(dataFile).fileName()));
    }
    writeCopy(dataFile, dayFolder(dataFile, today) + QLatin1Char('/') + QFileInfo(dataFile).fileName() + kBeforeRestore
                      + QString::number(highest + 1),
              current);
}

} // namespace

QString BackupFolder(const QString &dataFile)
{
    return QFileInfo(dataFile).absolutePath() + QLatin1Char('/') + kBackupFolderName;
}

QString TodaysBackupPath(const QString &dataFile)
{
    return dayFolder(dataFile, todayDate()) + QLatin1Char('/') + QFileInfo(dataFile).fileName();
}

bool BackedUpToday(const QString &dataFile)
{
    // Only a file is a copy: anything else there makes the copy fail, and says so.
    return QFileInfo(TodaysBackupPath(dataFile)).isFile();
}

void BackUpBeforeChange(const QString &dataFile, const QByteArray &currentBytes)
{
    if (!BackedUpToday(dataFile))
        writeCopy(dataFile, TodaysBackupPath(dataFile), currentBytes);
}

void SaveWholeFileBackedUp(const QString &path, const QByteArray &bytes)
{
    if (QFileInfo(path).isFile() && !BackedUpToday(path)) {
        const auto current = readWhole(path);
        if (!current)
            throw FileError::cannotBackUp(path, TodaysBackupPath(path));
        if (*current != bytes)
            BackUpBeforeChange(path, *current);
    }
    SaveWholeFile(path, bytes);
}

QList<QDate> BackupDaysToPrune(const QList<QDate> &days, QDate today)
{
    const QDate recentFrom = today.addDays(-13);
    const QDate monthsFrom = QDate(today.year(), today.month(), 1).addMonths(-11);
    auto monthOf = [](QDate d) { return d.year() * 12 + d.month(); };
    std::map<int, QDate> oldestOfMonth;
    for (const QDate &day : days)
        if (day >= monthsFrom && day <= today) {
            auto [at, added] = oldestOfMonth.emplace(monthOf(day), day);
            if (!added && day < at->second)
                at->second = day;
        }
    QList<QDate> pruned;
    for (const QDate &day : days) {
        const auto oldest = oldestOfMonth.find(monthOf(day));
        const bool keep = day >= recentFrom || (oldest != oldestOfMonth.end() && oldest->second == day);
        if (!keep)
            pruned << day;
    }
    std::sort(pruned.begin(), pruned.end());
    return pruned;
}

QList<BackupEntry> ListBackups(const QString &dataFile)
{
    const QString fileName = QFileInfo(dataFile).fileName();
    QList<BackupEntry> entries;
    const std::map<QDate, QString> folders = dayFolders(BackupFolder(dataFile));
    for (auto day = folders.rbegin(); day != folders.rend(); ++day) {
        std::map<int, QString> restores;
        const QDir dir(day->second);
        for (const QFileInfo &file : dir.entryInfoList(QDir::Files | QDir::Hidden, QDir::NoSort))
            if (const int n = beforeRestoreNumber(file.fileName(), fileName))
                restores.emplace(n, file.filePath());
        for (auto copy = restores.rbegin(); copy != restores.rend(); ++copy)
            entries << BackupEntry{day->first, copy->second, true};
        const QFileInfo daily(dir.filePath(fileName));
        if (daily.isFile())
            entries << BackupEntry{day->first, daily.filePath(), false};
    }
    return entries;
}

void RestoreBackup(const QString &dataFile, const QString &backupCopy)
{
    const auto bytes = readWhole(backupCopy);
    if (!bytes)
        throw FileError::cannotOpen(backupCopy);
    const QFileInfo target(dataFile);
    if (target.exists() || target.isSymLink()) {
        const auto current = readWhole(dataFile);
        if (!current)
            throw FileError::cannotOpen(dataFile);
        keepBeforeRestore(dataFile, *current);
    }
    SaveWholeFile(dataFile, *bytes);
}

void BackUpBeforeRemoving(const QString &dataFile)
{
    if (BackedUpToday(dataFile))
        return;
    QFile file(dataFile);
    const QByteArray current = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (file.error() != QFileDevice::NoError || current.size() != file.size())
        throw FileError::cannotBackUp(dataFile, TodaysBackupPath(dataFile));
    BackUpBeforeChange(dataFile, current);
}

} // namespace hibi
