#include "app/Program.h"

#include "app/Unit1.h"
#include "ProgramInfo.h"
#include "components/ProgramIcon.h"
#include "components/StandardGlyph.h"
#include "components/SysCtrls.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace hibi {

namespace {

#ifdef Q_OS_UNIX
// A logout, a shutdown or `kill` ends the program through the window's own close,
// so the shown year and the settings are saved as when the user closes it. The
// signal handler only writes a byte; the event loop does the rest.
int g_signalPipe[2] = {-1, -1};

void onTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

// Before the window exists, so that a signal during the start waits in the pipe.
void catchTerminationSignals()
{
    if (::pipe(g_signalPipe) != 0)
        return;
    for (int fd : g_signalPipe)
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

void closeOnTerminationSignals(QWidget *window)
{
    if (g_signalPipe[0] < 0)
        return;
    auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window = QPointer<QWidget>(window)] {
        char byte;
        [[maybe_unused]] const ssize_t got = ::read(g_signalPipe[0], &byte, 1);
        if (window)
            window->close();
    });
}
#else
void catchTerminationSignals() {}
void closeOnTerminationSignals(QWidget *) {}
#endif

} // namespace

void SetUpApplication(QApplication &app)
{
    // An ASCII name for the data folder and the window class; the user sees
    // "ヒビシルシ" in every window title. No display name: Qt would append it to
    // the title of every dialog.
    QApplication::setApplicationName(QString::fromLatin1(program::kName));
    QApplication::setApplicationVersion(QString::fromLatin1(program::kVersion));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(program::kDesktopId));
    QApplication::setWindowIcon(ProgramIcon());
    QApplication::setStyle(ProgramStyle(QApplication::style()));
    // The buttons and captions of Qt's own dialogs (colours, fonts) in Japanese,
    // whatever the desktop's language: the whole program speaks Japanese.
    auto *qtWords = new QTranslator(&app);
    if (qtWords->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtWords);
}

int RunProgram(int argc, char *argv[], const std::function<void(TForm1 &)> &shown)
{
    QApplication app(argc, argv);
    catchTerminationSignals();
    // The range pointer is made the first time a range is chosen (RangeCursor()):
    // nothing on the first screen needs it.
    SetUpApplication(app);

    TForm1 form;
    if (TSingleInstance::TerminateRequested())
        return 0;   // the first instance was asked to come to the front
    closeOnTerminationSignals(&form);
    form.show();
    if (shown)
        shown(form);
    return app.exec();
}

} // namespace hibi
