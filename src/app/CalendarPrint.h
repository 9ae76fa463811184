#pragma once

#include "app/PrintPages.h"

#include <QString>

class QPrinter;
class QWidget;

namespace hibi {

class MonthView;
class OpenCalendar;

// "印刷...": the month shown, or its whole year on one page, in a preview where
// the user chooses which (`cboxprintrange`); from there Qt's print dialog prints
// on a printer or into a PDF file, which works with no printer installed.
class CalendarPrint
{
public:
    enum class Range { Month, Year };

    CalendarPrint(const PrintPages &pages, PrintedYear year, int month);

    // What the window shows: its calendar, year and month, the marks in memory,
    // the month view's layout and look.
    static CalendarPrint ofShown(const OpenCalendar &calendar, const MonthView &view, const Appearance &look);

    // The page of `range` on the printer; false when the printer could not be
    // started (a PDF file that cannot be written).
    bool print(QPrinter &printer, Range range) const;
    // The preview, and the print dialog from it.
    void exec(QWidget *parent) const;

    const PrintPages &pages() const { return m_pages; }
    const PrintedYear &printed() const { return m_year; }
    int month() const { return m_month; }

    // For tests: every printer starts as a PDF file at `path`; empty: as Qt
    // sets it up.
    static void setOutputFile(const QString &path);

private:
    PrintPages m_pages;
    PrintedYear m_year;
    int m_month;
};

} // namespace hibi
