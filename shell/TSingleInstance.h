#pragma once

#include <functional>
#include <memory>

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

class QLocalSocket;

namespace varnolux {

/// The rule that only one program runs per user: the first start holds a lock file
/// and listens on a local socket of the same name, both in the user's runtime folder;
/// a later start asks it through the socket to come to the front. Other users, and
/// files they create, never meet them.
class TSingleInstance : public QObject {
    Q_OBJECT

public:
    /// folder holds the lock and the socket; none (empty) leaves the rule unenforced.
    explicit TSingleInstance(const QString& name, const QString& folder = RuntimeFolder());

    /// The user's runtime folder: XDG_RUNTIME_DIR, else Qt's runtime location, each
    /// only when it is a folder of this user that nobody else may enter; empty when
    /// there is none.
    static QString RuntimeFolder();
    /// Whether the folder is a directory (not a link) of this user, closed to others.
    static bool IsPrivateFolder(const QString& folder);

    /// True when no other instance runs: this one now holds the lock and listens (or
    /// there is no folder to keep the rule in).
    bool Start();
    /// Whether the rule is kept: there is a private folder for the lock.
    bool Enforced() const { return lock_ != nullptr; }
    /// The lock file's path; empty when the rule is not kept.
    QString LockFileName() const { return lock_ ? lock_->fileName() : QString(); }
    /// Asks the running instance to come to the front; false when it cannot be reached.
    bool AskRunningInstanceToRaise();

    /// What the running instance made of an image handed over.
    enum class THandOver { Opened, Refused, NoAnswer };
    /// Hands an image (a full path) to the running instance, to open as File -> Open does.
    THandOver AskRunningInstanceToOpen(const QString& imageFile);
    /// Decides whether this instance opens an image handed over by a later start;
    /// without a handler every image is refused.
    void SetOpenHandler(std::function<bool(const QString&)> handler);

Q_SIGNALS:
    /// A later start asked this instance to come to the front.
    void RaiseRequested();

private:
    void ReadRequests();
    void ReadLines(QLocalSocket& socket);
    /// A connection to the running instance; none when it cannot be reached.
    std::unique_ptr<QLocalSocket> ConnectToRunningInstance();

    QString serverName_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
    std::function<bool(const QString&)> openHandler_;
};

} // namespace varnolux
