#pragma once

#include <QByteArray>
#include <QList>

#include <cstdint>

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

// Whether a compositing manager runs (the _NET_WM_CM_S<screen> selection has
// an owner): only a compositor draws the shadows that keep overlapping
// windows apart. False off X11.
bool compositingManagerRunning();

// Whether the primary mouse button is down, as the X server says: true also
// while the window manager holds the pointer (an Alt drag it runs), which
// the application never hears of. Off X11, what the toolkit last saw.
bool primaryButtonDown();

} // namespace X11WindowBehaviour

} // namespace quorrin
