#include "TestFiles.h"

#include "settings/Colors.h"
#include "settings/IniFile.h"
#include "storage/FileError.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>


using namespace hibi;
using namespace hibi::test;

namespace {

// A file as a user might have it: CR LF, a comment, an unknown key, blank lines,
// CP932 text including an extension code (87 90) that decodes and encodes back
// differently, and no line end after the last line.
const QByteArray kSample = QByteArray("; my settings\r\n"
                                      "[POS]\r\n"
                                      "Top=15\r\n"
                                      "left = 40\r\n"
                                      "unknown=\x87\x90\r\n"
                                      "\r\n"
                                      "[cale]\r\n"
                                      "file=\x83\x4A\x83\x8C\x83\x93\x83\x5F\x81\x5B\x31\r\n"
                                      "\r\n"
                                      "[other]\r\n"
                                      "x=1");

} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT

private slots:
    void untouchedFileKeepsEveryByte();
    void namesMatchWithoutCase();
    void writingOneKeyChangesOnlyThatLine();
    void newKeyAtEndOfSectionNewSectionAtEnd();
    void newFileUsesCrLfAndCp932();
    void lfFileStaysLf();
    void lineBreaksInValuesStayInTheirLine();
    void deleteKey();
    void firstOfANameCounts_data();
    void firstOfANameCounts();
    void namesMatchAsCompareWithoutCase_data();
    void namesMatchAsCompareWithoutCase();
    void copiesFindTheirOwnLines();
    void integersAndBooleans_data();
    void integersAndBooleans();
    void colorsWritten_data();
    void colorsWritten();
    void colorsRead_data();
    void colorsRead();
    void canEncode();
    void loadAndSave();
    void saveFailureKeepsOldFile();
};

void TestIniFile::untouchedFileKeepsEveryByte()
{
    const IniFile ini(kSample);
    QCOMPARE(ini.toBytes(), kSample);
    QCOMPARE(ini.readString("cale", "file", QString()), QStringLiteral("カレンダー1"));
    QCOMPARE(ini.readString("other", "x", QString()), QStringLiteral("1"));
    // Reading every key of a loaded file and writing nothing changes nothing.
    IniFile copy(kSample);
    copy.writeString("cale", "file", QStringLiteral("カレンダー1"));
    copy.writeInteger("pos", "top", 15);
    QCOMPARE(copy.toBytes(), kSample);
}

void TestIniFile::namesMatchWithoutCase()
{
    const IniFile ini(kSample);
    QCOMPARE(ini.readInteger("pos", "top", 0), 15);
    QCOMPARE(ini.readInteger("Pos", "TOP", 0), 15);
    QCOMPARE(ini.readInteger("pos", "left", 0), 40);   // spaces around the key
    QCOMPARE(ini.readString("pos", "missing", "dflt"), QStringLiteral("dflt"));
    QCOMPARE(ini.readString("nosection", "top", "dflt"), QStringLiteral("dflt"));
    QCOMPARE(ini.value("pos", "left"), std::optional<QString>(QStringLiteral(" 40")));  // values unchanged
}

void TestIniFile::writingOneKeyChangesOnlyThatLine()
{
    IniFile ini(kSample);
    ini.writeInteger("pos", "top", 250);
    QByteArray expected = kSample;
    expected.replace("Top=15\r\n", "Top=250\r\n");
    QCOMPARE(ini.toBytes(), expected);

    ini.writeString("other", "x", "22");   // the last line, without a line end
    expected.chop(1);
    expected += "22";
    QCOMPARE(ini.toBytes(), expected);
}

