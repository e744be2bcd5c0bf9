#include "Persistence/AttachmentImport.h"

#include "Core/Files/FileDigest.h"
#include "Core/Files/FileSystemError.h"
#include "Support/FsTestSupport.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTemporaryDir>

namespace quorrin {
namespace {

using namespace testing;

class AttachmentImportTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString attachments = dir.filePath("Attachments");
    Clock clock = [] { return Date{1234.5}; };

    void SetUp() override { QDir().mkpath(attachments); }
};

TEST_F(AttachmentImportTest, StoresACopyUnderANewUuidWithTheLowerCasedExtension)
{
    writeFile(dir.filePath("Photo.JPG"), "picture");
    const Attachment attachment = importAttachmentFile(dir.filePath("Photo.JPG"), attachments, clock);

    EXPECT_TRUE(QRegularExpression("^[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\.jpg$")
                    .match(attachment.relativePath)
                    .hasMatch())
        << attachment.relativePath.toStdString();
    EXPECT_EQ(attachment.originalFilename, "Photo.JPG");
    EXPECT_EQ(attachment.contentType, "jpg");
    EXPECT_EQ(attachment.checksum, digest::sha256Hex(QByteArray("picture")));
    EXPECT_EQ(attachment.createdAt, Date{1234.5});
    EXPECT_EQ(treeContents(attachments), (QMap<QString, QByteArray>{{attachment.relativePath, "picture"}}));
    EXPECT_EQ(readFile(dir.filePath("Photo.JPG")), "picture") << "the source stays";
}

TEST_F(AttachmentImportTest, ANameWithoutExtensionEndsInTheFullStop)
{
    writeFile(dir.filePath(".bashrc"), "alias");
    const Attachment attachment = importAttachmentFile(dir.filePath(".bashrc"), attachments, clock);
    EXPECT_EQ(attachment.relativePath.size(), 37);
    EXPECT_TRUE(attachment.relativePath.endsWith('.'));
    EXPECT_EQ(attachment.contentType, QString());
    EXPECT_EQ(attachment.originalFilename, ".bashrc");
}

TEST_F(AttachmentImportTest, UnreadableSourcesAndUnwritableTargetsLeaveNothingBehind)
{
    QDir().mkpath(dir.filePath("folder.png"));
    writeFile(dir.filePath("ok.png"), "png");
    EXPECT_THROW(importAttachmentFile(dir.filePath("absent.png"), attachments, clock), FileSystemError);
    EXPECT_THROW(importAttachmentFile(dir.filePath("folder.png"), attachments, clock), FileSystemError);
    EXPECT_THROW(importAttachmentFile(dir.filePath("ok.png"), dir.filePath("noSuchFolder"), clock), FileSystemError);
    EXPECT_TRUE(treeContents(attachments).isEmpty());
}

} // namespace
} // namespace quorrin
