// What a screen reader reads: the month grid as a table of days named in words,
// the events it is told of when the focus cell moves or a cell changes, the bulk
// list, the year chart's numbers, the tally's counts, and a name on every control.
// The platform's accessibility is switched on as a screen reader would, and Qt's
// update handler records what the program tells.
#include "WindowTest.h"

#include "about/HelpWindow.h"
#include "about/about.h"
#include "about/AboutInfo.h"
#include "app/NoteEditor.h"
#include "app/jump.h"
#include "bulk/setall.h"
#include "components/UpDown.h"
#include "dialogs/RestoreDialog.h"
#include "dialogs/settei.h"
#include "dialogs/Unit3.h"
#include "dialogs/YearChart.h"

#include <QAccessible>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

using namespace hibi;
using namespace hibi::test;

namespace {

// One event as told: its kind and, read at once, what it was about.
struct Told
{
    QAccessible::Event type;
    QAccessible::Role role;
    QString name;
    QString description;
};

QList<Told> &told()
{
    static QList<Told> events;
    return events;
}

void record(QAccessibleEvent *event)
{
    QAccessibleInterface *iface = event->accessibleInterface();
    if (!iface || !iface->isValid())
        return;
    told() << Told{event->type(), iface->role(), iface->text(QAccessible::Name), iface->text(QAccessible::Description)};
}

QList<Told> toldOf(QAccessible::Event type, QAccessible::Role role)
{
    QList<Told> found;
    for (const Told &t : told())
        if (t.type == type && t.role == role)
            found << t;
    return found;
}

// The focus cells told since the last clear, once the action that moved the
// focus is done (a moment more, so that a second one would be seen).
QStringList focusTold()
{
    if (!QTest::qWaitFor([] { return !toldOf(QAccessible::Focus, QAccessible::Cell).isEmpty(); }))
        return {};
    QTest::qWait(20);
    QStringList names;
    for (const Told &t : toldOf(QAccessible::Focus, QAccessible::Cell))
        names << t.name;
    return names;
}

QAccessibleInterface *accessible(QObject *object)
{
    return QAccessible::queryAccessibleInterface(object);
}

// The label a control belongs to, as screen readers on Linux name list boxes.
QString labelOf(QAccessibleInterface *iface)
{
    const auto labels = iface->relations(QAccessible::Label);
    return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
}

// A cell of a table by its row below the header.
QString cellName(QWidget *table, int row, int col)
{
    QAccessibleTableInterface *t = accessible(table)->tableInterface();
    QAccessibleInterface *cell = t ? t->cellAt(row, col) : nullptr;
    return cell ? cell->text(QAccessible::Name) : QStringLiteral("(no cell)");
}

// Every control a user can operate in the tree below `iface` that has no name;
// `seen` counts those looked at.
void collectNameless(QAccessibleInterface *iface, const QString &path, QStringList &nameless, int &seen)
{
    static const QList<QAccessible::Role> operated = {
        QAccessible::PushButton,  QAccessible::CheckBox,       QAccessible::RadioButton, QAccessible::ComboBox,
        QAccessible::SpinBox,     QAccessible::EditableText,   QAccessible::Slider,      QAccessible::Link,
        QAccessible::ButtonMenu,  QAccessible::ButtonDropDown, QAccessible::PageTab,     QAccessible::Table,
        QAccessible::MenuItem,    QAccessible::List,           QAccessible::Cell,
    };
    const QAccessible::State state = iface->state();
    if (state.invisible)
        return;
    // A list box says the entry chosen as its name: its own name is its label's.
    const QString name = iface->role() == QAccessible::ComboBox ? labelOf(iface) : iface->text(QAccessible::Name);
    const QString here = path + QLatin1Char('/') + (iface->object() ? iface->object()->objectName() : name);
    if (operated.contains(iface->role()) && (iface->role() != QAccessible::Cell || state.focusable)) {
        ++seen;
        if (name.trimmed().isEmpty())
            nameless << here;
    }
    for (int i = 0; i < iface->childCount(); ++i)
        if (QAccessibleInterface *child = iface->child(i))
            collectNameless(child, here, nameless, seen);
}

} // namespace

