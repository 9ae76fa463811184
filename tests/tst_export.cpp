// "CSV に書き出す": a file chooser, then one CSV file of every calendar in list
// order, what the files hold after the main window wrote its year back; a
// calendar that cannot be read is named afterwards, an existing file is replaced
// only when the user says so, and the program's own files never.
#include "WindowTest.h"

#include "settings/IniFile.h"
#include "storage/FileError.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>

using namespace hibi;
using namespace hibi::test;

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

// A name that needs quoting, from a file: Windows would allow no double quote.
#ifdef Q_OS_WIN
const QString kQuotedName = QStringLiteral("引用,です");
const QByteArray kQuotedField = "\"引用,です\"";
const QByteArray kQuotedNotesField = "\"引用,です メモ\"";
#else
const QString kQuotedName = QStringLiteral("引用\"です\"");
const QByteArray kQuotedField = "\"引用\"\"です\"\"\"";
const QByteArray kQuotedNotesField = "\"引用\"\"です\"\" メモ\"";
#endif

// Operates the next modal dialog of type T, waiting while another is on top.
template<typename T>
void whenModalOf(std::function<void(T *)> operate)
{
    auto *timer = new QTimer(&pendingOperators());
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, operate] {
        if (auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            operate(dialog);
        }
    });
    timer->start();
}

} // namespace

class TestExport : public WindowTest
{
    Q_OBJECT

private slots:
    void menuItemSitsBeforeExit();
    void exportsEveryCalendarInListOrder();
    void replacesAFileOnlyWhenTold();
    void cancelWritesNothing();
    void unreadableCalendarIsNamedAndTheRestWritten();
    void fileThatCannotBeCreated();
    void neverOverTheProgramsOwnFiles_data();
    void neverOverTheProgramsOwnFiles();

private:
    // Runs the export from its menu item; the chooser gets `path` typed into its
    // name field and Enter, or Escape when `path` is empty. Returns the path the
    // chooser offered.
    QString exportTo(const QString &path, const std::function<void(QFileDialog *)> &beforeEnter = {});
    // A folder of calendars in a saved order, with marks in 2025 and 2026.
    void writeFixture();
    // The export of the fixture: the heading and `rows`; without the column of
    // "仕事,家" unless `withWork`.
    static QByteArray expectedCsv(const QList<QByteArray> &rows, bool withWork = true);
};

QString TestExport::exportTo(const QString &path, const std::function<void(QFileDialog *)> &beforeEnter)
{
    // What the chooser showed, checked once it is closed: a failed check inside
    // would leave it open.
    struct
    {
        bool ran = false;
        QString offered, title, filter;
        QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
        bool ownDialog = false;
    } seen;
    whenModalOf<QFileDialog>([&](QFileDialog *chooser) {
        seen.ran = true;
        [[maybe_unused]] const bool exposed = QTest::qWaitForWindowExposed(chooser);
        seen.offered = chooser->selectedFiles().value(0);
        seen.title = chooser->windowTitle();
        seen.filter = chooser->nameFilters().value(0);
        seen.mode = chooser->acceptMode();
        seen.ownDialog = chooser->testOption(QFileDialog::DontUseNativeDialog);
        savePicture(chooser, "export-chooser");
        auto *name = chooser->findChild<QLineEdit *>("fileNameEdit");
        if (!path.isEmpty() && name) {
            name->setText(path);
            if (beforeEnter)
                beforeEnter(chooser);
            keyClick(name, Qt::Key_Return);
        }
        if (chooser->isVisible())   // cancelled, or the answer was no: the chooser is still there
            keyClick(chooser, Qt::Key_Escape);
    });
    action("mnuexport")->trigger();
    [&] {
        QVERIFY(seen.ran);
        QCOMPARE(seen.title, "CSV に書き出す");
        QCOMPARE(seen.mode, QFileDialog::AcceptSave);
        QVERIFY(seen.ownDialog);
        QCOMPARE(seen.filter, "CSV ファイル (*.csv)");
    }();
    return seen.offered;
}

void TestExport::writeFixture()
{
    writeFile(file("通院"), kHeader + record(2026, {{3, 2, Maru}, {1, 5, Batu}}) + record(2025, {{12, 31, Sankaku}}));
    writeFile(file("仕事,家"), kHeader + record(2026, {{3, 2, Batu}, {2, 28, Maru}}));
    writeFile(file("ジョギング"), kHeader + record(2025, {{12, 31, Maru}, {1, 1, Maru}}));
    writeFile(file(kQuotedName), kHeader + record(2026, {{3, 3, Sankaku}}));
    // The saved order leaves the last calendar to be appended as found.
    IniFile ini;
    ini.writeInteger("dat", "num", 3);
    ini.writeString("dat", "0", "ジョギング");
    ini.writeString("dat", "1", "通院");
    ini.writeString("dat", "2", "仕事,家");
    ini.writeString("cale", "file", "通院");
    ini.save(iniPath());
}

