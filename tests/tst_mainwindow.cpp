#include "WindowTest.h"

#include "components/Look.h"

#include "components/UpDown.h"
#include "settings/IniFile.h"
#include "storage/CalendarFile.h"
#include "storage/YearMarks.h"
#include "dialogs/Unit3.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QFileInfo>
#include <QPushButton>
#include <QToolButton>

using namespace hibi;
using namespace hibi::test;

class TestMainWindow;

namespace {


enum Fault { NoFault, SaveFails, ReadFails };

struct ViewCase
{
    const char *name;
    YearMonthDay16 start;   // today, where the window opens
    std::function<void(TestMainWindow *)> act;
    QString calendar;       // where the view should be afterwards
    int year;
    int month;
    bool saves;             // A's buffer is written back
};

QList<std::tuple<int, int, int>> marksIn(const QString &calendar, int year)
{
    if (calendar == "A" && year == 2026)
        return {{3, 5, Batu}};
    if (calendar == "A" && year == 2025)
        return {{12, 24, Batu}};
    if (calendar == "A" && year == 2024)
        return {{7, 7, Batu}};
    if (calendar == "B" && year == 2026)
        return {{3, 6, Sankaku}};
    return {};
}

QByteArray fileOfA(std::optional<YearMonthDay16> maru = std::nullopt)
{
    QByteArray bytes = kHeader;
    bool placed = false;
    for (int year : {2026, 2025, 2024}) {
        auto marks = marksIn("A", year);
        if (maru && maru->year == year) {
            marks << std::tuple{maru->month, maru->day, int(Maru)};
            placed = true;
        }
        bytes += record(year, marks);
    }
    if (maru && !placed)
        bytes += record(maru->year, {{maru->month, maru->day, Maru}});
    return bytes;
}

} // namespace

class TestMainWindow : public WindowTest
{
    Q_OBJECT

private slots:
    void firstStartInEmptyFolder();
    void todayMovesAtMidnight();
    void restoreFromMaximisedGivesTheSizeBack();
    void smallestWindowShowsEveryRow_data();
    void smallestWindowShowsEveryRow();
    void marksByMouseReachTheFile();
    void quickPressSequences_data();
    void quickPressSequences();
    void viewSwitch_data();
    void viewSwitch();
    void listBuiltFromSavedOrder();
    void addCalendar();
    void renameKeepsUnsavedMarks();
    void deleteOnlyCalendar();
    void deleteOneOfThree();
    void moveEntries();
    void dataMenuEnabling();
    void nameDialogRefusals();
    void closeWritesSettings();
    void boundsStayOverRestarts();
    void closeWhenTheYearCannotBeSaved_data();
    void closeWhenTheYearCannotBeSaved();
    void countAll();
    void countAllLongCountsStayReadable();
    void rangeTallyAcrossYears();
    void rangeCancelled();
    void grabbedPixels();
    void listFontSize();
    void gridFillsTheWindow();
    void menusAndShortcuts_data();
    void menusAndShortcuts();
    void exitSavesLikeClosing();

private:
    QPushButton *button(const char *name) const { return window()->findChild<QPushButton *>(name); }
    static const std::vector<ViewCase> &viewCases();
};

// Presses as quick as a user's double clicks: each must count, with the gesture
// rule, on the mark the press finds.
void TestMainWindow::quickPressSequences_data()
{
    QTest::addColumn<int>("rightHeld");   // the right button held down throughout, after its own press
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("presses");
    QTest::addColumn<int>("mark");
    QTest::newRow("two left") << 0 << int(Qt::LeftButton) << 2 << int(NoMark);
    QTest::newRow("three left") << 0 << int(Qt::LeftButton) << 3 << int(Maru);
    QTest::newRow("four left") << 0 << int(Qt::LeftButton) << 4 << int(NoMark);
    QTest::newRow("two right") << 0 << int(Qt::RightButton) << 2 << int(NoMark);
    QTest::newRow("three right") << 0 << int(Qt::RightButton) << 3 << int(Batu);
    // The right press gives ×, the first left △, the next clears it, and so on.
    QTest::newRow("right held, two left") << 1 << int(Qt::LeftButton) << 2 << int(NoMark);
    QTest::newRow("right held, three left") << 1 << int(Qt::LeftButton) << 3 << int(Sankaku);
    QTest::newRow("right held, four left") << 1 << int(Qt::LeftButton) << 4 << int(NoMark);
}

void TestMainWindow::quickPressSequences()
{
    QFETCH(int, rightHeld);
    QFETCH(int, button);
    QFETCH(int, presses);
    QFETCH(int, mark);
    QVERIFY(openWindow());
    const GridCell c = CellOfDay(2026, 3, 12);
    if (rightHeld)
        pressCell(monthGrid(), c.col, c.row, Qt::RightButton);
    quickPresses(monthGrid(), c.col, c.row, Qt::MouseButton(button), presses);
    if (rightHeld)
        releaseCell(monthGrid(), c.col, c.row, Qt::RightButton);
    QVERIFY(window()->close());
    const QByteArray expected = mark ? kHeader + record(2026, {{3, 12, mark}}) : QByteArray();
    QCOMPARE(readFile(file("カレンダー1")), expected);
}

// Every command that moves the view, from a folder with calendars A and B and an
// unsaved ○ on the first day of the month shown: with the files as they are, with
// A's file unreadable (the save fails) and with the target's file unreadable.

void TestMainWindow::viewSwitch_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<int>("fault");
    for (int i = 0; i < int(viewCases().size()); ++i) {
        const ViewCase &c = viewCases()[size_t(i)];
        QTest::addRow("%s", c.name) << i << int(NoFault);
        if (c.saves)
            QTest::addRow("%s, A cannot be saved", c.name) << i << int(SaveFails);
        if (c.calendar != "A")
            QTest::addRow("%s, %s cannot be read", c.name, qPrintable(c.calendar)) << i << int(ReadFails);
    }
}

