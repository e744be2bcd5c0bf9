#include "App/AppDelegate.h"

#include "App/ApplicationMenus.h"
#include "App/ControllerNoteWindow.h"
#include "App/FocusedTextCommands.h"
#include "App/MenuFocus.h"
#include "App/OutsideClicks.h"
#include "App/FileCommands.h"
#include "App/NoteRegistry.h"
#include "App/PanelCommands.h"
#include "App/StatusItem.h"
#include "Domain/AppError.h"
#include "Editor/BlockEditor.h"
#include "Editor/BlockTextView.h"
#include "Features/Attachments/AttachmentPanel.h"
#include "Features/DocumentIO.h"
#include "Features/FileShelf/FileShelfWidgets.h"
#include "Features/Reminders/NoteStoreReminderSource.h"
#include "Features/Reminders/ReminderAlarmCenter.h"
#include "Features/Reminders/ReminderCoordinator.h"
#include "Features/Reminders/ReminderPanel.h"
#include "Persistence/NoteStore.h"
#include "Persistence/SaveFailure.h"
#include "Persistence/StoreAccessError.h"
#include "Platform/AlertPresenter.h"
#include "Platform/DialogFolder.h"
#include "Core/Files/DataDirectory.h"
#include "Core/Notifications/NotificationCenter.h"
#include "Platform/FileManager.h"
#include "Platform/InstanceChannel.h"
#include "Platform/MouseMonitors.h"
#include "Platform/QtDesktopMetrics.h"
#include "Platform/ReducedMotion.h"
#include "Platform/ScreenChangeMonitor.h"
#include "Platform/SystemEvents.h"
#include "Platform/TextServiceEndpoint.h"
#include "Platform/X11WindowBehaviour.h"
#include "Widgets/ButtonCursorSupport.h"
#include "Widgets/NoteIcons.h"
#include "Windows/NoteWindowController.h"
#include "Windows/StickyPanel.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QMenu>
#include <QTimer>
#include <QUndoStack>