QByteArray TestExport::expectedCsv(const QList<QByteArray> &rows, bool withWork)
{
    QByteArray csv = kBom + "日付,ジョギング,ジョギング メモ,通院,通院 メモ,"
            + (withWork ? "\"仕事,家\",\"仕事,家 メモ\"," : "") + kQuotedField + ',' + kQuotedNotesField + "\r\n";
    for (const QByteArray &row : rows)
        csv += row + "\r\n";
    return csv;
}

void TestExport::menuItemSitsBeforeExit()
{
    QVERIFY(openWindow());
    QMenu *calendar = nullptr;
    for (QAction *a : window()->menuBar()->actions())
        if (a->text() == "カレンダー(&C)")
            calendar = a->menu();
    QVERIFY(calendar);
    QStringList items;
    for (QAction *a : calendar->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    QCOMPARE(items, (QStringList{"thismonth", "mnujump", "-", "mnuundo", "mnuredo", "-", "settei", "-", "mnuexport", "mnuprint", "mnurestore", "-", "Exit1"}));
    QCOMPARE(action("mnuexport")->text(), "CSV に書き出す(&E)...");
}

// The calendars in the list's order (the saved order, then the others), today's
// ○ set a moment ago included: it was written back before the files were read.
void TestExport::exportsEveryCalendarInListOrder()
{
    writeFixture();
    // Notes go in a column after their calendar's marks, on days with marks or without.
    writeFile(folder() + "通院.notes", "2026-03-02\t朝,\\n\"薬\"\n2026-04-01\t予約\n");
    QVERIFY(openWindow());
    QCOMPARE(window()->calendar().CurrentCalendarName(), "通院");
    clickDay(10);
    const QString target = folder() + "書き出し/表.csv";
    QVERIFY(QDir().mkpath(folder() + "書き出し"));
    const QString offered = exportTo(target);

    QCOMPARE(QFileInfo(offered).fileName(), "ヒビシルシ.csv");
    QCOMPARE(readFile(target), expectedCsv({"2025-01-01,○,,,,,,,",
                                            "2025-12-31,○,,△,,,,,",
                                            "2026-01-05,,,×,,,,,",
                                            "2026-02-28,,,,,○,,,",
                                            "2026-03-02,,,○,\"朝,\n\"\"薬\"\"\",×,,,",
                                            "2026-03-03,,,,,,,△,",
                                            "2026-03-10,,,○,,,,,",
                                            "2026-04-01,,,,予約,,,,"}));
    QCOMPARE(messages().texts(), QStringList{QStringLiteral("%1 に書き出しました。").arg(QDir::toNativeSeparators(target))});
    QCOMPARE(messages().boxes[0].kind, MessageBoxes::Kind::Information);
    QCOMPARE(QDir(folder() + "書き出し").entryList(QDir::Files | QDir::Hidden), QStringList{"表.csv"});
    // The main window stays where it was; the next export starts in the same folder.
    QCOMPARE(window()->calendar().DisplayMonth(), 3);
    QCOMPARE(markOf(3, 10), std::uint8_t(Maru));
    QCOMPARE(QFileInfo(exportTo(QString())).absoluteFilePath(), folder() + "書き出し/ヒビシルシ.csv");
}

void TestExport::replacesAFileOnlyWhenTold()
{
    writeFixture();
    QVERIFY(openWindow());
    const QString target = folder() + "old.csv";
    writeFile(target, "the user's own table");
    for (bool replace : {false, true}) {
        messages().boxes.clear();
        QString question;
        exportTo(target, [&](QFileDialog *) {
            whenModalOf<QMessageBox>([&, replace](QMessageBox *box) {
                question = box->text();
                mouseClick(box->button(replace ? QMessageBox::Yes : QMessageBox::No), Qt::LeftButton);
            });
        });
        QVERIFY2(question.contains("old.csv"), qPrintable(question));
        if (!replace) {
            QCOMPARE(readFile(target), QByteArray("the user's own table"));
            QVERIFY(messages().boxes.isEmpty());
        }
    }
    QCOMPARE(readFile(target), expectedCsv({"2025-01-01,○,,,,,,,",
                                            "2025-12-31,○,,△,,,,,",
                                            "2026-01-05,,,×,,,,,",
                                            "2026-02-28,,,,,○,,,",
                                            "2026-03-02,,,○,,×,,,",
                                            "2026-03-03,,,,,,,△,"}));
    QCOMPARE(messages().boxes.size(), 1);
}

void TestExport::cancelWritesNothing()
{
    writeFixture();
    QVERIFY(openWindow());
    const QStringList before = QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    clickDay(10);
    exportTo(QString());
    QVERIFY(messages().boxes.isEmpty());
    QCOMPARE(QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
}

// A calendar whose file became a folder: the others are written, and one message
// names it afterwards.
void TestExport::unreadableCalendarIsNamedAndTheRestWritten()
{
    writeFixture();
    QVERIFY(openWindow());
    QVERIFY(QFile::remove(file("仕事,家")));
    QVERIFY(QDir().mkdir(file("仕事,家")));
    const QString target = folder() + "out.csv";
    exportTo(target);

    QCOMPARE(readFile(target), expectedCsv({"2025-01-01,○,,,,,",
                                            "2025-12-31,○,,△,,,",
                                            "2026-01-05,,,×,,,",
                                            "2026-03-02,,,○,,,",
                                            "2026-03-03,,,,,△,"},
                                           false));
    QCOMPARE(messages().boxes.size(), 1);
    QCOMPARE(messages().boxes[0].kind, MessageBoxes::Kind::Error);
    QCOMPARE(messages().texts()[0],
             QStringLiteral("%1 に書き出しましたが、次のデータは読み込めなかったため入っていません。\r\n・仕事,家（%2）")
                     .arg(QDir::toNativeSeparators(target), FileError::cannotOpen(file("仕事,家")).message()));
}

void TestExport::fileThatCannotBeCreated()
{
    writeFixture();
    QVERIFY(openWindow());
    writeFile(folder() + "plain", "keep");
    const QString target = folder() + "plain/out.csv";
    exportTo(target);
    QCOMPARE(messages().texts(), QStringList{FileError::cannotCreate(target).message()});
    QCOMPARE(readFile(folder() + "plain"), QByteArray("keep"));
}

// The settings file, a calendar (also one not made yet), a backup, however the
// path leads there: refused inside the chooser before it asks to replace
// anything, and the chooser stays open with the name.
void TestExport::neverOverTheProgramsOwnFiles_data()
{
    QTest::addColumn<QString>("typed");    // relative to the program's folder
    QTest::addColumn<QString>("written");  // the file that must stay as it is
    QTest::newRow("a calendar") << "ジョギング.hsd" << "ジョギング.hsd";
    QTest::newRow("the settings file") << "hibisi.ini" << "hibisi.ini";
    QTest::newRow("a link to a calendar") << "links/link.csv" << "ジョギング.hsd";
    QTest::newRow("a link to the program's folder") << "links/folder/通院.hsd" << "通院.hsd";
    QTest::newRow("a link to a calendar without a file") << "links/new.csv" << "";
    QTest::newRow("a backup") << "backup/2026-03-10/通院.hsd" << "backup/2026-03-10/通院.hsd";
}

void TestExport::neverOverTheProgramsOwnFiles()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    writeFixture();
    QVERIFY(QDir().mkpath(folder() + "links"));
    QVERIFY(QFile::link(file("ジョギング"), folder() + "links/link.csv"));
    QVERIFY(QFile::link(folder(), folder() + "links/folder"));
    QVERIFY(QFile::link(file("まだない"), folder() + "links/new.csv"));
    QVERIFY(QDir().mkpath(folder() + "backup/2026-03-10"));
    writeFile(folder() + "backup/2026-03-10/通院.hsd", kHeader + record(2024));
    QVERIFY(openWindow());
    const QByteArray before = written.isEmpty() ? QByteArray() : readFile(folder() + written);
    const QString target = folder() + typed;

    bool asked = false;
    QString nameAfter;
    bool openAfter = false;
    MaybeModal question([&](QWidget *dialog) {
        if (qobject_cast<QMessageBox *>(dialog)) {
            asked = true;
            keyClick(dialog, Qt::Key_Escape);
        }
    });
    whenModalOf<QFileDialog>([&](QFileDialog *chooser) {
        auto *name = chooser->findChild<QLineEdit *>("fileNameEdit");
        name->setText(target);
        keyClick(name, Qt::Key_Return);
        openAfter = chooser->isVisible();
        nameAfter = chooser->selectedFiles().value(0);
        keyClick(chooser, Qt::Key_Escape);
    });
    action("mnuexport")->trigger();
    QVERIFY(!asked);
    QVERIFY(openAfter);
    QCOMPARE(nameAfter, target);
    QCOMPARE(messages().texts(),
             QStringList{QStringLiteral("%1 はヒビシルシのデータか設定のファイルなので、書き出し先にできません。")
                                 .arg(QDir::toNativeSeparators(target))});
    if (written.isEmpty())
        QVERIFY(!QFile::exists(file("まだない")));
    else
        QCOMPARE(readFile(folder() + written), before);
}

QTEST_MAIN(TestExport)
#include "tst_export.moc"
