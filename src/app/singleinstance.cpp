#include "app/singleinstance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

namespace {

// What a later start sends: its files; what the first answers once it has
// them.
constexpr char kTaken = '+';
constexpr int kRetryMs = 50;

} // namespace

SingleInstance::SingleInstance(const QString& libraryPath, QObject* parent)
    : QObject(parent), libraryPath_(QFileInfo(libraryPath).absoluteFilePath()) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockPath() const {
    return libraryPath_ + QStringLiteral(".lock");
}

QString SingleInstance::serverName(const QString& libraryPath) {
    // The library itself may not exist yet; its folder does once claimed.
    const QFileInfo file(libraryPath);
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    const QString same = (folder.isEmpty() ? file.absolutePath() : folder) + u'/' + file.fileName();
    const QByteArray hash = QCryptographicHash::hash(same.toUtf8(), QCryptographicHash::Sha1);
    return QStringLiteral("melodara-player-") + QString::fromLatin1(hash.toHex().left(24));
}

SingleInstance::Claim SingleInstance::claim() {
    if (!QDir().mkpath(QFileInfo(libraryPath_).absolutePath()))
        return Claim::Unguarded;
    lock_ = std::make_unique<QLockFile>(lockPath());
    // Only a dead holder makes a lock stale, never its age: a program may
    // run for weeks.
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        const bool held = lock_->error() == QLockFile::LockFailedError;
        lock_.reset();
        return held ? Claim::Running : Claim::Unguarded;
    }
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = serverName(libraryPath_);
    // A socket left by a crashed holder stays behind the lock we now own.
    QLocalServer::removeServer(name);
    if (!server_->listen(name))
        qWarning("Later starts cannot reach this program: %s", qPrintable(server_->errorString()));
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::serve);
    return Claim::First;
}

void SingleInstance::serve() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            QDataStream in(socket);
            in.startTransaction();
            QStringList files;
            in >> files;
            if (!in.commitTransaction())
                return; // the rest is still on its way
            socket->write(&kTaken, 1);
            socket->flush();
            emit requested(files);
        });
    }
}

bool SingleInstance::handOver(const QStringList& files, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    const QString name = serverName(libraryPath_);
    QLocalSocket socket;
    // The holder may be between taking the lock and listening.
    for (;;) {
        socket.connectToServer(name);
        if (socket.waitForConnected(int(deadline.remainingTime())))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(kRetryMs);
    }
    QByteArray request;
    {
        QDataStream out(&request, QIODevice::WriteOnly);
        out << files;
    }
    socket.write(request);
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
        return false;
    while (socket.bytesAvailable() < 1) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    char answer = 0;
    return socket.getChar(&answer) && answer == kTaken;
}
