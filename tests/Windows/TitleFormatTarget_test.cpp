#include "Windows/TitleFormatTarget.h"

#include "Editor/TextDocumentConversion.h"
#include "Windows/TitleTextField.h"
#include "Windows/TitleTypingHistory.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QTextCursor>
#include <QTextEdit>

namespace quorrin {
namespace {

class TitleFormatTargetTest : public ::testing::Test {
protected:
    TitleTextField field;
    std::unique_ptr<TitleFormatTarget> target;

    void SetUp() override
    {
        AttributedString title(QStringLiteral("Title"));
        title.setFont(0, 5, TextFont::system(15.5, true));
        field.setAttributedValue(title);
        target = std::make_unique<TitleFormatTarget>(&field, NoteTheme::neutral(), TextFont::system(15.5, true));
    }
    void select(int start, int end)
    {
        QTextCursor cursor(field.document());
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        field.setTextCursor(cursor);
    }
    TextAttributes at(int position) const
    {
        return textdoc::read(*field.document(), position, 1).attributesAt(0);
    }
};

TEST_F(TitleFormatTargetTest, ASelectionChangeIsNoUndoStepOfItsOwn)
{
    select(0, 2);
    target->toggleBold();
    EXPECT_FALSE(at(0).font->bold);
    EXPECT_TRUE(at(2).font->bold);
    EXPECT_FALSE(field.typingHistory().canUndo());
    EXPECT_EQ(field.textCursor().selectionStart(), 0);
    EXPECT_EQ(field.textCursor().selectionEnd(), 2);

    // Typed text stays undoable through formats set and cleared after it,
    // and the formats stay when the typing is undone and redone.
    QTextCursor end(field.document());
    end.movePosition(QTextCursor::End);
    end.insertText(QStringLiteral("!"));
    select(0, 2);
    target->toggleUnderline();
    EXPECT_EQ(at(1).underlineStyle, 1);
    target->toggleItalic();
    target->toggleItalic();
    select(5, 6);
    target->toggleUnderline(); // the typed text itself
    EXPECT_EQ(field.toPlainText(), QStringLiteral("Title!"));
    field.undoTyping();
    EXPECT_EQ(field.toPlainText(), QStringLiteral("Title"));
    EXPECT_FALSE(field.typingHistory().canUndo());
    EXPECT_EQ(at(1).underlineStyle, 1);
    EXPECT_FALSE(at(1).font->italic);
    field.redoTyping();
    EXPECT_EQ(field.toPlainText(), QStringLiteral("Title!"));
    EXPECT_EQ(at(1).underlineStyle, 1);
    EXPECT_EQ(at(5).underlineStyle, 1); // as it was formatted since, not as typed
}

TEST_F(TitleFormatTargetTest, SizesStayBetween11And20)
{
    select(0, 5);
    target->adjustFontSize(1); // 15.5 + 1 rounds away from zero to 17
    EXPECT_EQ(at(0).font->pointSize, 17);
    target->adjustFontSize(1);
    target->adjustFontSize(1);
    target->adjustFontSize(1);
    target->adjustFontSize(1);
    EXPECT_EQ(at(0).font->pointSize, 20);
    for (int i = 0; i < 12; ++i)
        target->adjustFontSize(-1);
    EXPECT_EQ(at(4).font->pointSize, 11);
}

TEST_F(TitleFormatTargetTest, WithoutSelectionOnlyTheTypingAttributesChange)
{
    select(5, 5);
    target->toggleBold();
    target->setTextColor(TextColor::fixed({1, 0, 0, 1}));
    EXPECT_TRUE(at(4).font->bold);
    EXPECT_EQ(at(4).foreground.value_or(TextColor::dynamicText()), TextColor::dynamicText());
    EXPECT_FALSE(target->currentTextFormat().bold);
    EXPECT_EQ(target->currentTextFormat().color, TextColor::fixed({1, 0, 0, 1}));
}

TEST_F(TitleFormatTargetTest, NothingHappensWhileComposingOrWithoutTheField)
{
    select(0, 5);
    QInputMethodEvent composing(QStringLiteral("zh"), {});
    QCoreApplication::sendEvent(&field, &composing);
    const QString before = field.toHtml();
    target->toggleStrikethroughFormat();
    EXPECT_EQ(field.toHtml(), before);

    TitleFormatTarget orphan(nullptr, NoteTheme::neutral(), TextFont::system(15.5, true));
    orphan.toggleBold();
    EXPECT_EQ(orphan.currentTextFormat().font, TextFont::system(15.5, true));
    EXPECT_FALSE(orphan.currentTextFormat().underline);
}

} // namespace
} // namespace quorrin