void TestIniFile::newKeyAtEndOfSectionNewSectionAtEnd()
{
    IniFile ini(kSample);
    ini.writeInteger("pos", "width", 330);
    ini.writeInteger("OTHER", "y", 2);
    ini.writeInteger("dat", "num", 0);
    QCOMPARE(ini.toBytes(), QByteArray("; my settings\r\n"
                                       "[POS]\r\n"
                                       "Top=15\r\n"
                                       "left = 40\r\n"
                                       "unknown=\x87\x90\r\n"
                                       "width=330\r\n"
                                       "\r\n"
                                       "[cale]\r\n"
                                       "file=\x83\x4A\x83\x8C\x83\x93\x83\x5F\x81\x5B\x31\r\n"
                                       "\r\n"
                                       "[other]\r\n"
                                       "x=1\r\n"
                                       "y=2\r\n"
                                       "\r\n"
                                       "[dat]\r\n"
                                       "num=0\r\n"));
}

void TestIniFile::newFileUsesCrLfAndCp932()
{
    IniFile ini;
    ini.writeString("cale", "file", QStringLiteral("カレンダー1"));
    ini.writeBool("today", "set", true);
    QCOMPARE(ini.toBytes(), QByteArray("[cale]\r\nfile=\x83\x4A\x83\x8C\x83\x93\x83\x5F\x81\x5B\x31\r\n"
                                       "\r\n[today]\r\nset=1\r\n"));
}

void TestIniFile::lfFileStaysLf()
{
    IniFile ini(QByteArray("[pos]\ntop=1\n"));
    ini.writeInteger("pos", "left", 2);
    QCOMPARE(ini.toBytes(), QByteArray("[pos]\ntop=1\nleft=2\n"));
}

void TestIniFile::lineBreaksInValuesStayInTheirLine()
{
    IniFile ini(QByteArray("[youbifont]\r\nname=a\r\n"));
    ini.writeString("youbifont", "name", "x\ry\nz");
    ini.writeString("youbifont", "size", "1\r\n[evil]");
    QCOMPARE(ini.toBytes(), QByteArray("[youbifont]\r\nname=x y z\r\nsize=1  [evil]\r\n"));

    // A file cut off between the return and the line feed of its last line: the
    // return ends the line when another follows, and stays out of the value.
    IniFile cut(QByteArray("[dat]\r\n0=A\r"));
    cut.writeString("cale", "file", "A");
    QCOMPARE(cut.toBytes(), QByteArray("[dat]\r\n0=A\r\n\r\n[cale]\r\nfile=A\r\n"));
    QCOMPARE(IniFile(cut.toBytes()).readString("dat", "0", QString()), QStringLiteral("A"));
}

void TestIniFile::deleteKey()
{
    IniFile ini(kSample);
    ini.deleteKey("pos", "UNKNOWN");
    ini.deleteKey("pos", "nothing");
    QByteArray expected = kSample;
    expected.replace("unknown=\x87\x90\r\n", "");
    QCOMPARE(ini.toBytes(), expected);
}

