#include "Persistence/NoteStore.h"

#include "Domain/AppError.h"
#include "Persistence/BackupTestSupport.h"
#include "Persistence/StoreFixtures.h"
#include "Core/Files/DirectoryTree.h"
#include "Core/Files/FileDigest.h"
#include "Support/FileSizeLimit.h"
#include "Support/SmallFileSystem.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <functional>
#include <map>

namespace quorrin {
namespace {

using namespace testing;

const QRegularExpression uuidPackageName(
    QStringLiteral("^[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\.quorrinbackup$"));

Attachment storedAttachment(const QString& name, const QString& original, const QByteArray& bytes)
{
    Attachment attachment = attachmentNamed(name, original);
    attachment.checksum = digest::sha256Hex(bytes);
    return attachment;
}

// A note of `textNote` with an image block showing the attachment.
Note noteShowing(int n, const QString& text, const Attachment& attachment)
{
    Note note = textNote(n, text);
    Block image;
    image.id = uuid(2000 + n);
    image.kind = BlockKind::Image;
    image.attachment = attachment;
    note.blocks.push_back(image);
    return note;
}

// Every note with each attachment's file name replaced by a marker, for
// comparing notes whose attachments were copied under new names.
std::vector<Note> withoutAttachmentNames(std::vector<Note> notes)
{
    for (Note& note : notes)
        for (Block& block : note.blocks)
            if (block.attachment)
                block.attachment->relativePath = QStringLiteral("*");
    return notes;
}

class NoteStoreBackupTest : public ::testing::Test {
protected:
    StoreDirectory source;
    StoreDirectory target;
    QTemporaryDir out;
    QString package = out.filePath("Saved.quorrinbackup");
    Attachment photo = storedAttachment("P1.JPG", "photo.JPG", "jpeg bytes");
    Attachment paper = storedAttachment("D2.pdf", "paper.pdf", "%PDF bytes");

    // Writes the notes and preferences as stored rows, puts the files into
    // "Attachments" and opens the store.
    static std::unique_ptr<NoteStore> seed(StoreDirectory& directory, const std::vector<Note>& notes,
                                           const std::map<QString, QByteArray>& files = {},
                                           const Preferences& preferences = {})
    {
        std::vector<std::pair<QString, QByteArray>> rows;
        for (const Note& note : notes)
            rows.emplace_back(idText(note.id), manifestPayload({note}, 6, preferences));
        directory.writeRows(rows, manifestPayload({}, 6, preferences));
        for (const auto& [name, bytes] : files)
            writeFile(directory.file("Attachments/" + name), bytes);
        return directory.open(false);
    }

    std::unique_ptr<NoteStore> seedSource()
    {
        Note deleted = noteShowing(2, "in the bin", paper);
        deleted.deletedAt = Date{700000100};
        deleted.deletionIsExplicit = true;
        Preferences preferences;
        preferences.color = NoteColor::Blue;
        preferences.fontSize = 18;
        return seed(source, {noteShowing(1, "with a photo", photo), deleted},
                    {{"P1.JPG", "jpeg bytes"}, {"D2.pdf", "%PDF bytes"}, {"Orphan.png", "unused"}}, preferences);
    }