class TestAccessibility : public WindowTest
{
    Q_OBJECT

private slots:
    void initTestCase();
    void monthCellNames_data();
    void monthCellNames();
    void monthTable();
    void yearNotLoaded();
    void focusFollowsKeysAndMouse_data();
    void focusFollowsKeysAndMouse();
    void markChangeIsTold();
    void monthChangeIsTold();
    void rangeModeIsSaid();
    void bulkList();
    void yearChartNumbers();
    void tallyCounts();
    void everyControlNamed_data();
    void everyControlNamed();
    void spinners();
    void aboutLinkByKeyboard();
    void helpLinksByKeyboard();

private:
    // Calendar "A" with marks on 5 January and 10, 11 and 12 March 2026, and the
    // window on it.
    void writeMarked();
    bool openMarked();
    void focusGrid();
    QWidget *table() const { return monthGrid(); }
};

void TestAccessibility::initTestCase()
{
    QPlatformAccessibility *platform = QGuiApplicationPrivate::platformIntegration()->accessibility();
    if (!platform)
        QSKIP("This platform has no accessibility");
    QAccessible::installUpdateHandler(record);
    platform->setActive(true);
    QVERIFY(QAccessible::isActive());
}

void TestAccessibility::writeMarked()
{
    writeFile(file("A"), kHeader + record(2026, {{1, 5, Maru}, {3, 10, Maru}, {3, 11, Batu}, {3, 12, Sankaku}}));
}

bool TestAccessibility::openMarked()
{
    writeMarked();
    return openWindow() != nullptr;
}

void TestAccessibility::focusGrid()
{
    window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window()));
    monthGrid()->setFocus();
    QTRY_VERIFY(monthGrid()->hasFocus());
    told().clear();
}

// Today is 10 March 2026, marked ○ with × and △ after it; 20 March 2026 is the
// vernal equinox. By the law, 23 February is the Emperor's birthday and, 3 May
// 2026 being a Sunday, 6 May a substitute holiday; the fixed table keeps the
// Emperor's birthday on 23 December.
void TestAccessibility::monthCellNames_data()
{
    QTest::addColumn<bool>("law");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");   // below the header
    QTest::addColumn<QString>("name");
    QTest::newRow("header: Sunday") << false << 3 << 0 << -1 << "日曜日";
    QTest::newRow("header: Saturday") << false << 3 << 6 << -1 << "土曜日";
    QTest::newRow("a plain Sunday") << false << 3 << 0 << 0 << "3月1日 日曜日 印なし";
    QTest::newRow("today with ○") << false << 3 << 2 << 1 << "3月10日 火曜日 今日 まる";
    QTest::newRow("×") << false << 3 << 3 << 1 << "3月11日 水曜日 ばつ";
    QTest::newRow("△") << false << 3 << 4 << 1 << "3月12日 木曜日 さんかく";
    QTest::newRow("vernal equinox") << false << 3 << 5 << 2 << "3月20日 金曜日 春分の日 印なし";
    QTest::newRow("after the 31st: no day") << false << 3 << 3 << 4 << "日付なし";
    QTest::newRow("before the 1st: no day") << false << 4 << 0 << 0 << "日付なし";
    QTest::newRow("January's ○, not today") << false << 1 << 1 << 1 << "1月5日 月曜日 まる";
    QTest::newRow("table: 23 December") << false << 12 << 3 << 3 << "12月23日 水曜日 天皇誕生日 印なし";
    QTest::newRow("table: no holiday on 23 February") << false << 2 << 1 << 3 << "2月23日 月曜日 印なし";
    QTest::newRow("law: 23 February") << true << 2 << 1 << 3 << "2月23日 月曜日 天皇誕生日 印なし";
    QTest::newRow("law: substitute holiday") << true << 5 << 3 << 1 << "5月6日 水曜日 振替休日 印なし";
}

void TestAccessibility::monthCellNames()
{
    QFETCH(bool, law);
    QFETCH(int, month);
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(QString, name);
    QVERIFY(openMarked());
    if (law) {
        Appearance look = window()->settings().appearance;
        look.HolidayLaw = true;
        window()->applyAppearance(look, monthGrid()->defaultRowHeight());
    }
    OpenCalendar &calendar = window()->calendar();
    QVERIFY(calendar.switchTo(calendar.CurrentCalendarName(), 2026, month));
    if (row < 0) {
        QAccessibleInterface *header = accessible(table())->child(col);
        QCOMPARE(header->role(), QAccessible::ColumnHeader);
        QCOMPARE(header->text(QAccessible::Name), name);
        return;
    }
    QCOMPARE(cellName(table(), row, col), name);
}

