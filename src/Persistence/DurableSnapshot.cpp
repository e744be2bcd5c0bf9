#include "Persistence/DurableSnapshot.h"

#include <algorithm>

namespace quorrin {

Note withNormalizedFileLinks(Note note)
{
    if (!note.fileLinks)
        return note;
    QSet<QUuid> shownTodos;
    for (const Block& block : note.displayBlocks()) {
        if (block.kind == BlockKind::Todo)
            shownTodos.insert(block.id);
    }
    for (PersistentFileLink& link : *note.fileLinks) {
        if (link.blockID && !shownTodos.contains(*link.blockID))
            link.blockID.reset();
    }
    return note;
}

Note durableForm(Note note, bool dockingTargetKept)
{
    note = withNormalizedFileLinks(std::move(note));
    if (!dockingTargetKept)
        note.docking.reset();
    return note;
}

bool reduceToDurableSnapshot(std::vector<Note>& notes)
{
    const size_t before = notes.size();
    std::erase_if(notes, [](const Note& note) { return note.isEmpty(); });
    bool changed = notes.size() != before;
    QSet<QUuid> keptLive;
    for (const Note& note : notes) {
        if (!note.deletedAt)
            keptLive.insert(note.id);
    }
    for (Note& note : notes) {
        if (!note.fileLinks && !note.docking)
            continue; // nothing the durable form could change
        Note durable = durableForm(note, note.docking && keptLive.contains(note.docking->targetID));
        if (!(durable == note)) {
            note = std::move(durable);
            changed = true;
        }
    }
    return changed;
}

std::vector<Note> durableSnapshot(const std::vector<Note>& notes)
{
    std::vector<const Note*> kept;
    QSet<QUuid> keptLive;
    for (const Note& note : notes) {
        if (note.isEmpty())
            continue;
        kept.push_back(&note);
        if (!note.deletedAt)
            keptLive.insert(note.id);
    }
    std::vector<Note> snapshot;
    snapshot.reserve(kept.size());
    for (const Note* note : kept)
        snapshot.push_back(durableForm(*note, note->docking && keptLive.contains(note->docking->targetID)));
    return snapshot;
}

} // namespace quorrin
