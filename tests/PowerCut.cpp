// The power-cut library of PowerCut.h. It does not hold writes back: the file
// system does its work as always, and a sync records what it made durable, the
// file's bytes or the folder's names, read back at that moment. Writes and names
// never synced are what the image leaves out. New files and folders are noted
// when they are made, since the system may give them the number of one removed
// earlier, whose synced bytes are not theirs.
#include "PowerCut.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <compare>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct Key
{
    dev_t dev = 0;
    ino_t ino = 0;
    auto operator<=>(const Key &) const = default;
};

struct Entry
{
    std::string name;
    Key key;
    bool folder = false;
};

struct State
{
    std::mutex mutex;
    std::atomic<bool> on{false};
    Key root;
    std::map<Key, std::string> bytes;                 // a file's bytes at its last sync
    std::map<Key, std::vector<Entry>> names;          // a folder's names at its last sync
    long syncs = 0;
    int failFolder = -1;   // 1: a sync of a folder fails, 0: of a file
    int failIn = 0;        // of those syncs, the one to fail
};

State &state()
{
    static State s;
    return s;
}

template<typename F>
F real(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

using OpenFn = int (*)(const char *, int, ...);
using OpenAtFn = int (*)(int, const char *, int, ...);
using MkdirFn = int (*)(const char *, mode_t);
using MkdirAtFn = int (*)(int, const char *, mode_t);
using SyncFn = int (*)(int);

OpenFn realOpen()
{
    static const OpenFn f = real<OpenFn>("open");
    return f;
}

OpenAtFn realOpenAt()
{
    static const OpenAtFn f = real<OpenAtFn>("openat");
    return f;
}

MkdirFn realMkdir()
{
    static const MkdirFn f = real<MkdirFn>("mkdir");
    return f;
}

Key keyOf(const struct stat &st)
{
    return {st.st_dev, st.st_ino};
}

bool readAll(int fd, std::string &out)
{
    struct stat st;
    if (fstat(fd, &st) != 0)
        return false;
    out.assign(size_t(st.st_size), '\0');
    size_t at = 0;
    while (at < out.size()) {
        const ssize_t n = pread(fd, out.data() + at, out.size() - at, off_t(at));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        at += size_t(n);
    }
    out.resize(at);
    return true;
}

// A file's bytes through its descriptor, or, when that was opened to write only,
// through a descriptor of its own.
std::string bytesOf(int fd)
{
    std::string out;
    if (readAll(fd, out))
        return out;
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    const int own = realOpen()(self.c_str(), O_RDONLY | O_CLOEXEC);
    if (own >= 0) {
        readAll(own, out);
        close(own);
    }
    return out;
}

std::vector<Entry> namesIn(int folderFd)
{
    std::vector<Entry> entries;
    const int fd = realOpenAt()(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *dir = fd >= 0 ? fdopendir(fd) : nullptr;
    if (!dir) {
        if (fd >= 0)
            close(fd);
        return entries;
    }
    while (const dirent *e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st;
        if (fstatat(dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode))
            entries.push_back({name, keyOf(st), S_ISDIR(st.st_mode)});
    }
    closedir(dir);
    return entries;
}

// Called with the lock held: a sync that succeeded makes what `fd` holds durable.
void recordSync(int fd)
{
    State &s = state();
    struct stat st;
    if (fstat(fd, &st) != 0)
        return;
    if (S_ISDIR(st.st_mode))
        s.names[keyOf(st)] = namesIn(fd);
    else if (S_ISREG(st.st_mode))
        s.bytes[keyOf(st)] = bytesOf(fd);
    ++s.syncs;
}

int synced(SyncFn sync, int fd)
{
    State &s = state();
    if (s.on) {
        const std::lock_guard lock(s.mutex);
        struct stat st;
        if (s.failFolder >= 0 && fstat(fd, &st) == 0 && s.failFolder == int(S_ISDIR(st.st_mode)) && --s.failIn == 0) {
            s.failFolder = -1;
            errno = EIO;
            return -1;
        }
    }
    const int rc = sync(fd);
    if (rc == 0 && s.on) {
        const std::lock_guard lock(s.mutex);
        recordSync(fd);
    }
    return rc;
}

// Everything below `folderFd` counts as on the disk.
void takeAsSynced(int folderFd)
{
    State &s = state();
    recordSync(folderFd);
    struct stat st;
    fstat(folderFd, &st);
    for (const Entry &e : s.names[keyOf(st)]) {
        const int fd = realOpenAt()(folderFd, e.name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | (e.folder ? O_DIRECTORY : 0));
        if (fd < 0)
            continue;
        if (e.folder)
            takeAsSynced(fd);
        else
            recordSync(fd);
        close(fd);
    }
}

bool writeImage(const Key &folder, const std::string &path)
{
    State &s = state();
    if (realMkdir()(path.c_str(), 0700) != 0)
        return false;
    const auto listed = s.names.find(folder);
    if (listed == s.names.end())
        return true;   // a folder made but never synced holds nothing
    for (const Entry &e : listed->second) {
        const std::string at = path + "/" + e.name;
        if (e.folder) {
            if (!writeImage(e.key, at))
                return false;
            continue;
        }
        const int fd = realOpen()(at.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0)
            return false;
        const auto kept = s.bytes.find(e.key);   // never synced: an empty file
        const std::string none;
        const std::string &bytes = kept == s.bytes.end() ? none : kept->second;
        const bool ok = write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size());
        close(fd);
        if (!ok)
            return false;
    }
    return true;
}

// Whether `mode` follows the flags of an open.
bool takesMode(int flags)
{
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE;
}

// Runs an open; a file it made has no synced bytes yet.
template<typename Open>
int opened(int dirFd, const char *path, int flags, Open open)
{
    State &s = state();
    if (!s.on || !takesMode(flags))
        return open();
    const bool unnamed = (flags & O_TMPFILE) == O_TMPFILE;
    struct stat before;
    const bool existed = !unnamed && fstatat(dirFd, path, &before, 0) == 0;
    const int fd = open();
    struct stat st;
    if (fd >= 0 && !existed && fstat(fd, &st) == 0) {
        const std::lock_guard lock(s.mutex);
        s.bytes.erase(keyOf(st));
    }
    return fd;
}

// Runs a mkdir; the folder it made has no synced names yet.
template<typename Mkdir>
int madeFolder(int dirFd, const char *path, Mkdir mkdir)
{
    const int rc = mkdir();
    State &s = state();
    struct stat st;
    if (rc == 0 && s.on && fstatat(dirFd, path, &st, AT_SYMLINK_NOFOLLOW) == 0) {
        const std::lock_guard lock(s.mutex);
        s.names.erase(keyOf(st));
    }
    return rc;
}

mode_t modeArgument(int flags, va_list args)
{
    return takesMode(flags) ? mode_t(va_arg(args, int)) : 0;
}

} // namespace

