#pragma once

// The calendar file worked out byte by byte from its layout alone: a 2-byte
// header word, then records of 506 bytes (a year word, then 504 mark bytes, each
// month 42 bytes row by row) at 2 + 506·k. Plain and slow on purpose, and
// independent of the code under test, so the fuzz targets hold that code against
// it on any bytes at all.

#include <QByteArray>
#include <QDate>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace model {

constexpr qsizetype kHeader = 2;
constexpr qsizetype kRecord = 506;
constexpr int kCells = 504;
using Cells = std::array<std::uint8_t, kCells>;

inline int wordAt(const QByteArray &file, qsizetype at)
{
    return std::uint8_t(file[at]) | (std::uint8_t(file[at + 1]) << 8);
}

inline qsizetype recordStart(qsizetype k)
{
    return kHeader + kRecord * k;
}

// The mark byte of a day among a record's 504: w is the weekday of the 1st
// (Sunday 0), the day lies w + day - 1 cells into its month's block.
inline int dayCell(int year, int month, int day)
{
    const int w = QDate(year, month, 1).dayOfWeek() % 7;
    return (month - 1) * 42 + w + day - 1;
}

// Readers look at record k while its whole year word lies inside the file.
inline qsizetype readerSlots(const QByteArray &file)
{
    qsizetype k = 0;
    while (recordStart(k) + 2 <= file.size())
        ++k;
    return k;
}

// Writers let slot k take part while the file is at least 506·(k + 1) bytes long;
// the first slot that doesn't is where a new record goes.
inline qsizetype writerSlots(const QByteArray &file)
{
    qsizetype k = 0;
    while (kRecord * (k + 1) <= file.size())
        ++k;
    return k;
}

inline std::optional<qsizetype> find(const QByteArray &file, qsizetype slotCount, int year)
{
    for (qsizetype k = 0; k < slotCount; ++k)
        if (wordAt(file, recordStart(k)) == year)
            return k;
    return std::nullopt;
}

// What a reader leaves in a buffer that held `before`: the bytes of the first
// record of the year that are in the file; the rest as they were.
inline Cells read(const QByteArray &file, int year, Cells before)
{
    const auto k = find(file, readerSlots(file), year);
    if (!k)
        return before;
    for (qsizetype i = 0; i < kCells; ++i) {
        const qsizetype at = recordStart(*k) + 2 + i;
        if (at < file.size())
            before[size_t(i)] = std::uint8_t(file[at]);
    }
    return before;
}

// Bytes written at `at`; a write past the end leaves zeros in the gap, as a seek
// past the end of a file or a buffer does.
inline QByteArray written(QByteArray file, qsizetype at, const QByteArray &data)
{
    while (file.size() < at)
        file.append('\0');
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (at + i < file.size())
            file[at + i] = data[i];
        else
            file.append(data[i]);
    }
    return file;
}

inline QByteArray record(int year, const Cells &cells)
{
    QByteArray r;
    r.append(char(year & 0xFF));
    r.append(char((year >> 8) & 0xFF));
    for (std::uint8_t c : cells)
        r.append(char(c));
    return r;
}

inline QByteArray newFile(int year, const Cells &cells)
{
    return QByteArray("\x64\x00", 2) + record(year, cells);
}

inline bool hasMarks(const Cells &cells)
{
    for (std::uint8_t c : cells)
        if (c != 0)
            return true;
    return false;
}

// The file after saving a year into an existing file: its record rewritten where
// a writer finds it, else appended; a year without marks and without a record
// writes nothing.
inline QByteArray save(const QByteArray &file, int year, const Cells &cells)
{
    const qsizetype slotCount = writerSlots(file);
    const auto k = find(file, slotCount, year);
    if (!k && !hasMarks(cells))
        return file;
    return written(file, recordStart(k.value_or(slotCount)), record(year, cells));
}

// The file after storing one day's mark into an existing file: one byte of a
// record a writer finds, else a record of zeros but for that day.
inline QByteArray writeDay(const QByteArray &file, int year, int month, int day, std::uint8_t mark)
{
    const int cell = dayCell(year, month, day);
    const qsizetype slotCount = writerSlots(file);
    if (const auto k = find(file, slotCount, year))
        return written(file, recordStart(*k) + 2 + cell, QByteArray(1, char(mark)));
    Cells cells{};
    cells[size_t(cell)] = mark;
    return written(file, recordStart(slotCount), record(year, cells));
}

// The file with `count` records of year 0 (a year no reader asks for) put
// between its header and its own records, their marks of every value, or only
// 0 to 3 as a calendar's are. Enough of them move the file's own records past the
// first chunk the code reads at once.
inline QByteArray withFiller(const QByteArray &file, int count, bool marksOnly = false)
{
    if (file.size() < kHeader)
        return file;
    QByteArray filler;
    for (int k = 0; k < count; ++k) {
        Cells cells;
        for (int i = 0; i < kCells; ++i)
            cells[size_t(i)] = std::uint8_t((k + i) % (marksOnly ? 4 : 5));
        filler += record(0, cells);
    }
    return file.left(kHeader) + filler + file.mid(kHeader);
}

struct Record
{
    int year = 0;
    Cells cells{};
};

// The records a tally counts: those that end inside the file.
inline std::vector<Record> wholeRecords(const QByteArray &file)
{
    std::vector<Record> records;
    for (qsizetype k = 0; recordStart(k + 1) <= file.size(); ++k) {
        Record r;
        r.year = wordAt(file, recordStart(k));
        for (int i = 0; i < kCells; ++i)
            r.cells[size_t(i)] = std::uint8_t(file[recordStart(k) + 2 + i]);
        records.push_back(r);
    }
    return records;
}

} // namespace model
