// What the program does when files fail it: nothing the user had is lost, no
// failure looks like success, and nothing keeps the user out. Each case ends
// with the files compared to what they were.
#include "WindowTest.h"

#include "settings/IniFile.h"
#include "storage/CalendarFile.h"

#include <QDateEdit>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QTreeWidget>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace hibi;
using namespace hibi::test;

class TestFailures : public WindowTest
{
    Q_OBJECT

private slots:
    void yearNotReadIsNeverWrittenBack_data();
    void yearNotReadIsNeverWrittenBack();
    void specialFileIsReportedNotOpened();
    void restoreFromABackup();
    void renameThatFailsChangesNothing();
    void deleteGoesToTheTrash();
    void deleteThatFailsKeepsTheEntry();
    void takenNames_data();
    void takenNames();
    void namesTypedTheLinuxWay();
    void unreadableSettingsAreNotOverwritten();
    void settingsThatCannotBeWrittenDoNotKeepTheWindow();
    void extremeSettingsStillStart();
    void leftoverSettingsSavesAreRemoved();

private:
    // Types a name into the data-name dialog that the command opens.
    void enterName(const QString &name, Qt::Key command);
    // Makes a calendar's file unreadable (a folder at its path) and back again.
    void block(const QString &calendar);
    void unblock(const QString &calendar, const QByteArray &bytes);
};

void TestFailures::enterName(const QString &name, Qt::Key command)
{
    whenModal([name](QWidget *dialog) {
        auto *edit = dialog->findChild<QLineEdit *>("Edit1");
        edit->setText(name);
        keyClick(edit, Qt::Key_Return);
        if (dialog->isVisible())   // refused: leave it
            mouseClick(dialog->findChild<QPushButton *>("btncancel"), Qt::LeftButton);
    });
    keyClick(window(), command, Qt::ControlModifier);
}

void TestFailures::block(const QString &calendar)
{
    QVERIFY(!QFile::exists(file(calendar)) || QFile::remove(file(calendar)));
    QVERIFY(QDir().mkdir(file(calendar)));
}

void TestFailures::unblock(const QString &calendar, const QByteArray &bytes)
{
    QVERIFY(QDir().rmdir(file(calendar)));
    writeFile(file(calendar), bytes);
}

// A year that could not be read shows hatched, takes no marks, and is not saved
// over the file once the file can be read again: at start, after a delete, after
// bulk input.
void TestFailures::yearNotReadIsNeverWrittenBack_data()
{
    QTest::addColumn<QString>("when");
    QTest::newRow("at start") << "start";
    QTest::newRow("after a delete") << "delete";
    QTest::newRow("after bulk input") << "bulk";
}

void TestFailures::yearNotReadIsNeverWrittenBack()
{
    QFETCH(QString, when);
    const QByteArray marks = kHeader + record(2026, {{3, 3, Maru}, {3, 17, Batu}});
    // At start the folder has no calendar file, so the list holds カレンダー1, whose
    // path is blocked; otherwise A and B are listed and B is blocked after the start.
    const QString name = when == "start" ? QStringLiteral("カレンダー1") : QStringLiteral("B");
    if (when == "start") {
        block(name);
        QVERIFY(openWindow());
    } else {
        writeFile(file("A"), kHeader + record(2026));
        writeFile(file("B"), marks);
        QVERIFY(openWindow());
        if (when == "delete") {
            block("B");
            messages().answer = true;
            keyClick(window(), Qt::Key_D, Qt::ControlModifier);   // deletes A; B, the last entry, is shown
        } else {
            selectCalendar(1);
            whenModal([this](QWidget *dialog) {
                block("B");   // while the window is open
                mouseClick(dialog->findChild<QPushButton *>("BitBtn1"), Qt::LeftButton);
            });
            mouseClick(window()->findChild<QToolButton *>("ToolButton4"), Qt::LeftButton);
        }
    }
    QCOMPARE(window()->calendar().CurrentCalendarName(), name);
    QVERIFY(messages().texts().contains(QStringLiteral("ファイル %1 は開けません").arg(QDir::toNativeSeparators(file(name)))));
    const int told = int(messages().boxes.size());
    // No mark can be set, and that is said once.
    clickDay(10);
    clickDay(11);
    QCOMPARE(messages().boxes.size(), told + 1);
    QCOMPARE(markOf(3, 10), std::uint8_t(NoMark));
    // The grid shows the year as not loaded.
    const QImage grid = monthGrid()->grab().toImage();
    const GridCell c = CellOfDay(2026, 3, 12);
    const QRect cell = monthGrid()->cellRect(c.col, c.row).toRect();
    int grey = 0;
    for (int x = cell.left(); x < cell.right(); ++x)
        grey += grid.pixelColor(x, cell.center().y()) == QColor(0x80, 0x80, 0x80);
    QVERIFY(grey > 2);

    unblock(name, marks);
    QVERIFY(window()->close());
    QCOMPARE(readFile(file(name)), marks);   // nothing written over the user's marks

    // Read again, the year takes marks once more.
    QVERIFY(openWindow());
    QCOMPARE(window()->calendar().CurrentCalendarName(), name);
    QCOMPARE(markOf(3, 3), std::uint8_t(Maru));
    clickDay(10);
    QVERIFY(window()->close());
    QCOMPARE(readFile(file(name)), kHeader + record(2026, {{3, 3, Maru}, {3, 17, Batu}, {3, 10, Maru}}));
}

