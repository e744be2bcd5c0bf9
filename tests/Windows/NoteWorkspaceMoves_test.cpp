#include "WorkspaceTest.h"

#include "Windows/GroupMove.h"
#include "Windows/SeamResize.h"

#include <gtest/gtest.h>

#include <QTest>

using namespace quorrin;
using namespace quorrin::testing;

namespace {

QRectF rectOf(const WindowFrame& frame)
{
    return {frame.x, frame.y, frame.width, frame.height};
}

SnapCandidate candidateAt(double distance)
{
    SnapCandidate candidate;
    candidate.distance = distance;
    return candidate;
}

TEST(GroupMoveTest, LatchAndReleaseRadiiAndFeedbackStrength)
{
    struct Case {
        double distance;
        bool sameLink;
        bool latched;
    };
    const Case cases[] = {{12, false, true}, {13, false, false}, {24, true, true}, {24.5, true, false}, {13, true, true}};
    for (const Case& c : cases)
        EXPECT_EQ(GroupMove::latches(candidateAt(c.distance), c.sameLink), c.latched) << c.distance;
    EXPECT_FALSE(GroupMove::latches(std::nullopt, true));
    EXPECT_DOUBLE_EQ(GroupMove::feedbackStrength(true, 10), 0.85);
    EXPECT_DOUBLE_EQ(GroupMove::feedbackStrength(false, 0), 0.70);
    EXPECT_DOUBLE_EQ(GroupMove::feedbackStrength(false, 16), 0.525);
    EXPECT_DOUBLE_EQ(GroupMove::feedbackStrength(false, 40), 0.35);
}

TEST(SeamResizeTest, EdgesMoveBeyondHalfAPointAndNeighboursKeepTheMinimum)
{
    const QRectF start(100, 300, 300, 200);
    EXPECT_TRUE(SeamResize::movedEdges(start, QRectF(100, 300, 300, 230)).top);
    EXPECT_TRUE(SeamResize::movedEdges(start, QRectF(100, 270, 300, 230)).bottom);
    EXPECT_TRUE(SeamResize::movedEdges(start, QRectF(50, 300, 350, 200)).left);
    const SeamResize::MovedEdges tiny = SeamResize::movedEdges(start, QRectF(99.6, 300, 300.4, 200.5));
    EXPECT_FALSE(tiny.left || tiny.top || tiny.bottom);
    const SeamResize::MovedEdges both = SeamResize::movedEdges(start, QRectF(100, 290, 300, 230));
    EXPECT_FALSE(both.top || both.bottom);
    EXPECT_EQ(SeamResize::neighbourHeight(300, 30, true), 270);
    EXPECT_EQ(SeamResize::neighbourHeight(300, -30, false), 270);
    EXPECT_EQ(SeamResize::neighbourHeight(180, 40, true), std::nullopt);
    EXPECT_EQ(SeamResize::neighbourHeight(180, 20, true), 160);
}

class NoteWorkspaceMovesTest : public WorkspaceTest {
protected:
    void SetUp() override
    {
        WorkspaceTest::SetUp();
        store->setOnCommit([this] { ++commits; });
    }

    // A root with one note docked to its right and one below it.
    void makeGroup()
    {
        leader = addNote(NoteSetup().at({100, 500, 300, 300}));
        beside = addNote(NoteSetup().dock(leader, DockEdge::Right));
        under = addNote(NoteSetup().dock(leader, DockEdge::Below));
        workspace->presentAll(std::nullopt, false, false);
    }

    // A note to dock to and a free note to drag next to it.
    void makePair()
    {
        target = addNote(NoteSetup().at({1000, 500, 300, 300}));
        dragged = addNote(NoteSetup().at({100, 100, 250, 200}));
        workspace->presentAll(std::nullopt, false, false);
    }

    // Drags `dragged` by its header so that it would stand at x with its top
    // at 800 (the target's top).
    void dragTo(double x)
    {
        workspace->updateMove(dragged, QRectF(), QPointF(200 + (x - 100), 290 + 500));
    }

