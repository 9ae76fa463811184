#include "WindowTest.h"

#include "bulk/setall.h"
#include "settings/IniFile.h"
#include "storage/CalendarFile.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QTextCharFormat>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

using namespace hibi;
using namespace hibi::test;

class TestBulkInput : public WindowTest
{
    Q_OBJECT

private slots:
    void unsavedMarksAreInTheFileFirst();
    void pressesWriteEachMarkAtOnce();
    void gesturesToggleLikeTheMonthGrid();
    void quickPressesCount_data();
    void quickPressesCount();
    void dragNameToAnotherRow();
    void keyRowFollowsTheClickedCalendar();
    void releasesThatChangeNoOrder_data();
    void releasesThatChangeNoOrder();
    void geometryKeptInPosb();
    void boundsStayOverOpenAndClose();
    void boundsOffScreenComeBack();
    void mainWindowFollowsTheChosenMonth();
    void unopenableFileIsReported();
    void rowsLookAsDescribed();
    void datePickerColoursHolidays();

private:
    void openMain(const QStringList &calendars);
    // Opens the bulk-input window from its tool button and runs `operate` in it.
    void withBulkWindow(const std::function<void(Tfrmall *, DrawGrid *)> &operate);
};

void TestBulkInput::openMain(const QStringList &calendars)
{
    for (const QString &name : calendars)
        if (!QFile::exists(file(name)))
            writeFile(file(name), kHeader + record(2026));
    ProgramSettings saved = DefaultSettings();
    saved.lastCalendar = calendars.value(0);
    saved.calendarOrder = calendars;
    SettingsStore(iniPath()).save(saved, SettingsWriter::Close);
    QVERIFY(openWindow());
}

void TestBulkInput::withBulkWindow(const std::function<void(Tfrmall *, DrawGrid *)> &operate)
{
    bool ran = false;
    whenModal([&](QWidget *dialog) {
        auto *bulk = qobject_cast<Tfrmall *>(dialog);
        QVERIFY(bulk);
        QVERIFY(QTest::qWaitForWindowExposed(bulk));
        operate(bulk, bulk->findChild<DrawGrid *>("dgall"));
        ran = true;
        mouseClick(bulk->findChild<QPushButton *>("BitBtn1"), Qt::LeftButton);
    });
    mouseClick(window()->findChild<QToolButton *>("ToolButton4"), Qt::LeftButton);
    QVERIFY(ran);
}

void TestBulkInput::unsavedMarksAreInTheFileFirst()
{
    openMain({"A", "B"});
    const GridCell c = CellOfDay(2026, 3, 10);
    pressCell(monthGrid(), c.col, c.row, Qt::RightButton);
    releaseCell(monthGrid(), c.col, c.row, Qt::RightButton);
    std::vector<std::uint8_t> seen;
    withBulkWindow([&](Tfrmall *bulk, DrawGrid *) {
        seen = bulk->BulkMarks();
        QCOMPARE(readFile(file("A")), kHeader + record(2026, {{3, 10, Batu}}));
    });
    QCOMPARE(seen, (std::vector<std::uint8_t>{Batu, NoMark}));
}

void TestBulkInput::pressesWriteEachMarkAtOnce()
{
    openMain({"A", "B", "C"});
    writeFile(file("B"), kHeader + record(2025, {{7, 7, Batu}}));
    QVERIFY(QFile::remove(file("C")));   // C is in the list without a file
    withBulkWindow([&](Tfrmall *bulk, DrawGrid *grid) {
        bulk->findChild<QDateEdit *>("DateTimePicker1")->setDate(QDate(2025, 7, 7));
        QCOMPARE(bulk->BulkMarks(), (std::vector<std::uint8_t>{NoMark, Batu, NoMark}));

        // An existing record: one byte changes.
        pressCell(grid, 1, 1, Qt::LeftButton);
        releaseCell(grid, 1, 1, Qt::LeftButton);
        QCOMPARE(readFile(file("B")), kHeader + record(2025, {{7, 7, Maru}}));
        // A year without a record: a record of zeros but for that day is appended.
        pressCell(grid, 1, 0, Qt::RightButton);
        releaseCell(grid, 1, 0, Qt::RightButton);
        QCOMPARE(readFile(file("A")), kHeader + record(2026) + record(2025, {{7, 7, Batu}}));
        // No file: the 508-byte file with only that day set.
        pressCell(grid, 1, 2, Qt::LeftButton);
        releaseCell(grid, 1, 2, Qt::LeftButton);
        QCOMPARE(readFile(file("C")), kHeader + record(2025, {{7, 7, Maru}}));
        // Presses outside the cells write nothing.
        mouseClick(grid, Qt::LeftButton, {}, QPoint(5, grid->height() - 3));
        QCOMPARE(bulk->BulkMarks(), (std::vector<std::uint8_t>{Batu, Maru, Maru}));
    });
}

