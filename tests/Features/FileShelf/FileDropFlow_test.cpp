#include "Features/FileShelf/FileDropFlow.h"

#include "Features/FileShelf/FakeDropTiming.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorrin {
namespace {

using Mode = FileDropFlow::Mode;

const QUuid taskA = QUuid::fromString(QStringLiteral("{00000000-0000-0000-0000-00000000000a}"));
const QUuid taskB = QUuid::fromString(QStringLiteral("{00000000-0000-0000-0000-00000000000b}"));
const QList<QUrl> someFiles{QUrl::fromLocalFile(QStringLiteral("/tmp/报告.pdf"))};

// Overlay 300 × 400: the upper pane is y < 200, the strip y < 28.
const QPointF upper(150, 100);
const QPointF lower(150, 300);
const QPointF strip(150, 10);
const QPointF onA(150, 120);
const QPointF onB(150, 320);
const QPointF besideTasks(150, 200);
const QPointF outside(150, 450);

struct Recorded {
    int begins = 0;
    std::vector<bool> taskTargets;
    std::vector<QPointF> scrolls;
    struct Drop {
        QList<QUrl> files;
        std::optional<QUuid> blockID;
    };
    std::vector<Drop> drops;
    bool visible = false;
};

struct Harness {
    explicit Harness(bool tasks = true)
        : hasTasks(tasks)
    {
        auto [timing, handle] = test::fakeDropTiming();
        clock = handle;
        FileDropFlow::Callbacks callbacks;
        callbacks.hasTasks = [this] { return hasTasks; };
        callbacks.onBegin = [this] { ++seen.begins; };
        callbacks.onTaskTargets = [this](bool shown) { seen.taskTargets.push_back(shown); };
        if (hasTasks)
            rects = {{taskA, QRectF(10, 100, 280, 40)}, {taskB, QRectF(10, 300, 280, 40)}};
        callbacks.taskRects = [this] { return rects; };
        callbacks.onScroll = [this](QPointF point) { seen.scrolls.push_back(point); };
        callbacks.onDrop = [this](const QList<QUrl>& files, std::optional<QUuid> blockID) {
            seen.drops.push_back({files, blockID});
            return dropAnswer;
        };
        callbacks.onVisibility = [this](bool visible) { seen.visible = visible; };
        flow = std::make_unique<FileDropFlow>(std::move(callbacks), std::move(timing));
        flow->setBounds(QSizeF(300, 400));
    }

    void enter(quint64 session = 1, QPointF at = lower)
    {
        flow->begin(session);
        flow->update(at);
    }
    void toTasks()
    {
        enter();
        flow->update(upper);
        clock.advance(FileDropFlow::hoverDelay);
    }

