#include "TestFiles.h"

#include "calendar/MonthGrid.h"
#include "storage/CalendarFile.h"
#include "storage/Catalogue.h"
#include "storage/FileError.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>


using namespace hibi;
using namespace hibi::test;

namespace {

QString fullPath(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

} // namespace

class TestCalendarFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void newCalendarFileIs508Bytes();
    void yearMarksTransposeToFileOrder();
    void saveWithoutMarksWritesNothing();
    void saveAppendsThenRewritesInPlace();
    void yearsKeepFirstSaveOrder();
    void headerSurvivesEverySave_data();
    void headerSurvivesEverySave();
    void shortTailIsOverwrittenByNextAppend();
    void day31OfMonthStartingSaturday();
    void writeDayMark();
    void loadLeavesBufferWhenNothingToRead();
    void loadReadsRecordCutShort();
    void firstOfDuplicateYearsWins();
    void recordsVisitedWholeOnly();
    void everyPrefixAndEveryByteIsSafe();
    void unopenableFile();
    void uncreatableFile();
    void fullDiskDuringAppendKeepsFile();
    void failingDeviceIsReported();
    void manyRecordsVisitedInFileOrder();
    void scanFindsCalendarFilesOnly();

private:
    QString path(const QString &name = QStringLiteral("A")) const { return CalendarFilePath(m_folder, name); }
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_folder;
};

void TestCalendarFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_folder = m_dir->path() + QLatin1Char('/');
}

void TestCalendarFile::newCalendarFileIs508Bytes()
{
    QCOMPARE(path(QStringLiteral("日記")), m_folder + QStringLiteral("日記.hsd"));
    CreateCalendarFile(path(), 2024, YearMarks());
    const QByteArray bytes = readFile(path());
    QCOMPARE(bytes.size(), 508);
    QCOMPARE(bytes, QByteArray::fromHex("6400e807") + QByteArray(504, '\0'));

    // Creating never truncates a file that is there: that may be another
    // calendar's file under a name that differs only in case.
    SaveYearMarks(path(), 2025, marksOf(2025, {{1, 1, Maru}}));
    const QByteArray saved = readFile(path());
    QVERIFY_THROWS_EXCEPTION(FileError, CreateCalendarFile(path(), 2026, YearMarks()));
    QCOMPARE(readFile(path()), saved);
}

void TestCalendarFile::yearMarksTransposeToFileOrder()
{
    // Memory is column by column, disk row by row: (month 3, col 2, row 5) is
    // memory byte 2*42 + 6*2 + 4 and file byte 2*42 + 4*7 + 2.
    YearMarks m;
    m.at(3, 2, 5) = Batu;
    const auto file = m.toFileOrder();
    QCOMPARE(file[2 * 42 + 4 * 7 + 2], std::uint8_t(Batu));
    QCOMPARE(std::count(file.begin(), file.end(), 0), 503);

    YearMarks back;
    back.fromFileOrder(file.data(), int(file.size()));
    QCOMPARE(back, m);
    QVERIFY(back.hasMarks());
    back.clear();
    QVERIFY(!back.hasMarks());
}

void TestCalendarFile::saveWithoutMarksWritesNothing()
{
    SaveYearMarks(path(), 2026, YearMarks());
    QVERIFY(!QFile::exists(path()));

    SaveYearMarks(path(), 2026, marksOf(2026, {{3, 20, Maru}}));
    SaveYearMarks(path(), 2027, YearMarks());
    QCOMPARE(readFile(path()), header() + record(2026, {{3, 20, Maru}}));

    // A year whose marks were all removed keeps its record, now all zeros.
    SaveYearMarks(path(), 2026, YearMarks());
    QCOMPARE(readFile(path()), header() + record(2026));
}

void TestCalendarFile::saveAppendsThenRewritesInPlace()
{
    SaveYearMarks(path(), 2024, marksOf(2024, {{12, 31, Maru}}));
    SaveYearMarks(path(), 2025, marksOf(2025, {{1, 1, Batu}, {2, 28, Sankaku}}));
    QCOMPARE(readFile(path()), header() + record(2024, {{12, 31, Maru}}) + record(2025, {{1, 1, Batu}, {2, 28, Sankaku}}));

    SaveYearMarks(path(), 2024, marksOf(2024, {{12, 30, Sankaku}}));
    QCOMPARE(readFile(path()), header() + record(2024, {{12, 30, Sankaku}}) + record(2025, {{1, 1, Batu}, {2, 28, Sankaku}}));

    QCOMPARE(ReadYearMarks(path(), 2025), marksOf(2025, {{1, 1, Batu}, {2, 28, Sankaku}}));
    QCOMPARE(ReadYearMarks(path(), 2024), marksOf(2024, {{12, 30, Sankaku}}));
    QCOMPARE(ReadYearMarks(path(), 2023), YearMarks());
}

