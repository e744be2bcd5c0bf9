#include "Desktop/DesktopSession.h"

#include "Desktop/Wait.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace quorrin::desktop {

using namespace std::chrono_literals;

std::unique_ptr<DesktopSession> DesktopSession::start(QString& why, bool& xServerMissing)
{
    xServerMissing = false;
    std::unique_ptr<DesktopSession> session(new DesktopSession);
    if (!session->m_directory.isValid()) {
        why = QStringLiteral("no temporary directory");
        return nullptr;
    }
    if (!session->startServer(why, xServerMissing) || !session->startBus(why) || !session->startWindowManager(why)
        || !session->startNotificationDaemon(why))
        return nullptr;
    return session;
}

DesktopSession::~DesktopSession()
{
    // The clients first, the server last.
    m_busMonitor.stop();
    m_notificationDaemon.stop();
    m_windowManager.stop();
    m_x.reset();
    m_bus.stop();
    m_server.stop();
}

bool DesktopSession::startServer(QString& why, bool& xServerMissing)
{
    const QString server = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (server.isEmpty()) {
        xServerMissing = true;
        why = QStringLiteral("Xvfb is not installed");
        return false;
    }
    // The server picks a free display number and writes it to its standard
    // output: tests running at the same time never share one.
    const QStringList arguments{QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                QStringLiteral("0"), QStringLiteral("1920x1080x24"), QStringLiteral("-nolisten"),
                                QStringLiteral("tcp"), QStringLiteral("-noreset")};
    if (!m_server.start(server, arguments, QProcessEnvironment::systemEnvironment(), {},
                        m_directory.filePath(QStringLiteral("xvfb.log")))) {
        xServerMissing = true;
        why = QStringLiteral("Xvfb did not start");
        return false;
    }
    const QString number = m_server.readLine(20s);
    if (number.isEmpty()) {
        xServerMissing = true;
        why = QStringLiteral("Xvfb did not report a display");
        return false;
    }
    m_display = QLatin1Char(':') + number;
    m_x = XDisplay::connect(m_display);
    if (!m_x) {
        xServerMissing = true;
        why = QStringLiteral("cannot connect to Xvfb on ") + m_display;
        return false;
    }

    m_environment = QProcessEnvironment::systemEnvironment();
    m_environment.insert(QStringLiteral("DISPLAY"), m_display);
    m_environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    m_environment.remove(QStringLiteral("XAUTHORITY"));
    // Settings of the desktop's programs stay inside the session.
    const QString home = m_directory.filePath(QStringLiteral("home"));
    QDir().mkpath(home + QStringLiteral("/.config"));
    QDir().mkpath(home + QStringLiteral("/runtime"));
    QFile::setPermissions(home + QStringLiteral("/runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    m_environment.insert(QStringLiteral("HOME"), home);
    m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/runtime"));
    m_environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    m_environment.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    return true;
}

bool DesktopSession::startBus(QString& why)
{
    if (!m_bus.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")},
                     m_environment, {}, m_directory.filePath(QStringLiteral("bus.log")))) {
        why = QStringLiteral("dbus-daemon did not start");
        return false;
    }
    const QString address = m_bus.readLine(10s);
    if (address.isEmpty()) {
        why = QStringLiteral("dbus-daemon did not report its address");
        return false;
    }
    m_environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);

    // Every notification the application sends, as the bus carried it.
    const QString log = m_directory.filePath(QStringLiteral("notifications.log"));
    if (!m_busMonitor.start(QStringLiteral("dbus-monitor"),
                            {QStringLiteral("--address"), address,
                             QStringLiteral("type='method_call',interface='org.freedesktop.Notifications'")},
                            m_environment, log, m_directory.filePath(QStringLiteral("monitor.log")))) {
        why = QStringLiteral("dbus-monitor did not start");
        return false;
    }
    // The monitor writes its own NameAcquired/NameLost once it listens.
    if (!waitFor([&] { return busLog().contains(QStringLiteral("NameLost")); }, 10s)) {
        why = QStringLiteral("dbus-monitor did not start listening");
        return false;
    }
    return true;
}

bool DesktopSession::startWindowManager(QString& why)
{
    if (!m_windowManager.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")}, m_environment, {},
                               m_directory.filePath(QStringLiteral("openbox.log")))) {
        why = QStringLiteral("openbox did not start");
        return false;
    }
    if (!waitFor([&] { return m_x->windowManagerRunning(); }, 15s)) {
        why = QStringLiteral("openbox did not take over the display");
        return false;
    }
    return true;
}

bool DesktopSession::startNotificationDaemon(QString& why)
{
    if (!m_notificationDaemon.start(QStringLiteral("dunst"), {}, m_environment, {},
                                    m_directory.filePath(QStringLiteral("dunst.log")))) {
        why = QStringLiteral("dunst did not start");
        return false;
    }
    const QStringList ask{QStringLiteral("--session"), QStringLiteral("--print-reply"),
                          QStringLiteral("--dest=org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                          QStringLiteral("org.freedesktop.DBus.NameHasOwner"),
                          QStringLiteral("string:org.freedesktop.Notifications")};
    const bool owned = waitFor(
        [&] {
            const auto reply = runTool(QStringLiteral("dbus-send"), ask, m_environment);
            return reply && reply->contains("boolean true");
        },
        15s);
    if (!owned) {
        why = QStringLiteral("dunst did not take the notification service");
        return false;
    }
    return true;
}

bool DesktopSession::screenshot(const QString& path) const
{
    return runTool(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), path}, m_environment,
                   20s)
        .has_value();
}

QString DesktopSession::busLog() const
{
    QFile file(m_directory.filePath(QStringLiteral("notifications.log")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace quorrin::desktop
