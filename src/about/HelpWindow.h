#pragma once

#include <QWidget>

class QTextBrowser;
class QToolButton;

namespace hibi {

// The help: the program's own document, compiled in, in a window of its own
// beside the main window. It opens where it was closed last (kept for the run and
// in the settings file) and names the folder the program keeps its files in.
class THelpWindow : public QWidget
{
    Q_OBJECT

public:
    // The settings file and the files the help talks about are in `programFolder`.
    explicit THelpWindow(const QString &programFolder, QWidget *parent = nullptr);

    static const QUrl &HomePage();
    QTextBrowser *browser() const { return HelpText; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QString m_settingsPath;
    QTextBrowser *HelpText;
    QToolButton *btnhome;
    QToolButton *btnback;
    QToolButton *btnforward;
};

} // namespace hibi
