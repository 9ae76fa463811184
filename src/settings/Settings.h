#pragma once

#include "settings/Colors.h"

#include <QString>
#include <QStringList>

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
inline const QString kFirstCalendarName = QStringLiteral("カレンダー1");

// Font of the day numbers and of the weekday header.
struct Tdayfont
{
    int Size = 12;
    QString Name = kDefaultFontFace;
    FontStyle Style{true};
    Color HolidayColor = clBlack;
    Color WeekdayColor = clBlack;
    friend bool operator==(const Tdayfont &, const Tdayfont &) = default;
};

// Font of the year-month caption.
struct Tnenfont
{
    int Size = 18;
    QString Name = kDefaultFontFace;
    FontStyle Style{true};
    hibi::Color Color = clBlack;
    friend bool operator==(const Tnenfont &, const Tnenfont &) = default;
};

// How the month view looks; the settings dialog edits a copy of it.
struct Appearance
{
    Color WindowColor = 0xFFA64D;
    Tdayfont YoubiFont{12, kDefaultFontFace, {true}, clBlack, clBlack};
    Tdayfont DayFont{12, kDefaultFontFace, {true}, clRed, clBlack};
    Tnenfont NenFont{18, kDefaultFontFace, {true}, clBlack};
    Color YoubiHolidayBack = clRed;
    Color YoubiWeekdayBack = 0x00FF80;
    Color DayHolidayBack = clWhite;
    Color DayWeekdayBack = clWhite;
    Color YohakuBack = clSilver;
    Color MaruColor = 0x808040;
    Color BatuColor = 0x004080;
    Color SankakuColor = 0x0080FF;
    int MarkLineWidth = 3;
    bool TodayMarkOn = true;
    Color TodayColor = clBlue;
    int TodayLineWidth = 5;
    friend bool operator==(const Appearance &, const Appearance &) = default;
};

struct WindowBounds
{
    int top = 100;
    int left = 200;
    int height = 325;
    int width = 330;
    friend bool operator==(const WindowBounds &, const WindowBounds &) = default;
};

// Everything the main window reads at start.
struct StartupSettings
{
    WindowBounds bounds;
    int nameHeight = 12;
    Appearance appearance;
    QString lastCalendar = kFirstCalendarName;
    QStringList savedOrder;   // [dat] 0 .. num - 1, a missing name as empty text
};

StartupSettings ReadStartupSettings(const IniFile &ini);

// The close-time write: bounds, list font size, the selected calendar and the
// calendar order, with the names a longer order left behind deleted.
void WriteCloseSettings(IniFile &ini, const WindowBounds &bounds, int nameHeight, const QString &currentCalendar,
                        const QStringList &order);

// The settings dialog's keys, in the order it writes them.
void WriteAppearanceSettings(IniFile &ini, const Appearance &appearance);

// Bounds of the bulk-input window, read and written key by key.
WindowBounds ReadBulkBounds(const QString &iniPath);
void WriteBulkBounds(const QString &iniPath, const WindowBounds &bounds);

} // namespace hibi
