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

TextEditCommand::TextEditCommand(BlockEditor* editor, int position, AttributedString removed, AttributedString inserted)
    : m_editor(editor)
    , m_edit{position, std::move(removed), std::move(inserted)}
{
}

void TextEditCommand::undo()
{
    if (!m_editor || !m_editor->replaceText(m_edit.position, m_edit.inserted.string(), m_edit.removed))
        setObsolete(true);
}

void TextEditCommand::redo()
{
    if (m_applied) {
        m_applied = false;
        return;
    }
    if (!m_editor || !m_editor->replaceText(m_edit.position, m_edit.removed.string(), m_edit.inserted))
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

void TextFormatCommand::put(const AttributedString& text)
{
    // Formats change, characters do not: the caret and selection stay.
    if (!m_editor || !m_editor->replaceText(m_position, text.string(), text, true)) {
        setObsolete(true);
        return;
    }
    m_editor->flush(); // a change of formats alone is no typing the text would write back
}

void TextFormatCommand::undo()
{
    put(m_before);
}

void TextFormatCommand::redo()
{
    if (m_applied) {
        m_applied = false;
        return;
    }
    put(m_after);
}

} // namespace quorrin
