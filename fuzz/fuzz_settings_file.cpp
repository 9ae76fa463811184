// A settings file of arbitrary bytes, invalid CP932 included, all the way to the
// state the program starts with (the calendar list and its selection, both
// windows' bounds, the appearance), then written back by every writer and read
// again, and on the way laid out and painted by the windows. Before that,
// edits made of the file's own names go to the file and to the plain list of
// lines, which must agree after each.
#include "FuzzCheck.h"
#include "IniModel.h"
#include "PaintWithSettings.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "storage/Catalogue.h"

#include <QStringDecoder>

#include <variant>

using namespace hibi;

namespace {

struct Names
{
    QStringList sections;
    QStringList keys;
};

// Section and key names as the lines spell them, to edit by, at most 48 of each.
Names namesIn(const QByteArray &bytes)
{
    Names names;
    for (const QByteArray &line : bytes.split('\n')) {
        QStringDecoder decoder("CP932");
        const QString text = QString(decoder.decode(line)).trimmed();
        const qsizetype eq = text.indexOf(u'=');
        if (text.startsWith(u'[') && names.sections.size() < 48)
            names.sections << text.mid(1, text.indexOf(u']') - 1);
        else if (eq >= 0 && names.keys.size() < 48)
            names.keys << text.first(eq);
    }
    if (names.sections.isEmpty())
        names.sections << QStringLiteral("dat");
    return names;
}

void agree(const IniFile &ini, const model::IniLines &lines, const QString &section, const QString &key)
{
    check(ini.toBytes() == lines.toBytes(), "an edit changes the same bytes as in the plain list");
    for (const QString &s : {section, section.toUpper(), section.toLower()}) {
        check(ini.entries(s) == lines.entries(s), "a section holds the keys the plain list finds");
        for (const QString &k : {key, key.toUpper(), key.toLower()})
            check(ini.value(s, k) == lines.value(s, k), "a key reads as in the plain list");
    }
}

// Every key in every section named, among them duplicates and case variants.
void agreeEverywhere(const IniFile &ini, const model::IniLines &lines, const Names &names)
{
    for (const QString &section : names.sections.mid(0, 16))
        for (const QString &key : names.keys)
            check(ini.value(section, key) == lines.value(section, key), "every key reads as in the plain list");
}

// Each key name in turn in a section named in the file, under another case,
// deleted, written again, and in forms that make the new line a section line, a
// comment or a line with a line feed inside.
void editByNames(const QByteArray &bytes)
{
    IniFile ini(bytes);
    model::IniLines lines(bytes);
    const Names names = namesIn(bytes);
    agreeEverywhere(ini, lines, names);
    for (qsizetype i = 0; i < names.keys.size(); ++i) {
        const QString &key = names.keys[i];
        const QString &section = names.sections[i % names.sections.size()];
        const QString value = QStringLiteral("v%1").arg(i);
        auto write = [&](const QString &s, const QString &k) {
            ini.writeString(s, k, value);
            lines.writeString(s, k, value);
        };
        auto remove = [&](const QString &s, const QString &k) {
            ini.deleteKey(s, k);
            lines.deleteKey(s, k);
        };
        switch (i % 8) {
        case 0: write(section, key); break;
        case 1: write(section.toUpper(), key.toLower()); break;
        case 2: remove(section.toLower(), key.toUpper()); break;
        case 3:
            remove(section, key);
            write(section, key);
            break;
        case 4: write(section, u'[' + key); break;
        case 5:
            write(section, u';' + key);
            write(section, key + u'=' + key);
            break;
        case 6:
            write(section + QStringLiteral("]x"), key);
            write(key, key + u'\n' + key);
            break;
        case 7: {
            // Every other key, in file order: each copy of the test counts from the start.
            auto everyOther = [asked = 0](const QString &) mutable { return asked++ % 2 == 0; };
            ini.removeKeys(section, everyOther);
            lines.removeKeys(section, everyOther);
            break;
        }
        }
        agree(ini, lines, section, key);
    }
    agreeEverywhere(ini, lines, names);
    // Copies index their own lines.
    const IniFile copy = ini;
    IniFile assigned;
    assigned = ini;
    ini = IniFile();
    agreeEverywhere(copy, lines, names);
    agreeEverywhere(assigned, lines, names);
}

// The list at start as the saved order picks it out of the files found, each saved
// name looked up among the names left; plain and slow on purpose.
CalendarList plainCalendarList(QStringList found, const QStringList &savedOrder, const QString &lastSelection)
{
    CalendarList list;
    if (found.isEmpty()) {
        list.names = QStringList{kFirstCalendarName};
        return list;
    }
    int remembered = -1;
    for (const QString &name : savedOrder) {
        const qsizetype at = found.indexOf(name);
        if (at < 0)
            continue;
        list.names << name;
        found.removeAt(at);
        if (name == lastSelection)
            remembered = int(list.names.size() - 1);
    }
    list.names << found;
    list.selected = remembered >= 0 ? remembered : 0;
    if (list.names[list.selected].isEmpty())
        list.selected = 0;
    return list;
}

void samePlainList(const QStringList &found, const ProgramSettings &s)
{
    const CalendarList list = BuildCalendarList(found, s.calendarOrder, s.lastCalendar);
    const CalendarList plain = plainCalendarList(found, s.calendarOrder, s.lastCalendar);
    check(list.names == plain.names && list.selected == plain.selected, "the list is the one the plain lookup builds");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    IniFile ini(bytes);
    check(ini.toBytes() == bytes, "an untouched file keeps every byte");
    editByNames(bytes);

    ProgramSettings s = ReadSettings(ini);
    fuzz::paintWithSettings(s);
    const QStringList found{QStringLiteral("カレンダー1"), QStringLiteral("仕事"), QStringLiteral("a"), QString()};
    const CalendarList list = BuildCalendarList(found, s.calendarOrder, s.lastCalendar);
    check(list.selected >= 0 && list.selected < list.names.size(), "a calendar is selected");
    QStringList sorted = list.names;
    sorted.sort();
    QStringList expected = found;
    expected.sort();
    check(sorted == expected, "the list holds every calendar file once");
    samePlainList(found, s);
    // Saved names among the files, some of them twice over.
    QStringList more = found;
    for (qsizetype i = 0; i < s.calendarOrder.size() && i < 64; ++i)
        more << QStringList(i % 3 == 0 ? 2 : 1, s.calendarOrder[i]);
    samePlainList(more, s);

    // Texts read from garbage need not survive CP932 again, and a line break in a
    // value is written as a space: give those fields text that does.
    auto writable = [](const QString &text) {
        return IniFile::canEncode(text) && !text.contains(u'\r') && !text.contains(u'\n');
    };
    for (const SettingsKey &k : SettingsKeys())
        if (auto field = std::get_if<QString &(*)(ProgramSettings &)>(&k.field); field && !writable((*field)(s)))
            (*field)(s) = QStringLiteral("ＭＳ Ｐゴシック");
    s.calendarOrder.removeIf([&](const QString &name) { return !writable(name); });

    for (SettingsWriter writer : kSettingsWriters)
        WriteSettings(ini, s, writer);
    const IniFile again(ini.toBytes());
    check(again.toBytes() == ini.toBytes(), "a written file parses back to itself");
    check(ReadSettings(again) == s, "every key reads back as written");
    return 0;
}

// The replay runner's end: the application object goes while Qt can still take
// its fonts down with it.
extern "C" void hibiFuzzFinish()
{
    fuzz::finishApplication();
}
