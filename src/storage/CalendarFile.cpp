#include "storage/CalendarFile.h"

#include "calendar/MonthGrid.h"
#include "storage/Backups.h"
#include "storage/Durable.h"
#include "storage/FileError.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <array>
#include <chrono>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace hibi {

namespace {

constexpr qint64 kChunkRecords = 128;
// Reading every record: blocks of about 512 KiB, few reads that stay in the cache.
constexpr qint64 kBlockRecords = 1024;
using Record = std::array<std::uint8_t, kRecordSize>;

std::uint16_t readWord(const char *p)
{
    return std::uint16_t(std::uint8_t(p[0]) | (std::uint8_t(p[1]) << 8));
}

void putWord(std::uint8_t *p, int value)
{
    p[0] = std::uint8_t(value & 0xFF);
    p[1] = std::uint8_t((value >> 8) & 0xFF);
}

qint64 recordOffset(qint64 slot)
{
    return kHeaderSize + kRecordSize * slot;
}

Record makeRecord(int year, const std::array<std::uint8_t, kYearCells> &cells)
{
    Record record{};
    putWord(record.data(), year);
    std::copy(cells.begin(), cells.end(), record.begin() + 2);
    return record;
}

qint64 dayCellIndex(int year, int month, int day)
{
    using namespace std::chrono;
    if (!year_month_day{std::chrono::year{year}, std::chrono::month(unsigned(month)), std::chrono::day(unsigned(day))}.ok())
        throw std::invalid_argument("WriteDayMark: not a date");
    const GridCell cell = CellOfDay(year, month, day);
    return FileCellIndex(month, cell.col, cell.row);
}

// A record of zeros but for one day.
Record dayRecord(int year, int month, int day, Mark mark)
{
    std::array<std::uint8_t, kYearCells> cells{};
    cells[size_t(dayCellIndex(year, month, day))] = mark;
    return makeRecord(year, cells);
}

bool writeAt(QIODevice &device, qint64 offset, const std::uint8_t *data, qint64 size)
{
    return device.seek(offset) && device.write(reinterpret_cast<const char *>(data), size) == size;
}

// Looks for `year` among the year words of slotCount 0 .. slotCount - 1, a chunk of
// records at a time.
std::optional<qint64> scanYear(QIODevice &device, qint64 slotCount, int year, bool &readError)
{
    if (slotCount <= 0)
        return std::nullopt;
    // Left uninitialised: every byte looked at was read first.
    const qint64 capacity = kRecordSize * (std::min(kChunkRecords, slotCount) - 1) + 2;
    const std::unique_ptr<char[]> buffer(new char[size_t(capacity)]);
    for (qint64 first = 0; first < slotCount; first += kChunkRecords) {
        const qint64 count = std::min(kChunkRecords, slotCount - first);
        const qint64 wanted = kRecordSize * (count - 1) + 2;
        const qint64 got = device.seek(recordOffset(first)) ? device.read(buffer.get(), wanted) : -1;
        if (got < 0) {
            readError = true;
            return std::nullopt;
        }
        for (qint64 i = 0; i < count && kRecordSize * i + 2 <= got; ++i)
            if (readWord(buffer.get() + kRecordSize * i) == year)
                return first + i;
    }
    return std::nullopt;
}

// Writers let slot k take part in the scan while the file is at least
// 506 × (k + 1) bytes long; the first slot that doesn't is where a record is
// appended, so a trailing piece shorter than a record gets overwritten.
struct Slot
{
    qint64 index = 0;
    bool found = false;
    bool readError = false;
};

Slot findWriteSlot(QIODevice &device, int year)
{
    const qint64 slotCount = device.size() / kRecordSize;
    Slot slot;
    const auto hit = scanYear(device, slotCount, year, slot.readError);
    slot.found = hit.has_value();
    slot.index = hit.value_or(slotCount);
    return slot;
}

// One write an operation is about to make: the first `size` bytes of `bytes` at
// `offset`; a size of 0 writes nothing.
struct PlannedWrite
{
    DeviceResult result = DeviceResult::Ok;
    qint64 offset = 0;
    Record bytes{};
    qint64 size = 0;
};

PlannedWrite planYear(QIODevice &device, int year, const YearMarks &marks)
{
    const Slot slot = findWriteSlot(device, year);
    if (slot.readError)
        return {DeviceResult::ReadFailed};
    if (!slot.found && !marks.hasMarks())
        return {};
    return {DeviceResult::Ok, recordOffset(slot.index), makeRecord(year, marks.toFileOrder()), kRecordSize};
}

PlannedWrite planDayMark(QIODevice &device, int year, int month, int day, Mark mark)
{
    const qint64 cellIndex = dayCellIndex(year, month, day);
    const Slot slot = findWriteSlot(device, year);
    if (slot.readError)
        return {DeviceResult::ReadFailed};
    if (!slot.found)
        return {DeviceResult::Ok, recordOffset(slot.index), dayRecord(year, month, day, mark), kRecordSize};
    PlannedWrite write{DeviceResult::Ok, recordOffset(slot.index) + 2 + cellIndex, {}, 1};
    write.bytes[0] = mark;
    return write;
}

DeviceResult apply(QIODevice &device, const PlannedWrite &write)
{
    if (write.result != DeviceResult::Ok || write.size == 0)
        return write.result;
    return writeAt(device, write.offset, write.bytes.data(), write.size) ? DeviceResult::Ok : DeviceResult::WriteFailed;
}

// Makes a new file and syncs it and its folder; an existing one is never
// truncated (another calendar's file under a name that differs only in case, say,
// on a file system that ignores case).
void createWith(const QString &path, const Record &record)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        throw FileError::cannotCreate(path);
    std::array<std::uint8_t, kHeaderSize + kRecordSize> bytes{};
    putWord(bytes.data(), kHeaderWord);
    std::copy(record.begin(), record.end(), bytes.begin() + kHeaderSize);
    if (!writeAt(file, 0, bytes.data(), qint64(bytes.size())) || !SyncFile(file)) {
        file.close();
        file.remove();
        throw FileError::cannotWrite(path);
    }
    file.close();
    // A name the folder may not keep is no file made: the marks stay in memory
    // for the next save.
    if (!SyncFolderOf(path)) {
        QFile::remove(path);
        throw FileError::cannotCreate(path);
    }
}

