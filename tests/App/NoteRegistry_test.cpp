#include "Persistence/StoreFixtures.h"
#include "Support/FakeNoteWindow.h"

#include "App/NoteRegistry.h"
#include "Editor/BlockEditor.h"
#include "Features/Reminders/ReminderCoordinator.h"
#include "Support/FakeNotificationCenter.h"
#include "Core/Screens/ScreenProvider.h"
#include "Windows/NoteWindowHost.h"
#include "Windows/WorkspaceWindow.h"

#include <gtest/gtest.h>

#include <QTest>

#include <QCoreApplication>
#include <QPointer>
#include <QUndoStack>

using namespace quorrin;
using namespace quorrin::testing;

namespace {

class NoteRegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = directory.open();
        NoteRegistryServices services;
        services.makeWindow = [this](NoteStore& notes, const Note& note) {
            ++made;
            return std::make_unique<FakeNoteWindow>(notes, note);
        };
        services.screens = std::make_shared<FixedScreenProvider>(QList<QRectF>{QRectF(0, 0, 1600, 1000)});
        services.leftMouseDown = [] { return false; };
        services.clipboardText = [this] { return clipboard; };
        services.beep = [this] { ++beeps; };
        services.clock = fixedClock(800000000);
        registry = std::make_unique<NoteRegistry>(*store, std::move(services));
        registry->activateApplication = [this](RegisteredNoteWindow* forWindow) {
            ++activations;
            activatedFor = forWindow;
        };
    }
    void TearDown() override
    {
        registry.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A note with a paragraph and a todo; answers its id and the todo's.
    std::pair<QUuid, QUuid> addTodoNote(bool completed = false)
    {
        Note note = store->create(AttributedString(QStringLiteral("first line")));
        Block todo;
        todo.kind = BlockKind::Todo;
        todo.text = RichText(QStringLiteral("a task"), TextFont::system(14));
        todo.todo = TodoMetadata{};
        todo.todo->isCompleted = completed;
        note.blocks.push_back(todo);
        store->update(note, true, false);
        return {note.id, todo.id};
    }
    QUuid addNote(bool hidden = false, bool collapsed = false)
    {
        Note note = store->create(AttributedString(QStringLiteral("text")));
        note.isHidden = hidden;
        note.isCollapsed = collapsed;
        store->update(note, true, false);
        return note.id;
    }
    FakeNoteWindow* window(const QUuid& id) const
    {
        return dynamic_cast<FakeNoteWindow*>(registry->controller(id));
    }
    Block storedBlock(const QUuid& noteID, const QUuid& blockID) const
    {
        const Note note = *store->note(noteID);
        for (const Block& block : note.blocks) {
            if (block.id == blockID)
                return block;
        }
        return {};
    }
    // Opens the note as the key window with the caret in the block.
    FakeNoteWindow& focusOn(const QUuid& noteID, const QUuid& blockID)
    {
        registry->open(noteID, blockID, true);
        return *window(noteID);
    }

    StoreDirectory directory;
    std::unique_ptr<NoteStore> store;
    std::unique_ptr<NoteRegistry> registry;
    std::optional<QString> clipboard;
    int made = 0;
    int beeps = 0;
    int activations = 0;
    RegisteredNoteWindow* activatedFor = nullptr; // the last activation's window
};

TEST_F(NoteRegistryTest, OpeningADeletedOrUnknownNoteMakesNoWindow)
{
    const QUuid gone = addNote();
    store->deleteNote(gone);
    registry->open(gone, std::nullopt, true);
    registry->open(uuid(404), std::nullopt, true);
    registry->ensureController(gone);
    EXPECT_EQ(made, 0);
    EXPECT_TRUE(registry->controllers().empty());
    EXPECT_EQ(activations, 0);
}

