#include "GuiTestSupport.h"

#include "app/Unit1.h"
#include "components/UpDown.h"
#include "calendar/Clock.h"
#include "settings/IniFile.h"
#include "storage/CalendarFile.h"
#include "storage/YearMarks.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

using namespace hibi;
using namespace hibi::test;

namespace {

const QByteArray kHeader = header();

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstStartInEmptyFolder();
    void marksByMouseReachTheFile();
    void quickSecondPressTogglesBack();
    void browsingInsideYearTouchesNoFile();
    void crossingYearSavesFirst();
    void shiftStepsAYear();
    void yearStaysWithinRange();
    void listBuiltFromSavedOrder();
    void addCalendar();
    void renameKeepsUnsavedMarks();
    void deleteOnlyCalendar();
    void deleteOneOfThree();
    void moveEntries();
    void dataMenuEnabling();
    void nameDialogRefusals();
    void closeWritesSettings();
    void failedSaveAtCloseKeepsWindowOpen();
    void failedSaveKeepsListAndNameTogether();
    void newCalendarThatCannotBeCreated();
    void countAll();
    void rangeTallyAcrossYears();
    void rangeCancelled();
    void grabbedPixels();
    void listFontSize();
    void resizeRules();
    void menusAndShortcuts_data();
    void menusAndShortcuts();
    void exitSavesLikeClosing();

private:
    TForm1 *openWindow();
    DrawGrid *grid() const { return m_window->findChild<DrawGrid *>("dg1"); }
    QComboBox *list() const { return m_window->findChild<QComboBox *>("cbox1"); }
    QAction *action(const char *name) const { return m_window->findChild<QAction *>(name); }
    QString file(const QString &name) const { return m_folder + name + ".hsd"; }
    void clickDay(int day, Qt::MouseButton button = Qt::LeftButton);
    QString m_folder;
    std::unique_ptr<QTemporaryDir> m_dir;
    TForm1 *m_window = nullptr;
};

void TestMainWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_folder = m_dir->path() + "/";
    SetFixedToday(YearMonthDay16{2026, 3, 10});
}

void TestMainWindow::cleanup()
{
    delete m_window;
    m_window = nullptr;
    SetFixedToday(std::nullopt);
}

TForm1 *TestMainWindow::openWindow()
{
    delete m_window;
    m_window = new TForm1(m_folder);
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window))
        return nullptr;
    return m_window;
}

void TestMainWindow::clickDay(int day, Qt::MouseButton button)
{
    const GridCell c = CellOfDay(m_window->DisplayYear, m_window->DisplayMonth, day);
    pressCell(grid(), c.col, c.row, button);
    releaseCell(grid(), c.col, c.row, button);
}

void TestMainWindow::firstStartInEmptyFolder()
{
    QVERIFY(openWindow());
    QCOMPARE(m_window->pos(), QPoint(200, 100));
    QCOMPARE(m_window->size(), QSize(330, 325));
    QCOMPARE(m_window->DisplayYear, 2026);
    QCOMPARE(m_window->DisplayMonth, 3);
    QCOMPARE(m_window->findChild<QLabel *>("Label1")->text(), QStringLiteral("2026年3月"));
    QCOMPARE(list()->count(), 1);
    QCOMPARE(list()->currentText(), QStringLiteral("カレンダー1"));
    QCOMPARE(m_window->CurrentCalendarName, QStringLiteral("カレンダー1"));
    QCOMPARE(grid()->y(), 108);
    QVERIFY(m_window->close());
    // No calendar file until a mark is saved.
    QCOMPARE(QDir(m_folder).entryList({"*.hsd"}), QStringList());
}

