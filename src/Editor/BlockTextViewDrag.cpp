// The text view's drags and strikethrough: block drags go to the gutter,
// file drags to the note window's drop overlay, anything else (text, links)
// is the text's own. (The pointer over a gutter control gets the control's
// cursor from the gutter, which watches the text's pointer.)
#include "Editor/BlockTextView.h"

#include "Editor/BlockEditor.h"
#include "Editor/GutterDragTarget.h"

#include <QCursor>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>

namespace quorrin {
namespace {

bool carriesFiles(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return false;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            return true;
    }
    return false;
}

} // namespace

GutterDragTarget* BlockTextView::gutterTarget() const
{
    return editor ? dynamic_cast<GutterDragTarget*>(editor->gutter.data()) : nullptr;
}

QPointF BlockTextView::toGutter(const QPointF& viewportPoint) const
{
    const QWidget* gutter = editor ? editor->gutter.data() : nullptr;
    if (!gutter)
        return viewportPoint;
    return gutter->mapFromGlobal(viewport()->mapToGlobal(viewportPoint));
}

BlockTextView::DragKind BlockTextView::dragKind(const QMimeData* data) const
{
    if (data) {
        if (const GutterDragTarget* gutter = gutterTarget(); gutter && gutter->carriesBlock(*data))
            return DragKind::Block;
    }
    return carriesFiles(data) ? DragKind::File : DragKind::Other;
}

Qt::DropAction BlockTextView::followBlockDrag(const QMimeData& data, const QPointF& viewportPoint)
{
    GutterDragTarget* gutter = gutterTarget();
    return gutter ? gutter->draggingUpdated(data, toGutter(viewportPoint)) : Qt::IgnoreAction;
}

void BlockTextView::dragEnterEvent(QDragEnterEvent* event)
{
    switch (dragKind(event->mimeData())) {
    case DragKind::Block:
        // Entered even where it cannot drop yet, so that the moves keep coming.
        followBlockDrag(*event->mimeData(), event->position());
        event->setDropAction(Qt::MoveAction);
        event->accept();
        return;
    case DragKind::File:
        enterFileDrag(event);
        return;
    case DragKind::Other:
        QTextEdit::dragEnterEvent(event);
        return;
    }
}

void BlockTextView::dragMoveEvent(QDragMoveEvent* event)
{
    switch (dragKind(event->mimeData())) {
    case DragKind::Block:
        if (followBlockDrag(*event->mimeData(), event->position()) == Qt::MoveAction) {
            event->setDropAction(Qt::MoveAction);
            event->accept();
        } else {
            event->ignore();
        }
        return;
    case DragKind::File:
        moveFileDrag(event);
        return;
    case DragKind::Other:
        QTextEdit::dragMoveEvent(event);
        return;
    }
}

void BlockTextView::dragLeaveEvent(QDragLeaveEvent* event)
{
    leaveFileDrag(event);
    dragLeft();
    QTextEdit::dragLeaveEvent(event);
}

void BlockTextView::dragLeft()
{
    if (!editor)
        return;
    // The drag goes on elsewhere (over the gutter, out of the note): no
    // target and no placeholder here, but it stays armed so that its preview
    // comes back when it returns. The end of the drag ends it.
    if (GutterDragTarget* gutter = gutterTarget())
        gutter->clearDropTarget();
    editor->clearDragPreview();
    if (editor->gutter)
        editor->gutter->update();
}

void BlockTextView::dropEvent(QDropEvent* event)
{
    switch (dragKind(event->mimeData())) {
    case DragKind::Block: {
        GutterDragTarget* gutter = gutterTarget();
        const QPointF point = toGutter(event->position());
        if (gutter && gutter->draggingUpdated(*event->mimeData(), point) == Qt::MoveAction
            && gutter->performDragOperation(*event->mimeData(), point)) {
            event->setDropAction(Qt::MoveAction);
            event->accept();
        } else {
            event->ignore();
        }
        return;
    }
    case DragKind::File:
        dropFiles(event);
        return;
    case DragKind::Other:
        QTextEdit::dropEvent(event);
        return;
    }
}

void BlockTextView::enterFileDrag(QDragEnterEvent* event)
{
    if (!dropRouter) {
        QTextEdit::dragEnterEvent(event);
        return;
    }
    FileDragRouting::answer(*event, FileDragRouting::enter(dropRouter, *event->mimeData()));
}

void BlockTextView::moveFileDrag(QDragMoveEvent* event)
{
    if (!dropRouter) {
        QTextEdit::dragMoveEvent(event);
        return;
    }
    FileDragRouting::answer(*event,
                            FileDragRouting::move(dropRouter, *event->mimeData(), *viewport(), event->position()));
}

void BlockTextView::leaveFileDrag(QDragLeaveEvent*)
{
    // A drag that moved onto the overlay itself keeps its session.
    FileDragRouting::leave(dropRouter, QCursor::pos());
}

void BlockTextView::dropFiles(QDropEvent* event)
{
    if (!dropRouter) {
        QTextEdit::dropEvent(event);
        return;
    }
    const bool accepted = FileDragRouting::perform(dropRouter, FileDropRouter::files(*event->mimeData()), *viewport(),
                                                   event->position());
    FileDragRouting::answer(*event, accepted ? Qt::CopyAction : Qt::IgnoreAction);
}

// ---------------------------------------------------------------- strikethrough

void BlockTextView::toggleStrikethrough()
{
    if (!textCursor().hasSelection() || isReadOnly())
        return;
    if (editor)
        editor->toggleStrikethroughFormat();
}

} // namespace quorrin
