#include "shell/TSingleInstance.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>

namespace varnolux {

namespace {

constexpr const char* RaiseRequest = "raise\n";
/// Followed by the image's file URL, which encodes every byte a line could not hold.
constexpr const char* OpenRequest = "open ";
constexpr const char* OpenedAnswer = "opened\n";
constexpr const char* RefusedAnswer = "refused\n";
constexpr int ConnectTimeoutMs = 1000;
/// The running instance answers from its event loop, which a long step may hold up.
constexpr int AnswerTimeoutMs = 10000;
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

std::unique_ptr<QLocalSocket> TSingleInstance::ConnectToRunningInstance()
{
    if (!lock_)
        return nullptr;
    for (int attempt = 0; attempt < ConnectAttempts; ++attempt) {
        auto socket = std::make_unique<QLocalSocket>();
        socket->connectToServer(serverName_);
        if (socket->waitForConnected(ConnectTimeoutMs))
            return socket;
        QThread::msleep(200);
    }
    return nullptr;
}

bool TSingleInstance::AskRunningInstanceToRaise()
{
    const auto socket = ConnectToRunningInstance();
    if (!socket)
        return false;
    socket->write(RaiseRequest);
    const bool written = socket->waitForBytesWritten(ConnectTimeoutMs);
    socket->disconnectFromServer();
    return written;
}

TSingleInstance::THandOver TSingleInstance::AskRunningInstanceToOpen(const QString& imageFile)
{
    const auto socket = ConnectToRunningInstance();
    if (!socket)
        return THandOver::NoAnswer;
    socket->write(OpenRequest + QUrl::fromLocalFile(imageFile).toEncoded() + '\n');
    if (!socket->waitForBytesWritten(ConnectTimeoutMs))
        return THandOver::NoAnswer;
    while (!socket->canReadLine())
        if (!socket->waitForReadyRead(AnswerTimeoutMs))
            return THandOver::NoAnswer;
    const QByteArray answer = socket->readLine();
    socket->disconnectFromServer();
    if (answer == OpenedAnswer)
        return THandOver::Opened;
    return answer == RefusedAnswer ? THandOver::Refused : THandOver::NoAnswer;
}

void TSingleInstance::SetOpenHandler(std::function<bool(const QString&)> handler)
{
    openHandler_ = std::move(handler);
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
    while (socket.canReadLine()) {
        const QByteArray line = socket.readLine();
        if (line == RaiseRequest) {
            Q_EMIT RaiseRequested();
        } else if (line.startsWith(OpenRequest) && line.endsWith('\n')) {
            const QUrl url = QUrl::fromEncoded(line.mid(qstrlen(OpenRequest)).chopped(1));
            const bool opened =
                url.isLocalFile() && openHandler_ && openHandler_(url.toLocalFile());
            socket.write(opened ? OpenedAnswer : RefusedAnswer);
            socket.flush();
        }
    }
}

} // namespace varnolux
