#pragma once

#include "Domain/Block.h"

#include <QHash>
#include <QUuid>

#include <optional>
#include <vector>

namespace quorrin::editortext {

// The stored blocks a write-back keeps, looked up by id. The paragraphs come
// in the order of the note's blocks: each block is looked for from where the
// last one was found, and the blocks passed over on the way (lines deleted,
// archived todos) are kept apart by id. Only an id not found ahead (a block
// answered before, or none) has every block looked up by id, once.
//
// Every answer is the first stored block with the id, but for an id that
// more than one block holds, asked again after its first block was answered:
// a later block with it may be answered then.
class StoredBlockFinder {
public:
    explicit StoredBlockFinder(const std::vector<Block>& blocks)
        : m_blocks(blocks)
    {
    }

    const Block* find(const QUuid& id);

private:
    const Block* answer(const QUuid& id, const Block* block);
    void passOver(std::size_t from, std::size_t to);

    const std::vector<Block>& m_blocks;
    std::size_t m_next = 0; // the blocks before it were answered or passed over
    QHash<QUuid, const Block*> m_passed; // the first passed over of each id
    // Every block, once an id was not found ahead.
    std::optional<QHash<QUuid, const Block*>> m_all;
    std::optional<std::pair<QUuid, const Block*>> m_last;
};

} // namespace quorrin::editortext
