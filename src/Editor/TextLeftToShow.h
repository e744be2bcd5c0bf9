#pragma once

#include "Editor/EditorText.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace quorrin {

// The rendered text of a long note still to be inserted into the editor.
//
// Qt takes about two microseconds to insert a paragraph, and the editor's
// formats and layout more: a note of half a million short lines would hold
// the event loop for seconds in one insert. So a rendered text of more than
// twice `perPart` paragraphs is shown a part at a time, one part per turn of
// the event loop. Each part ends just after a paragraph separator, so that
// the next one is inserted where the text shown so far ends; the first part
// reaches through the caret's paragraph.
class TextLeftToShow {
public:
    static constexpr std::size_t perPart = 8192;

    // One part: its characters and every run reaching into it, at positions
    // counted from the part's start. A run that began in an earlier part
    // starts below zero; one that goes on in a later part ends past the
    // part's length.
    using Part = editortext::RenderedText;

    // Takes `whole` and answers its first part, reaching through the
    // paragraph holding `caret` (the whole text when it is short); the other
    // parts are left here.
    Part begin(editortext::RenderedText whole, int caret, std::size_t paragraphsPerPart = perPart);

    bool isEmpty() const { return m_next >= m_ends.size(); }
    // The next part, or all that is left as one part with `all`; nothing
    // when nothing is left.
    std::optional<Part> take(bool all = false);
    // The text was rendered anew, or written back whole: nothing is left.
    void clear();

    // Where the parts of `text` end: after every `paragraphsPerPart`
    // paragraph separators, the first one no sooner than after the
    // separator ending the paragraph that holds `through`; the last one at
    // the text's end. One end, the text's own, when the text has at most
    // twice `paragraphsPerPart` paragraphs.
    static std::vector<int> partEnds(QStringView text, std::size_t paragraphsPerPart, int through);
    // The runs of `part` within its own text, cut to it: a run cut at the
    // part's start goes on the last run shown before it.
    static std::vector<TextRun> shownRuns(const Part& part);

private:
    Part partOf(int from, int to) const;

    editortext::RenderedText m_whole;
    std::vector<int> m_ends;
    std::size_t m_next = 0;
};

} // namespace quorrin