const std::vector<ViewCase> &TestMainWindow::viewCases()
{
    auto click = [](const char *name, Qt::KeyboardModifiers mods = {}) {
        return [=](TestMainWindow *t) { mouseClick(t->button(name), Qt::LeftButton, mods); };
    };
    static const std::vector<ViewCase> cases = {
        {"a month on inside the year", {2026, 3, 10}, click("btnnext"), "A", 2026, 4, false},
        {"April and back", {2026, 3, 10}, [](TestMainWindow *t) {
             mouseClick(t->button("btnnext"), Qt::LeftButton);
             mouseClick(t->button("btnprv"), Qt::LeftButton);
         }, "A", 2026, 3, false},
        {"December to January", {2026, 12, 10}, click("btnnext"), "A", 2027, 1, true},
        {"January to December", {2026, 1, 10}, click("btnprv"), "A", 2025, 12, true},
        {"Shift: a year back", {2026, 3, 10}, click("btnprv", Qt::ShiftModifier), "A", 2025, 3, true},
        {"past 9999", {9999, 12, 10}, [](TestMainWindow *t) {
             mouseClick(t->button("btnnext"), Qt::LeftButton);
             mouseClick(t->button("btnnext"), Qt::LeftButton, Qt::ShiftModifier);
         }, "A", 9999, 12, false},
        {"before year 1", {1, 1, 10}, [](TestMainWindow *t) {
             mouseClick(t->button("btnprv"), Qt::LeftButton);
             mouseClick(t->button("btnprv"), Qt::LeftButton, Qt::ShiftModifier);
         }, "A", 1, 1, false},
        {"this month, a day later", {2026, 3, 10}, [](TestMainWindow *t) {
             SetFixedToday(YearMonthDay16{2026, 5, 20});
             keyClick(t->window(), Qt::Key_T, Qt::ControlModifier);
         }, "A", 2026, 5, true},
        {"jump", {2026, 3, 10}, [](TestMainWindow *t) {
             whenModal([](QWidget *dialog) {
                 auto *year = dialog->findChild<UpDown *>("upyear");
                 auto *month = dialog->findChild<UpDown *>("upmonth");
                 for (int i = 0; i < 2; ++i)
                     mouseClick(year->downButton(), Qt::LeftButton);
                 for (int i = 0; i < 4; ++i)
                     mouseClick(month->upButton(), Qt::LeftButton);
                 mouseClick(dialog->findChild<QPushButton *>("BitBtn2"), Qt::LeftButton);
             });
             keyClick(t->window(), Qt::Key_J, Qt::ControlModifier);
         }, "A", 2024, 7, true},
        {"select", {2026, 3, 10}, [](TestMainWindow *t) { t->selectCalendar(1); }, "B", 2026, 3, true},
        {"new calendar", {2026, 3, 10}, [](TestMainWindow *t) {
             whenModal([](QWidget *dialog) {
                 auto *edit = dialog->findChild<QLineEdit *>("Edit1");
                 QTest::keyClicks(edit, "C");
                 keyClick(edit, Qt::Key_Return);
             });
             keyClick(t->window(), Qt::Key_N, Qt::ControlModifier);
         }, "C", 2026, 3, true},
        {"count all", {2026, 3, 10}, [](TestMainWindow *t) {
             MaybeModal closeResult([](QWidget *dialog) { dialog->close(); });
             t->action("countall")->trigger();
         }, "A", 2026, 3, true},
        {"count a range", {2026, 3, 10}, [](TestMainWindow *t) {
             auto *range = t->window()->findChild<QToolButton *>("ToolButton2");
             mouseClick(range, Qt::LeftButton);
             QCOMPARE(range->isChecked(), t->window()->monthView()->rangeSelection().RangeState == 1);
             if (t->window()->monthView()->rangeSelection().active())
                 mouseClick(range, Qt::LeftButton);   // cancelled
             QVERIFY(!range->isChecked());
             QVERIFY(!QGuiApplication::overrideCursor());
         }, "A", 2026, 3, true},
    };
    return cases;
}

void TestMainWindow::viewSwitch()
{
    QFETCH(int, which);
    QFETCH(int, fault);
    const ViewCase &c = viewCases()[size_t(which)];
    writeFile(file("A"), fileOfA());
    writeFile(file("B"), kHeader + record(2026, {{3, 6, Sankaku}}));
    SetFixedToday(c.start);
    QVERIFY(openWindow());
    clickDay(1);
    const YearMonthDay16 maru{c.start.year, c.start.month, 1};
    if (fault == SaveFails) {
        QVERIFY(QFile::rename(file("A"), file("A") + ".kept"));
        QVERIFY(QDir().mkdir(file("A")));
    } else if (fault == ReadFails) {
        QVERIFY(!QFile::exists(file(c.calendar)) || QFile::remove(file(c.calendar)));
        QVERIFY(QDir().mkdir(file(c.calendar)));
    }

    c.act(this);

    const bool moved = fault == NoFault || (fault == SaveFails && !c.saves);
    const QString calendar = moved ? c.calendar : "A";
    const int year = moved ? c.year : c.start.year;
    QCOMPARE(window()->calendar().CurrentCalendarName(), calendar);
    QCOMPARE(calendarList()->currentText(), calendar);
    QCOMPARE(window()->calendar().DisplayYear(), year);
    QCOMPARE(window()->calendar().DisplayMonth(), moved ? c.month : c.start.month);
    QCOMPARE(messages().boxes.size(), moved ? 0 : 1);
    // The marks shown: those of the file, or still the buffer with its unsaved ○.
    auto expected = marksIn(calendar, year);
    if (calendar == "A" && year == c.start.year)
        expected << std::tuple{maru.month, maru.day, int(Maru)};
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(window()->calendar().YearMarks().toFileOrder().data()), kYearCells),
             record(year, expected).mid(2));

    if (fault == SaveFails) {
        QVERIFY(QDir().rmdir(file("A")));
        QVERIFY(QFile::rename(file("A") + ".kept", file("A")));
        QVERIFY(window()->close());   // nothing was lost: the ○ is saved now
        QCOMPARE(readFile(file("A")), fileOfA(maru));
        return;
    }
    QCOMPARE(readFile(file("A")), c.saves ? fileOfA(maru) : fileOfA());
    if (c.calendar == "C" && fault == NoFault)
        QCOMPARE(readFile(file("C")), kHeader + record(2026));
    if (fault == ReadFails)
        QVERIFY(QDir().rmdir(file(c.calendar)));
}

