#include "Desktop/QuorrinApp.h"

#include <QDir>

namespace quorrin::desktop {

namespace {

const QString notePrefix = QStringLiteral("note-");

} // namespace

QuorrinApp::QuorrinApp(DesktopSession& session, QString dataDirectory)
    : m_session(session)
    , m_dataDirectory(std::move(dataDirectory))
{
}

QString QuorrinApp::logPath() const
{
    return m_session.directory() + QStringLiteral("/quorrin-%1.log").arg(m_launches);
}

QString QuorrinApp::binary()
{
    return qEnvironmentVariable("QUORRIN_BINARY", QStringLiteral(QUORRIN_BINARY_PATH));
}

QProcessEnvironment QuorrinApp::environment() const
{
    QProcessEnvironment environment = m_session.environment();
    environment.insert(QStringLiteral("QUORRIN_DATA_DIR"), m_dataDirectory);
    // The real X11 platform, whatever the test runner chose for itself.
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORMTHEME"));
    environment.insert(QStringLiteral("TZ"), QStringLiteral("Europe/Berlin"));
    environment.insert(m_extra);
    return environment;
}

bool QuorrinApp::start()
{
    ++m_launches;
    QDir().mkpath(m_dataDirectory);
    return m_process.start(binary(), {}, environment(), logPath(),
                           logPath() + QStringLiteral(".err"));
}

std::optional<int> QuorrinApp::launchAgain(std::chrono::milliseconds timeout, const QStringList& files)
{
    ManagedProcess second;
    const QString log = m_session.directory() + QStringLiteral("/quorrin-again.log");
    if (!second.start(binary(), files, environment(), log, log + QStringLiteral(".err"))
        || !second.waitForExit(timeout))
        return std::nullopt;
    return second.crashed() ? std::nullopt : std::optional<int>(second.exitCode());
}

std::vector<WindowId> QuorrinApp::ours(std::vector<WindowId> (XDisplay::*list)())
{
    std::vector<WindowId> ours;
    if (!m_process.running())
        return ours;
    XDisplay& x = m_session.x();
    for (WindowId window : (x.*list)()) {
        if (x.pid(window) == std::uint32_t(m_process.pid()))
            ours.push_back(window);
    }
    return ours;
}

std::vector<WindowId> QuorrinApp::windows()
{
    return ours(&XDisplay::clients);
}

std::vector<WindowId> QuorrinApp::trayIcons()
{
    return ours(&XDisplay::embeddedShown);
}

std::vector<WindowId> QuorrinApp::popups()
{
    return ours(&XDisplay::unmanagedShown);
}

std::vector<QuorrinApp::NoteWindow> QuorrinApp::noteWindows()
{
    std::vector<NoteWindow> notes;
    XDisplay& x = m_session.x();
    for (WindowId window : windows()) {
        const QString role = x.role(window);
        if (role.startsWith(notePrefix) && x.viewable(window))
            notes.push_back({window, QUuid::fromString(role.mid(notePrefix.size()))});
    }
    return notes;
}

WindowId QuorrinApp::windowOf(const QUuid& note)
{
    for (const NoteWindow& window : noteWindows()) {
        if (window.note == note)
            return window.window;
    }
    return 0;
}

QUuid QuorrinApp::noteOf(WindowId window)
{
    const QString role = m_session.x().role(window);
    return role.startsWith(notePrefix) ? QUuid::fromString(role.mid(notePrefix.size())) : QUuid();
}

} // namespace quorrin::desktop
