#include "WorkspaceTest.h"

#include "Windows/GradualPresentation.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <functional>

using namespace quorrin;
using namespace quorrin::testing;

namespace {

QRectF rectOf(const WindowFrame& frame)
{
    return {frame.x, frame.y, frame.width, frame.height};
}

class NoteWorkspaceDockingTest : public WorkspaceTest {
protected:
    // A root with a note docked below it and a third docked below that.
    void makeColumn()
    {
        root = addNote(NoteSetup().at({100, 600, 300, 300}));
        middle = addNote(NoteSetup().at({700, 100, 260, 200}).dock(root, DockEdge::Below));
        tail = addNote(NoteSetup().at({20, 20, 250, 180}).dock(middle, DockEdge::Below));
        workspace->presentAll(std::nullopt, false, false);
    }

    void change(const QUuid& id, const std::function<void(Note&)>& edit)
    {
        Note note = stored(id);
        edit(note);
        store->update(note, false, false);
    }

    // The window system reports the window where it is now; answers how often
    // the standard handling ran.
    int reportServerMove(const QUuid& id)
    {
        int dispatched = 0;
        workspace->handleServerGeometryEvent(id, [&] {
            ++dispatched;
            applyingWhileDispatched = workspace->isApplyingFrames();
        });
        return dispatched;
    }