void TestIniFile::firstOfANameCounts_data()
{
    // Edits are "write|section|key|value" or "delete|section|key"; reads are
    // "section|key=value", or "section|key" for a key that is not found.
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QStringList>("reads");

    const QByteArray twoSections("[a]\r\nk=1\r\n\r\n[A]\r\nk=2\r\nm=3\r\n");
    QTest::newRow("the first section of a name counts")
            << twoSections << QStringList{"write|A|k|9", "write|a|n|4", "write|a|m|5"}
            << QByteArray("[a]\r\nk=9\r\nn=4\r\nm=5\r\n\r\n[A]\r\nk=2\r\nm=3\r\n")
            << QStringList{"a|k=9", "A|m=5"};
    QTest::newRow("the first key of a name counts, then the next")
            << QByteArray("[s]\r\nk=1\r\nK=2\r\nk = 3\r\n") << QStringList{"delete|s|k", "write|S|K|4"}
            << QByteArray("[s]\r\nK=4\r\nk = 3\r\n") << QStringList{"s|k=4"};
    QTest::newRow("every key of a name deleted, then written again at the end")
            << QByteArray("[s]\r\nk=1\r\nx=0\r\nK=2\r\n\r\n[t]\r\n")
            << QStringList{"delete|s|k", "delete|s|k", "delete|s|k", "write|s|k|5"}
            << QByteArray("[s]\r\nx=0\r\nk=5\r\n\r\n[t]\r\n") << QStringList{"s|k=5", "s|x=0"};
    QTest::newRow("deleted, then written again after the rest")
            << QByteArray("[dat]\r\nnum=2\r\n0=a\r\n1=b\r\n") << QStringList{"delete|dat|0", "write|dat|0|c"}
            << QByteArray("[dat]\r\nnum=2\r\n1=b\r\n0=c\r\n") << QStringList{"dat|0=c", "dat|1=b"};
    QTest::newRow("a section added at the end takes its keys and counts after")
            << twoSections << QStringList{"write|new|x|1", "write|NEW|y|2", "write|a|z|3"}
            << QByteArray("[a]\r\nk=1\r\nz=3\r\n\r\n[A]\r\nk=2\r\nm=3\r\n\r\n[new]\r\nx=1\r\ny=2\r\n")
            << QStringList{"new|x=1", "New|Y=2", "a|m"};
    QTest::newRow("keys before any section belong to none")
            << QByteArray("k=1\r\n[s]\r\n") << QStringList{"write||k|2"}
            << QByteArray("k=1\r\n[s]\r\n\r\n[]\r\nk=2\r\n") << QStringList{"|k=2", "s|k"};
    QTest::newRow("a key that reads as a section line starts one")
            << QByteArray("[s]\r\na=1\r\n\r\n[t]\r\nb=2\r\n") << QStringList{"write|s|[u|3", "write|s|c|4"}
            << QByteArray("[s]\r\na=1\r\nc=4\r\n[u=3\r\n\r\n[t]\r\nb=2\r\n")
            << QStringList{"s|a=1", "s|c=4", "u=3|x", "t|b=2"};
    QTest::newRow("a key that reads as a comment is none")
            << QByteArray("[s]\r\n") << QStringList{"write|s|;k|1", "write|s|;k|2"}
            << QByteArray("[s]\r\n;k=1\r\n;k=2\r\n") << QStringList{"s|;k"};
    QTest::newRow("a key written with spaces is found by its trimmed name, the name asked for is not trimmed")
            << QByteArray("[s]\r\nk=1\r\n") << QStringList{"delete|s|k", "write|s| k |2", "write|s|k|3"}
            << QByteArray("[s]\r\n k =3\r\n") << QStringList{"s|k=3", "s| k "};
}

void TestIniFile::firstOfANameCounts()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, edits);
    QFETCH(QByteArray, expected);
    QFETCH(QStringList, reads);
    IniFile ini(file);
    for (const QString &edit : edits) {
        const QStringList f = edit.split(u'|');
        if (f[0] == "write")
            ini.writeString(f[1], f[2], f[3]);
        else
            ini.deleteKey(f[1], f[2]);
    }
    QCOMPARE(ini.toBytes(), expected);
    for (const QString &read : reads) {
        const qsizetype bar = read.indexOf(u'|');
        const qsizetype eq = read.indexOf(u'=', bar);
        const QString section = read.first(bar);
        const QString key = read.mid(bar + 1, eq < 0 ? -1 : eq - bar - 1);
        const auto value = eq < 0 ? std::nullopt : std::optional<QString>(read.mid(eq + 1));
        QCOMPARE(ini.value(section, key), value);
        QCOMPARE(IniFile(expected).value(section, key), value);   // the same as the file read afresh
    }
}

