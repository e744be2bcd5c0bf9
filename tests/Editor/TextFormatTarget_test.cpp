#include "Editor/TextFormatTarget.h"

#include "EditorTestSupport.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QTest>

namespace quorrin {
namespace {

using namespace quorrin::testing;
using textformat::FontTrait;

TEST(TextFormatRules, FormatOfAttributes)
{
    const TextFont base = TextFont::system(14);
    TextAttributes plain;
    EXPECT_EQ(textformat::formatOf(plain, base), (TextFormat{base, TextColor::dynamicText()}));

    TextAttributes styled;
    styled.font = TextFont{QStringLiteral("Serif"), 20, true, true};
    styled.foreground = TextColor::fixed({1, 0, 0, 1});
    styled.underlineStyle = 2; // thick alone is no single line
    styled.strikethroughStyle = 9;
    const TextFormat format = textformat::formatOf(styled, base);
    EXPECT_TRUE(format.bold && format.italic && format.strikethrough);
    EXPECT_FALSE(format.underline);
    EXPECT_EQ(format.color, *styled.foreground);
    styled.underlineStyle = 1 | 0x200;
    EXPECT_TRUE(textformat::formatOf(styled, base).underline);
}

TEST(TextFormatRules, SizeStepsRoundAwayFromZeroWithinLimits)
{
    struct Case {
        double current, delta;
        std::optional<double> expected;
    };
    for (const Case& c : std::vector<Case>{{14, 1, 15},
                                           {13.5, 1, 15},
                                           {13.5, -1, 13},
                                           {48, 1, std::nullopt},
                                           {9, -1, std::nullopt},
                                           {60, -1, 48},
                                           {4, 1, 9},
                                           {14.2, 0, 14}})
        EXPECT_EQ(textformat::steppedSize(c.current, c.delta), c.expected) << c.current << " " << c.delta;
}

TEST(TextFormatRules, TransformsTouchEveryRunAndFillMissingFonts)
{
    AttributedString text(QStringLiteral("abc"));
    TextAttributes bold;
    bold.font = TextFont{QStringLiteral("Serif"), 18, true, false};
    bold.foreground = TextColor::fixed({0, 0, 1, 1});
    text.setAttributes(0, 1, bold);
    const TextFont base = TextFont::system(13);

    AttributedString plain = text;
    textformat::setTrait(plain, FontTrait::Bold, false, base);
    EXPECT_EQ(plain.attributesAt(0).font, (TextFont{QStringLiteral("Serif"), 18, false, false}));
    EXPECT_EQ(plain.attributesAt(2).font, base);
    EXPECT_EQ(plain.attributesAt(0).foreground, bold.foreground);

    AttributedString sized = text;
    textformat::setSize(sized, 20, base);
    EXPECT_EQ(sized.attributesAt(0).font->pointSize, 20);
    EXPECT_EQ(sized.attributesAt(2).font->pointSize, 20);
}

class BodyFormattingTest : public EditorFixture {
protected:
    TextAttributes storedAt(int block, int position) const
    {
        return stored().blocks[std::size_t(block)].text.attributed().attributesAt(position);
    }
};

TEST_F(BodyFormattingTest, CaretCommandsChangeOnlyTheTypingAttributes)
{
    open({makeBlock(BlockKind::Paragraph, QStringLiteral("abc"))});
    caretAt(1);
    const int steps = editor->history()->count();
    editor->toggleBold();
    EXPECT_TRUE(editor->currentTextFormat().bold);
    editor->toggleUnderline();
    EXPECT_TRUE(editor->currentTextFormat().underline);
    editor->adjustFontSize(1);
    EXPECT_EQ(editor->currentTextFormat().font.pointSize, 15);
    EXPECT_EQ(editor->history()->count(), steps);
    EXPECT_FALSE(storedAt(0, 0).font->bold);

    QTest::keyClicks(editor->textView(), QStringLiteral("X"));
    EXPECT_EQ(stored().blocks[0].text.attributed().string(), QStringLiteral("aXbc"));
    EXPECT_TRUE(storedAt(0, 1).font->bold);
    EXPECT_EQ(storedAt(0, 1).underlineStyle, 1);
    EXPECT_EQ(storedAt(0, 1).font->pointSize, 15);
    EXPECT_FALSE(storedAt(0, 2).font->bold);
}

TEST_F(BodyFormattingTest, SelectionCommandsAreUndoableAndFollowTheFirstCharacter)
{
    Block line = makeBlock(BlockKind::Paragraph, QStringLiteral("abc"));
    AttributedString mixed = line.text.attributed();
    mixed.setFont(0, 1, TextFont::system(14, true));
    line.text = RichText(mixed);
    open({line, makeBlock(BlockKind::Paragraph, QStringLiteral("de"))});
    editor->flush(); // the text as the editor writes it back
    const Note before = stored();

    select(0, 3);
    editor->toggleBold(); // the first character is bold: all of it loses bold
    EXPECT_FALSE(storedAt(0, 0).font->bold);
    EXPECT_FALSE(storedAt(0, 2).font->bold);
    EXPECT_EQ(editor->history()->undoText(), QStringLiteral("加粗"));
    EXPECT_EQ(editor->textView()->textCursor().selectionStart(), 0);
    EXPECT_EQ(editor->textView()->textCursor().selectionEnd(), 3);

    select(1, 6); // across the line break
    editor->setTextColor(TextColor::fixed({1, 0, 0, 1}));
    EXPECT_EQ(storedAt(1, 1).foreground, TextColor::fixed({1, 0, 0, 1}));
    EXPECT_EQ(storedAt(0, 0).foreground, TextColor::dynamicText());
    EXPECT_EQ(stored().blocks.size(), 2u);
    EXPECT_EQ(editor->history()->undoText(), QStringLiteral("文字颜色"));

    editor->history()->undo();
    editor->history()->undo();
    EXPECT_EQ(stored().blocks[0].text, before.blocks[0].text);
    EXPECT_EQ(stored().blocks[1].text, before.blocks[1].text);
    editor->history()->redo();
    EXPECT_FALSE(storedAt(0, 0).font->bold);
}

TEST_F(BodyFormattingTest, NothingHappensAtLimitsOrWhileComposing)
{
    Block big = makeBlock(BlockKind::Paragraph, QStringLiteral("ab"));
    big.text = RichText(QStringLiteral("ab"), TextFont::system(48));
    open({big});
    select(0, 2);
    const int steps = editor->history()->count();
    editor->adjustFontSize(1);
    EXPECT_EQ(editor->history()->count(), steps);
    editor->adjustFontSize(-1);
    EXPECT_EQ(storedAt(0, 0).font->pointSize, 47);
    EXPECT_EQ(editor->history()->undoText(), QStringLiteral("字号"));

    caretAt(2);
    QInputMethodEvent composing(QStringLiteral("zh"), {});
    QCoreApplication::sendEvent(editor->textView(), &composing);
    const Note during = stored();
    editor->toggleItalic();
    editor->toggleStrikethroughFormat();
    EXPECT_EQ(stored(), during);
    EXPECT_FALSE(editor->currentTextFormat().italic);
}

TEST_F(BodyFormattingTest, ThemeFollowsTheNoteColour)
{
    open({makeBlock(BlockKind::Paragraph, QStringLiteral("a"))});
    EXPECT_EQ(editor->noteTheme(), noteColor::theme(stored().color));
    store->notes.clear();
    EXPECT_EQ(editor->noteTheme(), NoteTheme::neutral());
}

TEST_F(BodyFormattingTest, UndoAndRedoOfAFormatStepLeaveTheCaretWhereItIs)
{
    open({makeBlock(BlockKind::Paragraph, QStringLiteral("abcdef"))});
    select(1, 3);
    editor->toggleUnderline();
    caretAt(5);
    editor->history()->undo();
    EXPECT_EQ(storedAt(0, 1).underlineStyle, 0);
    EXPECT_EQ(editor->textView()->textCursor().position(), 5);
    EXPECT_FALSE(editor->textView()->textCursor().hasSelection());
    select(4, 6);
    editor->history()->redo();
    EXPECT_EQ(storedAt(0, 1).underlineStyle, 1);
    EXPECT_EQ(editor->textView()->textCursor().selectionStart(), 4);
    EXPECT_EQ(editor->textView()->textCursor().selectionEnd(), 6);
}

TEST_F(BodyFormattingTest, TextTypedOverAFormattedSelectionTakesItsFirstCharactersFormat)
{
    Block line = makeBlock(BlockKind::Paragraph, QStringLiteral("abcd"));
    AttributedString mixed = line.text.attributed();
    mixed.setFont(0, 1, TextFont::system(20));
    line.text = RichText(mixed);
    open({line});
    select(0, 3);
    editor->setTextColor(TextColor::fixed({1, 0, 0, 1}));
    QTest::keyClicks(editor->textView(), QStringLiteral("Z"));
    editor->flush();
    EXPECT_EQ(stored().blocks[0].text.attributed().string(), QStringLiteral("Zd"));
    EXPECT_EQ(storedAt(0, 0).font->pointSize, 20);
    EXPECT_EQ(storedAt(0, 0).foreground, TextColor::fixed({1, 0, 0, 1}));
    editor->history()->undo();
    EXPECT_EQ(stored().blocks[0].text.attributed().string(), QStringLiteral("abcd"));
}

TEST(TextFormatRules, SizeStepsWithinTheTitlesLimits)
{
    EXPECT_EQ(textformat::steppedSize(15.5, 1, 11, 20), 17);
    EXPECT_EQ(textformat::steppedSize(20, 1, 11, 20), std::nullopt);
    EXPECT_EQ(textformat::steppedSize(11, -1, 11, 20), std::nullopt);
    EXPECT_EQ(textformat::steppedSize(24, 1, 11, 20), 20);
}

} // namespace
} // namespace quorrin
