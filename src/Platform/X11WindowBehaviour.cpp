#include "Platform/X11WindowBehaviour.h"

#include <QGuiApplication>
#include <QWindow>

#ifdef QUORRIN_HAVE_XCB
#include "Platform/X11Connection.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#endif

namespace quorrin::X11WindowBehaviour {

QList<QByteArray> stateAtomNames(const WindowBehaviour& behaviour)
{
    QList<QByteArray> names;
    if (behaviour.joinsAllDesktops)
        names.append(QByteArrayLiteral("_NET_WM_STATE_STICKY"));
    if (behaviour.skipsTaskbar)
        names.append(QByteArrayLiteral("_NET_WM_STATE_SKIP_TASKBAR"));
    if (behaviour.skipsPager)
        names.append(QByteArrayLiteral("_NET_WM_STATE_SKIP_PAGER"));
    return names;
}

QList<std::uint32_t> mergedStates(const QList<std::uint32_t>& existing,
                                  const QList<std::uint32_t>& requested)
{
    QList<std::uint32_t> merged = existing;
    for (std::uint32_t state : requested) {
        if (!merged.contains(state))
            merged.append(state);
    }
    return merged;
}

#ifdef QUORRIN_HAVE_XCB

namespace {

using x11::atoms;
using x11::connection;
using x11::Reply;

QList<std::uint32_t> currentStates(xcb_connection_t* c, xcb_window_t window, xcb_atom_t stateAtom)
{
    QList<std::uint32_t> states;
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, stateAtom, XCB_ATOM_ATOM, 0, 1024), nullptr));
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
        const int count = xcb_get_property_value_length(reply.get()) / int(sizeof(std::uint32_t));
        for (int i = 0; i < count; ++i)
            states.append(data[i]);
    }
    return states;
}

// The native window whose states were last written, on the window object:
// the same object gets a new native window when it is made again.
constexpr char appliedWindowProperty[] = "_quorrin_behaviourWindow";

xcb_window_t rootOf(xcb_connection_t* c)
{
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

void sendToWindowManager(xcb_connection_t* c, xcb_window_t window, xcb_atom_t type,
                         const std::uint32_t (&data)[5])
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    for (int i = 0; i < 5; ++i)
        message.data.data32[i] = data[i];
    xcb_send_event(c, 0, rootOf(c),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
}

} // namespace

bool isAvailable()
{
    return connection() != nullptr;
}

bool apply(QWindow& window, const WindowBehaviour& behaviour)
{
    xcb_connection_t* c = connection();
    if (!c || !window.handle())
        return false;
    const auto id = xcb_window_t(window.winId());
    const QList<xcb_atom_t> interned =
        atoms(c, QList<QByteArray>{QByteArrayLiteral("_NET_WM_STATE"), QByteArrayLiteral("_NET_WM_DESKTOP")}
                     + stateAtomNames(behaviour));
    const xcb_atom_t stateAtom = interned[0];
    const xcb_atom_t desktopAtom = interned[1];
    const QList<std::uint32_t> requested(interned.begin() + 2, interned.end());

    if (!window.isVisible()) {
        // Not mapped yet: the window manager reads the properties when it
        // manages the window. A native window never shown before has no
        // states yet (the toolkit writes its own when it maps the window):
        // only one shown before is asked for them, a round trip.
        const bool shownBefore = window.property(appliedWindowProperty).value<quint64>() == id;
        window.setProperty(appliedWindowProperty, QVariant::fromValue<quint64>(id));
        const QList<std::uint32_t> states =
            mergedStates(shownBefore ? currentStates(c, id, stateAtom) : QList<std::uint32_t>(), requested);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, stateAtom, XCB_ATOM_ATOM, 32,
                            std::uint32_t(states.size()), states.constData());
        if (behaviour.joinsAllDesktops)
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, desktopAtom, XCB_ATOM_CARDINAL, 32, 1,
                                &allDesktops);
    } else {
        // Mapped: the window manager owns the properties; ask it. One message
        // carries two states; the source is a normal application (1).
        constexpr std::uint32_t add = 1;
        for (qsizetype i = 0; i < requested.size(); i += 2) {
            const std::uint32_t second = i + 1 < requested.size() ? requested[i + 1] : 0;
            sendToWindowManager(c, id, stateAtom, {add, requested[i], second, 1, 0});
        }
        if (behaviour.joinsAllDesktops)
            sendToWindowManager(c, id, desktopAtom, {allDesktops, 1, 0, 0, 0});
    }
    xcb_flush(c);
    return true;
}

