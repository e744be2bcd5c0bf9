#pragma once

#include <QByteArray>
#include <QRect>
#include <QSet>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

struct xcb_connection_t;

namespace quorrin::desktop {

using WindowId = std::uint32_t;

// What the X server and the window manager say about the windows: a plain
// connection of the test's own, asked synchronously.
class XDisplay {
public:
    // Connects to the display (":N"), with the cookie for it from the
    // authority file when one is given; nothing when the server cannot be
    // reached.
    static std::unique_ptr<XDisplay> connect(const QString& display, const QString& authority = {});
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    // Whether a window manager announced itself (_NET_SUPPORTING_WM_CHECK).
    bool windowManagerRunning();
    // _NET_ACTIVE_WINDOW; 0 when none.
    WindowId activeWindow();
    // The window holding the keyboard focus (the X server's answer).
    WindowId inputFocus();
    // From now on notes every time the keyboard focus enters the window (a
    // passing activation that polling would miss).
    void watchFocus(WindowId window);
    // Whether the focus entered a watched window since it was first watched.
    bool focusEntered(WindowId window);
    // _NET_CLIENT_LIST_STACKING, bottom to top.
    std::vector<WindowId> stacking();
    // _NET_CLIENT_LIST: managed windows in mapping order.
    std::vector<WindowId> clients();
    // The root's children that are shown and bypass the window manager
    // (menus, tool tips), bottom to top.
    std::vector<WindowId> unmanagedShown();
    // Shown windows placed without the window manager inside another
    // program's window (icons a system tray embedded), anywhere in the tree.
    std::vector<WindowId> embeddedShown();

    std::optional<std::uint32_t> pid(WindowId window);
    QString name(WindowId window);  // _NET_WM_NAME, else WM_NAME
    QString role(WindowId window);  // WM_WINDOW_ROLE
    std::vector<QString> types(WindowId window); // _NET_WM_WINDOW_TYPE names
    std::vector<QString> states(WindowId window); // _NET_WM_STATE names
    std::optional<std::uint32_t> desktop(WindowId window); // _NET_WM_DESKTOP
    WindowId transientFor(WindowId window);
    bool viewable(WindowId window);
    // The window's rectangle in root coordinates (its client area, without
    // any decoration the window manager adds).
    std::optional<QRect> geometry(WindowId window);
    QSize screenSize();
    // The screen's pixels in the rectangle (raw server format), to compare
    // one moment with the next.
    QByteArray pixels(const QRect& rect);

    // Gives every character of the text that no key produces a spare
    // keycode of its own, for the rest of the session. Typing tools that map
    // a key just for one press and undo it race with clients reading the
    // map; a mapping made once and kept does not.
    bool bindCharacters(const QString& text);

private:
    explicit XDisplay(xcb_connection_t* connection);
    std::uint32_t atom(const char* name);
    QString atomName(std::uint32_t atom);
    QByteArray property(WindowId window, std::uint32_t property, std::uint32_t type);
    std::vector<WindowId> windowList(const char* property);
    std::vector<QString> atomNames(WindowId window, const char* property);
    QByteArray image(WindowId window, const QRect& rect);
    std::optional<std::uint32_t> cardinal(WindowId window, const char* name);

    xcb_connection_t* m_connection;
    WindowId m_root = 0;
    QSet<char32_t> m_bound;
    QSet<WindowId> m_focusEntered;
};

} // namespace quorrin::desktop
