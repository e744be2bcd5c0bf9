#include "Editor/ArchiveStrip.h"
#include "Editor/EditorAnimations.h"

#include "EditorTestSupport.h"

#include <QPointer>
#include <QTest>
#include <QUndoStack>

namespace quorrin {
namespace {

using namespace quorrin::testing;

TEST(ArchiveStripRules, StripBelowAndSlivers)
{
    const auto geometry = archivestrip::geometry(QRectF(40, 100, 200, 20), 150, 300, 400);
    EXPECT_EQ(geometry.strip, QRectF(0, 98, 300, 61));
    EXPECT_EQ(geometry.below, QRectF(0, 159, 300, 241));
    EXPECT_EQ(archivestrip::geometry(QRectF(0, 380, 10, 20), 400, 300, 400).below.height(), 0);

    EXPECT_EQ(archivestrip::sliverCount(50), 20);  // narrow strips still break into 20
    EXPECT_EQ(archivestrip::sliverCount(150), 50);
    EXPECT_EQ(archivestrip::sliverCount(1000), 90);
    EXPECT_EQ(archivestrip::sliverFrame(3, 20, QSizeF(200, 30)), QRectF(30, 0, 10.5, 30));
    EXPECT_EQ(archivestrip::sliverSource(19, 20, QSizeF(400, 60)), QRectF(380, 0, 20, 60));
    EXPECT_DOUBLE_EQ(archivestrip::easeInOut(0), 0);
    EXPECT_NEAR(archivestrip::easeInOut(0.5), 0.5, 1e-3);
    EXPECT_DOUBLE_EQ(archivestrip::easeOut(1), 1);
    EXPECT_GT(archivestrip::easeOut(0.5), 0.5);
}

class AnimationTest : public EditorFixture {
protected:
    double now = 0;
    EditorAnimations* animations = nullptr;
    std::vector<std::pair<QUuid, QUuid>> alarms;

    void openWith(std::vector<Block> blocks)
    {
        open(std::move(blocks));
        editor->prefersReducedMotion = [] { return false; };
        // Replaces the editor's own animations with ones on a clock of the test's.
        animations = new EditorAnimations(*editor, [this] { return now; });
        editor->alarmCenter = [this] { return alarms; };
    }
};

TEST_F(AnimationTest, TheRevealGrowsTheIndentOver022Seconds)
{
    Block line = makeBlock(BlockKind::Paragraph, QStringLiteral("行"));
    openWith({line});
    editor->convert(line.id, BlockKind::Todo);
    EXPECT_EQ(editor->revealProgress.at(line.id), 0);
    EXPECT_TRUE(animations->isRevealRunning());
    now = 0.11;
    animations->revealTick();
    EXPECT_NEAR(editor->revealProgress.at(line.id), 0.5, 1e-9);
    now = 0.22;
    animations->revealTick();
    EXPECT_FALSE(editor->revealProgress.count(line.id));
    EXPECT_FALSE(animations->isRevealRunning());

    // A new conversion ends a running reveal first.
    editor->convert(line.id, BlockKind::Paragraph);
    editor->convert(line.id, BlockKind::Todo);
    EXPECT_TRUE(animations->isRevealRunning());
    editor->history()->undo(); // the todo is gone: the reveal ends
    EXPECT_FALSE(animations->isRevealRunning());
    EXPECT_TRUE(editor->revealProgress.empty());
}

TEST_F(AnimationTest, ThePulseBreathesWhileAnAlarmRingsAndRestsAfterwards)
{
    Block todo = makeBlock(BlockKind::Todo, QStringLiteral("响"));
    openWith({todo});
    alarms = {{noteID, todo.id}};
    editor->refreshAlarmVisuals();
    EXPECT_TRUE(animations->isPulseRunning());
    EXPECT_NEAR(editor->alarmPulse(), 0.51, 1e-9);
    for (now = 0; now < 2; now += 1.0 / 30) {
        animations->pulseTick();
        EXPECT_GE(editor->alarmPulse(), 0.12 - 1e-9);
        EXPECT_LE(editor->alarmPulse(), 0.90 + 1e-9);
    }
    alarms = {{QUuid::createUuid(), todo.id}}; // another note's alarm
    animations->pulseTick();
    EXPECT_FALSE(animations->isPulseRunning());
    EXPECT_EQ(editor->alarmPulse(), 1);

    alarms = {{noteID, todo.id}};
    editor->prefersReducedMotion = [] { return true; };
    editor->refreshAlarmVisuals();
    EXPECT_FALSE(animations->isPulseRunning());
    EXPECT_EQ(editor->alarmPulse(), 0.75);
    alarms.clear();
    editor->refreshAlarmVisuals();
    EXPECT_EQ(editor->alarmPulse(), 1);

    store->preferences_.animations = false;
    editor->prefersReducedMotion = [] { return false; };
    alarms = {{noteID, todo.id}};
    editor->refreshAlarmVisuals();
    EXPECT_FALSE(animations->isPulseRunning());
    EXPECT_EQ(editor->alarmPulse(), 0.75);
}

TEST_F(AnimationTest, TimersStopWhenTheEditorGoes)
{
    Block todo = makeBlock(BlockKind::Todo, QStringLiteral("响"));
    Block line = makeBlock(BlockKind::Paragraph, QStringLiteral("行"));
    open({todo, line});
    editor->prefersReducedMotion = [] { return false; };
    editor->alarmCenter = [this, id = todo.id] { return std::vector{std::pair{noteID, id}}; };
    editor->refreshAlarmVisuals();
    editor->convert(line.id, BlockKind::Todo);
    QPointer<EditorAnimations> own = editor->animations();
    ASSERT_TRUE(own);
    EXPECT_TRUE(own->isPulseRunning());
    EXPECT_TRUE(own->isRevealRunning());
    editor.reset();
    EXPECT_FALSE(own);
    QTest::qWait(50); // no tick reaches a gone editor
}

class ArchiveTest : public EditorFixture {
protected:
    Block done = makeBlock(BlockKind::Todo, QStringLiteral("完成的待办"));
    Block open_ = makeBlock(BlockKind::Todo, QStringLiteral("未完成"));
    Block after = makeBlock(BlockKind::Paragraph, QStringLiteral("下面的文字"));