bool activateAsTheUsersChoice(QWindow& window)
{
    xcb_connection_t* c = connection();
    if (!c || !window.handle())
        return false;
    const xcb_atom_t active = atoms(c, {QByteArrayLiteral("_NET_ACTIVE_WINDOW")}).value(0);
    if (active == XCB_ATOM_NONE)
        return false;
    // Source 2: a pager or task bar asks, on behalf of the user.
    constexpr std::uint32_t fromPager = 2;
    sendToWindowManager(c, xcb_window_t(window.winId()), active, {fromPager, XCB_CURRENT_TIME, XCB_NONE, 0, 0});
    xcb_flush(c);
    return true;
}

KeyboardFocus keyboardFocus()
{
    xcb_connection_t* c = connection();
    if (!c)
        return KeyboardFocus::Unknown;
    Reply<xcb_get_input_focus_reply_t> focus(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    if (!focus)
        return KeyboardFocus::Unknown;
    const xcb_window_t holder = focus->focus;
    const xcb_window_t root = rootOf(c);
    if (holder == XCB_NONE || holder == XCB_INPUT_FOCUS_POINTER_ROOT || holder == root)
        return KeyboardFocus::Nobody;
    for (const QWindow* window : QGuiApplication::allWindows()) {
        if (window->handle() && xcb_window_t(window->winId()) == holder)
            return KeyboardFocus::Ours;
    }
    // Another application holds it when the holder is one of the windows the
    // window manager manages, or inside one. The window manager's own windows
    // (its check window, where openbox parks the focus, or the frame a closed
    // window's focus reverted to) hold it for nobody.
    const xcb_atom_t clientList = atoms(c, {QByteArrayLiteral("_NET_CLIENT_LIST")}).value(0);
    Reply<xcb_get_property_reply_t> list(
        xcb_get_property_reply(c, xcb_get_property(c, 0, root, clientList, XCB_ATOM_WINDOW, 0, 4096), nullptr));
    if (!list || list->type != XCB_ATOM_WINDOW)
        return KeyboardFocus::Foreign;
    const auto* clients = static_cast<const xcb_window_t*>(xcb_get_property_value(list.get()));
    const int count = xcb_get_property_value_length(list.get()) / int(sizeof(xcb_window_t));
    for (xcb_window_t window = holder; window != XCB_NONE && window != root;) {
        if (std::find(clients, clients + count, window) != clients + count)
            return KeyboardFocus::Foreign;
        Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
        window = tree ? tree->parent : XCB_NONE;
    }
    return KeyboardFocus::Nobody;
}

bool compositingManagerRunning()
{
    xcb_connection_t* c = connection();
    if (!c)
        return false;
    // The selection of the screen the application's windows are on.
    const xcb_atom_t selection = atoms(c, {"_NET_WM_CM_S" + QByteArray::number(x11::defaultScreen())}).value(0);
    if (selection == XCB_ATOM_NONE)
        return false;
    Reply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr));
    return owner && owner->owner != XCB_NONE;
}

bool primaryButtonDown()
{
    xcb_connection_t* c = connection();
    if (!c)
        return QGuiApplication::mouseButtons().testFlag(Qt::LeftButton);
    Reply<xcb_query_pointer_reply_t> pointer(xcb_query_pointer_reply(c, xcb_query_pointer(c, rootOf(c)), nullptr));
    if (!pointer)
        return QGuiApplication::mouseButtons().testFlag(Qt::LeftButton);
    return (pointer->mask & XCB_BUTTON_MASK_1) != 0;
}

#else

bool isAvailable()
{
    return false;
}

bool compositingManagerRunning()
{
    return false;
}

bool primaryButtonDown()
{
    return QGuiApplication::mouseButtons().testFlag(Qt::LeftButton);
}

KeyboardFocus keyboardFocus()
{
    return KeyboardFocus::Unknown;
}

bool activateAsTheUsersChoice(QWindow&)
{
    return false;
}

bool apply(QWindow&, const WindowBehaviour&)
{
    return false;
}

#endif

} // namespace quorrin::X11WindowBehaviour
