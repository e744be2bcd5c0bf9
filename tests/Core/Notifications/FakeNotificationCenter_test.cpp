#include "Support/FakeNotificationCenter.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace quorrin {
namespace {

NotificationRequest request(const QString& identifier)
{
    return NotificationRequest{identifier, NotificationContent{identifier, {}, {}, {}, {}, true}, std::nullopt};
}

TEST(FakeNotificationCenterTest, HeldCompletionsRunInCallOrderWhenTheTestChooses)
{
    FakeNotificationCenter center;
    center.autoComplete = false;
    QStringList order;
    center.getSettings([&](NotificationSettings) { order << "settings"; });
    center.add(request("a"), [&](std::optional<QString> error) { order << (error ? "add failed" : "added"); });
    center.getPendingRequests([&](QList<NotificationRequest> pending) { order << QString::number(pending.size()); });

    EXPECT_TRUE(order.isEmpty());
    EXPECT_EQ(center.queuedCompletions(), 3);
    // Lists are read when the completion runs.
    center.pending.append(request("b"));
    EXPECT_TRUE(center.completeNext());
    EXPECT_EQ(order, QStringList{"settings"});
    center.completeAll();
    EXPECT_EQ(order, (QStringList{"settings", "added", "2"}));
    EXPECT_FALSE(center.completeNext());
    EXPECT_EQ(center.calls, (QStringList{"getSettings", "add", "getPendingRequests"}));
}

TEST(FakeNotificationCenterTest, AutomaticCompletionsWaitForTheEventLoop)
{
    FakeNotificationCenter center;
    bool answered = false;
    center.getDeliveredNotifications([&](QList<DeliveredNotification>) { answered = true; });
    EXPECT_FALSE(answered);
    EXPECT_TRUE(QTest::qWaitFor([&] { return answered; }, 10000));

    // A fake that goes away drops what it still owes.
    auto doomed = std::make_unique<FakeNotificationCenter>();
    doomed->getSettings([&](NotificationSettings) { FAIL() << "completion after destruction"; });
    doomed.reset();
    QTest::qWait(20);
}

TEST(FakeNotificationCenterTest, FailingAddLeavesThePendingListAlone)
{
    FakeNotificationCenter center;
    center.autoComplete = false;
    center.add(request("a"), [](std::optional<QString>) {});
    center.addError = QStringLiteral("boom");
    std::optional<QString> reported;
    center.add(request("b"), [&](std::optional<QString> error) { reported = error; });
    center.completeAll();
    EXPECT_EQ(reported, QStringLiteral("boom"));
    ASSERT_EQ(center.pending.size(), 1);
    EXPECT_EQ(center.pending.first().identifier, "a");
    EXPECT_EQ(center.added.size(), 2);

    center.removePendingRequests({"a", "x"});
    EXPECT_TRUE(center.pending.isEmpty());
    EXPECT_EQ(center.removedPending, (QList<QStringList>{{"a", "x"}}));
}

TEST(FakeNotificationCenterTest, AuthorizationRequestDecidesAnUndecidedStatusOnce)
{
    FakeNotificationCenter center;
    center.autoComplete = false;
    center.settings.authorizationStatus = AuthorizationStatus::notDetermined;
    center.grantsAuthorization = false;
    std::optional<bool> granted;
    center.requestAuthorization([&](bool ok, std::optional<QString>) { granted = ok; });
    center.completeAll();
    EXPECT_EQ(granted, false);
    EXPECT_EQ(center.settings.authorizationStatus, AuthorizationStatus::denied);
}

TEST(FakeNotificationCenterTest, ResponsesReachTheHandler)
{
    FakeNotificationCenter center;
    QString seen;
    bool handled = false;
    center.respond(NotificationResponse{{request("a"), Date{}}, "snooze10"}, [&] { handled = true; });
    EXPECT_FALSE(handled); // no handler yet

    center.setResponseHandler([&](NotificationResponse response, std::function<void()> done) {
        seen = response.actionIdentifier;
        done();
    });
    center.respond(NotificationResponse{{request("a"), Date{}}, "snooze10"}, [&] { handled = true; });
    EXPECT_EQ(seen, "snooze10");
    EXPECT_TRUE(handled);
}

} // namespace
} // namespace quorrin