void TestBulkInput::gesturesToggleLikeTheMonthGrid()
{
    openMain({"A"});
    withBulkWindow([&](Tfrmall *bulk, DrawGrid *grid) {
        auto mark = [&] { return bulk->BulkMarks()[0]; };
        pressCell(grid, 1, 0, Qt::LeftButton);
        releaseCell(grid, 1, 0, Qt::LeftButton);
        QCOMPARE(mark(), std::uint8_t(Maru));
        pressCell(grid, 1, 0, Qt::LeftButton);
        releaseCell(grid, 1, 0, Qt::LeftButton);
        QCOMPARE(mark(), std::uint8_t(NoMark));
        pressCell(grid, 1, 0, Qt::RightButton);     // ×, and the right button stays down
        QCOMPARE(mark(), std::uint8_t(Batu));
        pressCell(grid, 1, 0, Qt::LeftButton);      // △
        releaseCell(grid, 1, 0, Qt::LeftButton);
        releaseCell(grid, 1, 0, Qt::RightButton);
        QCOMPARE(mark(), std::uint8_t(Sankaku));
        pressCell(grid, 1, 0, Qt::LeftButton);      // △ to ○
        releaseCell(grid, 1, 0, Qt::LeftButton);
        QCOMPARE(mark(), std::uint8_t(Maru));
        pressCell(grid, 1, 0, Qt::RightButton);
        releaseCell(grid, 1, 0, Qt::RightButton);
        QCOMPARE(mark(), std::uint8_t(Batu));
        clickCell(grid, 1, 0, Qt::MiddleButton);
        QCOMPARE(mark(), std::uint8_t(Batu));
        QCOMPARE(readFile(file("A")), kHeader + record(2026, {{3, 10, Batu}}));
    });
}

void TestBulkInput::quickPressesCount_data()
{
    QTest::addColumn<int>("presses");
    QTest::addColumn<int>("mark");
    QTest::newRow("two") << 2 << int(NoMark);
    QTest::newRow("three") << 3 << int(Maru);
}

// Quick presses on a mark arrive partly as double clicks; each is a press.
void TestBulkInput::quickPressesCount()
{
    QFETCH(int, presses);
    QFETCH(int, mark);
    openMain({"A"});
    withBulkWindow([&](Tfrmall *, DrawGrid *grid) { quickPresses(grid, 1, 0, Qt::LeftButton, presses); });
    QCOMPARE(readFile(file("A")), kHeader + record(2026, {{3, 10, mark}}));
}

void TestBulkInput::dragNameToAnotherRow()
{
    writeFile(file("1"), kHeader + record(2026, {{3, 10, Maru}}));
    writeFile(file("3"), kHeader + record(2026, {{3, 10, Sankaku}}));
    openMain({"1", "2", "3", "4"});
    QCOMPARE(window()->calendar().CurrentCalendarName(), QStringLiteral("1"));
    QImage during;
    withBulkWindow([&](Tfrmall *bulk, DrawGrid *grid) {
        mousePress(grid, Qt::LeftButton, {}, cellCentre(grid, 0, 0));
        mouseMove(grid, cellCentre(grid, 0, 2));
        mouseMove(grid, cellCentre(grid, 0, 3));
        during = grid->grab().toImage();
        mouseRelease(grid, Qt::LeftButton, {}, cellCentre(grid, 0, 3));
        QCOMPARE(bulk->BulkMarks(), (std::vector<std::uint8_t>{NoMark, Sankaku, NoMark, Maru}));
        // The rows are drawn in the new order.
        const CellRect moved = grid->cellRect(1, 3);
        QCOMPARE(grid->grab().toImage().pixelColor((moved.left + moved.right) / 2, moved.top), QColor(0x40, 0x80, 0x80));
    });
    QCOMPARE(window()->calendar().calendars().names(), (QStringList{"2", "3", "4", "1"}));
    QCOMPARE(calendarList()->currentText(), QStringLiteral("1"));
    QCOMPARE(window()->calendar().CurrentCalendarName(), QStringLiteral("1"));
    // While dragging, the dragged row was highlighted.
    QCOMPARE(during.pixelColor(2, 2), window()->palette().color(QPalette::Highlight));
}

