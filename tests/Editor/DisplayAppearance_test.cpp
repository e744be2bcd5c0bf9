#include "Editor/DisplayAppearance.h"

#include "EditorTestSupport.h"

#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

namespace quorrin {
namespace {

using namespace quorrin::testing;
using appearance::ShownColour;
using appearance::ShownStyle;

TEST(DisplayAppearanceRules, UnreadableGreysAndCompletedTodos)
{
    const auto fixed = [](double r, double g, double b) { return std::optional<TextColor>(TextColor::fixed({r, g, b, 1})); };
    struct Case {
        bool remarks;
        std::optional<TextColor> stored;
        bool dark;
        bool completed;
        ShownStyle expected;
    };
    const std::vector<Case> cases = {
        {false, fixed(1, 1, 1), false, false, {ShownColour::Text, false}},          // white on light paper
        {false, fixed(0.85, 0.85, 0.85), false, false, {}},                       // light grey stays
        {false, fixed(0.95, 0.8, 0.95), false, false, {}},                        // not a grey
        {false, fixed(0, 0, 0), true, false, {ShownColour::Text, false}},           // black on dark paper
        {false, fixed(0, 0, 0), false, false, {}},
        {false, TextColor::dynamicText(), true, false, {}},
        {false, std::nullopt, false, false, {}},
        {false, fixed(1, 1, 1), false, true, {ShownColour::Secondary, true}},       // done wins
        {true, fixed(1, 1, 1), false, true, {ShownColour::Secondary, false}},       // remarks never struck
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(appearance::shownStyle(c.remarks, c.stored, c.dark, c.completed), c.expected) << i;
    }
}

class CompletionTest : public EditorFixture {
protected:
    // The display formats over the paragraph at a position.
    QList<QTextLayout::FormatRange> shownAt(int position) const
    {
        return editor->document()->findBlock(position).layout()->formats();
    }
    // Whether any display format over the paragraph at a position strikes through.
    bool struckAt(int position) const
    {
        const QTextBlock block = editor->document()->findBlock(position);
        for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
            if (range.format.fontStrikeOut())
                return true;
        }
        return false;
    }
};

TEST_F(CompletionTest, CompletedTodoLineIsStruckButNotItsRemarksNorStored)
{
    Block todo = makeBlock(BlockKind::Todo, QStringLiteral("完成"));
    todo.todo->notesExpanded = true;
    todo.todo->notes = RichText(QStringLiteral("备注"), TextFont::system(14));
    Block other = makeBlock(BlockKind::Todo, QStringLiteral("未完成"));
    open({todo, other});
    const auto& runs = editor->ranges();
    EXPECT_FALSE(struckAt(runs[0].start));

    editor->change(QStringLiteral("切换待办完成"), [&](Note& note) { note.blocks[0].todo->isCompleted = true; });
    EXPECT_TRUE(struckAt(editor->ranges()[0].start));
    EXPECT_FALSE(struckAt(editor->ranges()[1].start)); // remarks
    EXPECT_FALSE(struckAt(editor->ranges()[2].start));
    // Display only: the stored text carries no strike.
    EXPECT_EQ(stored().blocks[0].text.attributed().attributesAt(0).strikethroughStyle, 0);
    editor->flush();
    EXPECT_EQ(stored().blocks[0].text.attributed().attributesAt(0).strikethroughStyle, 0);
}

TEST_F(CompletionTest, ShownRemarksAreDrawnWithTheRenderedTextAndFollowTypingInThem)
{
    Block todo = makeBlock(BlockKind::Todo, QStringLiteral("任务"));
    todo.todo->notesExpanded = true;
    todo.todo->notes = RichText(QStringLiteral("备注"), TextFont::system(14));
    open({makeBlock(BlockKind::Paragraph, QStringLiteral("段落")), todo});
    const TextRun remarks = editor->ranges()[2];
    ASSERT_TRUE(remarks.isRemarks);
    EXPECT_TRUE(shownAt(editor->ranges()[0].start).isEmpty());
    ASSERT_EQ(shownAt(remarks.start).size(), 1);
    EXPECT_EQ(shownAt(remarks.start).front().length, 2);

    caretAt(remarks.start + 2);
    QTest::keyClicks(editor->textView(), QStringLiteral("x"));
    ASSERT_EQ(shownAt(remarks.start).size(), 1);
    EXPECT_EQ(shownAt(remarks.start).front().length, 3);
}

} // namespace
} // namespace quorrin
