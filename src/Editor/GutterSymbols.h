#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

namespace quorrin {

// The small symbols the gutter draws beside a block.
enum class GutterSymbol {
    Checkmark,        // a completed todo
    ChevronRight,     // remarks folded
    ChevronDown,      // remarks open
    ArchiveBox,       // archive a completed todo
    BellFill,         // the todo has a reminder
    ThreeLines,       // drag handle
};

namespace gutterSymbols {

// Draws the symbol fitted and centred in `box` in one colour at `opacity`.
void draw(QPainter& painter, GutterSymbol symbol, const QRectF& box, const QColor& color, double opacity);

} // namespace gutterSymbols
} // namespace quorrin
