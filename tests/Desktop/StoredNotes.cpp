#include "Desktop/StoredNotes.h"

#include "Domain/BackupManifest.h"

#include <QJsonDocument>

#include <sqlite3.h>

#include <iostream>

namespace quorrin::desktop {

std::vector<Note> storedNotes(const QString& dataDirectory)
{
    std::vector<Note> notes;
    sqlite3* database = nullptr;
    const QByteArray path = (dataDirectory + QStringLiteral("/Notes.sqlite")).toUtf8();
    if (sqlite3_open_v2(path.constData(), &database, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(database);
        return notes;
    }
    sqlite3_busy_timeout(database, 5000);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(database, "SELECT payload FROM NoteRecord", -1, &statement, nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            const QByteArray payload(static_cast<const char*>(sqlite3_column_blob(statement, 0)),
                                     sqlite3_column_bytes(statement, 0));
            try {
                // Each row is a manifest holding its one note.
                for (Note& note : BackupManifest::fromJson(QJsonDocument::fromJson(payload).object()).notes)
                    notes.push_back(std::move(note));
            } catch (const std::exception& error) {
                // A row the test cannot read counts as absent; the assertion
                // on what should be there then fails.
                std::cerr << "unreadable row: " << error.what() << std::endl;
            }
        }
    }
    sqlite3_finalize(statement);
    sqlite3_close(database);
    return notes;
}

std::optional<Note> storedNote(const QString& dataDirectory, const QUuid& id)
{
    for (Note& note : storedNotes(dataDirectory)) {
        if (note.id == id)
            return std::move(note);
    }
    return std::nullopt;
}

QStringList blockTexts(const Note& note)
{
    QStringList texts;
    for (const Block& block : note.displayBlocks())
        texts << block.text.attributed().string();
    return texts;
}

} // namespace quorrin::desktop