void TestMainWindow::listBuiltFromSavedOrder()
{
    for (const char *name : {"B", "A", "C"})
        writeFile(file(name), kHeader + record(2026));
    ProgramSettings saved = DefaultSettings();
    saved.lastCalendar = "A";
    saved.calendarOrder = QStringList{"C", "X", "A"};
    SettingsStore(iniPath()).save(saved, SettingsWriter::Close);
    QVERIFY(openWindow());
    QStringList names;
    for (int i = 0; i < calendarList()->count(); ++i)
        names << calendarList()->itemText(i);
    QCOMPARE(names, (QStringList{"C", "A", "B"}));
    QCOMPARE(calendarList()->currentIndex(), 1);
    QCOMPARE(window()->calendar().CurrentCalendarName(), QStringLiteral("A"));
}

void TestMainWindow::addCalendar()
{
    MessageRecorder &messages = this->messages();
    QVERIFY(openWindow());
    clickDay(9);
    whenModal([](QWidget *dialog) {
        dialog->findChild<QLineEdit *>("Edit1")->setText("B");
        savePicture(dialog, "data-name");
        mouseClick(dialog->findChild<QPushButton *>("btnok"), Qt::LeftButton);
    });
    action("mnunewcale")->trigger();
    QCOMPARE(readFile(file("カレンダー1")), kHeader + record(2026, {{3, 9, Maru}}));
    QCOMPARE(readFile(file("B")), kHeader + record(2026));
    QCOMPARE(calendarList()->count(), 2);
    QCOMPARE(calendarList()->currentIndex(), 1);
    QCOMPARE(calendarList()->currentText(), QStringLiteral("B"));
    QCOMPARE(window()->calendar().DisplayMonth(), 3);
    QVERIFY(!window()->calendar().YearMarks().hasMarks());

    // Selecting the first calendar again saves B and shows the first one's marks.
    clickDay(10, Qt::RightButton);
    selectCalendar(0);
    QCOMPARE(readFile(file("B")), kHeader + record(2026, {{3, 10, Batu}}));
    QCOMPARE(window()->calendar().CurrentCalendarName(), QStringLiteral("カレンダー1"));
    const GridCell c = CellOfDay(2026, 3, 9);
    QCOMPARE(window()->calendar().YearMarks().at(3, c.col, c.row), std::uint8_t(Maru));

    // Cancel changes nothing.
    whenModal([](QWidget *dialog) { mouseClick(dialog->findChild<QPushButton *>("btncancel"), Qt::LeftButton); });
    action("mnunewcale")->trigger();
    QCOMPARE(calendarList()->count(), 2);
    QVERIFY(messages.boxes.isEmpty());
}

void TestMainWindow::renameKeepsUnsavedMarks()
{
    writeFile(file("Old"), kHeader + record(2026, {{1, 1, Batu}}));
    QVERIFY(openWindow());
    clickDay(15);
    whenModal([](QWidget *dialog) {
        auto *edit = dialog->findChild<QLineEdit *>("Edit1");
        QTest::keyClicks(edit, "New");
        QTest::keyClick(edit, Qt::Key_Return);   // Enter is OK
    });
    action("changename")->trigger();
    QCOMPARE(calendarList()->currentText(), QStringLiteral("New"));
    QCOMPARE(window()->calendar().CurrentCalendarName(), QStringLiteral("New"));
    QVERIFY(!QFile::exists(file("Old")));
    QVERIFY(window()->close());
    QCOMPARE(readFile(file("New")), kHeader + record(2026, {{1, 1, Batu}, {3, 15, Maru}}));
    IniFile ini = IniFile::load(iniPath());
    QCOMPARE(ini.readString("dat", "0", QString()), QStringLiteral("New"));
    QCOMPARE(ini.readString("cale", "file", QString()), QStringLiteral("New"));
}

void TestMainWindow::deleteOnlyCalendar()
{
    MessageRecorder &messages = this->messages();
    writeFile(file("Only"), kHeader + record(2026, {{3, 3, Maru}}));
    QVERIFY(openWindow());
    messages.answer = false;
    action("delcale")->trigger();
    QVERIFY(QFile::exists(file("Only")));
    messages.answer = true;
    action("delcale")->trigger();
    QCOMPARE(messages.boxes.size(), 2);
    QCOMPARE(messages.boxes[1].title, QStringLiteral("警告"));
    QCOMPARE(messages.boxes[1].text, QStringLiteral("「Only」を削除します\r\nよろしいですか？"));
    QVERIFY(!QFile::exists(file("Only")));
    QCOMPARE(calendarList()->count(), 1);
    QCOMPARE(calendarList()->currentText(), QStringLiteral("カレンダー1"));
    QCOMPARE(window()->calendar().CurrentCalendarName(), QStringLiteral("カレンダー1"));
    QVERIFY(!window()->calendar().YearMarks().hasMarks());
}

void TestMainWindow::deleteOneOfThree()
{
    for (const char *name : {"A", "B", "C"})
        writeFile(file(name), kHeader + record(2026, {{3, 1, name[0] - 'A' + 1}}));
    QVERIFY(openWindow());
    selectCalendar(1);
    action("delcale")->trigger();
    QVERIFY(!QFile::exists(file("B")));
    QCOMPARE(calendarList()->count(), 2);
    QCOMPARE(calendarList()->currentText(), QStringLiteral("C"));   // the last entry
    const GridCell c = CellOfDay(2026, 3, 1);
    QCOMPARE(window()->calendar().YearMarks().at(3, c.col, c.row), std::uint8_t(Sankaku));
}

