#pragma once

#include "Desktop/ManagedProcess.h"
#include "Desktop/WindowManager.h"
#include "Desktop/XDisplay.h"

#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace quorrin::desktop {

// One private desktop: a session bus, the window manager of the run with its
// X server (Xvfb on a display number it chose itself, or the XWayland server
// of a Wayland compositor), dunst, and a monitor that records every
// notification sent over the bus. Everything ends with the object.
class DesktopSession {
public:
    // Starts the desktop; when that fails, nothing, with the reason in `why`.
    // `notInstalled` tells a machine without Xvfb or the window manager (a
    // reason to skip) from a fault.
    static std::unique_ptr<DesktopSession> start(const WindowManager& manager, QString& why, bool& notInstalled);
    ~DesktopSession();

    // The environment for programs on this desktop: its display, its bus and
    // a private home for their settings.
    const QProcessEnvironment& environment() const { return m_environment; }
    QString display() const { return m_display; }
    QString directory() const { return m_directory.path(); }
    const WindowManager& windowManager() const { return m_manager; }
    XDisplay& x() { return *m_x; }

    // Saves a picture of the whole screen.
    bool screenshot(const QString& path) const;
    // What the notification monitor saw so far, as dbus-monitor wrote it.
    QString busLog() const;

private:
    explicit DesktopSession(WindowManager manager)
        : m_manager(std::move(manager))
    {
    }
    void prepareEnvironment();
    bool startServer(QString& why, bool& notInstalled);
    bool connect(const QString& display, const QString& authority, QString& why);
    bool startBus(QString& why);
    bool startWindowManager(QString& why);
    bool startCompositor(QString& why);
    bool waitUntilManaging(QString& why);
    bool waitForBusName(const QString& name, std::chrono::milliseconds timeout);
    bool startNotificationDaemon(QString& why);

    WindowManager m_manager;
    QTemporaryDir m_directory;
    QString m_display;
    QProcessEnvironment m_environment;
    ManagedProcess m_server;
    std::unique_ptr<XDisplay> m_x;
    ManagedProcess m_bus;
    ManagedProcess m_windowManager;
    ManagedProcess m_notificationDaemon;
    ManagedProcess m_busMonitor;
};

} // namespace quorrin::desktop
