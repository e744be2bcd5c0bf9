#include "App/PanelCommands.h"

#include "Support/FakeNoteWindow.h"
#include "App/NoteRegistry.h"
#include "Core/Screens/ScreenProvider.h"
#include "Editor/BlockTextView.h"
#include "Features/Panels/LibraryView.h"
#include "Features/Panels/SearchView.h"
#include "Features/Panels/SettingsView.h"
#include "Persistence/StoreFixtures.h"

#include "Platform/WindowLevel.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTextCursor>

using namespace quorrin;
using namespace quorrin::testing;

namespace {

class PanelCommandsTest : public ::testing::Test {
protected:
    StoreDirectory directory;
    std::unique_ptr<NoteStore> store = directory.open();
    std::unique_ptr<NoteRegistry> registry;
    std::unique_ptr<PanelCommands> commands;
    int activations = 0;
    QStringList abouts;

    void SetUp() override
    {
        NoteRegistryServices services;
        services.makeWindow = [](NoteStore& notes, const Note& note) {
            return std::make_unique<FakeNoteWindow>(notes, note);
        };
        services.screens = std::make_shared<FixedScreenProvider>(QList<QRectF>{QRectF(0, 0, 1600, 1000)});
        services.leftMouseDown = [] { return false; };
        registry = std::make_unique<NoteRegistry>(*store, std::move(services));
        registry->activateApplication = [this](RegisteredNoteWindow*) { ++activations; };
        PanelServices panelServices;
        panelServices.confirm = [](const QString&, const QString&, const QString&, const QString&) { return true; };
        panelServices.openFolder = [](const QString&) {};
        panelServices.showAbout = [this](const QString& title, const QString& text) { abouts << title + '|' + text; };
        commands = std::make_unique<PanelCommands>(*store, *registry, std::move(panelServices));
    }
    void TearDown() override
    {
        commands.reset();
        registry.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A note with a paragraph and a todo whose remarks are folded.
    Note addNote(const QString& text, const QString& todoText, const QString& remarks)
    {
        Note note = store->create(AttributedString(text));
        Block todo;
        todo.kind = BlockKind::Todo;
        todo.text = RichText(todoText, TextFont::system(14));
        todo.todo = TodoMetadata{};
        todo.todo->notes = RichText(remarks, TextFont::system(14));
        note.blocks.push_back(todo);
        store->update(note, true, false);
        return *store->note(note.id);
    }

    QString selection(const QUuid& noteID) const
    {
        return registry->controller(noteID)->editor()->textView()->textCursor().selectedText();
    }
};

TEST_F(PanelCommandsTest, EachCommandOpensANewTitledWindowInFront)
{
    commands->settings();
    commands->settings();
    commands->archive();
    commands->trash();
    commands->searchAll();
    const std::vector<AuxiliaryController*> panels = commands->panels();
    ASSERT_EQ(panels.size(), 5u);
    const std::vector<std::tuple<QString, QSize>> expected = {
        {"Quorrin — 设置", QSize(530, 520)},    {"Quorrin — 设置", QSize(530, 520)},
        {"Quorrin — 归档事项", QSize(520, 400)}, {"Quorrin — 最近删除", QSize(520, 400)},
        {"Quorrin — 搜索全部便笺", QSize(560, 450)},
    };
    for (size_t i = 0; i < panels.size(); ++i) {
        QWidget* window = panels[i]->window();
        EXPECT_EQ(window->windowTitle(), std::get<0>(expected[i]));
        EXPECT_EQ(window->size(), std::get<1>(expected[i]));
        // Above the floating notes, whatever the panel.
        EXPECT_GT(WindowLevelAdapter::levelOf(*window), windowLevel::floating);
        EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_TRUE(window->isVisible());
    }
    EXPECT_EQ(activations, 5);
    EXPECT_TRUE(panels[0]->window()->findChild<SettingsView*>());
    EXPECT_TRUE(panels[2]->window()->findChild<LibraryView*>());
    EXPECT_FALSE(panels[2]->window()->findChild<LibraryView*>()->isTrash());
    EXPECT_TRUE(panels[3]->window()->findChild<LibraryView*>()->isTrash());
    EXPECT_TRUE(panels[4]->window()->findChild<SearchView*>());
}

TEST_F(PanelCommandsTest, AClosedPanelLeavesTheList)
{
    commands->archive();
    commands->trash();
    QPointer<AuxiliaryController> first = commands->panels().front();
    first->window()->close();
    ASSERT_EQ(commands->panels().size(), 1u);
    EXPECT_EQ(commands->panels().front()->window()->windowTitle(), "Quorrin — 最近删除");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(first);
}

TEST_F(PanelCommandsTest, ActivatingAPanelLetsRaisedNotesFallBack)
{
    const Note note = addNote("text", "task", "");
    registry->open(note.id, std::nullopt, true);
    auto* window = dynamic_cast<FakeNoteWindow*>(registry->controller(note.id));
    ASSERT_TRUE(window);
    ASSERT_TRUE(window->isTemporarilyRaised());

    commands->settings();
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(commands->panels().front()->window(), &activate);
    EXPECT_FALSE(window->isTemporarilyRaised());
}

TEST_F(PanelCommandsTest, WhileTheMenuIsOpenActivationWaitsForIt)
{
    registry->trackingOwnMenu = true;
    commands->trash();
    EXPECT_TRUE(registry->pendingMenuActivation);
    QCoreApplication::processEvents();
    EXPECT_EQ(activations, 2);
}

TEST_F(PanelCommandsTest, AHitInFoldedRemarksUnfoldsThemAndSelectsTheMatch)
{
    const Note note = addNote("first line", "call Anna", "her number is in the STRASSE folder");
    const QUuid todo = note.blocks.back().id;

    commands->openSearchHit(note.id, todo, true, "straße", false);

    EXPECT_TRUE(store->note(note.id)->blocks.back().todo->notesExpanded);
    ASSERT_TRUE(registry->controller(note.id));
    EXPECT_EQ(selection(note.id), "STRASSE");
}

TEST_F(PanelCommandsTest, AHitInTheTextSelectsItThere)
{
    const Note note = addNote("anna in the text", "call Anna", "anna");
    const QUuid todo = note.blocks.back().id;

    commands->openSearchHit(note.id, todo, false, "anna", true);
    EXPECT_FALSE(store->note(note.id)->blocks.back().todo->notesExpanded);
    EXPECT_EQ(selection(note.id), "");

    commands->openSearchHit(note.id, todo, false, "ANNA", false);
    EXPECT_EQ(selection(note.id), "Anna");
}

TEST_F(PanelCommandsTest, AHitWhoseQueryIsGoneOpensTheNoteWithoutSelection)
{
    const Note note = addNote("text", "task", "remark");
    commands->openSearchHit(note.id, note.blocks.back().id, false, "vanished", false);
    ASSERT_TRUE(registry->controller(note.id));
    EXPECT_EQ(selection(note.id), "");
}

TEST_F(PanelCommandsTest, LibraryItemsOpenTheirNote)
{
    const Note note = addNote("text", "task", "");
    commands->openLibraryItem(note.id, note.blocks.back().id);
    EXPECT_TRUE(registry->controller(note.id));
    EXPECT_EQ(activations, 1);
}

TEST_F(PanelCommandsTest, TheAboutPanelNamesVersionAndTechnologies)
{
    commands->about();
    ASSERT_EQ(abouts.size(), 1);
    EXPECT_TRUE(abouts[0].startsWith("关于 Quorrin|Quorrin\n版本 0.7.3\n\n离线 · 原生 · 轻量\n"));
    EXPECT_TRUE(abouts[0].contains(" / "));
}

TEST_F(PanelCommandsTest, TheFileLinkSwitchGoesThroughTheStore)
{
    commands->setFilePersistence(true);
    EXPECT_TRUE(store->preferences().keepsFileLinks());
}

} // namespace
