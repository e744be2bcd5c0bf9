#include "Editor/TextLeftToShow.h"

#include <gtest/gtest.h>

namespace quorrin {
namespace {

TEST(TextLeftToShow, CutsAfterSeparatorsTheFirstPartReachingThroughTheCaret)
{
    struct Case {
        const char* text;
        int through;
        std::vector<int> ends;
    };
    // Two paragraphs a part: a text of up to four is shown whole.
    const Case cases[] = {
        {"a\nb\nc\nd\n", 0, {8}},                     // exactly twice the part
        {"a\nb\nc\nd\ne", 0, {4, 8, 9}},              // one more, without a final separator
        {"a\nb\nc\nd\ne\n", 0, {4, 8, 10}},
        {"a\nb\nc\nd\ne\n", 4, {6, 10}},               // the caret on the third line
        {"a\nb\nc\nd\ne\n", 5, {6, 10}},               // on its separator
        {"a\nb\nc\nd\ne\nf\ng\nh\n", 9, {10, 14, 16}}, // far down: a longer first part
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TextLeftToShow::partEnds(QString::fromUtf8(c.text), 2, c.through), c.ends)
            << c.text << " through " << c.through;
    }
}

TEST(TextLeftToShow, GivesEachRunOnceAcrossThePartsAndTheRestWhenAskedForAll)
{
    // One block of six lines, then one of a single line.
    const QUuid first = QUuid::createUuid();
    const QUuid second = QUuid::createUuid();
    editortext::RenderedText whole;
    whole.text = AttributedString(QStringLiteral("1\n2\n3\n4\n5\n6\nx\n"));
    whole.ranges = {TextRun{first, 0, 12, false}, TextRun{second, 12, 2, false}};

    TextLeftToShow left;
    const TextLeftToShow::Part shown = left.begin(whole, 0, 2);
    EXPECT_EQ(shown.text.string(), QStringLiteral("1\n2\n"));
    EXPECT_EQ(TextLeftToShow::shownRuns(shown), (std::vector<TextRun>{TextRun{first, 0, 4, false}}));
    ASSERT_FALSE(left.isEmpty());

    const std::optional<TextLeftToShow::Part> next = left.take();
    ASSERT_TRUE(next);
    EXPECT_EQ(next->text.string(), QStringLiteral("3\n4\n"));
    // The run began in the part before and goes on after this one.
    EXPECT_EQ(next->ranges, (std::vector<TextRun>{TextRun{first, -4, 12, false}}));
    EXPECT_EQ(TextLeftToShow::shownRuns(*next), (std::vector<TextRun>{TextRun{first, 0, 4, false}}));

    const std::optional<TextLeftToShow::Part> rest = left.take(true);
    ASSERT_TRUE(rest);
    EXPECT_EQ(rest->text.string(), QStringLiteral("5\n6\nx\n"));
    EXPECT_EQ(TextLeftToShow::shownRuns(*rest),
              (std::vector<TextRun>{TextRun{first, 0, 4, false}, TextRun{second, 4, 2, false}}));
    EXPECT_TRUE(left.isEmpty());
    EXPECT_FALSE(left.take());

    // A short text is shown whole, with nothing left.
    whole.text = AttributedString(QStringLiteral("1\n2\n"));
    whole.ranges = {TextRun{first, 0, 4, false}};
    EXPECT_EQ(left.begin(whole, 0, 2).ranges, whole.ranges);
    EXPECT_TRUE(left.isEmpty());
}

} // namespace
} // namespace quorrin
