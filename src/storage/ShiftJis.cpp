#include "storage/ShiftJis.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace hibi {

bool ShiftJisHolds(const QString &text)
{
    QStringEncoder encoder("CP932");
    const QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return false;
    QStringDecoder decoder("CP932");
    return QString(decoder.decode(bytes)) == text;
}

} // namespace hibi
