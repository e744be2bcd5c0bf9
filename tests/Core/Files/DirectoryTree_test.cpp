#include "Core/Files/DirectoryTree.h"

#include "Core/Files/FileSystemError.h"
#include "Support/FsTestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace quorrin {
namespace {

using testing::readFile;
using testing::writeFile;

TEST(DirectoryTree, CopiesNestedAndHiddenEntries)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("from/a.txt"), "A");
    writeFile(dir.filePath("from/.hidden"), "H");
    writeFile(dir.filePath("from/sub/deeper/b.bin"), "B");
    QDir().mkpath(dir.filePath("from/emptySub"));

    copyDirectoryRecursively(dir.filePath("from"), dir.filePath("to"));

    EXPECT_EQ(readFile(dir.filePath("to/a.txt")), "A");
    EXPECT_EQ(readFile(dir.filePath("to/.hidden")), "H");
    EXPECT_EQ(readFile(dir.filePath("to/sub/deeper/b.bin")), "B");
    EXPECT_TRUE(QFileInfo(dir.filePath("to/emptySub")).isDir());
}

TEST(DirectoryTree, CopyRefusesAnExistingTargetAndLinksInTheTree)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("from/a.txt"), "A");
    writeFile(dir.filePath("to/keep.txt"), "keep");
    EXPECT_THROW(copyDirectoryRecursively(dir.filePath("from"), dir.filePath("to")), FileSystemError);
    EXPECT_EQ(readFile(dir.filePath("to/keep.txt")), "keep");
    EXPECT_FALSE(QFile::exists(dir.filePath("to/a.txt")));

    writeFile(dir.filePath("elsewhere/secret"), "S");
    QFile::link(dir.filePath("elsewhere/secret"), dir.filePath("from/zz-link"));
    EXPECT_THROW(copyDirectoryRecursively(dir.filePath("from"), dir.filePath("linked")), FileSystemError);
    EXPECT_FALSE(QFile::exists(dir.filePath("linked"))) << "a partial copy is removed";
}

TEST(DirectoryTree, RemoveDoesNotFollowLinks)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("elsewhere/keep"), "K");
    writeFile(dir.filePath("tree/file"), "F");
    QFile::link(dir.filePath("elsewhere"), dir.filePath("tree/linkToElsewhere"));

    EXPECT_TRUE(removeRecursively(dir.filePath("tree")));
    EXPECT_FALSE(QFile::exists(dir.filePath("tree")));
    EXPECT_EQ(readFile(dir.filePath("elsewhere/keep")), "K");
    EXPECT_TRUE(removeRecursively(dir.filePath("absent")));
}

TEST(DirectoryTree, TemporarySiblingIsHiddenAndRemovedUnlessMovedIntoPlace)
{
    QTemporaryDir dir;
    const QString destination = dir.filePath("Result.pkg");
    QString abandoned;
    {
        TemporarySibling work(destination, ".work-");
        abandoned = work.path();
        EXPECT_TRUE(QFileInfo(abandoned).fileName().startsWith(".work-"));
        EXPECT_EQ(QFileInfo(abandoned).absolutePath(), QFileInfo(destination).absolutePath());
        work.create();
        writeFile(abandoned + "/inner/file", "x");
    }
    EXPECT_FALSE(QFile::exists(abandoned));

    {
        TemporarySibling work(destination, ".work-");
        work.create();
        writeFile(work.path() + "/file", "done");
        work.moveIntoPlace();
    }
    EXPECT_EQ(readFile(destination + "/file"), "done");

    {
        TemporarySibling work(destination, ".work-");
        work.create();
        writeFile(work.path() + "/file", "second");
        EXPECT_THROW(work.moveIntoPlace(), FileSystemError);
        abandoned = work.path();
    }
    EXPECT_FALSE(QFile::exists(abandoned));
    EXPECT_EQ(readFile(destination + "/file"), "done");
}

} // namespace
} // namespace quorrin
