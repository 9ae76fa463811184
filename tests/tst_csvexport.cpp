// The CSV export of every calendar: its bytes for a folder of fixtures, fields
// quoted as RFC 4180 has it, a table read back that says what the files say, and
// a save that never leaves a file half written.
#include "storage/CsvExport.h"
#include "storage/WholeFile.h"

#include "storage/FileError.h"

#include "TestFiles.h"

#include <QDate>
#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <map>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace hibi;
using namespace hibi::test;

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

// The byte of a day in a year record, worked out from the layout alone.
int dayByte(int year, int month, int day)
{
    return 2 + (month - 1) * 42 + QDate(year, month, 1).dayOfWeek() % 7 + day - 1;
}

// Reads a CSV file the way a spreadsheet program does: fields separated by
// commas, a quoted field may hold commas, line breaks and doubled quotes.
QList<QStringList> parseCsv(const QByteArray &bytes)
{
    QList<QStringList> rows;
    const QString text = QString::fromUtf8(bytes);
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row << field;
            field.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            row << field;
            rows << row;
            row.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty())
        rows << (row << field);   // a last row without its line end
    return rows;
}

} // namespace

class TestCsvExport : public QObject
{
    Q_OBJECT

private slots:
    void fieldsAreQuotedWhenNeeded_data();
    void fieldsAreQuotedWhenNeeded();
    void fixtureFolderByteForByte();
    void noCalendarsOrNoMarks();
    void readBackMatchesTheFiles();
    void saveReplacesTheWholeFile();
    void saveFailsWithoutTouchingTheOldFile_data();
    void saveFailsWithoutTouchingTheOldFile();
    void fullDiskLeavesTheOldFile();
};

void TestCsvExport::fieldsAreQuotedWhenNeeded_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("field");
    QTest::newRow("plain") << "仕事" << QByteArray("仕事");
    QTest::newRow("empty") << "" << QByteArray();
    QTest::newRow("blanks are kept as they are") << " a b " << QByteArray(" a b ");
    QTest::newRow("comma") << "仕事,家" << QByteArray("\"仕事,家\"");
    QTest::newRow("quote doubled") << "say \"hi\"" << QByteArray("\"say \"\"hi\"\"\"");
    QTest::newRow("quote alone") << "\"" << QByteArray("\"\"\"\"");
    QTest::newRow("CR LF") << "一\r\n二" << QByteArray("\"一\r\n二\"");
    QTest::newRow("LF") << "一\n二" << QByteArray("\"一\n二\"");
    QTest::newRow("CR") << "一\r二" << QByteArray("\"一\r二\"");
    QTest::newRow("semicolon and tab need nothing") << "a;b\tc" << QByteArray("a;b\tc");
}

void TestCsvExport::fieldsAreQuotedWhenNeeded()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, field);
    QCOMPARE(CsvField(text), field);
}

// Five calendars in list order: records out of year order, a year stored twice,
// a stray byte in a cell without a day and a value that is no mark, a record cut
// short by the end of the file, a calendar without a file, one whose file cannot
// be read, and a name with a comma and quotes.
void TestCsvExport::fixtureFolderByteForByte()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + '/';

    QByteArray clinic = header() + record(2026, {{3, 10, 1}, {3, 11, 2}}) + record(2025, {{12, 31, 3}})
            + record(2024, {{2, 29, 1}}).left(300);   // cut short: never a whole record
    writeFile(folder + "通院.hsd", clinic);
    writeFile(folder + "work.hsd", header() + record(2026, {{1, 1, 2}, {3, 11, 1}}));
    QVERIFY(QDir().mkdir(folder + "壊れた.hsd"));
    QByteArray first2026 = record(2026, {{3, 10, 3}, {2, 28, 1}});
    first2026[2 + 42 * 1 + 30] = 1;                    // February 2026 has no 31st cell: not a day
    first2026[dayByte(2026, 3, 20)] = 7;               // no mark
    writeFile(folder + "ジョギング.hsd", header(0) + first2026 + record(2026, {{3, 12, 1}}));

    const QString oddName = QStringLiteral("仕事,\"本業\"");
    const CsvExport result = ExportCsv({{"通院", folder + "通院.hsd"},
                                        {oddName, folder + "work.hsd"},
                                        {"壊れた", folder + "壊れた.hsd"},
                                        {"ジョギング", folder + "ジョギング.hsd"},
                                        {"空", folder + "空.hsd"}});

    const QByteArray expected = kBom
            + "日付,通院,\"仕事,\"\"本業\"\"\",ジョギング,空\r\n"
              "2025-12-31,△,,,\r\n"
              "2026-01-01,,×,,\r\n"
              "2026-02-28,,,○,\r\n"
              "2026-03-10,○,,△,\r\n"
              "2026-03-11,×,○,,\r\n";
    QCOMPARE(result.bytes, expected);
    QCOMPARE(result.unreadable.size(), 1);
    QCOMPARE(result.unreadable[0].name, "壊れた");
    QCOMPARE(result.unreadable[0].message, FileError::cannotOpen(folder + "壊れた.hsd").message());
}

