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

// A move from the keyboard takes the keyboard, not the pointer: the pointer
// crossing windows on its own meanwhile ends nothing.
TEST(WindowManagerGrabs, AKeyboardGrabMakesAUserMoveUntilItsOwnUngrab)
{
    using windowManagerGrabs::Device;
    using windowManagerGrabs::Mode;
    using windowManagerGrabs::next;
    using windowManagerGrabs::WindowGrabs;
    WindowGrabs grabs = next({}, Device::Keyboard, Mode::Grab, 1000ms);
    EXPECT_TRUE(isUserMove(grabs, 9000ms));
    grabs = next(grabs, Device::Pointer, Mode::Normal, 2000ms);
    EXPECT_TRUE(isUserMove(grabs, 9000ms));
    grabs = next(grabs, Device::Keyboard, Mode::Ungrab, 3000ms);
    EXPECT_TRUE(isUserMove(grabs, 3000ms + settleTime));
    EXPECT_FALSE(isUserMove(grabs, 3000ms + settleTime + 1ms));
    EXPECT_FALSE(isUserMove(next({}, Device::Keyboard, Mode::Ungrab, 1000ms), 1000ms)); // nothing was taken
}

} // namespace
} // namespace quorrin
