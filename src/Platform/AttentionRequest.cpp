#include "Platform/AttentionRequest.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstring>

namespace quorrin {
namespace {

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, quint16(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// Asks the window manager to add or remove the window's "demands attention"
// state the way window managers expect the request: as a client
// message to the root window.
bool sendDemandsAttention(xcb_connection_t* connection, xcb_window_t window, bool demands)
{
    const xcb_atom_t state = internAtom(connection, "_NET_WM_STATE");
    const xcb_atom_t attention = internAtom(connection, "_NET_WM_STATE_DEMANDS_ATTENTION");
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (state == XCB_ATOM_NONE || attention == XCB_ATOM_NONE || !screen)
        return false;
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = state;
    message.data.data32[0] = demands ? 1 : 0; // _NET_WM_STATE_ADD / _NET_WM_STATE_REMOVE
    message.data.data32[1] = attention;
    message.data.data32[3] = 1; // sent by an application
    xcb_send_event(connection, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
    return true;
}

} // namespace

void setDemandsAttention(QWidget& window, bool demands)
{
    QWidget* topLevel = window.window();
    if (!topLevel->isVisible())
        return;
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (xcb_connection_t* connection = x11 ? x11->connection() : nullptr) {
        if (sendDemandsAttention(connection, xcb_window_t(topLevel->winId()), demands))
            return;
    }
    // Elsewhere the desktop ends the request itself once the window is used.
    if (demands)
        QApplication::alert(topLevel);
}

} // namespace quorrin