// A FIFO (or a device) at a calendar's path would block a read forever: it is
// reported like a file that cannot be opened, and left as it is.
void TestFailures::specialFileIsReportedNotOpened()
{
#ifndef Q_OS_UNIX
    QSKIP("FIFOs are POSIX");
#else
    QCOMPARE(::mkfifo(QFile::encodeName(file("カレンダー1")).constData(), 0600), 0);
    QVERIFY(openWindow());   // does not hang
    QCOMPARE(messages().texts(),
             QStringList{QStringLiteral("ファイル %1 は開けません").arg(QDir::toNativeSeparators(file("カレンダー1")))});
    clickDay(5);
    QVERIFY(window()->close());
    QVERIFY(QFileInfo(file("カレンダー1")).exists() && !QFileInfo(file("カレンダー1")).isFile());
#endif
}

void TestFailures::renameThatFailsChangesNothing()
{
    const QByteArray bytes = kHeader + record(2026, {{3, 1, Batu}});
    writeFile(file("A"), bytes);
    QVERIFY(QDir().mkpath(file("X") + "/inside"));   // no calendar, but the file cannot be made
    QVERIFY(openWindow());
    clickDay(2);
    enterName("X", Qt::Key_R);
    QCOMPARE(messages().texts(), QStringList{QStringLiteral("ファイル %1 の名前を %2 に変更できません")
                                                     .arg(QDir::toNativeSeparators(file("A")), QDir::toNativeSeparators(file("X")))});
    QCOMPARE(calendarList()->currentText(), QStringLiteral("A"));
    QCOMPARE(window()->calendar().CurrentCalendarName(), QStringLiteral("A"));
    // A name too long for its files is refused before anything is tried: 250
    // letters and ".notes" are one byte too many.
    enterName(QString(250, QLatin1Char('n')), Qt::Key_R);
    QCOMPARE(messages().texts().last(), QStringLiteral("名前が長すぎます"));
    QCOMPARE(window()->calendar().CurrentCalendarName(), QStringLiteral("A"));
    QVERIFY(window()->close());
    QCOMPARE(readFile(file("A")), kHeader + record(2026, {{3, 1, Batu}, {3, 2, Maru}}));

    // A calendar without a file is renamed without a word, as before.
    QVERIFY(QFile::remove(file("A")));
    messages().boxes.clear();
    QVERIFY(openWindow());   // the list holds カレンダー1 only
    enterName("B", Qt::Key_R);
    QCOMPARE(calendarList()->currentText(), QStringLiteral("B"));
    QVERIFY(messages().boxes.isEmpty());
}

