// Marking without a mouse: the month grid and the bulk list by keyboard, keys
// sent through the window as a user's arrive.
#include "WindowTest.h"

#include "bulk/setall.h"

#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QWheelEvent>

using namespace hibi;
using namespace hibi::test;

class TestKeyboard : public WindowTest
{
    Q_OBJECT

private slots:
    void tabReachesTheGrid();
    void keysMark_data();
    void keysMark();
    void focusCellIsDrawn();
    void rangeByKeyboard();
    void escapeLeavesRangeMode();
    void wheelStepsMonths();
    void bulkListByKeyboard();

private:
    // Presses the keys of `keys`, separated by blanks: names like "Right" or
    // "Shift+PageUp", or single characters.
    void press(const QString &keys);
    void focusGrid();
};

void TestKeyboard::press(const QString &keys)
{
    for (const QString &name : keys.split(' ', Qt::SkipEmptyParts)) {
        const QKeySequence sequence(name);
        const QKeyCombination combination = sequence[0];
        keyClick(monthGrid(), combination.key(), combination.keyboardModifiers());
    }
}

void TestKeyboard::focusGrid()
{
    monthGrid()->setFocus();
    QTRY_VERIFY(monthGrid()->hasFocus());
}

void TestKeyboard::tabReachesTheGrid()
{
    QVERIFY(openWindow());
    calendarList()->setFocus();
    for (int i = 0; i < 10 && !monthGrid()->hasFocus(); ++i)
        keyClick(window(), Qt::Key_Tab);
    QVERIFY(monthGrid()->hasFocus());
    // A click gives it the focus too.
    calendarList()->setFocus();
    clickDay(20);
    QVERIFY(monthGrid()->hasFocus());
}

// Key sequences from today, 10 March 2026, and the file after the window closes.
void TestKeyboard::keysMark_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QByteArray>("file");
    using M = QList<std::tuple<int, int, int>>;
    QTest::newRow("Space on today") << "Space" << kHeader + record(2026, M{{3, 10, Maru}});
    QTest::newRow("1, 2, 3 toggle") << "1 1 2 3" << kHeader + record(2026, M{{3, 10, Sankaku}});
    QTest::newRow("arrows move by a day and a week")
            << "Right 1 Down 2 Left 3 Up Up 1 Delete"
            << kHeader + record(2026, M{{3, 11, Maru}, {3, 18, Batu}, {3, 17, Sankaku}});
    QTest::newRow("Home and End") << "End 1 Home 2" << kHeader + record(2026, M{{3, 31, Maru}, {3, 1, Batu}});
    QTest::newRow("past the end into April") << "End Right 1" << kHeader + record(2026, M{{4, 1, Maru}});
    QTest::newRow("back across the year") << "PgUp PgUp Left 3" << kHeader + record(2025, M{{12, 31, Sankaku}});
    QTest::newRow("Shift+PageDown: a year on") << "Shift+PgDown 2" << kHeader + record(2027, M{{3, 1, Batu}});
    QTest::newRow("marks in two years") << "1 Shift+PgUp 2" << kHeader + record(2026, M{{3, 10, Maru}})
                                                               + record(2025, M{{3, 1, Batu}});
}

void TestKeyboard::keysMark()
{
    QFETCH(QString, keys);
    QFETCH(QByteArray, file);
    QVERIFY(openWindow());
    focusGrid();
    press(keys);
    QVERIFY(window()->close());
    QCOMPARE(readFile(this->file("カレンダー1")), file);
}

// The keyboard's cell shows as a dotted frame inside the cell, only while the
// grid has the focus, apart from today's solid frame on the cell's edge.
void TestKeyboard::focusCellIsDrawn()
{
    QVERIFY(openWindow());
    const GridCell c = CellOfDay(2026, 3, 11);
    auto dotsIn = [this, c] {
        const QImage image = monthGrid()->grab().toImage();
        const QRect r = monthGrid()->cellRect(c.col, c.row).toRect();
        int dark = 0;
        for (int x = r.left() + 6; x < r.right() - 6; ++x)
            dark += image.pixelColor(x, r.top() + 6) == QColor(Qt::black);
        return dark;
    };
    QCOMPARE(dotsIn(), 0);
    focusGrid();
    press("Right");
    QVERIFY(dotsIn() > 3);
    QVERIFY(savePicture(monthGrid(), "focus-cell"));
    calendarList()->setFocus();
    QTRY_COMPARE(dotsIn(), 0);
}

