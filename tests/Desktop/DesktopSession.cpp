#include "Desktop/DesktopSession.h"

#include "Desktop/Wait.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

namespace quorrin::desktop {

using namespace std::chrono_literals;

std::unique_ptr<DesktopSession> DesktopSession::start(const WindowManager& manager, QString& why, bool& notInstalled)
{
    notInstalled = false;
    std::unique_ptr<DesktopSession> session(new DesktopSession(manager));
    if (!session->m_directory.isValid()) {
        why = QStringLiteral("no temporary directory");
        return nullptr;
    }
    if (QStandardPaths::findExecutable(manager.program).isEmpty()) {
        notInstalled = true;
        why = manager.program + QStringLiteral(" is not installed");
        return nullptr;
    }
    session->prepareEnvironment();
    // A compositor makes its X server itself, and needs the bus to start.
    const bool started = manager.wayland
        ? session->startBus(why) && session->startCompositor(why)
        : session->startServer(why, notInstalled) && session->startBus(why) && session->startWindowManager(why);
    if (!started || !session->startNotificationDaemon(why))
        return nullptr;
    return session;
}

DesktopSession::~DesktopSession()
{
    // The clients first, the server last.
    m_busMonitor.stop();
    m_notificationDaemon.stop();
    m_x.reset();
    m_windowManager.stop();
    m_bus.stop();
    m_server.stop();
}

void DesktopSession::prepareEnvironment()
{
    m_environment = QProcessEnvironment::systemEnvironment();
    m_environment.remove(QStringLiteral("DISPLAY"));
    m_environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    m_environment.remove(QStringLiteral("XAUTHORITY"));
    // The test runner's own platform is no business of the desktop's programs.
    m_environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    // Settings of the desktop's programs stay inside the session.
    const QString home = m_directory.filePath(QStringLiteral("home"));
    QDir().mkpath(home + QStringLiteral("/.config"));
    QDir().mkpath(home + QStringLiteral("/runtime"));
    QFile::setPermissions(home + QStringLiteral("/runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    m_environment.insert(QStringLiteral("HOME"), home);
    m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    if (!m_manager.settingsFile.isEmpty()) {
        QFile settings(home + QStringLiteral("/.config/") + m_manager.settingsFile);
        if (settings.open(QIODevice::WriteOnly))
            settings.write(m_manager.settings.toUtf8());
    }
    m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/runtime"));
    m_environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    m_environment.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
}

bool DesktopSession::startServer(QString& why, bool& notInstalled)
{
    const QString server = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (server.isEmpty()) {
        notInstalled = true;
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
        notInstalled = true;
        why = QStringLiteral("Xvfb did not start");
        return false;
    }
    const QString number = m_server.readLine(20s);
    if (number.isEmpty()) {
        notInstalled = true;
        why = QStringLiteral("Xvfb did not report a display");
        return false;
    }
    if (!connect(QLatin1Char(':') + number, {}, why)) {
        notInstalled = true;
        return false;
    }
    return true;
}

bool DesktopSession::connect(const QString& display, const QString& authority, QString& why)
{
    m_display = display;
    m_x = XDisplay::connect(m_display, authority);
    if (!m_x) {
        why = QStringLiteral("cannot connect to the X server on ") + m_display;
        return false;
    }
    m_environment.insert(QStringLiteral("DISPLAY"), m_display);
    if (!authority.isEmpty())
        m_environment.insert(QStringLiteral("XAUTHORITY"), authority);
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
    if (!m_windowManager.start(m_manager.program, m_manager.arguments, m_environment, {},
                               m_directory.filePath(m_manager.name + QStringLiteral(".log")))) {
        why = m_manager.name + QStringLiteral(" did not start");
        return false;
    }
    return waitUntilManaging(why);
}

bool DesktopSession::startCompositor(QString& why)
{
    QString program = QStandardPaths::findExecutable(m_manager.program);
    if (m_manager.program == QLatin1String("kwin_wayland")) {
        // The packaged binary carries a file capability, which a container
        // refuses to run; a copy has none and keeps the name kwin looks for.
        const QString copy = m_directory.filePath(QStringLiteral("bin/") + m_manager.program);
        QDir().mkpath(m_directory.filePath(QStringLiteral("bin")));
        if (!QFile::copy(program, copy)) {
            why = QStringLiteral("cannot copy ") + program;
            return false;
        }
        program = copy;
    }
    // The compositor runs this once its X server is up: it writes down the
    // display and the authority file the compositor gave it, and lives as
    // long as the compositor (mutter ends when it ends).
    const QString announced = m_directory.filePath(QStringLiteral("xdisplay"));
    const QString announce = m_directory.filePath(QStringLiteral("announce-display"));
    QFile script(announce);
    if (!script.open(QIODevice::WriteOnly)
        || script.write(QStringLiteral("#!/bin/sh\nprintf '%s\\n%s\\n' \"$DISPLAY\" \"$XAUTHORITY\" > '%1.part'\n"
                                       "mv '%1.part' '%1'\n"
                                       "exec tail --pid=\"$QUORRIN_COMPOSITOR_PID\" -f /dev/null\n")
                            .arg(announced)
                            .toUtf8())
               < 0) {
        why = QStringLiteral("cannot write ") + announce;
        return false;
    }
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    // A shell names the compositor's process to the command, then becomes
    // the compositor. XWayland's sockets go into a folder of the compositor's
    // own when it can have one: a shared /tmp/.X11-unix may lack the
    // permissions a compositor insists on, and compositors started at once
    // must not see each other's sockets. Clients reach XWayland by its
    // abstract socket all the same.
    const bool ownSockets = ::geteuid() == 0;
    const QString shell = (ownSockets ? QStringLiteral("mount -t tmpfs -o mode=1777 tmpfs /tmp/.X11-unix && ")
                                      : QString())
        + QStringLiteral("export QUORRIN_COMPOSITOR_PID=$$ && exec \"$0\" \"$@\"");
    QStringList launch = QStringList{QStringLiteral("sh"), QStringLiteral("-c"), shell, program}
        + m_manager.argumentsRunning({announce});
    if (ownSockets)
        launch.prepend(QStringLiteral("--mount"));
    const QString launcher = ownSockets ? QStringLiteral("unshare") : launch.takeFirst();
    const QString log = m_directory.filePath(m_manager.name + QStringLiteral(".log"));
    if (!m_windowManager.start(launcher, launch, m_environment, log, log + QStringLiteral(".err"))) {
        why = m_manager.name + QStringLiteral(" did not start");
        return false;
    }
    if (!waitFor([&] { return QFile::exists(announced) || !m_windowManager.running(); }, 30s)
        || !m_windowManager.running()) {
        why = m_manager.name + QStringLiteral(" started no X server");
        return false;
    }
    QFile file(announced);
    const QStringList display =
        file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split(u'\n') : QStringList();
    if (!connect(display.value(0), display.value(1), why))
        return false;
    return waitUntilManaging(why);
}

bool DesktopSession::waitUntilManaging(QString& why)
{
    if (!waitFor([&] { return m_x->windowManagerRunning() || !m_windowManager.running(); }, 30s)
        || !m_windowManager.running()) {
        why = m_manager.name + QStringLiteral(" did not take over the display");
        return false;
    }
    if (!m_manager.busName.isEmpty() && !waitForBusName(m_manager.busName, 30s)) {
        why = m_manager.name + QStringLiteral(" did not take ") + m_manager.busName + QStringLiteral(" on the bus");
        return false;
    }
    return true;
}

bool DesktopSession::waitForBusName(const QString& name, std::chrono::milliseconds timeout)
{
    const QStringList ask{QStringLiteral("--session"), QStringLiteral("--print-reply"),
                          QStringLiteral("--dest=org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                          QStringLiteral("org.freedesktop.DBus.NameHasOwner"), QStringLiteral("string:") + name};
    return waitFor(
        [&] {
            const auto reply = runTool(QStringLiteral("dbus-send"), ask, m_environment);
            return reply && reply->contains("boolean true");
        },
        timeout, 50ms);
}

bool DesktopSession::startNotificationDaemon(QString& why)
{
    if (!m_notificationDaemon.start(QStringLiteral("dunst"), {}, m_environment, {},
                                    m_directory.filePath(QStringLiteral("dunst.log")))) {
        why = QStringLiteral("dunst did not start");
        return false;
    }
    if (!waitForBusName(QStringLiteral("org.freedesktop.Notifications"), 15s)) {
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
