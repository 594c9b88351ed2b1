#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QLocalServer;
class QLockFile;

// One running program per library. A lock file beside the library names
// the process that uses it; that process listens on a local socket named
// after the library, through which a later start on the same library hands
// over its request (raise the window, add these files) instead of opening
// the library a second time. A library on another path has its own lock
// and socket, so its program runs beside.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(const QString& libraryPath, QObject* parent = nullptr);
    ~SingleInstance() override;

    enum class Claim {
        First,     // the library is ours; later starts reach us
        Running,   // another live process holds it: hand over
        Unguarded, // no lock can be made there (a read-only folder): run as before
    };
    // Takes the lock (a stale lock of a process that has died is taken
    // over) and starts listening for later starts.
    Claim claim();

    // Hands `files` to the process that holds the library and waits until
    // it has taken them. False when it has not within `timeoutMs`.
    bool handOver(const QStringList& files, int timeoutMs = 5000);

    QString lockPath() const;
    // The socket's name for a library: the same file gives the same name,
    // however it is spelled.
    static QString serverName(const QString& libraryPath);

signals:
    // A later start asked to raise the window and to add these files
    // (absolute paths; none for a plain start).
    void requested(const QStringList& files);

private:
    void serve();

    QString libraryPath_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};
