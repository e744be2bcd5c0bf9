#include "App/AppDelegate.h"

#include "App/ControllerNoteWindow.h"
#include "App/FileCommands.h"
#include "App/NoteRegistry.h"
#include "Domain/AppError.h"
#include "Editor/BlockEditor.h"
#include "Features/DocumentIO.h"
#include "Features/Reminders/NoteStoreReminderSource.h"
#include "Features/Reminders/ReminderAlarmCenter.h"
#include "Features/Reminders/ReminderCoordinator.h"
#include "Persistence/NoteStore.h"
#include "Persistence/StoreAccessError.h"
#include "Platform/AlertPresenter.h"
#include "Core/Files/DataDirectory.h"
#include "Core/Notifications/NotificationCenter.h"
#include "Platform/FileManager.h"
#include "Platform/InstanceChannel.h"
#include "Platform/QtDesktopMetrics.h"
#include "Platform/ScreenChangeMonitor.h"
#include "Platform/SystemEvents.h"
#include "Platform/TextServiceEndpoint.h"
#include "Widgets/ButtonCursorSupport.h"
#include "Widgets/NoteIcons.h"
#include "Windows/NoteWindowController.h"
#include "Windows/StickyPanel.h"

#include <QAction>
#include <QApplication>
#include <QDBusConnection>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

