#include "Platform/ReducedMotion.h"

#include <gtest/gtest.h>

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
