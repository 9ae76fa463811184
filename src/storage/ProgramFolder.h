#pragma once

#include <QString>

#include <functional>

namespace hibi {

// The settings file, beside the calendars.
inline const QString kSettingsFileName = QStringLiteral("hibisi.ini");

// Whether files can be made in a folder, found out by making a uniquely named
// file there and removing it again: root passes every permission check, so asking
// the file system is not enough.
bool CanCreateFilesIn(const QString &folder);

// Whether a folder holds the program's files already: the settings file or a
// calendar.
bool HoldsProgramFiles(const QString &folder);

// Whether a folder belongs to the operating system or its packages (/usr, /opt
// and the like), where the program never writes, not even to probe.
bool IsSystemFolder(const QString &folder);

// Whether writing to `path` would write over the program's own files in
// `programFolder`: the settings file, a calendar or note file, the lock or a
// backup.
// Links are followed, also to a file that is not there yet, so a link that
// leads into the folder counts as the folder.
bool IsProgramFile(const QString &path, const QString &programFolder);

// The user's own folder for this program's files, named after the application.
QString UserDataFolder();

using FolderProbe = std::function<bool(const QString &folder)>;

// Where the calendars and the settings file live, ending in '/'.
// A portable copy keeps them beside itself, in `executableFolder`: when that
// folder holds them already, or when files can be made there. An installed
// program, or a copy in a folder it cannot write, keeps them in `dataFolder`,
// which is made here when it is missing. A system folder is never chosen.
QString ChooseProgramFolder(const QString &executableFolder, const QString &dataFolder,
                            const FolderProbe &canCreateFiles = CanCreateFilesIn);
// The same with the user's data folder.
QString ChooseProgramFolder(const QString &executableFolder);

} // namespace hibi
