// The yardstick for start-up: a bare Qt window of the main window's first-start
// size that paints one Japanese caption in the program's stored face and size (so
// it pays the same Japanese font fallback), then quits after that first paint.
#include "PeakMemory.h"

#include <QApplication>
#include <QFont>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace {

class Bare : public QWidget
{
protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        QFont caption(QStringLiteral("ＭＳ Ｐゴシック"));
        caption.setPointSize(18);
        caption.setBold(true);
        painter.setFont(caption);
        painter.setPen(Qt::black);
        painter.drawText(rect(), Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("2026年12月"));
        QTimer::singleShot(0, qApp, [] {
            hibi::bench::PrintCostSoFar();
            QCoreApplication::quit();
        });
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
