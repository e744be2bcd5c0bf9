#include "Desktop/XDisplay.h"

#include <QFile>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace quorrin::desktop {

namespace {

template <typename Reply>
struct Freed {
    Reply* reply;
    ~Freed() { std::free(reply); }
    Reply* operator->() const { return reply; }
    explicit operator bool() const { return reply != nullptr; }
};

// One entry of an X authority file: the cookie the server wants.
struct Cookie {
    QByteArray name;
    QByteArray data;
};

// The cookie for the display number in an X authority file (a run of
// entries: family, address, number, name and data, each but the family a
// big-endian length and its bytes).
std::optional<Cookie> cookieFor(const QString& authority, const QByteArray& number)
{
    QFile file(authority);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    qsizetype at = 0;
    const auto field = [&](QByteArray& out) {
        if (at + 2 > bytes.size())
            return false;
        const int length = (quint8(bytes[at]) << 8) | quint8(bytes[at + 1]);
        at += 2;
        if (at + length > bytes.size())
            return false;
        out = bytes.mid(at, length);
        at += length;
        return true;
    };
    while (at + 2 <= bytes.size()) {
        at += 2; // the family
        QByteArray address, entryNumber, name, data;
        if (!field(address) || !field(entryNumber) || !field(name) || !field(data))
            return std::nullopt;
        if (entryNumber.isEmpty() || entryNumber == number)
            return Cookie{name, data};
    }
    return std::nullopt;
}

} // namespace

std::unique_ptr<XDisplay> XDisplay::connect(const QString& display, const QString& authority)
{
    std::optional<Cookie> cookie;
    if (!authority.isEmpty())
        cookie = cookieFor(authority, display.mid(display.indexOf(u':') + 1).section(u'.', 0, 0).toLatin1());
    xcb_auth_info_t auth{};
    if (cookie) {
        auth.namelen = int(cookie->name.size());
        auth.name = cookie->name.data();
        auth.datalen = int(cookie->data.size());
        auth.data = cookie->data.data();
    }
    xcb_connection_t* connection = cookie
        ? xcb_connect_to_display_with_auth_info(display.toLocal8Bit().constData(), &auth, nullptr)
        : xcb_connect(display.toLocal8Bit().constData(), nullptr);
    if (!connection || xcb_connection_has_error(connection)) {
        if (connection)
            xcb_disconnect(connection);
        return nullptr;
    }
    return std::unique_ptr<XDisplay>(new XDisplay(connection));
}

XDisplay::XDisplay(xcb_connection_t* connection)
    : m_connection(connection)
{
    m_root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

XDisplay::~XDisplay()
{
    xcb_disconnect(m_connection);
}

std::uint32_t XDisplay::atom(const char* name)
{
    const Freed<xcb_intern_atom_reply_t> reply{
        xcb_intern_atom_reply(m_connection, xcb_intern_atom(m_connection, 0, std::uint16_t(std::strlen(name)), name), nullptr)};
    return reply ? reply->atom : 0;
}

QString XDisplay::atomName(std::uint32_t atom)
{
    const Freed<xcb_get_atom_name_reply_t> reply{
        xcb_get_atom_name_reply(m_connection, xcb_get_atom_name(m_connection, atom), nullptr)};
    if (!reply)
        return {};
    return QString::fromLatin1(xcb_get_atom_name_name(reply.reply), xcb_get_atom_name_name_length(reply.reply));
}

QByteArray XDisplay::property(WindowId window, std::uint32_t property, std::uint32_t type)
{
    const Freed<xcb_get_property_reply_t> reply{xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, property, type, 0, 1 << 20), nullptr)};
    if (!reply || reply->type == XCB_NONE)
        return {};
    // The value's length in bytes.
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.reply)),
                      xcb_get_property_value_length(reply.reply));
}

std::vector<WindowId> XDisplay::windowList(const char* name)
{
    const QByteArray bytes = property(m_root, atom(name), XCB_ATOM_WINDOW);
    std::vector<WindowId> windows(std::size_t(bytes.size()) / sizeof(WindowId));
    if (!windows.empty())
        std::memcpy(windows.data(), bytes.constData(), windows.size() * sizeof(WindowId));
    return windows;
}

