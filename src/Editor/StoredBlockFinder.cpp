#include "Editor/StoredBlockFinder.h"

namespace quorrin::editortext {

const Block* StoredBlockFinder::find(const QUuid& id)
{
    // The lines of one block not yet written back all carry its id.
    if (m_last && m_last->first == id)
        return m_last->second;
    if (m_all)
        return answer(id, m_all->value(id, nullptr));
    if (const auto passed = m_passed.constFind(id); passed != m_passed.cend())
        return answer(id, *passed);
    for (std::size_t at = m_next; at < m_blocks.size(); ++at) {
        if (m_blocks[at].id == id) {
            passOver(m_next, at);
            m_next = at + 1;
            return answer(id, &m_blocks[at]);
        }
    }
    // Not ahead: a block answered before, or none. Every block is looked up
    // by id from now on.
    m_all.emplace();
    m_all->reserve(qsizetype(m_blocks.size()));
    for (const Block& block : m_blocks) {
        if (!m_all->contains(block.id))
            m_all->insert(block.id, &block);
    }
    m_passed.clear();
    return answer(id, m_all->value(id, nullptr));
}

const Block* StoredBlockFinder::answer(const QUuid& id, const Block* block)
{
    m_last.emplace(id, block);
    return block;
}

void StoredBlockFinder::passOver(std::size_t from, std::size_t to)
{
    for (std::size_t at = from; at < to; ++at) {
        if (!m_passed.contains(m_blocks[at].id))
            m_passed.insert(m_blocks[at].id, &m_blocks[at]);
    }
}

} // namespace quorrin::editortext
