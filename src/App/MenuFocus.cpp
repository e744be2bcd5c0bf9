#include "App/MenuFocus.h"

#include "App/NoteRegistry.h"
#include "Persistence/NoteStore.h"
#include "Windows/WorkspaceWindow.h"

#include <QPointer>
#include <QTimer>

namespace quorrin {

namespace {

void focusNoteIn(NoteRegistry& registry, const QUuid& noteID)
{
    if (RegisteredNoteWindow* window = registry.controller(noteID)) {
        window->layout().orderFrontRegardless();
        window->layout().makeKeyAndFocusText();
    }
}

} // namespace

MenuFocus::MenuFocus(NoteRegistry& registry)
    : m_registry(registry)
{
}

void MenuFocus::later(std::function<void()> work) const
{
    if (defer)
        defer(std::move(work));
    else
        QTimer::singleShot(0, &m_registry, std::move(work));
}

std::optional<QUuid> MenuFocus::focusCandidate() const
{
    if (const RegisteredNoteWindow* current = m_registry.current())
        return current->noteID();
    if (const NoteStore* store = m_registry.noteStore()) {
        for (const Note& note : store->active()) {
            if (!note.isHidden)
                return note.id;
        }
    }
    return std::nullopt;
}

void MenuFocus::menuNeedsUpdate()
{
    m_registry.workspace().presentAll(focusCandidate(), false, false);
}

void MenuFocus::menuWillOpen()
{
    m_registry.trackingOwnMenu = true;
    m_registry.pendingMenuFocusID.reset();
    m_registry.pendingMenuActivation = false;
    m_registry.workspace().presentAll(focusCandidate(), false, false);
}

void MenuFocus::menuDidClose()
{
    m_registry.trackingOwnMenu = false;
    applyPendingMenuFocus();
}

void MenuFocus::applyPendingMenuFocus()
{
    const std::optional<QUuid> note = std::exchange(m_registry.pendingMenuFocusID, std::nullopt);
    const bool activation = std::exchange(m_registry.pendingMenuActivation, false);
    if (note) {
        if (m_registry.activateApplication)
            m_registry.activateApplication(m_registry.controller(*note));
        focusNote(*note);
        // The window manager may still be busy with the closing menu: try
        // once more when it is done.
        const QPointer<NoteRegistry> registry(&m_registry);
        const QUuid id = *note;
        later([registry, id] {
            if (!registry || !registry->controller(id))
                return;
            if (registry->activateApplication)
                registry->activateApplication(registry->controller(id));
            focusNoteIn(*registry, id);
        });
    } else if (activation && m_registry.activateApplication) {
        m_registry.activateApplication(nullptr);
    }
}

void MenuFocus::focusNote(const QUuid& noteID)
{
    focusNoteIn(m_registry, noteID);
}

} // namespace quorrin
