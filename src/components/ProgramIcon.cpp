#include "components/ProgramIcon.h"

#include "components/StandardGlyph.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmapCache>

#include <array>

namespace hibi {

namespace {

// The sizes a window's frame, task bar and window switcher ask for. Larger ones
// come from the icon theme the installation fills: under X the window hands every
// size it has to the window manager at start, and decoding 128 and 256 pixels
// there cost more than painting the whole month.
constexpr std::array kSizes{16, 32, 48, 64};

// Decodes a size's picture only when something draws it (offscreen, nothing does).
class ProgramIconEngine : public QIconEngine
{
public:
    QIconEngine *clone() const override { return new ProgramIconEngine; }
    QString key() const override { return QStringLiteral("hibi-program-icon"); }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (int s : kSizes)
            sizes << QSize(s, s);
        return sizes;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int side = fit(size);
        return QSize(side, side).boundedTo(size);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int side = fit(size);
        const QString path = QStringLiteral(":/icons/hibisi-%1.png").arg(side);
        QPixmap picture;
        if (!QPixmapCache::find(path, &picture)) {
            picture = QPixmap::fromImage(ReadPicture(path, "png"));
            QPixmapCache::insert(path, picture);
        }
        return side == size.width() && side == size.height()
                ? picture : picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

private:
    // The smallest picture at least as large as asked, else the largest.
    static int fit(const QSize &size)
    {
        const int wanted = std::max(size.width(), size.height());
        for (int s : kSizes)
            if (s >= wanted)
                return s;
        return kSizes.back();
    }
};

} // namespace

QIcon ProgramIcon()
{
    return QIcon(new ProgramIconEngine);
}

} // namespace hibi
