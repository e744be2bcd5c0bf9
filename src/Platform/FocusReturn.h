#pragma once

#include "Platform/X11WindowBehaviour.h"

#include <QObject>
#include <QPointer>

#include <vector>

class QWidget;

namespace quorrin {

namespace focusreturn {

// Which window the application holds active once a window of it (a panel,
// a dialog, a note) has closed: none, still the closed one, the window the
// focus is meant to go back to, or another one of ours.
enum class ActiveAfter { None, Closed, Owner, Other };
using X11WindowBehaviour::KeyboardFocus;

struct Closing {
    // The window the focus goes back to exists and is shown.
    bool ownerShown = false;
    // The closed window held the focus as it closed: the user acted in it.
    bool closedWasActive = false;
    bool closedWasModal = false;
    ActiveAfter active = ActiveAfter::None;
    KeyboardFocus keyboard = KeyboardFocus::Unknown; // who holds the X focus now
    // The user had just pressed in another application: that press closed
    // the window.
    bool pressedElsewhere = false;
    // Another window of ours that takes the keyboard opened as this one
    // closed (a row chosen in a panel opened it): the keyboard is its.
    bool openedAnother = false;
};

// Whether the window the closed one was opened for takes the focus back.
// Window managers hand the focus of a closed window to nobody, to another
// application or to whichever window of ours they like: the owner is
// re-activated then. A window the user activated on the way out (a click
// into another note or another application closed a panel) keeps it; so
// does whatever a window the user never acted in leaves behind, and a
// window opened as the closed one went.
bool shouldReturn(const Closing& closing);

} // namespace focusreturn

// Gives the focus back when a window of the application hides (not when the
// window manager hides it for a while, minimised or set aside): on the next
// turn of the event loop (after the window manager has handled the unmap),
// the window it was opened for is activated and the widget that had the
// focus in it when it opened gets it again. When that window is gone or
// hidden, or there is none, the most recently active of the windows the
// focus falls back to (the notes) takes it.
class FocusReturn final : public QObject {
    Q_OBJECT
public:
    // Watches `opened` on behalf of `owner` (a top-level window). Watching
    // again replaces the owner; the watch lives as long as `opened`.
    static FocusReturn& watch(QWidget& opened, QWidget& owner);
    // Watches `opened`, opened for no window in particular (a note itself,
    // a panel opened from the tray).
    static FocusReturn& watch(QWidget& opened);
    // Stops giving the focus back for `opened` (e.g. it is detached).
    static void release(QWidget& opened);
    // Makes a top-level window one the focus falls back to.
    static void fallBackTo(QWidget& window);
    // The windows the focus falls back to, the most recently active first
    // (those never active yet last, in the order they were made so).
    static std::vector<QWidget*> recentFallBacks();
    // The user pressed in another application: a window of ours that closes
    // at once leaves the focus there.
    static void pressedElsewhere();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit FocusReturn(QWidget& opened);
    static FocusReturn& watching(QWidget& opened);
    void closed();

    QWidget* m_opened;
    bool m_enabled = true;
    bool m_activeAsItHid = false;
    QPointer<QWidget> m_owner;
    QPointer<QWidget> m_ownerFocus;
};

} // namespace quorrin