    QUuid leader, beside, under, target, dragged;
    int commits = 0;
};

TEST_F(NoteWorkspaceMovesTest, AGroupFollowsItsLeaderAndIsSavedOnceAtTheEnd)
{
    makeGroup();
    ASSERT_EQ(window(beside)->shownFrame, QRectF(400, 500, 300, 300));
    commits = 0;
    workspace->beginMove(leader, QPointF(200, 790), false, 1);
    EXPECT_TRUE(workspace->isMovingFollower(beside));
    EXPECT_FALSE(workspace->isMovingFollower(leader));
    workspace->updateMove(leader, QRectF(), QPointF(260, 740));
    EXPECT_EQ(window(leader)->shownFrame, QRectF(160, 450, 300, 300));
    EXPECT_EQ(window(beside)->shownFrame, QRectF(460, 450, 300, 300));
    EXPECT_EQ(window(under)->shownFrame, QRectF(160, 150, 300, 300));
    EXPECT_EQ(commits, 0);

    workspace->finishMove();
    EXPECT_FALSE(workspace->movingNote());
    EXPECT_FALSE(workspace->isMovingFollower(beside));
    EXPECT_EQ(commits, 1);
    EXPECT_EQ(rectOf(stored(beside).frame), QRectF(460, 450, 300, 300));
    EXPECT_EQ(stored(beside).docking, (NoteDock{leader, DockEdge::Right}));
    EXPECT_TRUE(workspace->managedMoveIDs().contains(under));
}

TEST_F(NoteWorkspaceMovesTest, AStepWithinOnePointIsNoMove)
{
    makeGroup();
    commits = 0;
    workspace->beginMove(leader, QPointF(200, 790), false, 1);
    workspace->updateMove(leader, QRectF(), QPointF(200.5, 790.5));
    EXPECT_EQ(window(leader)->shownFrame, QRectF(100, 500, 300, 300));
    workspace->finishMove();
    EXPECT_EQ(commits, 0);
}

TEST_F(NoteWorkspaceMovesTest, CancellingPutsTheWholeGroupBackAndSaves)
{
    makeGroup();
    commits = 0;
    workspace->beginMove(leader, QPointF(200, 790), false, 1);
    workspace->updateMove(leader, QRectF(), QPointF(600, 400));
    workspace->cancelMove();
    EXPECT_EQ(window(leader)->shownFrame, QRectF(100, 500, 300, 300));
    EXPECT_EQ(window(beside)->shownFrame, QRectF(400, 500, 300, 300));
    EXPECT_EQ(window(under)->shownFrame, QRectF(100, 200, 300, 300));
    EXPECT_EQ(rectOf(stored(leader).frame), QRectF(100, 500, 300, 300));
    EXPECT_EQ(commits, 1);
    EXPECT_FALSE(workspace->movingNote());
}

TEST_F(NoteWorkspaceMovesTest, LatchingTakesTheTargetsHeightAndReleaseStoresTheDock)
{
    makePair();
    workspace->beginMove(dragged, QPointF(200, 290), false, 7);
    dragTo(1310); // 10 points from the target's right edge
    EXPECT_EQ(window(dragged)->shownFrame, QRectF(1300, 500, 250, 300));
    // Both light the seam: the dragged note its left side, the target its right.
    EXPECT_EQ(window(dragged)->snapEdge, DockEdge::Left);
    EXPECT_DOUBLE_EQ(window(dragged)->snapStrength, 0.85);
    EXPECT_EQ(window(target)->snapEdge, DockEdge::Right);
    EXPECT_FALSE(stored(dragged).docking); // nothing docked until the release

    workspace->finishMove();
    EXPECT_EQ(stored(dragged).docking, (NoteDock{target, DockEdge::Right}));
    EXPECT_EQ(rectOf(stored(dragged).frame), QRectF(1300, 500, 250, 300));
    EXPECT_EQ(window(target)->role, std::make_pair(false, true));
    // The feedback stays a moment after the release.
    EXPECT_EQ(window(dragged)->snapEdge, DockEdge::Left);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window(dragged)->snapEdge; }, 10000));
    EXPECT_EQ(window(target)->snapStrength, 0);
}

TEST_F(NoteWorkspaceMovesTest, ALatchHoldsUpToTheReleaseRadiusThenPullsMagnetically)
{
    makePair();
    workspace->beginMove(dragged, QPointF(200, 290), false, 7);
    dragTo(1310);
    dragTo(1320);
    EXPECT_EQ(window(dragged)->shownFrame, QRectF(1300, 500, 250, 300));
    dragTo(1324.5);
    // Pulled 0.375 of the way (at most 7 points) towards the docked place.
    EXPECT_EQ(window(dragged)->shownFrame, QRectF(1321.875, 600, 250, 200));
    EXPECT_NEAR(window(dragged)->snapStrength, 0.35 + 0.35 * (1 - 24.5 / 32), 1e-9);
    dragTo(1313); // 13 points: pulled, not latched
    EXPECT_EQ(window(dragged)->shownFrame.height(), 200);

    workspace->cancelMove();
    EXPECT_EQ(window(dragged)->shownFrame, QRectF(100, 100, 250, 200));
    EXPECT_FALSE(stored(dragged).docking);
    EXPECT_EQ(window(target)->snapEdge, std::nullopt);
}

