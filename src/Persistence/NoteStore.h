#pragma once

#include "Domain/Note.h"
#include "Domain/Preferences.h"
#include "Persistence/BackgroundRecordWrite.h"
#include "Persistence/BackupPackage.h"
#include "Persistence/RecordWriter.h"
#include "Persistence/SaveFailure.h"
#include "Persistence/StoreAccessError.h"
#include "Core/Text/AttributedString.h"
#include "Core/Time/Clock.h"
#include "Core/Screens/DesktopMetrics.h"
#include "Core/Storage/InstanceLock.h"
#include "Core/Storage/RecordStore.h"
#include "Core/Time/RestartableTimer.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QUuid>

#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace quorrin {

// The text of a store failure as the user should read it.
QString describeError(const std::exception_ptr& error);

// The error opening reports for a failure to take the instance lock: only a
// lock held elsewhere means another instance is running.
std::exception_ptr storeErrorForLockFailure(const InstanceLockError& error);

// What the store takes from its surroundings; tests replace each part.
struct NoteStoreServices {
    Clock clock = systemNow;
    // The screen and the fonts for new notes; without it there is no main
    // screen and the preferred font is taken as installed.
    std::shared_ptr<const DesktopMetrics> desktop;
    // Runs the deferred save after the quiet period; an event-loop timer
    // when not given.
    std::unique_ptr<RestartableTimer> saveTimer;
    // Runs the deferred save when updates have kept arriving for the longest
    // wait; an event-loop timer when not given.
    std::unique_ptr<RestartableTimer> saveDeadlineTimer;
    // Runs the next attempt after a failed save; an event-loop timer when
    // not given.
    std::unique_ptr<RestartableTimer> saveRetryTimer;
    // Whether the deferred save writes its records on a thread of its own,
    // the event loop turning meanwhile (see NoteStore::save).
    bool writeInBackground = false;
};

// The one owner of every note and of the preferences. It keeps the data
// directory locked while it exists, loads and upgrades the record store when
// opened, saves at once or after a short quiet period, and announces every
// change through notesChanged. Used on the main thread only.
//
// A failed save loses nothing: the notes keep their changes in memory, stay
// marked as unsaved, and the store tries again by itself, waiting longer
// after each failure (up to a minute), until a save succeeds. Only the first
// failure of typing being saved in such a run, or one for another reason, is
// handed to onError; a command saved at once is always answered.
class NoteStore : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds saveDelay{350};
    // While updates keep arriving without a quiet period, a save still
    // happens at least this often.
    static constexpr std::chrono::milliseconds longestSaveWait{2000};
    inline static const QString preferencesFileName = QStringLiteral("Preferences.json");
    inline static const QString storeFileName = QStringLiteral("Notes.sqlite");
    inline static const QString attachmentsDirectoryName = QStringLiteral("Attachments");
    inline static const QString recoveryDirectoryName = QStringLiteral("Recovery");

    // Opens the store in root, or in the default data directory when root is
    // not given, taking the instance lock when exclusiveAccess is true.
    // Throws on any failure, leaving no lock behind.
    NoteStore(const std::optional<QString>& root, bool exclusiveAccess, NoteStoreServices services = {},
              QObject* parent = nullptr);
    ~NoteStore() override;

    const QString& root() const { return m_root; }
    bool isFirstLaunch() const { return m_isFirstLaunch; }
    // Every note, live and deleted.
    const std::vector<Note>& notes() const { return m_notes; }
    const Preferences& preferences() const { return m_preferences; }
    // For the settings panel, which sets the fields it edits and then saves.
    Preferences& preferences() { return m_preferences; }

    std::exception_ptr lastError() const { return m_lastError; }
    void setLastError(std::exception_ptr error) { m_lastError = std::move(error); }
    // Keeps the error as lastError and hands it to onError.
    void reportError(std::exception_ptr error);
    void setOnCommit(std::function<void()> callback) { m_onCommit = std::move(callback); }
    void setOnError(std::function<void(std::exception_ptr)> callback) { m_onError = std::move(callback); }
    const std::function<void()>& onCommit() const { return m_onCommit; }
    const std::function<void(std::exception_ptr)>& onError() const { return m_onError; }

    // Writes everything now: "Preferences.json" (unless it already holds
    // exactly these preferences), then the changed records in
    // one transaction, then calls onCommit. On failure the records are rolled
    // back, the error becomes lastError and is thrown.
    //
    // Writing in the background, the deferred save and the one that follows
    // an update saved at once write the records on a thread of their own and
    // take the rest in, onCommit included, once they are written. This save
    // and anything else that writes waits for such a write first; so does
    // closing the store.
    void save();
    // Replaces the note with the same id (nothing happens for an unknown id),
    // then saves at once or after the quiet period, and announces it. A
    // caller done with its note moves it in: it is then not copied.
    void update(Note note, bool immediate, bool notify);
    std::optional<Note> note(const QUuid& id) const;
    // The note with that id without copying it, or null; valid until the
    // notes next change.
    const Note* findNote(const QUuid& id) const;
    // Whether any note is live (has no deletion date).
    bool hasActiveNotes() const;
    // The notes without a deletion date, in store order, hidden ones included.
    std::vector<Note> active() const;
    // Their ids, without copying the notes (a note may hold many blocks).
    std::vector<QUuid> activeIds() const;
    Note create(const std::optional<AttributedString>& text = std::nullopt);
    // Discards an empty note, or moves a note to the recently deleted and
    // saves at once. Answers whether the note left the live notes: false for
    // an unknown id, and when saving failed, in which case the note stays
    // live as it was and the error is reported.
    bool deleteNote(const QUuid& id);
    bool discardEmptyNote(const QUuid& id);
    void closeAndDetachNote(const QUuid& id);
    // Sets the note's frame and docking without copying the note; answers
    // whether either changed. Only the next save records them.
    bool updateGeometryInMemory(const QUuid& id, const WindowFrame& frame, const std::optional<NoteDock>& docking);
    // The same, then saves after the quiet period when anything changed, as
    // update does, without announcing it.
    void updateGeometry(const QUuid& id, const WindowFrame& frame, const std::optional<NoteDock>& docking);
    bool setSharedWindowLayer(bool onTop);
    void setFilePersistence(bool enabled);

    bool isSavePending() const { return m_pending->isPending(); }
    // Whether an earlier save failed and the store will try again.
    bool isRetryingSave() const { return m_retry->isPending(); }
    // The user acted: a save that is waiting to be tried again is tried now.
    void retrySaveNow();

    // Backup packages, attachment import and the close-retention upgrade
    // (NoteStoreBackup.cpp). Each fails with an AppError only.
    BackupResult backup(const QString& target);
    void restoreBackup(const QString& package);
    Attachment importAttachment(const QString& source);
    // Points every block that shows the attachment `attachmentID`, in live
    // and deleted notes alike, at another stored file: its relativePath,
    // checksum and contentType change, nothing else. One save for all notes;
    // on failure nothing has changed and the error is thrown. Answers how
    // many notes changed (none: nothing is saved).
    int repointAttachment(const QUuid& attachmentID, const QString& relativePath, const QString& checksum,
                          const QString& contentType);
    int upgradeCloseRetentionIfNeeded();

