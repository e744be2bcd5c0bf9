#include "Windows/WindowManagerMoveWatch.h"

#include "Platform/WindowManagerGrabs.h"
#include "Windows/StickyPanel.h"

#include <QWindow>

namespace quorrin {

namespace {
constexpr int lookIntervalMs = 16;
}

WindowManagerMoveWatch::WindowManagerMoveWatch(StickyPanel& panel, std::function<void()> moved)
    : QObject(&panel)
    , m_panel(panel)
    , m_moved(std::move(moved))
{
    m_poll.setInterval(lookIntervalMs);
    connect(&m_poll, &QTimer::timeout, this, &WindowManagerMoveWatch::look);
    connect(&WindowManagerGrabs::instance(), &WindowManagerGrabs::grabStarted, this, &WindowManagerMoveWatch::start);
}

bool WindowManagerMoveWatch::holdsWindow() const
{
    const QWindow* handle = m_panel.windowHandle();
    return handle && WindowManagerGrabs::instance().isUserMove(*handle);
}

void WindowManagerMoveWatch::start(quint32 window)
{
    const QWindow* handle = m_panel.windowHandle();
    if (!handle || !handle->handle() || quint32(handle->winId()) != window || m_poll.isActive())
        return;
    m_lastSeen = WindowManagerGrabs::serverPosition(*handle);
    m_poll.start();
}

void WindowManagerMoveWatch::look()
{
    const QWindow* handle = m_panel.windowHandle();
    if (!handle || !holdsWindow()) {
        m_poll.stop();
        m_lastSeen.reset();
        return;
    }
    const std::optional<QPoint> seen = WindowManagerGrabs::serverPosition(*handle);
    if (!seen || seen == m_lastSeen)
        return;
    m_lastSeen = seen;
    m_panel.setServerPosition(*seen);
    // A place the application asked for reaches the server later than the
    // toolkit, which has the window there already: only a place the toolkit
    // does not know of is the window manager's.
    if (*seen != m_panel.geometry().topLeft() && m_moved)
        m_moved();
}

} // namespace quorrin
