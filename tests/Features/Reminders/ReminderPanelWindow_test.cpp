#include "Features/Reminders/ReminderPanel.h"

#include "Editor/BlockEditor.h"
#include "Editor/BlockTextView.h"
#include "Persistence/StoreFixtures.h"
#include "Windows/NoteWindowController.h"
#include "Widgets/MenuActionButton.h"
#include "Windows/StickyPanel.h"
#include "Support/Eventually.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <QTextCursor>

namespace quorrin {
namespace {

using namespace quorrin::testing;

// A note window over a real store, opening the real reminder panel.
class ReminderPanelWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = directory.open(false);
        store->setOnError([this](std::exception_ptr) { ++errors; });
        Note note = store->create();
        Block todo;
        todo.kind = BlockKind::Todo;
        todo.text = RichText(QStringLiteral("交房租"), TextFont::system(14));
        todo.todo = TodoMetadata();
        todoID = todo.id;
        note.blocks = {todo};
        store->update(note, true, false);

        NoteWindowController::Services services;
        services.screens = std::make_shared<FixedScreenProvider>(QList<QRectF>{QRectF(0, 0, 4000, 3000)});
        services.prefersReducedMotion = [] { return true; };
        services.parts.makeReminderPanel = [](BlockEditor& editor, const QUuid& blockID,
                                              const ReminderCallbacks& callbacks) {
            ReminderPanel::Services panel;
            panel.prefersReducedMotion = [] { return true; };
            return std::make_unique<ReminderPanel>(editor, blockID, callbacks, panel);
        };
        window = std::make_unique<NoteWindowController>(*store, *store->note(note.id), services);
        noteID = note.id;
        window->panel()->show();
    }

    ReminderPanel* openPanel()
    {
        ReminderCallbacks callbacks;
        callbacks.authorize = [](std::function<void(bool)> answer) { answer(true); };
        callbacks.synchronize = [](std::function<void(std::optional<QString>)> answer) { answer(std::nullopt); };
        window->showReminder(todoID, callbacks);
        return dynamic_cast<ReminderPanel*>(window->reminderPanel());
    }
    std::optional<TodoReminder> storedReminder() const
    {
        return store->note(noteID)->blocks.front().todo->reminder;
    }
    void breakSaving() const { directory.breakSaving(); }

    StoreDirectory directory;
    std::unique_ptr<NoteStore> store;
    std::unique_ptr<NoteWindowController> window;
    QUuid noteID;
    QUuid todoID;
    int errors = 0;
};

TEST_F(ReminderPanelWindowTest, ASavedReminderShowsAtOnceAndThePanelGoesAfterItsConfirmation)
{
    ReminderPanel* panel = openPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->titleLabel()->text(), QStringLiteral("交房租"));
    QTest::mouseClick(panel->saveButton(), Qt::LeftButton);
    ASSERT_TRUE(storedReminder());
    // The window refreshed the panel from the store's announcement.
    EXPECT_TRUE(panel->snoozeRow()->isVisible());
    EXPECT_EQ(panel->messageLabel()->text(), QStringLiteral("已保存提醒"));
    EXPECT_TRUE(testing::eventually([&] { return window->reminderPanel() == nullptr; }));
    EXPECT_EQ(errors, 0);
}

TEST_F(ReminderPanelWindowTest, AFailedStoreSaveLeavesTheReminderAsItWasAndThePanelOpenWithTheError)
{
    ReminderPanel* panel = openPanel();
    ASSERT_NE(panel, nullptr);
    breakSaving();
    QTest::mouseClick(panel->saveButton(), Qt::LeftButton);
    EXPECT_FALSE(storedReminder());
    EXPECT_EQ(panel->messageLabel()->text(), QStringLiteral("保存失败，提醒未更改。"));
    EXPECT_GE(errors, 1);
    QTest::qWait(350);
    EXPECT_EQ(window->reminderPanel(), panel);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(panel->saveButton()->isEnabled());
}

TEST_F(ReminderPanelWindowTest, ClosingThePanelLeavesTheCaretWhereItWasInTheTodo)
{
    const std::pair<const char*, std::function<void(ReminderPanel&)>> closings[] = {
        {"Escape", [](ReminderPanel& panel) { QTest::keyClick(&panel, Qt::Key_Escape); }},
        {"save", [](ReminderPanel& panel) { QTest::mouseClick(panel.saveButton(), Qt::LeftButton); }},
    };
    for (const auto& [name, close] : closings) {
        SCOPED_TRACE(name);
        BlockTextView* text = window->editor()->textView();
        QTextCursor caret(text->document());
        caret.setPosition(2); // within "交房租"
        text->setTextCursor(caret);
        ReminderPanel* panel = openPanel();
        ASSERT_NE(panel, nullptr);
        close(*panel);
        EXPECT_TRUE(testing::eventually([&] { return window->reminderPanel() == nullptr; }));
        EXPECT_EQ(text->textCursor().position(), 2);
    }
}

TEST_F(ReminderPanelWindowTest, CompletingTheTodoClosesThePanel)
{
    ReminderPanel* panel = openPanel();
    ASSERT_NE(panel, nullptr);
    Note note = *store->note(noteID);
    note.blocks.front().todo->isCompleted = true;
    store->update(note, true, true);
    EXPECT_TRUE(testing::eventually([&] { return window->reminderPanel() == nullptr; }));
}

TEST_F(ReminderPanelWindowTest, HidingTheNoteClosesThePanel)
{
    ASSERT_NE(openPanel(), nullptr);
    window->hideNote();
    EXPECT_TRUE(testing::eventually([&] { return window->reminderPanel() == nullptr; }));
}

} // namespace
} // namespace quorrin
