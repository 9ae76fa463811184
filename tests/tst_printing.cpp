// Printing: the month page and the year page drawn through the month view's cell
// painter onto images and PDF files (cells where the days are, marks, holidays
// and today as on screen, fitting A4 and Letter), notes' signs, and "印刷..."
// from the menu through the preview and Qt's print dialog into a PDF file.
#include "WindowTest.h"

#include "app/CalendarPrint.h"
#include "app/PrintPages.h"
#include "components/Look.h"

#include <QBuffer>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QToolBar>

#include <numeric>

using namespace hibi;
using namespace hibi::test;

namespace {

constexpr qreal kMargin = 15 / 25.4;   // inches, as the print command sets them

// The default look with holidays' cells in a colour of their own.
Appearance testLook()
{
    Appearance look = DefaultSettings().appearance;
    look.DayHolidayBack = 0x00E0E0FF;   // pink
    return look;
}

PrintedYear printedYear(const YearMarks &marks, NoteOf notes = {})
{
    PrintedYear year;
    year.calendarName = QStringLiteral("カレンダー1");
    year.year = 2026;
    year.marks = marks;
    year.layoutOf = [](int y, int m) { return LayoutMonthGrid(y, m, kToday, HolidayTable::Standard()); };
    year.noteOf = std::move(notes);
    return year;
}

PrintPages pagesOf(const Appearance &look)
{
    DayCellPainter cells;
    cells.setLook(look);
    return PrintPages(cells, look);
}

// An A4 sheet at the screen's 96 dpi, and the printable area inside its margins.
QImage a4Image()
{
    QImage image(794, 1123, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    return image;
}

QRectF printable(const QSizeF &sheet, qreal dpi)
{
    return QRectF(kMargin * dpi, kMargin * dpi, sheet.width() - 2 * kMargin * dpi, sheet.height() - 2 * kMargin * dpi);
}

int countPixels(const QImage &image, const QRect &area, const std::function<bool(const QColor &)> &match)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += match(image.pixelColor(x, y));
    return n;
}

bool dark(const QColor &c)
{
    return c.red() < 100 && c.green() < 100 && c.blue() < 100;
}

bool reddish(const QColor &c)
{
    return c.red() > 160 && c.green() < 90 && c.blue() < 90;
}

bool near(const QColor &a, const QColor &b, int tolerance = 24)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) <= tolerance;
}