void TestMainWindow::moveEntries()
{
    for (const char *name : {"A", "B", "C"})
        writeFile(file(name), kHeader + record(2026));
    QVERIFY(openWindow());
    action("datup")->trigger();                     // the first goes nowhere
    QCOMPARE(calendarList()->itemText(0), QStringLiteral("A"));
    action("datdown")->trigger();
    action("datdown")->trigger();
    action("datdown")->trigger();                   // the last goes nowhere
    QCOMPARE(calendarList()->itemText(2), QStringLiteral("A"));
    QCOMPARE(calendarList()->currentText(), QStringLiteral("A"));
    QCOMPARE(window()->calendar().CurrentCalendarName(), QStringLiteral("A"));
    QVERIFY(window()->close());
    // The order survives a restart.
    QVERIFY(openWindow());
    QCOMPARE(calendarList()->itemText(0), QStringLiteral("B"));
    QCOMPARE(calendarList()->itemText(1), QStringLiteral("C"));
    QCOMPARE(calendarList()->itemText(2), QStringLiteral("A"));
    QCOMPARE(calendarList()->currentIndex(), 2);
}

void TestMainWindow::dataMenuEnabling()
{
    auto enabled = [this] {
        auto *menu = window()->findChild<QMenu *>("Data1");
        menu->popup(window()->mapToGlobal(QPoint(10, 10)));   // opening it updates the items
        QList<bool> states{action("mnuall")->isEnabled(), action("datup")->isEnabled(), action("datdown")->isEnabled()};
        menu->close();
        return states;
    };
    QVERIFY(openWindow());
    QCOMPARE(enabled(), (QList<bool>{false, false, false}));   // a single calendar
    writeFile(file("B"), kHeader + record(2026));
    writeFile(file("C"), kHeader + record(2026));
    QVERIFY(openWindow());
    QCOMPARE(enabled(), (QList<bool>{true, false, true}));
    selectCalendar(2);
    QCOMPARE(enabled(), (QList<bool>{true, true, false}));
}

void TestMainWindow::nameDialogRefusals()
{
    MessageRecorder &messages = this->messages();
    writeFile(file("Taken"), kHeader + record(2026));
    QVERIFY(openWindow());
    whenModal([](QWidget *dialog) {
        auto *edit = dialog->findChild<QLineEdit *>("Edit1");
        auto *ok = dialog->findChild<QPushButton *>("btnok");
        for (const QString &name : {QStringLiteral("a\\b"), QStringLiteral("Taken"), QStringLiteral("tab\there"),
                                    QStringLiteral("顔😀")}) {
            edit->setText(name);
            mouseClick(ok, Qt::LeftButton);
            QVERIFY(dialog->isVisible());
            QCOMPARE(edit->text(), name);   // the text stays as typed
        }
        // A calendar that has never been saved has no file: its name is free.
        edit->setText(QStringLiteral("カレンダー1"));
        mouseClick(ok, Qt::LeftButton);
    });
    action("mnunewcale")->trigger();
    QCOMPARE(messages.texts().mid(0, 2), (QStringList{QStringLiteral("\\/:*?\"<>|は使えません"), QStringLiteral("Takenは、同名の物が既にあります")}));
    QCOMPARE(messages.boxes.size(), 4);
    QVERIFY(messages.texts()[3].contains(QStringLiteral("😀")));
    for (const auto &box : messages.boxes)
        QCOMPARE(box.title, QStringLiteral("ヒビシルシ"));
}

void TestMainWindow::closeWritesSettings()
{
    for (const char *name : {"A", "B", "C"})
        writeFile(file(name), kHeader + record(2026));
    writeFile(iniPath(), "[dat]\r\nnum=5\r\n0=A\r\n1=B\r\n2=C\r\n3=D\r\n4=E\r\n[posb]\r\ntop=9\r\n");
    QVERIFY(openWindow());
    window()->move(50, 60);
    window()->resize(400, 380);
    QVERIFY(window()->close());
    const IniFile ini = IniFile::load(iniPath());
    QCOMPARE(ini.readInteger("pos", "left", 0), 50);
    QCOMPARE(ini.readInteger("pos", "top", 0), 60);
    QCOMPARE(ini.readInteger("pos", "width", 0), 400);
    QCOMPARE(ini.readInteger("pos", "height", 0), 380);
    QCOMPARE(ini.readInteger("pos", "nameheight", 0), 12);
    QCOMPARE(ini.readString("cale", "file", QString()), QStringLiteral("A"));
    QStringList keys;
    for (const QString &k : ini.keys("dat"))
        keys << k;
    QCOMPARE(keys, (QStringList{"num", "0", "1", "2"}));
    QCOMPARE(ini.readInteger("dat", "num", 0), 3);
    QCOMPARE(ini.readInteger("posb", "top", 0), 9);
    QVERIFY(!ini.value("youbifont", "size"));   // the appearance keys are the dialog's

    // The bounds come back at the next start.
    QVERIFY(openWindow());
    QCOMPARE(window()->pos(), QPoint(50, 60));
    QCOMPARE(window()->size(), QSize(400, 380));
}

// Started and closed again and again, the window stays where it was put (under a
// window manager the frame's corner is what is stored and what is restored).
void TestMainWindow::boundsStayOverRestarts()
{
    QVERIFY(openWindow());
    window()->move(150, 120);
    window()->resize(420, 400);
    QVERIFY(window()->close());
    const QByteArray stored = readFile(iniPath());
    for (int i = 0; i < 5; ++i) {
        QVERIFY(openWindow());
        QVERIFY(window()->close());
        QCOMPARE(readFile(iniPath()), stored);
    }
    const IniFile ini = IniFile::load(iniPath());
    QCOMPARE(ini.readInteger("pos", "left", 0), 150);
    QCOMPARE(ini.readInteger("pos", "top", 0), 120);
}

void TestMainWindow::closeWhenTheYearCannotBeSaved_data()
{
    QTest::addColumn<bool>("closeAnyway");
    QTest::newRow("stay open") << false;
    QTest::newRow("close without saving") << true;
}

