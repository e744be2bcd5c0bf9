#pragma once

#include "App/ErrorPresenter.h"
#include "App/ReminderIndication.h"
#include "App/SaveFailureNotice.h"
#include "App/TerminationProtocol.h"
#include "Platform/DesktopOpener.h"
#include "Platform/InstanceChannel.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <chrono>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QSystemTrayIcon;
class QUndoStack;

namespace quorrin {

class AlertPresenter;
class ApplicationMenus;
class ButtonCursorSupport;
class FocusedTextCommands;
class GlobalMouseMonitor;
class LocalMouseMonitor;
class MenuFocus;
class OutsideClicks;
class RegisteredNoteWindow;
struct MenuItem;
class DialogFolder;
class DocumentIO;
class FileCommands;
class FileDialogs;
class NoteRegistry;
class NoteStore;
class NoteStoreReminderSource;
class PanelCommands;
class NotificationCenter;
class ReminderAlarmCenter;
class ReminderCoordinator;
class ScreenChangeMonitor;
class ScreenProvider;
class StatusItem;
class SystemEvents;
class TextServiceEndpoint;
class TrayHost;

// What the application takes from its surroundings; tests replace each part.
struct AppEnvironment {
    AlertPresenter* alerts = nullptr;
    // Where failed saves are told while the user types on; a window that
    // never takes the keyboard when not given.
    std::shared_ptr<NoticePresenter> notices;
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
    // directory, and says what became of it.
    std::function<InstanceChannel::Delivery(const QString& dataDirectory, const QStringList& request)> handOver;
    // Ends the process's event loop with that exit code.
    std::function<void(int exitCode)> exit;
    // How long a launch that finds the data directory held and nobody taking
    // its request keeps asking: the holder may be just ending.
    std::chrono::milliseconds holderExitWait = std::chrono::seconds(5);
    // The open and save panels; the desktop's file dialogs when not given.
    std::shared_ptr<FileDialogs> fileDialogs;
    // Asks the user to confirm (message, informative text, confirming and
    // cancelling button); a message box when not given.
    std::function<bool(const QString&, const QString&, const QString&, const QString&)> confirm;
    // Shows a file in the desktop's file manager, telling `failed` when
    // nothing showed it; the real one when not given.
    std::function<void(const QString& path, OpenFailure failed)> reveal;
    // Observes each launch step by name (tests check the order).
    std::function<void(const QString& step)> trace;
    // Says whether the desktop has a tray for the status icon; the
    // desktop's when not given.
    std::function<std::unique_ptr<TrayHost>()> makeTrayHost;
    // Whether to watch presses in other applications (off in tests, which
    // call the outside-click handling themselves).
    bool watchOtherApplications = true;
};

// The auxiliary panels the menus open; each does nothing until it is set.
struct AuxiliaryPanelHooks {
    std::function<void()> settings;
    std::function<void()> archive;
    std::function<void()> trash;
    std::function<void()> searchAll;
    std::function<void()> about;
    // The find and replace bar of a note.
    std::function<void(RegisteredNoteWindow& note)> showFindBar;
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
    // Once the event loop has ended, just before the process ends without
    // taking its windows apart: closes what other processes see (the store
    // and its lock, the channel later launches look for) and lets messages
    // already handed to the session bus go out. The delegate is neither used
    // nor destroyed afterwards.
    void closeForExit();
    // Shows every note, hidden ones included (a second launch, the tray icon).
    void reopen();

    // Reports a failure to the user through the one-at-a-time presenter.
    void presentError(const std::exception_ptr& error);

    // Brings the application forward, for a window in particular when one is
    // given (the note a reminder is opened for); replaceable. Every command
    // that activates the application calls it.
    std::function<void(QWidget* forWindow)> activateApplication;
    // The panels behind "设置…", "归档事项…", "最近删除…", "搜索全部便笺…",
    // "关于 Quorrin" and the find bar.
    AuxiliaryPanelHooks panels;
    // Target of "撤销全局替换"; nothing registers on it yet.
    QUndoStack& globalUndo() const { return *m_globalUndo; }

    // "隐藏 Quorrin": every window of the application goes off the screen,
    // the notes' own settings untouched; showing notes brings them back.
    void hideApplication();
    // The status item was clicked: its menu opens at the pointer.
    void statusItemClicked();

    ApplicationMenus* menus() const { return m_menus.get(); }
    // The actions whose shortcuts every window of the application carries.
    QList<QAction*> applicationActions() const;
    // The tray icon; none before a tray was first there.
    QSystemTrayIcon* statusItem() const;
    // Whether a tray shows the icon now; where none does, every note's menu
    // carries the status menu's commands.
    bool isStatusItemShown() const;
    MenuFocus* menuFocus() const { return m_menuFocus.get(); }
    OutsideClicks* outsideClicks() const { return m_outsideClicks.get(); }

