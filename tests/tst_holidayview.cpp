// The holidays of the month view as a user meets them: the choice of rules in the
// settings dialog, the holiday colours it gives the days, and the names that show
// when the pointer rests on a day.
#include "WindowTest.h"

#include "settings/IniFile.h"
#include "dialogs/settei.h"

#include <QHelpEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolTip>

using namespace hibi;
using namespace hibi::test;

class TestHolidayView : public WindowTest
{
    Q_OBJECT

private slots:
    void choiceInTheSettingsDialog();
    void cancelKeepsTheRules();
    void controlsFitTheirPage();
    void toolTips_data();
    void toolTips();
    void toolTipOfARestingPointer();
    void toolTipLeavesWithItsMonth();

private:
    // Opens the settings dialog on its second page, runs `operate` and closes it
    // with OK or Cancel.
    void withHolidayPage(const std::function<void(QWidget *page)> &operate, bool ok);
    // Whether the day of the month shown has its number in the holiday colour (red).
    bool drawnAsHoliday(int day) const;
    // What a tool tip shows after the pointer rested on the day, as Qt asks the grid.
    QString restOn(int day) const;
};

void TestHolidayView::withHolidayPage(const std::function<void(QWidget *page)> &operate, bool ok)
{
    bool ran = false;
    whenModal([&](QWidget *dialog) {
        auto *tabs = dialog->findChild<QTabWidget *>("PageControl1");
        QTabBar *bar = tabs->tabBar();
        mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        QTRY_COMPARE(tabs->currentIndex(), 1);
        operate(tabs->currentWidget());
        ran = true;
        mouseClick(dialog->findChild<QPushButton *>(ok ? "btnok" : "btncancel"), Qt::LeftButton);
    });
    window()->findChild<QAction *>("settei")->trigger();
    QVERIFY(ran);
}

bool TestHolidayView::drawnAsHoliday(int day) const
{
    const QImage image = monthGrid()->grab().toImage();
    const GridCell c = CellOfDay(window()->calendar().DisplayYear(), window()->calendar().DisplayMonth(), day);
    const QRect r = monthGrid()->cellRect(c.col, c.row).toRect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (image.pixelColor(x, y) == QColor(Qt::red))
                return true;
    return false;
}

QString TestHolidayView::restOn(int day) const
{
    // A tip still showing from before goes first; hiding takes a moment.
    QToolTip::hideText();
    if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }))
        return QStringLiteral("(a tip from before stays)");
    const GridCell c = CellOfDay(window()->calendar().DisplayYear(), window()->calendar().DisplayMonth(), day);
    QWidget *viewport = monthGrid()->viewport();
    const QPoint pos = monthGrid()->cellRect(c.col, c.row).toRect().center();
    QHelpEvent rest(QEvent::ToolTip, pos, viewport->mapToGlobal(pos));
    QApplication::sendEvent(viewport, &rest);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

void TestHolidayView::choiceInTheSettingsDialog()
{
    SetFixedToday(YearMonthDay16{2026, 2, 10});
    QVERIFY(openWindow());
    // The fixed table: 11 February is a holiday, 23 February (a Monday) is not.
    QVERIFY(drawnAsHoliday(11));
    QVERIFY(!drawnAsHoliday(23));
    QCOMPARE(restOn(11), QStringLiteral("建国記念日"));

    withHolidayPage([](QWidget *page) {
        QVERIFY(page->findChild<QRadioButton *>("radiholtable")->isChecked());   // the default
        QVERIFY(!page->findChild<QRadioButton *>("radihollaw")->isChecked());
        mouseClick(page->findChild<QRadioButton *>("radihollaw"), Qt::LeftButton);
    }, true);
    // OK lays the month out again by the law: the Emperor's Birthday on the 23rd.
    QVERIFY(window()->appearance().HolidayLaw);
    QVERIFY(drawnAsHoliday(23));
    QVERIFY(drawnAsHoliday(11));
    QCOMPARE(restOn(23), QStringLiteral("天皇誕生日"));
    QCOMPARE(restOn(11), QStringLiteral("建国記念の日"));
    QCOMPARE(IniFile::load(iniPath()).readString("hibi", "holidays", QString()), QStringLiteral("1"));

    // The next start keeps the law; the dialog opens on it; back to the table.
    QVERIFY(openWindow());
    QVERIFY(drawnAsHoliday(23));
    withHolidayPage([](QWidget *page) {
        QVERIFY(page->findChild<QRadioButton *>("radihollaw")->isChecked());
        mouseClick(page->findChild<QRadioButton *>("radiholtable"), Qt::LeftButton);
    }, true);
    QVERIFY(!window()->appearance().HolidayLaw);
    QVERIFY(!drawnAsHoliday(23));
    QCOMPARE(restOn(23), QString());
    QCOMPARE(IniFile::load(iniPath()).readString("hibi", "holidays", QString()), QStringLiteral("0"));
}

