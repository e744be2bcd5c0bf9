#include "Domain/BackupManifest.h"

#include "Domain/Json.h"

namespace quorrin {

using namespace Qt::StringLiterals;

namespace {

BackupManifest readBackupManifest(const json::ObjectReader& reader)
{
    return BackupManifest{
        .schemaVersion = reader.get<qint64>("schemaVersion"_L1),
        .createdAt = reader.get<Date>("createdAt"_L1),
        .notes = reader.get<std::vector<Note>>("notes"_L1),
        .preferences = reader.get<Preferences>("preferences"_L1),
    };
}

} // namespace

BackupManifest BackupManifest::fromJson(const QJsonValue& value)
{
    return readBackupManifest(json::ObjectReader(value));
}

BackupManifest BackupManifest::fromJson(const json::ParsedValue& value)
{
    return readBackupManifest(json::ObjectReader(value));
}

QJsonValue BackupManifest::toJson() const
{
    return json::ObjectWriter()
        .set("schemaVersion"_L1, schemaVersion)
        .set("createdAt"_L1, createdAt)
        .set("notes"_L1, notes)
        .set("preferences"_L1, preferences)
        .object();
}

} // namespace quorrin
