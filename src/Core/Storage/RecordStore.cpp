#include "Core/Storage/RecordStore.h"

#include "Core/Files/FileSystemError.h"

#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorrin {

namespace {

const QString journalSuffixes[] = {QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")};

StoreMetadata metadataOf(SqliteDatabase& database)
{
    StoreMetadata metadata;
    metadata.modelVersion = database.userVersion();
    metadata.hasNoteRecord = database.hasTable(QStringLiteral("NoteRecord"));
    metadata.hasAppState = database.hasTable(QStringLiteral("AppState"));
    return metadata;
}

bool hasNoSchema(SqliteDatabase& database)
{
    SqliteStatement statement = database.prepare(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    return statement.step() && statement.columnInt64(0) == 0 && database.userVersion() == 0;
}

// Runs work on a read-only connection to path. A read-only connection cannot
// roll back a write that a killed process left unfinished (a hot journal), so
// in that one case the file is opened for writing once to let SQLite restore
// its last committed state, and the work is retried read-only.
template <typename Work>
auto withReadOnlyDatabase(const QString& path, Work work)
{
    const RecordStore::SideFileCleanup cleanup(path);
    try {
        SqliteDatabase database(path, SqliteDatabase::Mode::ReadOnly);
        return work(database);
    } catch (const SqliteError& error) {
        if (error.extendedCode() != SQLITE_READONLY_ROLLBACK)
            throw;
    }
    {
        SqliteDatabase recovering(path, SqliteDatabase::Mode::ReadWrite);
        recovering.userVersion();
    }
    SqliteDatabase database(path, SqliteDatabase::Mode::ReadOnly);
    return work(database);
}

QString systemErrorText()
{
    return FileSystemError::reasonText(errno);
}

// Flushes a file (or a directory entry list) to disk.
void syncPath(const QString& path)
{
    const QByteArray encoded = QFile::encodeName(path);
    const int descriptor = ::open(encoded.constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        throw RecordStoreError(QStringLiteral("无法打开“%1”：%2").arg(path, systemErrorText()).toStdString());
    const int result = ::fsync(descriptor);
    const int savedErrno = errno;
    ::close(descriptor);
    if (result != 0) {
        errno = savedErrno;
        throw RecordStoreError(QStringLiteral("无法将“%1”写入磁盘：%2").arg(path, systemErrorText()).toStdString());
    }
}

void removeJournals(const QString& path)
{
    for (const QString& suffix : journalSuffixes)
        QFile::remove(path + suffix);
}

// Writes a consistent copy of database to destination: first into a
// temporary sibling, flushed, then renamed over destination, so destination
// is never seen half written.
void copyReplacing(SqliteDatabase& database, const QString& destination)
{
    const QString temporary =
        destination + QStringLiteral(".") + QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral(".tmp");
    try {
        database.vacuumInto(temporary);
        syncPath(temporary);
        // A journal left beside the destination would be replayed into the copy.
        removeJournals(destination);
        if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(destination).constData()) != 0)
            throw RecordStoreError(
                QStringLiteral("无法将副本移动到“%1”：%2").arg(destination, systemErrorText()).toStdString());
        syncPath(QFileInfo(destination).absolutePath());
    } catch (...) {
        RecordStore::destroy(temporary);
        throw;
    }
}

void createCurrentSchema(SqliteDatabase& database)
{
    SqliteTransaction transaction(database);
    database.execute(QStringLiteral(
        "CREATE TABLE NoteRecord (id TEXT NOT NULL UNIQUE, payload BLOB NOT NULL, updatedAt REAL NOT NULL);"
        "CREATE TABLE AppState (payload BLOB NOT NULL);"));
    database.setUserVersion(RecordStore::currentModelVersion);
    transaction.commit();
}

} // namespace

StoreMetadata RecordStore::readMetadata(const QString& path)
{
    if (!QFileInfo(path).isFile())
        throw RecordStoreError(QStringLiteral("便笺数据库“%1”不是文件。").arg(path).toStdString());
    return withReadOnlyDatabase(path, [](SqliteDatabase& database) { return metadataOf(database); });
}

StoreModel RecordStore::modelOf(const StoreMetadata& metadata)
{
    if (metadata.modelVersion == currentModelVersion && metadata.hasNoteRecord && metadata.hasAppState)
        return StoreModel::Current;
    if (metadata.modelVersion == legacyModelVersion && metadata.hasNoteRecord && !metadata.hasAppState)
        return StoreModel::Legacy;
    return StoreModel::Unknown;
}

void RecordStore::copy(const QString& source, const QString& destination)
{
    if (!QFileInfo(source).isFile())
        throw RecordStoreError(QStringLiteral("便笺数据库“%1”不是文件。").arg(source).toStdString());
    withReadOnlyDatabase(source, [&](SqliteDatabase& database) { copyReplacing(database, destination); });
}

void RecordStore::migrateLegacy(const QString& source, const QString& destination)
{
    if (modelOf(readMetadata(source)) != StoreModel::Legacy)
        throw RecordStoreError(QStringLiteral("“%1”不是旧版便笺数据库。").arg(source).toStdString());
    if (QFileInfo::exists(destination))
        throw RecordStoreError(QStringLiteral("迁移目标“%1”已存在。").arg(destination).toStdString());
    try {
        withReadOnlyDatabase(source, [&](SqliteDatabase& database) { database.vacuumInto(destination); });
        {
            SqliteDatabase migrated(destination, SqliteDatabase::Mode::ReadWrite);
            SqliteTransaction transaction(migrated);
            migrated.execute(QStringLiteral("CREATE TABLE AppState (payload BLOB NOT NULL)"));
            migrated.setUserVersion(currentModelVersion);
            transaction.commit();
        }
        syncPath(destination);
    } catch (...) {
        destroy(destination);
        throw;
    }
}

void RecordStore::replace(const QString& source, const QString& destination)
{
    syncPath(source);
    removeJournals(destination);
    if (std::rename(QFile::encodeName(source).constData(), QFile::encodeName(destination).constData()) != 0)
        throw RecordStoreError(
            QStringLiteral("无法将“%1”移动到“%2”：%3").arg(source, destination, systemErrorText()).toStdString());
    syncPath(QFileInfo(destination).absolutePath());
}

void RecordStore::destroy(const QString& path)
{
    removeJournals(path);
    QFile file(path);
    if (file.exists() && !file.remove())
        throw RecordStoreError(QStringLiteral("无法删除“%1”：%2")
            .arg(path, FileSystemError::reasonText(file)).toStdString());
}

void RecordStore::createLegacy(const QString& path)
{
    SqliteDatabase database(path, SqliteDatabase::Mode::ReadWriteCreate);
    if (!hasNoSchema(database))
        throw RecordStoreError(QStringLiteral("“%1”不是空数据库。").arg(path).toStdString());
    SqliteTransaction transaction(database);
    database.execute(
        QStringLiteral("CREATE TABLE NoteRecord (id TEXT NOT NULL UNIQUE, payload BLOB NOT NULL, updatedAt REAL NOT NULL)"));
    database.setUserVersion(legacyModelVersion);
    transaction.commit();
}

RecordStore::RecordStore(const QString& path, std::chrono::milliseconds busyTimeout)
    : m_database(path, SqliteDatabase::Mode::ReadWriteCreate)
{
    m_database.setBusyTimeout(busyTimeout);
    if (hasNoSchema(m_database)) {
        createCurrentSchema(m_database);
        return;
    }
    const StoreMetadata metadata = metadataOf(m_database);
    if (modelOf(metadata) != StoreModel::Current)
        throw RecordStoreError(
            QStringLiteral("便笺数据库“%1”的模型版本（%2）不受支持。").arg(path).arg(metadata.modelVersion)
                .toStdString());
}

RecordStore::SideFileCleanup::SideFileCleanup(const QString& path)
{
    for (const QString& suffix : {QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        struct stat status {};
        if (::lstat(QFile::encodeName(path + suffix).constData(), &status) != 0)
            m_absent.push_back(path + suffix);
    }
}

RecordStore::SideFileCleanup::SideFileCleanup(SideFileCleanup&& other) noexcept
    : m_absent(std::exchange(other.m_absent, {}))
{
}

RecordStore::SideFileCleanup::~SideFileCleanup()
{
    for (const QString& path : m_absent)
        QFile::remove(path);
}

RecordStore::RecordStore(SideFileCleanup cleanup, SqliteDatabase database)
    : m_cleanup(std::move(cleanup))
    , m_database(std::move(database))
{
}

RecordStore RecordStore::openReadOnly(const QString& path)
{
    if (!QFileInfo(path).isFile())
        throw RecordStoreError(QStringLiteral("找不到便笺数据库文件“%1”。").arg(path).toStdString());
    SideFileCleanup cleanup(path);
    SqliteDatabase database(path, SqliteDatabase::Mode::ReadOnly);
    const StoreMetadata metadata = metadataOf(database);
    if (modelOf(metadata) != StoreModel::Current)
        throw RecordStoreError(
            QStringLiteral("便笺数据库“%1”的模型版本（%2）不受支持。").arg(path).arg(metadata.modelVersion)
                .toStdString());
    return RecordStore(std::move(cleanup), std::move(database));
}

std::vector<StoredRecord> RecordStore::readRecords()
{
    std::vector<StoredRecord> records;
    SqliteStatement statement = m_database.prepare(QStringLiteral("SELECT id, payload, updatedAt FROM NoteRecord"));
    while (statement.step()) {
        StoredRecord record;
        record.id = statement.columnText(0);
        if (statement.columnType(1) == SqliteColumnType::Blob)
            record.payload = statement.columnBlob(1);
        record.updatedAt = statement.columnDouble(2);
        records.push_back(std::move(record));
    }
    return records;
}

std::optional<QByteArray> RecordStore::readAppState()
{
    SqliteStatement statement =
        m_database.prepare(QStringLiteral("SELECT payload FROM AppState ORDER BY rowid LIMIT 1"));
    if (statement.step() && statement.columnType(0) == SqliteColumnType::Blob)
        return statement.columnBlob(0);
    return std::nullopt;
}

void RecordStore::apply(const RecordChanges& changes)
{
    if (changes.isEmpty())
        return;
    SqliteTransaction transaction(m_database);
    if (!changes.writes.empty()) {
        SqliteStatement upsert = m_database.prepare(QStringLiteral(
            "INSERT INTO NoteRecord (id, payload, updatedAt) VALUES (?1, ?2, ?3) "
            "ON CONFLICT(id) DO UPDATE SET payload = excluded.payload, updatedAt = excluded.updatedAt"));
        for (const RecordWrite& write : changes.writes) {
            upsert.bindText(1, write.id).bindBlob(2, write.payload).bindDouble(3, write.updatedAt);
            upsert.run();
            upsert.reset();
        }
    }
    if (!changes.deletions.empty()) {
        SqliteStatement remove = m_database.prepare(QStringLiteral("DELETE FROM NoteRecord WHERE id = ?1"));
        for (const QString& id : changes.deletions) {
            remove.bindText(1, id);
            remove.run();
            remove.reset();
        }
    }
    if (changes.appState) {
        SqliteStatement first = m_database.prepare(QStringLiteral("SELECT rowid FROM AppState ORDER BY rowid LIMIT 1"));
        if (first.step()) {
            SqliteStatement update = m_database.prepare(QStringLiteral("UPDATE AppState SET payload = ?1 WHERE rowid = ?2"));
            update.bindBlob(1, *changes.appState).bindInt64(2, first.columnInt64(0));
            update.run();
        } else {
            SqliteStatement insert = m_database.prepare(QStringLiteral("INSERT INTO AppState (payload) VALUES (?1)"));
            insert.bindBlob(1, *changes.appState);
            insert.run();
        }
    }
    transaction.commit();
}

void RecordStore::copyTo(const QString& destination)
{
    copyReplacing(m_database, destination);
}

} // namespace quorrin
