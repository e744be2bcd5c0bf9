#include "Domain/FileLink.h"

#include "Domain/Json.h"
#include "Domain/TextEquality.h"

namespace quorrin {

using namespace Qt::StringLiterals;

bool operator==(const PersistentFileLink& a, const PersistentFileLink& b)
{
    return a.id == b.id && a.noteID == b.noteID && a.blockID == b.blockID
        && canonicallyEqual(a.displayName, b.displayName) && a.bookmark == b.bookmark;
}

namespace {

PersistentFileLink readPersistentFileLink(const json::ObjectReader& reader)
{
    return PersistentFileLink{
        .id = reader.get<QUuid>("id"_L1),
        .noteID = reader.get<QUuid>("noteID"_L1),
        .blockID = reader.optional<QUuid>("blockID"_L1),
        .displayName = reader.get<QString>("displayName"_L1),
        .bookmark = reader.get<QByteArray>("bookmark"_L1),
    };
}

} // namespace

PersistentFileLink PersistentFileLink::fromJson(const QJsonValue& value)
{
    return readPersistentFileLink(json::ObjectReader(value));
}

PersistentFileLink PersistentFileLink::fromJson(const json::ParsedValue& value)
{
    return readPersistentFileLink(json::ObjectReader(value));
}

QJsonValue PersistentFileLink::toJson() const
{
    return json::ObjectWriter()
        .set("id"_L1, id)
        .set("noteID"_L1, noteID)
        .set("blockID"_L1, blockID)
        .set("displayName"_L1, displayName)
        .set("bookmark"_L1, bookmark)
        .object();
}

} // namespace quorrin
