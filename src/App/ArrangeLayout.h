#pragma once

#include "Domain/Note.h"

#include <QRectF>

#include <vector>

namespace quorrin::arrange {

// The orders of the "整理便笺" menu, by the item's tag.
enum class Order { Store = 0, Color = 1, Content = 2, CreationDate = 3, ScreenPosition = 4 };

// A tag outside 1...4 keeps the store's order.
Order orderForTag(int tag);

inline constexpr double cellWidth = 324;
inline constexpr double cellHeight = 344;
inline constexpr double noteWidth = 310;
inline constexpr double noteHeight = 330;
// Each further page of cells starts this far to the right of the one before.
inline constexpr double pageShift = 16;

// The notes in the chosen order; notes with equal keys keep their order.
std::vector<Note> sorted(std::vector<Note> notes, Order order);

// The frame of the note at `index` of the arranged list, row by row from the
// top left of the visible frame (model coordinates: y grows upwards).
QRectF cellFrame(int index, const QRectF& visibleFrame);

} // namespace quorrin::arrange
