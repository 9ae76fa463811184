// The year chart: opened from "集計", it shows the displayed calendar's year month
// by month as the file has it, steps through the years with buttons and keys
// without moving the main window, paints its bars in the marks' colours of the
// settings and keeps its place.
#include "WindowTest.h"

#include "components/CtrlsEx.h"
#include "settings/IniFile.h"
#include "dialogs/settei.h"
#include "storage/FileError.h"
#include "dialogs/YearChart.h"

#include <QAccessible>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

using namespace hibi;
using namespace hibi::test;

namespace {

// A year with a pattern a reader can follow: month m has m ○ (from the 1st),
// (12 - m) / 2 × and m % 3 △ after them; a stray ○ in a cell without a day of
// February.
QByteArray patternRecord(int year)
{
    QList<std::tuple<int, int, int>> marks;
    for (int m = 1; m <= 12; ++m) {
        int day = 1;
        for (int i = 0; i < m; ++i)
            marks.append({m, day++, 1});
        for (int i = 0; i < (12 - m) / 2; ++i)
            marks.append({m, day++, 2});
        for (int i = 0; i < m % 3; ++i)
            marks.append({m, day++, 3});
    }
    QByteArray r = record(year, marks);
    const int febFirst = QDate(year, 2, 1).dayOfWeek() % 7;
    r[2 + 42 + febFirst + QDate(year, 2, 1).daysInMonth() + 1] = char(1);
    return r;
}

int colourPixels(const QImage &image, const QRect &area, const QColor &colour)
{
    int n = 0;
    for (int y = std::max(0, area.top()); y <= std::min(image.height() - 1, area.bottom()); ++y)
        for (int x = std::max(0, area.left()); x <= std::min(image.width() - 1, area.right()); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

} // namespace

class TestYearChart : public WindowTest
{
    Q_OBJECT

private slots:
    void menuItemSitsAfterTheTallies();
    void showsTheFileOfTheDisplayedYear();
    void barsStandForTheirNumbers();
    void fullMonthsAtTheSmallestSize();
    void countsChangedWhileHiddenArePainted();
    void stepsYearsWithButtonsAndKeys();
    void yearThatCannotBeReadOpensNothing();
    void followsTheSettingsColours();
    void keepsItsPlace();
    void streaksOfTheChosenMark();

private:
    // Opens the chart from its menu item and runs `operate` in it; the chart is
    // then closed with its button unless `operate` closed it.
    void withChart(const std::function<void(TYearChart *)> &operate);
    QColor marksColour(int mark) const;
};

void TestYearChart::withChart(const std::function<void(TYearChart *)> &operate)
{
    bool ran = false;
    whenModal([&](QWidget *dialog) {
        // A failed check inside `operate` returns from it alone: the chart closes all the same.
        auto *chart = qobject_cast<TYearChart *>(dialog);
        if (chart && QTest::qWaitForWindowExposed(chart)) {
            ran = true;
            operate(chart);
        }
        if (chart && chart->isVisible())
            mouseClick(chart->findChild<QPushButton *>("btnclose"), Qt::LeftButton);
        else if (dialog->isVisible())
            dialog->close();
    });
    action("mnuchart")->trigger();
    QVERIFY(ran);
    QVERIFY(!QApplication::activeModalWidget());
}

QColor TestYearChart::marksColour(int mark) const
{
    const Appearance &a = window()->appearance();
    return ToQColor(mark == 1 ? a.MaruColor : mark == 2 ? a.BatuColor : a.SankakuColor);
}

void TestYearChart::menuItemSitsAfterTheTallies()
{
    QVERIFY(openWindow());
    QMenu *tally = nullptr;
    for (QAction *a : window()->menuBar()->actions())
        if (a->text() == "集計(&T)")
            tally = a->menu();
    QVERIFY(tally);
    QStringList items;
    for (QAction *a : tally->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    QCOMPARE(items, (QStringList{"countall", "countpart", "-", "mnuchart"}));
    QCOMPARE(action("mnuchart")->text(), "年間グラフ(&G)...");
}

// The numbers are those of the file after the main window wrote its year back:
// a mark set a moment ago counts, a stray byte in a cell without a day does not.
void TestYearChart::showsTheFileOfTheDisplayedYear()
{
    writeFile(file("ジョギング"), kHeader + patternRecord(2026) + patternRecord(2025));
    QVERIFY(openWindow());
    clickDay(31);                       // 31 March: a ○ not yet in the file
    clickDay(30, Qt::RightButton);      // and a ×
    QByteArray shown;
    withChart([&](TYearChart *chart) {
        shown = readFile(file("ジョギング"));
        QCOMPARE(chart->year(), 2026);
        QCOMPARE(chart->counts(), countBytes(shown, 2026));
        QCOMPARE(chart->view()->counts(), chart->counts());
        QCOMPARE(chart->findChild<QLabel *>("lblyear")->text(), "ジョギング　2026年");
        QCOMPARE(chart->windowTitle(), "年間グラフ - ジョギング");
        savePicture(chart, "yearchart");
    });
    // The marks just set reached the file before the chart read it.
    QCOMPARE(countBytes(shown, 2026).month(3), (MarkCounts{3 + 1, 4 + 1, 0}));
    QCOMPARE(countBytes(shown, 2026).month(2), (MarkCounts{2, 5, 2}));   // the stray ○ is no day's
    QVERIFY(messages().boxes.isEmpty());
}

// Each bar is painted in its mark's colour, as high as its number asks on one
// scale; months without a mark of a kind have no bar for it.
void TestYearChart::barsStandForTheirNumbers()
{
    writeFile(file("カレンダー1"), kHeader + patternRecord(2026));
    QVERIFY(openWindow());
    withChart([&](TYearChart *chart) {
        YearChartView *view = chart->view();
        const QImage image = view->grab().toImage();
        const YearCounts &counts = chart->counts();
        QCOMPARE(view->scaleTop(), 15);   // 12 ○ in December: the next round number
        const int unit = view->barRect(12, 1).height();   // 12 marks
        QVERIFY2(unit > 120, "the chart is big enough to read");
        int bars = 0;
        for (int month = 1; month <= 12; ++month) {
            for (int mark = 1; mark <= 3; ++mark) {
                const int count = mark == 1 ? counts.month(month).maru
                        : mark == 2         ? counts.month(month).batu
                                            : counts.month(month).sankaku;
                const QRect bar = view->barRect(month, mark);
                const QString where = QStringLiteral("month %1 mark %2").arg(month).arg(mark);
                if (count == 0) {
                    QVERIFY2(bar.isEmpty(), qPrintable(where));
                    continue;
                }
                ++bars;
                // Height in proportion to the count, to a pixel's rounding.
                QVERIFY2(std::abs(bar.height() * 12 - unit * count) <= 12, qPrintable(where));
                // Filled in the mark's colour, left to right and top to bottom.
                QCOMPARE(colourPixels(image, bar, marksColour(mark)), bar.width() * bar.height());
                // Bars of a month stand side by side in the order ○ × △, on one base line.
                if (mark > 1 && !view->barRect(month, mark - 1).isEmpty())
                    QVERIFY(view->barRect(month, mark - 1).right() < bar.left());
                QCOMPARE(bar.bottom(), view->barRect(12, 1).bottom());
            }
            if (month > 1)
                QVERIFY(view->barRect(month - 1, 1).right() < view->barRect(month, 1).left());
        }
        QCOMPARE(bars, 12 + 10 + 8);   // ○ every month, × in January to October, △ where m % 3 != 0
        // The marks' colours appear nowhere but in the bars and the totals' glyphs.
        for (int mark = 1; mark <= 3; ++mark) {
            int inBars = 0;
            for (int month = 1; month <= 12; ++month)
                inBars += view->barRect(month, mark).width() * view->barRect(month, mark).height();
            const int all = colourPixels(image, image.rect(), marksColour(mark));
            QVERIFY(all >= inBars);
            QVERIFY2(all - inBars < 400, qPrintable(QString::number(all - inBars)));
        }
    });
}

// Every day marked, at the smallest size the window takes: the scale goes to 35,
// every bar keeps its place and its number's room, and a year without marks
// says so instead of showing nothing.
void TestYearChart::fullMonthsAtTheSmallestSize()
{
    QList<std::tuple<int, int, int>> all;
    for (int month = 1; month <= 12; ++month)
        for (int day = 1; day <= QDate(2026, month, 1).daysInMonth(); ++day)
            all.append({month, day, (month - 1) % 3 + 1});
    writeFile(file("カレンダー1"), kHeader + record(2026, all));
    QVERIFY(openWindow());
    withChart([&](TYearChart *chart) {
        chart->resize(chart->minimumSize());
        QTRY_COMPARE(chart->size(), chart->minimumSize());
        YearChartView *view = chart->view();
        QCOMPARE(view->scaleTop(), 35);
        QCOMPARE(chart->counts().total(), (MarkCounts{31 + 30 + 31 + 31, 28 + 31 + 31 + 30, 31 + 30 + 30 + 31}));
        const QImage image = view->grab().toImage();
        for (int month = 1; month <= 12; ++month) {
            const int mark = (month - 1) % 3 + 1;
            const QRect bar = view->barRect(month, mark);
            QCOMPARE(bar.height() >= 100, true);
            QVERIFY(bar.width() >= 8);
            QCOMPARE(colourPixels(image, bar, marksColour(mark)), bar.width() * bar.height());
            // Room above it for its number, inside the chart.
            QVERIFY(bar.top() > 12);
        }
        savePicture(chart, "yearchart-smallest");
        mouseClick(chart->findChild<QPushButton *>("btnnext"), Qt::LeftButton);
        QCOMPARE(chart->counts().total(), MarkCounts{});
        QVERIFY(view->barRect(1, 1).isEmpty());
        savePicture(chart, "yearchart-empty");
    });
}

// A view lays itself out when it is shown, not while hidden: counts it gets while
// hidden, after it was shown once, are what its next paint shows, at its size.
void TestYearChart::countsChangedWhileHiddenArePainted()
{
    YearChartView view;
    view.setLook({{Qt::red, Qt::green, Qt::blue}, 1});
    YearCounts counts{2026, {}};
    counts.months[0] = {5, 0, 0};
    view.setCounts(counts);
    view.resize(760, 380);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const int five = view.barRect(1, 1).height();
    QVERIFY(five > 100);
    view.hide();
    counts.months[0] = {2, 0, 3};   // the same scale, up to 5
    view.setCounts(counts);
    const QImage image = view.grab().toImage();
    const QRect maru = view.barRect(1, 1);
    const QRect sankaku = view.barRect(1, 3);
    QVERIFY(std::abs(maru.height() * 5 - five * 2) <= 5);
    QVERIFY(std::abs(sankaku.height() * 5 - five * 3) <= 5);
    QVERIFY(view.barRect(1, 2).isEmpty());
    QCOMPARE(colourPixels(image, maru, Qt::red), maru.width() * maru.height());
    QCOMPARE(colourPixels(image, sankaku, Qt::blue), sankaku.width() * sankaku.height());
}

// ◀ ▶ and the keys read the other years of the same calendar; the main window
// stays on its month with its marks, and no file changes.
void TestYearChart::stepsYearsWithButtonsAndKeys()
{
    writeFile(file("カレンダー1"), kHeader + patternRecord(2026) + record(2024, {{2, 29, 3}, {7, 7, 2}}));
    QVERIFY(openWindow());
    const QByteArray before = readFile(file("カレンダー1"));
    const hibi::YearMarks marks = window()->calendar().YearMarks();
    QList<int> years;
    QList<YearCounts> seen;
    withChart([&](TYearChart *chart) {
        auto *prv = chart->findChild<QPushButton *>("btnprv");
        auto *next = chart->findChild<QPushButton *>("btnnext");
        auto *label = chart->findChild<QLabel *>("lblyear");
        auto note = [&] {
            years << chart->year();
            seen << chart->counts();
            QCOMPARE(label->text(), QStringLiteral("カレンダー1　%1年").arg(chart->year()));
        };
        mouseClick(prv, Qt::LeftButton);
        note();
        keyClick(chart, Qt::Key_Left);
        note();
        keyClick(chart, Qt::Key_PageDown);
        note();
        keyClick(chart, Qt::Key_Right);
        note();
        mouseClick(next, Qt::LeftButton);
        note();
        keyClick(chart, Qt::Key_PageUp);
        note();
        // With the focus on a button the arrows still step the year.
        next->setFocus();
        keyClick(chart, Qt::Key_Left);
        note();
        QCOMPARE(window()->calendar().DisplayYear(), 2026);   // the main window stays meanwhile
        keyClick(chart, Qt::Key_Escape);
        QTRY_VERIFY(!chart->isVisible());
    });
    QCOMPARE(years, (QList<int>{2025, 2024, 2025, 2026, 2027, 2026, 2025}));
    const QByteArray file = readFile(this->file("カレンダー1"));
    for (qsizetype i = 0; i < years.size(); ++i)
        QCOMPARE(seen[i], countBytes(file, years[i]));
    QCOMPARE(seen[1].month(2), (MarkCounts{0, 0, 1}));   // 29 February 2024
    QCOMPARE(seen[0].total(), MarkCounts{});             // 2025 has no record
    QCOMPARE(window()->calendar().DisplayYear(), 2026);
    QCOMPARE(window()->calendar().DisplayMonth(), 3);
    QVERIFY(window()->calendar().YearMarks() == marks);
    QCOMPARE(file, before);
    QVERIFY(messages().boxes.isEmpty());
}

// A calendar file that cannot be read: the message of the file, and no chart.
void TestYearChart::yearThatCannotBeReadOpensNothing()
{
    writeFile(file("A"), kHeader + patternRecord(2026));
    writeFile(file("B"), kHeader + patternRecord(2026));
    QVERIFY(openWindow());
    selectCalendar(1);
    QCOMPARE(window()->calendar().CurrentCalendarName(), "B");
    // B's file turns into a folder behind the program's back.
    QVERIFY(QFile::remove(file("B")));
    QVERIFY(QDir().mkdir(file("B")));
    MaybeModal closeAny([](QWidget *dialog) { dialog->close(); });
    action("mnuchart")->trigger();
    QVERIFY(!window()->findChild<TYearChart *>());
    QCOMPARE(messages().texts(), QStringList{FileError::cannotOpen(file("B")).message()});
}

// The colours chosen in the settings dialog are the bars' colours at the next
// opening, and an open chart takes the look again when asked.
void TestYearChart::followsTheSettingsColours()
{
    writeFile(iniPath(), "[backcolor]\r\nmaru=clRed\r\nbatu=$00FF0000\r\nsankaku=clGreen\r\n");
    writeFile(file("カレンダー1"), kHeader + patternRecord(2026));
    QVERIFY(openWindow());
    auto pixelOfBar = [](TYearChart *chart, int month, int mark) {
        YearChartView *view = chart->view();
        return view->grab().toImage().pixelColor(view->barRect(month, mark).center());
    };
    withChart([&](TYearChart *chart) {
        QCOMPARE(pixelOfBar(chart, 1, 1), QColor(255, 0, 0));
        QCOMPARE(pixelOfBar(chart, 1, 2), QColor(0, 0, 255));
        QCOMPARE(pixelOfBar(chart, 1, 3), QColor(0, 128, 0));
    });

    // The ○ colour chosen in the settings dialog, with OK.
    bool chosen = false;
    whenModal([&](QWidget *dialog) {
        whenModal([&](QWidget *chooser) {
            if (auto *colours = qobject_cast<QColorDialog *>(chooser)) {
                colours->setCurrentColor(QColor(0x12, 0x9A, 0x56));
                colours->accept();
                chosen = true;
            } else {
                chooser->close();
            }
        });
        mouseClick(dialog->findChild<TButtonEx *>("colorbtn_6"), Qt::LeftButton);
        mouseClick(dialog->findChild<QPushButton *>("btnok"), Qt::LeftButton);
    });
    action("settei")->trigger();
    QVERIFY(chosen);
    withChart([&](TYearChart *chart) {
        QCOMPARE(pixelOfBar(chart, 1, 1), QColor(0x12, 0x9A, 0x56));
        QCOMPARE(pixelOfBar(chart, 1, 2), QColor(0, 0, 255));
        // Another look while it is open, taken when asked.
        Appearance look = window()->appearance();
        look.BatuColor = 0x00CCBBAA;
        window()->applyAppearance(look, monthGrid()->defaultRowHeight());
        chart->lookChanged();
        QCOMPARE(pixelOfBar(chart, 1, 2), QColor(0xAA, 0xBB, 0xCC));
    });
}

void TestYearChart::keepsItsPlace()
{
    QVERIFY(openWindow());
    withChart([&](TYearChart *chart) {
        // At first as large as the defaults ask, 800 × 500, as far as the screen
        // holds it with its frame.
        const QRect screen = chart->screen()->availableGeometry();
        QCOMPARE(chart->size(), QSize(800, 500).boundedTo(screen.size() - FrameExtent(window())));
        QVERIFY(screen.contains(chart->pos()));
        chart->resize(700, 450);
        chart->move(31, 42);
    });
    IniFile ini = IniFile::load(iniPath());
    QCOMPARE(ini.readInteger("chart", "left", -1), 31);
    QCOMPARE(ini.readInteger("chart", "top", -1), 42);
    QCOMPARE(ini.readInteger("chart", "width", -1), 700);
    QCOMPARE(ini.readInteger("chart", "height", -1), 450);
    // Only its own section was written: the main window's keys wait for its close.
    QCOMPARE(ini.keys("pos").size(), 0);
    withChart([&](TYearChart *chart) {
        QCOMPARE(chart->pos(), QPoint(31, 42));
        QCOMPARE(chart->size(), QSize(700, 450));
    });
}

// Under the chart: the longest run of the chosen mark inside the chart's year
// and the run up to today (10 March 2026), chosen with the keys; stepping the
// year keeps the mark.
void TestYearChart::streaksOfTheChosenMark()
{
    QList<std::tuple<int, int, int>> marks;
    for (int day = 1; day <= 12; ++day)
        marks.append({1, day, 1});
    for (int day = 6; day <= 10; ++day)
        marks.append({3, day, 1});
    marks += QList<std::tuple<int, int, int>>{{2, 27, 2}, {2, 28, 2}, {3, 1, 2}, {3, 2, 2}};
    QList<std::tuple<int, int, int>> december{{6, 1, 2}};
    for (int day = 20; day <= 31; ++day)
        december.append({12, day, 1});
    writeFile(file("カレンダー1"), kHeader + record(2026, marks) + record(2025, december));
    QVERIFY(openWindow());
    QStringList seen;
    withChart([&](TYearChart *chart) {
        auto *mark = chart->findChild<QComboBox *>("cboxstreak");
        auto *longest = chart->findChild<QLabel *>("lbllongest");
        auto *current = chart->findChild<QLabel *>("lblcurrent");
        QVERIFY(mark && longest && current);
        QCOMPARE(mark->accessibleName(), "連続日数を数える印");
        QAccessibleInterface *about = QAccessible::queryAccessibleInterface(mark);
        QVERIFY(about);
        // Where names come from labels, the label that leads to it names it.
        QStringList labels;
        for (const auto &[other, relation] : about->relations(QAccessible::Label))
            labels << other->text(QAccessible::Name);
        QCOMPARE(labels, QStringList{"連続日数"});
        auto note = [&] { seen << longest->text() << current->text(); };
        note();
        // Alt+R reaches the marks, Down chooses ×.
        keyClick(chart, Qt::Key_R, Qt::AltModifier);
        QTRY_VERIFY(mark->hasFocus());
        keyClick(chart, Qt::Key_Down);
        QCOMPARE(mark->currentText(), "×");
        note();
        keyClick(chart, Qt::Key_Left);
        QCOMPARE(chart->year(), 2025);
        note();
        keyClick(chart, Qt::Key_Up);
        note();
        savePicture(chart, "yearchart-streaks");
    });
    QCOMPARE(seen, (QStringList{
            "最長連続 ○ 12日（1月1日〜1月12日）", "現在の連続 ○ 5日（3月6日〜3月10日）",
            "最長連続 × 4日（2月27日〜3月2日）", "現在の連続 × なし",
            "最長連続 × 1日（6月1日）", "現在の連続 × なし",
            "最長連続 ○ 12日（12月20日〜12月31日）", "現在の連続 ○ 5日（2026年3月6日〜2026年3月10日）"}));
}

QTEST_MAIN(TestYearChart)
#include "tst_yearchart.moc"