// The keys mark the calendar last clicked, on its mark or its name, and stay
// with it when its row is dragged elsewhere.
void TestBulkInput::keyRowFollowsTheClickedCalendar()
{
    openMain({"Work", "カレンダー1", "Home"});
    withBulkWindow([&](Tfrmall *bulk, DrawGrid *grid) {
        clickCell(grid, 1, 0);   // Work ○ with the mouse
        clickCell(grid, 0, 1);   // the name カレンダー1
        QCOMPARE(bulk->focusRow(), 1);
        keyClick(grid, Qt::Key_3);
        QCOMPARE(bulk->BulkMarks(), (std::vector<std::uint8_t>{Maru, Sankaku, NoMark}));
        QCOMPARE(readFile(file("カレンダー1")), kHeader + record(2026, {{3, 10, Sankaku}}));
        QCOMPARE(readFile(file("Work")), kHeader + record(2026, {{3, 10, Maru}}));

        // Work dragged below Home: the keys go on with Work.
        clickCell(grid, 1, 0);   // Work's ○ off again, and the keys on Work
        mousePress(grid, Qt::LeftButton, {}, cellCentre(grid, 0, 0));
        mouseMove(grid, cellCentre(grid, 0, 2));
        mouseRelease(grid, Qt::LeftButton, {}, cellCentre(grid, 0, 2));
        QCOMPARE(window()->calendar().calendars().names(), (QStringList{"カレンダー1", "Home", "Work"}));
        QCOMPARE(bulk->focusRow(), 2);
        keyClick(grid, Qt::Key_2);
        QCOMPARE(bulk->BulkMarks(), (std::vector<std::uint8_t>{Sankaku, NoMark, Batu}));
        QCOMPARE(readFile(file("Work")), kHeader + record(2026, {{3, 10, Batu}}));
        QCOMPARE(readFile(file("Home")), kHeader + record(2026));
    });
}

void TestBulkInput::releasesThatChangeNoOrder_data()
{
    QTest::addColumn<int>("where");   // 0: own row, 1: mark column, 2: outside the grid's rows
    QTest::newRow("on its own row") << 0;
    QTest::newRow("in the mark column") << 1;
    QTest::newRow("below the rows") << 2;
}

void TestBulkInput::releasesThatChangeNoOrder()
{
    QFETCH(int, where);
    openMain({"1", "2", "3"});
    withBulkWindow([&](Tfrmall *, DrawGrid *grid) {
        const QPoint at = where == 0 ? cellCentre(grid, 0, 1) : where == 1 ? cellCentre(grid, 1, 2)
                                                                           : QPoint(5, grid->height() - 2);
        mousePress(grid, Qt::LeftButton, {}, cellCentre(grid, 0, 1));
        mouseMove(grid, at);
        mouseRelease(grid, Qt::LeftButton, {}, at);
    });
    QCOMPARE(window()->calendar().calendars().names(), (QStringList{"1", "2", "3"}));
}