namespace quorrin {

AppDelegate::AppDelegate(AppEnvironment environment, QObject* parent)
    : QObject(parent)
    , m_environment(std::move(environment))
    , m_buttonCursors(std::make_unique<ButtonCursorSupport>())
{
}

AppDelegate::~AppDelegate()
{
    // Windows and the reminder services refer to the store: they go first.
    m_textService.reset();
    m_fileCommands.reset();
    m_registry.reset();
    m_alarms.reset();
    m_reminders.reset();
    m_reminderSource.reset();
}

void AppDelegate::step(const QString& name)
{
    if (m_environment.trace)
        m_environment.trace(name);
}

void AppDelegate::launch(const QStringList& request)
{
    step(QStringLiteral("buttonCursors"));
    m_buttonCursors->install();

    step(QStringLiteral("openStore"));
    try {
        NoteStoreServices services;
        services.desktop = std::make_shared<QtDesktopMetrics>(m_environment.screens);
        m_store = std::make_unique<NoteStore>(m_environment.root, true, std::move(services));
    } catch (const StoreAccessError&) {
        // Another instance holds the data directory: hand it our request and
        // leave the data alone.
        const QString root = m_environment.root.value_or(defaultDataDirectory());
        if (m_environment.handOver && m_environment.handOver(root, request)) {
            m_startupFailed = true;
            m_environment.exit(0);
            return;
        }
        failLaunch(std::current_exception());
        return;
    } catch (...) {
        failLaunch(std::current_exception());
        return;
    }

    // Holding the lock, this instance now answers later launches; requests
    // that arrive before launching ends wait in the queue.
    m_channel = std::make_unique<InstanceChannel>();
    connect(m_channel.get(), &InstanceChannel::received, this, &AppDelegate::handleRequest);
    m_channel->listen(InstanceChannel::serverName(m_store->root()));

    step(QStringLiteral("closeRetentionUpgrade"));
    try {
        m_store->upgradeCloseRetentionIfNeeded();
    } catch (...) {
        failLaunch(std::current_exception());
        return;
    }

    step(QStringLiteral("errorPresenter"));
    m_errors = std::make_unique<ErrorPresenter>(*m_environment.alerts);
    m_store->setOnError([this](std::exception_ptr error) { presentError(error); });

    step(QStringLiteral("reminders"));
    createRegistry();
    createFileCommands();
    createReminderServices();

    step(QStringLiteral("alarms"));
    createAlarms();

    step(QStringLiteral("menus"));
    buildMenus();

    step(QStringLiteral("restoreNotes"));
    // With many notes the windows appear over several event-loop turns; the
    // launch goes on once they all exist, and a quit in between is served.
    restoreNotesOnLaunch([this, request] { finishLaunch(request); });
}

void AppDelegate::finishLaunch(const QStringList& request)
{
    step(QStringLiteral("textService"));
    m_textService = std::make_unique<TextServiceEndpoint>(
        [this](const QString& text) { return m_registry->newFromSelection(text); });
    // Without a session bus the rest of the application works as before.
    m_textService->registerOn(QDBusConnection::sessionBus());

    step(QStringLiteral("screens"));
    m_screenMonitor = std::make_unique<ScreenChangeMonitor>();
    connect(m_screenMonitor.get(), &ScreenChangeMonitor::changed, this,
            [this] { m_registry->workspace().screenParametersChanged(); });

    m_launched = true;
    if (!request.isEmpty())
        m_queuedRequests.prepend(request);
    const QList<QStringList> queued = std::exchange(m_queuedRequests, {});
    for (const QStringList& pending : queued)
        handleRequest(pending);
}

void AppDelegate::failLaunch(const std::exception_ptr& error)
{
    m_startupFailed = true;
    m_environment.alerts->present(launchFailureMessage, describeError(error) + launchFailureAdvice);
    m_environment.exit(1);
}

void AppDelegate::createRegistry()
{
    // Every note window carries the application's commands, so their
    // shortcuts work whichever note is in front.
    NoteRegistryServices services;
    services.screens = m_environment.screens;
    NoteWindowController::Services windowServices;
    windowServices.screens = m_environment.screens;
    windowServices.exportNote = [this](NoteWindowController& controller) {
        if (RegisteredNoteWindow* window = m_registry->controller(controller.noteID()))
            m_documents->exportNote(FileCommands::sourceOf(*m_store, *window));
    };
    windowServices.shareNote = [this](NoteWindowController& controller, const QRect& rect, QWidget* view) {
        if (RegisteredNoteWindow* window = m_registry->controller(controller.noteID()))
            m_documents->share(FileCommands::sourceOf(*m_store, *window), rect, view);
    };
    services.makeWindow = [this, windowServices](NoteStore& store, const Note& note) {
        auto controller = std::make_unique<NoteWindowController>(store, note, windowServices);
        controller->panel()->addActions(m_applicationActions);
        if (BlockEditor* editor = controller->editor()) {
            editor->importDocument = [this](const QString& path) {
                if (m_fileCommands)
                    m_fileCommands->importDroppedDocument(path);
            };
        }
        return std::make_unique<ControllerNoteWindow>(std::move(controller));
    };
    m_registry = std::make_unique<NoteRegistry>(*m_store, std::move(services));
}

void AppDelegate::createFileCommands()
{
    std::shared_ptr<FileDialogs> dialogs = m_environment.fileDialogs;
    if (!dialogs)
        dialogs = std::make_shared<QtFileDialogs>();
    // The alert presenter belongs to the environment, which outlives us.
    const std::shared_ptr<AlertPresenter> alerts(std::shared_ptr<AlertPresenter>(), m_environment.alerts);
    m_documents = std::make_unique<DocumentIO>(dialogs, std::make_unique<DesktopShareServices>(), alerts);

    FileCommandServices services;
    services.dialogs = std::move(dialogs);
    services.alerts = m_environment.alerts;
    services.confirm = m_environment.confirm;
    services.reveal = m_environment.reveal ? m_environment.reveal : &revealInFileManager;
    m_fileCommands = std::make_unique<FileCommands>(*m_store, *m_registry, *m_documents, std::move(services));
}

void AppDelegate::createReminderServices()
{
    if (!m_environment.makeNotificationCenter)
        return;
    if (m_environment.makeSystemEvents)
        m_systemEvents = m_environment.makeSystemEvents();
    m_notificationCenter = m_environment.makeNotificationCenter(m_systemEvents.get());
    if (!m_notificationCenter)
        return;
    m_reminderSource = std::make_unique<NoteStoreReminderSource>(*m_store);
    m_reminders = std::make_unique<ReminderCoordinator>(m_reminderSource.get(), *m_notificationCenter,
                                                        m_systemEvents.get());
    m_reminders->open = [this](QUuid noteID, QUuid blockID) { openFromReminder(noteID, blockID); };
    m_registry->setReminders(m_reminders.get());
}

void AppDelegate::openFromReminder(const QUuid& noteID, const QUuid& blockID)
{
    // Answering a notification shows the todo with its remarks unfolded.
    if (std::optional<Note> note = m_store->note(noteID)) {
        for (Block& block : note->blocks) {
            if (block.id != blockID)
                continue;
            if (block.todo) {
                block.todo->notesExpanded = true;
                m_store->update(*note, true, true);
            }
            break;
        }
    }
    m_registry->open(noteID, blockID, true);
}

void AppDelegate::createAlarms()
{
    ReminderAlarmServices services;
    services.events = m_systemEvents.get();
    m_alarms = std::make_unique<ReminderAlarmCenter>(m_store.get(), systemNow(), std::move(services));
    m_alarms->onChange = [this] { reminderAlarmsChanged(); };
    m_registry->ringingAlarms = [this] {
        std::vector<std::pair<QUuid, QUuid>> ringing;
        for (const ReminderAlarmCenter::Alarm& alarm : m_alarms->alarms())
            ringing.emplace_back(alarm.noteID, alarm.blockID);
        return ringing;
    };
    m_alarms->start();
}

void AppDelegate::reminderAlarmsChanged()
{
    // Ringing reminders ask for the user's attention and show in every editor.
    const bool ringing = !m_alarms->alarms().empty();
    for (RegisteredNoteWindow* window : m_registry->controllers()) {
        if (BlockEditor* editor = window->editor())
            editor->refreshAlarmVisuals();
        if (ringing)
            window->requestAttention();
    }
}

void AppDelegate::buildMenus()
{
    auto addAction = [this](const QString& title, const QKeySequence& shortcut, auto handler) {
        auto* action = new QAction(title, this);
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::ApplicationShortcut);
        connect(action, &QAction::triggered, this, handler);
        m_applicationActions << action;
        return action;
    };
    QAction* newNote = addAction(QStringLiteral("新建便笺"), QKeySequence(Qt::CTRL | Qt::Key_N),
                                 [this] { m_registry->newNote(); });
    QAction* fromClipboard = addAction(QStringLiteral("从剪贴板新建"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N),
                                       [this] { m_registry->newFromClipboard(); });
    QAction* showAll = addAction(QStringLiteral("显示全部便笺"), QKeySequence(), [this] { reopen(); });
    QAction* importDocuments = addAction(QStringLiteral("导入 TXT / RTF / RTFD…"), QKeySequence(Qt::CTRL | Qt::Key_O),
                                         [this] { m_fileCommands->importDocuments(); });
    QAction* exportCurrent = addAction(QStringLiteral("导出当前便笺…"), QKeySequence(Qt::CTRL | Qt::Key_E),
                                       [this] { m_fileCommands->exportCurrent(); });
    QAction* backup = addAction(QStringLiteral("完整备份…"), QKeySequence(), [this] { m_fileCommands->backup(); });
    QAction* restore = addAction(QStringLiteral("从备份恢复…"), QKeySequence(),
                                 [this] { m_fileCommands->restoreBackup(); });
    QAction* quit = addAction(QStringLiteral("退出 Quorrin"), QKeySequence(Qt::CTRL | Qt::Key_Q),
                              [this] { requestQuit(); });

