#pragma once

#include <QPointF>

#include <optional>

class QMimeData;

namespace quorrin {

// What the text view asks of the gutter lying over it: a block dragged over
// the text goes to the gutter's drop tracking. The gutter implements it; the
// text view finds it as the editor's `gutter`. Points are in the gutter's
// own coordinates.
class GutterDragTarget {
public:
    virtual ~GutterDragTarget() = default;

    // Whether a drag carries a block (the gutter's private drag type).
    virtual bool carriesBlock(const QMimeData& data) const = 0;
    // Follows a block drag: the drop target and the preview move with the
    // pointer. Qt::MoveAction, or Qt::IgnoreAction where it cannot drop.
    virtual Qt::DropAction draggingUpdated(const QMimeData& data, const QPointF& point) = 0;
    // Drops the block; false when it went nowhere.
    virtual bool performDragOperation(const QMimeData& data, const QPointF& point) = 0;
    // The drag left the text: no drop target any more (and a redraw).
    virtual void clearDropTarget() = 0;
    // The cursor over a control at the point, or none.
    virtual std::optional<Qt::CursorShape> cursor(const QPointF& point) const = 0;
};

} // namespace quorrin
