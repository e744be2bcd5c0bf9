#include "Windows/WindowGeometry.h"

#include <gtest/gtest.h>

using namespace quorrin;

namespace {

const QRectF screenA(0, 0, 1440, 900);
const QRectF screenB(1440, 0, 1920, 1080);

struct RecoveryCase {
    const char* name;
    QRectF frame;
    QList<QRectF> screens;
    QRectF expected;
};

void PrintTo(const RecoveryCase& c, std::ostream* out) { *out << c.name; }

class RecoveredFrame : public ::testing::TestWithParam<RecoveryCase> {};

TEST_P(RecoveredFrame, PlacesFrameAsExpected)
{
    const RecoveryCase& c = GetParam();
    EXPECT_EQ(WindowGeometry::recoveredFrame(c.frame, c.screens), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecoveredFrame,
    ::testing::Values(
        RecoveryCase{"no screens keeps the frame", QRectF(-9000, -9000, 300, 200), {},
                     QRectF(-9000, -9000, 300, 200)},
        RecoveryCase{"fully visible", QRectF(100, 100, 300, 200), {screenA, screenB},
                     QRectF(100, 100, 300, 200)},
        // Strip from -12 to 12, on screen from x 0 to 80: exactly 12 x 80.
        RecoveryCase{"strip 12 high and 80 wide is reachable though mostly off-screen",
                     QRectF(-220, -200, 300, 212), {screenA}, QRectF(-220, -200, 300, 212)},
        RecoveryCase{"strip just under 12 high is moved onto the screen",
                     QRectF(-220, -200.5, 300, 212), {screenA}, QRectF(0, 0, 300, 212)},
        RecoveryCase{"strip just under 80 wide is moved", QRectF(-221, 300, 300, 200), {screenA},
                     QRectF(0, 300, 300, 200)},
        RecoveryCase{"reachable on the second screen only", QRectF(3000, 500, 300, 200),
                     {screenA, screenB}, QRectF(3000, 500, 300, 200)},
        RecoveryCase{"narrow note wholly on one screen", QRectF(1300, 500, 60, 200),
                     {screenA, screenB}, QRectF(1300, 500, 60, 200)},
        // 30 pt on each screen: neither holds the whole 60 pt strip. Equal
        // overlap areas, screen A's centre is nearer.
        RecoveryCase{"narrow note split between screens goes to the nearer centre",
                     QRectF(1410, 500, 60, 200), {screenA, screenB}, QRectF(1380, 500, 60, 200)},
        RecoveryCase{"no overlap goes to the nearest screen centre", QRectF(5000, 5000, 300, 200),
                     {screenA, screenB}, QRectF(3060, 880, 300, 200)},
        RecoveryCase{"equal distances keep the first screen", QRectF(100, 1000, 100, 50),
                     {QRectF(0, 0, 100, 100), QRectF(200, 0, 100, 100)}, QRectF(0, 50, 100, 50)},
        RecoveryCase{"a taller frame keeps its top at the screen's top",
                     QRectF(5000, 5000, 300, 1000), {screenA}, QRectF(1140, -100, 300, 1000)},
        RecoveryCase{"a wider frame aligns with the screen's left edge",
                     QRectF(-3000, 100, 2000, 300), {screenA}, QRectF(0, 100, 2000, 300)},
        // Touches A along A's top edge (area 0) but overlaps B.
        RecoveryCase{"larger overlap wins over a nearer centre", QRectF(1300, 900, 600, 400),
                     {screenA, screenB}, QRectF(1440, 680, 600, 400)}),
    [](const ::testing::TestParamInfo<RecoveryCase>& info) {
        return "case" + std::to_string(info.index);
    });

TEST(WindowGeometry, CollapsedFrameKeepsTopEdgeAndWidth)
{
    EXPECT_EQ(WindowGeometry::collapsedFrame(QRectF(100, 200, 300, 400)), QRectF(100, 545, 300, 55));
}

TEST(WindowGeometry, CollapsedNoteRecoversAt55High)
{
    // The expanded frame's strip is off-screen; the collapsed window comes
    // back whole and 55 pt high.
    const QRectF expanded(200, 850, 300, 400);
    const QRectF recovered =
        WindowGeometry::recoveredFrame(WindowGeometry::collapsedFrame(expanded), {screenA});
    EXPECT_EQ(recovered, QRectF(200, 845, 300, 55));
}

} // namespace
