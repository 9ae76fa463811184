// Undo and redo of marks: in the month view, across years and calendars, and of
// the bulk input, checking the view and the files after each step.
#include "WindowTest.h"

#include "storage/MarkHistory.h"

#include "bulk/setall.h"

#include <QLabel>
#include <QPushButton>
#include <QToolButton>

using namespace hibi;
using namespace hibi::test;

class TestUndo : public WindowTest
{
    Q_OBJECT

private slots:
    void historyKeepsItsOrder();
    void monthView();
    void acrossYears();
    void acrossCalendars();
    void bulkInput();
    void inRangeMode_data();
    void inRangeMode();
    void insideTheBulkWindow();
    void menuSaysWhat();
    void deletedCalendarLeavesTheHistory();

private:
    void undo() { keyClick(window(), Qt::Key_Z, Qt::ControlModifier); }
    void redo() { keyClick(window(), Qt::Key_Y, Qt::ControlModifier); }
    QString where() const
    {
        return QStringLiteral("%1 %2-%3").arg(window()->calendar().CurrentCalendarName()).arg(window()->calendar().DisplayYear()).arg(window()->calendar().DisplayMonth());
    }
};

void TestUndo::historyKeepsItsOrder()
{
    MarkHistory h;
    QVERIFY(!h.canUndo() && !h.canRedo());
    const MarkChange a{"A", 2026, 3, 1, 0, 1, false};
    const MarkChange b{"B", 2026, 3, 2, 0, 2, false};
    const MarkChange c{"A", 2025, 1, 3, 3, 0, true};
    for (const MarkChange &change : {a, b, c})
        h.record(change);
    QCOMPARE(h.nextUndo(), c);
    h.undone();
    h.undone();
    QCOMPARE(h.nextRedo(), b);
    h.record(a);   // a new change drops what could have been redone
    QVERIFY(!h.canRedo());
    QCOMPARE(h.nextUndo(), a);
    h.forgetCalendar("A");
    QVERIFY(!h.canUndo() && !h.canRedo());

    h.record(a);
    h.record(b);
    h.undone();
    h.forgetCalendar("A");   // the undone B stays redoable
    QVERIFY(!h.canUndo());
    QCOMPARE(h.nextRedo(), b);
    QCOMPARE(DescribeChange(a, "A", 2026), QStringLiteral("3月1日 ○"));
    QCOMPARE(DescribeChange(c, "A", 2026), QStringLiteral("2025年1月3日 △を消す"));
    QCOMPARE(DescribeChange(b, "A", 2026), QStringLiteral("「B」2026年3月2日 ×"));
}

