#include "app/MainMenu.h"

#include "app/Unit1.h"
#include "components/Look.h"
#include "components/StandardGlyph.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace hibi {

namespace {

using Handler = void (TForm1::*)();

QIcon ToolPicture(const char *name)
{
    return QIcon(QPixmap::fromImage(ReadPicture(QStringLiteral(":/images/%1.xpm").arg(QLatin1String(name)), "xpm")));
}

void runs(TForm1 &form, QAction *action, Handler handler)
{
    QObject::connect(action, &QAction::triggered, &form, [&form, handler] {
        form.runCommand([&form, handler] { (form.*handler)(); });
    });
}

// One menu item: its component name, caption, handler and shortcut; a row
// without a name is a separator.
struct Item
{
    const char *name;
    const char *text = nullptr;
    Handler handler = nullptr;
    QKeySequence keys = {};
    const char *picture = nullptr;
};

QAction *addItem(TForm1 &form, QMenu *menu, const Item &item)
{
    if (!item.name) {
        menu->addSeparator();
        return nullptr;
    }
    QAction *action = menu->addAction(QString::fromUtf8(item.text ? item.text : ""));
    action->setObjectName(QLatin1String(item.name));
    action->setShortcut(item.keys);
    if (item.picture)
        action->setIcon(ToolPicture(item.picture));
    if (item.handler)
        runs(form, action, item.handler);
    return action;
}

QMenu *addMenu(TForm1 &form, const char *title, std::initializer_list<Item> items)
{
    QMenu *menu = form.menuBar()->addMenu(QString::fromUtf8(title));
    for (const Item &item : items)
        addItem(form, menu, item);
    return menu;
}

} // namespace

MainMenu BuildMainMenu(TForm1 &form)
{
    MainMenu m;
    const Item separator{nullptr};
    QMenu *calendar = addMenu(form, "カレンダー(&C)", {
            {"thismonth", "今月を表示(&T)", &TForm1::thismonthClick, QKeySequence(Qt::CTRL | Qt::Key_T)},
            {"mnujump", "年月指定ジャンプ(&J)", &TForm1::mnujumpClick, QKeySequence(Qt::CTRL | Qt::Key_J)},
            separator,
            {"mnuundo", nullptr, &TForm1::undoClick, QKeySequence::Undo},
            {"mnuredo", nullptr, &TForm1::redoClick},
            separator,
            {"settei", "設定(&S)...", &TForm1::setteiClick},
            separator,
            {"mnuexport", "CSV に書き出す(&E)...", &TForm1::mnuexportClick},
            {"mnuprint", "印刷(&P)...", &TForm1::mnuprintClick, QKeySequence::Print},
            {"mnurestore", "バックアップから復元(&B)...", &TForm1::mnurestoreClick},
            separator,
            {"Exit1", "終了(&X)"},
    });
    m.mnuundo = calendar->findChild<QAction *>(QStringLiteral("mnuundo"));
    m.mnuredo = calendar->findChild<QAction *>(QStringLiteral("mnuredo"));
    m.mnuredo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    // Quitting from the menu goes through the normal close: the year is saved and
    // the settings written.
    QObject::connect(calendar->findChild<QAction *>(QStringLiteral("Exit1")), &QAction::triggered, &form, &QWidget::close);

    m.Data1 = addMenu(form, "データ(&D)", {
            {"mnuall", "同一日の複数データを一括入力(&Z)...", &TForm1::mnuallClick},
            separator,
            {"datup", "データの並び順を上へ(&U)", &TForm1::datupClick},
            {"datdown", "データの並び順を下へ(&W)", &TForm1::datdownClick},
            separator,
            {"mnunewcale", "新しいデータを追加(&N)...", &TForm1::mnunewcaleClick, QKeySequence(Qt::CTRL | Qt::Key_N)},
            {"changename", "表示中のデータの名前を変更(&R)...", &TForm1::changenameClick, QKeySequence(Qt::CTRL | Qt::Key_R)},
            {"delcale", "表示中のデータを削除(&D)...", &TForm1::delcaleClick, QKeySequence(Qt::CTRL | Qt::Key_D)},
            separator,
            {"mnunote", "選んだ日のメモ(&M)...", &TForm1::mnunoteClick, QKeySequence(Qt::CTRL | Qt::Key_M)},
    });
    m.Data1->setObjectName(QStringLiteral("Data1"));
    QObject::connect(m.Data1, &QMenu::aboutToShow, &form, &TForm1::Data1Click);
    m.mnuall = m.Data1->findChild<QAction *>(QStringLiteral("mnuall"));
    m.datup = m.Data1->findChild<QAction *>(QStringLiteral("datup"));
    m.datdown = m.Data1->findChild<QAction *>(QStringLiteral("datdown"));

    QMenu *tally = addMenu(form, "集計(&T)", {
            {"countall", "全期間を集計(&A)...", &TForm1::countallClick, {}, "countall"},
            {"countpart", "範囲を指定して集計(&P)...", &TForm1::countpartClick, {}, "countpart"},
            separator,
            {"mnuchart", "年間グラフ(&G)...", &TForm1::mnuchartClick},
    });
    m.countpart = tally->findChild<QAction *>(QStringLiteral("countpart"));
    m.countpart->setCheckable(true);

    addMenu(form, "ヘルプ(&H)", {
            {"mnuhelp", "目次(&C)...", &TForm1::mnuhelpClick, QKeySequence::HelpContents},
            {"mnuversion", "バージョン(&A)...", &TForm1::mnuversionClick},
    });

    // The pop-up menu of the tool bar, the calendar list and the navigation bar.
    // Its shortcuts are the main menu's; they only show here.
    m.PopupMenu1 = new QMenu(&form);
    m.PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    for (const Item &item : {Item{"add2", "新しいデータを追加...", &TForm1::mnunewcaleClick, QKeySequence(Qt::CTRL | Qt::Key_N)},
                             Item{"change2", "表示中のデータの名前を変更...", &TForm1::changenameClick,
                                  QKeySequence(Qt::CTRL | Qt::Key_R)},
                             Item{"del2", "表示中のデータを削除...", &TForm1::delcaleClick, QKeySequence(Qt::CTRL | Qt::Key_D)}})
        addItem(form, m.PopupMenu1, item)->setShortcutContext(Qt::WidgetShortcut);
    return m;
}

