#include "Features/Reminders/NoteStoreReminderSource.h"

#include "Persistence/NoteStore.h"

namespace quorrin {

NoteStoreReminderSource::NoteStoreReminderSource(NoteStore& store, QObject* parent)
    : ReminderStore(parent)
    , m_store(store)
{
}

std::vector<Note> NoteStoreReminderSource::notes() const
{
    return m_store.notes();
}

std::optional<Note> NoteStoreReminderSource::note(const QUuid& id) const
{
    return m_store.note(id);
}

bool NoteStoreReminderSource::privateReminderContent() const
{
    return m_store.preferences().hidesReminderContent();
}

void NoteStoreReminderSource::update(const Note& note, bool immediate, bool notify)
{
    m_store.update(note, immediate, notify);
}

void NoteStoreReminderSource::setOnCommit(std::function<void()> onCommit)
{
    m_store.setOnCommit(std::move(onCommit));
}

} // namespace quorrin
