#pragma once

#include "components/Look.h"
#include "settings/Settings.h"

#include <QWidget>

class QTextBrowser;
class QToolButton;

namespace hibi {

// What the help window needs from the window that opens it: where it was last,
// kept for the run and in the settings file.
class HelpHost
{
public:
    virtual WindowBounds helpBounds() const = 0;
    virtual void storeHelpBounds(const WindowBounds &bounds) = 0;

protected:
    ~HelpHost() = default;
};

// The help: the program's own document, compiled in, in a window of its own
// beside the main window. It opens where it was closed last (kept for the run and
// in the settings file) and names the folder the program keeps its files in.
class THelpWindow : public QWidget
{
    Q_OBJECT

public:
    // The files the help talks about are in `programFolder`.
    THelpWindow(HelpHost *host, const QString &programFolder, QWidget *parent = nullptr);

    static const QUrl &HomePage();
    QTextBrowser *browser() const { return HelpText; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    HelpHost *m_host;
    WindowPlacement m_placement;
    QTextBrowser *HelpText;
    QToolButton *btnhome;
    QToolButton *btnback;
    QToolButton *btnforward;
};

} // namespace hibi
