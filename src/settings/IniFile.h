#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <list>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace hibi {

// A sectioned key=value settings file in CP932. Every line keeps its own bytes, so
// what is not written stays as it was, byte for byte: comments, unknown keys,
// line ends, and CP932 codes that would not survive decoding and encoding again.
// Section and key names match without regard to case; the first section of a name
// counts, and in it the first key of a name. A new key goes at the end of its
// section, a new section at the end of the file. An index beside the lines finds a
// section and a key in constant time, so the close writes thousands of names in
// time linear in their number.
class IniFile
{
public:
    IniFile() = default;
    explicit IniFile(const QByteArray &bytes);
    IniFile(const IniFile &other);
    IniFile &operator=(const IniFile &other);
    IniFile(IniFile &&) = default;
    IniFile &operator=(IniFile &&) = default;

    // The whole file in memory. A missing file is an empty one; a file that exists
    // but cannot be read, or is not a regular file, throws FileError ("は開けません").
    static IniFile load(const QString &path);
    // Replaces the file in one piece through a temporary file beside it, so a crash
    // or a full disk leaves the old file whole; throws FileError ("を作成できません").
    void save(const QString &path) const;

    QByteArray toBytes() const;

    std::optional<QString> value(const QString &section, const QString &key) const;
    QString readString(const QString &section, const QString &key, const QString &fallback) const;
    int readInteger(const QString &section, const QString &key, int fallback) const;
    bool readBool(const QString &section, const QString &key, bool fallback) const;
    quint32 readColor(const QString &section, const QString &key, quint32 fallback) const;

    // Line breaks in a value are written as spaces.
    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);
    void writeBool(const QString &section, const QString &key, bool value);
    void writeColor(const QString &section, const QString &key, quint32 value);
    void deleteKey(const QString &section, const QString &key);

    // Keys of a section in file order (the names as written in the file).
    std::vector<QString> keys(const QString &section) const;
    // The keys of a section with their values, in file order, in one pass.
    std::vector<std::pair<QString, QString>> entries(const QString &section) const;
    // Deletes the keys of a section that `matches` picks, in one pass.
    void removeKeys(const QString &section, const std::function<bool(const QString &key)> &matches);

    // Whether CP932 can hold the text exactly.
    static bool canEncode(const QString &text);
    // Whether this Qt has the CP932 converter at all.
    static bool converterAvailable();

private:
    enum class Kind { Other, Section, Key };
    struct Line
    {
        QByteArray bytes;       // without the line feed, with a carriage return if it had one
        bool hasNewline = true;
        Kind kind = Kind::Other;
        QString name;           // section or key name, trimmed
        int valueStart = 0;     // byte offset of the value in a key line
    };
    // A list, so that lines can come and go without moving the lines the index points at.
    using Lines = std::list<Line>;
    // Names hashed and compared as QString::compare without case compares them.
    struct FoldedHash
    {
        size_t operator()(const QString &name) const noexcept;
    };
    struct SameName
    {
        bool operator()(const QString &a, const QString &b) const noexcept;
    };
    template<typename T>
    using ByName = std::unordered_map<QString, T, FoldedHash, SameName>;
    // The key lines of one name in a section, in file order: the first is the one that counts.
    struct KeyLines
    {
        Lines::iterator first;
        std::vector<Lines::iterator> later;
    };
    // A section line and the keys of the lines up to the next section line.
    struct Section
    {
        Lines::iterator header;
        ByName<KeyLines> keys;
    };

    static Line makeLine(const QByteArray &bytes, bool hasNewline = true);
    static QString valueOf(const Line &keyLine);
    static void addKey(Section &section, Lines::iterator line);
    // Builds the index from the lines alone.
    void reindex();
    // Indexes a line that has just been added at the end of the file.
    void indexAppended(Lines::iterator line);
    // The section's place in m_sections, or -1.
    int findSection(const QString &section) const;
    const KeyLines *findKey(const QString &section, const QString &key) const;
    // One past the last line of the section.
    Lines::iterator sectionEnd(size_t section);
    Lines::const_iterator sectionEnd(size_t section) const;
    // "\r" when the file's lines end in CR LF (and for a new file), else nothing.
    QByteArray carriageReturn() const;

    Lines m_lines;
    std::vector<Section> m_sections;                  // in file order
    ByName<int> m_sectionAt;                          // the first section of each name
};

// Integer text as the settings file has it: decimal with an optional sign, or a
// 32-bit pattern in hexadecimal after "$" ($FFFFFFFF is -1).
std::optional<qint64> ParseIniNumber(const QString &text);
// The same, when it fits a 32-bit integer.
std::optional<int> ParseIniInteger(const QString &text);

} // namespace hibi
