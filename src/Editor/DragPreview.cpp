#include "Editor/DragPreview.h"

#include "Editor/BlockCommands.h"

#include <algorithm>

namespace quorrin::dragpreview {
namespace {

TextSelection::End rememberEnd(const std::vector<TextRun>& ranges, int offset)
{
    TextSelection::End end;
    end.offset = offset;
    // A caret at the end of a run (before its line break) still belongs to it.
    const auto run = std::find_if(ranges.begin(), ranges.end(), [&](const TextRun& candidate) {
        return offset >= candidate.start && offset <= candidate.end();
    });
    if (run != ranges.end()) {
        end.block = run->blockID;
        end.isRemarks = run->isRemarks;
        end.inRun = offset - run->start;
    }
    return end;
}

int restoreEnd(const TextSelection::End& end, const std::vector<TextRun>& ranges)
{
    if (end.block) {
        const auto run = std::find_if(ranges.begin(), ranges.end(), [&](const TextRun& candidate) {
            return candidate.blockID == *end.block && candidate.isRemarks == end.isRemarks;
        });
        if (run != ranges.end() && end.inRun <= run->length)
            return run->start + end.inRun;
    }
    return end.offset;
}

} // namespace

Block placeholder(Date now)
{
    return blockcommands::emptyParagraph(now);
}

std::optional<Note> previewNote(const Note& original, const Block& placeholder, const QUuid& target, bool after)
{
    Note preview = original;
    const auto at = std::find_if(preview.blocks.begin(), preview.blocks.end(),
                                 [&](const Block& block) { return block.id == target; });
    if (at == preview.blocks.end())
        return std::nullopt;
    preview.blocks.insert(after ? std::next(at) : at, placeholder);
    return preview;
}

TextSelection remember(const std::vector<TextRun>& ranges, int anchor, int position)
{
    return TextSelection{rememberEnd(ranges, anchor), rememberEnd(ranges, position)};
}

std::optional<std::pair<int, int>> restore(const TextSelection& selection, const std::vector<TextRun>& ranges,
                                           int textLength)
{
    const int anchor = restoreEnd(selection.anchor, ranges);
    const int position = restoreEnd(selection.position, ranges);
    if (std::max(anchor, position) > textLength || std::min(anchor, position) < 0)
        return std::nullopt;
    return std::pair{anchor, position};
}

} // namespace quorrin::dragpreview
