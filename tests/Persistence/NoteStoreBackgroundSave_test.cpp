#include "StoreFixtures.h"

#include <gtest/gtest.h>

#include <QTest>

#include <optional>
#include <stdexcept>

using namespace quorrin;
using namespace quorrin::testing;

namespace {

QString storedText(const QString& storePath, const QUuid& id)
{
    RecordStore store(storePath);
    for (const StoredRecord& record : store.readRecords()) {
        if (record.id == idText(id))
            return json::decode<BackupManifest>(*record.payload).notes.at(0).blocks.front().text.attributed().string();
    }
    return {};
}

// An open read transaction elsewhere, which keeps a commit from happening
// while it lasts.
class ReadingElsewhere {
public:
    explicit ReadingElsewhere(const QString& storePath)
        : m_reader(storePath, SqliteDatabase::Mode::ReadOnly)
    {
        m_reader.execute(QStringLiteral("BEGIN"));
        m_reading.emplace(m_reader.prepare(QStringLiteral("SELECT count(*) FROM NoteRecord")));
        if (!m_reading->step())
            throw std::runtime_error("nothing read");
    }

private:
    SqliteDatabase m_reader;
    std::optional<SqliteStatement> m_reading;
};

// The deferred save writing its records on a thread of their own, the test
// turning the event loop until they are written.
class NoteStoreBackgroundSaveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = directory.open(true, true);
        store->setOnCommit([this] { ++commits; });
        store->setOnError([this](std::exception_ptr) { ++errors; });
        note = store->create();
        ASSERT_TRUE(settled(1)); // the new note's record, written in the background
    }

    void type(const QString& text)
    {
        note.blocks.front().text = RichText(text, TextFont::system(14));
        store->update(note, false, false);
    }
    // Until the save of what the last firing wrote is taken in.
    bool settled(int committed) { return QTest::qWaitFor([&] { return commits == committed || errors > 0; }, 10000); }

    StoreDirectory directory;
    std::unique_ptr<NoteStore> store;
    Note note;
    int commits = 0;
    int errors = 0;
};

TEST_F(NoteStoreBackgroundSaveTest, TheSaveIsTakenInOnceItsRecordsAreWritten)
{
    const int before = commits;
    type(QStringLiteral("typed"));
    directory.timer->fire();
    EXPECT_EQ(commits, before); // written meanwhile
    ASSERT_TRUE(settled(before + 1));
    EXPECT_EQ(storedText(directory.storePath(), note.id), QStringLiteral("typed"));
    EXPECT_FALSE(store->lastError());
}

TEST_F(NoteStoreBackgroundSaveTest, TypingWhileRecordsAreWrittenIsSavedByTheNextDeferredSave)
{
    const int before = commits;
    type(QStringLiteral("first"));
    directory.timer->fire();
    type(QStringLiteral("second"));
    directory.timer->fire(); // while the first is written
    ASSERT_TRUE(settled(before + 1));
    EXPECT_EQ(storedText(directory.storePath(), note.id), QStringLiteral("first"));
    ASSERT_TRUE(directory.timer->isPending());
    directory.timer->fire();
    ASSERT_TRUE(settled(before + 2));
    EXPECT_EQ(storedText(directory.storePath(), note.id), QStringLiteral("second"));
}

TEST_F(NoteStoreBackgroundSaveTest, ASaveAtOnceWaitsForTheRecordsBeingWrittenThenWritesWhatChangedSince)
{
    const int before = commits;
    type(QStringLiteral("deferred"));
    directory.timer->fire();
    note.blocks.front().text = RichText(QStringLiteral("at once"), TextFont::system(14));
    store->update(note, false, false);
    store->save();
    EXPECT_EQ(commits, before + 2);
    EXPECT_EQ(storedText(directory.storePath(), note.id), QStringLiteral("at once"));
}

// An update saved at once starts its save before it returns, and writes
// the records in the background after what was being written; each failure
// of such a save is reported, as a command's is.
TEST_F(NoteStoreBackgroundSaveTest, AnUpdateSavedAtOnceIsWrittenInTheBackgroundAfterTheWriteBeforeIt)
{
    const int before = commits;
    type(QStringLiteral("deferred"));
    directory.timer->fire();
    note.blocks.front().text = RichText(QStringLiteral("at once"), TextFont::system(14));
    store->update(note, true, false);
    EXPECT_EQ(commits, before + 1); // the deferred write was waited for, this one runs
    EXPECT_FALSE(directory.timer->isPending());
    ASSERT_TRUE(settled(before + 2));
    EXPECT_EQ(storedText(directory.storePath(), note.id), QStringLiteral("at once"));
}

TEST_F(NoteStoreBackgroundSaveTest, EachFailureOfAnUpdateSavedAtOnceIsReported)
{
    const ReadingElsewhere reading(directory.storePath());
    for (const QString& text : {QStringLiteral("one"), QStringLiteral("two")}) {
        const int reported = errors;
        note.blocks.front().text = RichText(text, TextFont::system(14));
        store->update(note, true, false);
        EXPECT_TRUE(QTest::qWaitFor([&] { return errors == reported + 1; }, 10000)) << text.toStdString();
    }
}

TEST_F(NoteStoreBackgroundSaveTest, RecordsThatFailToBeWrittenAreReportedAndWrittenByTheNextAttempt)
{
    std::optional<ReadingElsewhere> reading(std::in_place, directory.storePath());

    const int before = commits;
    type(QStringLiteral("refused"));
    directory.timer->fire();
    ASSERT_TRUE(settled(before + 1));
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(commits, before);
    EXPECT_TRUE(store->lastError());
    ASSERT_TRUE(directory.retry->isPending());

    reading.reset();
    directory.retry->fire();
    EXPECT_EQ(commits, before + 1);
    EXPECT_EQ(storedText(directory.storePath(), note.id), QStringLiteral("refused"));
}

TEST_F(NoteStoreBackgroundSaveTest, ClosingTheStoreWhileRecordsAreWrittenLetsThemBeWritten)
{
    type(QStringLiteral("closing"));
    directory.timer->fire();
    store.reset();
    EXPECT_EQ(storedText(directory.storePath(), note.id), QStringLiteral("closing"));
}

} // namespace
