#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace hibi {

// One copy of the program at a time on a folder of calendars: a lock file beside
// them, held while the program runs. A lock whose owner has ended (a crash, a
// power cut) is taken over.
class FolderLock
{
public:
    enum class State
    {
        Held,            // this copy has the folder
        HeldByAnother,   // another copy has it
        Unavailable,     // no lock can be made there (a folder that cannot be written)
    };

    explicit FolderLock(const QString &folder);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    State state() const { return m_state; }
    // The other copy's process, when it holds the lock.
    qint64 ownerPid() const { return m_ownerPid; }

    static QString fileName();

private:
    std::unique_ptr<QLockFile> m_lock;
    State m_state = State::Unavailable;
    qint64 m_ownerPid = 0;
};

} // namespace hibi
