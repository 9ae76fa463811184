#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "storage/FileError.h"

#include "TestFiles.h"

#include <QDir>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <variant>

using namespace hibi;
using namespace hibi::test;

static QByteArray cp932(const QString &text)
{
    QStringEncoder encoder("CP932");
    return encoder.encode(text);
}

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void defaultsOnFirstStart();
    void storedValuesAreRead();
    void savedOrder_data();
    void savedOrder();
    void closeWriteOnNewFile();
    void closeWriteRemovesStaleNames_data();
    void closeWriteRemovesStaleNames();
    void appearanceWriteOrder();
    void everyKeyRoundTrips();
    void storeWritesEachWriterOnce();
    void unreadableFileIsNeverWrittenOver();
};

void TestSettings::defaultsOnFirstStart()
{
    const ProgramSettings s = DefaultSettings();
    QCOMPARE(s.bounds, (WindowBounds{100, 200, 325, 330}));
    QCOMPARE(s.bulkBounds, (WindowBounds{100, 200, 300, 400}));
    QCOMPARE(s.nameHeight, 12);
    QCOMPARE(s.lastCalendar, QStringLiteral("カレンダー1"));
    QVERIFY(s.calendarOrder.isEmpty());
    const Appearance &a = s.appearance;
    QCOMPARE(a.WindowColor, Color(0xFFA64D));
    QCOMPARE(a.YoubiFont, (Tdayfont{12, QStringLiteral("ＭＳ Ｐゴシック"), {true, false, false, false}, clBlack, clBlack}));
    QCOMPARE(a.DayFont, (Tdayfont{12, QStringLiteral("ＭＳ Ｐゴシック"), {true, false, false, false}, clRed, clBlack}));
    QCOMPARE(a.NenFont, (Tnenfont{18, QStringLiteral("ＭＳ Ｐゴシック"), {true, false, false, false}, clBlack}));
    QCOMPARE(a.YoubiHolidayBack, clRed);
    QCOMPARE(a.YoubiWeekdayBack, Color(0x00FF80));
    QCOMPARE(a.DayHolidayBack, clWhite);
    QCOMPARE(a.DayWeekdayBack, clWhite);
    QCOMPARE(a.YohakuBack, clSilver);
    QCOMPARE(a.MaruColor, Color(0x808040));
    QCOMPARE(a.BatuColor, Color(0x004080));
    QCOMPARE(a.SankakuColor, Color(0x0080FF));
    QCOMPARE(a.MarkLineWidth, 3);
    QCOMPARE(a.TodayMarkOn, true);
    QCOMPARE(a.TodayColor, clBlue);
    QCOMPARE(a.TodayLineWidth, 5);
    QCOMPARE(a.HolidayLaw, false);   // the fixed table's holidays
}

void TestSettings::storedValuesAreRead()
{
    const IniFile ini(cp932(QStringLiteral(
            "[POS]\r\nTop=15\r\nleft=25\r\nheight=400\r\nwidth=500\r\nnameheight=16\r\ncolor=clAqua\r\n"
            "[dayfont]\r\nsize=20\r\nholidaycolor=$00123456\r\nname=游ゴシック\r\nstylebold=0\r\nstyleitalic=5\r\n"
            "[Nenfont]\r\nColor=clred\r\nstylesout=1\r\nsize=abc\r\n"
            "[backcolor]\r\nlinewidth=20\r\nmaru=garbage\r\nyohaku=clCream\r\n"
            "[today]\r\nset=0\r\nwidth=15\r\n"
            "[cale]\r\nfile=仕事\r\n"
            "[dat]\r\nnum=2\r\n0=仕事\r\n1=趣味\r\n2=stale\r\n"
            "[posb]\r\nwidth=$1F4\r\n"
            "[HIBI]\r\nHolidays=1\r\n")));
    const ProgramSettings s = ReadSettings(ini);
    QCOMPARE(s.bounds, (WindowBounds{15, 25, 400, 500}));
    QCOMPARE(s.nameHeight, 16);
    QCOMPARE(s.appearance.WindowColor, clAqua);
    QCOMPARE(s.appearance.DayFont, (Tdayfont{20, QStringLiteral("游ゴシック"), {false, true, false, false}, 0x123456, clBlack}));
    QCOMPARE(s.appearance.NenFont, (Tnenfont{18, QStringLiteral("ＭＳ Ｐゴシック"), {true, false, false, true}, clRed}));
    QCOMPARE(s.appearance.MarkLineWidth, 20);          // the dialog, not the file, keeps it in range
    QCOMPARE(s.appearance.MaruColor, Color(0x808040)); // unconvertible colour: the default
    QCOMPARE(s.appearance.YohakuBack, clCream);
    QCOMPARE(s.appearance.TodayMarkOn, false);
    QCOMPARE(s.appearance.TodayLineWidth, 15);
    QCOMPARE(s.lastCalendar, QStringLiteral("仕事"));
    QCOMPARE(s.calendarOrder, (QStringList{"仕事", "趣味"}));
    QCOMPARE(s.bulkBounds, (WindowBounds{100, 200, 300, 500}));
    QCOMPARE(s.appearance.HolidayLaw, true);
}

