#include "Domain/Attachment.h"

#include "Domain/Json.h"
#include "Domain/TextEquality.h"

namespace quorrin {

using namespace Qt::StringLiterals;

bool operator==(const Attachment& a, const Attachment& b)
{
    return a.id == b.id && canonicallyEqual(a.relativePath, b.relativePath)
        && canonicallyEqual(a.originalFilename, b.originalFilename) && canonicallyEqual(a.contentType, b.contentType)
        && canonicallyEqual(a.checksum, b.checksum) && a.createdAt == b.createdAt;
}

namespace {

Attachment readAttachment(const json::ObjectReader& reader)
{
    return Attachment{
        .id = reader.get<QUuid>("id"_L1),
        .relativePath = reader.get<QString>("relativePath"_L1),
        .originalFilename = reader.get<QString>("originalFilename"_L1),
        .contentType = reader.get<QString>("contentType"_L1),
        .checksum = reader.get<QString>("checksum"_L1),
        .createdAt = reader.get<Date>("createdAt"_L1),
    };
}

} // namespace

Attachment Attachment::fromJson(const QJsonValue& value)
{
    return readAttachment(json::ObjectReader(value));
}

Attachment Attachment::fromJson(const json::ParsedValue& value)
{
    return readAttachment(json::ObjectReader(value));
}

QJsonValue Attachment::toJson() const
{
    return json::ObjectWriter()
        .set("id"_L1, id)
        .set("relativePath"_L1, relativePath)
        .set("originalFilename"_L1, originalFilename)
        .set("contentType"_L1, contentType)
        .set("checksum"_L1, checksum)
        .set("createdAt"_L1, createdAt)
        .object();
}

} // namespace quorrin
