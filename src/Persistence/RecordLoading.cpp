#include "Persistence/RecordLoading.h"

#include "Domain/AppError.h"
#include "Domain/Json.h"

#include <iterator>

namespace quorrin {

BackupManifest decodeValidManifest(const QByteArray& payload)
{
    BackupManifest manifest = json::decode<BackupManifest>(payload);
    manifest.validate();
    return manifest;
}

LoadedNotes loadNotes(const std::vector<StoredRecord>& rows)
{
    LoadedNotes loaded;
    loaded.notes.reserve(rows.size()); // a row normally holds one note
    for (const StoredRecord& row : rows) {
        if (!row.payload)
            throw AppError(QStringLiteral("便笺记录不完整，原始数据库已保留。"));
        BackupManifest manifest = decodeValidManifest(*row.payload);
        loaded.needsUpgrade = loaded.needsUpgrade || manifest.schemaVersion < BackupManifest::currentSchemaVersion;
        std::move(manifest.notes.begin(), manifest.notes.end(), std::back_inserter(loaded.notes));
    }
    // Each row passed validation on its own; what remains is whether ids
    // repeat across rows.
    BackupManifest::validateIdsAcross(loaded.notes);
    return loaded;
}

} // namespace quorrin
