#include "Platform/WindowManagerGrabs.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWindow>

#ifdef QUORRIN_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace quorrin {

namespace windowManagerGrabs {

bool isUserMove(const GrabState& state, std::chrono::milliseconds now)
{
    if (state.grabbed)
        return true;
    return state.endedAt && now >= *state.endedAt && now - *state.endedAt <= settleTime;
}

} // namespace windowManagerGrabs

namespace {

std::chrono::milliseconds steadyNow()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
}

} // namespace

WindowManagerGrabs::WindowManagerGrabs(QObject* parent)
    : QObject(parent)
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

WindowManagerGrabs& WindowManagerGrabs::instance()
{
    // Owned by the application object, like the native event filters it runs.
    auto* existing = qApp->findChild<WindowManagerGrabs*>(QString(), Qt::FindDirectChildrenOnly);
    return existing ? *existing : *new WindowManagerGrabs(qApp);
}

bool WindowManagerGrabs::isUserMove(const QWindow& window) const
{
    if (!window.handle())
        return false;
    const auto found = m_windows.constFind(std::uint32_t(window.winId()));
    return found != m_windows.cend() && windowManagerGrabs::isUserMove(*found, steadyNow());
}

bool WindowManagerGrabs::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
#ifdef QUORRIN_HAVE_XCB
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7f;
    if (type != XCB_ENTER_NOTIFY && type != XCB_LEAVE_NOTIFY)
        return false;
    // Enter and leave share one layout.
    const auto* crossing = reinterpret_cast<const xcb_enter_notify_event_t*>(event);
    if (type == XCB_LEAVE_NOTIFY && crossing->mode == XCB_NOTIFY_MODE_GRAB) {
        m_windows[crossing->event] = {true, std::nullopt};
    } else if (crossing->mode == XCB_NOTIFY_MODE_UNGRAB) {
        const auto found = m_windows.find(crossing->event);
        if (found != m_windows.end())
            *found = {false, steadyNow()};
    } else if (crossing->mode == XCB_NOTIFY_MODE_NORMAL) {
        // The pointer crossed on its own: whatever grab there was is over.
        m_windows.remove(crossing->event);
    }
#else
    Q_UNUSED(eventType);
    Q_UNUSED(message);
#endif
    return false;
}

} // namespace quorrin
