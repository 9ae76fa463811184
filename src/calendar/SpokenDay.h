#pragma once

#include "calendar/MonthLayout.h"

#include <QString>

#include <cstdint>

namespace hibi {

// What a screen reader says for the month grid, in words a listener takes in at
// once. Marks are said as words, not as their signs: a speech synthesizer skips
// signs at low punctuation levels or reads × as a multiplication ("かける").

// The weekday letter of the header row, column 0 (Sunday) .. 6: "日" .. "土".
const QString &WeekdayLetter(int col);
// The weekday in full: "日曜日" .. "土曜日".
QString WeekdayName(int col);
// "まる", "ばつ", "さんかく", or "印なし" for a blank day.
QString MarkWord(std::uint8_t mark);

// A day of a month as laid out, with what the grid shows on it.
struct SpokenDay
{
    int month = 0;
    GridCell cell;
    const DayCell *day = nullptr;   // the layout's cell; day 0 holds no day
    bool today = false;
    bool loaded = true;             // the year's marks came from the file
    std::uint8_t mark = 0;
    QString note;                   // the day's note, said last
};

// "12月11日 金曜日 まる", "2月23日 月曜日 天皇誕生日 今日 印なし"; "日付なし" for a cell
// without a day; a year that did not load says so instead of the mark. A note
// follows as "メモ" and its text.
QString DayCellName(const SpokenDay &day);

} // namespace hibi