    QUuid root;
    QUuid middle;
    QUuid tail;
    bool applyingWhileDispatched = false;
};

TEST_F(NoteWorkspaceDockingTest, ADockedChainOpensAgainstItsRootAndIsStored)
{
    makeColumn();
    EXPECT_EQ(rectOf(stored(middle).frame), QRectF(100, 400, 300, 200));
    EXPECT_EQ(rectOf(stored(tail).frame), QRectF(100, 220, 300, 180));
    EXPECT_EQ(window(middle)->shownFrame, QRectF(100, 400, 300, 200));
    EXPECT_EQ(window(tail)->shownFrame, QRectF(100, 220, 300, 180));
    // Placed from the root down.
    EXPECT_LT(window(middle)->applyStamp, window(tail)->applyStamp);
    EXPECT_EQ(stored(tail).docking, (NoteDock{middle, DockEdge::Below}));
    EXPECT_EQ(window(middle)->role, std::make_pair(true, false));
    EXPECT_EQ(window(root)->role, std::make_pair(false, true));
}

TEST_F(NoteWorkspaceDockingTest, CollapsingKeepsTheNoteInPlaceAndMovesItsFollowersUpAndBack)
{
    makeColumn();
    change(middle, [](Note& note) { note.isCollapsed = true; });
    workspace->geometryChanged(middle, true);
    EXPECT_EQ(window(middle)->shownFrame, QRectF(100, 545, 300, 55));
    EXPECT_EQ(rectOf(stored(middle).frame), QRectF(100, 400, 300, 200));
    EXPECT_EQ(window(tail)->shownFrame, QRectF(100, 365, 300, 180));
    EXPECT_EQ(window(root)->shownFrame, QRectF(100, 600, 300, 300));

    change(middle, [](Note& note) { note.isCollapsed = false; });
    workspace->geometryChanged(middle, true);
    EXPECT_EQ(window(middle)->shownFrame, QRectF(100, 400, 300, 200));
    EXPECT_EQ(window(tail)->shownFrame, QRectF(100, 220, 300, 180));
}

// Above its root, a note that collapses keeps its top by moving the root up:
// the store holds the frames the windows are given.
TEST_F(NoteWorkspaceDockingTest, ANoteAboveItsRootCollapsesInPlaceAndTheRootsNewFrameIsStored)
{
    root = addNote(NoteSetup().at({100, 300, 300, 300}));
    const QUuid above = addNote(NoteSetup().at({700, 100, 300, 200}).dock(root, DockEdge::Above));
    workspace->presentAll(std::nullopt, false, false);
    ASSERT_EQ(rectOf(stored(above).frame), QRectF(100, 600, 300, 200));

    change(above, [](Note& note) { note.isCollapsed = true; });
    workspace->geometryChanged(above, true);
    EXPECT_EQ(window(above)->shownFrame, QRectF(100, 745, 300, 55));
    EXPECT_EQ(window(root)->shownFrame, QRectF(100, 445, 300, 300));
    EXPECT_EQ(rectOf(stored(root).frame), QRectF(100, 445, 300, 300));
}

TEST_F(NoteWorkspaceDockingTest, ANewSizeTravelsUpAndDownTheColumnUntilAResetForgetsTheSizes)
{
    makeColumn();
    change(tail, [](Note& note) { note.frame = {100, 220, 420, 180}; });
    workspace->geometryChanged(tail, true);
    EXPECT_EQ(stored(root).frame.width, 420);
    EXPECT_EQ(stored(middle).frame.width, 420);
    EXPECT_EQ(window(root)->shownFrame, QRectF(100, 600, 420, 300));

    workspace->reset();
    change(tail, [](Note& note) { note.frame = {100, 220, 500, 180}; });
    workspace->geometryChanged(tail, true);
    // Nothing known about the last layout: the column keeps its root's width.
    EXPECT_EQ(stored(root).frame.width, 420);
    EXPECT_EQ(stored(tail).frame.width, 420);
}

TEST_F(NoteWorkspaceDockingTest, AFrameBelowTheMinimumIsGrownWhenTheWindowIsAttached)
{
    const QUuid tiny = addNote(NoteSetup().at({100, 500, 120, 40}));
    workspace->presentAll(std::nullopt, false, false);
    EXPECT_EQ(rectOf(stored(tiny).frame), QRectF(100, 380, 250, 160));
}

TEST_F(NoteWorkspaceDockingTest, AttachingKeepsAFractionalFrameWithinAPixelOfItsWindow)
{
    const QUuid note = addNote(NoteSetup().at({100.4, 200.3, 300.2, 299.6}));
    host.ensureController(note); // the fake window stands at the stored frame
    FakeWorkspaceWindow& shown = *window(note);
    shown.shownFrame = QRectF(100, 200, 300, 300);
    workspace->attach(shown);
    EXPECT_EQ(stored(note).frame, (WindowFrame{100.4, 200.3, 300.2, 299.6}));
}

TEST_F(NoteWorkspaceDockingTest, WindowsTheWindowSystemMovedAreSetBackWithTheirFollowers)
{
    makeColumn();
    workspace->addManagedMoves(workspace->component(root));

    window(root)->shownFrame.translate(40, -25);
    window(tail)->shownFrame.translate(3, 0);
    EXPECT_EQ(reportServerMove(root), 1);
    EXPECT_TRUE(applyingWhileDispatched);
    EXPECT_EQ(window(root)->shownFrame, QRectF(100, 600, 300, 300));
    EXPECT_EQ(window(tail)->shownFrame, QRectF(100, 220, 300, 180));
    EXPECT_FALSE(workspace->isApplyingFrames());

    // A follower alone is put back against its own stored frame.
    window(middle)->shownFrame.translate(0, 12);
    EXPECT_TRUE(workspace->reconcileServerMove(middle));
    EXPECT_EQ(window(middle)->shownFrame, QRectF(100, 400, 300, 200));
    EXPECT_FALSE(workspace->reconcileServerMove(middle)); // nothing strays any more
}

TEST_F(NoteWorkspaceDockingTest, ComparisonsAllowOneDevicePixel)
{
    makeColumn();
    workspace->addManagedMoves(workspace->component(root));
    window(middle)->scale = 2;
    window(middle)->shownFrame.translate(0.5, 0);
    EXPECT_FALSE(workspace->reconcileServerMove(middle));
    window(middle)->shownFrame.translate(0.1, 0);
    EXPECT_TRUE(workspace->reconcileServerMove(middle));
    EXPECT_EQ(window(middle)->shownFrame, QRectF(100, 400, 300, 200));
}

TEST_F(NoteWorkspaceDockingTest, CollapsedNotesAreComparedAndRestoredAtTheirStrip)
{
    makeColumn();
    change(middle, [](Note& note) { note.isCollapsed = true; });
    workspace->geometryChanged(middle, true);
    workspace->addManagedMoves(workspace->component(root));
    window(middle)->shownFrame = QRectF(100, 400, 300, 200);
    EXPECT_TRUE(workspace->reconcileServerMove(middle));
    EXPECT_EQ(window(middle)->shownFrame, QRectF(100, 545, 300, 55));
}

TEST_F(NoteWorkspaceDockingTest, EventsOfUnmanagedOrResizedWindowsGetOnlyTheStandardHandling)
{
    makeColumn();
    window(root)->shownFrame.translate(40, 0);
    EXPECT_EQ(reportServerMove(root), 1);
    EXPECT_FALSE(applyingWhileDispatched);
    EXPECT_EQ(window(root)->shownFrame, QRectF(140, 600, 300, 300));

    workspace->addManagedMoves(workspace->component(root));
    window(root)->userResizing = true;
    EXPECT_EQ(reportServerMove(root), 1);
    EXPECT_EQ(window(root)->shownFrame, QRectF(140, 600, 300, 300));

    window(root)->userResizing = false;
    workspace->reset(); // forgets which windows are managed
    EXPECT_EQ(reportServerMove(root), 1);
    EXPECT_EQ(window(root)->shownFrame, QRectF(140, 600, 300, 300));
}

TEST_F(NoteWorkspaceDockingTest, ALateAnswerThatGrantsTheFrameChangesNothing)
{
    makeColumn();
    workspace->addManagedMoves(workspace->component(root));
    const int applied = window(tail)->frameApplications;
    // The window system confirms the frame long after the layout set it.
    EXPECT_EQ(reportServerMove(tail), 1);
    EXPECT_EQ(window(tail)->frameApplications, applied);
    EXPECT_EQ(window(tail)->shownFrame, QRectF(100, 220, 300, 180));
}

TEST_F(NoteWorkspaceDockingTest, AWindowManagerThatKeepsRefusingAFrameIsFollowedAfterTheSecondSameAnswer)
{
    makeColumn();
    workspace->addManagedMoves(workspace->component(root));
    // The window manager keeps the follower's bottom at 300 or above.
    const auto windowManager = [](QRectF frame) {
        if (frame.y() < 300)
            frame.moveTop(300);
        return frame;
    };
    FakeWorkspaceWindow& follower = *window(tail);
    int rounds = 0;
    int answered = 0;
    while (follower.frameApplications != answered && rounds < 10) {
        answered = follower.frameApplications;
        follower.shownFrame = windowManager(follower.shownFrame);
        reportServerMove(tail);
        ++rounds;
    }
    EXPECT_LE(rounds, 2);
    EXPECT_EQ(follower.shownFrame, QRectF(100, 300, 300, 180));
    // Its answer is what the note now records.
    EXPECT_EQ(rectOf(stored(tail).frame), QRectF(100, 300, 300, 180));
    // A layout that wants the refused frame again takes the answer instead.
    const int before = follower.frameApplications;
    workspace->reflow();
    EXPECT_EQ(follower.frameApplications, before);
    EXPECT_EQ(rectOf(stored(tail).frame), QRectF(100, 300, 300, 180));
}

TEST_F(NoteWorkspaceDockingTest, AGradualLaunchMakesDockedWindowsWhereTheLayoutPutsThem)
{
    // The tail comes first and the root last, so each window is made before
    // the window its note docks to.
    tail = addNote(NoteSetup().at({20, 20, 250, 180}));
    middle = addNote(NoteSetup().at({700, 100, 260, 200}));
    for (size_t index = 0; index < GradualPresentation::immediateLimit; ++index)
        addNote(NoteSetup().at({double(index) * 10, 500, 300, 300}));
    root = addNote(NoteSetup().at({100, 600, 300, 300}));
    change(tail, [&](Note& note) { note.docking = NoteDock{middle, DockEdge::Below}; });
    change(middle, [&](Note& note) { note.docking = NoteDock{root, DockEdge::Below}; });

    bool finished = false;
    workspace->presentAllGradually([&] { finished = true; });
    ASSERT_FALSE(finished);
    EXPECT_EQ(rectOf(stored(middle).frame), QRectF(100, 400, 300, 200));
    EXPECT_EQ(rectOf(stored(tail).frame), QRectF(100, 220, 300, 180));
    for (int turn = 0; turn < 1000 && !finished; ++turn)
        QCoreApplication::processEvents();
    ASSERT_TRUE(finished);

    for (const auto& made : host.windows) {
        SCOPED_TRACE(made->id.toString().toStdString());
        EXPECT_EQ(made->frameMoves, 0);
        EXPECT_EQ(made->shownFrame, rectOf(stored(made->id).frame));
    }
    EXPECT_EQ(window(tail)->shownFrame, QRectF(100, 220, 300, 180));
    EXPECT_EQ(workspace->linkParent(tail), middle);
    EXPECT_EQ(workspace->linkParent(middle), root);
}

TEST_F(NoteWorkspaceDockingTest, FramesAreAppliedRootsFirstWithTheLeaderAheadOfTheOtherRoots)
{
    makeColumn();
    const QUuid other = addNote(NoteSetup().at({900, 600, 300, 300}));
    host.ensureController(other);
    QHash<QUuid, QRectF> frames{{tail, QRectF(0, 0, 300, 180)},
                                {middle, QRectF(0, 180, 300, 200)},
                                {root, QRectF(0, 380, 300, 300)},
                                {other, QRectF(900, 0, 300, 300)}};
    workspace->applyFramesTogether(frames, other);
    EXPECT_LT(window(other)->applyStamp, window(root)->applyStamp);
    EXPECT_LT(window(root)->applyStamp, window(middle)->applyStamp);
    EXPECT_LT(window(middle)->applyStamp, window(tail)->applyStamp);
    EXPECT_FALSE(workspace->isApplyingFrames());
}

TEST_F(NoteWorkspaceDockingTest, GraphQueriesFollowTheStore)
{
    makeColumn();
    EXPECT_EQ(workspace->descendants(root), (QSet<QUuid>{middle, tail}));
    EXPECT_EQ(workspace->component(tail), (QSet<QUuid>{root, middle, tail}));
    EXPECT_TRUE(workspace->hasConnection(root));
    const QUuid alone = addNote(NoteSetup());
    EXPECT_EQ(workspace->component(alone), QSet<QUuid>{alone});
    EXPECT_FALSE(workspace->hasConnection(alone));
}

} // namespace
