#include "Platform/InstanceChannel.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include <cerrno>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorrin {

namespace {

QByteArray encodedRequest(const QStringList& arguments)
{
    QByteArray message;
    QDataStream stream(&message, QIODevice::WriteOnly);
    stream << arguments;
    return message;
}

// A directory (not a link to one) of the current user that nobody else may
// enter.
bool isPrivateDirectory(const QString& path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode)
        && info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

QString listenFailureReason(const QLocalServer& server)
{
    switch (server.serverError()) {
    case QAbstractSocket::AddressInUseError:
        return QStringLiteral("名称已被占用");
    case QAbstractSocket::SocketAccessError:
        return QStringLiteral("没有访问权限");
    case QAbstractSocket::HostNotFoundError:
        return QStringLiteral("找不到所在的文件夹");
    case QAbstractSocket::SocketResourceError:
        return QStringLiteral("系统资源不足");
    default:
        // Only Qt's own words are left: they follow as the detail.
        return QStringLiteral("系统错误（%1）").arg(server.errorString());
    }
}

} // namespace

InstanceChannel::InstanceChannel(QObject* parent)
    : QObject(parent)
{
}

InstanceChannel::~InstanceChannel() = default;

std::optional<QString> InstanceChannel::privateRuntimeDirectory(const std::optional<QString>& xdgRuntimeDirectory,
                                                                const QString& temporary)
{
    if (xdgRuntimeDirectory && QDir::isAbsolutePath(*xdgRuntimeDirectory) && isPrivateDirectory(*xdgRuntimeDirectory))
        return QDir::cleanPath(*xdgRuntimeDirectory);
    const QString ours = QDir(temporary).filePath(QStringLiteral("Quorrin-%1").arg(::getuid()));
    const QByteArray encoded = QFile::encodeName(ours);
    // Made here with no access for others, or made earlier by us: a
    // directory somebody else made first is never used.
    if (::mkdir(encoded.constData(), 0700) != 0 && errno != EEXIST)
        return std::nullopt;
    struct stat info {};
    if (::lstat(encoded.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        return std::nullopt;
    if ((info.st_mode & 077) != 0 && ::chmod(encoded.constData(), 0700) != 0)
        return std::nullopt;
    return isPrivateDirectory(ours) ? std::optional<QString>(ours) : std::nullopt;
}

QString InstanceChannel::serverName(const QString& dataDirectory)
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    const std::optional<QString> directory = privateRuntimeDirectory(
        runtime.isEmpty() ? std::nullopt : std::optional<QString>(QFile::decodeName(runtime)), QDir::tempPath());
    if (!directory)
        return {};
    const QByteArray digest =
        QCryptographicHash::hash(dataDirectory.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return QDir(*directory).filePath(QStringLiteral("Quorrin-%1").arg(QString::fromLatin1(digest)));
}

std::optional<uid_t> InstanceChannel::peerUser(qintptr socketDescriptor)
{
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (socketDescriptor < 0
        || ::getsockopt(int(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0
        || length != sizeof credentials)
        return std::nullopt;
    return credentials.uid;
}

bool InstanceChannel::listen(const QString& name, QString* error)
{
    delete m_server;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (name.isEmpty()) {
        if (error)
            *error = QStringLiteral("没有只属于当前用户的运行目录");
        return false;
    }
    QLocalServer::removeServer(name);
    if (!m_server->listen(name)) {
        if (error)
            *error = listenFailureReason(*m_server);
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &InstanceChannel::acceptConnections);
    return true;
}

bool InstanceChannel::isTooLarge(const QStringList& arguments)
{
    return encodedRequest(arguments).size() > maximumRequestBytes;
}

void InstanceChannel::acceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        // Requests come from launches of this user only.
        if (peerUser(socket->socketDescriptor()) != ::getuid()) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->bytesAvailable() > maximumRequestBytes) {
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

InstanceChannel::Delivery InstanceChannel::send(const QString& name, const QStringList& arguments, int timeoutMs)
{
    const QByteArray message = encodedRequest(arguments);
    if (name.isEmpty() || message.size() > maximumRequestBytes)
        return Delivery::NotTaken;
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs))
        return Delivery::NotTaken;
    // Our files go only to an instance of our own.
    if (peerUser(socket.socketDescriptor()) != ::getuid())
        return Delivery::NotTaken;
    // From here on an instance is there: one that does not read or
    // acknowledge in time is busy, not missing.
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs))
        return Delivery::Busy;
    // Wait for the acknowledgement so the caller knows the request arrived.
    while (socket.bytesAvailable() < 2) {
        if (!socket.waitForReadyRead(timeoutMs))
            return socket.state() == QLocalSocket::ConnectedState ? Delivery::Busy : Delivery::NotTaken;
    }
    if (socket.read(2) != "ok")
        return Delivery::NotTaken;
    // Then for the outcome: the instance may first ask the user (a restore
    // is confirmed), so there is no time limit; an instance that goes away
    // without answering counts as a failure.
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(-1))
            return Delivery::NotOpened;
    }
    return socket.read(1) == "1" ? Delivery::Opened : Delivery::NotOpened;
}

} // namespace quorrin
