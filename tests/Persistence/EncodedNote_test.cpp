#include "Persistence/EncodedNote.h"

#include "Persistence/DurableSnapshot.h"
#include "Persistence/RecordWriter.h"

#include <gtest/gtest.h>

#include <functional>

using namespace quorrin;

namespace {

Block paragraph(const QString& text)
{
    Block block;
    block.text = RichText(text, TextFont::system(14));
    return block;
}

// Plain paragraphs, one with a todo and one with an attachment.
Note mixedNote()
{
    Note note;
    note.customTitle = QStringLiteral("清单 \"blocks\":[]");
    note.blocks = {paragraph(QStringLiteral("buy milk")), paragraph(QStringLiteral("买牛奶")),
                   paragraph(QStringLiteral("\"blocks\":[]"))};
    Block todo; // zero bytes of text, as a plain block may have too
    todo.text = RichText();
    todo.convert(BlockKind::Todo);
    note.blocks.push_back(todo);
    Block image;
    image.kind = BlockKind::Image;
    image.attachment.emplace().relativePath = QStringLiteral("a.png");
    note.blocks.push_back(image);
    note.blocks.push_back(paragraph(QStringLiteral("last")));
    return note;
}

EncodedNote encoded(const Note& note, const Preferences& preferences, const EncodedNote* earlier = nullptr)
{
    return EncodedNote::encode(durableShell(note, false), note.blocks, preferences, earlier);
}

TEST(EncodedNote, reusesExactlyTheBlocksThatAreUnchangedAndGivesTheBytesOfAFreshEncoding)
{
    struct Row {
        const char* change;
        std::function<void(Note&)> apply;
        qsizetype blocksEncoded; // besides the blocks with a todo or an attachment, encoded every time
    };
    const std::vector<Row> rows = {
        {"nothing", [](Note&) {}, 0},
        {"one text", [](Note& note) { note.blocks[1].text = paragraph(QStringLiteral("买豆奶")).text; }, 1},
        {"one date", [](Note& note) { note.blocks[0].updatedAt.secondsSinceReferenceDate += 1; }, 1},
        {"one kind", [](Note& note) { note.blocks[2].kind = BlockKind::H1; }, 1},
        {"a block inserted first",
         [](Note& note) { note.blocks.insert(note.blocks.begin(), paragraph(QStringLiteral("new"))); }, 1},
        {"a block removed", [](Note& note) { note.blocks.erase(note.blocks.begin() + 1); }, 0},
        {"first and last swapped", [](Note& note) { std::swap(note.blocks.front(), note.blocks.back()); }, 0},
        {"the title", [](Note& note) { note.customTitle = QStringLiteral("别的"); }, 0},
        {"the todo's data dropped", [](Note& note) { note.blocks[3].todo.reset(); }, 1},
    };
    Preferences preferences;
    const Note before = mixedNote();
    const EncodedNote first = encoded(before, preferences);
    ASSERT_EQ(first.payload(), notePayload(before, preferences));
    ASSERT_EQ(first.blocksEncoded(), qsizetype(before.blocks.size()));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.change);
        Note after = before;
        row.apply(after);
        const EncodedNote again = encoded(after, preferences, &first);
        EXPECT_EQ(again.payload(), notePayload(after, preferences));
        const auto alwaysEncoded = qsizetype(std::count_if(
            after.blocks.begin(), after.blocks.end(), [](const Block& block) { return block.todo || block.attachment; }));
        EXPECT_EQ(again.blocksEncoded(), alwaysEncoded + row.blocksEncoded);
        // What was reused is reused again from the new encoding.
        EXPECT_EQ(encoded(after, preferences, &again).blocksEncoded(), alwaysEncoded);
    }
}

TEST(EncodedNote, aSavedNoteChangedInOneBlockIsWrittenAsItsFreshEncoding)
{
    std::vector<Note> notes = {mixedNote()};
    Preferences preferences;
    RecordWriter writer;
    writer.adopt(writer.plan(notes, preferences));
    notes.front().blocks[0].text = RichText(QStringLiteral("buy oat milk"), TextFont::system(14));
    writer.markChanged(notes.front().id);
    const RecordWriter::Plan plan = writer.plan(notes, preferences);
    ASSERT_EQ(plan.changes.writes.size(), 1u);
    EXPECT_EQ(plan.changes.writes.front().payload, notePayload(durableForm(notes.front(), false), preferences));
}

} // namespace
