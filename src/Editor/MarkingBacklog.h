#pragma once

#include "Editor/EditorText.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace quorrin {

// Paragraphs by number: [from, to).
struct ParagraphSpan {
    std::size_t from = 0;
    std::size_t to = 0;
    std::size_t size() const { return to > from ? to - from : 0; }
    bool contains(std::size_t paragraph) const { return paragraph >= from && paragraph < to; }
    friend bool operator==(const ParagraphSpan&, const ParagraphSpan&) = default;
};

// The block marks a write-back settled that the text does not carry yet.
//
// Qt gives every marked paragraph a character format of its own, and lays
// it out and highlights it again: the first write-back of a text of many
// short lines would hold the event loop for seconds. So a write-back that
// has more than twice `perTurn` paragraphs to mark marks `perTurn` of them
// around the caret at once, and leaves the others here, to be marked a
// slice at a time, one slice per turn of the event loop. Up to twice that
// many are marked in one go. Either way their layout waits for the event
// loop's idle steps.
class MarkingBacklog {
public:
    static constexpr std::size_t perTurn = 8192;

    // The paragraphs of `changed` to mark at once: all of them when they are
    // at most twice `budget`, otherwise `budget` of them centred on `caret`
    // as far as `changed` allows.
    static ParagraphSpan markedAtOnce(ParagraphSpan changed, std::size_t caret, std::size_t budget);

    bool isEmpty() const { return m_marks.empty(); }
    // Every paragraph's mark as the last write-back settled it.
    const std::vector<editortext::WriteBack::Mark>& marks() const { return m_marks; }

    // A write-back left paragraphs unmarked; `marks` are what every paragraph
    // should carry now. A write-back while slices were being marked may have
    // moved paragraphs into those already gone over: they are gone over once more.
    void defer(std::vector<editortext::WriteBack::Mark> marks);
    // The text was replaced whole: nothing is left to mark.
    void clear();

    // The next slice of at most `size` paragraphs to mark, or nothing when
    // every paragraph has been gone over since the last write-back; the
    // slice counts as gone over once it is answered.
    std::optional<ParagraphSpan> nextSlice(std::size_t size);

private:
    std::vector<editortext::WriteBack::Mark> m_marks;
    std::size_t m_next = 0;
    bool m_goOverAgain = false;
};

} // namespace quorrin
