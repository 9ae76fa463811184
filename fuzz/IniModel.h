#pragma once

// The settings file as a plain list of lines, every lookup a walk from the top:
// the first section line of a name (without case) starts the section, which runs
// to the next section line, and its first key line of the name is the key. Slow
// on purpose and free of any index, so the fuzz target holds the indexed file
// against it, edit by edit, on any bytes at all.

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace model {

class IniLines
{
public:
    explicit IniLines(const QByteArray &bytes)
    {
        qsizetype start = 0;
        while (start < bytes.size()) {
            const qsizetype lf = bytes.indexOf('\n', start);
            m_lines.push_back(makeLine(bytes.mid(start, (lf >= 0 ? lf : bytes.size()) - start), lf >= 0));
            start = lf >= 0 ? lf + 1 : bytes.size();
        }
    }

    QByteArray toBytes() const
    {
        QByteArray out;
        for (const Line &line : m_lines)
            out += line.bytes + (line.hasNewline ? "\n" : "");
        return out;
    }

    std::optional<QString> value(const QString &section, const QString &key) const
    {
        const int i = findKey(section, key);
        if (i < 0)
            return std::nullopt;
        const Line &line = m_lines[size_t(i)];
        return decode(content(line.bytes).sliced(line.valueStart));
    }

    void writeString(const QString &section, const QString &key, QString value)
    {
        value.replace(u'\r', u' ').replace(u'\n', u' ');
        const QByteArray cr = carriageReturn();
        if (const int i = findKey(section, key); i >= 0) {
            Line &line = m_lines[size_t(i)];
            const bool hadCr = line.bytes.endsWith('\r');
            line.bytes = line.bytes.first(line.valueStart) + encode(value) + (hadCr ? "\r" : "");
            return;
        }
        const Line keyLine = makeLine(encode(key + u'=' + value) + cr);
        int end = 0;
        if (const int start = findSection(section, &end); start >= 0) {
            int at = end;
            while (at > start + 1 && blank(m_lines[size_t(at - 1)]))
                --at;
            endLine(m_lines[size_t(at - 1)], cr);
            m_lines.insert(m_lines.begin() + at, keyLine);
            return;
        }
        if (!m_lines.empty()) {
            endLine(m_lines.back(), cr);
            if (!blank(m_lines.back()))
                m_lines.push_back(makeLine(cr));
        }
        m_lines.push_back(makeLine(encode(u'[' + section + u']') + cr));
        m_lines.push_back(keyLine);
    }

    void deleteKey(const QString &section, const QString &key)
    {
        if (const int i = findKey(section, key); i >= 0)
            m_lines.erase(m_lines.begin() + i);
    }

    std::vector<std::pair<QString, QString>> entries(const QString &section) const
    {
        std::vector<std::pair<QString, QString>> out;
        int end = 0;
        const int start = findSection(section, &end);
        for (int i = start + 1; start >= 0 && i < end; ++i) {
            const Line &line = m_lines[size_t(i)];
            if (line.kind == Kind::Key)
                out.emplace_back(line.name, decode(content(line.bytes).sliced(line.valueStart)));
        }
        return out;
    }

    void removeKeys(const QString &section, const std::function<bool(const QString &)> &matches)
    {
        int end = 0;
        const int start = findSection(section, &end);
        for (int i = start + 1; start >= 0 && i < end;) {
            if (m_lines[size_t(i)].kind == Kind::Key && matches(m_lines[size_t(i)].name)) {
                m_lines.erase(m_lines.begin() + i);
                --end;
            } else {
                ++i;
            }
        }
    }

private:
    enum class Kind { Other, Section, Key };
    struct Line
    {
        QByteArray bytes;
        bool hasNewline = true;
        Kind kind = Kind::Other;
        QString name;
        int valueStart = 0;
    };

    static QString decode(QByteArrayView bytes)
    {
        QStringDecoder decoder("CP932");
        return decoder.decode(bytes);
    }
    static QByteArray encode(const QString &text) { return QStringEncoder("CP932").encode(text); }
    static QByteArrayView content(const QByteArray &bytes)
    {
        return bytes.endsWith('\r') ? QByteArrayView(bytes).chopped(1) : QByteArrayView(bytes);
    }
    static bool blank(const Line &line) { return content(line.bytes).trimmed().isEmpty(); }
    static bool same(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

    static Line makeLine(const QByteArray &bytes, bool hasNewline = true)
    {
        Line line;
        line.bytes = bytes;
        line.hasNewline = hasNewline;
        const QString text = decode(content(bytes)).trimmed();
        if (text.startsWith(u'[')) {
            const qsizetype close = text.indexOf(u']');
            line.kind = Kind::Section;
            line.name = text.mid(1, close < 0 ? -1 : close - 1).trimmed();
        } else if (const qsizetype eq = content(bytes).indexOf('='); !text.startsWith(u';') && eq >= 0) {
            line.kind = Kind::Key;
            line.name = decode(content(bytes).first(eq)).trimmed();
            line.valueStart = int(eq + 1);
        }
        return line;
    }

    static void endLine(Line &line, const QByteArray &cr)
    {
        if (!line.hasNewline) {
            if (!line.bytes.endsWith('\r'))
                line.bytes += cr;
            line.hasNewline = true;
        }
    }

    int findSection(const QString &section, int *end) const
    {
        const int count = int(m_lines.size());
        for (int i = 0; i < count; ++i) {
            if (m_lines[size_t(i)].kind != Kind::Section || !same(m_lines[size_t(i)].name, section))
                continue;
            int j = i + 1;
            while (j < count && m_lines[size_t(j)].kind != Kind::Section)
                ++j;
            *end = j;
            return i;
        }
        return -1;
    }

    int findKey(const QString &section, const QString &key) const
    {
        int end = 0;
        const int start = findSection(section, &end);
        for (int i = start + 1; start >= 0 && i < end; ++i)
            if (m_lines[size_t(i)].kind == Kind::Key && same(m_lines[size_t(i)].name, key))
                return i;
        return -1;
    }

    QByteArray carriageReturn() const
    {
        for (const Line &line : m_lines)
            if (line.hasNewline)
                return line.bytes.endsWith('\r') ? "\r" : "";
        return "\r";
    }

    std::vector<Line> m_lines;
};

} // namespace model
