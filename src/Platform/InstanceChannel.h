#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <optional>
#include <sys/types.h>

class QLocalServer;
class QLocalSocket;

namespace quorrin {

// The channel through which a second launch on the same data directory hands
// its request (files to open, or a plain reopen) to the running instance
// instead of touching the data.
//
// The socket lives in a directory only the user can enter (the runtime
// directory), so no other user can take its name first; and both ends check
// that the process at the other end runs as the same user, so a request never
// goes to, or comes from, anybody else.
class InstanceChannel : public QObject {
    Q_OBJECT
public:
    // The longest request a launch hands over, in bytes as sent.
    static constexpr qint64 maximumRequestBytes = 1 << 20;
    inline static const QString requestTooLargeMessage =
        QStringLiteral("要转交给正在运行的 Quorrin 的文件列表过长（超过 1 MB），未转交。");

    explicit InstanceChannel(QObject* parent = nullptr);
    ~InstanceChannel() override;

    // The socket path for one data directory, inside privateRuntimeDirectory();
    // empty when there is no such directory.
    static QString serverName(const QString& dataDirectory);

    // A directory for our sockets that only the current user can enter:
    // $XDG_RUNTIME_DIR when it is set and is such a directory, else a
    // "Quorrin-<uid>" directory of ours in `temporary`, made (mode 0700) when
    // missing. None when neither is private to the user, e.g. because another
    // user made that directory first.
    static std::optional<QString> privateRuntimeDirectory(const std::optional<QString>& xdgRuntimeDirectory,
                                                          const QString& temporary);

    // Starts listening. Only the instance that holds the data directory's lock
    // may call this; a stale socket left by a crashed instance is replaced.
    // On failure `error` says why, in Chinese.
    bool listen(const QString& name, QString* error = nullptr);

    // Whether `arguments` are more than a request may carry.
    static bool isTooLarge(const QStringList& arguments);

    // What became of a request handed to the running instance.
    enum class Delivery {
        // No instance of this user listens under the name, or the request
        // is too large.
        NotTaken,
        // An instance took the connection but not the request in time: it is
        // busy with something else.
        Busy,
        // The instance took the request and opened the files; or could not.
        Opened,
        NotOpened,
    };
    inline static const QString busyMessage =
        QStringLiteral("正在运行的 Quorrin 正忙，没有及时接收这次打开的请求，请稍后再试。");

    // Hands the arguments to the instance listening under that name; an empty
    // list asks it to reopen. Once the instance took the request, it answers
    // when it has handled it, however long that takes.
    static Delivery send(const QString& name, const QStringList& arguments, int timeoutMs = 3000);

    // Tells the sender of a received request whether it was carried out.
    void answer(quint64 request, bool succeeded);

    // The user id of the process at the other end of a connected local
    // socket, if the system says.
    static std::optional<uid_t> peerUser(qintptr socketDescriptor);

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