QToolBar *BuildToolBar(TForm1 &form, QWidget *parent)
{
    auto *bar = new QToolBar(QStringLiteral("ツールバー"), parent);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setToolTip(QStringLiteral("ツールバー"));
    bar->setIconSize(QSize(16, 16));
    bar->setMovable(false);
    bar->setGeometry(0, 0, 527, 28);
    bar->setContextMenuPolicy(Qt::CustomContextMenu);
    SetBackground(bar, ToQColor(clMenuBar));

    struct Button
    {
        const char *name;
        const char *picture;
        const char *hint;
        Handler handler;
    };
    const Button buttons[] = {
        {"ToolButton1", "thismonth", "今月を表示", &TForm1::thismonthClick},
        {"ToolButton5", "jump", "年月指定ジャンプ", &TForm1::mnujumpClick},
        {nullptr, nullptr, nullptr, nullptr},
        {"ToolButton3", "countall", "全期間を集計", &TForm1::countallClick},
        {"ToolButton2", "countpart", "範囲を指定して集計", &TForm1::countpartClick},
        {nullptr, nullptr, nullptr, nullptr},
        {"ToolButton4", "bulkinput", "同一日のデータを一括入力", &TForm1::mnuallClick},
    };
    for (const Button &b : buttons) {
        if (!b.name) {
            auto *gap = new QWidget(bar);
            gap->setFixedWidth(15);
            bar->addWidget(gap);
            continue;
        }
        auto *button = new QToolButton(bar);
        button->setObjectName(QLatin1String(b.name));
        button->setIcon(ToolPicture(b.picture));
        button->setToolTip(QString::fromUtf8(b.hint));
        button->setAccessibleName(QString::fromUtf8(b.hint));   // a screen reader says the command
        button->setFixedSize(24, 24);
        button->setAutoRaise(true);
        const Handler handler = b.handler;
        QObject::connect(button, &QToolButton::clicked, &form, [&form, handler] {
            form.runCommand([&form, handler] { (form.*handler)(); });
        });
        bar->addWidget(button);
        button->setCheckable(handler == &TForm1::countpartClick);   // shows the range mode
    }
    return bar;
}

} // namespace hibi
