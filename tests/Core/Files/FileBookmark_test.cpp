#include "Core/Files/FileBookmark.h"

#include "Core/Files/FileSystemError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

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

    // The old file lives on under another name while the new one is made, so
    // the new one cannot get its inode.
    ASSERT_TRUE(QFile::rename(path, dir.filePath("a.old")));
    write(path, "two");
    found = filebookmark::resolve(bookmark);
    ASSERT_TRUE(found);
    EXPECT_TRUE(found->stale);

    QFile::remove(path);
    EXPECT_FALSE(filebookmark::resolve(bookmark));
}

// A file deleted and made again can come back with the same device and inode;
// a bookmark that recorded a birth time tells it apart, one without does not.
TEST(FileBookmark, ComparesTheBirthTimeWhereBothSidesHaveOne)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).canonicalPath() + "/a.txt";
    write(path, "one");
    const std::optional<FileIdentity> real = fileIdentity(path);
    ASSERT_TRUE(real);
    if (!real->birth)
        GTEST_SKIP() << "the file system of the temporary folder keeps no birth time";
    FileIdentity reborn = *real;
    reborn.birth->nanoseconds = (reborn.birth->nanoseconds + 1) % 1'000'000'000;
    FileIdentity unknown = *real;
    unknown.birth.reset();

    const struct {
        const char* name;
        FileIdentity recorded;
        bool stale;
    } cases[] = {
        {"same birth", *real, false},
        {"same inode, other birth", reborn, true},
        {"no birth recorded", unknown, false},
    };
    for (const auto& c : cases) {
        const std::optional<filebookmark::Resolution> found =
            filebookmark::resolve(filebookmark::encode({path, c.recorded}));
        ASSERT_TRUE(found) << c.name;
        EXPECT_EQ(found->stale, c.stale) << c.name;
    }
    EXPECT_EQ(filebookmark::decode(filebookmark::make(path))->identity, *real);

    // A bookmark of the first version holds stat()'s device and inode numbers.
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
    const QByteArray first = QStringLiteral(R"({"version":1,"path":"%1","device":"%2","inode":"%3"})")
                                 .arg(path)
                                 .arg(quint64(status.st_dev))
                                 .arg(quint64(status.st_ino))
                                 .toUtf8();
    const std::optional<filebookmark::Resolution> found = filebookmark::resolve(first);
    ASSERT_TRUE(found);
    EXPECT_FALSE(found->stale);
}

// The process file system keeps no birth times: the zeroes statx leaves in
// their place are not one.
TEST(FileBookmark, AFileSystemWithoutBirthTimesGivesNone)
{
    const std::optional<FileIdentity> identity = fileIdentity(QStringLiteral("/proc/self/stat"));
    ASSERT_TRUE(identity);
    EXPECT_FALSE(identity->birth);
}

TEST(FileBookmark, IsSameFileComparesBirthOnlyWhenBothHaveIt)
{
    const BirthTime early{1'700'000'000, 5};
    const BirthTime later{1'700'000'000, 6};
    const struct {
        FileIdentity recorded;
        FileIdentity current;
        bool same;
    } cases[] = {
        {{1, 2, early}, {1, 2, early}, true},
        {{1, 2, early}, {1, 2, later}, false},
        {{1, 2, std::nullopt}, {1, 2, later}, true},
        {{1, 2, early}, {1, 2, std::nullopt}, true},
        {{1, 2, early}, {1, 3, early}, false},
        {{1, 2, early}, {9, 2, early}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isSameFile(c.recorded, c.current), c.same)
            << c.recorded.inode << "/" << c.current.inode;
}

TEST(FileBookmark, ReadsEveryVersionAndWritesTheCurrentOne)
{
    const QString path = "/home/a/文件.txt";
    // Written by the first version: no birth time, read as device and inode.
    const std::optional<filebookmark::Contents> old =
        filebookmark::decode(R"({"device":"64769","inode":"18446744073709551615","path":"/home/a/文件.txt","version":1})");
    ASSERT_TRUE(old);
    EXPECT_EQ(*old, (filebookmark::Contents{path, {64769, 18446744073709551615ull, std::nullopt}}));

    const filebookmark::Contents withBirth{path, {7, 8, BirthTime{-1, 999'999'999}}};
    const filebookmark::Contents withoutBirth{path, {7, 8, std::nullopt}};
    EXPECT_EQ(filebookmark::encode(withBirth),
              R"({"birthNanoseconds":"999999999","birthSeconds":"-1","device":"7","inode":"8","path":"/home/a/文件.txt","version":2})");
    for (const filebookmark::Contents& contents : {withBirth, withoutBirth})
        EXPECT_EQ(filebookmark::decode(filebookmark::encode(contents)), contents);
}

TEST(FileBookmark, RefusesWhatIsNotABookmarkOfOurs)
{
    const std::vector<QByteArray> foreign{
        "",
        "not json",
        R"({"version":3,"path":"/","device":"1","inode":"1"})",
        R"({"version":0,"path":"/","device":"1","inode":"1"})",
        R"({"version":"1","path":"/","device":"1","inode":"1"})",
        R"({"version":1,"path":"relative/path","device":"1","inode":"1"})",
        R"({"version":1,"path":"/","device":1,"inode":"1"})",
        R"({"version":1,"path":"/"})",
        R"({"version":2,"path":"/","device":"1","inode":"1","birthSeconds":"5"})",
        R"({"version":2,"path":"/","device":"1","inode":"1","birthSeconds":"5","birthNanoseconds":"1000000000"})",
        R"({"version":2,"path":"/","device":"1","inode":"1","birthSeconds":5,"birthNanoseconds":"0"})",
        "[1,2]",
    };
    for (const QByteArray& bytes : foreign)
        EXPECT_FALSE(filebookmark::resolve(bytes)) << bytes.constData();
    EXPECT_THROW(filebookmark::make("/no/such/file/here"), FileSystemError);
}

} // namespace
