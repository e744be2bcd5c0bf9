#include "Core/Storage/RecordStore.h"

#include "Support/ChildProcess.h"
#include "Support/FileProtection.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <map>
#include <set>

using namespace quorrin;
using quorrin::testing::ChildProcess;
using quorrin::testing::FileProtection;

namespace {

QByteArray payloadFor(int generation, int index)
{
    // Large enough that a save of many records spans several pages.
    return QByteArray::number(generation) + ':' + QByteArray::number(index) + ':' + QByteArray(3000, 'x');
}

int generationOf(const QByteArray& payload)
{
    return payload.left(payload.indexOf(':')).toInt();
}

RecordChanges generation(int number, int count)
{
    RecordChanges changes;
    for (int index = 0; index < count; ++index)
        changes.writes.push_back({QStringLiteral("ID-%1").arg(index), payloadFor(number, index), double(number)});
    changes.appState = payloadFor(number, -1);
    return changes;
}

std::map<QString, QByteArray> contents(RecordStore& store)
{
    std::map<QString, QByteArray> result;
    for (const StoredRecord& record : store.readRecords())
        result[record.id] = record.payload.value_or(QByteArray("<none>"));
    return result;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class RecordStoreTest : public ::testing::Test {
protected:
    QString path(const QString& name = QStringLiteral("Notes.sqlite")) const { return m_directory.filePath(name); }

    QTemporaryDir m_directory;
};

TEST_F(RecordStoreTest, NewStoreHasTheCurrentModel)
{
    {
        RecordStore store(path());
        EXPECT_TRUE(store.readRecords().empty());
        EXPECT_FALSE(store.readAppState());
    }
    const StoreMetadata metadata = RecordStore::readMetadata(path());
    EXPECT_EQ(metadata.modelVersion, RecordStore::currentModelVersion);
    EXPECT_EQ(RecordStore::modelOf(metadata), StoreModel::Current);
}

TEST_F(RecordStoreTest, ModelIsToldFromVersionAndTables)
{
    struct Case {
        StoreMetadata metadata;
        StoreModel model;
    };
    const Case cases[] = {
        {{2, true, true}, StoreModel::Current},
        {{1, true, false}, StoreModel::Legacy},
        {{1, true, true}, StoreModel::Unknown},
        {{2, true, false}, StoreModel::Unknown},
        {{2, false, true}, StoreModel::Unknown},
        {{3, true, true}, StoreModel::Unknown},
        {{0, false, false}, StoreModel::Unknown},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RecordStore::modelOf(c.metadata), c.model) << c.metadata.modelVersion;
}

TEST_F(RecordStoreTest, OpeningRefusesFilesOfOtherModelsAndLeavesThemAlone)
{
    struct Case {
        const char* name;
        std::function<void(const QString&)> make;
    };
    const Case cases[] = {
        {"legacy", [](const QString& p) { RecordStore::createLegacy(p); }},
        {"newer version",
         [](const QString& p) {
             { RecordStore store(p); }
             SqliteDatabase(p, SqliteDatabase::Mode::ReadWrite).setUserVersion(3);
         }},
        {"foreign database",
         [](const QString& p) {
             SqliteDatabase(p, SqliteDatabase::Mode::ReadWriteCreate).execute(QStringLiteral("CREATE TABLE Other (x)"));
         }},
        {"not a database",
         [](const QString& p) {
             QFile file(p);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.write(QByteArray(2048, 'z'));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = path(QString::fromLatin1(c.name) + QStringLiteral(".sqlite"));
        c.make(file);
        const QByteArray before = fileBytes(file);
        EXPECT_ANY_THROW(RecordStore store(file));
        EXPECT_ANY_THROW(RecordStore::openReadOnly(file));
        EXPECT_EQ(fileBytes(file), before);
    }
}

TEST_F(RecordStoreTest, ApplyWritesUpdatesAndDeletesRecords)
{
    RecordStore store(path());
    RecordChanges first;
    first.writes = {{QStringLiteral("A"), "one", 1}, {QStringLiteral("B"), "two", 2}, {QStringLiteral("C"), "", 3}};
    store.apply(first);

    RecordChanges second;
    second.writes = {{QStringLiteral("A"), "uno", 10}};
    second.deletions = {QStringLiteral("B"), QStringLiteral("missing")};
    store.apply(second);

    const std::vector<StoredRecord> records = store.readRecords();
    ASSERT_EQ(records.size(), 2u);
    std::map<QString, StoredRecord> byId;
    for (const StoredRecord& record : records)
        byId[record.id] = record;
    EXPECT_EQ(byId[QStringLiteral("A")].payload, QByteArray("uno"));
    EXPECT_EQ(byId[QStringLiteral("A")].updatedAt, 10);
    // An empty payload is still a blob.
    EXPECT_EQ(byId[QStringLiteral("C")].payload, QByteArray(""));
}

TEST_F(RecordStoreTest, AppStateIsInsertedOnceAndThenOverwritten)
{
    RecordStore store(path());
    RecordChanges changes;
    changes.appState = QByteArray("first");
    store.apply(changes);
    changes.appState = QByteArray("second");
    store.apply(changes);
    EXPECT_EQ(store.readAppState(), QByteArray("second"));

    SqliteDatabase database(path(), SqliteDatabase::Mode::ReadOnly);
    SqliteStatement count = database.prepare(QStringLiteral("SELECT count(*) FROM AppState"));
    ASSERT_TRUE(count.step());
    EXPECT_EQ(count.columnInt64(0), 1);
}

TEST_F(RecordStoreTest, OnlyTheFirstAppStateRowCountsAndNonBlobPayloadsReadAsAbsent)
{
    { RecordStore store(path()); }
    {
        // A file written by something else: no constraint stops these rows.
        SqliteDatabase database(path(), SqliteDatabase::Mode::ReadWrite);
        database.execute(QStringLiteral("DROP TABLE NoteRecord;"
                                        "CREATE TABLE NoteRecord (id TEXT UNIQUE, payload, updatedAt REAL);"
                                        "INSERT INTO NoteRecord VALUES ('text', 'not a blob', 0), ('null', NULL, 0);"
                                        "INSERT INTO AppState VALUES (x'01'), (x'02');"));
    }
    RecordStore store(path());
    EXPECT_EQ(store.readAppState(), QByteArray("\x01"));
    for (const StoredRecord& record : store.readRecords())
        EXPECT_FALSE(record.payload) << record.id.toStdString();

    RecordChanges changes;
    changes.appState = QByteArray("new");
    store.apply(changes);
    EXPECT_EQ(store.readAppState(), QByteArray("new"));
}

TEST_F(RecordStoreTest, FailingSaveRollsBackAndLeavesDataUnchanged)
{
    enum class Fault { ReadOnlyFile, FileProtectedWhileOpen, ReaderBlocksCommit };
    for (const Fault fault : {Fault::ReadOnlyFile, Fault::FileProtectedWhileOpen, Fault::ReaderBlocksCommit}) {
        SCOPED_TRACE(int(fault));
        QTemporaryDir directory;
        const QString file = directory.filePath(QStringLiteral("Notes.sqlite"));
        std::map<QString, QByteArray> before;
        {
            RecordStore store(file);
            store.apply(generation(1, 20));
            before = contents(store);
        }

        RecordChanges changes = generation(2, 20);
        changes.deletions = {QStringLiteral("ID-3")};
        std::optional<FileProtection> protection;
        std::optional<SqliteDatabase> reader;
        std::optional<SqliteStatement> readerStatement;
        if (fault == Fault::ReadOnlyFile) {
            protection.emplace(file);
            if (!protection->isActive())
                continue;
        }
        {
            RecordStore store(file, std::chrono::milliseconds(20));
            if (fault == Fault::FileProtectedWhileOpen) {
                protection.emplace(file);
                if (!protection->stopsOpenWriters())
                    continue;
            }
            if (fault == Fault::ReaderBlocksCommit) {
                // An open read transaction keeps the writer from committing.
                reader.emplace(file, SqliteDatabase::Mode::ReadOnly);
                reader->execute(QStringLiteral("BEGIN"));
                readerStatement.emplace(reader->prepare(QStringLiteral("SELECT count(*) FROM NoteRecord")));
                ASSERT_TRUE(readerStatement->step());
            }
            EXPECT_THROW(store.apply(changes), SqliteError);
            readerStatement.reset();
            reader.reset();
            protection.reset();
            // The same connection sees the old data and keeps working.
            EXPECT_EQ(contents(store), before);
            EXPECT_EQ(store.readAppState(), payloadFor(1, -1));
        }
        RecordStore reopened(file);
        EXPECT_EQ(contents(reopened), before);
        reopened.apply(changes);
        EXPECT_EQ(reopened.readRecords().size(), 19u);
    }
}

TEST_F(RecordStoreTest, MetadataIsReadWithoutWriteAccess)
{
    { RecordStore store(path()); }
    const QByteArray before = fileBytes(path());
    const QDateTime modified = QFileInfo(path()).lastModified();
    {
        FileProtection protection(path());
        QFile::setPermissions(m_directory.path(), QFile::ReadOwner | QFile::ExeOwner);
        const StoreMetadata metadata = RecordStore::readMetadata(path());
        QFile::setPermissions(m_directory.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_EQ(metadata.modelVersion, RecordStore::currentModelVersion);
    }
    EXPECT_EQ(fileBytes(path()), before);
    EXPECT_EQ(QFileInfo(path()).lastModified(), modified);
    EXPECT_EQ(QDir(m_directory.path()).entryList(QDir::Files), QStringList{QStringLiteral("Notes.sqlite")});
    EXPECT_THROW(RecordStore::readMetadata(path(QStringLiteral("missing.sqlite"))), RecordStoreError);
}

TEST_F(RecordStoreTest, ReadOnlyOpeningReadsWithoutWriteAccessAndNeverCreates)
{
    {
        RecordStore store(path());
        store.apply(generation(1, 3));
    }
    const QByteArray before = fileBytes(path());
    {
        FileProtection protection(path());
        QFile::setPermissions(m_directory.path(), QFile::ReadOwner | QFile::ExeOwner);
        RecordStore store = RecordStore::openReadOnly(path());
        EXPECT_EQ(contents(store).size(), 3u);
        EXPECT_EQ(store.readAppState(), payloadFor(1, -1));
        EXPECT_ANY_THROW(store.apply(generation(2, 1)));
        QFile::setPermissions(m_directory.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    EXPECT_EQ(fileBytes(path()), before);
    EXPECT_EQ(QDir(m_directory.path()).entryList(QDir::Files), QStringList{QStringLiteral("Notes.sqlite")});

    // What opening for writing would turn into a new store is refused.
    EXPECT_THROW(RecordStore::openReadOnly(path(QStringLiteral("missing.sqlite"))), RecordStoreError);
    ASSERT_TRUE(QFile(path(QStringLiteral("empty.sqlite"))).open(QIODevice::WriteOnly));
    EXPECT_THROW(RecordStore::openReadOnly(path(QStringLiteral("empty.sqlite"))), RecordStoreError);
    EXPECT_EQ(fileBytes(path(QStringLiteral("empty.sqlite"))), QByteArray());
}

TEST_F(RecordStoreTest, ReadingADamagedFileThatClaimsWriteAheadLoggingLeavesNoSideFiles)
{
    // A file the store fuzzer found: a header announcing write-ahead logging
    // made every read-only open leave "-wal" and "-shm" beside it.
    const QByteArray damaged = fileBytes(QStringLiteral(QUORRIN_FUZZ_CORPUS "/store/wal-header.sqlite"));
    ASSERT_FALSE(damaged.isEmpty());
    {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(damaged);
    }
    EXPECT_ANY_THROW(RecordStore::readMetadata(path()));
    EXPECT_ANY_THROW(RecordStore::openReadOnly(path()));
    EXPECT_EQ(QDir(m_directory.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Notes.sqlite")});
    EXPECT_EQ(fileBytes(path()), damaged);
}

TEST_F(RecordStoreTest, CopyIsConsistentAndReplacesTheDestination)
{
    RecordStore store(path());
    store.apply(generation(1, 5));
    const QString copyPath = path(QStringLiteral("Copy.sqlite"));
    {
        QFile stale(copyPath);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.write("stale");
        QFile staleJournal(copyPath + QStringLiteral("-journal"));
        ASSERT_TRUE(staleJournal.open(QIODevice::WriteOnly));
        staleJournal.write(QByteArray(512, '\x01'));
    }
    RecordStore::copy(path(), copyPath);
    {
        RecordStore copy(copyPath);
        EXPECT_EQ(contents(copy), contents(store));
        EXPECT_EQ(copy.readAppState(), payloadFor(1, -1));
    }
    store.apply(generation(2, 5));
    store.copyTo(copyPath);
    RecordStore copy(copyPath);
    EXPECT_EQ(contents(copy), contents(store));
    EXPECT_EQ(RecordStore::modelOf(RecordStore::readMetadata(copyPath)), StoreModel::Current);
    EXPECT_FALSE(QFile::exists(copyPath + QStringLiteral("-journal")));
    const QStringList leftovers = QDir(m_directory.path()).entryList({QStringLiteral("*.tmp")}, QDir::Files);
    EXPECT_TRUE(leftovers.isEmpty()) << leftovers.join(',').toStdString();
}

TEST_F(RecordStoreTest, LegacyStoreMigratesIntoANewFileKeepingEveryRecord)
{
    const QString legacy = path(QStringLiteral("Legacy.sqlite"));
    RecordStore::createLegacy(legacy);
    {
        SqliteDatabase database(legacy, SqliteDatabase::Mode::ReadWrite);
        database.execute(QStringLiteral("INSERT INTO NoteRecord VALUES ('A', x'4142', 1.5), ('B', x'43', 2.5)"));
    }
    EXPECT_EQ(RecordStore::modelOf(RecordStore::readMetadata(legacy)), StoreModel::Legacy);
    const QByteArray legacyBytes = fileBytes(legacy);

    const QString migrated = path(QStringLiteral("Migration.sqlite"));
    RecordStore::migrateLegacy(legacy, migrated);
    EXPECT_EQ(fileBytes(legacy), legacyBytes);
    EXPECT_EQ(RecordStore::modelOf(RecordStore::readMetadata(migrated)), StoreModel::Current);
    RecordStore store(migrated);
    EXPECT_EQ(contents(store), (std::map<QString, QByteArray>{{QStringLiteral("A"), "AB"}, {QStringLiteral("B"), "C"}}));
    EXPECT_FALSE(store.readAppState());

    // The target must be new, and only legacy stores migrate.
    EXPECT_THROW(RecordStore::migrateLegacy(legacy, migrated), RecordStoreError);
    EXPECT_THROW(RecordStore::migrateLegacy(migrated, path(QStringLiteral("Other.sqlite"))), RecordStoreError);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("Other.sqlite"))));
}

TEST_F(RecordStoreTest, DestroyRemovesTheFileAndItsJournals)
{
    { RecordStore store(path()); }
    QFile journal(path() + QStringLiteral("-journal"));
    ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
    journal.close();
    RecordStore::destroy(path());
    EXPECT_FALSE(QFile::exists(path()));
    EXPECT_FALSE(journal.exists());
    RecordStore::destroy(path()); // nothing left: no error
}

// A process killed in the middle of a write transaction, after SQLite had to
// write changed pages into the file itself, leaves a hot journal behind. The
// next opener must see the last committed state.
TEST_F(RecordStoreTest, KillBetweenStatementsLeavesTheCommittedData)
{
    std::map<QString, QByteArray> before;
    {
        RecordStore store(path());
        store.apply(generation(1, 60));
        before = contents(store);
    }
    ChildProcess child([this] {
        SqliteDatabase database(path(), SqliteDatabase::Mode::ReadWrite);
        database.execute(QStringLiteral("PRAGMA cache_size = 2")); // forces pages out before the commit
        SqliteTransaction transaction(database);
        database.execute(QStringLiteral("UPDATE NoteRecord SET payload = randomblob(3000)"));
        database.execute(QStringLiteral("DELETE FROM NoteRecord WHERE rowid % 2 = 0"));
        ::kill(::getpid(), SIGKILL);
        return 0;
    });
    ASSERT_TRUE(child.started());
    EXPECT_EQ(child.exitCode(), -1);
    ASSERT_TRUE(QFile::exists(path() + QStringLiteral("-journal")));

    EXPECT_EQ(RecordStore::modelOf(RecordStore::readMetadata(path())), StoreModel::Current);
    RecordStore store(path());
    EXPECT_EQ(contents(store), before);
}

// Kills a process that keeps saving whole generations at varying moments: the
// store must always open with one complete generation.
TEST_F(RecordStoreTest, KillDuringSavesLeavesOneWholeGeneration)
{
    constexpr int recordCount = 40;
    {
        RecordStore store(path());
        store.apply(generation(0, recordCount));
    }
    for (const int delayMicroseconds : {0, 500, 2000, 5000, 12000, 30000}) {
        SCOPED_TRACE(delayMicroseconds);
        ChildProcess child([this] {
            RecordStore store(path());
            for (int number = 1;; ++number)
                store.apply(generation(number, recordCount));
            return 0;
        });
        ASSERT_TRUE(child.started());
        ::usleep(useconds_t(delayMicroseconds));
        child.kill();
        child.wait();

        RecordStore::readMetadata(path());
        RecordStore store(path());
        const std::vector<StoredRecord> records = store.readRecords();
        ASSERT_EQ(records.size(), size_t(recordCount));
        std::set<int> generations;
        for (const StoredRecord& record : records)
            generations.insert(generationOf(record.payload.value_or(QByteArray())));
        ASSERT_TRUE(store.readAppState());
        generations.insert(generationOf(*store.readAppState()));
        EXPECT_EQ(generations.size(), 1u);
    }
}

} // namespace
