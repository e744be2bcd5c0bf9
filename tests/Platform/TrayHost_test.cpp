#include "Platform/DesktopTrayHost.h"
#include "Platform/StatusNotifierTrayHost.h"

#include "Support/Eventually.h"
#include "Support/FakeBusPeer.h"
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
        if (whileAnswering)
            whileAnswering();
        return hostRegistered;
    }
    void registerHost()
    {
        hostRegistered = true;
        Q_EMIT StatusNotifierHostRegistered();
    }

    bool hostRegistered = false;
    mutable int questions = 0;
    std::function<void()> whileAnswering;

Q_SIGNALS:
    void StatusNotifierHostRegistered();
};

class StatusNotifierTrayHostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QDBusConnection::sessionBus().isConnected())
            GTEST_SKIP() << "no session bus";
        panel = std::make_unique<testing::FakeBusPeer>(
            QStringLiteral("org.quorrin.test.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"), &watcher,
            QDBusConnection::ExportAllProperties | QDBusConnection::ExportAllSignals);
        ASSERT_TRUE(panel->isServing());
        service = panel->service();
        panelBus = &panel->bus();
    }

    void TearDown() override
    {
        host.reset();
        panel.reset();
    }

    // Waits for the host's next change and answers what it says.
    bool nextAvailability()
    {
        QSignalSpy changed(host.get(), &TrayHost::availabilityChanged);
        EXPECT_TRUE(changed.wait(5000));
        return host->isAvailable();
    }

    FakeWatcher watcher;
    std::unique_ptr<testing::FakeBusPeer> panel;
    QString service;
    QDBusConnection* panelBus = nullptr;
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
    ASSERT_TRUE(testing::eventually([&] { return watcher.questions == 1; }));
    EXPECT_FALSE(host->isAvailable());
    watcher.registerHost();
    EXPECT_TRUE(nextAvailability());
}

TEST_F(StatusNotifierTrayHostTest, AnAnswerThatArrivesAfterTheWatcherWentIsNotBelieved)
{
    watcher.hostRegistered = true;
    ASSERT_TRUE(panelBus->registerService(service));
    // The panel quits while it answers: its name is gone before its "yes" arrives.
    watcher.whileAnswering = [this] { panelBus->unregisterService(service); };
    host = std::make_unique<StatusNotifierTrayHost>(QDBusConnection::sessionBus(), service);
    ASSERT_TRUE(testing::eventually([&] { return watcher.questions == 1; }));
    QTest::qWait(300);
    EXPECT_FALSE(host->isAvailable());
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
