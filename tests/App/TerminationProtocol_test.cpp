#include "App/TerminationProtocol.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <vector>

namespace quorrin {
namespace {

using Reply = TerminationProtocol::Reply;

// Records every step and holds the flush completion and the time-out so a
// test decides when (and in which order) they run.
struct Harness {
    QStringList log;
    bool saveSucceeds = true;
    bool hasCoordinator = true;
    std::function<void()> pendingFlush;
    std::function<void()> pendingTimeout;
    int timeoutDelay = -1;
    std::vector<bool> replies;
    QStringList errors;

    TerminationProtocol::Steps steps(bool startupFailed = false)
    {
        TerminationProtocol::Steps s;
        s.startupFailed = startupFailed;
        s.hasStore = true;
        s.finishMove = [this] { log << QStringLiteral("finishMove"); };
        s.commitPendingInput = [this] { log << QStringLiteral("commit"); };
        s.save = [this] {
            log << QStringLiteral("save");
            return saveSucceeds;
        };
        if (hasCoordinator) {
            s.flushReminders = [this](std::function<void()> done) {
                log << QStringLiteral("flush");
                pendingFlush = std::move(done);
            };
        }
        s.schedule = [this](int delay, std::function<void()> callback) {
            timeoutDelay = delay;
            pendingTimeout = std::move(callback);
        };
        s.replyLater = [this](bool terminate) { replies.push_back(terminate); };
        s.reportError = [this](const QString& message) { errors << message; };
        return s;
    }
};

TEST(TerminationProtocol, RunsStepsInOrderAndWaitsForTheFlush)
{
    Harness h;
    EXPECT_EQ(TerminationProtocol::run(h.steps()), Reply::Later);
    EXPECT_EQ(h.log, (QStringList{"finishMove", "commit", "save", "flush"}));
    EXPECT_EQ(h.timeoutDelay, 8000);
}

TEST(TerminationProtocol, FirstOfFlushAndTimeoutAnswersOnce)
{
    const struct {
        const char* label;
        bool flushFirst;
        bool flushEver;
        std::vector<bool> replies;
        int errors;
    } cases[] = {
        {"flush completes in time", true, true, {true}, 0},
        {"flush never completes", false, false, {false}, 1},
        {"flush completes after the limit", false, true, {false}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Harness h;
        ASSERT_EQ(TerminationProtocol::run(h.steps()), Reply::Later);
        if (c.flushFirst) {
            h.pendingFlush();
            h.pendingTimeout();
        } else {
            h.pendingTimeout();
            if (c.flushEver)
                h.pendingFlush();
        }
        EXPECT_EQ(h.replies, c.replies);
        EXPECT_EQ(h.errors.size(), c.errors);
        if (c.errors) {
            EXPECT_EQ(h.errors.front(), TerminationProtocol::flushTimeoutMessage);
        }
    }
}

TEST(TerminationProtocol, FlushThatCompletesImmediatelyNeedsNoTimeout)
{
    Harness h;
    auto steps = h.steps();
    steps.flushReminders = [](std::function<void()> done) { done(); };
    EXPECT_EQ(TerminationProtocol::run(steps), Reply::Later);
    EXPECT_EQ(h.replies, std::vector<bool>{true});
    EXPECT_FALSE(h.pendingTimeout);
}

TEST(TerminationProtocol, ShortCircuits)
{
    Harness failedSave;
    failedSave.saveSucceeds = false;
    EXPECT_EQ(TerminationProtocol::run(failedSave.steps()), Reply::Cancel);
    EXPECT_FALSE(failedSave.log.contains(QStringLiteral("flush")));

    Harness failedStartup;
    EXPECT_EQ(TerminationProtocol::run(failedStartup.steps(true)), Reply::Now);
    EXPECT_TRUE(failedStartup.log.isEmpty());

    Harness noCoordinator;
    noCoordinator.hasCoordinator = false;
    EXPECT_EQ(TerminationProtocol::run(noCoordinator.steps()), Reply::Now);
    EXPECT_EQ(noCoordinator.log, (QStringList{"finishMove", "commit", "save"}));
}

} // namespace
} // namespace quorrin
