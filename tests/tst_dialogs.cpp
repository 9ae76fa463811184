#include "WindowTest.h"

#include "app/jump.h"
#include "components/ColorBox.h"
#include "components/CtrlsEx.h"
#include "components/FontChooser.h"
#include "components/UpDown.h"
#include "settings/IniFile.h"
#include "dialogs/settei.h"

#include <QColorDialog>
#include <QGroupBox>
#include <QStyleOption>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

using namespace hibi;
using namespace hibi::test;

class TestDialogs : public WindowTest
{
    Q_OBJECT

private slots:
    void jumpOpensOnTheShownMonth();
    void jumpSpinners();
    void jumpOkAndCancel();
    void jumpBeyondItsRange();
    void jumpTabOrder();

    void settingsOkOnFirstStartWritesEveryKey();
    void settingsWidthClamping_data();
    void settingsWidthClamping();
    void settingsColourButtons();
    void settingsCancelChangesNothing();
    void settingsTodayFrameControls();
    void settingsFonts();
    void fontChooserKeepsTheStoredFont_data();
    void fontChooserKeepsTheStoredFont();
    void fontChooserChangeReachesTheFile();
    void settingsPreviewAndSwatchPixels();
    void settingsCaptionsFit();
    void colorBoxNamesAndCustomColours();
    void messageBoxesFitTheirTitle_data();
    void messageBoxesFitTheirTitle();

private:
    // Opens the settings dialog through its menu item and runs `operate` in it;
    // `ok` closes it with OK, else Cancel.
    void withSettings(const std::function<void(Tfrmsettei *)> &operate, bool ok);
};

void TestDialogs::withSettings(const std::function<void(Tfrmsettei *)> &operate, bool ok)
{
    bool ran = false;
    whenModal([&](QWidget *dialog) {
        auto *settings = qobject_cast<Tfrmsettei *>(dialog);
        QVERIFY(settings);
        operate(settings);
        ran = true;
        mouseClick(settings->findChild<QPushButton *>(ok ? "btnok" : "btncancel"), Qt::LeftButton);
    });
    window()->findChild<QAction *>("settei")->trigger();
    QVERIFY(ran);
}

// A page of the settings dialog, chosen by a click on its tab.
static void showPage(QWidget *settings, int page)
{
    auto *tabs = settings->findChild<QTabWidget *>("PageControl1");
    QTabBar *bar = tabs->tabBar();
    mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
    QTRY_COMPARE(tabs->currentIndex(), page);
}

// ---- Jump -----------------------------------------------------------------

void TestDialogs::jumpOpensOnTheShownMonth()
{
    QVERIFY(openWindow());
    QString year, month;
    QWidget *focus = nullptr;
    whenModal([&](QWidget *dialog) {
        year = dialog->findChild<TEditEx *>("EditEx1")->QLineEdit::text();
        month = dialog->findChild<TEditEx *>("EditEx2")->QLineEdit::text();
        focus = dialog->focusWidget();
        QVERIFY(dialog->findChild<TEditEx *>("EditEx1")->isReadOnly());
        savePicture(dialog, "jump");
        keyClick(dialog, Qt::Key_Escape);
    });
    keyClick(window(), Qt::Key_J, Qt::ControlModifier);
    QCOMPARE(year, QStringLiteral("2,026"));
    QCOMPARE(month, QStringLiteral("3"));
    QVERIFY(focus);
    QCOMPARE(focus->objectName(), QStringLiteral("cancel"));
}

