#include "settings/Settings.h"

#include "settings/IniFile.h"

#include <algorithm>
#include <map>

namespace hibi {

namespace {

const QString kPos = QStringLiteral("pos");
const QString kPosb = QStringLiteral("posb");
const QString kBackColor = QStringLiteral("backcolor");
const QString kToday = QStringLiteral("today");
const QString kCale = QStringLiteral("cale");
const QString kDat = QStringLiteral("dat");
const QString kNum = QStringLiteral("num");

void readStyle(const IniFile &ini, const QString &section, FontStyle &style)
{
    style.bold = ini.readBool(section, QStringLiteral("stylebold"), style.bold);
    style.italic = ini.readBool(section, QStringLiteral("styleitalic"), style.italic);
    style.underline = ini.readBool(section, QStringLiteral("styleuline"), style.underline);
    style.strikeOut = ini.readBool(section, QStringLiteral("stylesout"), style.strikeOut);
}

void writeStyle(IniFile &ini, const QString &section, const FontStyle &style)
{
    ini.writeBool(section, QStringLiteral("stylebold"), style.bold);
    ini.writeBool(section, QStringLiteral("styleitalic"), style.italic);
    ini.writeBool(section, QStringLiteral("styleuline"), style.underline);
    ini.writeBool(section, QStringLiteral("stylesout"), style.strikeOut);
}

void readDayFont(const IniFile &ini, const QString &section, Tdayfont &font)
{
    font.Size = ini.readInteger(section, QStringLiteral("size"), font.Size);
    font.HolidayColor = ini.readColor(section, QStringLiteral("holidaycolor"), font.HolidayColor);
    font.WeekdayColor = ini.readColor(section, QStringLiteral("weekdaycolor"), font.WeekdayColor);
    font.Name = ini.readString(section, QStringLiteral("name"), font.Name);
    readStyle(ini, section, font.Style);
}

void writeDayFont(IniFile &ini, const QString &section, const Tdayfont &font)
{
    ini.writeInteger(section, QStringLiteral("size"), font.Size);
    ini.writeColor(section, QStringLiteral("holidaycolor"), font.HolidayColor);
    ini.writeColor(section, QStringLiteral("weekdaycolor"), font.WeekdayColor);
    ini.writeString(section, QStringLiteral("name"), font.Name);
    writeStyle(ini, section, font.Style);
}

// The [dat] keys 0 .. num - 1 that are present, by index. A hand-edited num may be
// huge, so the keys are looked at rather than every index counted through.
std::map<qint64, QString> datNamesBelow(const IniFile &ini, qint64 num)
{
    std::map<qint64, QString> names;
    for (const QString &key : ini.keys(kDat)) {
        bool ok = false;
        const qint64 index = key.toLongLong(&ok);
        if (ok && index >= 0 && index < num && QString::number(index) == key && !names.count(index))
            names[index] = ini.readString(kDat, key, QString());
    }
    return names;
}

} // namespace

StartupSettings ReadStartupSettings(const IniFile &ini)
{
    StartupSettings s;
    Appearance &a = s.appearance;
    s.bounds.top = ini.readInteger(kPos, QStringLiteral("top"), s.bounds.top);
    s.bounds.left = ini.readInteger(kPos, QStringLiteral("left"), s.bounds.left);
    s.bounds.height = ini.readInteger(kPos, QStringLiteral("height"), s.bounds.height);
    s.bounds.width = ini.readInteger(kPos, QStringLiteral("width"), s.bounds.width);
    s.nameHeight = ini.readInteger(kPos, QStringLiteral("nameheight"), s.nameHeight);
    a.WindowColor = ini.readColor(kPos, QStringLiteral("color"), a.WindowColor);
    readDayFont(ini, QStringLiteral("youbifont"), a.YoubiFont);
    readDayFont(ini, QStringLiteral("dayfont"), a.DayFont);
    a.YoubiHolidayBack = ini.readColor(kBackColor, QStringLiteral("youbiholiday"), a.YoubiHolidayBack);
    a.YoubiWeekdayBack = ini.readColor(kBackColor, QStringLiteral("youbiweekday"), a.YoubiWeekdayBack);
    a.DayHolidayBack = ini.readColor(kBackColor, QStringLiteral("dayholiday"), a.DayHolidayBack);
    a.DayWeekdayBack = ini.readColor(kBackColor, QStringLiteral("dayweekday"), a.DayWeekdayBack);
    a.YohakuBack = ini.readColor(kBackColor, QStringLiteral("yohaku"), a.YohakuBack);
    const QString nen = QStringLiteral("nenfont");
    a.NenFont.Size = ini.readInteger(nen, QStringLiteral("size"), a.NenFont.Size);
    a.NenFont.Color = ini.readColor(nen, QStringLiteral("color"), a.NenFont.Color);
    a.NenFont.Name = ini.readString(nen, QStringLiteral("name"), a.NenFont.Name);
    readStyle(ini, nen, a.NenFont.Style);
    a.MaruColor = ini.readColor(kBackColor, QStringLiteral("maru"), a.MaruColor);
    a.BatuColor = ini.readColor(kBackColor, QStringLiteral("batu"), a.BatuColor);
    a.SankakuColor = ini.readColor(kBackColor, QStringLiteral("sankaku"), a.SankakuColor);
    a.MarkLineWidth = ini.readInteger(kBackColor, QStringLiteral("linewidth"), a.MarkLineWidth);
    a.TodayMarkOn = ini.readBool(kToday, QStringLiteral("set"), a.TodayMarkOn);
    a.TodayColor = ini.readColor(kToday, QStringLiteral("color"), a.TodayColor);
    a.TodayLineWidth = ini.readInteger(kToday, QStringLiteral("width"), a.TodayLineWidth);
    s.lastCalendar = ini.readString(kCale, QStringLiteral("file"), s.lastCalendar);

    // Names missing below num read as empty; trailing ones are left off, since an
    // empty name matches no calendar file anyway.
    const int num = ini.readInteger(kDat, kNum, 1);
    const auto names = datNamesBelow(ini, num);
    if (!names.empty()) {
        s.savedOrder.resize(qsizetype(names.rbegin()->first + 1));
        for (const auto &[index, name] : names)
            s.savedOrder[qsizetype(index)] = name;
    }
    return s;
}

void WriteCloseSettings(IniFile &ini, const WindowBounds &bounds, int nameHeight, const QString &currentCalendar,
                        const QStringList &order)
{
    const int oldNum = ini.readInteger(kDat, kNum, 0);
    ini.writeInteger(kPos, QStringLiteral("top"), bounds.top);
    ini.writeInteger(kPos, QStringLiteral("left"), bounds.left);
    ini.writeInteger(kPos, QStringLiteral("height"), bounds.height);
    ini.writeInteger(kPos, QStringLiteral("width"), bounds.width);
    ini.writeInteger(kPos, QStringLiteral("nameheight"), nameHeight);
    ini.writeString(kCale, QStringLiteral("file"), currentCalendar);
    ini.writeInteger(kDat, kNum, int(order.size()));
    for (qsizetype i = 0; i < order.size(); ++i)
        ini.writeString(kDat, QString::number(i), order[i]);
    // Names left from a longer order: the keys numbered from the new count up to the old num.
    if (oldNum > order.size())
        for (const QString &key : ini.keys(kDat)) {
            bool ok = false;
            const qint64 index = key.toLongLong(&ok);
            if (ok && index >= order.size() && index < oldNum && QString::number(index) == key)
                ini.deleteKey(kDat, key);
        }
}

void WriteAppearanceSettings(IniFile &ini, const Appearance &a)
{
    writeDayFont(ini, QStringLiteral("youbifont"), a.YoubiFont);
    writeDayFont(ini, QStringLiteral("dayfont"), a.DayFont);
    ini.writeColor(kBackColor, QStringLiteral("youbiholiday"), a.YoubiHolidayBack);
    ini.writeColor(kBackColor, QStringLiteral("youbiweekday"), a.YoubiWeekdayBack);
    ini.writeColor(kBackColor, QStringLiteral("dayholiday"), a.DayHolidayBack);
    ini.writeColor(kBackColor, QStringLiteral("dayweekday"), a.DayWeekdayBack);
    ini.writeColor(kBackColor, QStringLiteral("yohaku"), a.YohakuBack);
    ini.writeColor(kPos, QStringLiteral("color"), a.WindowColor);
    const QString nen = QStringLiteral("nenfont");
    ini.writeInteger(nen, QStringLiteral("size"), a.NenFont.Size);
    ini.writeColor(nen, QStringLiteral("color"), a.NenFont.Color);
    ini.writeString(nen, QStringLiteral("name"), a.NenFont.Name);
    writeStyle(ini, nen, a.NenFont.Style);
    ini.writeColor(kBackColor, QStringLiteral("maru"), a.MaruColor);
    ini.writeColor(kBackColor, QStringLiteral("batu"), a.BatuColor);
    ini.writeColor(kBackColor, QStringLiteral("sankaku"), a.SankakuColor);
    ini.writeInteger(kBackColor, QStringLiteral("linewidth"), a.MarkLineWidth);
    ini.writeBool(kToday, QStringLiteral("set"), a.TodayMarkOn);
    ini.writeColor(kToday, QStringLiteral("color"), a.TodayColor);
    ini.writeInteger(kToday, QStringLiteral("width"), a.TodayLineWidth);
}

WindowBounds ReadBulkBounds(const QString &iniPath)
{
    const IniFileDirect ini(iniPath);
    WindowBounds b{100, 200, 300, 400};
    b.top = ini.readInteger(kPosb, QStringLiteral("top"), b.top);
    b.left = ini.readInteger(kPosb, QStringLiteral("left"), b.left);
    b.height = ini.readInteger(kPosb, QStringLiteral("height"), b.height);
    b.width = ini.readInteger(kPosb, QStringLiteral("width"), b.width);
    return b;
}

void WriteBulkBounds(const QString &iniPath, const WindowBounds &bounds)
{
    const IniFileDirect ini(iniPath);
    ini.writeInteger(kPosb, QStringLiteral("top"), bounds.top);
    ini.writeInteger(kPosb, QStringLiteral("left"), bounds.left);
    ini.writeInteger(kPosb, QStringLiteral("height"), bounds.height);
    ini.writeInteger(kPosb, QStringLiteral("width"), bounds.width);
}

} // namespace hibi
