#include "Persistence/StoreFixtures.h"

#include "App/ControllerNoteWindow.h"
#include "App/NoteRegistry.h"
#include "Core/Screens/ScreenProvider.h"
#include "Platform/WindowLevel.h"
#include "Windows/DesktopWindowPolicy.h"
#include "Windows/StickyPanel.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

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

} // namespace