// The box around the pixels that `match` in `area`.
QRect boxOf(const QImage &image, const QRect &area, const std::function<bool(const QColor &)> &match)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (match(image.pixelColor(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

QString tool(const char *name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

// The text of a PDF, read by poppler's pdftotext.
QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(tool("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QString();
    // The CJK fonts draw 日 and ⽇ (the radical) with one glyph, and the PDF names
    // the glyph by the radical; the compatibility form gives the ideograph back.
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

// The first page of a PDF as poppler draws it at 96 dpi.
QImage pdfPicture(const QString &pdf)
{
    const QString base = pdf + QStringLiteral("-page");
    QProcess p;
    p.start(tool("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-png"), QStringLiteral("-singlefile"),
                               pdf, base});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QImage();
    QImage image(base + QStringLiteral(".png"));
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    return image.convertToFormat(QImage::Format_RGB32);
}

QSet<QString> words(const QString &text)
{
    const QStringList list = text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    return QSet<QString>(list.begin(), list.end());
}

void writePdf(const QString &path, const std::function<void(QPainter &, const QRectF &)> &paint, QPageSize size = QPageSize(QPageSize::A4))
{
    QPdfWriter writer(path);
    writer.setPageSize(size);
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    QPainter painter(&writer);
    paint(painter, QRectF(QPointF(0, 0), writer.pageLayout().paintRectPixels(writer.resolution()).size()));
}

} // namespace

class TestPrinting : public WindowTest
{
    Q_OBJECT

private slots:
    void monthPageCells();
    void yearPageCells();
    void pagesFitThePaper_data();
    void pagesFitThePaper();
    void sameLayoutAtAnyResolution();
    void notesMarkTheirDays();
    void monthPageAsPdf();
    void printsWhatTheViewShows();
    void menuPrintsTheYearIntoAPdf();
    void shortcutPrintsTheMonthIntoAPdf();
    void withoutPrintersThePdfIsOffered();

private:
    // Prints through the preview and the print dialog into `pdf`, the range
    // chosen in the preview with the keys (`yearPage`: one step down).
    bool printThroughDialogs(const std::function<void()> &start, const QString &pdf, bool yearPage);
};

// March 2026 as the month page draws it: each day's number in the middle of its
// cell, in red on Sundays and holidays over the holidays' background, the marks
// of memory in their cells, today framed, the cells after the 31st in the
// margin colour, lines in the screen grid's grey between the cells.
void TestPrinting::monthPageCells()
{
    const Appearance look = testLook();
    const PrintPages pages = pagesOf(look);
    const YearMarks marks = marksOf(2026, {{3, 5, 1}, {3, 12, 2}, {3, 25, 3}});
    const PrintedYear year = printedYear(marks);
    QImage image = a4Image();
    const QRectF page = printable(image.size(), 96);
    {
        QPainter painter(&image);
        pages.paintMonth(painter, page, year, 3);
    }
    QDir().mkpath(QStringLiteral("pictures"));
    image.save(QStringLiteral("pictures/print-month.png"));

    auto cellOf = [&](int day) {
        const GridCell c = CellOfDay(2026, 3, day);
        return pages.monthCell(image, page, year, 3, c.col, c.row).toRect();
    };
    const MonthLayout layout = year.layoutOf(2026, 3);
    QCOMPARE(layout.rowCount, 6);   // five weeks
    for (int day = 1; day <= 31; ++day) {
        const QRect cell = cellOf(day);
        QVERIFY(page.contains(cell));
        const GridCell c = CellOfDay(2026, 3, day);
        const bool holiday = layout.at(c.col, c.row).holiday;
        QCOMPARE(holiday, c.col == 0 || day == 20);   // 20 March 2026: the equinox
        const QRect number = boxOf(image, cell.adjusted(6, 6, -6, -6), holiday ? reddish : dark);
        const QString where = QStringLiteral("%1 March").arg(day);
        QVERIFY2(!number.isEmpty(), qPrintable(where));
        // Centred in its cell, one or two digits wide.
        QVERIFY2(std::abs(number.center().x() - cell.center().x()) <= 3, qPrintable(where));
        QVERIFY2(std::abs(number.center().y() - cell.center().y()) <= 4, qPrintable(where));
        QVERIFY2(number.width() < cell.width() / 2 && number.height() >= 8, qPrintable(where));
        // Holidays' background on Sundays and holidays, the weekdays' elsewhere.
        const QColor back = image.pixelColor(cell.left() + 8, cell.top() + 2);
        QCOMPARE(back, ToQColor(holiday ? look.DayHolidayBack : look.DayWeekdayBack));
    }
    // The cells follow the weeks: a week a row, Sunday at the left.
    QCOMPARE(cellOf(8).left(), cellOf(1).left());
    QVERIFY(cellOf(8).top() > cellOf(1).bottom());
    QVERIFY(cellOf(2).left() > cellOf(1).right());
    // Each mark in its own day's cell, in its colour, and not in the next one.
    for (auto [day, colour] : {std::pair{5, look.MaruColor}, std::pair{12, look.BatuColor}, std::pair{25, look.SankakuColor}}) {
        auto isMark = [c = ToQColor(colour)](const QColor &p) { return near(p, c); };
        QVERIFY2(countPixels(image, cellOf(day), isMark) > 40, qPrintable(QString::number(day)));
        QCOMPARE(countPixels(image, cellOf(day + 1), isMark), 0);
        QCOMPARE(countPixels(image, cellOf(day - 1), isMark), 0);
    }
    // Today's frame on the edge of 10 March.
    const QRect today = cellOf(10);
    QCOMPARE(image.pixelColor(today.left() + 1, today.center().y()), ToQColor(look.TodayColor));
    QCOMPARE(image.pixelColor(today.center().x(), today.bottom() - 1), ToQColor(look.TodayColor));
    QVERIFY(image.pixelColor(cellOf(11).left() + 1, cellOf(11).center().y()) != ToQColor(look.TodayColor));
    // The cells without a day after the 31st: the margin colour alone.
    for (int col = 3; col < 7; ++col) {
        const QRect empty = pages.monthCell(image, page, year, 3, col, 5).toRect();
        QCOMPARE(countPixels(image, empty, [&](const QColor &p) { return p == ToQColor(look.YohakuBack); }),
                 empty.width() * empty.height());
    }
    // The weekday header: Sunday in the holidays' colours.
    const QRect sunday = pages.monthCell(image, page, year, 3, 0, 0).toRect();
    const QRect monday = pages.monthCell(image, page, year, 3, 1, 0).toRect();
    QCOMPARE(image.pixelColor(sunday.topLeft() + QPoint(1, 1)), ToQColor(look.YoubiHolidayBack));
    QCOMPARE(image.pixelColor(monday.topLeft() + QPoint(1, 1)), ToQColor(look.YoubiWeekdayBack));
    QVERIFY(sunday.bottom() < cellOf(1).top());
    // A line of the screen's grey between two cells.
    QCOMPARE(image.pixelColor(cellOf(2).right() + 1, cellOf(2).center().y()), kGridLineColor);
    // The title over the grid.
    QVERIFY(countPixels(image, QRect(0, int(page.top()), image.width(), sunday.top() - int(page.top())), dark) > 100);
}

// The year page: twelve months three across in four rows, each with its days
// and marks, today framed in March.
void TestPrinting::yearPageCells()
{
    const Appearance look = testLook();
    const PrintPages pages = pagesOf(look);
    const YearMarks marks = marksOf(2026, {{1, 1, 1}, {7, 4, 2}, {12, 31, 3}});
    const PrintedYear year = printedYear(marks);
    QImage image = a4Image();
    const QRectF page = printable(image.size(), 96);
    {
        QPainter painter(&image);
        pages.paintYear(painter, page, year);
    }
    image.save(QStringLiteral("pictures/print-year.png"));

    auto cellOf = [&](int month, int day) {
        const GridCell c = CellOfDay(2026, month, day);
        return pages.yearCell(image, page, year, month, c.col, c.row).toRect();
    };
    for (int month = 1; month <= 12; ++month) {
        const QRect first = pages.yearCell(image, page, year, month, 0, 0).toRect();
        const QRect last = pages.yearCell(image, page, year, month, 6, 6).toRect();
        QVERIFY(page.contains(first.united(last)));
        // Three months across, four down.
        if (month % 3 != 1)
            QVERIFY(pages.yearCell(image, page, year, month - 1, 6, 6).right() < first.left());
        if (month > 3)
            QVERIFY(pages.yearCell(image, page, year, month - 3, 6, 6).bottom() < first.top());
        for (int day : {1, 15, DaysInMonth(2026, month)}) {
            const QRect cell = cellOf(month, day);
            const GridCell c = CellOfDay(2026, month, day);
            const bool holiday = year.layoutOf(2026, month).at(c.col, c.row).holiday;
            const QRect number = boxOf(image, cell.adjusted(2, 2, -2, -2), holiday ? reddish : dark);
            const QString where = QStringLiteral("%1/%2").arg(month).arg(day);
            QVERIFY2(!number.isEmpty(), qPrintable(where));
            QVERIFY2(std::abs(number.center().x() - cell.center().x()) <= 3, qPrintable(where));
        }
    }
    QVERIFY(cellOf(1, 1).width() >= 24);   // a quarter of an inch at least
    for (auto [month, day, colour] : {std::tuple{1, 1, look.MaruColor}, std::tuple{7, 4, look.BatuColor},
                                      std::tuple{12, 31, look.SankakuColor}}) {
        auto isMark = [c = ToQColor(colour)](const QColor &p) { return near(p, c); };
        QVERIFY(countPixels(image, cellOf(month, day), isMark) > 10);
        QCOMPARE(countPixels(image, cellOf(month, day == 1 ? 2 : day - 1), isMark), 0);
    }
    const QRect today = cellOf(3, 10);
    QCOMPARE(image.pixelColor(today.left() + 1, today.center().y()), ToQColor(look.TodayColor));
    // A five-week month's sixth row is the margin colour.
    const QRect sixth = pages.yearCell(image, page, year, 3, 3, 6).toRect();
    QCOMPARE(countPixels(image, sixth, [&](const QColor &p) { return p == ToQColor(look.YohakuBack); }),
             sixth.width() * sixth.height());
}

void TestPrinting::pagesFitThePaper_data()
{
    QTest::addColumn<QPageSize>("paper");
    QTest::addColumn<bool>("yearPage");
    QTest::newRow("A4, month") << QPageSize(QPageSize::A4) << false;
    QTest::newRow("A4, year") << QPageSize(QPageSize::A4) << true;
    QTest::newRow("Letter, month") << QPageSize(QPageSize::Letter) << false;
    QTest::newRow("Letter, year") << QPageSize(QPageSize::Letter) << true;
}

// In portrait inside 15 mm margins: every cell on the page, none over another,
// big enough to read and write in.
void TestPrinting::pagesFitThePaper()
{
    QFETCH(QPageSize, paper);
    QFETCH(bool, yearPage);
    QBuffer buffer;
    QPdfWriter writer(&buffer);
    writer.setPageSize(paper);
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    const QRectF page(QPointF(0, 0), writer.pageLayout().paintRectPixels(writer.resolution()).size());
    QVERIFY(page.height() > page.width());
    const PrintPages pages = pagesOf(testLook());
    const PrintedYear year = printedYear(YearMarks());
    const qreal mm = writer.resolution() / 25.4;
    QList<QRectF> grids;
    for (int month = yearPage ? 1 : 6; month <= (yearPage ? 12 : 6); ++month) {   // May 2026 has six weeks
        QRectF grid;
        const int rows = yearPage ? 6 : year.layoutOf(2026, month).rowCount - 1;
        for (int row = 0; row <= rows; ++row)
            for (int col = 0; col < 7; ++col) {
                const QRectF cell = yearPage ? pages.yearCell(writer, page, year, month, col, row)
                                             : pages.monthCell(writer, page, year, month, col, row);
                QVERIFY(page.contains(cell));
                if (row > 0)
                    QVERIFY(cell.width() >= (yearPage ? 6 : 20) * mm && cell.height() >= (yearPage ? 5 : 15) * mm);
                grid |= cell;
            }
        for (const QRectF &other : grids)
            QVERIFY(!other.intersects(grid));
        grids << grid;
    }
    // The grids use the width of the page.
    const QRectF all = std::accumulate(grids.begin(), grids.end(), QRectF(), std::bit_or<QRectF>());
    QVERIFY(all.width() > page.width() * 0.95);
}

// Positions in inches do not depend on the device's resolution.
void TestPrinting::sameLayoutAtAnyResolution()
{
    QBuffer buffer;
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(1200);
    writer.setPageMargins(QMarginsF());   // its size is the sheet's
    const QImage image = a4Image();
    const PrintPages pages = pagesOf(testLook());
    const PrintedYear year = printedYear(YearMarks());
    const QRectF fine = printable(QSizeF(writer.width(), writer.height()), 1200);
    const QRectF coarse = printable(image.size(), 96);
    for (auto [col, row] : {std::pair{0, 0}, std::pair{3, 2}, std::pair{6, 5}}) {
        const QRectF a = pages.monthCell(writer, fine, year, 3, col, row);
        const QRectF b = pages.monthCell(image, coarse, year, 3, col, row);
        QVERIFY(std::abs(a.left() / 1200 - b.left() / 96) < 0.02);
        QVERIFY(std::abs(a.bottom() / 1200 - b.bottom() / 96) < 0.02);
        QVERIFY(std::abs(a.width() / 1200 - b.width() / 96) < 0.02);
    }
}

// A day with a note gets a sign in its cell's corner, and its note a line under
// the month; without notes the page holds nothing under the grid.
void TestPrinting::notesMarkTheirDays()
{
    const PrintPages pages = pagesOf(testLook());
    const QRectF page = printable(a4Image().size(), 96);
    const NoteOf notes = [](int y, int m, int d) {
        return y == 2026 && m == 3 && d == 3 ? QStringLiteral("歯医者") : d == 17 ? QStringLiteral("締め切り") : QString();
    };
    for (const bool withNotes : {true, false}) {
        const PrintedYear year = printedYear(YearMarks(), withNotes ? notes : NoteOf());
        QImage image = a4Image();
        {
            QPainter painter(&image);
            pages.paintMonth(painter, page, year, 3);
        }
        if (withNotes)
            image.save(QStringLiteral("pictures/print-notes.png"));
        auto corner = [&](int day) {
            const GridCell c = CellOfDay(2026, 3, day);
            const QRect cell = pages.monthCell(image, page, year, 3, c.col, c.row).toRect();
            return QRect(cell.right() - cell.width() / 6, cell.top(), cell.width() / 6, cell.height() / 6);
        };
        const auto sign = [](const QColor &p) { return p == QColor(0x40, 0x40, 0x40); };
        QCOMPARE(countPixels(image, corner(3), sign) > 20, withNotes);
        QCOMPARE(countPixels(image, corner(17), sign) > 20, withNotes);
        QCOMPARE(countPixels(image, corner(4), sign), 0);
        const QRect last = pages.monthCell(image, page, year, 3, 6, 5).toRect();
        const QRect under(int(page.left()), last.bottom() + 2, int(page.width()), int(page.bottom()) - last.bottom() - 2);
        const int ink = countPixels(image, under, dark);
        QVERIFY2(withNotes ? ink > 100 : ink == 0, qPrintable(QString::number(ink)));

        // The year page has room for the signs alone.
        QImage yearImage = a4Image();
        {
            QPainter painter(&yearImage);
            pages.paintYear(painter, page, year);
        }
        const GridCell c = CellOfDay(2026, 3, 3);
        const QRect cell = pages.yearCell(yearImage, page, year, 3, c.col, c.row).toRect();
        const QRect yearCorner(cell.right() - cell.width() / 5, cell.top(), cell.width() / 5, cell.height() / 5);
        QCOMPARE(countPixels(yearImage, yearCorner, sign) > 4, withNotes);
    }
}

// The month page as a PDF file at the writer's 1200 dpi: a real PDF with the
// title and every day's number as text.
void TestPrinting::monthPageAsPdf()
{
    const QString pdf = QDir(QDir::tempPath()).filePath(QStringLiteral("hibi-month-%1.pdf").arg(QCoreApplication::applicationPid()));
    const PrintPages pages = pagesOf(testLook());
    const PrintedYear year = printedYear(marksOf(2026, {{3, 5, 1}}), [](int, int, int d) {
        return d == 3 ? QStringLiteral("歯医者") : QString();
    });
    writePdf(pdf, [&](QPainter &painter, const QRectF &page) { pages.paintMonth(painter, page, year, 3); });
    const QByteArray bytes = readFile(pdf);
    QVERIFY(bytes.startsWith("%PDF-"));
    QVERIFY(bytes.size() > 2000);
    if (tool("pdftotext").isEmpty() || tool("pdftoppm").isEmpty()) {
        QFile::remove(pdf);
        QSKIP("poppler-utils (make deps installs them) reads the PDF's text and draws its page");
    }
    const QString text = pdfText(pdf);
    QVERIFY2(text.contains(QStringLiteral("2026年3月 — カレンダー1")), qPrintable(text));
    // 歯 shares its glyph with a radical that has no compatibility form.
    QVERIFY2(text.contains(QRegularExpression(QStringLiteral("(^|\\s)3日\\s+\\S医者"))), qPrintable(text));
    const QSet<QString> w = words(text);
    for (int day = 1; day <= 31; ++day)
        QVERIFY2(w.contains(QString::number(day)), qPrintable(QString::number(day)));
    for (const char *weekday : {"日", "月", "火", "水", "木", "金", "土"})
        QVERIFY(w.contains(QString::fromUtf8(weekday)));
    const QImage picture = pdfPicture(pdf);
    QVERIFY(!picture.isNull());
    picture.save(QStringLiteral("pictures/print-month-pdf.png"));
    QFile::remove(pdf);
    QFile::remove(pdf + QStringLiteral("-page.png"));
}

// The pages take the view's marks from memory and its layout: a mark set a
// moment ago, not yet in the file, is printed, and printing writes nothing. The
// calendar's notes come along: the day with one has its corner folded down.
void TestPrinting::printsWhatTheViewShows()
{
    const QByteArray before = kHeader + record(2026, {{7, 4, 2}});
    writeFile(file("カレンダー1"), before);
    writeFile(folder() + "カレンダー1.notes", "2026-03-12\t歯医者\n");
    QVERIFY(openWindow());
    clickDay(11);
    QCOMPARE(markOf(3, 11), std::uint8_t(Maru));
    const CalendarPrint print = CalendarPrint::ofShown(window()->calendar(), *window()->monthView(), window()->appearance());
    const PrintedYear &shown = print.printed();
    QCOMPARE(print.month(), 3);
    QCOMPARE(shown.year, 2026);
    QCOMPARE(shown.calendarName, "カレンダー1");
    QVERIFY(shown.loaded);
    QVERIFY(shown.marks == window()->calendar().YearMarks());
    QVERIFY(shown.layoutOf(2026, 3) == window()->monthView()->MonthLayout());
    QCOMPARE(shown.noteOf(2026, 3, 12), QStringLiteral("歯医者"));
    QCOMPARE(shown.noteOf(2026, 3, 11), QString());

    QImage image = a4Image();
    const QRectF page = printable(image.size(), 96);
    {
        QPainter painter(&image);
        print.pages().paintMonth(painter, page, shown, 3);
    }
    const GridCell c = CellOfDay(2026, 3, 11);
    auto isMaru = [c = ToQColor(window()->appearance().MaruColor)](const QColor &p) { return near(p, c); };
    QVERIFY(countPixels(image, print.pages().monthCell(image, page, shown, 3, c.col, c.row).toRect(), isMaru) > 40);
    auto isSign = [](const QColor &p) { return near(p, QColor(0x40, 0x40, 0x40)); };
    for (int day : {11, 12}) {
        const GridCell d = CellOfDay(2026, 3, day);
        const QRect cell = print.pages().monthCell(image, page, shown, 3, d.col, d.row).toRect();
        const QRect corner(cell.right() - cell.width() / 6, cell.top(), cell.width() / 6, cell.height() / 6);
        QCOMPARE(countPixels(image, corner, isSign) > 10, day == 12);
    }
    QCOMPARE(readFile(file("カレンダー1")), before);
}

bool TestPrinting::printThroughDialogs(const std::function<void()> &start, const QString &pdf, bool yearPage)
{
    CalendarPrint::setOutputFile(pdf);
    bool previewed = false;
    bool printed = false;
    QString chosen;
    whenModal([&](QWidget *dialog) {
        auto *preview = qobject_cast<QPrintPreviewDialog *>(dialog);
        if (!preview) {
            dialog->close();
            return;
        }
        previewed = true;
        // Alt+H reaches the range, Down chooses the year.
        auto *range = preview->findChild<QComboBox *>("cboxprintrange");
        if (!range) {
            preview->close();
            return;
        }
        if (yearPage) {
            keyClick(preview, Qt::Key_H, Qt::AltModifier);
            keyClick(preview, Qt::Key_Down);
        }
        chosen = range->currentText();
        savePicture(preview, yearPage ? QStringLiteral("print-preview-year") : QStringLiteral("print-preview-month"));
        whenModal([&](QWidget *next) {
            if (auto *printDialog = qobject_cast<QPrintDialog *>(next)) {
                const auto buttons = printDialog->findChild<QDialogButtonBox *>()->buttons();
                for (QAbstractButton *b : buttons)
                    if (printDialog->findChild<QDialogButtonBox *>()->buttonRole(b) == QDialogButtonBox::AcceptRole) {
                        printed = true;
                        b->click();
                        return;
                    }
            }
            next->close();
        });
        const QString printText = QCoreApplication::translate("QPrintPreviewDialog", "Print");
        for (QAction *a : preview->findChild<QToolBar *>()->actions())
            if (a->text() == printText) {
                a->trigger();
                return;
            }
        preview->close();
    });
    start();
    CalendarPrint::setOutputFile(QString());
    const QString expected = yearPage ? QStringLiteral("年（2026年の12か月を1ページに）") : QStringLiteral("月（2026年%1月）").arg(window()->calendar().DisplayMonth());
    return previewed && printed && chosen == expected;
}

// "印刷..." with the year chosen in the preview: the year page, with the marks
// shown, in the PDF file the print dialog was given.
void TestPrinting::menuPrintsTheYearIntoAPdf()
{
    writeFile(file("カレンダー1"), kHeader + record(2026, {{7, 4, 2}}));
    QVERIFY(openWindow());
    clickDay(11);   // in memory only
    const QString pdf = folder() + QStringLiteral("year.pdf");
    QVERIFY(printThroughDialogs([&] { action("mnuprint")->trigger(); }, pdf, true));
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QVERIFY(readFile(pdf).startsWith("%PDF-"));
    QVERIFY(messages().boxes.isEmpty());
    if (tool("pdftotext").isEmpty() || tool("pdftoppm").isEmpty())
        QSKIP("poppler-utils (make deps installs them) reads the PDF's text and draws its page");
    const QString text = pdfText(pdf);
    QVERIFY2(text.contains(QStringLiteral("2026年 — カレンダー1")), qPrintable(text));
    const QSet<QString> w = words(text);
    for (int month = 1; month <= 12; ++month)
        QVERIFY(w.contains(QStringLiteral("%1月").arg(month)));

    // The page as poppler draws it: the marks in their days' cells.
    const QImage picture = pdfPicture(pdf);
    QVERIFY(!picture.isNull());
    picture.save(QStringLiteral("pictures/print-year-menu.png"));
    const CalendarPrint print = CalendarPrint::ofShown(window()->calendar(), *window()->monthView(), window()->appearance());
    const QRectF page = printable(picture.size(), 96);
    auto cellOf = [&](int month, int day) {
        const GridCell c = CellOfDay(2026, month, day);
        return print.pages().yearCell(picture, page, print.printed(), month, c.col, c.row).toRect();
    };
    const Appearance &look = window()->appearance();
    auto isMaru = [c = ToQColor(look.MaruColor)](const QColor &p) { return near(p, c, 60); };
    auto isBatu = [c = ToQColor(look.BatuColor)](const QColor &p) { return near(p, c, 60); };
    QVERIFY(countPixels(picture, cellOf(3, 11), isMaru) > 5);
    QCOMPARE(countPixels(picture, cellOf(3, 12).adjusted(2, 2, -2, -2), isMaru), 0);
    QVERIFY(countPixels(picture, cellOf(7, 4), isBatu) > 5);
    QCOMPARE(countPixels(picture, cellOf(7, 5).adjusted(2, 2, -2, -2), isBatu), 0);
}

// Ctrl+P prints the month shown, as the preview offers first.
void TestPrinting::shortcutPrintsTheMonthIntoAPdf()
{
    QVERIFY(openWindow());
    keyClick(monthGrid(), Qt::Key_PageDown);   // April
    const QString pdf = folder() + QStringLiteral("month.pdf");
    QVERIFY(printThroughDialogs([&] { keyClick(window(), Qt::Key_P, Qt::ControlModifier); }, pdf, false));
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QVERIFY(readFile(pdf).startsWith("%PDF-"));
    if (tool("pdftotext").isEmpty())
        QSKIP("poppler-utils (make deps installs them) reads the PDF's text");
    const QString text = pdfText(pdf);
    QVERIFY2(text.contains(QStringLiteral("2026年4月 — カレンダー1")), qPrintable(text));
    const QSet<QString> w = words(text);
    QVERIFY(w.contains("30") && !w.contains("31"));
}

// With no printer installed, the print dialog opens on Qt's PDF output with a
// file named after the page in the documents folder (or the home folder).
void TestPrinting::withoutPrintersThePdfIsOffered()
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        QSKIP("this machine has printers");
    QVERIFY(openWindow());
    QString printer;
    QString target;
    whenModal([&](QWidget *dialog) {
        auto *preview = qobject_cast<QPrintPreviewDialog *>(dialog);
        if (!preview) {
            dialog->close();
            return;
        }
        whenModal([&](QWidget *next) {
            if (qobject_cast<QPrintDialog *>(next)) {
                if (auto *printers = next->findChild<QComboBox *>("printers"))
                    printer = printers->currentText();
                if (auto *file = next->findChild<QLineEdit *>("filename"))
                    target = file->text();
                savePicture(next, QStringLiteral("print-dialog"));
            }
            next->close();   // cancelled: the preview stays
            QTimer::singleShot(0, preview, &QWidget::close);
        });
        const QString printText = QCoreApplication::translate("QPrintPreviewDialog", "Print");
        for (QAction *a : preview->findChild<QToolBar *>()->actions())
            if (a->text() == printText) {
                a->trigger();
                return;
            }
        preview->close();
    });
    action("mnuprint")->trigger();
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(printer, QCoreApplication::translate("QPrintDialog", "Print to File (PDF)"));
    QVERIFY2(target.endsWith(QStringLiteral("/2026年3月 — カレンダー1.pdf")), qPrintable(target));
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QFileInfo(folder).isDir())
        folder = QDir::homePath();
    QCOMPARE(QFileInfo(target).absolutePath(), QDir(folder).absolutePath());
    QVERIFY(!QFileInfo::exists(target));   // nothing printed
}

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
