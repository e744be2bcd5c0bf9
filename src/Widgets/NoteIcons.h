#pragma once

#include <QIcon>
#include <QPainterPath>
#include <QRectF>

namespace quorrin {

// The symbols of a note's header, drawn by the program itself.
enum class NoteSymbol {
    ArrowUpToLine,             // layer: all notes on top
    ArrowDownToLine,           // layer: all notes at the desktop
    RectangleExpandVertical,   // collapsed note: expand
    RectangleCompressVertical, // expanded note: collapse
    Ellipsis,                  // note menu
    NoteText,                  // the application in the status area
    XMark,                     // close the note window
};

namespace NoteIcons {

// The symbol as one fillable outline inside `box`; strokes are
// `lineWidth` wide with round caps and joins.
QPainterPath path(NoteSymbol symbol, const QRectF& box, double lineWidth);

// Where the icon's drawing of the symbol at `size` and `scale` is kept in
// the toolkit's pixmap cache.
QString pixmapCacheKey(NoteSymbol symbol, const QSize& size, qreal scale);

// A template icon of the symbol (black on transparent), crisp at any size
// and device pixel ratio; buttons tint it.
QIcon icon(NoteSymbol symbol);

} // namespace NoteIcons
} // namespace quorrin
