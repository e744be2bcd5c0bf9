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
    , m_position(position)
    , m_removed(std::move(removed))
    , m_inserted(std::move(inserted))
{
}

void TextEditCommand::undo()
{
    if (!m_editor || !m_editor->replaceText(m_position, m_inserted.string(), m_removed))
        setObsolete(true);
}

void TextEditCommand::redo()
{
    if (m_applied) {
        m_applied = false;
        return;
    }
    if (!m_editor || !m_editor->replaceText(m_position, m_removed.string(), m_inserted))
        setObsolete(true);
}

// Typing and deleting character by character make one step each, as long as
// the edits touch and no line break is involved.
bool TextEditCommand::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const TextEditCommand*>(other);
    if (next->m_editor != m_editor)
        return false;
    const auto hasBreak = [](const AttributedString& text) { return text.string().contains(QLatin1Char('\n')); };
    if (hasBreak(next->m_inserted) || hasBreak(next->m_removed) || hasBreak(m_inserted) || hasBreak(m_removed))
        return false;
    const bool typing = m_removed.isEmpty() && next->m_removed.isEmpty() && !next->m_inserted.isEmpty()
        && next->m_position == m_position + m_inserted.length();
    if (typing) {
        m_inserted.append(next->m_inserted);
        return true;
    }
    const bool deleting = m_inserted.isEmpty() && next->m_inserted.isEmpty() && !next->m_removed.isEmpty();
    if (deleting && next->m_position + next->m_removed.length() == m_position) { // backspace
        AttributedString removed = next->m_removed;
        removed.append(m_removed);
        m_removed = std::move(removed);
        m_position = next->m_position;
        return true;
    }
    if (deleting && next->m_position == m_position) { // forward delete
        m_removed.append(next->m_removed);
        return true;
    }
    return false;
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
