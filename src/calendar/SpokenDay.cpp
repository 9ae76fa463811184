#include "calendar/SpokenDay.h"

#include <QStringList>

#include <algorithm>
#include <array>

namespace hibi {

const QString &WeekdayLetter(int col)
{
    static const std::array<QString, 7> letters = {QStringLiteral("日"), QStringLiteral("月"), QStringLiteral("火"),
                                                   QStringLiteral("水"), QStringLiteral("木"), QStringLiteral("金"),
                                                   QStringLiteral("土")};
    return letters[size_t(std::clamp(col, 0, 6))];
}

QString WeekdayName(int col)
{
    return WeekdayLetter(col) + QStringLiteral("曜日");
}

QString MarkWord(std::uint8_t mark)
{
    switch (mark) {
    case 1: return QStringLiteral("まる");
    case 2: return QStringLiteral("ばつ");
    case 3: return QStringLiteral("さんかく");
    default: return QStringLiteral("印なし");
    }
}

QString DayCellName(const SpokenDay &spoken)
{
    if (!spoken.day || spoken.day->day == 0)
        return QStringLiteral("日付なし");
    QStringList words{QStringLiteral("%1月%2日").arg(spoken.month).arg(spoken.day->day), WeekdayName(spoken.cell.col)};
    // A holiday's own name says it is one; a holiday without a name on a weekday says "休日".
    if (!spoken.day->holidayName.isEmpty())
        words << spoken.day->holidayName;
    else if (spoken.day->holiday && spoken.cell.col != 0)
        words << QStringLiteral("休日");
    if (spoken.today)
        words << QStringLiteral("今日");
    words << (spoken.loaded ? MarkWord(spoken.mark) : QStringLiteral("印を読み込めなかった年"));
    if (!spoken.note.isEmpty())
        words << QStringLiteral("メモ") << spoken.note.simplified();
    return words.join(QLatin1Char(' '));
}

} // namespace hibi
