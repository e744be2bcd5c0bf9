#pragma once

#include "Core/Text/AttributedString.h"

namespace quorrin {

// One edit of a text: the characters [position, position + inserted) used
// to be `removed`.
struct TextEdit {
    int position = 0;
    AttributedString removed;
    AttributedString inserted;
    // Characters at the end of both texts that follow the edit proper: the
    // caret ends before them.
    int tail = 0;
};

// The edit of `text` (the text after it) grown to the whole paragraphs it
// touches, the one after an inserted line break included: a step that
// splits or joins lines then puts back, with its characters, the block ids
// those paragraphs carried.
TextEdit wholeParagraphs(const TextEdit& edit, const AttributedString& text);

// Merges `next` into `edit` when the two make one undo step: characters
// typed one after the other, or deleted one after the other with one key
// (backspace or forward delete), no line break involved. False, with `edit`
// unchanged, otherwise.
bool mergeTyping(TextEdit& edit, const TextEdit& next);

} // namespace quorrin