TEST_F(NoteRegistryTest, OpeningAtABlockExpandsACollapsedNoteAndPlacesTheCaret)
{
    const auto [noteID, todoID] = addTodoNote();
    Note collapsed = *store->note(noteID);
    collapsed.isCollapsed = true;
    store->update(collapsed, true, false);

    registry->open(noteID, std::nullopt, false);
    EXPECT_TRUE(store->note(noteID)->isCollapsed);

    registry->open(noteID, todoID, false);
    EXPECT_FALSE(store->note(noteID)->isCollapsed);
    EXPECT_EQ(window(noteID)->editor()->currentBlock(), todoID);
    EXPECT_FALSE(window(noteID)->key);
}

TEST_F(NoteRegistryTest, OnlyAnActivatingOpenShowsAndUnhidesAHiddenNote)
{
    const QUuid hidden = addNote(true);
    registry->open(hidden, std::nullopt, false);
    EXPECT_TRUE(store->note(hidden)->isHidden);
    ASSERT_NE(window(hidden), nullptr); // the window exists but stays unshown
    EXPECT_FALSE(window(hidden)->visible);
    EXPECT_EQ(activations, 0);

    registry->trackingOwnMenu = true;
    registry->open(hidden, std::nullopt, true);
    EXPECT_FALSE(store->note(hidden)->isHidden);
    EXPECT_TRUE(window(hidden)->visible);
    EXPECT_TRUE(window(hidden)->key);
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(activatedFor, window(hidden));
    EXPECT_EQ(registry->pendingMenuFocusID, hidden);
    EXPECT_EQ(registry->current(), registry->controller(hidden));
}

TEST_F(NoteRegistryTest, TwoOpensMakeOneWindowAttachedToTheWorkspace)
{
    const QUuid id = addNote();
    registry->open(id, std::nullopt, true);
    registry->open(id, std::nullopt, false);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(registry->controllers().size(), 1u);
    EXPECT_EQ(window(id)->workspace, &registry->workspace());
}

TEST_F(NoteRegistryTest, ADeletedNotesWindowLeavesTheRegistryOnTheNextTurn)
{
    const QUuid id = addNote();
    const QUuid other = addNote();
    registry->open(id, std::nullopt, true);
    registry->open(other, std::nullopt, true);
    QPointer<RegisteredNoteWindow> removed = registry->controller(id);

    ASSERT_TRUE(store->deleteNote(id));
    removed->onDelete(id);
    EXPECT_EQ(registry->controller(id), removed.data()); // still inside the window's own command

    QCoreApplication::processEvents();
    EXPECT_EQ(registry->controller(id), nullptr);
    EXPECT_NE(registry->controller(other), nullptr);
    EXPECT_EQ(window(other)->workspace, &registry->workspace());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(removed);
}

TEST_F(NoteRegistryTest, RaisingAllFocusesTheCurrentOrTheFirstEligibleNote)
{
    const QUuid hiddenFirst = addNote(true);
    const QUuid second = addNote();
    registry->ensureController(second);
    registry->raiseAllNotes(true, false);
    EXPECT_TRUE(window(second)->key);
    EXPECT_EQ(activatedFor, window(second)); // asked for the note that takes the focus
    EXPECT_EQ(window(hiddenFirst), nullptr);
    EXPECT_TRUE(store->note(hiddenFirst)->isHidden);

    window(second)->key = false;
    registry->raiseAllNotes(true, true);
    EXPECT_TRUE(window(hiddenFirst)->key);
    EXPECT_FALSE(store->note(hiddenFirst)->isHidden);
    EXPECT_EQ(activations, 2);
}

TEST_F(NoteRegistryTest, TogglingATodoTwiceReturnsToItsStartInUndoableSteps)
{
    const auto [noteID, todoID] = addTodoNote();
    FakeNoteWindow& note = focusOn(noteID, todoID);

    registry->toggleCurrentTodo();
    EXPECT_TRUE(storedBlock(noteID, todoID).todo->isCompleted);
    EXPECT_EQ(storedBlock(noteID, todoID).todo->completedAt, Date{800000000});
    EXPECT_EQ(note.editor()->history()->undoText(), NoteRegistry::toggleTodoAction);

    registry->toggleCurrentTodo();
    EXPECT_FALSE(storedBlock(noteID, todoID).todo->isCompleted);
    EXPECT_FALSE(storedBlock(noteID, todoID).todo->completedAt);

    note.editor()->history()->undo();
    EXPECT_TRUE(storedBlock(noteID, todoID).todo->isCompleted);
}

