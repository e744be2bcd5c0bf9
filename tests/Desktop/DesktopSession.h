#pragma once

#include "Desktop/ManagedProcess.h"
#include "Desktop/XDisplay.h"

#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace quorrin::desktop {

// One private desktop: an Xvfb server on a display number it chose itself, a
// session bus, openbox and dunst, and a monitor that records every
// notification sent over the bus. Everything ends with the object.
class DesktopSession {
public:
    // Starts the desktop; when that fails, nothing, with the reason in `why`.
    // `xServerMissing` tells a machine without Xvfb (a reason to skip) from
    // a fault.
    static std::unique_ptr<DesktopSession> start(QString& why, bool& xServerMissing);
    ~DesktopSession();

    // The environment for programs on this desktop: its display, its bus and
    // a private home for their settings.
    const QProcessEnvironment& environment() const { return m_environment; }
    QString display() const { return m_display; }
    QString directory() const { return m_directory.path(); }
    XDisplay& x() { return *m_x; }

    // Saves a picture of the whole screen.
    bool screenshot(const QString& path) const;
    // What the notification monitor saw so far, as dbus-monitor wrote it.
    QString busLog() const;

private:
    DesktopSession() = default;
    bool startServer(QString& why, bool& xServerMissing);
    bool startBus(QString& why);
    bool startWindowManager(QString& why);
    bool startNotificationDaemon(QString& why);

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
