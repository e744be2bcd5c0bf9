#include "Platform/SessionBusStart.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace quorrin;
using namespace std::chrono_literals;
using sessionbus::BusAnswer;

namespace {

// A socket that takes every connection and never answers: it listens and
// never accepts. With an abstract name when `abstract`.
class SilentSocket {
public:
    SilentSocket(const QByteArray& name, bool abstract)
        : m_fd(::socket(AF_UNIX, SOCK_STREAM, 0))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const size_t offset = abstract ? 1 : 0;
        std::memcpy(address.sun_path + offset, name.constData(), size_t(name.size()));
        const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + offset + size_t(name.size()));
        m_listening = ::bind(m_fd, reinterpret_cast<const sockaddr*>(&address), length) == 0 && ::listen(m_fd, 8) == 0;
    }
    ~SilentSocket() { ::close(m_fd); }
    bool isListening() const { return m_listening; }

private:
    int m_fd;
    bool m_listening = false;
};

TEST(SessionBusStart, ABusThatTakesTheConnectionAndSaysNothingIsSilent)
{
    QTemporaryDir directory;
    const QByteArray path = QFile::encodeName(directory.filePath(QStringLiteral("silent")));
    const QByteArray abstractName = "quorrin-test-silent-" + QByteArray::number(::getpid());
    SilentSocket silent(path, false);
    SilentSocket silentAbstract(abstractName, true);
    ASSERT_TRUE(silent.isListening() && silentAbstract.isListening());
    const QByteArray missing = "unix:path=" + QFile::encodeName(directory.filePath(QStringLiteral("missing")));
    struct Row {
        QByteArray addresses;
        BusAnswer answer;
    };
    const Row rows[] = {
        {"unix:path=" + path, BusAnswer::Silent},
        {"unix:abstract=" + abstractName + ",guid=0123", BusAnswer::Silent},
        {missing, BusAnswer::Unreachable},
        // A client goes on to the next address when one does not connect.
        {missing + ";unix:path=" + path, BusAnswer::Silent},
        {"tcp:host=localhost,port=1", BusAnswer::Unchecked},
        {missing + ";tcp:host=localhost,port=1", BusAnswer::Unchecked},
    };
    for (const Row& row : rows)
        EXPECT_EQ(sessionbus::probe(row.addresses, 100ms), row.answer) << row.addresses.constData();
}

TEST(SessionBusStart, ARunningBusAnswers)
{
    const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    if (address.isEmpty())
        GTEST_SKIP() << "no session bus here";
    EXPECT_EQ(sessionbus::probe(address, 5s), BusAnswer::Answered);
}

TEST(SessionBusStart, ASilentBusIsReplacedForTheProcessAndAnAnsweringOneKept)
{
    const QByteArray session = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    if (session.isEmpty())
        GTEST_SKIP() << "no session bus here";
    QTemporaryDir directory;
    const QByteArray path = QFile::encodeName(directory.filePath(QStringLiteral("silent")));
    SilentSocket silent(path, false);
    ASSERT_TRUE(silent.isListening());
    const QByteArray system = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");

    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + path);
    sessionbus::avoidSilentBuses(100ms);
    EXPECT_EQ(qgetenv("DBUS_SYSTEM_BUS_ADDRESS"), sessionbus::disabledAddress);
    EXPECT_EQ(qgetenv("DBUS_SESSION_BUS_ADDRESS"), session);

    if (system.isNull())
        qunsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    else
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", system);
}

} // namespace
