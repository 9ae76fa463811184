// Draws the glyphs of the close, OK and cancel buttons into FOLDER as
// close-16.png, ok-32.png and so on, without a display. The pictures are kept in
// the repository: `make glyph-pictures` runs this after a change here.
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <functional>

namespace {

// Every glyph is drawn on a grid of 16 units, whatever its size in pixels; a
// stroke is drawn twice, an edge under its colour, so that it stands out on a
// light face and a dark one alike.
void stroke(QPainter &p, const QPainterPath &path, const QColor &colour, const QColor &edge, qreal width)
{
    p.strokePath(path, QPen(edge, width + 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.strokePath(path, QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

QPainterPath cross(qreal from, qreal to)
{
    QPainterPath path;
    path.moveTo(from, from);
    path.lineTo(to, to);
    path.moveTo(to, from);
    path.lineTo(from, to);
    return path;
}

void drawOk(QPainter &p)
{
    QPainterPath tick;
    tick.moveTo(3.5, 8.5);
    tick.lineTo(6.5, 11.5);
    tick.lineTo(12.5, 4.5);
    const QColor green(0x3c, 0xa0, 0x46);
    stroke(p, tick, green, green.darker(160), 2.2);
}

void drawCancel(QPainter &p)
{
    const QColor red(0xd8, 0x3c, 0x34);
    p.setPen(QPen(red.darker(160), 1.0));
    p.setBrush(red);
    p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
    p.strokePath(cross(5.5, 10.5), QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap));
}

void drawClose(QPainter &p)
{
    stroke(p, cross(4, 12), QColor(0x58, 0x58, 0x58), QColor(255, 255, 255, 170), 2.0);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_glyphs FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const std::pair<const char *, std::function<void(QPainter &)>> glyphs[] = {
            {"close", drawClose}, {"ok", drawOk}, {"cancel", drawCancel}};
    for (const auto &[name, draw] : glyphs)
        for (int size : {16, 32, 64}) {
            QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            p.scale(size / 16.0, size / 16.0);
            draw(p);
            p.end();
            const QString path = folder.filePath(QStringLiteral("%1-%2.png").arg(QLatin1String(name)).arg(size));
            if (!image.save(path, "png")) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                return 1;
            }
        }
    return 0;
}
