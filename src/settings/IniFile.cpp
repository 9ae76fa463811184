#include "settings/IniFile.h"

#include "settings/Colors.h"
#include "storage/FileError.h"
#include "storage/WholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <limits>

namespace hibi {

namespace {

constexpr auto kCodec = "CP932";

// Opening the converter is the costly part; each call starts from a clean state.
QString decode(QByteArrayView bytes)
{
    thread_local QStringDecoder decoder(kCodec);
    decoder.resetState();
    return decoder.decode(bytes);
}

QByteArray encode(const QString &text)
{
    thread_local QStringEncoder encoder(kCodec);
    encoder.resetState();
    return encoder.encode(text);
}

QByteArrayView withoutCarriageReturn(const QByteArray &bytes)
{
    QByteArrayView view(bytes);
    return view.endsWith('\r') ? view.chopped(1) : view;
}

// Gives the last line of a file the line end it lacked, before a line follows it.
// A last line that ends in a carriage return lacks only the line feed: another
// return would become part of its value.
template<typename Line>
void endLine(Line &line, const QByteArray &cr)
{
    if (!line.hasNewline) {
        if (!line.bytes.endsWith('\r'))
            line.bytes += cr;
        line.hasNewline = true;
    }
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<qint64> ParseIniNumber(const QString &text)
{
    const QString t = text.trimmed();
    bool ok = false;
    qint64 value = 0;
    if (t.startsWith(u'$')) {
        const QStringView digits = QStringView(t).mid(1);
        if (digits.size() <= 8 && !digits.startsWith(u'+') && !digits.startsWith(u'-'))
            value = qint32(quint32(digits.toULongLong(&ok, 16)));
    } else {
        value = t.toLongLong(&ok, 10);
    }
    if (!ok)
        return std::nullopt;
    return value;
}

std::optional<int> ParseIniInteger(const QString &text)
{
    const auto number = ParseIniNumber(text);
    if (!number || *number < std::numeric_limits<qint32>::min() || *number > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return int(*number);
}

IniFile::IniFile(const QByteArray &bytes)
{
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype lf = bytes.indexOf('\n', start);
        m_lines.push_back(makeLine(bytes.mid(start, (lf >= 0 ? lf : bytes.size()) - start), lf >= 0));
        start = lf >= 0 ? lf + 1 : bytes.size();
    }
}

IniFile IniFile::load(const QString &path)
{
    if (!QFileInfo::exists(path))
        return IniFile();
    if (!QFileInfo(path).isFile())   // a FIFO would block the read forever
        throw FileError::cannotOpen(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError::cannotOpen(path);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError::cannotOpen(path);
    return IniFile(bytes);
}

void IniFile::save(const QString &path) const
{
    SaveWholeFile(path, toBytes());
}

QByteArray IniFile::toBytes() const
{
    QByteArray out;
    for (const Line &line : m_lines) {
        out += line.bytes;
        if (line.hasNewline)
            out += '\n';
    }
    return out;
}

IniFile::Line IniFile::makeLine(const QByteArray &bytes, bool hasNewline)
{
    Line line;
    line.bytes = bytes;
    line.hasNewline = hasNewline;
    const QByteArrayView content = withoutCarriageReturn(bytes);
    const QString text = decode(content).trimmed();
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(u']');
        line.kind = Kind::Section;
        line.name = text.mid(1, close < 0 ? -1 : close - 1).trimmed();
        return line;
    }
    if (text.startsWith(u';'))
        return line;
    // '=' never occurs inside a CP932 double-byte character, so the bytes can be searched.
    const qsizetype eq = content.indexOf('=');
    if (eq < 0)
        return line;
    line.kind = Kind::Key;
    line.name = decode(content.first(eq)).trimmed();
    line.valueStart = int(eq + 1);
    return line;
}

QString IniFile::valueOf(const Line &line)
{
    return decode(withoutCarriageReturn(line.bytes).sliced(line.valueStart));
}

int IniFile::findSection(const QString &section, int *end) const
{
    const int count = int(m_lines.size());
    for (int i = 0; i < count; ++i) {
        const Line &line = m_lines[size_t(i)];
        if (line.kind != Kind::Section || !sameName(line.name, section))
            continue;
        int j = i + 1;
        while (j < count && m_lines[size_t(j)].kind != Kind::Section)
            ++j;
        if (end)
            *end = j;
        return i;
    }
    return -1;
}

int IniFile::findKey(const QString &section, const QString &key) const
{
    int end = 0;
    const int start = findSection(section, &end);
    if (start < 0)
        return -1;
    for (int i = start + 1; i < end; ++i) {
        const Line &line = m_lines[size_t(i)];
        if (line.kind == Kind::Key && sameName(line.name, key))
            return i;
    }
    return -1;
}

QByteArray IniFile::carriageReturn() const
{
    for (const Line &line : m_lines)
        if (line.hasNewline)
            return line.bytes.endsWith('\r') ? QByteArray("\r") : QByteArray();
    return QByteArray("\r");   // a new file gets the line ends Windows writes
}

std::optional<QString> IniFile::value(const QString &section, const QString &key) const
{
    const int i = findKey(section, key);
    if (i < 0)
        return std::nullopt;
    return valueOf(m_lines[size_t(i)]);
}

QString IniFile::readString(const QString &section, const QString &key, const QString &fallback) const
{
    return value(section, key).value_or(fallback);
}

int IniFile::readInteger(const QString &section, const QString &key, int fallback) const
{
    const auto text = value(section, key);
    return (text ? ParseIniInteger(*text) : std::nullopt).value_or(fallback);
}

bool IniFile::readBool(const QString &section, const QString &key, bool fallback) const
{
    return readInteger(section, key, fallback ? 1 : 0) != 0;
}

quint32 IniFile::readColor(const QString &section, const QString &key, quint32 fallback) const
{
    const auto text = value(section, key);
    return text ? StringToColor(*text).value_or(fallback) : fallback;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &text)
{
    // A line break inside a value would end its line and start a stray one.
    QString value = text;
    value.replace(u'\r', u' ').replace(u'\n', u' ');
    const QByteArray cr = carriageReturn();
    const int existing = findKey(section, key);
    if (existing >= 0) {
        Line &line = m_lines[size_t(existing)];
        const bool hadCr = line.bytes.endsWith('\r');
        line.bytes = line.bytes.first(line.valueStart) + encode(value) + (hadCr ? QByteArray("\r") : QByteArray());
        return;
    }
    const Line keyLine = makeLine(encode(key + u'=' + value) + cr);
    int end = 0;
    const int start = findSection(section, &end);
    if (start >= 0) {
        // After the last line of the section that isn't blank.
        int at = end;
        while (at > start + 1 && withoutCarriageReturn(m_lines[size_t(at - 1)].bytes).trimmed().isEmpty())
            --at;
        endLine(m_lines[size_t(at - 1)], cr);
        m_lines.insert(m_lines.begin() + at, keyLine);
        return;
    }
    if (!m_lines.empty()) {
        endLine(m_lines.back(), cr);
        if (!withoutCarriageReturn(m_lines.back().bytes).trimmed().isEmpty())
            m_lines.push_back(makeLine(cr));
    }
    m_lines.push_back(makeLine(encode(u'[' + section + u']') + cr));
    m_lines.push_back(keyLine);
}

void IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString &section, const QString &key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::writeColor(const QString &section, const QString &key, quint32 value)
{
    writeString(section, key, ColorToString(value));
}

void IniFile::deleteKey(const QString &section, const QString &key)
{
    const int i = findKey(section, key);
    if (i >= 0)
        m_lines.erase(m_lines.begin() + i);
}

std::vector<QString> IniFile::keys(const QString &section) const
{
    std::vector<QString> names;
    int end = 0;
    const int start = findSection(section, &end);
    for (int i = start + 1; start >= 0 && i < end; ++i) {
        const Line &line = m_lines[size_t(i)];
        if (line.kind == Kind::Key)
            names.push_back(line.name);
    }
    return names;
}

std::vector<std::pair<QString, QString>> IniFile::entries(const QString &section) const
{
    std::vector<std::pair<QString, QString>> out;
    int end = 0;
    const int start = findSection(section, &end);
    for (int i = start + 1; start >= 0 && i < end; ++i) {
        const Line &line = m_lines[size_t(i)];
        if (line.kind == Kind::Key)
            out.emplace_back(line.name, valueOf(line));
    }
    return out;
}

void IniFile::removeKeys(const QString &section, const std::function<bool(const QString &key)> &matches)
{
    int end = 0;
    const int start = findSection(section, &end);
    if (start < 0)
        return;
    const auto first = m_lines.begin() + start + 1;
    const auto last = m_lines.begin() + end;
    m_lines.erase(std::remove_if(first, last, [&](const Line &line) { return line.kind == Kind::Key && matches(line.name); }),
                  last);
}

bool IniFile::converterAvailable()
{
    static const bool available = QStringEncoder(kCodec).isValid() && QStringDecoder(kCodec).isValid();
    return available;
}

bool IniFile::canEncode(const QString &text)
{
    QStringEncoder encoder(kCodec);
    const QByteArray bytes = encoder.encode(text);
    return !encoder.hasError() && decode(bytes) == text;
}

} // namespace hibi
