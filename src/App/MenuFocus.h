#pragma once

#include <QUuid>

#include <functional>
#include <optional>

namespace quorrin {

class NoteRegistry;

// Bringing notes forward around the application's own menus: opening the
// application menu or the status menu floats every shown note to the front;
// activation and focus asked for while such a menu is open are recorded by
// the commands and carried out when it closes.
class MenuFocus {
public:
    // The registry must outlive this object.
    explicit MenuFocus(NoteRegistry& registry);

    // Runs work on a later event-loop turn; the Qt event loop when not set.
    std::function<void(std::function<void()>)> defer;

    // The note to present a menu in front of: the current note, else the
    // first shown note of the store.
    std::optional<QUuid> focusCandidate() const;

    void menuNeedsUpdate();
    void menuWillOpen();
    void menuDidClose();
    // Carries out the activation and focus recorded while the menu was open.
    void applyPendingMenuFocus();
    // Makes a note's window key with the caret in its text.
    void focusNote(const QUuid& noteID);

private:
    void later(std::function<void()> work) const;

    NoteRegistry& m_registry;
};

} // namespace quorrin
