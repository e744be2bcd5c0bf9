#pragma once

#include "Domain/Note.h"
#include "Domain/Preferences.h"
#include "Persistence/NoteStore.h"
#include "Persistence/RecordWriter.h"
#include "Core/Storage/RecordStore.h"

#include <QTemporaryDir>

#include <functional>

namespace quorrin::bench {

// Writes `count` notes made by `makeNote` as stored rows into a fresh data
// directory, the way the store itself would, and gives its path. The
// directory lives until the benchmark program ends.
inline QString storedNotesDirectory(int count, const std::function<Note(int)>& makeNote)
{
    static std::vector<std::unique_ptr<QTemporaryDir>> directories;
    auto& directory = directories.emplace_back(std::make_unique<QTemporaryDir>());
    RecordStore store(directory->filePath(NoteStore::storeFileName));
    RecordChanges changes;
    const Preferences preferences;
    for (int index = 0; index < count; ++index) {
        const Note note = makeNote(index);
        changes.writes.push_back({note.id.toString(QUuid::WithoutBraces).toUpper(), notePayload(note, preferences),
                                  note.updatedAt.secondsSinceReferenceDate});
    }
    changes.appState = appStatePayload(preferences);
    store.apply(changes);
    return directory->path();
}

} // namespace quorrin::bench
