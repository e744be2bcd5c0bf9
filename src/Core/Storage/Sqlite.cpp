#include "Core/Storage/Sqlite.h"

#include <sqlite3.h>

#include <utility>

namespace quorrin {

namespace {

QString messageOf(sqlite3* database, int resultCode)
{
    if (database && sqlite3_errcode(database) != SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(database));
    return QString::fromUtf8(sqlite3_errstr(resultCode));
}

[[noreturn]] void fail(sqlite3* database, int resultCode)
{
    throw SqliteError(resultCode, messageOf(database, resultCode));
}

int flagsFor(SqliteDatabase::Mode mode)
{
    switch (mode) {
    case SqliteDatabase::Mode::ReadOnly:
        return SQLITE_OPEN_READONLY;
    case SqliteDatabase::Mode::ReadWrite:
        return SQLITE_OPEN_READWRITE;
    case SqliteDatabase::Mode::ReadWriteCreate:
        return SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    }
    return SQLITE_OPEN_READONLY;
}

} // namespace

SqliteError::SqliteError(int extendedCode, const QString& message)
    : std::runtime_error(message.toStdString())
    , m_extendedCode(extendedCode)
    , m_message(message)
{
}

// MARK: - SqliteStatement

SqliteStatement::SqliteStatement(sqlite3* database, sqlite3_stmt* statement)
    : m_database(database)
    , m_statement(statement)
{
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : m_database(std::exchange(other.m_database, nullptr))
    , m_statement(std::exchange(other.m_statement, nullptr))
    , m_boundBlobs(std::move(other.m_boundBlobs))
{
}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_statement);
        m_database = std::exchange(other.m_database, nullptr);
        m_statement = std::exchange(other.m_statement, nullptr);
        m_boundBlobs = std::move(other.m_boundBlobs);
    }
    return *this;
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

void SqliteStatement::check(int resultCode) const
{
    if (resultCode != SQLITE_OK)
        fail(m_database, resultCode);
}

SqliteStatement& SqliteStatement::bindBlob(int index, const QByteArray& bytes)
{
    // A non-null pointer with length 0 binds an empty blob rather than NULL.
    static const char empty = 0;
    if (bytes.isEmpty()) {
        check(sqlite3_bind_blob64(m_statement, index, &empty, 0, SQLITE_STATIC));
        return *this;
    }
    // Bound from a copy kept here, whose bytes stay put while the caller's
    // may be changed or freed. What an earlier binding of the index kept is
    // let go only once SQLite no longer points into it.
    QByteArray kept = bytes;
    check(sqlite3_bind_blob64(m_statement, index, kept.constData(), sqlite3_uint64(kept.size()), SQLITE_STATIC));
    if (m_boundBlobs.size() < size_t(index))
        m_boundBlobs.resize(size_t(index));
    m_boundBlobs[size_t(index) - 1] = std::move(kept);
    return *this;
}

SqliteStatement& SqliteStatement::bindText(int index, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    check(sqlite3_bind_text64(m_statement, index, utf8.constData(), sqlite3_uint64(utf8.size()), SQLITE_TRANSIENT,
                              SQLITE_UTF8));
    return *this;
}

SqliteStatement& SqliteStatement::bindInt64(int index, qint64 value)
{
    check(sqlite3_bind_int64(m_statement, index, value));
    return *this;
}

SqliteStatement& SqliteStatement::bindDouble(int index, double value)
{
    check(sqlite3_bind_double(m_statement, index, value));
    return *this;
}

SqliteStatement& SqliteStatement::bindNull(int index)
{
    check(sqlite3_bind_null(m_statement, index));
    return *this;
}

bool SqliteStatement::step()
{
    const int result = sqlite3_step(m_statement);
    if (result == SQLITE_ROW)
        return true;
    if (result == SQLITE_DONE)
        return false;
    // The statement is unusable until reset; reset here so a retry can run it.
    sqlite3_reset(m_statement);
    fail(m_database, result);
}

void SqliteStatement::run()
{
    while (step()) {
    }
}

void SqliteStatement::reset()
{
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
    m_boundBlobs.clear();
}

int SqliteStatement::columnCount() const
{
    return sqlite3_column_count(m_statement);
}

SqliteColumnType SqliteStatement::columnType(int column) const
{
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_INTEGER:
        return SqliteColumnType::Integer;
    case SQLITE_FLOAT:
        return SqliteColumnType::Float;
    case SQLITE_TEXT:
        return SqliteColumnType::Text;
    case SQLITE_BLOB:
        return SqliteColumnType::Blob;
    default:
        return SqliteColumnType::Null;
    }
}

QByteArray SqliteStatement::columnBlob(int column) const
{
    const void* data = sqlite3_column_blob(m_statement, column);
    const int size = sqlite3_column_bytes(m_statement, column);
    if (!data || size <= 0)
        return QByteArray("");
    return QByteArray(static_cast<const char*>(data), size);
}

QString SqliteStatement::columnText(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    const int size = sqlite3_column_bytes(m_statement, column);
    return text ? QString::fromUtf8(text, size) : QString();
}

