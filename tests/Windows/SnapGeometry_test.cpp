#include "Windows/SnapGeometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorrin {
namespace {

using SnapGeometry::candidate;
using SnapGeometry::magneticPreview;
using SnapGeometry::rankedCandidates;

constexpr double threshold = SnapGeometry::defaultThreshold;

QUuid id(int n)
{
    return QUuid(QStringLiteral("00000000-0000-4000-8000-%1").arg(n, 12, 10, QLatin1Char('0')));
}

// Model coordinates: (x, y) is the bottom-left corner, the top edge is y + height.
const SnapTarget target{id(1), QRectF(0, 0, 300, 200), QSizeF(300, 200)};

TEST(SnapGeometryTest, ProposesTheEdgeWithinReach)
{
    struct Case {
        const char* name;
        QRectF moving;
        std::optional<SnapCandidate> expected;
    };
    const Case cases[] = {
        {"far away", QRectF(1000, 1000, 250, 160), std::nullopt},
        // Right of the target 10 apart, tops 20 apart: still aligned.
        {"right, tops within tolerance", QRectF(310, 20, 250, 160),
         SnapCandidate{{id(1), DockEdge::Right}, QRectF(300, 0, 250, 200), QSizeF(250, 200), 10, 10}},
        // Tops 30 apart: misalignment 6, which weighs in on the score.
        {"left, tops 30 apart", QRectF(-260, 10, 250, 160),
         SnapCandidate{{id(1), DockEdge::Left}, QRectF(-250, 0, 250, 200), QSizeF(250, 200), 10 + 0.08 * 6, 10}},
        // Above, left edges 10 apart: takes the target's width.
        {"above", QRectF(10, 205, 250, 160),
         SnapCandidate{{id(1), DockEdge::Above}, QRectF(0, 200, 300, 160), QSizeF(300, 160), 10 + 0.08 * 5, 10}},
        {"above without enough overlap", QRectF(-25, 205, 20, 160), std::nullopt},
        // Top edge 40 under the target's bottom, centres aligned: captured
        // from farther away than the threshold.
        {"below from 40 points", QRectF(25, -200, 250, 160),
         SnapCandidate{{id(1), DockEdge::Below}, QRectF(0, -160, 300, 160), QSizeF(300, 160), 40, 40}},
        {"below too far off centre", QRectF(200, -200, 250, 160), std::nullopt},
        {"beside from 40 points", QRectF(340, 40, 250, 160), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(candidate(c.moving, std::nullopt, false, {target}, threshold, std::nullopt), c.expected);
    }
    EXPECT_EQ(candidate(QRectF(310, 20, 250, 160), std::nullopt, false, {}, threshold, std::nullopt), std::nullopt);
}

TEST(SnapGeometryTest, CollapsedNoteDockedBesideKeepsTheTargetsTopAndExpandedHeight)
{
    // The target is collapsed too: displayed 55 high, 400 when expanded.
    const SnapTarget collapsedTarget{id(1), QRectF(0, 345, 300, 55), QSizeF(300, 400)};
    const auto proposal =
        candidate(QRectF(305, 340, 250, 55), QSizeF(250, 160), true, {collapsedTarget}, threshold, std::nullopt);
    ASSERT_TRUE(proposal);
    EXPECT_EQ(proposal->link, (NoteDock{id(1), DockEdge::Right}));
    EXPECT_EQ(proposal->frame, QRectF(300, 345, 250, 55));
    EXPECT_EQ(proposal->expandedSize, QSizeF(250, 400));
}

TEST(SnapGeometryTest, EqualScoresRankByTargetTextThenEdgeText)
{
    // A small moving square on two identical small targets: every edge of
    // both targets scores 10. The later target in the list has the smaller id.
    const QRectF square(0, 0, 10, 10);
    const std::vector<SnapTarget> targets = {{id(0xB), square, QSizeF(10, 10)}, {id(0xA), square, QSizeF(10, 10)}};
    std::vector<NoteDock> order;
    for (const SnapCandidate& c : rankedCandidates(square, std::nullopt, false, targets, threshold)) {
        EXPECT_EQ(c.score, 10);
        order.push_back(c.link);
    }
    const std::vector<NoteDock> expected = {
        {id(0xA), DockEdge::Above}, {id(0xA), DockEdge::Below}, {id(0xA), DockEdge::Left}, {id(0xA), DockEdge::Right},
        {id(0xB), DockEdge::Above}, {id(0xB), DockEdge::Below}, {id(0xB), DockEdge::Left}, {id(0xB), DockEdge::Right},
    };
    EXPECT_EQ(order, expected);

    // Hexadecimal letters sort after digits, as in the text.
    const QUuid nine(QStringLiteral("90000000-0000-4000-8000-000000000000"));
    const QUuid letter(QStringLiteral("A0000000-0000-4000-8000-000000000000"));
    const auto first = rankedCandidates(square, std::nullopt, false,
                                        {{letter, square, QSizeF(10, 10)}, {nine, square, QSizeF(10, 10)}}, threshold);
    EXPECT_EQ(first.front().link.targetID, nine);
}

TEST(SnapGeometryTest, KeepsThePreviousProposalUntilARivalIsBetterByMoreThanEight)
{
    // Right of A with a gap of 2 (score 2); left of B with a gap of 10 or 10.5.
    const SnapTarget a{id(1), QRectF(0, 0, 300, 200), QSizeF(300, 200)};
    const QRectF moving(302, 40, 250, 160);
    const NoteDock previous{id(2), DockEdge::Left};
    struct Case {
        double bLeft;
        std::optional<NoteDock> preferred;
        NoteDock expected;
    };
    const Case cases[] = {
        {562, std::nullopt, {id(1), DockEdge::Right}},
        {562, previous, previous},                                 // 10 = 2 + 8
        {562.5, previous, {id(1), DockEdge::Right}},               // 10.5 > 2 + 8
        {562, NoteDock{id(3), DockEdge::Left}, {id(1), DockEdge::Right}}, // not among the proposals
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bLeft);
        const SnapTarget b{id(2), QRectF(c.bLeft, 0, 300, 200), QSizeF(300, 200)};
        const auto proposal = candidate(moving, std::nullopt, false, {a, b}, threshold, c.preferred);
        ASSERT_TRUE(proposal);
        EXPECT_EQ(proposal->link, c.expected);
    }
}

TEST(SnapGeometryTest, MagneticPreviewPullsALittleAndFadesWithDistance)
{
    const QRectF dockTarget(0, 0, 300, 200);
    // Docked right of the target this frame would sit at (300, 100): 10 left, 10 up.
    const QRectF beside(310, 90, 100, 100);
    // Docked above it would sit at (0, 200): 10 left, 10 down.
    const QRectF over(10, 210, 100, 100);
    struct Case {
        QRectF frame;
        DockEdge edge;
        double distance;
        QPointF offset;
    };
    const Case cases[] = {
        {beside, DockEdge::Right, 12, {-7, 3}},
        {beside, DockEdge::Right, 0, {-7, 3}},
        {beside, DockEdge::Right, 22, {-3.5, 1.5}},
        {beside, DockEdge::Right, 32, {0, 0}},
        {beside, DockEdge::Right, 50, {0, 0}},
        {beside, DockEdge::Right, std::nan(""), {0, 0}},
        {over, DockEdge::Above, 12, {-3, -7}},
        {QRectF(300, 100, 100, 100), DockEdge::Right, 0, {0, 0}}, // already docked
        {QRectF(-101, 102, 100, 100), DockEdge::Left, 12, {1, -2}}, // pulls less than the limit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.distance);
        EXPECT_EQ(magneticPreview(c.frame, dockTarget, c.edge, c.distance), c.frame.translated(c.offset));
    }
}

} // namespace
} // namespace quorrin