void TestIniFile::namesMatchAsCompareWithoutCase_data()
{
    // The names in the file are CP932 text; the names asked for can be any.
    QTest::addColumn<QString>("inFile");
    QTest::addColumn<QString>("asked");
    QTest::newRow("ASCII") << "Holidays" << "hOLIDAYS";
    QTest::newRow("fullwidth Latin") << "Ａｂ" << "ａＢ";
    QTest::newRow("fullwidth and ASCII differ") << "Ａ" << "a";
    QTest::newRow("Greek") << "Σσ" << "σΣ";
    QTest::newRow("final sigma folds to sigma") << "σ" << "ς";
    QTest::newRow("Cyrillic") << "Яя" << "яЯ";
    QTest::newRow("Roman numerals") << "Ⅹ" << "ⅹ";
    QTest::newRow("Kelvin sign") << "k" << "\u212A";
    QTest::newRow("capital I with dot") << "i" << "\u0130";
    QTest::newRow("sharp s is not ss") << "ss" << "ß";
    QTest::newRow("supplementary letter") << "x" << "\U00010400";
    QTest::newRow("kana") << "カレンダー" << "かれんだー";
    QTest::newRow("longer") << "top" << "top2";
}

void TestIniFile::namesMatchAsCompareWithoutCase()
{
    QFETCH(QString, inFile);
    QFETCH(QString, asked);
    QVERIFY(IniFile::canEncode(inFile));
    QStringEncoder cp932("CP932");
    const QByteArray name = cp932.encode(inFile);
    const IniFile ini("[" + name + "]\r\n" + name + "=1\r\n");
    const bool same = inFile.compare(asked, Qt::CaseInsensitive) == 0;
    QCOMPARE(ini.value(asked, inFile).has_value(), same);
    QCOMPARE(ini.value(inFile, asked).has_value(), same);
}

void TestIniFile::copiesFindTheirOwnLines()
{
    IniFile ini(kSample);
    ini.writeString("new", "k", "1");
    IniFile copy = ini;
    IniFile assigned;
    assigned = ini;
    ini.writeString("pos", "top", "7");
    ini.deleteKey("new", "k");
    ini = IniFile();
    for (IniFile *other : {&copy, &assigned}) {
        QCOMPARE(other->readString("pos", "top", QString()), QStringLiteral("15"));
        QCOMPARE(other->readString("new", "k", QString()), QStringLiteral("1"));
        other->writeString("NEW", "K", "2");
        other->writeString("other", "y", "3");
        QCOMPARE(other->toBytes(), kSample + "\r\ny=3\r\n\r\n[new]\r\nk=2\r\n");
    }
}

void TestIniFile::integersAndBooleans_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("integer");
    QTest::addColumn<bool>("boolean");

    // Default for the integer is -7, for the Boolean true.
    QTest::newRow("decimal") << QByteArray("12") << 12 << true;
    QTest::newRow("zero") << QByteArray("0") << 0 << false;
    QTest::newRow("negative") << QByteArray("-3") << -3 << true;
    QTest::newRow("any non-zero is true") << QByteArray("2") << 2 << true;
    QTest::newRow("hex") << QByteArray("$1F") << 31 << true;
    QTest::newRow("surrounding spaces") << QByteArray(" 8 ") << 8 << true;
    QTest::newRow("not a number") << QByteArray("abc") << -7 << true;
    QTest::newRow("trailing text") << QByteArray("12px") << -7 << true;
    QTest::newRow("empty") << QByteArray("") << -7 << true;
    QTest::newRow("too large") << QByteArray("99999999999") << -7 << true;
}

void TestIniFile::integersAndBooleans()
{
    QFETCH(QByteArray, text);
    QFETCH(int, integer);
    QFETCH(bool, boolean);
    const IniFile ini("[s]\r\nk=" + text + "\r\n");
    QCOMPARE(ini.readInteger("s", "k", -7), integer);
    QCOMPARE(ini.readBool("s", "k", true), boolean);
}

void TestIniFile::colorsWritten_data()
{
    QTest::addColumn<quint32>("color");
    QTest::addColumn<QString>("text");
    QTest::newRow("pure red") << quint32(0x0000FF) << "clRed";
    QTest::newRow("black") << quint32(0) << "clBlack";
    QTest::newRow("money green") << quint32(0xC0DCC0) << "clMoneyGreen";
    QTest::newRow("no name") << quint32(0x123456) << "$00123456";
    QTest::newRow("window colour default") << quint32(0xFFA64D) << "$00FFA64D";
    QTest::newRow("system colour") << quint32(0x8000000F) << "clBtnFace";
    QTest::newRow("menu bar") << quint32(0x8000001E) << "clMenuBar";
    QTest::newRow("none") << quint32(0x1FFFFFFF) << "clNone";
    QTest::newRow("default") << quint32(0x20000000) << "clDefault";
    QTest::newRow("unnamed system index") << quint32(0x80000019) << "$80000019";
}