// Makes one planned write to an existing file and syncs it before it returns.
// Bytes that would stay as they are are not written at all. Before the file's
// first change of the day its bytes go to the day's backup. A write or sync that
// fails puts the old bytes back (an append is taken back to the old length, as
// after a full disk) and says so.
template<typename Plan>
void writeExisting(const QString &path, Plan plan)
{
    // Only a regular file: a FIFO or a device would block the read forever.
    if (!QFileInfo(path).isFile())
        throw FileError::cannotOpen(path);
    // Unbuffered: a write that fails must not leave bytes behind for close() to
    // write after the file was taken back to its old length.
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        throw FileError::cannotOpen(path);
    const PlannedWrite write = plan(file);
    if (write.result != DeviceResult::Ok)
        throw FileError::cannotOpen(path);
    if (write.size == 0)
        return;
    // What the write covers now: fewer bytes where it reaches past the end.
    const qint64 oldSize = file.size();
    Record old{};
    const qint64 oldCount = file.seek(write.offset) ? file.read(reinterpret_cast<char *>(old.data()), write.size) : -1;
    if (oldCount < 0)
        throw FileError::cannotOpen(path);
    if (oldCount == write.size && std::equal(old.begin(), old.begin() + write.size, write.bytes.begin()))
        return;
    if (!BackedUpToday(path)) {
        const QByteArray current = file.seek(0) ? file.readAll() : QByteArray();
        if (current.size() != oldSize)
            throw FileError::cannotOpen(path);
        BackUpBeforeChange(path, current);
    }
    if (writeAt(file, write.offset, write.bytes.data(), write.size) && SyncFile(file))
        return;
    // Back to the old bytes as far as the disk lets us.
    writeAt(file, write.offset, old.data(), oldCount);
    if (file.size() > oldSize)
        file.resize(oldSize);
    (void)SyncFile(file);
    throw FileError::cannotWrite(path);
}

// Opens a file to read, if there is one, and only a regular file: a FIFO or a
// device would block the read forever. Reading needs no test for the file first:
// a file that cannot be opened is only an error when it is there.
bool openToRead(QFile &file, const QString &path)
{
#ifdef Q_OS_UNIX
    // Without blocking, so that a FIFO opens at once and can be turned down.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return false;   // no file there

        throw FileError::cannotOpen(path);
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered,
                                                                    QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw FileError::cannotOpen(path);
    }
    return true;
