// The block editor's side of dragging a block by its handle: the preview of
// where it would land, the captured rows the gutter hit-tests, the keyboard
// focus taken away and handed back, and the move itself.
#include "Editor/BlockEditor.h"

#include "Editor/BlockTextView.h"
#include "Editor/EditorDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QHideEvent>
#include <QTextCursor>
#include <QTextDocument>

namespace quorrin {

std::optional<Note> BlockEditor::storedNote() const
{
    return m_store->note(m_noteID);
}

void BlockEditor::beginDragVisual()
{
    QWidget* window = m_textView->window();
    m_drag.hadFocus = window && window->focusWidget() == m_textView;
    if (!m_drag.hadFocus)
        return;
    const QTextCursor cursor = m_textView->textCursor();
    m_drag.focusSelection = dragpreview::remember(m_ranges, cursor.anchor(), cursor.position());
    // Without focus the caret is hidden and typing cannot reach the note.
    m_textView->clearFocus();
}

void BlockEditor::endDragVisual()
{
    if (!m_drag.hadFocus)
        return;
    m_drag.hadFocus = false;
    const std::optional<TextSelection> selection = std::exchange(m_drag.focusSelection, std::nullopt);
    if (m_textView->window())
        m_textView->setFocus(Qt::OtherFocusReason);
    if (!selection)
        return;
    if (const auto range = dragpreview::restore(*selection, m_ranges, editordoc::textLength(*document()))) {
        QTextCursor cursor(document());
        cursor.setPosition(range->first);
        cursor.setPosition(range->second, QTextCursor::KeepAnchor);
        m_textView->setTextCursor(cursor);
    }
}

void BlockEditor::beginDragPreview(const QUuid& id)
{
    showWholeText(); // the rows are those of the whole text
    const std::optional<Note> stored = storedNote();
    if (!stored) {
        m_drag.rows.clear();
        return;
    }
    m_drag.source = id;
    m_drag.original = stored;
    m_drag.placeholder.reset();
    m_drag.target.reset();
    dragPreviewNote.reset();
    m_drag.rows.clear();
    if (stored->prioritySorted)
        return;
    document()->documentLayout()->documentSize(); // lays the text out
    for (const TextRun& run : m_ranges) {
        if (!run.isRemarks)
            m_drag.rows.push_back(DragRow{run.blockID, rect(run.start, run.length)});
    }
}

void BlockEditor::updateDragPreview(const QUuid& target, bool after)
{
    if (!m_drag.original || m_drag.original->prioritySorted || !m_drag.source)
        return;
    if (target == *m_drag.source) {
        clearDragPreview();
        return;
    }
    m_drag.target = std::pair{target, after};
    m_drag.placeholder = dragpreview::placeholder(m_clock()).id;
    showDragPreview();
}

void BlockEditor::showDragPreview()
{
    if (!m_drag.original || !m_drag.target || !m_drag.placeholder)
        return;
    Block line = dragpreview::placeholder(m_clock());
    line.id = *m_drag.placeholder;
    const auto& [target, after] = *m_drag.target;
    if (std::optional<Note> preview = dragpreview::previewNote(*m_drag.original, line, target, after)) {
        dragPreviewNote = std::move(preview);
        render(false);
    } else if (dragPreviewNote) {
        // The target has gone from the note: no landing place to show.
        dragPreviewNote.reset();
        m_drag.placeholder.reset();
        m_drag.target.reset();
        render(false);
    }
}

void BlockEditor::clearDragPreview()
{
    if (!dragPreviewNote)
        return;
    dragPreviewNote.reset();
    m_drag.placeholder.reset();
    m_drag.target.reset();
    render(false);
}

void BlockEditor::endDragPreview()
{
    if (!m_drag.original && !dragPreviewNote) {
        m_drag.source.reset();
        m_drag.rows.clear();
        return;
    }
    dragPreviewNote.reset();
    m_drag.original.reset();
    m_drag.placeholder.reset();
    m_drag.target.reset();
    m_drag.source.reset();
    m_drag.rows.clear();
    render(false);
}

void BlockEditor::cancelBlockDrag()
{
    endDragPreview();
    endDragVisual();
}

void BlockEditor::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    // A hidden note cannot receive the drop: the drag ends as cancelled.
    if (isDragArmed() || dragPreviewNote)
        cancelBlockDrag();
}

void BlockEditor::followStoredNote()
{
    if (!m_drag.original)
        return;
    const std::optional<Note> stored = storedNote();
    if (!stored) {
        // The note is gone: nothing is left to preview or to drop on.
        dragPreviewNote.reset();
        m_drag.original.reset();
        m_drag.source.reset();
        m_drag.placeholder.reset();
        m_drag.target.reset();
        m_drag.rows.clear();
        return;
    }
    if (*stored == *m_drag.original)
        return;
    // The note changed during the drag (an alarm ended, a panel saved): the
    // preview is built anew on it, with its landing place where it was.
    m_drag.original = stored;
    if (!dragPreviewNote)
        return;
    dragPreviewNote.reset();
    if (m_drag.target && m_drag.placeholder) {
        Block line = dragpreview::placeholder(m_clock());
        line.id = *m_drag.placeholder;
        dragPreviewNote = dragpreview::previewNote(*stored, line, m_drag.target->first, m_drag.target->second);
    }
    if (!dragPreviewNote) {
        m_drag.placeholder.reset();
        m_drag.target.reset();
    }
}

ChangeResult BlockEditor::moveDisplayedBlock(const QUuid& id, const QUuid& target, bool after)
{
    return change(QStringLiteral("拖动排序"), [&](Note& note) { note.moveDisplayedBlock(id, target, after); });
}

} // namespace quorrin
