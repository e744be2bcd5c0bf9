#include "App/AppDelegate.h"

#include "App/ApplicationMenus.h"
#include "App/ControllerNoteWindow.h"
#include "App/MenuModel.h"
#include "Windows/NoteWindowController.h"
#include "Windows/WorkspaceWindow.h"

#include "App/NoteRegistry.h"
#include "App/RegisteredNoteWindow.h"
#include "Editor/BlockEditor.h"
#include "Editor/BlockTextView.h"
#include "Windows/GradualPresentation.h"
#include "Windows/WorkspaceWindow.h"
#include "Persistence/NoteStore.h"
#include "Platform/AlertPresenter.h"
#include "Platform/InstanceChannel.h"
#include "Core/Screens/ScreenProvider.h"
#include "Core/Storage/InstanceLock.h"

#include "RecordingAlerts.h"
#include "Support/FakeNotificationCenter.h"
#include "Support/Eventually.h"
#include "Support/FakeTrayHost.h"
#include "Support/SmallFileSystem.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDirIterator>
#include <QMenu>
#include <QFile>
#include <QInputMethodEvent>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTextCursor>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <map>

namespace quorrin {
namespace {

using testing::RecordingAlerts;
using testing::RecordingNotices;

// Every file below a directory with its bytes, except the lock file whose
// presence is all that matters.
std::map<QString, QByteArray> contents(const QString& directory)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(directory, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files[QDir(directory).relativeFilePath(path)] = file.readAll();
    }
    return files;
}

class AppDelegateTest : public ::testing::Test {
protected:
    QTemporaryDir directory;
    RecordingAlerts alerts;
    std::shared_ptr<RecordingNotices> notices = std::make_shared<RecordingNotices>();
    QStringList steps;
    std::vector<int> exits;
    std::vector<QStringList> handedOver;
    bool handOverSucceeds = true;
    bool runningInstanceBusy = false;
    // How long a launch waits for an ending holder of the data directory.
    std::chrono::milliseconds holderExitWait{0};
    bool handedFilesOpen = true;
    bool trayAtLaunch = false;
    testing::FakeTrayHost* tray = nullptr;
    // The notification centre of the last delegate made; none unless asked for.
    bool withNotificationCenter = false;
    FakeNotificationCenter* center = nullptr;
    QString root = directory.path();

    std::unique_ptr<AppDelegate> makeDelegate()
    {
        AppEnvironment environment;
        environment.alerts = &alerts;
        environment.notices = notices;
        environment.root = root;
        environment.screens = std::make_shared<FixedScreenProvider>(QList<QRectF>{QRectF(0, 0, 1600, 1000)});
        environment.handOver = [this](const QString&, const QStringList& request) {
            handedOver.push_back(request);
            if (!handOverSucceeds)
                return runningInstanceBusy ? InstanceChannel::Delivery::Busy : InstanceChannel::Delivery::NotTaken;
            return handedFilesOpen ? InstanceChannel::Delivery::Opened : InstanceChannel::Delivery::NotOpened;
        };
        environment.watchOtherApplications = false;
        environment.exit = [this](int code) { exits.push_back(code); };
        environment.holderExitWait = holderExitWait;
        environment.trace = [this](const QString& step) { steps << step; };
        environment.makeTrayHost = [this] {
            auto host = std::make_unique<testing::FakeTrayHost>(trayAtLaunch);
            tray = host.get();
            return std::unique_ptr<TrayHost>(std::move(host));
        };
        if (withNotificationCenter) {
            // Its answers wait until the test gives them.
            environment.makeNotificationCenter = [this](SystemEvents*) {
                auto made = std::make_unique<FakeNotificationCenter>();
                made->autoComplete = false;
                center = made.get();
                return std::unique_ptr<NotificationCenter>(std::move(made));
            };
        }
        return std::make_unique<AppDelegate>(std::move(environment));
    }

