#pragma once

#include "storage/Backups.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace hibi {

class OpenCalendar;

// "バックアップから復元": the backups of the shown calendar, newest first, each
// with its day and its marks counted over the whole copy; 復元 puts the chosen
// one in place of the calendar's file after asking. The file as it was goes
// into a backup of its own first, so a restore can be taken back from here too.
class TRestoreDialog : public QDialog
{
    Q_OBJECT

public:
    TRestoreDialog(OpenCalendar &calendar, QWidget *parent = nullptr);

    const QList<BackupEntry> &entries() const { return m_entries; }
    void btnrestoreClick();

private:
    void listBackups();

    OpenCalendar &m_calendar;
    QList<BackupEntry> m_entries;
    QLabel *lblinfo;
    QTreeWidget *lvbackups;
    QPushButton *btnrestore;
    QPushButton *btnclose;
};

} // namespace hibi
