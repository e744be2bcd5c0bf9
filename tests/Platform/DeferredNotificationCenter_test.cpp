#include "Platform/DeferredNotificationCenter.h"

#include "Support/FakeNotificationCenter.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <mutex>
#include <utility>

namespace quorrin {
namespace {

// The preparation waits behind a gate the test opens; the real centre is a
// fake whose calls the test reads.
struct GatedCenter {
    std::mutex gate;
    bool open = false;
    FakeNotificationCenter* made = nullptr;
    std::unique_ptr<DeferredNotificationCenter> center;

    GatedCenter()
    {
        gate.lock();
        center = std::make_unique<DeferredNotificationCenter>([this] { const std::lock_guard open(gate); },
                                                              [this] {
                                                                  auto fake = std::make_unique<FakeNotificationCenter>();
                                                                  made = fake.get();
                                                                  return std::unique_ptr<NotificationCenter>(std::move(fake));
                                                              });
    }
    ~GatedCenter()
    {
        openGate();
        center.reset();
    }
    void openGate()
    {
        if (!std::exchange(open, true))
            gate.unlock();
    }
    void openGateAndWaitForTheCenter()
    {
        openGate();
        QDeadlineTimer limit(30000);
        while (!center->center() && !limit.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    }
};

TEST(DeferredNotificationCenter, CallsWaitInOrderForTheRealCentreThenGoStraightThrough)
{
    GatedCenter deferred;
    NotificationCenter& center = *deferred.center;
    std::vector<QString> answers;
    center.setResponseHandler([](NotificationResponse, std::function<void()> done) { done(); });
    center.getSettings([&](NotificationSettings) { answers.push_back("settings"); });
    center.removePendingRequests({"a"});
    center.getPendingRequests([&](QList<NotificationRequest>) { answers.push_back("pending"); });
    QCoreApplication::processEvents();
    EXPECT_EQ(deferred.center->center(), nullptr);
    EXPECT_TRUE(answers.empty());

    deferred.openGateAndWaitForTheCenter();
    ASSERT_NE(deferred.made, nullptr);
    EXPECT_EQ(deferred.made->calls, (QStringList{"getSettings", "removePendingRequests", "getPendingRequests"}));
    EXPECT_TRUE(deferred.made->hasResponseHandler());
    QCoreApplication::processEvents();
    EXPECT_EQ(answers, (std::vector<QString>{"settings", "pending"}));

    center.removeDeliveredNotifications({"b"});
    EXPECT_EQ(deferred.made->calls.last(), "removeDeliveredNotifications");
    EXPECT_EQ(deferred.made->removedDelivered, (QList<QStringList>{{"b"}}));
}

TEST(DeferredNotificationCenter, GoingAwayBeforeTheCentreExistsDropsTheWaitingCalls)
{
    bool answered = false;
    {
        GatedCenter deferred;
        deferred.center->getSettings([&](NotificationSettings) { answered = true; });
        deferred.openGate();
        deferred.center.reset(); // waits for the preparation, makes nothing
        EXPECT_EQ(deferred.made, nullptr);
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(answered);
}

} // namespace
} // namespace quorrin
