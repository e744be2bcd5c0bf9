#include "Core/Storage/Sqlite.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <sqlite3.h>

#include <limits>

using namespace quorrin;

namespace {

class SqliteTest : public ::testing::Test {
protected:
    QString databasePath() const { return m_directory.filePath(QStringLiteral("test.sqlite")); }

    SqliteDatabase createTable()
    {
        SqliteDatabase database(databasePath(), SqliteDatabase::Mode::ReadWriteCreate);
        database.execute(QStringLiteral("CREATE TABLE t (value)"));
        return database;
    }

    static qint64 count(SqliteDatabase& database)
    {
        SqliteStatement statement = database.prepare(QStringLiteral("SELECT count(*) FROM t"));
        return statement.step() ? statement.columnInt64(0) : -1;
    }

    QTemporaryDir m_directory;
};

TEST_F(SqliteTest, BoundValuesReadBackWithTheirTypes)
{
    SqliteDatabase database = createTable();
    SqliteStatement insert = database.prepare(QStringLiteral("INSERT INTO t (value) VALUES (?1)"));
    SqliteStatement select = database.prepare(QStringLiteral("SELECT value FROM t ORDER BY rowid DESC LIMIT 1"));

    const QByteArray binary("a\0b\xff", 4);
    insert.bindBlob(1, binary).run();
    insert.reset();
    ASSERT_TRUE(select.step());
    EXPECT_EQ(select.columnType(0), SqliteColumnType::Blob);
    EXPECT_EQ(select.columnBlob(0), binary);
    select.reset();

    // An empty byte array is an empty blob, not NULL.
    insert.bindBlob(1, QByteArray()).run();
    insert.reset();
    ASSERT_TRUE(select.step());
    EXPECT_EQ(select.columnType(0), SqliteColumnType::Blob);
    EXPECT_TRUE(select.columnBlob(0).isEmpty());
    select.reset();

    // What runs is what was bound last, whatever became of the caller's bytes since.
    {
        QByteArray changing("first");
        insert.bindBlob(1, changing);
        changing = QByteArray("second");
        insert.bindBlob(1, changing);
        changing[0] = 'X';
    }
    insert.run();
    insert.reset();
    ASSERT_TRUE(select.step());
    EXPECT_EQ(select.columnBlob(0), QByteArray("second"));
    select.reset();

    const QString text = QStringLiteral("便笺 \u200b note");
    insert.bindText(1, text).run();
    insert.reset();
    ASSERT_TRUE(select.step());
    EXPECT_EQ(select.columnType(0), SqliteColumnType::Text);
    EXPECT_EQ(select.columnText(0), text);
    select.reset();

    insert.bindInt64(1, std::numeric_limits<qint64>::min()).run();
    insert.reset();
    ASSERT_TRUE(select.step());
    EXPECT_EQ(select.columnType(0), SqliteColumnType::Integer);
    EXPECT_EQ(select.columnInt64(0), std::numeric_limits<qint64>::min());
    select.reset();

    insert.bindDouble(1, 7.25e-300).run();
    insert.reset();
    ASSERT_TRUE(select.step());
    EXPECT_EQ(select.columnType(0), SqliteColumnType::Float);
    EXPECT_EQ(select.columnDouble(0), 7.25e-300);
    select.reset();

    insert.bindNull(1).run();
    ASSERT_TRUE(select.step());
    EXPECT_EQ(select.columnType(0), SqliteColumnType::Null);
    EXPECT_FALSE(select.step());
}

TEST_F(SqliteTest, ErrorsCarrySqlitesCodeAndMessage)
{
    SqliteDatabase database = createTable();
    try {
        database.prepare(QStringLiteral("SELECT x FROM nowhere"));
        FAIL() << "prepare succeeded";
    } catch (const SqliteError& error) {
        EXPECT_EQ(error.primaryCode(), SQLITE_ERROR);
        EXPECT_TRUE(error.message().contains(QStringLiteral("no such table: nowhere"))) << error.what();
    }

    database.execute(QStringLiteral("CREATE TABLE u (id UNIQUE)"));
    database.execute(QStringLiteral("INSERT INTO u VALUES (1)"));
    try {
        database.execute(QStringLiteral("INSERT INTO u VALUES (1)"));
        FAIL() << "duplicate accepted";
    } catch (const SqliteError& error) {
        EXPECT_EQ(error.extendedCode(), SQLITE_CONSTRAINT_UNIQUE);
    }
}

TEST_F(SqliteTest, OpeningAMissingFileWithoutCreateFails)
{
    for (const auto mode : {SqliteDatabase::Mode::ReadOnly, SqliteDatabase::Mode::ReadWrite}) {
        EXPECT_THROW(SqliteDatabase(databasePath(), mode), SqliteError);
        EXPECT_FALSE(QFile::exists(databasePath()));
    }
}

TEST_F(SqliteTest, ReadOnlyConnectionRefusesWrites)
{
    createTable();
    SqliteDatabase reader(databasePath(), SqliteDatabase::Mode::ReadOnly);
    EXPECT_TRUE(reader.isReadOnly());
    try {
        reader.execute(QStringLiteral("INSERT INTO t VALUES (1)"));
        FAIL() << "write accepted";
    } catch (const SqliteError& error) {
        EXPECT_EQ(error.primaryCode(), SQLITE_READONLY);
    }
    EXPECT_EQ(count(reader), 0);
}

TEST_F(SqliteTest, TransactionRollsBackUnlessCommitted)
{
    SqliteDatabase database = createTable();
    {
        SqliteTransaction transaction(database);
        database.execute(QStringLiteral("INSERT INTO t VALUES (1)"));
        EXPECT_TRUE(database.inTransaction());
    }
    EXPECT_FALSE(database.inTransaction());
    EXPECT_EQ(count(database), 0);

    try {
        SqliteTransaction transaction(database);
        database.execute(QStringLiteral("INSERT INTO t VALUES (1)"));
        throw std::runtime_error("interrupted");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(count(database), 0);

    {
        SqliteTransaction transaction(database);
        database.execute(QStringLiteral("INSERT INTO t VALUES (1)"));
        transaction.commit();
    }
    EXPECT_EQ(count(database), 1);
}

TEST_F(SqliteTest, UserVersionAndTablesAreVisibleToOtherConnections)
{
    SqliteDatabase database = createTable();
    database.setUserVersion(42);
    SqliteDatabase reader(databasePath(), SqliteDatabase::Mode::ReadOnly);
    EXPECT_EQ(reader.userVersion(), 42);
    EXPECT_TRUE(reader.hasTable(QStringLiteral("t")));
    EXPECT_FALSE(reader.hasTable(QStringLiteral("T2")));
}

TEST_F(SqliteTest, VacuumIntoWritesAConsistentCopyAndRefusesAnExistingTarget)
{
    SqliteDatabase database = createTable();
    database.setUserVersion(7);
    database.execute(QStringLiteral("INSERT INTO t VALUES (1), (2)"));
    SqliteTransaction open(database);
    database.execute(QStringLiteral("INSERT INTO t VALUES (3)")); // not committed: not in the copy

    const QString copyPath = m_directory.filePath(QStringLiteral("copy.sqlite"));
    SqliteDatabase reader(databasePath(), SqliteDatabase::Mode::ReadOnly);
    reader.vacuumInto(copyPath);
    SqliteDatabase copy(copyPath, SqliteDatabase::Mode::ReadOnly);
    EXPECT_EQ(copy.userVersion(), 7);
    EXPECT_EQ(count(copy), 2);

    EXPECT_THROW(reader.vacuumInto(copyPath), SqliteError);
}

TEST_F(SqliteTest, MovedConnectionStaysUsable)
{
    SqliteDatabase first = createTable();
    SqliteDatabase second(std::move(first));
    second.execute(QStringLiteral("INSERT INTO t VALUES (1)"));
    EXPECT_EQ(count(second), 1);
    EXPECT_EQ(first.handle(), nullptr);
}

} // namespace
