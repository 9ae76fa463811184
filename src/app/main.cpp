#include "app/RangeCursor.h"
#include "app/Unit1.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    hibi::RangeCursor();   // the range pointer is ready before the window
    QApplication::setApplicationName(QStringLiteral("ヒビシルシ"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/hibisi.xpm")));

    hibi::TForm1 form;
    // For the start-up benchmark only: quit once the month view has been painted.
    if (qEnvironmentVariableIsSet("HIBI_QUIT_AFTER_FIRST_PAINT"))
        QTimer::singleShot(0, &app, [&app] { QTimer::singleShot(0, &app, &QApplication::quit); });
    form.show();
    return app.exec();
}
