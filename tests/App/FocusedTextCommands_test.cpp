#include "RegistryFixture.h"

#include "App/FocusedTextCommands.h"
#include "Editor/BlockTextView.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTextCursor>
#include <QUndoStack>

namespace quorrin {
namespace {

class FocusedTextCommandsTest : public testing::RegistryFixture {
protected:
    void SetUp() override
    {
        RegistryFixture::SetUp();
        id = addNote(QStringLiteral("menu text"));
        registry->open(id, std::nullopt, false);
        editor = registry->controller(id)->editor();
        text = editor->textView();
        commands.focusWidget = [this] { return focused; };
        focused = text;
    }
    bool storedBold(int position) const
    {
        const auto font = store->note(id)->blocks.front().text.attributed().attributesAt(position).font;
        return font && font->bold;
    }
    void selectAll()
    {
        QTextCursor cursor = text->textCursor();
        cursor.setPosition(0);
        cursor.setPosition(4, QTextCursor::KeepAnchor);
        text->setTextCursor(cursor);
    }

    QUuid id;
    BlockEditor* editor = nullptr;
    BlockTextView* text = nullptr;
    QWidget* focused = nullptr;
    FocusedTextCommands commands;
};

TEST_F(FocusedTextCommandsTest, FormatCommandsChangeTheFocusedNoteAsOneUndoStep)
{
    selectAll();
    commands.toggleBold();
    EXPECT_TRUE(storedBold(0));
    EXPECT_FALSE(storedBold(6));

    // Undo through the menu goes to the note's own history, and the menu
    // names the step it would act on.
    EXPECT_EQ(commands.history().undoName, QStringLiteral("加粗"));
    EXPECT_FALSE(commands.history().canRedo);
    commands.undo();
    EXPECT_FALSE(storedBold(0));
    EXPECT_EQ(commands.history().redoName, QStringLiteral("加粗"));
    EXPECT_TRUE(commands.history().canRedo);
    commands.redo();
    EXPECT_TRUE(storedBold(0));
    focused = nullptr;
    EXPECT_FALSE(commands.history().canUndo);
}

TEST_F(FocusedTextCommandsTest, UndoAndRedoFromTheMenuWaitWhileAnInputMethodComposes)
{
    const auto compose = [&](const QString& preedit, const QString& commit) {
        QInputMethodEvent event(preedit, {});
        event.setCommitString(commit);
        QCoreApplication::sendEvent(text, &event);
    };
    selectAll();
    commands.toggleBold();
    QTextCursor end = text->textCursor();
    end.setPosition(int(QStringLiteral("menu text").size()));
    text->setTextCursor(end);

    // Each command is refused while composing; then the composition is
    // committed (a typing step of its own) or cancelled, and the command works.
    struct Step {
        const char* label;
        std::function<void()> command;
        QString commit;
        bool boldAfter;
    };
    const Step steps[] = {{"undo", [&] { commands.undo(); }, QStringLiteral("写"), false},
                          {"redo", [&] { commands.redo(); }, QString(), true}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.label);
        const int index = editor->history()->index();
        compose(QStringLiteral("xie"), {});
        step.command();
        EXPECT_TRUE(editor->hasMarkedText());
        EXPECT_EQ(editor->history()->index(), index);
        EXPECT_EQ(storedBold(0), !step.boldAfter);

        compose({}, step.commit);
        EXPECT_EQ(store->note(id)->blocks.front().text.attributed().string(), QStringLiteral("menu text") + step.commit);
        if (!step.commit.isEmpty())
            commands.undo(); // the committed typing goes first
        step.command();
        EXPECT_EQ(storedBold(0), step.boldAfter);
        EXPECT_EQ(store->note(id)->blocks.front().text.attributed().string(), QStringLiteral("menu text"));
    }
}

TEST_F(FocusedTextCommandsTest, TheFontDialogsChoiceIsAppliedThroughTheFormatTarget)
{
    selectAll();
    commands.chooseFont = [](const QFont& current) {
        QFont chosen = current;
        chosen.setItalic(true);
        chosen.setPointSizeF(current.pointSizeF() + 3);
        return std::optional<QFont>(chosen);
    };
    const double before = editor->currentTextFormat().font.pointSize;
    commands.showFonts();
    const TextFont font = *store->note(id)->blocks.front().text.attributed().attributesAt(0).font;
    EXPECT_TRUE(font.italic);
    EXPECT_EQ(font.pointSize, before + 3);
}

TEST_F(FocusedTextCommandsTest, WithoutFocusedTextNothingHappensAndOtherFieldsGetTheEditCommands)
{
    focused = nullptr;
    const Note before = *store->note(id);
    commands.toggleBold();
    commands.bigger();
    commands.undo();
    EXPECT_EQ(*store->note(id), before);

    QLineEdit field(QStringLiteral("abc"));
    focused = &field;
    commands.selectAll();
    EXPECT_EQ(field.selectedText(), QStringLiteral("abc"));
    commands.cut();
    EXPECT_TRUE(field.text().isEmpty());
    commands.undo();
    EXPECT_EQ(field.text(), QStringLiteral("abc"));
}

} // namespace
} // namespace quorrin

namespace quorrin {
namespace {

TEST_F(FocusedTextCommandsTest, ALinkIsSetAndRemovedOnTheSelectionAndKeptInTheNote)
{
    auto linkAt = [this](int position) {
        const auto value =
            store->note(id)->blocks.front().text.attributed().customAt(position, textformat::linkAttribute);
        const QString* address = value ? std::get_if<QString>(&*value) : nullptr;
        return address ? *address : QString();
    };
    QString offered;
    std::optional<QString> answer = QStringLiteral(" https://example.org/菜单 ");
    commands.chooseLink = [&](const QString& current) {
        offered = current;
        return answer;
    };

    // Nothing selected: no dialog, no change.
    commands.editLink();
    EXPECT_TRUE(offered.isNull());

    selectAll();
    commands.editLink();
    EXPECT_EQ(linkAt(0), QStringLiteral("https://example.org/菜单"));
    EXPECT_TRUE(linkAt(6).isEmpty());

    // The dialog starts from the current address; an empty answer unlinks.
    selectAll();
    answer = QString();
    commands.editLink();
    EXPECT_EQ(offered, QStringLiteral("https://example.org/菜单"));
    EXPECT_TRUE(linkAt(0).isEmpty());

    // Cancelling changes nothing; undo brings the link back in one step.
    answer = std::nullopt;
    commands.editLink();
    commands.undo();
    EXPECT_EQ(linkAt(0), QStringLiteral("https://example.org/菜单"));
}

} // namespace
} // namespace quorrin

namespace quorrin {
namespace {

TEST_F(FocusedTextCommandsTest, AlignmentIsStoredInTheParagraph)
{
    text->setFocus();
    commands.alignCenter();
    editor->flush();
    const auto style = store->note(id)->blocks.front().text.attributed().attributesAt(0).paragraphStyle;
    ASSERT_TRUE(style);
    EXPECT_EQ(style->alignment, TextAlignment::Center);
}

} // namespace
} // namespace quorrin
