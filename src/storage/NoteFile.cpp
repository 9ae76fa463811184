#include "storage/NoteFile.h"

#include "storage/Backups.h"
#include "storage/Durable.h"
#include "storage/FileError.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <chrono>

namespace hibi {

namespace {

QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else
            out += c;
    }
    return out;
}

std::optional<QString> unescaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\t' || c == u'\r')
            return std::nullopt;
        if (c != u'\\') {
            out += c;
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        switch (text[i].unicode()) {
        case u'\\': out += u'\\'; break;
        case u'n': out += u'\n'; break;
        case u't': out += u'\t'; break;
        default: return std::nullopt;
        }
    }
    return out;
}

std::optional<int> dateKey(QStringView text)
{
    using namespace std::chrono;
    if (text.size() != 10 || text[4] != u'-' || text[7] != u'-')
        return std::nullopt;
    bool ok[3] = {};
    const int y = text.first(4).toInt(&ok[0]);
    const int m = text.sliced(5, 2).toInt(&ok[1]);
    const int d = text.sliced(8, 2).toInt(&ok[2]);
    if (!ok[0] || !ok[1] || !ok[2] || y < 1 || m < 1 || d < 1)
        return std::nullopt;
    if (!year_month_day{year{y}, month(unsigned(m)), day(unsigned(d))}.ok())
        return std::nullopt;
    return NoteKey(y, m, d);
}

} // namespace

QString NoteFilePath(const QString &programFolder, const QString &calendarName)
{
    return programFolder + calendarName + kNoteExtension;
}

std::optional<Notes> ParseNotes(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    Notes notes;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        // A line may end in CR LF where the file was edited elsewhere.
        const QString line = lines[i].endsWith(u'\r') ? lines[i].chopped(1) : lines[i];
        if (line.isEmpty() && i == lines.size() - 1)
            break;   // after the last line's break
        const qsizetype tab = line.indexOf(u'\t');
        const auto key = tab < 0 ? std::nullopt : dateKey(QStringView(line).first(tab));
        const auto note = key ? unescaped(line.sliced(tab + 1)) : std::nullopt;
        if (!note || note->isEmpty() || notes.count(*key))
            return std::nullopt;
        notes[*key] = *note;
    }
    return notes;
}

QByteArray NotesToBytes(const Notes &notes)
{
    QString text;
    for (const auto &[key, note] : notes) {
        if (note.isEmpty())
            continue;
        text += QStringLiteral("%1-%2-%3\t")
                        .arg(key / 10000, 4, 10, QLatin1Char('0'))
                        .arg(key / 100 % 100, 2, 10, QLatin1Char('0'))
                        .arg(key % 100, 2, 10, QLatin1Char('0'));
        text += escaped(note) + u'\n';
    }
    return text.toUtf8();
}

Notes ReadNotes(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {};
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        throw FileError::cannotOpen(path);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError::cannotOpen(path);
    const auto notes = ParseNotes(bytes);
    if (!notes)
        throw FileError(QStringLiteral("ファイル %1 はメモのファイルとして読めません。メモは書き換えずに残します。")
                                .arg(QFileInfo(path).absoluteFilePath()));
    return *notes;
}

void SaveNotes(const QString &path, const Notes &notes)
{
    const QByteArray bytes = NotesToBytes(notes);
    if (!bytes.isEmpty()) {
        SaveWholeFileBackedUp(path, bytes);
        return;
    }
    // No notes left: no file, its last bytes kept in the day's backup.
    const QFileInfo info(path);
    if (!info.exists())
        return;
    BackUpBeforeRemoving(path);
    if (!QFile::remove(path) || !SyncFolderOf(path))
        throw FileError::cannotDelete(path);
}

} // namespace hibi
