#include "StoreFixtures.h"

#include "Core/Files/FileSystemError.h"

#include "Domain/AppError.h"
#include "Core/Files/DataDirectory.h"
#include "Support/ChildProcess.h"

#include <gtest/gtest.h>

#include <QJsonDocument>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <map>
#include <cstring>

using namespace quorrin;
using namespace quorrin::testing;

namespace {

QStringList entries(const QString& directory)
{
    return QDir(directory).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
}

template <typename Action>
QString appErrorOf(Action action)
{
    try {
        action();
    } catch (const AppError& error) {
        return error.message;
    } catch (const std::exception& error) {
        return QStringLiteral("other: ") + QString::fromUtf8(error.what());
    }
    return QStringLiteral("no error");
}

TEST(NoteStoreOpeningTest, FreshDirectoryGetsItsLayoutAndNothingIsSaved)
{
    StoreDirectory directory;
    int commits = 0;
    auto store = directory.open();
    store->setOnCommit([&] { ++commits; });
    EXPECT_TRUE(store->isFirstLaunch());
    EXPECT_TRUE(store->notes().empty());
    EXPECT_EQ(store->preferences(), Preferences());
    EXPECT_EQ(entries(directory.path()),
              (QStringList{"Attachments", "Instance.lock", "Notes.sqlite"}));
    EXPECT_FALSE(directory.timer->isPending());
    EXPECT_FALSE(store->lastError());
    store.reset();
    EXPECT_FALSE(directory.open()->isFirstLaunch()); // the store file now exists
}

TEST(NoteStoreOpeningTest, DataDirectoryComesFromTheEnvironmentWithoutRoot)
{
    StoreDirectory directory;
    const QString root = directory.file(QStringLiteral("nested/data"));
    qputenv(dataDirectoryVariable, root.toUtf8());
    NoteStore store(std::nullopt, true);
    qunsetenv(dataDirectoryVariable);
    EXPECT_EQ(store.root(), root);
    EXPECT_TRUE(QFileInfo::exists(root + QStringLiteral("/Instance.lock")));
}

TEST(NoteStoreOpeningTest, SecondStoreOnTheSameDirectoryIsRefused)
{
    StoreDirectory directory;
    auto first = directory.open();
    try {
        directory.open();
        FAIL() << "second store opened";
    } catch (const StoreAccessError& error) {
        EXPECT_EQ(error, StoreAccessError::alreadyRunning());
        EXPECT_EQ(error.localizedDescription(),
                  QStringLiteral("同一个数据目录已有 Quorrin实例运行，已阻止重复实例覆盖内容。"));
    }
    // Without exclusive access no lock is taken, and the first store keeps working.
    EXPECT_NO_THROW(directory.open(false));
    first->create();
    EXPECT_FALSE(first->lastError());
}

TEST(NoteStoreOpeningTest, SecondProcessIsRefusedWhileTheFirstKeepsWorking)
{
    StoreDirectory directory;
    auto store = directory.open();
    const int code = runInChild([&] {
        try {
            NoteStore(directory.path(), true);
            return 0;
        } catch (const StoreAccessError&) {
            return 1;
        }
    });
    EXPECT_EQ(code, 1);
    store->update(store->create(), true, false);
    EXPECT_FALSE(store->lastError());
}

TEST(NoteStoreOpeningTest, LockFailuresOtherThanAnotherInstanceReportTheirCause)
{
    struct Case {
        InstanceLockError::Reason reason;
        int systemError;
        bool alreadyRunning;
    };
    const Case cases[] = {
        {InstanceLockError::Reason::HeldByAnotherInstance, EWOULDBLOCK, true},
        {InstanceLockError::Reason::CannotLock, ENOLCK, false},
        {InstanceLockError::Reason::CannotLock, EOPNOTSUPP, false},
        {InstanceLockError::Reason::CannotOpen, EACCES, false},
    };
    for (const Case& c : cases) {
        const std::exception_ptr error = storeErrorForLockFailure(InstanceLockError(c.reason, c.systemError, "x"));
        try {
            std::rethrow_exception(error);
        } catch (const StoreAccessError&) {
            EXPECT_TRUE(c.alreadyRunning) << c.systemError;
        } catch (const AppError& appError) {
            EXPECT_FALSE(c.alreadyRunning);
            if (c.reason == InstanceLockError::Reason::CannotOpen) {
                EXPECT_EQ(appError.message, QStringLiteral("无法建立便笺数据锁（没有访问权限）。"));
            } else {
                EXPECT_TRUE(appError.message.contains(FileSystemError::reasonText(c.systemError)));
            }
        }
    }
    // A lock file that cannot be opened.
    StoreDirectory directory;
    ASSERT_TRUE(QDir(directory.path()).mkdir(QStringLiteral("Instance.lock")));
    EXPECT_EQ(appErrorOf([&] { directory.open(); }), QStringLiteral("无法建立便笺数据锁（是文件夹）。"));
}

TEST(NoteStoreOpeningTest, CorruptPreferencesFailOpeningUnlessAnAppStateRowExists)
{
    StoreDirectory directory;
    writeBytes(directory.file(NoteStore::preferencesFileName), "{not json");
    EXPECT_THROW(directory.open(), json::Error);
    EXPECT_FALSE(QFileInfo::exists(directory.storePath())) << "a refused open creates no store";

    Preferences stored;
    stored.fontSize = 21;
    directory.writeRows({}, appStatePayload(stored));
    auto store = directory.open();
    EXPECT_EQ(store->preferences().fontSize, 21);
    EXPECT_FALSE(store->isFirstLaunch());
}

TEST(NoteStoreOpeningTest, APreferencesFileThatIsAFolderIsToldAsAFolder)
{
    StoreDirectory directory;
    ASSERT_TRUE(QDir().mkpath(directory.file(NoteStore::preferencesFileName)));
    EXPECT_EQ(appErrorOf([&] { directory.open(); }),
              QStringLiteral("无法读取文件“%1”：是文件夹").arg(directory.file(NoteStore::preferencesFileName)));
}

TEST(NoteStoreOpeningTest, AppStatePreferencesWinOverThePreferencesFile)
{
    StoreDirectory directory;
    Preferences inFile;
    inFile.fontSize = 30;
    writeBytes(directory.file(NoteStore::preferencesFileName), json::encode(inFile));
    EXPECT_EQ(directory.open()->preferences().fontSize, 30);

    Preferences inStore;
    inStore.fontSize = 12;
    directory.writeRows({}, appStatePayload(inStore));
    EXPECT_EQ(directory.open()->preferences().fontSize, 12);
}

TEST(NoteStoreOpeningTest, LegacyStoreIsCopiedToRecoveryAndMigrated)
{
    StoreDirectory directory;
    RecordStore::createLegacy(directory.storePath());
    {
        SqliteDatabase database(directory.storePath(), SqliteDatabase::Mode::ReadWrite);
        SqliteStatement insert = database.prepare(QStringLiteral("INSERT INTO NoteRecord VALUES (?1, ?2, 0)"));
        insert.bindText(1, idText(uuid(1))).bindBlob(2, manifestPayload({textNote(1, QStringLiteral("旧"))})).run();
    }
    const QByteArray legacyBytes = readBytes(directory.storePath());

    auto store = directory.open();
    ASSERT_EQ(store->notes().size(), 1u);
    EXPECT_EQ(store->notes().front().id, uuid(1));
    const QStringList recovery = entries(directory.file(NoteStore::recoveryDirectoryName));
    ASSERT_EQ(recovery.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^BeforeWorkspace-[0-9A-F-]{36}\\.sqlite$"))
                    .match(recovery.front())
                    .hasMatch());
    EXPECT_EQ(RecordStore::modelOf(RecordStore::readMetadata(
                  directory.file(QStringLiteral("Recovery/") + recovery.front()))),
              StoreModel::Legacy);
    EXPECT_EQ(RecordStore::modelOf(RecordStore::readMetadata(directory.storePath())), StoreModel::Current);
    EXPECT_TRUE(QDir(directory.path()).entryList({QStringLiteral("Migration-*")}).isEmpty());
    EXPECT_NE(readBytes(directory.storePath()), legacyBytes);
}

TEST(NoteStoreOpeningTest, OldSchemaRowsAreCheckpointedThenRewritten)
{
    StoreDirectory directory;
    directory.writeRows({{idText(uuid(1)), manifestPayload({textNote(1, QStringLiteral("five"))}, 5)}});
    writeBytes(directory.file(NoteStore::preferencesFileName), json::encode(Preferences()));
    const QByteArray before = readBytes(directory.storePath());

    auto store = directory.open();
    const QStringList recovery = entries(directory.file(NoteStore::recoveryDirectoryName));
    ASSERT_EQ(recovery.size(), 1);
    EXPECT_TRUE(recovery.front().startsWith(QStringLiteral("BeforeSchema6-")));
    const QString checkpoint = directory.file(QStringLiteral("Recovery/") + recovery.front());
    EXPECT_EQ(entries(checkpoint), (QStringList{"Notes.sqlite", "Preferences.json"}));
    RecordStore copy(checkpoint + QStringLiteral("/Notes.sqlite"));
    EXPECT_EQ(json::decode<BackupManifest>(*copy.readRecords().front().payload).schemaVersion, 5);

    RecordStore current(directory.storePath());
    const std::vector<StoredRecord> rows = current.readRecords();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(json::decode<BackupManifest>(*rows.front().payload).schemaVersion, 6);
    EXPECT_TRUE(current.readAppState());
    EXPECT_NE(readBytes(directory.storePath()), before);
}

TEST(NoteStoreOpeningTest, RefusedStoresAreLeftUntouched)
{
    struct Case {
        const char* name;
        std::function<void(StoreDirectory&)> prepare;
        QString message; // empty: any error
    };
    const Case cases[] = {
        {"unsupported model",
         [](StoreDirectory& d) {
             { RecordStore store(d.storePath()); }
             SqliteDatabase(d.storePath(), SqliteDatabase::Mode::ReadWrite).setUserVersion(9);
         },
         QStringLiteral("数据库模型版本不受支持，原始数据已保留。")},
        {"row without a blob payload",
         [](StoreDirectory& d) {
             { RecordStore store(d.storePath()); }
             SqliteDatabase database(d.storePath(), SqliteDatabase::Mode::ReadWrite);
             database.execute(QStringLiteral("DROP TABLE NoteRecord; CREATE TABLE NoteRecord (id, payload, updatedAt);"
                                             "INSERT INTO NoteRecord VALUES ('X', 'text', 0)"));
         },
         QStringLiteral("便笺记录不完整，原始数据库已保留。")},
        {"one note id in two rows",
         [](StoreDirectory& d) {
             d.writeRows({{QStringLiteral("A"), manifestPayload({textNote(1, QStringLiteral("a"))})},
                          {QStringLiteral("B"), manifestPayload({textNote(1, QStringLiteral("b"))})}});
         },
         QStringLiteral("备份含有重复便笺 ID。")},
        {"one block id in two rows",
         [](StoreDirectory& d) {
             Note other = textNote(2, QStringLiteral("b"));
             other.blocks.front().id = uuid(1001);
             d.writeRows({{QStringLiteral("A"), manifestPayload({textNote(1, QStringLiteral("a"))})},
                          {QStringLiteral("B"), manifestPayload({other})}});
         },
         QStringLiteral("备份含有重复 Block ID。")},
        {"store file is a folder", [](StoreDirectory& d) { QDir().mkpath(d.storePath()); }, QString()},
        {"empty store file", [](StoreDirectory& d) { writeBytes(d.storePath(), {}); },
         QStringLiteral("便笺数据库文件为空或已损坏，原始数据已保留。")},
        {"not a database", [](StoreDirectory& d) { writeBytes(d.storePath(), QByteArray(8192, 'x')); },
         QStringLiteral("便笺数据库文件为空或已损坏，原始数据已保留。")},
        {"undecodable payload",
         [](StoreDirectory& d) { d.writeRows({{QStringLiteral("A"), QByteArray("{\"notes\":[]}")}}); },
         QString()},
        {"old schema with an invalid note",
         [](StoreDirectory& d) {
             Note note = textNote(1, QStringLiteral("x"));
             note.opacity = 0.01;
             d.writeRows({{QStringLiteral("A"), manifestPayload({note}, 5)}});
         },
         QStringLiteral("备份窗口数据无效。")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StoreDirectory directory;
        c.prepare(directory);
        const QByteArray before = readBytes(directory.storePath());
        const QString message = appErrorOf([&] { directory.open(); });
        if (c.message.isEmpty()) {
            EXPECT_NE(message, QStringLiteral("no error"));
        } else {
            EXPECT_EQ(message, c.message);
        }
        // Every refusal is told in Chinese, whatever refused.
        EXPECT_TRUE(message.contains(QRegularExpression(QStringLiteral("[\\x{4e00}-\\x{9fff}]"))))
            << message.toStdString();
        EXPECT_EQ(readBytes(directory.storePath()), before);
        EXPECT_FALSE(QFileInfo::exists(directory.file(NoteStore::preferencesFileName)));
        EXPECT_FALSE(QFileInfo::exists(directory.file(NoteStore::recoveryDirectoryName)));
        // No lock is left behind.
        EXPECT_NO_THROW(InstanceLock lock(directory.path()));
    }
}

TEST(NoteStoreOpeningTest, BlankNotesAreDroppedAndTheirRowsDeleted)
{
    StoreDirectory directory;
    directory.writeRows({{idText(uuid(1)), manifestPayload({textNote(1, QStringLiteral(" \u200b\ufeff\n"))})},
                         {idText(uuid(2)), manifestPayload({textNote(2, QStringLiteral("kept"))})}},
                        appStatePayload(Preferences()));
    auto store = directory.open();
    ASSERT_EQ(store->notes().size(), 1u);
    EXPECT_EQ(store->notes().front().id, uuid(2));
    RecordStore records(directory.storePath());
    ASSERT_EQ(records.readRecords().size(), 1u);
    EXPECT_EQ(records.readRecords().front().id, idText(uuid(2)));
}

TEST(NoteStoreOpeningTest, NotesAreSortedByCreationKeepingLoadOrderForTies)
{
    StoreDirectory directory;
    directory.writeRows(
        {{QStringLiteral("R1"), manifestPayload({textNote(1, QStringLiteral("a"), 50), textNote(2, "b", 10)})},
         {QStringLiteral("R2"), manifestPayload({textNote(3, QStringLiteral("c"), 10)})},
         {QStringLiteral("R3"), manifestPayload({textNote(4, QStringLiteral("d"), 10)})}},
        appStatePayload(Preferences()));
    auto store = directory.open();
    std::vector<QUuid> order;
    for (const Note& note : store->notes())
        order.push_back(note.id);
    EXPECT_EQ(order, (std::vector<QUuid>{uuid(2), uuid(3), uuid(4), uuid(1)}));
}

TEST(NoteStoreOpeningTest, CloseRetentionMarksDeletedNotesExplicitAndSaves)
{
    StoreDirectory directory;
    Note deleted = textNote(1, QStringLiteral("gone"));
    deleted.deletedAt = Date{700000100};
    Preferences preferences;
    preferences.closeRetentionUpgraded = true;
    directory.writeRows({{idText(uuid(1)), manifestPayload({deleted}, 6, preferences)}},
                        appStatePayload(preferences));
    auto store = directory.open();
    EXPECT_EQ(store->notes().front().deletionIsExplicit, true);
    RecordStore records(directory.storePath());
    const BackupManifest stored = json::decode<BackupManifest>(*records.readRecords().front().payload);
    EXPECT_EQ(stored.notes.front().deletionIsExplicit, true);
}

// Rows as another writer may have laid them out: the same notes in JSON
// spread over several lines.
QByteArray reformatted(const QByteArray& payload)
{
    return QJsonDocument::fromJson(payload).toJson(QJsonDocument::Indented);
}

TEST(NoteStoreOpeningTest, TheFirstSaveRewritesOnlyWhatChangedUnlessRowsEmbedOtherPreferences)
{
    Preferences other;
    other.confirmDeletion = !Preferences().confirmDeletion;
    struct Case {
        const char* name;
        Preferences embedded; // the preferences the note rows were written with
        bool untouchedRowsKept;
    };
    for (const Case& c : {Case{"as saved", Preferences(), true}, Case{"other preferences", other, false}}) {
        SCOPED_TRACE(c.name);
        StoreDirectory directory;
        std::vector<std::pair<QString, QByteArray>> rows;
        for (int n = 1; n <= 3; ++n)
            rows.emplace_back(idText(uuid(n)), reformatted(manifestPayload(
                                                   {textNote(n, QStringLiteral("text %1").arg(n))}, 6, c.embedded)));
        directory.writeRows(rows, appStatePayload(Preferences()));
        auto store = directory.open();

        Note changed = *store->note(uuid(2));
        changed.blocks.front().text = RichText(QStringLiteral("changed"), TextFont::system(14));
        store->update(changed, true, false);

        std::map<QString, QByteArray> stored;
        for (const StoredRecord& record : RecordStore(directory.storePath()).readRecords())
            stored[record.id] = record.payload.value_or(QByteArray());
        EXPECT_EQ(stored.at(idText(uuid(1))) == rows[0].second, c.untouchedRowsKept);
        EXPECT_EQ(stored.at(idText(uuid(3))) == rows[2].second, c.untouchedRowsKept);
        const BackupManifest written = json::decode<BackupManifest>(stored.at(idText(uuid(2))));
        EXPECT_EQ(written.notes.front().blocks.front().text.attributed().string(), QStringLiteral("changed"));
        EXPECT_EQ(written.preferences, Preferences());

        // Reopened, every note reads back as it was kept.
        store.reset();
        auto reopened = directory.open();
        EXPECT_EQ(reopened->note(uuid(1))->blocks.front().text.attributed().string(), QStringLiteral("text 1"));
        EXPECT_EQ(reopened->note(uuid(2))->blocks.front().text.attributed().string(), QStringLiteral("changed"));
    }
}

} // namespace
