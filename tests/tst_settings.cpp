#include "settings/IniFile.h"
#include "settings/Settings.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace hibi;

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
    void savedOrderWithGaps();
    void closeWriteOnNewFile();
    void closeWriteRemovesStaleNames_data();
    void closeWriteRemovesStaleNames();
    void appearanceWriteOrder();
    void appearanceRoundTrip();
    void bulkBoundsTouchOnlyPosb();
};

void TestSettings::defaultsOnFirstStart()
{
    const StartupSettings s = ReadStartupSettings(IniFile());
    QCOMPARE(s.bounds, (WindowBounds{100, 200, 325, 330}));
    QCOMPARE(s.nameHeight, 12);
    QCOMPARE(s.lastCalendar, QStringLiteral("カレンダー1"));
    QVERIFY(s.savedOrder.isEmpty());
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
            "[dat]\r\nnum=2\r\n0=仕事\r\n1=趣味\r\n2=stale\r\n")));
    const StartupSettings s = ReadStartupSettings(ini);
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
    QCOMPARE(s.savedOrder, (QStringList{"仕事", "趣味"}));
}

void TestSettings::savedOrderWithGaps()
{
    // num=3 with key 1 missing: the second name is empty and matches no file.
    QCOMPARE(ReadStartupSettings(IniFile("[dat]\r\nnum=3\r\n0=a\r\n2=c\r\n")).savedOrder, (QStringList{"a", "", "c"}));
    // Without num one name is read.
    QCOMPARE(ReadStartupSettings(IniFile("[dat]\r\n0=a\r\n1=b\r\n")).savedOrder, (QStringList{"a"}));
    // A huge num does not count through every index.
    QCOMPARE(ReadStartupSettings(IniFile("[dat]\r\nnum=2000000000\r\n1=b\r\n")).savedOrder, (QStringList{"", "b"}));
    QCOMPARE(ReadStartupSettings(IniFile("[dat]\r\nnum=-4\r\n0=a\r\n")).savedOrder, QStringList());
}

void TestSettings::closeWriteOnNewFile()
{
    IniFile ini;
    WriteCloseSettings(ini, {10, 20, 300, 400}, 14, QStringLiteral("B"), {"A", "B"});
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
    WriteCloseSettings(ini, {}, 12, order.first(), order);
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
    Appearance a;
    a.YoubiHolidayBack = 0x123456;
    WriteAppearanceSettings(ini, a);
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
            "\r\n[today]\r\nset=1\r\ncolor=clBlue\r\nwidth=5\r\n");
    QCOMPARE(ini.toBytes(), cp932(expected));
}

void TestSettings::appearanceRoundTrip()
{
    Appearance a;
    a.DayFont = {24, QStringLiteral("Noto Sans CJK JP"), {false, true, true, true}, clLime, 0x010203};
    a.NenFont.Color = clFuchsia;
    a.MarkLineWidth = 8;
    a.TodayMarkOn = false;
    a.TodayColor = 0x8000000D;
    IniFile ini;
    WriteAppearanceSettings(ini, a);
    QCOMPARE(ReadStartupSettings(IniFile(ini.toBytes())).appearance, a);
}

void TestSettings::bulkBoundsTouchOnlyPosb()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("hibisi.ini");
    QCOMPARE(ReadBulkBounds(path), (WindowBounds{100, 200, 300, 400}));
    IniFile main;
    WriteCloseSettings(main, {1, 2, 3, 4}, 12, "A", {"A"});
    main.save(path);
    const QByteArray before = main.toBytes();

    WriteBulkBounds(path, {11, 22, 333, 444});
    QCOMPARE(ReadBulkBounds(path), (WindowBounds{11, 22, 333, 444}));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before + "\r\n[posb]\r\ntop=11\r\nleft=22\r\nheight=333\r\nwidth=444\r\n");
    f.close();

    // Closing the main window afterwards keeps [posb].
    IniFile again = IniFile::load(path);
    WriteCloseSettings(again, {1, 2, 3, 4}, 12, "A", {"A"});
    QCOMPARE(again.readInteger("posb", "width", 0), 444);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