void TestDialogs::jumpSpinners()
{
    SetFixedToday(YearMonthDay16{2026, 12, 10});
    QVERIFY(openWindow());
    whenModal([&](QWidget *dialog) {
        auto *upyear = dialog->findChild<UpDown *>("upyear");
        auto *upmonth = dialog->findChild<UpDown *>("upmonth");
        auto *year = dialog->findChild<TEditEx *>("EditEx1");
        auto *month = dialog->findChild<TEditEx *>("EditEx2");
        mouseClick(upmonth->upButton(), Qt::LeftButton);   // 12 wraps to 1
        QCOMPARE(month->QLineEdit::text(), QStringLiteral("1"));
        QCOMPARE(year->QLineEdit::text(), QStringLiteral("2,026"));
        mouseClick(upmonth->downButton(), Qt::LeftButton);   // and back to 12
        QCOMPARE(month->QLineEdit::text(), QStringLiteral("12"));
        for (int i = 0; i < 80; ++i)
            mouseClick(upyear->upButton(), Qt::LeftButton);
        QCOMPARE(year->QLineEdit::text(), QStringLiteral("2,100"));   // stops at 2100
        // The arrow keys work in the year box too.
        year->setFocus();
        for (int i = 0; i < 200; ++i)
            keyClick(year, Qt::Key_Down);
        QCOMPARE(year->QLineEdit::text(), QStringLiteral("1,970"));   // and at 1970
        QCOMPARE(upyear->position(), 1970);

        // Tab reaches each spinner, which shows that it has the focus, and its
        // arrow keys work.
        const QColor highlight = upyear->palette().color(QPalette::Highlight);
        auto highlighted = [&](UpDown *spinner) {
            const QImage image = spinner->grab().toImage();
            int count = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    count += image.pixelColor(x, y) == highlight;
            return count;
        };
        QCOMPARE(highlighted(upyear), 0);
        for (int i = 0; i < 6 && dialog->focusWidget() != upyear; ++i)
            keyClick(dialog, Qt::Key_Tab);
        QCOMPARE(dialog->focusWidget(), upyear);
        QVERIFY(highlighted(upyear) >= 2 * (upyear->width() + upyear->height()));
        keyClick(dialog, Qt::Key_Up);
        QCOMPARE(year->QLineEdit::text(), QStringLiteral("1,971"));
        keyClick(dialog, Qt::Key_Tab);
        QCOMPARE(dialog->focusWidget(), upmonth);
        QCOMPARE(highlighted(upyear), 0);
        QVERIFY(highlighted(upmonth) > 0);
        savePicture(dialog, "jump-spinner-focus");
        keyClick(dialog, Qt::Key_Down);
        keyClick(dialog, Qt::Key_BracketLeft);   // nothing
        QCOMPARE(month->QLineEdit::text(), QStringLiteral("11"));
        keyClick(dialog, Qt::Key_Up);
        mouseClick(dialog->findChild<QPushButton *>("BitBtn2"), Qt::LeftButton);
    });
    window()->findChild<QAction *>("mnujump")->trigger();
    QCOMPARE(window()->calendar().DisplayYear(), 1971);
    QCOMPARE(window()->calendar().DisplayMonth(), 12);
    QCOMPARE(window()->findChild<QLabel *>("Label1")->text(), QStringLiteral("1971年12月"));
}

void TestDialogs::jumpOkAndCancel()
{
    QVERIFY(openWindow());
    const GridCell c = CellOfDay(2026, 3, 5);
    pressCell(monthGrid(), c.col, c.row, Qt::LeftButton);
    releaseCell(monthGrid(), c.col, c.row, Qt::LeftButton);
    whenModal([](QWidget *dialog) {
        mouseClick(dialog->findChild<UpDown *>("upmonth")->upButton(), Qt::LeftButton);
        mouseClick(dialog->findChild<QPushButton *>("cancel"), Qt::LeftButton);
    });
    mouseClick(window()->findChild<QToolButton *>("ToolButton5"), Qt::LeftButton);
    QCOMPARE(window()->calendar().DisplayMonth(), 3);
    QVERIFY(!QFile::exists(folder() + "カレンダー1.hsd"));   // cancel touches no file

    // OK on the unchanged month saves the year and reads it back.
    whenModal([](QWidget *dialog) { mouseClick(dialog->findChild<QPushButton *>("BitBtn2"), Qt::LeftButton); });
    window()->findChild<QAction *>("mnujump")->trigger();
    QVERIFY(QFile::exists(folder() + "カレンダー1.hsd"));
    QCOMPARE(window()->calendar().YearMarks().at(3, c.col, c.row), std::uint8_t(Maru));
    QCOMPARE(window()->calendar().DisplayMonth(), 3);
}

void TestDialogs::jumpBeyondItsRange()
{
    SetFixedToday(YearMonthDay16{2105, 6, 1});
    QVERIFY(openWindow());
    int shown = 0;
    whenModal([&](QWidget *dialog) {
        shown = dialog->findChild<UpDown *>("upyear")->position();
        mouseClick(dialog->findChild<QPushButton *>("BitBtn2"), Qt::LeftButton);
    });
    window()->mnujumpClick();
    QCOMPARE(shown, 2100);
    QCOMPARE(window()->calendar().DisplayYear(), 2100);
    QCOMPARE(window()->calendar().DisplayMonth(), 6);
}

void TestDialogs::jumpTabOrder()
{
    QVERIFY(openWindow());
    QStringList order;
    whenModal([&](QWidget *dialog) {
        dialog->findChild<TEditEx *>("EditEx1")->setFocus();
        // The dialog's own focus widget: the window may not be active yet.
        for (int i = 0; i < 6 && dialog->focusWidget(); ++i) {
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Tab);
            order << dialog->focusWidget()->objectName();
        }
        keyClick(dialog, Qt::Key_Escape);
    });
    window()->mnujumpClick();
    QCOMPARE(order, (QStringList{"upyear", "upmonth", "BitBtn2", "cancel", "EditEx2", "EditEx1"}));
}

// ---- Settings --------------------------------------------------------------

