#include "storage/MarkHistory.h"

#include <algorithm>

namespace hibi {

void MarkHistory::record(const MarkChange &change)
{
    m_changes.resize(m_done);
    m_changes.push_back(change);
    m_done = m_changes.size();
}

void MarkHistory::forgetCalendar(const QString &calendar)
{
    size_t doneBefore = 0;
    for (size_t i = 0; i < m_done; ++i)
        doneBefore += m_changes[i].calendar != calendar;
    std::erase_if(m_changes, [&](const MarkChange &c) { return c.calendar == calendar; });
    m_done = doneBefore;
}

void MarkHistory::clear()
{
    m_changes.clear();
    m_done = 0;
}

QString DescribeChange(const MarkChange &change, const QString &shownCalendar, int shownYear)
{
    static const QString kGlyphs[] = {QString(), QStringLiteral("○"), QStringLiteral("×"), QStringLiteral("△")};
    auto glyph = [](std::uint8_t mark) { return mark < 4 ? kGlyphs[mark] : QString(); };
    QString text = change.year == shownYear && change.calendar == shownCalendar
            ? QStringLiteral("%1月%2日").arg(change.month).arg(change.day)
            : QStringLiteral("%1年%2月%3日").arg(change.year).arg(change.month).arg(change.day);
    if (change.calendar != shownCalendar)
        text = QStringLiteral("「%1」%2").arg(change.calendar, text);
    if (change.note)
        return text + (change.noteAfter.isEmpty() ? QStringLiteral(" メモを消す") : QStringLiteral(" メモ"));
    if (change.after != 0)
        return text + QLatin1Char(' ') + glyph(change.after);
    return text + QLatin1Char(' ') + glyph(change.before) + QStringLiteral("を消す");
}

} // namespace hibi
