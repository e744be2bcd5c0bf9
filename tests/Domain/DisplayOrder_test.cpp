#include "ModelSamples.h"

#include <gtest/gtest.h>

using namespace quorrin;
using samples::block;
using samples::todo;

namespace {

// Blocks are numbered; an id's number is its last group.
std::vector<int> numbers(const std::vector<Block>& blocks)
{
    std::vector<int> result;
    for (const Block& b : blocks)
        result.push_back(b.id.toString(QUuid::WithoutBraces).section(QLatin1Char('-'), 4).toInt());
    return result;
}

Block todoWithoutData(int n)
{
    Block result = block(n, BlockKind::Todo);
    result.todo.reset();
    return result;
}

TEST(DisplayOrder, showsUnarchivedBlocksSortingTodoRunsWhenAsked)
{
    Block archivedParagraph = block(9);
    archivedParagraph.todo = TodoMetadata();
    archivedParagraph.todo->archivedAt = Date{1};

    struct Case {
        const char* name;
        std::vector<Block> blocks;
        bool sorted;
        std::vector<int> shown;
    };
    const std::vector<Case> cases = {
        {"no blocks", {}, true, {}},
        {"all archived", {todo(1, 1, true), todo(2, 2, true)}, true, {}},
        {"stable by priority", {todo(1, 3), todo(2, 1), todo(3, 3), todo(4, 2)}, true, {2, 4, 1, 3}},
        {"unsorted keeps stored order", {todo(1, 3), todo(2, 1), todo(3, 2, true)}, false, {1, 2}},
        {"paragraph splits runs", {todo(1, 3), block(2), todo(3, 2), todo(4, 1)}, true, {1, 2, 4, 3}},
        {"archived todo does not split", {todo(1, 3), todo(2, 1, true), todo(3, 2)}, true, {3, 1}},
        {"missing todo data sorts as 4", {todoWithoutData(1), todo(2, 4), todo(3, 3)}, true, {3, 1, 2}},
        {"out of range by value",
         {todo(1, 0), todo(2, std::numeric_limits<qint64>::max()), todo(3, std::numeric_limits<qint64>::min())},
         true,
         {3, 1, 2}},
        {"archived paragraph hidden", {block(1), archivedParagraph}, false, {1}},
    };
    for (const Case& c : cases) {
        Note note = samples::note(100, c.blocks);
        note.prioritySorted = c.sorted;
        EXPECT_EQ(numbers(note.displayBlocks()), c.shown) << c.name;
    }
}

TEST(DisplayOrder, showsBlocksAsStoredOnlyUnsortedAndWithNoneArchived)
{
    struct Case {
        const char* name;
        std::vector<Block> blocks;
        bool sorted;
        bool asStored;
    };
    const std::vector<Case> cases = {
        {"plain", {todo(1, 3), block(2), todo(3, 1)}, false, true},
        {"priority sorted", {todo(1, 3), block(2), todo(3, 1)}, true, false},
        {"last one archived", {todo(1, 3), block(2), todo(3, 1, true)}, false, false},
    };
    for (const Case& c : cases) {
        Note note = samples::note(100, c.blocks);
        note.prioritySorted = c.sorted;
        EXPECT_EQ(note.showsBlocksAsStored(), c.asStored) << c.name;
    }
}

TEST(DisplayOrder, moveReordersStoredBlocks)
{
    struct Case {
        const char* name;
        int moved;
        int target;
        bool after;
        bool sorted;
        std::vector<int> result;
    };
    const std::vector<Case> cases = {
        {"before", 4, 2, false, false, {1, 4, 2, 3}},
        {"after", 1, 3, true, false, {2, 3, 1, 4}},
        {"after last", 2, 4, true, false, {1, 3, 4, 2}},
        {"before following block", 2, 3, false, false, {1, 2, 3, 4}},
        {"after preceding block", 3, 2, true, false, {1, 2, 3, 4}},
        {"same block", 2, 2, true, false, {1, 2, 3, 4}},
        {"unknown moved", 7, 2, true, false, {1, 2, 3, 4}},
        {"unknown target", 2, 7, true, false, {1, 2, 3, 4}},
        {"priority sorted", 4, 1, false, true, {1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        Note note = samples::note(100, {block(1), block(2), todo(3, 1), block(4)});
        note.prioritySorted = c.sorted;
        const Note before = note;
        note.move(samples::uuid(c.moved), samples::uuid(c.target), c.after);
        EXPECT_EQ(numbers(note.blocks), c.result) << c.name;
        EXPECT_EQ(note.prioritySorted, c.sorted) << c.name;
        EXPECT_EQ(note.blocks[0].updatedAt, before.blocks[0].updatedAt);
    }
}

TEST(DisplayOrder, moveWithDuplicateIdsUsesTheFirst)
{
    Note note = samples::note(100, {block(1), block(2), block(1), block(3)});
    note.move(samples::uuid(1), samples::uuid(3), true);
    EXPECT_EQ(numbers(note.blocks), (std::vector<int>{2, 1, 3, 1}));
}

TEST(DisplayOrder, movingInASortedNoteFreezesTheShownOrder)
{
    // stored: t1(p3) t2(p1, archived) t3(p2) p4 t5(p1)
    Note note = samples::note(100, {todo(1, 3), todo(2, 1, true), todo(3, 2), block(4), todo(5, 1)});
    note.prioritySorted = true;
    note.moveDisplayedBlock(samples::uuid(5), samples::uuid(3), false);
    EXPECT_FALSE(note.prioritySorted);
    // frozen: t3 t2(archived, same slot) t1 p4 t5, then t5 goes before t3
    EXPECT_EQ(numbers(note.blocks), (std::vector<int>{5, 3, 2, 1, 4}));
    EXPECT_EQ(numbers(note.displayBlocks()), (std::vector<int>{5, 3, 1, 4}));
}

TEST(DisplayOrder, archivedBlocksCanNeitherMoveNorBeTargets)
{
    for (const auto& [moved, target] : std::vector<std::pair<int, int>>{{2, 1}, {1, 2}, {1, 1}, {1, 9}}) {
        Note note = samples::note(100, {todo(1, 3), todo(2, 1, true), todo(3, 2)});
        note.prioritySorted = true;
        const Note before = note;
        note.moveDisplayedBlock(samples::uuid(moved), samples::uuid(target), true);
        EXPECT_EQ(note, before) << moved << " onto " << target;
    }
}

TEST(DisplayOrder, displayedMoveInManualOrderIsAPlainMove)
{
    Note note = samples::note(100, {block(1), todo(2, 1, true), block(3)});
    note.moveDisplayedBlock(samples::uuid(1), samples::uuid(3), true);
    EXPECT_EQ(numbers(note.blocks), (std::vector<int>{2, 3, 1}));
}

TEST(BlockConvert, changesKindAndKeepsTodoData)
{
    Block b = block(1, BlockKind::Paragraph, QStringLiteral("text"));
    const RichText text = b.text;
    b.convert(BlockKind::Todo, samples::fixedClock(10));
    EXPECT_EQ(b.kind, BlockKind::Todo);
    ASSERT_TRUE(b.todo);
    EXPECT_EQ(*b.todo, TodoMetadata());
    EXPECT_EQ(b.todo->priority, 4);
    EXPECT_EQ(b.todo->notes, RichText(QString(), TextFont::system(14)));
    EXPECT_EQ(b.updatedAt, Date{10});

    b.todo->priority = 1;
    b.todo->archivedAt = Date{3};
    const TodoMetadata kept = *b.todo;
    b.convert(BlockKind::Paragraph, samples::fixedClock(11));
    EXPECT_EQ(b.kind, BlockKind::Paragraph);
    EXPECT_EQ(b.todo, kept);
    EXPECT_TRUE(b.isArchived());
    b.convert(BlockKind::Todo, samples::fixedClock(12));
    EXPECT_EQ(b.todo, kept);
    EXPECT_EQ(b.text, text);
    EXPECT_EQ(b.updatedAt, Date{12});
}

TEST(BlockConvert, attachmentKindsNeverConvert)
{
    const std::vector<std::pair<BlockKind, BlockKind>> refused = {
        {BlockKind::Image, BlockKind::Paragraph}, {BlockKind::Pdf, BlockKind::Todo},
        {BlockKind::Paragraph, BlockKind::Pdf},   {BlockKind::H1, BlockKind::Image},
        {BlockKind::Image, BlockKind::Image},
    };
    for (const auto& [from, to] : refused) {
        Block b = block(1, from);
        const Block before = b;
        b.convert(to, samples::fixedClock(99));
        EXPECT_EQ(b, before) << blockKind::rawValue(from).toStdString() << " to " << blockKind::rawValue(to).toStdString();
    }
    Block heading = block(1, BlockKind::H2);
    heading.convert(BlockKind::H2, samples::fixedClock(99));
    EXPECT_EQ(heading.updatedAt, Date{99});

    for (BlockKind kind : blockKind::allCases)
        EXPECT_EQ(blockKind::isAttachment(kind), kind == BlockKind::Image || kind == BlockKind::Pdf);
}

TEST(BlockConvert, isArchivedNeedsTodoDataWithADate)
{
    EXPECT_FALSE(todoWithoutData(1).isArchived());
    EXPECT_FALSE(todo(1, 2).isArchived());
    EXPECT_TRUE(todo(1, 2, true).isArchived());
}

} // namespace