namespace quorrin {

namespace {
// How long leaving waits for the session bus to take the last messages.
constexpr int busFlushLimitMs = 1000;
// How often a launch asks again while the data directory's holder is ending.
constexpr int holderExitPollMs = 50;
} // namespace

AppDelegate::AppDelegate(AppEnvironment environment, QObject* parent)
    : QObject(parent)
    , m_environment(std::move(environment))
    , m_buttonCursors(std::make_unique<ButtonCursorSupport>())
    , m_dialogFolder(std::make_shared<DialogFolder>())
    , m_globalUndo(std::make_unique<QUndoStack>())
{
    activateApplication = [this](QWidget* forWindow) { activateWindows(forWindow); };
    panels.showFindBar = [](RegisteredNoteWindow& note) {
        if (BlockEditor* editor = note.editor())
            editor->showFindBar();
    };
}

AppDelegate::~AppDelegate()
{
    // The monitors go first, then windows and the reminder services, which
    // refer to the store.
    m_outsideMouseMonitor.reset();
    m_localMouseMonitor.reset();
    m_outsideClicks.reset();
    m_menuFocus.reset();
    m_statusItem.reset();
    m_textService.reset();
    m_panels.reset();
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
    if (openStore(request, std::nullopt))
        launchWithStore(request);
}

bool AppDelegate::openStore(const QStringList& request, const std::optional<QDeadlineTimer>& waitingForHolder)
{
    try {
        NoteStoreServices services;
        services.desktop = std::make_shared<QtDesktopMetrics>(m_environment.screens);
        services.writeInBackground = true;
        m_store = std::make_unique<NoteStore>(m_environment.root, true, std::move(services));
    } catch (const StoreAccessError&) {
        if (waitingForHolder) {
            // The request went out once already: a holder that did not
            // answer in time may still have taken it. Only the lock is tried.
            waitForHolder(request, *waitingForHolder);
            return false;
        }
        // Another instance holds the data directory: hand it our request and
        // leave the data alone.
        const QString root = m_environment.root.value_or(defaultDataDirectory());
        const auto endSaying = [this](const QString& message) {
            m_startupFailed = true;
            m_environment.alerts->present(message, QString());
            m_environment.exit(1);
        };
        if (InstanceChannel::isTooLarge(request)) {
            endSaying(InstanceChannel::requestTooLargeMessage);
            return false;
        }
        const InstanceChannel::Delivery delivery =
            m_environment.handOver ? m_environment.handOver(root, request) : InstanceChannel::Delivery::NotTaken;
        switch (delivery) {
        case InstanceChannel::Delivery::NotTaken: break;
        case InstanceChannel::Delivery::Busy:
            // Nothing is wrong with the data: the running instance just did
            // not take the request in time.
            endSaying(InstanceChannel::busyMessage);
            return false;
        case InstanceChannel::Delivery::Opened:
        case InstanceChannel::Delivery::NotOpened:
            // The running instance answered: this launch succeeded when the
            // files it named were opened there.
            m_startupFailed = true;
            m_environment.exit(delivery == InstanceChannel::Delivery::Opened ? 0 : 1);
            return false;
        }
        // Nobody took the request. An instance that is ending closes its
        // channel a moment before it lets go of the lock.
        waitForHolder(request, QDeadlineTimer(m_environment.holderExitWait));
        return false;
    } catch (...) {
        failLaunch(std::current_exception());
        return false;
    }
    return true;
}

void AppDelegate::waitForHolder(const QStringList& request, const QDeadlineTimer& holderExit)
{
    if (holderExit.hasExpired()) {
        // The holder plainly is not ending.
        failLaunch(std::current_exception());
        return;
    }
    QTimer::singleShot(holderExitPollMs, this, [this, request, holderExit] {
        if (openStore(request, holderExit))
            launchWithStore(request);
    });
}

void AppDelegate::launchWithStore(const QStringList& request)
{
    // Holding the lock, this instance now answers later launches; requests
    // that arrive before launching ends wait in the queue.
    m_channel = std::make_unique<InstanceChannel>();
    connect(m_channel.get(), &InstanceChannel::received, this, [this](const QStringList& files, quint64 request) {
        const QPointer<InstanceChannel> channel = m_channel.get();
        handleRequest(files, [channel, request](bool opened) {
            if (channel)
                channel->answer(request, opened);
        });
    });
    QString channelFailure;
    const bool listening = m_channel->listen(InstanceChannel::serverName(m_store->root()), &channelFailure);

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
    if (!listening) {
        // Everything else works; only later launches cannot reach this one.
        m_errors->present(QStringLiteral("无法建立实例通道（%1）。之后再打开 Quorrin 或交给它的文件将无法转到这里，"
                                         "请退出后重新启动 Quorrin。")
                              .arg(channelFailure));
    }
    // A failed save is told in a notice that leaves the keyboard to the
    // note, so typing goes on into it; the notice says when all is saved.
    if (!m_environment.notices)
        m_environment.notices = std::make_shared<WindowNoticePresenter>();
    m_saveNotice = std::make_unique<SaveFailureNotice>(*m_environment.notices);
    connect(m_store.get(), &NoteStore::unsavedChangesSaved, this, [this] { m_saveNotice->saved(); });
    // A save waiting to be tried again is tried as soon as the user acts:
    // closes an alert or the notice, or comes back to the application.
    m_errors->onDismissed = [this] { m_store->retrySaveNow(); };
    m_saveNotice->onClosedUnsaved = [this] { m_store->retrySaveNow(); };
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(gui, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            if (state == Qt::ApplicationActive && m_store)
                m_store->retrySaveNow();
        });
    }

    step(QStringLiteral("reminders"));
    createRegistry();
    createFileCommands();
    createReminderServices();

    step(QStringLiteral("alarms"));
    createAlarms();

    step(QStringLiteral("outsideClicks"));
    installOutsideClickMonitoring();

    step(QStringLiteral("menus"));
    buildMenu();

    step(QStringLiteral("statusItem"));
    createStatusItem();

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
    m_textService->onTooLong = [this](const QString& message) {
        presentError(std::make_exception_ptr(AppError(message)));
    };
    // Without a session bus the rest of the application works as before.
    m_textService->registerOn(QDBusConnection::sessionBus());

    step(QStringLiteral("screens"));
    m_screenMonitor = std::make_unique<ScreenChangeMonitor>();
    connect(m_screenMonitor.get(), &ScreenChangeMonitor::changed, this,
            [this] { m_registry->workspace().screenParametersChanged(); });

    m_launched = true;
    if (!request.isEmpty())
        m_queuedRequests.prepend({request, {}});
    const QList<QueuedRequest> queued = std::exchange(m_queuedRequests, {});
    for (const QueuedRequest& pending : queued)
        handleRequest(pending.files, pending.answer);
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
    // The desktop is asked once for all windows, in the background: asking
    // starts a process, which no window waits for.
    std::shared_ptr<ReducedMotion> motion = ReducedMotion::readInBackground();
    windowServices.prefersReducedMotion = [motion] { return motion->isPreferred(); };
    // Whether notes show their opacity and leave their edge to the
    // compositor is settled once, for every window.
    const bool compositing = X11WindowBehaviour::compositingManagerRunning();
    windowServices.desktopComposites = [compositing] { return compositing; };
    windowServices.parts.installFileShelves = installFileShelfWidgets;
    windowServices.dialogFolder = m_dialogFolder;
    windowServices.exportNote = [this](NoteWindowController& controller) {
        if (RegisteredNoteWindow* window = m_registry->controller(controller.noteID()))
            m_documents->exportNote(FileCommands::sourceOf(*m_store, *window));
    };
    windowServices.extendNoteMenu = [this](QMenu& menu) { addStatusCommandsWithoutTray(menu); };
    windowServices.shareNote = [this](NoteWindowController& controller, const QRect& rect, QWidget* view) {
        if (RegisteredNoteWindow* window = m_registry->controller(controller.noteID()))
            m_documents->share(FileCommands::sourceOf(*m_store, *window), rect, view);
    };
    windowServices.parts.makeReminderPanel = [](BlockEditor& editor, const QUuid& blockID,
                                                const ReminderCallbacks& callbacks) {
        return std::make_unique<ReminderPanel>(editor, blockID, callbacks);
    };
    services.makeWindow = [this, windowServices](NoteStore& store, const Note& note) {
        auto controller = std::make_unique<NoteWindowController>(store, note, windowServices);
        controller->panel()->addActions(applicationActions());
        if (BlockEditor* editor = controller->editor()) {
            if (BlockTextView* text = editor->textView()) {
                text->makeTextMenu = [this](QWidget* parent) {
                    return m_menus ? m_menus->makeTextContextMenu(parent) : std::make_unique<QMenu>(parent);
                };
            }
            editor->importDocument = [this](const QString& path) {
                if (m_fileCommands)
                    m_fileCommands->importDroppedDocument(path);
            };
            editor->showAttachmentPanel = [this, panel = QPointer<QWidget>(controller->panel())](
                                              const Attachment& attachment) {
                AttachmentPanel::show(attachment, *m_store, panel);
            };
        }
        return std::make_unique<ControllerNoteWindow>(std::move(controller));
    };
    m_registry = std::make_unique<NoteRegistry>(*m_store, std::move(services));
    m_registry->activateApplication = [this](RegisteredNoteWindow* forWindow) {
        auto* note = dynamic_cast<ControllerNoteWindow*>(forWindow);
        if (activateApplication)
            activateApplication(note ? note->controller().panel() : nullptr);
    };
}

