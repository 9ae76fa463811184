#include "app/CalendarPrint.h"

#include "app/MonthView.h"
#include "components/MessageBoxes.h"
#include "storage/OpenCalendar.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace hibi {

namespace {

QString &outputFile()
{
    static QString path;
    return path;
}

// Where a PDF goes when there is no printer to offer: the documents folder.
QString suggestedPdf(const QString &name)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return QDir(folder).filePath(name + QStringLiteral(".pdf"));
}

} // namespace

CalendarPrint::CalendarPrint(const PrintPages &pages, PrintedYear year, int month)
    : m_pages(pages), m_year(std::move(year)), m_month(month)
{
}

CalendarPrint CalendarPrint::ofShown(const OpenCalendar &calendar, const MonthView &view, const Appearance &look)
{
    PrintedYear year;
    year.calendarName = calendar.CurrentCalendarName();
    year.year = calendar.DisplayYear();
    year.marks = calendar.YearMarks();
    year.loaded = calendar.yearLoaded();
    year.layoutOf = [&view](int y, int m) { return view.layoutOf(y, m); };
    year.noteOf = [&calendar](int y, int m, int d) { return calendar.noteOf(y, m, d); };
    return CalendarPrint(PrintPages(view.cellPainter(), look), std::move(year), calendar.DisplayMonth());
}

void CalendarPrint::setOutputFile(const QString &path)
{
    outputFile() = path;
}

bool CalendarPrint::print(QPrinter &printer, Range range) const
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // The painter starts at the corner of the printable area, inside the margins.
    const QRectF page(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
    if (range == Range::Year)
        m_pages.paintYear(painter, page, m_year);
    else
        m_pages.paintMonth(painter, page, m_year, m_month);
    return painter.end();
}

void CalendarPrint::exec(QWidget *parent) const
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    const QString monthName = PrintPages::monthTitle(m_year, m_month);
    const QString yearName = PrintPages::yearTitle(m_year);
    printer.setDocName(monthName);
    if (!outputFile().isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(outputFile());
    } else if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        printer.setOutputFileName(suggestedPdf(monthName));
    }

    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(QStringLiteral("PrintPreview"));
    preview.setWindowTitle(QStringLiteral("印刷 - %1").arg(m_year.calendarName));
    // A row of its own over the tool bar, which hides what does not fit.
    auto *row = new QWidget(&preview);
    auto *caption = new QLabel(QStringLiteral("印刷する範囲(&H):"), row);
    caption->setAccessibleName(QStringLiteral("印刷する範囲"));
    auto *cboxprintrange = new QComboBox(row);
    cboxprintrange->setObjectName(QStringLiteral("cboxprintrange"));
    cboxprintrange->addItem(QStringLiteral("月（%1年%2月）").arg(m_year.year).arg(m_month), int(Range::Month));
    cboxprintrange->addItem(QStringLiteral("年（%1年の12か月を1ページに）").arg(m_year.year), int(Range::Year));
    cboxprintrange->setAccessibleName(QStringLiteral("印刷する範囲"));
    caption->setBuddy(cboxprintrange);
    auto *rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(6, 2, 6, 2);
    rowLayout->addWidget(caption);
    rowLayout->addWidget(cboxprintrange);
    rowLayout->addStretch();
    if (auto *layout = qobject_cast<QBoxLayout *>(preview.layout()))
        layout->insertWidget(0, row);
    auto range = [cboxprintrange] { return Range(cboxprintrange->currentData().toInt()); };

    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&](QPrinter *target) {
        if (!print(*target, range()))
            MessageBoxes::error(&preview, target->outputFormat() == QPrinter::PdfFormat
                                                  ? QStringLiteral("PDF ファイル「%1」を書き出せませんでした。")
                                                            .arg(QDir::toNativeSeparators(target->outputFileName()))
                                                  : QStringLiteral("印刷を始められませんでした。"));
    });
    QObject::connect(cboxprintrange, &QComboBox::currentIndexChanged, &preview, [&] {
        const bool year = range() == Range::Year;
        printer.setDocName(year ? yearName : monthName);
        if (outputFile().isEmpty() && printer.outputFormat() == QPrinter::PdfFormat)
            printer.setOutputFileName(suggestedPdf(year ? yearName : monthName));
        if (auto *pages = preview.findChild<QPrintPreviewWidget *>())
            pages->updatePreview();
    });
    preview.exec();
}

} // namespace hibi
