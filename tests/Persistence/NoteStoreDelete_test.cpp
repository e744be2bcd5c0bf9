#include "StoreFixtures.h"

#include "Core/Storage/Sqlite.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

using namespace quorrin;
using namespace quorrin::testing;

namespace {

class NoteStoreDeleteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = directory.open();
        store->setOnError([this](std::exception_ptr) { ++errors; });
    }

    Note addNote(const QString& plain)
    {
        Note note = store->create();
        note.blocks.front().text = RichText(plain, TextFont::system(14));
        store->update(note, true, false);
        return *store->note(note.id);
    }

    StoreDirectory directory;
    std::unique_ptr<NoteStore> store;
    int errors = 0;
};

TEST_F(NoteStoreDeleteTest, AnswersWhetherTheNoteLeftTheLiveNotes)
{
    const Note kept = addNote(QStringLiteral("kept"));
    const Note empty = store->create();
    EXPECT_TRUE(store->deleteNote(kept.id));
    EXPECT_TRUE(store->note(kept.id)->deletedAt);
    EXPECT_TRUE(store->deleteNote(empty.id));
    EXPECT_FALSE(store->note(empty.id));
    EXPECT_FALSE(store->deleteNote(uuid(77)));
    EXPECT_EQ(errors, 0);
}

TEST_F(NoteStoreDeleteTest, AFailedSaveKeepsTheNoteLiveAndReportsIt)
{
    const Note note = addNote(QStringLiteral("keep me"));
    QSignalSpy announced(store.get(), &NoteStore::notesChanged);

    // An open read transaction elsewhere keeps the commit from happening.
    SqliteDatabase reader(directory.storePath(), SqliteDatabase::Mode::ReadOnly);
    reader.execute(QStringLiteral("BEGIN"));
    std::optional<SqliteStatement> reading = reader.prepare(QStringLiteral("SELECT count(*) FROM NoteRecord"));
    ASSERT_TRUE(reading->step());

    EXPECT_FALSE(store->deleteNote(note.id));
    EXPECT_EQ(errors, 1);
    EXPECT_TRUE(store->lastError());
    EXPECT_EQ(*store->note(note.id), note);
    EXPECT_EQ(announced.count(), 0);

    reading.reset();
    reader.execute(QStringLiteral("COMMIT"));
    // Nothing of the refused deletion is saved later on.
    store->save();
    auto reopened = (store.reset(), directory.open());
    EXPECT_FALSE(reopened->note(note.id)->deletedAt);
}

} // namespace