    NoteStore* store() const { return m_store.get(); }
    NoteRegistry* registry() const { return m_registry.get(); }
    ReminderCoordinator* reminders() const { return m_reminders.get(); }
    ReminderAlarmCenter* alarms() const { return m_alarms.get(); }
    FileCommands* fileCommands() const { return m_fileCommands.get(); }
    PanelCommands* panelCommands() const { return m_panels.get(); }
    bool startupFailed() const { return m_startupFailed; }
    bool isLaunched() const { return m_launched; }

private:
    void step(const QString& name);
    void failLaunch(const std::exception_ptr& error);
    // Opens the store, or hands the request to the instance holding it.
    // False when the launch ends here or goes on later by itself: when
    // nobody takes the request, the lock is tried again (`waitingForHolder`)
    // without handing the request over again.
    bool openStore(const QStringList& request, const std::optional<QDeadlineTimer>& waitingForHolder);
    // Tries the store again shortly, until `holderExit` expires; then the
    // launch fails with the error being handled.
    void waitForHolder(const QStringList& request, const QDeadlineTimer& holderExit);
    // The rest of the launch, once the store is open.
    void launchWithStore(const QStringList& request);
    void createReminderServices();
    void createAlarms();
    void openFromReminder(const QUuid& noteID, const QUuid& blockID);
    void reminderAlarmsChanged();
    // The tray icon's dot and tool tip, from the ringing reminders.
    void updateReminderStatusIndicator();
    void installOutsideClickMonitoring();
    void buildMenu();
    void createStatusItem();
    // The status menu's commands at the end of a note's menu while no tray
    // shows the icon.
    void addStatusCommandsWithoutTray(QMenu& noteMenu) const;
    std::map<QString, std::function<void(const MenuItem&)>> menuCommands();
    void activateWindows(QWidget* forWindow);
    void createRegistry();
    void createFileCommands();
    void restoreNotesOnLaunch(std::function<void()> then);
    // The launch steps after the notes are shown.
    void finishLaunch(const QStringList& request);
    // A second launch's request; `answer` learns whether the files opened.
    void handleRequest(const QStringList& request, const std::function<void(bool)>& answer);
    void finishQuit(bool terminate);
    void commitPendingInput();
    bool saveStore();

    AppEnvironment m_environment;
    std::unique_ptr<ButtonCursorSupport> m_buttonCursors;
    std::unique_ptr<NoteStore> m_store;
    std::unique_ptr<ErrorPresenter> m_errors;
    std::unique_ptr<SaveFailureNotice> m_saveNotice;
    std::unique_ptr<NotificationCenter> m_notificationCenter;
    std::unique_ptr<SystemEvents> m_systemEvents;
    std::unique_ptr<NoteStoreReminderSource> m_reminderSource;
    std::unique_ptr<ReminderCoordinator> m_reminders;
    std::unique_ptr<ReminderAlarmCenter> m_alarms;
    std::unique_ptr<DocumentIO> m_documents;
    // Where every file dialog opens: the last folder used, shared by all.
    std::shared_ptr<DialogFolder> m_dialogFolder;
    std::unique_ptr<NoteRegistry> m_registry;
    std::unique_ptr<FileCommands> m_fileCommands;
    std::unique_ptr<PanelCommands> m_panels;
    std::unique_ptr<TextServiceEndpoint> m_textService;
    std::unique_ptr<ScreenChangeMonitor> m_screenMonitor;
    std::unique_ptr<InstanceChannel> m_channel;
    std::unique_ptr<QUndoStack> m_globalUndo;
    std::unique_ptr<ApplicationMenus> m_menus;
    std::unique_ptr<MenuFocus> m_menuFocus;
    std::unique_ptr<OutsideClicks> m_outsideClicks;
    std::unique_ptr<FocusedTextCommands> m_textCommands;
    std::unique_ptr<LocalMouseMonitor> m_localMouseMonitor;
    std::unique_ptr<GlobalMouseMonitor> m_outsideMouseMonitor;
    std::unique_ptr<StatusItem> m_statusItem;
    bool m_attentionRequested = false;
    // Windows other than notes that "隐藏 Quorrin" took off the screen.
    QList<QPointer<QWidget>> m_hiddenWindows;
    struct QueuedRequest {
        QStringList files;
        std::function<void(bool)> answer;
    };
    QList<QueuedRequest> m_queuedRequests;
    bool m_launched = false;
    bool m_startupFailed = false;
    bool m_quitting = false;
};

} // namespace quorrin
