#pragma once

#include "Domain/Note.h"
#include "Editor/EditorText.h"

#include <cstddef>
#include <optional>
#include <set>
#include <vector>

namespace quorrin {

// The blocks of a shown note still to be rendered, in the order the note
// shows them: a long note's text is rendered a part at a time, each part
// when it is shown.
//
// The note's own blocks are read where they are, never copied: the note
// must stay as it is until the last block is rendered.
class BlocksLeftToRender {
public:
    BlocksLeftToRender() = default;
    BlocksLeftToRender(const Note& note, TextAttributes newText);

    bool isEmpty() const { return m_next >= size(); }
    // How many blocks have been rendered: the index of the next one.
    std::size_t rendered() const { return m_next; }
    std::size_t left() const { return size() - m_next; }
    std::size_t size() const { return m_order ? m_order->size() : (m_blocks ? m_blocks->size() : 0); }
    // The block shown at `index`, rendered or not.
    const Block& operator[](std::size_t index) const
    {
        return (*m_blocks)[m_order ? (*m_order)[index] : index];
    }

    // Renders the next block onto the end of `onto`.
    void renderNext(editortext::RenderedText& onto);
    // The index of the first block whose text holds a run with that id and
    // role, if any.
    std::optional<std::size_t> find(const QUuid& id, bool isRemarks) const;
    // The todos whose remarks the whole text holds.
    std::set<QUuid> remarksShown() const;

private:
    const std::vector<Block>* m_blocks = nullptr;
    // Positions in `m_blocks`, none when the note shows its blocks as stored.
    std::optional<std::vector<std::size_t>> m_order;
    std::size_t m_next = 0;
    editortext::BlockRenderer m_renderer;
};

} // namespace quorrin
