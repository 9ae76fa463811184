#pragma once

// The fixture every window test shares: the program in a temporary folder, today
// fixed at 10 March 2026, message boxes answered and recorded instead of shown,
// the main window opened and exposed, and mouse and keys sent through the
// window, the way a user's input arrives (Qt turns a quick second press into a
// double click there and nowhere else).

#include "app/MonthView.h"
#include "app/Unit1.h"
#include "calendar/Clock.h"
#include "components/DrawGrid.h"
#include "components/MessageBoxes.h"
#include "components/SysCtrls.h"
#include "storage/OpenCalendar.h"

#include "TestFiles.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <QWindow>

#include <functional>
#include <memory>

namespace hibi::test {

inline constexpr YearMonthDay16 kToday{2026, 3, 10};
inline const QByteArray kHeader = header();

// Receives, while it lives, what the program asks the desktop to open instead of
// a browser. `refuse` takes it away, so that opening fails as on a desktop without
// a browser (the offscreen platform opens nothing).
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

    UrlCatcher() { refuse(false); }
    ~UrlCatcher() override { refuse(true); }
    void refuse(bool refusing)
    {
        for (const char *scheme : {"https", "file"}) {
            if (refusing)
                QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
            else
                QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
        }
    }

public slots:
    void open(const QUrl &url) { opened << url; }
};

// Every message box shown while it lives, answered with `answer` when it asks.
struct MessageRecorder
{
    QList<MessageBoxes::Box> boxes;
    bool answer = true;

    MessageRecorder()
    {
        MessageBoxes::setHandler([this](const MessageBoxes::Box &box) {
            boxes << box;
            return answer;
        });
    }
    ~MessageRecorder() { MessageBoxes::setHandler(nullptr); }
    QStringList texts() const
    {
        QStringList t;
        for (const auto &b : boxes)
            t << b.text;
        return t;
    }
};

// Holds the operators of modal dialogs that have not come yet; the fixture drops
// them after each test, so none reaches into the next one.
inline QObject &pendingOperators()
{
    static QObject holder;
    return holder;
}

// The modal dialog once it is shown and has the keyboard, so that the keys sent
// to it arrive (on a busy machine the first tick can come before it is active).
inline QWidget *readyModal()
{
    QWidget *dialog = QApplication::activeModalWidget();
    if (!dialog || !dialog->isVisible())
        return nullptr;
    if (!dialog->isActiveWindow()) {
        dialog->activateWindow();
        return nullptr;   // looked at again on the next tick
    }
    return dialog;
}

// Operates the next modal dialog (a chooser, a dialog of the program) from inside
// its event loop.
inline void whenModal(std::function<void(QWidget *dialog)> operate)
{
    auto *timer = new QTimer(&pendingOperators());
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, operate] {
        if (QWidget *dialog = readyModal()) {
            timer->stop();
            timer->deleteLater();
            operate(dialog);
        }
    });
    timer->start();
}

// The same for a dialog that may not come: the operator is dropped with the scope.
class MaybeModal
{
public:
    explicit MaybeModal(std::function<void(QWidget *dialog)> operate)
        : m_timer(new QTimer)
    {
        m_timer->setInterval(10);
        QObject::connect(m_timer, &QTimer::timeout, [timer = m_timer.data(), operate] {
            if (QWidget *dialog = readyModal()) {
                timer->stop();
                operate(dialog);
            }
        });
        m_timer->start();
    }
    ~MaybeModal() { delete m_timer; }
    MaybeModal(const MaybeModal &) = delete;
    MaybeModal &operator=(const MaybeModal &) = delete;

private:
    QPointer<QTimer> m_timer;
};

// ---- Input through the window ------------------------------------------------

inline QWindow *windowOf(QWidget *widget)
{
    return widget->window()->windowHandle();
}

inline QPoint inWindow(QWidget *widget, QPoint pos)
{
    return widget->mapTo(widget->window(), pos.isNull() ? widget->rect().center() : pos);
}

// The same arguments as QTest's, sent through the window.
inline void mousePress(QWidget *w, Qt::MouseButton button, Qt::KeyboardModifiers mods = {}, QPoint pos = {})
{
    QTest::mousePress(windowOf(w), button, mods, inWindow(w, pos));
}

inline void mouseRelease(QWidget *w, Qt::MouseButton button, Qt::KeyboardModifiers mods = {}, QPoint pos = {})
{
    QTest::mouseRelease(windowOf(w), button, mods, inWindow(w, pos));
}

inline void mouseClick(QWidget *w, Qt::MouseButton button, Qt::KeyboardModifiers mods = {}, QPoint pos = {})
{
    QTest::mouseClick(windowOf(w), button, mods, inWindow(w, pos));
}

// A press, a release and a quick second press, which Qt delivers as a double
// click. The second release is left to the caller.
inline void mouseDoubleClick(QWidget *w, Qt::MouseButton button, QPoint pos = {})
{
    QTest::mouseDClick(windowOf(w), button, {}, inWindow(w, pos));
}