// The window can always be closed: a year that cannot be saved is the user's call.
void TestMainWindow::closeWhenTheYearCannotBeSaved()
{
    QFETCH(bool, closeAnyway);
    MessageRecorder &messages = this->messages();
    QVERIFY(openWindow());
    clickDay(4);
    QVERIFY(QDir().mkdir(file("カレンダー1")));   // a folder where the file should be
    messages.answer = closeAnyway;
    QCOMPARE(window()->close(), closeAnyway);
    QCOMPARE(messages.boxes.size(), 1);
    QCOMPARE(messages.boxes[0].kind, MessageBoxes::Kind::WarningYesNo);
    QVERIFY(messages.boxes[0].text.startsWith(
            QStringLiteral("ファイル %1 は開けません").arg(QDir::toNativeSeparators(file("カレンダー1")))));
    if (closeAnyway) {
        QVERIFY(QFileInfo(file("カレンダー1")).isDir());
        QCOMPARE(IniFile::load(iniPath()).readString("cale", "file", QString()), QStringLiteral("カレンダー1"));
        return;
    }
    QVERIFY(window()->isVisible());
    QVERIFY(!QFile::exists(iniPath()));   // nothing is written while the window stays
    QVERIFY(QDir().rmdir(file("カレンダー1")));
    QVERIFY(window()->close());
    QCOMPARE(readFile(file("カレンダー1")), kHeader + record(2026, {{3, 4, Maru}}));
}

void TestMainWindow::countAll()
{
    writeFile(file("カレンダー1"), kHeader + record(2020, {{1, 1, Maru}, {1, 2, Maru}, {5, 5, Sankaku}})
                                      + record(2026, {{3, 1, Batu}}) + record(2030).left(300));
    QVERIFY(openWindow());
    clickDay(1);                            // × becomes ○ before the tally
    clickDay(2, Qt::RightButton);
    QStringList shown;
    whenModal([&shown](QWidget *dialog) {
        for (const char *name : {"lblall", "lblpart1", "lblpart2"})
            if (dialog->findChild<QLabel *>(name)->isVisible())
                shown << name;
        for (const char *name : {"lblmaru", "lblbatu", "lblsankaku"})
            shown << dialog->findChild<QLabel *>(name)->text();
        savePicture(dialog, "tally-result");
        mouseClick(dialog->findChild<QPushButton *>("BitBtn1"), Qt::LeftButton);
    });
    action("countall")->trigger();
    QCOMPARE(shown, (QStringList{"lblall", "3", "1", "1"}));
    QCOMPARE(window()->findChild<QLabel *>("lblall")->text(), QStringLiteral("全期間の集計結果"));
}

void TestMainWindow::countAllLongCountsStayReadable()
{
    // 25 years with every cell ○: a five-digit count, which would run over its
    // mark if it were right-aligned like the short ones.
    QByteArray bytes = kHeader;
    for (int year = 2000; year < 2025; ++year)
        bytes += record(year).left(2) + QByteArray(504, '\x01');
    writeFile(file("カレンダー1"), bytes);
    QVERIFY(openWindow());
    QString count;
    QRect countPlace, markPlace, panel;
    whenModal([&](QWidget *dialog) {
        const auto *maru = dialog->findChild<QLabel *>("lblmaru");
        count = maru->text();
        countPlace = maru->geometry();
        markPlace = dialog->findChild<QLabel *>("Label2")->geometry();
        panel = maru->parentWidget()->rect();
        savePicture(dialog, "tally-long-counts");
        mouseClick(dialog->findChild<QPushButton *>("BitBtn1"), Qt::LeftButton);
    });
    mouseClick(window()->findChild<QToolButton *>("ToolButton3"), Qt::LeftButton);
    QCOMPARE(count, QStringLiteral("12600"));
    QVERIFY(!countPlace.intersects(markPlace));
    QVERIFY(panel.contains(countPlace));
}

void TestMainWindow::rangeTallyAcrossYears()
{
    // From 30 December 2024 to 2 January 2026, picked last day first.
    writeFile(file("カレンダー1"),
              kHeader + record(2026, {{1, 1, Maru}, {1, 2, Batu}, {1, 3, Maru}})
                      + record(2024, {{12, 29, Maru}, {12, 30, Sankaku}, {12, 31, Maru}})
                      + record(2025, {{6, 1, Batu}, {6, 2, Batu}}) + record(2027, {{1, 1, Maru}}));
    SetFixedToday(YearMonthDay16{2026, 1, 20});
    QVERIFY(openWindow());
    auto *button = window()->findChild<QToolButton *>("ToolButton2");
    mouseClick(button, Qt::LeftButton);
    QCOMPARE(window()->monthView()->rangeSelection().RangeState, 1);
    QVERIFY(button->isChecked());
    QVERIFY(action("countpart")->isChecked());
    QVERIFY(QGuiApplication::overrideCursor());
    clickDay(2);                           // first pick: 2 January 2026, no mark is set
    QCOMPARE(window()->monthView()->rangeSelection().RangeState, 2);
    QVERIFY(window()->findChild<QTimer *>("Timer1")->isActive());
    const GridCell jan2 = CellOfDay(2026, 1, 2);
    QCOMPARE(window()->calendar().YearMarks().at(1, jan2.col, jan2.row), std::uint8_t(Batu));
    for (int i = 0; i < 13; ++i)
        mouseClick(window()->findChild<QPushButton *>("btnprv"), Qt::LeftButton);
    QCOMPARE(window()->calendar().DisplayYear(), 2024);
    QCOMPARE(window()->calendar().DisplayMonth(), 12);

    QStringList shown;
    bool highlighted = false;
    whenModal([&](QWidget *dialog) {
        for (const char *name : {"lblpart1", "lblpart2", "lblmaru", "lblbatu", "lblsankaku"})
            shown << dialog->findChild<QLabel *>(name)->text();
        QVERIFY(!dialog->findChild<QLabel *>("lblall")->isVisible());
        // While the result shows, the picked cell of this month is highlighted.
        const QImage image = monthGrid()->grab().toImage();
        const GridCell dec30 = CellOfDay(2024, 12, 30);
        highlighted = image.pixelColor(monthGrid()->cellRect(dec30.col, dec30.row).toRect().topLeft() + QPoint(2, 2))
                == window()->palette().color(QPalette::Highlight);
        dialog->close();
    });
    clickDay(30);
    QCOMPARE(shown, (QStringList{"2024年12月30日から", "2026年1月2日", "2", "3", "1"}));
    QVERIFY(highlighted);
    QCOMPARE(window()->monthView()->rangeSelection().RangeState, 0);
    QVERIFY(!button->isChecked());
    QVERIFY(!QGuiApplication::overrideCursor());
    QVERIFY(!window()->findChild<QTimer *>("Timer1")->isActive());
}

