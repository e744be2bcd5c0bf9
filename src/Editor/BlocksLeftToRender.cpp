#include "Editor/BlocksLeftToRender.h"

namespace quorrin {

BlocksLeftToRender::BlocksLeftToRender(const Note& note, TextAttributes newText)
    : m_blocks(&note.blocks)
    , m_renderer(std::move(newText))
{
    if (!note.showsBlocksAsStored())
        m_order = note.displayOrder();
}

void BlocksLeftToRender::renderNext(editortext::RenderedText& onto)
{
    if (!isEmpty())
        m_renderer.add((*this)[m_next++], onto);
}

std::optional<std::size_t> BlocksLeftToRender::find(const QUuid& id, bool isRemarks) const
{
    for (std::size_t i = 0; i < size(); ++i) {
        const Block& block = (*this)[i];
        if (block.id == id && (!isRemarks || editortext::showsRemarks(block)))
            return i;
    }
    return std::nullopt;
}

std::set<QUuid> BlocksLeftToRender::remarksShown() const
{
    std::set<QUuid> ids;
    for (std::size_t i = 0; i < size(); ++i) {
        if (editortext::showsRemarks((*this)[i]))
            ids.insert((*this)[i].id);
    }
    return ids;
}

} // namespace quorrin