TEST_F(NoteWorkspaceMovesTest, ANewPressFinishesTheRunningDragTheSamePressDoesNot)
{
    makePair();
    workspace->beginMove(dragged, QPointF(200, 290), false, 7);
    dragTo(600);
    workspace->beginMove(dragged, QPointF(700, 790), false, 7);
    EXPECT_EQ(window(dragged)->shownFrame, QRectF(600, 600, 250, 200));
    EXPECT_EQ(workspace->movingNote(), dragged);
    commits = 0;
    workspace->beginMove(dragged, QPointF(700, 790), false, 8);
    EXPECT_EQ(commits, 1); // the first drag was committed
    EXPECT_EQ(workspace->movingNote(), dragged);
    workspace->finishMove();
}

TEST_F(NoteWorkspaceMovesTest, ADragTheWindowManagerRunsIsFollowedUntilTheButtonIsReleased)
{
    makeGroup();
    mouseDown = true;
    workspace->beginMove(leader, std::nullopt, true, std::nullopt);
    EXPECT_FALSE(workspace->managedMoveIDs().contains(beside));
    window(leader)->shownFrame.translate(30, -10); // the window manager moves it
    workspace->followNativeMove();
    EXPECT_EQ(window(beside)->shownFrame, QRectF(430, 490, 300, 300));
    EXPECT_EQ(window(under)->shownFrame, QRectF(130, 190, 300, 300));

    mouseDown = false;
    workspace->followNativeMove();
    EXPECT_FALSE(workspace->movingNote());
    EXPECT_EQ(rectOf(stored(leader).frame), QRectF(130, 490, 300, 300));
    EXPECT_TRUE(workspace->managedMoveIDs().contains(beside));
}

// Moved from the keyboard (the window manager's move command and arrows),
// no button is down: the move lasts as long as the window manager holds the
// window, its group following step by step.
TEST_F(NoteWorkspaceMovesTest, AKeyboardMoveOfTheWindowManagerLastsWhileItHoldsTheWindow)
{
    makeGroup();
    mouseDown = false;
    window(leader)->movedByWindowManager = true;
    workspace->beginMove(leader, std::nullopt, true, std::nullopt);
    for (int step = 1; step <= 2; ++step) {
        window(leader)->shownFrame.translate(10, 0);
        workspace->followNativeMove();
        ASSERT_EQ(workspace->movingNote(), leader) << step;
        EXPECT_EQ(window(beside)->shownFrame, QRectF(400 + 10 * step, 500, 300, 300)) << step;
    }
    window(leader)->movedByWindowManager = false;
    workspace->followNativeMove();
    EXPECT_FALSE(workspace->movingNote());
    EXPECT_EQ(rectOf(stored(leader).frame), QRectF(120, 500, 300, 300));
}

TEST_F(NoteWorkspaceMovesTest, AWindowManagerDragReportedOnlyOnceOverIsKeptWithItsGroup)
{
    // X11 window managers report the move they ran once the button is up:
    // the window already stands at its new place when the session begins.
    makeGroup();
    workspace->addManagedMoves(workspace->component(leader));
    window(leader)->shownFrame.translate(30, -10);
    mouseDown = false;
    workspace->beginMove(leader, std::nullopt, true, std::nullopt);
    workspace->followNativeMove();
    EXPECT_FALSE(workspace->movingNote());
    EXPECT_EQ(window(leader)->shownFrame, QRectF(130, 490, 300, 300));
    EXPECT_EQ(rectOf(stored(leader).frame), QRectF(130, 490, 300, 300));
    EXPECT_EQ(window(beside)->shownFrame, QRectF(430, 490, 300, 300));
    EXPECT_EQ(window(under)->shownFrame, QRectF(130, 190, 300, 300));
    // Kept: a later report of the same place puts nothing back.
    EXPECT_FALSE(workspace->reconcileServerMove(leader));
}

TEST_F(NoteWorkspaceMovesTest, AScreenChangeDuringADragIsHandledWhenItEnds)
{
    makePair();
    workspace->beginMove(dragged, QPointF(200, 290), false, 7);
    workspace->screensChanged();
    EXPECT_TRUE(workspace->isScreenRecoveryPending());
    workspace->cancelMove();
    EXPECT_FALSE(workspace->isScreenRecoveryPending());
}

