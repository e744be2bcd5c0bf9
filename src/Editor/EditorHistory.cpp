#include "Editor/EditorHistory.h"

#include "Editor/BlockEditor.h"

namespace quorrin {

NoteChangeCommand::NoteChangeCommand(BlockEditor* editor, Note before, const QString& actionName)
    : m_editor(editor)
    , m_snapshot(std::move(before))
{
    setText(actionName);
}

void NoteChangeCommand::undo()
{
    swap();
}

void NoteChangeCommand::redo()
{
    if (m_applied) {
        m_applied = false;
        return;
    }
    swap();
}

void NoteChangeCommand::swap()
{
    if (!m_editor || !m_editor->restore(m_snapshot))
        setObsolete(true);
}

TextEditCommand::TextEditCommand(BlockEditor* editor, TextEdit edit)
    : m_editor(editor)
    , m_edit(std::move(edit))
{
}

// Each direction keeps what it took out, as it was then: formats set and
// block ids given since the step was made come back with a redo.
void TextEditCommand::undo()
{
    swap(m_edit.inserted, m_edit.removed);
}

void TextEditCommand::redo()
{
    if (m_applied) {
        m_applied = false;
        return;
    }
    swap(m_edit.removed, m_edit.inserted);
}

void TextEditCommand::swap(AttributedString& shown, const AttributedString& replacement)
{
    std::optional<AttributedString> taken
        = m_editor ? m_editor->replaceText(m_edit.position, shown.string(), replacement, false, m_edit.tail)
                   : std::nullopt;
    if (taken)
        shown = std::move(*taken);
    else
        setObsolete(true);
}

// Typing and deleting character by character make one step each, as long as
// the edits touch and no line break is involved.
bool TextEditCommand::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const TextEditCommand*>(other);
    return next->m_editor == m_editor && mergeTyping(m_edit, next->m_edit);
}

TextFormatCommand::TextFormatCommand(BlockEditor* editor, int position, AttributedString before,
                                     AttributedString after, const QString& actionName)
    : QUndoCommand(actionName)
    , m_editor(editor)
    , m_position(position)
    , m_before(std::move(before))
    , m_after(std::move(after))
{
}

void TextFormatCommand::put(const AttributedString& text, AttributedString& shown)
{
    // Formats change, characters do not: the caret and selection stay.
    std::optional<AttributedString> taken
        = m_editor ? m_editor->replaceText(m_position, text.string(), text, true) : std::nullopt;
    if (!taken) {
        setObsolete(true);
        return;
    }
    shown = std::move(*taken);
    m_editor->flush(); // a change of formats alone is no typing the text would write back
}

void TextFormatCommand::undo()
{
    put(m_before, m_after);
}

void TextFormatCommand::redo()
{
    if (m_applied) {
        m_applied = false;
        return;
    }
    put(m_after, m_before);
}

} // namespace quorrin
