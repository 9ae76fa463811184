#include "app/Program.h"

#include "app/Unit1.h"
#include "ProgramInfo.h"
#include "components/ProgramIcon.h"
#include "components/StandardGlyph.h"
#include "components/MessageBoxes.h"
#include "components/SysCtrls.h"
#include "storage/FolderLock.h"
#include "storage/ProgramFolder.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
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

// A signal read from the pipe ends the run: the boxes and dialogs open are
// closed, none opens any more, and the main window closes the normal way, so
// what can be saved is saved. Listening starts before the window is made, so a
// signal during the start (a box about a file that cannot be read) ends it too.
void listenForTerminationSignals(const std::function<void()> &end)
{
    if (g_signalPipe[0] < 0)
        return;
    auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [end] {
        char byte;
        [[maybe_unused]] const ssize_t got = ::read(g_signalPipe[0], &byte, 1);
        end();
    });
}
#else
void catchTerminationSignals() {}
void listenForTerminationSignals(const std::function<void()> &) {}
#endif

// Closes every dialog and box that is open, innermost first.
void closeModalWindows()
{
    for (int i = 0; i < 100; ++i) {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
        if (QApplication::activeModalWidget() == modal)
            return;   // it will not go: leave it to the window's close
    }
}

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
    SetUpApplication(app);
    QPointer<TForm1> window;
    listenForTerminationSignals([&window] {
        MessageBoxes::setSessionEnding(true);
        closeModalWindows();
        if (window)
            window->close();
    });

    // One copy per user: a second start asks the first to come to the front and
    // ends, before any window is made.
    TSingleInstance SingleInstance1;
    SingleInstance1.setObjectName(QStringLiteral("SingleInstance1"));
    SingleInstance1.DupInstAction = diActivateFirst;
    SingleInstance1.ErrorMessage = QStringLiteral("すでに起動されています");
    SingleInstance1.UniqueName = QStringLiteral("Ident8982");
    SingleInstance1.Loaded();
    if (TSingleInstance::TerminateRequested())
        return 0;

    // One copy per folder of calendars, also where two copies cannot see each
    // other's runtime folder (two logins, another user's doing): the later one
    // would write back years older than the first one's.
    const QString folder = ChooseProgramFolder(QCoreApplication::applicationDirPath());
    const FolderLock folderLock(folder);
    if (folderLock.state() == FolderLock::State::HeldByAnother) {
        MessageBoxes::error(nullptr, QStringLiteral("%1 のデータは、ほかのヒビシルシ（プロセス %2）が開いています。\r\n"
                                                    "そちらのウィンドウを使ってください。")
                                             .arg(QDir::toNativeSeparators(folder))
                                             .arg(folderLock.ownerPid()));
        return 0;
    }

    TForm1 form(folder);
    window = &form;
    if (MessageBoxes::sessionEnding()) {
        form.close();   // ended while it started
        return 0;
    }
    form.show();
    if (shown)
        shown(form);
    return app.exec();
}

} // namespace hibi
