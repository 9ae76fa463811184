#include "GuiTestSupport.h"

#include "app/Unit1.h"
#include "bulk/setall.h"
#include "calendar/Clock.h"
#include "settings/IniFile.h"
#include "storage/CalendarFile.h"

#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

using namespace hibi;
using namespace hibi::test;

namespace {

const QByteArray kHeader = header();

} // namespace

class TestBulkInput : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void unsavedMarksAreInTheFileFirst();
    void pressesWriteEachMarkAtOnce();
    void gesturesToggleLikeTheMonthGrid();
    void dragNameToAnotherRow();
    void releasesThatChangeNoOrder_data();
    void releasesThatChangeNoOrder();
    void geometryKeptInPosb();
    void mainWindowFollowsTheChosenMonth();
    void unopenableFileIsReported();
    void rowsLookAsDescribed();

private:
    void openMain(const QStringList &calendars);
    // Opens the bulk-input window from its tool button and runs `operate` in it.
    void withBulkWindow(const std::function<void(Tfrmall *, DrawGrid *)> &operate);
    QString file(const QString &name) const { return m_folder + name + ".hsd"; }
    QString m_folder;
    std::unique_ptr<QTemporaryDir> m_dir;
    TForm1 *m_window = nullptr;
};

void TestBulkInput::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_folder = m_dir->path() + "/";
    SetFixedToday(YearMonthDay16{2026, 3, 10});
}

void TestBulkInput::cleanup()
{
    delete m_window;
    m_window = nullptr;
    SetFixedToday(std::nullopt);
}

void TestBulkInput::openMain(const QStringList &calendars)
{
    for (const QString &name : calendars)
        if (!QFile::exists(file(name)))
            writeFile(file(name), kHeader + record(2026));
    IniFile ini;
    WriteCloseSettings(ini, {100, 200, 325, 330}, 12, calendars.value(0), calendars);
    ini.save(m_folder + "hibisi.ini");
    m_window = new TForm1(m_folder);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
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
        QTest::mouseClick(bulk->findChild<QPushButton *>("BitBtn1"), Qt::LeftButton);
    });
    QTest::mouseClick(m_window->findChild<QToolButton *>("ToolButton4"), Qt::LeftButton);
    QVERIFY(ran);
}

void TestBulkInput::unsavedMarksAreInTheFileFirst()
{
    openMain({"A", "B"});
    const GridCell c = CellOfDay(2026, 3, 10);
    pressCell(m_window->monthGrid(), c.col, c.row, Qt::RightButton);
    releaseCell(m_window->monthGrid(), c.col, c.row, Qt::RightButton);
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
        QTest::mousePress(grid->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, grid->height() - 3));
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
        pressCell(grid, 1, 0, Qt::MiddleButton);
        QCOMPARE(mark(), std::uint8_t(Batu));
        QCOMPARE(readFile(file("A")), kHeader + record(2026, {{3, 10, Batu}}));
    });
}

void TestBulkInput::dragNameToAnotherRow()
{
    writeFile(file("1"), kHeader + record(2026, {{3, 10, Maru}}));
    writeFile(file("3"), kHeader + record(2026, {{3, 10, Sankaku}}));
    openMain({"1", "2", "3", "4"});
    QCOMPARE(m_window->CurrentCalendarName, QStringLiteral("1"));
    QImage during;
    withBulkWindow([&](Tfrmall *bulk, DrawGrid *grid) {
        QTest::mousePress(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(grid, 0, 0));
        QTest::mouseMove(grid->viewport(), cellCentre(grid, 0, 2));
        QTest::mouseMove(grid->viewport(), cellCentre(grid, 0, 3));
        during = grid->grab().toImage();
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(grid, 0, 3));
        QCOMPARE(bulk->BulkMarks(), (std::vector<std::uint8_t>{NoMark, Sankaku, NoMark, Maru}));
        // The rows are drawn in the new order.
        const CellRect moved = grid->cellRect(1, 3);
        QCOMPARE(grid->grab().toImage().pixelColor((moved.left + moved.right) / 2, moved.top), QColor(0x40, 0x80, 0x80));
    });
    QCOMPARE(m_window->calendarNames(), (QStringList{"2", "3", "4", "1"}));
    QCOMPARE(m_window->calendarList()->currentText(), QStringLiteral("1"));
    QCOMPARE(m_window->CurrentCalendarName, QStringLiteral("1"));
    // While dragging, the dragged row was highlighted.
    QCOMPARE(during.pixelColor(2, 2), m_window->palette().color(QPalette::Highlight));
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
        QTest::mousePress(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(grid, 0, 1));
        QTest::mouseMove(grid->viewport(), at);
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    });
    QCOMPARE(m_window->calendarNames(), (QStringList{"1", "2", "3"}));
}