TEST_F(NoteRegistryTest, BlockCommandsOnlyChangeTodosAndNeedAKeyNote)
{
    const auto [noteID, todoID] = addTodoNote();
    const QUuid paragraphID = store->note(noteID)->blocks.front().id;

    // No key note window: nothing happens, and the reminder command beeps.
    registry->archiveCurrent();
    registry->toggleCurrentTodo();
    registry->reminderCurrent();
    EXPECT_EQ(beeps, 1);

    FakeNoteWindow& note = focusOn(noteID, paragraphID);
    const auto todoData = [&] {
        std::vector<std::pair<BlockKind, std::optional<TodoMetadata>>> data;
        const Note current = *store->note(noteID);
        for (const Block& block : current.blocks)
            data.emplace_back(block.kind, block.todo);
        return data;
    };
    const auto before = todoData();
    registry->priorityCurrent(1);
    registry->toggleCurrentRemarks();
    registry->toggleCurrentTodo();
    EXPECT_EQ(todoData(), before);
    EXPECT_EQ(note.editor()->history()->count(), 0);
    registry->reminderCurrent();
    EXPECT_EQ(beeps, 2);

    note.editor()->focus(todoID);
    registry->priorityCurrent(2);
    EXPECT_EQ(storedBlock(noteID, todoID).todo->priority, 2);
    EXPECT_EQ(note.editor()->history()->undoText(), NoteRegistry::priorityAction);
    registry->priorityCurrent(9); // no such priority
    EXPECT_EQ(storedBlock(noteID, todoID).todo->priority, 2);
    registry->toggleCurrentRemarks();
    EXPECT_TRUE(storedBlock(noteID, todoID).todo->notesExpanded);
    EXPECT_EQ(note.editor()->history()->undoText(), NoteRegistry::toggleRemarksAction);
    registry->archiveCurrent();
    EXPECT_EQ(note.archived, std::vector<QUuid>{todoID});
}

TEST_F(NoteRegistryTest, ConvertingReadsTheBlockKindFromTheMenuItem)
{
    const auto [noteID, todoID] = addTodoNote();
    const QUuid paragraphID = store->note(noteID)->blocks.front().id;
    focusOn(noteID, paragraphID);

    for (const QVariant& ignored : {QVariant(), QVariant(5), QVariant(QStringLiteral("Todo")),
                                    QVariant(QStringLiteral("chapter"))}) {
        registry->convertBlock(ignored);
        EXPECT_EQ(storedBlock(noteID, paragraphID).kind, BlockKind::Paragraph) << ignored.toString().toStdString();
    }
    registry->convertBlock(QStringLiteral("h2"));
    EXPECT_EQ(storedBlock(noteID, paragraphID).kind, BlockKind::H2);
}

TEST_F(NoteRegistryTest, NewNotesFromTextClipboardAndTheTextService)
{
    registry->newFromClipboard();
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(store->active().empty());

    clipboard = QStringLiteral("from the clipboard");
    registry->newFromClipboard();
    EXPECT_EQ(registry->newFromSelection(QString()), NoteRegistry::noSelectionError);
    EXPECT_EQ(registry->newFromSelection(QStringLiteral("selected")), std::nullopt);
    registry->newNote();

    const std::vector<Note> notes = store->active();
    ASSERT_EQ(notes.size(), 3u);
    // In the note's font, as what is typed next to it.
    EXPECT_EQ(notes[0].blocks.front().text, RichText(QStringLiteral("from the clipboard"), TextFont::system(14)));
    EXPECT_EQ(notes[1].blocks.front().text, RichText(QStringLiteral("selected"), TextFont::system(14)));
    EXPECT_TRUE(notes[2].isEmpty());
    for (const Note& note : notes)
        EXPECT_TRUE(window(note.id)->visible);
    EXPECT_TRUE(window(notes[2].id)->key);
    EXPECT_EQ(activations, 3);

    // Text dropped on a header makes a note too.
    window(notes[0].id)->onTextDrop(QStringLiteral("dropped"));
    EXPECT_EQ(store->active().size(), 4u);
}

