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

class HelpHost;

// Opens the program's own help in a window beside `parent` (or brings it to the
// front); `host` keeps its place, and `programFolder` is named as where the files
// are. Nothing outside the program is needed.
void OpenHelp(HelpHost *host, QWidget *parent, const QString &programFolder);

} // namespace hibi