void TestCalendarFile::yearsKeepFirstSaveOrder()
{
    for (int year : {2023, 2025, 2024})
        SaveYearMarks(path(), year, marksOf(year, {{6, 1, Maru}}));
    for (int year : {2024, 2023, 2025, 2024})
        SaveYearMarks(path(), year, marksOf(year, {{6, 2, Batu}}));
    QCOMPARE(readFile(path()), header() + record(2023, {{6, 2, Batu}}) + record(2025, {{6, 2, Batu}})
                     + record(2024, {{6, 2, Batu}}));
}

void TestCalendarFile::headerSurvivesEverySave_data()
{
    QTest::addColumn<int>("word");
    QTest::newRow("0") << 0;
    QTest::newRow("100") << 100;
    QTest::newRow("0xFFFF") << 0xFFFF;
    QTest::newRow("0x1234") << 0x1234;
}

void TestCalendarFile::headerSurvivesEverySave()
{
    QFETCH(int, word);
    writeFile(path(), header(word) + record(2020, {{5, 5, Maru}}));
    SaveYearMarks(path(), 2020, marksOf(2020, {{5, 6, Maru}}));
    SaveYearMarks(path(), 2021, marksOf(2021, {{5, 6, Maru}}));
    WriteDayMark(path(), 2022, 1, 1, Batu);
    QCOMPARE(readFile(path()).left(2), header(word));
    QCOMPARE(readFile(path()).size(), 2 + 3 * 506);
}

void TestCalendarFile::shortTailIsOverwrittenByNextAppend()
{
    // A tail shorter than 504 bytes never matches a year, even when it starts
    // with one, and the next append writes over it.
    const QByteArray tail = record(2030, {{1, 1, Maru}}).left(300);
    writeFile(path(), header() + record(2020) + tail);
    QCOMPARE(ReadYearMarks(path(), 2020), YearMarks());
    SaveYearMarks(path(), 2030, marksOf(2030, {{1, 2, Batu}}));
    QCOMPARE(readFile(path()), header() + record(2020) + record(2030, {{1, 2, Batu}}));

    // A year without marks and without a whole record writes nothing.
    writeFile(path(), header() + record(2020) + tail);
    SaveYearMarks(path(), 2031, YearMarks());
    QCOMPARE(readFile(path()), header() + record(2020) + tail);
}

void TestCalendarFile::day31OfMonthStartingSaturday()
{
    // January 2000 starts on a Saturday: the 31st is i = 36, row 6, column 1.
    QCOMPARE(CellOfDay(2000, 1, 31), (GridCell{1, 6}));
    WriteDayMark(path(), 2000, 1, 31, Sankaku);
    QByteArray expected = header() + record(2000);
    expected[2 + 2 + 36] = char(Sankaku);
    QCOMPARE(readFile(path()), expected);
    QCOMPARE(ReadYearMarks(path(), 2000).at(1, 1, 6), std::uint8_t(Sankaku));
}

void TestCalendarFile::writeDayMark()
{
    WriteDayMark(path(), 2026, 12, 10, Maru);
    QCOMPARE(readFile(path()), header() + record(2026, {{12, 10, Maru}}));

    // An existing record changes in one byte only, whatever else it holds.
    QByteArray withNoise = header() + record(2026, {{12, 10, Maru}});
    withNoise[2 + 2 + 503] = char(7);   // a value the program never writes stays as it is
    writeFile(path(), withNoise);
    WriteDayMark(path(), 2026, 2, 14, Batu);
    QByteArray expected = withNoise;
    expected[2 + 2 + 42 + 0 + 14 - 1] = char(Batu);   // February 2026 starts on a Sunday
    QCOMPARE(readFile(path()), expected);

    // Mark 0 into a year without a record still appends a full record of zeros.
    WriteDayMark(path(), 1999, 3, 3, NoMark);
    QCOMPARE(readFile(path()), expected + record(1999));
}