extern "C" {

int fsync(int fd)
{
    static const SyncFn f = real<SyncFn>("fsync");
    return synced(f, fd);
}

int fdatasync(int fd)
{
    static const SyncFn f = real<SyncFn>("fdatasync");
    return synced(f, fd);
}

int open(const char *path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeArgument(flags, args);
    va_end(args);
    return opened(AT_FDCWD, path, flags, [&] { return realOpen()(path, flags, mode); });
}

int open64(const char *path, int flags, ...)
{
    static const OpenFn f = real<OpenFn>("open64");
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeArgument(flags, args);
    va_end(args);
    return opened(AT_FDCWD, path, flags, [&] { return f(path, flags, mode); });
}

int openat(int dirFd, const char *path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeArgument(flags, args);
    va_end(args);
    return opened(dirFd, path, flags, [&] { return realOpenAt()(dirFd, path, flags, mode); });
}

int openat64(int dirFd, const char *path, int flags, ...)
{
    static const OpenAtFn f = real<OpenAtFn>("openat64");
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeArgument(flags, args);
    va_end(args);
    return opened(dirFd, path, flags, [&] { return f(dirFd, path, flags, mode); });
}

int mkdir(const char *path, mode_t mode)
{
    return madeFolder(AT_FDCWD, path, [&] { return realMkdir()(path, mode); });
}

int mkdirat(int dirFd, const char *path, mode_t mode)
{
    static const MkdirAtFn f = real<MkdirAtFn>("mkdirat");
    return madeFolder(dirFd, path, [&] { return f(dirFd, path, mode); });
}

int hibi_powercut_begin(const char *root)
{
    State &s = state();
    const std::lock_guard lock(s.mutex);
    s.bytes.clear();
    s.names.clear();
    s.syncs = 0;
    const int fd = realOpen()(root, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0)
        return -1;
    s.root = keyOf(st);
    takeAsSynced(fd);
    close(fd);
    s.syncs = 0;
    s.on = true;
    return 0;
}

int hibi_powercut_image(const char *image)
{
    State &s = state();
    const std::lock_guard lock(s.mutex);
    return writeImage(s.root, image) ? 0 : -1;
}

void hibi_powercut_end(void)
{
    State &s = state();
    const std::lock_guard lock(s.mutex);
    s.on = false;
    s.failFolder = -1;
    s.bytes.clear();
    s.names.clear();
}

void hibi_powercut_fail_sync(int folder, int nth)
{
    State &s = state();
    const std::lock_guard lock(s.mutex);
    s.failFolder = folder ? 1 : 0;
    s.failIn = nth;
}

long hibi_powercut_syncs(void)
{
    State &s = state();
    const std::lock_guard lock(s.mutex);
    return s.syncs;
}

} // extern "C"
