#include "Persistence/StoreFixtures.h"
#include "Support/StillAnimationClock.h"

#include "App/ControllerNoteWindow.h"
#include "App/NoteRegistry.h"
#include "Editor/BlockEditor.h"
#include "Core/Screens/ScreenProvider.h"
#include "Platform/WindowLevel.h"
#include "Windows/DesktopWindowPolicy.h"
#include "Windows/StickyPanel.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QUndoStack>
#include <QPointer>
#include <QVariantAnimation>

using namespace quorrin;
using namespace quorrin::testing;

namespace {

// The registry over real note windows.
class ControllerNoteWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = directory.open();
        const auto screens = std::make_shared<FixedScreenProvider>(QList<QRectF>{QRectF(0, 0, 1600, 1000)});
        NoteWindowController::Services windowServices;
        windowServices.screens = screens;
        windowServices.prefersReducedMotion = [this] { return !animations; };
        windowServices.confirmDeletion = [] { return true; };
        NoteRegistryServices services;
        services.makeWindow = ControllerNoteWindow::factory(windowServices);
        services.screens = screens;
        services.leftMouseDown = [] { return false; };
        services.beep = [] {};
        registry = std::make_unique<NoteRegistry>(*store, std::move(services));
    }
    void TearDown() override
    {
        registry.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QUuid addNote(WindowFrame frame)
    {
        Note note = store->create(AttributedString(QStringLiteral("note")));
        note.frame = frame;
        store->update(note, true, false);
        return note.id;
    }
    StickyPanel& panel(const QUuid& id) const
    {
        return *dynamic_cast<ControllerNoteWindow&>(*registry->controller(id)).controller().panel();
    }

    bool animations = false;
    StoreDirectory directory;
    std::unique_ptr<NoteStore> store;
    std::unique_ptr<NoteRegistry> registry;
};

TEST_F(ControllerNoteWindowTest, SwitchingTheLayerSetsTheStackingHintsOfEveryWindow)
{
    const std::vector<QUuid> notes = {addNote({100, 100, 300, 300}), addNote({500, 100, 300, 300}),
                                      addNote({900, 100, 300, 300})};
    registry->raiseAllNotes(false, false);
    for (const QUuid& id : notes) {
        EXPECT_TRUE(panel(id).isVisible());
        EXPECT_TRUE(panel(id).windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_EQ(*panel(id).noteID, id);
    }

    registry->workspace().setLayerForAll(false);
    for (const QUuid& id : notes) {
        EXPECT_EQ(WindowLevelAdapter::levelOf(panel(id)), DesktopWindowPolicy::desktopLevel);
        EXPECT_TRUE(panel(id).windowFlags().testFlag(Qt::WindowStaysOnBottomHint));
        EXPECT_FALSE(panel(id).windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_TRUE(panel(id).isVisible());
    }

    registry->workspace().setLayerForAll(true);
    for (const QUuid& id : notes) {
        EXPECT_TRUE(panel(id).windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_FALSE(panel(id).windowFlags().testFlag(Qt::WindowStaysOnBottomHint));
    }
}

TEST_F(ControllerNoteWindowTest, DeletingFromTheWindowDropsItFromTheRegistryOnTheNextTurn)
{
    const QUuid id = addNote({100, 100, 300, 300});
    registry->open(id, std::nullopt, true);
    auto& window = dynamic_cast<ControllerNoteWindow&>(*registry->controller(id));
    window.controller().deleteNote();
    EXPECT_TRUE(store->note(id)->deletedAt);
    EXPECT_FALSE(window.controller().panel()->isVisible());
    QCoreApplication::processEvents();
    EXPECT_EQ(registry->controller(id), nullptr);
}

TEST_F(ControllerNoteWindowTest, TheArchiveCommandArchivesACompletedTodoAsOneUndoStep)
{
    const QUuid id = addNote({100, 100, 300, 300});
    Note note = *store->note(id);
    Block todo = note.blocks.front();
    todo.id = QUuid::createUuid();
    todo.kind = BlockKind::Todo;
    todo.todo = TodoMetadata();
    todo.todo->isCompleted = true;
    note.blocks.push_back(todo);
    store->update(note, true, false);
    registry->raiseAllNotes(false, false);
    RegisteredNoteWindow& window = *registry->controller(id);

    window.archiveBlock(note.blocks.front().id); // not a todo: nothing
    EXPECT_FALSE(store->note(id)->blocks.front().isArchived());
    window.archiveBlock(todo.id);
    EXPECT_TRUE(store->note(id)->blocks.back().isArchived());
    EXPECT_EQ(window.editor()->history()->undoText(), QStringLiteral("归档待办"));
    window.editor()->history()->undo();
    EXPECT_FALSE(store->note(id)->blocks.back().isArchived());
}

TEST_F(ControllerNoteWindowTest, CollapsingAndExpandingAnimateThroughHeightsBetweenWhileTheWorkspaceLaysOut)
{
    animations = true;
    const StillAnimationClock clock; // only the steps below move the animations
    const QUuid id = addNote({100, 100, 300, 330});
    registry->raiseAllNotes(false, false);
    auto& window = dynamic_cast<ControllerNoteWindow&>(*registry->controller(id));
    StickyPanel& shown = panel(id);
    const double top = shown.frame().top() + shown.frame().height();

    window.controller().toggleCollapse(); // the workspace lays the note out at once
    QCoreApplication::processEvents();
    // Held weakly: a layout pass that settled the collapse would delete it.
    QPointer<QVariantAnimation> animation = window.controller().frameAnimation();
    ASSERT_TRUE(animation);
    // The case moves the animation on itself: time that a busy machine lets
    // pass in between must not.
    animation->setCurrentTime(0);
    EXPECT_NEAR(shown.frame().height(), 330, 1);
    EXPECT_NEAR(window.frame().height(), 55, 1); // where the window settles
    animation->pause();

    for (int step : {60, 120, 180}) {
        ASSERT_TRUE(animation) << "the collapse ended before " << step << " ms";
        animation->setCurrentTime(step);
        registry->workspace().reflow(); // as the note becoming key does
        QCoreApplication::processEvents();
        EXPECT_GT(shown.frame().height(), 56) << step;
        EXPECT_LT(shown.frame().height(), 329) << step;
        EXPECT_NEAR(shown.frame().top() + shown.frame().height(), top, 1) << step;
    }
    animation->setCurrentTime(animation->totalDuration());
    QCoreApplication::processEvents();
    EXPECT_NEAR(shown.frame().height(), 55, 1);
    EXPECT_FALSE(window.controller().updatingFrame);
    EXPECT_EQ(store->note(id)->frame.height, 330); // the stored frame stays the expanded one

    // Expanding starts from the collapsed height, not from the expanded
    // minimum, and takes that minimum once it is there.
    window.controller().toggleCollapse();
    QCoreApplication::processEvents();
    animation = window.controller().frameAnimation();
    ASSERT_TRUE(animation);
    animation->setCurrentTime(0);
    EXPECT_NEAR(shown.frame().height(), 55, 1);
    animation->setCurrentTime(animation->totalDuration());
    QCoreApplication::processEvents();
    EXPECT_NEAR(shown.frame().height(), 330, 1);
    EXPECT_EQ(shown.minimumHeight(), 160);
}

} // namespace
