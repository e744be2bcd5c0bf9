#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <stdexcept>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace quorrin {

// A failure reported by SQLite, with its extended result code and message.
class SqliteError : public std::runtime_error {
public:
    SqliteError(int extendedCode, const QString& message);

    int extendedCode() const { return m_extendedCode; }
    int primaryCode() const { return m_extendedCode & 0xff; }
    QString message() const { return m_message; }

private:
    int m_extendedCode;
    QString m_message;
};

enum class SqliteColumnType { Integer, Float, Text, Blob, Null };

// One prepared statement. Bind parameters (1-based), step through the rows,
// read columns (0-based) of the current row. Finalized on destruction.
class SqliteStatement {
public:
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&& other) noexcept;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    ~SqliteStatement();

    // The bytes are kept, shared rather than copied, until the statement is
    // reset, bound again or destroyed: a payload of many megabytes is not
    // copied once more before SQLite copies it into the row.
    SqliteStatement& bindBlob(int index, const QByteArray& bytes);
    SqliteStatement& bindText(int index, const QString& text);
    SqliteStatement& bindInt64(int index, qint64 value);
    SqliteStatement& bindDouble(int index, double value);
    SqliteStatement& bindNull(int index);

    // Advances to the next row: true when a row is available, false when the
    // statement has finished.
    bool step();
    // Runs a statement that returns no rows of interest to its end.
    void run();
    // Makes the statement ready to run again and clears its bindings.
    void reset();

    int columnCount() const;
    SqliteColumnType columnType(int column) const;
    QByteArray columnBlob(int column) const;
    QString columnText(int column) const;
    qint64 columnInt64(int column) const;
    double columnDouble(int column) const;

private:
    friend class SqliteDatabase;
    SqliteStatement(sqlite3* database, sqlite3_stmt* statement);
    void check(int resultCode) const;

    sqlite3* m_database = nullptr;
    sqlite3_stmt* m_statement = nullptr;
    std::vector<QByteArray> m_boundBlobs; // by parameter index - 1
};

// One connection to an SQLite database file, closed on destruction.
class SqliteDatabase {
public:
    enum class Mode {
        ReadOnly,        // never writes; fails when the file is missing
        ReadWrite,       // fails when the file is missing
        ReadWriteCreate, // creates the file when missing
    };

    SqliteDatabase(const QString& path, Mode mode);
    SqliteDatabase(SqliteDatabase&& other) noexcept;
    SqliteDatabase& operator=(SqliteDatabase&& other) noexcept;
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;
    ~SqliteDatabase();

    const QString& path() const { return m_path; }
    sqlite3* handle() const { return m_handle; }

    // Runs one or more statements that return no rows.
    void execute(const QString& sql);
    SqliteStatement prepare(const QString& sql);

    void setBusyTimeout(std::chrono::milliseconds timeout);
    int userVersion();
    void setUserVersion(int version);
    bool hasTable(const QString& name);
    // True when the connection cannot write (opened read-only, or the file is
    // write-protected).
    bool isReadOnly() const;
    bool inTransaction() const;

    // Writes a consistent copy of the database into a new file at destination
    // (VACUUM INTO). The destination must not exist yet.
    void vacuumInto(const QString& destination);

private:
    void close() noexcept;

    QString m_path;
    sqlite3* m_handle = nullptr;
};

// A transaction that rolls back on destruction unless committed.
class SqliteTransaction {
public:
    enum class Kind { Deferred, Immediate, Exclusive };

    explicit SqliteTransaction(SqliteDatabase& database, Kind kind = Kind::Immediate);
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;
    ~SqliteTransaction();

    void commit();

private:
    SqliteDatabase& m_database;
    bool m_finished = false;
};

} // namespace quorrin
