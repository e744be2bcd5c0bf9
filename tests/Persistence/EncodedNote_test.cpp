#include "Persistence/EncodedNote.h"

#include "Persistence/DurableSnapshot.h"
#include "Persistence/RecordWriter.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

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

// Plain blocks are written without a QJsonObject; these are the numbers,
// ids, kinds and texts where their bytes could part from Qt's.
TEST(EncodedNote, aPlainBlockIsWrittenAsTheBytesOfAFreshEncoding)
{
    struct Row {
        const char* what;
        double createdAt;
        double updatedAt;
    };
    const std::vector<Row> dates = {
        {"zero and negative zero", 0.0, -0.0},
        {"whole, written without an exponent", 786000000, -978307200},
        {"fractions", 786012345.678901, 0.1},
        {"negative fractions", -0.5, -978307200.125},
        // Within ±2^53 a whole number is written in digits, beyond it as a double.
        {"whole numbers near 2^53 that a double would write with an exponent", 9e15, -9e15},
        {"whole numbers beyond 2^53", 9.1e15, -1e16},
        {"very large", 1e21, -1.7976931348623157e308},
        {"tiny", 1e-7, 5e-324},
        {"the exponent threshold", 0.0001, 0.001},
        {"the same moment twice", 786000000.5, 786000000.5},
    };
    const std::vector<RichText> texts = {
        RichText(), RichText::fromRtf("a"), RichText::fromRtf("ab"), RichText::fromRtf("abc"),
        RichText::fromRtf(QByteArray("\xff\x00\xfe\x80", 4)), RichText(QStringLiteral("买牛奶 \"\\"), TextFont::system(14)),
    };
    const std::vector<QUuid> ids = {QUuid(), QUuid(QStringLiteral("{abcdef01-ABCD-ef01-9a8b-fedcba987654}"))};
    Preferences preferences;
    Note note;
    for (const Row& row : dates) {
        Block block;
        block.createdAt.secondsSinceReferenceDate = row.createdAt;
        block.updatedAt.secondsSinceReferenceDate = row.updatedAt;
        note.blocks.push_back(block);
    }
    for (size_t index = 0; index < blockKind::allCases.size(); ++index) {
        Block block;
        block.kind = blockKind::allCases[index];
        block.text = texts[index % texts.size()];
        note.blocks.push_back(block);
    }
    for (const QUuid& id : ids) {
        Block block;
        block.id = id;
        note.blocks.push_back(block);
    }
    for (size_t index = 0; index < note.blocks.size(); ++index) {
        Note one;
        one.blocks = {note.blocks[index]};
        SCOPED_TRACE(index < dates.size() ? dates[index].what : "a kind, text or id");
        EXPECT_EQ(encoded(one, preferences).payload(), notePayload(one, preferences));
    }
    EXPECT_EQ(encoded(note, preferences).payload(), notePayload(note, preferences));

    Note infinite;
    infinite.blocks = {Block()};
    infinite.blocks[0].updatedAt.secondsSinceReferenceDate = std::numeric_limits<double>::infinity();
    EXPECT_THROW(encoded(infinite, preferences), json::Error);
}

// Blocks not at or beside the place the last one found suggests are looked
// up by id once they are many for the note: before, each is encoded anew.
TEST(EncodedNote, blocksMovedFarAreLookedUpOnceTheyAreManyForTheNote)
{
    struct Row {
        int blocks;
        qsizetype encoded; // of the blocks reversed, the last three kept in place
    };
    // A table of the ids costs about one step per block, one miss one encoding.
    const std::vector<Row> rows = {{192, 2}, {193, 3}};
    Preferences preferences;
    for (const Row& row : rows) {
        Note note;
        note.blocks.clear();
        for (int index = 0; index < row.blocks; ++index)
            note.blocks.push_back(paragraph(QString::number(index)));
        const EncodedNote first = encoded(note, preferences);
        std::reverse(note.blocks.begin(), note.blocks.end() - 3);
        const EncodedNote again = encoded(note, preferences, &first);
        EXPECT_EQ(again.payload(), notePayload(note, preferences));
        EXPECT_EQ(again.blocksEncoded(), row.encoded) << row.blocks;
    }
}

// An encoding no longer needed lends its memory to the next one, unless a
// copy of it still holds that memory.
TEST(EncodedNote, theNextEncodingIsWrittenIntoTheMemoryOfOneNoLongerNeeded)
{
    Preferences preferences;
    Note note;
    note.blocks.clear();
    for (int index = 0; index < 100; ++index)
        note.blocks.push_back(paragraph(QStringLiteral("line %1").arg(index, 2, 10, QLatin1Char('0'))));
    const Note shell = durableShell(note, false);
    EncodedNote first = encoded(note, preferences);
    const EncodedNote second = encoded(note, preferences, &first);
    note.blocks[50].text = paragraph(QStringLiteral("line xx")).text; // as long as before

    const char* const memory = first.payload().constData();
    const EncodedNote third = EncodedNote::encode(shell, note.blocks, preferences, &second, std::move(first));
    EXPECT_EQ(third.payload().constData(), memory);
    EXPECT_EQ(third.payload(), notePayload(note, preferences));
    EXPECT_EQ(third.blocksEncoded(), 1);

    // Lent while `third` shares it, nothing of `third` changes.
    const std::vector<Block> before = note.blocks;
    note.blocks[10].text = paragraph(QStringLiteral("line yy")).text;
    const EncodedNote fourth = EncodedNote::encode(shell, note.blocks, preferences, &second, EncodedNote(third));
    EXPECT_EQ(fourth.payload(), notePayload(note, preferences));
    const EncodedNote fifth = EncodedNote::encode(shell, before, preferences, &third);
    EXPECT_EQ(fifth.payload(), third.payload());
    EXPECT_EQ(fifth.blocksEncoded(), 0);
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
