#pragma once

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QObject>

#include <chrono>
#include <cstdint>
#include <optional>

class QWindow;

namespace quorrin {

namespace windowManagerGrabs {

// What the X server said last about a window manager's pointer grab over
// one of our windows.
struct GrabState {
    bool grabbed = false;                            // a crossing with mode Grab, no Ungrab yet
    std::optional<std::chrono::milliseconds> endedAt; // when its Ungrab arrived
};

// How long after the grab ended a move the window reports still belongs to
// it: the window manager's last configure notice and its ungrab arrive
// together, and the toolkit hands the move on a little later.
inline constexpr std::chrono::milliseconds settleTime{500};

// Whether a move reported `now` is one the window manager ran for the user
// (an Alt drag, its move command): during the grab or just after it.
bool isUserMove(const GrabState& state, std::chrono::milliseconds now);

} // namespace windowManagerGrabs

// Watches the crossings the X server reports when the window manager grabs
// the pointer over one of our windows (it does so for the moves and resizes
// it runs itself, which the application never sees as presses) and answers
// whether a window's reported move came from such a session. Off X11 it
// knows nothing and answers false.
class WindowManagerGrabs final : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // The one watcher of the application, made on first use.
    static WindowManagerGrabs& instance();

    bool isUserMove(const QWindow& window) const;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    explicit WindowManagerGrabs(QObject* parent);
    QHash<std::uint32_t, windowManagerGrabs::GrabState> m_windows;
};

} // namespace quorrin