#else
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        if (QFileInfo::exists(path))
            throw FileError::cannotOpen(path);
        return false;
    }
    return true;
#endif
}

template<typename Work>
void withFileToRead(const QString &path, Work work)
{
    QFile file(path);
    if (!openToRead(file, path))
        return;
    if (work(file) != DeviceResult::Ok)
        throw FileError::cannotOpen(path);
}

} // namespace

QString CalendarFilePath(const QString &programFolder, const QString &calendarName)
{
    return programFolder + calendarName + kCalendarExtension;
}

DeviceResult ReadYearFrom(QIODevice &device, int year, YearMarks &marks)
{
    // Readers visit record k while it starts before the end of the file; a year
    // word needs both of its bytes.
    const qint64 size = device.size();
    const qint64 slotCount = size >= kHeaderSize + 2 ? (size - kHeaderSize - 2) / kRecordSize + 1 : 0;
    if (slotCount == 0)
        return DeviceResult::Ok;
    // Whole records a chunk at a time, so a record found comes with its marks; a
    // device still at its start reads the header along instead of seeking past it.
    // Left uninitialised: every byte looked at was read first.
    const qint64 capacity = kHeaderSize + kRecordSize * std::min(kChunkRecords, slotCount);
    const std::unique_ptr<char[]> buffer(new char[size_t(capacity)]);
    for (qint64 first = 0; first < slotCount; first += kChunkRecords) {
        const qint64 count = std::min(kChunkRecords, slotCount - first);
        const qint64 offset = recordOffset(first);
        const qint64 wanted = std::min(kRecordSize * count, size - offset);
        qint64 skip = 0;
        if (device.pos() == 0 && first == 0)
            skip = kHeaderSize;
        else if (device.pos() != offset && !device.seek(offset))
            return DeviceResult::ReadFailed;
        if (device.read(buffer.get(), skip + wanted) != skip + wanted)
            return DeviceResult::ReadFailed;
        const char *records = buffer.get() + skip;
        for (qint64 i = 0; i < count && kRecordSize * i + 2 <= wanted; ++i)
            if (readWord(records + kRecordSize * i) == year) {
                const qint64 marksAt = kRecordSize * i + 2;
                marks.fromFileOrder(reinterpret_cast<const std::uint8_t *>(records + marksAt),
                                    int(std::min<qint64>(kYearCells, wanted - marksAt)));
                return DeviceResult::Ok;
            }
    }
    return DeviceResult::Ok;
}

DeviceResult SaveYearTo(QIODevice &device, int year, const YearMarks &marks)
{
    return apply(device, planYear(device, year, marks));
}

DeviceResult WriteDayMarkTo(QIODevice &device, int year, int month, int day, Mark mark)
{
    return apply(device, planDayMark(device, year, month, day, mark));
}

DeviceResult ForEachRecordBlockIn(QIODevice &device, const RecordBlockVisitor &visit)
{
    const qint64 size = device.size();
    const qint64 records = size >= kHeaderSize ? (size - kHeaderSize) / kRecordSize : 0;
    if (records == 0)
        return DeviceResult::Ok;
    // The records go after room for the header: a device still at its start reads
    // the header along with the first block, a system call fewer than seeking.
    qint64 header = 0;
    if (device.pos() == 0)
        header = kHeaderSize;
    else if (!device.seek(kHeaderSize))
        return DeviceResult::ReadFailed;
    // Not zeroed first: every byte is read into before it is looked at.
    const auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(
            size_t(kHeaderSize + kRecordSize * std::min(kBlockRecords, records)));
    std::uint8_t *const block = buffer.get() + kHeaderSize;
    for (qint64 first = 0; first < records; first += kBlockRecords, header = 0) {
        const qint64 count = std::min(kBlockRecords, records - first);
        const qint64 wanted = header + kRecordSize * count;
        if (device.read(reinterpret_cast<char *>(block - header), wanted) != wanted)
            return DeviceResult::ReadFailed;
        visit(block, count);
    }
    return DeviceResult::Ok;
}

