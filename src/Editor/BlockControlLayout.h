#pragma once

#include "Domain/Block.h"

#include <QPointF>
#include <QRectF>
#include <QString>
#include <QUuid>

#include <optional>
#include <vector>

namespace quorrin {

// The controls beside one block in the gutter.
enum class BlockControl {
    MenuHandle,
    Checkbox,
    PriorityBar,
    NotesChevron,
    ArchiveButton,
    DragHandle,
    ReminderBell,
};

// Where the controls of one block stand, in the text's content coordinates.
struct BlockControlLayout {
    QRectF menuHandle;
    QRectF checkbox;
    QRectF priorityBar;
    QRectF notesChevron;
    QRectF archiveButton;
    QRectF dragHandle;
    QRectF reminderBell;

    const QRectF& operator[](BlockControl control) const;
    friend bool operator==(const BlockControlLayout&, const BlockControlLayout&) = default;
};

// The pure geometry of the gutter: what stands where and what a point hits.
namespace gutterlayout {

// Every control reacts inside a box of this size around its centre.
inline constexpr double hitBoxSize = 18;

// The layout of a block whose first line has its vertical middle at
// `middle`, in a gutter `width` wide, whose text is `pointSize` large.
// Bullets and todos have their menu handle further in.
BlockControlLayout layout(const Block* block, double middle, double width, double pointSize);

// The control's rectangle grown (or shrunk) about its centre to 18 x 18.
QRectF hitBox(const QRectF& control);

// The controls of a block that react to the mouse, in test order: both
// handles always; a todo's checkbox, priority bar and notes chevron unless
// it is growing in (`revealProgress` at most 0.85); its archive button only
// once it is completed. The bell never reacts.
std::vector<BlockControl> interactiveControls(const Block& block, std::optional<double> revealProgress);

// The interactive control whose hit box holds the point, if any. Where hit
// boxes overlap, the drag handle wins, then the priority bar, the checkbox,
// the archive button, the notes chevron and the menu handle.
std::optional<BlockControl> controlAt(QPointF point, const BlockControlLayout& layout,
                                      const std::vector<BlockControl>& interactive);

// The gutter's tool tip while the pointer is over a block (or nothing).
QString toolTip(const Block* block);

// --- drops

struct Row {
    QUuid id;
    QRectF rect;
};
struct DropTarget {
    QUuid id;
    bool after = false;
    friend bool operator==(const DropTarget&, const DropTarget&) = default;
};
// The row whose middle is nearest to `y` (the earlier one on a tie); the
// drop goes below it when `y` is past its middle.
std::optional<DropTarget> dropTarget(const std::vector<Row>& rows, double y);

// --- the drag payload: note id, ":", block id

QString payload(const QUuid& noteID, const QUuid& blockID);
// Whether a payload came from the note `noteID`.
bool isFromNote(const QString& payload, const QUuid& noteID);
// The block id of a payload (its last piece after ":"), or nothing.
std::optional<QUuid> payloadBlock(const QString& payload);

} // namespace gutterlayout
} // namespace quorrin
