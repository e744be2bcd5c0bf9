#include "Platform/DesktopTrayHost.h"
#include "Platform/StatusNotifierTrayHost.h"

#include "Support/FakeTrayHost.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QSignalSpy>
#include <QTest>

namespace quorrin {
namespace {

// A StatusNotifier watcher as a panel runs it: hosts register on it.
class FakeWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
public:
    bool isHostRegistered() const
    {
        ++questions;
        return hostRegistered;
    }
    void registerHost()
    {
        hostRegistered = true;
        Q_EMIT StatusNotifierHostRegistered();
    }

    bool hostRegistered = false;
    mutable int questions = 0;

Q_SIGNALS:
    void StatusNotifierHostRegistered();
};

class StatusNotifierTrayHostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QDBusConnection::sessionBus().isConnected())
            GTEST_SKIP() << "no session bus";
        // A name of this test's own: tests run in parallel on one bus.
        static int instance = 0;
        const QString suffix = QStringLiteral("p%1n%2").arg(QCoreApplication::applicationPid()).arg(++instance);
        service = QStringLiteral("org.quorrin.test.StatusNotifierWatcher.") + suffix;
        panelBus = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake-panel-") + suffix));
        ASSERT_TRUE(panelBus->isConnected());
        ASSERT_TRUE(panelBus->registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                             QDBusConnection::ExportAllProperties | QDBusConnection::ExportAllSignals));
    }

    void TearDown() override
    {
        host.reset();
        if (panelBus) {
            panelBus->unregisterService(service);
            panelBus->unregisterObject(QStringLiteral("/StatusNotifierWatcher"));
            QDBusConnection::disconnectFromBus(panelBus->name());
        }
    }

    // Waits for the host's next change and answers what it says.
    bool nextAvailability()
    {
        QSignalSpy changed(host.get(), &TrayHost::availabilityChanged);
        EXPECT_TRUE(changed.wait(5000));
        return host->isAvailable();
    }

    QString service;
    FakeWatcher watcher;
    std::unique_ptr<QDBusConnection> panelBus;
    std::unique_ptr<StatusNotifierTrayHost> host;
};

TEST_F(StatusNotifierTrayHostTest, ATrayIsThereWhileAWatcherHasAHost)
{
    host = std::make_unique<StatusNotifierTrayHost>(QDBusConnection::sessionBus(), service);
    EXPECT_FALSE(host->isAvailable());

    watcher.hostRegistered = true;
    ASSERT_TRUE(panelBus->registerService(service));
    EXPECT_TRUE(nextAvailability());

    panelBus->unregisterService(service);
    EXPECT_FALSE(nextAvailability());
}

TEST_F(StatusNotifierTrayHostTest, AWatcherWithoutHostIsNoTrayUntilAHostRegisters)
{
    ASSERT_TRUE(panelBus->registerService(service));
    host = std::make_unique<StatusNotifierTrayHost>(QDBusConnection::sessionBus(), service);
    // Asked once and answered "no host": only the registration can change that.
    QTRY_COMPARE_WITH_TIMEOUT(watcher.questions, 1, 5000);
    EXPECT_FALSE(host->isAvailable());
    watcher.registerHost();
    EXPECT_TRUE(nextAvailability());
}

TEST(AnyTrayHost, IsThereWhileAnyOfItsTraysIs)
{
    auto ownedBus = std::make_unique<testing::FakeTrayHost>();
    auto ownedX11 = std::make_unique<testing::FakeTrayHost>();
    testing::FakeTrayHost* bus = ownedBus.get();
    testing::FakeTrayHost* x11 = ownedX11.get();
    std::vector<std::unique_ptr<TrayHost>> hosts;
    hosts.push_back(std::move(ownedBus));
    hosts.push_back(std::move(ownedX11));
    AnyTrayHost any(std::move(hosts));
    QSignalSpy changed(&any, &TrayHost::availabilityChanged);

    EXPECT_FALSE(any.isAvailable());
    x11->setAvailable(true);
    bus->setAvailable(true);
    x11->setAvailable(false);
    EXPECT_TRUE(any.isAvailable());
    bus->setAvailable(false);
    EXPECT_FALSE(any.isAvailable());
    // One change each way, none for the trays that came and went in between.
    ASSERT_EQ(changed.size(), 2);
    EXPECT_EQ(changed[0][0].toBool(), true);
    EXPECT_EQ(changed[1][0].toBool(), false);
}

} // namespace
} // namespace quorrin

#include "TrayHost_test.moc"