DeviceResult ForEachRecordIn(QIODevice &device, const RecordVisitor &visit)
{
    return ForEachRecordBlockIn(device, [&visit](const std::uint8_t *records, qint64 count) {
        for (qint64 i = 0; i < count; ++i) {
            const std::uint8_t *record = records + kRecordSize * i;
            visit(std::uint16_t(record[0] | (record[1] << 8)), record + 2);
        }
    });
}

void LoadYearMarks(const QString &path, int year, YearMarks &marks)
{
    // Read into a copy, so that a failing read leaves the buffer as it was.
    YearMarks loaded = marks;
    withFileToRead(path, [&](QFile &file) { return ReadYearFrom(file, year, loaded); });
    marks = loaded;
}

YearMarks ReadYearMarks(const QString &path, int year)
{
    YearMarks marks;
    LoadYearMarks(path, year, marks);
    return marks;
}

void SaveYearMarks(const QString &path, int year, const YearMarks &marks)
{
    if (QFileInfo::exists(path))
        writeExisting(path, [&](QFile &file) { return planYear(file, year, marks); });
    else if (marks.hasMarks())
        createWith(path, makeRecord(year, marks.toFileOrder()));
}

void CreateCalendarFile(const QString &path, int year, const YearMarks &marks)
{
    createWith(path, makeRecord(year, marks.toFileOrder()));
}

void WriteDayMark(const QString &path, int year, int month, int day, Mark mark)
{
    if (QFileInfo::exists(path))
        writeExisting(path, [&](QFile &file) { return planDayMark(file, year, month, day, mark); });
    else
        createWith(path, dayRecord(year, month, day, mark));
}

void DeleteCalendarFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return;
    if (!info.isFile())
        throw FileError::cannotDelete(path);
    // Where there is no trash the file is gone for good: the day's backup keeps it.
    BackUpBeforeRemoving(path);
    // Qt sets up the home trash with mkdir, not mkpath: without the data folder
    // it would put the file into the working folder instead.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QString inTrash;
    if (QFile::moveToTrash(path, &inTrash)) {
        if (!QFileInfo(inTrash).isRelative()) {
            const QFileInfo moved(inTrash);
            const QString files = moved.absolutePath();
            const QString trash = QFileInfo(files).absolutePath();
            // The trash's note of where the file came from is worth keeping, but it
            // is not the calendar: its sync may fail without failing the delete.
            const QString note = trash + QStringLiteral("/info/") + moved.fileName() + QStringLiteral(".trashinfo");
            if (QFileInfo(note).isFile() && SyncPath(note))
                (void)SyncFolderOf(note);
            // The trash holds the file, in folders that may have been made just now,
            // before the data folder lets it go: a power cut in between leaves it in
            // one of them.
            if (SyncFolder(files) && SyncFolder(trash) && SyncFolderOf(trash) && SyncFolderOf(path))
                return;
            // Not for certain gone: back in place, where the list still shows it.
            if (QFile::rename(inTrash, path)) {
                QFile::remove(note);
                (void)SyncFolderOf(path);
            }
            throw FileError::cannotDelete(path);
        }
        QFile::rename(inTrash, path);   // not a trash after all: take it back
    }
    if (!QFile::remove(path) || !SyncFolderOf(path))
        throw FileError::cannotDelete(path);
}

void RenameCalendarFile(const QString &from, const QString &to)
{
    const QFileInfo info(from);
    if (!info.exists() && !info.isSymLink())
        return;
    if (!QFile::rename(from, to))
        throw FileError::cannotRename(from, to);
    // The new name first: a power cut in between leaves the file under both
    // names at worst, never under none.
    const QString fromFolder = info.absolutePath();
    const QString toFolder = QFileInfo(to).absolutePath();
    if (SyncFolder(toFolder) && (fromFolder == toFolder || SyncFolder(fromFolder)))
        return;
    // Not for certain renamed: back under the name the list still shows.
    if (QFile::rename(to, from))
        (void)SyncFolder(fromFolder);
    throw FileError::cannotRename(from, to);
}

void ForEachYearRecord(const QString &path, const RecordVisitor &visit)
{
    withFileToRead(path, [&](QFile &file) { return ForEachRecordIn(file, visit); });
}

void ForEachRecordBlock(const QString &path, const RecordBlockVisitor &visit)
{
    withFileToRead(path, [&](QFile &file) { return ForEachRecordBlockIn(file, visit); });
}

} // namespace hibi