void TestBulkInput::geometryKeptInPosb()
{
    openMain({"A"});
    const QByteArray before = readFile(m_folder + "hibisi.ini");
    withBulkWindow([&](Tfrmall *bulk, DrawGrid *) {
        QCOMPARE(bulk->pos(), QPoint(200, 100));
        QCOMPARE(bulk->size(), QSize(400, 300));
        bulk->move(30, 40);
        bulk->resize(500, 420);
    });
    // Only [posb] was added.
    QCOMPARE(readFile(m_folder + "hibisi.ini"), before + "\r\n[posb]\r\ntop=40\r\nleft=30\r\nheight=420\r\nwidth=500\r\n");
    withBulkWindow([&](Tfrmall *bulk, DrawGrid *grid) {
        QCOMPARE(bulk->pos(), QPoint(30, 40));
        QCOMPARE(bulk->size(), QSize(500, 420));
        // The layout rule: the grid takes the width, the close button sits under it at the right.
        QCOMPARE(grid->width(), 500);
        QCOMPARE(grid->height(), 420 - 85);
        QCOMPARE(grid->colWidth(0), grid->clientWidth() - grid->colWidth(1) - 2);
        QCOMPARE(grid->colWidth(1), m_window->monthGrid()->defaultColWidth());
        QCOMPARE(grid->rowHeight(0), m_window->calendarList()->height());
        auto *close = bulk->findChild<QPushButton *>("BitBtn1");
        QCOMPARE(close->pos(), QPoint(500 - 81 - 5, 35 + 335 + 10));
    });
    QVERIFY(m_window->close());
    const IniFile ini = IniFile::load(m_folder + "hibisi.ini");
    QCOMPARE(ini.readInteger("posb", "width", 0), 500);
    QCOMPARE(ini.readInteger("posb", "top", 0), 40);
}

void TestBulkInput::mainWindowFollowsTheChosenMonth()
{
    openMain({"A"});
    withBulkWindow([&](Tfrmall *bulk, DrawGrid *grid) {
        bulk->findChild<QDateEdit *>("DateTimePicker1")->setDate(QDate(2024, 7, 15));
        pressCell(grid, 1, 0, Qt::LeftButton);
        releaseCell(grid, 1, 0, Qt::LeftButton);
    });
    QCOMPARE(m_window->DisplayYear, 2024);
    QCOMPARE(m_window->DisplayMonth, 7);
    const GridCell c = CellOfDay(2024, 7, 15);
    QCOMPARE(m_window->YearMarks.at(7, c.col, c.row), std::uint8_t(Maru));
}

void TestBulkInput::unopenableFileIsReported()
{
    MessageRecorder messages;
    openMain({"A", "B"});
    m_window->calendarList()->setCurrentIndex(1);
    emit m_window->calendarList()->activated(1);
    QCOMPARE(m_window->CurrentCalendarName, QStringLiteral("B"));
    QVERIFY(QFile::remove(file("A")));
    QVERIFY(QDir().mkdir(file("A")));
    withBulkWindow([&](Tfrmall *bulk, DrawGrid *grid) {
        QCOMPARE(messages.boxes.size(), 1);   // reading A
        pressCell(grid, 1, 0, Qt::LeftButton);
        releaseCell(grid, 1, 0, Qt::LeftButton);
        pressCell(grid, 1, 1, Qt::LeftButton);
        releaseCell(grid, 1, 1, Qt::LeftButton);
        QCOMPARE(bulk->BulkMarks(), (std::vector<std::uint8_t>{Maru, Maru}));   // the new value stays
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
        QVERIFY(bulk->grab().save(QDir::temp().filePath("hibi-bulk-input.png")));
    });
}

QTEST_MAIN(TestBulkInput)
#include "tst_bulkinput.moc"
