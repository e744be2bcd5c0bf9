#include "Platform/WindowManagerGrabs.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWindow>

#ifdef QUORRIN_HAVE_XCB
#include "Platform/X11Connection.h"
#endif

namespace quorrin {

namespace windowManagerGrabs {

bool isUserMove(const GrabState& state, std::chrono::milliseconds now)
{
    if (state.grabbed)
        return true;
    return state.endedAt && now >= *state.endedAt && now - *state.endedAt <= settleTime;
}

bool isUserMove(const WindowGrabs& grabs, std::chrono::milliseconds now)
{
    return isUserMove(grabs.pointer, now) || isUserMove(grabs.keyboard, now);
}

WindowGrabs next(WindowGrabs grabs, Device device, Mode mode, std::chrono::milliseconds now)
{
    GrabState& state = device == Device::Pointer ? grabs.pointer : grabs.keyboard;
    switch (mode) {
    case Mode::Grab:
        state = {true, std::nullopt};
        break;
    case Mode::Ungrab:
        if (state.grabbed)
            state = {false, now};
        break;
    case Mode::Normal:
        // The device moved on its own: whatever grab there was is over.
        state = {};
        break;
    }
    return grabs;
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

void WindowManagerGrabs::notice(std::uint32_t window, windowManagerGrabs::Device device, windowManagerGrabs::Mode mode)
{
    using windowManagerGrabs::WindowGrabs;
    const WindowGrabs before = m_windows.value(window);
    const WindowGrabs after = windowManagerGrabs::next(before, device, mode, steadyNow());
    if (after == WindowGrabs{})
        m_windows.remove(window);
    else
        m_windows.insert(window, after);
    if (!before.pointer.grabbed && !before.keyboard.grabbed && (after.pointer.grabbed || after.keyboard.grabbed))
        Q_EMIT grabStarted(window);
}

#ifdef QUORRIN_HAVE_XCB

std::optional<QPoint> WindowManagerGrabs::serverPosition(const QWindow& window)
{
    xcb_connection_t* c = x11::connection();
    if (!c || !window.handle())
        return std::nullopt;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int skip = x11::defaultScreen(); skip > 0 && screens.rem > 1; --skip)
        xcb_screen_next(&screens);
    const x11::Reply<xcb_translate_coordinates_reply_t> reply(xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, xcb_window_t(window.winId()), screens.data->root, 0, 0), nullptr));
    if (!reply)
        return std::nullopt;
    const double ratio = window.devicePixelRatio();
    return QPoint(qRound(reply->dst_x / ratio), qRound(reply->dst_y / ratio));
}

bool WindowManagerGrabs::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    using windowManagerGrabs::Device;
    using windowManagerGrabs::Mode;
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7f;
    const auto modeOf = [](std::uint8_t mode) -> std::optional<Mode> {
        switch (mode) {
        case XCB_NOTIFY_MODE_NORMAL: return Mode::Normal;
        case XCB_NOTIFY_MODE_GRAB: return Mode::Grab;
        case XCB_NOTIFY_MODE_UNGRAB: return Mode::Ungrab;
        default: return std::nullopt; // while grabbed: nothing new
        }
    };
    if (type == XCB_ENTER_NOTIFY || type == XCB_LEAVE_NOTIFY) {
        // Enter and leave share one layout. The pointer is taken from a
        // window it leaves and given back to one it enters.
        const auto* crossing = reinterpret_cast<const xcb_enter_notify_event_t*>(event);
        std::optional<Mode> mode = modeOf(crossing->mode);
        if (mode == Mode::Grab && type == XCB_ENTER_NOTIFY)
            mode.reset();
        if (mode)
            notice(crossing->event, Device::Pointer, *mode);
    } else if (type == XCB_FOCUS_IN || type == XCB_FOCUS_OUT) {
        const auto* focus = reinterpret_cast<const xcb_focus_in_event_t*>(event);
        // Notices about where the pointer is, sent along with the focus
        // changes of the root, say nothing about this window's keyboard.
        if (focus->detail == XCB_NOTIFY_DETAIL_POINTER || focus->detail == XCB_NOTIFY_DETAIL_POINTER_ROOT
            || focus->detail == XCB_NOTIFY_DETAIL_NONE)
            return false;
        std::optional<Mode> mode = modeOf(focus->mode);
        if (mode == Mode::Grab && type == XCB_FOCUS_IN)
            mode.reset();
        if (mode)
            notice(focus->event, Device::Keyboard, *mode);
    }
    return false;
}

#else

std::optional<QPoint> WindowManagerGrabs::serverPosition(const QWindow&)
{
    return std::nullopt;
}

bool WindowManagerGrabs::nativeEventFilter(const QByteArray&, void*, qintptr*)
{
    return false;
}

#endif

} // namespace quorrin