void AppDelegate::createFileCommands()
{
    std::shared_ptr<FileDialogs> dialogs = m_environment.fileDialogs;
    if (!dialogs)
        dialogs = std::make_shared<QtFileDialogs>(m_dialogFolder);
    // The alert presenter belongs to the environment, which outlives us.
    const std::shared_ptr<AlertPresenter> alerts(std::shared_ptr<AlertPresenter>(), m_environment.alerts);
    m_documents = std::make_unique<DocumentIO>(dialogs, std::make_unique<DesktopShareServices>(), alerts);

    FileCommandServices services;
    services.dialogs = std::move(dialogs);
    services.alerts = m_environment.alerts;
    services.confirm = m_environment.confirm;
    services.reveal = m_environment.reveal ? m_environment.reveal : &revealInFileManager;
    m_fileCommands = std::make_unique<FileCommands>(*m_store, *m_registry, *m_documents, std::move(services));

    PanelServices panelServices;
    panelServices.confirm = m_environment.confirm;
    m_panels = std::make_unique<PanelCommands>(*m_store, *m_registry, std::move(panelServices));
    panels.settings = [this] { m_panels->settings(); };
    panels.archive = [this] { m_panels->archive(); };
    panels.trash = [this] { m_panels->trash(); };
    panels.searchAll = [this] { m_panels->searchAll(); };
    panels.about = [this] { m_panels->about(); };
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
    m_registry->acknowledgeAlarm = [this](const QUuid& noteID, const QUuid& blockID) {
        m_alarms->acknowledge(noteID, blockID);
    };
    // A window opened while something rings asks for attention like the others.
    m_registry->onWindowMade = [this](RegisteredNoteWindow& window) {
        if (m_attentionRequested)
            window.setDemandsAttention(true);
    };
    m_alarms->start();
}

