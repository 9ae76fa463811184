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
// instance holds a per-user lock named after UniqueName, taken atomically, so any
// number of simultaneous starts leaves one running; a crashed instance's lock is
// taken over. It also listens on a local socket of the same name (a socket file in
// the temporary folder), through which a later instance asks it to bring its last
// active window to the front. The socket is the system's own, so the program needs
// no network library to start.
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
    QString socketPath() const;
    void listen();
    void acceptCallers();
    void bringToFront();

    std::unique_ptr<QLockFile> m_lock;
    int m_listening = -1;   // the socket's file descriptor while this is the first instance
};

} // namespace hibi
