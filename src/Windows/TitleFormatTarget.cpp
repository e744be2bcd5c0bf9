#include "Windows/TitleFormatTarget.h"

#include "Editor/TextDocumentConversion.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <utility>

namespace quorrin {

TitleFormatTarget::TitleFormatTarget(QTextEdit* editor, NoteTheme theme, TextFont defaultFont)
    : editor(editor)
    , defaultFont(std::move(defaultFont))
    , m_theme(std::move(theme))
{
}

bool TitleFormatTarget::composing() const
{
    if (!editor)
        return false;
    const QTextLayout* layout = editor->textCursor().block().layout();
    return layout && !layout->preeditAreaText().isEmpty();
}

bool TitleFormatTarget::hasSelection() const
{
    return editor && editor->textCursor().hasSelection();
}

TextAttributes TitleFormatTarget::attributes() const
{
    if (!editor) {
        TextAttributes fallback;
        fallback.font = defaultFont;
        return fallback;
    }
    const QTextCursor cursor = editor->textCursor();
    const QTextDocument& doc = *editor->document();
    if (cursor.hasSelection() && cursor.selectionEnd() <= doc.characterCount() - 1)
        return textdoc::read(doc, cursor.selectionStart(), 1).attributesAt(0);
    return textdoc::attributes(editor->currentCharFormat(), {});
}

TextFont TitleFormatTarget::baseFont() const
{
    return attributes().font.value_or(defaultFont);
}

TextFormat TitleFormatTarget::currentTextFormat() const
{
    return textformat::formatOf(attributes(), defaultFont);
}

void TitleFormatTarget::changeSelection(const std::function<void(AttributedString&)>& change)
{
    if (!editor || composing())
        return;
    QTextDocument& doc = *editor->document();
    const QTextCursor selection = editor->textCursor();
    const int start = selection.selectionStart();
    const int length = selection.selectionEnd() - start;
    if (length < 1 || start + length > doc.characterCount() - 1 || editor->isReadOnly())
        return;
    AttributedString copy = textdoc::read(doc, start, length);
    change(copy);

    // One change for the document, which the title's typing history sees
    // keep every character and leaves out.
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    textdoc::insert(cursor, copy);
    cursor.endEditBlock();

    QTextCursor reselected(&doc);
    reselected.setPosition(start);
    reselected.setPosition(start + length, QTextCursor::KeepAnchor);
    editor->setTextCursor(reselected);
}

void TitleFormatTarget::applyTyping(const std::function<void(TextAttributes&)>& change)
{
    if (!editor || composing())
        return;
    TextAttributes typing = textdoc::attributes(editor->currentCharFormat(), {});
    if (!typing.font)
        typing.font = defaultFont;
    change(typing);
    editor->setCurrentCharFormat(textdoc::charFormat(typing));
}

void TitleFormatTarget::toggleTrait(textformat::FontTrait trait)
{
    const TextFont base = baseFont();
    const bool on = !textformat::hasTrait(base, trait);
    if (hasSelection())
        changeSelection([&](AttributedString& text) { textformat::setTrait(text, trait, on, base); });
    else
        applyTyping([&](TextAttributes& typing) { typing.font = textformat::withTrait(base, trait, on); });
}

void TitleFormatTarget::toggleBold()
{
    toggleTrait(textformat::FontTrait::Bold);
}

// Every family has an italic face here (the text system slants the upright
// face of one that has none), so italic is a font trait like bold.
void TitleFormatTarget::toggleItalic()
{
    toggleTrait(textformat::FontTrait::Italic);
}

void TitleFormatTarget::toggleUnderline()
{
    const int style = currentTextFormat().underline ? 0 : 1;
    if (hasSelection())
        changeSelection([&](AttributedString& text) { textformat::setUnderline(text, style); });
    else
        applyTyping([&](TextAttributes& typing) { typing.underlineStyle = style; });
}

void TitleFormatTarget::toggleStrikethroughFormat()
{
    const int style = currentTextFormat().strikethrough ? 0 : 1;
    if (hasSelection())
        changeSelection([&](AttributedString& text) { textformat::setStrikethrough(text, style); });
    else
        applyTyping([&](TextAttributes& typing) { typing.strikethroughStyle = style; });
}

void TitleFormatTarget::adjustFontSize(double delta)
{
    const TextFont base = baseFont();
    const std::optional<double> size = textformat::steppedSize(base.pointSize, delta, minimumSize, maximumSize);
    if (!size)
        return;
    if (hasSelection()) {
        changeSelection([&](AttributedString& text) { textformat::setSize(text, *size, base); });
        return;
    }
    applyTyping([&](TextAttributes& typing) {
        TextFont font = base;
        font.pointSize = *size;
        typing.font = font;
    });
}

void TitleFormatTarget::setTextColor(const TextColor& color)
{
    if (hasSelection())
        changeSelection([&](AttributedString& text) { textformat::setColor(text, color); });
    else
        applyTyping([&](TextAttributes& typing) { typing.foreground = color; });
}

} // namespace quorrin