TEST_F(NoteRegistryTest, AHandedOverNoteComesForwardAtOnceAndTheOthersOnlyWithTheBurstCommandsAtOnce)
{
    const QUuid other = addNote();
    EXPECT_EQ(registry->newFromSelection(QStringLiteral("handed over")), std::nullopt);
    const QUuid handed = store->active().back().id;
    EXPECT_TRUE(window(handed)->visible);
    EXPECT_TRUE(window(handed)->key);
    EXPECT_EQ(window(other), nullptr);
    EXPECT_TRUE(registry->workspace().isBurstPending());
    for (int turn = 0; turn < 100 && registry->workspace().isBurstPending(); ++turn)
        QTest::qWait(20);
    ASSERT_NE(window(other), nullptr);
    EXPECT_TRUE(window(other)->visible);

    const QUuid later = addNote();
    clipboard = QStringLiteral("a command");
    registry->newFromClipboard(); // not a hand-over: every note at once
    ASSERT_NE(window(later), nullptr);
    EXPECT_TRUE(window(later)->visible);
    EXPECT_FALSE(registry->workspace().isBurstPending());
}

TEST_F(NoteRegistryTest, TheReminderEditorOpensOnTheNextTurnOnlyForOpenTodos)
{
    FakeNotificationCenter center;
    ReminderCoordinator reminders(nullptr, center, nullptr);
    const auto [openNote, openTodo] = addTodoNote();
    const auto [doneNote, doneTodo] = addTodoNote(true);
    const QUuid paragraph = store->note(openNote)->blocks.front().id;

    registry->showReminder(openNote, openTodo); // no coordinator yet
    registry->setReminders(&reminders);
    registry->showReminder(doneNote, doneTodo);
    registry->showReminder(openNote, paragraph);
    registry->showReminder(openNote, openTodo);
    ASSERT_NE(window(openNote), nullptr);
    EXPECT_TRUE(window(openNote)->reminders.empty());
    EXPECT_EQ(window(doneNote), nullptr);

    QCoreApplication::processEvents();
    EXPECT_EQ(window(openNote)->reminders, std::vector<QUuid>{openTodo});
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(activatedFor, window(openNote));

    // From the menu: the current todo's editor is flushed and asked the same way.
    focusOn(openNote, openTodo);
    registry->reminderCurrent();
    QCoreApplication::processEvents();
    EXPECT_EQ(window(openNote)->reminders.size(), 2u);
    EXPECT_EQ(beeps, 0);
}

} // namespace

namespace quorrin {
namespace {

TEST_F(NoteRegistryTest, EditorsEndRingingInTheAlarmCenterAndNewWindowsAreAnnounced)
{
    std::vector<std::pair<QUuid, QUuid>> acknowledged;
    registry->acknowledgeAlarm = [&](const QUuid& noteID, const QUuid& blockID) {
        acknowledged.emplace_back(noteID, blockID);
    };
    std::vector<QUuid> made;
    registry->onWindowMade = [&](RegisteredNoteWindow& window) { made.push_back(window.noteID()); };
    const auto [noteID, todoID] = addTodoNote();
    registry->open(noteID, std::nullopt, false);
    registry->open(noteID, std::nullopt, false);
    EXPECT_EQ(made, std::vector<QUuid>{noteID});

    BlockEditor& editor = *window(noteID)->editor();
    ASSERT_TRUE(editor.acknowledgeInAlarmCenter);
    editor.acknowledgeInAlarmCenter(noteID, todoID);
    EXPECT_EQ(acknowledged, (std::vector<std::pair<QUuid, QUuid>>{{noteID, todoID}}));
}

} // namespace
} // namespace quorrin