void TestDialogs::settingsOkOnFirstStartWritesEveryKey()
{
    writeFile(iniPath(), "[pos]\r\ntop=11\r\nleft=22\r\nheight=333\r\nwidth=444\r\n[dat]\r\nnum=1\r\n0=X\r\n");
    QVERIFY(openWindow());
    withSettings([](Tfrmsettei *) {}, true);
    const IniFile ini = IniFile::load(iniPath());
    auto keys = [&](const char *section) {
        QStringList k;
        for (const QString &name : ini.keys(section))
            k << name;
        return k;
    };
    QCOMPARE(keys("pos"), (QStringList{"top", "left", "height", "width", "color"}));
    QCOMPARE(ini.readInteger("pos", "top", 0), 11);
    QCOMPARE(ini.readInteger("pos", "width", 0), 444);
    QCOMPARE(keys("dat"), (QStringList{"num", "0"}));
    const QStringList font{"size", "holidaycolor", "weekdaycolor", "name", "stylebold", "styleitalic", "styleuline", "stylesout"};
    QCOMPARE(keys("youbifont"), font);
    QCOMPARE(keys("dayfont"), font);
    QCOMPARE(keys("nenfont"), (QStringList{"size", "color", "name", "stylebold", "styleitalic", "styleuline", "stylesout"}));
    QCOMPARE(keys("backcolor"), (QStringList{"youbiholiday", "youbiweekday", "dayholiday", "dayweekday", "yohaku", "maru",
                                             "batu", "sankaku", "linewidth"}));
    QCOMPARE(keys("today"), (QStringList{"set", "color", "width"}));
    QCOMPARE(keys("hibi"), (QStringList{"holidays"}));
    QCOMPARE(ini.readString("hibi", "holidays", QString()), QStringLiteral("0"));
    QCOMPARE(ini.readString("dayfont", "holidaycolor", QString()), QStringLiteral("clRed"));
    QCOMPARE(ini.readString("pos", "color", QString()), QStringLiteral("$00FFA64D"));
    QCOMPARE(ini.readString("youbifont", "name", QString()), QStringLiteral("ＭＳ Ｐゴシック"));
}

void TestDialogs::settingsWidthClamping_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("saved");
    QTest::addColumn<int>("storedToday");
    QTest::addColumn<int>("shownToday");
    QTest::addColumn<int>("savedToday");
    QTest::newRow("20 shows and saves as 8; today 15 as 10") << 20 << 8 << 8 << 15 << 10 << 10;
    QTest::newRow("0 shows as 1, saved as 0") << 0 << 1 << 0 << 0 << 1 << 0;
    QTest::newRow("in range") << 5 << 5 << 5 << 7 << 7 << 7;
}

void TestDialogs::settingsWidthClamping()
{
    QFETCH(int, stored);
    QFETCH(int, shown);
    QFETCH(int, saved);
    QFETCH(int, storedToday);
    QFETCH(int, shownToday);
    QFETCH(int, savedToday);
    writeFile(iniPath(), QStringLiteral("[backcolor]\r\nlinewidth=%1\r\n[today]\r\nwidth=%2\r\n").arg(stored).arg(storedToday).toLatin1());
    QVERIFY(openWindow());
    withSettings([&](Tfrmsettei *s) {
        QCOMPARE(s->findChild<QSpinBox *>("sedit1")->value(), shown);
        QCOMPARE(s->findChild<QSpinBox *>("sedit2")->value(), shownToday);
    }, true);
    const IniFile ini = IniFile::load(iniPath());
    QCOMPARE(ini.readInteger("backcolor", "linewidth", -1), saved);
    QCOMPARE(ini.readInteger("today", "width", -1), savedToday);
    QCOMPARE(window()->appearance().MarkLineWidth, saved);
}

void TestDialogs::settingsColourButtons()
{
    QVERIFY(openWindow());
    QList<QColor> startedOn;
    withSettings([&](Tfrmsettei *s) {
        auto choose = [&](const char *button, const QColor &color) {
            whenModal([&startedOn, color](QWidget *dialog) {
                auto *chooser = qobject_cast<QColorDialog *>(dialog);
                QVERIFY(chooser);
                startedOn << chooser->currentColor();
                chooser->setCurrentColor(color);
                chooser->accept();
            });
            mouseClick(s->findChild<TButtonEx *>(button), Qt::LeftButton);
        };
        choose("colorbtn_5", QColor(0x12, 0x34, 0x56));    // "背景色..." of cells without a day
        showPage(s, 1);
        choose("colorbtn_10", QColor(0xAB, 0xCD, 0xEF));   // the margin: the main window's colour
        QCOMPARE(s->findChild<QLabel *>("lblnen")->palette().color(QPalette::Window), QColor(0xAB, 0xCD, 0xEF));
        // Cancelling the chooser changes nothing.
        showPage(s, 0);
        whenModal([](QWidget *dialog) { qobject_cast<QColorDialog *>(dialog)->reject(); });
        mouseClick(s->findChild<TButtonEx *>("colorbtn_6"), Qt::LeftButton);
        QCOMPARE(s->working().MaruColor, Color(0x808040));
    }, true);
    QCOMPARE(startedOn, (QList<QColor>{Qt::black, QColor(0x12, 0x34, 0x56)}));
    const IniFile ini = IniFile::load(iniPath());
    QCOMPARE(ini.readString("backcolor", "yohaku", QString()), QStringLiteral("$00563412"));
    QCOMPARE(ini.readString("pos", "color", QString()), QStringLiteral("$00EFCDAB"));
    QCOMPARE(window()->appearance().YohakuBack, Color(0x563412));
    // After OK the margin behind the grid and the caption take the new colour.
    QCOMPARE(window()->findChild<QLabel *>("Label1")->palette().color(QPalette::Window), QColor(0xAB, 0xCD, 0xEF));
    const QImage grid = monthGrid()->grab().toImage();
    QCOMPARE(grid.pixelColor(monthGrid()->cellRect(6, 5).toRect().center()), QColor(0x12, 0x34, 0x56));
}

