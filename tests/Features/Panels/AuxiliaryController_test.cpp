#include "Features/Panels/AuxiliaryController.h"

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

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

TEST(AuxiliaryController, EscapeAndCtrlWCloseTheFocusedPanelLikeItsCloseButton)
{
    for (const QKeyCombination key : {QKeyCombination(Qt::Key_Escape), QKeyCombination(Qt::CTRL | Qt::Key_W)}) {
        AuxiliaryController controller(std::make_unique<AuxiliaryWindow>());
        auto* field = new QLineEdit(controller.window()); // a search field has the focus
        int closes = 0;
        controller.onClose = [&] { ++closes; };
        controller.showWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(controller.window()));
        field->setFocus();
        QTest::keyClick(field, key.key(), key.keyboardModifiers());
        EXPECT_FALSE(controller.window()->isVisible()) << key.toCombined();
        EXPECT_EQ(closes, 1) << key.toCombined();
    }
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
