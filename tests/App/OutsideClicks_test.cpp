#include "RegistryFixture.h"

#include "App/OutsideClicks.h"
#include "Platform/WindowLevel.h"
#include "Windows/DesktopWindowPolicy.h"

#include <QMenu>
#include <QMouseEvent>
#include <QWidget>

namespace quorrin {
namespace {

using testing::FakeNoteWindow;

class OutsideClicksTest : public testing::RegistryFixture {
protected:
    void SetUp() override
    {
        RegistryFixture::SetUp();
        clicks = std::make_unique<OutsideClicks>(*registry);
        first = addNote();
        second = addNote();
        // Both shown and floating in front, as after a presentation.
        registry->open(first, std::nullopt, false);
        registry->open(second, std::nullopt, false);
        window(first)->ownWindow = &firstWidget;
        window(second)->ownWindow = &secondWidget;
    }
    bool floating() const
    {
        return window(first)->raised && window(second)->raised
            && window(first)->levelValue == windowLevel::floating;
    }
    void settledBoth() const
    {
        EXPECT_FALSE(window(first)->raised);
        EXPECT_FALSE(window(second)->raised);
        EXPECT_EQ(window(first)->levelValue, DesktopWindowPolicy::noteLevel(false));
    }

    std::unique_ptr<OutsideClicks> clicks;
    QUuid first;
    QUuid second;
    QWidget firstWidget;
    QWidget secondWidget;
    QWidget otherWidget;
};

TEST_F(OutsideClicksTest, AClickInAnotherApplicationSettlesTheNotesAndClosesReminderEditors)
{
    ASSERT_TRUE(floating());
    clicks->handleOutsideClick(nullptr, true, QPoint(900, 900));
    settledBoth();
    EXPECT_EQ(window(first)->reminderDismissals, 1);
    EXPECT_EQ(window(second)->reminderDismissals, 1);
}

TEST_F(OutsideClicksTest, AClickOnAShownPanelOfANoteChangesNothing)
{
    window(second)->panel = QRect(100, 100, 30, 34);
    clicks->handleOutsideClick(nullptr, true, QPoint(110, 120));
    EXPECT_TRUE(floating());
    EXPECT_EQ(window(first)->reminderDismissals, 0);
}

TEST_F(OutsideClicksTest, AClickInANoteBringsAllNotesForwardWithThatOneOnTop)
{
    registry->workspace().settleAll();
    clicks->handleOutsideClick(&firstWidget, false, QPoint(10, 10));
    EXPECT_TRUE(floating());
    EXPECT_EQ(window(first)->reminderDismissals, 0);
}

TEST_F(OutsideClicksTest, AClickInAnotherWindowOfTheApplicationSettles)
{
    clicks->handleOutsideClick(&otherWidget, false, QPoint(10, 10));
    settledBoth();
}

TEST_F(OutsideClicksTest, AClickInOneOfOurAlertsKeepsTheReminderEditorsOpen)
{
    QWidget alert;
    alert.setWindowModality(Qt::ApplicationModal);
    clicks->handleOutsideClick(&alert, false, QPoint(10, 10));
    EXPECT_TRUE(floating());
    EXPECT_EQ(window(first)->reminderDismissals, 0);
}

TEST_F(OutsideClicksTest, WhileTheStatusMenuIsOpenAClickInTheMenuIsIgnored)
{
    registry->trackingOwnMenu = true;
    QMenu menu;
    clicks->handleOutsideClick(&menu, false, QPoint(10, 10));
    clicks->handleOutsideClick(nullptr, false, QPoint(10, 10));
    EXPECT_TRUE(floating());
    // A click in another application still counts.
    clicks->handleOutsideClick(nullptr, true, QPoint(10, 10));
    settledBoth();
}

TEST_F(OutsideClicksTest, ALeftPressInANoteWindowPreparesItsDragFirst)
{
    const QPointF at(20, 5);
    QMouseEvent left(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent right(QEvent::MouseButtonPress, at, at, Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    registry->workspace().settleAll();
    clicks->handleLocalMouseEvent(&secondWidget, left);
    clicks->handleLocalMouseEvent(&secondWidget, right);
    EXPECT_EQ(window(second)->dragsPrepared, 1);
    EXPECT_EQ(window(first)->dragsPrepared, 0);
    EXPECT_TRUE(floating());
}

} // namespace
} // namespace quorrin