    Note archiveWith(bool animations)
    {
        done.todo->isCompleted = true;
        done.todo->completedAt = fixedNow();
        open({open_, done, after});
        store->preferences_.animations = animations;
        editor->prefersReducedMotion = [] { return false; };
        editor->show();
        EXPECT_TRUE(editor->archive(done.id));
        EXPECT_EQ(editor->history()->undoText(), QStringLiteral("归档待办"));
        return stored();
    }
    int stripViews() const { return int(editor->findChildren<ArchiveStripView*>().size()); }
};

TEST_F(ArchiveTest, WithAndWithoutAnimationTheStoredNoteIsTheSame)
{
    const Note quiet = archiveWith(false);
    EXPECT_EQ(stripViews(), 0);
    EXPECT_FALSE(editor->isArchiving(done.id));
    EXPECT_EQ(quiet.blocks[1].todo->archivedAt, fixedNow());
    EXPECT_EQ(text(), QStringLiteral("未完成\n下面的文字\n"));

    const Note animated = archiveWith(true);
    EXPECT_EQ(animated.blocks, quiet.blocks);
    EXPECT_EQ(stripViews(), 1);
    EXPECT_TRUE(editor->isArchiving(done.id));
    EXPECT_FALSE(editor->archive(done.id)); // archived already, and still playing
    EXPECT_TRUE(QTest::qWaitFor([&] { return stripViews() == 0 && !editor->isArchiving(done.id); }, 10000));
}

TEST_F(ArchiveTest, OnlyACompletedShownTodoIsArchived)
{
    archiveWith(false);
    EXPECT_FALSE(editor->archive(open_.id));
    EXPECT_FALSE(editor->archive(after.id));
    EXPECT_FALSE(editor->archive(QUuid::createUuid()));
    EXPECT_EQ(stripViews(), 0);
}

TEST_F(ArchiveTest, AFailedSaveLeavesTheTodoAndPlaysNothing)
{
    done.todo->isCompleted = true;
    open({done, after});
    editor->show();
    store->failImmediateSaves = true;
    EXPECT_FALSE(editor->archive(done.id));
    EXPECT_FALSE(stored().blocks[0].isArchived());
    EXPECT_EQ(stripViews(), 0);
    EXPECT_FALSE(editor->isArchiving(done.id));
}

} // namespace
} // namespace quorrin