void TestMainWindow::marksByMouseReachTheFile()
{
    QVERIFY(openWindow());
    clickDay(2);                                         // ○
    clickDay(3, Qt::RightButton);                        // ×
    // △: hold the right button (which first gives ×), then press the left.
    const GridCell c = CellOfDay(2026, 3, 4);
    pressCell(grid(), c.col, c.row, Qt::RightButton);
    pressCell(grid(), c.col, c.row, Qt::LeftButton);
    releaseCell(grid(), c.col, c.row, Qt::LeftButton);
    releaseCell(grid(), c.col, c.row, Qt::RightButton);
    // The same on a △ again leaves △ (× in between); two left presses on it give ○, then nothing.
    pressCell(grid(), c.col, c.row, Qt::RightButton);
    pressCell(grid(), c.col, c.row, Qt::LeftButton);
    releaseCell(grid(), c.col, c.row, Qt::LeftButton);
    releaseCell(grid(), c.col, c.row, Qt::RightButton);
    QCOMPARE(m_window->YearMarks.at(3, c.col, c.row), std::uint8_t(Sankaku));
    clickDay(5);
    clickDay(5);
    clickDay(5, Qt::MiddleButton);                       // no change
    // The header row and cells without a day take no mark.
    pressCell(grid(), 3, 0, Qt::LeftButton);
    pressCell(grid(), 0, 6, Qt::LeftButton);
    QVERIFY(!QFile::exists(file("カレンダー1")));        // nothing written while marking

    QVERIFY(m_window->close());
    QCOMPARE(readFile(file("カレンダー1")), kHeader + record(2026, {{3, 2, Maru}, {3, 3, Batu}, {3, 4, Sankaku}}));
}

void TestMainWindow::quickSecondPressTogglesBack()
{
    QVERIFY(openWindow());
    const GridCell c = CellOfDay(2026, 3, 12);
    QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(grid(), c.col, c.row));
    QCOMPARE(m_window->YearMarks.at(3, c.col, c.row), std::uint8_t(NoMark));
}

void TestMainWindow::browsingInsideYearTouchesNoFile()
{
    QVERIFY(openWindow());
    clickDay(20);
    auto *next = m_window->findChild<QPushButton *>("btnnext");
    auto *prev = m_window->findChild<QPushButton *>("btnprv");
    QTest::mouseClick(next, Qt::LeftButton);
    QCOMPARE(m_window->findChild<QLabel *>("Label1")->text(), QStringLiteral("2026年4月"));
    QTest::mouseClick(prev, Qt::LeftButton);
    QTest::mouseClick(prev, Qt::LeftButton);
    QCOMPARE(m_window->DisplayMonth, 2);
    QVERIFY(!QFile::exists(file("カレンダー1")));
    QTest::mouseClick(next, Qt::LeftButton);
    const GridCell c = CellOfDay(2026, 3, 20);
    QCOMPARE(m_window->YearMarks.at(3, c.col, c.row), std::uint8_t(Maru));   // kept in memory
}

void TestMainWindow::crossingYearSavesFirst()
{
    QVERIFY(openWindow());
    writeFile(file("カレンダー1"), kHeader + record(2025, {{12, 25, Batu}}));
    clickDay(1);
    auto *prev = m_window->findChild<QPushButton *>("btnprv");
    QTest::mouseClick(prev, Qt::LeftButton);
    QTest::mouseClick(prev, Qt::LeftButton);
    QCOMPARE(m_window->DisplayMonth, 1);
    QCOMPARE(readFile(file("カレンダー1")), kHeader + record(2025, {{12, 25, Batu}}));
    QTest::mouseClick(prev, Qt::LeftButton);                     // January 2026 to December 2025
    QCOMPARE(m_window->DisplayYear, 2025);
    QCOMPARE(m_window->DisplayMonth, 12);
    QCOMPARE(readFile(file("カレンダー1")), kHeader + record(2025, {{12, 25, Batu}}) + record(2026, {{3, 1, Maru}}));
    const GridCell c = CellOfDay(2025, 12, 25);
    QCOMPARE(m_window->YearMarks.at(12, c.col, c.row), std::uint8_t(Batu));   // the new year was read
    // Forward across the year again, through "翌月".
    clickDay(24);
    QTest::mouseClick(m_window->findChild<QPushButton *>("btnnext"), Qt::LeftButton);
    QCOMPARE(m_window->DisplayYear, 2026);
    QCOMPARE(readFile(file("カレンダー1")), kHeader + record(2025, {{12, 25, Batu}, {12, 24, Maru}}) + record(2026, {{3, 1, Maru}}));
}

