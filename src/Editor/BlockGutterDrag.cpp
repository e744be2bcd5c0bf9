// Reordering blocks by dragging their handle, and archiving a completed
// todo from the gutter.
#include "Editor/BlockGutter.h"

#include "Editor/BlockEditor.h"
#include "Editor/BlockTextView.h"
#include "Editor/GutterSymbols.h"

#include <QDrag>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>

namespace quorrin {
namespace {

// The drag image when the text cannot be photographed.
QPixmap handleImage(const QColor& color)
{
    QPixmap image(QSize(18, 18));
    image.fill(Qt::transparent);
    QPainter painter(&image);
    gutterSymbols::draw(painter, GutterSymbol::ThreeLines, QRectF(0, 0, 18, 18), color, 1);
    return image;
}

// Releases missed in a row before a drag counts as lost (100 ms apart).
constexpr int lostReleaseTicks = 3;

} // namespace

bool BlockGutter::mouseDragged(QPointF point)
{
    Q_UNUSED(point);
    if (!dragID)
        return false;
    const QUuid id = *dragID;
    const TextRun* row = rowOf(id);
    if (!row)
        return false;
    auto* data = new QMimeData;
    data->setData(dragType, gutterlayout::payload(m_editor.noteID(), id).toUtf8());
    auto* drag = new QDrag(this);
    drag->setMimeData(data);

    const QRectF rowRect = m_editor.rect(row->start, row->length);
    m_editor.beginDragVisual();
    // The row as the window shows it, on its paper.
    QWidget* top = window();
    const QWidget* viewport = m_editor.textView()->viewport();
    const QRect inViewport = rowRect.translated(-scrollOffset()).toAlignedRect();
    QPixmap image = top->grab(QRect(viewport->mapTo(top, inViewport.topLeft()), inViewport.size()));
    if (image.isNull())
        image = handleImage(palette().color(QPalette::Text));
    drag->setPixmap(image);
    drag->setHotSpot(QPoint(0, 0));

    m_editor.beginDragPreview(id);
    dragID.reset();
    m_dropped = false;
    m_releasesMissed = 0;
    m_dragging = true;
    m_dragWatch.start();
    const QPointer<BlockGutter> self(this);
    const QPointer<QDrag> session(drag);
    runDrag(*drag);
    if (session)
        session->deleteLater();
    if (!self)
        return true;
    m_dragWatch.stop();
    m_dragging = false;
    draggingSessionEnded();
    return true;
}

void BlockGutter::watchDrag()
{
    if (!m_dragging) {
        m_dragWatch.stop();
        return;
    }
    // A drag outlives neither its window nor the button that holds it:
    // when the release is lost (the grab broken, the window hidden), the
    // drag ends as a cancel instead of hanging on.
    const bool shown = isAlive() && window() && window()->isVisible();
    m_releasesMissed = pressedButtons() & Qt::LeftButton ? 0 : m_releasesMissed + 1;
    if (shown && m_releasesMissed < lostReleaseTicks)
        return;
    m_dragWatch.stop();
    if (cancelDrag)
        cancelDrag();
    else
        QDrag::cancel();
}

void BlockGutter::draggingSessionEnded()
{
    dropID.reset();
    dropAfter = false;
    if (isAlive()) {
        if (m_dropped) {
            m_editor.endDragPreview();
            m_editor.endDragVisual();
        } else {
            m_editor.cancelBlockDrag();
        }
    }
    m_dropped = false;
    update();
}

std::vector<gutterlayout::Row> BlockGutter::dropRows() const
{
    std::vector<gutterlayout::Row> rows;
    for (const BlockEditor::DragRow& row : m_editor.dragRows())
        rows.push_back({row.id, row.rect});
    if (!rows.empty())
        return rows;
    for (const TextRun& run : m_editor.ranges()) {
        if (!run.isRemarks)
            rows.push_back({run.blockID, lineRect(run)});
    }
    return rows;
}

bool BlockGutter::carriesBlock(const QMimeData& data) const
{
    return data.hasFormat(dragType);
}

Qt::DropAction BlockGutter::draggingUpdated(const QMimeData& data, const QPointF& point)
{
    if (!isAlive() || !carriesBlock(data))
        return Qt::IgnoreAction;
    // Blocks never move between notes.
    if (!gutterlayout::isFromNote(QString::fromUtf8(data.data(dragType)), m_editor.noteID()))
        return Qt::IgnoreAction;
    const std::optional<gutterlayout::DropTarget> target = gutterlayout::dropTarget(dropRows(), toContent(point).y());
    const std::optional<QUuid> id = target ? std::optional(target->id) : std::nullopt;
    const bool after = target && target->after;
    if (id != dropID || after != dropAfter) {
        dropID = id;
        dropAfter = after;
        if (id)
            m_editor.updateDragPreview(*id, after);
        else
            m_editor.endDragPreview();
        update();
    }
    return Qt::MoveAction;
}

void BlockGutter::clearDropTarget()
{
    // The preview is the text view's to clear: a drag that comes back to
    // the text shows it again.
    dropID.reset();
    dropAfter = false;
    update();
}

bool BlockGutter::performDragOperation(const QMimeData& data, const QPointF& point)
{
    Q_UNUSED(point); // the drop goes where the last update put the target
    if (!isAlive())
        return false;
    const QString payload = QString::fromUtf8(data.data(dragType));
    const std::optional<QUuid> moved = gutterlayout::payloadBlock(payload);
    if (!moved || !dropID || !gutterlayout::isFromNote(payload, m_editor.noteID())) {
        clearDropTarget();
        m_editor.endDragPreview();
        return false;
    }
    const QUuid target = *dropID;
    const bool after = dropAfter;
    m_editor.endDragPreview();
    m_editor.moveDisplayedBlock(*moved, target, after);
    m_editor.endDragVisual();
    dropID.reset();
    dropAfter = false;
    m_dropped = true;
    m_editor.endDragPreview();
    update();
    return true;
}

void BlockGutter::archive(const QUuid& id)
{
    if (isAlive())
        m_editor.archive(id);
}

} // namespace quorrin