bool XDisplay::windowManagerRunning()
{
    return !property(m_root, atom("_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW).isEmpty();
}

WindowId XDisplay::activeWindow()
{
    const std::vector<WindowId> active = windowList("_NET_ACTIVE_WINDOW");
    return active.empty() ? 0 : active.front();
}

WindowId XDisplay::inputFocus()
{
    const Freed<xcb_get_input_focus_reply_t> reply{
        xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr)};
    return reply ? reply->focus : 0;
}

void XDisplay::watchFocus(WindowId window)
{
    const std::uint32_t mask = XCB_EVENT_MASK_FOCUS_CHANGE;
    xcb_change_window_attributes(m_connection, window, XCB_CW_EVENT_MASK, &mask);
    inputFocus(); // a round trip: watched from here on
}

bool XDisplay::focusEntered(WindowId window)
{
    inputFocus(); // a round trip: every event before it has arrived
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        if ((event->response_type & 0x7f) == XCB_FOCUS_IN) {
            const auto* in = reinterpret_cast<const xcb_focus_in_event_t*>(event);
            // Not the focus coming back as a grab ends, nor the pointer's window
            // taking keys while nothing holds the focus.
            if ((in->mode == XCB_NOTIFY_MODE_NORMAL || in->mode == XCB_NOTIFY_MODE_WHILE_GRABBED)
                && in->detail != XCB_NOTIFY_DETAIL_POINTER)
                m_focusEntered.insert(in->event);
        }
        std::free(event);
    }
    return m_focusEntered.contains(window);
}

std::vector<WindowId> XDisplay::stacking()
{
    return windowList("_NET_CLIENT_LIST_STACKING");
}

std::vector<WindowId> XDisplay::clients()
{
    return windowList("_NET_CLIENT_LIST");
}

std::vector<WindowId> XDisplay::unmanagedShown()
{
    std::vector<WindowId> shown;
    const Freed<xcb_query_tree_reply_t> tree{
        xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, m_root), nullptr)};
    if (!tree)
        return shown;
    const xcb_window_t* children = xcb_query_tree_children(tree.reply);
    for (int index = 0; index < xcb_query_tree_children_length(tree.reply); ++index) {
        const Freed<xcb_get_window_attributes_reply_t> attributes{xcb_get_window_attributes_reply(
            m_connection, xcb_get_window_attributes(m_connection, children[index]), nullptr)};
        if (attributes && attributes->override_redirect && attributes->map_state == XCB_MAP_STATE_VIEWABLE)
            shown.push_back(children[index]);
    }
    return shown;
}

std::optional<std::uint32_t> XDisplay::cardinal(WindowId window, const char* name)
{
    const QByteArray bytes = property(window, atom(name), XCB_ATOM_CARDINAL);
    if (bytes.size() < int(sizeof(std::uint32_t)))
        return std::nullopt;
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.constData(), sizeof value);
    return value;
}

std::optional<std::uint32_t> XDisplay::pid(WindowId window)
{
    return cardinal(window, "_NET_WM_PID");
}

std::optional<std::uint32_t> XDisplay::desktop(WindowId window)
{
    return cardinal(window, "_NET_WM_DESKTOP");
}

std::vector<WindowId> XDisplay::embeddedShown()
{
    std::vector<WindowId> shown;
    std::vector<WindowId> parents{m_root};
    while (!parents.empty()) {
        const WindowId parent = parents.back();
        parents.pop_back();
        const Freed<xcb_query_tree_reply_t> tree{
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, parent), nullptr)};
        if (!tree)
            continue;
        const xcb_window_t* children = xcb_query_tree_children(tree.reply);
        for (int index = 0; index < xcb_query_tree_children_length(tree.reply); ++index) {
            parents.push_back(children[index]);
            if (parent == m_root)
                continue;
            const Freed<xcb_get_window_attributes_reply_t> attributes{xcb_get_window_attributes_reply(
                m_connection, xcb_get_window_attributes(m_connection, children[index]), nullptr)};
            if (attributes && attributes->override_redirect && attributes->map_state == XCB_MAP_STATE_VIEWABLE)
                shown.push_back(children[index]);
        }
    }
    return shown;
}

QString XDisplay::name(WindowId window)
{
    const QByteArray utf8 = property(window, atom("_NET_WM_NAME"), atom("UTF8_STRING"));
    if (!utf8.isEmpty())
        return QString::fromUtf8(utf8);
    return QString::fromLatin1(property(window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING));
}

QString XDisplay::role(WindowId window)
{
    return QString::fromLatin1(property(window, atom("WM_WINDOW_ROLE"), XCB_ATOM_STRING));
}

std::vector<QString> XDisplay::atomNames(WindowId window, const char* property)
{
    const QByteArray bytes = this->property(window, atom(property), XCB_ATOM_ATOM);
    std::vector<QString> names;
    for (int offset = 0; offset + 4 <= bytes.size(); offset += 4) {
        std::uint32_t value = 0;
        std::memcpy(&value, bytes.constData() + offset, 4);
        names.push_back(atomName(value));
    }
    return names;
}

