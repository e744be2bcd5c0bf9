#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

namespace quorrin {

// The channel through which a second launch on the same data directory hands
// its request (files to open, or a plain reopen) to the running instance
// instead of touching the data. The socket is accessible to the current user
// only.
class InstanceChannel : public QObject {
    Q_OBJECT
public:
    explicit InstanceChannel(QObject* parent = nullptr);
    ~InstanceChannel() override;

    // The server name for one data directory and the current user.
    static QString serverName(const QString& dataDirectory);

    // Starts listening. Only the instance that holds the data directory's lock
    // may call this; a stale socket left by a crashed instance is replaced.
    bool listen(const QString& name, QString* error = nullptr);

    // Hands the arguments to the instance listening under that name; an empty
    // list asks it to reopen. False when no instance answered in time.
    static bool send(const QString& name, const QStringList& arguments, int timeoutMs = 3000);

Q_SIGNALS:
    void received(const QStringList& arguments);

private:
    void acceptConnections();

    QLocalServer* m_server = nullptr;
};

} // namespace quorrin