void TestMainWindow::rangeCancelled()
{
    QVERIFY(openWindow());
    action("countpart")->trigger();
    clickDay(3);
    QCOMPARE(window()->monthView()->rangeSelection().RangeState, 2);
    action("countpart")->trigger();        // the command again cancels
    QCOMPARE(window()->monthView()->rangeSelection().RangeState, 0);
    QVERIFY(!QGuiApplication::overrideCursor());
    QVERIFY(!window()->findChild<QTimer *>("Timer1")->isActive());
    QVERIFY(!action("countpart")->isChecked());
    clickDay(3);                           // marks again
    const GridCell c = CellOfDay(2026, 3, 3);
    QCOMPARE(window()->calendar().YearMarks().at(3, c.col, c.row), std::uint8_t(Maru));

    // A first day on the same day as the last: that day alone.
    action("countpart")->trigger();
    QVERIFY(QFile::exists(file("カレンダー1")));   // the range command saved the year
    clickDay(3);
    QString counts;
    whenModal([&](QWidget *dialog) {
        counts = dialog->findChild<QLabel *>("lblpart1")->text() + dialog->findChild<QLabel *>("lblpart2")->text()
                + dialog->findChild<QLabel *>("lblmaru")->text();
        dialog->close();
    });
    clickDay(3);
    QCOMPARE(counts, QStringLiteral("2026年3月3日から2026年3月3日1"));
}

void TestMainWindow::grabbedPixels()
{
    writeFile(file("カレンダー1"), kHeader + record(2026, {{3, 20, Batu}, {3, 18, Maru}, {3, 26, Sankaku}}));
    QVERIFY(openWindow());
    const QImage image = monthGrid()->grab().toImage();
    auto cellHas = [&](int day, const QColor &color) {
        const GridCell c = CellOfDay(2026, 3, day);
        const QRect r = monthGrid()->cellRect(c.col, c.row).toRect();
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (image.pixelColor(x, y) == color)
                    return true;
        return false;
    };
    // 20 March 2026 (the equinox, a Friday) is a holiday: red digits; the 19th is not.
    QVERIFY(cellHas(19, Qt::black));
    QVERIFY(!cellHas(19, Qt::red));
    // × in BatuColor through the cell's centre.
    const GridCell c20 = CellOfDay(2026, 3, 20);
    const QRect r20 = monthGrid()->cellRect(c20.col, c20.row).toRect();
    QCOMPARE(image.pixelColor(r20.left() + 3, r20.top() + 3 * r20.height() / r20.width()), QColor(0x80, 0x40, 0x00));
    // ○ touches the middle of the cell's left edge, △ rises to the top centre.
    const GridCell c18 = CellOfDay(2026, 3, 18);
    const QRect r18 = monthGrid()->cellRect(c18.col, c18.row).toRect();
    QCOMPARE(image.pixelColor(r18.left(), r18.center().y()), QColor(0x40, 0x80, 0x80));
    const GridCell c26 = CellOfDay(2026, 3, 26);
    const CellRect r26 = monthGrid()->cellRect(c26.col, c26.row);
    QCOMPARE(image.pixelColor(r26.left + (r26.right - r26.left) / 2, r26.top + 1), QColor(0xFF, 0x80, 0x00));
    QCOMPARE(image.pixelColor(r26.left + (r26.right - r26.left) / 2, r26.bottom - 2), QColor(0xFF, 0x80, 0x00));
    // Today's frame in blue along the left edge of the 10th.
    const GridCell c10 = CellOfDay(2026, 3, 10);
    const QRect r10 = monthGrid()->cellRect(c10.col, c10.row).toRect();
    QCOMPARE(image.pixelColor(r10.left() + 1, r10.center().y()), QColor(Qt::blue));
    QCOMPARE(image.pixelColor(r10.center().x(), r10.bottom() - 1), QColor(Qt::blue));
    // A Sunday's number is red; the header: Sunday on red, weekdays on green.
    QVERIFY(cellHas(1, Qt::red));
    QCOMPARE(image.pixelColor(monthGrid()->cellRect(0, 0).toRect().topLeft() + QPoint(1, 1)), QColor(Qt::red));
    QCOMPARE(image.pixelColor(monthGrid()->cellRect(3, 0).toRect().topLeft() + QPoint(1, 1)), QColor(0x80, 0xFF, 0x00));
    // A cell without a day is silver.
    QCOMPARE(image.pixelColor(monthGrid()->cellRect(6, 5).toRect().center()), QColor(0xC0, 0xC0, 0xC0));
    QVERIFY(savePicture(monthGrid(), "month-view"));
    QVERIFY(savePicture(window(), "main-window"));
}

void TestMainWindow::listFontSize()
{
    writeFile(iniPath(), "[pos]\r\nnameheight=16\r\n");
    QVERIFY(openWindow());
    auto *panel1 = window()->findChild<QFrame *>("Panel1");
    auto *panel0 = window()->findChild<QFrame *>("Panel0");
    QCOMPARE(calendarList()->font().pointSize(), 16);
    QCOMPARE(panel1->height(), calendarList()->height() + 4);
    QCOMPARE(panel0->y() + panel0->height(), 108);
    const int tallBar = panel1->height();
    // The up arrow lowers the size.
    auto *up = window()->findChild<UpDown *>("UpDown1");
    for (int i = 0; i < 10; ++i)
        mouseClick(up->upButton(), Qt::LeftButton);
    QCOMPARE(calendarList()->font().pointSize(), 8);
    QVERIFY(panel1->height() < tallBar);
    QCOMPARE(panel0->y() + panel0->height(), 108);
    auto *prv = window()->findChild<QPushButton *>("btnprv");
    QCOMPARE(prv->y(), (panel0->height() - prv->height()) / 2);
    QVERIFY(window()->close());
    QCOMPARE(IniFile::load(iniPath()).readInteger("pos", "nameheight", 0), 8);
}