    // Launches, titles the one note "kept" and asks to quit.
    std::unique_ptr<AppDelegate> launchRetitleAndQuit()
    {
        auto delegate = makeDelegate();
        delegate->launch();
        Note note = delegate->store()->active().front();
        note.customTitle = QStringLiteral("kept");
        delegate->store()->update(note, false, false);
        delegate->requestQuit();
        return delegate;
    }
};

TEST_F(AppDelegateTest, FirstLaunchRunsTheStepsInOrderAndMakesOneNote)
{
    auto delegate = makeDelegate();
    delegate->launch();
    EXPECT_EQ(steps, (QStringList{"buttonCursors", "openStore", "closeRetentionUpgrade", "errorPresenter", "reminders",
                                  "alarms", "outsideClicks", "menus", "statusItem", "restoreNotes",
                                  "textService", "screens"}));
    ASSERT_TRUE(delegate->isLaunched());
    EXPECT_EQ(delegate->store()->active().size(), 1u);
    EXPECT_TRUE(exits.empty());
    EXPECT_TRUE(alerts.messages.isEmpty());
}

TEST_F(AppDelegateTest, ALaterLaunchWithoutLiveNotesShowsNone)
{
    {
        auto first = makeDelegate();
        first->launch();
        const QUuid id = first->store()->active().front().id;
        first->store()->discardEmptyNote(id);
    }
    auto second = makeDelegate();
    second->launch();
    EXPECT_TRUE(second->store()->active().empty());
    EXPECT_TRUE(second->registry()->controllers().empty());

    // A launch that finds it running with nothing to show makes a note, once.
    second->reopen();
    EXPECT_EQ(second->store()->active().size(), 1u);
    second->reopen();
    EXPECT_EQ(second->store()->active().size(), 1u);
    EXPECT_EQ(second->registry()->controllers().size(), 1u);
}

TEST_F(AppDelegateTest, ASecondInstanceHandsItsRequestOverWithoutTouchingTheData)
{
    auto running = makeDelegate();
    running->launch();
    running->store()->save();
    const auto before = contents(directory.path());

    auto second = makeDelegate();
    second->launch({QStringLiteral("/tmp/a.txt")});
    EXPECT_TRUE(second->startupFailed());
    ASSERT_EQ(handedOver.size(), 1u);
    EXPECT_EQ(handedOver.front(), QStringList{QStringLiteral("/tmp/a.txt")});
    EXPECT_EQ(exits, std::vector<int>{0});
    EXPECT_TRUE(alerts.messages.isEmpty());
    second.reset();
    EXPECT_EQ(contents(directory.path()), before);
}

TEST_F(AppDelegateTest, ASecondInstanceThatCannotHandOverShowsTheLaunchFailure)
{
    handOverSucceeds = false;
    holderExitWait = std::chrono::milliseconds(300);
    auto running = makeDelegate();
    running->launch();

    // The instance holding the data goes on running: the launch stops asking.
    auto second = makeDelegate();
    second->launch();
    EXPECT_TRUE(alerts.messages.isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !alerts.messages.isEmpty(); }, 10000));
    EXPECT_EQ(handedOver.size(), 1u);
    ASSERT_EQ(alerts.messages.size(), 1);
    EXPECT_EQ(alerts.messages.front(), AppDelegate::launchFailureMessage);
    EXPECT_TRUE(alerts.details.front().endsWith(AppDelegate::launchFailureAdvice));
    EXPECT_TRUE(alerts.details.front().startsWith(QStringLiteral("同一个数据目录已有 Quorrin实例运行")));
    EXPECT_EQ(exits, std::vector<int>{1});

    // Quitting after a failed launch ends at once and saves nothing.
    second->requestQuit();
    EXPECT_EQ(exits, (std::vector<int>{1, 0}));
}

TEST_F(AppDelegateTest, ASecondInstanceWhoseRequestTheBusyInstanceDidNotTakeSaysItIsBusyNotThatTheDataIsInUse)
{
    handOverSucceeds = false;
    runningInstanceBusy = true;
    auto running = makeDelegate();
    running->launch();

    auto second = makeDelegate();
    second->launch({QStringLiteral("/tmp/a.txt")});
    EXPECT_TRUE(second->startupFailed());
    EXPECT_EQ(alerts.messages, QStringList{InstanceChannel::busyMessage});
    EXPECT_EQ(alerts.details, QStringList{QString()});
    EXPECT_EQ(exits, std::vector<int>{1});
}

