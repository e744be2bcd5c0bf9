#include "Core/Files/FileBookmark.h"

#include "Core/Files/FileSystemError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quorrin;

namespace {

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(FileBookmark, FindsTheSameFileAndNoticesAReplacement)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.txt");
    write(path, "one");
    QDir().mkpath(dir.filePath("sub"));
    const QByteArray bookmark = filebookmark::make(dir.filePath("sub/../a.txt"));

    std::optional<filebookmark::Resolution> found = filebookmark::resolve(bookmark);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->path, QDir(dir.path()).canonicalPath() + "/a.txt");
    EXPECT_FALSE(found->stale);

    QFile::remove(path);
    write(dir.filePath("spacer"), "x"); // takes the freed inode, if any
    write(path, "two");
    found = filebookmark::resolve(bookmark);
    ASSERT_TRUE(found);
    EXPECT_TRUE(found->stale);

    QFile::remove(path);
    EXPECT_FALSE(filebookmark::resolve(bookmark));
}

TEST(FileBookmark, RefusesWhatIsNotABookmarkOfOurs)
{
    const std::vector<QByteArray> foreign{
        "",
        "not json",
        R"({"version":2,"path":"/","device":"1","inode":"1"})",
        R"({"version":1,"path":"relative/path","device":"1","inode":"1"})",
        R"({"version":1,"path":"/","device":1,"inode":"1"})",
        R"({"version":1,"path":"/"})",
        "[1,2]",
    };
    for (const QByteArray& bytes : foreign)
        EXPECT_FALSE(filebookmark::resolve(bytes)) << bytes.constData();
    EXPECT_THROW(filebookmark::make("/no/such/file/here"), FileSystemError);
}

} // namespace
