#include "Features/FileShelf/FileShelfPresentation.h"

#include "Editor/TaskShelves.h"

#include <algorithm>

namespace quorrin::fileshelf {

ShelfLayout layout(int entries, bool showsDropTarget)
{
    ShelfLayout result;
    result.height = taskshelf::viewHeight(entries, showsDropTarget);
    result.captionVisible = showsDropTarget;
    if (showsDropTarget)
        result.caption = QStringLiteral("拖入此处 · 暂存至这条待办");
    result.contentTop = showsDropTarget ? 23 : 5;
    result.listVisible = entries > 0;
    return result;
}

QRectF captionFrame(const QSizeF& shelf, double captionHeight)
{
    return QRectF(12, 5, std::max(shelf.width() - 12 - 8, 0.0), captionHeight);
}

QRectF listFrame(const QSizeF& shelf, const ShelfLayout& layout)
{
    const double height = std::max(shelf.height() - layout.contentTop - 3, 0.0);
    return QRectF(8, layout.contentTop, std::max(shelf.width() - 16, 0.0), height);
}

RowTexts rowTexts(const QString& displayName, const QString& status, bool available)
{
    RowTexts texts;
    texts.name = available ? displayName : displayName + QStringLiteral(" · 暂时无法访问");
    texts.nameToolTip = displayName;
    texts.rowToolTip = displayName + u'\n' + status + QStringLiteral("\n拖出仅复制；× 仅移除关联。");
    texts.accessibleName = QStringLiteral("暂存文件：") + displayName;
    return texts;
}

QString unreachableOnOpen()
{
    return QStringLiteral("原文件暂时无法访问，请右键重新定位。");
}

QString unreachableOnDrag()
{
    return QStringLiteral("原文件已移动或不再可访问。");
}

} // namespace quorrin::fileshelf