void TestAccessibility::monthTable()
{
    QVERIFY(openMarked());
    QAccessibleInterface *grid = accessible(table());
    QCOMPARE(grid->role(), QAccessible::Table);
    QCOMPARE(grid->text(QAccessible::Name), QStringLiteral("A 2026年3月"));
    QAccessibleTableInterface *t = grid->tableInterface();
    QVERIFY(t);
    QCOMPARE(t->columnCount(), 7);
    QCOMPARE(t->rowCount(), 5);   // March 2026 fills five weeks
    QCOMPARE(grid->childCount(), 7 + 5 * 7);
    // Each cell knows its place, its header and its index among the children.
    QAccessibleInterface *cell = t->cellAt(1, 2);
    QAccessibleTableCellInterface *c = cell->tableCellInterface();
    QCOMPARE(c->rowIndex(), 1);
    QCOMPARE(c->columnIndex(), 2);
    QCOMPARE(c->columnHeaderCells().value(0)->text(QAccessible::Name), QStringLiteral("火曜日"));
    QCOMPARE(grid->child(grid->indexOfChild(cell)), cell);
    QCOMPARE(cell->parent(), grid);
    // A point on the screen finds the cell painted there.
    const QRect onScreen = cell->rect();
    QCOMPARE(grid->childAt(onScreen.center().x(), onScreen.center().y()), cell);
    const GridCell painted = CellOfDay(2026, 3, 10);
    const QRect cellRect = monthGrid()->cellRect(painted.col, painted.row).toRect();
    QCOMPARE(onScreen.size(), cellRect.size());
    // The grid has the focus from the start, on today.
    focusGrid();
    QCOMPARE(grid->focusChild(), cell);
    QVERIFY(cell->state().focused);
    // Six weeks in May 2026.
    QVERIFY(window()->calendar().switchTo("A", 2026, 5));
    QCOMPARE(t->rowCount(), 6);
    QCOMPARE(cellName(table(), 5, 0), QStringLiteral("5月31日 日曜日 印なし"));
}

void TestAccessibility::yearNotLoaded()
{
    // The first start's calendar, with a folder where its file would be: unreadable.
    QVERIFY(QDir().mkdir(file("カレンダー1")));
    QVERIFY(openWindow());
    QCOMPARE(cellName(table(), 1, 2), QStringLiteral("3月10日 火曜日 今日 印を読み込めなかった年"));
    QCOMPARE(cellName(table(), 1, 3), QStringLiteral("3月11日 水曜日 印を読み込めなかった年"));
    QVERIFY(QDir().rmdir(file("カレンダー1")));
}

// Every move of the focus cell is told once, on the cell it reached.
void TestAccessibility::focusFollowsKeysAndMouse_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("clicked");   // a day clicked with the middle button, which marks nothing
    QTest::addColumn<QString>("focused");
    QTest::newRow("Right") << "Right" << 0 << "3月11日 水曜日 ばつ";
    QTest::newRow("Down") << "Down" << 0 << "3月17日 火曜日 印なし";
    QTest::newRow("Home") << "Home" << 0 << "3月1日 日曜日 印なし";
    QTest::newRow("past the end into April") << "End Right" << 0 << "4月1日 水曜日 印なし";
    QTest::newRow("back into February") << "Home Left" << 0 << "2月28日 土曜日 印なし";
    QTest::newRow("a click") << "" << 20 << "3月20日 金曜日 春分の日 印なし";
}

void TestAccessibility::focusFollowsKeysAndMouse()
{
    QFETCH(QString, keys);
    QFETCH(int, clicked);
    QFETCH(QString, focused);
    QVERIFY(openMarked());
    focusGrid();
    QStringList told;
    for (const QString &key : keys.split(' ', Qt::SkipEmptyParts)) {
        ::told().clear();
        keyClick(monthGrid(), QKeySequence(key)[0].key());
        told = focusTold();
    }
    if (clicked) {
        ::told().clear();
        clickDay(clicked, Qt::MiddleButton);
        told = focusTold();
    }
    QCOMPARE(told, QStringList{focused});
}

