#include "Editor/EditorText.h"

#include "EditorTestSupport.h"

#include <gtest/gtest.h>

namespace quorrin {
namespace {

using namespace quorrin::testing;
using editortext::zeroWidthSpace;

QString z()
{
    return QString(zeroWidthSpace);
}

TEST(EditorText, RendersEveryKindWithRangesAndIDs)
{
    Block paragraph = makeBlock(BlockKind::Paragraph, QStringLiteral("段落"));
    Block heading = makeBlock(BlockKind::H1, QStringLiteral("Title"));
    Block bullet = makeBlock(BlockKind::Bullet, QString());
    Block todo = makeBlock(BlockKind::Todo, QStringLiteral("买菜"));
    todo.todo->notesExpanded = true; // empty remarks
    Block image = makeBlock(BlockKind::Image, QString());
    image.attachment = Attachment{};
    image.attachment->originalFilename = QStringLiteral("photo.png");

    const auto rendered = editortext::render({paragraph, heading, bullet, todo, image});
    const QString expected = QStringLiteral("段落\nTitle\n") + z() + QStringLiteral("\n买菜\n") + z()
        + QStringLiteral("\n") + QChar(0xFFFC) + QStringLiteral(" photo.png\n");
    EXPECT_EQ(rendered.text.string(), expected);

    const std::vector<TextRun> ranges = {
        {paragraph.id, 0, 3, false}, {heading.id, 3, 6, false}, {bullet.id, 9, 2, false},
        {todo.id, 11, 3, false},     {todo.id, 14, 2, true},    {image.id, 16, 12, false},
    };
    EXPECT_EQ(rendered.ranges, ranges);
    for (const TextRun& run : ranges) {
        for (int i = run.start; i < run.end(); ++i) {
            EXPECT_EQ(editortext::blockIDAt(rendered.text, i), run.blockID) << i;
            EXPECT_EQ(editortext::isRemarksAt(rendered.text, i), run.isRemarks) << i;
        }
    }
    const TextAttributes headingAttributes = rendered.text.attributesAt(4);
    EXPECT_EQ(headingAttributes.font, TextFont::system(25, true));
    EXPECT_EQ(rendered.text.attributesAt(14).font, TextFont::system(12));
    // Ids are marked upper-case and hyphenated, every digit in its place.
    EXPECT_EQ(editortext::idString(QUuid(QStringLiteral("{0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2bfc4d}"))),
              QStringLiteral("0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2BFC4D"));
}

TEST(EditorText, OneEmptyParagraphIsZeroWidthSpaceAndBreak)
{
    const Block empty = makeBlock(BlockKind::Paragraph, QString());
    const auto rendered = editortext::render({empty});
    EXPECT_EQ(rendered.text.string(), z() + QStringLiteral("\n"));
    ASSERT_EQ(rendered.ranges.size(), 1u);
    EXPECT_EQ(rendered.ranges[0].length, 2);
}

// The text's paragraphs, each with its line break, as the editor hands them over.
std::vector<editortext::Paragraph> paragraphsOf(const AttributedString& text)
{
    std::vector<editortext::Paragraph> paragraphs;
    int start = 0;
    for (const QString& line : text.string().split(QLatin1Char('\n'))) {
        const int length = int(line.size()) + 1;
        if (start >= text.length())
            break;
        paragraphs.push_back({text.substring(start, length), start});
        start += length;
    }
    return paragraphs;
}

TEST(EditorText, WriteBackHandlesSplitsMergesAndRemarks)
{
    Block heading = makeBlock(BlockKind::H2, QStringLiteral("ab"));
    Block todo = makeBlock(BlockKind::Todo, QStringLiteral("t"));
    todo.todo->notesExpanded = true;
    const Note note = makeNote({heading, todo});
    const auto rendered = editortext::render(note.displayBlocks());

    // Split the heading "a|b", and give the todo's remarks three paragraphs.
    AttributedString text = rendered.text;
    text.replace(1, 0, text.substring(2, 1)); // "a\nb\n" with the heading's break format
    const int remarksStart = text.string().lastIndexOf(zeroWidthSpace);
    AttributedString remarks = text.substring(remarksStart, 1);
    text.replace(remarksStart, 1, AttributedString());
    AttributedString lines(QStringLiteral("x\ny\nz"), remarks.attributesAt(0));
    text.replace(remarksStart, 0, lines);

    const auto result = editortext::writeBack(note, paragraphsOf(text), rendered.ranges, {}, fixedNow());
    ASSERT_EQ(result.note.blocks.size(), 3u);
    EXPECT_EQ(result.note.blocks[0].id, heading.id);
    EXPECT_EQ(result.note.blocks[0].kind, BlockKind::H2);
    EXPECT_EQ(result.note.blocks[0].text.attributed().string(), QStringLiteral("a"));
    EXPECT_NE(result.note.blocks[1].id, heading.id);
    EXPECT_EQ(result.note.blocks[1].kind, BlockKind::Paragraph);
    EXPECT_EQ(result.note.blocks[1].text.attributed().string(), QStringLiteral("b"));
    EXPECT_EQ(result.note.blocks[2].id, todo.id);
    EXPECT_EQ(result.note.blocks[2].todo->notes.attributed().string(), QStringLiteral("x\ny\nz"));
}

// A line pasted again keeps the id it carries for its first copy only: the
// block kept, whether the note still stores it or only the history holds it.
TEST(EditorText, AKeptBlockIsKeptOnceAndACopyOfItsLineIsANewBlock)
{
    const Block a = makeBlock(BlockKind::Paragraph, QStringLiteral("a"));
    const Block b = makeBlock(BlockKind::Paragraph, QStringLiteral("b"));
    const Block gone = makeBlock(BlockKind::Paragraph, QStringLiteral("g"));
    // The lines of a, b and the deleted block as shown, each with its id.
    const auto shown = editortext::render(makeNote({a, b, gone}).displayBlocks());
    const auto line = [&](int index) {
        const TextRun& run = shown.ranges[size_t(index)];
        return shown.text.substring(run.start, run.length);
    };
    editortext::BlockHistory history;
    history.record({a, b, gone});

    struct Case {
        const char* name;
        std::vector<int> lines; // of a, b and the deleted block, in the text's order
        std::vector<QUuid> kept; // the ids written back, null for a new block
    };
    const std::vector<Case> cases = {
        {"a stored line twice, apart", {0, 1, 0}, {a.id, b.id, QUuid()}},
        {"a stored line twice, in a row", {0, 0, 1}, {a.id, QUuid(), b.id}},
        {"a line only the history holds, twice", {0, 1, 2, 2}, {a.id, b.id, gone.id, QUuid()}},
    };
    for (const Case& c : cases) {
        AttributedString text;
        for (const int index : c.lines)
            text.append(line(index));
        const auto result = editortext::writeBack(makeNote({a, b}), paragraphsOf(text), {}, history, fixedNow());
        ASSERT_EQ(result.note.blocks.size(), c.kept.size()) << c.name;
        for (size_t index = 0; index < c.kept.size(); ++index) {
            const QUuid& id = result.note.blocks[index].id;
            if (c.kept[index].isNull())
                EXPECT_TRUE(id != a.id && id != b.id && id != gone.id) << c.name << " " << index;
            else
                EXPECT_EQ(id, c.kept[index]) << c.name << " " << index;
        }
    }
}

TEST(EditorText, TypingInTheRemarksAloneUpdatesTheirTodo)
{
    Block todo = makeBlock(BlockKind::Todo, QStringLiteral("t"));
    todo.todo->notesExpanded = true;
    Note note = makeNote({todo, makeBlock(BlockKind::Paragraph, QStringLiteral("p"))});
    // The blocks as the editor writes them back, so only what is typed differs.
    auto rendered = editortext::render(note.displayBlocks());
    note = editortext::writeBack(note, paragraphsOf(rendered.text), rendered.ranges, {}, fixedNow()).note;
    rendered = editortext::render(note.displayBlocks());

    AttributedString text = rendered.text;
    const int remarks = text.string().lastIndexOf(zeroWidthSpace);
    text.replace(remarks, 1, AttributedString(QStringLiteral("r"), text.attributesAt(remarks)));
    const Date later = fixedNow().addingSeconds(60);
    const Note typed = editortext::writeBack(note, paragraphsOf(text), rendered.ranges, {}, later).note;
    ASSERT_EQ(typed.blocks.size(), 2u);
    EXPECT_EQ(typed.blocks[0].todo->notes.attributed().string(), QStringLiteral("r"));
    EXPECT_EQ(typed.blocks[0].updatedAt, later);
    EXPECT_EQ(typed.blocks[1].updatedAt, fixedNow());
}

TEST(EditorText, ArchivedBlocksKeepTheirPlaces)
{
    Block archived = makeBlock(BlockKind::Todo, QStringLiteral("old"));
    archived.todo->archivedAt = fixedNow();
    Block a = makeBlock(BlockKind::Paragraph, QStringLiteral("a"));
    Block b = makeBlock(BlockKind::Todo, QStringLiteral("b"));
    Block archivedAfterA = archived;
    archivedAfterA.id = QUuid::createUuid();

    struct Case {
        const char* name;
        bool sorted;
        std::vector<Block> stored;
        std::vector<QUuid> expected;
    };
    const std::vector<Case> cases = {
        {"archived first moves to the end", false, {archived, a, b}, {a.id, b.id, archived.id}},
        {"archived after a stays after a", false, {a, archivedAfterA, b}, {a.id, archivedAfterA.id, b.id}},
        {"sorted note keeps stored order", true, {archived, a, b}, {archived.id, a.id, b.id}},
    };
    for (const Case& c : cases) {
        Note note = makeNote(c.stored);
        note.prioritySorted = c.sorted;
        const auto rendered = editortext::render(note.displayBlocks());
        std::vector<editortext::Paragraph> paragraphs;
        for (const TextRun& run : rendered.ranges)
            paragraphs.push_back({rendered.text.substring(run.start, run.length), run.start});
        const auto result = editortext::writeBack(note, paragraphs, rendered.ranges, {}, fixedNow());
        std::vector<QUuid> ids;
        for (const Block& block : result.note.blocks)
            ids.push_back(block.id);
        EXPECT_EQ(ids, c.expected) << c.name;
    }
}

TEST(EditorText, AdjustRangesFollowsEdits)
{
    const QUuid a = QUuid::createUuid();
    const QUuid b = QUuid::createUuid();
    const std::vector<TextRun> ranges = {{a, 0, 3, false}, {b, 3, 4, false}};
    struct Case {
        const char* name;
        int at, length, delta;
        std::vector<TextRun> expected;
    };
    const std::vector<Case> cases = {
        {"typing inside the first run", 1, 2, 2, {{a, 0, 5, false}, {b, 5, 4, false}}},
        {"typing at the very end extends the last run", 7, 1, 1, {{a, 0, 3, false}, {b, 3, 5, false}}},
        {"deleting the break merges into the first", 2, 0, -1, {{a, 0, 2, false}, {b, 2, 4, false}}},
        {"deleting everything", 0, 0, -7, {}},
        {"replacing across runs cuts the second", 1, 1, -3, {{a, 0, 2, false}, {b, 2, 2, false}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(editortext::adjustRanges(ranges, c.at, c.length, c.delta), c.expected) << c.name;
}

TEST(EditorText, CaretAfterRenderStaysInItsRunAndBeforeTheFinalBreak)
{
    const QUuid a = QUuid::createUuid();
    const QUuid b = QUuid::createUuid();
    const QUuid gone = QUuid::createUuid();
    // Before: the first line still holds its placeholder after typing.
    const QString before = z() + QStringLiteral("Hello\nbuy\n");
    const std::vector<TextRun> runsBefore{{a, 0, 7}, {b, 7, 4}};
    const QString after = QStringLiteral("Hello\nbuy\n");
    const std::vector<TextRun> runsAfter{{a, 0, 6}, {b, 6, 4}};
    struct Case {
        const char* name;
        int caret;
        std::vector<TextRun> runsBefore;
        int expected;
    };
    const std::vector<Case> cases{
        {"end of a later run keeps its offset, not its position", 10, runsBefore, 9},
        {"the placeholder gone from its own run", 6, runsBefore, 5},
        {"before the placeholder", 0, runsBefore, 0},
        {"start of a run", 7, runsBefore, 6},
        {"past the final line break", 11, runsBefore, 9},
        {"a run that is gone keeps the position", 3, {{gone, 0, 7}, {b, 7, 4}}, 3},
        {"nothing shown before", 0, {}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(editortext::caretAfterRender(c.runsBefore, before, c.caret, runsAfter, after), c.expected) << c.name;

    // A line that became empty shows its placeholder; the caret stays on that
    // line, before its line break.
    const QString emptied = QStringLiteral("Hello\n") + z() + QStringLiteral("\n");
    EXPECT_EQ(editortext::caretAfterRender(runsBefore, before, 10, {{a, 0, 6}, {b, 6, 2}}, emptied), 7);
    EXPECT_EQ(editortext::caretAfterRender(runsBefore, before, 3, {}, QString()), 0);
}

TEST(EditorText, ParagraphLayoutIndentsByKindAndState)
{
    Block todo = makeBlock(BlockKind::Todo, QString());
    Block reminded = todo;
    reminded.todo->reminder = TodoReminder{fixedNow(), std::nullopt, std::nullopt};
    const Block bullet = makeBlock(BlockKind::Bullet, QString());
    const Block paragraph = makeBlock(BlockKind::Paragraph, QString());
    ParagraphStyle negative;
    negative.headIndent = -5;
    negative.firstLineHeadIndent = -3;
    negative.tailIndent = 8;

    struct Case {
        const char* name;
        editortext::ParagraphInput input;
        double indent, head, tail, spacing;
    };
    const std::vector<Case> cases = {
        {"todo", {&todo, false, 1, true, true, 0, {}, {}}, 44, 44, -56, 12},
        {"todo with reminder", {&reminded, false, 1, true, true, 0, {}, {}}, 56, 56, -56, 12},
        {"half revealed", {&reminded, false, 0.5, true, true, 0, {}, {}}, 28, 28, -56, 12},
        {"bullet ignores reveal", {&bullet, false, 0.5, true, true, 0, {}, {}}, 18, 18, -16, 6},
        {"remarks inside the run", {&todo, true, 1, false, true, 0, {}, {}}, 44, 44, -56, 3},
        {"shelf gap after the last run", {&todo, true, 1, true, true, 30, {}, {}}, 44, 44, -56, 42},
        {"negative user indents start from 0", {&paragraph, false, 1, true, true, 0, negative, {}}, 0, 0, -16, 6},
        {"stored base wins", {&bullet, false, 1, true, true, 0, ParagraphStyle{}, QList<double>{2, 4, -6}}, 18, 22, -22, 6},
    };
    for (const Case& c : cases) {
        const auto layout = editortext::layoutParagraph(c.input);
        EXPECT_DOUBLE_EQ(layout.indent, c.indent) << c.name;
        EXPECT_DOUBLE_EQ(layout.style.headIndent, c.head) << c.name;
        EXPECT_DOUBLE_EQ(layout.style.tailIndent, c.tail) << c.name;
        EXPECT_DOUBLE_EQ(layout.style.paragraphSpacing, c.spacing) << c.name;
    }
}

} // namespace
} // namespace quorrin