void TestCalendarFile::loadLeavesBufferWhenNothingToRead()
{
    YearMarks buffer = marksOf(2026, {{7, 7, Batu}});
    const YearMarks before = buffer;
    LoadYearMarks(path(), 2026, buffer);            // no file
    QCOMPARE(buffer, before);
    writeFile(path(), header() + record(2025, {{7, 7, Maru}}));
    LoadYearMarks(path(), 2026, buffer);            // no record
    QCOMPARE(buffer, before);
    LoadYearMarks(path(), 2025, buffer);
    QCOMPARE(buffer, marksOf(2025, {{7, 7, Maru}}));
}

void TestCalendarFile::loadReadsRecordCutShort()
{
    // The record of 2026 ends after its January block: January comes from the
    // file, the cells beyond keep what the buffer had.
    writeFile(path(), header() + record(2026, {{1, 5, Maru}, {2, 5, Maru}}).left(2 + 42));
    YearMarks buffer = marksOf(2026, {{1, 6, Batu}, {2, 6, Batu}});
    LoadYearMarks(path(), 2026, buffer);
    QCOMPARE(buffer, marksOf(2026, {{1, 5, Maru}, {2, 6, Batu}}));
}

void TestCalendarFile::firstOfDuplicateYearsWins()
{
    writeFile(path(), header() + record(2026, {{4, 1, Maru}}) + record(2026, {{4, 2, Batu}}));
    QCOMPARE(ReadYearMarks(path(), 2026), marksOf(2026, {{4, 1, Maru}}));
    SaveYearMarks(path(), 2026, marksOf(2026, {{4, 3, Sankaku}}));
    QCOMPARE(readFile(path()), header() + record(2026, {{4, 3, Sankaku}}) + record(2026, {{4, 2, Batu}}));
}

void TestCalendarFile::recordsVisitedWholeOnly()
{
    const QByteArray whole = header() + record(2023, {{1, 1, Maru}}) + record(1990, {{1, 1, Batu}});
    for (int extra : {0, 1, 2, 300, 504, 505}) {
        writeFile(path(), whole + record(2040, {{1, 1, Sankaku}}).left(extra));
        QList<int> years;
        int marks = 0;
        ForEachYearRecord(path(), [&](std::uint16_t year, const std::uint8_t *cells) {
            years << year;
            marks += int(std::count_if(cells, cells + 504, [](std::uint8_t m) { return m != 0; }));
        });
        QCOMPARE(years, (QList<int>{2023, 1990}));
        QCOMPARE(marks, 2);
    }
    for (const QByteArray &tiny : {QByteArray(), header()}) {
        writeFile(path(), tiny);
        int visits = 0;
        ForEachYearRecord(path(), [&](std::uint16_t, const std::uint8_t *) { ++visits; });
        QCOMPARE(visits, 0);
    }
}

void TestCalendarFile::everyPrefixAndEveryByteIsSafe()
{
    const QByteArray sample = header() + record(2023, {{1, 1, Maru}}) + record(2024, {{2, 29, Batu}})
            + record(2025, {{12, 31, Sankaku}});
    for (qsizetype len = 0; len <= sample.size(); ++len) {
        QByteArray bytes = sample.left(len);
        QBuffer device(&bytes);
        QVERIFY(device.open(QIODevice::ReadWrite));
        int visits = 0;
        QCOMPARE(ForEachRecordIn(device, [&](std::uint16_t, const std::uint8_t *) { ++visits; }), DeviceResult::Ok);
        QCOMPARE(visits, len >= 2 ? int((len - 2) / 506) : 0);
        YearMarks m;
        QCOMPARE(ReadYearFrom(device, 2025, m), DeviceResult::Ok);
        QCOMPARE(SaveYearTo(device, 2025, marksOf(2025, {{3, 3, Maru}})), DeviceResult::Ok);
        QCOMPARE(WriteDayMarkTo(device, 2026, 1, 1, Batu), DeviceResult::Ok);
        QCOMPARE(bytes.size() % 506, 2);   // both writes leave whole records behind
    }
    for (qsizetype at = 0; at < sample.size(); ++at)
        for (char value : {'\0', '\xFF'}) {
            QByteArray bytes = sample;
            bytes[at] = value;
            QBuffer device(&bytes);
            QVERIFY(device.open(QIODevice::ReadWrite));
            YearMarks m;
            QCOMPARE(ReadYearFrom(device, 2024, m), DeviceResult::Ok);
            QCOMPARE(SaveYearTo(device, 2024, m), DeviceResult::Ok);
        }
}

