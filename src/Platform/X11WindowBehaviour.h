#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>

class QWidget;
class QWindow;

namespace quorrin {

// How a window behaves towards the desktop beyond its stacking level.
struct WindowBehaviour {
    bool joinsAllDesktops = false; // shown on every virtual desktop, stays put when they switch
    bool skipsTaskbar = false;     // no task bar entry
    bool skipsPager = false;       // left out of pagers and window cycling

    friend bool operator==(const WindowBehaviour&, const WindowBehaviour&) = default;
};

// Asks an X11 window manager for window behaviours through the EWMH window
// state (on Qt's own X connection). Off X11 (offscreen, Wayland) it does
// nothing: the behaviours are requests to a window manager, not something
// the application can enforce itself.
namespace X11WindowBehaviour {

// What every note window asks for.
inline constexpr WindowBehaviour note{true, true, true};

// The _NET_WM_STATE atom names that request the behaviour, in a fixed order.
QList<QByteArray> stateAtomNames(const WindowBehaviour& behaviour);

// The desktop a window joining all desktops names (_NET_WM_DESKTOP).
inline constexpr std::uint32_t allDesktops = 0xFFFFFFFF;

// `existing` window states with each of `requested` added once, keeping the
// states the toolkit or the user put there.
QList<std::uint32_t> mergedStates(const QList<std::uint32_t>& existing,
                                  const QList<std::uint32_t>& requested);

// Whether the application runs on an X11 connection it can reach.
bool isAvailable();

// Names the window's role (WM_WINDOW_ROLE) on every X window the toolkit
// makes for it. A widget writes its role only when it makes its native
// window; the toolkit makes the X window anew by itself when it shows a
// window whose stacking hints changed since, and only a role given here goes
// with that one too.
void keepRole(QWindow& window, const QString& role);

// Requests the behaviour for a top-level window: written into the window's
// properties before it is mapped (the toolkit merges its own states into
// them), sent to the window manager as client messages once it is mapped.
// Returns false, having done nothing, off X11 or without a native window.
bool apply(QWindow& window, const WindowBehaviour& behaviour);

// Who holds the X keyboard focus: one of this application's windows, nobody
// (no window, the root, or a window of the window manager's own: the check
// window where openbox parks the focus when it picks no window, a frame),
// or another application (one of the windows the window manager manages, or
// a window inside one). Unknown off X11.
enum class KeyboardFocus { Unknown, Ours, Nobody, Foreign };
KeyboardFocus keyboardFocus();

// Asks the window manager to activate the window as a pager or task bar
// would, on the user's behalf: window managers that hold back an
// application's own requests (focus-stealing prevention) let it through. For
// giving the keyboard back after the user closed a window of ours. Returns
// false, having done nothing, off X11 or without a native window.
bool activateAsTheUsersChoice(QWindow& window);

// Gives the window the X keyboard focus at once, as a window of ours, for a
// window manager that takes the window for active already while the focus
// went elsewhere (xfwm4, once a window opened from it closed, parks the focus
// in a window of its own and ignores a request for the window it thinks
// focused). Returns false, having done nothing, off X11 or without a shown
// native window.
bool takeKeyboardFocus(QWindow& window);

// Whether a compositing manager runs (the _NET_WM_CM_S<screen> selection has
// an owner): only a compositor draws the shadows that keep overlapping
// windows apart. False off X11.
bool compositingManagerRunning();

// Puts a shown window on top of the others of its stacking band without
// asking for it to be activated: a window manager's window is restacked above
// the topmost window (a plain raise from an application is an activation
// request to some window managers: xfwm4 gives such a window the keyboard).
// Returns false, having done nothing, off X11 or for a window the window
// manager does not manage yet (a plain raise does for those).
bool orderFront(QWindow& window);

// Raises a shown window to the top of its band without it being taken for
// a request to activate it: the restack of orderFront, never a plain raise,
// which xfwm4 takes for an activation of any window but the one it raised
// last (the toolkit and the window manager may each not have heard yet what
// the other did, so "already active" is no safe exception). A plain raise
// off X11 and for a window the window manager does not manage yet.
void raiseWithoutActivating(QWidget& window);

// Restacks a shown window right below the active window when that is
// another application's: a window leaving the top band lands on top of the
// normal one (xfwm4, mutter), over the application the user just turned to.
// Returns false, having done nothing, off X11, while no other application's
// window is active, or without a shown native window.
bool orderBelowActiveWindow(QWindow& window);

// Whether the primary mouse button is down, as the X server says: true also
// while the window manager holds the pointer (an Alt drag it runs), which
// the application never hears of. Off X11, what the toolkit last saw.
bool primaryButtonDown();

} // namespace X11WindowBehaviour

} // namespace quorrin
