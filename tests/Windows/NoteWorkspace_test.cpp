#include "WorkspaceTest.h"

#include "Core/Screens/ScreenProvider.h"
#include "Core/Storage/Sqlite.h"
#include "Windows/DesktopWindowPolicy.h"
#include "Windows/GradualPresentation.h"
#include "Windows/NoteWorkspace.h"
#include "Windows/WorkspaceHost.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>

#include <memory>

using namespace quorrin;
using namespace quorrin::testing;

namespace {

constexpr int top = windowLevel::floating;
constexpr int desktop = DesktopWindowPolicy::desktopLevel;

class NoteWorkspaceTest : public WorkspaceTest {};

TEST_F(NoteWorkspaceTest, PresentingLeavesHiddenNotesAloneUnlessAskedAndThenUnhidesThem)
{
    const QUuid shown = addNote(NoteSetup());
    const QUuid hidden = addNote(NoteSetup().hide());

    workspace->presentAll(std::nullopt, false, false);
    EXPECT_TRUE(window(shown)->visible);
    EXPECT_EQ(window(shown)->windowLevelValue, top);
    EXPECT_TRUE(window(shown)->raised);
    EXPECT_EQ(window(hidden), nullptr);
    EXPECT_TRUE(stored(hidden).isHidden);
    EXPECT_TRUE(workspace->isRaised());

    workspace->presentAll(std::nullopt, false, true);
    ASSERT_NE(window(hidden), nullptr);
    EXPECT_TRUE(window(hidden)->visible);
    EXPECT_EQ(window(hidden)->windowLevelValue, top);
    EXPECT_FALSE(stored(hidden).isHidden);
    EXPECT_EQ(host.made, 2);
}

TEST_F(NoteWorkspaceTest, OnlyAPresentedFocusNoteEndsOnTopAndOnlyWithActivationBecomesKey)
{
    const QUuid first = addNote(NoteSetup());
    const QUuid second = addNote(NoteSetup());
    const QUuid hidden = addNote(NoteSetup().hide());
    struct Case {
        const char* name;
        std::optional<QUuid> focus;
        bool activate;
        std::optional<QUuid> expectedTop;
        std::optional<QUuid> expectedKey;
    };
    const Case cases[] = {
        {"no focus", std::nullopt, true, second, std::nullopt},
        {"first, activating", first, true, first, first},
        {"first, not activating", first, false, first, std::nullopt},
        {"hidden note is no focus", hidden, true, second, std::nullopt},
        {"unknown note is no focus", uuid(404), true, second, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& made : host.windows)
            made->key = false;
        workspace->presentAll(c.focus, c.activate, false);
        const FakeWorkspaceWindow* front = window(first)->frontStamp > window(second)->frontStamp ? window(first)
                                                                                                  : window(second);
        EXPECT_EQ(front->id, c.expectedTop);
        for (const QUuid& id : {first, second})
            EXPECT_EQ(window(id)->key, c.expectedKey == id);
        EXPECT_EQ(window(hidden), nullptr);
    }
}

TEST_F(NoteWorkspaceTest, AttachingWhileRaisedFloatsAndAfterSettlingEachNoteHasItsOwnLevel)
{
    const QUuid onTop = addNote(NoteSetup().top());
    const QUuid plain = addNote(NoteSetup());
    workspace->presentAll(std::nullopt, false, false);

    const QUuid late = addNote(NoteSetup());
    host.ensureController(late);
    EXPECT_EQ(window(late)->windowLevelValue, top);
    EXPECT_TRUE(window(late)->raised);

    workspace->settleAll();
    EXPECT_FALSE(workspace->isRaised());
    const struct {
        QUuid id;
        int level;
        int reminder;
    } expected[] = {{onTop, top, 4}, {plain, desktop, 4}, {late, desktop, 4}};
    for (const auto& e : expected) {
        EXPECT_EQ(window(e.id)->windowLevelValue, e.level);
        EXPECT_EQ(window(e.id)->formatPanelLevel, e.level);
        EXPECT_EQ(window(e.id)->reminderPanelLevel, e.reminder);
        EXPECT_FALSE(window(e.id)->raised);
    }

    const QUuid afterSettling = addNote(NoteSetup());
    host.ensureController(afterSettling);
    EXPECT_EQ(window(afterSettling)->windowLevelValue, desktop);
}

TEST_F(NoteWorkspaceTest, ReminderPanelsStayAboveTheirNoteAndNeverBelowTheFloatingBand)
{
    for (const auto& [note, reminder] : {std::pair{desktop, 4}, {0, 4}, {top, 4}, {4, 5}, {20, 21}})
        EXPECT_EQ(DesktopWindowPolicy::reminderPanelLevel(note), reminder) << note;
}

TEST_F(NoteWorkspaceTest, SwitchingTheLayerMovesEveryWindowAndRefreshesIt)
{
    const QUuid a = addNote(NoteSetup());
    const QUuid b = addNote(NoteSetup().top());
    const QUuid gone = addNote(NoteSetup());
    store->deleteNote(gone);
    workspace->presentAll(std::nullopt, false, false);

    for (const bool onTop : {true, false}) {
        SCOPED_TRACE(onTop);
        workspace->setLayerForAll(onTop);
        EXPECT_FALSE(workspace->isRaised());
        EXPECT_EQ(store->preferences().alwaysOnTop, onTop);
        for (const QUuid& id : {a, b}) {
            EXPECT_EQ(window(id)->windowLevelValue, onTop ? top : desktop);
            EXPECT_EQ(window(id)->reminderPanelLevel, 4);
            EXPECT_FALSE(window(id)->raised);
            EXPECT_EQ(stored(id).alwaysOnTop, onTop);
        }
    }
    EXPECT_EQ(window(a)->refreshes, 2);
}

TEST_F(NoteWorkspaceTest, ALayerTheStoreCannotSaveChangesNoWindow)
{
    const QUuid a = addNote(NoteSetup());
    workspace->presentAll(std::nullopt, false, false);

    // An open read transaction elsewhere keeps the commit from happening.
    SqliteDatabase reader(directory.storePath(), SqliteDatabase::Mode::ReadOnly);
    reader.execute(QStringLiteral("BEGIN"));
    std::optional<SqliteStatement> reading = reader.prepare(QStringLiteral("SELECT count(*) FROM NoteRecord"));
    ASSERT_TRUE(reading->step());

    workspace->setLayerForAll(true);
    EXPECT_TRUE(workspace->isRaised());
    EXPECT_TRUE(window(a)->raised);
    EXPECT_EQ(window(a)->refreshes, 0);
    EXPECT_FALSE(stored(a).alwaysOnTop);

    workspace->settleAll();
    workspace->setLayerForAll(true);
    EXPECT_EQ(window(a)->windowLevelValue, desktop);
    EXPECT_EQ(window(a)->refreshes, 0);
}

TEST_F(NoteWorkspaceTest, RolesFollowTheDockingAndIgnoreHiddenAndDeletedDependants)
{
    const QUuid root = addNote(NoteSetup());
    const QUuid lonely = addNote(NoteSetup());
    const QUuid hiddenRoot = addNote(NoteSetup());
    const QUuid deletedRoot = addNote(NoteSetup());
    const QUuid child = addNote(NoteSetup().dock(root, DockEdge::Right));
    addNote(NoteSetup().hide().dock(hiddenRoot, DockEdge::Below));
    ASSERT_TRUE(store->deleteNote(addNote(NoteSetup().dock(deletedRoot, DockEdge::Left))));
    workspace->presentAll(std::nullopt, false, false);

    const struct {
        QUuid id;
        NoteRole role;
    } expected[] = {
        {root, {false, true}},        {lonely, {false, false}}, {hiddenRoot, {false, false}},
        {deletedRoot, {false, false}}, {child, {true, false}}};
    for (const auto& e : expected) {
        EXPECT_EQ(workspace->noteRole(e.id), e.role);
        EXPECT_EQ(window(e.id)->role, std::pair(e.role.secondary, e.role.primary));
    }
    EXPECT_EQ(workspace->noteRole(uuid(404)), NoteRole{});
}

TEST_F(NoteWorkspaceTest, AttachingAnUndockedNoteRecordsTheWindowsFrame)
{
    const QUuid expanded = addNote(NoteSetup().at({10, 20, 300, 300}));
    const QUuid collapsed = addNote(NoteSetup().collapse().at({10, 20, 300, 300}));
    const QUuid docked = addNote(NoteSetup().dock(expanded, DockEdge::Right));

    FakeWorkspaceWindow movedExpanded(expanded, QRectF(50, 60, 320, 280));
    workspace->attach(movedExpanded);
    EXPECT_EQ(stored(expanded).frame, (WindowFrame{50, 60, 320, 280}));

    // A collapsed window is its top strip: the stored height hangs from its top.
    FakeWorkspaceWindow movedStrip(collapsed, QRectF(40, 500, 280, 55));
    workspace->attach(movedStrip);
    EXPECT_EQ(stored(collapsed).frame, (WindowFrame{40, 255, 280, 300}));

    const WindowFrame dockedBefore = stored(docked).frame;
    FakeWorkspaceWindow movedDocked(docked, QRectF(900, 900, 100, 100));
    workspace->attach(movedDocked);
    EXPECT_EQ(stored(docked).frame, dockedBefore);
    EXPECT_EQ(movedDocked.workspace, workspace.get());
}

TEST_F(NoteWorkspaceTest, ANoteOnARemovedScreenComesBackInOneMergedPass)
{
    screens.setVisibleFrames({QRectF(0, 0, 1600, 1000), QRectF(1600, 0, 1600, 1000)});
    const QUuid onSecond = addNote(NoteSetup().at({2000, 300, 300, 300}));
    const QUuid onFirst = addNote(NoteSetup().at({100, 300, 300, 300}));
    const QUuid docked = addNote(NoteSetup().at({2300, 300, 300, 300}).dock(onSecond, DockEdge::Right));
    workspace->presentAll(std::nullopt, false, false);

    screens.setVisibleFrames({QRectF(0, 0, 1600, 1000)});
    for (int change = 0; change < 3; ++change)
        workspace->screenParametersChanged();
    EXPECT_EQ(window(onSecond)->frameSaves, 0); // not within the announcing call

    QCoreApplication::processEvents();
    EXPECT_EQ(window(onSecond)->shownFrame, QRectF(1300, 300, 300, 300));
    EXPECT_EQ(window(onSecond)->frameSaves, 1);
    EXPECT_EQ(window(onFirst)->shownFrame, QRectF(100, 300, 300, 300));
    EXPECT_EQ(window(onFirst)->frameSaves, 1);
    // Docked notes follow their root through the layout, not one by one.
    EXPECT_EQ(window(docked)->frameSaves, 0);
}

TEST_F(NoteWorkspaceTest, AScreenChangeWhileTheButtonIsHeldWaitsForTheRelease)
{
    screens.setVisibleFrames({QRectF(0, 0, 1600, 1000), QRectF(1600, 0, 1600, 1000)});
    const QUuid onSecond = addNote(NoteSetup().at({2000, 300, 300, 300}));
    workspace->presentAll(std::nullopt, false, false);
    screens.setVisibleFrames({QRectF(0, 0, 1600, 1000)});

    mouseDown = true;
    workspace->screensChanged();
    EXPECT_TRUE(workspace->isScreenRecoveryPending());
    EXPECT_EQ(window(onSecond)->frameSaves, 0);
    QTest::qWait(250);
    EXPECT_EQ(window(onSecond)->frameSaves, 0);

    mouseDown = false;
    EXPECT_TRUE(QTest::qWaitFor([&] { return !workspace->isScreenRecoveryPending(); }, 10000));
    EXPECT_EQ(window(onSecond)->frameSaves, 1);
    EXPECT_EQ(window(onSecond)->shownFrame, QRectF(1300, 300, 300, 300));
}

TEST_F(NoteWorkspaceTest, DetachingAllClearsEveryDockingAndKeepsTheFrames)
{
    const QUuid root = addNote(NoteSetup());
    const QUuid child = addNote(NoteSetup().at({400, 100, 300, 300}).dock(root, DockEdge::Right));
    EXPECT_TRUE(workspace->hasConnection(root));
    workspace->detachAll();
    EXPECT_FALSE(stored(child).docking);
    EXPECT_EQ(stored(child).frame, (WindowFrame{400, 100, 300, 300}));
    EXPECT_FALSE(workspace->hasConnection(root));
}

TEST_F(NoteWorkspaceTest, WithoutAStoreEveryOperationDoesNothing)
{
    const QUuid a = addNote(NoteSetup());
    host.ensureController(a);
    const int levelBefore = window(a)->windowLevelValue;
    host.store = nullptr;
    workspace->presentAll(a, true, true);
    workspace->setLayerForAll(true);
    workspace->screensChanged();
    EXPECT_EQ(window(a)->windowLevelValue, levelBefore);
    EXPECT_FALSE(window(a)->key);
    EXPECT_EQ(window(a)->frameSaves, 0);
    EXPECT_EQ(workspace->noteRole(a), NoteRole{});
}

TEST_F(NoteWorkspaceTest, WindowsOutlivingTheWorkspaceLoseTheirHost)
{
    const QUuid a = addNote(NoteSetup());
    host.ensureController(a);
    EXPECT_EQ(window(a)->workspace, workspace.get());
    workspace.reset();
    host.workspace = nullptr;
    EXPECT_EQ(window(a)->workspace, nullptr);
}

// The launch makes the windows over several turns; its final pass leaves the
// windows stacked as one presentation of all notes would: in store order,
// the note brought forward meanwhile on top, each window at the top level.
// Windows already standing in that order are not ordered front again.
TEST_F(NoteWorkspaceTest, TheLaunchEndsStackedInStoreOrderOrderingFrontOnlyWhatIsOutOfPlace)
{
    const int count = int(GradualPresentation::immediateLimit) + 8;
    struct Case {
        const char* name;
        bool firstOffScreen = false;
        bool hiddenNote = false;
        // Called once the first window shows, before the others are made.
        std::function<void(const std::vector<QUuid>& notes)> meanwhile;
        // Index of the note expected on top; the last one when none.
        std::optional<int> top;
        // Whether windows in order were left alone (each ordered front once).
        bool orderedOnce = true;
    };
    const Case cases[] = {
        {"nothing happens meanwhile", false, false, {}, std::nullopt, true},
        {"the first note lies off the screens", true, false, {}, std::nullopt, false},
        {"a note is brought forward meanwhile", false, false,
         [&](const std::vector<QUuid>& notes) { workspace->presentAll(notes[0], true, false); }, 0, false},
        {"the notes settle meanwhile", false, false, [&](const std::vector<QUuid>&) { workspace->settleAll(); },
         std::nullopt, false},
        {"every note is shown meanwhile, the hidden one too", false, true,
         [&](const std::vector<QUuid>&) { workspace->presentAll(std::nullopt, true, true); }, std::nullopt, false},
    };
    std::vector<std::unique_ptr<StoreDirectory>> directories;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Each case starts over in a store of its own.
        workspace.reset();
        host.windows.clear();
        store.reset();
        store = directories.emplace_back(std::make_unique<StoreDirectory>())->open();
        host.store = store.get();
        workspace = std::make_unique<NoteWorkspace>(host, screens, [this] { return mouseDown; });
        host.workspace = workspace.get();
        std::vector<QUuid> notes;
        for (int index = 0; index < count; ++index) {
            NoteSetup setup;
            if (index == 0 && c.firstOffScreen)
                setup.at(WindowFrame{-3000, 100, 300, 300});
            if (index == 5 && c.hiddenNote)
                setup.hide();
            notes.push_back(addNote(setup));
        }
        bool finished = false;
        workspace->presentAllGradually([&] { finished = true; });
        ASSERT_FALSE(finished);
        if (c.meanwhile)
            c.meanwhile(notes);
        for (int turn = 0; turn < 1000 && !finished; ++turn)
            QCoreApplication::processEvents();
        ASSERT_TRUE(finished);

        std::vector<QUuid> expected = notes;
        const QUuid topNote = notes[size_t(c.top.value_or(count - 1))];
        std::erase(expected, topNote);
        expected.push_back(topNote);
        std::vector<FakeWorkspaceWindow*> stacked;
        for (const auto& made : host.windows)
            stacked.push_back(made.get());
        std::sort(stacked.begin(), stacked.end(),
                  [](const FakeWorkspaceWindow* a, const FakeWorkspaceWindow* b) { return a->frontStamp < b->frontStamp; });
        std::vector<QUuid> stacking;
        for (const FakeWorkspaceWindow* made : stacked) {
            stacking.push_back(made->id);
            EXPECT_TRUE(made->visible);
            EXPECT_EQ(made->windowLevelValue, top);
        }
        EXPECT_EQ(stacking, expected);
        if (c.orderedOnce) {
            for (const FakeWorkspaceWindow* made : stacked)
                EXPECT_EQ(made->frontOrders, 1);
        }
    }
}

} // namespace

