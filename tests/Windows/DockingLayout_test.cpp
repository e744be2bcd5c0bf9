#include "Windows/DockingLayout.h"
#include "Windows/FrameApplication.h"

#include <gtest/gtest.h>

#include <random>

using namespace quorrin;

namespace {

// Ids whose text sorts in the order of n.
QUuid idNumber(int n)
{
    return QUuid(QStringLiteral("{%1-0000-0000-0000-000000000000}").arg(n, 8, 16, QLatin1Char('0')));
}

DockNode node(int n, QRectF frame, std::optional<NoteDock> docking = std::nullopt, bool collapsed = false)
{
    return {idNumber(n), frame, collapsed, docking, false};
}

NoteDock dock(int target, DockEdge edge)
{
    return {idNumber(target), edge};
}

QRectF frameOf(const DockingGraph& graph, int n)
{
    return graph.find(idNumber(n))->frame;
}

TEST(DockingLayoutTest, EachEdgePlacesTheNoteFlushAndTakesTheTargetsSharedDimension)
{
    const QRectF target(1000, 1000, 300, 400); // top edge at 1400
    struct Case {
        DockEdge edge;
        QRectF expected;
    };
    const Case cases[] = {
        {DockEdge::Left, QRectF(750, 1000, 250, 400)},  // height taken, tops aligned
        {DockEdge::Right, QRectF(1300, 1000, 250, 400)},
        {DockEdge::Above, QRectF(1000, 1400, 300, 200)}, // width taken, left edges shared
        {DockEdge::Below, QRectF(1000, 800, 300, 200)},
    };
    for (const Case& c : cases) {
        DockingGraph graph({node(1, target), node(2, QRectF(0, 0, 250, 200), NoteDock{idNumber(1), c.edge})});
        const QHash<QUuid, QRectF> shown = graph.solve();
        EXPECT_EQ(frameOf(graph, 2), c.expected) << dockEdge::rawValue(c.edge).toStdString();
        EXPECT_EQ(shown.value(idNumber(2)), c.expected);
        EXPECT_EQ(frameOf(graph, 1), target);
    }
}

TEST(DockingLayoutTest, AChainIsPlacedFromItsRootWhateverTheStoreOrder)
{
    // 3 below 2 below 1, listed tail first.
    DockingGraph graph({node(3, QRectF(0, 0, 250, 160), dock(2, DockEdge::Below)),
                        node(2, QRectF(0, 0, 250, 200), dock(1, DockEdge::Below)),
                        node(1, QRectF(100, 800, 300, 300))});
    graph.solve();
    EXPECT_EQ(frameOf(graph, 2), QRectF(100, 600, 300, 200));
    EXPECT_EQ(frameOf(graph, 3), QRectF(100, 440, 300, 160));
}

TEST(DockingLayoutTest, CollapsedTargetsAndCollapsedDockedNotes)
{
    // The target's strip is 55 high: a note below sits under the strip, a note
    // beside it takes the full expanded height with tops aligned.
    DockingGraph graph({node(1, QRectF(100, 500, 300, 300), std::nullopt, true),
                        node(2, QRectF(0, 0, 300, 200), dock(1, DockEdge::Below)),
                        node(3, QRectF(0, 0, 250, 200), dock(1, DockEdge::Right)),
                        node(4, QRectF(0, 0, 250, 250), dock(1, DockEdge::Left), true)});
    const QHash<QUuid, QRectF> shown = graph.solve();
    EXPECT_EQ(shown.value(idNumber(1)), QRectF(100, 745, 300, 55));
    EXPECT_EQ(frameOf(graph, 2), QRectF(100, 545, 300, 200));
    EXPECT_EQ(frameOf(graph, 3), QRectF(400, 500, 250, 300));
    // A collapsed docked note stores an expanded frame hanging from its strip.
    EXPECT_EQ(shown.value(idNumber(4)), QRectF(-150, 745, 250, 55));
    EXPECT_EQ(frameOf(graph, 4), QRectF(-150, 500, 250, 300));
}

TEST(DockingLayoutTest, SelfLinksDanglingLinksAndCyclesKeepTheirOwnFrameAtTheCut)
{
    const QRectF a(100, 100, 300, 300);
    const QRectF b(900, 900, 250, 200);
    // 1 and 2 docked to each other: 1 sorts first, so it is placed against 2,
    // and 2 keeps its frame.
    DockingGraph cycle({node(2, b, dock(1, DockEdge::Right)), node(1, a, dock(2, DockEdge::Right))});
    cycle.solve();
    EXPECT_EQ(frameOf(cycle, 2), b);
    EXPECT_EQ(frameOf(cycle, 1), QRectF(1150, 900, 300, 200));

    DockingGraph odd({node(1, a, dock(1, DockEdge::Below)), node(2, b, dock(7, DockEdge::Below))});
    odd.solve();
    EXPECT_EQ(frameOf(odd, 1), a);
    EXPECT_EQ(frameOf(odd, 2), b);
    EXPECT_EQ(odd.find(idNumber(2))->docking, dock(7, DockEdge::Below));
}

TEST(DockingLayoutTest, SeveralNotesOnOneEdgeOverlap)
{
    DockingGraph graph({node(1, QRectF(0, 0, 300, 300)), node(2, QRectF(5, 5, 250, 160), dock(1, DockEdge::Right)),
                        node(3, QRectF(50, 50, 250, 160), dock(1, DockEdge::Right))});
    graph.solve();
    EXPECT_EQ(frameOf(graph, 2), frameOf(graph, 3));
}

TEST(DockingLayoutTest, TheAnchorKeepsItsTopLeftCornerAndItsGroupMovesAroundIt)
{
    // 2 below 1, 3 below 2; 2 collapses. The anchor is 2 as it was.
    std::vector<DockNode> nodes{node(1, QRectF(100, 700, 300, 300)),
                                node(2, QRectF(100, 500, 300, 200), dock(1, DockEdge::Below), true),
                                node(3, QRectF(100, 300, 300, 200), dock(2, DockEdge::Below)),
                                node(4, QRectF(900, 900, 250, 160))};
    DockingGraph graph(nodes);
    QHash<QUuid, QRectF> shown = graph.solve();
    graph.anchorAround(nodes[1], shown);
    EXPECT_EQ(shown.value(idNumber(2)), QRectF(100, 645, 300, 55));
    EXPECT_EQ(frameOf(graph, 2), QRectF(100, 500, 300, 200));
    // The follower moves up under the strip; the target stays above it.
    EXPECT_EQ(frameOf(graph, 3), QRectF(100, 445, 300, 200));
    EXPECT_EQ(frameOf(graph, 1), QRectF(100, 700, 300, 300));
    EXPECT_EQ(frameOf(graph, 4), QRectF(900, 900, 250, 160));

    // An anchor that moved: the target is placed on the opposite edge of it.
    DockingGraph moved({node(1, QRectF(100, 700, 300, 300)),
                        node(2, QRectF(400, 400, 300, 200), dock(1, DockEdge::Below))});
    QHash<QUuid, QRectF> movedShown = moved.solve();
    moved.anchorAround(node(2, QRectF(400, 400, 300, 200), dock(1, DockEdge::Below)), movedShown);
    EXPECT_EQ(frameOf(moved, 2), QRectF(400, 400, 300, 200));
    EXPECT_EQ(frameOf(moved, 1), QRectF(400, 600, 300, 300));
}

TEST(DockingLayoutTest, SizesTravelAlongRowsAndColumnsKeepingTopEdges)
{
    // Row: 2 right of 1, 3 right of 2. Column: 4 below 1, 5 below 4.
    DockingGraph graph({node(1, QRectF(0, 500, 400, 350)),
                        node(2, QRectF(400, 600, 250, 250), dock(1, DockEdge::Right)),
                        node(3, QRectF(650, 600, 250, 250), dock(2, DockEdge::Right)),
                        node(4, QRectF(0, 300, 300, 200), dock(1, DockEdge::Below)),
                        node(5, QRectF(0, 100, 300, 200), dock(4, DockEdge::Below))});
    const std::vector<QUuid> resized = graph.propagateSize(idNumber(1));
    EXPECT_EQ(resized.size(), 4U);
    EXPECT_EQ(frameOf(graph, 2), QRectF(400, 500, 250, 350));
    EXPECT_EQ(frameOf(graph, 3), QRectF(650, 500, 250, 350));
    EXPECT_EQ(frameOf(graph, 4), QRectF(0, 300, 400, 200));
    EXPECT_EQ(frameOf(graph, 5), QRectF(0, 100, 400, 200));

    // Up the chain too: a docked note's new height reaches its side target.
    DockingGraph up({node(1, QRectF(0, 500, 300, 300)), node(2, QRectF(300, 400, 250, 400), dock(1, DockEdge::Left))});
    up.propagateSize(idNumber(2));
    EXPECT_EQ(frameOf(up, 1), QRectF(0, 400, 300, 400));
}

TEST(DockingLayoutTest, GraphQueries)
{
    // 7 is in the recently deleted: it is nobody's dependant.
    DockingGraph graph({node(1, {}), node(2, {}, dock(1, DockEdge::Right)), node(3, {}, dock(2, DockEdge::Below)),
                        node(4, {}), node(5, {}, dock(6, DockEdge::Left)), node(6, {}, dock(5, DockEdge::Left)),
                        DockNode{idNumber(7), {}, false, dock(4, DockEdge::Below), true}});
    EXPECT_EQ(graph.descendants(idNumber(1)), (QSet<QUuid>{idNumber(2), idNumber(3)}));
    EXPECT_EQ(graph.component(idNumber(3)), (QSet<QUuid>{idNumber(1), idNumber(2), idNumber(3)}));
    EXPECT_EQ(graph.component(idNumber(4)), QSet<QUuid>{idNumber(4)});
    EXPECT_TRUE(graph.descendants(idNumber(4)).isEmpty());
    EXPECT_FALSE(graph.descendants(idNumber(5)).contains(idNumber(5)));
    EXPECT_EQ(graph.component(idNumber(5)), (QSet<QUuid>{idNumber(5), idNumber(6)}));
    EXPECT_TRUE(graph.hasConnection(idNumber(1)));
    EXPECT_TRUE(graph.hasConnection(idNumber(3)));
    EXPECT_FALSE(graph.hasConnection(idNumber(4)));
}

TEST(DockingLayoutTest, UuidTextOrderMatchesTheText)
{
    std::mt19937 random(7);
    for (int round = 0; round < 500; ++round) {
        const QUuid a = QUuid::createUuid();
        const QUuid b = round % 5 == 0 ? QUuid(a.data1, a.data2, a.data3, a.data4[0], a.data4[1], a.data4[2],
                                               a.data4[3], a.data4[4], a.data4[5], a.data4[6], uchar(random()))
                                       : QUuid::createUuid();
        const QString ta = a.toString(QUuid::WithoutBraces).toUpper();
        const QString tb = b.toString(QUuid::WithoutBraces).toUpper();
        EXPECT_EQ(DockingLayout::uuidTextLess(a, b), ta < tb);
    }
}

TEST(DockingLayoutTest, RandomGraphsWithCyclesPlaceEveryNoteOnce)
{
    std::mt19937 random(2026);
    for (int round = 0; round < 200; ++round) {
        const int count = 1 + int(random() % 60);
        std::vector<DockNode> nodes;
        for (int n = 0; n < count; ++n) {
            std::optional<NoteDock> link;
            if (random() % 4 != 0)
                link = NoteDock{idNumber(int(random() % uint(count + 2))), dockEdge::allCases[random() % 4]};
            nodes.push_back(node(n, QRectF(double(random() % 2000), double(random() % 1000), 250, 160), link,
                                 random() % 3 == 0));
        }
        DockingGraph graph(nodes);
        const QHash<QUuid, QRectF> shown = graph.solve();
        ASSERT_EQ(shown.size(), count);
        for (const DockNode& placed : graph.nodes()) {
            EXPECT_EQ(shown.value(placed.id), DockingLayout::displayedRect(placed.frame, placed.collapsed));
            // Every link that was followed puts the note flush against its target.
            if (placed.docking && placed.docking->targetID != placed.id && graph.find(placed.docking->targetID)) {
                const bool moved = placed.frame != nodes[size_t(&placed - graph.nodes().data())].frame;
                if (moved) {
                    const DockNode* target = graph.find(placed.docking->targetID);
                    const QRectF expected = DockingLayout::placedAgainst(
                                                shown.value(target->id), placed.docking->edge, placed.frame.size(),
                                                placed.collapsed)
                                                .displayed;
                    EXPECT_EQ(shown.value(placed.id), expected);
                }
            }
        }
        // Anchoring any note afterwards visits each note of its group once.
        const DockNode& anchor = nodes[random() % nodes.size()];
        QHash<QUuid, QRectF> anchored = shown;
        graph.anchorAround(anchor, anchored);
        EXPECT_EQ(anchored.size(), count);
    }
}

TEST(FrameApplicationTest, DockedNotesComeAfterTheirTargetsThenTheLeaderThenByText)
{
    const QRectF any(0, 0, 250, 160);
    // C docks to B, B to A; D and E are roots; F and G dock to each other.
    const QUuid a = idNumber(10), b = idNumber(2), c = idNumber(1), d = idNumber(5), e = idNumber(4);
    const QUuid f = idNumber(20), g = idNumber(21);
    const QHash<QUuid, QRectF> frames{{a, any}, {b, any}, {c, any}, {d, any}, {e, any}, {f, any}, {g, any}};
    const QHash<QUuid, QUuid> targets{{c, b}, {b, a}, {f, g}, {g, f}};
    EXPECT_EQ(FrameApplication::order(frames, targets, d), (std::vector<QUuid>{d, e, a, b, f, g, c}));
    EXPECT_EQ(FrameApplication::order(frames, targets, std::nullopt), (std::vector<QUuid>{e, d, a, b, f, g, c}));
    // A target that is not being placed does not count.
    const QHash<QUuid, QRectF> tail{{c, any}, {e, any}};
    EXPECT_EQ(FrameApplication::order(tail, targets, std::nullopt), (std::vector<QUuid>{c, e}));
}

TEST(FrameApplicationTest, ASameAnswerTwiceToTheSameRequestIsFinal)
{
    const QUuid id = idNumber(1);
    const QRectF asked(100, 100, 250, 160);
    const QRectF answer(100, 40, 250, 160);
    ServerAnswers answers;
    answers.requested(id, asked, 1);
    answers.answered(id, answer, 1);
    answers.answered(id, answer, 1); // a second report of one answer
    EXPECT_FALSE(answers.isRefused(id, asked, 1));
    answers.requested(id, asked, 1);
    answers.answered(id, answer.translated(0.5, 0), 1);
    EXPECT_TRUE(answers.isRefused(id, asked, 1));
    EXPECT_FALSE(answers.isRefused(id, asked.translated(0, 10), 1));

    // An answer that grants the request ends the record.
    ServerAnswers granted;
    granted.requested(id, asked, 1);
    granted.answered(id, answer, 1);
    granted.requested(id, asked, 1);
    granted.answered(id, asked.translated(0.4, 0), 1);
    granted.requested(id, asked, 1);
    granted.answered(id, answer, 1);
    EXPECT_FALSE(granted.isRefused(id, asked, 1));
}

} // namespace
