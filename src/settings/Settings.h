#pragma once

#include "settings/Colors.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <span>
#include <variant>

namespace hibi {

class IniFile;

struct FontStyle
{
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    friend bool operator==(const FontStyle &, const FontStyle &) = default;
};

inline const QString kDefaultFontFace = QStringLiteral("ＭＳ Ｐゴシック");

// Font of the day numbers and of the weekday header.
struct Tdayfont
{
    int Size = 0;
    QString Name;
    FontStyle Style;
    Color HolidayColor = 0;
    Color WeekdayColor = 0;
    friend bool operator==(const Tdayfont &, const Tdayfont &) = default;
};

// Font of the year-month caption.
struct Tnenfont
{
    int Size = 0;
    QString Name;
    FontStyle Style;
    hibi::Color Color = 0;
    friend bool operator==(const Tnenfont &, const Tnenfont &) = default;
};

// How the month view looks; the settings dialog edits a copy of it.
struct Appearance
{
    Color WindowColor = 0;
    Tdayfont YoubiFont;
    Tdayfont DayFont;
    Tnenfont NenFont;
    Color YoubiHolidayBack = 0;
    Color YoubiWeekdayBack = 0;
    Color DayHolidayBack = 0;
    Color DayWeekdayBack = 0;
    Color YohakuBack = 0;
    Color MaruColor = 0;
    Color BatuColor = 0;
    Color SankakuColor = 0;
    int MarkLineWidth = 0;
    bool TodayMarkOn = false;
    Color TodayColor = 0;
    int TodayLineWidth = 0;
    bool HolidayLaw = false;   // the holidays of the public-holiday law instead of the fixed table
    friend bool operator==(const Appearance &, const Appearance &) = default;
};

struct WindowBounds
{
    int top = 0;
    int left = 0;
    int height = 0;
    int width = 0;
    friend bool operator==(const WindowBounds &, const WindowBounds &) = default;
};

// Everything the settings file holds. Its defaults are those of the key table
// below: DefaultSettings().
struct ProgramSettings
{
    WindowBounds bounds;        // the main window
    int nameHeight = 0;         // point size of the calendar list's font
    Appearance appearance;
    QString lastCalendar;       // selected when the program last closed
    // The saved calendar order: the names under [dat] numbered below num, in
    // number order. Missing numbers and empty names are left out, since they
    // match no calendar file.
    QStringList calendarOrder;
    WindowBounds bulkBounds;    // the bulk-input window
    WindowBounds helpBounds;    // the help window ([help], a section of our own)
    WindowBounds chartBounds;   // the year chart ([chart], a section of our own)
    friend bool operator==(const ProgramSettings &, const ProgramSettings &) = default;
};

// Who writes a key, and so when.
enum class SettingsWriter
{
    Close,    // the main window's close: bounds, list font, selection (then the order)
    Dialog,   // the settings dialog's OK: the appearance
    Bulk,     // the bulk-input window's close: its bounds
    Help,     // the help window's close: its bounds
    Chart,    // the year chart's close: its bounds
};

inline constexpr SettingsWriter kSettingsWriters[] = {SettingsWriter::Close, SettingsWriter::Dialog,
                                                     SettingsWriter::Bulk, SettingsWriter::Help,
                                                     SettingsWriter::Chart};

// Where a key's value lives in ProgramSettings; the type says how it is stored:
// int as a decimal integer, bool as 1 or 0, Color by name or as $ and hex digits,
// QString as it is.
using SettingsField = std::variant<int &(*)(ProgramSettings &), bool &(*)(ProgramSettings &),
                                   Color &(*)(ProgramSettings &), QString &(*)(ProgramSettings &)>;

struct SettingsKey
{
    SettingsWriter writer;
    const char *section;
    const char *key;
    const char *defaultText;   // the default as the file would hold it (UTF-8)
    SettingsField field;
};

// Every key but the calendar order, each writer's keys in the order it writes
// them. Reading takes them all; a missing key or a value that does not convert
// takes the default.
std::span<const SettingsKey> SettingsKeys();

ProgramSettings ReadSettings(const IniFile &ini);
ProgramSettings DefaultSettings();

// Writes one writer's keys, keeping everything else in the file. The close also
// writes the calendar order ([dat] num, 0 .. num - 1) and deletes the names a
// longer order left behind.
void WriteSettings(IniFile &ini, const ProgramSettings &settings, SettingsWriter writer);

// The settings file of the program folder: read once at start, then each writer's
// keys written with one load and one save of the whole file. A file that exists
// but cannot be read at start is never written over: the user's settings are
// worth more than the defaults the program then runs with.
class SettingsStore
{
public:
    explicit SettingsStore(const QString &path = QString()) : m_path(path) {}

    const QString &path() const { return m_path; }

    // The settings, or the defaults when the file is missing or cannot be read.
    ProgramSettings load();
    // Why the file could not be read at start, or later why it cannot be
    // written at all; writes are off then.
    const std::optional<QString> &loadProblem() const { return m_problem; }
    bool canWrite() const { return !m_problem; }

    // Throws FileError when the file cannot be read or replaced; does nothing
    // when writes are off.
    void save(const ProgramSettings &settings, SettingsWriter writer);

private:
    QString m_path;
    std::optional<QString> m_problem;
};

} // namespace hibi