namespace {

TEST_F(NoteWorkspaceTest, ABurstOfPresentationsBringsEachFocusForwardAtOnceAndEveryNoteOnceAtItsEnd)
{
    auto timer = std::make_unique<ManualRestartableTimer>();
    ManualRestartableTimer& burstEnd = *timer;
    workspace = std::make_unique<NoteWorkspace>(host, screens, [] { return false; }, std::move(timer));
    host.workspace = workspace.get();
    const QUuid others[] = {addNote(NoteSetup()), addNote(NoteSetup())};
    const QUuid hidden = addNote(NoteSetup().hide());
    const QUuid first = addNote(NoteSetup());
    const QUuid second = addNote(NoteSetup());
    for (const QUuid& handed : {first, second})
        host.ensureController(handed);

    workspace->presentAllForBurst(first, true, true);
    workspace->presentAllForBurst(second, true, false);
    EXPECT_EQ(window(others[0]), nullptr) << "the pass over every note waits for the burst to end";
    for (const QUuid& handed : {first, second}) {
        EXPECT_EQ(window(handed)->frontOrders, 1);
        EXPECT_EQ(window(handed)->windowLevelValue, top);
    }
    EXPECT_TRUE(window(first)->key) << "the burst's first request takes the keyboard at once";
    EXPECT_FALSE(window(second)->key) << "a later one with the burst's pass";
    EXPECT_EQ(burstEnd.lastDelay, NoteWorkspace::burstQuiet);
    EXPECT_EQ(burstEnd.starts, 2);

    burstEnd.fire();
    for (const QUuid& id : {others[0], others[1], hidden, first, second}) {
        ASSERT_NE(window(id), nullptr);
        EXPECT_TRUE(window(id)->visible);
        EXPECT_EQ(window(id)->windowLevelValue, top);
    }
    EXPECT_FALSE(stored(hidden).isHidden) << "one request of the burst asked for the hidden notes";
    EXPECT_GT(window(second)->frontStamp, window(others[1])->frontStamp) << "the last focus ends on top";
    EXPECT_TRUE(window(second)->key);
    EXPECT_EQ(window(others[0])->frontOrders, 1);
    EXPECT_FALSE(workspace->isBurstPending());
}

} // namespace
