#pragma once

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QObject>
#include <QPoint>

#include <chrono>
#include <cstdint>
#include <optional>

class QWindow;

namespace quorrin {

namespace windowManagerGrabs {

// What the X server said last about a window manager's grab of one device
// over one of our windows.
struct GrabState {
    bool grabbed = false;                            // a notice with mode Grab, no Ungrab yet
    std::optional<std::chrono::milliseconds> endedAt; // when its Ungrab arrived

    friend bool operator==(const GrabState&, const GrabState&) = default;
};

// The pointer and the keyboard grab of one window. A window manager grabs the
// pointer for the moves it runs with the mouse (an Alt drag) and the keyboard
// for those it runs from the keyboard (its window menu's move, arrows,
// Return) or starts with one of its shortcuts, also while the pointer is
// elsewhere.
struct WindowGrabs {
    GrabState pointer;
    GrabState keyboard;

    friend bool operator==(const WindowGrabs&, const WindowGrabs&) = default;
};

// How long after the grab ended a move the window reports still belongs to
// it: the window manager's last configure notice and its ungrab arrive
// together, and the toolkit hands the move on a little later.
inline constexpr std::chrono::milliseconds settleTime{500};

// Whether a move reported `now` is one the window manager ran for the user:
// during the grab of either device or just after it.
bool isUserMove(const GrabState& state, std::chrono::milliseconds now);
bool isUserMove(const WindowGrabs& grabs, std::chrono::milliseconds now);

// A notice of the X server about a device of a window: a pointer crossing or
// a change of the keyboard focus, with its mode.
enum class Device { Pointer, Keyboard };
enum class Mode { Normal, Grab, Ungrab };
// The grabs after the notice. A notice of the device's own (mode Normal)
// means that whatever grab there was is over; one device's notices leave
// the other's grab alone.
WindowGrabs next(WindowGrabs grabs, Device device, Mode mode, std::chrono::milliseconds now);

} // namespace windowManagerGrabs

// Watches the crossings and focus changes the X server reports when the
// window manager grabs the pointer or the keyboard over one of our windows
// (it does so for the moves and resizes it runs itself, which the
// application never sees as presses) and answers whether a window's
// reported move came from such a session. Off X11 it knows nothing and
// answers false.
class WindowManagerGrabs final : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // The one watcher of the application, made on first use.
    static WindowManagerGrabs& instance();

    bool isUserMove(const QWindow& window) const;

    // Where the X server has the window's top-left corner on the screen now,
    // in the toolkit's coordinates. Some window managers report a move they
    // run only once it is over; meanwhile only the server knows. Nothing off
    // X11 or for a window not made yet.
    static std::optional<QPoint> serverPosition(const QWindow& window);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

Q_SIGNALS:
    // The window manager took the pointer or the keyboard over the window
    // (its native id), where neither was taken before.
    void grabStarted(quint32 window);

private:
    explicit WindowManagerGrabs(QObject* parent);
    void notice(std::uint32_t window, windowManagerGrabs::Device device, windowManagerGrabs::Mode mode);

    QHash<std::uint32_t, windowManagerGrabs::WindowGrabs> m_windows;
};

} // namespace quorrin