void TestBulkInput::geometryKeptInPosb()
{
    openMain({"A"});
    const QByteArray before = readFile(iniPath());
    withBulkWindow([&](Tfrmall *bulk, DrawGrid *) {
        QCOMPARE(bulk->pos(), QPoint(200, 100));
        QCOMPARE(bulk->size(), QSize(400, 300));
        bulk->move(30, 40);
        bulk->resize(500, 420);
    });
    // Only [posb] was added.
    QCOMPARE(readFile(iniPath()), before + "\r\n[posb]\r\ntop=40\r\nleft=30\r\nheight=420\r\nwidth=500\r\n");
    withBulkWindow([&](Tfrmall *bulk, DrawGrid *grid) {
        QCOMPARE(bulk->pos(), QPoint(30, 40));
        QCOMPARE(bulk->size(), QSize(500, 420));
        // The layout rule: the grid takes the width, the close button sits under it at the right.
        QCOMPARE(grid->width(), 500);
        QCOMPARE(grid->height(), 420 - 85);
        QCOMPARE(grid->colWidth(0), grid->clientWidth() - grid->colWidth(1) - 2);
        QCOMPARE(grid->colWidth(1), monthGrid()->defaultColWidth());
        QCOMPARE(grid->rowHeight(0), calendarList()->height());
        auto *close = bulk->findChild<QPushButton *>("BitBtn1");
        QCOMPARE(close->pos(), QPoint(500 - 81 - 5, 35 + 335 + 10));
    });
    QVERIFY(window()->close());
    const IniFile ini = IniFile::load(iniPath());
    QCOMPARE(ini.readInteger("posb", "width", 0), 500);
    QCOMPARE(ini.readInteger("posb", "top", 0), 40);
}

// Opened and closed again and again, the window neither creeps nor makes the
// stored bounds creep (under a window manager the frame and the inside differ).
void TestBulkInput::boundsStayOverOpenAndClose()
{
    openMain({"A"});
    withBulkWindow([](Tfrmall *bulk, DrawGrid *) {
        bulk->move(120, 90);
        bulk->resize(420, 320);
    });
    const QByteArray stored = readFile(iniPath());
    for (int i = 0; i < 5; ++i) {
        withBulkWindow([](Tfrmall *, DrawGrid *) {});
        QCOMPARE(readFile(iniPath()), stored);
    }
    const IniFile ini = IniFile::load(iniPath());
    QCOMPARE(ini.readInteger("posb", "left", 0), 120);
    QCOMPARE(ini.readInteger("posb", "top", 0), 90);
}

// Bounds from the file that lie off the screen bring the window onto it; the
// file keeps them until the window is really moved.
void TestBulkInput::boundsOffScreenComeBack()
{
    openMain({"A"});
    IniFile ini = IniFile::load(iniPath());
    for (auto [key, value] : {std::pair{"left", 3000}, {"top", -500}, {"width", 400}, {"height", 99999}})
        ini.writeInteger("posb", key, value);
    ini.save(iniPath());
    openMain({"A"});
    QRect shown;
    withBulkWindow([&shown](Tfrmall *bulk, DrawGrid *) { shown = bulk->frameGeometry(); });
    const QRect screen = window()->screen()->availableGeometry();
    QVERIFY(screen.contains(shown.topLeft()));
    QVERIFY(shown.width() <= screen.width() && shown.height() <= screen.height());
    QCOMPARE(IniFile::load(iniPath()).readInteger("posb", "left", 0), 3000);
    QCOMPARE(IniFile::load(iniPath()).readInteger("posb", "height", 0), 99999);
}

void TestBulkInput::mainWindowFollowsTheChosenMonth()
{
    openMain({"A"});
    withBulkWindow([&](Tfrmall *bulk, DrawGrid *grid) {
        bulk->findChild<QDateEdit *>("DateTimePicker1")->setDate(QDate(2024, 7, 15));
        pressCell(grid, 1, 0, Qt::LeftButton);
        releaseCell(grid, 1, 0, Qt::LeftButton);
    });
    QCOMPARE(window()->calendar().DisplayYear(), 2024);
    QCOMPARE(window()->calendar().DisplayMonth(), 7);
    const GridCell c = CellOfDay(2024, 7, 15);
    QCOMPARE(window()->calendar().YearMarks().at(7, c.col, c.row), std::uint8_t(Maru));
}

