#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace hibi {

class TEditEx;
class UpDown;

// The jump dialog: a year from 1970 to 2100 and a month. Created once at start
// and shown modally; JumpAccepted tells whether OK closed it.
class Tform_jump : public QDialog
{
    Q_OBJECT

public:
    explicit Tform_jump(QWidget *parent = nullptr);

    bool JumpAccepted = false;
    UpDown *upyear;
    UpDown *upmonth;

    void BitBtn2Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();

    QLabel *Label1;
    TEditEx *EditEx1;
    QLabel *Label2;
    TEditEx *EditEx2;
    QPushButton *BitBtn2;
    QPushButton *cancel;
};

} // namespace hibi
