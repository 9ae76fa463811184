#include "app/RangeCursor.h"

#include "components/StandardGlyph.h"

#include <QBitmap>
#include <QCursor>
#include <QImage>

namespace hibi {

const QCursor &RangeCursor()
{
    // The picture's black is drawn black, white white, magenta inverts what lies
    // below (bitmap set, mask clear), and the rest is transparent.
    static const QCursor cursor = [] {
        const QImage picture = ReadPicture(QStringLiteral(":/images/CURhani.xpm"), "xpm").convertToFormat(QImage::Format_ARGB32);
        QImage bits(32, 32, QImage::Format_Mono);
        QImage mask(32, 32, QImage::Format_Mono);
        for (QImage *image : {&bits, &mask}) {
            image->setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});   // 1 is a set bit
            image->fill(0);
        }
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QRgb p = picture.pixel(x, y);
                if (qAlpha(p) == 0)
                    continue;
                const bool black = qRed(p) == 0 && qGreen(p) == 0 && qBlue(p) == 0;
                const bool invert = qRed(p) == 255 && qGreen(p) == 0 && qBlue(p) == 255;
                bits.setPixel(x, y, black || invert ? 1 : 0);
                mask.setPixel(x, y, invert ? 0 : 1);
            }
        return QCursor(QBitmap::fromImage(bits), QBitmap::fromImage(mask), 2, 4);
    }();
    return cursor;
}

} // namespace hibi
