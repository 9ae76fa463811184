// The program as it starts, ended once the month view has been painted: what the
// start-up benchmark measures. It tells its cost up to that moment, then ends
// through the window's own close, as a user closing it at once would.
#include "app/Program.h"
#include "app/Unit1.h"
#include "components/SysCtrls.h"

#include "PeakMemory.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QTimer>

namespace {

class QuitAfterFirstPaint : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            QTimer::singleShot(0, qApp, [] {
                hibi::bench::PrintCostSoFar();
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_painted = false;
};

} // namespace

int main(int argc, char *argv[])
{
    // Its own single-instance lock: a copy of the program that runs on this machine
    // at the same time (a test, a user) must not turn this start into a second one.
    hibi::TSingleInstance::setScope(QStringLiteral("startup-probe-%1").arg(QCoreApplication::applicationPid()));
    return hibi::RunProgram(argc, argv, [](hibi::TForm1 &form) {
        auto *grid = form.findChild<QAbstractScrollArea *>(QStringLiteral("dg1"));
        grid->viewport()->installEventFilter(new QuitAfterFirstPaint(&form));
    });
}
