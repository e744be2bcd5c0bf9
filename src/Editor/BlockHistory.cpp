#include "Editor/BlockHistory.h"

#include <algorithm>

namespace quorrin::editortext {

void BlockHistory::record(const std::vector<Block>& blocks)
{
    // The blocks at the same place in both rows, from the start and from
    // the end, are seen again: only those between are kept apart.
    const std::size_t shorter = std::min(m_latest.size(), blocks.size());
    std::size_t head = 0;
    while (head < shorter && m_latest[head].id == blocks[head].id)
        ++head;
    std::size_t tail = 0;
    while (tail < shorter - head && m_latest[m_latest.size() - 1 - tail].id == blocks[blocks.size() - 1 - tail].id)
        ++tail;
    // In recorded order, so that of two with one id the later is kept.
    for (std::size_t i = head; i < m_latest.size() - tail; ++i)
        m_earlier.insert_or_assign(m_latest[i].id, std::move(m_latest[i]));
    assignBlocks(m_latest, blocks);
    m_latestAt.reset();
}

const Block* BlockHistory::find(const QUuid& id) const
{
    if (!m_latestAt) {
        m_latestAt.emplace();
        m_latestAt->reserve(qsizetype(m_latest.size()));
        for (std::size_t i = 0; i < m_latest.size(); ++i)
            m_latestAt->insert(m_latest[i].id, i);
    }
    if (const auto at = m_latestAt->constFind(id); at != m_latestAt->cend())
        return &m_latest[*at];
    const auto earlier = m_earlier.find(id);
    return earlier == m_earlier.end() ? nullptr : &earlier->second;
}

} // namespace quorrin::editortext
