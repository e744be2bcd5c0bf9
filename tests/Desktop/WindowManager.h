#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace quorrin::desktop {

// The window manager a desktop session runs, chosen for the whole run by
// QUORRIN_DESKTOP_WM (openbox when unset): a window manager on Xvfb, or a
// Wayland compositor whose XWayland server the cases talk to as to any X
// server.
struct WindowManager {
    // The name QUORRIN_DESKTOP_WM gives: openbox, mutter, kwin_x11, xfwm4,
    // mutter-wayland, kwin-wayland.
    QString name;
    QString program;
    QStringList arguments;
    // A Wayland compositor running headless with XWayland: it makes its own
    // X server, and X input (XTEST) stays inside XWayland, so the
    // compositor never sees it.
    bool wayland = false;
    // A name it owns on the session bus once it manages windows, besides
    // announcing itself on the root window.
    QString busName;
    // The key held for a drag anywhere in a window that the window manager
    // runs (xdotool's name).
    QString moveModifier = QStringLiteral("alt");
    // Settings written to this file of the session's configuration directory
    // before it starts, when it has one.
    QString settingsFile;
    QString settings;

    // The arguments that also make a compositor run `command` (program and
    // arguments, words without spaces) once its X server is up.
    QStringList argumentsRunning(const QStringList& command) const;

    // The window manager of this run; nothing for a name it does not know.
    static std::optional<WindowManager> chosen();
    static QString chosenName();
    static std::optional<WindowManager> named(const QString& name);
};

} // namespace quorrin::desktop
