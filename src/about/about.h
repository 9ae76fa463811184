#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace hibi {

// The About box: name, version, credit and the home page, opened by a click.
class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *parent = nullptr);

    void Label2Click();
    void Button1Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *Label2;
    QPushButton *Button1;
};

// Opens the help file of the program folder in the desktop's viewer; says so in
// a message when the file is missing or nothing can open it.
void OpenHelp(QWidget *parent, const QString &programFolder);

} // namespace hibi
