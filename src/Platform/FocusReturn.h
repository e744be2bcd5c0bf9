#pragma once

#include "Platform/X11WindowBehaviour.h"

#include <QObject>
#include <QPointer>

class QWidget;

namespace quorrin {

namespace focusreturn {

// Which window the application holds active once a window it opened for a
// note (a panel, a dialog) has closed.
enum class ActiveAfter { None, Closed, Owner, Other };
using X11WindowBehaviour::KeyboardFocus;

struct Closing {
    bool ownerShown = false;
    // The closed window held the focus as it closed: the user acted in it.
    bool closedWasActive = false;
    bool closedWasModal = false;
    ActiveAfter active = ActiveAfter::None;
    KeyboardFocus keyboard = KeyboardFocus::Unknown; // who holds the X focus
};

// Whether the note the closed window was opened for takes the focus back.
// Window managers hand the focus of a closed utility window to nobody, and
// that of a dialog to whichever window they like: the note is re-activated
// then. A window the user activated on the way out (a click into another
// note or another application closed a panel) keeps it.
bool shouldReturn(const Closing& closing);

} // namespace focusreturn

// Gives the focus back to the window a panel or dialog was opened for when
// that panel or dialog hides: on the next turn of the event loop (after the
// window manager has handled the unmap), the owner is activated and the
// widget that had the focus in it when the panel opened gets it again.
class FocusReturn final : public QObject {
    Q_OBJECT
public:
    // Watches `opened` on behalf of `owner` (a top-level window). Watching
    // again replaces the owner; the watch lives as long as `opened`.
    static FocusReturn& watch(QWidget& opened, QWidget& owner);
    // Stops giving the focus back for `opened` (e.g. it is detached).
    static void release(QWidget& opened);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit FocusReturn(QWidget& opened);
    void closed();

    QWidget* m_opened;
    QPointer<QWidget> m_owner;
    QPointer<QWidget> m_ownerFocus;
};

} // namespace quorrin
