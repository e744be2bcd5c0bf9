#pragma once

#include "Domain/Note.h"

#include <QObject>
#include <QUuid>

#include <functional>
#include <optional>
#include <vector>

namespace quorrin {

// What the reminder coordinator needs of the note store: the notes, the
// privacy preference, writing a note back, and a call after every successful
// save. The application adapts its note store to this.
class ReminderStore : public QObject {
public:
    using QObject::QObject;

    // Every note in store order, deleted ones included.
    virtual std::vector<Note> notes() const = 0;
    virtual std::optional<Note> note(const QUuid& id) const = 0;
    // Whether reminders hide the note title and the task (absent preference: false).
    virtual bool privateReminderContent() const = 0;
    virtual void update(const Note& note, bool immediate, bool notify) = 0;
    // Replaces the callback made after every successful save.
    virtual void setOnCommit(std::function<void()> onCommit) = 0;
};

} // namespace quorrin
