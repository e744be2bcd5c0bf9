#pragma once

#include "Domain/AppError.h"
#include "Domain/Attachment.h"
#include "Domain/Note.h"
#include "Domain/Preferences.h"

#include <QString>
#include <QUuid>

#include <optional>

namespace quorrin {

// What the block editor needs of the note store. The application binds it to
// the one store; tests bind it to a fake that can fail on demand.
class EditorStore {
public:
    virtual ~EditorStore() = default;

    // The note as stored, without copying it, or null. Valid until the
    // store's notes next change: read it at once, never keep it.
    virtual const Note* findNote(const QUuid& id) const = 0;
    // A copy of the note, for callers that keep it or change it.
    std::optional<Note> note(const QUuid& id) const
    {
        const Note* found = findNote(id);
        return found ? std::optional<Note>(*found) : std::nullopt;
    }
    // Hands the whole note to the store (saved at once or after the store's
    // delay, announced or not). Answers the error of this very update when
    // saving it failed; the store has then already reported it. Taken by
    // value: a caller done with its note moves it in, and it is not copied.
    virtual std::optional<AppError> update(Note note, bool immediate, bool notify) = 0;
    // Keeps the error as the store's last error and reports it to the user.
    virtual void report(const AppError& error) = 0;
    virtual Preferences preferences() const = 0;
    // The file of an attachment inside the data directory.
    virtual QString attachmentPath(const Attachment& attachment) const = 0;
    // Copies a file into the data directory; throws AppError on failure.
    virtual Attachment importAttachment(const QString& path) = 0;
};

} // namespace quorrin
