#pragma once

#include <QString>

namespace quorrin {

// Where one text became another: the first `prefix` and the last `suffix`
// characters are the same in both, and the two never overlap in either, so
// what lies between them is what was replaced (a repeated character typed
// beside its twin counts as inserted after it).
struct TextDifference {
    int prefix = 0;
    int suffix = 0;
};

TextDifference differenceBetween(const QString& before, const QString& after);

} // namespace quorrin
