#include "Platform/SessionBusStart.h"

#include "Support/SilentSocket.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

using namespace quorrin;
using namespace std::chrono_literals;
using sessionbus::BusAnswer;
using quorrin::testing::SilentSocket;

namespace {

TEST(SessionBusStart, ABusThatTakesTheConnectionAndSaysNothingIsSilent)
{
    QTemporaryDir directory;
    const QByteArray path = QFile::encodeName(directory.filePath(QStringLiteral("silent")));
    const QByteArray abstractName = "quorrin-test-silent-" + QByteArray::number(::getpid());
    SilentSocket silent(path, SilentSocket::Naming::Path);
    SilentSocket silentAbstract(abstractName, SilentSocket::Naming::Abstract);
    ASSERT_TRUE(silent.isListening() && silentAbstract.isListening());
    const QByteArray missing = "unix:path=" + QFile::encodeName(directory.filePath(QStringLiteral("missing")));
    struct Row {
        QByteArray addresses;
        BusAnswer answer;
    };
    const Row rows[] = {
        {silent.address(), BusAnswer::Silent},
        {silentAbstract.address() + ",guid=0123", BusAnswer::Silent},
        {missing, BusAnswer::Unreachable},
        // A client goes on to the next address when one does not connect.
        {missing + ';' + silent.address(), BusAnswer::Silent},
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
    SilentSocket silent(path, SilentSocket::Naming::Path);
    ASSERT_TRUE(silent.isListening());
    const QByteArray system = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");

    qputenv("DBUS_SYSTEM_BUS_ADDRESS", silent.address());
    sessionbus::avoidSilentBuses(100ms);
    EXPECT_EQ(qgetenv("DBUS_SYSTEM_BUS_ADDRESS"), sessionbus::disabledAddress);
    EXPECT_EQ(qgetenv("DBUS_SESSION_BUS_ADDRESS"), session);

    if (system.isNull())
        qunsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    else
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", system);
}

} // namespace
