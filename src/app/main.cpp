#include "app/RangeCursor.h"
#include "app/Unit1.h"
#include "components/SysCtrls.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QIcon>
#include <QTimer>

namespace {

class QuitAfterFirstPaint : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_painted = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    hibi::RangeCursor();   // the range pointer is ready before the window
    QApplication::setApplicationName(QStringLiteral("ヒビシルシ"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/hibisi.xpm")));

    hibi::TForm1 form;
    if (hibi::TSingleInstance::TerminateRequested())
        return 0;   // the first instance was asked to come to the front
    // For the start-up benchmark only: quit once the month view has been painted.
    QuitAfterFirstPaint quitter;
    if (qEnvironmentVariableIsSet("HIBI_QUIT_AFTER_FIRST_PAINT"))
        form.findChild<QAbstractScrollArea *>(QStringLiteral("dg1"))->viewport()->installEventFilter(&quitter);
    form.show();
    return app.exec();
}
