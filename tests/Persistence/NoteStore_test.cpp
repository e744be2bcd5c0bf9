#include "StoreFixtures.h"

#include "Domain/AppError.h"
#include "Support/ChildProcess.h"
#include "Support/FileProtection.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <cmath>
#include <limits>
#include <map>
#include <set>

using namespace quorrin;
using namespace quorrin::testing;

namespace {

std::map<QString, QByteArray> storedRows(const QString& path)
{
    RecordStore store(path);
    std::map<QString, QByteArray> rows;
    for (const StoredRecord& record : store.readRecords())
        rows[record.id] = record.payload.value_or(QByteArray());
    return rows;
}

Note storedNote(const QByteArray& payload)
{
    return json::decode<BackupManifest>(payload).notes.at(0);
}

class NoteStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = directory.open();
        store->setOnCommit([this] { ++commits; });
        store->setOnError([this](std::exception_ptr error) { errors.push_back(describeError(error)); });
    }

    // Adds a note with text through the store's own operations.
    Note addNote(const QString& plain)
    {
        Note note = store->create();
        note.blocks.front().text = RichText(plain, TextFont::system(14));
        store->update(note, true, false);
        return *store->note(note.id);
    }

    std::vector<std::optional<QUuid>> notifications(const std::function<void()>& action)
    {
        std::vector<std::optional<QUuid>> posted;
        const auto connection = QObject::connect(store.get(), &NoteStore::notesChanged,
                                                 [&](std::optional<QUuid> id) { posted.push_back(id); });
        action();
        QObject::disconnect(connection);
        return posted;
    }

    StoreDirectory directory;
    std::unique_ptr<NoteStore> store;
    int commits = 0;
    std::vector<QString> errors;
};

TEST_F(NoteStoreTest, UpdateOfAnUnknownIdDoesNothing)
{
    const auto posted = notifications([&] { store->update(textNote(99, QStringLiteral("x")), true, true); });
    EXPECT_TRUE(posted.empty());
    EXPECT_EQ(commits, 0);
    EXPECT_TRUE(store->notes().empty());
}

TEST_F(NoteStoreTest, DeferredSavesCoalesceAndImmediateUpdatesCancelThem)
{
    Note note = addNote(QStringLiteral("draft"));
    const int before = commits;
    for (int step = 0; step < 3; ++step) {
        note.blocks.front().text = RichText(QStringLiteral("draft %1").arg(step), TextFont::system(14));
        store->update(note, false, false);
        EXPECT_TRUE(store->isSavePending());
    }
    EXPECT_EQ(directory.timer->lastDelay, std::chrono::milliseconds(350));
    EXPECT_EQ(commits, before);
    directory.timer->fire();
    EXPECT_EQ(commits, before + 1);
    EXPECT_FALSE(store->isSavePending());
    EXPECT_EQ(storedNote(storedRows(directory.storePath()).at(idText(note.id))).blocks.front().text,
              note.blocks.front().text);

    store->update(note, false, false);
    store->update(note, true, false); // saves now and drops the pending save
    EXPECT_FALSE(store->isSavePending());
    EXPECT_EQ(commits, before + 2);
}

TEST_F(NoteStoreTest, UpdatesThatNeverPauseAreStillSavedWithinTheLongestWait)
{
    Note note = addNote(QStringLiteral("typing"));
    const int before = commits;
    // Each update restarts the quiet period; the longest wait starts with the
    // first unsaved update only.
    for (int key = 0; key < 5; ++key) {
        note.blocks.front().text = RichText(QStringLiteral("typing %1").arg(key), TextFont::system(14));
        store->update(note, false, false);
    }
    EXPECT_EQ(directory.timer->starts, 5);
    EXPECT_EQ(directory.deadline->starts, 1);
    EXPECT_EQ(directory.deadline->lastDelay, std::chrono::milliseconds(2000));
    directory.deadline->fire(); // two seconds of typing without a pause
    EXPECT_EQ(commits, before + 1);
    EXPECT_FALSE(store->isSavePending());
    EXPECT_FALSE(directory.deadline->isPending());
    EXPECT_EQ(storedNote(storedRows(directory.storePath()).at(idText(note.id))).blocks.front().text,
              note.blocks.front().text);

    // The next update after that save starts a new longest wait; a quiet
    // period that ends first saves and drops it.
    store->update(note, false, false);
    EXPECT_EQ(directory.deadline->starts, 2);
    directory.timer->fire();
    EXPECT_EQ(commits, before + 2);
    EXPECT_FALSE(directory.deadline->isPending());
}

