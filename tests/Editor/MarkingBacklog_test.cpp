#include "Editor/MarkingBacklog.h"

#include <gtest/gtest.h>

namespace quorrin {
namespace {

TEST(MarkingBacklog, MarksAtOnceAllWhenFewElseABudgetAroundTheCaret)
{
    struct Case {
        ParagraphSpan changed;
        std::size_t caret;
        ParagraphSpan expected;
    };
    const std::size_t budget = 4;
    const Case cases[] = {
        {{10, 18}, 0, {10, 18}},   // exactly twice the budget: all of them
        {{10, 19}, 14, {12, 16}},  // one more: the budget, centred
        {{10, 19}, 0, {10, 14}},   // held inside the change
        {{0, 100}, 50, {48, 52}},  // centred on the caret
        {{0, 100}, 1, {0, 4}},     // near the start
        {{0, 100}, 99, {96, 100}}, // near the end
        {{20, 100}, 0, {20, 24}},  // the caret above the change
        {{0, 30}, 500, {26, 30}},  // the caret below it
    };
    for (const Case& c : cases) {
        const ParagraphSpan now = MarkingBacklog::markedAtOnce(c.changed, c.caret, budget);
        EXPECT_EQ(now, c.expected) << c.changed.from << "-" << c.changed.to << " caret " << c.caret;
    }
}

TEST(MarkingBacklog, GoesOverEveryParagraphOnceAndAgainAfterAWriteBackMeanwhile)
{
    const std::vector<editortext::WriteBack::Mark> marks(5);
    MarkingBacklog backlog;
    EXPECT_FALSE(backlog.nextSlice(2));

    backlog.defer(marks);
    EXPECT_EQ(backlog.nextSlice(2), (ParagraphSpan{0, 2}));
    EXPECT_EQ(backlog.nextSlice(2), (ParagraphSpan{2, 4}));
    // Paragraphs may have moved into those already gone over.
    backlog.defer(marks);
    EXPECT_EQ(backlog.nextSlice(2), (ParagraphSpan{4, 5}));
    EXPECT_EQ(backlog.nextSlice(2), (ParagraphSpan{0, 2}));
    EXPECT_EQ(backlog.nextSlice(9), (ParagraphSpan{2, 5}));
    EXPECT_FALSE(backlog.nextSlice(2));
    EXPECT_TRUE(backlog.isEmpty());

    // A backlog started anew begins at the top; one cleared has nothing left.
    backlog.defer(marks);
    EXPECT_EQ(backlog.nextSlice(2), (ParagraphSpan{0, 2}));
    backlog.clear();
    EXPECT_FALSE(backlog.nextSlice(2));
    backlog.defer(marks);
    EXPECT_EQ(backlog.nextSlice(9), (ParagraphSpan{0, 5}));
    EXPECT_FALSE(backlog.nextSlice(9));
}

} // namespace
} // namespace quorrin