void TestDialogs::settingsCancelChangesNothing()
{
    writeFile(iniPath(), "[pos]\r\ncolor=clRed\r\n[backcolor]\r\nmaru=clLime\r\n");
    QVERIFY(openWindow());
    const QByteArray before = readFile(iniPath());
    const Appearance look = window()->appearance();
    withSettings([&](Tfrmsettei *s) {
        s->findChild<QSpinBox *>("sedit1")->setValue(7);
        showPage(s, 1);
        mouseClick(s->findChild<QRadioButton *>("radib1off"), Qt::LeftButton);
        QVERIFY(s->findChild<QRadioButton *>("radib1off")->isChecked());
        mouseClick(s->findChild<QRadioButton *>("radihollaw"), Qt::LeftButton);
        QVERIFY(s->working().HolidayLaw);
        showPage(s, 0);
        auto *box = s->findChild<ColorBox *>("ColorBox3");
        box->setCurrentIndex(2);
        emit box->activated(2);
        QCOMPARE(s->working().DayFont.HolidayColor, clGreen);
        whenModal([](QWidget *dialog) {
            qobject_cast<QColorDialog *>(dialog)->setCurrentColor(Qt::yellow);
            qobject_cast<QColorDialog *>(dialog)->accept();
        });
        mouseClick(s->findChild<TButtonEx *>("colorbtn_1"), Qt::LeftButton);
    }, false);
    QCOMPARE(readFile(iniPath()), before);
    QVERIFY(window()->appearance() == look);
    // Esc cancels too.
    whenModal([](QWidget *dialog) {
        dialog->findChild<QSpinBox *>("sedit1")->setValue(2);
        keyClick(dialog, Qt::Key_Escape);
    });
    window()->findChild<QAction *>("settei")->trigger();
    QCOMPARE(readFile(iniPath()), before);
    QVERIFY(window()->appearance() == look);
}

void TestDialogs::settingsTodayFrameControls()
{
    writeFile(iniPath(), "[today]\r\nset=0\r\n");
    QVERIFY(openWindow());
    withSettings([](Tfrmsettei *s) {
        showPage(s, 1);
        QVERIFY(s->findChild<QRadioButton *>("radib1off")->isChecked());
        QVERIFY(!s->findChild<QSpinBox *>("sedit2")->isEnabled());
        QVERIFY(!s->findChild<TButtonEx *>("colorbtn_9")->isEnabled());
        QVERIFY(!s->findChild<QLabel *>("Label8")->isEnabled());
        auto *grid = s->findChild<DrawGrid *>("dg3");
        const CellRect r = grid->cellRect(1, 1);
        QVERIFY(grid->grab().toImage().pixelColor(r.left + 1, (r.top + r.bottom) / 2) != QColor(Qt::blue));
        mouseClick(s->findChild<QRadioButton *>("radib1on"), Qt::LeftButton);
        QVERIFY(s->findChild<QSpinBox *>("sedit2")->isEnabled());
        QVERIFY(s->findChild<TButtonEx *>("colorbtn_9")->isEnabled());
        QCOMPARE(grid->grab().toImage().pixelColor(r.left + 1, (r.top + r.bottom) / 2), QColor(Qt::blue));
    }, true);
    QVERIFY(window()->appearance().TodayMarkOn);
    QCOMPARE(IniFile::load(iniPath()).readInteger("today", "set", -1), 1);
}

// Clicks an entry of one of the chooser's lists.
static void clickEntry(QListWidget *list, const QString &text)
{
    const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    list->scrollToItem(found.first());
    mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
    QCOMPARE(list->currentItem(), found.first());
}

void TestDialogs::settingsFonts()
{
    QVERIFY(openWindow());
    withSettings([](Tfrmsettei *s) {
        auto *grid = s->findChild<DrawGrid *>("dg2");
        const int rowBefore = grid->defaultRowHeight();
        // The day font at the largest size offered, 24 points.
        whenModal([](QWidget *dialog) {
            auto *chooser = qobject_cast<FontChooser *>(dialog);
            QVERIFY(chooser);
            auto *sizes = chooser->findChild<QListWidget *>("sizeList");
            QCOMPARE(sizes->item(sizes->count() - 1)->text(), QStringLiteral("24"));
            clickEntry(sizes, "24");
            mouseClick(chooser->findChild<QPushButton *>("fontok"), Qt::LeftButton);
        });
        mouseClick(s->findChild<QPushButton *>("btndf"), Qt::LeftButton);
        QCOMPARE(s->working().DayFont.Size, 24);
        QCOMPARE(grid->defaultRowHeight(), 32 + 8);
        QVERIFY(grid->defaultRowHeight() > rowBefore);
        QCOMPARE(s->findChild<DrawGrid *>("dg3")->defaultRowHeight(), 40);

        // The caption font chooser starts from the committed font each time.
        showPage(s, 1);
        QList<int> startSizes;
        for (int size : {20, 22}) {
            whenModal([&startSizes, size](QWidget *dialog) {
                auto *sizes = dialog->findChild<QListWidget *>("sizeList");
                startSizes << sizes->currentItem()->text().toInt();
                clickEntry(sizes, QString::number(size));
                mouseClick(dialog->findChild<QPushButton *>("fontok"), Qt::LeftButton);
            });
            mouseClick(s->findChild<QPushButton *>("btnnenfont"), Qt::LeftButton);
        }
        QCOMPARE(startSizes, (QList<int>{18, 18}));
        QCOMPARE(s->working().NenFont.Size, 22);
    }, true);
    QCOMPARE(window()->appearance().DayFont.Size, 24);
    QCOMPARE(window()->appearance().NenFont.Size, 22);
    QCOMPARE(window()->findChild<QLabel *>("Label1")->font().pointSize(), 22);
    const IniFile ini = IniFile::load(iniPath());
    QCOMPARE(ini.readInteger("dayfont", "size", 0), 24);
    QCOMPARE(ini.readInteger("nenfont", "size", 0), 22);
}

