#pragma once

#include "Core/Storage/Sqlite.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <optional>
#include <stdexcept>
#include <vector>

namespace quorrin {

// One row of the NoteRecord table as stored.
struct StoredRecord {
    QString id;
    std::optional<QByteArray> payload; // absent when the column holds no blob
    double updatedAt = 0;
};

// One row to insert, or to overwrite when a row with that id exists.
struct RecordWrite {
    QString id;
    QByteArray payload;
    double updatedAt = 0;
};

// Everything one save changes, written together or not at all.
struct RecordChanges {
    std::vector<RecordWrite> writes;
    std::vector<QString> deletions;
    std::optional<QByteArray> appState; // the new AppState payload, when it changed

    bool isEmpty() const { return writes.empty() && deletions.empty() && !appState; }
};

// The model a store file was written with, as far as it can be told from the
// file: its version number (PRAGMA user_version) and which tables it has.
struct StoreMetadata {
    int modelVersion = 0;
    bool hasNoteRecord = false;
    bool hasAppState = false;
};

enum class StoreModel {
    Current, // NoteRecord and AppState
    Legacy,  // NoteRecord alone
    Unknown,
};

// The file is not a record store of a model this program can open.
class RecordStoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The record store "engine": an SQLite file holding one opaque payload per
// record id plus one application-state payload. It knows nothing of what the
// payloads mean.
class RecordStore {
public:
    static constexpr int currentModelVersion = 2;
    static constexpr int legacyModelVersion = 1;
    static constexpr std::chrono::milliseconds defaultBusyTimeout{2000};

    // Reads the model of an existing store file without opening it for
    // writing. Only an interrupted write left behind (a hot journal) makes it
    // open the file for writing, to roll that write back first.
    static StoreMetadata readMetadata(const QString& path);
    static StoreModel modelOf(const StoreMetadata& metadata);

    // Writes a consistent copy of the store at source to destination,
    // replacing whatever is there. The source is opened read-only.
    static void copy(const QString& source, const QString& destination);
    // Copies a store of the legacy model into a new file of the current model
    // at destination, keeping every record and adding an empty AppState.
    static void migrateLegacy(const QString& source, const QString& destination);
    // Moves the store file at source over destination in one step.
    static void replace(const QString& source, const QString& destination);
    // Removes a store file together with its journal files.
    static void destroy(const QString& path);
    // Creates an empty store file of the legacy model (for upgrade tests and
    // tools; the program itself never writes one).
    static void createLegacy(const QString& path);

    // Opens the store at path, creating an empty store of the current model
    // when the file is missing or empty. A file of any other model is refused
    // with RecordStoreError.
    explicit RecordStore(const QString& path, std::chrono::milliseconds busyTimeout = defaultBusyTimeout);
    // Opens an existing store of the current model on a connection that never
    // writes; a missing file, an empty one or any other model is refused with
    // RecordStoreError (or SqliteError when SQLite cannot read the file).
    static RecordStore openReadOnly(const QString& path);

    const QString& path() const { return m_database.path(); }

    // Every NoteRecord row, in the order SQLite returns them.
    std::vector<StoredRecord> readRecords();
    // The payload of the first AppState row, when there is one holding a blob.
    std::optional<QByteArray> readAppState();

    // Applies all changes in one transaction. On any failure the transaction
    // is rolled back, the file keeps its last committed state and the
    // SqliteError is thrown.
    void apply(const RecordChanges& changes);

    // Writes a consistent copy of the open store to destination, replacing
    // whatever is there.
    void copyTo(const QString& destination);

    // A read-only connection to a file whose header claims write-ahead
    // logging creates "-wal" and "-shm" beside it. This program never writes
    // such a store, so once the connection is closed the side files it made
    // are removed again and a read leaves the folder as it found it.
    class SideFileCleanup {
    public:
        explicit SideFileCleanup(const QString& path);
        SideFileCleanup(SideFileCleanup&& other) noexcept;
        SideFileCleanup& operator=(SideFileCleanup&&) = delete;
        ~SideFileCleanup();

    private:
        std::vector<QString> m_absent;
    };

private:
    RecordStore(SideFileCleanup cleanup, SqliteDatabase database);

    std::optional<SideFileCleanup> m_cleanup; // outlives the connection
    SqliteDatabase m_database;
};

} // namespace quorrin
