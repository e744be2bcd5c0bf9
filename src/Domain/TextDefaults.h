#pragma once

#include "Domain/RichText.h"

namespace quorrin {

// Point size of the system font that new text starts in.
inline constexpr double defaultFontSize = 14;

// The empty text in the system font at the default size and the dynamic text
// colour: the starting text of new blocks, todo remarks and preferences.
// Written once: every new block starts with it.
inline RichText emptyDefaultText()
{
    static const RichText empty(QString(), TextFont::system(defaultFontSize));
    return empty;
}

} // namespace quorrin