// The line of `key` in `section` of a settings file, as its bytes stand.
static QByteArray keyLine(const QByteArray &file, const QByteArray &section, const QByteArray &key)
{
    bool inSection = false;
    for (const QByteArray &line : file.split('\n')) {
        const QByteArray text = line.trimmed();
        if (text.startsWith('['))
            inSection = text == '[' + section + ']';
        else if (inSection && text.startsWith(key + '='))
            return line;
    }
    return QByteArray();
}

static const QByteArray kFontSections[] = {"youbifont", "dayfont", "nenfont"};
static const QByteArray kFontKeys[] = {"size", "name", "stylebold", "styleitalic", "styleuline", "stylesout"};

void TestDialogs::fontChooserKeepsTheStoredFont_data()
{
    QTest::addColumn<QByteArray>("face");   // as the settings file holds it, in Shift_JIS
    QTest::addColumn<QString>("listed");    // the family list's entry chosen when it opens
    QTest::addColumn<bool>("missing");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<QString>("style");     // the style list's entry chosen when it opens

    const QByteArray msPGothic("\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e");   // ＭＳ Ｐゴシック
    const QByteArray noto("Noto Sans CJK JP");
    const struct
    {
        const char *name;
        bool bold, italic;
        const char16_t *style;
    } styles[] = {{"regular", false, false, u"標準"}, {"bold", true, false, u"太字"}, {"italic", false, true, u"斜体"},
                  {"bold italic", true, true, u"太字 斜体"}};
    for (const auto &st : styles) {
        QTest::addRow("installed face, %s", st.name) << noto << "Noto Sans CJK JP" << false << st.bold << st.italic
                                                      << QString::fromUtf16(st.style);
        QTest::addRow("missing face, %s", st.name) << msPGothic << "ＭＳ Ｐゴシック" << true << st.bold << st.italic
                                                    << QString::fromUtf16(st.style);
    }
}

// Each of the three "フォント..." buttons opens the chooser on the stored face,
// style and size; OK there without changes, then OK in the settings dialog, leaves
// the font keys of the settings file as they were, byte for byte.
void TestDialogs::fontChooserKeepsTheStoredFont()
{
    QFETCH(QByteArray, face);
    QFETCH(QString, listed);
    QFETCH(bool, missing);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(QString, style);
    QByteArray ini;
    int size = 9;
    for (const QByteArray &section : kFontSections)
        ini += "[" + section + "]\r\nsize=" + QByteArray::number(size += 3) + "\r\nname=" + face + "\r\nstylebold="
               + (bold ? "1" : "0") + "\r\nstyleitalic=" + (italic ? "1" : "0") + "\r\nstyleuline=1\r\nstylesout=0\r\n";
    writeFile(iniPath(), ini);
    QVERIFY(openWindow());

    struct Shown
    {
        QString face, style, size, standIn;
        bool sampleShown = false;
        QFont sample;
    };
    QList<Shown> shown;
    withSettings([&](Tfrmsettei *s) {
        for (const char *name : {"btnyoubi1", "btndf", "btnnenfont"}) {
            showPage(s, QByteArray(name) == "btnnenfont" ? 1 : 0);
            whenModal([&](QWidget *dialog) {
                auto *chooser = qobject_cast<FontChooser *>(dialog);
                QVERIFY(chooser);
                QVERIFY(QTest::qWaitForWindowExposed(chooser));
                Shown now;
                now.face = chooser->findChild<QListWidget *>("familyList")->currentItem()->text();
                now.style = chooser->findChild<QListWidget *>("styleList")->currentItem()->text();
                now.size = chooser->findChild<QListWidget *>("sizeList")->currentItem()->text();
                auto *standIn = chooser->findChild<QLabel *>("lblstandin");
                now.standIn = standIn->isVisible() ? standIn->text() : QString();
                auto *sample = chooser->findChild<QLabel *>("lblsample");
                now.sampleShown = sample->isVisible() && chooser->rect().contains(QRect(sample->mapTo(chooser, QPoint()), sample->size()))
                                  && sample->height() >= sample->fontMetrics().height();
                now.sample = sample->font();
                QCOMPARE(sample->text(), QStringLiteral("あア亜 123 日月火"));
                shown << now;
                savePicture(chooser, QStringLiteral("fontchooser-%1").arg(missing ? "missing" : "installed"));
                mouseClick(chooser->findChild<QPushButton *>("fontok"), Qt::LeftButton);
            });
            mouseClick(s->findChild<QPushButton *>(name), Qt::LeftButton);
        }
    }, true);

    QCOMPARE(shown.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(shown[i].face, listed);
        QCOMPARE(shown[i].style, style);
        QCOMPARE(shown[i].size, QString::number(12 + 3 * i));
        QVERIFY(shown[i].sampleShown);
        QCOMPARE(shown[i].sample.bold(), bold);
        QCOMPARE(shown[i].sample.italic(), italic);
        QVERIFY(shown[i].sample.underline());
        // A missing face says which face stands in for it.
        if (missing)
            QVERIFY2(shown[i].standIn.contains(QStringLiteral("Noto Sans CJK JP")), qPrintable(shown[i].standIn));
        else
            QCOMPARE(shown[i].standIn, QString());
    }
    const QByteArray after = readFile(iniPath());
    for (const QByteArray &section : kFontSections)
        for (const QByteArray &key : kFontKeys) {
            QVERIFY2(!keyLine(ini, section, key).isEmpty(), section + "/" + key);
            QCOMPARE(keyLine(after, section, key), keyLine(ini, section, key));
        }
    QCOMPARE(window()->appearance().DayFont.Name, listed);
    QCOMPARE(window()->appearance().DayFont.Style.bold, bold);
}

