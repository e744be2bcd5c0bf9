#pragma once

#include "Core/Text/AttributedString.h"

namespace quorrin {

// One edit of a text: the characters [position, position + inserted) used
// to be `removed`.
struct TextEdit {
    int position = 0;
    AttributedString removed;
    AttributedString inserted;
};

// Merges `next` into `edit` when the two make one undo step: characters
// typed one after the other, or deleted one after the other with one key
// (backspace or forward delete), no line break involved. False, with `edit`
// unchanged, otherwise.
bool mergeTyping(TextEdit& edit, const TextEdit& next);

} // namespace quorrin
