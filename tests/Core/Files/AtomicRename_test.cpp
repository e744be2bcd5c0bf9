#include "Core/Files/AtomicRename.h"

#include "Core/Files/FileSystemError.h"
#include "Support/FsTestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace quorrin {
namespace {

using testing::readFile;
using testing::writeFile;

TEST(AtomicRename, MovesFilesAndDirectories)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("a.txt"), "A");
    writeFile(dir.filePath("tree/inner.txt"), "I");

    renameNoReplace(dir.filePath("a.txt"), dir.filePath("b.txt"));
    renameNoReplace(dir.filePath("tree"), dir.filePath("moved"));

    EXPECT_FALSE(QFile::exists(dir.filePath("a.txt")));
    EXPECT_EQ(readFile(dir.filePath("b.txt")), "A");
    EXPECT_EQ(readFile(dir.filePath("moved/inner.txt")), "I");
}

TEST(AtomicRename, NeverReplacesAnExistingDestination)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("source/payload"), "new");
    writeFile(dir.filePath("existingFile"), "old file");
    writeFile(dir.filePath("existingDir/keep"), "old dir");
    QDir().mkpath(dir.filePath("emptyDir"));

    for (const char* target : {"existingFile", "existingDir", "emptyDir"}) {
        try {
            renameNoReplace(dir.filePath("source"), dir.filePath(target));
            ADD_FAILURE() << "replaced " << target;
        } catch (const FileSystemError& error) {
            EXPECT_TRUE(error.message().contains(QStringLiteral("目标已存在"))) << error.what();
        }
    }
    EXPECT_EQ(readFile(dir.filePath("existingFile")), "old file");
    EXPECT_EQ(readFile(dir.filePath("existingDir/keep")), "old dir");
    EXPECT_TRUE(QDir(dir.filePath("emptyDir")).isEmpty());
    EXPECT_EQ(readFile(dir.filePath("source/payload")), "new");
}

TEST(AtomicRename, MissingSourceIsAnError)
{
    QTemporaryDir dir;
    EXPECT_THROW(renameNoReplace(dir.filePath("absent"), dir.filePath("target")), FileSystemError);
    EXPECT_FALSE(QFile::exists(dir.filePath("target")));
}

} // namespace
} // namespace quorrin