Q_SIGNALS:
    // A note changed (id given) or possibly every note (no id).
    void notesChanged(std::optional<QUuid> id);
    // A save succeeded after one or more had failed: nothing is unsaved any
    // more.
    void unsavedChangesSaved();

private:
    QString pathOf(const QString& name) const;
    // Applies a change to the notes or preferences and saves at once; on
    // failure both are put back and the error is thrown. On success every
    // note is announced as possibly changed.
    void changeAllAndSave(const std::function<void()>& change);
    void detachDockingsTo(const QUuid& id);
    void open(bool exclusiveAccess);
    void migrateLegacyStore();
    void restoreBackupPackage(const QString& package);
    int upgradeCloseRetention();
    void checkpointBeforeSchemaUpgrade();
    void writePreferencesFile(const QByteArray& json);
    // What a save writes of the notes, worked out, and "Preferences.json"
    // written; the saves waiting to run are called off, as this one takes
    // their changes. A failure counts as the save's.
    RecordWriter::Plan planSave();
    void changed(const QUuid& id, bool immediate, bool notify);
    void runDeferredSave();

    // Waits for the records being written in the background, if any, then
    // takes their save in as done or failed.
    void settleBackgroundSave();
    // What follows a save's records being written, or failing to be.
    void saved(RecordWriter::Plan plan);
    void failedToSave(std::exception_ptr error);
    // An immediate save follows a command the user gave and is answered
    // every time; a deferred one follows typing.
    enum class SaveKind { Immediate, Deferred };
    // A save writing in the background: planned at once, its records
    // written by m_background, its failure reported as a save of `kind`.
    void startSavingInBackground(SaveKind kind);
    // After a failed save whose changes stay in memory: keeps the error and
    // tells onError, unless a deferred save fails for the very reason already
    // told since the last successful save.
    void reportSaveFailure(const std::exception_ptr& cause, SaveKind kind);
    void retrySave();
    Note* find(const QUuid& id);
    // The position of the note with that id in m_notes, or -1. The index
    // behind it is rebuilt whenever it no longer matches the list.
    qsizetype indexOf(const QUuid& id) const;
    // Called whenever notes are added, removed, reordered or replaced.
    void forgetPositions() const { m_positions.clear(); }
    void markChanged(const Note& note) { m_writer.markChanged(note.id); }

    QString m_root;
    bool m_isFirstLaunch = false;
    std::unique_ptr<RecordStore> m_container;
    std::vector<Note> m_notes;
    mutable QHash<QUuid, qsizetype> m_positions; // id -> index in m_notes, first note with that id
    Preferences m_preferences;
    std::optional<InstanceLock> m_lease;
    std::unique_ptr<RestartableTimer> m_pending;
    std::unique_ptr<RestartableTimer> m_deadline;
    std::unique_ptr<RestartableTimer> m_retry;
    SaveRetryBackoff m_backoff;
    bool m_saveFailed = false; // a save failed since the last one that succeeded
    QString m_reportedSaveFailure; // the message onError last got for a failed save, until one succeeds
    std::exception_ptr m_lastError;
    std::function<void()> m_onCommit;
    std::function<void(std::exception_ptr)> m_onError;

    Clock m_clock;
    std::shared_ptr<const DesktopMetrics> m_desktop;
    RecordWriter m_writer;
    std::unique_ptr<BackgroundRecordWrite> m_background; // when the deferred save writes in the background
    std::optional<RecordWriter::Plan> m_writing;         // the save whose records it writes
    // Memory for a note's next encoding, made ready beside the write.
    std::optional<RecordWriter::Room> m_roomWanted;
    std::optional<EncodedNote> m_roomMade; // written by the writing thread, read once it ended
    bool m_saveAfterWriting = false; // the deferred save came while records were being written
    SaveKind m_writingKind = SaveKind::Deferred;
};

} // namespace quorrin
