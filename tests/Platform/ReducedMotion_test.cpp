#include "Platform/ReducedMotion.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QThread>

#include <atomic>
#include <mutex>

using namespace quorrin;

TEST(ReducedMotion, OnlyAnimationsSwitchedOffReduceMotion)
{
    EXPECT_TRUE(ReducedMotion::fromSetting(QStringLiteral("false\n")));
    EXPECT_FALSE(ReducedMotion::fromSetting(QStringLiteral("true\n")));
    EXPECT_FALSE(ReducedMotion::fromSetting(QStringLiteral("No such schema")));
    EXPECT_FALSE(ReducedMotion::fromSetting(std::nullopt));
}

TEST(ReducedMotion, ReadsTheDesktopOnce)
{
    int reads = 0;
    const ReducedMotion motion([&]() -> std::optional<QString> {
        ++reads;
        return QStringLiteral("false");
    });
    EXPECT_TRUE(motion.isPreferred());
    EXPECT_TRUE(motion.isPreferred());
    EXPECT_EQ(reads, 1);
}

TEST(ReducedMotion, ReadInTheBackgroundMotionIsReducedUntilTheAnswerIsIn)
{
    for (const char* setting : {"true", "false"}) {
        std::mutex gate;
        gate.lock(); // the desktop answers once the gate opens
        std::atomic<int> reads = 0;
        const auto motion = ReducedMotion::readInBackground([&]() -> std::optional<QString> {
            const std::lock_guard open(gate);
            ++reads;
            return QString::fromLatin1(setting);
        });
        EXPECT_TRUE(motion->isPreferred()) << setting;
        gate.unlock();
        const bool reduced = ReducedMotion::fromSetting(QString::fromLatin1(setting));
        QDeadlineTimer limit(30000);
        while ((reads == 0 || motion->isPreferred() != reduced) && !limit.hasExpired())
            QThread::yieldCurrentThread();
        // Answered: the answer holds and the desktop was asked once.
        EXPECT_EQ(motion->isPreferred(), reduced) << setting;
        EXPECT_EQ(reads, 1);
    }
}