// A deleted calendar's file goes to the desktop's trash, where it can be taken back.
void TestFailures::deleteGoesToTheTrash()
{
    const QByteArray bytes = kHeader + record(2026, {{3, 1, Batu}});
    writeFile(file("A"), bytes);
    writeFile(file("B"), kHeader + record(2026));
    QVERIFY(openWindow());
    messages().answer = true;
    keyClick(window(), Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(window()->calendar().calendars().names(), QStringList{"B"});
    QVERIFY(!QFile::exists(file("A")));
    QCOMPARE(readFile(trashFolder() + "A.hsd"), bytes);
}

void TestFailures::deleteThatFailsKeepsTheEntry()
{
    writeFile(file("A"), kHeader + record(2026));
    writeFile(file("B"), kHeader + record(2026));
    const QByteArray notes("not a note file\n");   // unreadable: no copy in memory
    writeFile(folder() + "A.notes", notes);
    QVERIFY(openWindow());
    block("A");   // not a file any more: it cannot be deleted as one
    messages().answer = true;
    keyClick(window(), Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(messages().texts().last(),
             QStringLiteral("ファイル %1 を削除できません").arg(QDir::toNativeSeparators(file("A"))));
    QCOMPARE(window()->calendar().calendars().names(), (QStringList{"A", "B"}));
    QCOMPARE(window()->calendar().CurrentCalendarName(), QStringLiteral("A"));
    QVERIFY(QFileInfo(file("A")).isDir());
    QCOMPARE(readFile(folder() + "A.notes"), notes);   // still beside its calendar
    QVERIFY(QDir().rmdir(file("A")));
}

// A name is taken by an entry of the list or a file of the folder, whatever the
// case: files move between systems where "A.hsd" and "a.hsd" are one file.
void TestFailures::takenNames_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("taken");
    QTest::newRow("the first calendar, not saved yet") << QStringList() << QStringLiteral("カレンダー1") << true;
    QTest::newRow("a file in other case") << QStringList{"Diary"} << QStringLiteral("diary") << true;
    QTest::newRow("fullwidth letters in other case") << QStringList{"ＡＢ"} << QStringLiteral("ａｂ") << true;
    QTest::newRow("a file with the extension in capitals") << QStringList{"X.HSD"} << QStringLiteral("x") << true;
    QTest::newRow("a new name") << QStringList{"Diary"} << QStringLiteral("Diary2") << false;
}

void TestFailures::takenNames()
{
    QFETCH(QStringList, files);
    QFETCH(QString, typed);
    QFETCH(bool, taken);
    for (const QString &name : files)
        writeFile(folder() + (name.endsWith(".HSD") ? name : name + ".hsd"), kHeader + record(2026, {{1, 1, Maru}}));
    QVERIFY(openWindow());
    const QStringList before = window()->calendar().calendars().names();
    enterName(typed, Qt::Key_N);
    if (taken) {
        QCOMPARE(messages().texts(), QStringList{typed + QStringLiteral("は、同名の物が既にあります")});
        QCOMPARE(window()->calendar().calendars().names(), before);
    } else {
        QVERIFY(messages().boxes.isEmpty());
        QCOMPARE(window()->calendar().calendars().names(), before + QStringList{typed});
    }
    for (const QString &name : files)   // never truncated
        QCOMPARE(readFile(folder() + (name.endsWith(".HSD") ? name : name + ".hsd")), kHeader + record(2026, {{1, 1, Maru}}));
}

// 〜 typed by an input method on Linux is stored as Windows' ～, so the name, its
// file and the settings agree, and survive a restart.
void TestFailures::namesTypedTheLinuxWay()
{
    QVERIFY(openWindow());
    enterName(QStringLiteral("朝〜夜−‖—¢£¬"), Qt::Key_N);
    const QString windows = QStringLiteral("朝～夜－∥―￠￡￢");
    QVERIFY(messages().boxes.isEmpty());
    QCOMPARE(window()->calendar().CurrentCalendarName(), windows);
    QVERIFY(QFile::exists(file(windows)));
    QVERIFY(window()->close());
    QVERIFY(openWindow());
    QCOMPARE(window()->calendar().calendars().names(), (QStringList{windows}));
    QCOMPARE(window()->calendar().CurrentCalendarName(), windows);
}

// Settings that could not be read at start are not replaced by the defaults the
// program then runs with; the user is told once.
void TestFailures::unreadableSettingsAreNotOverwritten()
{
    QVERIFY(QDir().mkdir(iniPath()));
    writeFile(file("A"), kHeader + record(2026));
    QVERIFY(openWindow());
    QCOMPARE(messages().boxes.size(), 1);
    QVERIFY(messages().texts()[0].contains(QStringLiteral("設定は保存されません")));
    // Readable again while the program runs: still not written over.
    QVERIFY(QDir().rmdir(iniPath()));
    const QByteArray mine = "[dat]\r\nnum=2\r\n0=B\r\n1=A\r\n[cale]\r\nfile=B\r\n";
    writeFile(iniPath(), mine);
    QVERIFY(window()->close());
    QCOMPARE(readFile(iniPath()), mine);
    QCOMPARE(messages().boxes.size(), 1);
}

void TestFailures::settingsThatCannotBeWrittenDoNotKeepTheWindow()
{
    QVERIFY(openWindow());
    clickDay(6);
    QVERIFY(QDir().mkdir(iniPath()));
    QVERIFY(window()->close());
    QCOMPARE(messages().texts(),
             QStringList{QStringLiteral("ファイル %1 は開けません").arg(QDir::toNativeSeparators(iniPath()))});
    QCOMPARE(readFile(file("カレンダー1")), kHeader + record(2026, {{3, 6, Maru}}));
}

// Values at the limits of their type start a usable window on the screen, and
// are kept in the file until the user moves the window.
void TestFailures::extremeSettingsStillStart()
{
    const QByteArray extreme = "[pos]\r\ntop=2147483647\r\nleft=2147483647\r\nheight=2147483647\r\nwidth=2147483647\r\n"
                               "nameheight=-2147483648\r\n"
                               "[youbifont]\r\nsize=30000000\r\n[dayfont]\r\nsize=-5\r\n[nenfont]\r\nsize=2147483647\r\n"
                               "[backcolor]\r\nlinewidth=2147483647\r\n[today]\r\nwidth=-2147483648\r\n"
                               "[dat]\r\nnum=2147483647\r\n2147483646=x\r\n";
    writeFile(iniPath(), extreme);
    QVERIFY(openWindow());
    const QRect screen = window()->screen()->availableGeometry();
    QVERIFY(screen.contains(window()->frameGeometry().topLeft()));
    QVERIFY(window()->width() <= screen.width() && window()->height() <= screen.height());
    QVERIFY(monthGrid()->rowHeight(0) > 0 && monthGrid()->rowHeight(0) < screen.height());
    QCOMPARE(window()->calendar().calendars().names(), QStringList{"カレンダー1"});
    clickDay(10);
    QVERIFY(!monthGrid()->grab().isNull());
    QVERIFY(window()->close());
    const IniFile ini = IniFile::load(iniPath());
    QCOMPARE(ini.readInteger("pos", "left", 0), 2147483647);   // not moved: the stored bounds stay
    QCOMPARE(ini.readInteger("pos", "height", 0), 2147483647);
    QCOMPARE(ini.readString("youbifont", "size", QString()), QStringLiteral("30000000"));
}

// A save killed half way leaves "hibisi.ini.XXXXXX" beside the program: gone at
// the next start, while files that only look alike stay.
void TestFailures::leftoverSettingsSavesAreRemoved()
{
    for (const char *name : {"hibisi.ini.Ab3dE9", "hibisi.ini.zzzzzz", "hibisi.ini.bak", "hibisi.ini.Ab3dE9x", "hibisi.ini.ab-d_f"})
        writeFile(folder() + name, "[pos]\r\n");
    QVERIFY(openWindow());
    QStringList left = QDir(folder()).entryList({"hibisi.ini*"}, QDir::Files);
    left.sort();
    QCOMPARE(left, (QStringList{"hibisi.ini.Ab3dE9x", "hibisi.ini.ab-d_f", "hibisi.ini.bak"}));
}

// The day's first save keeps the file as it was; the menu puts it back, and the
// restore itself can be taken back the same way.
void TestFailures::restoreFromABackup()
{
    const QByteArray before = kHeader + record(2026, {{3, 3, Maru}});
    writeFile(file("A"), before);
    QVERIFY(openWindow());
    clickDay(4, Qt::RightButton);
    QVERIFY(window()->close());
    const QByteArray marked = kHeader + record(2026, {{3, 3, Maru}, {3, 4, Batu}});
    QCOMPARE(readFile(file("A")), marked);
    QCOMPARE(readFile(folder() + "backup/2026-03-10/A.hsd"), before);

    QVERIFY(openWindow());
    auto restore = [this](int row, QStringList &listed) {
        whenModal([&listed, row](QWidget *dialog) {
            auto *list = dialog->findChild<QTreeWidget *>("lvbackups");
            for (int i = 0; i < list->topLevelItemCount(); ++i) {
                const QTreeWidgetItem *item = list->topLevelItem(i);
                listed << QStringList{item->text(0), item->text(1), item->text(2), item->text(3)}.join(' ');
            }
            list->setCurrentItem(list->topLevelItem(row));
            savePicture(dialog, "restore");
            mouseClick(dialog->findChild<QPushButton *>("btnrestore"), Qt::LeftButton);
        });
        action("mnurestore")->trigger();
    };
    messages().answer = true;
    QStringList listed;
    restore(0, listed);
    QCOMPARE(listed, QStringList{"2026年3月10日 1 0 0"});
    QCOMPARE(readFile(file("A")), before);
    QCOMPARE(markOf(3, 4), std::uint8_t(NoMark));   // the view shows the file put back

    listed.clear();
    restore(0, listed);   // the file as it was before the restore, listed first
    QCOMPARE(listed, (QStringList{"2026年3月10日（復元する前） 1 1 0", "2026年3月10日 1 0 0"}));
    QCOMPARE(markOf(3, 4), std::uint8_t(Batu));
    QVERIFY(window()->close());
    QCOMPARE(readFile(file("A")), marked);
}

QTEST_MAIN(TestFailures)
#include "tst_failures.moc"