void TestMainWindow::shiftStepsAYear()
{
    QVERIFY(openWindow());
    QTest::mouseClick(m_window->findChild<QPushButton *>("btnprv"), Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(m_window->DisplayYear, 2025);
    QCOMPARE(m_window->DisplayMonth, 3);
    QTest::mouseClick(m_window->findChild<QPushButton *>("btnnext"), Qt::LeftButton, Qt::ShiftModifier);
    QTest::mouseClick(m_window->findChild<QPushButton *>("btnnext"), Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(m_window->DisplayYear, 2027);
    QCOMPARE(m_window->findChild<QLabel *>("Label1")->text(), QStringLiteral("2027年3月"));
    // "今月を表示" comes back to today.
    action("thismonth")->trigger();
    QCOMPARE(m_window->DisplayYear, 2026);
    QCOMPARE(m_window->DisplayMonth, 3);
}

void TestMainWindow::yearStaysWithinRange()
{
    SetFixedToday(YearMonthDay16{9999, 12, 31});
    QVERIFY(openWindow());
    clickDay(31);
    QTest::mouseClick(m_window->findChild<QPushButton *>("btnnext"), Qt::LeftButton);
    QCOMPARE(m_window->DisplayYear, 9999);
    QCOMPARE(m_window->DisplayMonth, 12);
    QVERIFY(!QFile::exists(file("カレンダー1")));   // refused before saving anything

    SetFixedToday(YearMonthDay16{1, 1, 1});
    action("thismonth")->trigger();
    QCOMPARE(m_window->DisplayYear, 1);
    QTest::mouseClick(m_window->findChild<QPushButton *>("btnprv"), Qt::LeftButton, Qt::ShiftModifier);
    QTest::mouseClick(m_window->findChild<QPushButton *>("btnprv"), Qt::LeftButton);
    QCOMPARE(m_window->DisplayYear, 1);
    QCOMPARE(m_window->DisplayMonth, 1);
}

void TestMainWindow::listBuiltFromSavedOrder()
{
    for (const char *name : {"B", "A", "C"})
        writeFile(file(name), kHeader + record(2026));
    IniFile ini;
    WriteCloseSettings(ini, {}, 12, "A", {"C", "X", "A"});
    ini.save(m_folder + "hibisi.ini");
    QVERIFY(openWindow());
    QStringList names;
    for (int i = 0; i < list()->count(); ++i)
        names << list()->itemText(i);
    QCOMPARE(names, (QStringList{"C", "A", "B"}));
    QCOMPARE(list()->currentIndex(), 1);
    QCOMPARE(m_window->CurrentCalendarName, QStringLiteral("A"));
}

void TestMainWindow::addCalendar()
{
    MessageRecorder messages;
    QVERIFY(openWindow());
    clickDay(9);
    whenModal([](QWidget *dialog) {
        dialog->findChild<QLineEdit *>("Edit1")->setText("B");
        dialog->grab().save(QDir::temp().filePath("hibi-data-name.png"));
        QTest::mouseClick(dialog->findChild<QPushButton *>("btnok"), Qt::LeftButton);
    });
    action("mnunewcale")->trigger();
    QCOMPARE(readFile(file("カレンダー1")), kHeader + record(2026, {{3, 9, Maru}}));
    QCOMPARE(readFile(file("B")), kHeader + record(2026));
    QCOMPARE(list()->count(), 2);
    QCOMPARE(list()->currentIndex(), 1);
    QCOMPARE(list()->currentText(), QStringLiteral("B"));
    QCOMPARE(m_window->DisplayMonth, 3);
    QVERIFY(!m_window->YearMarks.hasMarks());

    // Selecting the first calendar again saves B and shows the first one's marks.
    clickDay(10, Qt::RightButton);
    QTest::mouseClick(list(), Qt::LeftButton);
    list()->setCurrentIndex(0);
    emit list()->activated(0);
    QCOMPARE(readFile(file("B")), kHeader + record(2026, {{3, 10, Batu}}));
    QCOMPARE(m_window->CurrentCalendarName, QStringLiteral("カレンダー1"));
    const GridCell c = CellOfDay(2026, 3, 9);
    QCOMPARE(m_window->YearMarks.at(3, c.col, c.row), std::uint8_t(Maru));

    // Cancel changes nothing.
    whenModal([](QWidget *dialog) { QTest::mouseClick(dialog->findChild<QPushButton *>("btncancel"), Qt::LeftButton); });
    action("mnunewcale")->trigger();
    QCOMPARE(list()->count(), 2);
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
    QCOMPARE(list()->currentText(), QStringLiteral("New"));
    QCOMPARE(m_window->CurrentCalendarName, QStringLiteral("New"));
    QVERIFY(!QFile::exists(file("Old")));
    QVERIFY(m_window->close());
    QCOMPARE(readFile(file("New")), kHeader + record(2026, {{1, 1, Batu}, {3, 15, Maru}}));
    IniFile ini = IniFile::load(m_folder + "hibisi.ini");
    QCOMPARE(ini.readString("dat", "0", QString()), QStringLiteral("New"));
    QCOMPARE(ini.readString("cale", "file", QString()), QStringLiteral("New"));
}

void TestMainWindow::deleteOnlyCalendar()
{
    MessageRecorder messages;
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
    QCOMPARE(list()->count(), 1);
    QCOMPARE(list()->currentText(), QStringLiteral("カレンダー1"));
    QCOMPARE(m_window->CurrentCalendarName, QStringLiteral("カレンダー1"));
    QVERIFY(!m_window->YearMarks.hasMarks());
}

void TestMainWindow::deleteOneOfThree()
{
    MessageRecorder messages;
    for (const char *name : {"A", "B", "C"})
        writeFile(file(name), kHeader + record(2026, {{3, 1, name[0] - 'A' + 1}}));
    QVERIFY(openWindow());
    list()->setCurrentIndex(1);
    emit list()->activated(1);
    action("delcale")->trigger();
    QVERIFY(!QFile::exists(file("B")));
    QCOMPARE(list()->count(), 2);
    QCOMPARE(list()->currentText(), QStringLiteral("C"));   // the last entry
    const GridCell c = CellOfDay(2026, 3, 1);
    QCOMPARE(m_window->YearMarks.at(3, c.col, c.row), std::uint8_t(Sankaku));
}

void TestMainWindow::moveEntries()
{
    for (const char *name : {"A", "B", "C"})
        writeFile(file(name), kHeader + record(2026));
    QVERIFY(openWindow());
    action("datup")->trigger();                     // the first goes nowhere
    QCOMPARE(list()->itemText(0), QStringLiteral("A"));
    action("datdown")->trigger();
    action("datdown")->trigger();
    action("datdown")->trigger();                   // the last goes nowhere
    QCOMPARE(list()->itemText(2), QStringLiteral("A"));
    QCOMPARE(list()->currentText(), QStringLiteral("A"));
    QCOMPARE(m_window->CurrentCalendarName, QStringLiteral("A"));
    QVERIFY(m_window->close());
    // The order survives a restart.
    QVERIFY(openWindow());
    QCOMPARE(list()->itemText(0), QStringLiteral("B"));
    QCOMPARE(list()->itemText(1), QStringLiteral("C"));
    QCOMPARE(list()->itemText(2), QStringLiteral("A"));
    QCOMPARE(list()->currentIndex(), 2);
}

void TestMainWindow::dataMenuEnabling()
{
    QVERIFY(openWindow());
    auto *menu = m_window->findChild<QMenu *>("Data1");
    emit menu->aboutToShow();
    QVERIFY(!action("mnuall")->isEnabled());
    QVERIFY(!action("datup")->isEnabled());
    QVERIFY(!action("datdown")->isEnabled());
    list()->addItem("Z");
    emit menu->aboutToShow();
    QVERIFY(action("mnuall")->isEnabled());
    QVERIFY(!action("datup")->isEnabled());
    QVERIFY(action("datdown")->isEnabled());
}

void TestMainWindow::nameDialogRefusals()
{
    MessageRecorder messages;
    writeFile(file("Taken"), kHeader + record(2026));
    QVERIFY(openWindow());
    whenModal([](QWidget *dialog) {
        auto *edit = dialog->findChild<QLineEdit *>("Edit1");
        auto *ok = dialog->findChild<QPushButton *>("btnok");
        for (const QString &name : {QStringLiteral("a\\b"), QStringLiteral("Taken"), QStringLiteral("tab\there"),
                                    QStringLiteral("顔😀")}) {
            edit->setText(name);
            QTest::mouseClick(ok, Qt::LeftButton);
            QVERIFY(dialog->isVisible());
            QCOMPARE(edit->text(), name);   // the text stays as typed
        }
        // A calendar that has never been saved has no file: its name is free.
        edit->setText(QStringLiteral("カレンダー1"));
        QTest::mouseClick(ok, Qt::LeftButton);
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
    writeFile(m_folder + "hibisi.ini", "[dat]\r\nnum=5\r\n0=A\r\n1=B\r\n2=C\r\n3=D\r\n4=E\r\n[posb]\r\ntop=9\r\n");
    QVERIFY(openWindow());
    m_window->move(50, 60);
    m_window->resize(400, 380);
    QVERIFY(m_window->close());
    const IniFile ini = IniFile::load(m_folder + "hibisi.ini");
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
    QCOMPARE(m_window->pos(), QPoint(50, 60));
    QCOMPARE(m_window->size(), QSize(400, 380));
}

void TestMainWindow::failedSaveAtCloseKeepsWindowOpen()
{
    MessageRecorder messages;
    QVERIFY(openWindow());
    clickDay(4);
    QVERIFY(QDir().mkdir(file("カレンダー1")));   // a folder where the file should be
    QVERIFY(!m_window->close());
    QVERIFY(m_window->isVisible());
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("ファイル %1 は開けません").arg(QDir::toNativeSeparators(file("カレンダー1")))});
    QVERIFY(!QFile::exists(m_folder + "hibisi.ini"));   // the settings are not written either
    QVERIFY(QDir().rmdir(file("カレンダー1")));
    QVERIFY(m_window->close());
    QCOMPARE(readFile(file("カレンダー1")), kHeader + record(2026, {{3, 4, Maru}}));
}

void TestMainWindow::failedSaveKeepsListAndNameTogether()
{
    MessageRecorder messages;
    writeFile(file("A"), kHeader + record(2026));
    writeFile(file("B"), kHeader + record(2026, {{3, 5, Batu}}));
    QVERIFY(openWindow());
    clickDay(6);
    QVERIFY(QFile::remove(file("A")));
    QVERIFY(QDir().mkdir(file("A")));
    list()->setCurrentIndex(1);
    emit list()->activated(1);
    QCOMPARE(messages.boxes.size(), 1);
    QCOMPARE(list()->currentText(), QStringLiteral("A"));
    QCOMPARE(m_window->CurrentCalendarName, QStringLiteral("A"));
    const GridCell c = CellOfDay(2026, 3, 6);
    QCOMPARE(m_window->YearMarks.at(3, c.col, c.row), std::uint8_t(Maru));   // nothing lost

    // A year step that cannot save stays where it is.
    QTest::mouseClick(m_window->findChild<QPushButton *>("btnnext"), Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(m_window->DisplayYear, 2026);
    QCOMPARE(m_window->YearMarks.at(3, c.col, c.row), std::uint8_t(Maru));
    QCOMPARE(messages.boxes.size(), 2);
    // The range command that cannot save does not start, nor look started.
    auto *button = m_window->findChild<QToolButton *>("ToolButton2");
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(m_window->RangeState, 0);
    QVERIFY(!button->isChecked());
    QVERIFY(!action("countpart")->isChecked());
    QVERIFY(!QGuiApplication::overrideCursor());
    QCOMPARE(messages.boxes.size(), 3);
    QVERIFY(QDir().rmdir(file("A")));
}

void TestMainWindow::newCalendarThatCannotBeCreated()
{
    MessageRecorder messages;
    writeFile(file("A"), kHeader + record(2026));
    QVERIFY(QDir().mkdir(file("B")));   // a folder is no calendar file, but blocks one
    QVERIFY(openWindow());
    clickDay(7);
    whenModal([](QWidget *dialog) {
        dialog->findChild<QLineEdit *>("Edit1")->setText("B");
        QTest::mouseClick(dialog->findChild<QPushButton *>("btnok"), Qt::LeftButton);
    });
    action("mnunewcale")->trigger();
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("ファイル %1 を作成できません").arg(QDir::toNativeSeparators(file("B")))});
    QCOMPARE(m_window->calendarNames(), QStringList{"A"});
    QCOMPARE(m_window->CurrentCalendarName, QStringLiteral("A"));
    const GridCell c = CellOfDay(2026, 3, 7);
    QCOMPARE(m_window->YearMarks.at(3, c.col, c.row), std::uint8_t(Maru));
    QCOMPARE(readFile(file("A")), kHeader + record(2026, {{3, 7, Maru}}));
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
        dialog->grab().save(QDir::temp().filePath("hibi-tally-result.png"));
        QTest::mouseClick(dialog->findChild<QPushButton *>("BitBtn1"), Qt::LeftButton);
    });
    action("countall")->trigger();
    QCOMPARE(shown, (QStringList{"lblall", "3", "1", "1"}));
    QCOMPARE(m_window->findChild<QLabel *>("lblall")->text(), QStringLiteral("全期間の集計結果"));
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
    auto *button = m_window->findChild<QToolButton *>("ToolButton2");
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(m_window->RangeState, 1);
    QVERIFY(button->isChecked());
    QVERIFY(action("countpart")->isChecked());
    QVERIFY(QGuiApplication::overrideCursor());
    clickDay(2);                           // first pick: 2 January 2026, no mark is set
    QCOMPARE(m_window->RangeState, 2);
    QVERIFY(m_window->findChild<QTimer *>("Timer1")->isActive());
    const GridCell jan2 = CellOfDay(2026, 1, 2);
    QCOMPARE(m_window->YearMarks.at(1, jan2.col, jan2.row), std::uint8_t(Batu));
    for (int i = 0; i < 13; ++i)
        QTest::mouseClick(m_window->findChild<QPushButton *>("btnprv"), Qt::LeftButton);
    QCOMPARE(m_window->DisplayYear, 2024);
    QCOMPARE(m_window->DisplayMonth, 12);

    QStringList shown;
    bool highlighted = false;
    whenModal([&](QWidget *dialog) {
        for (const char *name : {"lblpart1", "lblpart2", "lblmaru", "lblbatu", "lblsankaku"})
            shown << dialog->findChild<QLabel *>(name)->text();
        QVERIFY(!dialog->findChild<QLabel *>("lblall")->isVisible());
        // While the result shows, the picked cell of this month is highlighted.
        const QImage image = grid()->grab().toImage();
        const GridCell dec30 = CellOfDay(2024, 12, 30);
        highlighted = image.pixelColor(grid()->cellRect(dec30.col, dec30.row).toRect().topLeft() + QPoint(2, 2))
                == m_window->palette().color(QPalette::Highlight);
        dialog->close();
    });
    clickDay(30);
    QCOMPARE(shown, (QStringList{"2024年12月30日から", "2026年1月2日", "2", "3", "1"}));
    QVERIFY(highlighted);
    QCOMPARE(m_window->RangeState, 0);
    QVERIFY(!button->isChecked());
    QVERIFY(!QGuiApplication::overrideCursor());
    QVERIFY(!m_window->findChild<QTimer *>("Timer1")->isActive());
}

