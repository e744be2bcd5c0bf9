#include "Editor/TextLeftToShow.h"

#include "Editor/TextDocumentConversion.h"

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

// A note of every kind of block, long lines, remarks of several lines and
// empty lines among them, shown otherwise than stored: its todos sorted by
// priority, one archived.
Note mixedNote(int blocks)
{
    static const BlockKind kinds[] = {BlockKind::Paragraph, BlockKind::H1, BlockKind::Todo,  BlockKind::H3,
                                      BlockKind::Bullet,    BlockKind::Todo, BlockKind::Image, BlockKind::Paragraph};
    Note note;
    note.blocks.clear();
    note.prioritySorted = true;
    for (int i = 0; i < blocks; ++i) {
        Block block;
        block.kind = kinds[i % 8];
        block.text = RichText(i % 11 == 0 ? QString() : i % 13 == 0 ? QStringLiteral("%1 a\nb").arg(i) : QString::number(i),
                              TextFont::system(14));
        if (block.kind == BlockKind::Todo) {
            block.todo = TodoMetadata();
            block.todo->priority = 4 - i % 3;
            block.todo->notesExpanded = i % 3 == 0;
            block.todo->notes = RichText(QStringLiteral("r1\nr2\nr3"), TextFont::system(12));
            if (i == 42)
                block.todo->archivedAt = Date{1};
        }
        if (block.kind == BlockKind::Image) {
            block.attachment = Attachment();
            block.attachment->originalFilename = QStringLiteral("picture.png");
        }
        note.blocks.push_back(block);
    }
    return note;
}

TEST(TextLeftToShow, RendersANotesBlocksPartByPartIntoTheWholeTextAndPlacesTheCaretAsInIt)
{
    const Note note = mixedNote(3000);
    ASSERT_FALSE(note.showsBlocksAsStored());
    const editortext::RenderedText whole = editortext::render(note.displayBlocks());
    const QString wholeText = whole.text.string();
    const int length = whole.text.length();
    const TextRun farRemarks = *std::find_if(whole.ranges.begin(), whole.ranges.end(),
                                             [&](const TextRun& run) { return run.isRemarks && run.start > length / 2; });
    // The remarks stood first in the text shown before.
    const QString remarksText = wholeText.mid(farRemarks.start, farRemarks.length);
    const TextRun farLine = *std::find_if(whole.ranges.rbegin(), whole.ranges.rend(),
                                          [](const TextRun& run) { return !run.isRemarks; });
    const QString shorter(farLine.start + 2, QLatin1Char('x'));
    const QString longer(length + 10, QLatin1Char('x'));
    const QUuid gone = QUuid::createUuid();
    struct Case {
        const char* name;
        std::vector<TextRun> before;
        const QString& beforeText;
        int caret;
        bool restAtOnce;
    };
    const Case cases[] = {
        {"at the top", whole.ranges, wholeText, 0, false},
        {"in remarks now halfway down", {TextRun{farRemarks.blockID, 0, farRemarks.length, true}}, remarksText, 4, false},
        // At the start of a line: exactly what a text rendered up to it lacks.
        {"far down in a block gone", {TextRun{gone, 0, farLine.start + 2}}, shorter, farLine.start, false},
        {"past the end in a block gone", {TextRun{gone, 0, length + 10}}, longer, length + 5, false},
        {"the rest at once", whole.ranges, wholeText, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextLeftToShow left;
        TextLeftToShow::Opening opening
            = left.begin(BlocksLeftToRender(note, editortext::defaultNewText()), {c.before, c.beforeText, c.caret}, 7);
        const int placed = editortext::caretAfterRender(c.before, c.beforeText, c.caret, whole.ranges, wholeText);
        EXPECT_EQ(opening.caret, placed);
        EXPECT_EQ(opening.first.text.length(), TextLeftToShow::partEnds(wholeText, 7, placed).front());
        // The parts joined: a run cut at a part's start comes again whole.
        AttributedString text;
        std::vector<TextRun> runs;
        int parts = 0;
        for (std::optional<TextLeftToShow::Part> part = std::move(opening.first); part;
             part = left.take(c.restAtOnce), ++parts) {
            for (TextRun run : part->ranges) {
                run.start += text.length();
                if (runs.empty() || !(runs.back() == run))
                    runs.push_back(run);
            }
            text.append(part->text);
        }
        EXPECT_EQ(parts, c.restAtOnce ? 2 : int(TextLeftToShow::partEnds(wholeText, 7, placed).size()));
        EXPECT_EQ(text.string(), wholeText);
        EXPECT_TRUE(text == whole.text);
        EXPECT_EQ(runs, whole.ranges);
    }
}

TEST(TextLeftToShow, ANoteOfAtMostTwicePerPartParagraphsIsRenderedWhole)
{
    // Three paragraphs a part: a block of two lines counts two.
    const struct {
        int blocks;
        bool twoLines;
        bool inParts;
    } cases[] = {{6, false, false}, {7, false, true}, {5, true, false}, {6, true, true}};
    for (const auto& c : cases) {
        Note note;
        note.blocks.clear();
        for (int i = 0; i < c.blocks; ++i) {
            Block block;
            block.text = RichText(c.twoLines && i == 0 ? QStringLiteral("a\nb") : QStringLiteral("c"), TextFont::system(14));
            note.blocks.push_back(block);
        }
        TextLeftToShow left;
        const std::vector<TextRun> none;
        const TextLeftToShow::Opening opening = left.begin(BlocksLeftToRender(note, {}), {none, QString(), 0}, 3);
        EXPECT_EQ(!left.isEmpty(), c.inParts) << c.blocks << (c.twoLines ? " with two lines" : "");
        EXPECT_EQ(opening.first.ranges.size(), c.inParts ? 3u - (c.twoLines ? 1 : 0) : std::size_t(c.blocks))
            << c.blocks << (c.twoLines ? " with two lines" : "");
    }
}

} // namespace
} // namespace quorrin
