#pragma once

#include "Domain/Note.h"
#include "Domain/Preferences.h"
#include "Core/Sequences/SharedEnds.h"
#include "Core/Storage/RecordStore.h"
#include "Persistence/EncodedNote.h"

#include <QHash>
#include <QSet>
#include <QUuid>

#include <functional>
#include <optional>
#include <vector>

namespace quorrin {

// The payload of a note's record: a manifest holding that one note.
QByteArray notePayload(const Note& note, const Preferences& preferences);
// The payload of the application-state record: a manifest holding no notes.
QByteArray appStatePayload(const Preferences& preferences);

// Works out what one save has to write to the record store.
//
// It mirrors what the store holds (each row's payload, the application
// state) and remembers each note's encoded payload, so a save encodes only the
// notes marked changed since the last successful save and writes only rows
// whose bytes differ. Before anything is written, every note it encodes is
// validated as opening would validate it, and block and file-link ids are
// checked to stay unique across notes: a save never stores what opening would
// refuse.
class RecordWriter {
public:
    struct Plan;

    // What the store holds after opening.
    void loadCommitted(const std::vector<StoredRecord>& rows, const std::optional<QByteArray>& appState);
    // After loadCommitted: these notes and preferences are what the rows
    // hold, each row exactly its own note encoded with these preferences, so
    // the stored bytes stand for the notes' encodings and the next save
    // encodes only the notes changed since. Nothing is taken over when a
    // note has no row of its own or a row holds no note.
    void adoptOpened(const std::vector<Note>& notes, const Preferences& preferences);
    // The note with that id differs from what the last save encoded.
    void markChanged(const QUuid& id) { m_changed.insert(id, ++m_marks); }

    // Where the note with an id stands in the list handed to plan(), if it
    // is there.
    using Locate = std::function<std::optional<size_t>(const QUuid& id)>;

    // The changes of a save of these notes and preferences. Throws an
    // AppError when a note would not pass validation, or the encoding error.
    // With `locate`, a save that need not look at every note finds the
    // changed ones without going through the list.
    Plan plan(const std::vector<Note>& notes, const Preferences& preferences, const Locate& locate = {}) const;
    // Takes over the state of a plan once its changes are committed.
    void adopt(Plan plan);

    // A note of many blocks whose next encoding has no memory of the size
    // it needs: what the plan encodes of it is much larger than the
    // encoding it replaces, which the next encoding is written into.
    struct Room {
        QUuid note;
        qsizetype bytes = 0;
        size_t blocks = 0;
    };
    std::optional<Room> roomWanted(const Plan& plan) const;
    // After the plan is adopted: memory for the note's next encoding, kept
    // unless as much is kept already.
    void lend(const QUuid& note, EncodedNote room);

private:
    struct Row {
        QString storedId; // the id text as stored, used to address the row
        QByteArray payload;
    };
    struct Encoded {
        bool blank = false;
        bool dockingKept = false;
        EncodedNote note; // an empty payload for a blank draft
        std::vector<QUuid> blockIds;
        std::vector<QUuid> linkIds;
        QUuid dockTarget; // the note's docking target when it was encoded, null without docking
    };

public:
    struct Plan {
        RecordChanges changes;
        QByteArray preferencesJson; // also what "Preferences.json" receives

    private:
        friend class RecordWriter;
        std::vector<std::pair<QUuid, Encoded>> encoded;
        std::vector<QUuid> forgotten; // notes no longer in the store's list
        std::vector<std::pair<QUuid, Row>> rowsWritten; // rows as they are after the commit
        std::vector<QUuid> rowsDeleted;
        quint64 marks = 0; // the marks the plan looked at: those made up to it
    };

private:
    // The block ids of an entry whose owners change: all of them, or those
    // between the first `head` and the last `tail`.
    using Ends = SharedEnds;
    void remember(const QUuid& id, Encoded entry, Ends keptBlockIds = {0, 0});
    void forget(const QUuid& id, const Encoded& entry, Ends keptBlockIds = {0, 0});
    // The note's block ids other than those its entry holds at the same
    // places from either end: all of them without an entry.
    std::pair<const QUuid*, const QUuid*> blockIdsNotKept(const QUuid& id, const std::vector<QUuid>& blockIds) const;
    // Whether these block ids of the note are known to be unique: its
    // entry held unique ids, and each of the few others is held once.
    bool blockIdsStayUnique(const QUuid& id, const std::vector<QUuid>& blockIds) const;
    // The indices of the notes a partial save looks at, ascending: the
    // changed notes and the notes docked to them.
    std::vector<size_t> changedCandidates(const std::vector<Note>& notes, const Locate& locate) const;
    void checkUniqueIds(const std::vector<Note>& notes, const std::vector<bool>& blank, const std::vector<bool>& known,
                        const std::vector<std::pair<QUuid, Encoded>>& encoded) const;
    static void forgetOwner(QHash<QUuid, QUuid>& owners, const QUuid* from, const QUuid* to, const QUuid& owner);

    QHash<QUuid, Row> m_rows;
    std::optional<QByteArray> m_appState;
    std::optional<QByteArray> m_preferencesJson; // the preferences the encoded payloads embed
    QHash<QUuid, Encoded> m_encoded;
    // The encoding a save last replaced, and its note: the next encoding of
    // that note is written into its memory. A plan takes it.
    mutable std::optional<std::pair<QUuid, EncodedNote>> m_recycled;
    // The notes marked changed, each with the count of marks when it was
    // last marked: a plan adopted later than it was made leaves the notes
    // marked since it was made marked.
    QHash<QUuid, quint64> m_changed;
    quint64 m_marks = 0;
    QHash<QUuid, QUuid> m_blockOwners; // block id -> note id, over stored notes
    QHash<QUuid, QUuid> m_linkOwners;  // file-link id -> note id, over stored notes
    QMultiHash<QUuid, QUuid> m_docked; // docking target -> ids of the encoded notes docked to it
};

} // namespace quorrin
