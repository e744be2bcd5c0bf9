#include "Platform/FreedesktopNotificationCenter.h"
#include "Support/FakeBusPeer.h"

#include <QCoreApplication>
#include <QDBusContext>
#include <QDBusMessage>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace quorrin {
namespace {

// A notification server on its own bus connection, as another process would be.
class FakeNotificationServer : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList capabilities{QStringLiteral("actions"), QStringLiteral("body")};
    bool silent = false; // never answers GetCapabilities
    QList<FreedesktopNotification> notified;
    QList<uint> closed;
    uint nextId = 41;

public Q_SLOTS:
    QStringList GetCapabilities()
    {
        if (silent)
            setDelayedReply(true);
        return capabilities;
    }
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int expireTimeout)
    {
        notified.append(
            FreedesktopNotification{appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout});
        return replacesId != 0 ? replacesId : nextId++;
    }
    void CloseNotification(uint id) { closed.append(id); }

Q_SIGNALS:
    void ActionInvoked(uint id, const QString& actionKey);
    void NotificationClosed(uint id, uint reason);
};

Date utc(int year, int month, int day, int hour, int minute, int second = 0)
{
    return Date::fromDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute, second), QTimeZone::utc()));
}

const NotificationCategory todoCategory{
    QStringLiteral("Quorrin.todo.actions"),
    {{QStringLiteral("snooze10"), QStringLiteral("稍后10分钟"), true},
     {QStringLiteral("snooze60"), QStringLiteral("稍后1小时"), true}}};

NotificationRequest reminder(const QString& identifier, Date at, QString body = QStringLiteral("到时间了：「买牛奶」"))
{
    const Calendar::Components c = Calendar(QTimeZone::utc()).components(at);
    return NotificationRequest{identifier,
                               NotificationContent{QStringLiteral("待办提醒"), QStringLiteral("购物"), std::move(body),
                                                   todoCategory.identifier,
                                                   QVariantMap{{QStringLiteral("noteID"), identifier}}, true},
                               CalendarTrigger::fixed(c, QTimeZone::utc())};
}

TEST(FreedesktopNotificationTest, NotifyArgumentsCarryTheCategoryActionsAndEscapeMarkupWhenNeeded)
{
    NotificationRequest request = reminder("q.1", utc(2026, 1, 1, 0, 0), QStringLiteral("a<b> & c"));
    const FreedesktopNotification plain = FreedesktopNotification::make(request, {todoCategory}, 0, {});
    EXPECT_EQ(plain.appName, "Quorrin");
    EXPECT_EQ(plain.summary, "待办提醒");
    EXPECT_EQ(plain.body, "购物\na<b> & c");
    EXPECT_EQ(plain.actions, (QStringList{"default", "打开", "snooze10", "稍后10分钟", "snooze60", "稍后1小时"}));
    EXPECT_EQ(plain.hints.value("sound-name"), "message-new-instant");

    const FreedesktopNotification markup =
        FreedesktopNotification::make(request, {todoCategory}, 7, {.readsBodyMarkup = true});
    EXPECT_EQ(markup.body, "购物\na&lt;b&gt; &amp; c");
    EXPECT_EQ(markup.replacesId, 7u);

    request.content.subtitle.clear();
    request.content.categoryIdentifier = "unknown";
    request.content.sound = false;
    const FreedesktopNotification bare = FreedesktopNotification::make(request, {todoCategory}, 0, {});
    EXPECT_EQ(bare.body, "a<b> & c");
    EXPECT_EQ(bare.actions, (QStringList{"default", "打开"}));
    EXPECT_EQ(bare.hints.value("suppress-sound"), true);
}

TEST(FreedesktopNotificationTest, AReminderNeverExpiresAndStaysResidentWhereTheServerKeepsNotifications)
{
    const NotificationRequest request = reminder("q.1", utc(2026, 1, 1, 0, 0));
    const FreedesktopNotification passing = FreedesktopNotification::make(request, {todoCategory}, 0, {});
    EXPECT_EQ(passing.expireTimeout, 0);
    EXPECT_FALSE(passing.hints.contains("resident"));

    const FreedesktopNotification kept =
        FreedesktopNotification::make(request, {todoCategory}, 0, {.keepsNotifications = true});
    EXPECT_EQ(kept.expireTimeout, 0);
    EXPECT_EQ(kept.hints.value("resident"), true);
}

class FreedesktopNotificationCenterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QDBusConnection::sessionBus().isConnected())
            GTEST_SKIP() << "no session bus";
        notificationServer = std::make_unique<testing::FakeBusPeer>(
            QStringLiteral("org.quorrin.test.Notifications"), QStringLiteral("/org/freedesktop/Notifications"), &server,
            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals);
        ASSERT_TRUE(notificationServer->isServing());
        serviceName = notificationServer->service();
        serverBus = &notificationServer->bus();
        ASSERT_TRUE(serverBus->registerService(serviceName));
    }

    void TearDown() override
    {
        center.reset();
        notificationServer.reset();
    }

    FreedesktopNotificationCenter& makeCenter(const QString& service, int timeoutMs = 10000)
    {
        FreedesktopNotificationCenter::Options options;
        options.service = service;
        options.callTimeoutMs = timeoutMs;
        options.clock = [this] { return now; };
        options.systemTimeZone = [] { return QTimeZone(QByteArrayLiteral("Europe/Berlin")); };
        center = std::make_unique<FreedesktopNotificationCenter>(QDBusConnection::sessionBus(), options);
        center->setCategories({todoCategory});
        center->setResponseHandler([this](NotificationResponse response, std::function<void()> done) {
            responses.append(response);
            done();
        });
        return *center;
    }

    std::optional<QString> addAndWait(const NotificationRequest& request)
    {
        std::optional<std::optional<QString>> result;
        center->add(request, [&](std::optional<QString> error) { result = error; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 15000));
        return result.value_or(QStringLiteral("no answer"));
    }

    // Moves the clock to `moment` and waits for the notifications due by then to reach the server.
    void advanceTo(Date moment, qsizetype expectedNotifications)
    {
        now = moment;
        center->reschedule();
        EXPECT_TRUE(QTest::qWaitFor([&] { return server.notified.size() == expectedNotifications; }, 15000));
    }

    QList<DeliveredNotification> delivered()
    {
        std::optional<QList<DeliveredNotification>> result;
        center->getDeliveredNotifications([&](QList<DeliveredNotification> list) { result = list; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 15000));
        return result.value_or(QList<DeliveredNotification>{});
    }

    QList<NotificationRequest> pending()
    {
        std::optional<QList<NotificationRequest>> result;
        center->getPendingRequests([&](QList<NotificationRequest> list) { result = list; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 15000));
        return result.value_or(QList<NotificationRequest>{});
    }

    FakeNotificationServer server;
    std::unique_ptr<testing::FakeBusPeer> notificationServer;
    QDBusConnection* serverBus = nullptr;
    QString serviceName;
    Date now = utc(2026, 5, 1, 10, 0);
    std::unique_ptr<FreedesktopNotificationCenter> center;
    QList<NotificationResponse> responses;
};

TEST_F(FreedesktopNotificationCenterTest, ShowsDueRequestsAndReplacesItsOwnNotification)
{
    server.capabilities << QStringLiteral("body-markup") << QStringLiteral("persistence");
    makeCenter(serviceName);
    const NotificationRequest request = reminder("Quorrin.todo.A.B", utc(2026, 5, 1, 10, 1), "1 < 2");
    ASSERT_EQ(addAndWait(request), std::nullopt);
    EXPECT_EQ(pending(), QList<NotificationRequest>{request});
    QTest::qWait(50);
    EXPECT_TRUE(server.notified.isEmpty()); // not due yet

    advanceTo(utc(2026, 5, 1, 10, 1), 1);
    const FreedesktopNotification& shown = server.notified.first();
    EXPECT_EQ(shown.appName, "Quorrin");
    EXPECT_EQ(shown.replacesId, 0u);
    EXPECT_EQ(shown.summary, "待办提醒");
    EXPECT_EQ(shown.body, "购物\n1 &lt; 2");
    EXPECT_EQ(shown.actions, (QStringList{"default", "打开", "snooze10", "稍后10分钟", "snooze60", "稍后1小时"}));
    EXPECT_EQ(shown.hints.value("sound-name").toString(), "message-new-instant");
    EXPECT_EQ(shown.hints.value("resident").toBool(), true);
    EXPECT_EQ(shown.expireTimeout, 0);
    EXPECT_TRUE(pending().isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return delivered().size() == 1; }, 15000));
    EXPECT_EQ(delivered().first(), (DeliveredNotification{request, utc(2026, 5, 1, 10, 1)}));

    // The same identifier again replaces the notification on screen.
    ASSERT_EQ(addAndWait(reminder("Quorrin.todo.A.B", utc(2026, 5, 1, 10, 2))), std::nullopt);
    advanceTo(utc(2026, 5, 1, 10, 2), 2);
    EXPECT_EQ(server.notified.last().replacesId, 41u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return delivered().size() == 1 && delivered().first().date == now; }, 15000));

    center->removeDeliveredNotifications({"Quorrin.todo.A.B", "other"});
    EXPECT_TRUE(delivered().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.closed == QList<uint>{41}; }, 15000));
}

