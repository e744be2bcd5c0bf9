#include "Persistence/StoreFixtures.h"

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
        windowServices.prefersReducedMotion = [] { return true; };
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

} // namespace
