#include "Platform/MouseMonitors.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#ifdef QUORRIN_HAVE_XINPUT
#include <QGuiApplication>
#include <xcb/xcb.h>
#include <xcb/xinput.h>
#endif

namespace quorrin {

namespace {

QWidget* topLevelOf(const QWindow* window)
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->windowHandle() == window)
            return widget;
    }
    return nullptr;
}

bool isMonitoredButton(Qt::MouseButton button)
{
    return button == Qt::LeftButton || button == Qt::RightButton;
}

} // namespace

LocalMouseMonitor::LocalMouseMonitor(std::function<void(QWidget*, const QMouseEvent&)> handler, QObject* parent)
    : QObject(parent)
    , m_handler(std::move(handler))
{
    qApp->installEventFilter(this);
}

LocalMouseMonitor::~LocalMouseMonitor()
{
    qApp->removeEventFilter(this);
}

bool LocalMouseMonitor::eventFilter(QObject* watched, QEvent* event)
{
    // A press reaches the window first and then the widgets inside it: the
    // window's delivery is seen once per press.
    if (event->type() == QEvent::MouseButtonPress && watched->isWindowType()) {
        auto* press = static_cast<QMouseEvent*>(event);
        if (isMonitoredButton(press->button()) && m_handler)
            m_handler(topLevelOf(static_cast<QWindow*>(watched)), *press);
    }
    return false;
}

GlobalMouseMonitor::GlobalMouseMonitor(std::function<void(const QPoint&)> handler, QObject* parent)
    : QObject(parent)
    , m_handler(std::move(handler))
{
    if (selectRawPresses()) {
        qApp->installNativeEventFilter(this);
        return;
    }
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationInactive)
            pressedElsewhere();
    });
}

GlobalMouseMonitor::~GlobalMouseMonitor()
{
    if (m_opcode >= 0)
        qApp->removeNativeEventFilter(this);
}

void GlobalMouseMonitor::pressedElsewhere()
{
    // Decided when the press happens: once Qt has handled it, an open menu
    // may have closed and no longer be under the pointer.
    const QPoint point = QCursor::pos();
    if (QApplication::activePopupWidget())
        return; // the press closes or chooses from our menu
    // Presses in our own windows are the local monitor's.
    if (QWidget* widget = QApplication::widgetAt(point); widget && widget->isVisible())
        return;
    // Reported on the next turn, after Qt has handled what it received with it.
    QTimer::singleShot(0, this, [this, point] {
        if (m_handler)
            m_handler(point);
    });
}

bool GlobalMouseMonitor::selectRawPresses()
{
#ifdef QUORRIN_HAVE_XINPUT
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_input_id);
    if (!extension || !extension->present)
        return false;
    // Raw events need XInput 2.1 or later; Qt asks for 2.2 on this connection.
    auto cookie = xcb_input_xi_query_version(connection, 2, 2);
    xcb_input_xi_query_version_reply_t* version = xcb_input_xi_query_version_reply(connection, cookie, nullptr);
    const bool recent = version && (version->major_version > 2 || version->minor_version >= 1);
    free(version);
    if (!recent)
        return false;

    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return false;
    struct {
        xcb_input_event_mask_t head;
        uint32_t mask;
    } selection{};
    selection.head.deviceid = XCB_INPUT_DEVICE_ALL_MASTER;
    selection.head.mask_len = 1;
    selection.mask = XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS;
    xcb_void_cookie_t selected = xcb_input_xi_select_events_checked(connection, screen->root, 1, &selection.head);
    if (xcb_generic_error_t* error = xcb_request_check(connection, selected)) {
        free(error);
        return false;
    }
    m_opcode = extension->major_opcode;
    return true;
#else
    return false;
#endif
}

bool GlobalMouseMonitor::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
#ifdef QUORRIN_HAVE_XINPUT
    if (m_opcode < 0 || eventType != "xcb_generic_event_t")
        return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_GE_GENERIC)
        return false;
    auto* generic = reinterpret_cast<xcb_ge_generic_event_t*>(event);
    if (generic->extension != m_opcode || generic->event_type != XCB_INPUT_RAW_BUTTON_PRESS)
        return false;
    const auto* raw = reinterpret_cast<xcb_input_raw_button_press_event_t*>(event);
    // Buttons 1 and 3: left and right.
    if (raw->detail == 1 || raw->detail == 3)
        pressedElsewhere();
#else
    Q_UNUSED(eventType);
    Q_UNUSED(message);
#endif
    return false;
}

} // namespace quorrin
