#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

namespace hibi {

// Before a calendar file or the settings file changes for the first time on a
// day, its bytes are copied to <folder of the file>/backup/<YYYY-MM-DD>/<file
// name>, today's date from Today(). The copy and the folders above it are synced
// before the file itself is touched. A file that does not exist yet, or whose
// bytes stay as they are, needs no copy. When the copy cannot be made, the
// change is refused with FileError::cannotBackUp: a save that fails is said and
// its marks stay in memory, a change without its backup could lose more.

inline const QString kBackupFolderName = QStringLiteral("backup");

struct BackupEntry
{
    QDate date;                   // the day whose folder holds the copy
    QString path;                 // the copy
    bool beforeRestore = false;   // the file's bytes just before a restore that day
    friend bool operator==(const BackupEntry &, const BackupEntry &) = default;
};

// <folder of the file>/backup
QString BackupFolder(const QString &dataFile);
// Where today's copy of `dataFile` is, or would be.
QString TodaysBackupPath(const QString &dataFile);
bool BackedUpToday(const QString &dataFile);

// Makes today's copy of `dataFile` from `currentBytes`, its bytes before the
// change, unless today's copy is there already. Making a new day's folder prunes
// the older ones (BackupDaysToPrune). Throws FileError::cannotBackUp.
void BackUpBeforeChange(const QString &dataFile, const QByteArray &currentBytes);

// Today's copy of `dataFile` from its bytes as they are, before it is removed or
// moved away; nothing when today's copy is there already. Throws FileError.
void BackUpBeforeRemoving(const QString &dataFile);

// SaveWholeFile, after the day's copy of the file's old bytes when they change.
void SaveWholeFileBackedUp(const QString &path, const QByteArray &bytes);

// Of the days that have a backup folder, those whose folders go: every day before
// today but the 14 days up to today and, of each of the 12 months up to this
// one, the month's oldest day. Days after today (a clock set back) stay.
QList<QDate> BackupDaysToPrune(const QList<QDate> &days, QDate today);

// The copies of `dataFile`, newest first: by day, and within a day the copies
// taken before restores (the latest first) before the day's first copy.
QList<BackupEntry> ListBackups(const QString &dataFile);

// Puts the bytes of `backupCopy` in place of `dataFile`, atomically and durably.
// The file's bytes before the restore are kept first, so the restore can be
// undone from ListBackups: as today's copy when there is none yet, else as
// "<file name>.before-restore-<n>" in today's folder, unless one of today's
// copies holds those bytes already. Throws FileError.
void RestoreBackup(const QString &dataFile, const QString &backupCopy);

} // namespace hibi