inline void mouseMove(QWidget *w, QPoint pos)
{
    QTest::mouseMove(windowOf(w), inWindow(w, pos));
}

// Keys go to the active window, as a window manager gives the focus back to the
// main window when a dialog closes.
inline void keyClick(QWidget *w, Qt::Key key, Qt::KeyboardModifiers mods = {})
{
    QWidget *top = w->window();
    if (!top->isActiveWindow()) {
        top->activateWindow();
        [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(top);
    }
    QTest::keyClick(windowOf(w), key, mods);
}

inline QPoint cellCentre(const DrawGrid *grid, int col, int row)
{
    return grid->viewport()->mapTo(const_cast<DrawGrid *>(grid), grid->cellRect(col, row).toRect().center());
}

inline void pressCell(DrawGrid *grid, int col, int row, Qt::MouseButton button)
{
    mousePress(grid, button, {}, cellCentre(grid, col, row));
}

inline void releaseCell(DrawGrid *grid, int col, int row, Qt::MouseButton button)
{
    mouseRelease(grid, button, {}, cellCentre(grid, col, row));
}

inline void clickCell(DrawGrid *grid, int col, int row, Qt::MouseButton button = Qt::LeftButton)
{
    mouseClick(grid, button, {}, cellCentre(grid, col, row));
}

// `count` quick presses (and releases) of one button on a cell, as fast as a
// user's double clicks: every second one arrives as a double click.
inline void quickPresses(DrawGrid *grid, int col, int row, Qt::MouseButton button, int count)
{
    const QPoint at = cellCentre(grid, col, row);
    for (int i = 0; i + 1 < count; i += 2) {
        mouseDoubleClick(grid, button, at);
        mouseRelease(grid, button, {}, at);
    }
    if (count % 2)
        mouseClick(grid, button, {}, at);
}

// ---- The fixture ---------------------------------------------------------------

class WindowTest : public QObject
{
    Q_OBJECT

protected:
    QString folder() const { return m_dir->path() + QLatin1Char('/'); }
    QString file(const QString &calendar) const { return folder() + calendar + QStringLiteral(".hsd"); }
    QString iniPath() const { return folder() + QStringLiteral("hibisi.ini"); }
    QString trashFolder() const { return folder() + QStringLiteral(".data/Trash/files/"); }

    // Opens the main window on the folder, again if it is open: shown and exposed.
    TForm1 *openWindow()
    {
        delete m_window;
        m_window = new TForm1(folder());
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window))
            return nullptr;
        return m_window;
    }
    TForm1 *window() const { return m_window; }
    DrawGrid *monthGrid() const { return m_window->findChild<DrawGrid *>(QStringLiteral("dg1")); }
    QComboBox *calendarList() const { return m_window->findChild<QComboBox *>(QStringLiteral("cbox1")); }
    QAction *action(const char *name) const { return m_window->findChild<QAction *>(QLatin1String(name)); }

    // Chooses an entry of the calendar list as a user would: a click opens the
    // list, the keys move to the entry, Enter takes it.
    void selectCalendar(int index)
    {
        QComboBox *list = calendarList();
        mouseClick(list, Qt::LeftButton);
        QAbstractItemView *popup = list->view();
        QTRY_VERIFY(popup->isVisible());
        keyClick(popup, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            keyClick(popup, Qt::Key_Down);
        keyClick(popup, Qt::Key_Return);
        QTRY_VERIFY(!popup->isVisible());
    }

    // A click on a day of the month shown.
    void clickDay(int day, Qt::MouseButton button = Qt::LeftButton)
    {
        const GridCell c = CellOfDay(m_window->calendar().DisplayYear(), m_window->calendar().DisplayMonth(), day);
        clickCell(monthGrid(), c.col, c.row, button);
    }
    std::uint8_t markOf(int month, int day) const
    {
        const GridCell c = CellOfDay(m_window->calendar().DisplayYear(), month, day);
        return m_window->calendar().YearMarks().at(month, c.col, c.row);
    }

    // A picture to look at, in the test run's own folder.
    static bool savePicture(QWidget *widget, const QString &name)
    {
        QDir().mkpath(QStringLiteral("pictures"));
        return widget->grab().save(QStringLiteral("pictures/%1.png").arg(name));
    }

    MessageRecorder &messages() { return *m_messages; }

private slots:
    void init()
    {
        // Apart from a running program and from tests running beside this one.
        TSingleInstance::setScope(QStringLiteral("test-%1").arg(QCoreApplication::applicationPid()));
        m_dir = std::make_unique<QTemporaryDir>();
        // The desktop's trash and data folders of this test, not the user's.
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral(".data"))));
        m_messages = std::make_unique<MessageRecorder>();
        SetFixedToday(kToday);
    }
    void cleanup()
    {
        qDeleteAll(pendingOperators().children());
        delete m_window;
        m_window = nullptr;
        m_messages.reset();
        SetFixedToday(std::nullopt);
        SetClockFrom(std::nullopt);
        m_dir.reset();
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MessageRecorder> m_messages;
    TForm1 *m_window = nullptr;
};

} // namespace hibi::test
