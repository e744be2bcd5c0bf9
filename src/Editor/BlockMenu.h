#pragma once

#include "Domain/Block.h"

#include <optional>

class QMenu;
class QWidget;

namespace quorrin {

class BlockEditor;

namespace blockmenu {

// Builds the block menu of one block: its items, each wired to the editor's
// action on the selected block. The caller owns the menu.
QMenu* build(BlockEditor& editor, const std::optional<Block>& block, QWidget* parent);

} // namespace blockmenu
} // namespace quorrin
