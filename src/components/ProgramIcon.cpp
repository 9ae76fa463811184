#include "components/ProgramIcon.h"

namespace hibi {

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/hibisi-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace hibi
