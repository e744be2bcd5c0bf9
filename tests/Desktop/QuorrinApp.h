#pragma once

#include "Desktop/DesktopSession.h"
#include "Desktop/ManagedProcess.h"

#include <QUuid>

#include <optional>
#include <vector>

namespace quorrin::desktop {

// The real quorrin binary running on a desktop session with its own data
// directory.
class QuorrinApp {
public:
    QuorrinApp(DesktopSession& session, QString dataDirectory);
    ~QuorrinApp() { m_process.stop(); }

    // The binary under test: QUORRIN_BINARY, else the one built with the suite.
    static QString binary();

    bool start();
    // Launches quorrin a second time while this one runs, as a user starting
    // it again would (naming `files` to open, as a file manager does), and
    // answers that launch's exit code once it ended.
    std::optional<int> launchAgain(std::chrono::milliseconds timeout, const QStringList& files = {});
    // An environment variable for the next start (e.g. TZ).
    void setEnvironment(const QString& name, const QString& value) { m_extra.insert(name, value); }
    // Ends the application by SIGTERM (which runs its quitting protocol).
    bool terminate() { return m_process.stop(std::chrono::milliseconds(10000)); }
    bool waitForExit(std::chrono::milliseconds timeout) { return m_process.waitForExit(timeout); }
    bool running() const { return m_process.running(); }
    int exitCode() const { return m_process.exitCode(); }
    const QString& dataDirectory() const { return m_dataDirectory; }
    // Another data directory for the next start (e.g. on a file system of
    // the case's own).
    void setDataDirectory(const QString& directory) { m_dataDirectory = directory; }
    QString logPath() const;

    // The managed top-level windows of this process, in mapping order.
    std::vector<WindowId> windows();
    // Shown menus and other windows of ours the window manager does not manage.
    std::vector<WindowId> popups();
    // Our icons that a system tray shows.
    std::vector<WindowId> trayIcons();
    // The windows of notes, each named by its note's id (its window role).
    struct NoteWindow {
        WindowId window;
        QUuid note;
    };
    std::vector<NoteWindow> noteWindows();
    WindowId windowOf(const QUuid& note);
    QUuid noteOf(WindowId window);

private:
    QProcessEnvironment environment() const;
    // Those of the display's windows in `list` that belong to this process.
    std::vector<WindowId> ours(std::vector<WindowId> (XDisplay::*list)());

    DesktopSession& m_session;
    QString m_dataDirectory;
    ManagedProcess m_process;
    QProcessEnvironment m_extra;
    int m_launches = 0;
};

} // namespace quorrin::desktop
