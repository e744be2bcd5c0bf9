#include "Core/Files/NoFollowFile.h"

#include "Core/Files/FileSystemError.h"
#include "Support/FsTestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <sys/stat.h>

namespace quorrin {
namespace {

using testing::writeFile;

class NoFollowFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString inside = dir.filePath("inside");
    QString outside = dir.filePath("outside");

    void SetUp() override
    {
        writeFile(inside + "/plain.bin", "plain");
        writeFile(outside + "/secret.txt", "secret");
        QFile::link(outside + "/secret.txt", inside + "/link.txt");
        ::mkfifo(QFile::encodeName(inside + "/pipe").constData(), 0600);
        QDir().mkpath(inside + "/folder");
    }
};

TEST_F(NoFollowFileTest, OpensAPlainFileForReading)
{
    NoFollowFile file = NoFollowFile::open(inside, "plain.bin");
    ASSERT_TRUE(file.isOpen());
    EXPECT_EQ(file.file().readAll(), "plain");
    EXPECT_EQ(file.path(), inside + "/plain.bin");
}

TEST_F(NoFollowFileTest, ReportsWhatIsNotAReadablePlainFile)
{
    const struct {
        QString directory;
        QString name;
        NoFollowFile::Status status;
    } cases[] = {
        {inside, "absent.bin", NoFollowFile::Status::missing},
        {dir.filePath("noSuchDirectory"), "plain.bin", NoFollowFile::Status::missing},
        {inside, "link.txt", NoFollowFile::Status::notRegularFile},
        {inside, "pipe", NoFollowFile::Status::notRegularFile}, // must not block
        {inside, "folder", NoFollowFile::Status::notRegularFile},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NoFollowFile::open(c.directory, c.name).status(), c.status) << c.name.toStdString();
}

TEST_F(NoFollowFileTest, RefusesNamesAndDirectoriesThatLeadElsewhere)
{
    for (const QString& name : {QStringLiteral("../outside/secret.txt"), QStringLiteral("/etc/passwd"),
                               QStringLiteral(".."), QStringLiteral("")})
        EXPECT_THROW(NoFollowFile::open(inside, name), FileSystemError) << name.toStdString();

    QFile::link(outside, dir.filePath("linkedDirectory"));
    EXPECT_THROW(NoFollowFile::open(dir.filePath("linkedDirectory"), "secret.txt"), FileSystemError);
}

} // namespace
} // namespace quorrin