void TestMainWindow::menusAndShortcuts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QKeySequence>("shortcut");
    const QKeySequence none;
    QTest::newRow("thismonth") << "thismonth" << "今月を表示(&T)" << QKeySequence("Ctrl+T");
    QTest::newRow("mnujump") << "mnujump" << "年月指定ジャンプ(&J)" << QKeySequence("Ctrl+J");
    QTest::newRow("settei") << "settei" << "設定(&S)..." << none;
    QTest::newRow("mnuexport") << "mnuexport" << "CSV に書き出す(&E)..." << none;
    QTest::newRow("mnuprint") << "mnuprint" << "印刷(&P)..." << QKeySequence("Ctrl+P");
    QTest::newRow("Exit1") << "Exit1" << "終了(&X)" << none;
    QTest::newRow("mnuall") << "mnuall" << "同一日の複数データを一括入力(&Z)..." << none;
    QTest::newRow("datup") << "datup" << "データの並び順を上へ(&U)" << none;
    QTest::newRow("datdown") << "datdown" << "データの並び順を下へ(&W)" << none;
    QTest::newRow("mnunewcale") << "mnunewcale" << "新しいデータを追加(&N)..." << QKeySequence("Ctrl+N");
    QTest::newRow("changename") << "changename" << "表示中のデータの名前を変更(&R)..." << QKeySequence("Ctrl+R");
    QTest::newRow("delcale") << "delcale" << "表示中のデータを削除(&D)..." << QKeySequence("Ctrl+D");
    QTest::newRow("countall") << "countall" << "全期間を集計(&A)..." << none;
    QTest::newRow("countpart") << "countpart" << "範囲を指定して集計(&P)..." << none;
    QTest::newRow("mnuchart") << "mnuchart" << "年間グラフ(&G)..." << none;
    QTest::newRow("mnuhelp") << "mnuhelp" << "目次(&C)..." << QKeySequence(QKeySequence::HelpContents);
    QTest::newRow("mnuversion") << "mnuversion" << "バージョン(&A)..." << none;
    QTest::newRow("add2") << "add2" << "新しいデータを追加..." << QKeySequence("Ctrl+N");
    QTest::newRow("change2") << "change2" << "表示中のデータの名前を変更..." << QKeySequence("Ctrl+R");
    QTest::newRow("del2") << "del2" << "表示中のデータを削除..." << QKeySequence("Ctrl+D");
}

void TestMainWindow::menusAndShortcuts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QKeySequence, shortcut);
    QVERIFY(openWindow());
    QAction *a = window()->findChild<QAction *>(name);
    QVERIFY(a);
    QCOMPARE(a->text(), text);
    QCOMPARE(a->shortcut(), shortcut);
}

void TestMainWindow::exitSavesLikeClosing()
{
    QVERIFY(openWindow());
    clickDay(11, Qt::RightButton);
    // Ctrl+T from the keyboard reaches "今月を表示" and saves the year first.
    keyClick(window(), Qt::Key_T, Qt::ControlModifier);
    QCOMPARE(readFile(file("カレンダー1")), kHeader + record(2026, {{3, 11, Batu}}));
    clickDay(12, Qt::RightButton);
    action("Exit1")->trigger();
    QVERIFY(!window()->isVisible());
    QCOMPARE(readFile(file("カレンダー1")), kHeader + record(2026, {{3, 11, Batu}, {3, 12, Batu}}));
    QVERIFY(QFile::exists(iniPath()));
}

void TestMainWindow::firstStartInEmptyFolder()
{
    QVERIFY(openWindow());
    QCOMPARE(window()->pos(), QPoint(200, 100));
    QCOMPARE(window()->size(), QSize(330, 325));
    QCOMPARE(window()->calendar().DisplayYear(), 2026);
    QCOMPARE(window()->calendar().DisplayMonth(), 3);
    QCOMPARE(window()->findChild<QLabel *>("Label1")->text(), QStringLiteral("2026年3月"));
    QCOMPARE(calendarList()->count(), 1);
    QCOMPARE(calendarList()->currentText(), QStringLiteral("カレンダー1"));
    QCOMPARE(window()->calendar().CurrentCalendarName(), QStringLiteral("カレンダー1"));
    QCOMPARE(monthGrid()->mapTo(window()->centralWidget(), QPoint()).y(), 108);
    QVERIFY(window()->close());
    // No calendar file until a mark is saved.
    QCOMPARE(QDir(folder()).entryList({"*.hsd"}), QStringList());
}

void TestMainWindow::marksByMouseReachTheFile()
{
    QVERIFY(openWindow());
    clickDay(2);                                         // ○
    clickDay(3, Qt::RightButton);                        // ×
    // △: hold the right button (which first gives ×), then press the left.
    const GridCell c = CellOfDay(2026, 3, 4);
    pressCell(monthGrid(), c.col, c.row, Qt::RightButton);
    pressCell(monthGrid(), c.col, c.row, Qt::LeftButton);
    releaseCell(monthGrid(), c.col, c.row, Qt::LeftButton);
    releaseCell(monthGrid(), c.col, c.row, Qt::RightButton);
    // The same on a △ again leaves △ (× in between); two left presses on it give ○, then nothing.
    pressCell(monthGrid(), c.col, c.row, Qt::RightButton);
    pressCell(monthGrid(), c.col, c.row, Qt::LeftButton);
    releaseCell(monthGrid(), c.col, c.row, Qt::LeftButton);
    releaseCell(monthGrid(), c.col, c.row, Qt::RightButton);
    QCOMPARE(window()->calendar().YearMarks().at(3, c.col, c.row), std::uint8_t(Sankaku));
    clickDay(5);
    clickDay(5);
    clickDay(5, Qt::MiddleButton);                       // no change
    // The header row and cells without a day take no mark.
    clickCell(monthGrid(), 3, 0);
    clickCell(monthGrid(), 6, 5);
    QVERIFY(!QFile::exists(file("カレンダー1")));        // nothing written while marking

    QVERIFY(window()->close());
    QCOMPARE(readFile(file("カレンダー1")), kHeader + record(2026, {{3, 2, Maru}, {3, 3, Batu}, {3, 4, Sankaku}}));
}

