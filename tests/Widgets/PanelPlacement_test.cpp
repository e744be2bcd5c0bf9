#include "Widgets/PanelPlacement.h"

#include <gtest/gtest.h>

namespace quorrin {
namespace {

using namespace panelplacement;

const QRectF screen(0, 0, 1440, 900);

TEST(PanelPlacement, TheBlockMenuGoesLeftThenRightThenBackInside)
{
    const QSizeF panel(216, 254);
    const QRectF anchor(0, 300, 20, 20);
    struct Case {
        QRectF note;
        double x;
    } cases[] = {
        {{600, 200, 300, 400}, 600 - 216 - 8}, // room on the left
        {{100, 200, 300, 400}, 408},           // too close to the left edge: right of it
        {{100, 200, 1300, 400}, 1440 - 216 - 6}, // neither side fits: pushed back inside
    };
    for (const Case& c : cases)
        EXPECT_EQ(blockMenuOrigin(c.note, anchor.translated(c.note.left(), 0), panel, screen).x(), c.x);
}

TEST(PanelPlacement, TheBlockMenuTopStands8AboveTheAnchorAndInsideTheScreen)
{
    const QRectF note(600, 100, 300, 700);
    EXPECT_EQ(blockMenuOrigin(note, QRectF(610, 300, 10, 20), QSizeF(216, 100), screen).y(), 292);
    EXPECT_EQ(blockMenuOrigin(note, QRectF(610, 2, 10, 20), QSizeF(216, 100), screen).y(), 6);
    EXPECT_EQ(blockMenuOrigin(note, QRectF(610, 880, 10, 20), QSizeF(216, 100), screen).y(), 900 - 100 - 6);
    // Taller than the screen: the top edge wins.
    EXPECT_EQ(blockMenuOrigin(note, QRectF(610, 300, 10, 20), QSizeF(216, 1000), screen).y(), 6);
}

TEST(PanelPlacement, TheFormatPanelSitsLeftFrom250PointsOfRoom)
{
    EXPECT_TRUE(formatSides(QRectF(250, 100, 300, 300), screen).onLeft);
    EXPECT_FALSE(formatSides(QRectF(249, 100, 300, 300), screen).onLeft);
    const FormatSides left = formatSides(QRectF(400, 100, 300, 300), screen);
    EXPECT_EQ(left.rightEdge, 392);
    EXPECT_EQ(left.leftEdge, 708);
    // It grows away from the note: on the left its right edge stays put.
    EXPECT_EQ(formatFrame(left, 50, orbWidth), QRectF(362, 50, 30, 34));
    EXPECT_EQ(formatFrame(left, 50, barWidth), QRectF(162, 50, 230, 34));
    FormatSides right = left;
    right.onLeft = false;
    EXPECT_EQ(formatFrame(right, 50, barWidth), QRectF(708, 50, 230, 34));
}

TEST(PanelPlacement, TheFormatPanelIsCentredOnTheCaretLineWithinTheScreen)
{
    EXPECT_EQ(formatTop(QRectF(0, 400, 2, 20), screen), 410 - 17);
    EXPECT_EQ(formatTop(QRectF(0, 890, 2, 20), screen), 900 - 34 - 6);
    EXPECT_EQ(formatTop(QRectF(0, -50, 2, 20), screen), 6);
}

TEST(PanelPlacement, AHiddenFormatPanelIsParkedBesideTheWindowsMiddle)
{
    EXPECT_EQ(parkedFormatFrame(QRectF(400, 100, 300, 300), screen), QRectF(362, 233, 30, 34));
    EXPECT_EQ(parkedFormatFrame(QRectF(10, 100, 300, 300), screen).x(), 6);
}


TEST(PanelPlacement, ANewWindowStandsOffTheOnesOpenAtItsPlace)
{
    const QSizeF size(520, 400);
    struct Case {
        const char* name;
        QPointF wanted;
        std::vector<QPointF> taken;
        QPointF origin;
    } cases[] = {
        {"alone", {400, 250}, {}, {400, 250}},
        {"another elsewhere", {400, 250}, {{401, 250}}, {400, 250}},
        {"one at its place", {400, 250}, {{400, 250}}, {428, 278}},
        {"two in a cascade", {400, 250}, {{428, 278}, {400, 250}}, {456, 306}},
        // One more step would leave the screen: it stays where it is.
        {"at the screen's edge", {900, 480}, {{900, 480}}, {900, 480}},
        {"a step from the edge", {892, 472}, {{892, 472}}, {920, 500}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cascadedOrigin(QRectF(c.wanted, size), c.taken, screen), c.origin) << c.name;
}

} // namespace
} // namespace quorrin
