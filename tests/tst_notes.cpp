// A note on a day, through the window: typed in its editor from the keyboard,
// shown as a folded corner and in the tip, read by screen readers, taken back
// and made again, kept over a restart, carried along when its calendar is
// renamed or deleted, written into the CSV, and never written over when its
// file cannot be read.
#include "WindowTest.h"

#include "components/Look.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolTip>

using namespace hibi;
using namespace hibi::test;

class TestNotes : public WindowTest
{
    Q_OBJECT

private slots:
    void typedNoteRoundTrip();
    void notesGoWithTheCalendar();
    void unreadableNoteFileIsLeftAlone();
    void popUpMenuFromTheKeyboard();

private:
    QString notes(const QString &calendar) const { return folder() + calendar + QStringLiteral(".notes"); }
    // The editor, opened by `open`, gets `lines` typed (a line break between
    // them) and Ctrl+Enter.
    void typeNote(const std::function<void()> &open, const QStringList &lines);
    bool folded(int day) const;
};

void TestNotes::typeNote(const std::function<void()> &open, const QStringList &lines)
{
    bool edited = false;
    whenModal([&](QWidget *dialog) {
        auto *text = dialog->findChild<QPlainTextEdit *>("memnote");
        QVERIFY(text);
        QTRY_VERIFY(text->hasFocus());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                keyClick(text, Qt::Key_Return);
            for (const QChar c : lines[i])
                QTest::sendKeyEvent(QTest::Click, windowOf(text), Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
        keyClick(text, Qt::Key_Return, Qt::ControlModifier);
        edited = true;
    });
    open();
    QVERIFY(edited);
}

// The top right corner of the day's cell, a quarter wide, folded down in dark grey.
bool TestNotes::folded(int day) const
{
    const QImage image = monthGrid()->grab().toImage();
    const GridCell c = CellOfDay(window()->calendar().DisplayYear(), window()->calendar().DisplayMonth(), day);
    const QRect r = monthGrid()->cellRect(c.col, c.row).toRect();
    // At least a small triangle of it in the top right corner, today's frame or not.
    const int side = std::min(r.width(), r.height()) / 4;
    int dark = 0;
    for (int y = r.top(); y < r.top() + side; ++y)
        for (int x = r.right() - side; x <= r.right(); ++x)
            dark += image.pixelColor(x, y) == QColor(0x40, 0x40, 0x40);
    return dark >= side * side / 8;
}

void TestNotes::typedNoteRoundTrip()
{
    QVERIFY(openWindow());
    keyClick(monthGrid(), Qt::Key_Left);
    typeNote([this] { keyClick(monthGrid(), Qt::Key_N); }, {"歯医者", "10時"});
    QCOMPARE(readFile(notes("カレンダー1")), QByteArray("2026-03-09\t歯医者\\n10時\n"));
    QVERIFY(folded(9));
    QVERIFY(!folded(8));
    QCOMPARE(window()->calendar().noteOfDay(9), QStringLiteral("歯医者\n10時"));
    QCOMPARE(action("mnuundo")->text(), QStringLiteral("元に戻す(&U): 3月9日 メモ"));

    keyClick(window(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!QFile::exists(notes("カレンダー1")));
    QVERIFY(!folded(9));
    keyClick(window(), Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(folded(9));

    // Enter on another day, its note next to the marks.
    keyClick(monthGrid(), Qt::Key_Right);
    keyClick(monthGrid(), Qt::Key_Right);
    keyClick(monthGrid(), Qt::Key_1);
    typeNote([this] { keyClick(monthGrid(), Qt::Key_Return); }, {"走った 5km"});
    QVERIFY(window()->close());

    QVERIFY(openWindow());
    QVERIFY(folded(9) && folded(11));
    QCOMPARE(markOf(3, 11), std::uint8_t(Maru));
    // The pointer resting on the day shows its note.
    const GridCell c = CellOfDay(2026, 3, 11);
    mouseMove(monthGrid(), cellCentre(monthGrid(), c.col, c.row));
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("メモ: 走った 5km"));

    // Into the CSV, through the menu and the chooser.
    const QString target = folder() + "out.csv";
    whenModal([&target](QWidget *dialog) {
        auto *name = dialog->findChild<QLineEdit *>("fileNameEdit");
        name->setText(target);
        keyClick(name, Qt::Key_Return);
    });
    action("mnuexport")->trigger();
    QCOMPARE(readFile(target), QByteArray("\xEF\xBB\xBF日付,カレンダー1,カレンダー1 メモ\r\n"
                                          "2026-03-09,,\"歯医者\n10時\"\r\n"
                                          "2026-03-11,○,走った 5km\r\n"));

    // The editor's button takes a note away.
    whenModal([](QWidget *dialog) { mouseClick(dialog->findChild<QPushButton *>("btnclear"), Qt::LeftButton); });
    clickDay(11, Qt::MiddleButton);   // picks the day, leaves its mark
    keyClick(monthGrid(), Qt::Key_N);
    QVERIFY(!folded(11));
    QCOMPARE(markOf(3, 11), std::uint8_t(Maru));
    QCOMPARE(readFile(notes("カレンダー1")), QByteArray("2026-03-09\t歯医者\\n10時\n"));
}

void TestNotes::notesGoWithTheCalendar()
{
    writeFile(file("A"), kHeader + record(2026));
    writeFile(file("B"), kHeader + record(2026));
    writeFile(notes("A"), "2026-03-03\tA の\n2026-03-10\t今日\n");
    QVERIFY(openWindow());
    QVERIFY(folded(3));
    QVERIFY(folded(10));   // inside today's frame
    whenModal([](QWidget *dialog) {
        auto *edit = dialog->findChild<QLineEdit *>("Edit1");
        edit->setText("C");
        keyClick(edit, Qt::Key_Return);
    });
    keyClick(window(), Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(window()->calendar().CurrentCalendarName(), QStringLiteral("C"));
    QVERIFY(!QFile::exists(notes("A")));
    QCOMPARE(readFile(notes("C")), QByteArray("2026-03-03\tA の\n2026-03-10\t今日\n"));
    QVERIFY(folded(3));

    messages().answer = true;
    keyClick(window(), Qt::Key_D, Qt::ControlModifier);
    QVERIFY(!QFile::exists(notes("C")));
    QVERIFY(QFile::exists(trashFolder() + "C.notes"));
    QCOMPARE(window()->calendar().CurrentCalendarName(), QStringLiteral("B"));
    QVERIFY(!folded(3));
}

void TestNotes::unreadableNoteFileIsLeftAlone()
{
    const QByteArray foreign("written by something else\n");
    writeFile(notes("カレンダー1"), foreign);
    QVERIFY(openWindow());
    keyClick(monthGrid(), Qt::Key_N);   // no editor: it is said why
    QCOMPARE(messages().boxes.size(), 1);
    QVERIFY(messages().texts()[0].contains(QDir::toNativeSeparators(notes("カレンダー1"))));
    clickDay(4);   // marks go on
    QVERIFY(window()->close());
    QCOMPARE(readFile(notes("カレンダー1")), foreign);
    QCOMPARE(readFile(file("カレンダー1")), kHeader + record(2026, {{3, 4, Maru}}));
}

// The menu key on the grid opens its pop-up menu at the focus cell; a right
// click stays the ×.
void TestNotes::popUpMenuFromTheKeyboard()
{
    QVERIFY(openWindow());
    keyClick(monthGrid(), Qt::Key_Right);   // the window active before the timer is set
    // The grid's menu, once it is on the screen, gets `key`.
    auto answerMenu = [](Qt::Key key, bool *seen) {
        auto *timer = new QTimer;
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, [=] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu || !menu->isVisible())
                return;
            timer->stop();
            timer->deleteLater();
            *seen = menu->objectName() == QStringLiteral("GridMenu");
            QTest::keyClick(menu->windowHandle(), key);
        });
        timer->start();
    };
    bool seen = false;
    answerMenu(Qt::Key_Escape, &seen);
    keyClick(monthGrid(), Qt::Key_F10, Qt::ShiftModifier);
    QVERIFY(seen);
    clickDay(12, Qt::RightButton);
    QCOMPARE(markOf(3, 12), std::uint8_t(Batu));
    QVERIFY(!window()->findChild<QMenu *>("GridMenu"));

    seen = false;
    typeNote(
            [&] {
                answerMenu(Qt::Key_Return, &seen);
                keyClick(monthGrid(), Qt::Key_Menu);
            },
            {"x"});
    QVERIFY(seen);
    QCOMPARE(window()->calendar().noteOfDay(12), QStringLiteral("x"));
}

QTEST_MAIN(TestNotes)

#include "tst_notes.moc"