void TestAccessibility::markChangeIsTold()
{
    QVERIFY(openMarked());
    focusGrid();
    keyClick(monthGrid(), Qt::Key_Right);
    QCOMPARE(focusTold(), QStringList{"3月11日 水曜日 ばつ"});
    told().clear();
    keyClick(monthGrid(), Qt::Key_Space);   // × becomes ○
    QList<Told> changed = toldOf(QAccessible::NameChanged, QAccessible::Cell);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed[0].name, QStringLiteral("3月11日 水曜日 まる"));
    QCOMPARE(focusTold(), QStringList());   // the focus stayed
    told().clear();
    keyClick(monthGrid(), Qt::Key_Delete);
    changed = toldOf(QAccessible::NameChanged, QAccessible::Cell);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed[0].name, QStringLiteral("3月11日 水曜日 印なし"));
    // An undone change brings the focus to its day, told once, with its mark.
    keyClick(monthGrid(), Qt::Key_Home);
    QCOMPARE(focusTold(), QStringList{"3月1日 日曜日 印なし"});
    told().clear();
    keyClick(window(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(focusTold(), QStringList{"3月11日 水曜日 まる"});
}

void TestAccessibility::monthChangeIsTold()
{
    QVERIFY(openMarked());
    focusGrid();
    keyClick(monthGrid(), Qt::Key_PageDown);
    QCOMPARE(focusTold(), QStringList{"4月1日 水曜日 印なし"});
    // The table's new name and every cell's, before the focus on the 1st.
    QCOMPARE(toldOf(QAccessible::NameChanged, QAccessible::Table).value(0).name, QStringLiteral("A 2026年4月"));
    const QList<Told> cells = toldOf(QAccessible::NameChanged, QAccessible::Cell);
    QCOMPARE(cells.size(), 5 * 7);
    QVERIFY(std::any_of(cells.begin(), cells.end(), [](const Told &t) { return t.name == "4月29日 水曜日 緑の日 印なし"; }));
    QCOMPARE(told().last().type, QAccessible::Focus);
    // The holiday rules changed in the settings: the names are told again.
    told().clear();
    Appearance look = window()->settings().appearance;
    look.HolidayLaw = !look.HolidayLaw;
    window()->applyAppearance(look, monthGrid()->defaultRowHeight());
    const QList<Told> again = toldOf(QAccessible::NameChanged, QAccessible::Cell);
    QCOMPARE(again.size(), 5 * 7);
    QVERIFY(std::any_of(again.begin(), again.end(), [](const Told &t) { return t.name == "4月29日 水曜日 昭和の日 印なし"; }));
}

void TestAccessibility::rangeModeIsSaid()
{
    QVERIFY(openMarked());
    auto *rangeButton = window()->findChild<QToolButton *>("ToolButton2");
    QAccessibleInterface *button = accessible(rangeButton);
    QCOMPARE(button->text(QAccessible::Name), QStringLiteral("範囲を指定して集計"));
    QVERIFY(!button->state().checked);
    mouseClick(rangeButton, Qt::LeftButton);
    QVERIFY(button->state().checked);   // the button says the mode
    focusGrid();
    QAccessibleInterface *grid = accessible(table());
    QCOMPARE(grid->text(QAccessible::Description), QStringLiteral("範囲の開始日を選んでください"));
    QCOMPARE(grid->focusChild()->text(QAccessible::Description), QStringLiteral("範囲の開始日を選んでください"));
    keyClick(monthGrid(), Qt::Key_Space);   // 10 March is the start
    const QString waiting = QStringLiteral("範囲の終了日を選んでください（開始日 3月10日）");
    QCOMPARE(grid->text(QAccessible::Description), waiting);
    const QList<Told> said = toldOf(QAccessible::DescriptionChanged, QAccessible::Cell);
    QCOMPARE(said.size(), 1);
    QCOMPARE(said[0].description, waiting);
    QVERIFY(grid->focusChild()->state().selected);   // the start, picked
    // Another month: the start keeps its year when it is not the shown one.
    keyClick(monthGrid(), Qt::Key_PageUp, Qt::ShiftModifier);
    QCOMPARE(grid->text(QAccessible::Description),
             QStringLiteral("範囲の終了日を選んでください（開始日 2026年3月10日）"));
    told().clear();
    keyClick(monthGrid(), Qt::Key_Escape);
    QVERIFY(grid->text(QAccessible::Description).isEmpty());
    QCOMPARE(toldOf(QAccessible::DescriptionChanged, QAccessible::Table).size(), 1);
    QVERIFY(!button->state().checked);
}

void TestAccessibility::bulkList()
{
    writeMarked();
    writeFile(file("B"), kHeader + record(2026, {{3, 10, Batu}}));
    writeFile(file("C"), kHeader + record(2026));
    QVERIFY(openWindow());
    bool checked = false;
    whenModal([&checked](QWidget *dialog) {
        auto *list = dialog->findChild<DrawGrid *>("dgall");
        QAccessibleInterface *grid = accessible(list);
        QCOMPARE(grid->role(), QAccessible::Table);
        QCOMPARE(grid->text(QAccessible::Name), QStringLiteral("2026年3月10日の各データの印"));
        QCOMPARE(grid->tableInterface()->rowCount(), 3);
        QCOMPARE(grid->tableInterface()->columnCount(), 2);
        QCOMPARE(cellName(list, 0, 0), QStringLiteral("A"));
        QCOMPARE(cellName(list, 0, 1), QStringLiteral("A まる"));
        QCOMPARE(cellName(list, 1, 1), QStringLiteral("B ばつ"));
        QCOMPARE(cellName(list, 2, 1), QStringLiteral("C 印なし"));
        QCOMPARE(accessible(dialog->findChild<QDateEdit *>("DateTimePicker1"))->text(QAccessible::Name),
                 QStringLiteral("日付"));
        for (int i = 0; i < 10 && !list->hasFocus(); ++i)
            keyClick(dialog, Qt::Key_Tab);
        QVERIFY(list->hasFocus());
        told().clear();
        keyClick(list, Qt::Key_Down);
        QCOMPARE(focusTold(), QStringList{"B ばつ"});
        told().clear();
        keyClick(list, Qt::Key_3);
        QCOMPARE(toldOf(QAccessible::NameChanged, QAccessible::Cell).value(0).name, QStringLiteral("B さんかく"));
        // Another date: the list and its rows say the new one.
        told().clear();
        dialog->findChild<QDateEdit *>("DateTimePicker1")->setDate(QDate(2026, 1, 5));
        QCOMPARE(toldOf(QAccessible::NameChanged, QAccessible::Table).value(0).name,
                 QStringLiteral("2026年1月5日の各データの印"));
        QCOMPARE(cellName(list, 0, 1), QStringLiteral("A まる"));
        QCOMPARE(cellName(list, 1, 1), QStringLiteral("B 印なし"));
        checked = true;
        mouseClick(dialog->findChild<QPushButton *>("BitBtn1"), Qt::LeftButton);
    });
    mouseClick(window()->findChild<QToolButton *>("ToolButton4"), Qt::LeftButton);
    QVERIFY(checked);
}

void TestAccessibility::yearChartNumbers()
{
    QVERIFY(openMarked());
    TYearChart chart(window(), "A", file("A"), 2026, window());
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    QWidget *view = chart.view();
    QAccessibleInterface *numbers = accessible(view);
    QCOMPARE(numbers->role(), QAccessible::Table);
    QCOMPARE(numbers->text(QAccessible::Name), QStringLiteral("2026年の月ごとの印の数"));
    QCOMPARE(numbers->text(QAccessible::Description), QStringLiteral("2026年の合計 まる 2 ばつ 1 さんかく 1"));
    QCOMPARE(numbers->tableInterface()->rowCount(), 13);
    QCOMPARE(cellName(view, 0, 0), QStringLiteral("1月 まる 1 ばつ 0 さんかく 0"));
    QCOMPARE(cellName(view, 2, 0), QStringLiteral("3月 まる 1 ばつ 1 さんかく 1"));
    QCOMPARE(cellName(view, 2, 2), QStringLiteral("3月 ばつ 1"));
    QCOMPARE(cellName(view, 12, 1), QStringLiteral("2026年の合計 まる 2"));
    // A month's cell lies where its bars are drawn.
    const QRect bar = chart.view()->barRect(3, Batu);
    const QRect cell = numbers->tableInterface()->cellAt(2, 2)->rect();
    QVERIFY(cell.contains(view->mapToGlobal(bar.center())));
    // The step buttons say where they go, and the table says the new year.
    QCOMPARE(accessible(chart.findChild<QPushButton *>("btnprv"))->text(QAccessible::Name), QStringLiteral("前年"));
    QCOMPARE(accessible(chart.findChild<QPushButton *>("btnnext"))->text(QAccessible::Name), QStringLiteral("翌年"));
    told().clear();
    chart.btnprvClick();
    QCOMPARE(toldOf(QAccessible::NameChanged, QAccessible::Table).value(0).name, QStringLiteral("2025年の月ごとの印の数"));
    QCOMPARE(cellName(view, 2, 0), QStringLiteral("3月 まる 0 ばつ 0 さんかく 0"));
}

void TestAccessibility::tallyCounts()
{
    QVERIFY(openMarked());
    QStringList names;
    whenModal([&names](QWidget *dialog) {
        for (const char *label : {"lblmaru", "lblbatu", "lblsankaku"})
            names << accessible(dialog->findChild<QLabel *>(label))->text(QAccessible::Name);
        mouseClick(dialog->findChild<QPushButton *>("BitBtn1"), Qt::LeftButton);
    });
    mouseClick(window()->findChild<QToolButton *>("ToolButton3"), Qt::LeftButton);
    QCOMPARE(names, (QStringList{"まるの数 2", "ばつの数 1", "さんかくの数 1"}));
}

void TestAccessibility::everyControlNamed_data()
{
    QTest::addColumn<QString>("which");
    for (const char *which : {"main window", "bulk input", "jump", "tally", "year chart", "settings page 1",
                              "settings page 2", "about", "help", "note", "restore"})
        QTest::newRow(which) << which;
}

void TestAccessibility::everyControlNamed()
{
    QFETCH(QString, which);
    QVERIFY(openMarked());
    std::unique_ptr<QWidget> shown;
    QWidget *root = window();
    if (which == "bulk input")
        shown = std::make_unique<Tfrmall>(window()->calendar(), window(), window());
    else if (which == "jump")
        shown = std::make_unique<Tform_jump>(window());
    else if (which == "tally")
        shown = std::make_unique<TForm3>(window());
    else if (which == "year chart")
        shown = std::make_unique<TYearChart>(window(), "A", file("A"), 2026, window());
    else if (which.startsWith("settings"))
        shown = std::make_unique<Tfrmsettei>(window(), window());
    else if (which == "about")
        shown = std::make_unique<TAboutBox>(window());
    else if (which == "note")
        shown = std::make_unique<TNoteEditor>(QStringLiteral("3月10日（火）"), QStringLiteral("歯医者"), window());
    else if (which == "restore")
        shown = std::make_unique<TRestoreDialog>(window()->calendar(), window());
    if (shown) {
        root = shown.get();
        root->show();
        QVERIFY(QTest::qWaitForWindowExposed(root));
        if (which == "settings page 2")
            root->findChild<QTabWidget *>("PageControl1")->setCurrentIndex(1);
    }
    if (which == "help") {
        OpenHelp(window(), window(), folder());
        root = window()->findChild<THelpWindow *>();
        QVERIFY(root && QTest::qWaitForWindowExposed(root));
    }
    QStringList nameless;
    int seen = 0;
    collectNameless(accessible(root), which, nameless, seen);
    QVERIFY2(nameless.isEmpty(), qPrintable(nameless.join(", ")));
    QVERIFY(seen > 0);   // the walk reached the controls
    if (which == "main window") {
        QCOMPARE(labelOf(accessible(calendarList())), QStringLiteral("データ"));
        QStringList tools;
        for (const char *name : {"ToolButton1", "ToolButton5", "ToolButton3", "ToolButton2", "ToolButton4"})
            tools << accessible(window()->findChild<QToolButton *>(name))->text(QAccessible::Name);
        QCOMPARE(tools, (QStringList{"今月を表示", "年月指定ジャンプ", "全期間を集計", "範囲を指定して集計",
                                     "同一日のデータを一括入力"}));
    }
    if (which == "jump") {
        QCOMPARE(accessible(root->findChild<QLineEdit *>("EditEx1"))->text(QAccessible::Name), QStringLiteral("年："));
        QCOMPARE(accessible(root->findChild<QLineEdit *>("EditEx2"))->text(QAccessible::Name), QStringLiteral("月："));
    }
    if (which == "settings page 1") {
        auto nameOf = [root](const char *name) { return accessible(root->findChild<QWidget *>(name))->text(QAccessible::Name); };
        QCOMPARE(nameOf("colorbtn_6"), QStringLiteral("○の色"));
        QCOMPARE(nameOf("colorbtn_3"), QStringLiteral("日付部分の休日の背景色"));
        QCOMPARE(nameOf("sedit1"), QStringLiteral("線の太さ"));
        QCOMPARE(labelOf(accessible(root->findChild<QWidget *>("ColorBox2"))), QStringLiteral("平日の文字色"));
    }
}

// The spinners read as spin boxes: the list's size, whose up arrow makes the
// names smaller, and the jump dialog's year and month.
void TestAccessibility::spinners()
{
    QVERIFY(openMarked());
    auto *size = window()->findChild<UpDown *>("UpDown1");
    QAccessibleInterface *spinner = accessible(size);
    QCOMPARE(spinner->role(), QAccessible::SpinBox);
    QCOMPARE(spinner->text(QAccessible::Name), QStringLiteral("データ名の文字の大きさ"));
    QCOMPARE(spinner->valueInterface()->currentValue().toInt(), 12);
    QCOMPARE(accessible(size->upButton())->text(QAccessible::Name), QStringLiteral("データ名の文字を小さく"));
    QCOMPARE(accessible(size->downButton())->text(QAccessible::Name), QStringLiteral("データ名の文字を大きく"));
    // Tab reaches it after the list; Up makes the names smaller, and says so.
    calendarList()->setFocus();
    keyClick(window(), Qt::Key_Tab);
    QVERIFY(size->hasFocus());
    told().clear();
    keyClick(size, Qt::Key_Up);
    QCOMPARE(calendarList()->font().pointSize(), 11);
    QCOMPARE(spinner->valueInterface()->currentValue().toInt(), 11);
    QCOMPARE(toldOf(QAccessible::ValueChanged, QAccessible::SpinBox).size(), 1);
    mouseClick(size->downButton(), Qt::LeftButton);
    QCOMPARE(calendarList()->font().pointSize(), 12);

    Tform_jump jump(window());
    jump.show();
    QVERIFY(QTest::qWaitForWindowExposed(&jump));
    jump.upyear->setPosition(2026);
    QCOMPARE(accessible(jump.upyear)->text(QAccessible::Name), QStringLiteral("年"));
    QCOMPARE(accessible(jump.upyear)->text(QAccessible::Value), QStringLiteral("2026"));
    QCOMPARE(accessible(jump.upmonth->upButton())->text(QAccessible::Name), QStringLiteral("月を増やす"));
}

void TestAccessibility::aboutLinkByKeyboard()
{
    UrlCatcher catcher;
    QVERIFY(openMarked());
    bool checked = false;
    whenModal([&checked](QWidget *about) {
        auto *close = about->findChild<QPushButton *>("Button1");
        auto *link = about->findChild<QLabel *>("Label2");
        QTRY_VERIFY(close->hasFocus());   // as before: the button first
        keyClick(about, Qt::Key_Tab);
        QVERIFY(link->hasFocus());
        QCOMPARE(accessible(link)->text(QAccessible::Name),
                 QStringLiteral("ホームページ ") + QString::fromLatin1(about::kHomePage));
        keyClick(about, Qt::Key_Return);
        checked = true;
        mouseClick(close, Qt::LeftButton);
    });
    action("mnuversion")->trigger();
    QVERIFY(checked);
    QCOMPARE(catcher.opened, QList<QUrl>{QUrl(QString::fromLatin1(about::kHomePage))});
}

// Tab goes from link to link in the help, and Enter follows the one reached.
void TestAccessibility::helpLinksByKeyboard()
{
    QVERIFY(openMarked());
    OpenHelp(window(), window(), folder());
    auto *help = window()->findChild<THelpWindow *>();
    QVERIFY(help && QTest::qWaitForWindowExposed(help));
    help->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(help));
    QTextBrowser *browser = help->browser();
    // From the buttons into the text, and on to its first link.
    for (int i = 0; i < 8 && browser->textCursor().charFormat().anchorHref().isEmpty(); ++i)
        keyClick(help, Qt::Key_Tab);
    QVERIFY(browser->hasFocus());
    const QString href = browser->textCursor().charFormat().anchorHref();
    QVERIFY2(href.startsWith('#'), qPrintable(href));
    keyClick(browser, Qt::Key_Return);
    QTRY_COMPARE(browser->source().fragment(), href.mid(1));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
