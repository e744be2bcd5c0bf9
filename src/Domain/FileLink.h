#pragma once

#include "Domain/ParsedJson.h"

#include <QByteArray>
#include <QJsonValue>
#include <QString>
#include <QUuid>

#include <optional>

namespace quorrin {

// A file linked on a note's file shelf, to the note as a whole or to one of
// its todos.
struct PersistentFileLink {
    QUuid id;
    QUuid noteID;                 // the note whose shelf holds the link
    std::optional<QUuid> blockID; // the todo it belongs to; absent for the whole note
    QString displayName;
    QByteArray bookmark; // opaque bytes from which the shelf finds the file again

    friend bool operator==(const PersistentFileLink& a, const PersistentFileLink& b);

    static PersistentFileLink fromJson(const QJsonValue& value);
    static PersistentFileLink fromJson(const json::ParsedValue& value);
    QJsonValue toJson() const;
};

} // namespace quorrin