TEST_F(AppDelegateTest, ALaunchWhileTheHolderIsEndingWaitsForItToLetGo)
{
    handOverSucceeds = false; // its channel is already closed
    holderExitWait = std::chrono::seconds(10);
    std::optional<InstanceLock> ending(std::in_place, root);
    const QObject thisCase; // a case that ends early takes the timer with it
    QTimer::singleShot(200, &thisCase, [&] { ending.reset(); });

    auto delegate = makeDelegate();
    delegate->launch();
    EXPECT_FALSE(delegate->isLaunched());
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->isLaunched(); }, 10000));
    EXPECT_EQ(handedOver.size(), 1u); // a holder that was slow to answer may have taken it
    EXPECT_TRUE(alerts.messages.isEmpty());
    EXPECT_TRUE(exits.empty());
    EXPECT_EQ(delegate->store()->active().size(), 1u);
}

TEST_F(AppDelegateTest, ASecondLaunchWithTooMuchToHandOverSaysSoAndSendsNothing)
{
    auto running = makeDelegate();
    running->launch();
    auto second = makeDelegate();
    second->launch({QString(600'000, u'x')});
    EXPECT_TRUE(handedOver.empty());
    EXPECT_EQ(alerts.messages, QStringList{InstanceChannel::requestTooLargeMessage});
    EXPECT_EQ(exits, std::vector<int>{1});
}

TEST_F(AppDelegateTest, AChannelThatCannotListenIsReported)
{
    QTemporaryDir runtime;
    ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    // Something that is not a stale socket already has the channel's name.
    ASSERT_TRUE(QDir().mkpath(InstanceChannel::serverName(directory.path()) + QStringLiteral("/occupied")));
    auto delegate = makeDelegate();
    delegate->launch();
    QCoreApplication::processEvents();
    qputenv("XDG_RUNTIME_DIR", saved);
    ASSERT_EQ(alerts.messages.size(), 1);
    EXPECT_TRUE(alerts.messages.front().startsWith(QStringLiteral("无法建立实例通道（"))) << alerts.messages.front().toStdString();
    EXPECT_TRUE(delegate->isLaunched() || !delegate->startupFailed()); // everything else works
}

TEST_F(AppDelegateTest, ASecondLaunchWhoseFilesFailedToOpenEndsWithFailure)
{
    handedFilesOpen = false;
    auto running = makeDelegate();
    running->launch();
    auto second = makeDelegate();
    second->launch({QStringLiteral("/tmp/broken.rtf")});
    EXPECT_EQ(exits, std::vector<int>{1});
    EXPECT_TRUE(alerts.messages.isEmpty());
}

// A note's menu as it opens now.
std::unique_ptr<QMenu> noteMenu(RegisteredNoteWindow* window)
{
    auto* note = dynamic_cast<ControllerNoteWindow*>(window);
    return note ? note->controller().makeNoteMenu() : std::make_unique<QMenu>();
}

// A menu's items by title, separators as "-".
QStringList titles(const QMenu& menu)
{
    QStringList titles;
    for (QAction* action : menu.actions())
        titles << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return titles;
}

// The items after the note's own, which end with deleting the note.
QList<QAction*> addedItems(const QMenu& menu)
{
    return menu.actions().mid(titles(menu).indexOf(QStringLiteral("删除便笺…")) + 1);
}

TEST_F(AppDelegateTest, WithoutATrayEveryNoteMenuCarriesTheStatusMenuUntilATrayShowsTheIcon)
{
    auto delegate = makeDelegate();
    delegate->launch();
    RegisteredNoteWindow* note = delegate->registry()->controllers().front();
    const QList<QAction*> status = delegate->menus()->statusMenu()->actions();
    EXPECT_EQ(delegate->statusItem(), nullptr);

    // After the note's own items: a separator, then the status menu's own
    // actions, its submenus among them.
    const std::unique_ptr<QMenu> withoutTray = noteMenu(note);
    const QList<QAction*> added = addedItems(*withoutTray);
    ASSERT_FALSE(added.isEmpty());
    EXPECT_TRUE(added.front()->isSeparator());
    EXPECT_EQ(added.mid(1), status);
    QStringList submenus;
    for (QAction* action : added) {
        if (action->menu())
            submenus << action->text();
    }
    EXPECT_EQ(submenus, (QStringList{menumodel::applicationMenuTitle, menumodel::fileMenuTitle,
                                     menumodel::blockMenuTitle, menumodel::windowMenuTitle}));
    // They do what they do in the status menu: "新建便笺" makes a note.
    added.at(1)->trigger();
    EXPECT_EQ(delegate->store()->active().size(), 2u);

    // A tray appears: the icon shows with the status menu, the note's menu
    // is its own again.
    tray->setAvailable(true);
    ASSERT_NE(delegate->statusItem(), nullptr);
    EXPECT_TRUE(delegate->statusItem()->isVisible());
    EXPECT_EQ(delegate->statusItem()->contextMenu(), delegate->menus()->statusMenu());
    const std::unique_ptr<QMenu> withTray = noteMenu(note);
    EXPECT_TRUE(addedItems(*withTray).isEmpty());
    EXPECT_EQ(titles(*withoutTray).mid(0, withTray->actions().size()), titles(*withTray));

    // It goes away again: the commands come back.
    tray->setAvailable(false);
    EXPECT_EQ(titles(*noteMenu(note)), titles(*withoutTray));
}

TEST_F(AppDelegateTest, ATrayAtLaunchShowsTheIconAndLeavesTheNoteMenusAlone)
{
    trayAtLaunch = true;
    auto delegate = makeDelegate();
    delegate->launch();
    ASSERT_NE(delegate->statusItem(), nullptr);
    EXPECT_TRUE(delegate->isStatusItemShown());
    EXPECT_TRUE(addedItems(*noteMenu(delegate->registry()->controllers().front())).isEmpty());
}

TEST_F(AppDelegateTest, TheMenusReachTheCommandsAndHidingLeavesTheNotesAlone)
{
    auto delegate = makeDelegate();
    delegate->launch();
    ASSERT_TRUE(delegate->menus());
    ASSERT_TRUE(delegate->menus()->statusMenu());
    EXPECT_FALSE(delegate->applicationActions().isEmpty());

    // "新建便笺" from the status menu makes and shows a note.
    delegate->menus()->statusMenu()->actions().front()->trigger();
    ASSERT_EQ(delegate->store()->active().size(), 2u);

    // Ctrl+F exists and, with no find bar yet, does nothing; the hook gets
    // the current note once there is one.
    int findBars = 0;
    delegate->panels.showFindBar = [&](RegisteredNoteWindow&) { ++findBars; };
    delegate->menus()->action(menumodel::action::findPanel, 1)->trigger();
    EXPECT_LE(findBars, 1);

    // Opening a panel goes through its hook.
    int settings = 0;
    delegate->panels.settings = [&] { ++settings; };
    delegate->menus()->action(menumodel::action::settings)->trigger();
    EXPECT_EQ(settings, 1);

    // "隐藏 Quorrin" takes the windows away and keeps the notes as they are.
    const std::vector<Note> before = delegate->store()->active();
    delegate->hideApplication();
    for (RegisteredNoteWindow* window : delegate->registry()->controllers())
        EXPECT_FALSE(window->layout().isVisible());
    EXPECT_EQ(delegate->store()->active(), before);
    // Showing all notes brings them back.
    delegate->menus()->action(menumodel::action::showAll)->trigger();
    for (RegisteredNoteWindow* window : delegate->registry()->controllers())
        EXPECT_TRUE(window->layout().isVisible());
}

TEST_F(AppDelegateTest, QuittingSavesAndEnds)
{
    auto delegate = launchRetitleAndQuit();
    EXPECT_EQ(exits, std::vector<int>{0});
    delegate.reset();

    auto reopened = makeDelegate();
    reopened->launch();
    ASSERT_EQ(reopened->store()->active().size(), 1u);
    EXPECT_EQ(reopened->store()->active().front().customTitle, QStringLiteral("kept"));
}

TEST_F(AppDelegateTest, ClosingForExitAfterTheQuitLetsTheNextLaunchInWithEverythingSaved)
{
    // Runs in a process of its own, which ends as the application's does: the
    // first launch's windows are never taken apart, and left alive in this
    // process they would go on using the store closed under them.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            auto delegate = launchRetitleAndQuit();
            const bool quit = exits == std::vector<int>{0};
            delegate->closeForExit();
            [[maybe_unused]] AppDelegate* leftAsTheProcessLeavesIt = delegate.release();

            auto next = makeDelegate();
            next->launch();
            QString failure;
            if (!quit)
                failure = QStringLiteral("the quit did not end the application");
            else if (!handedOver.empty() || next->startupFailed())
                failure = QStringLiteral("the data directory is still held");
            else if (next->store()->active().size() != 1
                     || next->store()->active().front().customTitle != QStringLiteral("kept"))
                failure = QStringLiteral("the note was not saved");
            next.reset();
            directory.remove();
            std::fputs(qPrintable(failure), stderr);
            std::_Exit(failure.isEmpty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(AppDelegateTest, AQuitThatCannotSaveKeepsTheTextAndClosingTheNoticeSavesItOnceThereIsRoom)
{
    testing::SmallFileSystem disk(1024);
    if (!disk.isMounted())
        GTEST_SKIP() << "cannot mount a small file system here";
    root = disk.path() + QStringLiteral("/data");
    auto delegate = makeDelegate();
    delegate->launch();
    for (int turn = 0; turn < 100; ++turn) // the launch settles, the application becomes active
        QCoreApplication::processEvents();
    testing::DiskFiller filler(disk.path() + QStringLiteral("/filler"));
    Note note = delegate->store()->active().front();
    note.customTitle = QString(30000, u't');
    delegate->store()->update(note, false, false);

    delegate->requestQuit();
    EXPECT_TRUE(exits.empty());
    EXPECT_TRUE(delegate->store()->isRetryingSave());
    QCoreApplication::processEvents();
    EXPECT_TRUE(alerts.messages.isEmpty()) << "a failed save is told without a modal alert";
    ASSERT_EQ(notices->messages.size(), 1);
    EXPECT_TRUE(notices->messages.front().contains(QStringLiteral("腾出磁盘空间后会自动保存")));
    filler.release(); // space is freed while the notice is up
    notices->close();
    EXPECT_FALSE(delegate->store()->isRetryingSave());
    EXPECT_EQ(notices->titles.last(), SaveFailureNotice::savedTitle);
    delegate.reset();

    NoteStore reopened(root, true);
    EXPECT_EQ(reopened.note(note.id)->customTitle, QString(30000, u't'));
}

// While a quit waits for the reminder schedule, asking again is the same
// quit; one that could not save at its end can be asked for again.
TEST_F(AppDelegateTest, AQuitWaitingForTheReminderScheduleEndsOnceAndOneThatCouldNotSaveCanBeAskedAgain)
{
    withNotificationCenter = true;
    // The centre answers everything asked of it until the condition holds.
    const auto answeredUntil = [this](const std::function<bool()>& condition) {
        return testing::eventually([&] {
            center->completeAll();
            return condition();
        });
    };
    auto delegate = makeDelegate();
    delegate->launch();
    delegate->requestQuit();
    delegate->requestQuit();
    ASSERT_TRUE(answeredUntil([&] { return !exits.empty(); }));
    center->completeAll(); // what a second quit would still wait for
    QCoreApplication::processEvents();
    EXPECT_EQ(exits, std::vector<int>{0});
    delegate.reset();

    exits.clear();
    delegate = makeDelegate();
    delegate->launch();
    delegate->requestQuit();
    const QString preferences = QDir(root).filePath(NoteStore::preferencesFileName);
    QFile::remove(preferences);
    QDir().mkpath(preferences + QStringLiteral("/occupied")); // no save succeeds
    ASSERT_TRUE(answeredUntil([&] { return delegate->store()->lastError() != nullptr; }));
    EXPECT_TRUE(exits.empty());
    QDir(preferences).removeRecursively();
    delegate->requestQuit();
    EXPECT_TRUE(answeredUntil([&] { return !exits.empty(); }));
}

// Fills the data directory with `count` shown notes with text.
void storeNotes(const QString& root, int count)
{
    NoteStore store(root, true);
    for (int index = 0; index < count; ++index)
        store.create(AttributedString(QStringLiteral("note %1").arg(index)));
}

TEST_F(AppDelegateTest, ManyNotesAppearOverSeveralTurnsBeforeTheLaunchGoesOn)
{
    const int count = int(GradualPresentation::immediateLimit) + 8;
    storeNotes(directory.path(), count);
    auto delegate = makeDelegate();
    delegate->launch();
    // The first window exists and the event loop gets its turn before the rest.
    EXPECT_EQ(delegate->registry()->controllers().size(), 1u);
    EXPECT_FALSE(delegate->isLaunched());
    EXPECT_EQ(steps.last(), QStringLiteral("restoreNotes"));

    for (int turn = 0; turn < 1000 && !delegate->isLaunched(); ++turn)
        QCoreApplication::processEvents();
    ASSERT_TRUE(delegate->isLaunched());
    EXPECT_EQ(steps.mid(steps.size() - 3), (QStringList{"restoreNotes", "textService", "screens"}));
    const std::vector<RegisteredNoteWindow*> windows = delegate->registry()->controllers();
    ASSERT_EQ(windows.size(), size_t(count));
    EXPECT_TRUE(std::all_of(windows.begin(), windows.end(),
                            [](RegisteredNoteWindow* window) { return window->layout().isVisible(); }));
    EXPECT_TRUE(delegate->registry()->workspace().isRaised());
}

TEST_F(AppDelegateTest, AQuitWhileTheNotesAppearSavesAndEnds)
{
    storeNotes(directory.path(), int(GradualPresentation::immediateLimit) + 8);
    auto delegate = makeDelegate();
    delegate->launch();
    ASSERT_FALSE(delegate->isLaunched());
    Note note = delegate->store()->active().front();
    note.customTitle = QStringLiteral("kept");
    delegate->store()->update(note, false, false);

    delegate->requestQuit();
    EXPECT_EQ(exits, std::vector<int>{0});
    delegate.reset(); // the windows still to come are never made

    NoteStore reopened(directory.path(), true);
    EXPECT_EQ(reopened.note(note.id)->customTitle, QStringLiteral("kept"));
}

TEST_F(AppDelegateTest, QuittingSavesTheTextTypedInEveryWindow)
{
    storeNotes(directory.path(), 4);
    auto delegate = makeDelegate();
    delegate->launch();
    ASSERT_TRUE(delegate->isLaunched());
    const std::vector<RegisteredNoteWindow*> windows = delegate->registry()->controllers();
    ASSERT_EQ(windows.size(), 4u);
    std::map<QUuid, QString> expected;
    for (size_t index = 0; index < windows.size(); ++index) {
        const QUuid id = windows[index]->noteID();
        const QString stored = delegate->store()->note(id)->blocks.front().text.attributed().string();
        expected[id] = stored;
        if (index % 2 == 1)
            continue; // untouched windows keep their text as stored
        BlockTextView* text = windows[index]->editor()->textView();
        QTextCursor cursor = text->textCursor();
        cursor.setPosition(int(stored.size()));
        text->setTextCursor(cursor);
        // Typed, and composing more with an input method when the quit comes.
        QTest::keyClicks(text, QStringLiteral("xy"));
        QInputMethodEvent composing(QStringLiteral("写"), {});
        QCoreApplication::sendEvent(text, &composing);
        expected[id] = stored + QStringLiteral("xy写");
    }
    delegate->requestQuit();
    EXPECT_EQ(exits, std::vector<int>{0});
    delegate.reset();

    NoteStore reopened(directory.path(), true);
    for (const auto& [id, text] : expected)
        EXPECT_EQ(reopened.note(id)->blocks.front().text.attributed().string(), text);
}

TEST_F(AppDelegateTest, OpeningANoteWhileTheNotesAppearBringsItForwardAndTheRestKeepComing)
{
    const int count = int(GradualPresentation::immediateLimit) + 8;
    storeNotes(directory.path(), count);
    auto delegate = makeDelegate();
    delegate->launch();
    ASSERT_EQ(delegate->registry()->controllers().size(), 1u);
    const QUuid last = delegate->store()->active().back().id;

    delegate->registry()->open(last, std::nullopt, false);
    // The opened note's window is made and shown; the others are not all
    // made at once.
    ASSERT_TRUE(delegate->registry()->controller(last));
    EXPECT_TRUE(delegate->registry()->controller(last)->layout().isVisible());
    EXPECT_EQ(delegate->registry()->controllers().size(), 2u);

    for (int turn = 0; turn < 1000 && !delegate->isLaunched(); ++turn)
        QCoreApplication::processEvents();
    ASSERT_TRUE(delegate->isLaunched());
    const std::vector<RegisteredNoteWindow*> windows = delegate->registry()->controllers();
    EXPECT_EQ(windows.size(), size_t(count));
    EXPECT_TRUE(std::all_of(windows.begin(), windows.end(),
                            [](RegisteredNoteWindow* window) { return window->layout().isVisible(); }));
}

} // namespace
} // namespace quorrin
