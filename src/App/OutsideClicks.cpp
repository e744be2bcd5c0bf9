#include "App/OutsideClicks.h"

#include "App/NoteRegistry.h"
#include "Platform/FocusReturn.h"

#include <QCursor>
#include <QMouseEvent>
#include <QWidget>

namespace quorrin {

namespace {

// Menus and other pop-ups stack above every ordinary window.
bool isPopup(const QWidget* window)
{
    return window && (window->windowType() == Qt::Popup || window->windowType() == Qt::ToolTip);
}

} // namespace

OutsideClicks::OutsideClicks(NoteRegistry& registry)
    : m_registry(registry)
{
}

void OutsideClicks::handleLocalMouseEvent(QWidget* window, const QMouseEvent& event)
{
    if (window && event.button() == Qt::LeftButton) {
        for (RegisteredNoteWindow* note : m_registry.controllers())
            note->prepareWindowDrag(*window, event);
    }
    const QPoint point = window ? event.globalPosition().toPoint() : QCursor::pos();
    handleOutsideClick(window, false, point);
}

void OutsideClicks::handleOutsideClick(const QWidget* window, bool fromAnotherApp, const QPoint& screenPoint)
{
    // What this press closes leaves the keyboard where the user went.
    if (fromAnotherApp)
        FocusReturn::pressedElsewhere();
    const std::vector<RegisteredNoteWindow*> notes = m_registry.controllers();
    for (const RegisteredNoteWindow* note : notes) {
        if (note->panelContains(screenPoint))
            return;
    }
    if (m_registry.trackingOwnMenu && !fromAnotherApp && (!window || isPopup(window)))
        return;
    // Answering one of our own alerts leaves the notes and their reminder
    // editors as they are: the alert usually explains what an editor shows.
    if (window && !fromAnotherApp && window->isModal())
        return;
    for (const RegisteredNoteWindow* note : notes) {
        if (window && note->containsRelatedWindow(window)) {
            m_registry.workspace().presentAll(note->noteID(), false, false);
            return;
        }
    }
    for (RegisteredNoteWindow* note : notes)
        note->dismissReminderPanel();
    m_registry.workspace().settleAll();
}

} // namespace quorrin
