#include "Persistence/BackupPackage.h"

#include "Domain/AppError.h"
#include "Persistence/BackupTestSupport.h"
#include "Core/Files/DirectoryTree.h"
#include "Core/Files/FileDigest.h"
#include "Core/Files/FileSystemError.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <functional>

namespace quorrin {
namespace {

using namespace testing;

class BackupPackageTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString attachments = dir.filePath("data/Attachments");
    QString package = dir.filePath("Out.quorrinbackup");
    Attachment photo = attachmentNamed("A1.JPG", "photo.JPG");
    Attachment paper = attachmentNamed("B2.pdf", "paper.pdf");

    void SetUp() override
    {
        writeFile(attachments + "/A1.JPG", "jpeg bytes");
        writeFile(attachments + "/B2.pdf", "%PDF bytes");
        writeFile(attachments + "/Unused.png", "not referred to");
    }

    BackupManifest manifest() const
    {
        Note deleted = noteWithAttachments("gone but kept", {paper});
        deleted.deletedAt = Date{100};
        deleted.deletionIsExplicit = true;
        return BackupManifest{6, Date{42}, {noteWithAttachments("first", {photo}), deleted}, Preferences()};
    }

    void expectRefused(const QString& message)
    {
        try {
            backup::readVerifiedManifest(package);
            ADD_FAILURE() << "accepted a package that should fail with " << message.toStdString();
        } catch (const AppError& error) {
            EXPECT_EQ(error.message, message);
        }
    }
};

TEST_F(BackupPackageTest, WritesTheManifestWithFreshChecksumsAndOnlyTheUsedFiles)
{
    const BackupResult result = backup::writePackage(package, attachments, manifest());

    EXPECT_EQ(result.package, package);
    EXPECT_TRUE(result.missingAttachments.empty());
    EXPECT_EQ(treeContents(package + "/Attachments"),
              (QMap<QString, QByteArray>{{"A1.JPG", "jpeg bytes"}, {"B2.pdf", "%PDF bytes"}}));
    const BackupManifest written = readManifestFile(package + "/manifest.json");
    EXPECT_EQ(written.notes.size(), 2u);
    EXPECT_EQ(written.notes[0].blocks[1].attachment->checksum, digest::sha256Hex(QByteArray("jpeg bytes")));
    EXPECT_EQ(written.notes[1].blocks[1].attachment->checksum, digest::sha256Hex(QByteArray("%PDF bytes")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Hidden | QDir::AllEntries | QDir::NoDotAndDotDot).join(' '),
              "data Out.quorrinbackup")
        << "no working directory is left beside the package";
}

TEST_F(BackupPackageTest, AVerifiedPackageCopiesInUnderNewNames)
{
    backup::writePackage(package, attachments, manifest());
    const BackupManifest verified = backup::readVerifiedManifest(package);
    const QString target = dir.filePath("restored/Attachments");
    QDir().mkpath(target);

    backup::CopiedAttachments copies = backup::copyAttachmentsIn(package, verified.notes, target);
    copies.keep();
    const std::vector<Note>& notes = copies.notes;

    const Attachment& copiedPhoto = *notes[0].blocks[1].attachment;
    EXPECT_NE(copiedPhoto.relativePath, "A1.JPG");
    EXPECT_TRUE(copiedPhoto.relativePath.endsWith(".JPG")) << "the package file's extension is kept as it is";
    EXPECT_EQ(readFile(target + "/" + copiedPhoto.relativePath), "jpeg bytes");
    EXPECT_EQ(copiedPhoto.checksum, verified.notes[0].blocks[1].attachment->checksum);
    EXPECT_EQ(copiedPhoto.originalFilename, "photo.JPG");
    EXPECT_EQ(readFile(target + "/" + notes[1].blocks[1].attachment->relativePath), "%PDF bytes");
}

TEST_F(BackupPackageTest, APackageWhoseManifestDisagreesWithItsFilesIsRefused)
{
    const auto editManifest = [&](const std::function<void(Attachment&)>& edit) {
        BackupManifest m = readManifestFile(package + "/manifest.json");
        edit(*m.notes[0].blocks[1].attachment);
        writeManifestFile(package + "/manifest.json", m);
    };
    const struct {
        const char* what;
        std::function<void()> damage;
        QString message;
    } cases[] = {
        {"recorded missing but present", [&] { editManifest([](Attachment& a) { a.checksum.clear(); }); },
         "备份附件校验失败：photo.JPG"},
        {"missing manifest", [&] { QFile::remove(package + "/manifest.json"); }, "备份缺少清单文件 manifest.json。"},
        {"invalid manifest",
         [&] {
             BackupManifest m = readManifestFile(package + "/manifest.json");
             m.schemaVersion = 7;
             writeManifestFile(package + "/manifest.json", m);
         },
         "备份版本不受支持，请使用相应版本的 Quorrin。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        removeRecursively(package);
        backup::writePackage(package, attachments, manifest());
        c.damage();
        expectRefused(c.message);
    }

    removeRecursively(package);
    backup::writePackage(package, attachments, manifest());
    writeFile(package + "/manifest.json", "{ not json");
    EXPECT_THROW(backup::readVerifiedManifest(package), AppError);
}

TEST_F(BackupPackageTest, AFileChangedAfterVerificationIsNotCopiedIn)
{
    backup::writePackage(package, attachments, manifest());
    const BackupManifest verified = backup::readVerifiedManifest(package);
    writeFile(package + "/Attachments/B2.pdf", "swapped after the check");
    const QString target = dir.filePath("restored");
    QDir().mkpath(target);

    try {
        backup::copyAttachmentsIn(package, verified.notes, target);
        ADD_FAILURE() << "copied a file that no longer matches";
    } catch (const AppError& error) {
        EXPECT_EQ(error.message, "备份附件校验失败：paper.pdf");
    }
    for (const QString& name : QDir(target).entryList(QDir::Files))
        EXPECT_NE(readFile(target + "/" + name), "swapped after the check");
}

} // namespace
} // namespace quorrin