TEST_F(NoteStoreTest, NotificationsCarryTheIdOnlyForSingleNoteChanges)
{
    Note kept = addNote(QStringLiteral("kept"));
    Note empty = store->create();

    struct Case {
        const char* name;
        std::function<void()> action;
        std::vector<std::optional<QUuid>> expected;
    };
    const std::vector<Case> cases = {
        {"update with notification", [&] { store->update(kept, false, true); }, {kept.id}},
        {"update without notification", [&] { store->update(kept, true, false); }, {}},
        {"create", [&] { store->create(); }, {std::nullopt}}, // placeholder, checked below
        {"delete an empty note", [&] { store->deleteNote(empty.id); }, {std::nullopt}},
        {"shared layer", [&] { store->setSharedWindowLayer(true); }, {std::nullopt}},
        {"file persistence", [&] { store->setFilePersistence(true); }, {std::nullopt}},
        {"close and detach", [&] { store->closeAndDetachNote(kept.id); }, {std::nullopt}},
        {"delete a note with text", [&] { store->deleteNote(kept.id); }, {kept.id}},
        {"geometry in memory", [&] { store->updateGeometryInMemory(kept.id, {1, 2, 300, 300}, std::nullopt); }, {}},
        {"geometry", [&] { store->updateGeometry(kept.id, {3, 4, 300, 300}, std::nullopt); }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto posted = notifications(c.action);
        if (std::string(c.name) == "create") {
            ASSERT_EQ(posted.size(), 1u);
            EXPECT_TRUE(posted.front().has_value());
            EXPECT_EQ(*posted.front(), store->notes().back().id);
        } else {
            EXPECT_EQ(posted, c.expected);
        }
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(NoteStoreTest, DeferredNotificationComesBeforeTheSave)
{
    Note note = addNote(QStringLiteral("text"));
    int commitsAtNotification = -1;
    notifications([&] {
        QObject::connect(store.get(), &NoteStore::notesChanged, store.get(),
                         [&] { commitsAtNotification = commits; }, Qt::SingleShotConnection);
        store->update(note, false, true);
    });
    EXPECT_EQ(commitsAtNotification, commits);
    EXPECT_TRUE(store->isSavePending());
}

TEST_F(NoteStoreTest, BlankDraftsAreNotStoredAndLoseTheirRow)
{
    Note note = addNote(QStringLiteral("words"));
    EXPECT_EQ(storedRows(directory.storePath()).size(), 1u);
    note.blocks.front().text = RichText(QStringLiteral(" \u200b\ufeff "), TextFont::system(14));
    store->update(note, true, false);
    EXPECT_TRUE(storedRows(directory.storePath()).empty());
    EXPECT_EQ(store->notes().size(), 1u); // still in memory
}

TEST_F(NoteStoreTest, DockingToADeletedNoteIsDroppedOnlyInTheStoredPayload)
{
    Note target = addNote(QStringLiteral("target"));
    Note docked = addNote(QStringLiteral("docked"));
    docked.docking = NoteDock{target.id, DockEdge::Right};
    store->update(docked, true, false);
    EXPECT_TRUE(storedNote(storedRows(directory.storePath()).at(idText(docked.id))).docking);

    store->deleteNote(target.id);
    EXPECT_TRUE(store->note(docked.id)->docking);
    EXPECT_FALSE(storedNote(storedRows(directory.storePath()).at(idText(docked.id))).docking);
}

TEST_F(NoteStoreTest, LookupsFollowNotesAddedAndRemovedInBetween)
{
    const Note kept = addNote(QStringLiteral("kept"));
    const Note empty = store->create();
    EXPECT_EQ(store->findNote(empty.id)->id, empty.id);
    store->discardEmptyNote(empty.id); // the list keeps its length once the next note is made
    const Note made = store->create();
    EXPECT_EQ(store->findNote(empty.id), nullptr);
    ASSERT_NE(store->findNote(made.id), nullptr);
    EXPECT_EQ(store->findNote(made.id)->id, made.id);
    EXPECT_EQ(store->findNote(kept.id)->id, kept.id);
    EXPECT_FALSE(store->note(QUuid::createUuid()));
}

TEST_F(NoteStoreTest, AfterReopeningSavesStillFindTheNotesDockedToAChangedNote)
{
    Note target = addNote(QStringLiteral("target"));
    Note blanked = addNote(QStringLiteral("blanked"));
    for (const Note* to : {&target, &blanked}) {
        Note docked = addNote(QStringLiteral("docked"));
        docked.docking = NoteDock{to->id, DockEdge::Right};
        store->update(docked, true, false);
    }
    store.reset();
    store = directory.open();
    const auto dockedTo = [&](const QUuid& id) {
        for (const auto& [row, payload] : storedRows(directory.storePath())) {
            const Note note = storedNote(payload);
            if (note.docking && note.docking->targetID == id)
                return true;
        }
        return false;
    };
    ASSERT_TRUE(dockedTo(target.id));
    ASSERT_TRUE(dockedTo(blanked.id));

    store->deleteNote(target.id);
    blanked.blocks.front().text = RichText();
    store->update(blanked, true, false);
    EXPECT_FALSE(dockedTo(target.id));
    EXPECT_FALSE(dockedTo(blanked.id));
    EXPECT_EQ(storedRows(directory.storePath()).size(), 3u); // the blank draft lost its row
}

TEST_F(NoteStoreTest, FileLinksOfTodosNoLongerShownMoveToTheNoteShelf)
{
    Note note = addNote(QStringLiteral("links"));
    Block todo = Block::create(fixedClock(1));
    todo.kind = BlockKind::Todo;
    todo.todo = TodoMetadata();
    Block archived = todo;
    archived.id = QUuid::createUuid();
    archived.todo->archivedAt = Date{5};
    note.blocks = {todo, archived};
    const auto link = [&](std::optional<QUuid> block) {
        return PersistentFileLink{QUuid::createUuid(), note.id, block, QStringLiteral("a.txt"), "bookmark"};
    };
    note.fileLinks = std::vector{link(todo.id), link(archived.id), link(std::nullopt)};
    store->update(note, true, false);
    const Note stored = *store->note(note.id);
    EXPECT_EQ(stored.fileLinks->at(0).blockID, todo.id);
    EXPECT_FALSE(stored.fileLinks->at(1).blockID);
    EXPECT_FALSE(stored.fileLinks->at(2).blockID);

    note = stored;
    note.blocks.front().convert(BlockKind::Paragraph);
    store->update(note, true, false);
    EXPECT_FALSE(store->note(note.id)->fileLinks->at(0).blockID);
}

TEST_F(NoteStoreTest, CreateCascadesOnTheMainScreenInThePreferredFont)
{
    directory.desktop->frame = QRectF(0, 40, 1000, 800); // centre (500, 440)
    directory.desktop->fonts = {QStringLiteral("Serif One")};
    store->preferences().fontName = QStringLiteral("Serif One");
    store->preferences().width = 300;
    store->preferences().height = 200;
    for (int index = 0; index < 13; ++index)
        addNote(QStringLiteral("n%1").arg(index));
    // Only active notes count: one in the recently deleted moves nothing.
    store->deleteNote(addNote(QStringLiteral("deleted")).id);

    const Note made = store->create();
    EXPECT_EQ(made.frame, (WindowFrame{500 - 150 + 22, 440 - 100 - 22, 300, 200}));
    EXPECT_EQ(made.blocks.size(), 1u);
    EXPECT_EQ(made.blocks.front().kind, BlockKind::Paragraph);
    EXPECT_EQ(made.blocks.front().text, RichText(QString(), TextFont{QStringLiteral("Serif One"), 14}));

    store->preferences().fontName = QStringLiteral("Missing");
    EXPECT_EQ(store->create().blocks.front().text, RichText(QString(), TextFont::system(14)));

    directory.desktop->frame.reset();
    EXPECT_EQ(store->create().frame.x, Note::defaultFrame().x);

    // Given text shows in the note's font and colour where it has none of its own.
    AttributedString given(QStringLiteral("given"));
    EXPECT_EQ(store->create(given).blocks.front().text, RichText(QStringLiteral("given"), TextFont::system(14)));
    TextAttributes red;
    red.font = TextFont{QStringLiteral("Mono"), 20};
    red.foreground = TextColor::fixed({1, 0, 0, 1});
    given.append(QStringLiteral(" red"), red);
    const AttributedString mixed = store->create(given).blocks.front().text.attributed();
    EXPECT_EQ(mixed.attributesAt(0).font, TextFont::system(14));
    EXPECT_EQ(mixed.attributesAt(0).foreground, TextColor::dynamicText());
    EXPECT_EQ(mixed.attributesAt(6).font, red.font);
    EXPECT_EQ(mixed.attributesAt(6).foreground, red.foreground);
}

TEST_F(NoteStoreTest, DeleteDiscardsEmptyNotesAndKeepsOthersAsRecentlyDeleted)
{
    Note empty = store->create();
    Note full = addNote(QStringLiteral("full"));
    store->deleteNote(empty.id);
    EXPECT_FALSE(store->note(empty.id));
    store->deleteNote(full.id);
    const Note deleted = *store->note(full.id);
    EXPECT_EQ(deleted.deletedAt, directory.now);
    EXPECT_EQ(deleted.deletionIsExplicit, true);
    EXPECT_TRUE(store->active().empty());
    EXPECT_FALSE(store->discardEmptyNote(full.id));
}

TEST_F(NoteStoreTest, CloseAndDetachHidesTheNoteAndUndocksEverythingFromIt)
{
    Note closing = addNote(QStringLiteral("closing"));
    Note other = addNote(QStringLiteral("other"));
    closing.docking = NoteDock{other.id, DockEdge::Left};
    store->update(closing, true, false);
    other.docking = NoteDock{closing.id, DockEdge::Right};
    store->update(other, true, false);
    const Date updated = store->note(closing.id)->updatedAt;
    directory.now = Date{800000000};

    store->closeAndDetachNote(closing.id);
    EXPECT_TRUE(store->note(closing.id)->isHidden);
    EXPECT_FALSE(store->note(closing.id)->docking);
    EXPECT_FALSE(store->note(other.id)->docking);
    EXPECT_EQ(store->note(closing.id)->updatedAt, updated);
    EXPECT_TRUE(storedNote(storedRows(directory.storePath()).at(idText(closing.id))).isHidden);
}

TEST_F(NoteStoreTest, GeometryInMemoryIsSavedOnlyByTheNextSave)
{
    Note note = addNote(QStringLiteral("geometry"));
    const int before = commits;
    EXPECT_FALSE(store->updateGeometryInMemory(note.id, note.frame, note.docking));
    EXPECT_EQ(store->note(note.id)->updatedAt, note.updatedAt);
    directory.now = Date{800000000};
    EXPECT_TRUE(store->updateGeometryInMemory(note.id, {5, 6, 400, 300}, std::nullopt));
    EXPECT_EQ(store->note(note.id)->updatedAt, directory.now);
    EXPECT_EQ(commits, before);
    EXPECT_FALSE(store->isSavePending());
    store->save();
    EXPECT_EQ(storedNote(storedRows(directory.storePath()).at(idText(note.id))).frame, (WindowFrame{5, 6, 400, 300}));
}

TEST_F(NoteStoreTest, ANewGeometryIsSavedAfterTheQuietPeriodAndTheSameOneNever)
{
    Note note = addNote(QStringLiteral("geometry"));
    store->updateGeometry(note.id, note.frame, note.docking);
    EXPECT_FALSE(store->isSavePending());
    store->updateGeometry(note.id, {7, 8, 400, 300}, std::nullopt);
    EXPECT_TRUE(store->isSavePending());
    directory.timer->fire();
    const Note saved = storedNote(storedRows(directory.storePath()).at(idText(note.id)));
    EXPECT_EQ(saved.frame, (WindowFrame{7, 8, 400, 300}));
    EXPECT_EQ(saved.blocks, note.blocks);
}

TEST_F(NoteStoreTest, SharedLayerLeavesRecentlyDeletedNotesAlone)
{
    Note live = addNote(QStringLiteral("live"));
    Note gone = addNote(QStringLiteral("gone"));
    store->deleteNote(gone.id);
    EXPECT_TRUE(store->setSharedWindowLayer(true));
    EXPECT_TRUE(store->preferences().alwaysOnTop);
    EXPECT_TRUE(store->note(live.id)->alwaysOnTop);
    EXPECT_FALSE(store->note(gone.id)->alwaysOnTop);
}

TEST_F(NoteStoreTest, TurningFilePersistenceOffDropsEveryLink)
{
    Note note = addNote(QStringLiteral("links"));
    note.fileLinks = std::vector{PersistentFileLink{QUuid::createUuid(), note.id, std::nullopt, "a", "b"}};
    store->update(note, true, false);
    store->deleteNote(note.id);
    store->setFilePersistence(true);
    EXPECT_TRUE(store->note(note.id)->fileLinks);
    store->setFilePersistence(false);
    EXPECT_FALSE(store->note(note.id)->fileLinks);
    EXPECT_EQ(store->preferences().persistFileLinks, false);
}

TEST_F(NoteStoreTest, SavesRewriteOnlyChangedRowsAndKeepThePreferencesFileCurrent)
{
    Note first = addNote(QStringLiteral("first"));
    addNote(QStringLiteral("second"));
    const QString preferencesPath = directory.file(NoteStore::preferencesFileName);
    QFile::remove(preferencesPath);
    const auto before = storedRows(directory.storePath());
    const int commitsBefore = commits;

    store->save(); // nothing changed
    EXPECT_EQ(commits, commitsBefore + 1);
    EXPECT_EQ(readBytes(preferencesPath), json::encode(store->preferences()));
    EXPECT_EQ(storedRows(directory.storePath()), before);
    // Bytes changed behind the store's back, even at the same length, are put right.
    const QByteArray current = readBytes(preferencesPath);
    writeBytes(preferencesPath, QByteArray(current.size(), ' '));
    store->save();
    EXPECT_EQ(readBytes(preferencesPath), current);

    first.blocks.front().text = RichText(QStringLiteral("changed"), TextFont::system(14));
    store->update(first, true, false);
    auto after = storedRows(directory.storePath());
    EXPECT_NE(after.at(idText(first.id)), before.at(idText(first.id)));
    int unchanged = 0;
    for (const auto& [id, payload] : after)
        unchanged += before.at(id) == payload;
    EXPECT_EQ(unchanged, 1);

    // Every payload embeds the preferences.
    store->preferences().confirmDeletion = false;
    store->save();
    for (const auto& [id, payload] : storedRows(directory.storePath()))
        EXPECT_FALSE(json::decode<BackupManifest>(payload).preferences.confirmDeletion) << id.toStdString();
}

TEST_F(NoteStoreTest, SaveRefusesWhatOpeningWouldReject)
{
    const Note note = addNote(QStringLiteral("good"));

    struct Case {
        const char* name;
        std::function<Note()> badNote; // may save on its way
    };
    const Case cases[] = {
        {"opacity NaN",
         [&] {
             Note bad = note;
             bad.opacity = std::numeric_limits<double>::quiet_NaN();
             return bad;
         }},
        {"frame below the minimum from the preferences",
         [&] {
             store->preferences().width = 100;
             Note made = store->create(); // blank, so not stored yet
             made.blocks.front().text = RichText(QStringLiteral("typed"), TextFont::system(14));
             return made;
         }},
        {"block id shared with another note",
         [&] {
             Note copy = store->create();
             copy.blocks = note.blocks;
             return copy;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Note bad = c.badNote();
        const auto before = storedRows(directory.storePath());
        errors.clear();
        store->update(bad, true, false);
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_TRUE(errors.front().contains(QStringLiteral("便笺数据无效"))) << errors.front().toStdString();
        EXPECT_EQ(describeError(store->lastError()), errors.front());
        EXPECT_EQ(storedRows(directory.storePath()), before);

        // What was stored still opens.
        store.reset();
        store = directory.open();
        store->setOnError([this](std::exception_ptr error) { errors.push_back(describeError(error)); });
        store->preferences().width = 310;
        EXPECT_EQ(store->notes().size(), 1u);
    }
}

TEST_F(NoteStoreTest, FailingCommitRollsBackKeepsTheErrorAndTheDataOnDisk)
{
    Note note = addNote(QStringLiteral("original"));
    const auto before = storedRows(directory.storePath());

    // An open read transaction elsewhere keeps the commit from happening.
    SqliteDatabase reader(directory.storePath(), SqliteDatabase::Mode::ReadOnly);
    reader.execute(QStringLiteral("BEGIN"));
    std::optional<SqliteStatement> reading = reader.prepare(QStringLiteral("SELECT count(*) FROM NoteRecord"));
    ASSERT_TRUE(reading->step());

    note.blocks.front().text = RichText(QStringLiteral("lost"), TextFont::system(14));
    const int commitsBefore = commits;
    store->update(note, true, false);
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_TRUE(store->lastError());
    EXPECT_EQ(commits, commitsBefore);
    EXPECT_EQ(store->note(note.id)->blocks.front().text, note.blocks.front().text); // memory keeps the change
    reading.reset();
    reader.execute(QStringLiteral("COMMIT"));
    EXPECT_EQ(storedRows(directory.storePath()), before);

    // The next save writes the change and clears the error.
    store->save();
    EXPECT_FALSE(store->lastError());
    EXPECT_NE(storedRows(directory.storePath()), before);
}

TEST_F(NoteStoreTest, ReadOnlyStoreFileFailsTheSaveAndOperationsPutTheirStateBack)
{
    Note note = addNote(QStringLiteral("original"));
    const auto before = storedRows(directory.storePath());
    store.reset();
    FileProtection protection(directory.storePath());
    if (!protection.isActive())
        GTEST_SKIP() << "cannot make the store file read-only here";
    SetUp();

    EXPECT_FALSE(store->setSharedWindowLayer(true));
    EXPECT_FALSE(store->preferences().alwaysOnTop);
    EXPECT_FALSE(store->note(note.id)->alwaysOnTop);
    EXPECT_EQ(errors.size(), 1u);

    EXPECT_ANY_THROW(store->closeAndDetachNote(note.id));
    EXPECT_FALSE(store->note(note.id)->isHidden);
    EXPECT_TRUE(store->lastError());
    EXPECT_EQ(storedRows(directory.storePath()), before);
}

TEST_F(NoteStoreTest, KillDuringSaveLeavesAStoreWithTheOldOrTheNewNotes)
{
    for (int index = 0; index < 30; ++index)
        addNote(QStringLiteral("generation 0"));
    store.reset();

    for (const int delayMicroseconds : {0, 1000, 4000, 10000, 25000}) {
        SCOPED_TRACE(delayMicroseconds);
        ChildProcess child([&] {
            auto opened = directory.open();
            for (int generation = 1;; ++generation) {
                for (const Note& note : std::vector<Note>(opened->notes())) {
                    Note changed = note;
                    changed.blocks.front().text =
                        RichText(QStringLiteral("generation %1").arg(generation), TextFont::system(14));
                    opened->update(changed, false, false);
                }
                opened->save();
            }
            return 0;
        });
        ASSERT_TRUE(child.started());
        ::usleep(useconds_t(delayMicroseconds));
        child.kill();
        child.wait();

        auto reopened = directory.open();
        ASSERT_EQ(reopened->notes().size(), 30u);
        std::set<QString> texts;
        for (const Note& note : reopened->notes())
            texts.insert(note.blocks.front().text.attributed().string());
        EXPECT_EQ(texts.size(), 1u);
    }
}

} // namespace