void TestUndo::monthView()
{
    QVERIFY(openWindow());
    clickDay(2);
    clickDay(3, Qt::RightButton);
    undo();
    QCOMPARE(markOf(3, 3), std::uint8_t(NoMark));
    QCOMPARE(markOf(3, 2), std::uint8_t(Maru));
    undo();
    QCOMPARE(markOf(3, 2), std::uint8_t(NoMark));
    undo();   // nothing left: nothing happens
    redo();
    QCOMPARE(markOf(3, 2), std::uint8_t(Maru));
    keyClick(window(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);   // the other redo key
    QCOMPARE(markOf(3, 3), std::uint8_t(Batu));
    QVERIFY(window()->close());
    QCOMPARE(readFile(file("カレンダー1")), kHeader + record(2026, {{3, 2, Maru}, {3, 3, Batu}}));
}

// Undoing a change of another year brings the view there, saving on the way.
void TestUndo::acrossYears()
{
    QVERIFY(openWindow());
    clickDay(2);
    mouseClick(window()->findChild<QPushButton *>("btnnext"), Qt::LeftButton, Qt::ShiftModifier);   // 2027
    QCOMPARE(readFile(file("カレンダー1")), kHeader + record(2026, {{3, 2, Maru}}));
    clickDay(5);
    undo();
    QCOMPARE(where(), QStringLiteral("カレンダー1 2027-3"));
    QCOMPARE(markOf(3, 5), std::uint8_t(NoMark));
    undo();
    QCOMPARE(where(), QStringLiteral("カレンダー1 2026-3"));
    QCOMPARE(markOf(3, 2), std::uint8_t(NoMark));
    redo();
    redo();   // back to 2027, saving 2026 with its ○ again
    QCOMPARE(where(), QStringLiteral("カレンダー1 2027-3"));
    QCOMPARE(markOf(3, 5), std::uint8_t(Maru));
    QVERIFY(window()->close());
    QCOMPARE(readFile(file("カレンダー1")), kHeader + record(2026, {{3, 2, Maru}}) + record(2027, {{3, 5, Maru}}));
}

void TestUndo::acrossCalendars()
{
    writeFile(file("A"), kHeader + record(2026));
    writeFile(file("B"), kHeader + record(2026));
    QVERIFY(openWindow());
    clickDay(2);
    selectCalendar(1);
    clickDay(4, Qt::RightButton);
    undo();
    QCOMPARE(where(), QStringLiteral("B 2026-3"));
    undo();
    QCOMPARE(where(), QStringLiteral("A 2026-3"));
    QCOMPARE(calendarList()->currentText(), QStringLiteral("A"));
    QCOMPARE(markOf(3, 2), std::uint8_t(NoMark));
    QCOMPARE(readFile(file("B")), kHeader + record(2026));   // B was saved on the way, without its ×
    redo();
    redo();
    QCOMPARE(where(), QStringLiteral("B 2026-3"));
    QCOMPARE(markOf(3, 4), std::uint8_t(Batu));
    QVERIFY(window()->close());
    QCOMPARE(readFile(file("A")), kHeader + record(2026, {{3, 2, Maru}}));
    QCOMPARE(readFile(file("B")), kHeader + record(2026, {{3, 4, Batu}}));
}

// A mark set in the bulk input is taken back in its file at once, as it was written.
void TestUndo::bulkInput()
{
    writeFile(file("A"), kHeader + record(2026));
    writeFile(file("B"), kHeader + record(2025));
    QVERIFY(openWindow());
    whenModal([](QWidget *dialog) {
        auto *list = dialog->findChild<DrawGrid *>("dgall");
        clickCell(list, 1, 1);   // B: ○ on 10 March 2026, a new record
        mouseClick(dialog->findChild<QPushButton *>("BitBtn1"), Qt::LeftButton);
    });
    mouseClick(window()->findChild<QToolButton *>("ToolButton4"), Qt::LeftButton);
    const QByteArray written = kHeader + record(2025) + record(2026, {{3, 10, Maru}});
    QCOMPARE(readFile(file("B")), written);
    undo();
    QCOMPARE(readFile(file("B")), kHeader + record(2025) + record(2026));
    QCOMPARE(where(), QStringLiteral("A 2026-3"));   // the view stays
    redo();
    QCOMPARE(readFile(file("B")), written);
}

// Undo and redo while a range is being picked: the tally counts what the view
// shows, and the file agrees with it at the end.
void TestUndo::inRangeMode_data()
{
    QTest::addColumn<QString>("keys");   // u undo, r redo, p the first day picked
    QTest::addColumn<QString>("count");
    QTest::addColumn<int>("shown");
    QTest::newRow("undo after the range begins") << "u" << "0" << int(NoMark);
    QTest::newRow("undo and redo") << "ur" << "1" << int(Maru);
    QTest::newRow("undo after the first day") << "pu" << "0" << int(NoMark);
    QTest::newRow("nothing undone") << "p" << "1" << int(Maru);
}

void TestUndo::inRangeMode()
{
    QFETCH(QString, keys);
    QFETCH(QString, count);
    QFETCH(int, shown);
    SetFixedToday(YearMonthDay16{2026, 12, 11});
    QVERIFY(openWindow());
    clickDay(8);
    mouseClick(window()->findChild<QToolButton *>("ToolButton2"), Qt::LeftButton);
    bool picked = false;
    for (QChar key : keys) {
        if (key == u'u')
            undo();
        else if (key == u'r')
            redo();
        else {
            clickDay(1);
            picked = true;
        }
    }
    QCOMPARE(markOf(12, 8), std::uint8_t(shown));
    if (!picked)
        clickDay(1);
    QString counted;
    whenModal([&](QWidget *dialog) {
        counted = dialog->findChild<QLabel *>("lblmaru")->text();
        dialog->close();
    });
    clickDay(31);
    QCOMPARE(counted, count);
    QCOMPARE(markOf(12, 8), std::uint8_t(shown));
    QVERIFY(window()->close());
    QCOMPARE(readFile(file("カレンダー1")), kHeader + record(2026, shown ? QList<std::tuple<int, int, int>>{{12, 8, Maru}}
                                                                         : QList<std::tuple<int, int, int>>{}));
}

// Inside the bulk window Ctrl+Z and Ctrl+Y take back and make again its own
// changes, in the files at once; a change of the month view waits for the main
// window. It is one history: after the window closes, the main window redoes.
void TestUndo::insideTheBulkWindow()
{
    writeFile(file("A"), kHeader + record(2026));
    writeFile(file("B"), kHeader + record(2026));
    QVERIFY(openWindow());
    clickDay(2);
    whenModal([this](QWidget *dialog) {
        auto *list = dialog->findChild<DrawGrid *>("dgall");
        clickCell(list, 1, 0);                    // A ○ on the 10th
        clickCell(list, 1, 1, Qt::RightButton);   // B ×
        QCOMPARE(readFile(file("B")), kHeader + record(2026, {{3, 10, Batu}}));
        keyClick(list, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(readFile(file("B")), kHeader + record(2026));
        keyClick(list, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(readFile(file("A")), kHeader + record(2026, {{3, 2, Maru}}));   // the ○ of the 2nd was saved on opening
        keyClick(list, Qt::Key_Z, Qt::ControlModifier);                          // the month view's: not here
        QCOMPARE(readFile(file("A")), kHeader + record(2026, {{3, 2, Maru}}));
        keyClick(list, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(readFile(file("A")), kHeader + record(2026, {{3, 2, Maru}, {3, 10, Maru}}));
        auto *bulk = qobject_cast<Tfrmall *>(dialog);
        QCOMPARE(bulk->BulkMarks(), (std::vector<std::uint8_t>{Maru, NoMark}));
        mouseClick(dialog->findChild<QPushButton *>("BitBtn1"), Qt::LeftButton);
    });
    mouseClick(window()->findChild<QToolButton *>("ToolButton4"), Qt::LeftButton);
    QCOMPARE(markOf(3, 10), std::uint8_t(Maru));
    redo();   // B's ×, in its file
    QCOMPARE(readFile(file("B")), kHeader + record(2026, {{3, 10, Batu}}));
    undo();
    undo();
    undo();   // down to the month view's ○ of the 2nd
    QCOMPARE(markOf(3, 2), std::uint8_t(NoMark));
    QCOMPARE(markOf(3, 10), std::uint8_t(NoMark));
    QVERIFY(window()->close());
    QCOMPARE(readFile(file("A")), kHeader + record(2026));
    QCOMPARE(readFile(file("B")), kHeader + record(2026));
}

void TestUndo::menuSaysWhat()
{
    QVERIFY(openWindow());
    QAction *undoItem = action("mnuundo");
    QAction *redoItem = action("mnuredo");
    QCOMPARE(undoItem->text(), QStringLiteral("元に戻す(&U)"));
    QVERIFY(!undoItem->isEnabled());
    clickDay(7);
    QCOMPARE(undoItem->text(), QStringLiteral("元に戻す(&U): 3月7日 ○"));
    undo();
    QCOMPARE(redoItem->text(), QStringLiteral("やり直す(&R): 3月7日 ○"));
    QVERIFY(!undoItem->isEnabled());
    clickDay(8, Qt::RightButton);   // a new change: nothing to redo
    QVERIFY(!redoItem->isEnabled());
    clickDay(8, Qt::RightButton);
    QCOMPARE(undoItem->text(), QStringLiteral("元に戻す(&U): 3月8日 ×を消す"));
}

void TestUndo::deletedCalendarLeavesTheHistory()
{
    writeFile(file("A"), kHeader + record(2026));
    writeFile(file("B"), kHeader + record(2026));
    QVERIFY(openWindow());
    clickDay(2);
    selectCalendar(1);
    clickDay(3);
    messages().answer = true;
    keyClick(window(), Qt::Key_D, Qt::ControlModifier);   // B goes, and its change with it
    QCOMPARE(where(), QStringLiteral("A 2026-3"));
    undo();
    QCOMPARE(markOf(3, 2), std::uint8_t(NoMark));
    QVERIFY(!action("mnuundo")->isEnabled());
}

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