TEST_F(NoteWorkspaceMovesTest, MovingTheSeamGivesOrTakesTheNeighboursHeightDownToTheMinimum)
{
    const QUuid upper = addNote(NoteSetup().at({100, 500, 300, 300}));
    const QUuid lower = addNote(NoteSetup().at({0, 0, 300, 200}).dock(upper, DockEdge::Below));
    workspace->presentAll(std::nullopt, false, false);
    ASSERT_EQ(window(lower)->shownFrame, QRectF(100, 300, 300, 200));
    const auto resizeTo = [&](QRectF frame) {
        window(lower)->shownFrame = frame;
        window(lower)->saveFrame();
        workspace->geometryChanged(lower, true);
    };

    workspace->beginUserResize(lower, QRectF(100, 300, 300, 200));
    resizeTo(QRectF(100, 300, 300, 230)); // top edge up by 30
    EXPECT_EQ(rectOf(stored(upper).frame), QRectF(100, 530, 300, 270));
    resizeTo(QRectF(100, 300, 300, 170)); // down by 30
    EXPECT_EQ(rectOf(stored(upper).frame), QRectF(100, 470, 300, 330));
    resizeTo(QRectF(100, 300, 300, 350)); // would leave 150
    EXPECT_EQ(rectOf(stored(upper).frame), QRectF(100, 470, 300, 330));
    workspace->finishUserResize(lower);
    EXPECT_EQ(window(upper)->shownFrame, QRectF(100, 470, 300, 330));
}

TEST_F(NoteWorkspaceMovesTest, ResizingByTheLeftEdgeKeepsTheColumnsRightEdge)
{
    const QUuid upper = addNote(NoteSetup().at({100, 500, 300, 300}));
    const QUuid lower = addNote(NoteSetup().at({0, 0, 300, 200}).dock(upper, DockEdge::Below));
    workspace->presentAll(std::nullopt, false, false);
    workspace->beginUserResize(lower, QRectF(100, 300, 300, 200));
    window(lower)->shownFrame = QRectF(50, 300, 350, 200);
    window(lower)->saveFrame();
    workspace->geometryChanged(lower, true);
    workspace->finishUserResize(lower);
    EXPECT_EQ(rectOf(stored(upper).frame), QRectF(50, 500, 350, 300));
    EXPECT_EQ(window(lower)->shownFrame, QRectF(50, 300, 350, 200));
}

TEST_F(NoteWorkspaceMovesTest, TwoNotesDockedAboveGiveNoSeamNeighbour)
{
    const QUuid base = addNote(NoteSetup().at({100, 300, 300, 200}));
    const QUuid first = addNote(NoteSetup().dock(base, DockEdge::Above));
    const QUuid second = addNote(NoteSetup().dock(base, DockEdge::Above));
    workspace->presentAll(std::nullopt, false, false);
    const WindowFrame before = stored(first).frame;
    workspace->beginUserResize(base, QRectF(100, 300, 300, 200));
    window(base)->shownFrame = QRectF(100, 300, 300, 240);
    workspace->geometryChanged(base, true);
    EXPECT_EQ(stored(first).frame.height, before.height);
    EXPECT_EQ(stored(second).frame.height, before.height);
    workspace->cancelUserResize(base);
}

TEST_F(NoteWorkspaceMovesTest, LinksFollowTheDockingChainAndAreDetachedAroundAResize)
{
    const QUuid a = addNote(NoteSetup().at({100, 500, 300, 300}));
    const QUuid b = addNote(NoteSetup().dock(a, DockEdge::Below));
    const QUuid c = addNote(NoteSetup().dock(b, DockEdge::Below));
    const QUuid x = addNote(NoteSetup().at({900, 100, 300, 300}));
    const QUuid y = addNote(NoteSetup().dock(x, DockEdge::Right));
    Note looped = stored(x);
    looped.docking = NoteDock{y, DockEdge::Left};
    store->update(looped, false, false);
    workspace->presentAll(std::nullopt, false, false);

    EXPECT_EQ(workspace->linkParent(b), a);
    EXPECT_EQ(workspace->linkParent(c), b); // its direct target, not the chain's head
    EXPECT_EQ(window(c)->linkParent, window(b));
    EXPECT_FALSE(workspace->linkParent(x));
    EXPECT_FALSE(workspace->linkParent(y));

    workspace->beginUserResize(b, window(b)->shownFrame);
    EXPECT_FALSE(workspace->linkParent(b));
    EXPECT_FALSE(workspace->linkParent(c));
    workspace->syncNativeLinks(); // nothing while the resize runs
    EXPECT_FALSE(workspace->linkParent(c));
    workspace->finishUserResize(b);
    EXPECT_EQ(workspace->linkParent(c), b);

    Note hidden = stored(a);
    hidden.isHidden = true;
    store->update(hidden, false, false);
    workspace->syncNativeLinks();
    EXPECT_FALSE(workspace->linkParent(b));
    EXPECT_EQ(window(b)->linkParent, nullptr);
    EXPECT_EQ(workspace->linkParent(c), b);

    workspace->reset();
    EXPECT_FALSE(workspace->linkParent(c));
}

TEST_F(NoteWorkspaceMovesTest, BecomingKeyEndsTheOtherNotesSelections)
{
    makePair();
    workspace->clearSelections(target);
    EXPECT_EQ(window(target)->selectionsCollapsed, 0);
    EXPECT_EQ(window(dragged)->selectionsCollapsed, 1);
}

} // namespace
