#include "Platform/XEmbedTrayHost.h"

#include <QGuiApplication>

#ifdef QUORRIN_HAVE_XCB
#include "Platform/X11Connection.h"
#endif

namespace quorrin {

#ifdef QUORRIN_HAVE_XCB

using x11::connection;
using x11::Reply;

XEmbedTrayHost::XEmbedTrayHost(QObject* parent)
    : TrayHost(parent)
{
    xcb_connection_t* c = connection();
    if (!c)
        return;
    const QList<xcb_atom_t> names =
        x11::atoms(c, {"_NET_SYSTEM_TRAY_S" + QByteArray::number(x11::defaultScreen()), QByteArrayLiteral("MANAGER")});
    m_selection = names.value(0, XCB_ATOM_NONE);
    m_managerAtom = names.value(1, XCB_ATOM_NONE);
    if (m_selection == XCB_ATOM_NONE || m_managerAtom == XCB_ATOM_NONE)
        return;
    // Qt listens to the root window's structure events, MANAGER messages among them.
    qApp->installNativeEventFilter(this);
    m_watching = true;
    refresh();
}

XEmbedTrayHost::~XEmbedTrayHost()
{
    if (m_watching)
        qApp->removeNativeEventFilter(this);
}

void XEmbedTrayHost::refresh()
{
    xcb_connection_t* c = connection();
    if (!c)
        return;
    Reply<xcb_get_selection_owner_reply_t> reply(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, m_selection), nullptr));
    const xcb_window_t owner = reply ? reply->owner : xcb_window_t(XCB_WINDOW_NONE);
    if (owner == m_owner)
        return;
    const bool wasAvailable = isAvailable();
    m_owner = owner;
    if (owner != XCB_WINDOW_NONE) {
        // The owner's destruction is how a tray that ends is noticed.
        const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(c, owner, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(c);
    }
    if (isAvailable() != wasAvailable)
        Q_EMIT availabilityChanged(isAvailable());
}

bool XEmbedTrayHost::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    switch (event->response_type & ~0x80) {
    case XCB_CLIENT_MESSAGE: {
        const auto* client = static_cast<const xcb_client_message_event_t*>(message);
        if (client->type == m_managerAtom && client->format == 32 && client->data.data32[1] == m_selection)
            refresh();
        break;
    }
    case XCB_DESTROY_NOTIFY: {
        const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
        if (m_owner != 0 && destroyed->window == m_owner)
            refresh();
        break;
    }
    default:
        break;
    }
    // Qt's own tray support sees the same events.
    return false;
}

#else

XEmbedTrayHost::XEmbedTrayHost(QObject* parent)
    : TrayHost(parent)
{
}

XEmbedTrayHost::~XEmbedTrayHost() = default;

bool XEmbedTrayHost::nativeEventFilter(const QByteArray&, void*, qintptr*)
{
    return false;
}

void XEmbedTrayHost::refresh() {}

#endif

} // namespace quorrin
