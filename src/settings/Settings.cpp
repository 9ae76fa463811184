#include "settings/Settings.h"

#include "settings/IniFile.h"
#include "storage/Backups.h"
#include "storage/FileError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace hibi {

namespace {

using S = ProgramSettings;
using A = Appearance;

// The value behind a chain of members, as a plain function: &at<&S::bounds, &WindowBounds::top>.
template<auto First, auto... Rest>
auto &at(ProgramSettings &s)
{
    return ((s.*First) .* ... .* Rest);
}

// The four style keys of a font record in ProgramSettings.
#define HIBI_STYLE_KEYS(writer, section, ...)                                                               \
    SettingsKey{writer, section, "stylebold", "1", &at<__VA_ARGS__, &FontStyle::bold>},                    \
    SettingsKey{writer, section, "styleitalic", "0", &at<__VA_ARGS__, &FontStyle::italic>},                \
    SettingsKey{writer, section, "styleuline", "0", &at<__VA_ARGS__, &FontStyle::underline>},              \
    SettingsKey{writer, section, "stylesout", "0", &at<__VA_ARGS__, &FontStyle::strikeOut>}

constexpr auto kClose = SettingsWriter::Close;
constexpr auto kDialog = SettingsWriter::Dialog;
constexpr auto kBulk = SettingsWriter::Bulk;
constexpr auto kHelp = SettingsWriter::Help;
constexpr auto kChart = SettingsWriter::Chart;

const SettingsKey kKeys[] = {
    {kClose, "pos", "top", "100", &at<&S::bounds, &WindowBounds::top>},
    {kClose, "pos", "left", "200", &at<&S::bounds, &WindowBounds::left>},
    {kClose, "pos", "height", "325", &at<&S::bounds, &WindowBounds::height>},
    {kClose, "pos", "width", "330", &at<&S::bounds, &WindowBounds::width>},
    {kClose, "pos", "nameheight", "12", &at<&S::nameHeight>},
    {kClose, "cale", "file", "カレンダー1", &at<&S::lastCalendar>},

    {kDialog, "youbifont", "size", "12", &at<&S::appearance, &A::YoubiFont, &Tdayfont::Size>},
    {kDialog, "youbifont", "holidaycolor", "clBlack", &at<&S::appearance, &A::YoubiFont, &Tdayfont::HolidayColor>},
    {kDialog, "youbifont", "weekdaycolor", "clBlack", &at<&S::appearance, &A::YoubiFont, &Tdayfont::WeekdayColor>},
    {kDialog, "youbifont", "name", "ＭＳ Ｐゴシック", &at<&S::appearance, &A::YoubiFont, &Tdayfont::Name>},
    HIBI_STYLE_KEYS(kDialog, "youbifont", &S::appearance, &A::YoubiFont, &Tdayfont::Style),
    {kDialog, "dayfont", "size", "12", &at<&S::appearance, &A::DayFont, &Tdayfont::Size>},
    {kDialog, "dayfont", "holidaycolor", "clRed", &at<&S::appearance, &A::DayFont, &Tdayfont::HolidayColor>},
    {kDialog, "dayfont", "weekdaycolor", "clBlack", &at<&S::appearance, &A::DayFont, &Tdayfont::WeekdayColor>},
    {kDialog, "dayfont", "name", "ＭＳ Ｐゴシック", &at<&S::appearance, &A::DayFont, &Tdayfont::Name>},
    HIBI_STYLE_KEYS(kDialog, "dayfont", &S::appearance, &A::DayFont, &Tdayfont::Style),
    {kDialog, "backcolor", "youbiholiday", "clRed", &at<&S::appearance, &A::YoubiHolidayBack>},
    {kDialog, "backcolor", "youbiweekday", "$0000FF80", &at<&S::appearance, &A::YoubiWeekdayBack>},
    {kDialog, "backcolor", "dayholiday", "clWhite", &at<&S::appearance, &A::DayHolidayBack>},
    {kDialog, "backcolor", "dayweekday", "clWhite", &at<&S::appearance, &A::DayWeekdayBack>},
    {kDialog, "backcolor", "yohaku", "clSilver", &at<&S::appearance, &A::YohakuBack>},
    {kDialog, "pos", "color", "$00FFA64D", &at<&S::appearance, &A::WindowColor>},
    {kDialog, "nenfont", "size", "18", &at<&S::appearance, &A::NenFont, &Tnenfont::Size>},
    {kDialog, "nenfont", "color", "clBlack", &at<&S::appearance, &A::NenFont, &Tnenfont::Color>},
    {kDialog, "nenfont", "name", "ＭＳ Ｐゴシック", &at<&S::appearance, &A::NenFont, &Tnenfont::Name>},
    HIBI_STYLE_KEYS(kDialog, "nenfont", &S::appearance, &A::NenFont, &Tnenfont::Style),
    {kDialog, "backcolor", "maru", "$00808040", &at<&S::appearance, &A::MaruColor>},
    {kDialog, "backcolor", "batu", "$00004080", &at<&S::appearance, &A::BatuColor>},
    {kDialog, "backcolor", "sankaku", "$000080FF", &at<&S::appearance, &A::SankakuColor>},
    {kDialog, "backcolor", "linewidth", "3", &at<&S::appearance, &A::MarkLineWidth>},
    {kDialog, "today", "set", "1", &at<&S::appearance, &A::TodayMarkOn>},
    {kDialog, "today", "color", "clBlue", &at<&S::appearance, &A::TodayColor>},
    {kDialog, "today", "width", "5", &at<&S::appearance, &A::TodayLineWidth>},
    // Our own key, after the keys the Windows version writes: which holiday rules.
    {kDialog, "hibi", "holidays", "0", &at<&S::appearance, &A::HolidayLaw>},

    {kBulk, "posb", "top", "100", &at<&S::bulkBounds, &WindowBounds::top>},
    {kBulk, "posb", "left", "200", &at<&S::bulkBounds, &WindowBounds::left>},
    {kBulk, "posb", "height", "300", &at<&S::bulkBounds, &WindowBounds::height>},
    {kBulk, "posb", "width", "400", &at<&S::bulkBounds, &WindowBounds::width>},

    // Our own keys, unknown to the program's Windows version, which keeps them.
    {kHelp, "help", "top", "110", &at<&S::helpBounds, &WindowBounds::top>},
    {kHelp, "help", "left", "550", &at<&S::helpBounds, &WindowBounds::left>},
    {kHelp, "help", "width", "620", &at<&S::helpBounds, &WindowBounds::width>},
    {kHelp, "help", "height", "560", &at<&S::helpBounds, &WindowBounds::height>},
    {kChart, "chart", "top", "120", &at<&S::chartBounds, &WindowBounds::top>},
    {kChart, "chart", "left", "240", &at<&S::chartBounds, &WindowBounds::left>},
    {kChart, "chart", "width", "800", &at<&S::chartBounds, &WindowBounds::width>},
    {kChart, "chart", "height", "500", &at<&S::chartBounds, &WindowBounds::height>},
};

#undef HIBI_STYLE_KEYS

// The calendar order has a key per name, so it is not in the table.
const QString kDat = QStringLiteral("dat");
const QString kNum = QStringLiteral("num");

// A [dat] key that is a name's number: plain decimal digits, as written.
std::optional<qint64> nameNumber(const QString &key)
{
    bool ok = false;
    const qint64 n = key.toLongLong(&ok);
    if (!ok || n < 0 || QString::number(n) != key)
        return std::nullopt;
    return n;
}

// Reads a value of the field's type; false when the text does not convert.
struct ReadValue
{
    const QString &text;
    ProgramSettings &s;
    bool operator()(int &(*f)(ProgramSettings &)) const { return assign(f(s), ParseIniInteger(text)); }
    bool operator()(bool &(*f)(ProgramSettings &)) const
    {
        const auto n = ParseIniInteger(text);
        if (n)
            f(s) = *n != 0;
        return n.has_value();
    }
    bool operator()(Color &(*f)(ProgramSettings &)) const { return assign(f(s), StringToColor(text)); }
    bool operator()(QString &(*f)(ProgramSettings &)) const
    {
        f(s) = text;
        return true;
    }
    template<typename T, typename V>
    static bool assign(T &target, const std::optional<V> &value)
    {
        if (value)
            target = T(*value);
        return value.has_value();
    }
};

void readCalendarOrder(const IniFile &ini, ProgramSettings &s)
{
    // Built from the keys present, so a hand-edited num in the billions costs
    // nothing; time linear in the section.
    const qint64 num = ini.readInteger(kDat, kNum, 1);
    std::vector<std::pair<qint64, QString>> names;
    for (const auto &[key, value] : ini.entries(kDat)) {
        const auto n = nameNumber(key);
        if (n && *n < num && !value.isEmpty())
            names.emplace_back(*n, value);
    }
    // The first of two equal numbers counts, as a lookup by key would find it.
    std::stable_sort(names.begin(), names.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    names.erase(std::unique(names.begin(), names.end(), [](const auto &a, const auto &b) { return a.first == b.first; }),
                names.end());
    s.calendarOrder.clear();
    s.calendarOrder.reserve(qsizetype(names.size()));
    for (auto &entry : names)
        s.calendarOrder << std::move(entry.second);
}

void writeCalendarOrder(IniFile &ini, const QStringList &order, int oldNum)
{
    ini.writeInteger(kDat, kNum, int(order.size()));
    for (qsizetype i = 0; i < order.size(); ++i)
        ini.writeString(kDat, QString::number(i), order[i]);
    // Names left from a longer order: the keys numbered from the new count up to the old num.
    if (oldNum > order.size())
        ini.removeKeys(kDat, [&](const QString &key) {
            const auto n = nameNumber(key);
            return n && *n >= order.size() && *n < oldNum;
        });
}

} // namespace

std::span<const SettingsKey> SettingsKeys()
{
    return kKeys;
}

ProgramSettings ReadSettings(const IniFile &ini)
{
    ProgramSettings s;
    for (const SettingsKey &k : kKeys) {
        const QString section = QLatin1String(k.section);
        const QString key = QLatin1String(k.key);
        const auto stored = ini.value(section, key);
        if (!stored || !std::visit(ReadValue{*stored, s}, k.field))
            std::visit(ReadValue{QString::fromUtf8(k.defaultText), s}, k.field);
    }
    readCalendarOrder(ini, s);
    return s;
}

ProgramSettings DefaultSettings()
{
    return ReadSettings(IniFile());
}

void WriteSettings(IniFile &ini, const ProgramSettings &settings, SettingsWriter writer)
{
    const int oldNum = ini.readInteger(kDat, kNum, 0);   // read before anything is written
    ProgramSettings s = settings;   // the table's accessors reach into a modifiable record
    for (const SettingsKey &k : kKeys) {
        if (k.writer != writer)
            continue;
        const QString section = QLatin1String(k.section);
        const QString key = QLatin1String(k.key);
        std::visit([&](auto field) {
            const auto &value = field(s);
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, bool>)
                ini.writeBool(section, key, value);
            else if constexpr (std::is_same_v<T, int>)
                ini.writeInteger(section, key, value);
            else if constexpr (std::is_same_v<T, Color>)
                ini.writeColor(section, key, value);
            else
                ini.writeString(section, key, value);
        }, k.field);
    }
    if (writer == SettingsWriter::Close)
        writeCalendarOrder(ini, s.calendarOrder, oldNum);
}

