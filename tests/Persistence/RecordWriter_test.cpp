#include "Persistence/RecordWriter.h"

#include "Domain/AppError.h"
#include "Domain/Json.h"

#include <gtest/gtest.h>

using namespace quorrin;

namespace {

Note textNote(const QString& plain)
{
    Note note;
    note.blocks.front().text = RichText(plain, TextFont::system(14));
    return note;
}

TEST(RecordWriter, preferencesThatOnlyCompareEqualStillRewriteTheRowsThatEmbedThem)
{
    const std::vector<Note> notes = {textNote(QStringLiteral("a")), textNote(QStringLiteral("b"))};
    Preferences composed;
    composed.fontName = QStringLiteral("Caf\u00e9");
    Preferences decomposed = composed;
    decomposed.fontName = QStringLiteral("Cafe\u0301");
    Preferences negativeZero = composed;
    negativeZero.fontSize = 0.0;
    Preferences positiveZero = composed;
    positiveZero.fontSize = -0.0;
    ASSERT_EQ(composed, decomposed); // equal as text, yet not the same bytes
    ASSERT_NE(json::encode(composed), json::encode(decomposed));

    for (const auto& [first, second] : {std::pair{composed, decomposed}, std::pair{negativeZero, positiveZero}}) {
        RecordWriter writer;
        writer.adopt(writer.plan(notes, first));
        const RecordWriter::Plan plan = writer.plan(notes, second);
        EXPECT_EQ(plan.preferencesJson, json::encode(second));
        // Rows are rewritten exactly when the bytes they embed differ.
        const bool bytesDiffer = json::encode(first) != json::encode(second);
        ASSERT_EQ(plan.changes.writes.size(), bytesDiffer ? notes.size() : 0);
        if (bytesDiffer) {
            EXPECT_EQ(plan.changes.writes.front().payload, notePayload(notes.front(), second));
            EXPECT_EQ(plan.changes.appState, appStatePayload(second));
        }
        writer.adopt(plan);
        // Unchanged preferences write nothing again.
        EXPECT_TRUE(writer.plan(notes, second).changes.isEmpty());
    }
}

// Typing saves one note again and again: each save is encoded into the
// memory of the save before the last, which nothing holds any more.
TEST(RecordWriter, aNoteSavedAgainIsEncodedIntoTheMemoryItsEncodingBeforeTheLastHeld)
{
    std::vector<Note> notes = {textNote(QStringLiteral("line 00"))};
    for (int index = 1; index < 100; ++index)
        notes[0].blocks.push_back(textNote(QStringLiteral("line %1").arg(index)).blocks.front());
    const Preferences preferences;
    RecordWriter writer;
    std::vector<const char*> memory;
    for (const QString& typed : {QStringLiteral("line aa"), QStringLiteral("line bb"), QStringLiteral("line cc")}) {
        notes[0].blocks[50].text = RichText(typed, TextFont::system(14)); // as long as before
        writer.markChanged(notes[0].id);
        RecordWriter::Plan plan = writer.plan(notes, preferences);
        ASSERT_EQ(plan.changes.writes.size(), 1u);
        EXPECT_EQ(plan.changes.writes[0].payload, notePayload(notes[0], preferences));
        memory.push_back(plan.changes.writes[0].payload.constData());
        writer.adopt(std::move(plan));
    }
    EXPECT_EQ(memory[2], memory[0]);
}

TEST(RecordWriter, aBlockIdOfANoteTypedInIsRefusedToAnotherBlock)
{
    // Another note's block, or another block of the same note, takes an id.
    for (const size_t claimant : {size_t(1), size_t(0)}) {
        std::vector<Note> notes = {textNote(QStringLiteral("a")), textNote(QStringLiteral("b"))};
        notes[0].blocks.push_back(textNote(QStringLiteral("a2")).blocks.front());
        const Preferences preferences;
        RecordWriter writer;
        writer.adopt(writer.plan(notes, preferences));
        // Typed in: the same block ids, one text changed.
        notes[0].blocks[0].text = RichText(QStringLiteral("a1"), TextFont::system(14));
        writer.markChanged(notes[0].id);
        writer.adopt(writer.plan(notes, preferences));

        notes[claimant].blocks.front().id = notes[0].blocks[1].id;
        writer.markChanged(notes[claimant].id);
        EXPECT_THROW(writer.plan(notes, preferences), AppError) << claimant;
    }

    // Two notes saved together give a block the same new id.
    std::vector<Note> notes = {textNote(QStringLiteral("a")), textNote(QStringLiteral("b"))};
    RecordWriter writer;
    writer.adopt(writer.plan(notes, Preferences()));
    const QUuid shared = QUuid::createUuid();
    for (Note& note : notes) {
        note.blocks.front().id = shared;
        writer.markChanged(note.id);
    }
    EXPECT_THROW(writer.plan(notes, Preferences()), AppError);
}

TEST(RecordWriter, aNoteThatReplacedOneOfItsBlocksGivesUpThatIdAlone)
{
    // The note held blocks x, y, z and now x, w, z: only y is free to take.
    const std::vector<std::pair<const char*, bool>> claims = {
        {"x", false}, {"y", true}, {"w", false}, {"z", false}};
    for (const auto& [claimed, accepted] : claims) {
        std::vector<Note> notes = {textNote(QStringLiteral("x")), textNote(QStringLiteral("b"))};
        for (const QString& line : {QStringLiteral("y"), QStringLiteral("z")})
            notes[0].blocks.push_back(textNote(line).blocks.front());
        const Preferences preferences;
        RecordWriter writer;
        writer.adopt(writer.plan(notes, preferences));
        const QUuid y = notes[0].blocks[1].id;
        notes[0].blocks[1] = textNote(QStringLiteral("w")).blocks.front();
        writer.markChanged(notes[0].id);
        writer.adopt(writer.plan(notes, preferences));

        const std::map<std::string, QUuid> ids = {
            {"x", notes[0].blocks[0].id}, {"y", y}, {"w", notes[0].blocks[1].id}, {"z", notes[0].blocks[2].id}};
        notes[1].blocks.front().id = ids.at(claimed);
        writer.markChanged(notes[1].id);
        if (accepted)
            EXPECT_NO_THROW(writer.plan(notes, preferences)) << claimed;
        else
            EXPECT_THROW(writer.plan(notes, preferences), AppError) << claimed;
    }
}

} // namespace
