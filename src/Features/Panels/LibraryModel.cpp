#include "Features/Panels/LibraryModel.h"

#include "Features/Panels/SearchHits.h"
#include "Persistence/NoteStore.h"

#include <algorithm>
#include <array>

namespace quorrin {

namespace Library {

QString priorityLabel(qint64 priority)
{
    static const std::array<QString, 4> labels = {QStringLiteral("紧急"), QStringLiteral("高"), QStringLiteral("中"),
                                                   QStringLiteral("低")};
    return labels[size_t(std::clamp<qint64>(priority - 1, 0, 3))];
}

std::vector<TrashRow> trashRows(const std::vector<Note>& notes, Date now, const QTimeZone& zone)
{
    std::vector<TrashRow> rows;
    for (const Note& note : notes) {
        if (!note.deletedAt)
            continue;
        const QDateTime moment = note.deletedAt->toDateTime();
        const QDateTime shown = moment.isValid() ? moment : now.toDateTime();
        rows.push_back(TrashRow{note.id, note.title(), shown.toTimeZone(zone).date()});
    }
    return rows;
}

std::vector<ArchiveRow> archiveRows(const std::vector<Note>& notes)
{
    std::vector<ArchiveRow> rows;
    for (const Note& note : notes) {
        if (note.deletedAt)
            continue;
        for (const Block& block : note.blocks) {
            if (!block.todo || !block.todo->archivedAt)
                continue;
            QString text = searchablePlainText(block.text.rtf());
            if (text.isEmpty())
                text = untitledTodo;
            rows.push_back(ArchiveRow{note.id, block.id, text,
                                      note.title() + QStringLiteral(" · ") + priorityLabel(block.todo->priority)});
        }
    }
    return rows;
}

namespace {
// Stores a changed note at once; on a failed save the previous note goes back
// into memory (the store has reported the error).
bool storeOrPutBack(NoteStore& store, const Note& previous, const Note& changed)
{
    store.update(changed, true, true);
    if (!store.lastError())
        return true;
    store.update(previous, false, true);
    return false;
}
} // namespace

bool restoreNote(NoteStore& store, const QUuid& noteID)
{
    const std::optional<Note> previous = store.note(noteID);
    if (!previous)
        return true; // gone meanwhile: nothing to restore, opening shows nothing
    Note note = *previous;
    note.deletedAt.reset();
    note.deletionIsExplicit.reset();
    note.isHidden = false;
    return storeOrPutBack(store, *previous, note);
}

bool restoreTodo(NoteStore& store, const QUuid& noteID, const QUuid& blockID)
{
    const std::optional<Note> previous = store.note(noteID);
    if (!previous)
        return true;
    Note note = *previous;
    auto block = std::find_if(note.blocks.begin(), note.blocks.end(),
                              [&](const Block& candidate) { return candidate.id == blockID; });
    if (block != note.blocks.end() && block->todo)
        block->todo->archivedAt.reset();
    return storeOrPutBack(store, *previous, note);
}

} // namespace Library

LibraryModel::LibraryModel(NoteStore& store, QObject* parent)
    : QObject(parent)
    , m_store(&store)
{
    connect(&store, &NoteStore::notesChanged, this, [this] {
        ++m_revision;
        Q_EMIT revisionChanged(m_revision);
    });
}

} // namespace quorrin