    m_statusMenu = std::make_unique<QMenu>();
    m_statusMenu->addAction(newNote);
    m_statusMenu->addAction(fromClipboard);
    m_statusMenu->addAction(showAll);
    m_statusMenu->addSeparator();
    QMenu* file = m_statusMenu->addMenu(QStringLiteral("文件"));
    file->addAction(importDocuments);
    file->addAction(exportCurrent);
    file->addSeparator();
    file->addAction(backup);
    file->addAction(restore);
    m_statusMenu->addSeparator();
    m_statusMenu->addAction(quit);

    // The tray may be missing (no status notifier host): the menu and its
    // shortcuts still exist on every note window.
    m_statusItem = new QSystemTrayIcon(this);
    m_statusItem->setToolTip(QStringLiteral("Quorrin · 点击浮起全部便笺"));
    m_statusItem->setContextMenu(m_statusMenu.get());
    m_statusItem->setIcon(NoteIcons::icon(NoteSymbol::NoteText));
    connect(m_statusItem, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            m_registry->raiseAllNotes(true, false);
    });
    if (QSystemTrayIcon::isSystemTrayAvailable())
        m_statusItem->show();
}

void AppDelegate::restoreNotesOnLaunch(std::function<void()> then)
{
    if (m_store->hasActiveNotes()) {
        m_registry->workspace().presentAllGradually(std::move(then));
        return;
    }
    if (m_store->isFirstLaunch())
        m_registry->newNote();
    then();
}

