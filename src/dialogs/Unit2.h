#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace hibi {

// The data-name dialog: asks for the name of a new or renamed calendar. DataName
// is set by the caller and replaced only by a name the dialog accepts: one whose
// characters a calendar file and the Shift_JIS settings file can hold, and that
// no calendar of the list or file of the folder has, whatever the case.
class TForm2 : public QDialog
{
    Q_OBJECT

public:
    // `listed` are the names of the calendar list; `renaming` is the calendar being
    // renamed, which does not count as taking its own name.
    TForm2(const QString &programFolder, const QStringList &listed, const QString &renaming = QString(),
           QWidget *parent = nullptr);

    QString DataName;

    void btnokClick();
    void btncancelClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString m_programFolder;
    QStringList m_listed;
    QString m_renaming;
    QLabel *Label1;
    QLineEdit *Edit1;
    QPushButton *btnok;
    QPushButton *btncancel;
};

} // namespace hibi
