#include "Platform/TextServiceEndpoint.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QProcess>
#include <QStandardPaths>

using namespace quorrin;

namespace {

// A private session bus for the length of one test.
class PrivateBus {
public:
    PrivateBus()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            return;
        m_process.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                 QStringLiteral("--print-address=1")});
        if (!m_process.waitForStarted(5000) || !m_process.waitForReadyRead(5000))
            return;
        m_address = QString::fromUtf8(m_process.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        QDBusConnection::disconnectFromBus(m_name);
        m_process.kill();
        m_process.waitForFinished(5000);
    }

    QDBusConnection connect(const QString& name)
    {
        m_name = name;
        return QDBusConnection::connectToBus(m_address, name);
    }
    bool isUp() const { return !m_address.isEmpty(); }

private:
    QProcess m_process;
    QString m_address;
    QString m_name;
};

TEST(TextServiceEndpointTest, WithoutABusNothingIsOffered)
{
    TextServiceEndpoint endpoint([](const QString&) { return std::nullopt; });
    EXPECT_FALSE(endpoint.registerOn(QDBusConnection(QStringLiteral("no such connection"))));
    EXPECT_FALSE(endpoint.isRegistered());
}

TEST(TextServiceEndpointTest, CallsReachTheHandlerAndARefusalIsAnError)
{
    PrivateBus bus;
    if (!bus.isUp())
        GTEST_SKIP() << "no dbus-daemon here";
    QDBusConnection connection = bus.connect(QStringLiteral("text-service-test"));
    ASSERT_TRUE(connection.isConnected());

    QStringList received;
    TextServiceEndpoint endpoint([&](const QString& text) -> std::optional<QString> {
        received << text;
        if (text.isEmpty())
            return QStringLiteral("未收到选中文字");
        return std::nullopt;
    });
    ASSERT_TRUE(endpoint.registerOn(connection));

    QDBusInterface service(TextServiceEndpoint::serviceName, TextServiceEndpoint::objectPath,
                           TextServiceEndpoint::interfaceName, connection);
    const QDBusReply<void> accepted = service.call(QStringLiteral("NewFromSelection"), QStringLiteral("选中的文字"));
    EXPECT_TRUE(accepted.isValid()) << accepted.error().message().toStdString();
    const QDBusReply<void> refused = service.call(QStringLiteral("NewFromSelection"), QString());
    EXPECT_FALSE(refused.isValid());
    EXPECT_EQ(refused.error().name(), TextServiceEndpoint::refusedError);
    EXPECT_EQ(refused.error().message(), QStringLiteral("未收到选中文字"));
    EXPECT_EQ(received, (QStringList{QStringLiteral("选中的文字"), QString()}));

    // A second instance cannot take the name.
    TextServiceEndpoint second([](const QString&) { return std::nullopt; });
    EXPECT_FALSE(second.registerOn(connection));
}

TEST(TextServiceEndpointTest, TextOverAMegabyteIsRefusedBeforeAnythingIsMadeOfIt)
{
    PrivateBus bus;
    if (!bus.isUp())
        GTEST_SKIP() << "no dbus-daemon here";
    QDBusConnection connection = bus.connect(QStringLiteral("text-service-limit-test"));
    ASSERT_TRUE(connection.isConnected());
    qsizetype handled = 0;
    QStringList told;
    TextServiceEndpoint endpoint([&](const QString& text) -> std::optional<QString> {
        handled = text.size();
        return std::nullopt;
    });
    endpoint.onTooLong = [&](const QString& message) { told << message; };
    ASSERT_TRUE(endpoint.registerOn(connection));
    QDBusInterface service(TextServiceEndpoint::serviceName, TextServiceEndpoint::objectPath,
                           TextServiceEndpoint::interfaceName, connection);

    constexpr qsizetype limit = TextServiceEndpoint::maximumTextBytes;
    const struct {
        const char* label;
        QString text;
        bool accepted;
    } cases[] = {
        {"exactly the limit", QString(limit, u'a'), true},
        {"one byte more", QString(limit + 1, u'a'), false},
        {"fewer characters, more bytes", QString(limit / 3 + 1, u'字'), false},
        {"the same characters, fewer bytes", QString(limit / 3, u'字'), true},
        {"thirty million", QString(30'000'000, u'a'), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        handled = 0;
        told.clear();
        const QDBusReply<void> reply = service.call(QStringLiteral("NewFromSelection"), c.text);
        EXPECT_EQ(reply.isValid(), c.accepted) << reply.error().message().toStdString();
        EXPECT_EQ(handled, c.accepted ? c.text.size() : 0);
        if (!c.accepted) {
            EXPECT_EQ(reply.error().message(), QStringLiteral("选中的文字过长（超过 1 MB），未建立便笺。"));
            EXPECT_EQ(told, QStringList{TextServiceEndpoint::textTooLongMessage});
        }
    }
}

} // namespace
