#pragma once

#include <QByteArray>
#include <QFile>

#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace quorrin::testing {

// A local socket that takes every connection and never says a word, as a
// hung bus does: it listens and never accepts, so the system completes the
// connections. Named by a path, or in the abstract namespace.
class SilentSocket {
public:
    enum class Naming { Path, Abstract };

    SilentSocket(const QByteArray& name, Naming naming)
        : m_name(name)
        , m_naming(naming)
        , m_fd(::socket(AF_UNIX, SOCK_STREAM, 0))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const size_t offset = naming == Naming::Abstract ? 1 : 0;
        if (m_fd < 0 || offset + size_t(name.size()) >= sizeof address.sun_path)
            return;
        std::memcpy(address.sun_path + offset, name.constData(), size_t(name.size()));
        const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + offset + size_t(name.size()));
        m_listening = ::bind(m_fd, reinterpret_cast<const sockaddr*>(&address), length) == 0 && ::listen(m_fd, 64) == 0;
    }
    ~SilentSocket()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (m_naming == Naming::Path)
            QFile::remove(QFile::decodeName(m_name));
    }
    SilentSocket(const SilentSocket&) = delete;
    SilentSocket& operator=(const SilentSocket&) = delete;

    bool isListening() const { return m_listening; }
    // Its D-Bus address.
    QByteArray address() const
    {
        return (m_naming == Naming::Path ? QByteArrayLiteral("unix:path=") : QByteArrayLiteral("unix:abstract=")) + m_name;
    }

private:
    QByteArray m_name;
    Naming m_naming;
    int m_fd;
    bool m_listening = false;
};

} // namespace quorrin::testing
