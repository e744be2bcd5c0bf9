// The texts that reach the user when the store, a backup package or the
// file system fails: Chinese sentences, with a library's own words at most as
// a detail in parentheses.
#include "StoreFixtures.h"

#include "Domain/AppError.h"
#include "Persistence/BackupPackage.h"
#include "Core/Files/FileSystemError.h"
#include "Support/FsTestSupport.h"
#include "Support/SmallFileSystem.h"
#include "Support/UserFacingText.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <cerrno>
#include <stdexcept>

using namespace quorrin;
using namespace quorrin::testing;

namespace {

TEST(UserMessages, SizesUseChineseUnits)
{
    const std::pair<qint64, const char*> cases[] = {
        {0, "0 字节"},       {579, "579 字节"},       {1023, "1023 字节"},         {1024, "1.0 KB"},
        {1536, "1.5 KB"},    {1048576, "1.0 MB"}, {qint64(3) << 30, "3.0 GB"},
    };
    for (const auto& [bytes, expected] : cases)
        EXPECT_EQ(backup::readableSize(bytes), QString::fromUtf8(expected)) << bytes;
}

TEST(UserMessages, FailuresOfEveryKindAreDescribedInChinese)
{
    const std::pair<const char*, std::exception_ptr> cases[] = {
        {"sqlite", std::make_exception_ptr(SqliteError(SQLITE_FULL, QStringLiteral("database or disk is full")))},
        {"json", std::make_exception_ptr(json::Error(QStringLiteral("应为数字"), QStringLiteral("notes[0].opacity")))},
        {"file system, known errno",
         std::make_exception_ptr(FileSystemError::fromErrno(QStringLiteral("无法写入文件"), QStringLiteral("/x"), ENOSPC))},
        {"file system, errno the program does not word",
         std::make_exception_ptr(FileSystemError::fromErrno(QStringLiteral("无法写入文件"), QStringLiteral("/x"), EPROTO))},
        {"a library's exception", std::make_exception_ptr(std::runtime_error("bad things happened"))},
        {"something else", std::make_exception_ptr(42)},
    };
    for (const auto& [name, error] : cases)
        EXPECT_TRUE(readsAsChinese(describeError(error))) << name << ": " << describeError(error).toStdString();
    EXPECT_EQ(describeError(cases[0].second), QStringLiteral("磁盘空间不足，无法写入便笺数据库。"));
}

class PackageMessages : public ::testing::Test {
protected:
    // A package whose manifest.json holds `manifest`.
    QString packageWith(const QByteArray& manifest)
    {
        const QString package = out.filePath(QStringLiteral("P%1.quorrinbackup").arg(++made));
        writeFile(package + QStringLiteral("/manifest.json"), manifest);
        QDir().mkpath(package + QStringLiteral("/Attachments"));
        return package;
    }

    QString restoreMessage(const QString& package)
    {
        try {
            store->restoreBackup(package);
        } catch (const AppError& error) {
            return error.message;
        }
        return QStringLiteral("<restored>");
    }

    StoreDirectory directory;
    std::unique_ptr<NoteStore> store = directory.open();
    QTemporaryDir out;
    int made = 0;
};

TEST_F(PackageMessages, ManifestsThatCannotBeReadAreToldInChinese)
{
    const QByteArray valid = manifestPayload({textNote(1, "text")});
    struct Case {
        const char* name;
        QByteArray manifest;
        const char* expected; // the whole message, when it is worth pinning
    };
    QByteArray badColor = valid;
    const qsizetype color = badColor.indexOf("\"color\":\"") + 9;
    badColor.replace(color, badColor.indexOf('"', color) - color, "mauve");
    QByteArray badId = valid;
    badId.replace("\"id\":\"00000000-0000-4000-8000-000000000001\"", "\"id\":\"not-an-id\"");
    const Case cases[] = {
        {"illegal number", R"({"schemaVersion":6,"createdAt":0,"notes":[],"preferences":-})",
         "备份清单无法读取：不是有效的 JSON：数字无效（第 59 字节处）"},
        {"schema version beyond 64 bits", R"({"schemaVersion":1e30,"createdAt":0,"notes":[],"preferences":{}})",
         "备份清单无法读取：应为 64 位以内的整数（位置：schemaVersion）"},
        {"missing key", R"({"schemaVersion":6,"createdAt":0,"preferences":{}})", nullptr},
        {"not an object", "[1,2]", nullptr},
        {"garbage at the end", valid + "x", nullptr},
        {"colour naming no case", badColor, nullptr},
        {"id that is not one", badId, nullptr},
        {"truncated", valid.left(valid.size() / 2), nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString message = restoreMessage(packageWith(c.manifest));
        EXPECT_TRUE(message.startsWith(QStringLiteral("备份清单无法读取："))) << message.toStdString();
        EXPECT_TRUE(readsAsChinese(message)) << message.toStdString();
        if (c.expected) {
            EXPECT_EQ(message, QString::fromUtf8(c.expected));
        }
    }
}

TEST_F(PackageMessages, ARestoreThatFillsTheDiskAtItsCommitSaysSoInChinese)
{
    SmallFileSystem disk(1024);
    if (!disk.isMounted())
        GTEST_SKIP() << "cannot mount a small file system here";
    NoteStore small(disk.path() + QStringLiteral("/data"), false);
    std::vector<Note> many;
    for (int n = 1; n <= 30; ++n)
        many.push_back(textNote(n, QString(50000, QChar(u'a' + n % 26))));
    const QString package = packageWith(manifestPayload(many));

    try {
        small.restoreBackup(package);
        FAIL() << "restored more than the disk holds";
    } catch (const AppError& error) {
        EXPECT_EQ(error.message, QStringLiteral("磁盘空间不足，无法写入便笺数据库。"));
    }
}

} // namespace
