#pragma once

#include "Domain/Note.h"

#include <QString>

#include <optional>
#include <vector>

namespace quorrin::desktop {

// The notes as the application stored them in its data directory's
// Notes.sqlite, read with a connection of the test's own.
std::vector<Note> storedNotes(const QString& dataDirectory);
std::optional<Note> storedNote(const QString& dataDirectory, const QUuid& id);

// The visible text of each displayed block of a note, in order.
QStringList blockTexts(const Note& note);

} // namespace quorrin::desktop
