#include "Features/Panels/AuxiliaryController.h"

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QPointer>

namespace quorrin {
namespace {

TEST(AuxiliaryController, ReportsEveryCloseOnceAndKeepsItsWindow)
{
    AuxiliaryController controller(std::make_unique<AuxiliaryWindow>());
    int closes = 0;
    controller.onClose = [&] { ++closes; };
    QPointer<AuxiliaryWindow> window = controller.window();

    controller.showWindow();
    EXPECT_TRUE(window->isVisible());
    window->close();
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(window->isVisible());
    ASSERT_TRUE(window); // not released when closed

    controller.showWindow();
    window->close();
    EXPECT_EQ(closes, 2);
}

TEST(AuxiliaryController, WorksWithoutACloseCallback)
{
    AuxiliaryController controller(std::make_unique<AuxiliaryWindow>());
    controller.showWindow();
    controller.window()->close();
    SUCCEED();
}

} // namespace
} // namespace quorrin
