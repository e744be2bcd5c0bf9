#pragma once

#include "Features/Reminders/ReminderStore.h"

namespace quorrin {

class NoteStore;

// The note store as the reminder coordinator sees it.
class NoteStoreReminderSource final : public ReminderStore {
public:
    explicit NoteStoreReminderSource(NoteStore& store, QObject* parent = nullptr);

    std::vector<Note> notes() const override;
    std::optional<Note> note(const QUuid& id) const override;
    bool privateReminderContent() const override;
    void update(const Note& note, bool immediate, bool notify) override;
    void setOnCommit(std::function<void()> onCommit) override;

private:
    NoteStore& m_store;
};

} // namespace quorrin