// What the user picks in the chooser is what the settings file keeps.
void TestDialogs::fontChooserChangeReachesTheFile()
{
    QVERIFY(openWindow());   // no settings file: the stored face is the missing default
    withSettings([](Tfrmsettei *s) {
        whenModal([](QWidget *dialog) {
            auto *chooser = qobject_cast<FontChooser *>(dialog);
            QVERIFY(chooser);
            clickEntry(chooser->findChild<QListWidget *>("familyList"), "Noto Sans CJK JP");
            QVERIFY(!chooser->findChild<QLabel *>("lblstandin")->isVisible());
            clickEntry(chooser->findChild<QListWidget *>("styleList"), "斜体");
            clickEntry(chooser->findChild<QListWidget *>("sizeList"), "20");
            const QFont sample = chooser->findChild<QLabel *>("lblsample")->font();
            QCOMPARE(sample.family(), QStringLiteral("Noto Sans CJK JP"));
            QVERIFY(sample.italic() && !sample.bold());
            QCOMPARE(sample.pointSize(), 20);
            mouseClick(chooser->findChild<QPushButton *>("fontok"), Qt::LeftButton);
        });
        mouseClick(s->findChild<QPushButton *>("btndf"), Qt::LeftButton);
        // Only the size, on the header font: its face stays the stored one.
        whenModal([](QWidget *dialog) {
            clickEntry(dialog->findChild<QListWidget *>("sizeList"), "16");
            mouseClick(dialog->findChild<QPushButton *>("fontok"), Qt::LeftButton);
        });
        mouseClick(s->findChild<QPushButton *>("btnyoubi1"), Qt::LeftButton);
        // Cancel changes nothing.
        showPage(s, 1);
        whenModal([](QWidget *dialog) {
            clickEntry(dialog->findChild<QListWidget *>("styleList"), "標準");
            mouseClick(dialog->findChild<QPushButton *>("fontcancel"), Qt::LeftButton);
        });
        mouseClick(s->findChild<QPushButton *>("btnnenfont"), Qt::LeftButton);
    }, true);
    const QByteArray file = readFile(iniPath());
    const QByteArray msPGothic("\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e");
    QCOMPARE(keyLine(file, "dayfont", "name").trimmed(), QByteArray("name=Noto Sans CJK JP"));
    QCOMPARE(keyLine(file, "dayfont", "stylebold").trimmed(), QByteArray("stylebold=0"));
    QCOMPARE(keyLine(file, "dayfont", "styleitalic").trimmed(), QByteArray("styleitalic=1"));
    QCOMPARE(keyLine(file, "dayfont", "size").trimmed(), QByteArray("size=20"));
    QCOMPARE(keyLine(file, "youbifont", "name").trimmed(), "name=" + msPGothic);
    QCOMPARE(keyLine(file, "youbifont", "size").trimmed(), QByteArray("size=16"));
    QCOMPARE(keyLine(file, "youbifont", "stylebold").trimmed(), QByteArray("stylebold=1"));
    QCOMPARE(keyLine(file, "nenfont", "name").trimmed(), "name=" + msPGothic);
    QCOMPARE(keyLine(file, "nenfont", "stylebold").trimmed(), QByteArray("stylebold=1"));
}

