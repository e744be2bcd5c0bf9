#include "Platform/X11WindowBehaviour.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#ifdef QUORRIN_HAVE_XCB
#include "Platform/X11Connection.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
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

void keepRole(QWindow& window, const QString& role)
{
    // Read by the X11 platform window each time it makes its X window.
    window.setProperty("_q_xcb_wm_window_role", role.toLatin1());
}

#ifdef QUORRIN_HAVE_XCB

namespace {

using x11::atoms;
using x11::connection;
using x11::Reply;

// The values of a list of atoms or windows a window carries, at most
// `maxValues` of them; none when the window has no such property.
std::optional<QList<std::uint32_t>> listProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property,
                                                 xcb_atom_t type, std::uint32_t maxValues)
{
    Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, maxValues), nullptr));
    if (!reply || reply->format != 32 || reply->type != type)
        return std::nullopt;
    const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return QList<std::uint32_t>(data, data + xcb_get_property_value_length(reply.get()) / int(sizeof(std::uint32_t)));
}

QList<std::uint32_t> currentStates(xcb_connection_t* c, xcb_window_t window, xcb_atom_t stateAtom)
{
    return listProperty(c, window, stateAtom, XCB_ATOM_ATOM, 1024).value_or(QList<std::uint32_t>());
}

// A request's source indication for a pager or task bar acting for the user,
// which every window manager follows.
constexpr std::uint32_t sourcePager = 2;

// The window last ordered front in this turn of the event loop, on the
// application object.
constexpr char raisedProperty[] = "_quorrin_orderedFront";

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

// Restacking relative to another top-level window is asked for with a
// configure request sent to the root (the window's parent is the window
// manager's frame, not the other window's).
void restack(xcb_connection_t* c, xcb_window_t window, xcb_window_t sibling, xcb_stack_mode_t mode)
{
    const xcb_window_t root = rootOf(c);
    xcb_configure_request_event_t request{};
    request.response_type = XCB_CONFIGURE_REQUEST;
    request.stack_mode = mode;
    request.parent = root;
    request.window = window;
    request.sibling = sibling;
    request.value_mask = XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&request));
    xcb_flush(c);
}

// The window the window manager holds active, or none.
xcb_window_t activeWindow(xcb_connection_t* c)
{
    const xcb_atom_t activeAtom = atoms(c, {QByteArrayLiteral("_NET_ACTIVE_WINDOW")}).value(0);
    const auto active = listProperty(c, rootOf(c), activeAtom, XCB_ATOM_WINDOW, 1);
    return active && !active->isEmpty() ? active->first() : XCB_NONE;
}

