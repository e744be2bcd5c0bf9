#include "Windows/TitleFormatTarget.h"

#include <utility>

namespace quorrin {

TitleFormatTarget::TitleFormatTarget(QTextEdit* editor, NoteTheme noteTheme, QFont defaultFont)
    : editor(editor)
    , noteTheme(std::move(noteTheme))
    , defaultFont(std::move(defaultFont))
{
}

QTextCharFormat TitleFormatTarget::currentFormat() const
{
    if (!editor)
        return {};
    QTextCharFormat format = editor->currentCharFormat();
    if (!format.hasProperty(QTextFormat::FontFamilies))
        format.setFont(defaultFont);
    return format;
}

void TitleFormatTarget::apply(const QTextCharFormat& change)
{
    if (!editor)
        return;
    QTextCursor cursor = editor->textCursor();
    if (cursor.hasSelection())
        cursor.mergeCharFormat(change);
    editor->mergeCurrentCharFormat(change);
}

} // namespace quorrin