namespace {

// A save interrupted by a crash or a kill leaves its temporary file beside the
// settings file: "hibisi.ini." and six letters or digits. The names are matched
// here rather than through a name filter, which would compile a regular
// expression at every start.
void removeLeftoverSaves(const QString &path)
{
    const QFileInfo settings(path);
    const QString prefix = settings.fileName() + QLatin1Char('.');
    auto leftover = [&prefix](const QString &name) {
        if (name.size() != prefix.size() + 6 || !name.startsWith(prefix, Qt::CaseSensitive))
            return false;
        const QStringView tail = QStringView(name).mid(prefix.size());
        return std::all_of(tail.begin(), tail.end(), [](QChar c) { return c.unicode() < 0x80 && c.isLetterOrNumber(); });
    };
    const QDir folder = settings.dir();
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::NoSort))
        if (leftover(name))
            QFile::remove(folder.filePath(name));
}

QString converterMissing(const QString &path)
{
    return QStringLiteral("この環境には Shift_JIS の文字コード変換がないため、設定ファイル %1 を読み書きできません。")
            .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

} // namespace

ProgramSettings SettingsStore::load()
{
    m_problem.reset();
    removeLeftoverSaves(m_path);
    // On a first start there is nothing to decode yet: the converter is first
    // needed by the first save.
    if (QFileInfo::exists(m_path) && !IniFile::converterAvailable()) {
        m_problem = converterMissing(m_path);
        return DefaultSettings();
    }
    try {
        return ReadSettings(IniFile::load(m_path));
    } catch (const FileError &e) {
        m_problem = e.message();
        return DefaultSettings();
    }
}

void SettingsStore::save(const ProgramSettings &settings, SettingsWriter writer)
{
    if (!canWrite())
        return;
    if (!IniFile::converterAvailable()) {
        // Said once; the writes stay off from here on.
        m_problem = converterMissing(m_path);
        throw FileError(*m_problem + QStringLiteral("\r\nこのあと設定は保存されません。"));
    }
    IniFile ini = IniFile::load(m_path);
    WriteSettings(ini, settings, writer);
    SaveWholeFileBackedUp(m_path, ini.toBytes());
}

} // namespace hibi
