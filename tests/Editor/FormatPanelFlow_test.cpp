#include "Editor/FormatPanelFlow.h"

#include <gtest/gtest.h>

namespace quorrin {
namespace {

TEST(FormatPanelFlow, TheFirstShowSummonsTheOrbAndLaterShowsOnlyMoveIt)
{
    FormatPanelFlow flow;
    const FormatPanelFlow::Show first = flow.show();
    EXPECT_TRUE(first.appears);
    EXPECT_TRUE(first.collapseBarNow);
    EXPECT_FALSE(first.expanded);
    EXPECT_TRUE(flow.enter());
    const FormatPanelFlow::Show again = flow.show();
    EXPECT_FALSE(again.appears);
    EXPECT_TRUE(again.expanded); // an expanded panel jumps to the new caret at its full width
}

TEST(FormatPanelFlow, LeavingCollapsesAfterTheDelayUnlessThePointerComesBack)
{
    EXPECT_EQ(FormatPanelFlow::collapseDelayMs, 300);
    FormatPanelFlow flow;
    EXPECT_FALSE(flow.enter()); // hidden: nothing to expand
    flow.show();
    EXPECT_FALSE(flow.leave()); // collapsed: nothing to collapse
    EXPECT_TRUE(flow.enter());
    EXPECT_FALSE(flow.enter()); // already expanded
    EXPECT_TRUE(flow.leave());
    EXPECT_TRUE(flow.isCollapsePending());
    EXPECT_FALSE(flow.enter()); // back in time: stays expanded, the collapse is off
    EXPECT_FALSE(flow.isCollapsePending());
    EXPECT_FALSE(flow.collapseDue());
    EXPECT_TRUE(flow.isExpanded());

    flow.leave();
    EXPECT_TRUE(flow.collapseDue());
    EXPECT_FALSE(flow.isExpanded());
    EXPECT_FALSE(flow.collapseDue());
}

TEST(FormatPanelFlow, AnOpenMenuKeepsTheBarExpandedUntilItCloses)
{
    FormatPanelFlow flow;
    flow.show();
    flow.enter();
    flow.leave(); // the pointer went on its way to the menu
    flow.holdExpanded();
    EXPECT_FALSE(flow.isCollapsePending());
    EXPECT_FALSE(flow.leave());
    EXPECT_FALSE(flow.collapseDue());
    EXPECT_TRUE(flow.isExpanded());
    EXPECT_TRUE(flow.releaseExpanded()); // the menu closed: the collapse waits its delay
    EXPECT_FALSE(flow.isHeldExpanded());
    EXPECT_FALSE(flow.releaseExpanded()); // once
    EXPECT_TRUE(flow.collapseDue());

    FormatPanelFlow hidden;
    hidden.show();
    hidden.enter();
    hidden.holdExpanded();
    hidden.hide(); // the panel went while its menu was open
    EXPECT_FALSE(hidden.isHeldExpanded());
    EXPECT_FALSE(hidden.releaseExpanded());
}

TEST(FormatPanelFlow, HidingFadesOutAndAShowInBetweenKeepsThePanel)
{
    FormatPanelFlow flow;
    flow.show();
    flow.enter();
    flow.leave();
    const FormatPanelFlow::Hide hide = flow.hide();
    EXPECT_TRUE(hide.fadeOut);
    EXPECT_TRUE(hide.collapseBarNow);
    EXPECT_FALSE(flow.isExpanded());
    EXPECT_FALSE(flow.collapseDue()); // the pending collapse went with the hide
    EXPECT_TRUE(flow.hideFaded());

    flow.show();
    flow.hide();
    EXPECT_TRUE(flow.show().appears); // within the fade: summoned again
    EXPECT_FALSE(flow.hideFaded());   // and the order-out does nothing
    EXPECT_TRUE(flow.isShowing());

    FormatPanelFlow hidden;
    EXPECT_FALSE(hidden.hide().fadeOut);
}

TEST(FormatPanelFlow, ParkingForgetsEverythingPending)
{
    FormatPanelFlow flow;
    flow.show();
    flow.enter();
    flow.leave();
    flow.park();
    EXPECT_FALSE(flow.isShowing());
    EXPECT_FALSE(flow.isExpanded());
    EXPECT_FALSE(flow.collapseDue());
    EXPECT_FALSE(flow.hideFaded());
}

} // namespace
} // namespace quorrin
