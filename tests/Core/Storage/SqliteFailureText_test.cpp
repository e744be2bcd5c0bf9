#include "Core/Storage/SqliteFailureText.h"

#include "Core/Storage/Sqlite.h"
#include "Support/UserFacingText.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <sqlite3.h>

namespace quorrin {
namespace {

TEST(SqliteFailureText, EveryResultCodeBecomesAChineseSentenceWithSqlitesTextOnlyAsADetail)
{
    struct Case {
        int code;
        const char* expected;
    };
    const QString detail = QStringLiteral("english detail");
    const Case cases[] = {
        {SQLITE_FULL, "磁盘空间不足，无法写入便笺数据库。"},
        {SQLITE_READONLY, "便笺数据库只能读取、不能写入，请检查数据文件夹的写入权限。"},
        {SQLITE_READONLY_DBMOVED, "便笺数据库只能读取、不能写入，请检查数据文件夹的写入权限。"},
        {SQLITE_IOERR_WRITE, "读写便笺数据库时磁盘出错（SQLite 778：english detail）。"},
        {SQLITE_BUSY, "便笺数据库正被占用，请稍后重试。"},
        {SQLITE_LOCKED, "便笺数据库正被占用，请稍后重试。"},
        {SQLITE_CORRUPT, "便笺数据库已损坏。"},
        {SQLITE_NOTADB, "便笺数据库已损坏。"},
        {SQLITE_CANTOPEN, "无法打开便笺数据库文件（SQLite 14：english detail）。"},
        {SQLITE_PERM, "没有访问便笺数据库的权限。"},
        {SQLITE_AUTH, "没有访问便笺数据库的权限。"},
        {SQLITE_NOMEM, "内存不足，无法完成便笺数据库的操作。"},
        {SQLITE_TOOBIG, "内容过大，无法存入便笺数据库。"},
        {SQLITE_NOLFS, "所在文件系统不支持大文件，无法写入便笺数据库。"},
        {SQLITE_PROTOCOL, "便笺数据库的文件锁出错，请稍后重试。"},
        {SQLITE_INTERRUPT, "便笺数据库的操作被中断。"},
        {SQLITE_ABORT_ROLLBACK, "便笺数据库的操作被中断。"},
        {SQLITE_SCHEMA, "便笺数据库的结构在操作中发生了变化，请重试。"},
        {SQLITE_CONSTRAINT_UNIQUE, "便笺数据库拒绝了不一致的数据（SQLite 2067：english detail）。"},
        {SQLITE_ERROR, "便笺数据库出错（SQLite 1：english detail）。"},
        {SQLITE_MISUSE, "便笺数据库出错（SQLite 21：english detail）。"},
    };
    for (const Case& c : cases) {
        const QString text = sqliteFailureText(c.code, detail);
        EXPECT_EQ(text, QString::fromUtf8(c.expected)) << c.code;
        EXPECT_TRUE(testing::readsAsChinese(text)) << c.code;
    }
    EXPECT_EQ(sqliteFailureText(SQLITE_ERROR, QString()), QStringLiteral("便笺数据库出错。"));
}

TEST(SqliteFailureText, AWriteToAReadOnlyConnectionIsToldInChinese)
{
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("x.sqlite"));
    SqliteDatabase(path, SqliteDatabase::Mode::ReadWriteCreate).execute(QStringLiteral("CREATE TABLE t (v)"));
    SqliteDatabase reading(path, SqliteDatabase::Mode::ReadOnly);
    try {
        reading.execute(QStringLiteral("INSERT INTO t VALUES (1)"));
        FAIL() << "a read-only connection wrote";
    } catch (const SqliteError& error) {
        EXPECT_EQ(sqliteFailureText(error), QStringLiteral("便笺数据库只能读取、不能写入，请检查数据文件夹的写入权限。"));
    }
}

} // namespace
} // namespace quorrin
