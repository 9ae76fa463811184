#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <stdexcept>

class QLockFile;

namespace hibi {

enum TDupInstAction { diActivateFirst = 0, diException = 1, diTerminate = 2 };

class EMultiSingleInstance : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class EMultiAppInstance : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Keeps a second copy of the program from running beside the first. The first
// instance holds a lock named after UniqueName, taken atomically, so any number of
// simultaneous starts leaves one running; a crashed instance's lock is taken over.
// It also listens on a local socket of the same name (the system's own socket, so
// no network library is loaded to start), through which a later instance asks it
// to bring its last active window to the front. Both live in the user's private
// runtime folder, never in a folder other users can write to.
class TSingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit TSingleInstance(QObject *owner = nullptr);
    ~TSingleInstance() override;

    TDupInstAction DupInstAction = diActivateFirst;
    QString ErrorMessage;
    QString UniqueName;
    std::function<void(TSingleInstance *sender)> OnDuplicate;

    // The start-up check, once the properties are set.
    void Loaded();
    // Whether this instance holds the lock (a first instance may run without one).
    bool isFirstInstance() const { return m_lock != nullptr; }

    // Set when a duplicate asked to end: it then shows and saves nothing.
    static bool TerminateRequested();
    // Tests keep their instances apart from a running program and from each other.
    static void setScope(const QString &scope);

signals:
    // In the first instance: a later start asked for the front.
    void activationRequested();

private:
    void ActivateFirst();
    QString baseName() const;
    void bringToFront();
    void listen();
    void acceptCallers();

    QString m_lockPath;
    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
    int m_listening = -1;   // the socket's file descriptor while this is the first instance
};

} // namespace hibi
