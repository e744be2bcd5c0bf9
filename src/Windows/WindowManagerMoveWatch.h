#pragma once

#include <QObject>
#include <QPoint>
#include <QTimer>

#include <functional>
#include <optional>

namespace quorrin {

class StickyPanel;

// Follows a note window while the window manager moves it for the user (an
// Alt drag, the move of its window menu, one of its shortcuts). Some window
// managers report such a move only once it is over; while one holds the
// pointer or the keyboard over the window, the X server is asked where the
// window stands, and a place the window manager moved it to since the last
// look (not one the application asked for) becomes the window's frame and
// is reported as a move.
class WindowManagerMoveWatch final : public QObject {
public:
    // `moved` runs after each such place was taken; the panel outlives the watch.
    WindowManagerMoveWatch(StickyPanel& panel, std::function<void()> moved);

    // The window manager holds the window for the user now, or just let go.
    bool holdsWindow() const;
    bool isWatching() const { return m_poll.isActive(); }

    // Looks once: what each tick of the watch does.
    void look();

private:
    void start(quint32 window);

    StickyPanel& m_panel;
    std::function<void()> m_moved;
    QTimer m_poll;
    std::optional<QPoint> m_lastSeen;
};

} // namespace quorrin
