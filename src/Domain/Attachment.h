#pragma once

#include "Domain/ParsedJson.h"

#include "Core/Time/Clock.h"

#include <QJsonValue>
#include <QString>
#include <QUuid>

namespace quorrin {

// A file copied into the data directory's "Attachments" folder and shown by an
// image or PDF block.
struct Attachment {
    QUuid id = QUuid::createUuid();
    QString relativePath;     // bare file name inside "Attachments"
    QString originalFilename; // last path component of the imported file
    QString contentType;      // the imported file's extension, lower case
    QString checksum;         // SHA-256 of the stored copy, 64 lower-case hex digits
    Date createdAt = systemNow();

    friend bool operator==(const Attachment& a, const Attachment& b);

    static Attachment fromJson(const QJsonValue& value);
    static Attachment fromJson(const json::ParsedValue& value);
    QJsonValue toJson() const;
};

} // namespace quorrin
