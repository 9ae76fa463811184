#include "storage/CsvExport.h"

#include "calendar/MonthGrid.h"
#include "storage/CalendarFile.h"
#include "storage/FileError.h"
#include "storage/NoteFile.h"
#include "storage/OpenCalendar.h"
#include "storage/ProgramFolder.h"
#include "storage/WholeFile.h"

#include <QDir>
#include <QFileInfo>

#include <map>
#include <set>
#include <vector>

namespace hibi {

namespace {

// A date as one number that sorts like the date: YYYYMMDD.
int dateKey(int year, int month, int day)
{
    return year * 10000 + month * 100 + day;
}

// The marks of one calendar by date; throws FileError when its file cannot be read.
std::map<int, std::uint8_t> readMarks(const QString &path)
{
    std::map<int, std::uint8_t> marks;
    std::set<int> seen;
    ForEachYearRecord(path, [&](std::uint16_t year, const std::uint8_t *cells) {
        // A year stored twice counts with its first record, as the readers take it.
        // Years the program cannot show (0, beyond 9999) are no dates to export.
        if (!IsSupportedYear(year) || !seen.insert(year).second)
            return;
        for (int month = 1; month <= 12; ++month) {
            // Only the days of the month: a stray byte in a cell without a day
            // belongs to no date.
            const int days = DaysInMonth(year, month);
            for (int day = 1; day <= days; ++day) {
                const GridCell cell = CellOfDay(year, month, day);
                const std::uint8_t mark = cells[FileCellIndex(month, cell.col, cell.row)];
                if (mark == Maru || mark == Batu || mark == Sankaku)
                    marks[dateKey(year, month, day)] = mark;
            }
        }
    });
    return marks;
}

QByteArray dateField(int key)
{
    return QStringLiteral("%1-%2-%3")
            .arg(key / 10000, 4, 10, QLatin1Char('0'))
            .arg(key / 100 % 100, 2, 10, QLatin1Char('0'))
            .arg(key % 100, 2, 10, QLatin1Char('0'))
            .toUtf8();
}

QByteArray markField(std::uint8_t mark)
{
    switch (mark) {
    case Maru: return QStringLiteral("○").toUtf8();
    case Batu: return QStringLiteral("×").toUtf8();
    case Sankaku: return QStringLiteral("△").toUtf8();
    default: return QByteArray();
    }
}

} // namespace

QByteArray CsvField(const QString &text)
{
    QByteArray field = text.toUtf8();
    if (!field.contains(',') && !field.contains('"') && !field.contains('\r') && !field.contains('\n'))
        return field;
    field.replace("\"", "\"\"");
    return '"' + field + '"';
}

CsvExport ExportCsv(const QList<CalendarSource> &calendars)
{
    CsvExport result;
    QByteArray heading = CsvField(QStringLiteral("日付"));
    // Every date with a mark or a note, and each column's field on it.
    std::map<int, std::vector<QByteArray>> rows;
    std::size_t columns = 0;
    auto put = [&](int date, std::size_t column, const QByteArray &field) {
        std::vector<QByteArray> &row = rows[date];
        row.resize(2 * std::size_t(calendars.size()));
        row[column] = field;
    };
    for (const CalendarSource &calendar : calendars) {
        std::map<int, std::uint8_t> marks;
        try {
            marks = readMarks(calendar.path);
        } catch (const FileError &e) {
            result.unreadable << UnreadableCalendar{calendar.name, e.message()};
            continue;
        }
        heading += ',' + CsvField(calendar.name);
        for (const auto &[date, mark] : marks)
            put(date, columns, markField(mark));
        ++columns;
        if (calendar.notesPath.isEmpty())
            continue;
        const QString noteHeading = calendar.name + QStringLiteral(" メモ");
        heading += ',' + CsvField(noteHeading);
        try {
            for (const auto &[date, note] : ReadNotes(calendar.notesPath))
                if (IsSupportedYear(date / 10000))
                    put(date, columns, CsvField(note));
        } catch (const FileError &e) {
            result.unreadable << UnreadableCalendar{noteHeading, e.message()};
        }
        ++columns;
    }

    QByteArray &out = result.bytes;
    out = QByteArray("\xEF\xBB\xBF") + heading + "\r\n";
    for (auto &[date, fields] : rows) {
        fields.resize(std::max(fields.size(), columns));
        out += dateField(date);
        for (std::size_t column = 0; column < columns; ++column)
            out += ',' + fields[column];
        out += "\r\n";
    }
    return result;
}

std::optional<QString> ExportTargetProblem(const QString &target, const QString &programFolder)
{
    if (!IsProgramFile(target, programFolder))
        return std::nullopt;
    return QStringLiteral("%1 はヒビシルシのデータか設定のファイルなので、書き出し先にできません。")
            .arg(QDir::toNativeSeparators(target));
}

CsvExport ExportCalendars(OpenCalendar &calendar, const QString &target)
{
    if (const auto problem = ExportTargetProblem(target, calendar.ProgramFolder()))
        throw FileError(*problem);
    QList<CalendarSource> sources;
    for (const QString &name : calendar.calendars().names())
        sources << CalendarSource{name, calendar.calendarPath(name), NoteFilePath(calendar.ProgramFolder(), name)};
    const CsvExport exported = calendar.readFiles([&] { return ExportCsv(sources); });
    SaveWholeFile(target, exported.bytes);
    return exported;
}

QString ExportReport(const QString &target, const CsvExport &exported)
{
    const QString where = QDir::toNativeSeparators(target);
    if (exported.unreadable.isEmpty())
        return QStringLiteral("%1 に書き出しました。").arg(where);
    QString text = QStringLiteral("%1 に書き出しましたが、次のデータは読み込めなかったため入っていません。").arg(where);
    for (const UnreadableCalendar &c : exported.unreadable)
        text += QStringLiteral("\r\n・%1（%2）").arg(c.name, c.message);
    return text;
}

} // namespace hibi
