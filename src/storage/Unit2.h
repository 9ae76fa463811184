#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace hibi {

// The data-name dialog: asks for the name of a new or renamed calendar. DataName
// is set by the caller and replaced only by a name the dialog accepts.
class TForm2 : public QDialog
{
    Q_OBJECT

public:
    TForm2(const QString &programFolder, QWidget *parent = nullptr);

    QString DataName;

    void btnokClick();
    void btncancelClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString m_programFolder;
    QLabel *Label1;
    QLineEdit *Edit1;
    QPushButton *btnok;
    QPushButton *btncancel;
};

} // namespace hibi
