#include "Editor/BlockControlLayout.h"

#include "EditorTestSupport.h"

#include <gtest/gtest.h>

namespace quorrin {
namespace {

using gutterlayout::controlAt;
using gutterlayout::hitBox;
using testing::makeBlock;

Block completedTodo()
{
    Block block = makeBlock(BlockKind::Todo, QStringLiteral("done"));
    block.todo->isCompleted = true;
    return block;
}

TEST(BlockControlLayout, PlacesTheSevenControlsAroundTheFirstLinesMiddle)
{
    const Block todo = makeBlock(BlockKind::Todo, QStringLiteral("x"));
    const BlockControlLayout layout = gutterlayout::layout(&todo, 100, 300, 14);
    EXPECT_EQ(layout.menuHandle, QRectF(7, 93, 14, 14));
    EXPECT_EQ(layout.checkbox, QRectF(27.5, 93.5, 13, 13));
    EXPECT_EQ(layout.priorityBar, QRectF(49, 94.75, 4, 10.5));
    EXPECT_EQ(layout.notesChevron, QRectF(231.5, 93.5, 13, 13));
    EXPECT_EQ(layout.archiveButton, QRectF(252.5, 92.5, 15, 15));
    EXPECT_EQ(layout.dragHandle, QRectF(275.5, 93.5, 13, 13));
    EXPECT_EQ(layout.reminderBell, QRectF(55, 95, 10, 10));
}

TEST(BlockControlLayout, MenuHandleStandsFurtherInForBulletsAndTodosOnly)
{
    const struct {
        std::optional<BlockKind> kind;
        double x;
    } cases[] = {{BlockKind::Paragraph, 3}, {BlockKind::H1, 3},    {BlockKind::Bullet, 7},
                 {BlockKind::Todo, 7},      {BlockKind::Image, 3}, {std::nullopt, 3}};
    for (const auto& c : cases) {
        const Block block = makeBlock(c.kind.value_or(BlockKind::Paragraph), QStringLiteral("x"));
        const BlockControlLayout layout = gutterlayout::layout(c.kind ? &block : nullptr, 50, 200, 14);
        EXPECT_EQ(layout.menuHandle.x(), c.x);
    }
}

TEST(BlockControlLayout, PriorityBarIsThreeQuartersOfTheFontBetween8And12)
{
    const std::pair<double, double> cases[] = {{6, 8}, {10.7, 8.025}, {14, 10.5}, {16, 12}, {30, 12}};
    for (const auto& [pointSize, height] : cases)
        EXPECT_DOUBLE_EQ(gutterlayout::layout(nullptr, 0, 100, pointSize).priorityBar.height(), height) << pointSize;
}

TEST(BlockControlLayout, EveryHitBoxIs18By18AboutItsControlsCentre)
{
    const BlockControlLayout layout = gutterlayout::layout(nullptr, 40, 250, 14);
    for (const BlockControl control :
         {BlockControl::MenuHandle, BlockControl::Checkbox, BlockControl::PriorityBar, BlockControl::NotesChevron,
          BlockControl::ArchiveButton, BlockControl::DragHandle, BlockControl::ReminderBell}) {
        const QRectF box = hitBox(layout[control]);
        EXPECT_EQ(box.size(), QSizeF(18, 18));
        EXPECT_EQ(box.center(), layout[control].center());
    }
}

TEST(BlockControlLayout, InteractiveControlsFollowKindCompletionAndReveal)
{
    using C = BlockControl;
    const Block paragraph = makeBlock(BlockKind::Paragraph, QStringLiteral("p"));
    const Block open = makeBlock(BlockKind::Todo, QStringLiteral("t"));
    const Block done = completedTodo();
    const struct {
        const Block* block;
        std::optional<double> reveal;
        std::vector<C> expected;
    } cases[] = {
        {&paragraph, std::nullopt, {C::MenuHandle, C::DragHandle}},
        {&open, std::nullopt, {C::MenuHandle, C::DragHandle, C::Checkbox, C::PriorityBar, C::NotesChevron}},
        {&done, std::nullopt,
         {C::MenuHandle, C::DragHandle, C::Checkbox, C::PriorityBar, C::NotesChevron, C::ArchiveButton}},
        {&open, 0.0, {C::MenuHandle, C::DragHandle}},
        {&open, 0.85, {C::MenuHandle, C::DragHandle}},
        {&open, 0.86, {C::MenuHandle, C::DragHandle, C::Checkbox, C::PriorityBar, C::NotesChevron}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(gutterlayout::interactiveControls(*c.block, c.reveal), c.expected);
}

// Both sides of every edge of every hit box of a completed todo (all its
// controls react), and of the gaps between them.
TEST(BlockControlLayout, HitTestingOnBothSidesOfEveryBoundary)
{
    using C = BlockControl;
    const Block done = completedTodo();
    const double middle = 100;
    const double width = 300;
    const BlockControlLayout layout = gutterlayout::layout(&done, middle, width, 14);
    const std::vector<C> interactive = gutterlayout::interactiveControls(done, std::nullopt);
    const double e = 0.01;
    const struct {
        QPointF point;
        std::optional<C> expected;
    } cases[] = {
        // menu handle: x 5...23, y 91...109
        {{5 - e, middle}, std::nullopt},
        {{5 + e, middle}, C::MenuHandle},
        {{23 - e, middle}, C::MenuHandle},
        {{14, 91 - e}, std::nullopt},
        {{14, 91 + e}, C::MenuHandle},
        {{14, 109 - e}, C::MenuHandle},
        {{14, 109 + e}, std::nullopt},
        // the gap between the menu handle and the checkbox: 23...25
        {{24, middle}, std::nullopt},
        // checkbox: x 25...43
        {{25 - e, middle}, std::nullopt},
        {{25 + e, middle}, C::Checkbox},
        {{34, 91 + e}, C::Checkbox},
        {{34, 91 - e}, std::nullopt},
        // checkbox and priority bar overlap on 42...43: the bar wins
        {{42 - e, middle}, C::Checkbox},
        {{42 + e, middle}, C::PriorityBar},
        {{43 + e, middle}, C::PriorityBar},
        // priority bar: x 42...60; the bell beyond it never reacts
        {{60 - e, middle}, C::PriorityBar},
        {{60 + e, middle}, std::nullopt},
        {{62, middle}, std::nullopt},
        // the text between the left and right controls
        {{150, middle}, std::nullopt},
        // notes chevron: x W-71...W-53
        {{width - 71 - e, middle}, std::nullopt},
        {{width - 71 + e, middle}, C::NotesChevron},
        {{width - 53 - e, middle}, C::NotesChevron},
        {{width - 52, middle}, std::nullopt},
        // archive button: x W-49...W-31
        {{width - 49 - e, middle}, std::nullopt},
        {{width - 49 + e, middle}, C::ArchiveButton},
        {{width - 31 - e, middle}, C::ArchiveButton},
        {{width - 30, middle}, std::nullopt},
        // drag handle: x W-27...W-9
        {{width - 27 - e, middle}, std::nullopt},
        {{width - 27 + e, middle}, C::DragHandle},
        {{width - 9 - e, middle}, C::DragHandle},
        {{width - 9 + e, middle}, std::nullopt},
        {{width - 18, 91 - e}, std::nullopt},
        {{width - 18, 109 - e}, C::DragHandle},
    };
    for (const auto& c : cases)
        EXPECT_EQ(controlAt(c.point, layout, interactive), c.expected) << c.point.x() << "," << c.point.y();
}

TEST(BlockControlLayout, OnlyTheHandlesOfAParagraphReact)
{
    const Block paragraph = makeBlock(BlockKind::Paragraph, QStringLiteral("p"));
    const BlockControlLayout layout = gutterlayout::layout(&paragraph, 50, 200, 14);
    const auto interactive = gutterlayout::interactiveControls(paragraph, std::nullopt);
    EXPECT_EQ(controlAt(layout.checkbox.center(), layout, interactive), std::nullopt);
    EXPECT_EQ(controlAt(layout.archiveButton.center(), layout, interactive), std::nullopt);
    EXPECT_EQ(controlAt(QPointF(2, 50), layout, interactive), BlockControl::MenuHandle); // 3 - 2 = 1 ... 19
    EXPECT_EQ(controlAt(QPointF(19.5, 50), layout, interactive), std::nullopt);
    EXPECT_EQ(controlAt(layout.dragHandle.center(), layout, interactive), BlockControl::DragHandle);
}

TEST(BlockControlLayout, ToolTipNamesWhatTheRowOffers)
{
    Block todo = makeBlock(BlockKind::Todo, QStringLiteral("t"));
    const Block paragraph = makeBlock(BlockKind::Paragraph, QStringLiteral("p"));
    EXPECT_EQ(gutterlayout::toolTip(nullptr), QStringLiteral("悬停双灰点打开内容块操作；拖动右侧手柄排序"));
    EXPECT_EQ(gutterlayout::toolTip(&paragraph), QStringLiteral("悬停双灰点打开内容块操作；拖动右侧手柄排序"));
    EXPECT_EQ(gutterlayout::toolTip(&todo), QStringLiteral("点击彩色标识切换优先级；悬停左侧双灰点打开内容块操作"));
    todo.todo->reminder = TodoReminder{Date{1}, std::nullopt, std::nullopt};
    EXPECT_EQ(gutterlayout::toolTip(&todo),
              QStringLiteral("此待办已设置提醒；点击彩色标识切换优先级；悬停左侧双灰点打开内容块操作"));
}

TEST(BlockControlLayout, DropGoesToTheNearestRowAboveOrBelowItsMiddle)
{
    const QUuid a = QUuid::createUuid();
    const QUuid b = QUuid::createUuid();
    const std::vector<gutterlayout::Row> rows{{a, QRectF(0, 0, 100, 20)}, {b, QRectF(0, 30, 100, 20)}};
    using T = gutterlayout::DropTarget;
    const std::pair<double, std::optional<T>> cases[] = {
        {-50, T{a, false}}, {9, T{a, false}},  {10, T{a, false}}, {11, T{a, true}},
        {25, T{a, true}},   {25.01, T{b, false}}, {41, T{b, true}},  {500, T{b, true}},
    };
    for (const auto& [y, expected] : cases)
        EXPECT_EQ(gutterlayout::dropTarget(rows, y), expected) << y;
    EXPECT_EQ(gutterlayout::dropTarget({}, 10), std::nullopt);
}

TEST(BlockControlLayout, PayloadCarriesNoteAndBlockAndIsReadBack)
{
    const QUuid note = QUuid::createUuid();
    const QUuid block = QUuid::createUuid();
    const QString payload = gutterlayout::payload(note, block);
    EXPECT_EQ(payload.size(), 73);
    EXPECT_EQ(payload, payload.toUpper());
    EXPECT_TRUE(gutterlayout::isFromNote(payload, note));
    EXPECT_FALSE(gutterlayout::isFromNote(payload, QUuid::createUuid()));
    EXPECT_FALSE(gutterlayout::isFromNote(payload.mid(1), note));
    EXPECT_EQ(gutterlayout::payloadBlock(payload), block);
    EXPECT_EQ(gutterlayout::payloadBlock(QStringLiteral("::") + payload + QStringLiteral(":")), block);
    EXPECT_EQ(gutterlayout::payloadBlock(QString()), std::nullopt);
    EXPECT_EQ(gutterlayout::payloadBlock(QStringLiteral("note:not-an-id")), std::nullopt);
}

} // namespace
} // namespace quorrin
