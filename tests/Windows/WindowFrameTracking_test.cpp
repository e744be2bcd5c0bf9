#include "Windows/WindowFrameTracking.h"

#include <gtest/gtest.h>

using namespace quorrin;
using namespace quorrin::WindowFrameTracking;

TEST(WindowFrameTracking, ADragMovesTheStartFrameByThePointersWay)
{
    EXPECT_EQ(movedFrame(QRectF(100, 200, 310, 330), QPointF(50, 60), QPointF(80, 20)),
              QRectF(130, 160, 310, 330));
    EXPECT_EQ(movedFrame(QRectF(100, 200, 310, 330), QPointF(50, 60), QPointF(50, 60)),
              QRectF(100, 200, 310, 330));
}

TEST(WindowFrameTracking, PressesWithinTheMarginPickTheEdgesTheyResize)
{
    const QSizeF size(300, 200);
    struct Case {
        QPointF position;
        bool vertical;
        Qt::Edges expected;
    };
    const Case cases[] = {
        {{150, 100}, true, {}},
        {{0, 100}, true, Qt::LeftEdge},
        {{3.9, 100}, true, Qt::LeftEdge},
        {{4, 100}, true, {}},
        {{296, 100}, true, {}},
        {{297, 100}, true, Qt::RightEdge},
        {{150, 1}, true, Qt::TopEdge},
        {{150, 198}, true, Qt::BottomEdge},
        {{1, 1}, true, Qt::LeftEdge | Qt::TopEdge},
        {{299, 199}, true, Qt::RightEdge | Qt::BottomEdge},
        // A collapsed window resizes sideways only.
        {{150, 1}, false, {}},
        {{299, 199}, false, Qt::RightEdge},
        // Outside the window nothing resizes.
        {{-1, 100}, true, {}},
        {{150, 201}, true, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(resizeEdgesAt(c.position, size, c.vertical), c.expected)
            << c.position.x() << "," << c.position.y();
}

TEST(WindowFrameTracking, ResizingMovesOnlyTheDraggedEdgesAndStopsAtTheMinimum)
{
    const QRectF start(100, 200, 300, 200); // model: bottom 200, top 400
    const QSizeF minimum(250, 160);
    struct Case {
        Qt::Edges edges;
        QPointF delta;
        QRectF expected;
    };
    const Case cases[] = {
        {Qt::RightEdge, {40, 99}, QRectF(100, 200, 340, 200)},
        {Qt::LeftEdge, {-20, 0}, QRectF(80, 200, 320, 200)},
        {Qt::LeftEdge, {200, 0}, QRectF(150, 200, 250, 200)},   // right edge stays
        {Qt::RightEdge, {-200, 0}, QRectF(100, 200, 250, 200)},
        {Qt::TopEdge, {0, 30}, QRectF(100, 200, 300, 230)},      // top is maxY
        {Qt::TopEdge, {0, -100}, QRectF(100, 200, 300, 160)},
        {Qt::BottomEdge, {0, -30}, QRectF(100, 170, 300, 230)},
        {Qt::BottomEdge, {0, 100}, QRectF(100, 240, 300, 160)}, // top stays at 400
        {Qt::LeftEdge | Qt::TopEdge, {-10, 10}, QRectF(90, 200, 310, 210)},
        {{}, {50, 50}, start},
    };
    for (const Case& c : cases)
        EXPECT_EQ(resizedFrame(start, c.edges, c.delta, minimum), c.expected) << int(c.edges);
}

TEST(WindowFrameTracking, ACollapsedWindowStandsForTheExpandedFrameHangingFromItsTop)
{
    const WindowFrame stored{100, 150, 310, 330}; // top 480
    EXPECT_EQ(displayedFrame(stored, false), QRectF(100, 150, 310, 330));
    EXPECT_EQ(displayedFrame(stored, true), QRectF(100, 425, 310, 55));

    EXPECT_EQ(expandedFrame(QRectF(120, 395, 350, 55), stored, true), (WindowFrame{120, 120, 350, 330}));
    EXPECT_EQ(expandedFrame(QRectF(120, 395, 350, 200), stored, false), (WindowFrame{120, 395, 350, 200}));
    EXPECT_EQ(expandedFrame(displayedFrame(stored, true), stored, true), stored);
}

TEST(WindowFrameTracking, EachEdgeHasItsResizeCursor)
{
    EXPECT_EQ(resizeCursor(Qt::LeftEdge), Qt::SizeHorCursor);
    EXPECT_EQ(resizeCursor(Qt::BottomEdge), Qt::SizeVerCursor);
    EXPECT_EQ(resizeCursor(Qt::LeftEdge | Qt::TopEdge), Qt::SizeFDiagCursor);
    EXPECT_EQ(resizeCursor(Qt::RightEdge | Qt::TopEdge), Qt::SizeBDiagCursor);
    EXPECT_EQ(resizeCursor({}), Qt::ArrowCursor);
}