void TestCalendarFile::unopenableFile()
{
    // A folder where the file should be: root cannot open it either.
    QVERIFY(QDir().mkpath(path()));
    const QString message = QStringLiteral("ファイル %1 は開けません").arg(fullPath(path()));
    YearMarks buffer = marksOf(2026, {{1, 1, Maru}});
    const YearMarks before = buffer;
    auto expectOpenError = [&](const std::function<void()> &operation) {
        try {
            operation();
            QFAIL("no error raised");
        } catch (const FileError &e) {
            QCOMPARE(e.message(), message);
        }
    };
    expectOpenError([&] { LoadYearMarks(path(), 2026, buffer); });
    expectOpenError([&] { SaveYearMarks(path(), 2026, buffer); });
    expectOpenError([&] { WriteDayMark(path(), 2026, 1, 1, Batu); });
    expectOpenError([&] { ForEachYearRecord(path(), [](std::uint16_t, const std::uint8_t *) {}); });
    QCOMPARE(buffer, before);
}

void TestCalendarFile::uncreatableFile()
{
    // A path below a regular file cannot be created, not even by root.
    writeFile(m_folder + QStringLiteral("plain"), "x");
    const QString below = m_folder + QStringLiteral("plain/A.hsd");
    const QString message = QStringLiteral("ファイル %1 を作成できません").arg(fullPath(below));
    for (const auto &operation : std::vector<std::function<void()>>{
                 [&] { SaveYearMarks(below, 2026, marksOf(2026, {{1, 1, Maru}})); },
                 [&] { CreateCalendarFile(below, 2026, YearMarks()); },
                 [&] { WriteDayMark(below, 2026, 1, 1, Maru); }}) {
        try {
            operation();
            QFAIL("no error raised");
        } catch (const FileError &e) {
            QCOMPARE(e.message(), message);
        }
    }
    // Nothing to save and nothing to read is no error.
    SaveYearMarks(below, 2026, YearMarks());
    QCOMPARE(ReadYearMarks(below, 2026), YearMarks());
}

void TestCalendarFile::fullDiskDuringAppendKeepsFile()
{
#ifndef Q_OS_UNIX
    QSKIP("needs a per-process file-size limit");
#else
    const QByteArray before = header() + record(2024, {{1, 1, Maru}});
    writeFile(path(), before);

    // The append can only get part way.
    QString message;
    writeOnFullDisk(before.size() + 100, [&] { SaveYearMarks(path(), 2025, marksOf(2025, {{1, 1, Batu}})); }, message);

    QCOMPARE(message, QStringLiteral("ファイル %1 に書き込めません").arg(fullPath(path())));
    QCOMPARE(readFile(path()), before);
    // Once there is room again the same marks are saved.
    SaveYearMarks(path(), 2025, marksOf(2025, {{1, 1, Batu}}));
    QCOMPARE(readFile(path()), before + record(2025, {{1, 1, Batu}}));
#endif
}

// A device that fails every read or write after a given number of bytes.
class FailDevice : public QBuffer
{
public:
    FailDevice(QByteArray *bytes, qint64 readBudget, qint64 writeBudget)
        : QBuffer(bytes), m_read(readBudget), m_write(writeBudget) {}

protected:
    qint64 readData(char *data, qint64 len) override
    {
        if (m_read <= 0)
            return -1;
        const qint64 n = QBuffer::readData(data, std::min(len, m_read));
        m_read -= n;
        return n;
    }
    qint64 writeData(const char *data, qint64 len) override
    {
        if (m_write <= 0)
            return -1;
        const qint64 n = QBuffer::writeData(data, std::min(len, m_write));
        m_write -= n;
        return n;
    }

private:
    qint64 m_read;
    qint64 m_write;
};

