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
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // The spinners exist from the start, as the main window sets them before it
    // shows the dialog; the other controls, with their fonts and glyphs, are made
    // on the first show.
    void buildControls();
    void FormShow();

    QLabel *Label1 = nullptr;
    TEditEx *EditEx1 = nullptr;
    QLabel *Label2 = nullptr;
    TEditEx *EditEx2 = nullptr;
    QPushButton *BitBtn2 = nullptr;
    QPushButton *cancel = nullptr;
};

} // namespace hibi
