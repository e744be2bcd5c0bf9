#include "Windows/DesktopWindowPolicy.h"
#include "Windows/NoteBackgroundGeometry.h"
#include "Windows/WindowDragCoordinates.h"

#include <gtest/gtest.h>

using namespace quorrin;
namespace geometry = NoteBackgroundGeometry;

TEST(NoteBackgroundGeometry, FeedbackLineRunsInsideTheOfferedEdge)
{
    const QSizeF bounds(300, 200);
    // View coordinates, y down: "above" is the top edge.
    EXPECT_EQ(geometry::feedbackLine(bounds, DockEdge::Left, 1), QLineF(2, 190, 2, 10));
    EXPECT_EQ(geometry::feedbackLine(bounds, DockEdge::Right, 0.5), QLineF(298, 190, 298, 10));
    EXPECT_EQ(geometry::feedbackLine(bounds, DockEdge::Above, 1), QLineF(10, 2, 290, 2));
    EXPECT_EQ(geometry::feedbackLine(bounds, DockEdge::Below, 1), QLineF(10, 198, 290, 198));
    EXPECT_FALSE(geometry::feedbackLine(bounds, std::nullopt, 1));
    EXPECT_FALSE(geometry::feedbackLine(bounds, DockEdge::Left, 0));
    EXPECT_FALSE(geometry::feedbackLine(bounds, DockEdge::Left, -0.2));
}

TEST(NoteBackgroundGeometry, PrimaryPillWidthIsClamped)
{
    struct Case { double width; double pillWidth; };
    for (const Case c : {Case{100, 84}, Case{300, 102}, Case{500, 134}}) {
        const QRectF pill = geometry::primaryPill(QSizeF(c.width, 200));
        EXPECT_DOUBLE_EQ(pill.width(), c.pillWidth) << c.width;
        EXPECT_DOUBLE_EQ(pill.height(), 5);
        EXPECT_DOUBLE_EQ(pill.top(), 6);
        EXPECT_DOUBLE_EQ(pill.center().x(), c.width / 2);
    }
}

TEST(NoteBackgroundGeometry, DragStripIncludesItsLowerEdge)
{
    EXPECT_TRUE(geometry::inDragStrip(QPointF(10, 0)));
    EXPECT_TRUE(geometry::inDragStrip(QPointF(10, 23)));
    EXPECT_FALSE(geometry::inDragStrip(QPointF(10, 23.5)));
}

TEST(WindowDragCoordinates, ScreenPointFlipsAgainstThePrimaryScreen)
{
    const ScreenCoordinates coordinates(QRectF(0, 0, 1440, 900));
    EXPECT_EQ(WindowDragCoordinates::screenPoint(QPointF(30, 100), coordinates), QPointF(30, 800));
    EXPECT_EQ(WindowDragCoordinates::screenPoint(QPointF(30, 100), std::nullopt), QPointF(30, -100));
}

TEST(DesktopWindowPolicy, Levels)
{
    using namespace DesktopWindowPolicy;
    EXPECT_EQ(noteLevel(true), 3);
    EXPECT_EQ(noteLevel(false), desktopLevel);
    EXPECT_LT(desktopLevel, windowLevel::normal);
    EXPECT_EQ(reminderPanelLevel(desktopLevel), 4);
    EXPECT_EQ(reminderPanelLevel(3), 4);
    EXPECT_EQ(reminderPanelLevel(8), 9);
}