    bool hasTasks;
    std::map<QUuid, QRectF> rects;
    bool dropAnswer = true;
    Recorded seen;
    test::DropClock clock;
    std::unique_ptr<FileDropFlow> flow;
};

struct TransitionCase {
    const char* name;
    bool hasTasks;
    std::function<void(Harness&)> steps;
    Mode mode;
    int begins;
    std::vector<bool> taskTargets;
    std::vector<std::optional<QUuid>> dropTargets;
};

class FileDropFlowTransitions : public testing::TestWithParam<TransitionCase> {};

TEST_P(FileDropFlowTransitions, EndsInTheExpectedState)
{
    const TransitionCase& c = GetParam();
    Harness h(c.hasTasks);
    c.steps(h);

    EXPECT_EQ(h.flow->mode(), c.mode);
    EXPECT_EQ(h.seen.visible, c.mode != Mode::Idle);
    EXPECT_EQ(h.seen.begins, c.begins);
    EXPECT_EQ(h.seen.taskTargets, c.taskTargets);
    ASSERT_EQ(h.seen.drops.size(), c.dropTargets.size());
    for (size_t i = 0; i < c.dropTargets.size(); ++i) {
        EXPECT_EQ(h.seen.drops[i].blockID, c.dropTargets[i]);
        EXPECT_EQ(h.seen.drops[i].files, someFiles);
    }
    if (c.mode == Mode::Idle) {
        EXPECT_FALSE(h.flow->session());
        EXPECT_FALSE(h.flow->hoveredTask());
        EXPECT_FALSE(h.flow->pendingHover());
    }
}

const TransitionCase transitionCases[] = {
    {"EnteringStartsChoosing", true, [](Harness& h) { h.enter(); }, Mode::Choosing, 1, {}, {}},
    {"SameSessionDoesNotBeginAgain", true,
     [](Harness& h) {
         h.enter(7);
         h.flow->begin(7);
     },
     Mode::Choosing, 1, {}, {}},
    {"OtherSessionRestarts", true,
     [](Harness& h) {
         h.enter(7);
         h.flow->begin(8);
     },
     Mode::Choosing, 2, {}, {}},
    {"RestingOnUpperPaneShowsTasks", true, [](Harness& h) { h.toTasks(); }, Mode::Tasks, 1, {true}, {}},
    {"UpperPaneWithoutTodosNeverSwitches", false,
     [](Harness& h) {
         h.enter();
         h.flow->update(upper);
         h.clock.advance(2);
     },
     Mode::Choosing, 1, {}, {}},
    {"RestingInStripReturnsToChoices", true,
     [](Harness& h) {
         h.toTasks();
         h.flow->update(strip);
         h.clock.advance(FileDropFlow::hoverDelay);
     },
     Mode::Choosing, 1, {true, false}, {}},
    {"DropOnLowerPaneStagesOnNote", true,
     [](Harness& h) {
         h.enter();
         EXPECT_TRUE(h.flow->accept(someFiles, lower));
     },
     Mode::Idle, 1, {}, {std::nullopt}},
    {"DropOnUpperPaneIsRefused", true,
     [](Harness& h) {
         h.enter();
         EXPECT_FALSE(h.flow->accept(someFiles, upper));
     },
     Mode::Idle, 1, {}, {}},
    {"DropOnTodoStagesOnTodo", true,
     [](Harness& h) {
         h.toTasks();
         h.flow->update(onB);
         EXPECT_TRUE(h.flow->accept(someFiles, onB));
     },
     Mode::Idle, 1, {true, false}, {taskB}},
    {"DropInStripIsRefused", true,
     [](Harness& h) {
         h.toTasks();
         EXPECT_FALSE(h.flow->accept(someFiles, strip));
     },
     Mode::Idle, 1, {true, false}, {}},
    {"DropBesideTodosIsRefused", true,
     [](Harness& h) {
         h.toTasks();
         EXPECT_FALSE(h.flow->accept(someFiles, besideTasks));
     },
     Mode::Idle, 1, {true, false}, {}},
    {"RefusedByTheWindow", true,
     [](Harness& h) {
         h.dropAnswer = false;
         h.enter();
         EXPECT_FALSE(h.flow->accept(someFiles, lower));
     },
     Mode::Idle, 1, {}, {std::nullopt}},
    {"DropWithoutFilesIsRefused", true,
     [](Harness& h) {
         h.enter();
         EXPECT_FALSE(h.flow->accept({}, lower));
     },
     Mode::Idle, 1, {}, {}},
    {"DropWhileIdleIsRefused", true, [](Harness& h) { EXPECT_FALSE(h.flow->accept(someFiles, lower)); },
     Mode::Idle, 0, {}, {}},
    {"DragLeavesTheBounds", true, [](Harness& h) { h.enter(); h.flow->exited(outside); }, Mode::Idle, 1, {}, {}},
    {"DragLeavesFromTasks", true, [](Harness& h) { h.toTasks(); h.flow->exited(outside); }, Mode::Idle, 1,
     {true, false}, {}},
    {"DragExitWithoutLocation", true, [](Harness& h) { h.enter(); h.flow->exited(std::nullopt); }, Mode::Idle,
     1, {}, {}},
    {"HandedToAnotherViewKeepsTheSession", true,
     [](Harness& h) {
         h.toTasks();
         h.flow->exited(onA);
         h.flow->begin(1);
         h.flow->update(onA);
         h.clock.advance(0.01);
     },
     Mode::Tasks, 1, {true}, {}},
    {"CancelledInsideEndsOnTheNextTurn", true,
     [](Harness& h) {
         h.toTasks();
         h.flow->exited(onA);
         h.clock.advance(0);
     },
     Mode::Idle, 1, {true, false}, {}},
    {"DragEnds", true, [](Harness& h) { h.toTasks(); h.flow->end(); }, Mode::Idle, 1, {true, false}, {}},
    {"OtherSessionLeavesTasks", true, [](Harness& h) { h.toTasks(); h.flow->begin(2); }, Mode::Choosing, 2,
     {true, false}, {}},
};

INSTANTIATE_TEST_SUITE_P(, FileDropFlowTransitions, testing::ValuesIn(transitionCases),
                         [](const testing::TestParamInfo<TransitionCase>& info) { return info.param.name; });

struct ActionCase {
    const char* name;
    bool hasTasks;
    bool inTasks;
    QPointF point;
    Qt::DropAction action;
    bool wouldAccept;
};

class FileDropFlowAnswers : public testing::TestWithParam<ActionCase> {};

TEST_P(FileDropFlowAnswers, AnswerThePlaceUnderThePointer)
{
    const ActionCase& c = GetParam();
    Harness h(c.hasTasks);
    if (c.inTasks)
        h.toTasks();
    else
        h.enter();
    EXPECT_EQ(h.flow->update(c.point), c.action);
    EXPECT_EQ(h.flow->wouldAccept(c.point), c.wouldAccept);
}

const ActionCase actionCases[] = {
    {"LowerPane", true, false, lower, Qt::CopyAction, true},
    {"UpperPaneWithTodos", true, false, upper, Qt::CopyAction, false},
    {"UpperPaneWithoutTodos", false, false, upper, Qt::IgnoreAction, false},
    {"OutsideWhileChoosing", true, false, outside, Qt::IgnoreAction, false},
    {"OnATodo", true, true, onA, Qt::CopyAction, true},
    {"BesideTheTodos", true, true, besideTasks, Qt::IgnoreAction, false},
    {"InTheStrip", true, true, strip, Qt::IgnoreAction, false},
};

INSTANTIATE_TEST_SUITE_P(, FileDropFlowAnswers, testing::ValuesIn(actionCases),
                         [](const testing::TestParamInfo<ActionCase>& info) { return info.param.name; });

TEST(FileDropFlow, TheHoverCountsFromTheFirstRequest)
{
    Harness h;
    h.enter();
    h.flow->update(upper);
    h.clock.advance(0.3);
    h.flow->update(upper + QPointF(20, 20)); // still the upper half
    h.clock.advance(0.14);
    EXPECT_EQ(h.flow->mode(), Mode::Choosing);
    h.clock.advance(0.011);
    EXPECT_EQ(h.flow->mode(), Mode::Tasks);
}

TEST(FileDropFlow, LeavingTheUpperHalfCancelsTheHover)
{
    Harness h;
    h.enter();
    h.flow->update(upper);
    h.clock.advance(0.3);
    h.flow->update(lower);
    EXPECT_FALSE(h.flow->pendingHover());
    h.flow->update(upper);
    h.clock.advance(0.44);
    EXPECT_EQ(h.flow->mode(), Mode::Choosing);
    h.clock.advance(0.02);
    EXPECT_EQ(h.flow->mode(), Mode::Tasks);
}

TEST(FileDropFlow, LeavingTheStripCancelsTheWayBack)
{
    Harness h;
    h.toTasks();
    h.flow->update(strip);
    h.clock.advance(0.3);
    h.flow->update(onA);
    h.clock.advance(1);
    EXPECT_EQ(h.flow->mode(), Mode::Tasks);
    EXPECT_EQ(h.flow->hoveredTask(), taskA);
}

TEST(FileDropFlow, AutoScrollIsThrottledAndOnlyBelowTheStrip)
{
    Harness h;
    h.toTasks();
    h.seen.scrolls.clear();

    // Moving every 10 ms for 0.2 s scrolls once per 0.035 s.
    for (int step = 0; step < 20; ++step) {
        h.flow->update(besideTasks);
        h.clock.advance(0.01);
    }
    const size_t moving = h.seen.scrolls.size();
    EXPECT_GE(moving, 5u);
    EXPECT_LE(moving, 6u);

    // In the strip nothing scrolls.
    h.seen.scrolls.clear();
    for (int step = 0; step < 10; ++step) {
        h.flow->update(strip);
        h.clock.advance(0.01);
    }
    EXPECT_TRUE(h.seen.scrolls.empty());
}

TEST(FileDropFlow, ScrollingGoesOnWhileThePointerRests)
{
    Harness h;
    h.toTasks();
    h.flow->update(besideTasks);
    h.seen.scrolls.clear();
    h.clock.advance(0.4); // no drag event at all
    EXPECT_GE(h.seen.scrolls.size(), 8u);
    for (const QPointF& point : h.seen.scrolls)
        EXPECT_EQ(point, besideTasks);

    // Once the session ends the repetition stops.
    h.flow->end();
    h.seen.scrolls.clear();
    h.clock.advance(1);
    EXPECT_TRUE(h.seen.scrolls.empty());
}

TEST(FileDropFlow, ATodoScrolledUnderTheRestingPointerIsHovered)
{
    Harness h;
    h.toTasks();
    h.flow->update(besideTasks);
    EXPECT_FALSE(h.flow->hoveredTask());
    // Scrolling moves a todo under the resting pointer.
    h.rects[taskB] = QRectF(10, 180, 280, 40);
    h.clock.advance(FileDropFlow::restInterval);
    EXPECT_EQ(h.flow->hoveredTask(), taskB);
}

TEST(FileDropFlow, PanesSplitTheOverlay)
{
    EXPECT_EQ(filedrop::pane(QSizeF(300, 400), true), QRectF(14, 8, 272, 187));
    EXPECT_EQ(filedrop::pane(QSizeF(300, 400), false), QRectF(14, 205, 272, 187));
    EXPECT_EQ(filedrop::pane(QSizeF(20, 20), true), QRectF(14, 8, 0, 0));
    EXPECT_EQ(filedrop::taskHighlight(QRectF(10, 100, 280, 40)), QRectF(12, 101, 276, 38));
}

} // namespace
} // namespace quorrin
