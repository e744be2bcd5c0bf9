#include "Editor/BlockControlLayout.h"

#include "Editor/EditorText.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

namespace quorrin {

const QRectF& BlockControlLayout::operator[](BlockControl control) const
{
    switch (control) {
    case BlockControl::MenuHandle:
        return menuHandle;
    case BlockControl::Checkbox:
        return checkbox;
    case BlockControl::PriorityBar:
        return priorityBar;
    case BlockControl::NotesChevron:
        return notesChevron;
    case BlockControl::ArchiveButton:
        return archiveButton;
    case BlockControl::DragHandle:
        return dragHandle;
    case BlockControl::ReminderBell:
        return reminderBell;
    }
    return menuHandle;
}

namespace gutterlayout {

BlockControlLayout layout(const Block* block, double middle, double width, double pointSize)
{
    const bool indented = block && (block->kind == BlockKind::Bullet || block->kind == BlockKind::Todo);
    const double bar = std::clamp(0.75 * pointSize, 8.0, 12.0);
    BlockControlLayout result;
    result.menuHandle = QRectF(indented ? 7 : 3, middle - 7, 14, 14);
    result.checkbox = QRectF(27.5, middle - 6.5, 13, 13);
    result.priorityBar = QRectF(49, middle - bar / 2, 4, bar);
    result.notesChevron = QRectF(width - 68.5, middle - 6.5, 13, 13);
    result.archiveButton = QRectF(width - 47.5, middle - 7.5, 15, 15);
    result.dragHandle = QRectF(width - 24.5, middle - 6.5, 13, 13);
    result.reminderBell = QRectF(55, middle - 5, 10, 10);
    return result;
}

QRectF hitBox(const QRectF& control)
{
    const double dx = (control.width() - hitBoxSize) / 2;
    const double dy = (control.height() - hitBoxSize) / 2;
    return control.adjusted(dx, dy, -dx, -dy);
}

std::vector<BlockControl> interactiveControls(const Block& block, std::optional<double> revealProgress)
{
    std::vector<BlockControl> controls{BlockControl::MenuHandle, BlockControl::DragHandle};
    if (block.kind != BlockKind::Todo || (revealProgress && *revealProgress <= 0.85))
        return controls;
    controls.insert(controls.end(), {BlockControl::Checkbox, BlockControl::PriorityBar, BlockControl::NotesChevron});
    if (block.todo && block.todo->isCompleted)
        controls.push_back(BlockControl::ArchiveButton);
    return controls;
}

std::optional<BlockControl> controlAt(QPointF point, const BlockControlLayout& layout,
                                      const std::vector<BlockControl>& interactive)
{
    // Hit boxes may overlap (the checkbox's and the priority bar's do by a
    // point): the first in this order wins.
    static constexpr BlockControl order[] = {BlockControl::DragHandle,    BlockControl::PriorityBar,
                                             BlockControl::Checkbox,      BlockControl::ArchiveButton,
                                             BlockControl::NotesChevron,  BlockControl::MenuHandle};
    for (const BlockControl control : order) {
        if (std::find(interactive.begin(), interactive.end(), control) != interactive.end()
            && hitBox(layout[control]).contains(point))
            return control;
    }
    return std::nullopt;
}

QString toolTip(const Block* block)
{
    if (!block || block->kind != BlockKind::Todo)
        return QStringLiteral("悬停双灰点打开内容块操作；拖动右侧手柄排序");
    const QString text = QStringLiteral("点击彩色标识切换优先级；悬停左侧双灰点打开内容块操作");
    if (block->todo && block->todo->reminder)
        return QStringLiteral("此待办已设置提醒；") + text;
    return text;
}

std::optional<DropTarget> dropTarget(const std::vector<Row>& rows, double y)
{
    const Row* nearest = nullptr;
    double distance = std::numeric_limits<double>::infinity();
    for (const Row& row : rows) {
        const double d = std::abs(row.rect.center().y() - y);
        if (d < distance) {
            distance = d;
            nearest = &row;
        }
    }
    if (!nearest)
        return std::nullopt;
    return DropTarget{nearest->id, nearest->rect.center().y() < y};
}

QString payload(const QUuid& noteID, const QUuid& blockID)
{
    return editortext::idString(noteID) + QLatin1Char(':') + editortext::idString(blockID);
}

bool isFromNote(const QString& payload, const QUuid& noteID)
{
    return payload.startsWith(editortext::idString(noteID) + QLatin1Char(':'));
}

std::optional<QUuid> payloadBlock(const QString& payload)
{
    const QStringList pieces = payload.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    if (pieces.isEmpty())
        return std::nullopt;
    const QUuid id = QUuid::fromString(pieces.last());
    if (id.isNull())
        return std::nullopt;
    return id;
}

} // namespace gutterlayout
} // namespace quorrin