bool isOurs(xcb_window_t id)
{
    const QList<QWindow*> windows = QGuiApplication::allWindows();
    return std::any_of(windows.begin(), windows.end(), [id](const QWindow* window) {
        return window->handle() && xcb_window_t(window->winId()) == id;
    });
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
    const bool shownBefore = window.property(appliedWindowProperty).value<quint64>() == id;
    window.setProperty(appliedWindowProperty, QVariant::fromValue<quint64>(id));

    if (!window.isVisible()) {
        // Not mapped yet: the window manager reads the properties when it
        // manages the window. A native window never shown before has no
        // states yet (the toolkit writes its own when it maps the window):
        // only one shown before is asked for them, a round trip.
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
    sendToWindowManager(c, xcb_window_t(window.winId()), active, {sourcePager, XCB_CURRENT_TIME, XCB_NONE, 0, 0});
    xcb_flush(c);
    return true;
}

bool takeKeyboardFocus(QWindow& window)
{
    xcb_connection_t* c = connection();
    if (!c || !window.handle() || !window.isVisible())
        return false;
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, xcb_window_t(window.winId()), XCB_CURRENT_TIME);
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
    if (isOurs(holder))
        return KeyboardFocus::Ours;
    // Another application holds it when the holder is one of the windows the
    // window manager manages, or inside one. The window manager's own windows
    // (its check window, where openbox parks the focus, or the frame a closed
    // window's focus reverted to) hold it for nobody.
    const xcb_atom_t clientList = atoms(c, {QByteArrayLiteral("_NET_CLIENT_LIST")}).value(0);
    const auto clients = listProperty(c, root, clientList, XCB_ATOM_WINDOW, 4096);
    if (!clients)
        return KeyboardFocus::Foreign;
    for (xcb_window_t window = holder; window != XCB_NONE && window != root;) {
        if (clients->contains(window))
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

bool orderFront(QWindow& window)
{
    xcb_connection_t* c = connection();
    if (!c || !window.handle())
        return false;
    const auto id = xcb_window_t(window.winId());
    const xcb_window_t root = rootOf(c);
    const xcb_atom_t stackingAtom = atoms(c, {QByteArrayLiteral("_NET_CLIENT_LIST_STACKING")}).value(0);
    const QList<xcb_window_t> stacking =
        listProperty(c, root, stackingAtom, XCB_ATOM_WINDOW, 16384).value_or(QList<xcb_window_t>());
    if (!stacking.contains(id))
        return false;
    // Windows ordered front one after the other within one turn of the event
    // loop go each above the one before: the window manager has not handled
    // the earlier requests yet, so the order it publishes is not the one they
    // make. The last window is remembered on the application object, which
    // owns the connection, until the next turn.
    const auto raisedThisTurn = xcb_window_t(qApp->property(raisedProperty).value<quint32>());
    const xcb_window_t top = stacking.contains(raisedThisTurn) ? raisedThisTurn : stacking.last();
    if (top == id)
        return true;
    restack(c, id, top, XCB_STACK_MODE_ABOVE);
    if (!raisedThisTurn)
        QTimer::singleShot(0, qApp, [] { qApp->setProperty(raisedProperty, QVariant()); });
    qApp->setProperty(raisedProperty, quint32(id));
    return true;
}

void raiseWithoutActivating(QWidget& widget)
{
    QWindow* window = widget.windowHandle();
    if (!window || !widget.isVisible() || !orderFront(*window))
        widget.raise();
}

bool orderBelowActiveWindow(QWindow& window)
{
    xcb_connection_t* c = connection();
    if (!c || !window.handle() || !window.isVisible())
        return false;
    const xcb_window_t active = activeWindow(c);
    if (active == XCB_NONE || isOurs(active))
        return false;
    const auto id = xcb_window_t(window.winId());
    // A window manager that offers the pager's restack request follows it
    // (mutter ignores a configure request from an application used before
    // the one now active); the others take the configure request.
    const QList<xcb_atom_t> names =
        atoms(c, {QByteArrayLiteral("_NET_SUPPORTED"), QByteArrayLiteral("_NET_RESTACK_WINDOW")});
    const QList<xcb_atom_t> offered =
        listProperty(c, rootOf(c), names[0], XCB_ATOM_ATOM, 4096).value_or(QList<xcb_atom_t>());
    if (names[1] != XCB_ATOM_NONE && offered.contains(names[1])) {
        sendToWindowManager(c, id, names[1], {sourcePager, active, XCB_STACK_MODE_BELOW, 0, 0});
        xcb_flush(c);
    } else {
        restack(c, id, active, XCB_STACK_MODE_BELOW);
    }
    return true;
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

bool orderFront(QWindow&)
{
    return false;
}

bool orderBelowActiveWindow(QWindow&)
{
    return false;
}

void raiseWithoutActivating(QWidget& window)
{
    window.raise();
}

KeyboardFocus keyboardFocus()
{
    return KeyboardFocus::Unknown;
}

bool activateAsTheUsersChoice(QWindow&)
{
    return false;
}

bool takeKeyboardFocus(QWindow&)
{
    return false;
}

bool apply(QWindow&, const WindowBehaviour&)
{
    return false;
}

#endif

} // namespace quorrin::X11WindowBehaviour
