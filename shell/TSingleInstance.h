#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

class QLocalSocket;

namespace varnolux {

/// The rule that only one program runs per user: the first start holds a lock file
/// and listens on a local socket of the same name; a later start asks it through the
/// socket to come to the front. Both live in the temporary folder.
class TSingleInstance : public QObject {
    Q_OBJECT

public:
    explicit TSingleInstance(const QString& name);

    /// True when no other instance runs: this one now holds the lock and listens.
    bool Start();
    /// Asks the running instance to come to the front; false when it cannot be reached.
    bool AskRunningInstanceToRaise();

Q_SIGNALS:
    /// A later start asked this instance to come to the front.
    void RaiseRequested();

private:
    void ReadRequests();
    void ReadLines(QLocalSocket& socket);

    QString name_;
    QLockFile lock_;
    QLocalServer server_;
};

} // namespace varnolux
