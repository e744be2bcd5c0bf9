#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <optional>

class QLocalServer;
class QLocalSocket;

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
    // list asks it to reopen. None when no instance took the request in
    // time; otherwise whether the instance opened the files (it answers once
    // it has handled them, however long that takes).
    static std::optional<bool> send(const QString& name, const QStringList& arguments, int timeoutMs = 3000);

    // Tells the sender of a received request whether it was carried out.
    void answer(quint64 request, bool succeeded);

Q_SIGNALS:
    // A request arrived; it is answered with `answer(request, ...)`.
    void received(const QStringList& arguments, quint64 request);

private:
    void acceptConnections();

    QLocalServer* m_server = nullptr;
    QHash<quint64, QPointer<QLocalSocket>> m_waiting;
    quint64 m_nextRequest = 1;
};

} // namespace quorrin