// Space picks the first day of a range and Enter the last, like presses.
void TestKeyboard::rangeByKeyboard()
{
    writeFile(file("カレンダー1"), kHeader + record(2026, {{3, 10, Maru}, {3, 11, Batu}, {3, 12, Maru}, {3, 13, Maru}}));
    QVERIFY(openWindow());
    mouseClick(window()->findChild<QToolButton *>("ToolButton2"), Qt::LeftButton);
    focusGrid();
    press("Space Right Right");
    QStringList shown;
    whenModal([&shown](QWidget *dialog) {
        for (const char *name : {"lblpart1", "lblpart2", "lblmaru", "lblbatu"})
            shown << dialog->findChild<QLabel *>(name)->text();
        dialog->close();
    });
    press("Return");
    QCOMPARE(shown, (QStringList{"2026年3月10日から", "2026年3月12日", "2", "1"}));
    QCOMPARE(window()->monthView()->rangeSelection().RangeState, 0);
}

void TestKeyboard::escapeLeavesRangeMode()
{
    QVERIFY(openWindow());
    auto *button = window()->findChild<QToolButton *>("ToolButton2");
    mouseClick(button, Qt::LeftButton);
    QVERIFY(QGuiApplication::overrideCursor());
    focusGrid();
    press("Space");   // the first day: blinking
    QCOMPARE(window()->monthView()->rangeSelection().RangeState, 2);
    press("Escape");
    QCOMPARE(window()->monthView()->rangeSelection().RangeState, 0);
    QVERIFY(!button->isChecked());
    QVERIFY(!QGuiApplication::overrideCursor());   // the normal pointer again
    press("1");   // marks again
    QCOMPARE(markOf(3, 10), std::uint8_t(Maru));
}

void TestKeyboard::wheelStepsMonths()
{
    QVERIFY(openWindow());
    QWidget *area = monthGrid()->viewport();
    auto turn = [area](int delta) {
        const QPointF at = area->rect().center();
        QWheelEvent wheel(at, area->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(area, &wheel);
    };
    turn(-120);   // towards the user: on
    QCOMPARE(window()->calendar().DisplayMonth(), 4);
    turn(120);
    turn(120);
    QCOMPARE(window()->calendar().DisplayMonth(), 2);
    turn(60);     // half a notch waits for the other half
    QCOMPARE(window()->calendar().DisplayMonth(), 2);
    turn(60);
    QCOMPARE(window()->calendar().DisplayMonth(), 1);
}

void TestKeyboard::bulkListByKeyboard()
{
    for (const char *name : {"A", "B", "C"})
        writeFile(file(name), kHeader + record(2026));
    QVERIFY(openWindow());
    whenModal([](QWidget *dialog) {
        auto *list = dialog->findChild<DrawGrid *>("dgall");
        for (int i = 0; i < 10 && !list->hasFocus(); ++i)
            keyClick(dialog, Qt::Key_Tab);
        QVERIFY(list->hasFocus());
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_1, Qt::Key_Down, Qt::Key_2, Qt::Key_Down, Qt::Key_3,
                                  Qt::Key_Up, Qt::Key_Up, Qt::Key_Space, Qt::Key_Space, Qt::Key_Up, Qt::Key_Delete})
            keyClick(list, key);
        QVERIFY(savePicture(dialog, "bulk-keyboard"));
        mouseClick(dialog->findChild<QPushButton *>("BitBtn1"), Qt::LeftButton);
    });
    mouseClick(window()->findChild<QToolButton *>("ToolButton4"), Qt::LeftButton);
    // Each mark went to its calendar's file at once: B ○; C × then △; A ○ on and
    // off again, then cleared.
    QCOMPARE(readFile(file("A")), kHeader + record(2026));
    QCOMPARE(readFile(file("B")), kHeader + record(2026, {{3, 10, Maru}}));
    QCOMPARE(readFile(file("C")), kHeader + record(2026, {{3, 10, Sankaku}}));
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