std::vector<QString> XDisplay::types(WindowId window)
{
    return atomNames(window, "_NET_WM_WINDOW_TYPE");
}

std::vector<QString> XDisplay::states(WindowId window)
{
    return atomNames(window, "_NET_WM_STATE");
}

WindowId XDisplay::transientFor(WindowId window)
{
    const QByteArray bytes = property(window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW);
    WindowId value = 0;
    if (bytes.size() >= int(sizeof value))
        std::memcpy(&value, bytes.constData(), sizeof value);
    return value;
}

bool XDisplay::viewable(WindowId window)
{
    const Freed<xcb_get_window_attributes_reply_t> reply{xcb_get_window_attributes_reply(
        m_connection, xcb_get_window_attributes(m_connection, window), nullptr)};
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

std::optional<QRect> XDisplay::geometry(WindowId window)
{
    const Freed<xcb_get_geometry_reply_t> size{
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr)};
    const Freed<xcb_translate_coordinates_reply_t> origin{xcb_translate_coordinates_reply(
        m_connection, xcb_translate_coordinates(m_connection, window, m_root, 0, 0), nullptr)};
    if (!size || !origin)
        return std::nullopt;
    return QRect(origin->dst_x, origin->dst_y, size->width, size->height);
}

QSize XDisplay::screenSize()
{
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    return QSize(screen->width_in_pixels, screen->height_in_pixels);
}

QByteArray XDisplay::image(WindowId window, const QRect& rect)
{
    const Freed<xcb_get_image_reply_t> image{xcb_get_image_reply(
        m_connection,
        xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, std::int16_t(rect.x()), std::int16_t(rect.y()),
                      std::uint16_t(rect.width()), std::uint16_t(rect.height()), ~0u),
        nullptr)};
    if (!image)
        return {};
    return QByteArray(reinterpret_cast<const char*>(xcb_get_image_data(image.reply)),
                      xcb_get_image_data_length(image.reply));
}

QByteArray XDisplay::pixels(const QRect& rect)
{
    const QRect clipped = rect.intersected(QRect(QPoint(), screenSize()));
    if (clipped.isEmpty())
        return {};
    QByteArray screen = image(m_root, clipped);
    if (!screen.isEmpty())
        return screen;
    // A rootless XWayland server keeps no picture of its root: the topmost
    // window holding the rectangle shows what the screen does there.
    const std::vector<WindowId> order = stacking();
    for (auto window = order.rbegin(); window != order.rend(); ++window) {
        const std::optional<QRect> frame = geometry(*window);
        if (frame && frame->contains(clipped) && viewable(*window))
            return image(*window, clipped.translated(-frame->topLeft()));
    }
    return {};
}

bool XDisplay::bindCharacters(const QString& text)
{
    const xcb_setup_t* setup = xcb_get_setup(m_connection);
    const int first = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    const Freed<xcb_get_keyboard_mapping_reply_t> map{xcb_get_keyboard_mapping_reply(
        m_connection, xcb_get_keyboard_mapping(m_connection, setup->min_keycode, std::uint8_t(count)), nullptr)};
    if (!map)
        return false;
    const int perKey = map->keysyms_per_keycode;
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(map.reply);
    const auto produced = [&](xcb_keysym_t wanted) {
        for (int index = 0; index < count * perKey; ++index) {
            if (keysyms[index] == wanted)
                return true;
        }
        return false;
    };
    int spare = count - 1; // spare keycodes are taken from the top down
    const auto free = [&](int key) {
        for (int level = 0; level < perKey; ++level) {
            if (keysyms[key * perKey + level] != 0)
                return false;
        }
        return true;
    };
    for (const char32_t character : text.toUcs4()) {
        if (m_bound.contains(character))
            continue;
        // Latin-1 keysyms equal their code points; the rest are 0x01000000 + code point.
        const xcb_keysym_t keysym = character < 0x100 ? character : 0x01000000 | character;
        if (produced(keysym)) {
            m_bound.insert(character);
            continue;
        }
        while (spare >= 0 && !free(spare))
            --spare;
        if (spare < 0)
            return false;
        std::vector<xcb_keysym_t> row(std::size_t(perKey), keysym);
        xcb_change_keyboard_mapping(m_connection, 1, xcb_keycode_t(first + spare), std::uint8_t(perKey), row.data());
        m_bound.insert(character);
        --spare;
    }
    // A round trip: the server holds the new map before anything is typed.
    const Freed<xcb_get_input_focus_reply_t> sync{
        xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr)};
    return true;
}

} // namespace quorrin::desktop