void AppDelegate::handleRequest(const QStringList& request)
{
    if (!m_launched) {
        m_queuedRequests << request;
        return;
    }
    // A plain second launch brings every note forward; one that names files
    // opens them.
    if (request.isEmpty())
        reopen();
    else
        m_fileCommands->openFiles(request);
}

void AppDelegate::reopen()
{
    if (m_registry)
        m_registry->showAll();
}

void AppDelegate::presentError(const std::exception_ptr& error)
{
    if (m_errors)
        m_errors->present(describeError(error));
}

void AppDelegate::commitPendingInput()
{
    if (!m_registry)
        return;
    for (RegisteredNoteWindow* window : m_registry->controllers())
        window->commitPendingInput();
}

bool AppDelegate::saveStore()
{
    try {
        m_store->save();
        return true;
    } catch (...) {
        m_store->reportError(std::current_exception());
        return false;
    }
}

void AppDelegate::requestQuit()
{
    if (m_quitting)
        return; // a quit is already waiting for the reminder schedule
    TerminationProtocol::Steps steps;
    steps.startupFailed = m_startupFailed;
    steps.hasStore = m_store != nullptr;
    steps.finishMove = [this] {
        if (m_registry)
            m_registry->workspace().finishMove();
    };
    steps.commitPendingInput = [this] { commitPendingInput(); };
    steps.save = [this] { return saveStore(); };
    if (m_reminders) {
        steps.flushReminders = [reminders = QPointer<ReminderCoordinator>(m_reminders.get())](
                                   std::function<void()> done) {
            if (reminders)
                reminders->flush(std::move(done));
        };
    }
    steps.schedule = [this](int delayMs, std::function<void()> callback) {
        QTimer::singleShot(delayMs, this, std::move(callback));
    };
    steps.replyLater = [this](bool terminate) { finishQuit(terminate); };
    steps.reportError = [this](const QString& message) {
        m_store->reportError(std::make_exception_ptr(AppError(message)));
    };

    switch (TerminationProtocol::run(steps)) {
    case TerminationProtocol::Reply::Now:
        m_environment.exit(0);
        break;
    case TerminationProtocol::Reply::Cancel:
        break;
    case TerminationProtocol::Reply::Later:
        m_quitting = true;
        break;
    }
}

void AppDelegate::finishQuit(bool terminate)
{
    m_quitting = false;
    if (!terminate)
        return;
    // Typing while the quit waited must not be lost.
    commitPendingInput();
    if (!saveStore())
        return;
    m_environment.exit(0);
}

void AppDelegate::commitForSessionEnd()
{
    if (m_startupFailed || !m_store)
        return;
    commitPendingInput();
    saveStore();
}

} // namespace quorrin
