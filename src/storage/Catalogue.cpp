#include "storage/Catalogue.h"

#include "storage/CalendarFile.h"
#include "storage/NoteFile.h"
#include "storage/ShiftJis.h"

#include <QDir>
#include <QHash>

#include <algorithm>
#include <vector>

namespace hibi {

QStringList ScanCalendarFiles(const QString &folder)
{
    // The ending is compared here rather than through a name filter, which would
    // compile a regular expression at every start.
    QDir dir(folder);
    dir.setFilter(QDir::Files | QDir::Hidden);
    dir.setSorting(QDir::Name);
    QStringList names = dir.entryList();
    names.removeIf([](const QString &name) { return !name.endsWith(kCalendarExtension, Qt::CaseSensitive); });
    return names;
}

CalendarList BuildCalendarList(QStringList found, const QStringList &savedOrder, const QString &lastSelection)
{
    CalendarList list;
    if (found.isEmpty()) {
        list.names = QStringList{kFirstCalendarName};
        return list;
    }
    // Where each name stands in `found` (the first place not yet taken, and from
    // each place the next of the same name), so that thousands of saved names
    // cost time linear in their number.
    const size_t count = size_t(found.size());
    QHash<QString, qsizetype> firstLeft;
    firstLeft.reserve(found.size());
    std::vector<qsizetype> nextOfName(count, -1);
    for (qsizetype i = found.size() - 1; i >= 0; --i) {
        if (const auto same = firstLeft.constFind(found[i]); same != firstLeft.cend())
            nextOfName[size_t(i)] = *same;
        firstLeft.insert(found[i], i);
    }
    std::vector<bool> taken(count, false);
    size_t left = count;
    int remembered = -1;
    for (const QString &name : savedOrder) {
        if (left == 0)
            break;
        const auto at = firstLeft.find(name);
        if (at == firstLeft.end() || *at < 0)
            continue;
        list.names << name;
        taken[size_t(*at)] = true;
        *at = nextOfName[size_t(*at)];
        --left;
        if (name == lastSelection)
            remembered = int(list.names.size() - 1);
    }
    for (size_t i = 0; i < count; ++i)
        if (!taken[i])
            list.names << found[qsizetype(i)];
    list.selected = remembered >= 0 ? remembered : 0;
    if (list.names[list.selected].isEmpty())
        list.selected = 0;
    return list;
}

QString WithWindowsCodePoints(QString name)
{
    static const std::pair<char16_t, char16_t> kWindowsForms[] = {
        {u'\u301C', u'\uFF5E'},   // 〜 wave dash: fullwidth tilde
        {u'\u2212', u'\uFF0D'},   // − minus sign: fullwidth hyphen-minus
        {u'\u2016', u'\u2225'},   // ‖ double vertical line: parallel to
        {u'\u2014', u'\u2015'},   // — em dash: horizontal bar
        {u'\u00A2', u'\uFFE0'},   // ¢
        {u'\u00A3', u'\uFFE1'},   // £
        {u'\u00AC', u'\uFFE2'},   // ¬
    };
    for (QChar &c : name)
        for (const auto &[typed, windows] : kWindowsForms)
            if (c.unicode() == typed)
                c = QChar(windows);
    return name;
}

bool SameCalendarName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool CalendarNameTaken(const QString &name, const QStringList &listed, const QString &folder, const QString &except)
{
    auto taken = [&](const QString &other) { return SameCalendarName(name, other) && !SameCalendarName(other, except); };
    if (std::any_of(listed.begin(), listed.end(), taken))
        return true;
    QDir dir(folder);
    dir.setNameFilters({QLatin1Char('*') + kCalendarExtension});
    dir.setFilter(QDir::Files | QDir::Hidden | QDir::System);   // whatever stands at such a path
    for (const QString &file : dir.entryList())
        if (taken(file.chopped(4)))
            return true;
    return false;
}

std::optional<QString> CalendarNameProblem(const QString &name)
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (QChar c : name)
        if (forbidden.contains(c))
            return QStringLiteral("\\/:*?\"<>|は使えません");
    for (QChar c : name)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return QStringLiteral("改行やタブなどの制御文字は使えません");
    // The file names must fit the file system: 255 bytes on Linux, 255 UTF-16
    // units on Windows, the extension included; the note file's is the longer.
    const QString fileName = name + kNoteExtension;
    if (fileName.toUtf8().size() > 255 || fileName.size() > 255)
        return QStringLiteral("名前が長すぎます");
    // The name is kept in the settings file, which is Shift_JIS: a character it
    // cannot hold would come back garbled from the saved order.
    for (qsizetype i = 0; i < name.size(); ++i) {
        const qsizetype len = name[i].isHighSurrogate() && i + 1 < name.size() ? 2 : 1;
        const QString ch = name.mid(i, len);
        if (!ShiftJisHolds(ch))
            return QStringLiteral("「%1」は Shift_JIS で表せない文字なので使えません").arg(ch);
        i += len - 1;
    }
    return std::nullopt;
}

} // namespace hibi
