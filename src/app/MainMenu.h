#pragma once

class QAction;
class QMenu;
class QToolBar;
class QToolButton;
class QWidget;

namespace hibi {

class TForm1;

// The main window's commands as its user reaches them: the main menu, the
// pop-up menu of its bars and the tool bar. Each runs the window's handler
// through its runCommand, so a file error ends the command with a message.
struct MainMenu
{
    QMenu *Data1 = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QAction *countpart = nullptr;
    QAction *mnuall = nullptr;
    QAction *datup = nullptr;
    QAction *datdown = nullptr;
    QAction *mnuundo = nullptr;
    QAction *mnuredo = nullptr;
};

MainMenu BuildMainMenu(TForm1 &form);
// The tool bar `ToolBar1` in `parent`, with its buttons.
QToolBar *BuildToolBar(TForm1 &form, QWidget *parent);

} // namespace hibi