void TestSettings::savedOrder_data()
{
    QTest::addColumn<QByteArray>("dat");
    QTest::addColumn<QStringList>("order");
    // Missing numbers and empty names match no calendar file, so they are left out.
    QTest::newRow("num 3, key 1 missing") << QByteArray("num=3\r\n0=a\r\n2=c\r\n") << QStringList{"a", "c"};
    QTest::newRow("without num one name is read") << QByteArray("0=a\r\n1=b\r\n") << QStringList{"a"};
    QTest::newRow("in number order, not file order") << QByteArray("num=3\r\n2=c\r\n0=a\r\n1=b\r\n") << QStringList{"a", "b", "c"};
    QTest::newRow("the first of equal numbers") << QByteArray("num=2\r\n0=a\r\n0=x\r\n1=b\r\n") << QStringList{"a", "b"};
    QTest::newRow("empty names and odd keys") << QByteArray("num=4\r\n0=\r\n01=x\r\n+2=y\r\n3=d\r\n") << QStringList{"d"};
    QTest::newRow("negative num") << QByteArray("num=-4\r\n0=a\r\n") << QStringList();
    QTest::newRow("huge num, one high key") << QByteArray("num=2147483647\r\n2147483646=x\r\n") << QStringList{"x"};
}

void TestSettings::savedOrder()
{
    QFETCH(QByteArray, dat);
    QFETCH(QStringList, order);
    QCOMPARE(ReadSettings(IniFile("[dat]\r\n" + dat)).calendarOrder, order);
}

void TestSettings::closeWriteOnNewFile()
{
    IniFile ini;
    ProgramSettings s = DefaultSettings();
    s.bounds = {10, 20, 300, 400};
    s.nameHeight = 14;
    s.lastCalendar = QStringLiteral("B");
    s.calendarOrder = QStringList{"A", "B"};
    WriteSettings(ini, s, SettingsWriter::Close);
    QCOMPARE(ini.toBytes(), QByteArray("[pos]\r\ntop=10\r\nleft=20\r\nheight=300\r\nwidth=400\r\nnameheight=14\r\n"
                                       "\r\n[cale]\r\nfile=B\r\n"
                                       "\r\n[dat]\r\nnum=2\r\n0=A\r\n1=B\r\n"));
}

void TestSettings::closeWriteRemovesStaleNames_data()
{
    QTest::addColumn<int>("oldNum");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<QStringList>("keysAfter");

    QTest::newRow("five to three") << 5 << QStringList{"a", "b", "c"} << QStringList{"num", "0", "1", "2"};
    QTest::newRow("five to two") << 5 << QStringList{"a", "b"} << QStringList{"num", "0", "1"};
    QTest::newRow("keys at or past old num stay") << 3 << QStringList{"a"} << QStringList{"num", "0", "3", "4"};
    QTest::newRow("old num 0 deletes nothing") << 0 << QStringList{"a"} << QStringList{"num", "0", "1", "2", "3", "4"};
    QTest::newRow("growing") << 5 << QStringList{"a", "b", "c", "d", "e", "f"}
                             << QStringList{"num", "0", "1", "2", "3", "4", "5"};
}

void TestSettings::closeWriteRemovesStaleNames()
{
    QFETCH(int, oldNum);
    QFETCH(QStringList, order);
    QFETCH(QStringList, keysAfter);
    IniFile ini(QByteArray("[dat]\r\nnum=") + QByteArray::number(oldNum) + "\r\n0=v\r\n1=w\r\n2=x\r\n3=y\r\n4=z\r\n[posb]\r\ntop=1\r\n");
    ProgramSettings s = DefaultSettings();
    s.calendarOrder = order;
    WriteSettings(ini, s, SettingsWriter::Close);
    QStringList keys;
    for (const QString &k : ini.keys("dat"))
        keys << k;
    QCOMPARE(keys, keysAfter);
    QCOMPARE(ini.readInteger("dat", "num", -1), int(order.size()));
    for (int i = 0; i < order.size(); ++i)
        QCOMPARE(ini.readString("dat", QString::number(i), QString()), order[i]);
    QCOMPARE(ini.readInteger("posb", "top", 0), 1);
}