void TestDialogs::settingsPreviewAndSwatchPixels()
{
    QVERIFY(openWindow());
    withSettings([](Tfrmsettei *s) {
        whenModal([](QWidget *dialog) {
            qobject_cast<QColorDialog *>(dialog)->setCurrentColor(QColor(0, 255, 0));
            qobject_cast<QColorDialog *>(dialog)->accept();
        });
        mouseClick(s->findChild<TButtonEx *>("colorbtn_1"), Qt::LeftButton);
        // A pure green swatch is captioned in magenta.
        const QImage swatch = s->findChild<TButtonEx *>("colorbtn_1")->grab().toImage();
        QCOMPARE(swatch.pixelColor(6, 12), QColor(0, 255, 0));
        bool magenta = false;
        for (int y = 4; y < 21 && !magenta; ++y)
            for (int x = 4; x < 53 && !magenta; ++x)
                magenta = swatch.pixelColor(x, y) == QColor(255, 0, 255);
        QVERIFY(magenta);
        // The preview's Sunday header shows the working colour; the marks their colours.
        auto *grid = s->findChild<DrawGrid *>("dg2");
        const QImage preview = grid->grab().toImage();
        QCOMPARE(preview.pixelColor(grid->cellRect(0, 0).toRect().topLeft() + QPoint(1, 1)), QColor(0, 255, 0));
        const CellRect batu = grid->cellRect(1, 2);
        QCOMPARE(preview.pixelColor(batu.toRect().center()), QColor(0x80, 0x40, 0x00));
        QCOMPARE(preview.pixelColor(grid->cellRect(2, 4).toRect().center()), QColor(0xC0, 0xC0, 0xC0));
        s->findChild<QSpinBox *>("sedit1")->setValue(8);
        const QImage thick = grid->grab().toImage();
        QCOMPARE(thick.pixelColor(batu.left + 5, batu.top + 1), QColor(0x80, 0x40, 0x00));
        QVERIFY(savePicture(s, "settings-1"));
        showPage(s, 1);
        QVERIFY(savePicture(s, "settings-2"));
    }, false);
}

// What keeps a caption from showing whole where it stands: too little room for
// its text in the style's drawing, a sibling over it, or a place outside its
// group's frame or outside the dialog. Empty when nothing does.
static QString describe(const QWidget *w)
{
    const QString name = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
    const QString text = w->property(qobject_cast<const QGroupBox *>(w) ? "title" : "text").toString();
    return text.isEmpty() ? name : QStringLiteral("%1 \"%2\"").arg(name, text);
}

static QStringList captionProblems(QWidget *w)
{
    QStringList problems;
    auto complain = [&](const QString &what) { problems << describe(w) + QStringLiteral(": ") + what; };
    const QFontMetrics fm = w->fontMetrics();
    auto needs = [&](const QString &text, const QRect &room, int padding) {
        const int advance = fm.horizontalAdvance(QString(text).remove(QLatin1Char('&')));
        if (advance + 2 * padding > room.width())
            complain(QStringLiteral("text %1 wide in %2").arg(advance + 2 * padding).arg(room.width()));
        if (fm.height() > room.height())
            complain(QStringLiteral("text %1 high in %2").arg(fm.height()).arg(room.height()));
    };
    QStyle *style = w->style();
    if (auto *label = qobject_cast<QLabel *>(w)) {
        if (!label->text().isEmpty())
            needs(label->text(), label->contentsRect(), 0);
    } else if (auto *swatch = qobject_cast<TButtonEx *>(w)) {
        if (!swatch->text().isEmpty())
            needs(swatch->text(), swatch->rect().adjusted(4, 4, -4, -4), 0);   // the owner-drawn caption's room
    } else if (auto *radio = qobject_cast<QRadioButton *>(w)) {
        QStyleOptionButton option;
        option.initFrom(radio);
        option.text = radio->text();
        needs(radio->text(), style->subElementRect(QStyle::SE_RadioButtonContents, &option, radio), 0);
    } else if (auto *push = qobject_cast<QPushButton *>(w)) {
        QStyleOptionButton option;
        option.initFrom(push);
        option.text = push->text();
        needs(push->text(), style->subElementRect(QStyle::SE_PushButtonContents, &option, push), 2);
    } else if (auto *group = qobject_cast<QGroupBox *>(w)) {
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.text = group->title();
        option.textAlignment = group->alignment();
        option.lineWidth = 1;
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        const QRect title = style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
        if (title.isEmpty() || !group->rect().contains(title))
            complain(QStringLiteral("no room for the title"));
        else
            needs(group->title(), title, 0);
        for (QWidget *child : group->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            auto *frame = qobject_cast<QFrame *>(child);
            const bool line = frame && (frame->frameShape() == QFrame::HLine || frame->frameShape() == QFrame::VLine);
            if (child->isVisible() && !line && !group->contentsRect().contains(child->geometry()))
                complain(describe(child) + QStringLiteral(" reaches out of the frame"));
            if (child->isVisible() && child->geometry().intersects(title))
                complain(describe(child) + QStringLiteral(" is over the title"));
        }
    }
    // Side by side with its siblings, and wholly inside the dialog.
    if (QWidget *parent = w->parentWidget()) {
        for (QWidget *sibling : parent->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            if (sibling != w && sibling->isVisible() && !sibling->isWindow() && sibling->geometry().intersects(w->geometry()))
                complain(QStringLiteral("overlaps ") + describe(sibling));
    }
    const QRect inDialog(w->mapTo(w->window(), QPoint()), w->size());
    if (!w->window()->rect().contains(inDialog))
        complain(QStringLiteral("outside the dialog"));
    return problems;
}

// Every caption of both pages whole, with the fonts in use at this scale (run at
// scale 1 and at QT_SCALE_FACTOR=2).
void TestDialogs::settingsCaptionsFit()
{
    QVERIFY(openWindow());
    withSettings([](Tfrmsettei *s) {
        auto *tabs = s->findChild<QTabWidget *>("PageControl1");
        QTabBar *bar = tabs->tabBar();
        for (int tab = 0; tab < bar->count(); ++tab) {
            const int needed = bar->fontMetrics().horizontalAdvance(bar->tabText(tab))
                               + bar->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, bar);
            QVERIFY2(bar->tabRect(tab).width() >= needed, qPrintable(bar->tabText(tab)));
        }
        for (int page = 0; page < tabs->count(); ++page) {
            showPage(s, page);
            QStringList problems;
            int checked = 0;
            for (QWidget *w : s->findChildren<QWidget *>()) {
                const bool captioned = qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w) || qobject_cast<QGroupBox *>(w);
                if (!w->isVisible() || !captioned || w->window() != s)
                    continue;
                problems << captionProblems(w);
                ++checked;
            }
            QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
            QVERIFY(checked >= 15);
            QVERIFY(savePicture(s, QStringLiteral("settings-%1-scale%2").arg(page + 1).arg(s->devicePixelRatio())));
        }
    }, false);
}

