#pragma once

#include <QRectF>
#include <QSizeF>
#include <QString>

#include <array>

namespace quorrin {

// What a file shelf shows, worked out without widgets.
namespace fileshelf {

inline constexpr double rowHeight = 30;

// The shelf for a number of entries, plain or highlighted as a drop target.
struct ShelfLayout {
    double height = 0;  // 0 hides the shelf
    QString caption;    // the drop-target caption; empty when hidden
    bool captionVisible = false;
    double contentTop = 5; // from the shelf's top to the row list
    bool listVisible = false;
};
ShelfLayout layout(int entries, bool showsDropTarget);

// Where the caption and the row list sit in a shelf of the given size
// (y downwards).
QRectF captionFrame(const QSizeF& shelf, double captionHeight);
QRectF listFrame(const QSizeF& shelf, const ShelfLayout& layout);

// The texts of one row.
struct RowTexts {
    QString name;           // the label: display name, marked when unreachable
    QString nameToolTip;    // on the icon and the label
    QString rowToolTip;     // on the rest of the row
    QString accessibleName; // the row's
};
RowTexts rowTexts(const QString& displayName, const QString& status, bool available);

// The row's context menu, in order.
enum class RowAction { CopyToFolder, Reveal, Relocate, RemoveReference };
struct RowMenuItem {
    const char16_t* title;
    RowAction action;
};
inline constexpr std::array<RowMenuItem, 4> rowMenu = {{
    {u"复制到…", RowAction::CopyToFolder},
    {u"在文件管理器中显示", RowAction::Reveal},
    {u"重新定位…", RowAction::Relocate},
    {u"移除关联（保留原文件）", RowAction::RemoveReference},
}};

// What the row reports when its file cannot be reached.
QString unreachableOnOpen();
QString unreachableOnDrag();

} // namespace fileshelf
} // namespace quorrin
