#pragma once

#include "Domain/ParsedJson.h"

#include "Domain/Note.h"
#include "Domain/Preferences.h"

#include <QJsonValue>

#include <vector>

namespace quorrin {

// The one document format of persisted notes: every stored record and every
// backup package carries one.
struct BackupManifest {
    static constexpr qint64 currentSchemaVersion = 6;
    static constexpr qint64 oldestSchemaVersion = 1;

    qint64 schemaVersion = currentSchemaVersion;
    Date createdAt;
    std::vector<Note> notes;
    Preferences preferences;

    // The gate every decoded manifest passes before its notes are used:
    // throws the AppError of the first check that fails.
    void validate() const;
    // The part of validate() that looks across notes: note, file-link and
    // block ids unique among all of them, failing as validate() would. For
    // notes that each passed validate() in a manifest of their own, it gives
    // the answer validate() would give for all of them together.
    static void validateIdsAcross(const std::vector<Note>& notes);
    // The checks validate() makes of the blocks of one note, for a note
    // validated without its blocks; all but the check that their ids are
    // unique when they are known to be.
    static void validateBlocks(const std::vector<Block>& blocks, bool idsKnownUnique = false);

    friend bool operator==(const BackupManifest&, const BackupManifest&) = default;

    static BackupManifest fromJson(const QJsonValue& value);
    static BackupManifest fromJson(const json::ParsedValue& value);
    QJsonValue toJson() const;
};

} // namespace quorrin
