#include "Persistence/DurableSnapshot.h"

#include <algorithm>

namespace quorrin {

namespace {

// Detaches the links whose todo is not among the shown blocks.
void normalizeFileLinks(std::vector<PersistentFileLink>& links, const std::vector<Block>& blocks)
{
    QSet<QUuid> shownTodos;
    for (const Block& block : blocks) {
        if (block.kind == BlockKind::Todo && !block.isArchived())
            shownTodos.insert(block.id);
    }
    for (PersistentFileLink& link : links) {
        if (link.blockID && !shownTodos.contains(*link.blockID))
            link.blockID.reset();
    }
}

} // namespace

Note withNormalizedFileLinks(Note note)
{
    if (note.fileLinks)
        normalizeFileLinks(*note.fileLinks, note.blocks);
    return note;
}

Note durableForm(Note note, bool dockingTargetKept)
{
    note = withNormalizedFileLinks(std::move(note));
    if (!dockingTargetKept)
        note.docking.reset();
    return note;
}

Note durableShell(const Note& note, bool dockingTargetKept)
{
    Note shell = note.withBlocks({});
    if (!dockingTargetKept)
        shell.docking.reset();
    if (shell.fileLinks)
        normalizeFileLinks(*shell.fileLinks, note.blocks);
    return shell;
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
