#include "Editor/TaskShelves.h"

#include <algorithm>

namespace quorrin::taskshelf {
namespace {

double filledHeight(int fileCount, bool showsDropTarget)
{
    return rowHeight * fileCount + (showsDropTarget ? 26 : 8);
}

} // namespace

double viewHeight(int fileCount, bool showsDropTarget)
{
    if (fileCount > 0)
        return std::min(filledHeight(fileCount, showsDropTarget), maximumHeight);
    return showsDropTarget ? emptyTargetHeight : 0;
}

double gap(int fileCount, bool showsDropTargets)
{
    if (fileCount > 0) {
        const double height = filledHeight(fileCount, showsDropTargets);
        return height >= maximumHeight ? maximumHeight + 8 : height + 8;
    }
    return showsDropTargets ? emptyTargetHeight + 8 : 0;
}

std::vector<QUuid> wanted(const std::vector<Block>& displayBlocks, const std::function<int(const QUuid&)>& fileCount,
                          bool showsDropTargets)
{
    std::vector<QUuid> ids;
    for (const Block& block : displayBlocks) {
        if (block.kind == BlockKind::Todo && (showsDropTargets || fileCount(block.id) > 0))
            ids.push_back(block.id);
    }
    return ids;
}

QRectF frame(const QRectF& lastRun, double textWidth, double height)
{
    return QRectF(left, lastRun.bottom() + 4, std::max(textWidth - 20 - 20 - 24, 40.0), height);
}

} // namespace quorrin::taskshelf
