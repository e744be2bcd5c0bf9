#include "Domain/BackupManifest.h"

#include "Domain/Json.h"

namespace quorrin {

using namespace Qt::StringLiterals;

BackupManifest BackupManifest::fromJson(const QJsonValue& value)
{
    const json::ObjectReader reader(value);
    return BackupManifest{
        .schemaVersion = reader.get<qint64>("schemaVersion"_L1),
        .createdAt = reader.get<Date>("createdAt"_L1),
        .notes = reader.get<std::vector<Note>>("notes"_L1),
        .preferences = reader.get<Preferences>("preferences"_L1),
    };
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
