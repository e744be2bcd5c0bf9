#include "Platform/InstanceChannel.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace quorrin {

namespace {
// Requests are small; anything larger is not ours and is dropped.
constexpr qint64 maximumMessageBytes = 1 << 20;
} // namespace

InstanceChannel::InstanceChannel(QObject* parent)
    : QObject(parent)
{
}

InstanceChannel::~InstanceChannel() = default;

QString InstanceChannel::serverName(const QString& dataDirectory)
{
    const QByteArray digest = QCryptographicHash::hash(dataDirectory.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return QStringLiteral("Quorrin-%1-%2").arg(::getuid()).arg(QString::fromLatin1(digest));
}

bool InstanceChannel::listen(const QString& name, QString* error)
{
    delete m_server;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(name);
    if (!m_server->listen(name)) {
        if (error)
            *error = m_server->errorString();
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &InstanceChannel::acceptConnections);
    return true;
}

void InstanceChannel::acceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->bytesAvailable() > maximumMessageBytes) {
                socket->abort();
                return;
            }
            QDataStream stream(socket);
            stream.startTransaction();
            QStringList arguments;
            stream >> arguments;
            if (!stream.commitTransaction())
                return; // wait for the rest
            socket->write("ok");
            socket->flush();
            const quint64 request = m_nextRequest++;
            m_waiting.insert(request, socket);
            Q_EMIT received(arguments, request);
        });
    }
}

void InstanceChannel::answer(quint64 request, bool succeeded)
{
    const QPointer<QLocalSocket> socket = m_waiting.take(request);
    if (!socket)
        return; // the sender gave up
    socket->write(succeeded ? "1" : "0");
    socket->flush();
}

std::optional<bool> InstanceChannel::send(const QString& name, const QStringList& arguments, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs))
        return std::nullopt;
    QByteArray message;
    {
        QDataStream stream(&message, QIODevice::WriteOnly);
        stream << arguments;
    }
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs))
        return std::nullopt;
    // Wait for the acknowledgement so the caller knows the request arrived.
    while (socket.bytesAvailable() < 2) {
        if (!socket.waitForReadyRead(timeoutMs))
            return std::nullopt;
    }
    if (socket.read(2) != "ok")
        return std::nullopt;
    // Then for the outcome: the instance may first ask the user (a restore
    // is confirmed), so there is no time limit; an instance that goes away
    // without answering counts as a failure.
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(-1))
            return false;
    }
    return socket.read(1) == "1";
}

} // namespace quorrin