void TestSettings::appearanceWriteOrder()
{
    IniFile ini(QByteArray("[pos]\r\ntop=5\r\nleft=6\r\nheight=7\r\nwidth=8\r\n"));
    ProgramSettings s = DefaultSettings();
    s.appearance.YoubiHolidayBack = 0x123456;
    WriteSettings(ini, s, SettingsWriter::Dialog);
    const QString expected = QStringLiteral(
            "[pos]\r\ntop=5\r\nleft=6\r\nheight=7\r\nwidth=8\r\ncolor=$00FFA64D\r\n"
            "\r\n[youbifont]\r\nsize=12\r\nholidaycolor=clBlack\r\nweekdaycolor=clBlack\r\nname=ＭＳ Ｐゴシック\r\n"
            "stylebold=1\r\nstyleitalic=0\r\nstyleuline=0\r\nstylesout=0\r\n"
            "\r\n[dayfont]\r\nsize=12\r\nholidaycolor=clRed\r\nweekdaycolor=clBlack\r\nname=ＭＳ Ｐゴシック\r\n"
            "stylebold=1\r\nstyleitalic=0\r\nstyleuline=0\r\nstylesout=0\r\n"
            "\r\n[backcolor]\r\nyoubiholiday=$00123456\r\nyoubiweekday=$0000FF80\r\ndayholiday=clWhite\r\n"
            "dayweekday=clWhite\r\nyohaku=clSilver\r\nmaru=$00808040\r\nbatu=$00004080\r\nsankaku=$000080FF\r\n"
            "linewidth=3\r\n"
            "\r\n[nenfont]\r\nsize=18\r\ncolor=clBlack\r\nname=ＭＳ Ｐゴシック\r\n"
            "stylebold=1\r\nstyleitalic=0\r\nstyleuline=0\r\nstylesout=0\r\n"
            "\r\n[today]\r\nset=1\r\ncolor=clBlue\r\nwidth=5\r\n"
            "\r\n[hibi]\r\nholidays=0\r\n");
    QCOMPARE(ini.toBytes(), cp932(expected));
}

// Every key of the table, given a value other than its default, is written by its
// writer and read back; what the program does not write keeps its bytes.
void TestSettings::everyKeyRoundTrips()
{
    ProgramSettings s = DefaultSettings();
    int n = 0;
    for (const SettingsKey &k : SettingsKeys()) {
        ++n;
        std::visit([&](auto field) {
            auto &value = field(s);
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, bool>)
                value = !value;
            else if constexpr (std::is_same_v<T, QString>)
                value = QStringLiteral("値%1～①").arg(n);   // CP932's own tilde and a Windows extension
            else
                value = T(value + 1000 + n);
        }, k.field);
    }
    s.calendarOrder = QStringList{"仕事", "趣味"};

    // Unknown keys, a comment and a code that does not survive decoding (87 90).
    const QByteArray untouched = QByteArray("; \x83\x81\x83\x82\r\n[mine]\r\nkey=\x87\x90\r\n[pos]\r\nzoom=3\r\n");
    IniFile ini(untouched);
    for (SettingsWriter writer : kSettingsWriters)
        WriteSettings(ini, s, writer);
    const QByteArray bytes = ini.toBytes();
    QVERIFY(bytes.startsWith(untouched));
    QCOMPARE(ReadSettings(IniFile(bytes)), s);

    // Each section holds the table's keys in the table's order.
    for (const char *name : {"pos", "youbifont", "dayfont", "nenfont", "backcolor", "today", "cale", "posb", "help", "chart",
                             "hibi"}) {
        const QString section = QLatin1String(name);
        QStringList expected = section == QLatin1String("pos") ? QStringList{"zoom"} : QStringList();
        for (const SettingsKey &k : SettingsKeys())
            if (section == QLatin1String(k.section))
                expected << QLatin1String(k.key);
        QStringList written;
        for (const QString &key : ini.keys(section))
            written << key;
        if (section == QLatin1String("pos"))   // the dialog's colour follows the close's keys
            expected.move(expected.indexOf("color"), expected.size() - 1);
        QCOMPARE(written, expected);
    }
}

void TestSettings::storeWritesEachWriterOnce()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("hibisi.ini");
    SettingsStore store(path);
    ProgramSettings s = store.load();   // no file: the defaults
    QCOMPARE(s, DefaultSettings());
    QVERIFY(store.canWrite());
    QVERIFY(!QFile::exists(path));

    s.calendarOrder = QStringList{"A"};
    s.lastCalendar = "A";
    store.save(s, SettingsWriter::Close);
    const QByteArray afterClose = readFile(path);
    s.bulkBounds = {11, 22, 333, 444};
    store.save(s, SettingsWriter::Bulk);
    QCOMPARE(readFile(path), afterClose + "\r\n[posb]\r\ntop=11\r\nleft=22\r\nheight=333\r\nwidth=444\r\n");
    QCOMPARE(SettingsStore(path).load(), s);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"hibisi.ini"});
}

void TestSettings::unreadableFileIsNeverWrittenOver()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("hibisi.ini");
    QVERIFY(QDir().mkdir(path));   // exists, cannot be read as a file
    SettingsStore store(path);
    QCOMPARE(store.load(), DefaultSettings());
    QCOMPARE(store.loadProblem().value_or(QString()), FileError::cannotOpen(path).message());
    QVERIFY(!store.canWrite());
    // Readable again later: still nothing is written, since the program runs with defaults.
    QVERIFY(QDir().rmdir(path));
    writeFile(path, "[dat]\r\nnum=1\r\n0=mine\r\n");
    store.save(DefaultSettings(), SettingsWriter::Close);
    QCOMPARE(readFile(path), QByteArray("[dat]\r\nnum=1\r\n0=mine\r\n"));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