qint64 SqliteStatement::columnInt64(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

double SqliteStatement::columnDouble(int column) const
{
    return sqlite3_column_double(m_statement, column);
}

// MARK: - SqliteDatabase

SqliteDatabase::SqliteDatabase(const QString& path, Mode mode)
    : m_path(path)
{
    const QByteArray encodedPath = path.toUtf8();
    sqlite3* handle = nullptr;
    const int result = sqlite3_open_v2(encodedPath.constData(), &handle, flagsFor(mode), nullptr);
    if (result != SQLITE_OK) {
        const QString message = handle ? QString::fromUtf8(sqlite3_errmsg(handle))
                                       : QString::fromUtf8(sqlite3_errstr(result));
        const int code = handle ? sqlite3_extended_errcode(handle) : result;
        sqlite3_close_v2(handle);
        throw SqliteError(code, message + QStringLiteral(" (") + path + QStringLiteral(")"));
    }
    m_handle = handle;
    sqlite3_extended_result_codes(m_handle, 1);
}

SqliteDatabase::SqliteDatabase(SqliteDatabase&& other) noexcept
    : m_path(std::move(other.m_path))
    , m_handle(std::exchange(other.m_handle, nullptr))
{
}

SqliteDatabase& SqliteDatabase::operator=(SqliteDatabase&& other) noexcept
{
    if (this != &other) {
        close();
        m_path = std::move(other.m_path);
        m_handle = std::exchange(other.m_handle, nullptr);
    }
    return *this;
}

SqliteDatabase::~SqliteDatabase()
{
    close();
}

void SqliteDatabase::close() noexcept
{
    // close_v2 defers the real close until every statement is finalized, so
    // the order in which owners are destroyed does not matter.
    sqlite3_close_v2(std::exchange(m_handle, nullptr));
}

void SqliteDatabase::execute(const QString& sql)
{
    const QByteArray encoded = sql.toUtf8();
    char* message = nullptr;
    const int result = sqlite3_exec(m_handle, encoded.constData(), nullptr, nullptr, &message);
    if (result != SQLITE_OK) {
        const QString text = message ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errstr(result));
        sqlite3_free(message);
        throw SqliteError(sqlite3_extended_errcode(m_handle), text);
    }
}

SqliteStatement SqliteDatabase::prepare(const QString& sql)
{
    const QByteArray encoded = sql.toUtf8();
    sqlite3_stmt* statement = nullptr;
    const int result = sqlite3_prepare_v2(m_handle, encoded.constData(), int(encoded.size()), &statement, nullptr);
    if (result != SQLITE_OK) {
        sqlite3_finalize(statement);
        fail(m_handle, result);
    }
    return SqliteStatement(m_handle, statement);
}

void SqliteDatabase::setBusyTimeout(std::chrono::milliseconds timeout)
{
    const int result = sqlite3_busy_timeout(m_handle, int(timeout.count()));
    if (result != SQLITE_OK)
        fail(m_handle, result);
}

int SqliteDatabase::userVersion()
{
    SqliteStatement statement = prepare(QStringLiteral("PRAGMA user_version"));
    return statement.step() ? int(statement.columnInt64(0)) : 0;
}

void SqliteDatabase::setUserVersion(int version)
{
    execute(QStringLiteral("PRAGMA user_version = %1").arg(version));
}

bool SqliteDatabase::hasTable(const QString& name)
{
    SqliteStatement statement =
        prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1"));
    statement.bindText(1, name);
    return statement.step();
}

bool SqliteDatabase::isReadOnly() const
{
    return sqlite3_db_readonly(m_handle, "main") != 0;
}

bool SqliteDatabase::inTransaction() const
{
    return sqlite3_get_autocommit(m_handle) == 0;
}

void SqliteDatabase::vacuumInto(const QString& destination)
{
    SqliteStatement statement = prepare(QStringLiteral("VACUUM INTO ?1"));
    statement.bindText(1, destination);
    statement.run();
}

// MARK: - SqliteTransaction

SqliteTransaction::SqliteTransaction(SqliteDatabase& database, Kind kind)
    : m_database(database)
{
    switch (kind) {
    case Kind::Deferred:
        m_database.execute(QStringLiteral("BEGIN DEFERRED"));
        break;
    case Kind::Immediate:
        m_database.execute(QStringLiteral("BEGIN IMMEDIATE"));
        break;
    case Kind::Exclusive:
        m_database.execute(QStringLiteral("BEGIN EXCLUSIVE"));
        break;
    }
}

SqliteTransaction::~SqliteTransaction()
{
    // SQLite may already have rolled back on its own after some errors.
    if (!m_finished && m_database.inTransaction()) {
        try {
            m_database.execute(QStringLiteral("ROLLBACK"));
        } catch (const SqliteError&) {
            // Nothing more can be done here; the journal restores the last
            // committed state when the database is next opened.
        }
    }
}

void SqliteTransaction::commit()
{
    m_database.execute(QStringLiteral("COMMIT"));
    m_finished = true;
}

} // namespace quorrin