void TestHolidayView::cancelKeepsTheRules()
{
    SetFixedToday(YearMonthDay16{2026, 8, 10});
    writeFile(iniPath(), "[pos]\r\ncolor=clRed\r\n");
    QVERIFY(openWindow());
    const QByteArray before = readFile(iniPath());
    withHolidayPage([](QWidget *page) {
        mouseClick(page->findChild<QRadioButton *>("radihollaw"), Qt::LeftButton);
        QVERIFY(page->findChild<QRadioButton *>("radihollaw")->isChecked());
    }, false);
    QVERIFY(!window()->appearance().HolidayLaw);
    QVERIFY(!drawnAsHoliday(11));   // Mountain Day is the law's only
    QCOMPARE(readFile(iniPath()), before);
}

// The group sits in free room of its page: inside it, over no other control.
void TestHolidayView::controlsFitTheirPage()
{
    QVERIFY(openWindow());
    withHolidayPage([](QWidget *page) {
        auto *group = page->findChild<QWidget *>("GroupBox7");
        QVERIFY(group->isVisible());
        QVERIFY(page->rect().contains(group->geometry()));
        for (QWidget *other : page->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            if (other != group)
                QVERIFY2(!other->geometry().intersects(group->geometry()), qPrintable(other->objectName()));
        const auto radios = group->findChildren<QRadioButton *>();
        QCOMPARE(radios.size(), 2);
        QVERIFY(!radios[0]->geometry().intersects(radios[1]->geometry()));
        for (auto *radio : radios) {
            QVERIFY(group->rect().contains(radio->geometry()));
            QVERIFY(radio->width() >= radio->sizeHint().width());
        }
        QVERIFY(savePicture(page->window(), "settings-2-holidays"));
    }, false);
}

void TestHolidayView::toolTips_data()
{
    QTest::addColumn<bool>("law");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<QString>("tip");

    QTest::newRow("table: the equinox") << false << 2026 << 3 << 20 << "春分の日";
    QTest::newRow("table: a Sunday without a holiday") << false << 2026 << 3 << 1 << "";
    QTest::newRow("table: a weekday") << false << 2026 << 3 << 10 << "";
    QTest::newRow("table: a holiday on a Sunday") << false << 2026 << 5 << 3 << "憲法記念日";
    QTest::newRow("table: where its flag moved") << false << 2026 << 5 << 6 << "振替休日";
    QTest::newRow("table: a Monday holiday") << false << 2026 << 7 << 20 << "海の日";
    QTest::newRow("table: the old Emperor's Birthday") << false << 2026 << 12 << 23 << "天皇誕生日";
    QTest::newRow("law: substitute holiday") << true << 2026 << 5 << 6 << "振替休日";
    QTest::newRow("law: a day between two holidays") << true << 2026 << 9 << 22 << "休日";
    QTest::newRow("law: Mountain Day") << true << 2026 << 8 << 11 << "山の日";
    QTest::newRow("law: no holiday on 23 December") << true << 2026 << 12 << 23 << "";
    QTest::newRow("law: a Sunday without a holiday") << true << 2026 << 8 << 2 << "";
}

void TestHolidayView::toolTips()
{
    QFETCH(bool, law);
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(QString, tip);
    SetFixedToday(YearMonthDay16{year, month, 28});
    writeFile(iniPath(), law ? "[hibi]\r\nholidays=1\r\n" : "");
    QVERIFY(openWindow());
    QCOMPARE(restOn(day), tip);
    // Every Sunday is drawn as a holiday, named or not.
    QCOMPARE(drawnAsHoliday(day), !tip.isEmpty() || CellOfDay(year, month, day).col == 0);
}

// The pointer resting on a day, as Qt tells it after a move: its name shows.
void TestHolidayView::toolTipOfARestingPointer()
{
    QVERIFY(openWindow());
    const GridCell c = CellOfDay(2026, 3, 20);
    mouseMove(monthGrid(), cellCentre(monthGrid(), c.col, c.row));
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("春分の日"));
}

// A name belongs to the day it was shown over: a month step takes it away.
void TestHolidayView::toolTipLeavesWithItsMonth()
{
    SetFixedToday(YearMonthDay16{2026, 1, 20});
    QVERIFY(openWindow());
    const GridCell c = CellOfDay(2026, 1, 1);
    mouseMove(monthGrid(), cellCentre(monthGrid(), c.col, c.row));
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("元旦"));
    keyClick(monthGrid(), Qt::Key_PageUp);
    QCOMPARE(window()->calendar().DisplayMonth(), 12);
    QTRY_VERIFY(!QToolTip::isVisible());
}

QTEST_MAIN(TestHolidayView)
#include "tst_holidayview.moc"
