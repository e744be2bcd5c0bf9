#include "Platform/WindowManagerGrabs.h"

#include <gtest/gtest.h>

namespace quorrin {
namespace {

using namespace std::chrono_literals;
using windowManagerGrabs::GrabState;
using windowManagerGrabs::isUserMove;
using windowManagerGrabs::settleTime;

TEST(WindowManagerGrabs, AMoveIsTheUsersDuringTheGrabAndRightAfterIt)
{
    EXPECT_FALSE(isUserMove(GrabState{}, 1000ms));
    EXPECT_TRUE(isUserMove(GrabState{true, std::nullopt}, 1000ms));
    const GrabState ended{false, 1000ms};
    EXPECT_TRUE(isUserMove(ended, 1000ms));
    EXPECT_TRUE(isUserMove(ended, 1000ms + settleTime));
    EXPECT_FALSE(isUserMove(ended, 1000ms + settleTime + 1ms));
    EXPECT_FALSE(isUserMove(ended, 999ms)); // a clock that went back proves nothing
}

} // namespace
} // namespace quorrin