TEST_F(FreedesktopNotificationCenterTest, AnswersReachTheHandlerOnlyForOurOwnNotifications)
{
    makeCenter(serviceName);
    const NotificationRequest first = reminder("Quorrin.todo.A.1", utc(2026, 5, 1, 10, 1));
    const NotificationRequest second = reminder("Quorrin.todo.A.2", utc(2026, 5, 1, 10, 1));
    ASSERT_EQ(addAndWait(first), std::nullopt);
    ASSERT_EQ(addAndWait(second), std::nullopt);
    advanceTo(utc(2026, 5, 1, 10, 1), 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return delivered().size() == 2; }, 15000));

    // Other applications' notifications share the server; their ids are not ours.
    Q_EMIT server.ActionInvoked(7, QStringLiteral("default"));
    Q_EMIT server.NotificationClosed(8, 2);
    Q_EMIT server.ActionInvoked(41, QStringLiteral("snooze10"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return responses.size() == 1; }, 15000));
    EXPECT_EQ(responses.first().actionIdentifier, "snooze10");
    EXPECT_EQ(responses.first().notification.request, first);

    // What was answered is closed once handled, whether or not the server
    // would; the server's closing notice then gives no second answer.
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.closed == QList<uint>{41}; }, 15000));
    Q_EMIT server.NotificationClosed(41, 3);
    Q_EMIT server.NotificationClosed(42, 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return responses.size() == 2; }, 15000));
    EXPECT_EQ(responses.last().actionIdentifier, "dismiss");
    EXPECT_EQ(responses.last().notification.request, second);
    QTest::qWait(100);
    EXPECT_EQ(responses.size(), 2);
    EXPECT_TRUE(delivered().isEmpty());
    EXPECT_EQ(server.closed, QList<uint>{41}); // what the user closed is not closed again
}

TEST_F(FreedesktopNotificationCenterTest, WithoutAServerNothingIsDecidedAndRequestsWaitForOne)
{
    // No service of that name on this bus: nobody can decide about notifications.
    const QString lateService = serviceName + QStringLiteral(".late");
    makeCenter(lateService);
    std::optional<NotificationSettings> settings;
    center->getSettings([&](NotificationSettings s) { settings = s; });
    std::optional<bool> granted;
    std::optional<QString> authorizationError;
    center->requestAuthorization([&](bool ok, std::optional<QString> error) {
        granted = ok;
        authorizationError = error;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return settings && granted; }, 10000));
    EXPECT_EQ(settings->authorizationStatus, AuthorizationStatus::notDetermined);
    EXPECT_EQ(settings->problem, "没有正在运行的桌面通知服务");
    EXPECT_FALSE(*granted);
    EXPECT_EQ(authorizationError, "没有正在运行的桌面通知服务");

    // The request is kept; falling due with no server shows nothing.
    const NotificationRequest first = reminder("Quorrin.todo.A.1", utc(2026, 5, 1, 10, 1));
    const NotificationRequest second = reminder("Quorrin.todo.A.2", utc(2026, 5, 1, 10, 2));
    EXPECT_EQ(addAndWait(first), std::nullopt);
    EXPECT_EQ(addAndWait(second), std::nullopt);
    EXPECT_EQ(pending(), (QList<NotificationRequest>{first, second}));
    advanceTo(utc(2026, 5, 1, 10, 1), 0);
    QTest::qWait(100);
    EXPECT_TRUE(delivered().isEmpty());

    // A server that starts later shows what falls due after it came.
    ASSERT_TRUE(serverBus->registerService(lateService));
    advanceTo(utc(2026, 5, 1, 10, 2), 1);
    EXPECT_EQ(server.notified.first().expireTimeout, 0);
    serverBus->unregisterService(lateService);
}

TEST_F(FreedesktopNotificationCenterTest, ASilentServerTimesOut)
{
    server.silent = true;
    // Long enough for the answering server below to make it on a busy machine.
    makeCenter(serviceName, 2000);
    // The wait gives up before the bus's own 25-second timeout, so an answer
    // at all is the center's timeout at work (no stopwatch: a busy machine may
    // run late).
    std::optional<NotificationSettings> settings;
    center->getSettings([&](NotificationSettings s) { settings = s; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return settings.has_value(); }, 15000));
    EXPECT_EQ(settings->authorizationStatus, AuthorizationStatus::notDetermined);

    server.silent = false;
    settings.reset();
    center->getSettings([&](NotificationSettings s) { settings = s; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return settings.has_value(); }, 10000));
    EXPECT_EQ(settings->authorizationStatus, AuthorizationStatus::authorized);
}

} // namespace
} // namespace quorrin

#include "FreedesktopNotificationCenter_test.moc"
