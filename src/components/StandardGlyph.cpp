#include "components/StandardGlyph.h"

#include <QApplication>
#include <QHash>

namespace hibi {

QIcon StandardGlyph(QStyle::StandardPixmap glyph)
{
    static QHash<int, QIcon> made;
    const auto known = made.constFind(glyph);
    if (known != made.constEnd())
        return *known;
    const char *name = glyph == QStyle::SP_DialogCloseButton ? "close"
            : glyph == QStyle::SP_DialogOkButton             ? "ok"
            : glyph == QStyle::SP_DialogCancelButton         ? "cancel"
                                                             : nullptr;
    if (!name)
        return QApplication::style()->standardIcon(glyph);
    QIcon icon;
    for (int size : {16, 32, 128})
        icon.addFile(QStringLiteral(":/qt-project.org/styles/commonstyle/images/standardbutton-%1-%2.png")
                             .arg(QLatin1String(name))
                             .arg(size),
                     QSize(size, size));
    made.insert(glyph, icon);
    return icon;
}

} // namespace hibi