void TestMainWindow::rangeCancelled()
{
    QVERIFY(openWindow());
    action("countpart")->trigger();
    clickDay(3);
    QCOMPARE(m_window->RangeState, 2);
    action("countpart")->trigger();        // the command again cancels
    QCOMPARE(m_window->RangeState, 0);
    QVERIFY(!QGuiApplication::overrideCursor());
    QVERIFY(!m_window->findChild<QTimer *>("Timer1")->isActive());
    QVERIFY(!action("countpart")->isChecked());
    clickDay(3);                           // marks again
    const GridCell c = CellOfDay(2026, 3, 3);
    QCOMPARE(m_window->YearMarks.at(3, c.col, c.row), std::uint8_t(Maru));

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
    const QImage image = grid()->grab().toImage();
    auto cellHas = [&](int day, const QColor &color) {
        const GridCell c = CellOfDay(2026, 3, day);
        const QRect r = grid()->cellRect(c.col, c.row).toRect();
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
    const QRect r20 = grid()->cellRect(c20.col, c20.row).toRect();
    QCOMPARE(image.pixelColor(r20.left() + 3, r20.top() + 3 * r20.height() / r20.width()), QColor(0x80, 0x40, 0x00));
    // ○ touches the middle of the cell's left edge, △ rises to the top centre.
    const GridCell c18 = CellOfDay(2026, 3, 18);
    const QRect r18 = grid()->cellRect(c18.col, c18.row).toRect();
    QCOMPARE(image.pixelColor(r18.left(), r18.center().y()), QColor(0x40, 0x80, 0x80));
    const GridCell c26 = CellOfDay(2026, 3, 26);
    const CellRect r26 = grid()->cellRect(c26.col, c26.row);
    QCOMPARE(image.pixelColor(r26.left + (r26.right - r26.left) / 2, r26.top + 1), QColor(0xFF, 0x80, 0x00));
    QCOMPARE(image.pixelColor(r26.left + (r26.right - r26.left) / 2, r26.bottom - 2), QColor(0xFF, 0x80, 0x00));
    // Today's frame in blue along the left edge of the 10th.
    const GridCell c10 = CellOfDay(2026, 3, 10);
    const QRect r10 = grid()->cellRect(c10.col, c10.row).toRect();
    QCOMPARE(image.pixelColor(r10.left() + 1, r10.center().y()), QColor(Qt::blue));
    QCOMPARE(image.pixelColor(r10.center().x(), r10.bottom() - 1), QColor(Qt::blue));
    // A Sunday's number is red; the header: Sunday on red, weekdays on green.
    QVERIFY(cellHas(1, Qt::red));
    QCOMPARE(image.pixelColor(grid()->cellRect(0, 0).toRect().topLeft() + QPoint(1, 1)), QColor(Qt::red));
    QCOMPARE(image.pixelColor(grid()->cellRect(3, 0).toRect().topLeft() + QPoint(1, 1)), QColor(0x80, 0xFF, 0x00));
    // A cell without a day is silver.
    QCOMPARE(image.pixelColor(grid()->cellRect(6, 5).toRect().center()), QColor(0xC0, 0xC0, 0xC0));
    QVERIFY(image.save(QDir::temp().filePath("hibi-month-view.png")));
    QVERIFY(m_window->grab().save(QDir::temp().filePath("hibi-main-window.png")));
}

void TestMainWindow::listFontSize()
{
    writeFile(m_folder + "hibisi.ini", "[pos]\r\nnameheight=16\r\n");
    QVERIFY(openWindow());
    auto *panel1 = m_window->findChild<QFrame *>("Panel1");
    auto *panel0 = m_window->findChild<QFrame *>("Panel0");
    QCOMPARE(list()->font().pointSize(), 16);
    QCOMPARE(panel1->height(), list()->height() + 4);
    QCOMPARE(panel0->y() + panel0->height(), 108);
    const int tallBar = panel1->height();
    // The up arrow lowers the size.
    auto *up = m_window->findChild<UpDown *>("UpDown1");
    for (int i = 0; i < 10; ++i)
        QTest::mouseClick(up->upButton(), Qt::LeftButton);
    QCOMPARE(list()->font().pointSize(), 8);
    QVERIFY(panel1->height() < tallBar);
    QCOMPARE(panel0->y() + panel0->height(), 108);
    auto *prv = m_window->findChild<QPushButton *>("btnprv");
    QCOMPARE(prv->y(), (panel0->height() - prv->height()) / 2);
    QVERIFY(m_window->close());
    QCOMPARE(IniFile::load(m_folder + "hibisi.ini").readInteger("pos", "nameheight", 0), 8);
}

void TestMainWindow::resizeRules()
{
    QVERIFY(openWindow());
    m_window->resize(600, 500);
    QTRY_COMPARE(grid()->width(), m_window->centralWidget()->width());
    QCOMPARE(grid()->defaultColWidth(), (grid()->clientWidth() - 6) / 7);
    QCOMPARE(grid()->rowHeight(0), 16 + 8);   // 12 points at 96 dpi
    const int rows = grid()->rowCount();
    QCOMPARE(grid()->defaultRowHeight(), (grid()->clientHeight() - 24 - rows + 1) / (rows - 1));
    auto *label = m_window->findChild<QLabel *>("Label1");
    auto *prv = m_window->findChild<QPushButton *>("btnprv");
    auto *next = m_window->findChild<QPushButton *>("btnnext");
    QCOMPARE(label->x(), m_window->frameGeometry().width() / 2 - label->width() / 2);
    QCOMPARE(prv->x(), label->x() - 70);
    QCOMPARE(next->x(), label->x() + label->width() + 10);
    // Too narrow for the buttons: the window widens itself.
    m_window->resize(100, 500);
    QTRY_VERIFY(m_window->frameGeometry().width() >= next->x() + next->width() + 1 - 1);
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
    QTest::newRow("Exit1") << "Exit1" << "終了(&X)" << none;
    QTest::newRow("mnuall") << "mnuall" << "同一日の複数データを一括入力(&Z)..." << none;
    QTest::newRow("datup") << "datup" << "データの並び順を上へ(&U)" << none;
    QTest::newRow("datdown") << "datdown" << "データの並び順を下へ(&W)" << none;
    QTest::newRow("mnunewcale") << "mnunewcale" << "新しいデータを追加(&N)..." << QKeySequence("Ctrl+N");
    QTest::newRow("changename") << "changename" << "表示中のデータの名前を変更(&R)..." << QKeySequence("Ctrl+R");
    QTest::newRow("delcale") << "delcale" << "表示中のデータを削除(&D)..." << QKeySequence("Ctrl+D");
    QTest::newRow("countall") << "countall" << "全期間を集計(&A)..." << none;
    QTest::newRow("countpart") << "countpart" << "範囲を指定して集計(&P)..." << none;
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
    if (!m_window)
        QVERIFY(openWindow());
    QAction *a = m_window->findChild<QAction *>(name);
    QVERIFY(a);
    QCOMPARE(a->text(), text);
    QCOMPARE(a->shortcut(), shortcut);
}

void TestMainWindow::exitSavesLikeClosing()
{
    QVERIFY(openWindow());
    clickDay(11, Qt::RightButton);
    // Ctrl+T from the keyboard reaches "今月を表示" and saves the year first.
    QTest::keyClick(m_window, Qt::Key_T, Qt::ControlModifier);
    QCOMPARE(readFile(file("カレンダー1")), kHeader + record(2026, {{3, 11, Batu}}));
    clickDay(12, Qt::RightButton);
    action("Exit1")->trigger();
    QVERIFY(!m_window->isVisible());
    QCOMPARE(readFile(file("カレンダー1")), kHeader + record(2026, {{3, 11, Batu}, {3, 12, Batu}}));
    QVERIFY(QFile::exists(m_folder + "hibisi.ini"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
