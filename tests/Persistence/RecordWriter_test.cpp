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

// A note of blocks x, y and z, and a note of one block b.
std::vector<Note> xyzAndB()
{
    std::vector<Note> notes = {textNote(QStringLiteral("x")), textNote(QStringLiteral("b"))};
    for (const QString& line : {QStringLiteral("y"), QStringLiteral("z")})
        notes[0].blocks.push_back(textNote(line).blocks.front());
    return notes;
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

// A plan's write may run while typing goes on: the notes changed after the
// plan was made are still saved by the next one.
TEST(RecordWriter, notesMarkedChangedAfterAPlanWasMadeStayMarkedWhenItIsAdopted)
{
    std::vector<Note> notes = {textNote(QStringLiteral("a")), textNote(QStringLiteral("b"))};
    const Preferences preferences;
    RecordWriter writer;
    writer.adopt(writer.plan(notes, preferences));
    const auto type = [&](size_t index, const QString& text) {
        notes[index].blocks.front().text = RichText(text, TextFont::system(14));
        writer.markChanged(notes[index].id);
    };
    type(0, QStringLiteral("a2"));
    RecordWriter::Plan written = writer.plan(notes, preferences);
    type(1, QStringLiteral("b2"));
    type(0, QStringLiteral("a3"));
    writer.adopt(std::move(written));

    const RecordWriter::Plan next = writer.plan(notes, preferences);
    ASSERT_EQ(next.changes.writes.size(), 2u);
    for (const RecordWrite& write : next.changes.writes) {
        const Note& note = write.id.contains(notes[0].id.toString(QUuid::WithoutBraces), Qt::CaseInsensitive)
            ? notes[0] : notes[1];
        EXPECT_EQ(write.payload, notePayload(note, preferences));
    }
}

// A note of many blocks saved for the first time replaces an encoding too
// small to take its next one: memory for that is asked for, and lent.
TEST(RecordWriter, aLargeNoteFirstSavedAsksForMemoryForItsNextEncoding)
{
    struct Case {
        int lines;
        bool secondSave;
        bool wanted;
    };
    // Some four thousand lines make a megabyte; a second save replaces an
    // encoding as large.
    const std::vector<Case> cases = {{4000, false, true}, {3000, false, false}, {4000, true, false}};
    const Preferences preferences;
    for (const Case& c : cases) {
        std::vector<Note> notes = {textNote(QStringLiteral("line 0000"))};
        RecordWriter writer;
        writer.adopt(writer.plan(notes, preferences));
        for (int index = 1; index < c.lines; ++index)
            notes[0].blocks.push_back(textNote(QStringLiteral("line %1").arg(index, 4, 10, QLatin1Char('0'))).blocks.front());
        writer.markChanged(notes[0].id);
        if (c.secondSave) {
            writer.adopt(writer.plan(notes, preferences));
            notes[0].blocks[5].text = RichText(QStringLiteral("line xxxx"), TextFont::system(14));
            writer.markChanged(notes[0].id);
        }
        RecordWriter::Plan plan = writer.plan(notes, preferences);
        const std::optional<RecordWriter::Room> room = writer.roomWanted(plan);
        EXPECT_EQ(room.has_value(), c.wanted) << c.lines;
        if (!room)
            continue;
        EXPECT_EQ(room->note, notes[0].id);
        EXPECT_GE(room->bytes, plan.changes.writes.at(0).payload.size());
        EXPECT_GE(room->blocks, notes[0].blocks.size());

        writer.adopt(std::move(plan));
        EncodedNote lent = EncodedNote::roomFor(room->bytes, room->blocks);
        const char* const memory = lent.payload().constData();
        writer.lend(room->note, std::move(lent));
        notes[0].blocks.push_back(textNote(QStringLiteral("line 9999")).blocks.front());
        writer.markChanged(notes[0].id);
        const RecordWriter::Plan next = writer.plan(notes, preferences);
        EXPECT_EQ(next.changes.writes.at(0).payload.constData(), memory);
        EXPECT_EQ(next.changes.writes.at(0).payload, notePayload(notes[0], preferences));
    }
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

// A saved note that gains a line is checked for the new line's id alone,
// against its own ids and those of the other notes.
TEST(RecordWriter, aBlockAddedToASavedNoteMayTakeNoIdAnyBlockHolds)
{
    struct Case {
        const char* id; // of the two blocks added after x, each named by the id it takes
        const char* second;
        bool accepted;
    };
    const std::vector<Case> cases = {
        {"new", "other new", true}, {"x", "new", false},   {"new", "z", false},
        {"b", "new", false},        {"new", "new", false},
    };
    for (const Case& c : cases) {
        std::vector<Note> notes = xyzAndB();
        const Preferences preferences;
        RecordWriter writer;
        writer.adopt(writer.plan(notes, preferences));

        const QUuid fresh = QUuid::createUuid();
        const std::map<std::string, QUuid> ids = {{"new", fresh},
                                                  {"other new", QUuid::createUuid()},
                                                  {"x", notes[0].blocks[0].id},
                                                  {"z", notes[0].blocks[2].id},
                                                  {"b", notes[1].blocks[0].id}};
        for (const char* name : {c.second, c.id}) {
            Block added = textNote(QStringLiteral("added")).blocks.front();
            added.id = ids.at(name);
            notes[0].blocks.insert(notes[0].blocks.begin() + 1, added);
        }
        writer.markChanged(notes[0].id);
        if (c.accepted)
            EXPECT_NO_THROW(writer.plan(notes, preferences)) << c.id << " " << c.second;
        else
            EXPECT_THROW(writer.plan(notes, preferences), AppError) << c.id << " " << c.second;
    }
}

TEST(RecordWriter, aNoteThatReplacedOneOfItsBlocksGivesUpThatIdAlone)
{
    // The note held blocks x, y, z and now x, w, z: only y is free to take.
    const std::vector<std::pair<const char*, bool>> claims = {
        {"x", false}, {"y", true}, {"w", false}, {"z", false}};
    for (const auto& [claimed, accepted] : claims) {
        std::vector<Note> notes = xyzAndB();
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