void TestMainWindow::gridFillsTheWindow()
{
    QVERIFY(openWindow());
    for (const QSize size : {QSize(600, 500), QSize(330, 325), QSize(800, 260)}) {
        window()->resize(size);
        QTRY_COMPARE(monthGrid()->width(), window()->centralWidget()->width());
        DrawGrid *grid = monthGrid();
        // Seven columns fill the width, with less than a pixel a column left over
        // (the last grid line may fall off the edge).
        const CellRect last = grid->cellRect(6, 0);
        QVERIFY(last.right <= grid->clientWidth());
        QVERIFY(grid->clientWidth() - last.right < 7);
        // The week rows fill what the header leaves, in the same way.
        const int rows = grid->rowCount();
        const CellRect bottom = grid->cellRect(0, rows - 1);
        QVERIFY(bottom.bottom <= grid->clientHeight());
        QVERIFY(grid->clientHeight() - bottom.bottom < rows);
        QCOMPARE(grid->rowHeight(0), 16 + 8);   // 12 points at 96 dpi, plus 8
        // The caption is centred on the window, the buttons 10 pixels beside it.
        auto *label = window()->findChild<QLabel *>("Label1");
        const int left = label->x();
        const int right = window()->frameGeometry().width() - (label->x() + label->width());
        QVERIFY(qAbs(left - right) <= 1);
        QCOMPARE(label->x() - (button("btnprv")->x() + button("btnprv")->width()), 10);
        QCOMPARE(button("btnnext")->x() - (label->x() + label->width()), 10);
    }
    // Too narrow for the buttons: the window widens itself.
    window()->resize(100, 500);
    QTRY_VERIFY(window()->frameGeometry().width() >= button("btnnext")->x() + button("btnnext")->width());
}

// Left open over midnight, the today frame goes to the new day by itself: the
// clock runs here from just before midnight.
void TestMainWindow::todayMovesAtMidnight()
{
    SetFixedToday(std::nullopt);
    SetClockFrom(QDateTime(QDate(2026, 3, 10), QTime(23, 59, 59, 600)));
    QVERIFY(openWindow());
    const QColor frame = ToQColor(window()->appearance().TodayColor);
    auto framed = [&](int day) {
        const QImage image = monthGrid()->grab().toImage();
        const GridCell c = CellOfDay(2026, 3, day);
        const QRect r = monthGrid()->cellRect(c.col, c.row).toRect();
        return image.pixelColor(r.left() + 1, r.center().y()) == frame;
    };
    QVERIFY(framed(10));
    QVERIFY(!framed(11));
    QTRY_VERIFY_WITH_TIMEOUT(framed(11), 3000);
    QVERIFY(!framed(10));
    QCOMPARE(window()->monthView()->TodayDate(), (YearMonthDay16{2026, 3, 11}));
    SetClockFrom(std::nullopt);
}

void TestMainWindow::restoreFromMaximisedGivesTheSizeBack()
{
    QVERIFY(openWindow());
    const QSize before = window()->size();
    window()->showMaximized();
    QTRY_VERIFY(window()->size().width() > before.width());
    window()->showNormal();
    QTRY_COMPARE(window()->size(), before);
    // Sized back down in one step to any width the content allows.
    window()->resize(window()->minimumSize().width() + 5, before.height());
    QTRY_COMPARE(window()->width(), window()->minimumSize().width() + 5);
    window()->resize(1, 1);
    QTRY_COMPARE(window()->size(), window()->minimumSize());
}

// At its smallest the window still shows what it is for, with the largest fonts
// the settings offer and a month of six weeks: both buttons whole beside the
// caption, and every week row at least as tall as its day font, none over another.
void TestMainWindow::smallestWindowShowsEveryRow_data()
{
    QTest::addColumn<int>("dayFont");
    QTest::addColumn<int>("captionFont");
    QTest::newRow("the fonts as they come") << 0 << 0;
    QTest::newRow("the largest day and caption fonts") << 24 << 24;
}

void TestMainWindow::smallestWindowShowsEveryRow()
{
    QFETCH(int, dayFont);
    QFETCH(int, captionFont);
    if (dayFont)
        writeFile(iniPath(), QStringLiteral("[dayfont]\r\nsize=%1\r\n[youbifont]\r\nsize=%1\r\n[nenfont]\r\nsize=%2\r\n")
                                     .arg(dayFont)
                                     .arg(captionFont)
                                     .toLatin1());
    SetFixedToday(YearMonthDay16{2026, 5, 10});   // May 2026: six weeks
    QVERIFY(openWindow());
    QCOMPARE(monthGrid()->rowCount(), 7);
    window()->resize(1, 1);
    QTRY_COMPARE(window()->size(), window()->minimumSize());
    QTest::qWait(50);

    auto *panel = window()->findChild<QWidget *>("Panel0");
    const QRect previous = window()->findChild<QPushButton *>("btnprv")->geometry();
    const QRect next = window()->findChild<QPushButton *>("btnnext")->geometry();
    const QRect caption = window()->findChild<QLabel *>("Label1")->geometry();
    QVERIFY(previous.left() >= 0);
    QVERIFY2(next.right() < panel->width(), qPrintable(QStringLiteral("%1 in %2").arg(next.right()).arg(panel->width())));
    QVERIFY(previous.right() < caption.left() && caption.right() < next.left());

    const int fontHeight = FontPixelHeight(window()->appearance().DayFont.Size, monthGrid());
    const int gridHeight = monthGrid()->viewport()->height();
    for (int row = 1; row <= 6; ++row) {
        const QRect cell = monthGrid()->cellRect(0, row).toRect();
        QVERIFY2(cell.height() >= fontHeight, qPrintable(QStringLiteral("row %1: %2 < %3").arg(row).arg(cell.height()).arg(fontHeight)));
        QVERIFY(cell.bottom() < gridHeight);
        if (row < 6)
            QVERIFY(cell.bottom() < monthGrid()->cellRect(0, row + 1).toRect().top());
    }
    QVERIFY(savePicture(window(), dayFont ? "smallest-largest-fonts" : "smallest"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
