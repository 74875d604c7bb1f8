#include "shell/TSingleInstance.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace varnolux {

namespace {

constexpr const char* RaiseRequest = "raise\n";
constexpr int ConnectTimeoutMs = 1000;
/// The running instance may hold the lock but not yet listen.
constexpr int ConnectAttempts = 5;

} // namespace

TSingleInstance::TSingleInstance(const QString& name, const QString& folder)
{
    connect(&server_, &QLocalServer::newConnection, this, &TSingleInstance::ReadRequests);
    if (folder.isEmpty())
        return;
    const QDir directory(folder);
    serverName_ = directory.filePath(name);
    lock_ = std::make_unique<QLockFile>(directory.filePath(name + ".lock"));
    // Only a lock of a process that has ended is taken over, never one that is old.
    lock_->setStaleLockTime(0);
}

QString TSingleInstance::RuntimeFolder()
{
    const QString fromEnvironment = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (IsPrivateFolder(fromEnvironment))
        return fromEnvironment;
    // Qt makes one in the temporary folder, for this user only, where no session has.
    const QString fromQt = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return IsPrivateFolder(fromQt) ? fromQt : QString();
}

bool TSingleInstance::IsPrivateFolder(const QString& folder)
{
    struct stat status {};
    return !folder.isEmpty() && ::lstat(QFile::encodeName(folder).constData(), &status) == 0 &&
           S_ISDIR(status.st_mode) && status.st_uid == ::geteuid() &&
           (status.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

bool TSingleInstance::Start()
{
    if (!lock_)
        return true;
    if (!lock_->tryLock())
        return false;
    // A socket left behind by an instance that ended abnormally.
    QLocalServer::removeServer(serverName_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(serverName_);
    return true;
}

bool TSingleInstance::AskRunningInstanceToRaise()
{
    if (!lock_)
        return false;
    for (int attempt = 0; attempt < ConnectAttempts; ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(serverName_);
        if (socket.waitForConnected(ConnectTimeoutMs)) {
            socket.write(RaiseRequest);
            const bool written = socket.waitForBytesWritten(ConnectTimeoutMs);
            socket.disconnectFromServer();
            return written;
        }
        QThread::msleep(200);
    }
    return false;
}

void TSingleInstance::ReadRequests()
{
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadLines(*socket); });
        ReadLines(*socket);
    }
}

void TSingleInstance::ReadLines(QLocalSocket& socket)
{
    while (socket.canReadLine())
        if (socket.readLine() == RaiseRequest)
            Q_EMIT RaiseRequested();
}

} // namespace varnolux
