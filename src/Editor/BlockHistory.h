#pragma once

#include "Domain/Block.h"

#include <QHash>
#include <QUuid>

#include <optional>
#include <unordered_map>
#include <vector>

namespace quorrin::editortext {

// Every block the editor has shown, by id, as last seen: text an undo brings
// back takes its block's kind and todo data from here.
//
// The blocks recorded last are kept in a row as they came, and looked up by
// id only once one is asked for (a write-back asks only for blocks the note
// no longer holds, which is seldom). Recording the next ones moves into the
// table only the last ones not found at the same place among the new: a
// note whose lines just became blocks, and a keystroke in a long note, are
// recorded without hashing every block.
class BlockHistory {
public:
    void record(const std::vector<Block>& blocks);
    // The block last seen with this id, or nothing.
    const Block* find(const QUuid& id) const;

private:
    struct IdHash {
        size_t operator()(const QUuid& id) const noexcept { return qHash(id); }
    };
    // Blocks seen before the last recording, as last seen then. One node per
    // block: every note window keeps one, and a hash table with inline
    // storage would reserve room for dozens of blocks even in a note of three.
    std::unordered_map<QUuid, Block, IdHash> m_earlier;
    std::vector<Block> m_latest;
    // Where each id last stands in m_latest, made when first asked for.
    mutable std::optional<QHash<QUuid, std::size_t>> m_latestAt;
};

} // namespace quorrin::editortext