void AppDelegate::reminderAlarmsChanged()
{
    updateReminderStatusIndicator();
    // The note windows ask for attention once when something starts ringing
    // and take the request back when nothing rings any more; a window
    // acknowledged in between must not start flashing again on every change.
    const bool ringing = m_alarms && !m_alarms->alarms().empty();
    if (ringing != m_attentionRequested) {
        m_attentionRequested = ringing;
        for (RegisteredNoteWindow* window : m_registry->controllers())
            window->setDemandsAttention(ringing);
    }
    for (RegisteredNoteWindow* window : m_registry->controllers()) {
        if (BlockEditor* editor = window->editor())
            editor->refreshAlarmVisuals();
    }
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

void AppDelegate::handleRequest(const QStringList& request, const std::function<void(bool)>& answer)
{
    if (!m_launched) {
        m_queuedRequests << QueuedRequest{request, answer};
        return;
    }
    // A plain second launch brings every note forward; one that names files
    // opens them and learns whether that worked.
    const NoteRegistry::HandOver handOver(*m_registry);
    bool opened = true;
    if (request.isEmpty())
        reopen();
    else
        opened = m_fileCommands->openFiles(request);
    if (answer)
        answer(opened);
}

void AppDelegate::reopen()
{
    if (!m_registry || !m_store)
        return;
    // With nothing to show, a launch that finds the application running
    // makes a note as a first launch does: without a tray, a note window is
    // the only way into the application.
    if (!m_store->hasActiveNotes())
        m_registry->newNote();
    else
        m_registry->showAll();
}

void AppDelegate::presentError(const std::exception_ptr& error)
{
    if (m_saveNotice && isUnsavedChangesError(error))
        m_saveNotice->failed(describeError(error));
    else if (m_errors)
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
        // The store tries again by itself; the notes keep what was typed.
        m_store->reportError(unsavedChangesError(std::current_exception()));
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

void AppDelegate::closeForExit()
{
    // The quit protocol saved every note before the event loop ended.
    m_channel.reset();
    m_store.reset();
    // The session bus was connected on the main thread when the launch
    // finished; a call answered through it comes after every message sent
    // before it.
    if (m_launched) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (bus.isConnected())
            bus.call(QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                    QStringLiteral("/org/freedesktop/DBus"),
                                                    QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping")),
                     QDBus::Block, busFlushLimitMs);
    }
}

void AppDelegate::commitForSessionEnd()
{
    if (m_startupFailed || !m_store)
        return;
    commitPendingInput();
    saveStore();
}

} // namespace quorrin