void TestDialogs::colorBoxNamesAndCustomColours()
{
    ColorBox box;
    QList<Color> chosen;
    connect(&box, &ColorBox::colorChanged, [&chosen](Color c) { chosen << c; });
    box.setSelected(clRed);
    QCOMPARE(box.currentText(), QStringLiteral("赤"));
    box.setSelected(0x123456);   // not in the list: shown as the custom entry
    QCOMPARE(box.currentIndex(), box.count() - 1);
    QCOMPARE(box.currentText(), QStringLiteral("$00123456"));
    QVERIFY(chosen.isEmpty());   // showing a colour is no choice

    const int lime = box.findText(QStringLiteral("ライム"));
    box.setCurrentIndex(lime);
    emit box.activated(lime);
    whenModal([](QWidget *dialog) {
        auto *chooser = qobject_cast<QColorDialog *>(dialog);
        QCOMPARE(chooser->currentColor(), QColor(0, 255, 0));   // opens on the colour shown
        chooser->setCurrentColor(QColor(1, 2, 3));
        chooser->accept();
    });
    box.setCurrentIndex(box.count() - 1);
    emit box.activated(box.count() - 1);
    whenModal([](QWidget *dialog) { qobject_cast<QColorDialog *>(dialog)->reject(); });
    emit box.activated(box.count() - 1);
    QCOMPARE(chosen, (QList<Color>{clLime, 0x030201}));
    QCOMPARE(box.selected(), Color(0x030201));
}

void TestDialogs::messageBoxesFitTheirTitle_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("information with a short text") << int(MessageBoxes::Kind::Information) << "ヒビシルシ" << "OK";
    QTest::newRow("error with a short text") << int(MessageBoxes::Kind::Error) << "ヒビシルシ" << "×";
    QTest::newRow("warning with a long title") << int(MessageBoxes::Kind::WarningYesNo) << "データの一括入力についての確認と警告"
                                               << "はい？";
}

// A real box, not the recorder: as wide as its title needs in a bold title-bar
// font, beside a window icon and three title-bar buttons.
void TestDialogs::messageBoxesFitTheirTitle()
{
    QFETCH(int, kind);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QVERIFY(openWindow());
    MessageBoxes::setHandler(nullptr);
    QString shownTitle, shownText;
    int width = 0;
    whenModal([&](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        QVERIFY(box);
        QVERIFY(QTest::qWaitForWindowExposed(box));
        shownTitle = box->windowTitle();
        shownText = box->text();
        width = box->width();
        savePicture(box, QStringLiteral("messagebox-%1").arg(kind));
        box->buttons().last()->click();
    });
    switch (MessageBoxes::Kind(kind)) {
    case MessageBoxes::Kind::Information: MessageBoxes::information(window(), text); break;
    case MessageBoxes::Kind::Error: MessageBoxes::error(window(), text); break;
    case MessageBoxes::Kind::WarningYesNo: QVERIFY(!MessageBoxes::warningYesNo(window(), title, text)); break;
    }
    QCOMPARE(shownTitle, title);
    QCOMPARE(shownText, text);
    QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    titleFont.setBold(true);
    QVERIFY2(width >= QFontMetrics(titleFont).horizontalAdvance(title) + 4 * 24,
             qPrintable(QStringLiteral("%1 wide").arg(width)));
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
