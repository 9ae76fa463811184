// A settings file of arbitrary bytes, invalid CP932 included, all the way to the
// state the program starts with (the calendar list and its selection, both
// windows' bounds, the appearance), then written back by every writer and read
// again.
#include "FuzzCheck.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "storage/Catalogue.h"

#include <variant>

using namespace hibi;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    IniFile ini(bytes);
    check(ini.toBytes() == bytes, "an untouched file keeps every byte");

    ProgramSettings s = ReadSettings(ini);
    const QStringList found{QStringLiteral("カレンダー1"), QStringLiteral("仕事"), QStringLiteral("a"), QString()};
    const CalendarList list = BuildCalendarList(found, s.calendarOrder, s.lastCalendar);
    check(list.selected >= 0 && list.selected < list.names.size(), "a calendar is selected");
    QStringList sorted = list.names;
    sorted.sort();
    QStringList expected = found;
    expected.sort();
    check(sorted == expected, "the list holds every calendar file once");

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
