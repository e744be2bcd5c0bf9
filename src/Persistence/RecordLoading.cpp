#include "Persistence/RecordLoading.h"

#include "Domain/AppError.h"
#include "Domain/Json.h"

#include <iterator>

namespace quorrin {

BackupManifest decodeValidManifest(const QByteArray& payload)
{
    BackupManifest manifest;
    try {
        // Rows as the store writes them take the quick way; anything it
        // declines is read the ordinary way, which also words the error.
        std::optional<BackupManifest> quick = json::decodeQuickly<BackupManifest>(payload);
        manifest = quick ? std::move(*quick) : json::decode<BackupManifest>(payload);
    } catch (const json::Error& error) {
        throw AppError(QStringLiteral("便笺记录无法读取，原始数据库已保留：%1").arg(error.message()));
    }
    manifest.validate();
    return manifest;
}

LoadedNotes loadNotes(const std::vector<StoredRecord>& rows, const Preferences& preferences)
{
    LoadedNotes loaded;
    loaded.notes.reserve(rows.size()); // a row normally holds one note
    for (const StoredRecord& row : rows) {
        if (!row.payload)
            throw AppError(QStringLiteral("便笺记录不完整，原始数据库已保留。"));
        BackupManifest manifest = decodeValidManifest(*row.payload);
        loaded.needsUpgrade = loaded.needsUpgrade || manifest.schemaVersion < BackupManifest::currentSchemaVersion;
        loaded.rowsAsSaved = loaded.rowsAsSaved && manifest.notes.size() == 1 && manifest.preferences == preferences;
        std::move(manifest.notes.begin(), manifest.notes.end(), std::back_inserter(loaded.notes));
    }
    // Each row passed validation on its own; what remains is whether ids
    // repeat across rows.
    BackupManifest::validateIdsAcross(loaded.notes);
    return loaded;
}

} // namespace quorrin
