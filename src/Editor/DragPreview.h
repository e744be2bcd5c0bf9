#pragma once

#include "Core/Time/Date.h"
#include "Domain/Block.h"
#include "Domain/Note.h"
#include "Editor/EditorText.h"

#include <QUuid>

#include <optional>
#include <utility>
#include <vector>

namespace quorrin {

// A selection remembered while the text is rebuilt under it: each end as a
// raw offset and as an offset inside the run of the block that held it, so
// that it can follow its block when blocks move.
struct TextSelection {
    struct End {
        int offset = 0;
        std::optional<QUuid> block;
        bool isRemarks = false;
        int inRun = 0;
    };
    End anchor;
    End position;
};

// The pure rules of a block drag's preview.
namespace dragpreview {

// The empty line that shows where a dragged block would land.
Block placeholder(Date now);

// The note with `placeholder` inserted before the first block with id
// `target`, or after it; nothing when no block has that id.
std::optional<Note> previewNote(const Note& original, const Block& placeholder, const QUuid& target, bool after);

TextSelection remember(const std::vector<TextRun>& ranges, int anchor, int position);

// Where the remembered selection lies in a new text: each end in its block's
// run when that run still exists and is long enough, else at its raw offset.
// Nothing when an end would lie beyond the text.
std::optional<std::pair<int, int>> restore(const TextSelection& selection, const std::vector<TextRun>& ranges,
                                           int textLength);

} // namespace dragpreview
} // namespace quorrin