void TestCsvExport::noCalendarsOrNoMarks()
{
    QTemporaryDir dir;
    writeFile(dir.filePath("a.hsd"), header() + record(2026));
    QCOMPARE(ExportCsv({}).bytes, kBom + "日付\r\n");
    QCOMPARE(ExportCsv({{"a", dir.filePath("a.hsd")}, {"b", dir.filePath("b.hsd")}}).bytes, kBom + "日付,a,b\r\n");
    // Only a header word, or nothing at all: no records, no rows.
    writeFile(dir.filePath("c.hsd"), header());
    writeFile(dir.filePath("d.hsd"), QByteArray());
    const CsvExport result = ExportCsv({{"c", dir.filePath("c.hsd")}, {"d", dir.filePath("d.hsd")}});
    QCOMPARE(result.bytes, kBom + "日付,c,d\r\n");
    QVERIFY(result.unreadable.isEmpty());
}

// Random marks over several years of several calendars, read back as a
// spreadsheet program reads the file: every mark of every file is in its cell,
// every other cell is empty, and no date without a mark has a row.
void TestCsvExport::readBackMatchesTheFiles()
{
    QTemporaryDir dir;
    QRandomGenerator random(20260310);
    const QStringList names{"A,B", "改行\r\nあり", "\"引用\"", "普通"};
    // date → name → mark, as put into the files
    std::map<QDate, std::map<QString, int>> marks;
    QList<CalendarSource> calendars;
    for (qsizetype n = 0; n < names.size(); ++n) {
        QByteArray bytes = header();
        for (int year : {2031, 1999, 2000, 2024}) {
            QByteArray r = record(year);
            for (QDate d(year, 1, 1); d.year() == year; d = d.addDays(1)) {
                const int mark = random.bounded(12) < 9 ? 0 : random.bounded(1, 4);
                r[dayByte(year, d.month(), d.day())] = char(mark);
                if (mark)
                    marks[d][names[n]] = mark;
            }
            bytes += r;
        }
        const QString path = dir.filePath(QStringLiteral("%1.hsd").arg(n));
        writeFile(path, bytes);
        calendars << CalendarSource{names[n], path};
    }

    const CsvExport result = ExportCsv(calendars);
    QVERIFY(result.unreadable.isEmpty());
    QVERIFY(result.bytes.startsWith(kBom));
    QVERIFY(result.bytes.endsWith("\r\n"));
    const QList<QStringList> rows = parseCsv(result.bytes.mid(kBom.size()));
    QCOMPARE(rows.value(0), QStringList{"日付"} + names);
    QCOMPARE(rows.size() - 1, qsizetype(marks.size()));
    const QString glyphs[] = {QString(), "○", "×", "△"};
    auto expected = marks.begin();
    for (qsizetype i = 1; i < rows.size(); ++i, ++expected) {
        const QStringList &row = rows[i];
        QCOMPARE(row.value(0), expected->first.toString(Qt::ISODate));
        QCOMPARE(row.size(), names.size() + 1);
        for (qsizetype n = 0; n < names.size(); ++n) {
            const auto it = expected->second.find(names[n]);
            QCOMPARE(row[n + 1], glyphs[it == expected->second.end() ? 0 : it->second]);
        }
    }
}

void TestCsvExport::saveReplacesTheWholeFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("書き出し.csv");
    SaveWholeFile(path, "first,longer\r\n");
    QCOMPARE(readFile(path), QByteArray("first,longer\r\n"));
    SaveWholeFile(path, "second\r\n");
    QCOMPARE(readFile(path), QByteArray("second\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"書き出し.csv"});
}

void TestCsvExport::saveFailsWithoutTouchingTheOldFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("a folder under the name") << "folder";
    QTest::newRow("below a regular file") << "below file";
#ifdef Q_OS_UNIX
    QTest::newRow("a FIFO under the name") << "fifo";
#endif
}

void TestCsvExport::saveFailsWithoutTouchingTheOldFile()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QString path = dir.filePath("out.csv");
    if (kind == "folder") {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == "below file") {
        writeFile(dir.filePath("plain"), "keep");
        path = dir.filePath("plain/out.csv");
    } else {
#ifdef Q_OS_UNIX
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
    }
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    QString message;
    try {
        SaveWholeFile(path, "日付\r\n");
    } catch (const FileError &e) {
        message = e.message();
    }
    QCOMPARE(message, QStringLiteral("ファイル %1 を作成できません").arg(QDir::toNativeSeparators(path)));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
    if (kind == "fifo")
        QVERIFY(QFileInfo(path).exists() && !QFileInfo(path).isFile());
    if (kind == "below file")
        QCOMPARE(readFile(dir.filePath("plain")), QByteArray("keep"));
}

void TestCsvExport::fullDiskLeavesTheOldFile()
{
#ifndef Q_OS_UNIX
    QSKIP("needs a per-process file-size limit");
#else
    QTemporaryDir dir;
    const QString path = dir.filePath("out.csv");
    const QByteArray old = kBom + "日付,a\r\n2026-03-10,○\r\n";
    writeFile(path, old);
    const QByteArray big = kBom + "日付,a\r\n" + QByteArray(20000, 'x');

    QString message;
    writeOnFullDisk(4096, [&] { SaveWholeFile(path, big); }, message);

    QCOMPARE(message, FileError::cannotCreate(path).message());
    QCOMPARE(readFile(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.csv"});
    SaveWholeFile(path, big);   // room again: written whole
    QCOMPARE(readFile(path), big);
#endif
}

QTEST_GUILESS_MAIN(TestCsvExport)
#include "tst_csvexport.moc"
