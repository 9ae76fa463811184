#include "settings/IniFile.h"

#include "settings/Colors.h"
#include "storage/FileError.h"
#include "storage/ShiftJis.h"
#include "storage/WholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <iterator>
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

bool blank(const QByteArray &bytes)
{
    return withoutCarriageReturn(bytes).trimmed().isEmpty();
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
    reindex();
}

IniFile::IniFile(const IniFile &other)
    : m_lines(other.m_lines)
{
    reindex();
}

IniFile &IniFile::operator=(const IniFile &other)
{
    if (this != &other) {
        m_lines = other.m_lines;
        reindex();
    }
    return *this;
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

// QString::compare without case folds each UTF-16 unit, a low surrogate together
// with the high one before it, and compares the results: names it finds equal
// hash alike.
size_t IniFile::FoldedHash::operator()(const QString &name) const noexcept
{
    size_t hash = 0;
    char32_t last = 0;
    for (const QChar c : name) {
        char32_t unit = c.unicode();
        if (unit < 0x80) {
            unit = unit >= 'A' && unit <= 'Z' ? unit + ('a' - 'A') : unit;
        } else {
            if (QChar::isLowSurrogate(unit) && QChar::isHighSurrogate(last))
                unit = QChar::surrogateToUcs4(char16_t(last), char16_t(unit));
            unit = QChar::toCaseFolded(unit);
        }
        last = c.unicode();
        hash = hash * 1000003 + unit;
    }
    return hash;
}

bool IniFile::SameName::operator()(const QString &a, const QString &b) const noexcept
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

void IniFile::addKey(Section &section, Lines::iterator line)
{
    const auto [entry, added] = section.keys.try_emplace(line->name, KeyLines{line, {}});
    if (!added)
        entry->second.later.push_back(line);
}

void IniFile::reindex()
{
    m_sections.clear();
    m_sectionAt.clear();
    for (auto line = m_lines.begin(); line != m_lines.end(); ++line)
        indexAppended(line);
}

void IniFile::indexAppended(Lines::iterator line)
{
    if (line->kind == Kind::Section) {
        m_sectionAt.try_emplace(line->name, int(m_sections.size()));
        m_sections.push_back({line, {}});
    } else if (line->kind == Kind::Key && !m_sections.empty()) {
        addKey(m_sections.back(), line);   // keys before the first section belong to none
    }
}

int IniFile::findSection(const QString &section) const
{
    const auto found = m_sectionAt.find(section);
    return found != m_sectionAt.end() ? found->second : -1;
}

const IniFile::KeyLines *IniFile::findKey(const QString &section, const QString &key) const
{
    const int s = findSection(section);
    if (s < 0)
        return nullptr;
    const auto &keys = m_sections[size_t(s)].keys;
    const auto found = keys.find(key);
    return found != keys.end() ? &found->second : nullptr;
}

IniFile::Lines::iterator IniFile::sectionEnd(size_t section)
{
    return section + 1 < m_sections.size() ? m_sections[section + 1].header : m_lines.end();
}

IniFile::Lines::const_iterator IniFile::sectionEnd(size_t section) const
{
    return section + 1 < m_sections.size() ? Lines::const_iterator(m_sections[section + 1].header) : m_lines.end();
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
    const KeyLines *found = findKey(section, key);
    if (!found)
        return std::nullopt;
    return valueOf(*found->first);
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
    if (const KeyLines *existing = findKey(section, key)) {
        Line &line = *existing->first;
        const bool hadCr = line.bytes.endsWith('\r');
        line.bytes = line.bytes.first(line.valueStart) + encode(value) + (hadCr ? QByteArray("\r") : QByteArray());
        return;
    }
    // The new line is indexed as it reads back: a key whose text makes it a
    // comment or a section line is one.
    const Line keyLine = makeLine(encode(key + u'=' + value) + cr);
    if (const int s = findSection(section); s >= 0) {
        // After the last line of the section that isn't blank.
        const auto header = m_sections[size_t(s)].header;
        auto at = sectionEnd(size_t(s));
        while (std::prev(at) != header && blank(std::prev(at)->bytes))
            --at;
        endLine(*std::prev(at), cr);
        const auto line = m_lines.insert(at, keyLine);
        if (line->kind == Kind::Key) {
            addKey(m_sections[size_t(s)], line);
        } else if (line->kind == Kind::Section) {
            // Only blank lines follow it in the section it splits; the sections after it move up one.
            m_sections.insert(m_sections.begin() + s + 1, Section{line, {}});
            m_sectionAt.clear();
            for (size_t i = 0; i < m_sections.size(); ++i)
                m_sectionAt.try_emplace(m_sections[i].header->name, int(i));
        }
        return;
    }
    auto append = [this](Line line) {
        m_lines.push_back(std::move(line));
        indexAppended(std::prev(m_lines.end()));
    };
    if (!m_lines.empty()) {
        endLine(m_lines.back(), cr);
        if (!blank(m_lines.back().bytes))
            append(makeLine(cr));
    }
    append(makeLine(encode(u'[' + section + u']') + cr));
    append(keyLine);
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
    const int s = findSection(section);
    if (s < 0)
        return;
    auto &keys = m_sections[size_t(s)].keys;
    const auto found = keys.find(key);
    if (found == keys.end())
        return;
    KeyLines &lines = found->second;
    m_lines.erase(lines.first);
    if (lines.later.empty()) {
        keys.erase(found);
    } else {
        lines.first = lines.later.front();   // the next key of the name counts from now on
        lines.later.erase(lines.later.begin());
    }
}

std::vector<QString> IniFile::keys(const QString &section) const
{
    std::vector<QString> names;
    const int s = findSection(section);
    if (s < 0)
        return names;
    const auto end = sectionEnd(size_t(s));
    for (auto line = std::next(m_sections[size_t(s)].header); line != end; ++line)
        if (line->kind == Kind::Key)
            names.push_back(line->name);
    return names;
}

std::vector<std::pair<QString, QString>> IniFile::entries(const QString &section) const
{
    std::vector<std::pair<QString, QString>> out;
    const int s = findSection(section);
    if (s < 0)
        return out;
    const auto end = sectionEnd(size_t(s));
    for (auto line = std::next(m_sections[size_t(s)].header); line != end; ++line)
        if (line->kind == Kind::Key)
            out.emplace_back(line->name, valueOf(*line));
    return out;
}

void IniFile::removeKeys(const QString &section, const std::function<bool(const QString &key)> &matches)
{
    const int s = findSection(section);
    if (s < 0)
        return;
    Section &sec = m_sections[size_t(s)];
    sec.keys.clear();   // built again from the keys that stay
    const auto end = sectionEnd(size_t(s));
    for (auto line = std::next(sec.header); line != end;) {
        if (line->kind != Kind::Key) {
            ++line;
        } else if (matches(line->name)) {
            line = m_lines.erase(line);
        } else {
            addKey(sec, line);
            ++line;
        }
    }
}

bool IniFile::converterAvailable()
{
    static const bool available = QStringEncoder(kCodec).isValid() && QStringDecoder(kCodec).isValid();
    return available;
}

bool IniFile::canEncode(const QString &text)
{
    return ShiftJisHolds(text);
}

} // namespace hibi