void TestCalendarFile::failingDeviceIsReported()
{
    QByteArray bytes = header() + record(2024, {{1, 1, Maru}}) + record(2025);
    {
        FailDevice device(&bytes, 0, 1 << 20);
        QVERIFY(device.open(QIODevice::ReadWrite | QIODevice::Unbuffered));
        YearMarks m = marksOf(2025, {{2, 2, Batu}});
        const YearMarks before = m;
        QCOMPARE(ReadYearFrom(device, 2025, m), DeviceResult::ReadFailed);
        QCOMPARE(m, before);
        QCOMPARE(SaveYearTo(device, 2025, m), DeviceResult::ReadFailed);
        QCOMPARE(ForEachRecordIn(device, [](std::uint16_t, const std::uint8_t *) {}), DeviceResult::ReadFailed);
    }
    {
        FailDevice device(&bytes, 1 << 20, 100);
        QVERIFY(device.open(QIODevice::ReadWrite | QIODevice::Unbuffered));
        QCOMPARE(SaveYearTo(device, 2026, marksOf(2026, {{2, 2, Batu}})), DeviceResult::WriteFailed);
    }
}

void TestCalendarFile::manyRecordsVisitedInFileOrder()
{
    // More records than one block of reading holds, and a piece of one more.
    QByteArray bytes = header();
    QList<int> written;
    for (int k = 0; k < 1100; ++k) {
        written << 1 + (k * 37) % 9999;
        bytes += record(written.last(), {{1 + k % 12, 1 + k % 28, 1 + k % 3}});
    }
    bytes += record(2040).left(300);
    writeFile(path(), bytes);

    QList<int> years;
    QByteArray marks;
    ForEachYearRecord(path(), [&](std::uint16_t year, const std::uint8_t *cells) {
        years << year;
        marks += QByteArray(reinterpret_cast<const char *>(cells), 504);
    });
    QCOMPARE(years, written);
    QByteArray expectedMarks;
    for (int k = 0; k < 1100; ++k)
        expectedMarks += bytes.mid(2 + 506 * k + 2, 504);
    QCOMPARE(marks, expectedMarks);

    QByteArray blocks;
    ForEachRecordBlock(path(), [&](const std::uint8_t *records, qint64 count) {
        blocks += QByteArray(reinterpret_cast<const char *>(records), count * 506);
    });
    QCOMPARE(blocks, bytes.mid(2, 506 * 1100));

    // A year is found in any chunk the scan reads, its marks with it.
    for (int k : {0, 127, 128, 129, 1099})
        QCOMPARE(ReadYearMarks(path(), written[k]), marksOf(written[k], {{1 + k % 12, 1 + k % 28, 1 + k % 3}}));
    QCOMPARE(ReadYearMarks(path(), 2040), YearMarks());

    // The same records from a device that is not at its start, which skips the
    // header by seeking instead of reading it along.
    {
        QBuffer moved(&bytes);
        QVERIFY(moved.open(QIODevice::ReadOnly));
        QVERIFY(moved.seek(1000));
        QList<int> movedYears;
        QByteArray movedMarks;
        QCOMPARE(ForEachRecordIn(moved,
                                 [&](std::uint16_t year, const std::uint8_t *cells) {
                                     movedYears << year;
                                     movedMarks += QByteArray(reinterpret_cast<const char *>(cells), 504);
                                 }),
                 DeviceResult::Ok);
        QCOMPARE(movedYears, written);
        QCOMPARE(movedMarks, expectedMarks);
    }

    // A read that fails after the first block is reported.
    FailDevice device(&bytes, 1050 * 506, 0);
    QVERIFY(device.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    QCOMPARE(ForEachRecordIn(device, [](std::uint16_t, const std::uint8_t *) {}), DeviceResult::ReadFailed);
}

void TestCalendarFile::scanFindsCalendarFilesOnly()
{
    for (const char *name : {"b.hsd", "a.hsd", "日記.hsd", ".hsd", ".hidden.hsd", "B.hsd", "a b.hsd", "C.HSD", "c.Hsd",
                             "x.hsd.bak", "xhsd", "y.txt", "a.hs"})
        writeFile(m_folder + QString::fromUtf8(name), "");
    QVERIFY(QDir().mkpath(m_folder + "folder.hsd"));
    QCOMPARE(ScanCalendarFiles(m_folder),
             (QStringList{".hidden.hsd", ".hsd", "B.hsd", "a b.hsd", "a.hsd", "b.hsd", QStringLiteral("日記.hsd")}));
}

QTEST_GUILESS_MAIN(TestCalendarFile)
#include "tst_calendarfile.moc"
