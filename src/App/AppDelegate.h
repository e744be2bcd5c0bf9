#pragma once

#include "App/ErrorPresenter.h"
#include "App/TerminationProtocol.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <exception>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace quorrin {

class AlertPresenter;
class ButtonCursorSupport;
class DocumentIO;
class FileCommands;
class FileDialogs;
class InstanceChannel;
class NoteRegistry;
class NoteStore;
class NoteStoreReminderSource;
class NotificationCenter;
class ReminderAlarmCenter;
class ReminderCoordinator;
class ScreenChangeMonitor;
class ScreenProvider;
class SystemEvents;
class TextServiceEndpoint;

// What the application takes from its surroundings; tests replace each part.
struct AppEnvironment {
    AlertPresenter* alerts = nullptr;
    // The data directory; the default one (QUORRIN_DATA_DIR or the user's
    // data location) when not given.
    std::optional<QString> root;
    std::shared_ptr<const ScreenProvider> screens;
    // Watches sleep, clock and time-zone changes; may give null.
    std::function<std::unique_ptr<SystemEvents>()> makeSystemEvents;
    // The system notification centre, told of the machine's events (which may
    // be null); none runs the application without reminders reaching the
    // desktop.
    std::function<std::unique_ptr<NotificationCenter>(SystemEvents* events)> makeNotificationCenter;
    // Hands a second launch's request to the instance that holds the data
    // directory; true when it was taken.
    std::function<bool(const QString& dataDirectory, const QStringList& request)> handOver;
    // Ends the process's event loop with that exit code.
    std::function<void(int exitCode)> exit;
    // The open and save panels; the desktop's file dialogs when not given.
    std::shared_ptr<FileDialogs> fileDialogs;
    // Asks the user to confirm (message, informative text, confirming and
    // cancelling button); a message box when not given.
    std::function<bool(const QString&, const QString&, const QString&, const QString&)> confirm;
    // Shows a file in the desktop's file manager; the real one when not given.
    std::function<void(const QString& path)> reveal;
    // Observes each launch step by name (tests check the order).
    std::function<void(const QString& step)> trace;
};

// The application delegate: starts the application, owns the store, the
// reminder services, the note registry and the workspace, and runs the quit
// protocol. Everything runs on the main thread.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    static inline const QString launchFailureMessage = QStringLiteral("无法打开便笺数据，原文件未被覆盖");
    static inline const QString launchFailureAdvice = QStringLiteral("\n请保留数据文件夹，可从备份恢复。");

    explicit AppDelegate(AppEnvironment environment, QObject* parent = nullptr);
    ~AppDelegate() override;

    // The launch sequence. `request` holds the files handed over on the
    // command line (empty for a plain start).
    void launch(const QStringList& request = {});

    // Runs the quit protocol; the application exits once it answers yes.
    void requestQuit();
    // Saves what can be saved when the session ends without waiting.
    void commitForSessionEnd();
    // Shows every note, hidden ones included (a second launch, the tray icon).
    void reopen();

    // Reports a failure to the user through the one-at-a-time presenter.
    void presentError(const std::exception_ptr& error);

    NoteStore* store() const { return m_store.get(); }
    NoteRegistry* registry() const { return m_registry.get(); }
    ReminderCoordinator* reminders() const { return m_reminders.get(); }
    ReminderAlarmCenter* alarms() const { return m_alarms.get(); }
    FileCommands* fileCommands() const { return m_fileCommands.get(); }
    bool startupFailed() const { return m_startupFailed; }
    bool isLaunched() const { return m_launched; }

private:
    void step(const QString& name);
    void failLaunch(const std::exception_ptr& error);
    void createReminderServices();
    void createAlarms();
    void openFromReminder(const QUuid& noteID, const QUuid& blockID);
    void reminderAlarmsChanged();
    void buildMenus();
    void createRegistry();
    void createFileCommands();
    void restoreNotesOnLaunch(std::function<void()> then);
    // The launch steps after the notes are shown.
    void finishLaunch(const QStringList& request);
    void handleRequest(const QStringList& request);
    void finishQuit(bool terminate);
    void commitPendingInput();
    bool saveStore();

    AppEnvironment m_environment;
    std::unique_ptr<ButtonCursorSupport> m_buttonCursors;
    std::unique_ptr<NoteStore> m_store;
    std::unique_ptr<ErrorPresenter> m_errors;
    std::unique_ptr<NotificationCenter> m_notificationCenter;
    std::unique_ptr<SystemEvents> m_systemEvents;
    std::unique_ptr<NoteStoreReminderSource> m_reminderSource;
    std::unique_ptr<ReminderCoordinator> m_reminders;
    std::unique_ptr<ReminderAlarmCenter> m_alarms;
    std::unique_ptr<DocumentIO> m_documents;
    std::unique_ptr<NoteRegistry> m_registry;
    std::unique_ptr<FileCommands> m_fileCommands;
    std::unique_ptr<TextServiceEndpoint> m_textService;
    std::unique_ptr<ScreenChangeMonitor> m_screenMonitor;
    std::unique_ptr<InstanceChannel> m_channel;
    std::unique_ptr<QMenu> m_statusMenu;
    QPointer<QSystemTrayIcon> m_statusItem;
    QList<QAction*> m_applicationActions;
    QList<QStringList> m_queuedRequests;
    bool m_launched = false;
    bool m_startupFailed = false;
    bool m_quitting = false;
};

} // namespace quorrin
