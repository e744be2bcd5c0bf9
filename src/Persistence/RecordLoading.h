#pragma once

#include "Domain/BackupManifest.h"
#include "Domain/Note.h"
#include "Core/Storage/RecordStore.h"

#include <QByteArray>

#include <optional>
#include <vector>

namespace quorrin {

// Every payload of a record store is untrusted until it has decoded and
// passed BackupManifest::validate(); these are the steps opening a store
// takes, kept apart from the store itself so they can be checked alone.

// Decodes one payload and validates it; throws json::Error or AppError.
BackupManifest decodeValidManifest(const QByteArray& payload);

// The notes of every NoteRecord row, in row order.
struct LoadedNotes {
    std::vector<Note> notes;
    bool needsUpgrade = false; // some row was written with an older schema
};

// Decodes and validates each row, then checks that ids do not repeat across
// rows. Throws the error of the first row that fails, or AppError for a row
// without a payload.
LoadedNotes loadNotes(const std::vector<StoredRecord>& rows);

} // namespace quorrin