void TestBulkInput::unopenableFileIsReported()
{
    MessageRecorder &messages = this->messages();
    openMain({"A", "B"});
    selectCalendar(1);
    QCOMPARE(window()->calendar().CurrentCalendarName(), QStringLiteral("B"));
    QVERIFY(QFile::remove(file("A")));
    QVERIFY(QDir().mkdir(file("A")));
    withBulkWindow([&](Tfrmall *bulk, DrawGrid *grid) {
        QCOMPARE(messages.boxes.size(), 1);   // reading A
        pressCell(grid, 1, 0, Qt::LeftButton);
        releaseCell(grid, 1, 0, Qt::LeftButton);
        pressCell(grid, 1, 1, Qt::LeftButton);
        releaseCell(grid, 1, 1, Qt::LeftButton);
        // A's mark could not be written: its row shows what its file holds.
        QCOMPARE(bulk->BulkMarks(), (std::vector<std::uint8_t>{NoMark, Maru}));
    });
    const QString message = QStringLiteral("ファイル %1 は開けません").arg(QDir::toNativeSeparators(file("A")));
    QCOMPARE(messages.texts().mid(0, 2), (QStringList{message, message}));
    QCOMPARE(readFile(file("B")), kHeader + record(2026, {{3, 10, Maru}}));
    QVERIFY(QDir().rmdir(file("A")));
}

void TestBulkInput::rowsLookAsDescribed()
{
    openMain({"A", "B"});
    writeFile(file("B"), kHeader + record(2026, {{3, 10, Batu}}));
    withBulkWindow([&](Tfrmall *bulk, DrawGrid *grid) {
        const QImage image = grid->grab().toImage();
        QCOMPARE(image.pixelColor(grid->cellRect(1, 0).toRect().topLeft() + QPoint(3, 1)), QColor(Qt::white));
        QCOMPARE(image.pixelColor(grid->cellRect(0, 1).toRect().topRight() + QPoint(-2, 1)), QColor(192, 220, 192));
        QCOMPARE(image.pixelColor(grid->cellRect(1, 1).toRect().center()), QColor(0x80, 0x40, 0x00));   // × of B
        QVERIFY(savePicture(bulk, "bulk-input"));
    });
}

QTEST_MAIN(TestBulkInput)
#include "tst_bulkinput.moc"

// The date picker's calendar shows the month view's holidays: Sundays and public
// holidays red, Saturdays like the other weekdays, on every page it turns to.
void TestBulkInput::datePickerColoursHolidays()
{
    openMain({"A"});
    withBulkWindow([&](Tfrmall *bulk, DrawGrid *) {
        auto *picker = bulk->findChild<QDateEdit *>("DateTimePicker1");
        mouseClick(picker, Qt::LeftButton, {}, QPoint(picker->width() - 6, picker->height() / 2));
        QCalendarWidget *calendar = picker->calendarWidget();
        QTRY_VERIFY(calendar->isVisible());
        auto red = [&](const QDate &date) {
            QTextCharFormat format = calendar->weekdayTextFormat(Qt::DayOfWeek(date.dayOfWeek()));
            format.merge(calendar->dateTextFormat(date));
            return format.foreground().color() == QColor(Qt::red);
        };
        QCOMPARE(calendar->selectedDate(), QDate(2026, 3, 10));
        QVERIFY(red(QDate(2026, 3, 15)));     // Sunday
        QVERIFY(!red(QDate(2026, 3, 14)));    // Saturday
        QVERIFY(!red(QDate(2026, 3, 10)));
        QVERIFY(red(QDate(2026, 2, 11)));     // 建国記念の日, at the top of the page
        savePicture(calendar, "bulk-date-picker");
        for (int i = 0; i < 2; ++i)
            mouseClick(calendar->findChild<QToolButton *>("qt_calendar_nextmonth"), Qt::LeftButton);
        QCOMPARE(calendar->monthShown(), 5);
        QVERIFY(red(QDate(2026, 5, 5)));      // こどもの日
        QVERIFY(red(QDate(2026, 4, 29)));     // from April, at the top of the page
        QVERIFY(!red(QDate(2026, 5, 2)));     // Saturday
        keyClick(calendar, Qt::Key_Escape);
        QTRY_VERIFY(!calendar->isVisible());
    });
}
