// Draws the picture of the main window that the help shows: the real window,
// offscreen, on a fixed day with a few marks. `make help-picture` runs it.
#include "app/Unit1.h"
#include "calendar/Clock.h"
#include "calendar/MonthGrid.h"
#include "components/SysCtrls.h"
#include "storage/CalendarFile.h"
#include "storage/NoteFile.h"

#include <QApplication>
#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace hibi;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: grab_mainwindow OUTPUT.png\n");
        return 2;
    }
    TSingleInstance::setScope(QStringLiteral("help-picture-%1").arg(QCoreApplication::applicationPid()));
    SetFixedToday(YearMonthDay16{2026, 11, 18});

    QTemporaryDir folder;
    const QString path = folder.path() + QLatin1Char('/');
    YearMarks marks;
    auto mark = [&](int day, Mark m) {
        const GridCell c = CellOfDay(2026, 11, day);
        marks.at(11, c.col, c.row) = m;
    };
    for (int day : {2, 4, 6, 9, 13, 16})
        mark(day, Maru);
    mark(10, Batu);
    mark(12, Sankaku);
    CreateCalendarFile(CalendarFilePath(path, QStringLiteral("ジョギング")), 2026, marks);
    CreateCalendarFile(CalendarFilePath(path, QStringLiteral("通院")), 2026, YearMarks());
    SaveNotes(NoteFilePath(path, QStringLiteral("ジョギング")), Notes{{NoteKey(2026, 11, 23), QStringLiteral("駅伝大会")}});

    TForm1 window(path);
    // The list is in name order; the one with the marks is chosen as a user would.
    auto *list = window.findChild<QComboBox *>(QStringLiteral("cbox1"));
    list->setCurrentIndex(list->findText(QStringLiteral("ジョギング")));
    window.resize(420, 390);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
