#pragma once

#include "Editor/BlocksLeftToRender.h"
#include "Editor/EditorText.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace quorrin {

// The text of a long note still to be inserted into the editor.
//
// Qt takes about two microseconds to insert a paragraph, and the editor's
// formats and layout more: a note of half a million short lines would hold
// the event loop for seconds in one insert. So a text of more than twice
// `perPart` paragraphs is shown a part at a time, one part per turn of the
// event loop. Each part ends just after a paragraph separator, so that the
// next one is inserted where the text shown so far ends; the first part
// reaches through the caret's paragraph.
//
// Rendering a note's blocks costs about as much again: a text begun from
// the blocks has each part rendered when it is taken, never the whole at
// once.
class TextLeftToShow {
public:
    static constexpr std::size_t perPart = 8192;

    // One part: its characters and every run reaching into it, at positions
    // counted from the part's start. A run that began in an earlier part
    // starts below zero; one that goes on in a later part ends past the
    // part's length.
    using Part = editortext::RenderedText;

    // Takes `whole`, rendered already, and answers its first part, reaching
    // through the paragraph holding `caret` (the whole text when it is
    // short); the other parts are left here.
    Part begin(editortext::RenderedText whole, int caret, std::size_t paragraphsPerPart = perPart);

    // Where the caret stood in the text shown before.
    struct CaretBefore {
        const std::vector<TextRun>& ranges;
        const QString& text;
        int position = 0;
    };
    struct Opening {
        Part first;
        int caret = 0; // as `editortext::caretAfterRender` places it in the whole text
    };
    // Takes `blocks` and renders as many as the first part needs: those
    // through the caret's run and past the caret, so that it is placed as
    // in the whole text, and then those through the first part's end. The
    // other blocks are rendered as their parts are taken.
    Opening begin(BlocksLeftToRender blocks, const CaretBefore& caret, std::size_t paragraphsPerPart = perPart);

    bool isEmpty() const { return m_shown >= m_text.text.length() && m_blocks.isEmpty(); }
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
    // The first part of the text begun, reaching through `through`.
    Part start(int through, std::size_t paragraphsPerPart);
    // Where the next part ends in `m_text`, blocks rendered until it is known.
    int nextEnd(bool all);
    // Renders the next block, the text shown already let go first.
    void renderMore();
    Part partOf(int from, int to) const;

    BlocksLeftToRender m_blocks;
    editortext::RenderedText m_text; // rendered, shown up to `m_shown`
    int m_shown = 0;
    int m_scanned = 0;          // separators are counted up to here
    std::size_t m_counted = 0;  // separators since the last part's end
    std::size_t m_perPart = perPart;
    int m_through = 0;          // where the first part reaches, until it is cut
};

} // namespace quorrin
