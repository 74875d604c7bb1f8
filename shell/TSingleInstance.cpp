#include "shell/TSingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QThread>

namespace varnolux {

namespace {

constexpr const char* RaiseRequest = "raise\n";
constexpr int ConnectTimeoutMs = 1000;
/// The running instance may hold the lock but not yet listen.
constexpr int ConnectAttempts = 5;

} // namespace

TSingleInstance::TSingleInstance(const QString& name)
    : name_(name)
    , lock_(QDir::temp().filePath(name + ".lock"))
{
    // Only a lock of a process that has ended is taken over, never one that is old.
    lock_.setStaleLockTime(0);
    connect(&server_, &QLocalServer::newConnection, this, &TSingleInstance::ReadRequests);
}

bool TSingleInstance::Start()
{
    if (!lock_.tryLock())
        return false;
    // A socket left behind by an instance that ended abnormally.
    QLocalServer::removeServer(name_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(name_);
    return true;
}

bool TSingleInstance::AskRunningInstanceToRaise()
{
    for (int attempt = 0; attempt < ConnectAttempts; ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(name_);
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
