#include "Platform/SessionBusStart.h"

#include <QAccessible>
#include <QDBusConnection>
#include <QList>
#include <QThread>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <future>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace quorrin::sessionbus {

namespace {

const char sessionVariable[] = "DBUS_SESSION_BUS_ADDRESS";
const char systemVariable[] = "DBUS_SYSTEM_BUS_ADDRESS";
const QByteArray systemDefaultAddress = QByteArrayLiteral("unix:path=/var/run/dbus/system_bus_socket");

// One socket of our own, closed with the object.
class Socket {
public:
    Socket()
        : m_fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0))
    {
    }
    ~Socket()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

// The value of `key` in one entry of an address list ("unix:path=/run/bus,guid=..."),
// with its escapes undone; none when the entry has no such key.
std::optional<QByteArray> addressValue(const QByteArray& entry, const QByteArray& key)
{
    const qsizetype colon = entry.indexOf(':');
    for (const QByteArray& pair : entry.mid(colon + 1).split(',')) {
        if (pair.startsWith(key + '='))
            return QByteArray::fromPercentEncoding(pair.mid(key.size() + 1));
    }
    return std::nullopt;
}

// Waits for the first bytes the bus sends, until the deadline.
BusAnswer awaitAnswer(int fd, std::chrono::steady_clock::time_point deadline)
{
    // A client opens with a zero byte and an AUTH line; a bus answers any
    // AUTH, even one naming no mechanism, with the mechanisms it accepts.
    static const char opening[] = {'\0', 'A', 'U', 'T', 'H', '\r', '\n'};
    if (::send(fd, opening, sizeof opening, MSG_NOSIGNAL) != ssize_t(sizeof opening))
        return errno == EAGAIN ? BusAnswer::Silent : BusAnswer::Unreachable;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return BusAnswer::Silent;
        pollfd watched{fd, POLLIN, 0};
        const int ready = ::poll(&watched, 1, int(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0)
            return BusAnswer::Silent;
        char byte = 0;
        return ready > 0 && ::recv(fd, &byte, 1, 0) == 1 ? BusAnswer::Answered : BusAnswer::Unreachable;
    }
}

} // namespace

void connectInBackground()
{
    QThread* connecting = QThread::create([] { QDBusConnection::sessionBus(); });
    QObject::connect(connecting, &QThread::finished, connecting, &QObject::deleteLater);
    connecting->start();
    // Setting the root object only makes the platform's bridge, which needs
    // no root object of its own; the first accessibility question makes it.
    QAccessible::installRootObjectHandler([](QObject*) {});
}

BusAnswer probe(const QByteArray& addresses, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    // A client tries the entries in order and keeps the first that connects.
    for (const QByteArray& entry : addresses.split(';')) {
        if (entry.isEmpty())
            continue;
        if (!entry.startsWith("unix:"))
            return BusAnswer::Unchecked;
        const std::optional<QByteArray> path = addressValue(entry, "path");
        const std::optional<QByteArray> abstract = addressValue(entry, "abstract");
        const QByteArray name = path ? *path : abstract.value_or(QByteArray());
        sockaddr_un socketAddress{};
        socketAddress.sun_family = AF_UNIX;
        // An abstract name starts with a zero byte.
        const size_t offset = abstract && !path ? 1 : 0;
        if (name.isEmpty() || offset + size_t(name.size()) >= sizeof socketAddress.sun_path)
            return BusAnswer::Unchecked; // unix:dir=, unix:runtime= and the like
        std::memcpy(socketAddress.sun_path + offset, name.constData(), size_t(name.size()));
        const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + offset + size_t(name.size()));

        Socket socket;
        if (socket.fd() < 0)
            return BusAnswer::Unchecked;
        if (::connect(socket.fd(), reinterpret_cast<const sockaddr*>(&socketAddress), length) == 0)
            return awaitAnswer(socket.fd(), deadline);
        // A full backlog: the bus takes no connections any more.
        if (errno == EAGAIN)
            return BusAnswer::Silent;
    }
    return BusAnswer::Unreachable;
}

void avoidSilentBuses(std::chrono::milliseconds limit)
{
    const QByteArray session = qgetenv(sessionVariable);
    const QByteArray system = qEnvironmentVariableIsSet(systemVariable) ? qgetenv(systemVariable) : systemDefaultAddress;
    std::future<BusAnswer> systemAnswer = std::async(std::launch::async, [&] { return probe(system, limit); });
    // Without an address the session bus is started on demand, in the background.
    const BusAnswer sessionAnswer = session.isEmpty() ? BusAnswer::Unchecked : probe(session, limit);
    if (sessionAnswer == BusAnswer::Silent) {
        qputenv(sessionVariable, disabledAddress);
        std::fputs("Quorrin: 会话总线没有应答，本次运行不使用它（没有系统通知和文字服务）。\n", stderr);
    }
    if (systemAnswer.get() == BusAnswer::Silent) {
        qputenv(systemVariable, disabledAddress);
        std::fputs("Quorrin: 系统总线没有应答，本次运行不使用它（不会察觉休眠唤醒）。\n", stderr);
    }
}

} // namespace quorrin::sessionbus