    static QStringList recoveryEntries(const StoreDirectory& directory)
    {
        return QDir(directory.file("Recovery")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
};

TEST_F(NoteStoreBackupTest, BackupThenRestoreReproducesNotesPreferencesAndAttachmentBytes)
{
    auto original = seedSource();
    const BackupResult result = original->backup(package);
    EXPECT_EQ(result.package, package);
    EXPECT_TRUE(result.missingAttachments.empty());
    EXPECT_FALSE(QFile::exists(package + "/Attachments/Orphan.png")) << "files no note uses are not copied";

    auto restoring = seed(target, {textNote(9, "only in the target")});
    int announcements = 0;
    QObject::connect(restoring.get(), &NoteStore::notesChanged, [&](std::optional<QUuid> id) {
        ++announcements;
        EXPECT_FALSE(id);
    });
    restoring->restoreBackup(package);

    EXPECT_EQ(announcements, 1);
    EXPECT_EQ(withoutAttachmentNames(restoring->notes()), withoutAttachmentNames(original->notes()))
        << "the note only in the target is gone; the rest match";
    EXPECT_EQ(restoring->preferences(), original->preferences());
    const std::pair<const Note*, QByteArray> expected[] = {{&restoring->notes()[0], "jpeg bytes"},
                                                           {&restoring->notes()[1], "%PDF bytes"}};
    for (const auto& [note, bytes] : expected) {
        const Attachment& copied = *note->blocks[1].attachment;
        EXPECT_NE(copied.relativePath, note->id == uuid(1) ? photo.relativePath : paper.relativePath);
        EXPECT_EQ(readFile(target.file("Attachments/" + copied.relativePath)), bytes);
        EXPECT_EQ(copied.checksum, digest::sha256Hex(bytes));
    }

    const std::vector<Note> restored = restoring->notes();
    restoring.reset();
    EXPECT_EQ(target.open(false)->notes(), restored) << "the restore was saved";

    const QStringList safety = recoveryEntries(target);
    ASSERT_EQ(safety.size(), 1);
    EXPECT_TRUE(uuidPackageName.match(safety[0]).hasMatch()) << safety[0].toStdString();
    const BackupManifest before = readManifestFile(target.file("Recovery/" + safety[0] + "/manifest.json"));
    ASSERT_EQ(before.notes.size(), 1u);
    EXPECT_EQ(before.notes[0].id, uuid(9)) << "the safety copy holds the state before the restore";
}

TEST_F(NoteStoreBackupTest, RestoreWithUnchangedPreferencesDropsTheRowsOfNotesNotInThePackage)
{
    auto original = seed(source, {textNote(1, "kept")});
    original->backup(package);

    auto restoring = seed(target, {textNote(9, "only in the target")});
    restoring->restoreBackup(package);
    restoring.reset();

    const auto reopened = target.open(false);
    ASSERT_EQ(reopened->notes().size(), 1u);
    EXPECT_EQ(reopened->notes()[0].id, uuid(1));
}

TEST_F(NoteStoreBackupTest, ARefusedRestoreLeavesTheDataDirectoryByteForByteUnchanged)
{
    auto original = seedSource();
    auto restoring = seed(target, {noteShowing(9, "keep me", storedAttachment("K9.png", "keep.png", "kept"))},
                          {{"K9.png", "kept"}});
    writeFile(out.filePath("outside.txt"), "outside");
    const auto editPhoto = [&](const std::function<void(Attachment&)>& edit) {
        BackupManifest manifest = readManifestFile(package + "/manifest.json");
        edit(*manifest.notes[0].blocks[1].attachment);
        writeManifestFile(package + "/manifest.json", manifest);
    };
    const struct {
        const char* what;
        std::function<void()> damage;
        QString message;
    } cases[] = {
        {"missing attachment", [&] { QFile::remove(package + "/Attachments/P1.JPG"); }, "备份缺少附件：photo.JPG"},
        {"tampered attachment", [&] { writeFile(package + "/Attachments/D2.pdf", "%PDF other"); },
         "备份附件校验失败：paper.pdf"},
        {"upper-case checksum", [&] { editPhoto([](Attachment& a) { a.checksum = a.checksum.toUpper(); }); },
         "备份附件校验失败：photo.JPG"},
        {"path traversal", [&] { editPhoto([](Attachment& a) { a.relativePath = "../Notes.sqlite"; }); },
         "备份附件路径无效。"},
        {"absolute path", [&] { editPhoto([&](Attachment& a) { a.relativePath = out.filePath("outside.txt"); }); },
         "备份附件路径无效。"},
        {"symbolic link out",
         [&] {
             QFile::remove(package + "/Attachments/P1.JPG");
             QFile::link(out.filePath("outside.txt"), package + "/Attachments/P1.JPG");
         },
         "备份附件不是普通文件：photo.JPG"},
    };

    int announcements = 0;
    QObject::connect(restoring.get(), &NoteStore::notesChanged, [&] { ++announcements; });
    const std::vector<Note> notesBefore = restoring->notes();
    const std::string treeBefore = treeSummary(target.path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        removeRecursively(package);
        original->backup(package);
        c.damage();
        try {
            restoring->restoreBackup(package);
            ADD_FAILURE() << "restored a damaged package";
        } catch (const AppError& error) {
            EXPECT_EQ(error.message, c.message);
        }
        EXPECT_EQ(treeSummary(target.path()), treeBefore);
        EXPECT_EQ(restoring->notes(), notesBefore);
    }
    EXPECT_EQ(announcements, 0);
}

TEST_F(NoteStoreBackupTest, BackupNeverReplacesAnExistingTarget)
{
    auto store = seedSource();
    writeFile(package + "/manifest.json", "someone else's");
    try {
        store->backup(package);
        ADD_FAILURE() << "wrote into an existing package";
    } catch (const AppError& error) {
        EXPECT_EQ(error.message, "备份目标已存在，请选择新的文件名。");
    }
    EXPECT_EQ(treeContents(package), (QMap<QString, QByteArray>{{"manifest.json", "someone else's"}}));
    EXPECT_EQ(QDir(out.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"Saved.quorrinbackup"});
}

TEST_F(NoteStoreBackupTest, AMissingAttachmentFileDoesNotStopBackupsAndKeepsItsNote)
{
    auto store = seedSource();
    QFile::remove(source.file("Attachments/P1.JPG"));

    const BackupResult result = store->backup(package);
    ASSERT_EQ(result.missingAttachments.size(), 1u);
    EXPECT_EQ(result.missingAttachments[0].originalFilename, "photo.JPG");

    auto restoring = seed(target, {});
    restoring->restoreBackup(package);
    ASSERT_EQ(restoring->notes().size(), 2u) << "every note survives";
    EXPECT_EQ(restoring->notes()[0].blocks[1].attachment->originalFilename, "photo.JPG");
    EXPECT_EQ(readFile(target.file("Attachments/" + restoring->notes()[1].blocks[1].attachment->relativePath)),
              "%PDF bytes");
}

TEST_F(NoteStoreBackupTest, ImportedFilesLandInTheAttachmentsFolder)
{
    auto store = seed(source, {});
    writeFile(out.filePath("Photo.JPG"), "camera");
    const Attachment attachment = store->importAttachment(out.filePath("Photo.JPG"));
    EXPECT_TRUE(attachment.relativePath.endsWith(".jpg"));
    EXPECT_EQ(attachment.contentType, "jpg");
    EXPECT_EQ(attachment.originalFilename, "Photo.JPG");
    EXPECT_EQ(attachment.createdAt, source.now);
    EXPECT_EQ(readFile(source.file("Attachments/" + attachment.relativePath)), "camera");
    EXPECT_TRUE(store->notes().empty()) << "the caller puts the attachment into a note";
}

TEST_F(NoteStoreBackupTest, CloseRetentionUpgradeWhenAlreadyDoneChangesNothing)
{
    Preferences upgraded;
    upgraded.closeRetentionUpgraded = true;
    auto store = seed(source, {textNote(1, "live")}, {}, upgraded);
    const std::string before = treeSummary(source.path());
    int commits = 0;
    store->setOnCommit([&] { ++commits; });

    EXPECT_EQ(store->upgradeCloseRetentionIfNeeded(), 0);
    EXPECT_EQ(commits, 0);
    EXPECT_EQ(treeSummary(source.path()), before);
}

TEST_F(NoteStoreBackupTest, CloseRetentionUpgradeWithoutCandidatesOnlyRecordsTheFlag)
{
    Note binned = textNote(2, "deleted on purpose");
    binned.deletedAt = Date{700000200};
    binned.deletionIsExplicit = true;
    auto store = seed(source, {textNote(1, "live"), binned});

    EXPECT_EQ(store->upgradeCloseRetentionIfNeeded(), 0);
    EXPECT_TRUE(recoveryEntries(source).isEmpty()) << "no safety copy without candidates";
    store.reset();
    auto reopened = source.open(false);
    EXPECT_TRUE(reopened->preferences().isCloseRetentionUpgraded());
    EXPECT_TRUE(reopened->notes()[1].deletedAt);
}

TEST_F(NoteStoreBackupTest, CloseRetentionUpgradeBringsBackClosedNotesAfterASafetyCopy)
{
    std::vector<Note> notes;
    for (int n = 1; n <= 3; ++n) {
        Note closed = textNote(n, QStringLiteral("closed %1").arg(n));
        closed.deletedAt = Date{700000300};
        closed.isHidden = n == 2;
        if (n == 3)
            closed.deletionIsExplicit = false;
        notes.push_back(closed);
    }
    Note binned = textNote(4, "deleted on purpose");
    binned.deletedAt = Date{700000400};
    binned.deletionIsExplicit = true;
    notes.push_back(binned);
    auto store = seed(source, notes);

    EXPECT_EQ(store->upgradeCloseRetentionIfNeeded(), 3);

    const QStringList safety = recoveryEntries(source);
    ASSERT_EQ(safety.size(), 1);
    EXPECT_TRUE(safety[0].startsWith("BeforeCloseRetention-"));
    EXPECT_TRUE(uuidPackageName.match(safety[0].mid(QStringLiteral("BeforeCloseRetention-").size())).hasMatch());
    const BackupManifest before = readManifestFile(source.file("Recovery/" + safety[0] + "/manifest.json"));
    ASSERT_EQ(before.notes.size(), 4u);
    EXPECT_TRUE(before.notes[0].deletedAt && before.notes[1].deletedAt && before.notes[2].deletedAt);

    store.reset();
    auto reopened = source.open(false);
    for (int index = 0; index < 3; ++index) {
        const Note& note = reopened->notes()[index];
        EXPECT_FALSE(note.deletedAt) << index;
        EXPECT_FALSE(note.isHidden) << index;
        EXPECT_EQ(note.updatedAt, notes[index].updatedAt) << "the upgrade is not an edit";
    }
    EXPECT_TRUE(reopened->notes()[3].deletedAt);
    EXPECT_TRUE(reopened->preferences().isCloseRetentionUpgraded());
    EXPECT_EQ(reopened->upgradeCloseRetentionIfNeeded(), 0);
}

// A store whose files cannot grow past 4 KB, as on a disk that is full: every
// write fails, the caller is told why, and the data directory stays as it was
// apart from a complete safety copy.
TEST_F(NoteStoreBackupTest, OnAFullDiskEveryWriteFailsAndTheDataDirectoryIsKept)
{
    const QByteArray image(5000, 'i');
    const Attachment large = storedAttachment("L1.png", "large.png", image);
    writeFile(out.filePath("import.png"), image);
    auto original = seed(source, {noteShowing(1, "large", large)}, {{"L1.png", image}});
    original->backup(package);
    original.reset();

    const struct {
        const char* what;
        bool withAttachment;
        rlim_t limit;
        std::function<void(NoteStore&)> work;
    } cases[] = {
        {"saving preferences", false, 64,
         [](NoteStore& store) {
             store.preferences().fontSize = 30;
             store.save();
         }},
        {"backup", true, 4096, [&](NoteStore& store) { store.backup(out.filePath("Full.quorrinbackup")); }},
        {"import", false, 4096, [&](NoteStore& store) { store.importAttachment(out.filePath("import.png")); }},
        {"restore: safety copy", true, 4096, [&](NoteStore& store) { store.restoreBackup(package); }},
        {"restore: copying in", false, 4096, [&](NoteStore& store) { store.restoreBackup(package); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        StoreDirectory data;
        const Attachment kept = storedAttachment("K1.png", "kept.png", c.withAttachment ? image : "k");
        seed(data, {noteShowing(9, "kept", kept)}, {{"K1.png", c.withAttachment ? image : "k"}})->save();
        const auto treeBefore = treeContents(data.path());
        const auto outBefore = treeContents(out.path());

        std::unique_ptr<NoteStore> store;
        const int outcome = outcomeUnderLimit(c.limit, [&] {
            store = data.open(false);
            c.work(*store);
        });
        EXPECT_EQ(outcome, failedAsExpected);

        // Only complete safety copies may be new.
        auto after = treeContents(data.path());
        for (const QString& path : after.keys()) {
            if (path.startsWith("Recovery/") && path.count('/') == 1) {
                EXPECT_TRUE(after.contains(path + "/manifest.json")) << path.toStdString();
            }
            if (path.startsWith("Recovery"))
                after.remove(path);
        }
        EXPECT_EQ(after, treeBefore);
        EXPECT_EQ(treeContents(out.path()), outBefore);
    }
}

TEST_F(NoteStoreBackupTest, RestoreCopiesAPackageFileOnceHoweverManyBlocksNameIt)
{
    Note note = textNote(1, "five pictures of one file");
    for (int n = 0; n < 5; ++n) {
        Block image;
        image.id = uuid(3000 + n);
        image.kind = BlockKind::Image;
        image.attachment = photo;
        image.attachment->id = uuid(4000 + n);
        note.blocks.push_back(image);
    }
    seed(source, {note}, {{"P1.JPG", "jpeg bytes"}})->backup(package);
    auto restoring = seed(target, {});

    restoring->restoreBackup(package);

    const QStringList files = QDir(target.file("Attachments")).entryList(QDir::Files | QDir::Hidden);
    ASSERT_EQ(files.size(), 1);
    for (const Block& block : restoring->notes().front().blocks) {
        if (block.attachment) {
            EXPECT_EQ(block.attachment->relativePath, files.front());
        }
    }
}

TEST_F(NoteStoreBackupTest, ARestoreThatDoesNotFitIsRefusedBeforeCopying)
{
    SmallFileSystem disk(512);
    if (!disk.isMounted())
        GTEST_SKIP() << "cannot mount a small file system here";
    const QByteArray large(1024 * 1024, 'x');
    seed(source, {noteShowing(1, "large", storedAttachment("L1.png", "large.png", large))}, {{"L1.png", large}})
        ->backup(package);
    auto restoring = std::make_unique<NoteStore>(disk.path(), false);
    const auto before = treeContents(disk.path() + "/Attachments");

    try {
        restoring->restoreBackup(package);
        ADD_FAILURE() << "restored more than the disk holds";
    } catch (const AppError& error) {
        EXPECT_TRUE(error.message.startsWith(QStringLiteral("磁盘空间不足，无法恢复备份：附件共需 1.0 MB")))
            << error.message.toStdString();
    }
    EXPECT_EQ(treeContents(disk.path() + "/Attachments"), before);
    EXPECT_TRUE(restoring->notes().empty());
}

} // namespace
} // namespace quorrin
