#include "Editor/MarkingBacklog.h"

#include <algorithm>

namespace quorrin {

ParagraphSpan MarkingBacklog::markedAtOnce(ParagraphSpan changed, std::size_t caret, std::size_t budget)
{
    if (changed.size() <= 2 * budget)
        return changed;
    const std::size_t from = std::clamp(caret > budget / 2 ? caret - budget / 2 : 0, changed.from, changed.to - budget);
    return {from, from + budget};
}

void MarkingBacklog::defer(std::vector<editortext::WriteBack::Mark> marks)
{
    if (!isEmpty())
        m_goOverAgain = true;
    else
        m_next = 0;
    m_marks = std::move(marks);
}

void MarkingBacklog::clear()
{
    m_marks.clear();
    m_next = 0;
    m_goOverAgain = false;
}

std::optional<ParagraphSpan> MarkingBacklog::nextSlice(std::size_t size)
{
    if (m_next >= m_marks.size() && m_goOverAgain) {
        m_goOverAgain = false;
        m_next = 0;
    }
    if (m_next >= m_marks.size() || size == 0) {
        clear();
        return std::nullopt;
    }
    const ParagraphSpan slice{m_next, std::min(m_next + size, m_marks.size())};
    m_next = slice.to;
    return slice;
}

} // namespace quorrin