void TestIniFile::colorsWritten()
{
    QFETCH(quint32, color);
    QFETCH(QString, text);
    QCOMPARE(ColorToString(color), text);
    IniFile ini;
    ini.writeColor("backcolor", "maru", color);
    QCOMPARE(ini.readColor("backcolor", "maru", 1), color);
}

void TestIniFile::colorsRead_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("color");
    // The default, for texts that are no colour, is 0x424242.
    QTest::newRow("lower case name") << "clblack" << quint32(0);
    QTest::newRow("upper case name") << "CLRED" << quint32(0x0000FF);
    QTest::newRow("system name") << "clWindowText" << quint32(0x80000008);
    QTest::newRow("decimal") << "16777215" << quint32(0xFFFFFF);
    QTest::newRow("hex") << "$00FFA64D" << quint32(0xFFA64D);
    QTest::newRow("negative decimal is a system colour") << "-2147483643" << quint32(0x80000005);
    QTest::newRow("unknown name") << "clPink" << quint32(0x424242);
    QTest::newRow("empty") << "" << quint32(0x424242);
    QTest::newRow("hex too long") << "$123456789" << quint32(0x424242);
}

void TestIniFile::colorsRead()
{
    QFETCH(QString, text);
    QFETCH(quint32, color);
    IniFile ini;
    ini.writeString("c", "k", text);
    QCOMPARE(ini.readColor("c", "k", 0x424242), color);
}

void TestIniFile::canEncode()
{
    QVERIFY(IniFile::canEncode(QStringLiteral("仕事 ①")));
    QVERIFY(!IniFile::canEncode(QStringLiteral("😀")));
    QVERIFY(!IniFile::canEncode(QStringLiteral("한국")));
}

void TestIniFile::loadAndSave()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("hibisi.ini");
    QCOMPARE(IniFile::load(path).toBytes(), QByteArray());   // no file: every key its default
    writeFile(path, kSample);
    IniFile ini = IniFile::load(path);
    QCOMPARE(ini.toBytes(), kSample);
    ini.save(path);
    QCOMPARE(readFile(path), kSample);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"hibisi.ini"});

    // A folder in the file's place can be neither read nor replaced.
    const QString blocked = dir.filePath("blocked.ini");
    QVERIFY(QDir().mkdir(blocked));
    const QString native = QDir::toNativeSeparators(blocked);
    try {
        IniFile::load(blocked);
        QFAIL("no error raised");
    } catch (const FileError &e) {
        QCOMPARE(e.message(), QStringLiteral("ファイル %1 は開けません").arg(native));
    }
    try {
        ini.save(blocked);
        QFAIL("no error raised");
    } catch (const FileError &e) {
        QCOMPARE(e.message(), QStringLiteral("ファイル %1 を作成できません").arg(native));
    }
}

void TestIniFile::saveFailureKeepsOldFile()
{
#ifndef Q_OS_UNIX
    QSKIP("needs a per-process file-size limit");
#else
    QTemporaryDir dir;
    const QString path = dir.filePath("hibisi.ini");
    writeFile(path, kSample);
    IniFile ini(kSample);
    ini.writeString("big", "value", QString(20000, u'x'));

    QString message;
    writeOnFullDisk(4096, [&] { ini.save(path); }, message);

    QCOMPARE(message, QStringLiteral("ファイル %1 を作成できません").arg(QDir::toNativeSeparators(path)));
    QCOMPARE(readFile(path), kSample);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"hibisi.ini"});
    ini.save(path);
    QCOMPARE(readFile(path), ini.toBytes());
#endif
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
