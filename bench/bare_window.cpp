// The yardstick for start-up: a bare Qt window that shows, paints once and quits.
#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace {

class Bare : public QWidget
{
protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter(this).fillRect(rect(), Qt::white);
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Bare window;
    window.resize(330, 325);
    window.show();
    return app.exec();
}
